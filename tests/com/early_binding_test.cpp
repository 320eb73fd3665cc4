// Calls through the class interface's function table, as a C++ client or VBA with a reference
// to the type library binds.
#include "com_test_support.h"
#include "support/test_window.h"

#include <gtest/gtest.h>

#include <functional>

namespace sirel::test {
namespace {

class EarlyBindingTest : public testing::Test {
 protected:
  void SetUp() override {
    poster_ = CreatePoster();
    ASSERT_TRUE(poster_);
    ASSERT_EQ(poster_->ClearList(), S_OK);
  }

  HRESULT Post(const wchar_t* text, LONG priority) {
    BSTR value = SysAllocString(text);
    const HRESULT status = poster_->DoSirel(&value, &priority);
    SysFreeString(value);
    return status;
  }

  HWND Window() {
    LONG handle = 0;
    EXPECT_EQ(poster_->get_hwnd(&handle), S_OK);
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle));
  }

  ComPtr<_Sireler> poster_;
};

TEST_F(EarlyBindingTest, NewPosterHasTheDefaults) {
  LONG number = -7;
  VARIANT_BOOL flag = 7;
  EXPECT_EQ(poster_->get_MinPriority(&number), S_OK);
  EXPECT_EQ(number, 0);
  EXPECT_EQ(poster_->get_MaxPriority(&number), S_OK);
  EXPECT_EQ(number, 9999999);
  EXPECT_EQ(poster_->get_MaxListCount(&number), S_OK);
  EXPECT_EQ(number, 0);
  EXPECT_EQ(poster_->get_EnableEvents(&flag), S_OK);
  EXPECT_EQ(flag, VARIANT_TRUE);
  EXPECT_EQ(poster_->get_ReturnFocus(&flag), S_OK);
  EXPECT_EQ(flag, VARIANT_TRUE);
  EXPECT_EQ(poster_->get_ShowCounter(&flag), S_OK);
  EXPECT_EQ(flag, VARIANT_FALSE);
  EXPECT_EQ(poster_->get_ShowPriority(&flag), S_OK);
  EXPECT_EQ(flag, VARIANT_FALSE);
  EXPECT_EQ(poster_->get_FormVisible(&flag), S_OK);
  EXPECT_EQ(flag, VARIANT_FALSE);
}

TEST_F(EarlyBindingTest, BooleanSettingsStoreAnyValueAndLeaveTheArgumentAlone) {
  using Put = HRESULT (STDMETHODCALLTYPE _Sireler::*)(VARIANT_BOOL*);
  using Get = HRESULT (STDMETHODCALLTYPE _Sireler::*)(VARIANT_BOOL*);
  const struct {
    const char* name;
    Put put;
    Get get;
  } settings[] = {
      {"ShowCounter", &_Sireler::put_ShowCounter, &_Sireler::get_ShowCounter},
      {"ShowPriority", &_Sireler::put_ShowPriority, &_Sireler::get_ShowPriority},
      {"ReturnFocus", &_Sireler::put_ReturnFocus, &_Sireler::get_ReturnFocus},
      {"EnableEvents", &_Sireler::put_EnableEvents, &_Sireler::get_EnableEvents},
  };
  for (const auto& setting : settings) {
    SCOPED_TRACE(setting.name);
    VARIANT_BOOL value = 5;
    ASSERT_EQ((poster_.Get()->*setting.put)(&value), S_OK);
    EXPECT_EQ(value, 5);
    VARIANT_BOOL read = 0;
    ASSERT_EQ((poster_.Get()->*setting.get)(&read), S_OK);
    EXPECT_EQ(read, 5);
  }
}

TEST_F(EarlyBindingTest, PostsFormattedLines) {
  VARIANT_BOOL on = VARIANT_TRUE;
  ASSERT_EQ(poster_->put_ShowCounter(&on), S_OK);
  ASSERT_EQ(poster_->put_ShowPriority(&on), S_OK);
  ASSERT_EQ(Post(L"T", 3), S_OK);
  ASSERT_EQ(Post(L"T", -1), S_OK);
  EXPECT_EQ(Count(poster_.Get()), 2);
  EXPECT_EQ(LastMessage(poster_.Get()), L"2: -1: T");
}

TEST_F(EarlyBindingTest, TextCrossesUnchanged) {
  const wchar_t* text = L"Gr\u00FC\u00DFe \u2713 \U0001F600 tab\there";
  ASSERT_EQ(Post(text, 1), S_OK);
  EXPECT_EQ(LastMessage(poster_.Get()), text);

  BSTR caption = SysAllocString(L"\u00C9tat \u2014 Sirel");
  ASSERT_EQ(poster_->put_Caption(&caption), S_OK);
  EXPECT_EQ(Text(caption), L"\u00C9tat \u2014 Sirel");
  SysFreeString(caption);
  BSTR read = nullptr;
  ASSERT_EQ(poster_->get_Caption(&read), S_OK);
  EXPECT_EQ(Text(read), L"\u00C9tat \u2014 Sirel");
  SysFreeString(read);
}

