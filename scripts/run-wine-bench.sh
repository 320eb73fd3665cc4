#!/usr/bin/env bash
# Runs the Windows benchmark programs of a cross build under Wine and prints their figures.
#
#   scripts/run-wine-bench.sh <builddir>
#
# Each <builddir>/bench/*/sirel_*_bench.exe runs in turn (SIREL_WINE_BENCH_TIMEOUT seconds each,
# default 900), then bench/vbscript/*.vbs under cscript against the registered Sirel.dll, with
# the COM benchmark's list floors (its "list-floor <lines> <ns>" lines) in SIREL_BENCH_LIST_FLOOR. The figures are printed, never checked; the script fails only when a program
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
  wine_run "$limit" "$exe" | tee "$builddir/bench/last-output.txt" || failed+=("${exe#"$builddir"/}")
  if [[ $exe == */sirel_com_bench.exe ]]; then
    SIREL_BENCH_LIST_FLOOR=$(awk '/^list-floor /{printf "%s%s:%s", sep, $2, $3; sep=","}' \
      "$builddir/bench/last-output.txt")
    export SIREL_BENCH_LIST_FLOOR
  fi
done

windows_path() { echo "Z:${1//\//\\}"; }
dll="$builddir/src/automation/Sirel.dll"
if wine_run 60 regsvr32 /s "$(windows_path "$dll")"; then
  for script in "$root"/bench/vbscript/*.vbs; do
    ran=$((ran + 1))
    name=$(basename "$script")
    echo "=== bench/vbscript/$name"
    # cscript wants CR LF line ends; it reports no script error, so the script ends with a marker.
    sed 's/\r*$/\r/' "$script" >"$builddir/bench/$name"
    output=$(wine_run "$limit" cscript //nologo "$(windows_path "$builddir/bench/$name")" 2>&1 | tr -d '\r')
    echo "$output"
    grep -q '^SIREL-VBSCRIPT-BENCH-DONE$' <<<"$output" || failed+=("bench/vbscript/$name")
  done
  wine_run 60 regsvr32 /s /u "$(windows_path "$dll")" >/dev/null 2>&1
else
  failed+=("regsvr32 of $dll")
fi

if [ "$ran" -eq 0 ]; then
  echo "run-wine-bench: no benchmark programs in $builddir/bench" >&2
  exit 1
fi
for name in "${failed[@]}"; do echo "FAILED  $name"; done
[ ${#failed[@]} -eq 0 ]
