#!/usr/bin/env bash
# Runs the Windows test programs of a cross build under Wine, then every executable script in
# tests/wine.d/ (script-driven and end-to-end tests), and prints a summary.
#
#   scripts/run-wine-tests.sh <builddir>
#
# Each <builddir>/tests/*/sirel_*_tests.exe runs with its GoogleTest output on the console and
# is killed and counted as failed when it hangs (SIREL_WINE_TEST_TIMEOUT seconds, default 600).
# Scripts run with the Wine environment exported (WINE, WINEPREFIX, DISPLAY, ...) and BUILD_DIR
# set to the absolute build folder; they may source scripts/wine-env.sh for wine_run. A script
# fails by exiting non-zero (Wine's cscript always exits 0: scripts check their own markers).
# Every line and the summary name the build's bitness (x64 or x86); scripts read it from
# SIREL_ARCH. An x86 build runs with the 32-bit loader in a 64-bit prefix; on a machine that
# cannot run 32-bit programs (scripts/probe-x86.sh) its suites are reported skipped, with the
# reason, and the run succeeds.
# Exits non-zero when anything failed or when there was nothing to run.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
builddir=$(sirel_build_dir "$0" "$@") || exit 2
limit="${SIREL_WINE_TEST_TIMEOUT:-600}"
arch=$(sirel_build_arch "$builddir")
if [ "$arch" = x86 ] && ! reason=$(bash "$root/scripts/probe-x86.sh" --skipping "the x86 Wine suites"); then
  echo
  echo "=== [x86] Wine test summary: SKIPPED, every x86 suite of $builddir: $reason"
  echo
  exit 0
fi
sirel_wine_locked "$builddir" "$0" "$@"
sirel_wine_setup "$builddir" || { echo "run-wine-tests: the Wine environment could not be set up" >&2; exit 1; }
export BUILD_DIR="$builddir"

passed=()
failed=()

run_one() {
  local name="$1"
  shift
  local started=$SECONDS status=0
  echo "=== [$arch] $name"
  "$@" || status=$?
  local took=$((SECONDS - started))
  if [ "$status" -eq 0 ]; then
    passed+=("$name (${took}s)")
  else
    failed+=("$name (exit $status, ${took}s)")
  fi
}

shopt -s nullglob
for exe in "$builddir"/tests/*/sirel_*_tests.exe; do
  run_one "${exe#"$builddir"/}" wine_run "$limit" "$exe"
done
for script in "$root"/tests/wine.d/*.sh; do
  # The release tests install both DLLs from dist/ themselves: once, in the x64 run.
  case "$arch:$(basename "$script")" in
    x86:release-*) echo "=== [x86] ${script#"$root"/}: runs in the x64 run"; continue ;;
  esac
  if [ -x "$script" ]; then
    run_one "${script#"$root"/}" timeout -k 10 "$limit" "$script"
  fi
done

echo
echo "=== [$arch] Wine test summary ($builddir): ${#passed[@]} passed, ${#failed[@]} failed"
for line in "${passed[@]}"; do echo "  [$arch] passed  $line"; done
for line in "${failed[@]}"; do echo "  [$arch] FAILED  $line"; done
if [ $((${#passed[@]} + ${#failed[@]})) -eq 0 ]; then
  echo "  nothing to run in $builddir" >&2
  exit 1
fi
[ ${#failed[@]} -eq 0 ]
