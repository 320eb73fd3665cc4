#!/usr/bin/env bash
# Registration-free use through Sirel.X.manifest: the C++ sample, built from the release
# archive with its application manifest embedded (samples/cpp/hello.rc), creates Sirel.Sireler
# by its ProgID and posts, with Sirel.dll and Sirel.X.manifest beside it and nothing registered
# in the prefix. Without Sirel.X.manifest beside it, the same program cannot start. And a host
# without a manifest of its own activates Sirel.X.manifest (CreateActCtxW, ActivateActCtx) around
# the creation, as the user's README describes for hosts that load an activation context.
# Run by scripts/run-wine-tests.sh (WINE, WINEPREFIX, BUILD_DIR exported).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tests/wine.d/lib/release-checks.sh
source "$root/tests/wine.d/lib/release-checks.sh"
release_setup release-manifest "$@"

mkdir -p "$work/archive" "$work/app" "$work/no-manifest"
unzip -q "$zip" -d "$work/archive" || fail "unzip"
archive="$work/archive"

for key in 'HKCU\Software\Classes' 'HKLM\Software\Classes'; do
  for entry in 'Sirel.Sireler' "CLSID\\$clsid"; do
    if wine_run 60 reg query "$key\\$entry" >/dev/null 2>&1; then fail "$key\\$entry is registered"; fi
  done
done

(cd "$archive/samples/cpp" && x86_64-w64-mingw32-windres hello.rc -O coff -o "$work/hello.res.o") \
  || fail "windres hello.rc"
x86_64-w64-mingw32-g++-posix -static -I"$archive/include" "$archive/samples/cpp/hello.cpp" \
  "$archive/include/Sirel_i.c" "$work/hello.res.o" -lole32 -loleaut32 -luuid \
  -o "$work/app/hello.exe" || fail "the registration-free sample does not build"
cp "$archive/x64/Sirel.dll" "$archive/x64/Sirel.X.manifest" "$work/app/"
cp "$work/app/hello.exe" "$archive/x64/Sirel.dll" "$work/no-manifest/"

output=$(wine_run 120 "$work/app/hello.exe" 0 2>&1 | tr -d '\r')
echo "$output"
grep -q '^The window shows: .*Hello from C++$' <<<"$output" \
  || fail "hello.exe did not create a poster through Sirel.X.manifest"

output=$(wine_run 120 "$work/no-manifest/hello.exe" 0 2>&1 | tr -d '\r')
if grep -q '^The window shows:' <<<"$output"; then
  fail "hello.exe created a poster without Sirel.X.manifest: the test proves nothing"
fi

# The activation-context host: no application manifest, the archive's x64 folder by full path.
cat >"$work/context_host.cpp" <<'CPP'
#include <windows.h>
#include <oleauto.h>
#include <cstdio>
#include "Sirel_h.h"
int wmain(int, wchar_t** argv) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ACTCTXW context = {sizeof(context)};
  context.lpSource = argv[1];
  HANDLE handle = CreateActCtxW(&context);
  ULONG_PTR cookie = 0;
  if (handle == INVALID_HANDLE_VALUE || !ActivateActCtx(handle, &cookie)) {
    std::printf("no activation context (%lu)\n", GetLastError());
    return 1;
  }
  CLSID classId;
  IDispatch* poster = nullptr;
  HRESULT status = CLSIDFromProgID(L"Sirel.Sireler", &classId);
  if (SUCCEEDED(status)) {
    status = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(&poster));
  }
  DeactivateActCtx(0, cookie);
  if (FAILED(status)) {
    std::printf("not created (0x%08lX)\n", static_cast<unsigned long>(status));
    return 1;
  }
  _Sireler* early = nullptr;
  poster->QueryInterface(IID__Sireler, reinterpret_cast<void**>(&early));
  BSTR text = SysAllocString(L"Hello through an activation context");
  LONG priority = 1;
  status = early->DoSirel(&text, &priority);
  BSTR last = nullptr;
  early->get_LastMessage(&last);
  std::printf("posted 0x%08lX: %ls\n", static_cast<unsigned long>(status), last);
  SysFreeString(last);
  SysFreeString(text);
  early->Release();
  poster->Release();
  ReleaseActCtx(handle);
  CoUninitialize();
  return 0;
}
CPP
if x86_64-w64-mingw32-g++-posix -static -municode -I"$archive/include" "$work/context_host.cpp" \
     "$archive/include/Sirel_i.c" -lole32 -loleaut32 -luuid -o "$work/context_host.exe"; then
  output=$(wine_run 120 "$work/context_host.exe" "$(windows_path "$archive/x64/Sirel.X.manifest")" 2>&1 | tr -d '\r')
  echo "$output"
  grep -q '^posted 0x00000000: .*Hello through an activation context$' <<<"$output" \
    || fail "the activation-context host did not create a poster"
else
  fail "the activation-context host does not build"
fi

finish release-manifest
