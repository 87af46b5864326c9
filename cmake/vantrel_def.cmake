# Writes DEF, the export list of the Windows DLL: the vantrel:: names that the library's objects
# define (data marked DATA), the tests' hooks left out. Without it mingw would export every name
# the objects hold, the C++ library's template code among them. Run before the DLL is linked,
# with NM and OBJECTS (|-separated).
string(REPLACE "|" ";" OBJECTS "${OBJECTS}")
set(text "EXPORTS\n")
foreach(object ${OBJECTS})
  execute_process(COMMAND ${NM} --defined-only --extern-only ${object}
                  OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "[^\n]+" symbols "${symbols}")
  foreach(line ${symbols})
    if(NOT line MATCHES "^[0-9a-f]+ ([A-Za-z]) (_ZN?K?7vantrel[^ ]*)$")
      continue()
    endif()
    set(kind ${CMAKE_MATCH_1})
    set(name ${CMAKE_MATCH_2})
    if(name MATCHES "^_ZN?K?7vantrel5win32")
      continue()
    elseif(kind MATCHES "[BDR]")
      string(APPEND text "  ${name} DATA\n")
    else()
      string(APPEND text "  ${name}\n")
    endif()
  endforeach()
endforeach()
file(WRITE ${DEF} "${text}")
