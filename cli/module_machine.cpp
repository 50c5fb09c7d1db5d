#include "cli/module_machine.h"

namespace tessaro::cli {

namespace {
uint32_t ReadLE(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}
}  // namespace

uint16_t ModuleMachine(const uint8_t* head, size_t size) {
  if (size < 64 || head[0] != 'M' || head[1] != 'Z') return 0;
  const uint32_t header = ReadLE(head + 60, 4);
  if (header > size || size - header < 6) return 0;
  const uint8_t* pe = head + header;
  if (pe[0] != 'P' || pe[1] != 'E' || pe[2] != 0 || pe[3] != 0) return 0;
  return uint16_t(ReadLE(pe + 4, 2));
}

std::string ProcessorMismatch(uint16_t moduleMachine, uint16_t ownMachine) {
  const auto bits = [](uint16_t machine) {
    return machine == kMachineX86 ? "32-bit" : machine == kMachineX64 ? "64-bit" : nullptr;
  };
  const char* module = bits(moduleMachine);
  const char* own = bits(ownMachine);
  if (!module || !own || moduleMachine == ownMachine) return "";
  return std::string("it is a ") + module + " module and this tessaro.exe is " + own +
         ": use the " + module + " tessaro.exe" +
         (moduleMachine == kMachineX86 ? " (in the 32-bit folder)" : "");
}

}  // namespace tessaro::cli
