#include "records/text_file.h"

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "fakes/fake_services.h"

namespace lk {
namespace {

TEST(Cp932, EncodesTheBytesThisCodePageDefines) {
  struct Case {
    std::u16string text;
    std::string bytes;
  } cases[] = {
      {u"\\~", "\x5c\x7e"},         // backslash and tilde stay single bytes (melodies use 0x5C)
      {u"あア", "\x82\xa0\x83\x41"},
      {u"ｱ", "\xb1"},                // half-width katakana is one byte
      {u"\u301c", "\x81\x60"},       // WAVE DASH becomes the 932 tilde
      {u"\u2212", "\x81\x7c"},       // MINUS SIGN becomes the 932 minus
      {u"", ""},
  };
  for (const auto& c : cases) {
    auto bytes = encodeCp932(c.text);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, c.bytes);
  }
}

TEST(Cp932, RefusesWhatItCannotEncodeInsteadOfSubstituting) {
  for (std::u16string text : {std::u16string(u"a😀b"), std::u16string(u"\xd800x"), std::u16string(u"한글")}) {
    EXPECT_FALSE(encodeCp932(text).has_value());
  }
}

TEST(Cp932, DecodesAndRefusesInvalidBytes) {
  EXPECT_EQ(decodeCp932("\x5c\x82\xa0\x81\x60"), std::u16string(u"\\あ\uff5e"));
  for (std::string bad : {std::string("\x80"), std::string("a\x81"), std::string("\x81\x20"), std::string("\xfd")}) {
    EXPECT_FALSE(decodeCp932(bad).has_value()) << bad.size();
  }
}

TEST(DecodeLines, ABadByteSpoilsItsOwnLineOnly) {
  using V = std::vector<DecodedLine>;
  struct Case {
    std::string bytes;
    V lines;
  } cases[] = {
      {"a\r\n\x80\r\n\x82\xa0\r\n", V{u"a", std::nullopt, u"あ"}},
      {"\x81\r\nb", V{std::nullopt, u"b"}},  // a lead byte cut by the line end
      {"a\nb\rc\r\n\r\n", V{u"a", u"b", u"c", u""}},
      {"", V{}},
  };
  for (const auto& c : cases) EXPECT_EQ(decodeLinesCp932(c.bytes), c.lines) << c.bytes;
}

TEST(SplitLines, TakesCrLfAndStrayLineEnds) {
  using V = std::vector<std::u16string>;
  EXPECT_EQ(splitLines(u"a\r\nb\r\n"), (V{u"a", u"b"}));
  EXPECT_EQ(splitLines(u"a\r\n\r\nb"), (V{u"a", u"", u"b"}));
  EXPECT_EQ(splitLines(u"a\nb\rc"), (V{u"a", u"b", u"c"}));
  EXPECT_EQ(splitLines(u""), V{});
}

class AtomicSave : public ::testing::Test {
 protected:
  test::FakeProgramFolder folder;
  std::filesystem::path file() const { return folder.root / "data.txt"; }
};

TEST_F(AtomicSave, WritesLinesWithCrLfAndNoBom) {
  ASSERT_TRUE(writeTextFileLines(file(), {u"\"あ\"", u"", u" 6 "}));
  EXPECT_EQ(folder.read("data.txt"), "\"\x82\xa0\"\r\n\r\n 6 \r\n");
  auto lines = readTextFileLines(file());
  ASSERT_TRUE(lines.has_value());
  EXPECT_EQ(*lines, (std::vector<std::u16string>{u"\"あ\"", u"", u" 6 "}));
}

TEST_F(AtomicSave, UnencodableLineWritesNothing) {
  folder.write("data.txt", "old\r\n");
  EXPECT_FALSE(writeTextFileLines(file(), {u"ok", u"emoji 😀"}));
  EXPECT_EQ(folder.read("data.txt"), "old\r\n");
}

TEST_F(AtomicSave, FailureMidwayKeepsTheOldFileAndLeavesNoTemporary) {
  folder.write("data.txt", "old contents\r\n");
  const std::string big(20000, 'x');
  std::size_t calls = 0;
  // Let the first chunk through, then fail: a half-written file must never replace the old one.
  EXPECT_FALSE(replaceFileAtomically(file(), big, [&](std::size_t offset) { return ++calls, offset == 0; }));
  EXPECT_GE(calls, 2u);
  EXPECT_EQ(folder.read("data.txt"), "old contents\r\n");
  std::size_t entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder.root)) entries += (void(e), 1);
  EXPECT_EQ(entries, 1u);
}

