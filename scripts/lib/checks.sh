# Counted checks, shared by scripts/static-checks.sh and the Wine test scripts (tests/wine.d).
# Source it, then:
#
#   fail MESSAGE              prints "FAIL: MESSAGE" and counts it in $failures
#   pass MESSAGE              prints "ok:   MESSAGE"
#   finish NAME [SUMMARY]     exits 1 with "NAME: N check(s) failed" after any failure, else
#                             exits 0 with "NAME: SUMMARY" (default "all checks passed")
#   read_sirel_ids BUILDDIR   sets clsid, libid, iid and diid ({GUID}, as the build read them from
#                             Sirel.idl) from BUILDDIR's generated sirel_ids.sh; fails without it
#
# check_indent (default none) goes before every FAIL and ok line, for reports with sections.

failures=0
check_indent="${check_indent:-}"

fail() {
  echo "${check_indent}FAIL: $*"
  failures=$((failures + 1))
}

pass() { echo "${check_indent}ok:   $*"; }

finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$1: $failures check(s) failed"
    exit 1
  fi
  echo "$1: ${2:-all checks passed}"
  exit 0
}

# A caller that declares clsid, libid, iid and diid local gets them in its own scope.
read_sirel_ids() {
  local sirel_libid="" sirel_clsid="" sirel_iid="" sirel_diid=""
  # shellcheck source=/dev/null
  source "$1/src/automation/generated/sirel_ids.sh" || return 1
  clsid="{$sirel_clsid}" libid="{$sirel_libid}" iid="{$sirel_iid}" diid="{$sirel_diid}"
}
