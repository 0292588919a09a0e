// The POSIX file store in a real folder: a replace is all or nothing and leaves no stray files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "shell/file_store.h"
#include "temp_dir.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

struct PosixFileStoreTest : ::testing::Test {
  testing::TempDir dir{"kv720-store"};
  SystemFileStore store;

  std::string Path(const char* name) const { return (dir / name).string(); }
  std::size_t Entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
  }
};

TEST_F(PosixFileStoreTest, ReplaceCreatesOrReplacesInOneStep) {
  std::string content;
  EXPECT_FALSE(store.Exists(Path("car.bs2")));
  EXPECT_FALSE(store.Read(Path("car.bs2"), 100, content));
  ASSERT_TRUE(store.Replace(Path("car.bs2"), "first"));
  ASSERT_TRUE(store.Replace(Path("car.bs2"), "second, longer"));
  EXPECT_TRUE(store.Exists(Path("car.bs2")));
  ASSERT_TRUE(store.Read(Path("car.bs2"), 100, content));
  EXPECT_EQ("second, longer", content);
  ASSERT_TRUE(store.Read(Path("car.bs2"), 6, content));
  EXPECT_EQ("second", content);
  EXPECT_EQ(1u, Entries());  // no temporary file left
}

TEST_F(PosixFileStoreTest, AFailedReplaceChangesNothing) {
  // A folder in the way of the rename: the write succeeds, the replace step fails.
  fs::create_directory(dir / "taken.bs2");
  EXPECT_FALSE(store.Replace(Path("taken.bs2"), "text"));
  EXPECT_TRUE(fs::is_directory(dir / "taken.bs2"));
  EXPECT_FALSE(store.Replace(Path("no-such-folder/car.bs2"), "text"));
  EXPECT_EQ(1u, Entries());
}

TEST_F(PosixFileStoreTest, CreateNewNeverReplacesAFile) {
  ASSERT_TRUE(store.CreateNew(Path("point.bs2"), "the car before"));
  EXPECT_FALSE(store.CreateNew(Path("point.bs2"), "another car"));
  EXPECT_FALSE(store.CreateNew(Path("no-such-folder/point.bs2"), "text"));
  std::string content;
  ASSERT_TRUE(store.Read(Path("point.bs2"), 100, content));
  EXPECT_EQ("the car before", content);
  EXPECT_EQ(1u, Entries());  // no temporary file left
}

TEST_F(PosixFileStoreTest, MakeFolderMakesParentsAndRefusesAFileInTheWay) {
  EXPECT_TRUE(store.MakeFolder(Path("Backups/2024/car")));
  EXPECT_TRUE(fs::is_directory(dir / "Backups" / "2024" / "car"));
  EXPECT_TRUE(store.MakeFolder(Path("Backups")));  // there already
  ASSERT_TRUE(store.Replace(Path("plain"), "x"));
  EXPECT_FALSE(store.MakeFolder(Path("plain")));
  EXPECT_FALSE(store.MakeFolder(Path("plain/Backups")));
}

}  // namespace
}  // namespace kv
