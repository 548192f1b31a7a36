#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "IPlugin/IPluginFiles.h"
#include "tests/support/bounded_child.h"

namespace plugkit {
namespace {

namespace fs = std::filesystem;

class FilesTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    mDir = fs::temp_directory_path() / ("files-test-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(mDir);
    fs::create_directories(mDir);
  }
  void TearDown() override
  {
    fs::permissions(mDir, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(mDir);
  }

  static void Put(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
  static std::string Get(const fs::path& path)
  {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  std::vector<std::string> Names() const
  {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(mDir))
      names.push_back(e.path().filename().string());
    return names;
  }

  fs::path mDir;
};

// Runs write in a child process that cannot override file permissions (root drops to "nobody"), so a
// read-only folder refuses it as it refuses a user; returns the child's result.
EFileResult WriteAsUnprivileged(const std::function<EFileResult()>& write)
{
  const pid_t pid = ::fork();
  if (pid == 0)
  {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
      ::_exit(100);
    ::_exit(static_cast<int>(write()));
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 100) << "the child could not drop its privileges";
  return static_cast<EFileResult>(WEXITSTATUS(status));
}

TEST_F(FilesTest, WriteReplacesTheFileWholeAndLeavesNothingBeside)
{
  const fs::path target = mDir / "preferences.ini";
  Put(target, "old contents that are longer than the new ones\n");
  ::chmod(target.c_str(), 0600);

  ASSERT_EQ(WriteFileAtomic(target, "new\n"), EFileResult::kOk);
  EXPECT_EQ(Get(target), "new\n");
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(Names(), std::vector<std::string>{"preferences.ini"});

  ASSERT_EQ(WriteFileAtomic(mDir / "fresh.zarvo", ""), EFileResult::kOk);
  EXPECT_TRUE(fs::is_regular_file(mDir / "fresh.zarvo"));
  EXPECT_EQ(fs::file_size(mDir / "fresh.zarvo"), 0u);
}

TEST_F(FilesTest, ReadOnlyFolderKeepsTheOldFileAndReportsWriteFailed)
{
  const fs::path target = mDir / "ccmap.zarvo";
  Put(target, "old\n");
  ::chmod(target.c_str(), 0666);
  ::chmod(mDir.c_str(), 0555);

  EXPECT_EQ(WriteAsUnprivileged([&] { return WriteFileAtomic(target, "new\n"); }), EFileResult::kWriteFailed);
  EXPECT_EQ(Get(target), "old\n");
  EXPECT_EQ(Names(), std::vector<std::string>{"ccmap.zarvo"});
}

TEST_F(FilesTest, WriteCutShortByAFullDiskKeepsTheOldFileAndLeavesNoTemporary)
{
  const fs::path target = mDir / "morph.zarvo";
  Put(target, "old\n");

  // A file-size limit fails the write part-way, as a full disk does.
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ::setrlimit(RLIMIT_FSIZE, &small);
  const EFileResult result = WriteFileAtomic(target, std::string(100000, 'x'));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(result, EFileResult::kWriteFailed);
  EXPECT_EQ(Get(target), "old\n");
  EXPECT_EQ(Names(), std::vector<std::string>{"morph.zarvo"});
}

TEST_F(FilesTest, WriteFailsWithoutAFolderOrAName)
{
  EXPECT_EQ(WriteFileAtomic(mDir / "missing" / "x.zarvo", "x"), EFileResult::kWriteFailed);
  EXPECT_EQ(WriteFileAtomic("", "x"), EFileResult::kWriteFailed);
  EXPECT_EQ(WriteFileAtomic(mDir / "", "x"), EFileResult::kWriteFailed);
  EXPECT_TRUE(Names().empty());
}

// A node of each kind that is not a regular file, made at path; false when it could not be made.
enum class NodeKind
{
  kFolder,
  kFifo,
  kSocket,
  kDevice
};
bool MakeNode(NodeKind kind, const fs::path& path)
{
  switch (kind)
  {
  case NodeKind::kFolder: return fs::create_directory(path);
  case NodeKind::kFifo: return ::mkfifo(path.c_str(), 0666) == 0;
  case NodeKind::kDevice: return ::mknod(path.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0;
  case NodeKind::kSocket:
  {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
  }
  }
  return false;
}

TEST_F(FilesTest, WriteRefusesWhatIsNotARegularFile)
{
  struct Case
  {
    const char* name;
    NodeKind kind;
    fs::file_type type;
  };
  std::vector<Case> cases = {
    {"folder", NodeKind::kFolder, fs::file_type::directory},
    {"named pipe", NodeKind::kFifo, fs::file_type::fifo},
    {"socket", NodeKind::kSocket, fs::file_type::socket},
  };
  // Only root makes device nodes; the tests run as root in CI.
  if (::geteuid() == 0)
    cases.push_back({"device", NodeKind::kDevice, fs::file_type::character});

  for (const Case& c : cases)
  {
    // The node lives outside the data folder; the data folder holds the link to it.
    const fs::path outside = mDir / "outside";
    const fs::path data = mDir / "data";
    fs::create_directories(outside);
    fs::create_directories(data);
    const fs::path node = outside / "node";
    ASSERT_TRUE(MakeNode(c.kind, node)) << c.name;
    fs::create_symlink(node, data / "preset.fxp");

    EXPECT_EQ(WriteFileAtomic(data / "preset.fxp", "bytes"), EFileResult::kWriteFailed) << c.name;
    EXPECT_EQ(WriteFileAtomic(node, "bytes"), EFileResult::kWriteFailed) << c.name;
    EXPECT_EQ(fs::symlink_status(node).type(), c.type) << c.name;
    EXPECT_TRUE(fs::is_symlink(data / "preset.fxp")) << c.name;
    // Nothing was created beside the node or the link.
    EXPECT_EQ(std::distance(fs::directory_iterator(outside), {}), 1) << c.name;
    EXPECT_EQ(std::distance(fs::directory_iterator(data), {}), 1) << c.name;
    fs::remove_all(outside);
    fs::remove_all(data);
  }
}

TEST_F(FilesTest, ReadOfANamedPipeReturnsAtOnceAsUnreadable)
{
  const fs::path fifo = mDir / "preferences.ini";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
  const int result = vemlor::test_support::exitCodeWithin(10, [&] {
    std::string out;
    IByteChunk chunk;
    const bool text = ReadFileCapped(fifo, 1024, out) == EFileResult::kUnreadable;
    const bool binary = ReadFileCapped(fifo.c_str(), 1024, chunk) == EFileResult::kUnreadable;
    return text && binary ? 0 : 1;
  });
  EXPECT_EQ(result, 0) << "-1: the read waited for a writer";
}

TEST_F(FilesTest, WriteThroughASymbolicLinkReplacesItsTarget)
{
  fs::create_directories(mDir / "dotfiles");
  Put(mDir / "dotfiles" / "preferences.ini", "old\n");
  fs::create_symlink(mDir / "dotfiles" / "preferences.ini", mDir / "preferences.ini");

  ASSERT_EQ(WriteFileAtomic(mDir / "preferences.ini", "new\n"), EFileResult::kOk);
  EXPECT_TRUE(fs::is_symlink(mDir / "preferences.ini"));
  EXPECT_EQ(Get(mDir / "dotfiles" / "preferences.ini"), "new\n");
}

TEST_F(FilesTest, ReadIsCappedAndTellsMissingFromOversized)
{
  Put(mDir / "exact", std::string(64, 'a'));
  Put(mDir / "over", std::string(65, 'a'));
  struct Case
  {
    const char* name;
    fs::path path;
    EFileResult result;
    size_t size;
  };
  const Case cases[] = {
    {"at the cap", mDir / "exact", EFileResult::kOk, 64},
    {"one byte over", mDir / "over", EFileResult::kNotOurs, 0},
    {"missing", mDir / "absent", EFileResult::kUnreadable, 0},
    {"a folder", mDir, EFileResult::kUnreadable, 0},
  };
  for (const Case& c : cases)
  {
    std::string out = "stale";
    EXPECT_EQ(ReadFileCapped(c.path, 64, out), c.result) << c.name;
    EXPECT_EQ(out.size(), c.size) << c.name;
  }
}

} // namespace
} // namespace plugkit
