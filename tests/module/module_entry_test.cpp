// The entry point as a host meets it: through the loaded module, with records
// laid out as hosts lay them out.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "host/plugin_interface.h"
#include "module_fixture.h"

namespace tessaro::testing {
namespace {

using host::AboutRecord;
using host::BigDocumentStruct;
using host::FilterRecord;
using host::HandleProcs;
using host::Rect16;
using host::VRect;

class ModuleEntryTest : public ModuleFixture {
 protected:
  int16_t Call(int16_t selector, void* block, intptr_t* data = nullptr) {
    int16_t result = 777;
    module_->entry()(selector, block, data ? data : &data_, &result);
    return result;
  }

  intptr_t data_ = 0;
};

// Some hosts allocate only 556 bytes of record: the module must stay inside
// them (under the address sanitizer, any read beyond is reported).
struct ShortHostRecord {
  static constexpr size_t kSize = 556;
  std::unique_ptr<uint8_t[]> bytes{new uint8_t[kSize]()};
  FilterRecord* get() { return reinterpret_cast<FilterRecord*>(bytes.get()); }
};

TEST_F(ModuleEntryTest, UnknownSelectorsLeaveResultZeroAndTheRecordUnchanged) {
  ShortHostRecord record;
  std::memset(record.bytes.get(), 0x5A, ShortHostRecord::kSize);
  record.get()->handleProcs = nullptr;
  record.get()->bigDocumentData = nullptr;
  record.get()->errorString = nullptr;
  const std::vector<uint8_t> before(record.bytes.get(), record.bytes.get() + ShortHostRecord::kSize);
  for (int16_t selector : {int16_t(6), int16_t(7), int16_t(100), int16_t(-1), int16_t(32767)}) {
    EXPECT_EQ(Call(selector, record.get()), 0) << selector;
    EXPECT_EQ(std::vector<uint8_t>(record.bytes.get(), record.bytes.get() + ShortHostRecord::kSize),
              before)
        << selector;
  }
}

TEST_F(ModuleEntryTest, NullRecordIsReportedNotCrashed) {
  for (int16_t selector = 1; selector <= 6; ++selector)
    EXPECT_EQ(Call(selector, nullptr), -30904) << selector;
}

TEST_F(ModuleEntryTest, ContinueEmptiesTheThreeRectanglesInBothForms) {
  FilterRecord record{};
  BigDocumentStruct big{};
  record.inRect = Rect16{1, 2, 30, 40};
  record.outRect = Rect16{3, 4, 50, 60};
  record.maskRect = Rect16{5, 6, 70, 80};
  record.bigDocumentData = &big;
  big.inRect32 = VRect{1, 2, 40000, 50000};
  big.outRect32 = VRect{1, 2, 40000, 50000};
  big.maskRect32 = VRect{1, 2, 40000, 50000};
  ASSERT_EQ(Call(host::kSelectorContinue, &record), 0);

  auto empty16 = [](const Rect16& r) { return r.top == 0 && r.left == 0 && r.bottom == 0 && r.right == 0; };
  auto empty32 = [](const VRect& r) { return r.top == 0 && r.left == 0 && r.bottom == 0 && r.right == 0; };
  EXPECT_TRUE(empty16(record.inRect));
  EXPECT_TRUE(empty16(record.outRect));
  EXPECT_TRUE(empty16(record.maskRect));
  EXPECT_TRUE(empty32(big.inRect32));
  EXPECT_TRUE(empty32(big.outRect32));
  EXPECT_TRUE(empty32(big.maskRect32));
  EXPECT_EQ(big.PluginUsing32BitCoordinates, 1);
}

TEST_F(ModuleEntryTest, ContinueOnAShortRecordWithoutBigDocumentData) {
  ShortHostRecord record;
  record.get()->outRect = Rect16{3, 4, 50, 60};
  ASSERT_EQ(Call(host::kSelectorContinue, record.get()), 0);
  const Rect16 out = record.get()->outRect;
  EXPECT_EQ(out.bottom, 0);
  EXPECT_EQ(out.right, 0);
}

TEST_F(ModuleEntryTest, StartWithoutAdvanceStateReportsIt) {
  FilterRecord record{};
  unsigned char errorString[256] = {};
  record.errorString = reinterpret_cast<host::Str255*>(errorString);
  record.filterRect = Rect16{0, 0, 4, 4};
  record.planes = 4;
  ASSERT_EQ(Call(host::kSelectorStart, &record), -30904);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(errorString + 1), errorString[0]),
            "advanceState no go!");
  EXPECT_EQ(record.planes, 4);
  EXPECT_EQ(record.inHiPlane, 3) << "the request was made before the host was asked";
}

