// The resources of both DLL builds, read the way the system reads them: each DLL is loaded as a
// data file (nothing of it runs, so the x86 DLL loads into this x64 program too) and its
// resources are found by type and name. TYPELIB 1 is byte for byte the type library its build
// compiled; "_IID_SIRELER" 1 and "_SRCIID_SIRELER" 1 hold the size 16 and then the binary GUID
// of the class interface and of the event interface.
#include "com_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/file_bytes.h"

namespace sirel::test {
namespace {

class DllResourcesTest : public DllBuildTest {
 protected:
  void SetUp() override {
    DllBuildTest::SetUp();
    if (IsSkipped()) return;
    module_ = LoadLibraryExW(GetParam().path.c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr) << "error " << GetLastError();
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }

  // The bytes of resource 1 of the named type; empty when there is none.
  std::string Resource(const wchar_t* type) const {
    HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(1), type);
    if (found == nullptr) return {};
    HGLOBAL loaded = LoadResource(module_, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) return {};
    return std::string(static_cast<const char*>(data), SizeofResource(module_, found));
  }

  static std::string SizedGuid(REFGUID guid) {
    std::string bytes(4 + sizeof(GUID), '\0');
    const DWORD size = sizeof(GUID);
    std::memcpy(bytes.data(), &size, 4);
    std::memcpy(bytes.data() + 4, &guid, sizeof(GUID));
    return bytes;
  }

  HMODULE module_ = nullptr;
};

TEST_P(DllResourcesTest, TypeLibraryIsTheOneTheBuildCompiled) {
  const std::string built = test_support::FileBytes(GetParam().typeLibraryFile);
  ASSERT_FALSE(built.empty()) << "no type library file next to the build";
  EXPECT_TRUE(Resource(L"TYPELIB") == built);
}

TEST_P(DllResourcesTest, InterfaceGuidResourcesHoldSixteenAndTheGuid) {
  EXPECT_TRUE(Resource(L"_IID_SIRELER") == SizedGuid(IID__Sireler));
  EXPECT_TRUE(Resource(L"_SRCIID_SIRELER") == SizedGuid(DIID___Sireler));
}

INSTANTIATE_TEST_SUITE_P(Builds, DllResourcesTest, testing::ValuesIn(DllBuilds()), DllBuildName);

}  // namespace
}  // namespace sirel::test
