// Every allocation fails in turn, in the DLL under Wine: SirelFaults.dll is Sirel.dll with the
// failing allocator linked in (tests/fault/failing_allocator.h), so its own operator new fails
// the n-th allocation when armed. Each operation below (those of the COM, Win32 and
// registration suites) runs for n = 1, 2, ... until a run goes through without a failure. A
// failing run must return error 7 (0x800A0007; E_OUTOFMEMORY where the entry point has no
// error info), or show "... failed: Out of memory (error 7)" for a menu command (run through
// the window's pop-up menu, its dialogs answered by a hook), leave the state as a
// failing call leaves it, never crash, and leak nothing: the DLL's live blocks are counted
// after each operation has run once (the window and the cached type library live on by design).
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "com_test_support.h"
#include "recording_sink.h"
#include "win32_test_support.h"

namespace sirel::test {
namespace {

using win32::testing::MenuWatcher;
using win32::testing::PumpMessages;

constexpr HRESULT kOutOfMemory = static_cast<HRESULT>(0x800A0007);

// SirelFaults.dll and its fault controls.
struct FaultDll {
  FaultDll() {
    module = LoadLibraryW((ProgramFolder() + L"..\\..\\src\\automation\\SirelFaults.dll").c_str());
    arm = Entry<void(__cdecl*)(long)>("SirelArmAllocationFailure");
    disarm = Entry<int(__cdecl*)()>("SirelDisarmAllocationFailure");
    live = Entry<long(__cdecl*)()>("SirelLiveAllocations");
    getClassObject = Entry<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>("DllGetClassObject");
    install = Entry<HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR)>("DllInstall");
  }
  template <class F>
  F Entry(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }
  ComPtr<_Sireler> Create(HRESULT* status = nullptr) {
    ComPtr<IClassFactory> factory;
    ComPtr<_Sireler> poster;
    HRESULT made = getClassObject(CLSID_Sireler, IID_PPV_ARGS(&factory));
    if (SUCCEEDED(made)) made = factory->CreateInstance(nullptr, IID_PPV_ARGS(&poster));
    if (status != nullptr) *status = made;
    return poster;
  }
  HMODULE module = nullptr;
  void(__cdecl* arm)(long) = nullptr;
  int(__cdecl* disarm)() = nullptr;
  long(__cdecl* live)() = nullptr;
  HRESULT(STDAPICALLTYPE* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT(STDAPICALLTYPE* install)(BOOL, LPCWSTR) = nullptr;
};

FaultDll& Dll() {
  static FaultDll dll;
  return dll;
}

HWND ListOf(_Sireler* poster) {
  return FindWindowExW(WindowOf(poster), nullptr, L"ListBox", nullptr);
}

std::vector<std::wstring> Lines(HWND list) {
  std::vector<std::wstring> lines;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring line(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)), L'\0');
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
    lines.push_back(line);
  }
  return lines;
}

bool UserRegistrationPresent() {
  HKEY key = nullptr;
  const bool present = RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Classes\\Sirel.Sireler", 0,
                                     KEY_READ, &key) == ERROR_SUCCESS;
  if (key != nullptr) RegCloseKey(key);
  return present;
}

