// The host's life: what a host process does that must neither take it down nor hang it, one
// case per row of a table, each on threads of its own under a watchdog (a case that hangs ends
// the program with a failure). Sirel.dll is found through its registration, as a host finds it.
//   - A poster called through its raw pointer from another thread (no marshalling), while its
//     own thread does not run messages, and again after its own thread has ended.
//   - A foreground application of another process that answers, or stops answering before or
//     after the poster is made: making, showing, posting 50 lines, moving, hiding and releasing
//     all finish (the program runs itself as that application).
//   - COM freeing the library at a thread's last CoUninitialize, as Windows does whatever
//     DllCanUnloadNow answers, while the thread goes on running messages: a worker that tidies
//     up, a host that uninitialises in its main window's WM_DESTROY with the message window its
//     child, and a thread whose neighbour's window still lives (the library must then stay).
#include <windows.h>
#include <objbase.h>
#include <imm.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "com_test_support.h"
#include "recording_sink.h"
#include "sirel_ids.h"
#include "support/pump_messages.h"

namespace sirel::test {
namespace {

constexpr DWORD kCaseLimitMs = 30000;

// Runs body on a thread of its own; a body that does not end in time fails the program, and
// one whose thread ends before the body does (a fault that Wine ends the thread for) fails.
constexpr DWORD kBodyEnded = 0x5115e1;
void RunGuarded(const std::function<void()>& body) {
  struct Call {
    static DWORD WINAPI Main(void* body) {
      (*static_cast<const std::function<void()>*>(body))();
      return kBodyEnded;
    }
  };
  HANDLE thread = CreateThread(nullptr, 0, &Call::Main, const_cast<std::function<void()>*>(&body),
                               0, nullptr);
  if (WaitForSingleObject(thread, kCaseLimitMs) != WAIT_OBJECT_0) {
    ADD_FAILURE() << "the case did not end within " << kCaseLimitMs << " ms";
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
  }
  DWORD ended = 0;
  GetExitCodeThread(thread, &ended);
  EXPECT_EQ(ended, kBodyEnded) << "the case's thread ended in the middle of the case";
  CloseHandle(thread);
}

ComPtr<_Sireler> MakePoster() {
  ComPtr<_Sireler> poster;
  EXPECT_EQ(CoCreateInstance(CLSID_Sireler, nullptr, CLSCTX_INPROC_SERVER, IID__Sireler,
                             reinterpret_cast<void**>(poster.GetAddressOf())),
            S_OK);
  return poster;
}

// ---- A poster called from the wrong thread ---------------------------------------------------

// What the owner thread hands over: raw pointers, as a host's cached pointer.
struct Owned {
  _Sireler* poster = nullptr;
  IConnectionPoint* point = nullptr;
  IEnumConnectionPoints* points = nullptr;
  DWORD cookie = 0;
};

struct WrongThreadCall {
  const char* name;
  std::function<HRESULT(Owned&)> call;
};

std::vector<WrongThreadCall> WrongThreadCalls() {
  static Variant window(0L);
  static ComPtr<RecordingDispatchSink> sink = RecordingDispatchSink::Make();
  return {
      {"get_Count", [](Owned& o) { LONG v = 0; return o.poster->get_Count(&v); }},
      {"DoSirel", [](Owned& o) { return Post(o.poster, L"wrong thread"); }},
      {"put_FormVisible", [](Owned& o) { VARIANT_BOOL v = VARIANT_TRUE; return o.poster->put_FormVisible(&v); }},
      {"SetParentWindow", [](Owned& o) { return o.poster->SetParentWindow(&window.value); }},
      {"ClearList", [](Owned& o) { return o.poster->ClearList(); }},
      {"DeleteSelectedMessages", [](Owned& o) { return o.poster->DeleteSelectedMessages(); }},
      {"GetTypeInfoCount", [](Owned& o) { UINT n = 0; return o.poster->GetTypeInfoCount(&n); }},
      {"GetTypeInfo", [](Owned& o) { ComPtr<ITypeInfo> t; return o.poster->GetTypeInfo(0, 0, &t); }},
      {"GetIDsOfNames", [](Owned& o) {
         LPOLESTR name = const_cast<LPOLESTR>(L"Count");
         DISPID id = 0;
         return o.poster->GetIDsOfNames(IID_NULL, &name, 1, 0, &id);
       }},
      {"Invoke", [](Owned& o) { return InvokeDispatch(o.poster, dispid::ClearList, DISPATCH_METHOD, {}).status; }},
      {"FindConnectionPoint", [](Owned& o) {
         ComPtr<IConnectionPointContainer> c;
         o.poster->QueryInterface(IID_PPV_ARGS(&c));
         ComPtr<IConnectionPoint> p;
         return c->FindConnectionPoint(DIID___Sireler, &p);
       }},
      {"EnumConnectionPoints", [](Owned& o) {
         ComPtr<IConnectionPointContainer> c;
         o.poster->QueryInterface(IID_PPV_ARGS(&c));
         ComPtr<IEnumConnectionPoints> e;
         return c->EnumConnectionPoints(&e);
       }},
      {"Advise", [](Owned& o) { DWORD c = 0; return o.point->Advise(sink.Get(), &c); }},
      {"Unadvise", [](Owned& o) { return o.point->Unadvise(o.cookie); }},
      {"EnumConnections", [](Owned& o) { ComPtr<IEnumConnections> e; return o.point->EnumConnections(&e); }},
      {"GetConnectionInterface", [](Owned& o) { IID iid; return o.point->GetConnectionInterface(&iid); }},
      {"enumerator Reset", [](Owned& o) { return o.points->Reset(); }},
      {"enumerator Clone", [](Owned& o) { ComPtr<IEnumConnectionPoints> e; return o.points->Clone(&e); }},
  };
}

// Every call is refused at once and changes nothing; reference counting, QueryInterface, error
// and class info answer. Checked while the owner waits without running messages, and again
// after it has ended; the last release then happens here and touches no window.
BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<DWORD*>(count);
  return TRUE;
}

void WrongThreadCase() {
  Owned owned;
  HANDLE made = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE checked = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  LONG countAfter = -1;
  ComPtr<RecordingDispatchSink> sink = RecordingDispatchSink::Make();
  std::thread owner([&] {
    // No CoUninitialize: Windows would free the library at this thread's last one while the
    // other thread still holds the poster (that would be the host's own fault).
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ComPtr<_Sireler> poster = MakePoster();
    Post(poster.Get(), L"owner");
    owned.cookie = Advise(poster.Get(), sink.Get());
    ComPtr<IConnectionPointContainer> container;
    poster.As(&container);
    container->FindConnectionPoint(DIID___Sireler, &owned.point);
    container->EnumConnectionPoints(&owned.points);
    owned.poster = poster.Get();
    owned.poster->AddRef();  // handed over
    SetEvent(made);
    WaitForSingleObject(checked, INFINITE);  // not running messages
    countAfter = Count(poster.Get());
  });
  ASSERT_EQ(WaitForSingleObject(made, kCaseLimitMs), WAIT_OBJECT_0);
  for (const std::string when : {"owner waiting", "owner ended"}) {
    for (const WrongThreadCall& c : WrongThreadCalls()) {
      SCOPED_TRACE(when + ": " + c.name);
      EXPECT_EQ(c.call(owned), RPC_E_WRONG_THREAD);
    }
    ComPtr<ISupportErrorInfo> errors;
    ASSERT_EQ(owned.poster->QueryInterface(IID_PPV_ARGS(&errors)), S_OK);
    EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID__Sireler), S_OK);
    ComPtr<IProvideClassInfo> classInfo;
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(owned.poster->QueryInterface(IID_PPV_ARGS(&classInfo)), S_OK);
    EXPECT_EQ(classInfo->GetClassInfo(&info), S_OK);
    if (when == "owner waiting") {
      SetEvent(checked);
      owner.join();
      EXPECT_EQ(countAfter, 1) << "a refused call changed the list";
      EXPECT_TRUE(sink->events.empty()) << "a refused call raised an event";
    }
  }
  owned.points->Release();
  owned.point->Release();
  EXPECT_EQ(owned.poster->Release(), 0u);
  DWORD windows = 0;
  EnumThreadWindows(GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&windows));
  EXPECT_EQ(windows, 0u) << "the last release made a window on the wrong thread";
  CloseHandle(made);
  CloseHandle(checked);
}

