# g++ 12 reports string concatenation at -O3 as overlapping memcpy (a false
# -Wrestrict positive in libstdc++'s inlined code), so that one check stays off.
#
# Warnings as errors for our own targets; the geometry relies on exact IEEE
# rounding at the points where the code narrows to float, so no contraction
# into fused multiply-add and no fast-math.
# clang (the fuzz build) has no -Wrestrict and rejects the option.
set(TARVEL_NO_RESTRICT $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
# The sanitizers' instrumentation makes g++'s -Wmaybe-uninitialized fire inside
# libstdc++ (std::regex, std::function); the asan build runs the checks that
# matter at run time, so that warning stays off there.
if(CMAKE_CXX_FLAGS MATCHES "-fsanitize=" AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  list(APPEND TARVEL_NO_RESTRICT -Wno-maybe-uninitialized)
endif()

function(tarvel_setup target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
    -Wnon-virtual-dtor -Woverloaded-virtual ${TARVEL_NO_RESTRICT} -Werror
    -ffp-contract=off -fno-fast-math)
endfunction()

# Test targets: same rules, but gtest macros trip -Wconversion now and then.
function(tarvel_test_setup target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wno-sign-compare ${TARVEL_NO_RESTRICT} -Werror -ffp-contract=off)
endfunction()
