// The native settings store read from any file it may find, then written:
// reading never fails, and a write keeps every value it did not change.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/fuzz_support.h"
#include "settings/file_settings_store.h"
#include "settings/presets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessaro;
  FuzzedDataProvider in(data, size);
  const std::string name = in.ConsumeRandomLengthString(16);
  const int32_t number = in.ConsumeIntegral<int32_t>();
  const std::string text = in.ConsumeRandomLengthString(32);
  const std::string bytes = in.ConsumeRemainingBytesAsString();
  const std::string path = fuzzing::ScratchFolder() + "Tessaro.settings";
  fuzzing::WriteFile(path, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());

  FileSettingsStore store(path);
  const std::vector<std::string> sections = ListPresets(store);
  std::vector<EffectSettings> before;
  for (const std::string& s : sections) {
    FUZZ_CHECK(store.SectionExists(s));
    before.push_back(LoadEffectSettings(store, s));
  }
  const EffectSettings lastUsed = LoadEffectSettings(store, "");
  const std::string language = store.GetString("", "Language", "English");

  // A value of our own in a section of our own, and one in the application
  // key: both read back, and nothing else moves.
  const bool wroteInt = store.WriteInt("fuzz section", "Number", number);
  const bool wroteText = !name.empty() && store.WriteString("", name, text);
  if (wroteInt) FUZZ_CHECK(store.GetInt("FUZZ SECTION", "number", number ^ 1) == number);
  if (wroteText) FUZZ_CHECK(store.GetString("", name, text + "x") == text);
  if (wroteInt || wroteText) {
    for (size_t i = 0; i < sections.size(); ++i)
      FUZZ_CHECK(LoadEffectSettings(store, sections[i]) == before[i]);
    if (!wroteText) {
      FUZZ_CHECK(LoadEffectSettings(store, "") == lastUsed);
      FUZZ_CHECK(store.GetString("", "Language", "English") == language);
    }
  }
  return 0;
}
