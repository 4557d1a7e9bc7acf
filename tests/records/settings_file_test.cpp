#include "records/settings_file.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "fakes/fake_services.h"
#include "fakes/test_data.h"
#include "records/text_file.h"

namespace lk {
namespace {

class SettingsFile : public ::testing::Test {
 protected:
  test::FakeProgramFolder folder;
  std::filesystem::path file() const { return folder.root / "set.dat"; }

  static KeySettings golden() {
    KeySettings s;
    s.koukaon = 1;
    s.saidai = 50;
    s.set("si", u"shi");
    s.set("nn", u"n");
    s.set("x", u"l");
    s.set("vo", u"vo");
    return s;
  }
  // The default file's lines with one line changed.
  std::string defaultsWith(int line, const std::string& value) const {
    std::string out;
    auto lines = settingsFileLines(KeySettings());
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
      out += (i == line ? value : *encodeCp932(lines[static_cast<std::size_t>(i)])) + "\r\n";
    }
    return out;
  }
};

TEST_F(SettingsFile, SaveMatchesTheHandMadeFileByteForByte) {
  ASSERT_TRUE(saveSettings(golden(), file()).ok);
  EXPECT_EQ(folder.read("set.dat"), test::readBytes(test::dataPath("records/data/set_golden.dat")));
}

TEST_F(SettingsFile, DefaultsStartWithSpacedNumbersAndCanonicalTokens) {
  ASSERT_TRUE(saveSettings(KeySettings(), file()).ok);
  EXPECT_TRUE(folder.read("set.dat").starts_with(" 0 \r\n 30 \r\nka\r\nku\r\nko\r\nsi\r\nse\r\nti\r\ntu\r\nhu\r\nnn\r\nzi\r\nx\r\nixe\r\nuxa\r\n"));
}

TEST_F(SettingsFile, LoadReadsTheHandMadeFile) {
  KeySettings s;
  const auto r = loadSettings(s, test::dataPath("records/data/set_golden.dat"));
  EXPECT_TRUE(r.ok);
  EXPECT_TRUE(r.message.empty());
  EXPECT_EQ(s, golden());
}

TEST_F(SettingsFile, MissingOrShortFileGivesDefaultsAndTheMessage) {
  KeySettings s = golden();
  auto r = loadSettings(s, file());
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, kMsgSettingsLoadFailed);
  EXPECT_EQ(s, KeySettings());

  // 50 good lines: what was already read is reset too.
  std::string fifty = " 1 \r\n 10 \r\n";
  for (int i = 0; i < 48; ++i) fifty += "shi\r\n";
  folder.write("set.dat", fifty);
  s = golden();
  r = loadSettings(s, file());
  EXPECT_EQ(r.message, kMsgSettingsLoadFailed);
  EXPECT_EQ(s, KeySettings());
}

TEST_F(SettingsFile, InvalidBytesSpoilTheirOwnLineOnly) {
  // Line 6 (row si) is not 932; lines 1 and 4 say something else than the defaults.
  std::string bytes = defaultsWith(5, "\x81\x20");
  bytes.replace(0, 3, " 1 ");
  bytes.replace(bytes.find("\r\nku\r\n"), 6, "\r\ncu\r\n");
  folder.write("set.dat", bytes);
  KeySettings s = golden();
  EXPECT_TRUE(loadSettings(s, file()).ok);
  EXPECT_EQ(s.koukaon, 1);
  EXPECT_EQ(s.variant("ku"), u"cu");
  EXPECT_EQ(s.variant("si"), u"si");
  EXPECT_EQ(s.variant("vo"), u"vuxo");
}

