#include "console_win32.h"

#include <algorithm>

#include "files/text_win32.h"
#include "utf8_chunks.h"

namespace kv::cli {
namespace {

constexpr std::size_t kFlushAt = 4096;

bool WriteAllConsole(HANDLE handle, const std::wstring& text) {
  for (std::size_t at = 0; at < text.size();) {
    // Older consoles refuse very long writes: a few thousand characters at a time.
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - at, 8192));
    DWORD written = 0;
    if (!WriteConsoleW(handle, text.data() + at, chunk, &written, nullptr) || written == 0)
      return false;
    at += written;
  }
  return true;
}

bool WriteAllBytes(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 16));
    if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

ConsoleOutput::ConsoleOutput(DWORD standardHandle) : handle_(GetStdHandle(standardHandle)) {
  DWORD mode = 0;
  console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE && GetConsoleMode(handle_, &mode);
}

ConsoleOutput::int_type ConsoleOutput::overflow(int_type ch) {
  if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
  pending_.push_back(traits_type::to_char_type(ch));
  if (pending_.size() >= kFlushAt) sync();
  return ch;
}

std::streamsize ConsoleOutput::xsputn(const char* text, std::streamsize count) {
  pending_.append(text, static_cast<std::size_t>(count));
  if (pending_.size() >= kFlushAt) sync();
  return count;
}

int ConsoleOutput::sync() {
  if (handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE) {
    pending_.clear();  // no such stream (a program started without one): nothing to show
    return 0;
  }
  const std::size_t ready = console_ ? CompleteUtf8Length(pending_) : pending_.size();
  const std::string_view text(pending_.data(), ready);
  const bool ok = console_ ? WriteAllConsole(handle_, Widen(text)) : WriteAllBytes(handle_, text);
  pending_.erase(0, ready);
  return ok ? 0 : -1;
}

}  // namespace kv::cli
