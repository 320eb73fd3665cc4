// Events through the connection point of __Sireler: DISPIDs, arguments last-first with their
// types, Cancel by reference reaching the poster, failing and re-entrant sinks.
#include "recording_sink.h"
#include "sirel_ids.h"

#include <gtest/gtest.h>

#include <olectl.h>

#include <functional>

namespace sirel::test {
namespace {

class EventsTest : public testing::Test {
 protected:
  void SetUp() override {
    poster_ = CreatePoster();
    ASSERT_TRUE(poster_);
    ASSERT_EQ(poster_->ClearList(), S_OK);
    sink_ = RecordingDispatchSink::Make();
    cookie_ = Advise(poster_.Get(), sink_.Get());
    ASSERT_NE(cookie_, 0u);
  }

  HRESULT Post(const wchar_t* text, LONG priority) {
    BSTR value = SysAllocString(text);
    const HRESULT status = poster_->DoSirel(&value, &priority);
    SysFreeString(value);
    return status;
  }

  ComPtr<_Sireler> poster_;
  ComPtr<RecordingDispatchSink> sink_;
  DWORD cookie_ = 0;
};

TEST_F(EventsTest, EveryEventArrivesWithItsDispIdAndArgumentsLastFirst) {
  const struct {
    const char* name;
    std::function<HRESULT(_Sireler*)> action;
    std::vector<RecordedEvent> expected;
  } cases[] = {
      {"ClearList", [](_Sireler* p) { return p->ClearList(); },
       {{1, {"BYREF BOOL 0"}}, {2, {}}}},
      {"DoSirel", [this](_Sireler*) { return Post(L"T", 3); },
       {{3, {"BYREF BOOL 0", "I4 3", "BSTR T"}}, {4, {"I4 3", "BSTR T"}}}},
      {"FormVisible true", [](_Sireler* p) { VARIANT_BOOL v = VARIANT_TRUE; return p->put_FormVisible(&v); },
       {{5, {"BYREF BOOL 0"}}}},
      {"FormVisible false", [](_Sireler* p) { VARIANT_BOOL v = VARIANT_FALSE; return p->put_FormVisible(&v); },
       {{6, {"BYREF BOOL 0"}}}},
      {"MinPriority 5", [](_Sireler* p) { LONG v = 5; return p->put_MinPriority(&v); },
       {{7, {"BYREF BOOL 0", "I4 5", "I4 0", "BOOL -1"}}, {8, {"I4 5", "I4 0", "BOOL -1"}}}},
      {"MaxPriority 10", [](_Sireler* p) { LONG v = 10; return p->put_MaxPriority(&v); },
       {{7, {"BYREF BOOL 0", "I4 10", "I4 9999999", "BOOL 0"}}, {8, {"I4 10", "I4 9999999", "BOOL 0"}}}},
      {"ResetCounter", [](_Sireler* p) { return p->ResetCounter(); },
       {{9, {"BYREF BOOL 0", "I4 1"}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sink_->events.clear();
    sink_->flags.clear();
    ASSERT_EQ(c.action(poster_.Get()), S_OK);
    ASSERT_EQ(sink_->events.size(), c.expected.size());
    for (std::size_t i = 0; i < c.expected.size(); ++i) {
      EXPECT_EQ(sink_->events[i].id, c.expected[i].id);
      EXPECT_EQ(sink_->events[i].args, c.expected[i].args);
      EXPECT_EQ(sink_->flags[i], DISPATCH_METHOD);
    }
  }
}

TEST_F(EventsTest, CancelSetByASinkReachesThePoster) {
  sink_->onEvent = [](DISPID id, DISPPARAMS& params) {
    if (id == 3) CancelOf(params) = VARIANT_TRUE;
  };
  ASSERT_EQ(Post(L"cancelled", 1), S_OK);
  EXPECT_EQ(Count(poster_.Get()), 0);
  EXPECT_EQ(sink_->Ids(), std::vector<DISPID>{3});

  // The cancelled message used up its number.
  sink_->onEvent = nullptr;
  VARIANT_BOOL on = VARIANT_TRUE;
  ASSERT_EQ(poster_->put_ShowCounter(&on), S_OK);
  ASSERT_EQ(Post(L"next", 1), S_OK);
  EXPECT_EQ(LastMessage(poster_.Get()), L"2: next");

  // BeforeShow cancelled: the flag reads true, the window stays hidden.
  sink_->onEvent = [](DISPID id, DISPPARAMS& params) {
    if (id == 5) CancelOf(params) = VARIANT_TRUE;
  };
  VARIANT_BOOL show = VARIANT_TRUE;
  ASSERT_EQ(poster_->put_FormVisible(&show), S_OK);
  VARIANT_BOOL flag = 0;
  ASSERT_EQ(poster_->get_FormVisible(&flag), S_OK);
  EXPECT_EQ(flag, VARIANT_TRUE);
  LONG handle = 0;
  ASSERT_EQ(poster_->get_hwnd(&handle), S_OK);
  EXPECT_FALSE(IsWindowVisible(reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle))));
}

TEST_F(EventsTest, TypeMismatchRaisesNothing) {
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(poster_.As(&dispatch), S_OK);
  std::vector<Variant> args;
  args.emplace_back(L"text");
  args.emplace_back(L"not a number");
  EXPECT_EQ(InvokeDispatch(dispatch.Get(), dispid::DoSirel, DISPATCH_METHOD, std::move(args)).status,
            DISP_E_TYPEMISMATCH);
  EXPECT_TRUE(sink_->events.empty());
}

TEST_F(EventsTest, AFailingSinkDoesNotStopTheOthers) {
  sink_->status = E_FAIL;
  ComPtr<RecordingDispatchSink> second = RecordingDispatchSink::Make();
  ASSERT_NE(Advise(poster_.Get(), second.Get()), 0u);
  ASSERT_EQ(Post(L"T", 1), S_OK);
  EXPECT_EQ(sink_->Ids(), (std::vector<DISPID>{3, 4}));
  EXPECT_EQ(second->Ids(), (std::vector<DISPID>{3, 4}));
  EXPECT_EQ(Count(poster_.Get()), 1);
}

TEST_F(EventsTest, EventsStopWhenDisabledOrDisconnected) {
  VARIANT_BOOL off = VARIANT_FALSE;
  ASSERT_EQ(poster_->put_EnableEvents(&off), S_OK);
  ASSERT_EQ(Post(L"quiet", 1), S_OK);
  EXPECT_TRUE(sink_->events.empty());
  VARIANT_BOOL on = VARIANT_TRUE;
  ASSERT_EQ(poster_->put_EnableEvents(&on), S_OK);

  EXPECT_EQ(Unadvise(poster_.Get(), cookie_ + 1000), CONNECT_E_NOCONNECTION);
  ASSERT_EQ(Unadvise(poster_.Get(), cookie_), S_OK);
  EXPECT_EQ(Unadvise(poster_.Get(), cookie_), CONNECT_E_NOCONNECTION);
  ASSERT_EQ(Post(L"unheard", 1), S_OK);
  EXPECT_TRUE(sink_->events.empty());
}

TEST_F(EventsTest, ASinkMayUnadviseItselfDuringARaise) {
  ComPtr<RecordingDispatchSink> other = RecordingDispatchSink::Make();
  ASSERT_NE(Advise(poster_.Get(), other.Get()), 0u);
  sink_->onEvent = [this](DISPID id, DISPPARAMS&) {
    if (id == 3) {
      EXPECT_EQ(Unadvise(poster_.Get(), cookie_), S_OK);
    }
  };
  ASSERT_EQ(Post(L"T", 1), S_OK);
  EXPECT_EQ(sink_->Ids(), std::vector<DISPID>{3});
  EXPECT_EQ(other->Ids(), (std::vector<DISPID>{3, 4}));
}

TEST_F(EventsTest, ASinkAdvisedDuringARaiseHearsTheNextEvent) {
  ComPtr<RecordingDispatchSink> late = RecordingDispatchSink::Make();
  sink_->onEvent = [&](DISPID id, DISPPARAMS&) {
    if (id == 3) {
      EXPECT_NE(Advise(poster_.Get(), late.Get()), 0u);
    }
  };
  ASSERT_EQ(Post(L"T", 1), S_OK);
  EXPECT_EQ(sink_->Ids(), (std::vector<DISPID>{3, 4}));
  EXPECT_EQ(late->Ids(), std::vector<DISPID>{4});
}

TEST_F(EventsTest, ASinkMayReleaseTheLastReferenceDuringARaise) {
  ComPtr<_Sireler> observer = CreatePoster();  // same thread, same list
  ComPtr<RecordingDispatchSink> other = RecordingDispatchSink::Make();
  ASSERT_NE(Advise(poster_.Get(), other.Get()), 0u);
  _Sireler* raw = poster_.Get();
  sink_->onEvent = [this](DISPID id, DISPPARAMS&) {
    if (id == 3) poster_.Reset();  // the client's only reference
  };
  BSTR text = SysAllocString(L"orphaned");
  LONG priority = 1;
  EXPECT_EQ(raw->DoSirel(&text, &priority), S_OK);
  SysFreeString(text);
  EXPECT_FALSE(poster_);
  // The posting completed: both sinks heard AfterSirel and the line is in the thread's list.
  EXPECT_EQ(sink_->Ids(), (std::vector<DISPID>{3, 4}));
  EXPECT_EQ(other->Ids(), (std::vector<DISPID>{3, 4}));
  EXPECT_EQ(LastMessage(observer.Get()), L"orphaned");
}

TEST_F(EventsTest, ASinkMayCallBackIntoThePoster) {
  sink_->onEvent = [this](DISPID id, DISPPARAMS&) {
    if (id == 4 && sink_->events.size() == 2) {
      EXPECT_EQ(Count(poster_.Get()), 1);
      EXPECT_EQ(Post(L"from the handler", 2), S_OK);
    }
  };
  ASSERT_EQ(Post(L"outer", 1), S_OK);
  EXPECT_EQ(Count(poster_.Get()), 2);
  EXPECT_EQ(LastMessage(poster_.Get()), L"from the handler");
  EXPECT_EQ(sink_->Ids(), (std::vector<DISPID>{3, 4, 3, 4}));
}

TEST_F(EventsTest, ConnectionPointPlumbing) {
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(poster_.As(&container), S_OK);
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, &point), CONNECT_E_NOCONNECTION);
  ASSERT_EQ(container->FindConnectionPoint(DIID___Sireler, &point), S_OK);
  IID iid{};
  ASSERT_EQ(point->GetConnectionInterface(&iid), S_OK);
  EXPECT_TRUE(IsEqualIID(iid, DIID___Sireler));
  ComPtr<IConnectionPointContainer> back;
  ASSERT_EQ(point->GetConnectionPointContainer(&back), S_OK);
  EXPECT_EQ(back.Get(), container.Get());

  ComPtr<IEnumConnectionPoints> points;
  ASSERT_EQ(container->EnumConnectionPoints(&points), S_OK);
  IConnectionPoint* found[2] = {};
  ULONG fetched = 0;
  EXPECT_EQ(points->Next(2, found, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 1u);
  EXPECT_EQ(found[0], point.Get());
  found[0]->Release();

  // An object that is no dispatch sink cannot connect.
  ComPtr<IEnumConnectionPoints> notASink;
  ASSERT_EQ(container->EnumConnectionPoints(&notASink), S_OK);
  DWORD cookie = 99;
  EXPECT_EQ(point->Advise(notASink.Get(), &cookie), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(cookie, 0u);

  ComPtr<IProvideClassInfo2> classInfo;
  ASSERT_EQ(poster_.As(&classInfo), S_OK);
  GUID source{};
  ASSERT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
  EXPECT_TRUE(IsEqualGUID(source, DIID___Sireler));
  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(classInfo->GetClassInfo(&coclass), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
  EXPECT_TRUE(IsEqualGUID(attr->guid, CLSID_Sireler));
  coclass->ReleaseTypeAttr(attr);
}

}  // namespace
}  // namespace sirel::test
