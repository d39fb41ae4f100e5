#!/usr/bin/env bash
# Whole-process comparison of STL import + binary STL export on a 1M-triangle torus:
# the conversion library (zarvel3d_stl, and the program itself when built), Open CASCADE RWStl (zarvel3d_occ_rwstl) and
# "assimp export -fstlb", in interleaved rounds; prints the median wall time of each.
# Usage: bench/zarvel3d_compare.sh BUILD_DIR [ROUNDS]
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR [ROUNDS]}
rounds=${2:-5}
work=$(mktemp -d /tmp/zarvel3d_compare.XXXXXX)
trap 'rm -rf "$work"' EXIT
"$build/bench/zarvel3d_stl" --tore 1000000 "$work/in.stl"
cat "$work/in.stl" > /dev/null

declare -A commands=(
  [zarvel3d]="$build/bench/zarvel3d_stl $work/in.stl $work/out.stl"
  [occ_rwstl]="$build/bench/zarvel3d_occ_rwstl $work/in.stl $work/out.stl"
)
if [ -x "$build/cli/Zarvel_cli" ]; then
  commands[zarvel_cli]="$build/cli/Zarvel_cli -s $work/in.stl -o $work/out.stl"
fi
if command -v assimp > /dev/null; then
  commands[assimp]="assimp export $work/in.stl $work/out.stl -fstlb"
fi
names=("${!commands[@]}")
declare -A times
for ((r = 0; r < rounds; r++)); do
  # Rotate the order from round to round, so that drift of the machine hits all alike.
  for ((k = 0; k < ${#names[@]}; k++)); do
    name=${names[$(((k + r) % ${#names[@]}))]}
    start=$(date +%s.%N)
    ${commands[$name]} > /dev/null 2>&1 || { echo "$name failed" >&2; exit 1; }
    end=$(date +%s.%N)
    rm -f "$work/out.stl"
    times[$name]+="$(echo "$end - $start" | bc) "
  done
done
for name in "${names[@]}"; do
  median=$(echo ${times[$name]} | tr ' ' '\n' | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
  printf "%-10s median %.3f s   runs: %s\n" "$name" "$median" "${times[$name]}"
done
