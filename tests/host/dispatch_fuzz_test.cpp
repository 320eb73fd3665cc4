// A dispatch fuzzer driven by the type library: thousands of IDispatch::Invoke calls from a fixed
// seed on one poster, each to a member of _Sireler read from its type information (or to
// DISPID 0, an unknown DISPID), with any invoke kind, too few or too many arguments, named
// arguments (valid, repeated, unknown), and arguments of every variant type by value, by
// reference, through nested references, through references to themselves, through null
// pointers, as empty and null strings, arrays, objects and VT_ERROR. Each call must return (the
// host never crashes or hangs) with success or a status; a call that the dispatch layer refuses
// leaves the poster's readable state as it was. (A member that runs and fails, DISP_E_EXCEPTION,
// keeps what its steps before the failure did, as members do: SetLocation with a Top that fits
// and a Left that does not has moved the window's top edge.)
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "com_test_support.h"
#include "recording_sink.h"

namespace sirel::test {
namespace {

struct Member {
  DISPID id;
  WORD kind;  // INVOKE_ kind, used as the DISPATCH_ flag
  UINT params;
};

// Every member of the class interface, as the type library describes it, plus two that are not.
std::vector<Member> MembersOf(IDispatch* object) {
  std::vector<Member> members{{0, DISPATCH_METHOD, 0}, {0x7FFF1234, DISPATCH_METHOD, 1}};
  ComPtr<ITypeInfo> info;
  if (FAILED(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info))) return members;
  TYPEATTR* attributes = nullptr;
  info->GetTypeAttr(&attributes);
  for (UINT i = 0; i < attributes->cFuncs; ++i) {
    FUNCDESC* desc = nullptr;
    if (FAILED(info->GetFuncDesc(i, &desc))) continue;
    if (!(desc->wFuncFlags & FUNCFLAG_FRESTRICTED)) {
      UINT params = 0;
      for (SHORT p = 0; p < desc->cParams; ++p) {
        if (!(desc->lprgelemdescParam[p].paramdesc.wParamFlags & PARAMFLAG_FRETVAL)) ++params;
      }
      members.push_back({desc->memid, static_cast<WORD>(desc->invkind), params});
    }
    info->ReleaseFuncDesc(desc);
  }
  info->ReleaseTypeAttr(attributes);
  return members;
}

// The poster's state as a client can read it, through its function table.
std::wstring StateOf(_Sireler* poster) {
  std::wstring state;
  auto number = [&](HRESULT status, double value) {
    state += SUCCEEDED(status) ? std::to_wstring(value) : L"?";
    state += L'|';
  };
  LONG n = 0;
  VARIANT_BOOL b = 0;
  float f = 0;
  number(poster->get_MinPriority(&n), n);
  number(poster->get_MaxPriority(&n), n);
  number(poster->get_MaxListCount(&n), n);
  number(poster->get_Count(&n), n);
  number(poster->get_ShowCounter(&b), b);
  number(poster->get_ShowPriority(&b), b);
  number(poster->get_ReturnFocus(&b), b);
  number(poster->get_EnableEvents(&b), b);
  number(poster->get_FormVisible(&b), b);
  number(poster->get_Top(&f), f);
  number(poster->get_Left(&f), f);
  return state + LastMessage(poster);
}

// Makes the argument variants of one call; owns everything they point to until the call ends.
class ArgumentMaker {
 public:
  explicit ArgumentMaker(std::mt19937& random, IUnknown* object) : random_(random), object_(object) {}
  ~ArgumentMaker() {
    for (VARIANT& v : owned_) VariantClear(&v);
  }

  // The caller clears what it gets (a reference owns nothing; its target is owned here).
  VARIANT Make(int depth = 0) {
    VARIANT v{};  // VT_EMPTY, every byte of the value zero
    switch (Pick(22)) {
      case 0: break;  // VT_EMPTY
      case 1: V_VT(&v) = VT_NULL; break;
      case 2: V_VT(&v) = VT_I4; V_I4(&v) = Int(); break;
      case 3: V_VT(&v) = VT_I2; V_I2(&v) = static_cast<SHORT>(Int()); break;
      case 4: V_VT(&v) = VT_R8; V_R8(&v) = Double(); break;
      case 5: V_VT(&v) = VT_R4; V_R4(&v) = static_cast<float>(Pick(3) == 0 ? 1e30 : Int()); break;
      case 6: V_VT(&v) = VT_BOOL; V_BOOL(&v) = static_cast<VARIANT_BOOL>(Int()); break;
      case 7: V_VT(&v) = VT_BSTR; V_BSTR(&v) = Text(); break;
      case 8: V_VT(&v) = VT_ERROR; V_ERROR(&v) = Pick(2) ? DISP_E_PARAMNOTFOUND : E_FAIL; break;
      case 9: V_VT(&v) = VT_DISPATCH; V_DISPATCH(&v) = nullptr; break;
      case 10:
        V_VT(&v) = VT_UNKNOWN;
        V_UNKNOWN(&v) = object_;
        object_->AddRef();
        break;
      case 11: V_VT(&v) = VT_CY; V_CY(&v).int64 = static_cast<LONGLONG>(Int()) * 10000; break;
      case 12: V_VT(&v) = VT_DATE; V_DATE(&v) = Double(); break;
      case 13: V_VT(&v) = VT_I8; V_I8(&v) = static_cast<LONGLONG>(Int()) << Pick(40); break;
      case 14: V_VT(&v) = VT_UI1; V_UI1(&v) = static_cast<BYTE>(Int()); break;
      case 15: {
        V_VT(&v) = VT_ARRAY | VT_I4;
        V_ARRAY(&v) = SafeArrayCreateVector(VT_I4, 0, static_cast<ULONG>(Pick(4)));
        break;
      }
      case 16:  // a reference to a value of one of the types above
      case 17: {
        VARIANT& target = Own(Make(depth + 1));
        if (V_VT(&target) == VT_EMPTY || (V_VT(&target) & VT_BYREF)) return Make(depth + 1);
        V_VT(&v) = VT_BYREF | V_VT(&target);
        V_BYREF(&v) = &V_I4(&target);  // every member of the union starts at the same place
        break;
      }
      case 18:  // a reference to a variant, possibly a reference itself
        V_VT(&v) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&v) = depth < 4 ? &Own(Make(depth + 1)) : nullptr;
        break;
      case 19:  // a variant that refers to itself
        V_VT(&Own(v)) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&owned_.back()) = &owned_.back();
        return owned_.back();
      case 20: V_VT(&v) = VT_BYREF | static_cast<VARTYPE>(Pick(2) ? VT_I4 : VT_BSTR); break;
      default:  // a type tag that is no automation type, or none at all, with a zero value
        V_VT(&v) = static_cast<VARTYPE>(Pick(2) ? VT_I1 + Pick(16) : VT_FILETIME + Pick(8));
        break;
    }
    return v;
  }

  int Pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

 private:
  VARIANT& Own(VARIANT v) {
    owned_.push_back(v);
    return owned_.back();
  }
  LONG Int() {
    static const LONG values[] = {0, 1, -1, 7, 32767, -32768, 2147483647, -2147483647 - 1, 99};
    return values[Pick(9)];
  }
  double Double() {
    static const double values[] = {0.0, -1.0, 1e300, -1e300, 2.5, 3e10, 1e-300};
    return values[Pick(7)];
  }
  BSTR Text() {
    switch (Pick(5)) {
      case 0: return nullptr;
      case 1: return SysAllocString(L"");
      case 2: return SysAllocString(L"12");
      case 3: return SysAllocString(std::wstring(300, L'x').c_str());
      default: return SysAllocString(L"fuzz \u0436");
    }
  }

  std::mt19937& random_;
  IUnknown* object_;
  std::deque<VARIANT> owned_;  // stable addresses for references
};

