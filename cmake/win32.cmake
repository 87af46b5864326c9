# The win32 backend: the seam as the real user32, gdi32, opengl32 and comctl32 calls.
file(GLOB VANTREL_WIN32_SOURCES CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/vantrel/platform/win32/*.cpp)
add_library(vantrel_win32 STATIC ${VANTREL_WIN32_SOURCES} $<TARGET_OBJECTS:vantrel_core>)
vantrel_usage_requirements(vantrel_win32)
target_link_libraries(vantrel_win32 PUBLIC opengl32 glu32 gdi32 user32 comctl32 kernel32
                      PRIVATE ${VANTREL_PNG_LIBRARY})
# The static runtime keeps the programs free of mingw DLLs beside them.
if(MINGW)
  target_link_options(vantrel_win32 PUBLIC -static -static-libgcc -static-libstdc++)
endif()
vantrel_name_library(vantrel_win32 win32)
