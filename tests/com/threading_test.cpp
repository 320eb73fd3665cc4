// Apartments: posters on two single-threaded apartments keep their own windows and lists, and a
// thread of the multithreaded apartment reaches a poster through the type-library marshaller
// (which needs the type library registered, so this suite registers the server for its run).
#include "recording_sink.h"
#include "sirel_ids.h"
#include "support/pump_messages.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace sirel::test {
namespace {

// Runs work on a new thread in the given apartment while this thread keeps pumping messages
// (windows of different threads may wait on each other, and calls into this thread's apartment
// arrive as messages).
void RunOnThread(DWORD apartment, const std::function<void()>& work) {
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread thread([&] {
    CoInitializeEx(nullptr, apartment);
    work();
    CoUninitialize();
    SetEvent(done);
  });
  test_support::WaitPumping(done);
  thread.join();
  CloseHandle(done);
}

struct ThreadOutcome {
  DWORD threadId = 0;
  HWND window = nullptr;
  DWORD windowThread = 0;
  LONG count = -1;
  std::wstring last;
};

ThreadOutcome PostOnThisThread(const wchar_t* text, int times) {
  ThreadOutcome outcome;
  outcome.threadId = GetCurrentThreadId();
  ComPtr<_Sireler> poster = CreatePoster();
  if (!poster) return outcome;
  poster->ClearList();
  for (int i = 0; i < times; ++i) {
    BSTR value = SysAllocString(text);
    LONG priority = i;
    poster->DoSirel(&value, &priority);
    SysFreeString(value);
  }
  LONG handle = 0;
  poster->get_hwnd(&handle);
  outcome.window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle));
  outcome.windowThread = GetWindowThreadProcessId(outcome.window, nullptr);
  outcome.count = Count(poster.Get());
  outcome.last = LastMessage(poster.Get());
  return outcome;
}

TEST(ThreadingTest, PostersOnTwoApartmentsHaveTheirOwnWindowsAndLists) {
  ThreadOutcome first;
  ThreadOutcome second;
  RunOnThread(COINIT_APARTMENTTHREADED, [&] { first = PostOnThisThread(L"first", 3); });
  RunOnThread(COINIT_APARTMENTTHREADED, [&] { second = PostOnThisThread(L"second", 5); });
  EXPECT_NE(first.window, second.window);
  EXPECT_EQ(first.windowThread, first.threadId);
  EXPECT_EQ(second.windowThread, second.threadId);
  EXPECT_EQ(first.count, 3);
  EXPECT_EQ(second.count, 5);
  EXPECT_EQ(first.last, L"first");
  EXPECT_EQ(second.last, L"second");
}

// A last Release through a raw pointer on another thread leaves the sinks to the poster's own
// thread (a script engine's sink is bound to its apartment), which lets them go when it runs
// its messages.
TEST(ThreadingTest, AWrongThreadLastReleaseLetsTheSinksGoOnTheOwnerThread) {
  ComPtr<RecordingDispatchSink> sink = RecordingDispatchSink::Make();
  const auto references = [&] { return sink->AddRef(), sink->Release(); };
  ComPtr<_Sireler> poster = CreatePoster();
  ASSERT_TRUE(poster);
  ASSERT_NE(Advise(poster.Get(), sink.Get()), 0u);
  const ULONG connected = references();
  std::thread([released = poster.Detach()] { released->Release(); }).join();
  EXPECT_EQ(references(), connected) << "let go on the releasing thread";
  test_support::PumpMessages();
  EXPECT_EQ(references(), connected - 1) << "not let go when the owner ran its messages";
}

class MarshallingTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { registered_ = SirelDll::Get().RegisterServer(); }
  static void TearDownTestSuite() { SirelDll::Get().UnregisterServer(); }
  void SetUp() override { ASSERT_EQ(registered_, S_OK) << "DllRegisterServer"; }
  static HRESULT registered_;
};
HRESULT MarshallingTest::registered_ = E_FAIL;

TEST_F(MarshallingTest, AMultithreadedApartmentCallsThroughTheTypeLibraryMarshaller) {
  ComPtr<_Sireler> poster = CreatePoster();
  ASSERT_TRUE(poster);
  ASSERT_EQ(poster->ClearList(), S_OK);
  ComPtr<RecordingDispatchSink> sink = RecordingDispatchSink::Make();
  DWORD eventThread = 0;
  sink->onEvent = [&](DISPID, DISPPARAMS&) { eventThread = GetCurrentThreadId(); };
  ASSERT_NE(Advise(poster.Get(), sink.Get()), 0u);

  IStream* stream = nullptr;
  ASSERT_EQ(CoMarshalInterThreadInterfaceInStream(IID__Sireler, poster.Get(), &stream), S_OK);

  HRESULT unmarshalled = E_FAIL;
  bool isProxy = false;
  HRESULT posted = E_FAIL;
  LONG count = -1;
  HRESULT failed = S_OK;
  ErrorInfoText failure;
  HRESULT lateBound = E_FAIL;
  RunOnThread(COINIT_MULTITHREADED, [&] {
    ComPtr<_Sireler> proxy;
    unmarshalled = CoGetInterfaceAndReleaseStream(stream, IID__Sireler,
                                                  reinterpret_cast<void**>(proxy.GetAddressOf()));
    if (FAILED(unmarshalled)) return;
    isProxy = proxy.Get() != poster.Get();
    BSTR text = SysAllocString(L"from the MTA");
    LONG priority = 4;
    posted = proxy->DoSirel(&text, &priority);
    SysFreeString(text);
    proxy->get_Count(&count);

    // A member's error crosses the apartment boundary.
    Variant tooLarge(1e20);
    failed = proxy->SetParentWindow(&tooLarge.value);
    failure = TakeErrorInfo();

    ComPtr<IDispatch> dispatch;
    if (SUCCEEDED(proxy.As(&dispatch))) {
      std::vector<Variant> args;
      args.emplace_back(L"late bound from the MTA");
      lateBound = InvokeDispatch(dispatch.Get(), dispid::DoSirel, DISPATCH_METHOD, std::move(args)).status;
    }
  });

  ASSERT_EQ(unmarshalled, S_OK);
  EXPECT_TRUE(isProxy);
  EXPECT_EQ(posted, S_OK);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(failed, static_cast<HRESULT>(0x800A0006));
  // Windows' channel carries the error info across; Wine 8's does not, so only its text is
  // checked when it arrives.
  if (!failure.description.empty()) {
    EXPECT_EQ(failure.description, L"Overflow");
  }
  EXPECT_EQ(lateBound, S_OK);
  EXPECT_EQ(LastMessage(poster.Get()), L"late bound from the MTA");
  // The object ran, and raised its events, on its own thread.
  EXPECT_EQ(eventThread, GetCurrentThreadId());
}

TEST_F(MarshallingTest, TheProgIdCreatesAPoster) {
  CLSID classId{};
  ASSERT_EQ(CLSIDFromProgID(L"Sirel.Sireler", &classId), S_OK);
  EXPECT_TRUE(IsEqualCLSID(classId, CLSID_Sireler));
  ComPtr<_Sireler> poster;
  ASSERT_EQ(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID__Sireler,
                             reinterpret_cast<void**>(poster.GetAddressOf())),
            S_OK);
  LONG maximum = 0;
  ASSERT_EQ(poster->get_MaxPriority(&maximum), S_OK);
  EXPECT_EQ(maximum, 9999999);
}

}  // namespace
}  // namespace sirel::test
