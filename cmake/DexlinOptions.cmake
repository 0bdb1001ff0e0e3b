# Compiler settings shared by every Dexlin target.

# Every target is built with the common warnings; with DEXLIN_WERROR (CI and
# scripts/test.sh turn it on) they are errors. It stays off by default so that a
# distribution's build passes on a compiler whose new false positives (g++ 12's
# -Wrestrict inside std::string) the project has not yet met.
function(dexlin_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic $<$<BOOL:${DEXLIN_WERROR}>:-Werror>)
endfunction()

# The model's single/double precision rules are exact: no fast-math, no fused
# multiply-add contraction, and (g++) no basic-block vectorisation, which pairs
# two double->float->double stores into one double operation and drops the
# rounding in between.
set(DEXLIN_MODEL_FLOAT_FLAGS -ffp-contract=off -fno-fast-math)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  list(APPEND DEXLIN_MODEL_FLOAT_FLAGS -fno-tree-slp-vectorize)
endif()

# Memory and undefined-behaviour checks for every target. UndefinedBehaviorSanitizer
# stops at its first finding (-fno-sanitize-recover; at run time
# UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1). float-cast-overflow is
# named because g++ leaves it out of "undefined": a double or float beyond the
# range of the int it is converted to. float-divide-by-zero stays off: division
# by zero gives the infinities and NaNs of IEEE arithmetic, which are defined.
# _GLIBCXX_ASSERTIONS checks the indices of std::array, std::vector and
# std::span, which AddressSanitizer cannot see inside one object. The model's
# float flags (DEXLIN_MODEL_FLOAT_FLAGS) still apply to its targets.
set(DEXLIN_SANITIZER_FLAGS -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all
    -fno-omit-frame-pointer -D_GLIBCXX_ASSERTIONS)
if(DEXLIN_SANITIZE)
  add_compile_options(${DEXLIN_SANITIZER_FLAGS})
  add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()

# libFuzzer targets (tests/fuzz): the same checks, every library instrumented
# for coverage; only the fuzz programs link libFuzzer's main.
if(DEXLIN_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "DEXLIN_FUZZ needs clang (libFuzzer): configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  if(DEXLIN_SANITIZE)
    message(FATAL_ERROR "DEXLIN_FUZZ already builds with the sanitizers: leave DEXLIN_SANITIZE off")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link ${DEXLIN_SANITIZER_FLAGS})
  add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()
