#include "files/settings.h"

#include <cctype>
#include <filesystem>

#include "files/code_page.h"
#include "files/file_store.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

// Under Windows a path holds UTF-16 and converting bytes that are not UTF-8 throws, so the
// bytes are made valid first. Callers still catch: allocation and the conversion back can throw.
fs::path FromUtf8(std::string_view utf8) {
  const std::string valid = ValidUtf8(utf8);
  return fs::path(std::u8string(valid.begin(), valid.end()));
}

std::string PathToUtf8(const fs::path& path) {
  const std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

// A cursor over the file's text with the reads of a formatted-input scan, each bounded.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  // Reads the next token; false at the end of the text. A token longer than `limit` is consumed
  // whole but reported as unreadable through `fits`.
  bool Token(std::string* out, std::size_t limit, bool* fits) {
    SkipSpace();
    if (pos_ >= text_.size()) return false;
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !IsSpace(text_[pos_])) ++pos_;
    const std::size_t length = pos_ - start;
    if (fits) *fits = length <= limit;
    if (out && length <= limit) out->assign(text_.substr(start, length));
    return true;
  }

  // Reads an optionally signed decimal integer; false (consuming only whitespace) when none
  // starts here. Digits are all consumed, but a value beyond `limit` in size is reported as
  // unreadable through `fits`.
  bool Integer(long* out, long limit, bool* fits) {
    SkipSpace();
    std::size_t p = pos_;
    bool negative = false;
    if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) negative = text_[p++] == '-';
    if (p >= text_.size() || !IsDigit(text_[p])) return false;
    long value = 0;
    bool inRange = true;
    for (; p < text_.size() && IsDigit(text_[p]); ++p) {
      if (value > limit) {
        inRange = false;
        continue;
      }
      value = value * 10 + (text_[p] - '0');
    }
    if (value > limit) inRange = false;
    pos_ = p;
    *fits = inRange;
    if (inRange) *out = negative ? -value : value;
    return true;
  }

 private:
  static bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
  void SkipSpace() {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

SettingsFileValues ParseSettingsFile(std::string_view content) {
  SettingsFileValues values;
  Scanner scan(content);
  bool fits = false;

  // Line 1: the section name.
  if (!scan.Token(nullptr, 0, nullptr)) return values;
  // Line 2: the key, then the port number. A number that does not start the next token leaves the
  // default and the scan goes on from there, as a formatted read would.
  if (scan.Token(nullptr, 0, nullptr)) {
    long port = 0;
    if (scan.Integer(&port, 99999, &fits) && fits) values.port = static_cast<int>(port);
  }
  // Line 3: the key, then the language code.
  if (scan.Token(nullptr, 0, nullptr)) {
    std::string code;
    if (scan.Token(&code, kLanguageCodeMax, &fits) && fits) values.languageCode = code;
  }
  return values;
}

std::string FormatSettingsFile(int port, std::string_view languageCode) {
  std::string text = "[Ustawienia]\nCommPort= ";
  text += std::to_string(port);
  text += "\nLanguage= ";
  text += languageCode;
  text += '\n';
  return text;
}

std::string CurrentDirectory() noexcept {
  try {
    std::error_code error;
    const fs::path dir = fs::current_path(error);
    return error ? std::string(".") : PathToUtf8(dir);
  } catch (...) {
    return ".";
  }
}

namespace {

bool HoldsProgramFiles(const std::string& directory) {
  if (directory.empty()) return false;
  std::error_code error;
  const fs::path dir = FromUtf8(directory);
  return fs::exists(dir / kSettingsFileName, error) || fs::is_directory(dir / "Lang", error);
}

}  // namespace

std::string ChooseStartDirectory(const std::string& current,
                                 const std::string& programFolder) noexcept {
  try {
    if (!HoldsProgramFiles(current) && HoldsProgramFiles(programFolder)) return programFolder;
  } catch (...) {
    // A folder that cannot be looked at is no better than the current one.
  }
  return current;
}

bool IsInsideFolder(std::string_view path, std::string_view folder) noexcept {
  const auto isSeparator = [](char c) { return c == '/' || c == '\\'; };
  const auto fold = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c == '\\' ? '/' : c;
  };
  while (!folder.empty() && isSeparator(folder.back())) folder.remove_suffix(1);
  if (folder.empty() || path.size() < folder.size()) return false;
  for (std::size_t i = 0; i < folder.size(); ++i)
    if (fold(path[i]) != fold(folder[i])) return false;
  return path.size() == folder.size() || isSeparator(path[folder.size()]);
}

bool StartedFromTemporaryFolder(const std::string& startDirectory,
                                const std::string& temporaryFolder,
                                bool languageFolderBesideProgram) noexcept {
  return !languageFolderBesideProgram && IsInsideFolder(startDirectory, temporaryFolder);
}

std::string PathInStartDirectory(const std::string& startDirectory,
                                 std::initializer_list<std::string_view> parts) noexcept {
  try {
    fs::path path = FromUtf8(startDirectory.empty() ? std::string_view(".") : startDirectory);
    for (std::string_view part : parts) path /= FromUtf8(part);
    return PathToUtf8(path);
  } catch (...) {
    return {};  // names no file: every read and write of it fails
  }
}

bool NoFileAt(const std::string& path) noexcept {
  try {
    std::error_code error;
    const fs::file_status status = fs::status(FromUtf8(path), error);
    if (status.type() == fs::file_type::not_found) return true;
    return !error && !fs::is_regular_file(status);
  } catch (...) {
    return false;
  }
}

int LoadSettings(ProgramSettings& settings) {
  const std::string path = PathInStartDirectory(settings.startDirectory, {kSettingsFileName});
  SystemFileStore files;
  std::string content;
  SettingsFileValues values;
  if (!path.empty() && files.Read(path, kSettingsFileLimit, content)) {
    values = ParseSettingsFile(content);
  } else if (NoFileAt(path)) {
    // When the file cannot be created either, the program runs on the defaults (and says so).
    const std::string defaults = FormatSettingsFile(values.port, values.languageCode);
    settings.saveFailed = path.empty() || !files.CreateNew(path, WithPlatformLineEnds(defaults));
  }
  settings.languageCode = values.languageCode;
  settings.storedPort = (values.port >= 1 && values.port <= 4) ? values.port : 1;
  return values.port;
}

bool SaveSettings(ProgramSettings& settings) {
  const std::string path = PathInStartDirectory(settings.startDirectory, {kSettingsFileName});
  settings.saveFailed =
      path.empty() ||
      !SystemFileStore().ReplaceOrRewrite(
          path, WithPlatformLineEnds(FormatSettingsFile(settings.storedPort, settings.languageCode)));
  return !settings.saveFailed;
}

bool TakeSaveFailureNotice(ProgramSettings& settings) {
  if (!settings.saveFailed || settings.saveFailureTold) return false;
  settings.saveFailureTold = true;
  return true;
}

}  // namespace kv
