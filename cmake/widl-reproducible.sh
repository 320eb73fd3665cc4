#!/usr/bin/env bash
# Runs widl so that two builds in different folders write the same files:
#
#   widl-reproducible.sh WIDL [OPTIONS...] IDL
#
# widl names the IDL in the header it writes ("from <path>"), so it runs in the IDL's folder
# and is given the file's name alone; and it writes its clock's time into the type library, so
# it runs under faketime with the clock stopped at a fixed time. A fixed time rather than the
# commit's: the type library is rebuilt only when the IDL changes, and a fresh and an
# incremental build of one commit must agree.
set -euo pipefail
widl="$1"
shift
[ $# -ge 1 ] || { echo "usage: $0 WIDL [OPTIONS...] IDL" >&2; exit 2; }
idl="${*: -1}"
options=("${@:1:$#-1}")
cd "$(dirname "$idl")"
TZ=UTC exec faketime -f "2000-01-01 00:00:00" "$widl" "${options[@]}" "$(basename "$idl")"
