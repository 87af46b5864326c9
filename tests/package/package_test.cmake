# Uses Vantrel from outside its tree, as a user would; run by ctest with cmake -P. MODE is
#   install              cmake --install of the build (static) into WORK/prefix, and what it holds
#   install_shared       a shared build of the library alone into the same prefix: its SONAME, and
#                        exports that are all Vantrel's own (Linux); a DLL with its import library
#                        and no mingw runtime DLL beside it (Windows)
#   find_package         the consumer project against that prefix, which takes the static library
#   find_package_shared  the same, asking for the shared one (-DVantrel_SHARED_LIBS=ON)
#   pkg_config           a one-file consumer compiled with the flags of vantrel.pc, and run
#   add_subdirectory     the consumer project with Vantrel's sources inside it, configured
#                        without X (CMAKE_DISABLE_FIND_PACKAGE_X11); that library installed into
#                        WORK/prefix-no-x11 and found there by a consumer that may not find X
# A consumer runs once per row of its table: the environment, its arguments, and the platform
# it must report (or "fails"), each program of PROGRAMS. Rows that need a display run where
# DISPLAY is set.
# Other values: VANTREL_BUILD, VANTREL_SOURCE, WORK, GENERATOR, BUILD_TYPE, CC, CXX, LAUNCHER,
# TOOLCHAIN, FLAGS (sanitizer flags the program must be built with too), RUN (run what was
# built), EMULATOR (|-separated: what runs a Windows program here), EXPECT_X11, NM, READELF,
# OBJDUMP, MAJOR (the version's major number).
cmake_minimum_required(VERSION 3.21)
cmake_host_system_information(RESULT jobs QUERY NUMBER_OF_LOGICAL_CORES)
set(prefix ${WORK}/prefix)
set(consumer ${VANTREL_SOURCE}/tests/package/consumer)
string(REPLACE "|" ";" EMULATOR "${EMULATOR}")
set(exe "")
if(EMULATOR)
  set(exe .exe)
endif()
# The consumer programs; each exits with 0 when all is well.
set(PROGRAMS consumer)
set(display OFF)
if(NOT "$ENV{DISPLAY}" STREQUAL "")
  set(display ON)
endif()

function(check what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} failed (${result}):\n${ARGN}\n${out}\n${err}")
  endif()
  message(STATUS "${what}: ok")
  set(last_output "${out}" PARENT_SCOPE)
endfunction()

# Configures and builds the consumer project in folder NAME; its configure output comes back in
# configure_output.
function(consumer_project name)
  set(dir ${WORK}/${name})
  file(REMOVE_RECURSE ${dir})
  set(args -S ${consumer} -B ${dir} -G ${GENERATOR} -DCMAKE_BUILD_TYPE=${BUILD_TYPE}
           -DCMAKE_CXX_COMPILER=${CXX} -DEXPECT_X11=${EXPECT_X11} ${ARGN})
  if(TOOLCHAIN)
    list(APPEND args -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN})
  endif()
  if(FLAGS)
    list(APPEND args "-DCMAKE_CXX_FLAGS=${FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${FLAGS}")
  endif()
  check("configure the ${name} consumer" ${CMAKE_COMMAND} ${args})
  set(configure_output "${last_output}" PARENT_SCOPE)
  check("build the ${name} consumer" ${CMAKE_COMMAND} --build ${dir} -j ${jobs})
endfunction()

