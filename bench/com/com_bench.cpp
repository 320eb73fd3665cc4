// DoSirel through COM, early bound (the function table) and late bound (IDispatch::Invoke with
// the DISPID looked up once), with the message window hidden and shown, at 100, 1,000 and 32,767
// lines (MaxListCount = N on a full list, so every posting appends one line and removes one),
// each against a floor measured in the same run:
//   - the bare list work of a posting on a hidden LISTBOX of the message list's style and size:
//     append the line, make it the only selected line with the caret on it, remove the oldest,
//     done the cheapest way known: with the list's drawing held (WM_SETREDRAW off, the visible
//     flag cleared), as a hidden message list holds it, since nobody sees a hidden list;
//   - plus the cheapest member, the ShowCounter get, called the same way (the cost of crossing
//     the interface at all).
// Best of several rounds; the cases are interleaved in each round. Goals: shown within 1.5 times
// hidden; hidden within 1.3 times its floor. A posting also reads the active window (and, with
// ReturnFocus on, compares it again) when a client handler is connected; here none is.
// The list-work floor per size is also printed as "list-floor <lines> <ns>" lines, which
// scripts/run-wine-bench.sh hands to the VBScript benchmark.
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

constexpr int kRounds = 9;
constexpr int kCallsPerRound = 2000;
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
  explicit BareList(int lines) : lines_(lines) {
    frame_ = CreateWindowExW(0, L"STATIC", L"floor", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_EXTENDEDSEL |
                                LBS_NOTIFY | LBS_HASSTRINGS,
                            0, 0, 380, 260, frame_, nullptr, GetModuleHandleW(nullptr), nullptr);
    // Drawing stays held for the list's whole life: it is never shown.
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    SetWindowLongPtrW(list_, GWL_STYLE, GetWindowLongPtrW(list_, GWL_STYLE) & ~WS_VISIBLE);
    for (int i = 0; i < lines; ++i) Post();
  }
  ~BareList() { DestroyWindow(frame_); }

  // One posting's list work: add, select, trim.
  void Post() {
    const LRESULT newest = SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kLine));
    if (selected_ >= 0) SendMessageW(list_, LB_SETSEL, FALSE, selected_);
    SendMessageW(list_, LB_SETSEL, TRUE, newest);
    SendMessageW(list_, LB_SETCARETINDEX, static_cast<WPARAM>(newest), FALSE);
    selected_ = newest;
    if (SendMessageW(list_, LB_GETCOUNT, 0, 0) > lines_) {
      SendMessageW(list_, LB_DELETESTRING, 0, 0);
      --selected_;
    }
  }

 private:
  int lines_;
  HWND frame_ = nullptr;
  HWND list_ = nullptr;
  LPARAM selected_ = -1;
};

struct Best {
  double ns = 1e300;
  void Take(double value) { ns = std::min(ns, value); }
};

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

double PerSecond(double ns) { return 1e9 / ns; }

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
  BSTR text = SysAllocString(kLine);
  LONG priority = 5;

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
  const auto early = [&] { check(poster->DoSirel(&text, &priority)); };
  const auto late = [&] {
    check(dispatch->Invoke(doSirel, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                           &doSirelParams, nullptr, nullptr, nullptr));
  };
  const auto show = [&](bool shown) {
    VARIANT_BOOL visible = shown ? VARIANT_TRUE : VARIANT_FALSE;
    check(poster->put_FormVisible(&visible));
    Pump();
  };

  std::printf("Sirel COM benchmark: best of %d rounds x %d calls, nanoseconds per posting\n",
              kRounds, kCallsPerRound);
  std::printf("%-6s %6s %9s %9s %7s %9s %9s %7s %12s %12s\n", "bound", "lines", "hidden", "shown",
              "s/h", "floor", "list", "h/floor", "hidden/s", "shown/s");
  for (const int lines : {100, 1000, 32767}) {
    LONG limit = lines;
    poster->put_MaxListCount(&limit);
    show(false);
    check(poster->ClearList());
    for (int i = 0; i < lines; ++i) early();
    BareList bare(lines);

    Best list, earlyGet, lateGet, earlyHidden, earlyShown, lateHidden, lateShown;
    for (int round = 0; round < kRounds; ++round) {
      list.Take(TimeRound([&] { bare.Post(); }));
      earlyGet.Take(TimeRound([&] {
        VARIANT_BOOL on = 0;
        check(poster->get_ShowCounter(&on));
      }));
      lateGet.Take(TimeRound([&] {
        check(dispatch->Invoke(kShowCounter, IID_NULL, LOCALE_USER_DEFAULT,
                               DISPATCH_METHOD | DISPATCH_PROPERTYGET, &noParams, &result,
                               nullptr, nullptr));
      }));
      show(false);
      earlyHidden.Take(TimeRound(early));
      lateHidden.Take(TimeRound(late));
      show(true);
      earlyShown.Take(TimeRound(early));
      Pump();
      lateShown.Take(TimeRound(late));
      Pump();
    }
    LONG count = 0;
    poster->get_Count(&count);
    if (count != lines) std::printf("  (the list holds %ld lines!)\n", static_cast<long>(count));
    const auto row = [&](const char* bound, const Best& hidden, const Best& shown,
                         const Best& get) {
      const double floor = list.ns + get.ns;
      std::printf("%-6s %6d %9.0f %9.0f %6.2fx %9.0f %9.0f %6.2fx %12.0f %12.0f\n", bound, lines,
                  hidden.ns, shown.ns, shown.ns / hidden.ns, floor, list.ns, hidden.ns / floor,
                  PerSecond(hidden.ns), PerSecond(shown.ns));
    };
    row("early", earlyHidden, earlyShown, earlyGet);
    row("late", lateHidden, lateShown, lateGet);
    std::printf("list-floor %d %.0f\n", lines, list.ns);
  }
  std::printf("goals: shown/hidden (s/h) <= 1.50, hidden/floor (h/floor) <= 1.30\n");
  show(false);
  SysFreeString(text);
  if (FAILED(failure)) {
    std::printf("sirel_com_bench: a call failed with 0x%08lX\n", static_cast<unsigned long>(failure));
    return 1;
  }
  poster.Reset();
  dispatch.Reset();
  CoUninitialize();
  return 0;
}
