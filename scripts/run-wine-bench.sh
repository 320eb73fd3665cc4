#!/usr/bin/env bash
# Runs the Windows benchmark programs of a cross build under Wine and prints their figures.
#
#   scripts/run-wine-bench.sh <builddir>
#
# Each <builddir>/bench/*/sirel_*_bench.exe runs in turn (SIREL_WINE_BENCH_TIMEOUT seconds each,
# default 900). The figures are printed, never checked; the script fails only when a program
# fails, hangs, or there is none.
set -uo pipefail

if [ $# -ne 1 ] || [ ! -d "$1" ]; then
  echo "usage: $0 <builddir>" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
builddir=$(cd "$1" && pwd)
limit="${SIREL_WINE_BENCH_TIMEOUT:-900}"

# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
sirel_wine_locked "$builddir" "$0" "$@"
sirel_wine_setup "$builddir" || { echo "run-wine-bench: the Wine environment could not be set up" >&2; exit 1; }

ran=0
failed=()
shopt -s nullglob
for exe in "$builddir"/bench/*/sirel_*_bench.exe; do
  ran=$((ran + 1))
  echo "=== ${exe#"$builddir"/}"
  wine_run "$limit" "$exe" || failed+=("${exe#"$builddir"/}")
done

if [ "$ran" -eq 0 ]; then
  echo "run-wine-bench: no benchmark programs in $builddir/bench" >&2
  exit 1
fi
for name in "${failed[@]}"; do echo "FAILED  $name"; done
[ ${#failed[@]} -eq 0 ]
