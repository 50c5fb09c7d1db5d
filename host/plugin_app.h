// The module's application object and the dispatch of the host's selectors.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "host/plugin_interface.h"

namespace tessaro {
class SettingsStore;
struct HostPixels;
struct ObjectBounds;
}

namespace tessaro::host {

// Lives from module load to unload; everything else of a filter run is created
// inside the start selector and gone when it returns.
class CMFCPlugInApp {
 public:
  explicit CMFCPlugInApp(const char* appName);
  CMFCPlugInApp(const CMFCPlugInApp&) = delete;
  CMFCPlugInApp& operator=(const CMFCPlugInApp&) = delete;

  // Binds the call to this object; throws a text for a null record.
  void Entry(FilterRecord* filterRecord, intptr_t* data);

  void About();
  void Parameters();
  void Prepare();
  void Start();
  void Continue();
  void Finish();

  FilterRecord* Record() const { return filterRecord_; }
  intptr_t* Data() const { return data_; }
  const std::string& AppName() const { return appName_; }
  const std::string& CompanyKey() const { return companyKey_; }
  // "Software\<company>\<application>": where the settings store keeps our values.
  std::string SettingsKey() const;
  // The user's settings store under that key.
  std::unique_ptr<SettingsStore> OpenStore() const;

 private:
  void SetCompanyKey();
  // The dialog's part of a run, from the object's bounds to the composite.
  void RunEffect(FilterRecord& record, const HostPixels& pixels, const ObjectBounds& bounds);

  std::string appName_;
  std::string companyKey_;
  FilterRecord* filterRecord_ = nullptr;
  intptr_t* data_ = nullptr;
};

CMFCPlugInApp& TheApp();

// True while an invocation renders and writes without its dialog and records and
// saves nothing.  Starts true; the parameters selector clears it, finish sets it.
bool SilentRun();
void SetSilentRun(bool silent);

// Set to "Tessaro" at the start of every call; the dialog's title comes from it.
const std::string& ProductName();

// Stores a text in the host's Pascal error string: the length byte, at most 254
// characters and a trailing zero, so the host never shows stale bytes.
void StoreErrorString(Str255& errorString, const std::string& text);

// Turns a failure of a selector's work into the host's result (and error text
// when the record has an error string).  record may be null.
void ReportFailure(std::exception_ptr failure, FilterRecord* record, int16_t* result);

// The body of the exported entry point.  Never throws.
void PluginMain(int16_t selector, void* paramBlock, intptr_t* data, int16_t* result);

}  // namespace tessaro::host
