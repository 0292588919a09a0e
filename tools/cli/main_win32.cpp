// kv720-cli.exe's entry: wide arguments to UTF-8, UTF-8 on the console.
#include <windows.h>

#include <cstdlib>
#include <iostream>

#include "commands.h"
#include "platform_win32.h"
#include "ui/text_win32.h"

int wmain(int argc, wchar_t** argv) {
  SetConsoleOutputCP(CP_UTF8);
  kv::cli::InstallInterruptHandler();
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(kv::Narrow(argv[i]));
  const wchar_t* port = _wgetenv(L"KV720_PORT");
  const auto platform = kv::cli::MakeWin32Platform();
  return kv::cli::RunCli(args, port ? kv::Narrow(port) : std::string(), *platform, std::cout, std::cerr);
}