// ---- A foreground application of another process ---------------------------------------------

enum class Freeze { Never, BeforeCreation, AfterCreation };

// This program run as the foreground application: a visible window in the foreground, answering
// until told to stop, then never again.
int RunForegroundApplication(const wchar_t* ready, const wchar_t* stop, const wchar_t* stopped) {
  HANDLE readyEvent = OpenEventW(EVENT_MODIFY_STATE, FALSE, ready);
  HANDLE stopEvent = OpenEventW(SYNCHRONIZE, FALSE, stop);
  HANDLE stoppedEvent = OpenEventW(EVENT_MODIFY_STATE, FALSE, stopped);
  HWND window = CreateWindowExW(0, L"STATIC", L"foreground application",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                                nullptr, nullptr, nullptr);
  SetForegroundWindow(window);
  test_support::PumpMessages();
  SetEvent(readyEvent);
  while (MsgWaitForMultipleObjects(1, &stopEvent, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
    test_support::PumpMessages();
  }
  SetEvent(stoppedEvent);
  Sleep(INFINITE);
  return 0;
}

class ForegroundApplication {
 public:
  ForegroundApplication() {
    const std::wstring base = L"SirelHostLife" + std::to_wstring(GetCurrentProcessId());
    for (int i = 0; i < 3; ++i) {
      names_[i] = base + L"." + std::to_wstring(i);
      events_[i] = CreateEventW(nullptr, TRUE, FALSE, names_[i].c_str());
    }
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(program) + L"\" --foreground-application " +
                        names_[0] + L" " + names_[1] + L" " + names_[2];
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                   &process_);
    WaitForSingleObject(events_[0], 10000);
  }
  ~ForegroundApplication() {
    TerminateProcess(process_.hProcess, 0);
    WaitForSingleObject(process_.hProcess, 10000);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    for (HANDLE e : events_) CloseHandle(e);
  }
  bool OwnsTheForeground() const {
    DWORD owner = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &owner);
    return owner == process_.dwProcessId;
  }
  void StopAnswering() {
    SetEvent(events_[1]);
    WaitForSingleObject(events_[2], 10000);
  }

 private:
  std::wstring names_[3];
  HANDLE events_[3]{};
  PROCESS_INFORMATION process_{};
};

