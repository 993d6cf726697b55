#!/usr/bin/env bash
# Adds up the test programs of both trees from CTest's JUnit reports and
# prints one closing line: "Tests: N passed, N failed" (test programs, each
# a GoogleTest suite). A missing report (a tree that did not build) counts
# as a failure.
set -u
passed=0 failed=0
for report in "$@"; do
  if [ ! -f "$report" ]; then
    echo "no test report: $report" >&2
    failed=$((failed + 1))
    continue
  fi
  # The first tests= and failures= attributes are the suite's own totals.
  total=$(grep -o -m1 '\btests="[0-9]*"' "$report" | grep -o '[0-9]*')
  bad=$(grep -o -m1 '\bfailures="[0-9]*"' "$report" | grep -o '[0-9]*')
  passed=$((passed + ${total:-0} - bad))
  failed=$((failed + bad))
done
echo "Tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
