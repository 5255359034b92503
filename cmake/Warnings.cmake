# Warnings for our own targets: call qv_warnings(<target>).
# -Wrestrict is off under g++: g++ 12 reports overlaps inside libstdc++'s string assignment at -O2
# that cannot happen (a known false positive of that compiler). clang has no such warning, and
# would warn about the unknown option instead.
function(qv_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror=switch
                                           -Werror=return-type -Wno-unused-parameter
                                           $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
endfunction()
