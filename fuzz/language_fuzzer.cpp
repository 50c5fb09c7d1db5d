// Language files as anyone may write them: any bytes, any encoding, looked up
// by sections and keys that may or may not be in them.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/fuzz_support.h"
#include "i18n/language.h"

namespace {

constexpr char kProgram[] = "Quelmark Tessaro";

// No escape may survive a lookup, and the default stands for every empty text.
void CheckText(const std::string& text) {
  FUZZ_CHECK(!text.empty());
  FUZZ_CHECK(text.find("\\n") == std::string::npos);
  FUZZ_CHECK(text.find("\\t") == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using tessaro::fuzzing::ScratchFolder;
  FuzzedDataProvider in(data, size);
  const bool withHeader = in.ConsumeBool();
  const std::string section = in.ConsumeRandomLengthString(24);
  const std::string key = in.ConsumeRandomLengthString(24);
  std::string file = withHeader ? "[Info]\nprogram=Quelmark Tessaro\nname=Fuzz\nversion=1\n" : "";
  file += in.ConsumeRemainingBytesAsString();
  tessaro::fuzzing::WriteFile(ScratchFolder() + "fuzz.lng",
                              reinterpret_cast<const uint8_t*>(file.data()), file.size());

  tessaro::i18n::CLanguage language;
  language.LoadFrom(kProgram, 0, ScratchFolder());
  language.Select("Fuzz");
  CheckText(language.GetText(section, key, "built-in"));
  for (const char* fixed : {"err_no_sel", "err_empty", "del_preset", "preparing", "ok"})
    CheckText(language.GetText("Msg", fixed, "built-in"));
  for (const char* id : {"0", "1", "3", "1027"}) CheckText(language.GetText("Main_dlg", id, "x"));
  const std::vector<std::string> list = language.GetList(section, key);
  size_t commas = 0;
  for (const std::string& item : list) commas += item.find(',') != std::string::npos;
  FUZZ_CHECK(commas == 0);
  language.GetName(-1);
  language.IndexOf("Fuzz");
  return 0;
}