void ForegroundCase(Freeze freeze) {
  ForegroundApplication application;
  ASSERT_TRUE(application.OwnsTheForeground());
  if (freeze == Freeze::BeforeCreation) application.StopAnswering();
  RunGuarded([&] {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
      ComPtr<_Sireler> poster = MakePoster();
      if (!poster) return;
      if (freeze == Freeze::AfterCreation) application.StopAnswering();
      VARIANT_BOOL on = VARIANT_TRUE;
      EXPECT_EQ(poster->put_FormVisible(&on), S_OK);
      for (int i = 0; i < 50; ++i) EXPECT_EQ(Post(poster.Get(), L"line"), S_OK);
      float top = 100;
      float left = 200;
      EXPECT_EQ(poster->SetLocation(&top, &left), S_OK);
      EXPECT_EQ(GetAncestor(WindowOf(poster.Get()), GA_PARENT), GetDesktopWindow())
          << "another process's window was adopted";
      VARIANT_BOOL off = VARIANT_FALSE;
      EXPECT_EQ(poster->put_FormVisible(&off), S_OK);
    }
    test_support::PumpMessages();
    CoUninitialize();
  });
}

// ---- The library freed by COM ------------------------------------------------------------------

bool DllLoaded() { return GetModuleHandleW(L"Sirel.dll") != nullptr; }

// What Windows does when a thread's apartment ends (its last CoUninitialize): every in-process
// server its COM loaded is freed. Wine keeps the library when it answered no; dropping COM's
// reference does the rest.
void FreeAsWindowsDoes() {
  APTTYPE type{};
  APTTYPEQUALIFIER qualifier{};
  EXPECT_EQ(CoGetApartmentType(&type, &qualifier), CO_E_NOTINITIALIZED)
      << "the apartment lives on: Windows would free nothing here";
  if (HMODULE dll = GetModuleHandleW(L"Sirel.dll")) FreeLibrary(dll);
}

