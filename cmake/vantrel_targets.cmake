# Every target of Vantrel's own folders is built with C++20 (the library asks it of the programs
# that link it as well), the warnings, and the sanitizers or the fuzzer's hooks when asked. They
# are set per target at the end of the configure, never for a directory, so that a project that
# takes Vantrel in keeps its own flags; GoogleTest's sources, built in the tree on Windows, are
# left as they are.
function(vantrel_own_targets dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      set(scope PRIVATE)
    elseif(type MATCHES "^(STATIC|SHARED|MODULE|OBJECT)_LIBRARY$")
      set(scope PUBLIC)
    else()
      continue()
    endif()
    target_compile_features(${target} ${scope} cxx_std_20)
    set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
    if(MSVC)
      # Comments and test strings hold UTF-8 text; the program's own texts are byte escapes.
      target_compile_options(${target} PRIVATE /W4 /permissive- /utf-8)
    else()
      target_compile_options(${target} PRIVATE -Wall -Wextra)
    endif()
    if(VANTREL_FUZZ)
      # Run-time errors are thrown, not fatal, so a fuzz target can take them as outcomes.
      target_compile_definitions(${target} PRIVATE VANTREL_FUZZ)
      target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined
                             -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
      target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    elseif(VANTREL_SANITIZE)
      target_compile_options(${target} PRIVATE -fsanitize=address,undefined
                             -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
      target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
  endforeach()
  get_property(folders DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(folder ${folders})
    cmake_path(IS_PREFIX PROJECT_SOURCE_DIR ${folder} NORMALIZE ours)
    if(ours)
      vantrel_own_targets(${folder})
    endif()
  endforeach()
endfunction()
