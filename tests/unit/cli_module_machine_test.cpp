#include <gtest/gtest.h>

#include <vector>

#include "cli/module_machine.h"

namespace tessaro::cli {
namespace {

// The first bytes of a Windows executable: "MZ", the header's offset at 60,
// then "PE\0\0" and the machine field.
std::vector<uint8_t> Head(uint16_t machine, uint32_t header = 0x80, size_t size = 0x100) {
  std::vector<uint8_t> b(size, 0);
  b[0] = 'M';
  b[1] = 'Z';
  for (int i = 0; i < 4; ++i) b[60 + i] = uint8_t(header >> (8 * i));
  if (size_t(header) + 6 <= size) {
    b[header] = 'P';
    b[header + 1] = 'E';
    b[header + 4] = uint8_t(machine);
    b[header + 5] = uint8_t(machine >> 8);
  }
  return b;
}

TEST(CliModuleMachine, ReadsTheMachineAndRefusesWhatIsNoExecutable) {
  for (uint16_t m : {kMachineX86, kMachineX64, uint16_t(0xAA64)}) {
    const std::vector<uint8_t> b = Head(m);
    EXPECT_EQ(ModuleMachine(b.data(), b.size()), m);
  }
  std::vector<uint8_t> b = Head(kMachineX86);
  b[1] = 'X';
  EXPECT_EQ(ModuleMachine(b.data(), b.size()), 0) << "no MZ";
  b = Head(kMachineX86);
  b[0x82] = 1;
  EXPECT_EQ(ModuleMachine(b.data(), b.size()), 0) << "no PE signature";
  b = Head(kMachineX86, 0xFB);
  EXPECT_EQ(ModuleMachine(b.data(), b.size()), 0) << "machine field past the end";
  b = Head(kMachineX86, 0xFFFFFFFFu);
  EXPECT_EQ(ModuleMachine(b.data(), b.size()), 0) << "header offset past the end";
  EXPECT_EQ(ModuleMachine(b.data(), 63), 0) << "shorter than the first header";
  b = Head(kMachineX64, 0xFA);
  EXPECT_EQ(ModuleMachine(b.data(), b.size()), kMachineX64) << "machine field in the last bytes";
}

TEST(CliModuleMachine, MismatchNamesTheProgramThatCanLoadTheModule) {
  EXPECT_EQ(ProcessorMismatch(kMachineX86, kMachineX64),
            "it is a 32-bit module and this tessaro.exe is 64-bit: use the 32-bit tessaro.exe "
            "(in the 32-bit folder)");
  EXPECT_EQ(ProcessorMismatch(kMachineX64, kMachineX86),
            "it is a 64-bit module and this tessaro.exe is 32-bit: use the 64-bit tessaro.exe");
  EXPECT_EQ(ProcessorMismatch(kMachineX64, kMachineX64), "");
  EXPECT_EQ(ProcessorMismatch(kMachineX86, kMachineX86), "");
  EXPECT_EQ(ProcessorMismatch(0, kMachineX64), "") << "not an executable: the system's words";
  EXPECT_EQ(ProcessorMismatch(0xAA64, kMachineX64), "");
}

}  // namespace
}  // namespace tessaro::cli