TEST_F(SettingsFile, ValueItsFieldDoesNotAllowFallsBackAloneAndSilently) {
  struct Case {
    int line;
    std::string value;
  } cases[] = {{0, " 2 "}, {0, "x"}, {1, " 35 "}, {1, " 0 "}, {1, ""}, {5, "shii"}, {5, ""}, {92, "bo"}};
  for (const auto& c : cases) {
    // Every other line says something other than the default.
    std::string bytes = defaultsWith(c.line, c.value);
    if (c.line != 0) bytes.replace(0, 3, " 1 ");
    if (c.line != 5) bytes.replace(bytes.find("\r\nsi\r\n"), 6, "\r\nci\r\n");
    folder.write("set.dat", bytes);
    KeySettings s;
    const auto r = loadSettings(s, file());
    EXPECT_TRUE(r.ok) << c.line;
    EXPECT_EQ(s.koukaon, c.line == 0 ? 0 : 1) << c.line;
    EXPECT_EQ(s.saidai, 30) << c.line;
    EXPECT_EQ(s.variant("si"), c.line == 5 ? u"si" : u"ci") << c.line;
    EXPECT_EQ(s.variant("vo"), u"vuxo") << c.line;
  }
}

TEST_F(SettingsFile, RoundTripAndNumbersWithoutSpaces) {
  KeySettings s = golden();
  ASSERT_TRUE(saveSettings(s, file()).ok);
  KeySettings back;
  ASSERT_TRUE(loadSettings(back, file()).ok);
  EXPECT_EQ(back, s);

  folder.write("set.dat", defaultsWith(1, "20"));
  ASSERT_TRUE(loadSettings(back, file()).ok);
  EXPECT_EQ(back.saidai, 20);
}

TEST_F(SettingsFile, FailedSaveKeepsTheOldFile) {
  folder.write("set.dat", "old");
  // A folder that is a plain file: no amount of root privilege creates a file inside it.
  folder.write("plain", "x");
  const auto r = saveSettings(golden(), folder.root / "plain" / "set.dat");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, kMsgSettingsSaveFailed);
  EXPECT_EQ(folder.read("set.dat"), "old");
  EXPECT_EQ(folder.read("plain"), "x");

  // A write-protected set.dat is the user's choice: kept, and the save fails.
  std::filesystem::permissions(file(), std::filesystem::perms(0444));
  EXPECT_EQ(saveSettings(golden(), file()).message, kMsgSettingsSaveFailed);
  EXPECT_EQ(folder.read("set.dat"), "old");
}

TEST_F(SettingsFile, EachLineIsOneFieldCommasIncluded) {
  // A comma must not split a line: the lines after it keep their places.
  struct Case {
    int line;
    std::string value;
    std::u16string_view ka;  // what row ka then holds
  } cases[] = {{2, "ca,ka", u"ka"}, {2, "\"ca\",ka", u"ca"}, {0, " 1 , 0", u"ka"}};
  for (const auto& c : cases) {
    std::string bytes = defaultsWith(c.line, c.value);
    bytes.replace(bytes.find("\r\nku\r\n"), 6, "\r\ncu\r\n");  // line 4, the row after ka
    bytes.replace(bytes.find(" 30 "), 4, " 50 ");
    folder.write("set.dat", bytes);
    KeySettings s;
    ASSERT_TRUE(loadSettings(s, file()).ok) << c.value;
    EXPECT_EQ(s.variant("ka"), c.ka) << c.value;
    EXPECT_EQ(s.variant("ku"), u"cu") << c.value;
    EXPECT_EQ(s.saidai, 50) << c.value;
    EXPECT_EQ(s.koukaon, 0) << c.value;
  }
}