// Answers the dialogs of a menu command on the calling thread: the save dialog gets the export
// path and OK; a message box (a command's failure) is recorded and closed.
class DialogAnswerer {
 public:
  explicit DialogAnswerer(std::wstring path) : path_(std::move(path)) {
    current_ = this;
    hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, &Hook, nullptr, GetCurrentThreadId());
  }
  ~DialogAnswerer() {
    UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  std::wstring boxes;  // the text of every message box shown

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG) {
      wchar_t title[64] = {};
      GetWindowTextW(call->hwnd, title, 64);
      if (std::wstring(title) == L"Open A Long File") {
        // Once the dialog has settled (it fills its boxes after WM_INITDIALOG): the name, then OK.
        SetTimer(call->hwnd, 1, 100, &NameAndSave);
        return CallNextHookEx(nullptr, code, wParam, lParam);
      } else {
        EnumChildWindows(call->hwnd, &CollectText, reinterpret_cast<LPARAM>(&current_->boxes));
      }
      PostMessageW(call->hwnd, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static void CALLBACK NameAndSave(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    KillTimer(dialog, timer);
    SetDlgItemTextW(dialog, 0x47c, current_->path_.c_str());  // the file name box
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  }
  static BOOL CALLBACK CollectText(HWND child, LPARAM text) {
    wchar_t part[512] = {};
    GetWindowTextW(child, part, 512);
    *reinterpret_cast<std::wstring*>(text) += part;
    return TRUE;
  }
  static inline DialogAnswerer* current_ = nullptr;
  HHOOK hook_;
  std::wstring path_;
};

// Runs a menu command through the window's pop-up menu (opened from the keyboard, answered by
// the item's access key) as the user would; a failure shows as a message box.
HRESULT RunMenuCommand(_Sireler* poster, wchar_t accessKey, const std::wstring& exportPath) {
  DialogAnswerer dialogs(exportPath);
  MenuWatcher menu({WM_CHAR, accessKey});
  SendMessageW(ListOf(poster), WM_CONTEXTMENU, 0, -1);
  PumpMessages();
  if (dialogs.boxes.empty()) return S_OK;
  return dialogs.boxes.find(L"failed: Out of memory (error 7)") != std::wstring::npos
             ? kOutOfMemory
             : E_FAIL;
}

std::wstring ExportPath() {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + L"sirel_fault_export.txt";
}

std::string FileBytesOf(const std::wstring& path) {
  std::string bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return "missing";
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

// The poster an operation works with, made by its set-up; released after each run.
ComPtr<_Sireler> g_poster;

struct Operation {
  const char* name;
  std::function<void()> setUp;   // unarmed
  std::function<HRESULT()> run;  // armed
  // After a failed run, with the lines the list had before it.
  std::function<void(const std::vector<std::wstring>&)> check;
};

void PostingLeavesTheLinesOrAddsItsOwn(const std::vector<std::wstring>& before) {
  const std::vector<std::wstring> after = Lines(ListOf(g_poster.Get()));
  EXPECT_TRUE(after == before || (!after.empty() && after.back() == L"posted"));
}

std::vector<Operation> Operations() {
  auto made = [] {
    g_poster = Dll().Create();
    g_poster->ClearList();
  };
  auto post = [] { return Post(g_poster.Get(), L"posted"); };
  auto nothing = [](const std::vector<std::wstring>&) {};
  return {
      {"creating the first poster of a thread", [] {},
       [] {
         HRESULT status = E_FAIL;
         std::thread([&] { Dll().Create(&status); }).join();
         return status;
       },
       nothing},
      {"creating another poster", [] {},
       [] {
         HRESULT status = E_FAIL;
         Dll().Create(&status);
         return status;
       },
       nothing},
      {"a posting, hidden", made, post, PostingLeavesTheLinesOrAddsItsOwn},
      {"a posting, shown",
       [made] {
         made();
         VARIANT_BOOL on = VARIANT_TRUE;
         g_poster->put_FormVisible(&on);
       },
       post, PostingLeavesTheLinesOrAddsItsOwn},
      {"a posting with a connected sink",
       [made] {
         made();
         static ComPtr<RecordingDispatchSink> sink = RecordingDispatchSink::Make();
         Advise(g_poster.Get(), sink.Get());
       },
       post, PostingLeavesTheLinesOrAddsItsOwn},
      {"a posting on a full list with a limit",
       [made] {
         made();
         for (int i = 0; i < 5; ++i) Post(g_poster.Get(), L"old");
         LONG limit = 5;
         g_poster->put_MaxListCount(&limit);
       },
       post, PostingLeavesTheLinesOrAddsItsOwn},
      {"DeleteSelectedMessages",
       [made] {
         made();
         for (const wchar_t* line : {L"a", L"b", L"c", L"d", L"e"}) Post(g_poster.Get(), line);
         SendMessageW(ListOf(g_poster.Get()), LB_SETSEL, TRUE, 1);
         SendMessageW(ListOf(g_poster.Get()), LB_SETSEL, TRUE, 3);
       },
       [] { return g_poster->DeleteSelectedMessages(); },
       [](const std::vector<std::wstring>&) {
         const std::vector<std::wstring> after = Lines(ListOf(g_poster.Get()));
         for (const wchar_t* kept : {L"a", L"c", L"e"}) {
           EXPECT_NE(std::find(after.begin(), after.end(), kept), after.end()) << "lost a line";
         }
       }},
      {"Copy All",
       [made] {
         made();
         for (const wchar_t* line : {L"a", L"b", L"c"}) Post(g_poster.Get(), line);
         VARIANT_BOOL on = VARIANT_TRUE;
         g_poster->put_FormVisible(&on);
       },
       [] { return RunMenuCommand(g_poster.Get(), L'a', L""); }, nothing},
      {"Export To File",
       [made] {
         made();
         for (const wchar_t* line : {L"a", L"b", L"c"}) Post(g_poster.Get(), line);
         VARIANT_BOOL on = VARIANT_TRUE;
         g_poster->put_FormVisible(&on);
         HANDLE file = CreateFileW(ExportPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   0, nullptr);
         DWORD written = 0;
         WriteFile(file, "old\r\n", 5, &written, nullptr);
         CloseHandle(file);
       },
       [] { return RunMenuCommand(g_poster.Get(), L'e', ExportPath()); },
       [](const std::vector<std::wstring>&) {
         EXPECT_EQ(FileBytesOf(ExportPath()), "old\r\n") << "the old export was changed";
       }},
      {"DllRegisterServer per user", [] { Dll().install(FALSE, L"user"); },
       [] { return Dll().install(TRUE, L"user"); },
       [](const std::vector<std::wstring>&) {
         EXPECT_FALSE(UserRegistrationPresent()) << "half a registration left";
       }},
      {"DllUnregisterServer per user", [] { Dll().install(TRUE, L"user"); },
       [] { return Dll().install(FALSE, L"user"); }, nothing},
  };
}

TEST(DllFaultTest, EveryAllocationFailsInTurn) {
  ASSERT_NE(Dll().module, nullptr) << "SirelFaults.dll";
  ASSERT_NE(Dll().arm, nullptr);
  int points = 0;
  for (const Operation& op : Operations()) {
    SCOPED_TRACE(op.name);
    // Once through unarmed: what lives on by design (the window, the type library) is made.
    op.setUp();
    op.run();
    g_poster.Reset();
    const long baseline = Dll().live();
    for (long n = 1;; ++n) {
      op.setUp();
      const std::vector<std::wstring> before =
          g_poster ? Lines(ListOf(g_poster.Get())) : std::vector<std::wstring>();
      Dll().arm(n);
      const HRESULT status = op.run();
      const bool failed = Dll().disarm() != 0;
      if (!failed) {
        EXPECT_EQ(status, S_OK);
        g_poster.Reset();
        break;
      }
      ++points;
      SCOPED_TRACE("allocation " + std::to_string(n) + " failed");
      EXPECT_TRUE(status == kOutOfMemory || status == E_OUTOFMEMORY) << std::hex << status;
      op.check(before);
      g_poster.Reset();
      ASSERT_LT(n, 5000) << "no run went through";
    }
    Dll().install(FALSE, L"user");
    EXPECT_EQ(Dll().live(), baseline) << "blocks leaked";
    if (std::string(op.name) == "Export To File") {
      EXPECT_EQ(FileBytesOf(ExportPath()), "a\r\nb\r\nc\r\n") << "the last run exported";
      DeleteFileW(ExportPath().c_str());
    }
  }
  std::printf("DLL fault injection: %d failure points tried\n", points);
  EXPECT_GT(points, 0);
}

}  // namespace
}  // namespace sirel::test

int main(int argc, char** argv) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
