// kv720-cli's entry on Linux.
#include <cstdlib>
#include <iostream>

#include "commands.h"
#include "platform_posix.h"

int main(int argc, char** argv) {
  kv::cli::InstallInterruptHandler();
  const auto platform = kv::cli::MakePosixPlatform();
  const char* port = std::getenv("KV720_PORT");
  return kv::cli::RunCli(std::vector<std::string>(argv + 1, argv + argc), port ? port : "",
                         *platform, std::cout, std::cerr);
}
