#include "host/plugin_app.h"

#include <cstring>
#include <exception>
#include <new>

#include "host/about_box.h"
#include "host/debug_output.h"
#include "host/effect_controller.h"
#include "host/effect_dialog.h"
#include "host/filter_run.h"
#include "host/host_rects.h"
#include "host/interface_hooks.h"
#include "host/plugin_errors.h"
#include "host/suite_slots.h"
#include "host/user_message.h"
#include "i18n/language.h"
#include "settings/product_identity.h"
#include "settings/settings_store.h"

namespace tessaro::host {

namespace {
constexpr size_t kMaxErrorChars = 254;

bool g_silentRun = true;
std::string g_productName;

// Work that later parts of the product provide.  Until they exist, the selector
// fails instead of pretending to have done its work.
[[noreturn]] void NotAvailable(const char* what) {
  ThrowText(std::string("Tessaro cannot ") + what + ": it is not part of this build.");
}

// The host's window, which owns every message of a run; 0 when the host
// gives none.
intptr_t HostWindow(const FilterRecord& record) {
  return record.platformData != nullptr ? record.platformData->hwnd : 0;
}

// Texts of section "Msg" of the language table.
std::string MessageText(const char* key, const char* english) {
  return i18n::TheLanguage().GetText("Msg", key, english);
}
}  // namespace

CMFCPlugInApp::CMFCPlugInApp(const char* appName) : appName_(appName) {}

CMFCPlugInApp& TheApp() {
  static CMFCPlugInApp app(kProductName);
  return app;
}

bool SilentRun() { return g_silentRun; }
void SetSilentRun(bool silent) { g_silentRun = silent; }
const std::string& ProductName() { return g_productName; }

std::string CMFCPlugInApp::SettingsKey() const {
  return "Software\\" + companyKey_ + "\\" + appName_;
}

void CMFCPlugInApp::SetCompanyKey() { companyKey_ = kCompanyKey; }

void CMFCPlugInApp::Entry(FilterRecord* filterRecord, intptr_t* data) {
  if (!filterRecord) ThrowText("pFilterRecord == NULL in CMFCPlugInApp::Entry");
  filterRecord_ = filterRecord;
  data_ = data;
  SetCompanyKey();
}

void CMFCPlugInApp::About() {
  // Texts and styles as a run would have them, so the box speaks the user's
  // language in the user's colours.
  Prepare();
  if (!ShowAboutBox()) NotAvailable("show its about box");
}

void CMFCPlugInApp::Parameters() { SetSilentRun(false); }

void CMFCPlugInApp::Prepare() {
  SetCompanyKey();
  const std::unique_ptr<SettingsStore> store = OpenStore();
  i18n::PrepareLanguage(i18n::TheLanguage(), ProductName(),
                        store->GetString("", "Language", "English"));
  if (const auto reset = InstalledInterfaceHooks().resetDrawingState) reset();
}

std::unique_ptr<SettingsStore> CMFCPlugInApp::OpenStore() const {
  return OpenSettingsStore(companyKey_, appName_);
}

void CMFCPlugInApp::Start() {
  FilterRecord& record = *filterRecord_;
  ConsoleMessages console(record.hostSig == kConsoleHostSignature);
  // Only 8-bit RGB is listed in the property list; a host that sends
  // anything else anyway gets the interface's own answer.
  if (record.imageMode != 0 && record.imageMode != kImageModeRGB) ThrowResult(kFilterBadMode);

  RequestWholeImage(record);
  if (!record.advanceState || record.advanceState() != kNoErr) ThrowText("advanceState no go!");
  switch (CheckBuffers(record)) {
    case BufferCheck::NoOutput: ShowSystemMessage("error out"); return;
    case BufferCheck::NoInput: ShowSystemMessage("error in"); return;
    case BufferCheck::NoMask: ShowSystemMessage("error mask"); return;
    case BufferCheck::Ok: break;
  }
  const HostPixels pixels = ViewOfBuffers(record);
  ObjectBounds bounds;
  switch (FindObjectBounds(pixels, bounds)) {
    case BoundsResult::NoSelection:
      ShowMessageDlg(MessageText("err_no_sel",
                                 "This filter requires a selection or a layer with transparency!"),
                     kIconWarning, kButtonsOk, HostWindow(record));
      ThrowResult(kUserCanceledErr);
    case BoundsResult::Empty:
      ShowMessageDlg(MessageText("err_empty", "Sorry, the selected area is empty!"), kIconWarning,
                     kButtonsOk, HostWindow(record));
      ThrowResult(kUserCanceledErr);
    case BoundsResult::Found: break;
  }
  RunEffect(record, pixels, bounds);
}

void CMFCPlugInApp::RunEffect(FilterRecord& record, const HostPixels& pixels,
                              const ObjectBounds& bounds) {
  EffectController effect(record, pixels, bounds);
  const std::unique_ptr<SettingsStore> store = OpenStore();
  const SystemMessageFn systemMessage = [](const char* text) { ShowSystemMessage(text); };
  effect.LoadSettings(*store, "");
  const int read = effect.ReadDescriptor(systemMessage);
  if (!SilentRun()) {
    SetSilentRun(read == kDontShowDialog);
    if (!SilentRun() && read == kNoDescriptor) effect.LoadSettings(*store, "");
  }
  if (!SilentRun()) {
    switch (RunEffectDialog(effect, *store, HostWindow(record))) {
      case DialogOutcome::kConfirmed: return;
      case DialogOutcome::kCancelled: ThrowResult(kUserCanceledErr);
      case DialogOutcome::kNoDialog: break;  // a build without windows runs as a replay
    }
  }
  effect.BuildScene();
  effect.WriteResult([&record](int32_t done, int32_t total) {
    if (record.progressProc) record.progressProc(done, total);
  });
}

void CMFCPlugInApp::Continue() {
  // Empty rectangles tell the host that no further data is wanted.
  const VRect none{0, 0, 0, 0};
  RequestRects(*filterRecord_, none, none, none);
}

void CMFCPlugInApp::Finish() { SetSilentRun(true); }

void StoreErrorString(Str255& errorString, const std::string& text) {
  const size_t length = text.size() < kMaxErrorChars ? text.size() : kMaxErrorChars;
  errorString[0] = static_cast<unsigned char>(length);
  std::memcpy(errorString + 1, text.data(), length);
  errorString[length + 1] = 0;
}

namespace {

void Dispatch(CMFCPlugInApp& app, int16_t selector) {
  switch (selector) {
    case kSelectorAbout: app.About(); break;
    case kSelectorParameters: app.Parameters(); break;
    case kSelectorPrepare: app.Prepare(); break;
    case kSelectorStart: app.Start(); break;
    case kSelectorContinue: app.Continue(); break;
    case kSelectorFinish: app.Finish(); break;
    default: break;
  }
}

void UnlockDataWord(FilterRecord& record, const intptr_t* data) {
  if (!data || *data == 0) return;
  const HandleProcs* procs = record.handleProcs;
  if (!procs || !HostTableHasSlot(procs->numHandleProcs, 6) || !procs->unlockProc) return;
  procs->unlockProc(reinterpret_cast<Handle>(*data));
}

}  // namespace

void ReportFailure(std::exception_ptr failure, FilterRecord* record, int16_t* result) {
  auto report_text = [&](const std::string& text) {
    WriteDebugOutput(text.c_str());
    if (record && record->errorString) StoreErrorString(*record->errorString, text);
    *result = kErrReportString;
  };
  try {
    std::rethrow_exception(failure);
  } catch (const ErrorText& e) {
    report_text(e.text);
  } catch (const char* text) {
    report_text(text ? text : "");
  } catch (const ResultCode& e) {
    *result = e.code;
  } catch (const std::bad_alloc&) {
    // The host has its own out-of-memory message for this code.
    *result = kMemFullErr;
  } catch (...) {
    *result = -1;
  }
}

void PluginMain(int16_t selector, void* paramBlock, intptr_t* data, int16_t* result) {
  int16_t ignored = 0;
  if (!result) result = &ignored;
  *result = kNoErr;

  // The about selector's block is a much smaller record: no error string, no
  // handle procedures to look at.
  const bool isFilterRecord = selector != kSelectorAbout;
  auto* record = isFilterRecord ? static_cast<FilterRecord*>(paramBlock) : nullptr;
  try {
    g_productName = kProductName;
    CMFCPlugInApp& app = TheApp();
    app.Entry(static_cast<FilterRecord*>(paramBlock), data);
    Dispatch(app, selector);
    if (record) UnlockDataWord(*record, data);
  } catch (...) {
    try {
      ReportFailure(std::current_exception(), record, result);
    } catch (...) {
      *result = -1;
    }
  }
}

}  // namespace tessaro::host
