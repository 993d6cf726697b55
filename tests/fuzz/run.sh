#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs each for a
# bounded time, all at once. New inputs that add coverage are merged into
# tests/fuzz/corpus/<target>/, which the ordinary test run replays.
#
#   tests/fuzz/run.sh            FUZZ_SECONDS per target (default 60), keep new corpus entries
#   tests/fuzz/run.sh --smoke    FUZZ_SECONDS (default 10), corpus left as it is
#   FUZZ_MINIMIZE=1 tests/fuzz/run.sh   also re-minimise each stored corpus from scratch
#   FUZZ_TARGETS="cstring" FUZZ_RUNS=10000000 tests/fuzz/run.sh
#                                a campaign: a number of executions instead of a time,
#                                for the named targets only
#
# A crash leaves its input under build/fuzz/artifacts/<target>/ and makes the
# script fail; once fixed, copy the input to tests/fuzz/crashers/<target>/.
set -eu
cd "$(dirname "$0")/../.."

smoke=0
if [ "${1:-}" = "--smoke" ]; then
  smoke=1
fi
seconds=${FUZZ_SECONDS:-$([ $smoke = 1 ] && echo 10 || echo 60)}
tree=build/fuzz
fuzzdir=tests/fuzz
targets=${FUZZ_TARGETS:-"vqf_tags playlist_roundtrip cstring"}
if [ -n "${FUZZ_RUNS:-}" ]; then
  bound="-runs=$FUZZ_RUNS"
else
  bound="-max_total_time=$seconds"
fi

# The round trip's cost grows with every line, and nothing in it changes
# between a few hundred bytes and 4 KB: its read and write buffers are 64 KiB,
# far beyond either, and 256 bytes already hold 128 lines, libFuzzer's top
# bucket of loop counts. Its stored corpus reaches the same edges at 64 bytes
# as at 4,096.
max_len() {
  case $1 in
    cstring) echo 512 ;;
    playlist_roundtrip) echo 256 ;;
    *) echo 4096 ;;
  esac
}

if [ ! -f $tree/CMakeCache.txt ]; then
  cmake -S . -B $tree -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
        -DJUMBLA_FUZZ=ON -DJUMBLA_TESTS=OFF -DJUMBLA_SANITIZE=OFF >/dev/null
fi
cmake --build $tree -j 2 --target $(printf 'fuzz_%s ' $targets) >/dev/null

work=$tree/run
for t in $targets; do
  rm -rf $work/new/$t $work/min/$t $work/$t.log $work/$t.merge.log
  mkdir -p $work/new/$t $tree/artifacts/$t $fuzzdir/corpus/$t
  seeds="$fuzzdir/corpus/$t"
  [ -d $fuzzdir/crashers/$t ] && seeds="$seeds $fuzzdir/crashers/$t"
  # Allocations beyond 16 MB cannot come from inputs of a few KB: report them.
  $tree/tests/fuzz/fuzz_$t "$bound" -max_len="$(max_len $t)" \
      -malloc_limit_mb=16 -rss_limit_mb=1024 -timeout=10 -print_final_stats=1 \
      -artifact_prefix=$tree/artifacts/$t/ \
      $work/new/$t $seeds >$work/$t.log 2>&1 &
  echo $! >$work/$t.pid
done

failed=0
for t in $targets; do
  if ! wait "$(cat $work/$t.pid)"; then
    failed=1
    echo "fuzz_$t FAILED: see $work/$t.log and $tree/artifacts/$t/" >&2
    grep -E 'check failed|ERROR|SUMMARY' $work/$t.log | head -5 >&2 || true
  fi
done

if [ $smoke = 0 ] && [ $failed = 0 ]; then
  for t in $targets; do
    if [ "${FUZZ_MINIMIZE:-0}" = 1 ]; then
      mkdir -p $work/min/$t
      $tree/tests/fuzz/fuzz_$t -merge=1 -max_len="$(max_len $t)" $work/min/$t \
          $fuzzdir/corpus/$t $work/new/$t >>$work/$t.merge.log 2>&1
      rm -rf $fuzzdir/corpus/$t
      mv $work/min/$t $fuzzdir/corpus/$t
    else
      $tree/tests/fuzz/fuzz_$t -merge=1 -max_len="$(max_len $t)" $fuzzdir/corpus/$t \
          $work/new/$t >>$work/$t.merge.log 2>&1
    fi
  done
fi

printf '%-20s %8s %12s %10s %12s\n' target seconds executions 'exec/s' 'corpus'
for t in $targets; do
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' $work/$t.log)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' $work/$t.log)
  seconds=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' $work/$t.log)
  files=$(find $fuzzdir/corpus/$t -type f | wc -l)
  bytes=$(du -sb $fuzzdir/corpus/$t | cut -f1)
  printf '%-20s %8s %12s %10s %12s\n' "$t" "${seconds:-?}" "${runs:-?}" "${rate:-?}" "$files files, $bytes B"
done

total=$(du -sb $fuzzdir/corpus | cut -f1)
if [ "$total" -gt 400000 ]; then
  echo "The stored corpus holds $total bytes: run FUZZ_MINIMIZE=1 tests/fuzz/run.sh" >&2
fi
exit $failed