TEST_F(ModuleEntryTest, ParametersAndFinishSucceed) {
  FilterRecord record{};
  EXPECT_EQ(Call(host::kSelectorParameters, &record), 0);
  EXPECT_EQ(Call(host::kSelectorFinish, &record), 0);
}

#ifndef _WIN32
// On Windows the about box opens; module_about_win_test drives it.
TEST_F(ModuleEntryTest, AboutWithoutAWindowSystemFailsAndTouchesNothingOfItsSmallRecord) {
  auto about = std::make_unique<AboutRecord>();
  std::memset(about.get(), 0x33, sizeof(AboutRecord));
  const std::vector<uint8_t> before(reinterpret_cast<uint8_t*>(about.get()),
                                    reinterpret_cast<uint8_t*>(about.get()) + sizeof(AboutRecord));
  const int16_t result = Call(host::kSelectorAbout, about.get());
  EXPECT_NE(result, 0) << "a build without windows has no about box and must not claim one";
  EXPECT_EQ(std::vector<uint8_t>(reinterpret_cast<uint8_t*>(about.get()),
                                 reinterpret_cast<uint8_t*>(about.get()) + sizeof(AboutRecord)),
            before);
}
#endif

// The host's data word: the module never writes it, and unlocks a non-zero one.
host::Handle g_unlocked = nullptr;
int g_unlockCalls = 0;
void RecordUnlock(host::Handle h) {
  g_unlocked = h;
  ++g_unlockCalls;
}

TEST_F(ModuleEntryTest, NonZeroDataWordIsUnlockedAfterEverySelector) {
  HandleProcs procs{};
  procs.handleProcsVersion = 1;
  procs.numHandleProcs = 8;
  procs.unlockProc = RecordUnlock;
  FilterRecord record{};
  record.handleProcs = &procs;

  char block = 0;
  char* pointer = &block;
  intptr_t data = reinterpret_cast<intptr_t>(&pointer);
  g_unlockCalls = 0;
  EXPECT_EQ(Call(host::kSelectorFinish, &record, &data), 0);
  EXPECT_EQ(Call(6, &record, &data), 0);
  EXPECT_EQ(g_unlockCalls, 2);
  EXPECT_EQ(g_unlocked, reinterpret_cast<host::Handle>(data));
  EXPECT_EQ(data, reinterpret_cast<intptr_t>(&pointer)) << "the data word is the host's";

  intptr_t zero = 0;
  g_unlockCalls = 0;
  EXPECT_EQ(Call(host::kSelectorFinish, &record, &zero), 0);
  EXPECT_EQ(g_unlockCalls, 0);

  // A host without handle procedures, or with too few, is not called.
  record.handleProcs = nullptr;
  EXPECT_EQ(Call(host::kSelectorFinish, &record, &data), 0);
  procs.numHandleProcs = 5;
  record.handleProcs = &procs;
  EXPECT_EQ(Call(host::kSelectorFinish, &record, &data), 0);
  EXPECT_EQ(g_unlockCalls, 0);
}

}  // namespace
}  // namespace tessaro::testing
