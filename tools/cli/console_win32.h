// kv720-cli.exe's standard output and error. To a console the text goes as UTF-16 through
// WriteConsoleW, which shows every character whatever the console's code page (left as the
// user had it); to a pipe or a file it goes as the UTF-8 bytes themselves.
#pragma once

#include <windows.h>

#include <streambuf>
#include <string>

namespace kv::cli {

class ConsoleOutput final : public std::streambuf {
 public:
  explicit ConsoleOutput(DWORD standardHandle);  // STD_OUTPUT_HANDLE or STD_ERROR_HANDLE
  ~ConsoleOutput() override { sync(); }

 protected:
  int_type overflow(int_type ch) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

 private:
  HANDLE handle_;
  bool console_;
  std::string pending_;  // UTF-8 not written yet
};

}  // namespace kv::cli
