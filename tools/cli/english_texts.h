// The English language file, carried inside kv720-cli: the command line shows the panels' list
// texts in English wherever it runs, with no Lang folder beside it.
#pragma once

#include "files/language.h"

namespace kv::cli {

const LanguageTexts& EnglishTexts();

}  // namespace kv::cli
