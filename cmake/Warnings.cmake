# Warnings are errors in our own code.
function(orvalis_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
  # GCC 12 reports false bounds and overlap warnings inside the standard
  # library's vector and string code when optimising; keep them as warnings.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-error=array-bounds -Wno-error=restrict -Wno-error=stringop-overflow)
  endif()
endfunction()
