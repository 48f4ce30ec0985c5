#!/usr/bin/env bash
# Prints how many test cases ran in the last `make test`: the host build's
# CTest entries are single cases; each Windows CTest entry is a GoogleTest
# program, whose own summary lines count its cases.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
host_log="$top/build/host/Testing/Temporary/LastTest.log"
wine_log="$top/build/win64/Testing/Temporary/LastTest.log"

host_passed=$(grep -c '^Test Passed' "$host_log" 2>/dev/null)
host_failed=$(grep -c '^Test Failed' "$host_log" 2>/dev/null)
wine_passed=$(grep -hoE '^\[  PASSED  \] [0-9]+ tests?' "$wine_log" 2>/dev/null | awk '{s += $4} END {print s + 0}')
wine_failed=$(grep -hoE '^\[  FAILED  \] [0-9]+ tests?,' "$wine_log" 2>/dev/null | awk '{s += $4} END {print s + 0}')

echo "host cases: ${host_passed:-0} passed, ${host_failed:-0} failed"
echo "wine and e2e cases: $wine_passed passed, $wine_failed failed"
echo "all: $(( ${host_passed:-0} + wine_passed )) passed, $(( ${host_failed:-0} + wine_failed )) failed"
