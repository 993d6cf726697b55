#!/usr/bin/env bash
# Adds up the test programs of the trees from CTest's JUnit reports and
# prints one closing line: "Tests: N passed, N failed" (test programs, each
# a GoogleTest suite), with ", N skipped" when a host could not run some. A
# missing report (a tree that did not build) counts as a failure.
set -u
passed=0 failed=0 skipped=0
# The first such attribute is the suite's own total.
count() { grep -o -m1 "\\b$1=\"[0-9]*\"" "$2" | grep -o '[0-9]*'; }
for report in "$@"; do
  if [ ! -f "$report" ]; then
    echo "no test report: $report" >&2
    failed=$((failed + 1))
    continue
  fi
  total=$(count tests "$report") bad=$(count failures "$report") skip=$(count skipped "$report")
  passed=$((passed + ${total:-0} - ${bad:-0} - ${skip:-0}))
  failed=$((failed + ${bad:-0}))
  skipped=$((skipped + ${skip:-0}))
done
line="Tests: $passed passed, $failed failed"
[ "$skipped" -eq 0 ] || line="$line, $skipped skipped"
echo "$line"
[ "$failed" -eq 0 ]
