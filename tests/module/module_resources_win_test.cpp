// Reads the resources back from the built module the way a host scans it.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/plugin_resources.h"
#include "module_loader.h"
#include "tests/support/resource_checks.h"

namespace tessaro::testing {
namespace {

struct ResourceBytes {
  const uint8_t* data = nullptr;
  size_t size = 0;
};

ResourceBytes LoadModuleResource(HMODULE module, const wchar_t* type, int id) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  if (!loaded) return {};
  return {static_cast<const uint8_t*>(LockResource(loaded)), SizeofResource(module, found)};
}

BOOL CALLBACK CountName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
  if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<int>*>(param)->push_back(int(LOWORD(name)));
  return TRUE;
}

class ModuleResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Hosts scan modules as data files before they ever run them.
    module_ = LoadLibraryExA(ModuleBesideExecutable().c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr) << "cannot open " << ModuleBesideExecutable();
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }
  HMODULE module_ = nullptr;
};

TEST_F(ModuleResourcesTest, OnePropertyListWithEveryProperty) {
  std::vector<int> ids;
  EnumResourceNamesW(module_, L"PiPL", CountName, reinterpret_cast<LONG_PTR>(&ids));
  ASSERT_EQ(ids, std::vector<int>{17000});
  // Resource types are matched without regard to case.
  const ResourceBytes upper = LoadModuleResource(module_, L"PIPL", 17000);
  const ResourceBytes pipl = LoadModuleResource(module_, L"PiPL", 17000);
  ASSERT_NE(pipl.data, nullptr);
  EXPECT_EQ(upper.size, pipl.size);
  ExpectTessaroPropertyList(pipl.data, pipl.size);
  const std::vector<uint8_t> built = host::BuildPropertyList();
  EXPECT_EQ(std::vector<uint8_t>(pipl.data, pipl.data + pipl.size), built);
}

TEST_F(ModuleResourcesTest, TerminologyNamedByTheHstmPropertyExists) {
  const ResourceBytes aete = LoadModuleResource(module_, L"aete", 17000);
  ASSERT_NE(aete.data, nullptr);
  ExpectTessaroTerminology(aete.data, aete.size);
}

TEST_F(ModuleResourcesTest, ExportNamedByThePropertyListIsFound) {
  HMODULE running = LoadLibraryA(ModuleBesideExecutable().c_str());
  ASSERT_NE(running, nullptr);
  EXPECT_NE(GetProcAddress(running, host::kEntryPointName), nullptr);
  FreeLibrary(running);
}

}  // namespace
}  // namespace tessaro::testing
