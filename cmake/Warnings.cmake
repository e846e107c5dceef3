# Warnings for the project's own targets.
function(kestrova_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(KESTROVA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