# Runs the programs in DIR once per row "ENVIRONMENT|ARGUMENTS|PLATFORM[|SAYS]": PLATFORM is what
# the consumer must report ("fails": it must fail), SAYS what its output must say besides.
function(run_programs dir)
  if(NOT RUN)
    return()
  endif()
  # The host with the error hook (consumer projects have one) runs once: it takes no arguments
  # and asks for no platform.
  if(EXISTS ${dir}/error_hook${exe})
    check("run the error-hook host in ${dir}"
          ${CMAKE_COMMAND} -E env VANTREL_PLATFORM=headless ${EMULATOR} ${dir}/error_hook${exe})
    message(STATUS "${last_output}")
  endif()
  foreach(row ${ARGN})
    string(REPLACE "|" ";" fields "${row}|")
    list(GET fields 0 env)
    list(GET fields 1 args)
    list(GET fields 2 platform)
    list(GET fields 3 says)
    separate_arguments(env)
    separate_arguments(args)
    foreach(program ${PROGRAMS})
      execute_process(COMMAND ${CMAKE_COMMAND} -E env ${env} ${EMULATOR} ${dir}/${program}${exe}
                              ${args}
                      RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
      set(what "${program} ${args} with ${env}: ${out}${err}")
      if(platform STREQUAL "fails")
        if(result EQUAL 0)
          message(FATAL_ERROR "${what}\nit should have failed")
        endif()
      elseif(NOT result EQUAL 0 OR
             (program STREQUAL "consumer" AND NOT out MATCHES "on platform ${platform}[:,]"))
        message(FATAL_ERROR "${what}\nexit code ${result}; the platform should be ${platform}")
      endif()
      if(says AND NOT "${out}${err}" MATCHES "${says}")
        message(FATAL_ERROR "${what}\nits output should say '${says}'")
      endif()
      message(STATUS "${what}")
    endforeach()
  endforeach()
endfunction()

# The programs' dynamic dependencies, as the linker recorded them.
function(needed file)
  if(EMULATOR)
    check("the DLLs of ${file}" ${OBJDUMP} -p ${file})
    string(REGEX MATCHALL "DLL Name: [^\n]+" names "${last_output}")
  else()
    check("the libraries of ${file}" ${READELF} -d ${file})
    string(REGEX MATCHALL "NEEDED[^\n]+" names "${last_output}")
  endif()
  set(needed "${names}" PARENT_SCOPE)
  set(last_output "${last_output}" PARENT_SCOPE)
endfunction()

function(find_config var dir)
  file(GLOB_RECURSE config ${dir}/*/VantrelConfig.cmake)
  get_filename_component(config_dir "${config}" DIRECTORY)
  set(${var} ${config_dir} PARENT_SCOPE)
endfunction()

if(EMULATOR)
  set(platform_table "||win32")
  if(NOT display)
    message(STATUS "Wine needs a display: the programs are built, not run")
    set(RUN OFF)
  endif()
else()
  set(platform_table
      "VANTREL_PLATFORM=headless||headless"                          # asked for by name
      "--unset=DISPLAY --unset=VANTREL_PLATFORM||headless"           # no display: headless
      "--unset=DISPLAY VANTREL_PLATFORM=x11||fails|Impossibile creare la finestra" # no window
      "--unset=DISPLAY VANTREL_PLATFORM=wayland||headless|no such platform"
      "|wayland|fails|no platform named 'wayland'"
      "--unset=DISPLAY|x11|fails|no X display answers"
      "--unset=DISPLAY VANTREL_PLATFORM=x11|headless|headless")      # the program's call wins
  if(display)
    list(APPEND platform_table "--unset=VANTREL_PLATFORM||x11")      # a display answers: x11
  endif()
endif()
# Without x11, headless whatever is asked.
set(headless_table "--unset=VANTREL_PLATFORM||headless"
                   "VANTREL_PLATFORM=x11||headless|no such platform")
if(NOT EXPECT_X11 AND NOT EMULATOR)
  set(platform_table ${headless_table})
endif()

if(MODE STREQUAL "install")
  file(REMOVE_RECURSE ${prefix})
  check("install into ${prefix}" ${CMAKE_COMMAND} --install ${VANTREL_BUILD} --prefix ${prefix}
        --config ${BUILD_TYPE})
  foreach(file include/vantrel/vantrel.h include/vantrel/version.h include/vantrel/export.h
               include/vantrel/render/cartoon.h include/vantrel/platform/platform.h
               share/doc/vantrel/CHANGELOG.md share/doc/vantrel/reference.md)
    if(NOT EXISTS ${prefix}/${file})
      message(FATAL_ERROR "the installed tree lacks ${file}")
    endif()
  endforeach()
  find_config(config_dir ${prefix})
  if(NOT EXISTS ${config_dir}/VantrelConfigVersion.cmake OR
     NOT EXISTS ${config_dir}/Vantrel-static-targets.cmake)
    message(FATAL_ERROR "the installed tree lacks the package's static files in '${config_dir}'")
  endif()
  # Internal headers and the tests' hooks stay behind.
  file(GLOB_RECURSE internal ${prefix}/include/vantrel/platform/common/*
       ${prefix}/include/*test_hooks.h)
  if(internal)
    message(FATAL_ERROR "internal headers were installed: ${internal}")
  endif()
elseif(MODE STREQUAL "install_shared")
  set(dir ${WORK}/shared-build)
  set(args -S ${VANTREL_SOURCE} -B ${dir} -G ${GENERATOR} -DCMAKE_BUILD_TYPE=${BUILD_TYPE}
           -DCMAKE_C_COMPILER=${CC} -DCMAKE_CXX_COMPILER=${CXX} -DBUILD_SHARED_LIBS=ON
           -DVANTREL_BUILD_TESTS=OFF -DVANTREL_BUILD_EXAMPLES=OFF -DVANTREL_BUILD_DEMO=OFF
           -DVANTREL_BUILD_BENCH=OFF -DVANTREL_BUILD_DOCS=OFF -DVANTREL_INSTALL=ON)
  if(TOOLCHAIN)
    list(APPEND args -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN})
  endif()
  if(LAUNCHER)
    list(APPEND args -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
  endif()
  check("configure the shared library" ${CMAKE_COMMAND} ${args})
  check("build the shared library" ${CMAKE_COMMAND} --build ${dir} -j ${jobs})
  check("install it into ${prefix}" ${CMAKE_COMMAND} --install ${dir} --prefix ${prefix})
  find_config(config_dir ${prefix})
  if(NOT EXISTS ${config_dir}/Vantrel-shared-targets.cmake)
    message(FATAL_ERROR "the shared library's package file was not installed")
  endif()
  if(EMULATOR)
    if(NOT EXISTS ${prefix}/bin/libvantrel.dll OR NOT EXISTS ${prefix}/lib/libvantrel.dll.a)
      message(FATAL_ERROR "no libvantrel.dll in bin/ with libvantrel.dll.a in lib/")
    endif()
    needed(${prefix}/bin/libvantrel.dll)
    if(needed MATCHES "libstdc|libgcc|winpthread")
      message(FATAL_ERROR "the DLL needs mingw's runtime DLLs: ${needed}")
    endif()
    # Its export table: Vantrel's names alone.
    string(REGEX MATCHALL "\t\[ *[0-9]+\] [^+\n][^\n]*" exports "${last_output}")
    set(foreign ${exports})
    list(FILTER foreign EXCLUDE REGEX "\] _ZN?K?7vantrel")
    set(internal ${exports})
    list(FILTER internal INCLUDE REGEX "\] _ZN?K?7vantrel5win32") # the tests' hook
    list(APPEND foreign ${internal})
    list(LENGTH exports count)
    if(foreign OR count LESS 100)
      message(FATAL_ERROR "libvantrel.dll exports ${count} names; not Vantrel's:\n${foreign}")
    endif()
    message(STATUS "libvantrel.dll exports ${count} names, all of them vantrel::")
  else()
    file(GLOB library ${prefix}/lib*/libvantrel.so)
    check("the library's SONAME" ${READELF} -d ${library})
    if(NOT last_output MATCHES "SONAME[^\n]*\\[libvantrel\\.so\\.${MAJOR}\\]")
      message(FATAL_ERROR "libvantrel.so's SONAME is not libvantrel.so.${MAJOR}:\n${last_output}")
    endif()
    # Every exported symbol is Vantrel's own (the C++ runtime's and the internal ones hidden).
    check("the library's exports" ${NM} -D --defined-only -C ${library})
    string(REGEX MATCHALL "[^\n]+" exports "${last_output}")
    set(foreign ${exports})
    list(FILTER foreign EXCLUDE REGEX "^[0-9a-f]+ [A-Za-z] vantrel::")
    set(internal ${exports})
    list(FILTER internal INCLUDE REGEX " vantrel::(common::|(headless|x11)::(reset|fail_))")
    list(APPEND foreign ${internal})
    list(LENGTH exports count)
    if(foreign OR count LESS 100)
      message(FATAL_ERROR "libvantrel.so exports ${count} symbols; not Vantrel's API:\n${foreign}")
    endif()
    message(STATUS "libvantrel.so exports ${count} symbols, all of them vantrel::")
  endif()
elseif(MODE MATCHES "^find_package(_shared)?$")
  find_config(config_dir ${prefix})
  # A cross build's find_package looks only below its sysroot; the folder is named outright.
  set(shared OFF)
  if(MODE STREQUAL "find_package_shared")
    set(shared ON)
  endif()
  consumer_project(${MODE} -DCMAKE_PREFIX_PATH=${prefix} -DVantrel_DIR=${config_dir}
                   -DVantrel_SHARED_LIBS=${shared})
  needed(${WORK}/${MODE}/consumer${exe})
  if(shared AND NOT needed MATCHES "libvantrel\\.(so\\.${MAJOR}|dll)")
    message(FATAL_ERROR "the consumer does not link the shared library: ${needed}")
  elseif(NOT shared AND needed MATCHES "libvantrel")
    message(FATAL_ERROR "the consumer links the shared library, though static was asked for")
  endif()
  if(shared AND EMULATOR)
    file(COPY ${prefix}/bin/libvantrel.dll DESTINATION ${WORK}/${MODE})
  endif()
  run_programs(${WORK}/${MODE} ${platform_table})
elseif(MODE STREQUAL "add_subdirectory")
  consumer_project(add_subdirectory -DVANTREL_SOURCE=${VANTREL_SOURCE} -DEXPECT_X11=OFF
                   -DCMAKE_DISABLE_FIND_PACKAGE_X11=ON -DVANTREL_INSTALL=ON)
  if(NOT configure_output MATCHES "the x11 platform is left out")
    message(FATAL_ERROR "the configure without X did not say that x11 is left out")
  endif()
  run_programs(${WORK}/add_subdirectory ${headless_table})
  set(bare ${WORK}/prefix-no-x11)
  file(REMOVE_RECURSE ${bare})
  # Vantrel's part of the consumer's build (an EXCLUDE_FROM_ALL folder installs on its own).
  check("install the library without x11" ${CMAKE_COMMAND} --install
        ${WORK}/add_subdirectory/vantrel --prefix ${bare})
  file(GLOB_RECURSE x11_files ${bare}/*x11*)
  file(GLOB_RECURSE targets ${bare}/*/Vantrel-static-targets.cmake)
  file(READ "${targets}" text)
  if(x11_files OR text MATCHES "X11" OR NOT text MATCHES "Vantrel::vantrel")
    message(FATAL_ERROR "the package without x11 holds something of X: ${x11_files}\n${text}")
  endif()
  find_config(config_dir ${bare})
  consumer_project(find_package_no_x11 -DCMAKE_PREFIX_PATH=${bare} -DVantrel_DIR=${config_dir}
                   -DEXPECT_X11=OFF -DCMAKE_DISABLE_FIND_PACKAGE_X11=ON)
  run_programs(${WORK}/find_package_no_x11 ${headless_table})
elseif(MODE STREQUAL "pkg_config")
  find_program(PKG_CONFIG pkg-config REQUIRED)
  file(GLOB_RECURSE pc_file ${prefix}/*/vantrel.pc)
  get_filename_component(pc_dir "${pc_file}" DIRECTORY)
  set(ENV{PKG_CONFIG_PATH} ${pc_dir})
  check("pkg-config vantrel" ${PKG_CONFIG} --cflags --libs vantrel)
  separate_arguments(pc_flags UNIX_COMMAND "${last_output}")
  check("pkg-config's library folder" ${PKG_CONFIG} --variable=libdir vantrel)
  string(STRIP "${last_output}" libdir)
  separate_arguments(flags UNIX_COMMAND "${FLAGS}")
  file(MAKE_DIRECTORY ${WORK}/pkg_config)
  check("compile and link with vantrel.pc" ${CXX} -std=c++20 ${flags} ${consumer}/main.cpp
        -o ${WORK}/pkg_config/consumer ${pc_flags} -Wl,-rpath,${libdir})
  # The names of 0.1 still resolve, to the same library.
  foreach(name vantrel-headless vantrel-x11)
    if(name STREQUAL "vantrel-headless" OR EXPECT_X11)
      check("pkg-config ${name}" ${PKG_CONFIG} --libs ${name})
      if(NOT last_output MATCHES "-lvantrel")
        message(FATAL_ERROR "${name}.pc does not lead to -lvantrel: ${last_output}")
      endif()
    endif()
  endforeach()
  run_programs(${WORK}/pkg_config "VANTREL_PLATFORM=headless||headless")
else()
  message(FATAL_ERROR "unknown MODE '${MODE}'")
endif()
