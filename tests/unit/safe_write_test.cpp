#include "platform/safe_write.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "platform/file_identity.h"
#include "temp_dir.h"

namespace varnok::platform {
namespace {

int FilesIn(const std::string& dir) {
  int n = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

TEST(SafeWrite, ReplacesContentAndKeepsPermissions) {
  test::TempDir dir;
  std::string path = dir.file("net.vnk");
  test::WriteFile(path, "old contents");
  ::chmod(path.c_str(), 0600);
  ASSERT_TRUE(SafeWriteFile(path, std::string("new\0bytes", 9)));
  EXPECT_EQ(test::ReadFile(path), std::string("new\0bytes", 9));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(FilesIn(dir.path()), 1);
}

TEST(SafeWrite, TargetThatCannotBeReplacedIsReportedWithItsPath) {
  test::TempDir dir;
  // A folder in the target's place cannot be replaced by a file.
  std::filesystem::create_directory(dir.file("net.vnk"));
  WriteResult r = SafeWriteFile(dir.file("net.vnk"), "replacement");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(dir.file("net.vnk")), std::string::npos);
  // A missing folder fails before anything is written.
  EXPECT_FALSE(SafeWriteFile(dir.file("no/such/folder.vnk"), "x").ok);
  EXPECT_EQ(FilesIn(dir.path()), 1);
}

TEST(SafeWrite, FullDiskLeavesOldFileIntactAndNamesReason) {
  test::TempDir dir;
  std::string path = dir.file("net.vnk");
  test::WriteFile(path, "precious");
  // A file-size limit stands in for a full disk; run in a child so the limit
  // does not stay with the test process.
  pid_t pid = ::fork();
  if (pid == 0) {
    struct rlimit lim {
      4096, 4096
    };
    ::setrlimit(RLIMIT_FSIZE, &lim);
    WriteResult r = SafeWriteFile(path, std::string(100000, 'x'));
    bool named = r.error.find(path) != std::string::npos && r.error.find("large") != std::string::npos;
    ::_exit(!r.ok && named ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(test::ReadFile(path), "precious");
  EXPECT_EQ(FilesIn(dir.path()), 1);
}

TEST(SafeWrite, ReadWholeFileReportsMissingFileWithPath) {
  test::TempDir dir;
  std::string bytes;
  WriteResult r = ReadWholeFile(dir.file("gone.vnk"), bytes);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("gone.vnk"), std::string::npos);
  test::WriteFile(dir.file("x"), std::string(200000, 'a'));
  ASSERT_TRUE(ReadWholeFile(dir.file("x"), bytes));
  EXPECT_EQ(bytes.size(), 200000u);
}

// Runs `body` in a child that is killed after `seconds`: a call that blocks
// fails the test instead of hanging it. True when the child exited with 0.
template <typename Body>
bool InChildWithin(unsigned seconds, Body body) {
  pid_t pid = ::fork();
  if (pid == 0) {
    ::alarm(seconds);
    ::_exit(body() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(SafeWrite, WritesThroughSymbolicLinksToTheRealFile) {
  test::TempDir dir;
  // A dotfiles folder: the link lives elsewhere, relative, through a second link.
  std::filesystem::create_directory(dir.file("dotfiles"));
  std::filesystem::create_directory(dir.file("config"));
  test::WriteFile(dir.file("dotfiles/Varnok.conf"), "old");
  ::symlink("../dotfiles/Varnok.conf", dir.file("config/Varnok.conf").c_str());
  ::symlink("config/Varnok.conf", dir.file("chain.conf").c_str());

  ASSERT_TRUE(SafeWriteFile(dir.file("chain.conf"), "new"));
  EXPECT_EQ(test::ReadFile(dir.file("dotfiles/Varnok.conf")), "new");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("config/Varnok.conf")));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("chain.conf")));
  EXPECT_EQ(FilesIn(dir.file("dotfiles")), 1);
  EXPECT_EQ(FilesIn(dir.file("config")), 1);

  // A dangling link creates the file it points to.
  ::symlink("dotfiles/new.vnk", dir.file("dangling.vnk").c_str());
  ASSERT_TRUE(SafeWriteFile(dir.file("dangling.vnk"), "fresh"));
  EXPECT_EQ(test::ReadFile(dir.file("dotfiles/new.vnk")), "fresh");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("dangling.vnk")));

  // A loop of links is an error, not a hang.
  ::symlink("loop-b", dir.file("loop-a").c_str());
  ::symlink("loop-a", dir.file("loop-b").c_str());
  EXPECT_FALSE(SafeWriteFile(dir.file("loop-a"), "x").ok);
}

