// Who the product is: the names and addresses every part shows or stores
// under.
#pragma once

#include <memory>

#include "settings/settings_store.h"

namespace tessaro {

constexpr char kProductName[] = "Tessaro";
// The settings store's company key: "Software\<company>\<product>".
constexpr char kCompanyKey[] = "Quelmark Ltd";
// Shown after the product name in the effect dialog's caption.
constexpr char kVendorName[] = "Quelmark Software";
constexpr char kHomePageAddress[] = "https://quelmark.example/tessaro/";
constexpr char kHomePageText[] = "quelmark.example/tessaro";
constexpr char kSupportAddress[] = "https://quelmark.example/tessaro/support/";

// The store every part of the product keeps its settings in.
inline std::unique_ptr<SettingsStore> OpenProductSettingsStore() {
  return OpenSettingsStore(kCompanyKey, kProductName);
}

}  // namespace tessaro
