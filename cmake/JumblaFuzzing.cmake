# The libFuzzer tree (build/fuzz, made by tests/fuzz/run.sh): clang only,
# every library built with coverage instrumentation and the sanitizers so the
# fuzzers see into the code they drive; only the fuzz programs link libFuzzer.
option(JUMBLA_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(JUMBLA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "JUMBLA_FUZZ needs clang: -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang")
  endif()
  if(JUMBLA_TESTS)
    message(FATAL_ERROR "The fuzz tree is configured with -DJUMBLA_TESTS=OFF")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
                      -fsanitize-coverage-ignorelist=${CMAKE_SOURCE_DIR}/tests/fuzz/coverage_ignore.txt
                      -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()
