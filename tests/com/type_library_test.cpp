// Reads the finished type library back through ITypeLib, from the DLL of this program's own build
// (x64 or x86) and from the DLL of the other build of the same checkout (LoadTypeLibEx reads the
// resource of either architecture), and checks the library with its own SYSKIND, the three types,
// their flags, versions and pointer-sized fields, and every function's order, DISPID, kind,
// parameter names, types and passing.
#include "com_test_support.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include <string>
#include <vector>


namespace sirel::test {
namespace {

struct Param {
  const wchar_t* name;  // nullptr: no name (the let values, the return value)
  VARTYPE type;         // the type pointed to: every parameter is passed by reference
  USHORT flags;
};

struct Function {
  const wchar_t* name;
  INVOKEKIND kind;
  DISPID id;
  std::vector<Param> params;
};

constexpr USHORT kInOut = PARAMFLAG_FIN | PARAMFLAG_FOUT;
constexpr USHORT kRetval = PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;
constexpr USHORT kOptionalInOut = kInOut | PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT;

Function Get(const wchar_t* name, DISPID id, VARTYPE type) {
  return {name, INVOKE_PROPERTYGET, id, {{nullptr, type, kRetval}}};
}
Function Let(const wchar_t* name, DISPID id, VARTYPE type) {
  return {name, INVOKE_PROPERTYPUT, id, {{nullptr, type, kInOut}}};
}
Function Method(const wchar_t* name, DISPID id, std::vector<Param> params = {}) {
  return {name, INVOKE_FUNC, id, std::move(params)};
}

const std::vector<Function>& ClassInterfaceTable() {
  static const std::vector<Function> table = {
      Get(L"MinPriority", 0x6803000D, VT_I4),
      Let(L"MinPriority", 0x6803000D, VT_I4),
      Get(L"MaxPriority", 0x6803000C, VT_I4),
      Let(L"MaxPriority", 0x6803000C, VT_I4),
      Get(L"Top", 0x6803000B, VT_R4),
      Get(L"Left", 0x6803000A, VT_R4),
      Get(L"hwnd", 0x68030009, VT_I4),
      Get(L"Caption", 0x68030008, VT_BSTR),
      Let(L"Caption", 0x68030008, VT_BSTR),
      Get(L"LastMessage", 0x68030007, VT_BSTR),
      Get(L"ShowCounter", 0x68030006, VT_BOOL),
      Let(L"ShowCounter", 0x68030006, VT_BOOL),
      Get(L"ShowPriority", 0x68030005, VT_BOOL),
      Let(L"ShowPriority", 0x68030005, VT_BOOL),
      Get(L"MaxListCount", 0x68030004, VT_I4),
      Let(L"MaxListCount", 0x68030004, VT_I4),
      Get(L"ReturnFocus", 0x68030003, VT_BOOL),
      Let(L"ReturnFocus", 0x68030003, VT_BOOL),
      Get(L"EnableEvents", 0x68030002, VT_BOOL),
      Let(L"EnableEvents", 0x68030002, VT_BOOL),
      Get(L"Count", 0x68030001, VT_I4),
      Get(L"FormVisible", 0x68030000, VT_BOOL),
      Let(L"FormVisible", 0x68030000, VT_BOOL),
      Method(L"ResetCounter", 0x6003000E),
      Method(L"SetLocation", 0x6003000F, {{L"Top", VT_R4, kInOut}, {L"Left", VT_R4, kInOut}}),
      Method(L"DoSirel", 0x60030010,
             {{L"SirelText", VT_BSTR, kInOut}, {L"Priority", VT_I4, kOptionalInOut}}),
      Method(L"ClearList", 0x60030011),
      Method(L"SetParentWindow", 0x60030012, {{L"Window", VT_VARIANT, kInOut}}),
      Method(L"DeleteSelectedMessages", 0x60030013),
  };
  return table;
}

struct EventParam {
  const wchar_t* name;
  VARTYPE type;
  bool byReference;
};

struct Event {
  const wchar_t* name;
  std::vector<EventParam> params;
};

const std::vector<Event>& EventTable() {
  static const EventParam cancel = {L"Cancel", VT_BOOL, true};
  static const std::vector<Event> table = {
      {L"BeforeClear", {cancel}},
      {L"AfterClear", {}},
      {L"BeforeSirel", {{L"SirelText", VT_BSTR, false}, {L"Priority", VT_I4, false}, cancel}},
      {L"AfterSirel", {{L"SirelText", VT_BSTR, false}, {L"Priority", VT_I4, false}}},
      {L"BeforeShow", {cancel}},
      {L"BeforeHide", {cancel}},
      {L"BeforePriorityChange",
       {{L"MinPriority", VT_BOOL, false}, {L"OldValue", VT_I4, false}, {L"NewValue", VT_I4, false},
        cancel}},
      {L"AfterPriorityChange",
       {{L"MinPriority", VT_BOOL, false}, {L"OldValue", VT_I4, false}, {L"NewValue", VT_I4, false}}},
      {L"BeforeCounterReset", {{L"CounterValue", VT_I4, false}, cancel}},
  };
  return table;
}

std::wstring Name(BSTR name) {
  std::wstring text = Text(name);
  SysFreeString(name);
  return text;
}

class TypeLibraryTest : public DllBuildTest {
 protected:
  void SetUp() override {
    DllBuildTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_EQ(LoadTypeLibEx(GetParam().path.c_str(), REGKIND_NONE, &library_), S_OK);
  }

