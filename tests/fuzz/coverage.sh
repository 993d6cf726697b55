#!/usr/bin/env bash
# Line coverage of the code each fuzz target drives, over its stored corpus
# and crashers: the replay test built with clang's source-based coverage in
# build/fuzzcov, one target at a time, reported with llvm-cov.
#
#   tests/fuzz/coverage.sh                 every target
#   tests/fuzz/coverage.sh cstring         the named targets
#   FUZZ_COV_SHOW=1 tests/fuzz/coverage.sh ...   also list the uncovered lines
set -eu
cd "$(dirname "$0")/../.."
tree=build/fuzzcov

# The sources each target drives.
driven() {
  case $1 in
    vqf_tags) echo playlist/VqfHeader.cpp framework/FilePosix.cpp ;;
    playlist_roundtrip) echo playlist/PlaylistLoader.cpp playlist/PlaylistWriter.cpp \
      playlist/ShuffleOrder.cpp framework/StdioFile.cpp framework/FilePosix.cpp framework/Random.cpp ;;
    cstring) echo playlist/WorkFile.cpp framework/String.cpp ;;
  esac
}

if [ ! -f $tree/CMakeCache.txt ]; then
  cmake -S . -B $tree -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
        -DCMAKE_CXX_FLAGS="-fprofile-instr-generate -fcoverage-mapping" \
        -DJUMBLA_TESTS=ON -DJUMBLA_SANITIZE=OFF >/dev/null
fi
cmake --build $tree -j 2 --target fuzz_replay >/dev/null

replay=$tree/tests/fuzz/fuzz_replay
for t in ${*:-vqf_tags playlist_roundtrip cstring}; do
  rm -f $tree/$t.profraw $tree/$t.profdata
  LLVM_PROFILE_FILE=$tree/$t.profraw $replay --gtest_filter="*/${t//_/}" >/dev/null
  llvm-profdata merge -sparse $tree/$t.profraw -o $tree/$t.profdata
  echo "== $t"
  llvm-cov report $replay -instr-profile=$tree/$t.profdata $(driven $t) | sed 's/^\/.*\/\([a-z]*\/[A-Za-z]*\.cpp\)/\1/'
  # A file also holds members no target calls: the lines of the functions
  # the corpus enters at all say how much of what it reaches it covers.
  llvm-cov report $replay -instr-profile=$tree/$t.profdata -show-functions $(driven $t) \
    | awk '$1 != "TOTAL" && $5 ~ /^[0-9]+$/ && $6 < $5 { lines += $5; missed += $6; n++ }
           END { printf "functions entered: %d, lines %d of %d (%.1f %%)\n", n, lines - missed, lines, 100 * (lines - missed) / lines }'
  if [ "${FUZZ_COV_SHOW:-0}" = 1 ]; then
    llvm-cov show $replay -instr-profile=$tree/$t.profdata -show-line-counts $(driven $t) \
      | grep -E '^/|^ *[0-9]+\| *0\|' || true
  fi
done
