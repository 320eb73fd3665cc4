#!/usr/bin/env bash
# Runs the Windows benchmark programs of cross builds under Wine and prints their figures.
#
#   scripts/run-wine-bench.sh <builddir>                 one build's figures
#   scripts/run-wine-bench.sh <x64-builddir> <x86-builddir>   both builds, side by side
#
# Each <builddir>/bench/*/sirel_*_bench.exe runs in turn (SIREL_WINE_BENCH_TIMEOUT seconds each,
# default 900), with the loader of the build's bitness, then bench/vbscript/*.vbs under cscript
# against the registered Sirel.dll, with the COM benchmark's list floors (its "list-floor
# <lines> <ns>" lines) in SIREL_BENCH_LIST_FLOOR. With two builds each program's figures
# are shown line against line: a line both builds print alike once, the others as an "x64" and
# an "x86" line. An x86 build on a machine that runs no 32-bit programs is reported skipped,
# with the reason. The figures are printed, never checked; the script fails only when a program
# fails, hangs, or there is none.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -eq 2 ] && [ -d "$1" ] && [ -d "$2" ]; then
  out=$(mktemp -d "${TMPDIR:-/tmp}/sirel-bench.XXXXXX")
  trap 'rm -rf "$out"' EXIT
  status=0
  for build in "$1" "$2"; do
    mkdir -p "$out/$(basename "$build")"
    SIREL_BENCH_OUT="$out/$(basename "$build")" bash "$0" "$build" >"$out/$(basename "$build").log" 2>&1 ||
      status=1
  done
  first="$out/$(basename "$1")"
  second="$out/$(basename "$2")"
  for figures in "$first"/*.txt; do
    name=$(basename "$figures" .txt)
    echo "=== $name (x64 | x86)"
    if [ -f "$second/$name.txt" ]; then
      paste -d '\n' "$figures" "$second/$name.txt" |
        awk 'NR % 2 == 1 { a = $0; next } a == $0 { print "      " a; next } { print "  x64 " a; print "  x86 " $0 }'
    else
      sed 's/^/  x64 /' "$figures"
      echo "  x86 (no figures: see below)"
    fi
  done
  # Whatever is not a figure (skips, failures, timeouts) is shown as each build reported it.
  for build in "$1" "$2"; do
    grep -vxFf <(cat "$out/$(basename "$build")"/*.txt 2>/dev/null) "$out/$(basename "$build").log" |
      grep -v '^=== ' | sed "s|^|  [$(basename "$build")] |"
  done
  exit "$status"
fi

if [ $# -ne 1 ] || [ ! -d "$1" ]; then
  echo "usage: $0 <builddir> [<x86-builddir>]" >&2
  exit 2
fi
builddir=$(cd "$1" && pwd)
limit="${SIREL_WINE_BENCH_TIMEOUT:-900}"

# Every process of the run shares one CPU (SIREL_BENCH_CPU, default 0): each window-system call
# under Wine is a round trip to the wineserver, and on a shared virtual machine waking a process
# on the other CPU costs 5 to 50 us at the host's whim (a pipe round trip across CPUs was seen
# at 51 us, on one CPU at 5 us), which would swamp the work being measured.
if [ -z "${SIREL_BENCH_PINNED:-}" ] && command -v taskset >/dev/null; then
  export SIREL_BENCH_PINNED=1
  exec taskset -c "${SIREL_BENCH_CPU:-0}" bash "$0" "$@"
fi

# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
arch=$(sirel_build_arch "$builddir")
if [ "$arch" = x86 ] && ! reason=$(bash "$root/scripts/probe-x86.sh" --skipping "the x86 benchmarks"); then
  echo "run-wine-bench [x86]: SKIPPED, every x86 benchmark of $builddir: $reason"
  exit 0
fi
sirel_wine_locked "$builddir" "$0" "$@"
sirel_wine_setup "$builddir" || { echo "run-wine-bench: the Wine environment could not be set up" >&2; exit 1; }

ran=0
failed=()
shopt -s nullglob
for exe in "$builddir"/bench/*/sirel_*_bench.exe; do
  ran=$((ran + 1))
  name=$(basename "$exe" .exe)
  echo "=== [$arch] ${exe#"$builddir"/}"
  wine_run "$limit" "$exe" | tr -d '\r' | tee "$builddir/bench/last-output.txt"
  [ "${PIPESTATUS[0]}" -eq 0 ] || failed+=("${exe#"$builddir"/}")
  [ -n "${SIREL_BENCH_OUT:-}" ] && cp "$builddir/bench/last-output.txt" "$SIREL_BENCH_OUT/$name.txt"
  if [[ $exe == */sirel_com_bench.exe ]]; then
    SIREL_BENCH_LIST_FLOOR=$(awk '/^list-floor /{printf "%s%s:%s", sep, $2, $3; sep=","}' \
      "$builddir/bench/last-output.txt")
    export SIREL_BENCH_LIST_FLOOR
  fi
