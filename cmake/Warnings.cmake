# Warnings are on for every target of the project and kept clean.
add_library(lw_warnings INTERFACE)
target_compile_options(lw_warnings INTERFACE
  $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wpedantic>
  $<$<AND:$<COMPILE_LANGUAGE:CXX>,$<CXX_COMPILER_ID:GNU>>:-Wshadow=local>)

# lw_target(<name>) applies the project-wide settings to a target.
function(lw_target name)
  target_link_libraries(${name} PRIVATE lw_warnings)
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()
