#!/usr/bin/env bash
# An installed tree: `cmake --install` into a temporary prefix, then the
# program run from P/bin (found on the PATH, also by the Slurm job script)
# and the package imported by the interpreter from the prefix alone (with
# PYTHONPATH=P/MODULE_DIR, as the README says for a prefix of one's own).
# Also the version text outside a git checkout.
#   check.sh BUILD_DIR MODULE_DIR PYTHON SOURCE_DIR
set -euo pipefail
build=$1 module_dir=$2 python=$3 source=$4
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null
cd "$prefix"

fail() { echo "install check: $*" >&2; exit 1; }

[ -x bin/v2_patchy_freq_loop ] || fail "no program in $prefix/bin"
version=$(env -i PATH="$prefix/bin:/usr/bin:/bin" v2_patchy_freq_loop --version)
env -i PATH="$prefix/bin:/usr/bin:/bin" v2_patchy_freq_loop run "$source/tests/golden/grid_3x3/deck" \
  -o run > /dev/null || fail "the installed program's run ended with status $?"

# The package of the prefix, not of the build tree, with its version.
module=$(env -i PYTHONPATH="$prefix/$module_dir" MPLBACKEND=Agg "$python" -c \
  'import v2pfl; print(v2pfl.__file__); print("v2_patchy_freq_loop", v2pfl.__version__); print(v2pfl.run(v2pfl.read_deck("'"$source"'/tests/golden/grid_3x3/deck")).freq_hz)')
[[ "$(sed -n 1p <<< "$module")" == "$prefix/$module_dir/v2pfl/__init__.py" ]] ||
  fail "imported $(sed -n 1p <<< "$module")"
[ "$(sed -n 2p <<< "$module")" = "$version" ] ||
  fail "module version $(sed -n 2p <<< "$module"), program version $version"

# The job script finds the program on the PATH, without V2PFL_PROGRAM.
env -i PATH="$prefix/bin:/usr/bin:/bin" SLURM_ARRAY_TASK_ID=0 SLURM_ARRAY_TASK_COUNT=1 \
  bash "$source/examples/slurm_study.sh" "$source/tests/golden/grid_3x3/deck" study \
  --freq 100 2> /dev/null || fail "the job script's task ended with status $?"
[ -f study/study.csv ] || fail "the job script's task wrote no table"

# Outside a git checkout the version text says so.
cmake -DSOURCE_DIR="$prefix" -DRELEASE=9.9 -DHEADER="$prefix/v.h" -P "$source/cmake/version.cmake"
grep -q '"9.9+unknown"' "$prefix/v.h" || fail "version outside a checkout: $(cat "$prefix/v.h")"
