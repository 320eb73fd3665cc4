// Every allocation fails in turn, in the DLL under Wine: SirelFaults.dll is Sirel.dll with the
// failing allocator linked in (tests/fault/failing_allocator.h), so its own operator new fails
// the n-th allocation when armed. Each operation below (those of the COM, Win32 and
// registration suites) runs for n = 1, 2, ... until a run goes through without a failure. A
// failing run must return error 7 (0x800A0007; E_OUTOFMEMORY where the entry point has no
// error info), or show "Out of memory (error 7)" for a menu command, leave the state as a
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

namespace sirel::test {
namespace {

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

HRESULT Post(_Sireler* poster, const wchar_t* line) {
  BSTR text = SysAllocString(line);
  LONG priority = 1;
  const HRESULT status = poster->DoSirel(&text, &priority);
  SysFreeString(text);
  return status;
}

HWND ListOf(_Sireler* poster) {
  LONG handle = 0;
  poster->get_hwnd(&handle);
  return FindWindowExW(reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle)), nullptr, L"ListBox",
                       nullptr);
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
