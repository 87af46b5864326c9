# Release packages of what `cmake --install` puts in place: a .deb and a .tar.gz on Linux, a .zip
# on Windows; `cpack` in the build folder makes them (scripts/test.sh does, into build/packages).
# The shared library that the package tests build beside this one (VANTREL_SHARED_BUILD) joins
# them where it has been built, so that a package holds both kinds.
set(VANTREL_SHARED_BUILD ${PROJECT_BINARY_DIR}/tests/package/work/shared-build
    CACHE PATH "A shared build of the library alone, packaged with this one where it exists")

set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR "Vantrel")
set(CPACK_PACKAGE_CONTACT "Vantrel maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_STRIP_FILES ON)
set(CPACK_VERBATIM_VARIABLES ON)
if(VANTREL_HOMEPAGE_URL)
  set(CPACK_PACKAGE_HOMEPAGE_URL ${VANTREL_HOMEPAGE_URL})
endif()
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME vantrel-${PROJECT_VERSION}-windows-x86_64)
else()
  set(CPACK_GENERATOR TGZ DEB)
  set(CPACK_PACKAGE_FILE_NAME vantrel-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
  # Headers and a static library: what building against them needs, and what the shared
  # library links at run time (dpkg-shlibdeps finds that).
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(depends libgl-dev libglu1-mesa-dev libegl-dev libfontconfig-dev libfreetype-dev)
  if("x11" IN_LIST VANTREL_PLATFORMS)
    list(APPEND depends libglx-dev libx11-dev libxext-dev libxft-dev)
  endif()
  if(PNG_FOUND)
    list(APPEND depends libpng-dev)
  endif()
  list(JOIN depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
endif()
# Read by cpack when it runs, so that the shared build is taken where it exists by then.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/VantrelCPackProject.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE}
     "if(EXISTS [[${VANTREL_SHARED_BUILD}/cmake_install.cmake]])\n"
     "  list(APPEND CPACK_INSTALL_CMAKE_PROJECTS [[${VANTREL_SHARED_BUILD}]] vantrel ALL /)\n"
     "endif()\n")
include(CPack)