  ComPtr<ITypeInfo> TypeInfo(REFGUID guid) {
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(library_->GetTypeInfoOfGuid(guid, &info), S_OK);
    return info;
  }

  ComPtr<ITypeLib> library_;
};

struct TypeAttr {
  TypeAttr(ITypeInfo* info) : info(info) { EXPECT_EQ(info->GetTypeAttr(&attr), S_OK); }
  ~TypeAttr() { info->ReleaseTypeAttr(attr); }
  const TYPEATTR* operator->() const { return attr; }
  ITypeInfo* info;
  TYPEATTR* attr = nullptr;
};

struct FuncDesc {
  FuncDesc(ITypeInfo* info, UINT index) : info(info) {
    EXPECT_EQ(info->GetFuncDesc(index, &desc), S_OK);
  }
  ~FuncDesc() {
    if (desc) info->ReleaseFuncDesc(desc);
  }
  const FUNCDESC* operator->() const { return desc; }
  ITypeInfo* info;
  FUNCDESC* desc = nullptr;
};

// Names of the function with this memid, as GetNames reports them (the member, then its
// parameters). For a property, the get comes first in the table, so its names are reported.
std::vector<std::wstring> NamesOf(ITypeInfo* info, MEMBERID id) {
  BSTR names[8] = {};
  UINT count = 0;
  EXPECT_EQ(info->GetNames(id, names, 8, &count), S_OK);
  std::vector<std::wstring> result;
  for (UINT i = 0; i < count; ++i) result.push_back(Name(names[i]));
  return result;
}

TEST_P(TypeLibraryTest, LibraryIdentity) {
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(library_->GetLibAttr(&attr), S_OK);
  EXPECT_TRUE(IsEqualGUID(attr->guid, LIBID_Sirel));
  EXPECT_EQ(attr->lcid, 0u);
  EXPECT_EQ(attr->syskind, GetParam().syskind);
  EXPECT_EQ(attr->wMajorVerNum, 17);
  EXPECT_EQ(attr->wMinorVerNum, 0);
  // The loader adds "has a disk image"; the library itself has no flags.
  EXPECT_EQ(attr->wLibFlags & ~LIBFLAG_FHASDISKIMAGE, 0);
  library_->ReleaseTLibAttr(attr);

  BSTR name = nullptr;
  BSTR doc = nullptr;
  DWORD helpContext = 1;
  BSTR helpFile = nullptr;
  ASSERT_EQ(library_->GetDocumentation(-1, &name, &doc, &helpContext, &helpFile), S_OK);
  EXPECT_EQ(Name(name), L"Sirel");
  EXPECT_EQ(doc, nullptr);
  EXPECT_EQ(helpFile, nullptr);
  EXPECT_EQ(helpContext, 0u);
  SysFreeString(doc);
  SysFreeString(helpFile);
}

TEST_P(TypeLibraryTest, ThreeTypesInOrderWithTheirFlagsAndVersions) {
  struct Expected {
    const wchar_t* name;
    const GUID* guid;
    TYPEKIND kind;
    WORD flags;
  };
  const Expected expected[] = {
      {L"_Sireler", &IID__Sireler, TKIND_DISPATCH,
       TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION |
           TYPEFLAG_FDISPATCHABLE},
      {L"Sireler", &CLSID_Sireler, TKIND_COCLASS, TYPEFLAG_FCANCREATE},
      {L"__Sireler", &DIID___Sireler, TKIND_DISPATCH,
       TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE},
  };
  ASSERT_EQ(library_->GetTypeInfoCount(), 3u);
  for (UINT i = 0; i < 3; ++i) {
    SCOPED_TRACE(testing::Message() << "type " << i);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(library_->GetTypeInfo(i, &info), S_OK);
    TypeAttr attr(info.Get());
    EXPECT_TRUE(IsEqualGUID(attr->guid, *expected[i].guid));
    EXPECT_EQ(attr->typekind, expected[i].kind);
    // Wine reports a dual interface's dispatch form without "automation-compatible"; the
    // function-table form shows the flag (ClassInterfaceFunctionTableInOrder).
    const WORD reported = i == 0 ? attr->wTypeFlags | TYPEFLAG_FOLEAUTOMATION : attr->wTypeFlags;
    EXPECT_EQ(reported, expected[i].flags);
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);

    BSTR name = nullptr;
    BSTR doc = nullptr;
    DWORD helpContext = 1;
    ASSERT_EQ(library_->GetDocumentation(static_cast<INT>(i), &name, &doc, &helpContext, nullptr), S_OK);
    EXPECT_EQ(Name(name), expected[i].name);
    EXPECT_EQ(doc, nullptr);
    EXPECT_EQ(helpContext, 0u);
    SysFreeString(doc);
  }
}

TEST_P(TypeLibraryTest, ClassImplementsTheDefaultInterfaceAndTheDefaultSource) {
  ComPtr<ITypeInfo> coclass = TypeInfo(CLSID_Sireler);
  ASSERT_TRUE(coclass);
  TypeAttr attr(coclass.Get());
  ASSERT_EQ(attr->cImplTypes, 2);
  const struct {
    const GUID* guid;
    INT flags;
  } expected[] = {{&IID__Sireler, IMPLTYPEFLAG_FDEFAULT},
                  {&DIID___Sireler, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE}};
  for (UINT i = 0; i < 2; ++i) {
    SCOPED_TRACE(testing::Message() << "implemented type " << i);
    INT flags = -1;
    ASSERT_EQ(coclass->GetImplTypeFlags(i, &flags), S_OK);
    EXPECT_EQ(flags, expected[i].flags);
    HREFTYPE ref = 0;
    ASSERT_EQ(coclass->GetRefTypeOfImplType(i, &ref), S_OK);
    ComPtr<ITypeInfo> implemented;
    ASSERT_EQ(coclass->GetRefTypeInfo(ref, &implemented), S_OK);
    TypeAttr implementedAttr(implemented.Get());
    EXPECT_TRUE(IsEqualGUID(implementedAttr->guid, *expected[i].guid));
  }
}

TEST_P(TypeLibraryTest, ClassInterfaceDerivesFromTheStandardIDispatch) {
  ComPtr<ITypeInfo> dispatchForm = TypeInfo(IID__Sireler);
  ASSERT_TRUE(dispatchForm);
  HREFTYPE vtableRef = 0;
  ASSERT_EQ(dispatchForm->GetRefTypeOfImplType(-1, &vtableRef), S_OK);
  ComPtr<ITypeInfo> vtableForm;
  ASSERT_EQ(dispatchForm->GetRefTypeInfo(vtableRef, &vtableForm), S_OK);
  HREFTYPE baseRef = 0;
  ASSERT_EQ(vtableForm->GetRefTypeOfImplType(0, &baseRef), S_OK);
  ComPtr<ITypeInfo> base;
  ASSERT_EQ(vtableForm->GetRefTypeInfo(baseRef, &base), S_OK);
  TypeAttr baseAttr(base.Get());
  EXPECT_TRUE(IsEqualGUID(baseAttr->guid, IID_IDispatch));
  ComPtr<ITypeLib> stdole;
  UINT index = 0;
  ASSERT_EQ(base->GetContainingTypeLib(&stdole, &index), S_OK);
  TLIBATTR* stdoleAttr = nullptr;
  ASSERT_EQ(stdole->GetLibAttr(&stdoleAttr), S_OK);
  const GUID stdoleId = {0x00020430, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  EXPECT_TRUE(IsEqualGUID(stdoleAttr->guid, stdoleId));
  EXPECT_EQ(stdoleAttr->wMajorVerNum, 2);
  stdole->ReleaseTLibAttr(stdoleAttr);
}

TEST_P(TypeLibraryTest, ClassInterfaceFunctionTableInOrder) {
  ComPtr<ITypeInfo> dispatchForm = TypeInfo(IID__Sireler);
  ASSERT_TRUE(dispatchForm);
  HREFTYPE vtableRef = 0;
  ASSERT_EQ(dispatchForm->GetRefTypeOfImplType(-1, &vtableRef), S_OK);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(dispatchForm->GetRefTypeInfo(vtableRef, &info), S_OK);
  TypeAttr attr(info.Get());
  EXPECT_EQ(attr->typekind, TKIND_INTERFACE);
  // The function-table form reports the flags as stored.
  EXPECT_EQ(attr->wTypeFlags, TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE |
                                  TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE);
  const std::vector<Function>& table = ClassInterfaceTable();
  ASSERT_EQ(attr->cFuncs, table.size());
  // Pointer-sized fields: the interface pointer itself and the function table, IUnknown's and
  // IDispatch's seven functions then the class's own.
  const SHORT pointer = static_cast<SHORT>(sizeof(void*));
  if (GetParam().own) {
    EXPECT_EQ(attr->cbSizeInstance, static_cast<ULONG>(pointer));
    EXPECT_EQ(attr->cbSizeVft, (7 + table.size()) * pointer);
    EXPECT_EQ(attr->cbAlignment, pointer);
  }

  for (UINT i = 0; i < table.size(); ++i) {
    const Function& expected = table[i];
    SCOPED_TRACE(testing::Message() << "function " << i + 1 << " " << std::string(
                     expected.name, expected.name + wcslen(expected.name)));
    FuncDesc desc(info.Get(), i);
    ASSERT_NE(desc.desc, nullptr);
    EXPECT_EQ(desc->memid, expected.id);
    EXPECT_EQ(desc->invkind, expected.kind);
    EXPECT_EQ(desc->wFuncFlags, 0);
    EXPECT_EQ(desc->callconv, CC_STDCALL);
    EXPECT_EQ(desc->elemdescFunc.tdesc.vt, VT_HRESULT);
    int optional = 0;
    for (const Param& param : expected.params) optional += (param.flags & PARAMFLAG_FOPT) ? 1 : 0;
    EXPECT_EQ(desc->cParamsOpt, optional);
    // After IUnknown's three and IDispatch's four functions (the loader gives the offset in
    // the reading process's pointer size, whichever architecture the library was built for).
    EXPECT_EQ(desc->oVft, (7 + static_cast<SHORT>(i)) * static_cast<SHORT>(sizeof(void*)));
    ASSERT_EQ(desc->cParams, static_cast<SHORT>(expected.params.size()));
    for (SHORT p = 0; p < desc->cParams; ++p) {
      SCOPED_TRACE(testing::Message() << "parameter " << p);
      const ELEMDESC& element = desc->lprgelemdescParam[p];
      ASSERT_EQ(element.tdesc.vt, VT_PTR);
      EXPECT_EQ(element.tdesc.lptdesc->vt, expected.params[p].type);
      EXPECT_EQ(element.paramdesc.wParamFlags, expected.params[p].flags);
      if (expected.params[p].flags & PARAMFLAG_FHASDEFAULT) {
        const VARIANT& value = element.paramdesc.pparamdescex->varDefaultValue;
        EXPECT_EQ(V_VT(&value), VT_I4);
        EXPECT_EQ(V_I4(&value), -1);
      }
    }
    if (expected.kind != INVOKE_PROPERTYPUT) {
      std::vector<std::wstring> names = {expected.name};
      for (const Param& param : expected.params) {
        if (param.name) names.push_back(param.name);
      }
      EXPECT_EQ(NamesOf(info.Get(), expected.id), names);
    }
    BSTR doc = nullptr;
    DWORD helpContext = 1;
    EXPECT_EQ(info->GetDocumentation(desc->memid, nullptr, &doc, &helpContext, nullptr), S_OK);
    EXPECT_EQ(doc, nullptr);
    EXPECT_EQ(helpContext, 0u);
    SysFreeString(doc);
  }
}

TEST_P(TypeLibraryTest, EventInterfaceHasNineMethodsWithDispIdsOneToNine) {
  ComPtr<ITypeInfo> info = TypeInfo(DIID___Sireler);
  ASSERT_TRUE(info);
  TypeAttr attr(info.Get());
  // A pure dispinterface: IDispatch as its one base, no function-table form.
  EXPECT_EQ(attr->cImplTypes, 1);
  HREFTYPE vtableRef = 0;
  EXPECT_NE(info->GetRefTypeOfImplType(-1, &vtableRef), S_OK);

  const std::vector<Event>& table = EventTable();
  std::vector<UINT> own;
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    FuncDesc desc(info.Get(), i);
    if (!(desc->wFuncFlags & FUNCFLAG_FRESTRICTED)) own.push_back(i);
  }
  ASSERT_EQ(own.size(), table.size());
  for (UINT e = 0; e < table.size(); ++e) {
    const Event& expected = table[e];
    SCOPED_TRACE(testing::Message() << "event " << e + 1);
    FuncDesc desc(info.Get(), own[e]);
    EXPECT_EQ(desc->memid, static_cast<MEMBERID>(e + 1));
    EXPECT_EQ(desc->invkind, INVOKE_FUNC);
    EXPECT_EQ(desc->funckind, FUNC_DISPATCH);
    EXPECT_EQ(desc->elemdescFunc.tdesc.vt, VT_VOID);
    ASSERT_EQ(desc->cParams, static_cast<SHORT>(expected.params.size()));
    std::vector<std::wstring> names = {expected.name};
    for (SHORT p = 0; p < desc->cParams; ++p) {
      SCOPED_TRACE(testing::Message() << "parameter " << p);
      const EventParam& param = expected.params[p];
      names.push_back(param.name);
      const TYPEDESC& type = desc->lprgelemdescParam[p].tdesc;
      const USHORT flags = desc->lprgelemdescParam[p].paramdesc.wParamFlags;
      if (param.byReference) {
        ASSERT_EQ(type.vt, VT_PTR);
        EXPECT_EQ(type.lptdesc->vt, param.type);
        EXPECT_EQ(flags, kInOut);
      } else {
        EXPECT_EQ(type.vt, param.type);
        EXPECT_EQ(flags, PARAMFLAG_FIN);
      }
    }
    EXPECT_EQ(NamesOf(info.Get(), desc->memid), names);
  }
}

INSTANTIATE_TEST_SUITE_P(Builds, TypeLibraryTest, testing::ValuesIn(DllBuilds()), DllBuildName);

}  // namespace
}  // namespace sirel::test