// Wine's input method initialises COM on a thread as soon as one of its windows is activated,
// and keeps that initialisation until the thread's windows are gone: the host's last
// CoUninitialize then leaves the apartment alive, and nothing would be freed. The cases below
// are about the host's last CoUninitialize ending the apartment, so their threads run without
// the input method.
void WithoutInputMethod() { ImmDisableIME(0); }

// A poster made, shown and given a line, then released; its window stays (it is the thread's).
HWND UseAndRelease(const Variant* parent = nullptr) {
  ComPtr<_Sireler> poster = MakePoster();
  if (!poster) return nullptr;
  if (parent != nullptr) poster->SetParentWindow(const_cast<VARIANT*>(&parent->value));
  VARIANT_BOOL on = VARIANT_TRUE;
  EXPECT_EQ(poster->put_FormVisible(&on), S_OK);
  EXPECT_EQ(Post(poster.Get(), L"line"), S_OK);
  return WindowOf(poster.Get());
}

void PumpAfterTheFree(HWND window) {
  if (IsWindow(window)) PostMessageW(window, WM_NULL, 0, 0);
  for (int i = 0; i < 5; ++i) {
    test_support::PumpMessages();
    Sleep(20);
  }
  EXPECT_FALSE(IsWindow(window)) << "the thread's window outlived its apartment";
}

// A poster used and released in an apartment of its own, then the apartment's last
// CoUninitialize and the free that Windows does there, and messages run afterwards.
void UseInAnApartmentFreedAsWindowsDoes() {
  WithoutInputMethod();
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const HWND window = UseAndRelease();
  CoUninitialize();
  FreeAsWindowsDoes();
  PumpAfterTheFree(window);
}

// A worker that tidies up and goes on running messages; afterwards COM is initialised again and
// a poster made, and with nothing left alive the library unloads.
void FreedAtTheLastUninitialize() {
  UseInAnApartmentFreedAsWindowsDoes();
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ComPtr<_Sireler> again = MakePoster();
  EXPECT_EQ(again ? Post(again.Get(), L"again") : E_FAIL, S_OK);
  again.Reset();
  CoUninitialize();
  FreeAsWindowsDoes();
  EXPECT_FALSE(DllLoaded()) << "nothing lives, yet the library stayed";
}

