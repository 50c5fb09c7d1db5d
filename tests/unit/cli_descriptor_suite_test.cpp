// The host's descriptor procedures as any plug-in may use them: values read
// back as written, wrong reads fail and are remembered, and nothing the
// plug-in hands over is trusted blindly.
#include <gtest/gtest.h>

#include <cstring>

#include "cli/descriptor_suite.h"
#include "cli/handle_suite.h"

namespace tessaro::cli {
namespace {

using host::FourCC;
using host::Handle;

class DescriptorSuiteTest : public ::testing::Test {
 protected:
  DescriptorSuiteTest() {
    handles_.Activate();
    suite_.Activate();
  }
  HandleSuite handles_;
  DescriptorSuite suite_{handles_};
  host::ReadDescriptorProcs& r = *suite_.ReadProcs();
  host::WriteDescriptorProcs& w = *suite_.WriteProcs();
};

TEST_F(DescriptorSuiteTest, EveryKindOfValueReadsBackAsWritten) {
  Handle text = handles_.New(3);
  std::memcpy(*text, "abc", 3);
  host::PIDescriptorSimpleReference ref{};
  ref.desiredClass = FourCC("Lyr ");
  ref.keyData.index = 7;
  const double pi = 3.25, cm = 2.5;
  const unsigned char pascal[] = {2, 'h', 'i'};

  void* t = w.openWriteDescriptorProc();
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(w.putIntegerProc(t, FourCC("intA"), -7), 0);
  EXPECT_EQ(w.putFloatProc(t, FourCC("fltA"), &pi), 0);
  EXPECT_EQ(w.putUnitFloatProc(t, FourCC("untA"), FourCC("#Rlt"), &cm), 0);
  EXPECT_EQ(w.putBooleanProc(t, FourCC("bolA"), 5), 0);
  EXPECT_EQ(w.putTextProc(t, FourCC("txtA"), text), 0);
  EXPECT_EQ(w.putEnumeratedProc(t, FourCC("enmA"), FourCC("Type"), FourCC("Valu")), 0);
  EXPECT_EQ(w.putClassProc(t, FourCC("clsA"), FourCC("Clss")), 0);
  EXPECT_EQ(w.putSimpleReferenceProc(t, FourCC("refA"), &ref), 0);
  EXPECT_EQ(w.putObjectProc(t, FourCC("objA"), FourCC("Objt"), text), 0);
  EXPECT_EQ(w.putStringProc(t, FourCC("strA"), pascal), 0);
  Handle d = nullptr;
  ASSERT_EQ(w.closeWriteDescriptorProc(t, &d), 0);
  ASSERT_TRUE(handles_.IsLive(d));

  void* rt = r.openReadDescriptorProc(d, nullptr);
  ASSERT_NE(rt, nullptr);
  uint32_t key = 0, type = 0;
  int32_t flags = -1;
  auto next = [&](const char* expectedKey) {
    EXPECT_TRUE(r.getKeyProc(rt, &key, &type, &flags));
    EXPECT_EQ(key, FourCC(expectedKey[0], expectedKey[1], expectedKey[2], expectedKey[3]));
    EXPECT_EQ(flags, 0);
  };
  int32_t i = 0;
  next("intA");
  EXPECT_EQ(type, FourCC("long"));
  EXPECT_EQ(r.getIntegerProc(rt, &i), 0);
  EXPECT_EQ(i, -7);
  double f = 0;
  next("fltA");
  EXPECT_EQ(r.getFloatProc(rt, &f), 0);
  EXPECT_EQ(f, 3.25);
  uint32_t unit = 0;
  next("untA");
  EXPECT_EQ(r.getUnitFloatProc(rt, &unit, &f), 0);
  EXPECT_EQ(unit, FourCC("#Rlt"));
  EXPECT_EQ(f, 2.5);
  host::Boolean b = 0;
  next("bolA");
  EXPECT_EQ(r.getBooleanProc(rt, &b), 0);
  EXPECT_EQ(b, 1);
  Handle got = nullptr;
  next("txtA");
  EXPECT_EQ(r.getTextProc(rt, &got), 0);
  EXPECT_EQ(std::string(*got, size_t(handles_.SizeOf(got))), "abc");
  handles_.Dispose(got);
  uint32_t v = 0;
  next("enmA");
  EXPECT_EQ(r.getEnumeratedProc(rt, &v), 0);
  EXPECT_EQ(v, FourCC("Valu"));
  next("clsA");
  EXPECT_EQ(r.getClassProc(rt, &v), 0);
  EXPECT_EQ(v, FourCC("Clss"));
  host::PIDescriptorSimpleReference back{};
  next("refA");
  EXPECT_EQ(r.getSimpleReferenceProc(rt, &back), 0);
  EXPECT_EQ(back.desiredClass, FourCC("Lyr "));
  EXPECT_EQ(back.keyData.index, 7);
  next("objA");
  EXPECT_EQ(r.getObjectProc(rt, &v, &got), 0);
  EXPECT_EQ(v, FourCC("Objt"));
  EXPECT_EQ(std::string(*got, size_t(handles_.SizeOf(got))), "abc");
  handles_.Dispose(got);
  host::Str255 s{};
  next("strA");
  EXPECT_EQ(r.getStringProc(rt, &s), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(s) + 1, s[0]), "hi");
  EXPECT_FALSE(r.getKeyProc(rt, &key, &type, &flags));
  EXPECT_EQ(r.closeReadDescriptorProc(rt), 0);
  handles_.Dispose(d);
  handles_.Dispose(text);
  EXPECT_EQ(handles_.LiveCount(), 0u);
}

TEST_F(DescriptorSuiteTest, WrongReadsFailAreRememberedAndPinnedValuesAreReported) {
  Handle d = suite_.MakeDescriptor({DescriptorItem::Integer(FourCC("aaaa"), 250),
                                    DescriptorItem::Bool(FourCC("bbbb"), true)});
  uint32_t keys[] = {FourCC("bbbb"), FourCC("zzzz"), 0};
  void* rt = r.openReadDescriptorProc(d, keys);
  ASSERT_NE(rt, nullptr);
  int32_t i = 0;
  EXPECT_EQ(r.getIntegerProc(rt, &i), -39) << "no current key yet";
  uint32_t key, type;
  int32_t flags;
  ASSERT_TRUE(r.getKeyProc(rt, &key, &type, &flags));
  EXPECT_EQ(r.getPinnedIntegerProc(rt, 0, 100, &i), host::kCoercedParamErr);
  EXPECT_EQ(i, 100);
  EXPECT_EQ(r.getPinnedIntegerProc(rt, 0, 300, &i), 0);
  EXPECT_EQ(i, 250);
  host::Boolean b = 0;
  EXPECT_EQ(r.getBooleanProc(rt, &b), -50) << "an integer is no boolean";
  ASSERT_TRUE(r.getKeyProc(rt, &key, &type, &flags));
  EXPECT_EQ(keys[0], FourCC("null")) << "handed-out keys are crossed off";
  EXPECT_EQ(keys[1], FourCC("zzzz"));
  EXPECT_EQ(r.closeReadDescriptorProc(rt), -39) << "the first error met while reading";
  // Closed tokens, and tokens never handed out, are refused.
  EXPECT_EQ(r.closeReadDescriptorProc(rt), -50);
  EXPECT_EQ(r.getIntegerProc(&i, &i), -50);
  EXPECT_EQ(w.putIntegerProc(&i, FourCC("aaaa"), 1), -50);
  handles_.Dispose(d);
}

TEST_F(DescriptorSuiteTest, HandlesThatAreNotDescriptorsAreNotRead) {
  char* local = nullptr;
  EXPECT_EQ(r.openReadDescriptorProc(&local, nullptr), nullptr) << "not one of ours";
  Handle junk = handles_.New(5);  // shorter than one item's header
  EXPECT_EQ(r.openReadDescriptorProc(junk, nullptr), nullptr);
  std::vector<uint8_t> bytes = DescriptorSuite::Encode({DescriptorItem::Integer(1, 2)});
  bytes[8] = 200;  // an item longer than the descriptor
  std::vector<DescriptorItem> items;
  EXPECT_FALSE(DescriptorSuite::Decode(bytes.data(), bytes.size(), &items));
  EXPECT_TRUE(DescriptorSuite::Decode(bytes.data(), 0, &items));
  EXPECT_TRUE(items.empty());
  handles_.Dispose(junk);
}

TEST(HandleSuiteTest, BlocksGrowKeepTheirBytesAndForeignHandlesAreIgnored) {
  HandleSuite suite;
  suite.Activate();
  host::HandleProcs& p = *suite.Procs();
  Handle h = p.newProc(4);
  ASSERT_NE(h, nullptr);
  std::memcpy(p.lockProc(h, 0), "wxyz", 4);
  EXPECT_EQ(p.setSizeProc(h, 4096), 0);
  EXPECT_EQ(p.getSizeProc(h), 4096);
  EXPECT_EQ(std::string(*h, 4), "wxyz");
  EXPECT_EQ((*h)[4095], 0) << "grown bytes are zero";
  EXPECT_EQ(p.setSizeProc(h, -1), -50);
  EXPECT_EQ(p.newProc(-1), nullptr);
  Handle empty = p.newProc(0);
  EXPECT_NE(empty, nullptr);
  EXPECT_EQ(p.getSizeProc(empty), 0);

  char* local = nullptr;
  p.disposeProc(&local);
  p.disposeProc(nullptr);
  EXPECT_EQ(p.getSizeProc(&local), 0);
  EXPECT_EQ(p.setSizeProc(&local, 10), -109);
  EXPECT_EQ(p.lockProc(&local, 0), nullptr);
  p.disposeProc(h);
  p.disposeProc(h);  // twice: the second is a foreign handle now
  EXPECT_FALSE(suite.IsLive(h));
  EXPECT_EQ(suite.LiveCount(), 1u);  // `empty` is freed with the suite
}

}  // namespace
}  // namespace tessaro::cli
