// A folder in memory: files by path, the folders made, and a disk that can refuse.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

#include "files/file_store.h"

namespace kv::testing {

class FakeFileStore final : public FileStore {
 public:
  std::map<std::string, std::string> files;
  std::set<std::string> folders;
  bool writesFail = false;   // Replace and CreateNew refuse, as a full or read-only disk does
  bool foldersFail = false;  // MakeFolder refuses
  std::set<std::string> refusedFolders;  // MakeFolder refuses these alone
  int writes = 0;            // Replace and CreateNew calls, refused ones included

  bool Read(const std::string& path, std::size_t limit, std::string& content) override {
    auto it = files.find(path);
    if (it == files.end()) return false;
    content = it->second.substr(0, limit);
    return true;
  }
  bool Exists(const std::string& path) override { return files.count(path) != 0; }
  bool Replace(const std::string& path, std::string_view content) override {
    ++writes;
    if (writesFail) return false;
    files[path] = std::string(content);
    return true;
  }
  bool CreateNew(const std::string& path, std::string_view content) override {
    ++writes;
    if (writesFail || files.count(path)) return false;
    files[path] = std::string(content);
    return true;
  }
  bool MakeFolder(const std::string& path) override {
    if (foldersFail || refusedFolders.count(path)) return false;
    folders.insert(path);
    return true;
  }
  // The files whose path starts with `folder`.
  std::map<std::string, std::string> In(const std::string& folder) const {
    std::map<std::string, std::string> out;
    for (const auto& [path, content] : files)
      if (path.rfind(folder, 0) == 0) out.emplace(path, content);
    return out;
  }
};

}  // namespace kv::testing
