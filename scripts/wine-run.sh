#!/bin/sh
# Runs a test program under Wine (the first argument is the Wine loader) with
# its output going through a file. Wine starts helper processes on the way
# (the desktop among them) that keep the descriptors they inherit and may
# outlive the test; a pipe of the caller held by them would keep it waiting.
out=$(mktemp "${TMPDIR:-/tmp}/korvane-test.XXXXXX") || exit 1
"$@" >"$out" 2>&1
rc=$?
cat "$out"
# A program that fails without a word gets one, so that the log shows how it ended.
[ $rc -eq 0 ] || [ -s "$out" ] || echo "wine-run: $* ended with code $rc and printed nothing"
rm -f "$out"
exit $rc
