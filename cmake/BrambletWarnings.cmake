# Warnings applied target by target through bramblet_warnings().
function(bramblet_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
endfunction()
