// Reads the resources back from the built module the way a host scans it.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/plugin_resources.h"
#include "module_loader.h"
#include "tests/support/resource_checks.h"
#include "tessaro_version.h"

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

// The machine field of the module's file header, as a host reads it before
// choosing which entry point key to look for.
uint16_t ModuleMachine(HMODULE module) {
  const auto* base = reinterpret_cast<const uint8_t*>(uintptr_t(module) & ~uintptr_t(3));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  return nt->FileHeader.Machine;
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
  const uint16_t machine = ModuleMachine(module_);
  ASSERT_TRUE(machine == IMAGE_FILE_MACHINE_AMD64 || machine == IMAGE_FILE_MACHINE_I386) << machine;
  const bool x86 = machine == IMAGE_FILE_MACHINE_I386;
  EXPECT_EQ(x86, sizeof(void*) == 4) << "the module is not built for this test's processor";
  ExpectTessaroPropertyList(pipl.data, pipl.size, x86 ? Code("wx86") : Code("8664"));
  const PiplResource list = ReadPipl(pipl.data, pipl.size);
  EXPECT_EQ(list.Find(x86 ? Code("8664") : Code("wx86")), nullptr)
      << "a host of the other processor would try to run this module";
  const std::vector<uint8_t> built = host::BuildPropertyList(host::kBuiltArchitecture);
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

TEST_F(ModuleResourcesTest, VersionResourceCarriesTheBuildsVersion) {
  // What the file's properties show in Windows, read as they read it.
  const std::string narrow = ModuleBesideExecutable();
  const std::wstring path(narrow.begin(), narrow.end());
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<uint8_t> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, DWORD(TESSARO_VERSION_MAJOR << 16 | TESSARO_VERSION_MINOR));
  EXPECT_EQ(fixed->dwFileVersionLS, DWORD(TESSARO_VERSION_PATCH << 16));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  wchar_t* text = nullptr;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040904b0\\FileVersion",
                             reinterpret_cast<void**>(&text), &length));
  EXPECT_EQ(std::wstring(text), L"" TESSARO_VERSION);
}

}  // namespace
}  // namespace tessaro::testing
