// Threads and unloading, as a host process lives them: a few hundred single-threaded apartment
// threads, one after another and a few at once, each creating posters through COM (the DLL
// found through its registration), with the window shown or hidden, sinks connected or not, the
// window closed through its frame or left open, releasing in one order or the other, calling
// CoFreeUnusedLibraries between releases, and ending with or without CoUninitialize. The main
// thread waits for each step without pumping messages, under a watchdog that ends the process
// if a step hangs. Checked: every call succeeds; when a thread leaves nothing alive (its window
// closed, everything released) CoFreeUnusedLibraries really unloads Sirel.dll, and the next
// thread loads it again; a thread that leaves its window open and ends its apartment has the
// window destroyed there, and the library unloads with the apartment; the process's windows and
// handles are as many at the end as after the first round.
//
// Wine's input method initialises COM on a thread as soon as one of its windows is activated
// and keeps that until the thread's windows are gone, so the host's last CoUninitialize would
// not end the apartment: the workers run without the input method.
#include <windows.h>
#include <objbase.h>
#include <imm.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "com_test_support.h"
#include "recording_sink.h"
#include "support/pump_messages.h"

namespace sirel::test {
namespace {

constexpr wchar_t kDllName[] = L"Sirel.dll";
constexpr DWORD kStepLimitMs = 30000;

struct Scenario {
  bool show;          // FormVisible = True before posting
  bool sink;          // a sink connected to each poster
  bool closeByFrame;  // the user closes the window through its frame before the releases
  bool reverse;       // the posters released newest first (else oldest first)
  bool unadviseLast;  // sinks disconnected after their poster is released (else before)
  bool freeBetween;   // CoFreeUnusedLibraries after each release
  bool uninitialize;  // CoUninitialize before the thread ends
};

std::string Describe(const Scenario& s) {
  std::string text;
  text += s.show ? "shown" : "hidden";
  text += s.sink ? ", sinks" : "";
  text += s.closeByFrame ? ", closed by frame" : ", left open";
  text += s.reverse ? ", newest released first" : ", oldest released first";
  if (s.sink) text += s.unadviseLast ? ", unadvised after" : ", unadvised before";
  text += s.freeBetween ? ", freeing between" : "";
  text += s.uninitialize ? ", CoUninitialize" : ", no CoUninitialize";
  return text;
}

bool DllLoaded() { return GetModuleHandleW(kDllName) != nullptr; }

using test_support::PumpMessages;

// What one worker thread saw.
struct Outcome {
  int failures = 0;
  std::string failure;
  bool loadedWhileUsed = false;
  HRESULT unloadAnswer = E_FAIL;  // DllCanUnloadNow at the end, before CoFreeUnusedLibraries
  bool unloadedAtEnd = false;
  HICON icons[2] = {};  // the window class's large and small icons
  void Fail(const std::string& what, HRESULT status) {
    ++failures;
    if (failure.empty()) {
      char code[16];
      std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(status));
      failure = what + " failed with " + code;
    }
  }
};

void RunScenario(const Scenario& s, int posters, Outcome& outcome) {
  ImmDisableIME(0);
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    outcome.Fail("CoInitializeEx", E_FAIL);
    return;
  }
  {
    std::vector<ComPtr<_Sireler>> made;
    std::vector<ComPtr<RecordingDispatchSink>> sinks;
    std::vector<DWORD> cookies;
    for (int i = 0; i < posters; ++i) {
      ComPtr<_Sireler> poster;
      const HRESULT created = CoCreateInstance(CLSID_Sireler, nullptr, CLSCTX_INPROC_SERVER,
                                               IID__Sireler,
                                               reinterpret_cast<void**>(poster.GetAddressOf()));
      if (FAILED(created)) {
        outcome.Fail("CoCreateInstance", created);
        break;
      }
      outcome.loadedWhileUsed = DllLoaded();
      if (s.show) {
        VARIANT_BOOL on = VARIANT_TRUE;
        if (HRESULT status = poster->put_FormVisible(&on); FAILED(status)) {
          outcome.Fail("FormVisible", status);
        }
      }
      if (s.sink) {
        sinks.push_back(RecordingDispatchSink::Make());
        cookies.push_back(Advise(poster.Get(), sinks.back().Get()));
      }
      BSTR text = SysAllocString(L"torture");
      LONG priority = i;
      if (HRESULT status = poster->DoSirel(&text, &priority); FAILED(status)) {
        outcome.Fail("DoSirel", status);
      }
      SysFreeString(text);
      made.push_back(poster);
    }
    if (!made.empty()) {
      LONG handle = 0;
      made.front()->get_hwnd(&handle);
      const HWND window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle));
      outcome.icons[0] = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON));
      outcome.icons[1] = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICONSM));
    }
    PumpMessages();
    if (s.closeByFrame && !made.empty()) {
      LONG handle = 0;
      made.front()->get_hwnd(&handle);
      SendMessageW(reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle)), WM_CLOSE, 0, 0);
      PumpMessages();
    }
    for (std::size_t n = 0; n < made.size(); ++n) {
      const std::size_t i = s.reverse ? made.size() - 1 - n : n;
      if (s.sink && !s.unadviseLast) Unadvise(made[i].Get(), cookies[i]);
      ComPtr<_Sireler> poster = made[i];
      made[i].Reset();
      // A connected sink keeps no poster alive: the last reference goes here.
      if (s.sink && s.unadviseLast) Unadvise(poster.Get(), cookies[i]);
      poster.Reset();
      if (s.freeBetween) CoFreeUnusedLibraries();
    }
    sinks.clear();
  }
  PumpMessages();
  // Asked without taking a reference of our own, so that the answer cannot keep it loaded.
  if (HMODULE dll = GetModuleHandleW(kDllName)) {
    auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
    outcome.unloadAnswer = canUnload != nullptr ? canUnload() : E_NOINTERFACE;
  } else {
    outcome.unloadAnswer = S_OK;  // unloaded already, by a CoFreeUnusedLibraries between releases
  }
  CoFreeUnusedLibraries();
  outcome.unloadedAtEnd = !DllLoaded();
  if (s.uninitialize) CoUninitialize();
}

