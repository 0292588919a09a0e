// The POSIX file store in a real folder: a replace is all or nothing and leaves no stray files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "files/file_store.h"
#include "files/held_file.h"
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

// A folder that takes no new file, as far as this store can tell: a name so long that no
// temporary name fits beside it. KV720.ini is then written over in place; a .bs2 never is.
TEST_F(PosixFileStoreTest, OnlyReplaceOrRewriteWritesInPlaceWhereNoTemporaryFileCanBeMade) {
  const std::string name(250, 'n');
  std::string content;
  EXPECT_FALSE(store.CreateNew(Path(name.c_str()), "Port=0"));
  dir.Write(name, "Port=1");
  EXPECT_FALSE(store.Replace(Path(name.c_str()), "Port=2"));
  ASSERT_TRUE(store.Read(Path(name.c_str()), 100, content));
  EXPECT_EQ("Port=1", content);
  EXPECT_TRUE(store.ReplaceOrRewrite(Path(name.c_str()), "Port=3"));
  ASSERT_TRUE(store.Read(Path(name.c_str()), 100, content));
  EXPECT_EQ("Port=3", content);
  // Where a temporary file can be made, it is the one-step replace; without a file, nothing.
  EXPECT_TRUE(store.ReplaceOrRewrite(Path("KV720.ini"), "Port=4"));
  EXPECT_FALSE(store.ReplaceOrRewrite(Path(std::string(251, 'm').c_str()), "Port=5"));
  EXPECT_EQ(2u, Entries());
}

TEST_F(PosixFileStoreTest, AppendMakesTheFileAndAddsAtItsEnd) {
  std::string content;
  ASSERT_TRUE(store.Append(Path("KV720.log"), "one\n"));
  ASSERT_TRUE(store.Append(Path("KV720.log"), "two\n"));
  ASSERT_TRUE(store.Read(Path("KV720.log"), 100, content));
  EXPECT_EQ("one\ntwo\n", content);
  EXPECT_FALSE(store.Append(Path("no-such-folder/KV720.log"), "three\n"));
  EXPECT_EQ(1u, Entries());
}

// A step that another program holds N times, then ends done or failed: tried again after each
// hold, with a pause between, for about a second at most.
TEST(HeldFile, AStepHeldForAMomentIsTriedAgainForAboutASecond) {
  const int longest = kHeldFileWaitMs / kHeldFilePauseMs;
  struct Case {
    int held;
    FileStep then;
    bool done;
    int pauses;
  } cases[] = {
      {0, FileStep::Done, true, 0},          {3, FileStep::Done, true, 3},
      {3, FileStep::Failed, false, 3},       {0, FileStep::Failed, false, 0},
      {longest, FileStep::Done, true, longest}, {longest + 1, FileStep::Done, false, longest},
      {1000, FileStep::Done, false, longest},
  };
  for (const Case& c : cases) {
    int tries = 0, pauses = 0;
    const bool done = RetryWhileHeld([&] { return tries++ < c.held ? FileStep::Held : c.then; },
                                     [&](int ms) {
                                       EXPECT_EQ(kHeldFilePauseMs, ms);
                                       ++pauses;
                                     });
    EXPECT_EQ(c.done, done) << c.held;
    EXPECT_EQ(c.pauses, pauses) << c.held;
    EXPECT_EQ(pauses + 1, tries) << c.held;
  }
}

}  // namespace
}  // namespace kv
