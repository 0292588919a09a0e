// The file store of the exe: wide-character paths, a temporary file in the target's folder,
// flushed, then MoveFileExW replacing the target in one step (or refusing to, for a new file).
#pragma once

#include "shell/file_store.h"

namespace kv {

class Win32FileStore final : public FileStore {
 public:
  bool Read(const std::string& path, std::size_t limit, std::string& content) override;
  bool Exists(const std::string& path) override;
  bool Replace(const std::string& path, std::string_view content) override;
  bool CreateNew(const std::string& path, std::string_view content) override;
  bool MakeFolder(const std::string& path) override;
};

}  // namespace kv
