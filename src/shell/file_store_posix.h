// The file store on POSIX systems: a temporary file beside the target, flushed to the disk,
// then rename(2), which replaces the target in one step (link(2) for a new file, which never does).
#pragma once

#include "shell/file_store.h"

namespace kv {

class PosixFileStore final : public FileStore {
 public:
  bool Read(const std::string& path, std::size_t limit, std::string& content) override;
  bool Exists(const std::string& path) override;
  bool Replace(const std::string& path, std::string_view content) override;
  bool CreateNew(const std::string& path, std::string_view content) override;
  bool MakeFolder(const std::string& path) override;
};

}  // namespace kv
