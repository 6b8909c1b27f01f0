#!/usr/bin/env bash
# Runs a GoogleTest executable for ctest:  gtest-run.sh <report> <report as the program names
# it> <program and runner...>. The run counts only when it covered what the program lists: a
# program that crashes (under Wine a stack overflow can even end it with exit code 0), exits
# early or writes no report fails, whatever its exit code. Beside the report it leaves
# <report>.listed, the number of tests listed, so that the tests a run lost are counted too.
set -u
report=$1; report_arg=$2; shift 2
rm -f "$report" "$report.listed"
mkdir -p "$(dirname "$report")"
listed=$("$@" --gtest_list_tests </dev/null | tr -d '\r' | grep -c '^  ')
echo "$listed" >"$report.listed"
"$@" "--gtest_output=xml:$report_arg"
rc=$?
if [ ! -f "$report" ]; then
  echo "gtest-run: no report from $*: all $listed tests lost" >&2
  exit 1
fi
ran=$(grep -m1 '<testsuites' "$report" | sed -nE 's/.* tests="([0-9]+)".*/\1/p')
if [ "${ran:-0}" -lt "$listed" ]; then
  echo "gtest-run: $* reported ${ran:-0} of its $listed tests" >&2
  exit 1
fi
exit $rc
