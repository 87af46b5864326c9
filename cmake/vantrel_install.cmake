# Installs the library, the public headers (under include/vantrel/, the same paths as in the
# tree), the reference and the package files: VantrelConfig.cmake for find_package(Vantrel
# CONFIG) with its version file, and vantrel.pc for pkg-config. A static and a shared build
# install side by side into one prefix; find_package takes the kind the program asks for.
include(CMakePackageConfigHelpers)

install(TARGETS vantrel EXPORT VantrelTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

# The public headers; platform/common, the backends' internal headers and their test hooks stay
# behind.
foreach(header ${VANTREL_PUBLIC_HEADERS})
  get_filename_component(dir ${header} DIRECTORY)
  install(FILES ${PROJECT_SOURCE_DIR}/vantrel/${header}
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantrel/${dir})
endforeach()
install(FILES ${PROJECT_BINARY_DIR}/include/vantrel/version.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantrel)

# The reference beside them (share/doc/vantrel): its pages, and the HTML that the docs target
# writes when it has been built.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md
              ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/docs/reference.md
              ${PROJECT_SOURCE_DIR}/docs/classic_names.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${PROJECT_BINARY_DIR}/docs/html DESTINATION ${CMAKE_INSTALL_DOCDIR} OPTIONAL)

set(VANTREL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Vantrel)
install(EXPORT VantrelTargets NAMESPACE Vantrel:: DESTINATION ${VANTREL_CMAKE_DIR}
        FILE Vantrel-${VANTREL_LIBRARY_KIND}-targets.cmake)
# What this kind holds, for the config file to find the rest again.
file(WRITE ${PROJECT_BINARY_DIR}/Vantrel-${VANTREL_LIBRARY_KIND}-platforms.cmake
     "set(Vantrel_PLATFORMS ${VANTREL_PLATFORMS})\nset(Vantrel_WITH_PNG ${PNG_FOUND})\n")
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VantrelConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/VantrelConfig.cmake
                              INSTALL_DESTINATION ${VANTREL_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VantrelConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VantrelConfig.cmake
              ${PROJECT_BINARY_DIR}/VantrelConfigVersion.cmake
              ${PROJECT_BINARY_DIR}/Vantrel-${VANTREL_LIBRARY_KIND}-platforms.cmake
        DESTINATION ${VANTREL_CMAKE_DIR})

# pkg-config: the prefix is found from the .pc file's own place, so the installed tree can move.
# A shared library keeps what it links to itself; a static one hands it on to the program.
if(NOT WIN32)
  file(RELATIVE_PATH VANTREL_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
  set(VANTREL_PC_PRIVATE "egl fontconfig freetype2")
  if("x11" IN_LIST VANTREL_PLATFORMS)
    string(APPEND VANTREL_PC_PRIVATE " glx x11 xext xft")
  endif()
  if(PNG_FOUND)
    string(APPEND VANTREL_PC_PRIVATE " libpng")
  endif()
  if(BUILD_SHARED_LIBS)
    set(VANTREL_PC_REQUIRES "gl glu")
    set(VANTREL_PC_REQUIRES_PRIVATE "${VANTREL_PC_PRIVATE}")
  else()
    set(VANTREL_PC_REQUIRES "gl glu ${VANTREL_PC_PRIVATE}")
    set(VANTREL_PC_REQUIRES_PRIVATE "")
  endif()
  set(VANTREL_PC_URL "")
  if(VANTREL_HOMEPAGE_URL)
    set(VANTREL_PC_URL "URL: ${VANTREL_HOMEPAGE_URL}\n")
  endif()
  string(REPLACE ";" " " VANTREL_PC_PLATFORMS "${VANTREL_PLATFORMS}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/vantrel.pc.in ${PROJECT_BINARY_DIR}/vantrel.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/vantrel.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
  # The names of 0.1, one release more.
  foreach(name ${VANTREL_PLATFORMS})
    file(WRITE ${PROJECT_BINARY_DIR}/vantrel-${name}.pc
         "Name: vantrel-${name}\n"
         "Description: Vantrel (deprecated name: use vantrel, which chooses the platform at run time)\n"
         "Version: ${PROJECT_VERSION}\nRequires: vantrel = ${PROJECT_VERSION}\n")
    install(FILES ${PROJECT_BINARY_DIR}/vantrel-${name}.pc
            DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
  endforeach()
endif()

# Release packages, where Vantrel is the project being built.
if(PROJECT_IS_TOP_LEVEL)
  include(cmake/vantrel_package.cmake)
endif()
