#!/bin/sh
# Fails when the disassembly of the given objects or archives holds a fused
# multiply-add (vfmadd, vfmsub, vfnmadd, ...): results would then depend on
# the instruction set the factorization runs on.
set -e
listing=$(objdump -d "$@")
[ -n "$listing" ] || { echo "no disassembly of $*"; exit 1; }
echo "$listing" | grep -q 'vmulpd\|mulpd' || { echo "no vector multiplies found in $*"; exit 1; }
if echo "$listing" | grep -E '\svfn?m(add|sub)'; then
  echo "fused multiply-add instructions in $*"
  exit 1
fi
echo "no fused multiply-add in $*"
