// Which processor a Windows module file is built for, read from its file
// header as a loader does.  A program of one processor cannot load a module of
// the other, and the system's own words for that do not say so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessaro::cli {

constexpr uint16_t kMachineX86 = 0x014C;
constexpr uint16_t kMachineX64 = 0x8664;

// The header's machine field, or 0 when the bytes (the start of the file, at
// least up to the header) are no Windows executable.
uint16_t ModuleMachine(const uint8_t* head, size_t size);

// Why a program built for `ownMachine` cannot load a module for `moduleMachine`,
// naming the program that can; empty when they match or either is unknown.
std::string ProcessorMismatch(uint16_t moduleMachine, uint16_t ownMachine);

}  // namespace tessaro::cli