TEST(DispatchFuzzTest, EveryCallReturnsAStatusAndAFailureChangesNothing) {
  ComPtr<_Sireler> poster = CreatePoster();
  ASSERT_TRUE(poster);
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(poster.As(&dispatch), S_OK);
  ComPtr<RecordingDispatchSink> sink = RecordingDispatchSink::Make();
  Advise(poster.Get(), sink.Get());
  const std::vector<Member> members = MembersOf(dispatch.Get());
  ASSERT_GE(members.size(), 31u) << "the 29 functions of _Sireler and two that are not";

  std::mt19937 random(20261208);
  const WORD kinds[] = {DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT,
                        DISPATCH_PROPERTYPUTREF, DISPATCH_METHOD | DISPATCH_PROPERTYGET};
  const int calls = 20000;
  int succeeded = 0;
  const auto started = std::chrono::steady_clock::now();
  for (int call = 0; call < calls; ++call) {
    ArgumentMaker maker(random, poster.Get());
    const Member& member = members[static_cast<std::size_t>(maker.Pick(static_cast<int>(members.size())))];
    const WORD flags = maker.Pick(3) == 0 ? kinds[maker.Pick(5)] : member.kind;
    UINT count = member.params;
    if (maker.Pick(4) == 0) count = static_cast<UINT>(maker.Pick(5));
    std::vector<VARIANT> args;
    for (UINT i = 0; i < count; ++i) args.push_back(maker.Make());
    std::vector<DISPID> names;
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    if (put && count > 0 && maker.Pick(5) != 0) names.push_back(DISPID_PROPERTYPUT);
    if (!put && count > 0 && maker.Pick(4) == 0) {
      for (UINT i = 0; i < count; ++i) {
        const DISPID choices[] = {0, 1, static_cast<DISPID>(i), -1, 7, DISPID_PROPERTYPUT};
        names.push_back(choices[maker.Pick(6)]);
      }
    }
    DISPPARAMS params{args.empty() ? nullptr : args.data(), names.empty() ? nullptr : names.data(),
                      count, static_cast<UINT>(names.size())};
    if (maker.Pick(50) == 0) params.rgvarg = nullptr;  // a count without its array
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception{};
    UINT argumentError = 0;
    const std::wstring before = StateOf(poster.Get());
    const HRESULT status = dispatch->Invoke(member.id, IID_NULL, LOCALE_USER_DEFAULT, flags,
                                            &params, maker.Pick(10) == 0 ? nullptr : &result,
                                            &exception, &argumentError);
    VariantClear(&result);
    for (VARIANT& arg : args) VariantClear(&arg);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    if (SUCCEEDED(status)) {
      ++succeeded;
    } else if (status != DISP_E_EXCEPTION) {
      EXPECT_EQ(StateOf(poster.Get()), before)
          << "call " << call << ": DISPID 0x" << std::hex << member.id << " flags " << flags
          << " failed with 0x" << status << " and changed the poster";
    }
    // Keep the window hidden and the list short, so that calls stay fast.
    if (call % 50 == 0) {
      VARIANT_BOOL off = VARIANT_FALSE;
      poster->put_FormVisible(&off);
      poster->ClearList();
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("dispatch fuzzer: %d calls on %zu members, %d succeeded, %d refused, %.1f s\n",
              calls, members.size(), succeeded, calls - succeeded, seconds);
  Unadvise(poster.Get(), 1);
}

}  // namespace
}  // namespace sirel::test

int main(int argc, char** argv) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  testing::InitGoogleTest(&argc, argv);
  const int status = RUN_ALL_TESTS();
  CoUninitialize();
  return status;
}