// The host's main window uninitialises COM in its WM_DESTROY; the message window is its child
// and would get its own WM_DESTROY afterwards.
LRESULT CALLBACK UninitialisingFrame(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    CoUninitialize();
    FreeAsWindowsDoes();
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void FreedInTheFramesDestroy() {
  WNDCLASSW frameClass{};
  frameClass.lpfnWndProc = &UninitialisingFrame;
  frameClass.lpszClassName = L"SirelHostLifeFrame";
  RegisterClassW(&frameClass);
  WithoutInputMethod();
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const HWND frame = CreateWindowExW(0, frameClass.lpszClassName, L"host", WS_OVERLAPPEDWINDOW,
                                     0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
  const Variant parent(static_cast<LONG>(reinterpret_cast<LONG_PTR>(frame)));
  const HWND window = UseAndRelease(&parent);
  EXPECT_EQ(GetAncestor(window, GA_PARENT), frame);
  DestroyWindow(frame);
  PumpAfterTheFree(window);
  UnregisterClassW(frameClass.lpszClassName, nullptr);
  EXPECT_FALSE(DllLoaded());
}

// A neighbour thread's window lives when this thread's COM frees the library: the library
// stays loaded for good, and the neighbour goes on posting.
void FreedWhileANeighboursWindowLives() {
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE finish = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HRESULT later = E_FAIL;
  std::thread neighbour([&] {
    WithoutInputMethod();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
      ComPtr<_Sireler> poster = MakePoster();
      SetEvent(ready);
      test_support::WaitPumping(finish, kCaseLimitMs);
      if (poster) later = Post(poster.Get(), L"after the neighbour's free");
    }
    CoUninitialize();
  });
  test_support::WaitPumping(ready, kCaseLimitMs);
  UseInAnApartmentFreedAsWindowsDoes();
  EXPECT_TRUE(DllLoaded()) << "freed under the neighbour's window";
  SetEvent(finish);
  neighbour.join();
  EXPECT_EQ(later, S_OK);
  CloseHandle(ready);
  CloseHandle(finish);
}

// ---- The apartment ending however it ends (the input method left as it is) --------------------

// A component that keeps an initialisation of its own on the thread and drops it from its own
// spy during the host's last CoUninitialize, as text services do on Windows: the library's spy
// then sees a higher count than 1, and the apartment ends all the same. It drops every
// initialisation but the host's, so Wine's input method's too (Wine's keeps it; text services
// on Windows drop theirs in the same way).
class DroppingSpy final : public IInitializeSpy {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** o) override { return *o = this, S_OK; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE PreInitialize(DWORD, DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PostInitialize(HRESULT status, DWORD, DWORD) override { return status; }
  HRESULT STDMETHODCALLTYPE PostUninitialize(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PreUninitialize(DWORD references) override {
    if (dropped) return S_OK;
    dropped = true;  // first: each drop calls this spy again, with the count not yet lowered
    for (DWORD n = references - 1; n > 0; --n) CoUninitialize();
    return S_OK;
  }
  bool dropped = false;
};

void ApartmentEndsBehindTheSpy() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  DroppingSpy component;
  ULARGE_INTEGER cookie{};
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // the component's own
  ASSERT_EQ(CoRegisterInitializeSpy(&component, &cookie), S_OK);
  const HWND window = UseAndRelease();
  CoUninitialize();
  CoRevokeInitializeSpy(cookie);
  EXPECT_TRUE(component.dropped);
  FreeAsWindowsDoes();
  PostMessageW(window, WM_NULL, 0, 0);
  test_support::PumpMessages();
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ComPtr<_Sireler> again = MakePoster();
  EXPECT_EQ(again ? Post(again.Get(), L"again") : E_FAIL, S_OK);
  again.Reset();
  CoUninitialize();
}

// A thread timer of the host destroys the host's frame, whose WM_DESTROY makes the last
// CoUninitialize (Windows then frees the library), while the pop-up menu or the About box runs
// its loop above. The timer chooses "A&bout" in the open menu first for the box; it ends the
// menu, and a box still shown after its window went, itself, so that the row cannot hang.
enum class OpenLoop { Menu, AboutBox };
struct ModalCase {
  OpenLoop loop;
  HWND frame;
  int ticks;
  bool boxOpened;
  bool boxOutlivedItsWindow;
};
ModalCase g_modal{};
HWND AboutBox() { return FindWindowW(L"#32770", L"About Sireler"); }

void CALLBACK DestroyTheFrame(HWND, UINT, UINT_PTR timer, DWORD) {
  g_modal.boxOpened = g_modal.boxOpened || AboutBox() != nullptr;
  if (g_modal.loop == OpenLoop::AboutBox && !g_modal.boxOpened && ++g_modal.ticks < 25) {
    PostMessageW(GetFocus(), WM_CHAR, L'b', 0);  // the open menu takes every key of the thread
    return;
  }
  KillTimer(nullptr, timer);
  EndMenu();
  DestroyWindow(g_modal.frame);
  const HWND box = AboutBox();
  g_modal.boxOutlivedItsWindow = box != nullptr && IsWindowVisible(box);
  if (g_modal.boxOutlivedItsWindow) EndDialog(box, IDOK);
}

void FrameDestroyedInAModalLoop(OpenLoop loop) {
  WNDCLASSW frameClass{};
  frameClass.lpfnWndProc = &UninitialisingFrame;
  frameClass.lpszClassName = L"SirelHostLifeModalFrame";
  RegisterClassW(&frameClass);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  DroppingSpy component;  // Wine's input method's initialisation goes as on Windows
  ULARGE_INTEGER cookie{};
  ASSERT_EQ(CoRegisterInitializeSpy(&component, &cookie), S_OK);
  const HWND frame = CreateWindowExW(0, frameClass.lpszClassName, L"host", WS_OVERLAPPEDWINDOW |
                                     WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
  g_modal = {loop, frame, 0, false, false};
  const Variant parent(static_cast<LONG>(reinterpret_cast<LONG_PTR>(frame)));
  const HWND window = UseAndRelease(&parent);
  SetTimer(nullptr, 0, 200, &DestroyTheFrame);
  SendMessageW(GetWindow(window, GW_CHILD), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_FALSE(IsWindow(frame));
  EXPECT_EQ(g_modal.boxOpened, loop == OpenLoop::AboutBox);
  EXPECT_FALSE(g_modal.boxOutlivedItsWindow) << "the About box stayed open without its window";
  EXPECT_EQ(AboutBox(), nullptr);
  PumpAfterTheFree(window);
  CoRevokeInitializeSpy(cookie);
  UnregisterClassW(frameClass.lpszClassName, nullptr);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // a new apartment makes posters again
  ComPtr<_Sireler> again = MakePoster();
  EXPECT_EQ(again ? Post(again.Get(), L"again") : E_FAIL, S_OK);
  again.Reset();
  CoUninitialize();
}

// A worker's poster made while the main thread's frame is in the foreground stays top-level:
// the worker runs no messages, and the main thread's DestroyWindow of its frame must not wait.
void WorkerBesideTheForegroundFrame() {
  const HWND frame = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                     0, 400, 300, nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(frame);
  test_support::PumpMessages();
  ASSERT_EQ(GetForegroundWindow(), frame);
  HANDLE made = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HWND parentOfWorkers = nullptr;
  std::thread worker([&] {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (ComPtr<_Sireler> poster = MakePoster()) {
      parentOfWorkers = GetAncestor(WindowOf(poster.Get()), GA_PARENT);
      SetEvent(made);
      Sleep(3000);  // busy, running no messages
    }
    CoUninitialize();
  });
  test_support::WaitPumping(made, kCaseLimitMs);
  EXPECT_EQ(parentOfWorkers, GetDesktopWindow()) << "the main thread's frame was adopted";
  const ULONGLONG before = GetTickCount64();
  DestroyWindow(frame);
  EXPECT_LT(GetTickCount64() - before, 1000u) << "DestroyWindow waited for the worker";
  worker.join();
  CloseHandle(made);
}

// ---- The table -------------------------------------------------------------------------------

struct Case {
  const char* name;
  std::function<void()> run;
};

TEST(HostLifeTest, TheHostLivesOnWhateverItDoes) {
  ScopedRegistration registration;
  ASSERT_EQ(registration.status, S_OK) << "DllRegisterServer";
  // The library must unload in the first two; the last pins it for the rest of the process.
  const Case cases[] = {
      {"COM frees the library at a worker's last CoUninitialize",
       [] { RunGuarded(FreedAtTheLastUninitialize); }},
      {"COM frees the library in the host frame's WM_DESTROY",
       [] { RunGuarded(FreedInTheFramesDestroy); }},
      {"a foreground application that answers", [] { ForegroundCase(Freeze::Never); }},
      {"a foreground application that stops answering before creation",
       [] { ForegroundCase(Freeze::BeforeCreation); }},
      {"a foreground application that stops answering after creation",
       [] { ForegroundCase(Freeze::AfterCreation); }},
      {"a poster called from another thread", [] { RunGuarded(WrongThreadCase); }},
      {"COM frees the library while another thread's window lives",
       [] { RunGuarded(FreedWhileANeighboursWindowLives); }},
      {"the apartment ends behind the spy: another component drops its own initialisation",
       [] { RunGuarded(ApartmentEndsBehindTheSpy); }},
      {"the frame goes in a timer while the pop-up menu is open",
       [] { RunGuarded([] { FrameDestroyedInAModalLoop(OpenLoop::Menu); }); }},
      {"the frame goes in a timer while the About box is open",
       [] { RunGuarded([] { FrameDestroyedInAModalLoop(OpenLoop::AboutBox); }); }},
      {"a worker's poster beside the main thread's foreground frame",
       [] { RunGuarded(WorkerBesideTheForegroundFrame); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::printf("case: %s\n", c.name);
    std::fflush(stdout);
    c.run();
  }
}

}  // namespace
}  // namespace sirel::test

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--foreground-application") {
    const std::wstring names[] = {{argv[2], argv[2] + strlen(argv[2])},
                                  {argv[3], argv[3] + strlen(argv[3])},
                                  {argv[4], argv[4] + strlen(argv[4])}};
    return sirel::test::RunForegroundApplication(names[0].c_str(), names[1].c_str(),
                                                 names[2].c_str());
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