TEST_F(SettingsFile, EachCopySavesOnlyTheFieldsItChanged) {
  ASSERT_TRUE(saveSettings(KeySettings(), file()).ok);
  // Two copies of the program load the same file.
  KeySettings first, firstOnFile, second, secondOnFile;
  ASSERT_TRUE(loadSettings(first, file()).ok);
  ASSERT_TRUE(loadSettings(second, file()).ok);
  firstOnFile = first;
  secondOnFile = second;

  first.set("si", u"shi");
  first.koukaon = 1;
  ASSERT_TRUE(saveSettingsChanges(first, firstOnFile, file()).ok);
  second.saidai = 50;
  second.set("tu", u"tsu");
  ASSERT_TRUE(saveSettingsChanges(second, secondOnFile, file()).ok);

  KeySettings want;
  want.set("si", u"shi");
  want.koukaon = 1;
  want.saidai = 50;
  want.set("tu", u"tsu");
  KeySettings back;
  ASSERT_TRUE(loadSettings(back, file()).ok);
  EXPECT_EQ(back, want);
  EXPECT_EQ(second, want);  // what was written is what this copy now holds
  EXPECT_EQ(secondOnFile, want);

  // A field changed back to what this copy read is no change: the other copy's tsu stays.
  ASSERT_TRUE(first.set("tu", u"tsu"));
  ASSERT_TRUE(first.set("tu", u"tu"));
  ASSERT_TRUE(first.set("ka", u"ca"));
  ASSERT_TRUE(saveSettingsChanges(first, firstOnFile, file()).ok);
  want.set("ka", u"ca");
  ASSERT_TRUE(loadSettings(back, file()).ok);
  EXPECT_EQ(back, want);

  // No readable file: every field of this copy is written.
  std::filesystem::remove(file());
  KeySettings third = golden(), thirdOnFile;
  ASSERT_TRUE(saveSettingsChanges(third, thirdOnFile, file()).ok);
  EXPECT_EQ(folder.read("set.dat"), test::readBytes(test::dataPath("records/data/set_golden.dat")));
}

TEST_F(SettingsFile, AFileThatDidNotLoadIsKeptBeforeASaveReplacesIt) {
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"short", " 1 \r\n 10 \r\nka\r\n"},
      {"a bad byte", defaultsWith(40, "s\x80")},
  };
  for (const Case& c : cases) {
    for (const char* name : {"set.dat", "set.dat.broken", "set.dat.broken.1"}) std::filesystem::remove(folder.root / name);
    folder.write("set.dat", c.bytes);
    folder.write("set.dat.broken", "older");
    ASSERT_TRUE(saveSettings(golden(), file()).ok) << c.what;
    EXPECT_EQ(folder.read("set.dat.broken"), "older") << c.what;
    EXPECT_EQ(folder.read("set.dat.broken.1"), c.bytes) << c.what;
    EXPECT_EQ(folder.read("set.dat"), test::readBytes(test::dataPath("records/data/set_golden.dat"))) << c.what;
  }
  // A file that reads whole is replaced without a copy.
  ASSERT_TRUE(saveSettings(KeySettings(), file()).ok);
  EXPECT_FALSE(folder.exists("set.dat.broken.2"));
}

TEST_F(SettingsFile, SpecialFilesAndLinksToThemOrToOtherFilesAreNotReplaced) {
  namespace fs = std::filesystem;
  folder.write("notes.txt", "not settings\r\n");
  ASSERT_EQ(::mkfifo((folder.root / "fifo").c_str(), 0644), 0);
  for (const fs::path& to : {fs::path("/dev/null"), folder.root / "notes.txt", folder.root / "fifo"}) {
    fs::remove(file());
    fs::create_symlink(to, file());
    KeySettings s = golden();
    EXPECT_EQ(loadSettings(s, file()).message, kMsgSettingsLoadFailed) << to;  // and returns at once
    EXPECT_EQ(saveSettings(golden(), file()).message, kMsgSettingsSaveFailed) << to;
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(file()))) << to;
  }
  EXPECT_EQ(folder.read("notes.txt"), "not settings\r\n");
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(folder.root / "fifo")));
  EXPECT_FALSE(folder.exists("set.dat.broken"));

  // A link to settings is written through.
  ASSERT_TRUE(saveSettings(KeySettings(), folder.root / "real.dat").ok);
  fs::remove(file());
  fs::create_symlink("real.dat", file());
  ASSERT_TRUE(saveSettings(golden(), file()).ok);
  EXPECT_EQ(folder.read("real.dat"), test::readBytes(test::dataPath("records/data/set_golden.dat")));
}

}  // namespace
}  // namespace lk
