// The class factory and the entry points: creation, refusals, locks and the unload answer.
#include "com_test_support.h"
#include "support/pump_messages.h"

#include <gtest/gtest.h>

#include <olectl.h>

#include <cstdio>
#include <string>


namespace sirel::test {

namespace {

ComPtr<IClassFactory> Factory() {
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(SirelDll::Get().GetClassObject(CLSID_Sireler, IID_IClassFactory,
                                           reinterpret_cast<void**>(factory.GetAddressOf())),
            S_OK);
  return factory;
}

TEST(ClassFactoryTest, AnotherClassIsNotAvailable) {
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(SirelDll::Get().GetClassObject(IID__Sireler, IID_IClassFactory,
                                           reinterpret_cast<void**>(factory.GetAddressOf())),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_FALSE(factory);
}

TEST(ClassFactoryTest, HandsOutTheFactoryRepeatedly) {
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(Factory());
  }
  ComPtr<IUnknown> unknown;
  EXPECT_EQ(SirelDll::Get().GetClassObject(CLSID_Sireler, IID_IUnknown,
                                           reinterpret_cast<void**>(unknown.GetAddressOf())),
            S_OK);
}

TEST(ClassFactoryTest, RefusesAggregation) {
  ComPtr<IClassFactory> factory = Factory();
  ComPtr<IUnknown> outer;
  ASSERT_EQ(factory->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(outer.GetAddressOf())), S_OK);
  IUnknown* object = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_IUnknown, reinterpret_cast<void**>(&object)),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);
}

TEST(ClassFactoryTest, EachCreationIsANewPosterWithItsOwnSettingsAndCounter) {
  ComPtr<_Sireler> first = CreatePoster();
  ComPtr<_Sireler> second = CreatePoster();
  ASSERT_TRUE(first && second);
  LONG limit = 7;
  ASSERT_EQ(first->put_MaxListCount(&limit), S_OK);
  BSTR text = SysAllocString(L"counted");
  LONG priority = 1;
  ASSERT_EQ(first->DoSirel(&text, &priority), S_OK);
  ASSERT_EQ(first->DoSirel(&text, &priority), S_OK);
  ASSERT_EQ(first->ResetCounter(), S_OK);
  SysFreeString(text);

  LONG secondLimit = -1;
  ASSERT_EQ(second->get_MaxListCount(&secondLimit), S_OK);
  EXPECT_EQ(secondLimit, 0);
  VARIANT_BOOL on = VARIANT_TRUE;
  ASSERT_EQ(second->put_ShowCounter(&on), S_OK);
  BSTR next = SysAllocString(L"next");
  ASSERT_EQ(second->DoSirel(&next, &priority), S_OK);
  SysFreeString(next);
  // The second poster's own counter: its first message, whatever the first poster did.
  EXPECT_EQ(LastMessage(second.Get()), L"1: next");
}

TEST(ClassFactoryTest, AnswersItsInterfacesAndNoOthers) {
  ComPtr<_Sireler> poster = CreatePoster();
  ASSERT_TRUE(poster);
  const IID* answered[] = {&IID_IUnknown, &IID_IDispatch, &IID__Sireler,
                           &IID_IConnectionPointContainer, &IID_ISupportErrorInfo,
                           &IID_IProvideClassInfo, &IID_IProvideClassInfo2};
  for (const IID* iid : answered) {
    ComPtr<IUnknown> found;
    EXPECT_EQ(poster->QueryInterface(*iid, reinterpret_cast<void**>(found.GetAddressOf())), S_OK);
  }
  ComPtr<IUnknown> none;
  EXPECT_EQ(poster->QueryInterface(IID_IPersist, reinterpret_cast<void**>(none.GetAddressOf())),
            E_NOINTERFACE);
  EXPECT_EQ(poster->QueryInterface(DIID___Sireler, reinterpret_cast<void**>(none.GetAddressOf())),
            E_NOINTERFACE);

  // One identity: IUnknown from any interface is the same pointer.
  ComPtr<IUnknown> fromPoster;
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IUnknown> fromContainer;
  poster.As(&fromPoster);
  poster.As(&container);
  container.As(&fromContainer);
  EXPECT_EQ(fromPoster.Get(), fromContainer.Get());
}