// Whether an icon handle still names an icon. (Wine's GetGuiResources answers 0, so the USER
// objects of a process cannot be counted there; the icons are checked one by one instead.)
bool IconLives(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return false;
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return true;
}

// Process-wide figures that must stay flat across the run.
struct Figures {
  int windows = 0;
  DWORD handles = 0;
};

BOOL CALLBACK CountOwn(HWND hwnd, LPARAM count) {
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process == GetCurrentProcessId()) ++*reinterpret_cast<int*>(count);
  EnumChildWindows(hwnd, CountOwn, count);
  return TRUE;
}

Figures Measure() {
  Figures figures;
  EnumWindows(CountOwn, reinterpret_cast<LPARAM>(&figures.windows));
  GetProcessHandleCount(GetCurrentProcess(), &figures.handles);
  return figures;
}

// Runs `threads` workers of one scenario at once and waits for them without pumping; the
// workers end one after another (each waits for the one before it). The table runs one worker
// per step: with several threads using windows at once, Wine 8 crashes in its own Unix side
// (glibc heap corruption) after a few dozen steps, with this library as it is and as it was
// before its threads' states moved to a TLS slot.
struct Worker {
  const Scenario* scenario;
  int posters;
  Outcome* outcome;
  HANDLE before;

  static DWORD WINAPI Main(void* parameter) {
    auto* w = static_cast<Worker*>(parameter);
    RunScenario(*w->scenario, w->posters, *w->outcome);
    // Pumping: the window of the one before may be the parent of this thread's window.
    while (w->before != nullptr &&
           MsgWaitForMultipleObjects(1, &w->before, FALSE, kStepLimitMs, QS_ALLINPUT) ==
               WAIT_OBJECT_0 + 1) {
      PumpMessages();
    }
    return 0;
  }
};

bool RunStep(const Scenario& s, int threads, int posters, std::vector<Outcome>& outcomes) {
  outcomes.assign(static_cast<std::size_t>(threads), Outcome{});
  std::vector<Worker> work(static_cast<std::size_t>(threads));
  std::vector<HANDLE> handles;
  for (int t = 0; t < threads; ++t) {
    work[t] = {&s, posters, &outcomes[t], t > 0 ? handles.back() : nullptr};
    handles.push_back(CreateThread(nullptr, 0, &Worker::Main, &work[t], 0, nullptr));
  }
  const DWORD waited = WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(),
                                              TRUE, kStepLimitMs);
  for (HANDLE handle : handles) CloseHandle(handle);
  return waited != WAIT_TIMEOUT;
}

