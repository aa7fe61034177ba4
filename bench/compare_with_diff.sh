#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times lunavist-diff against GNU diff on the same generated inputs in the
# same run: three runs each, medians, their ratio, and peak memory.
# Usage: bench/compare_with_diff.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
tool=$build/tools/lunavist-diff/lunavist-diff
make_inputs=$build/bench/make_inputs
[[ -x $tool && -x $make_inputs ]] || { echo "build first: scripts/build" >&2; exit 2; }
command -v /usr/bin/time >/dev/null || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$make_inputs" "$work"

# Prints "<median seconds> <peak KiB of that run>" of three runs of a command
# (wall time in nanoseconds around the run; exit status 1 means "differ").
measure() {
  local runs=() start end
  for _ in 1 2 3; do
    start=$(date +%s%N)
    /usr/bin/time -f '%M' -o "$work/peak" "$@" >/dev/null 2>&1 || [[ $? -eq 1 ]]
    end=$(date +%s%N)
    runs+=("$(awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }') $(tail -n 1 "$work/peak")")
  done
  printf '%s\n' "${runs[@]}" | sort -n | sed -n 2p
}

printf '%-44s %10s %10s %8s %12s\n' "input" "lunavist" "diff" "ratio" "peak MB"
for case in "a:100,000 lines vs 1% changed copy" "b:two unrelated 20,000-line files" "c:100,000 lines vs shuffled copy"; do
  key=${case%%:*}
  read -r ours ours_kib < <(measure "$tool" "$work/$key-left.txt" "$work/$key-right.txt")
  read -r theirs _ < <(measure diff "$work/$key-left.txt" "$work/$key-right.txt")
  ratio=$(awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
  printf '%-44s %9ss %9ss %8s %12.1f\n' "${case#*:}" "$ours" "$theirs" "$ratio" "$(awk -v k="$ours_kib" 'BEGIN { print k / 1024 }')"
done
