# Compiler settings shared by every Dexlin target.

# Warnings are errors everywhere.
function(dexlin_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()

# The model's single/double precision rules are exact: no fast-math, no fused
# multiply-add contraction, and (g++) no basic-block vectorisation, which pairs
# two double->float->double stores into one double operation and drops the
# rounding in between.
set(DEXLIN_MODEL_FLOAT_FLAGS -ffp-contract=off -fno-fast-math)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  list(APPEND DEXLIN_MODEL_FLOAT_FLAGS -fno-tree-slp-vectorize)
endif()

if(DEXLIN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()
