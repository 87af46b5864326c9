# What every Vantrel library carries to the programs that link it: the include root, under
# which headers are named as in the tree ("vantrel/render/cartoon.h"), and C++20.
function(vantrel_usage_requirements target)
  target_include_directories(${target} PUBLIC
                             $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
                             $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/include>
                             $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  target_compile_features(${target} PUBLIC cxx_std_20)
endfunction()

# Gives library TARGET the package name Vantrel::NAME, both when installed (the export) and when
# Vantrel is built inside another project (an alias).
function(vantrel_name_library target name)
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${name})
  add_library(Vantrel::${name} ALIAS ${target})
  set_property(GLOBAL APPEND PROPERTY VANTREL_LIBRARIES ${target})
endfunction()
