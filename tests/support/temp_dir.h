// A fresh folder of its own for one test (a fixture member is made anew for each test), removed
// with everything in it when the test ends, also when a test took away its permissions.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

namespace kv::testing {

class TempDir {
 public:
  explicit TempDir(const std::string& prefix = "kv720") {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempDir() {
    if (path_.empty()) return;
    std::error_code ignored;
    Unlock(path_);
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  operator const std::filesystem::path&() const { return path_; }
  std::string string() const { return path_.string(); }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

  // The whole content of a file in the folder, empty when it cannot be read.
  std::string Read(const std::filesystem::path& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // Writes a file in the folder (the folders on its way made first).
  void Write(const std::filesystem::path& name, const std::string& bytes) const {
    std::filesystem::create_directories((path_ / name).parent_path());
    std::ofstream(path_ / name, std::ios::binary) << bytes;
  }

 private:
  // Gives the owner back every right on the folders below, so that they can be emptied.
  static void Unlock(const std::filesystem::path& folder) {
    std::error_code ignored;
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    for (std::filesystem::directory_iterator it(folder, ignored), end; it != end;
         it.increment(ignored))
      if (it->is_directory(ignored) && !it->is_symlink(ignored)) Unlock(it->path());
  }

  std::filesystem::path path_;
};

}  // namespace kv::testing
