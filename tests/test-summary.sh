#!/usr/bin/env bash
# Adds up the test programs of the trees from CTest's JUnit reports: a table
# of every suite (test program) with its time, its tree, its Wine and where
# it ran, then one closing line: "Tests: N passed, N failed", with ", N
# skipped" when a host could not run some. A missing report (a tree that
# did not build) counts as a failure. A report's "where" is "host" unless a
# file beside it, <report less .xml>.where, says otherwise (the VM writes
# one: tests/wine-suite.sh).
set -u
passed=0 failed=0 skipped=0
# The first such attribute is the suite's own total.
count() { grep -o -m1 "\\b$1=\"[0-9]*\"" "$2" | grep -o '[0-9]*'; }
printf '%-32s %-6s %-5s %-5s %9s  %s\n' suite tree wine where seconds result
for report in "$@"; do
  if [ ! -f "$report" ]; then
    echo "no test report: $report" >&2
    failed=$((failed + 1))
    continue
  fi
  tree=$(basename "$(dirname "$report")") name=$(basename "$report" .xml)
  case $tree:$name in
    native:* | tsan:* | *:junit-host) wine=- ;;
    *:*wine10*) wine=10 ;;
    *) wine=8 ;;
  esac
  where=host
  [ ! -s "${report%.xml}.where" ] || where=$(cat "${report%.xml}.where")
  grep -o '<testcase [^>]*>' "$report" |
    sed 's/.* name="\([^"]*\)".* time="\([^"]*\)".* status="\([^"]*\)".*/\1 \2 \3/' |
    while read -r suite seconds status; do
      printf '%-32s %-6s %-5s %-5s %9.1f  %s\n' "$suite" "$tree" "$wine" "$where" "$seconds" "$status"
    done
  total=$(count tests "$report") bad=$(count failures "$report") skip=$(count skipped "$report")
  passed=$((passed + ${total:-0} - ${bad:-0} - ${skip:-0}))
  failed=$((failed + ${bad:-0}))
  skipped=$((skipped + ${skip:-0}))
done
line="Tests: $passed passed, $failed failed"
[ "$skipped" -eq 0 ] || line="$line, $skipped skipped"
echo "$line"
[ "$failed" -eq 0 ]
