// What a selector's work throws to end the call with a result for the host.
#pragma once

#include <cstdint>
#include <string>

namespace tessaro::host {

// Ends the call with errReportString; the host shows the text.
struct ErrorText {
  std::string text;
};

// Ends the call with this result; -128 (cancel) for failures already shown to
// the user.
struct ResultCode {
  int16_t code;
};

[[noreturn]] inline void ThrowText(std::string text) { throw ErrorText{std::move(text)}; }
[[noreturn]] inline void ThrowResult(int16_t code) { throw ResultCode{code}; }

}  // namespace tessaro::host
