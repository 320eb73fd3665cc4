// DoSirel through COM, early bound (the function table) and late bound (IDispatch::Invoke with
// the DISPID looked up once), each against a floor measured in the same run:
//   - the list work a posting needs, done directly on a bare LISTBOX of the message list's
//     style and size: append the line, make it the only selected line with the caret on it,
//     remove the oldest line, read the active window and restore it;
//   - plus the cheapest member, the ShowCounter get, called the same way (the cost of crossing
//     the interface at all).
// The poster's list is held at 100 lines (MaxListCount) so every posting appends one line and
// removes one, like the floor. Best of several rounds; the cases are interleaved in each round.
// Goal: each DoSirel within 1.3 times its floor.
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "wall_clock_win32.h"
#include "Sirel_h.h"
#include "sirel_ids.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr int kRounds = 5;
constexpr int kCallsPerRound = 2000;
constexpr int kListLines = 100;
constexpr DISPID kDoSirel = sirel::dispid::DoSirel;
constexpr DISPID kShowCounter = sirel::dispid::ShowCounter;
const wchar_t kLine[] = L"A benchmark message of ordinary length";

double Now() { return sirel::bench::WallSeconds(); }

// Nanoseconds per call of one round.
double TimeRound(const std::function<void()>& call) {
  const double start = Now();
  for (int i = 0; i < kCallsPerRound; ++i) call();
  return (Now() - start) * 1e9 / kCallsPerRound;
}

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

ComPtr<_Sireler> CreatePoster() {
  HMODULE dll = LoadLibraryW((ProgramFolder() + L"Sirel.dll").c_str());
  if (dll == nullptr) return nullptr;
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto get = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
  ComPtr<IClassFactory> factory;
  ComPtr<_Sireler> poster;
  if (get == nullptr ||
      FAILED(get(CLSID_Sireler, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()))) ||
      FAILED(factory->CreateInstance(nullptr, IID__Sireler, reinterpret_cast<void**>(poster.GetAddressOf())))) {
    return nullptr;
  }
  return poster;
}

// The floor's list: a hidden window holding a LISTBOX with the message list's styles.
class BareList {
 public:
  BareList() {
    frame_ = CreateWindowExW(0, L"STATIC", L"floor", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_EXTENDEDSEL |
                                LBS_NOTIFY | LBS_HASSTRINGS,
                            0, 0, 380, 260, frame_, nullptr, GetModuleHandleW(nullptr), nullptr);
    for (int i = 0; i < kListLines; ++i) Post();
  }
  ~BareList() { DestroyWindow(frame_); }

  // One posting's list work.
  void Post() {
    const HWND active = GetActiveWindow();
    const LRESULT newest = SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kLine));
    if (selected_ >= 0) SendMessageW(list_, LB_SETSEL, FALSE, selected_);
    SendMessageW(list_, LB_SETSEL, TRUE, newest);
    SendMessageW(list_, LB_SETCARETINDEX, static_cast<WPARAM>(newest), FALSE);
    selected_ = newest;
    if (SendMessageW(list_, LB_GETCOUNT, 0, 0) > kListLines) {
      SendMessageW(list_, LB_DELETESTRING, 0, 0);
      --selected_;
    }
    if (active != nullptr) SetActiveWindow(active);
  }

 private:
  HWND frame_ = nullptr;
  HWND list_ = nullptr;
  LPARAM selected_ = -1;
};

struct Best {
  double ns = 1e300;
  void Take(double value) { ns = std::min(ns, value); }
};

}  // namespace

int main() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ComPtr<_Sireler> poster = CreatePoster();
  if (!poster) {
    std::printf("sirel_com_bench: could not create a poster from Sirel.dll\n");
    return 1;
  }
  ComPtr<IDispatch> dispatch;
  poster.As(&dispatch);
  LONG limit = kListLines;
  poster->put_MaxListCount(&limit);
  BSTR text = SysAllocString(kLine);
  LONG priority = 5;
  for (int i = 0; i < kListLines; ++i) poster->DoSirel(&text, &priority);
  BareList bare;

  // Late bound as a C++ or VBA client calls: the DISPID looked up once, typed arguments.
  LPOLESTR name = const_cast<LPOLESTR>(L"DoSirel");
  DISPID doSirel = DISPID_UNKNOWN;
  dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &doSirel);
  if (doSirel != kDoSirel) {
    std::printf("sirel_com_bench: DoSirel has DISPID 0x%lX\n", static_cast<unsigned long>(doSirel));
    return 1;
  }
  VARIANTARG doSirelArgs[2];
  VariantInit(&doSirelArgs[0]);
  VariantInit(&doSirelArgs[1]);
  V_VT(&doSirelArgs[1]) = VT_BSTR;
  V_BSTR(&doSirelArgs[1]) = text;  // borrowed, not freed through the variant
  V_VT(&doSirelArgs[0]) = VT_I4;
  V_I4(&doSirelArgs[0]) = priority;
  DISPPARAMS doSirelParams{doSirelArgs, nullptr, 2, 0};
  DISPPARAMS noParams{nullptr, nullptr, 0, 0};
  VARIANT result;
  VariantInit(&result);
  HRESULT failure = S_OK;
  auto check = [&](HRESULT status) {
    if (FAILED(status)) failure = status;
  };

  Best list, earlyGet, lateGet, earlyPost, latePost;
  for (int round = 0; round < kRounds; ++round) {
    list.Take(TimeRound([&] { bare.Post(); }));
    earlyGet.Take(TimeRound([&] {
      VARIANT_BOOL on = 0;
      check(poster->get_ShowCounter(&on));
    }));
    lateGet.Take(TimeRound([&] {
      check(dispatch->Invoke(kShowCounter, IID_NULL, LOCALE_USER_DEFAULT,
                             DISPATCH_METHOD | DISPATCH_PROPERTYGET, &noParams, &result, nullptr,
                             nullptr));
    }));
    earlyPost.Take(TimeRound([&] { check(poster->DoSirel(&text, &priority)); }));
    latePost.Take(TimeRound([&] {
      check(dispatch->Invoke(doSirel, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                             &doSirelParams, nullptr, nullptr, nullptr));
    }));
  }
  SysFreeString(text);
  if (FAILED(failure)) {
    std::printf("sirel_com_bench: a call failed with 0x%08lX\n", static_cast<unsigned long>(failure));
    return 1;
  }

  const double earlyFloor = list.ns + earlyGet.ns;
  const double lateFloor = list.ns + lateGet.ns;
  std::printf("Sirel COM benchmark: best of %d rounds x %d calls, nanoseconds per call\n", kRounds,
              kCallsPerRound);
  std::printf("  %-46s %9.0f\n", "list work on a bare LISTBOX", list.ns);
  std::printf("  %-46s %9.0f\n", "ShowCounter get, early bound", earlyGet.ns);
  std::printf("  %-46s %9.0f\n", "ShowCounter get, late bound", lateGet.ns);
  std::printf("  %-46s %9.0f   floor %7.0f   ratio %.2f (goal <= 1.30)\n", "DoSirel, early bound",
              earlyPost.ns, earlyFloor, earlyPost.ns / earlyFloor);
  std::printf("  %-46s %9.0f   floor %7.0f   ratio %.2f (goal <= 1.30)\n",
              "DoSirel, late bound (DISPID looked up once)", latePost.ns, lateFloor,
              latePost.ns / lateFloor);
  poster.Reset();
  dispatch.Reset();
  CoUninitialize();
  return 0;
}
