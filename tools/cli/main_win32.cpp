// kv720-cli.exe's entry: wide arguments to UTF-8; the output as the console or the pipe needs it.
#include <windows.h>

#include <cstdlib>
#include <ostream>

#include "commands.h"
#include "console_win32.h"
#include "files/text_win32.h"
#include "platform_win32.h"

int wmain(int argc, wchar_t** argv) {
  kv::cli::InstallInterruptHandler();
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(kv::Narrow(argv[i]));
  const wchar_t* port = _wgetenv(L"KV720_PORT");
  const auto platform = kv::cli::MakeWin32Platform();
  kv::cli::ConsoleOutput outBuffer(STD_OUTPUT_HANDLE), errBuffer(STD_ERROR_HANDLE);
  std::ostream out(&outBuffer), err(&errBuffer);
  err.setf(std::ios::unitbuf);  // an error shows at once, even if the program is then ended
  const int code = kv::cli::RunCli(args, port ? kv::Narrow(port) : std::string(), *platform, out, err);
  out.flush();
  err.flush();
  return code;
}