TEST(SafeWrite, LinksAreRefusedWhereAskedAndTheLinkedFileKept) {
  test::TempDir dir;
  test::WriteFile(dir.file("victim"), "keep");
  ::symlink("victim", dir.file("runs.log").c_str());
  WriteResult w = SafeWriteFile(dir.file("runs.log"), "trimmed", WriteOptions{.refuseLinks = true});
  EXPECT_FALSE(w.ok);
  EXPECT_EQ(w.error, dir.file("runs.log") + ": is a symbolic link, not a regular file; nothing was written");
  EXPECT_EQ(test::ReadFile(dir.file("victim")), "keep");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("runs.log")));
}

TEST(SafeWrite, PathsOfOpenDescriptorsAreWrittenWhereTheyStand) {
  test::TempDir dir;
  // As "command /dev/stdout >> log" hands it over: the log opened for appending.
  test::WriteFile(dir.file("log.txt"), "earlier\n");
  const int opened = ::open(dir.file("log.txt").c_str(), O_WRONLY | O_APPEND);
  // Far above the descriptors anything else here opens, so it stays unused once closed.
  const int fd = ::fcntl(opened, F_DUPFD, 500);
  ::close(opened);
  ASSERT_GE(fd, 500);
  const struct stat before = [&] {
    struct stat st {};
    ::stat(dir.file("log.txt").c_str(), &st);
    return st;
  }();
  const std::string n = std::to_string(fd);
  ::symlink(("/proc/self/fd/" + n).c_str(), dir.file("out.vnk").c_str());
  for (const std::string& path : {"/dev/fd/" + n, "/proc/self/fd/" + n, dir.file("out.vnk")})
    ASSERT_TRUE(SafeWriteFile(path, path + "\n")) << path;
  ::close(fd);
  EXPECT_EQ(test::ReadFile(dir.file("log.txt")),
            "earlier\n/dev/fd/" + n + "\n/proc/self/fd/" + n + "\n" + dir.file("out.vnk") + "\n");
  struct stat after {};
  ::stat(dir.file("log.txt").c_str(), &after);
  EXPECT_EQ(after.st_ino, before.st_ino) << "the log was replaced, not appended to";
  EXPECT_EQ(FilesIn(dir.path()), 2);

  // A descriptor that is not open is a failure with the path, not a new file.
  WriteResult w = SafeWriteFile("/dev/fd/" + n, "x");
  EXPECT_FALSE(w.ok);
  EXPECT_EQ(w.error, "/dev/fd/" + n + ": Bad file descriptor");
}

TEST(SafeWrite, RefusesTargetsThatAreNoRegularFileOrReadOnly) {
  test::TempDir dir;
  ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
  ::symlink("pipe", dir.file("link-to-pipe").c_str());
  for (const std::string name : {"pipe", "link-to-pipe"}) {
    WriteResult r = SafeWriteFile(dir.file(name), "x");
    EXPECT_FALSE(r.ok) << name;
    EXPECT_NE(r.error.find("FIFO"), std::string::npos) << r.error;
  }
  EXPECT_TRUE(std::filesystem::is_fifo(dir.file("pipe")));
  // A device node (only where this process may create one).
  if (::mknod(dir.file("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
    WriteResult r = SafeWriteFile(dir.file("null"), "x");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("character device"), std::string::npos) << r.error;
    EXPECT_TRUE(std::filesystem::is_character_file(dir.file("null")));
  }

  std::string locked = dir.file("locked.vnk");
  test::WriteFile(locked, "keep me");
  ::chmod(locked.c_str(), 0444);
  WriteResult r = SafeWriteFile(locked, "replacement");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, locked + " is read-only");
  EXPECT_EQ(test::ReadFile(locked), "keep me");
  for (auto& e : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(e.path().filename().string().find(".vnk-tmp-"), std::string::npos);
}

TEST(SafeWrite, KeepsOwnerGroupAndExtendedAttributes) {
  test::TempDir dir;
  std::string path = dir.file("shared.vnk");
  test::WriteFile(path, "old");
  ::chmod(path.c_str(), 0664);
  const bool attrs = ::setxattr(path.c_str(), "user.varnok.note", "kept", 4, 0) == 0;
  // Another owner and group can only be set (and kept) by root.
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
  }
  if (!attrs && !root) GTEST_SKIP() << "neither extended attributes nor another owner available here";

  ASSERT_TRUE(SafeWriteFile(path, "new"));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0664u);
  if (root) {
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
  }
  if (attrs) {
    char value[16] = {};
    EXPECT_EQ(::getxattr(path.c_str(), "user.varnok.note", value, sizeof value), 4);
    EXPECT_STREQ(value, "kept");
  }
}

