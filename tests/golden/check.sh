#!/usr/bin/env bash
# Golden master of the batch run: runs the program (deck on standard input,
# files in a fresh working directory) on one case and compares, byte for byte,
# the exit status, the report without its run-time line, and every file the
# run leaves behind with those recorded under CASE/expected/.
#   check.sh PROGRAM CASE               compare
#   check.sh PROGRAM CASE --regenerate  record anew (after an intended change)
set -euo pipefail
program=$1 case_dir=$2 mode=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/run" "$work/got"
[ -f "$case_dir/phiw_binary_patchy.dat" ] && cp "$case_dir/phiw_binary_patchy.dat" "$work/run/"
set +e
(cd "$work/run" && "$program" < "$case_dir/deck" > "$work/stdout" 2> "$work/got/stderr")
echo $? > "$work/got/status"
set -e
# The run-time line is the last line of the report; it changes run to run.
grep -v '^ running time=' "$work/stdout" > "$work/got/stdout" || true
rm -f "$work/run/phiw_binary_patchy.dat"
cp "$work/run/"* "$work/got/" 2>/dev/null || true
if [ "$mode" = --regenerate ]; then
  rm -rf "$case_dir/expected"
  cp -r "$work/got" "$case_dir/expected"
  echo "recorded $(ls "$case_dir/expected" | wc -l) files in $case_dir/expected"
  exit 0
fi
diff -r "$case_dir/expected" "$work/got" > "$work/diff" || {
  echo "golden master differs for $(basename "$case_dir"):"
  head -40 "$work/diff"
  exit 1
}
echo "$(basename "$case_dir"): $(ls "$case_dir/expected" | wc -l) files identical"
