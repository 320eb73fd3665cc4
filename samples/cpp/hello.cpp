// Sirel from C++, early bound through the header generated from Sirel.idl (Sirel_h.h; link
// Sirel_i.c for the GUIDs). Sirel.dll must be registered (regsvr32 Sirel.dll).
#include <windows.h>
#include <oleauto.h>

#include <cstdio>

#include "Sirel_h.h"

int main() {
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

  MessageBoxW(nullptr, L"Close this box to end the sample.", L"Sirel", MB_OK);
  poster->Release();
  CoUninitialize();
  return 0;
}
