// Calls through IDispatch, as script clients and late-bound VBA make them: names in any case,
// parameter names, named arguments, an omitted Priority, arguments passed by reference as
// Variants, refusals before the member runs, and a member's error as DISP_E_EXCEPTION.
#include "com_test_support.h"
#include "recording_sink.h"
#include "sirel_ids.h"

#include <gtest/gtest.h>

#include <functional>

namespace sirel::test {
namespace {

constexpr DISPID kDoSirel = dispid::DoSirel;
constexpr DISPID kSetLocation = dispid::SetLocation;
constexpr DISPID kSetParentWindow = dispid::SetParentWindow;
constexpr DISPID kMaxListCount = dispid::MaxListCount;
constexpr DISPID kShowPriority = dispid::ShowPriority;
constexpr WORD kGet = DISPATCH_PROPERTYGET;
constexpr WORD kPut = DISPATCH_PROPERTYPUT;
constexpr WORD kMethod = DISPATCH_METHOD;
// What VBScript passes when it reads a member.
constexpr WORD kMethodOrGet = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

class LateBindingTest : public testing::Test {
 protected:
  void SetUp() override {
    poster_ = CreatePoster();
    ASSERT_TRUE(poster_);
    ASSERT_EQ(poster_.As(&dispatch_), S_OK);
    ASSERT_EQ(poster_->ClearList(), S_OK);
  }

  std::vector<DISPID> IdsOf(std::vector<const wchar_t*> names, HRESULT expected = S_OK) {
    std::vector<LPOLESTR> pointers;
    for (const wchar_t* name : names) pointers.push_back(const_cast<LPOLESTR>(name));
    std::vector<DISPID> ids(names.size(), 12345);
    EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, pointers.data(), static_cast<UINT>(pointers.size()),
                                       LOCALE_USER_DEFAULT, ids.data()),
              expected);
    return ids;
  }

  ComPtr<_Sireler> poster_;
  ComPtr<IDispatch> dispatch_;
};

TEST_F(LateBindingTest, NamesAreFoundInAnyCase) {
  const struct {
    const wchar_t* name;
    DISPID id;
  } cases[] = {
      {L"DoSirel", kDoSirel},         {L"dosirel", kDoSirel},
      {L"DOSIREL", kDoSirel},         {L"dOsIrEl", kDoSirel},
      {L"FormVisible", dispid::FormVisible},   {L"DeleteSelectedMessages", dispid::DeleteSelectedMessages},
      {L"HWND", dispid::hwnd},          {L"minpriority", dispid::MinPriority},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.name, c.name + wcslen(c.name)));
    EXPECT_EQ(IdsOf({c.name}), std::vector<DISPID>{c.id});
  }
  std::vector<DISPID> unknown = IdsOf({L"NoSuchMember"}, DISP_E_UNKNOWNNAME);
  EXPECT_EQ(unknown[0], DISPID_UNKNOWN);
}

TEST_F(LateBindingTest, ParameterNamesGiveTheirPositions) {
  EXPECT_EQ(IdsOf({L"SetLocation", L"Left", L"Top"}), (std::vector<DISPID>{kSetLocation, 1, 0}));
  EXPECT_EQ(IdsOf({L"dosirel", L"PRIORITY", L"sireltext"}), (std::vector<DISPID>{kDoSirel, 1, 0}));
}

TEST_F(LateBindingTest, NamedArgumentsBindByName) {
  std::vector<Variant> args;
  args.emplace_back(300.0);
  args.emplace_back(600.0);
  InvokeResult call = InvokeDispatch(dispatch_.Get(), kSetLocation, kMethod, std::move(args),
                                     {1 /* Left */, 0 /* Top */});
  ASSERT_EQ(call.status, S_OK);
  float top = 0;
  float left = 0;
  ASSERT_EQ(poster_->get_Top(&top), S_OK);
  ASSERT_EQ(poster_->get_Left(&left), S_OK);
  EXPECT_FLOAT_EQ(top, 600);
  EXPECT_FLOAT_EQ(left, 300);
}

TEST_F(LateBindingTest, AnOmittedPriorityIsMinusOne) {
  std::vector<Variant> on;
  on.push_back(Variant::Bool(true));
  ASSERT_EQ(InvokeDispatch(dispatch_.Get(), kShowPriority, kPut, std::move(on)).status, S_OK);
  // Left out entirely, and passed as the "missing" value.
  std::vector<Variant> textOnly;
  textOnly.emplace_back(L"alone");
  ASSERT_EQ(InvokeDispatch(dispatch_.Get(), kDoSirel, kMethod, std::move(textOnly)).status, S_OK);
  EXPECT_EQ(LastMessage(poster_.Get()), L"-1: alone");
  std::vector<Variant> withMissing;
  withMissing.emplace_back(L"missing");
  withMissing.push_back(Variant::Missing());
  ASSERT_EQ(InvokeDispatch(dispatch_.Get(), kDoSirel, kMethod, std::move(withMissing)).status, S_OK);
  EXPECT_EQ(LastMessage(poster_.Get()), L"-1: missing");
}