TEST_F(AtomicSave, FolderThatIsAPlainFileFails) {
  folder.write("notafolder", "plain");
  EXPECT_FALSE(replaceFileAtomically(folder.root / "notafolder" / "data.txt", "x"));
  EXPECT_EQ(folder.read("notafolder"), "plain");
}

TEST_F(AtomicSave, ReplacesAndKeepsTheFileMode) {
  folder.write("data.txt", "old");
  std::filesystem::permissions(file(), std::filesystem::perms(0640));
  ASSERT_TRUE(replaceFileAtomically(file(), "new"));
  EXPECT_EQ(folder.read("data.txt"), "new");
  EXPECT_EQ(std::filesystem::status(file()).permissions(), std::filesystem::perms(0640));
}

TEST_F(AtomicSave, WriteProtectedFileIsNeverReplaced) {
  // The rename would go through a read-only file as if it were not there.
  folder.write("data.txt", "protected");
  std::filesystem::permissions(file(), std::filesystem::perms(0444));
  EXPECT_FALSE(replaceFileAtomically(file(), "new"));
  EXPECT_FALSE(writeTextFileLines(file(), {u"new"}));
  EXPECT_EQ(folder.read("data.txt"), "protected");
  std::size_t entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder.root)) entries += (void(e), 1);
  EXPECT_EQ(entries, 1u);
}

TEST_F(AtomicSave, SymbolicLinksAreWrittenThroughAndStayLinks) {
  namespace fs = std::filesystem;
  folder.write("real/data.txt", "old");
  fs::permissions(folder.root / "real" / "data.txt", fs::perms(0640));
  fs::create_directories(folder.root / "links");
  struct Link {
    fs::path path;
    fs::path to;
  };
  const Link links[] = {
      {folder.root / "links" / "relative.txt", "../real/data.txt"},
      {folder.root / "links" / "absolute.txt", folder.root / "real" / "data.txt"},
      {folder.root / "links" / "chain.txt", "relative.txt"},  // a link to a link
  };
  for (const Link& l : links) fs::create_symlink(l.to, l.path);
  int n = 0;
  for (const Link& l : links) {
    const std::string contents = "new " + std::to_string(++n);
    ASSERT_TRUE(replaceFileAtomically(l.path, contents)) << l.path;
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(l.path))) << l.path;
    EXPECT_EQ(fs::read_symlink(l.path), l.to);
    EXPECT_EQ(folder.read("real/data.txt"), contents);
    EXPECT_EQ(fs::status(folder.root / "real" / "data.txt").permissions(), fs::perms(0640));
  }
  // No temporary left beside the link or the file.
  std::size_t entries = 0;
  for (const auto& e : fs::recursive_directory_iterator(folder.root)) entries += (void(e), 1);
  EXPECT_EQ(entries, 2u + 3u + 1u);

  // A link to a write-protected file protects it too; a loop of links fails.
  fs::permissions(folder.root / "real" / "data.txt", fs::perms(0444));
  EXPECT_FALSE(replaceFileAtomically(links[0].path, "again"));
  EXPECT_EQ(folder.read("real/data.txt"), "new 3");
  fs::create_symlink("loop_b.txt", folder.root / "loop_a.txt");
  fs::create_symlink("loop_a.txt", folder.root / "loop_b.txt");
  EXPECT_FALSE(replaceFileAtomically(folder.root / "loop_a.txt", "x"));
}

TEST_F(AtomicSave, ReadRefusesMissingInvalidAndDirectory) {
  EXPECT_FALSE(readTextFileLines(folder.root / "missing.txt").has_value());
  folder.write("bad.txt", "ok\r\n\x80\r\n");
  EXPECT_FALSE(readTextFileLines(folder.root / "bad.txt").has_value());
  EXPECT_FALSE(readTextFileLines(folder.root).has_value());
}

// Sets the umask for the length of a test.
struct Umask {
  mode_t old;
  explicit Umask(mode_t m) : old(::umask(m)) {}
  ~Umask() { ::umask(old); }
};

