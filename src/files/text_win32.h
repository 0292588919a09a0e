// UTF-8 (the core's text) to and from UTF-16 (the wide Win32 APIs).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace kv {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace kv
