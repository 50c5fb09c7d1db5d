#include "i18n/language.h"

namespace tessaro::i18n {

// No window system here, so no dialog ever exists to take the texts.
void CLanguage::ApplyToDialog(const std::string& /*section*/, void* /*dialogWindow*/) {}
void CLanguage::ApplyToMenu(const std::string& /*section*/, void* /*menu*/) const {}

}  // namespace tessaro::i18n
