#include "shell/text_file.h"

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

TEST_F(AtomicSave, ReadRefusesMissingInvalidAndDirectory) {
  EXPECT_FALSE(readTextFileLines(folder.root / "missing.txt").has_value());
  folder.write("bad.txt", "ok\r\n\x80\r\n");
  EXPECT_FALSE(readTextFileLines(folder.root / "bad.txt").has_value());
  EXPECT_FALSE(readTextFileLines(folder.root).has_value());
}

}  // namespace
}  // namespace lk
