# Warnings for our own targets: call qv_warnings(<target>).
# -Wrestrict is off: g++ 12 reports overlaps inside libstdc++'s string assignment at -O2 that
# cannot happen (a known false positive of that compiler).
function(qv_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror=switch
                                           -Werror=return-type -Wno-unused-parameter
                                           -Wno-restrict)
endfunction()