TEST(ClassFactoryTest, UnloadIsRefusedWhileAnythingIsAlive) {
  // Run in a fresh process, where no window of the library exists yet.
  const std::wstring program = ProgramFolder() + L"sirel_com_tests.exe";
  std::wstring command = L"\"" + program + L"\" --unload-check";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process));
  // Keep pumping: the child attaches its window to the foreground window, which may be one of
  // this process's windows, and re-parenting waits for that window's thread.
  test_support::WaitPumping(process.hProcess, 60000);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_EQ(exitCode, 0u) << "see the unload check's output above";
}

// Registration redirects the process's classes root while it calls the type library functions;
// afterwards the classes root must mean what the host had made it mean. Unregistering what is
// not registered succeeds, in both scopes.
TEST(RegistrationTest, KeepsTheHostsClassesRootAndUnregistersTwice) {
  const wchar_t* hostKeyPath = L"Software\\SirelTestHostClasses";
  HKEY hostKey = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, hostKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &hostKey, nullptr),
            ERROR_SUCCESS);
  const wchar_t marker[] = L"host";
  RegSetValueExW(hostKey, L"SirelMarker", 0, REG_SZ, reinterpret_cast<const BYTE*>(marker),
                 sizeof marker);
  ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, hostKey), ERROR_SUCCESS);
  struct Step {
    const char* what;
    HRESULT (*call)();
  };
  const Step steps[] = {
      {"register per user", [] { return SirelDll::Get().Install(TRUE, L"user"); }},
      {"unregister per user", [] { return SirelDll::Get().Install(FALSE, L"user"); }},
      {"unregister per user again", [] { return SirelDll::Get().Install(FALSE, L"user"); }},
      {"register per machine", [] { return SirelDll::Get().RegisterServer(); }},
      {"unregister per machine", [] { return SirelDll::Get().UnregisterServer(); }},
      {"unregister per machine again", [] { return SirelDll::Get().UnregisterServer(); }},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    EXPECT_EQ(step.call(), S_OK);
    wchar_t read[16] = {};
    DWORD size = sizeof read;
    EXPECT_EQ(RegQueryValueExW(HKEY_CLASSES_ROOT, L"SirelMarker", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(read), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(read, marker);
  }
  RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
  RegCloseKey(hostKey);
  RegDeleteTreeW(HKEY_CURRENT_USER, hostKeyPath);
}

}  // namespace

// The unload answer in a process of its own: yes with nothing alive; no while the factory is
// held, while the server is locked, while a poster lives, and while the poster's window lives.
int RunUnloadCheck() {
  int failures = 0;
  auto expect = [&](const char* what, HRESULT actual, HRESULT expected) {
    if (actual != expected) {
      std::printf("unload check: %s: got 0x%08lX, expected 0x%08lX\n", what,
                  static_cast<unsigned long>(actual), static_cast<unsigned long>(expected));
      ++failures;
    }
  };
  const SirelDll& dll = SirelDll::Get();
  if (dll.module() == nullptr) {
    std::printf("unload check: Sirel.dll did not load\n");
    return 1;
  }
  expect("nothing alive", dll.CanUnloadNow(), S_OK);
  {
    ComPtr<IClassFactory> factory;
    dll.GetClassObject(CLSID_Sireler, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()));
    expect("factory held", dll.CanUnloadNow(), S_FALSE);
    // An unlock without a lock is ignored: the lock that follows still counts.
    factory->LockServer(FALSE);
    factory->LockServer(TRUE);
    factory.Reset();
    expect("server locked", dll.CanUnloadNow(), S_FALSE);
    dll.GetClassObject(CLSID_Sireler, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()));
    factory->LockServer(FALSE);
    factory.Reset();
    expect("lock released", dll.CanUnloadNow(), S_OK);
  }
  {
    ComPtr<_Sireler> poster = CreatePoster();
    expect("poster alive", dll.CanUnloadNow(), S_FALSE);
  }
  // The poster is gone, but the thread's message window it made outlives it.
  expect("window alive", dll.CanUnloadNow(), S_FALSE);
  return failures == 0 ? 0 : 1;
}

}  // namespace sirel::test
