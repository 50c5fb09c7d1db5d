// The bytes of the two resources through which a host discovers the filter:
// the plug-in property list and the scripting terminology (both id 17000).
#pragma once

#include <cstdint>
#include <vector>

#include "settings/product_identity.h"

namespace tessaro::host {

constexpr int kPropertyListId = 17000;
constexpr int kTerminologyId = 17000;
constexpr char kEntryPointName[] = "PluginMainTessaro";
constexpr char kMenuName[] = "Tessaro...";
constexpr const char* kCategory = kVendorName;
constexpr const char* kSuiteName = kVendorName;
// Hosts key recorded actions by these: they stay as first published.
constexpr char kScriptingScope[] = "Quelmark Software Tessaro";
constexpr char kSuiteDescription[] = "Quelmark Filters";
constexpr char kEventName[] = "Quelmark Tessaro";
constexpr char kEnableExpression[] = "in (PSHOP_ImageMode,RGBMode)";

// A Windows host looks for the entry point under the key of its own processor
// and passes over modules without it.
enum class ModuleArchitecture { X64, X86 };
constexpr ModuleArchitecture kBuiltArchitecture =
    sizeof(void*) == 4 ? ModuleArchitecture::X86 : ModuleArchitecture::X64;
uint32_t EntryPointKey(ModuleArchitecture architecture);

std::vector<uint8_t> BuildPropertyList(ModuleArchitecture architecture);
std::vector<uint8_t> BuildTerminology();

}  // namespace tessaro::host