TEST_F(LateBindingTest, ScriptVariablesByReferenceAreConvertedAndLeftAlone) {
  // VBScript passes each variable as VT_BYREF|VT_VARIANT; here all hold text.
  Variant text(L"from a variable");
  Variant priority(L"7");
  Variant limit(L"5");
  std::vector<Variant> args;
  args.push_back(Variant::RefTo(text.value));
  args.push_back(Variant::RefTo(priority.value));
  std::vector<Variant> on;
  on.push_back(Variant::Bool(true));
  ASSERT_EQ(InvokeDispatch(dispatch_.Get(), kShowPriority, kPut, std::move(on)).status, S_OK);
  ASSERT_EQ(InvokeDispatch(dispatch_.Get(), kDoSirel, kMethod, std::move(args)).status, S_OK);
  EXPECT_EQ(LastMessage(poster_.Get()), L"7: from a variable");
  EXPECT_EQ(V_VT(&priority.value), VT_BSTR);
  EXPECT_EQ(Text(V_BSTR(&priority.value)), L"7");

  std::vector<Variant> put;
  put.push_back(Variant::RefTo(limit.value));
  ASSERT_EQ(InvokeDispatch(dispatch_.Get(), kMaxListCount, kPut, std::move(put)).status, S_OK);
  LONG read = 0;
  ASSERT_EQ(poster_->get_MaxListCount(&read), S_OK);
  EXPECT_EQ(read, 5);

  // A Variant parameter takes the variable as it is.
  Variant className(L"NoSuchSirelClass");
  std::vector<Variant> window;
  window.push_back(Variant::RefTo(className.value));
  EXPECT_EQ(InvokeDispatch(dispatch_.Get(), kSetParentWindow, kMethod, std::move(window)).status, S_OK);
}

TEST_F(LateBindingTest, ResultsComeBackAsTheirDeclaredTypes) {
  const struct {
    const wchar_t* name;
    VARTYPE type;
  } cases[] = {{L"Count", VT_I4}, {L"ShowCounter", VT_BOOL}, {L"Caption", VT_BSTR},
               {L"Top", VT_R4},   {L"hwnd", VT_I4},        {L"LastMessage", VT_BSTR}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.name, c.name + wcslen(c.name)));
    InvokeResult call = InvokeDispatch(dispatch_.Get(), DispIdOf(dispatch_.Get(), c.name), kMethodOrGet, {});
    ASSERT_EQ(call.status, S_OK);
    EXPECT_EQ(V_VT(&call.result.value), c.type);
  }
}