done

# What a posting costs the window server, counted in Wine's server trace (it does not swing with
# CPU placement as timings do): 1,000 postings against none, between the marks the program puts
# in the trace. The trace is written by the server, so a server is started for each traced run.
posting_cost="$builddir/bench/win32/sirel_posting_cost_bench.exe"
if [ -f "$posting_cost" ]; then
  traced_requests() {  # postings lines shown -> "<requests> <frames>"
    "$WINESERVER" -k 2>/dev/null; "$WINESERVER" -w 2>/dev/null
    local frames
    frames=$(WINEDEBUG=+server timeout 300 "$WINE" "$posting_cost" trace "$@" \
      2>"$builddir/bench/server-trace.txt" | tr -d '\r' | awk '/^frames/{print $2}')
    "$WINESERVER" -w 2>/dev/null
    echo "$(awk '/find_atom\(.*sirel-mark-begin/{on=1; next} /find_atom\(.*sirel-mark-end/{on=0}
                  on && /^[0-9a-f]+: [a-z_]+\(/{n++} END{print n+0}' \
            "$builddir/bench/server-trace.txt") ${frames:-0}"
  }
  {
    echo "=== [$arch] server requests per posting (1,000 postings against none, Wine's trace)"
    for shown in 0 1; do
      for lines in 100 1000 32767; do
        read -r with frames < <(traced_requests 1000 "$lines" "$shown")
        read -r without _ < <(traced_requests 0 "$lines" "$shown")
        printf '  %5d lines, %-6s %.3f requests per posting (%d frames)\n' "$lines" \
          "$([ "$shown" = 1 ] && echo shown || echo hidden)" \
          "$(awk -v a="$with" -v b="$without" 'BEGIN{print (a - b) / 1000}')" "$frames"
      done
    done
    echo "=== [$arch] posting cost, unpinned (client and server free to use every CPU)"
    "$WINESERVER" -k 2>/dev/null; "$WINESERVER" -w 2>/dev/null
    taskset -c "0-$(($(nproc) - 1))" timeout 600 "$WINE" "$posting_cost" | tr -d '\r'
    "$WINESERVER" -k 2>/dev/null; "$WINESERVER" -w 2>/dev/null
  } | tee "$builddir/bench/last-output.txt"
  [ -n "${SIREL_BENCH_OUT:-}" ] && cp "$builddir/bench/last-output.txt" "$SIREL_BENCH_OUT/posting-cost-trace.txt"
  rm -f "$builddir/bench/server-trace.txt"
fi

dll="$builddir/src/automation/Sirel.dll"
if wine_run 60 regsvr32 /s "$(windows_path "$dll")"; then
  for script in "$root"/bench/vbscript/*.vbs; do
    ran=$((ran + 1))
    name=$(basename "$script")
    echo "=== [$arch] bench/vbscript/$name"
    # cscript wants CR LF line ends; it reports no script error, so the script ends with a marker.
    sed 's/\r*$/\r/' "$script" >"$builddir/bench/$name"
    output=$(wine_run "$limit" cscript //nologo "$(windows_path "$builddir/bench/$name")" 2>&1 | tr -d '\r')
    echo "$output"
    [ -n "${SIREL_BENCH_OUT:-}" ] && echo "$output" >"$SIREL_BENCH_OUT/vbscript-${name%.vbs}.txt"
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
for name in "${failed[@]}"; do echo "FAILED  [$arch] $name"; done
[ ${#failed[@]} -eq 0 ]
