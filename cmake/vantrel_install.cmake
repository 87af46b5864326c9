# Installs the libraries, the public headers (under include/vantrel/, the same paths as in the
# tree) and the package files: VantrelConfig.cmake for find_package(Vantrel CONFIG), its version
# file, and a pkg-config file per Linux backend.
include(CMakePackageConfigHelpers)

get_property(vantrel_libraries GLOBAL PROPERTY VANTREL_LIBRARIES)
install(TARGETS ${vantrel_libraries} EXPORT VantrelTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

# The public headers; platform/common and the backends' internal headers stay behind.
set(vantrel_header_dirs . window image render geometry)
foreach(dir ${vantrel_header_dirs})
  file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/vantrel/${dir}/*.h)
  install(FILES ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantrel/${dir})
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/vantrel/platform/platform.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantrel/platform)
install(FILES ${PROJECT_BINARY_DIR}/include/vantrel/version.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantrel)
if(TARGET vantrel_headless)
  install(FILES ${PROJECT_SOURCE_DIR}/vantrel/platform/headless/headless_platform.h
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantrel/platform/headless)
endif()
if(TARGET vantrel_x11)
  install(FILES ${PROJECT_SOURCE_DIR}/vantrel/platform/x11/x11_platform.h
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantrel/platform/x11)
endif()

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(VANTREL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Vantrel)
install(EXPORT VantrelTargets NAMESPACE Vantrel:: DESTINATION ${VANTREL_CMAKE_DIR})
# What the config file must find again for the exported targets' own dependencies.
set(VANTREL_PACKAGE_PNG OFF)
if(PNG_FOUND)
  set(VANTREL_PACKAGE_PNG ON)
endif()
if(TARGET vantrel_x11)
  set(VANTREL_PACKAGE_X11 ON)
else()
  set(VANTREL_PACKAGE_X11 OFF)
endif()
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VantrelConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/VantrelConfig.cmake
                              INSTALL_DESTINATION ${VANTREL_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VantrelConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VantrelConfig.cmake
              ${PROJECT_BINARY_DIR}/VantrelConfigVersion.cmake
        DESTINATION ${VANTREL_CMAKE_DIR})

# pkg-config: the prefix is found from the .pc file's own place, so the installed tree can move.
if(NOT WIN32)
  file(RELATIVE_PATH VANTREL_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
  foreach(backend headless x11)
    if(TARGET vantrel_${backend})
      if(backend STREQUAL "x11")
        set(VANTREL_PC_REQUIRES "gl glu x11 xext xft fontconfig freetype2 libpng")
        set(VANTREL_PC_WHAT "the x11 backend (Xlib, GLX, Xft)")
      else()
        set(VANTREL_PC_REQUIRES "gl glu egl fontconfig freetype2 libpng")
        set(VANTREL_PC_WHAT "the headless backend (EGL pbuffers, no display)")
      endif()
      set(VANTREL_PC_BACKEND ${backend})
      configure_file(${PROJECT_SOURCE_DIR}/cmake/vantrel.pc.in
                     ${PROJECT_BINARY_DIR}/vantrel-${backend}.pc @ONLY)
      install(FILES ${PROJECT_BINARY_DIR}/vantrel-${backend}.pc
              DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
    endif()
  endforeach()
endif()