TEST_F(AtomicSave, NewFilesHonourTheUmask) {
  for (const auto& [mask, mode] : {std::pair<mode_t, unsigned>{077, 0600}, {022, 0644}, {002, 0664}}) {
    Umask u(mask);
    std::filesystem::remove(file());
    ASSERT_TRUE(replaceFileAtomically(file(), "new"));
    struct stat st {};
    ASSERT_EQ(::stat(file().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode) << std::oct << mask;
  }
}

TEST_F(AtomicSave, SpecialFilesAreNeitherReadNorReplaced) {
  namespace fs = std::filesystem;
  const fs::path fifo = folder.root / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  fs::create_symlink(fifo, folder.root / "to_fifo");
  fs::create_symlink("/dev/null", folder.root / "to_null");
  fs::create_directory(folder.root / "folder");
  // No writer ever opens the FIFO: a blocking open would hang here.
  for (const fs::path& p : {fifo, folder.root / "to_fifo", fs::path("/dev/null"), folder.root / "folder"}) {
    EXPECT_TRUE(isSpecialFile(p)) << p;
    EXPECT_FALSE(readFileBytes(p).has_value()) << p;
    EXPECT_FALSE(readTextFileLines(p).has_value()) << p;
  }
  for (const fs::path& p : {fifo, folder.root / "to_fifo", folder.root / "to_null"}) {
    EXPECT_FALSE(replaceFileAtomically(p, "x")) << p;
  }
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(fifo)));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(folder.root / "to_null")));
  EXPECT_TRUE(fs::is_character_file(fs::status("/dev/null")));
  folder.write("plain", "x");
  EXPECT_FALSE(isSpecialFile(folder.root / "plain"));
  EXPECT_FALSE(isSpecialFile(folder.root / "missing"));
}

TEST_F(AtomicSave, StaleTemporariesAreRemovedOnlyWhenOlderThanAMinute) {
  namespace fs = std::filesystem;
  const auto now = fs::file_time_type::clock::now();
  struct Case {
    std::string name;
    std::chrono::seconds age;
    bool removed;
  } cases[] = {
      {".rank.dat.tmpAb12Cd", std::chrono::seconds(120), true},
      {".set.dat.tmpzzzzzz", std::chrono::seconds(61), true},
      {".rank.dat.tmpXy34Ef", std::chrono::seconds(10), false},  // maybe another copy's save in progress
      {"rank.dat", std::chrono::seconds(120), false},
      {"rank.dat.lock", std::chrono::seconds(120), false},
      {".rank.dat.tmp", std::chrono::seconds(120), false},
      {".notes.tmp12345", std::chrono::seconds(120), false},
      {"rank.dat.tmpAb12Cd", std::chrono::seconds(120), false},
  };
  for (const Case& c : cases) {
    folder.write(c.name, "x");
    fs::last_write_time(folder.root / c.name, now - c.age);
  }
  EXPECT_EQ(removeStaleSaveTemporaries(folder.root, std::chrono::seconds(60), now), 2);
  for (const Case& c : cases) EXPECT_EQ(folder.exists(c.name), !c.removed) << c.name;
}

TEST_F(AtomicSave, BrokenCopiesAreNumberedAndNeverOverwritten) {
  ASSERT_TRUE(keepBrokenCopy(file(), "first"));
  ASSERT_TRUE(keepBrokenCopy(file(), "second"));
  ASSERT_TRUE(keepBrokenCopy(file(), "first"));  // already kept: no third copy
  ASSERT_TRUE(keepBrokenCopy(file(), "third"));
  EXPECT_EQ(folder.read("data.txt.broken"), "first");
  EXPECT_EQ(folder.read("data.txt.broken.1"), "second");
  EXPECT_EQ(folder.read("data.txt.broken.2"), "third");
  EXPECT_FALSE(folder.exists("data.txt.broken.3"));
}

TEST_F(AtomicSave, FileLockExcludesAnotherHolder) {
  const std::string lockName = file().string() + ".lock";
  {
    FileLock lock(file());
    ASSERT_TRUE(lock.held());
    const int other = ::open(lockName.c_str(), O_RDWR);
    ASSERT_GE(other, 0);
    EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0);
    ::close(other);
    // A holder that never lets go is waited for only so long.
    FileLock second(file(), std::chrono::milliseconds(20));
    EXPECT_FALSE(second.held());
  }
  const int other = ::open(lockName.c_str(), O_RDWR);
  ASSERT_GE(other, 0);
  EXPECT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
  ::close(other);
}

}  // namespace
}  // namespace lk
