#!/usr/bin/env bash
# Shows that the release is reproducible: builds it a second time from the same files in another
# folder (build/reproduce/second-build, a path of another length), later than the first, and
# compares the two file by file: every file of dist/ (the archive, both installers, SHA256SUMS)
# and the two stripped DLLs that went into them. Run after `make dist`.
#
#   scripts/check-reproducible.sh
#
# The second build compiles only the DLL targets (JOBS jobs, default 2), uses make dist's
# scratch Wine prefix for its registration capture instead of making one, and runs as a machine
# without 32-bit programs would (SIREL_NO_X86=1). Both builds take the commit's time
# (SOURCE_DATE_EPOCH), as make dist does. Exits non-zero when anything differs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
copy="$root/build/reproduce/second-build"
jobs="${JOBS:-2}"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build/win64/CMakeCache.txt" 2>/dev/null || true)
first_dist="$root/dist"
if [ -z "$version" ] || [ ! -f "$first_dist/SHA256SUMS" ] || [ ! -f "$root/build/dist/wineprefix/.sirel-ready" ]; then
  echo "check-reproducible: no first release to compare with (run make dist)" >&2
  exit 1
fi
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct)
fi
export SOURCE_DATE_EPOCH

echo "check-reproducible: the second build in $copy"
rm -rf "$copy"
mkdir -p "$copy"
# The checkout's files as a clone has them: tracked and new ones, nothing ignored (no build/).
(cd "$root" && git ls-files -z --cached --others --exclude-standard |
  tar --null --files-from=- --ignore-failed-read -cf - 2>/dev/null) | tar -xf - -C "$copy"
started=$SECONDS
for preset in win64 win32; do
  (cd "$copy" && cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" --target Sirel -j "$jobs" >/dev/null)
done
echo "check-reproducible: both DLLs built in $((SECONDS - started))s"
# The second release is made as on a machine that runs no 32-bit programs (SIREL_NO_X86=1):
# where the first one checked the derived x86 registration against the x86 DLL, equal bytes
# show that both kinds of machine give the same release, at no extra build.
SIREL_NO_X86=1 SIREL_DIST_WINE_DIR="$root/build/dist" bash "$copy/scripts/make-dist.sh" >/dev/null

# compare LABEL FIRST SECOND: one line per file, the same or not.
differing=0
compare() {
  if cmp -s "$2" "$3"; then
    echo "  same     $1  $(sha256sum <"$2" | cut -c1-16)..."
  else
    echo "  DIFFERS  $1"
    differing=$((differing + 1))
  fi
}
echo "check-reproducible: the first build ($root) against the second ($copy, made with SIREL_NO_X86=1), file by file"
for arch in x64 x86; do
  compare "$arch/Sirel.dll (as released)" "$root/build/dist/stage/$arch/Sirel.dll" \
    "$copy/build/dist/stage/$arch/Sirel.dll"
done
names=$( (cd "$first_dist" && ls; cd "$copy/dist" && ls) | sort -u)
while IFS= read -r name; do
  compare "dist/$name" "$first_dist/$name" "$copy/dist/$name"
done <<<"$names"
# Where the archives differ, which of their files do.
if ! cmp -s "$first_dist/Sirel-$version.zip" "$copy/dist/Sirel-$version.zip"; then
  python3 - "$first_dist/Sirel-$version.zip" "$copy/dist/Sirel-$version.zip" <<'EOF' || true
import sys, zipfile
a, b = (zipfile.ZipFile(path) for path in sys.argv[1:])
ia, ib = {i.filename: i for i in a.infolist()}, {i.filename: i for i in b.infolist()}
for name in sorted(set(ia) | set(ib)):
    x, y = ia.get(name), ib.get(name)
    if not x or not y or a.read(name) != b.read(name) or x.date_time != y.date_time:
        print(f"    in the archive: {name} differs")
EOF
fi
if [ "$differing" -ne 0 ]; then
  echo "check-reproducible: $differing file(s) differ between two builds of the same files"
  exit 1
fi
echo "check-reproducible: both builds gave the same bytes"