TEST_F(LateBindingTest, RefusalsHappenBeforeTheMemberRuns) {
  struct Case {
    const char* name;
    DISPID id;
    WORD flags;
    std::function<std::vector<Variant>()> args;
    HRESULT status;
    UINT argumentError;  // ~0u: not reported
  };
  auto text = [](const wchar_t* value) {
    std::vector<Variant> args;
    args.emplace_back(value);
    return args;
  };
  const Case cases[] = {
      {"default member", DISPID_VALUE, kMethodOrGet, [] { return std::vector<Variant>{}; },
       DISP_E_MEMBERNOTFOUND, ~0u},
      {"unknown DISPID", 0x60030099, kMethod, [] { return std::vector<Variant>{}; },
       DISP_E_MEMBERNOTFOUND, ~0u},
      {"put Count", dispid::Count, kPut, [] { std::vector<Variant> a; a.emplace_back(1L); return a; },
       DISP_E_MEMBERNOTFOUND, ~0u},
      {"put hwnd", dispid::hwnd, kPut, [] { std::vector<Variant> a; a.emplace_back(1L); return a; },
       DISP_E_MEMBERNOTFOUND, ~0u},
      {"put Top", dispid::Top, kPut, [] { std::vector<Variant> a; a.emplace_back(1.0); return a; },
       DISP_E_MEMBERNOTFOUND, ~0u},
      {"put Left", dispid::Left, kPut, [] { std::vector<Variant> a; a.emplace_back(1.0); return a; },
       DISP_E_MEMBERNOTFOUND, ~0u},
      {"put LastMessage", dispid::LastMessage, kPut, [&] { return text(L"x"); }, DISP_E_MEMBERNOTFOUND, ~0u},
      {"method called as a get", kDoSirel, kGet, [&] { return text(L"x"); }, DISP_E_MEMBERNOTFOUND, ~0u},
      {"priority not a number", kDoSirel, kMethod,
       [] { std::vector<Variant> a; a.emplace_back(L"text"); a.emplace_back(L"abc"); return a; },
       DISP_E_TYPEMISMATCH, 0},
      {"text is Null", kDoSirel, kMethod,
       [] { std::vector<Variant> a; a.push_back(Variant::Null()); a.emplace_back(1L); return a; },
       DISP_E_TYPEMISMATCH, 1},
      {"priority beyond 32 bits", kDoSirel, kMethod,
       [] { std::vector<Variant> a; a.emplace_back(L"text"); a.emplace_back(3e10); return a; },
       DISP_E_OVERFLOW, 0},
      {"too many arguments", kDoSirel, kMethod,
       [] { std::vector<Variant> a; a.emplace_back(L"a"); a.emplace_back(1L); a.emplace_back(2L); return a; },
       DISP_E_BADPARAMCOUNT, ~0u},
      {"text left out", kDoSirel, kMethod, [] { return std::vector<Variant>{}; },
       DISP_E_PARAMNOTOPTIONAL, ~0u},
      {"limit not a number", kMaxListCount, kPut, [&] { return text(L"many"); }, DISP_E_TYPEMISMATCH, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InvokeResult call = InvokeDispatch(dispatch_.Get(), c.id, c.flags, c.args());
    EXPECT_EQ(call.status, c.status);
    if (c.argumentError != ~0u) {
      EXPECT_EQ(call.argumentError, c.argumentError);
    }
    EXPECT_EQ(TakeErrorInfo().source, L"Sirel.Sireler");
  }
  // Nothing ran: no line, the limit unchanged.
  EXPECT_EQ(Count(poster_.Get()), 0);
  LONG limit = -1;
  ASSERT_EQ(poster_->get_MaxListCount(&limit), S_OK);
  EXPECT_EQ(limit, 0);
}

TEST_F(LateBindingTest, AMembersErrorArrivesAsAnException) {
  std::vector<Variant> args;
  args.emplace_back(1e20);
  InvokeResult call = InvokeDispatch(dispatch_.Get(), kSetParentWindow, kMethod, std::move(args));
  ASSERT_EQ(call.status, DISP_E_EXCEPTION);
  EXPECT_EQ(call.exception.scode, static_cast<SCODE>(0x800A0006));
  EXPECT_EQ(Text(call.exception.bstrSource), L"Sirel.Sireler");
  EXPECT_EQ(Text(call.exception.bstrDescription), L"Overflow");
}

// Converting an object argument calls its default member, which here drops the client's last
// reference to the poster: the call goes on holding a reference of its own.
TEST_F(LateBindingTest, AnArgumentsDefaultMemberMayDropTheLastReference) {
  ComPtr<RecordingDispatchSink> argument = RecordingDispatchSink::Make();
  IDispatch* last = dispatch_.Detach();
  poster_.Reset();
  ULONG left = 99;
  argument->onEvent = [&](DISPID, DISPPARAMS&) { left = last->Release(); };
  Variant value;
  V_VT(&value.value) = VT_DISPATCH;
  V_DISPATCH(&value.value) = argument.Get();
  argument->AddRef();
  std::vector<Variant> args;
  args.push_back(std::move(value));
  InvokeDispatch(last, kDoSirel, kMethod, std::move(args));
  EXPECT_EQ(argument->Ids(), std::vector<DISPID>{DISPID_VALUE});
  EXPECT_EQ(left, 1u);
}

TEST_F(LateBindingTest, TypeInfoAndInterfaceChecks) {
  UINT count = 0;
  ASSERT_EQ(dispatch_->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(dispatch_->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
  EXPECT_TRUE(IsEqualGUID(attr->guid, IID__Sireler));
  info->ReleaseTypeAttr(attr);
  ComPtr<ITypeInfo> none;
  EXPECT_EQ(dispatch_->GetTypeInfo(1, LOCALE_USER_DEFAULT, &none), DISP_E_BADINDEX);

  DISPPARAMS params{};
  EXPECT_EQ(dispatch_->Invoke(kDoSirel, IID_IUnknown, LOCALE_USER_DEFAULT, kMethod, &params,
                              nullptr, nullptr, nullptr),
            DISP_E_UNKNOWNINTERFACE);
}

}  // namespace
}  // namespace sirel::test
