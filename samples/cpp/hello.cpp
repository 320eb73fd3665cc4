// Sirel from C++, early bound through the header generated from Sirel.idl (include\Sirel_h.h;
// link include\Sirel_i.c for the GUIDs). Either Sirel.dll is registered (install.cmd), or the
// program carries hello.exe.manifest (hello.rc embeds it) and finds Sirel.dll and Sirel.X.manifest
// in its own folder: registration-free. Build it from the release folder, for example
//   x86_64-w64-mingw32-g++ -static -Iinclude samples\cpp\hello.cpp include\Sirel_i.c
//       -lole32 -loleaut32 -luuid -o hello.exe
//   cl /EHsc /Iinclude samples\cpp\hello.cpp include\Sirel_i.c ole32.lib oleaut32.lib user32.lib
//   hello.exe [seconds]   keeps the window up that long (default 30), then ends.
// Checked by the release tests: built with MinGW-w64 from the archive's files alone and run under
// Wine, registered and registration-free.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>

#include "Sirel_h.h"

// Runs the thread's messages for a while, so the window paints and answers its menu.
static void PumpMessagesFor(DWORD milliseconds) {
  const ULONGLONG until = GetTickCount64() + milliseconds;
  for (ULONGLONG now = GetTickCount64(); now < until; now = GetTickCount64()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(until - now), QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

int main(int argc, char** argv) {
  const long seconds = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 30;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  CLSID classId;
  _Sireler* poster = nullptr;
  HRESULT status = CLSIDFromProgID(L"Sirel.Sireler", &classId);
  if (SUCCEEDED(status)) {
    status = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID__Sireler,
                              reinterpret_cast<void**>(&poster));
  }
  if (FAILED(status)) {
    std::printf("Sirel.Sireler is not available (0x%08lX)\n", static_cast<unsigned long>(status));
    return 1;
  }

  VARIANT_BOOL on = VARIANT_TRUE;
  poster->put_ShowCounter(&on);
  poster->put_FormVisible(&on);

  // Every parameter is passed by reference; both arguments are always given here.
  BSTR text = SysAllocString(L"Hello from C++");
  LONG priority = 1;
  status = poster->DoSirel(&text, &priority);
  SysFreeString(text);

  if (FAILED(status)) {
    // A failure carries rich error info: source "Sirel.Sireler" and a description.
    IErrorInfo* info = nullptr;
    BSTR description = nullptr;
    if (GetErrorInfo(0, &info) == S_OK) {
      info->GetDescription(&description);
      info->Release();
    }
    std::printf("DoSirel failed: 0x%08lX %ls\n", static_cast<unsigned long>(status),
                description ? description : L"");
    SysFreeString(description);
  } else {
    BSTR last = nullptr;
    poster->get_LastMessage(&last);
    std::printf("The window shows: %ls\n", last);
    SysFreeString(last);
  }

  PumpMessagesFor(seconds > 0 ? static_cast<DWORD>(seconds) * 1000 : 0);
  poster->Release();
  CoUninitialize();
  return 0;
}