TEST_F(EarlyBindingTest, BoundsAndLimitsKeepTheCallersValues) {
  LONG bound = 50;
  ASSERT_EQ(poster_->put_MinPriority(&bound), S_OK);
  EXPECT_EQ(bound, 50);
  LONG upper = 10;
  ASSERT_EQ(poster_->put_MaxPriority(&upper), S_OK);
  ASSERT_EQ(Post(L"dropped", 20), S_OK);
  EXPECT_EQ(Count(poster_.Get()), 0);
  ASSERT_EQ(Post(L"kept", 60), S_OK);
  EXPECT_EQ(Count(poster_.Get()), 1);
}

TEST_F(EarlyBindingTest, WindowPlacement) {
  HWND window = Window();
  EXPECT_TRUE(IsWindow(window));
  float top = 1500;
  float left = 750;
  ASSERT_EQ(poster_->SetLocation(&top, &left), S_OK);
  float readTop = 0;
  float readLeft = 0;
  ASSERT_EQ(poster_->get_Top(&readTop), S_OK);
  ASSERT_EQ(poster_->get_Left(&readLeft), S_OK);
  EXPECT_FLOAT_EQ(readTop, 1500);
  EXPECT_FLOAT_EQ(readLeft, 750);

  VARIANT_BOOL show = VARIANT_TRUE;
  ASSERT_EQ(poster_->put_FormVisible(&show), S_OK);
  EXPECT_TRUE(IsWindowVisible(window));
  VARIANT_BOOL hide = VARIANT_FALSE;
  ASSERT_EQ(poster_->put_FormVisible(&hide), S_OK);
  EXPECT_FALSE(IsWindowVisible(window));
}

// A top-level window with no title, of a class of its own: a target for SetParentWindow.
// A window found by its class name, which no other window of the test has.
constexpr const wchar_t* kParentClassName = L"SirelTestParentWindow";

TEST_F(EarlyBindingTest, SetParentWindowReadsNumbersTextsAndClassNames) {
  const test_support::TestWindow parentWindow(false, L"", kParentClassName);
  const HWND parentHandle = parentWindow.hwnd();
  ASSERT_NE(parentHandle, nullptr);
  const LONG handle = static_cast<LONG>(reinterpret_cast<LONG_PTR>(parentHandle));
  const std::wstring handleText = L" " + std::to_wstring(handle) + L" ";

  const struct {
    const char* name;
    std::function<Variant()> argument;
    HWND expectedParent;
  } cases[] = {
      {"number", [&] { return Variant(handle); }, parentHandle},
      {"double", [&] { return Variant(static_cast<double>(handle)); }, parentHandle},
      {"numeric text", [&] { return Variant(handleText.c_str()); }, parentHandle},
      {"class name", [] { return Variant(kParentClassName); }, parentHandle},
      {"unknown class name", [] { return Variant(L"NoSuchSirelClass"); }, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // Detach first, so that each case shows its own effect.
    Variant none(L"NoSuchSirelClass");
    ASSERT_EQ(poster_->SetParentWindow(&none.value), S_OK);
    Variant argument = c.argument();
    ASSERT_EQ(poster_->SetParentWindow(&argument.value), S_OK);
    // The window keeps its own styles, so GetParent (which reports owners of pop-ups and
    // overlapped windows) would not tell; the window tree does.
    const HWND parentNow = GetAncestor(Window(), GA_PARENT);
    EXPECT_EQ(parentNow, c.expectedParent ? c.expectedParent : GetDesktopWindow());
  }
  // The window must not die with the test's parent window.
  Variant none(L"NoSuchSirelClass");
  ASSERT_EQ(poster_->SetParentWindow(&none.value), S_OK);
}

TEST_F(EarlyBindingTest, FailuresCarryTheirErrorAndRichErrorInfo) {
  const struct {
    const char* name;
    std::function<Variant()> argument;
    HRESULT status;
    const wchar_t* description;
  } cases[] = {
      {"beyond 32 bits", [] { return Variant(1e20); }, static_cast<HRESULT>(0x800A0006), L"Overflow"},
      {"numeric text beyond 32 bits", [] { return Variant(L"3000000000"); },
       static_cast<HRESULT>(0x800A0006), L"Overflow"},
      {"Null", [] { return Variant::Null(); }, static_cast<HRESULT>(0x800A005E),
       L"Invalid use of Null"},
  };
  ComPtr<ISupportErrorInfo> support;
  ASSERT_EQ(poster_.As(&support), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID__Sireler), S_OK);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Variant argument = c.argument();
    EXPECT_EQ(poster_->SetParentWindow(&argument.value), c.status);
    const ErrorInfoText info = TakeErrorInfo();
    EXPECT_EQ(info.source, L"Sirel.Sireler");
    EXPECT_EQ(info.description, c.description);
  }
  EXPECT_EQ(poster_->get_Count(nullptr), E_POINTER);
  EXPECT_EQ(poster_->DoSirel(nullptr, nullptr), E_POINTER);
}

}  // namespace
}  // namespace sirel::test