TEST(ThreadUnloadTest, ThreadsEndAndTheLibraryUnloadsWhateverTheHostDoes) {
  ScopedRegistration registration;
  ASSERT_EQ(registration.status, S_OK) << "DllRegisterServer";
  ASSERT_FALSE(DllLoaded()) << "registration must leave the library unloaded";

  // Steps: a scenario run on one thread, or on three at once. The steps where nothing of the
  // library lives when the thread frees its libraries come first; after them, COM itself keeps
  // the library loaded for good: Wine's COM never unloads a library again once an apartment
  // that loaded it was torn down while the library answered no (its window still open, or a
  // sibling thread's objects alive). From then on the unload answer is what is checked.
  struct Step {
    Scenario scenario;
    int threads;
  };
  std::vector<Step> steps;
  for (int pass = 0; pass < 2; ++pass) {
    for (int bits = 0; bits < 128; ++bits) {
      const Scenario s{(bits & 1) != 0,  (bits & 2) != 0,  (bits & 4) != 0, (bits & 8) != 0,
                       (bits & 16) != 0, (bits & 32) != 0, (bits & 64) != 0};
      if (!s.sink && s.unadviseLast) continue;  // the same as without
      const int threads = 1;  // see RunStep
      const bool unloads = (s.closeByFrame || s.uninitialize) && threads == 1;
      if (unloads == (pass == 0)) steps.push_back({s, threads});
    }
  }
  const auto started = std::chrono::steady_clock::now();
  int threadCount = 0;
  Figures afterFirstRound;
  const int rounds = 3;
  bool comPinsTheLibrary = false;
  int iconsSeen = 0;
  int iconsLeft = 0;
  int unloadsWithTheApartment = 0;
  for (int round = 0; round < rounds; ++round) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
      const Scenario& s = steps[i].scenario;
      const int threads = steps[i].threads;
      const int posters = 1 + static_cast<int>((i + round) % 3);
      SCOPED_TRACE("round " + std::to_string(round) + ", step " + std::to_string(i) + ": " +
                   std::to_string(threads) + " thread(s) of " + std::to_string(posters) +
                   " poster(s), " + Describe(s));
      std::vector<Outcome> outcomes;
      if (!RunStep(s, threads, posters, outcomes)) {
        ADD_FAILURE() << "the step did not end within " << kStepLimitMs << " ms";
        std::fflush(stdout);
        // A thread stuck in the loader would keep even the process's exit waiting.
        TerminateProcess(GetCurrentProcess(), 3);
      }
      threadCount += threads;
      // With its window closed and everything released, nothing of the library lives on the
      // thread: the answer is yes, and CoFreeUnusedLibraries unloads it.
      const bool nothingLives = s.closeByFrame && threads == 1;
      // A window left open goes when the thread's apartment ends, and the library with it.
      const bool apartmentTakesAll = !s.closeByFrame && s.uninitialize && threads == 1;
      for (const Outcome& outcome : outcomes) {
        // Threads at once: a window shown by one becomes the foreground window that the next
        // attaches its window to, and closing it takes the child along; the child's poster
        // may then see its window gone in the middle of a call, a window error (1003).
        if (threads == 1 || outcome.failure.find("0x800A03EB") == std::string::npos) {
          EXPECT_EQ(outcome.failures, 0) << outcome.failure;
        }
        EXPECT_TRUE(outcome.loadedWhileUsed);
        if (nothingLives) {
          EXPECT_EQ(outcome.unloadAnswer, S_OK);
          if (!comPinsTheLibrary) {
            EXPECT_TRUE(outcome.unloadedAtEnd);
          }
        }
      }
      if ((nothingLives || apartmentTakesAll) && !comPinsTheLibrary) {
        EXPECT_FALSE(DllLoaded());
        if (apartmentTakesAll && !DllLoaded()) ++unloadsWithTheApartment;
        // The window class's icons go with the library, not one pair more per load.
        for (HICON icon : outcomes.front().icons) {
          ++iconsSeen;
          if (IconLives(icon)) ++iconsLeft;
        }
      }
      if (!nothingLives && !apartmentTakesAll) comPinsTheLibrary = true;
    }
    if (round == 0) afterFirstRound = Measure();
  }
  const Figures atEnd = Measure();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("thread and unload torture: %d threads in %zu steps, %.1f s; windows %d -> %d, "
              "handles %lu -> %lu\n",
              threadCount, steps.size() * rounds, seconds, afterFirstRound.windows,
              atEnd.windows, static_cast<unsigned long>(afterFirstRound.handles),
              static_cast<unsigned long>(atEnd.handles));
  std::printf("icons of unloaded libraries still alive: %d of %d; unloads with the apartment of "
              "a thread that left its window open: %d\n",
              iconsLeft, iconsSeen, unloadsWithTheApartment);
  EXPECT_GT(unloadsWithTheApartment, 0);
  EXPECT_GT(iconsSeen, 0);
  EXPECT_EQ(iconsLeft, 0);
  EXPECT_EQ(atEnd.windows, afterFirstRound.windows);
  // A few handles of the system's own caches may come and go; a leak grows with the threads.
  EXPECT_LE(atEnd.handles, afterFirstRound.handles + 8);
}

}  // namespace
}  // namespace sirel::test

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