TEST(SafeWrite, PrivateFilesAreOnlyTheUsers) {
  test::TempDir dir;
  std::string path = dir.file("~macroC1.cvl");
  test::WriteFile(path, "from an older version");
  ::chmod(path.c_str(), 0644);
  ASSERT_TRUE(SafeWriteFile(path, "password", WriteOptions{.privateFile = true}));
  ASSERT_TRUE(SafeWriteFile(dir.file("fresh.ini"), "x", WriteOptions{.privateFile = true}));
  for (const std::string name : {"~macroC1.cvl", "fresh.ini"}) {
    struct stat st {};
    ASSERT_EQ(::stat(dir.file(name).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << name;
  }
}

TEST(SafeWrite, RemovesTemporaryFilesOfKilledWritesOnly) {
  test::TempDir dir;
  std::string path = dir.file("net.vnk");
  test::WriteFile(path, "old");
  // A writer that has ended: a child's pid once it is reaped.
  pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const std::string stale = "net.vnk.vnk-tmp-" + std::to_string(gone) + "-a1B2c3";
  const std::string running = "net.vnk.vnk-tmp-" + std::to_string(::getppid()) + "-a1B2c3";
  const std::string otherFile = "other.vnk.vnk-tmp-" + std::to_string(gone) + "-a1B2c3";
  for (const std::string& name : {stale, running, otherFile, std::string("net.vnk.backup")})
    test::WriteFile(dir.file(name), "partial");
  EXPECT_TRUE(IsSafeWriteTempName(stale, "net.vnk"));
  EXPECT_FALSE(IsSafeWriteTempName("net.vnk.vnk-tmp-12-abc", "net.vnk"));

  ASSERT_TRUE(SafeWriteFile(path, "new"));
  EXPECT_FALSE(std::filesystem::exists(dir.file(stale)));
  EXPECT_TRUE(std::filesystem::exists(dir.file(running)));    // its writer may still finish
  EXPECT_TRUE(std::filesystem::exists(dir.file(otherFile)));  // another file's write
  EXPECT_TRUE(std::filesystem::exists(dir.file("net.vnk.backup")));

  // A name of the longest length the system allows still gets a temporary file.
  std::string longName(255, 'n');
  ASSERT_TRUE(SafeWriteFile(dir.file(longName), "long"));
  EXPECT_EQ(test::ReadFile(dir.file(longName)), "long");
}

TEST(SafeWrite, FolderProblemsNameTheFolderAndTheReason) {
  test::TempDir dir;
  WriteResult r = SafeWriteFile(dir.file("missing/net.vnk"), "x");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("folder " + dir.file("missing")), std::string::npos) << r.error;
  EXPECT_NE(r.error.find("No such file or directory"), std::string::npos) << r.error;
}

TEST(SafeWrite, ReadingRefusesFifosWithoutBlocking) {
  test::TempDir dir;
  std::string pipe = dir.file("list.vnk");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_TRUE(InChildWithin(5, [&] {
    std::string bytes;
    WriteResult r = ReadWholeFile(pipe, bytes);
    return !r.ok && r.error.find("FIFO") != std::string::npos && !CheckRegularFile(pipe).empty();
  }));
  EXPECT_TRUE(InChildWithin(5, [&] {
    WriteResult r = ReadFileInPieces(pipe, 4096, [](std::string_view, bool) { return kStopReading; });
    return !r.ok && r.error.find("FIFO") != std::string::npos;
  }));
  EXPECT_EQ(CheckRegularFile(dir.file("none")), "");
}

// A reader that takes what it can: half of what it is offered, or nothing
// until the end (the buffer then grows to the file's size), sees every byte
// once and in order; one that stops is not offered more.
TEST(SafeWrite, ReadingInPiecesHandsOverEveryByteOnce) {
  test::TempDir dir;
  std::string content;
  for (int i = 0; content.size() < 300000; ++i) content += std::to_string(i) + ",";
  std::string path = dir.file("pieces.bin");
  ASSERT_TRUE(SafeWriteFile(path, content).ok);
  for (int mode = 0; mode < 3; ++mode) {
    std::string seen;
    int calls = 0;
    bool endSeen = false;
    WriteResult r = ReadFileInPieces(path, 4096, [&](std::string_view bytes, bool atEnd) -> std::size_t {
      ++calls;
      EXPECT_FALSE(endSeen);
      endSeen = atEnd;
      std::size_t used = mode == 0 ? bytes.size() : mode == 1 ? bytes.size() / 2 : 0;
      if (atEnd) used = bytes.size();
      seen.append(bytes.substr(0, used));
      return used;
    });
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(endSeen);
    EXPECT_EQ(seen, content) << "mode " << mode;
    if (mode == 0) {
      EXPECT_GE(calls, 70) << "pieces of about 4 KiB";
    }
  }
  int calls = 0;
  EXPECT_TRUE(ReadFileInPieces(path, 4096, [&](std::string_view, bool) {
                ++calls;
                return kStopReading;
              }).ok);
  EXPECT_EQ(calls, 1);
  std::string empty = dir.file("empty.bin");
  ASSERT_TRUE(SafeWriteFile(empty, "").ok);
  calls = 0;
  EXPECT_TRUE(ReadFileInPieces(empty, 4096, [&](std::string_view bytes, bool atEnd) {
                ++calls;
                EXPECT_TRUE(bytes.empty() && atEnd);
                return bytes.size();
              }).ok);
  EXPECT_EQ(calls, 1);
  WriteResult missing =
      ReadFileInPieces(dir.file("none"), 4096, [](std::string_view b, bool) { return b.size(); });
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.error.find(dir.file("none")), std::string::npos);
}

