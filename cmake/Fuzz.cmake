# libFuzzer targets (fuzz/), built with clang only:
#   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DTIDEPULL_FUZZ=ON
# Every object gets the fuzzer's coverage instrumentation together with
# ASan and UBSan; only the fuzz executables link the fuzzer's main.
# scripts/fuzz.sh builds them, replays their corpora and fuzzes each briefly.
option(TIDEPULL_FUZZ "Build the libFuzzer targets (clang, with ASan and UBSan)" OFF)

if(TIDEPULL_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TIDEPULL_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang)")
  endif()
  if(TIDEPULL_SANITIZE)
    message(FATAL_ERROR "TIDEPULL_FUZZ brings its own sanitizers; leave TIDEPULL_SANITIZE empty")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/../fuzz ${CMAKE_BINARY_DIR}/fuzz)
endif()