// What a later save compares: the identity handed out by a write or a read
// is the file's own, and every kind of change by another writer alters it.
TEST(SafeWrite, FileIdentityTellsOurFileFromAnotherWritersChange) {
  test::TempDir dir;
  const std::string path = dir.file("net.vnk");
  FileIdentity written;
  WriteOptions options;
  options.written = &written;
  ASSERT_TRUE(SafeWriteFile(path, "first version", options).ok);
  const FileIdentity now = IdentifyFile(path);
  EXPECT_TRUE(now.exists);
  EXPECT_EQ(written, now);
  EXPECT_EQ(now.size, 13);

  std::string bytes;
  FileIdentity opened;
  ASSERT_TRUE(ReadWholeFile(path, bytes, &opened).ok);
  EXPECT_EQ(opened, now);
  FileIdentity piecesOpened;
  ASSERT_TRUE(ReadFileInPieces(
                  path, 4, [](std::string_view b, bool) { return b.size(); }, &piecesOpened)
                  .ok);
  EXPECT_EQ(piecesOpened, now);

  // Replaced by a rename, with the very same bytes: another inode.
  ASSERT_TRUE(SafeWriteFile(path, "first version").ok);
  const FileIdentity replaced = IdentifyFile(path);
  EXPECT_NE(replaced, now);
  EXPECT_NE(replaced.inode, now.inode);

  // Rewritten in place with as many bytes (the time set apart, as a coarse
  // clock might not): only the modification time tells.
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  test::WriteFile(path, "other version");
  const timespec times[2] = {before.st_atim, {before.st_mtim.tv_sec - 10, before.st_mtim.tv_nsec}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  const FileIdentity rewritten = IdentifyFile(path);
  EXPECT_EQ(rewritten.inode, replaced.inode);
  EXPECT_EQ(rewritten.size, replaced.size);
  EXPECT_NE(rewritten, replaced);

  // Missing files, also below a name that is no folder, do not exist.
  EXPECT_FALSE(IdentifyFile(dir.file("none.vnk")).exists);
  EXPECT_FALSE(IdentifyFile(path + "/below").exists);
}

// A write that may only replace a known file leaves alone what another
// program wrote while the bytes were being written, and nothing behind.
TEST(SafeWrite, OnlyOverRefusesAFileWrittenMeanwhile) {
  test::TempDir dir;
  const std::string path = dir.file("net.vnk");
  ASSERT_TRUE(SafeWriteFile(path, "loaded").ok);
  const FileIdentity loaded = IdentifyFile(path);
  WriteOptions options;
  options.onlyOver = &loaded;

  const auto otherWriterMidway = [&](const ChunkSink& sink) {
    EXPECT_TRUE(SafeWriteFile(path, "the other program's").ok);
    return sink("ours");
  };
  const WriteResult refused = SafeWriteFile(path, otherWriterMidway, options);
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.error,
            path + ": another program changed the file while it was being saved; it was left as it is");
  EXPECT_EQ(test::ReadFile(path), "the other program's");
  EXPECT_EQ(FilesIn(dir.path()), 1);

  // The file as expected, or gone, is replaced.
  const FileIdentity now = IdentifyFile(path);
  options.onlyOver = &now;
  EXPECT_TRUE(SafeWriteFile(path, "ours", options).ok);
  EXPECT_EQ(test::ReadFile(path), "ours");
  ASSERT_EQ(::unlink(path.c_str()), 0);
  EXPECT_TRUE(SafeWriteFile(path, "ours again", options).ok);
  EXPECT_EQ(test::ReadFile(path), "ours again");
}

}  // namespace
}  // namespace varnok::platform
