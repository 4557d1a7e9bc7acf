#include "records/data_files.h"

#include <gtest/gtest.h>

#include "fakes/fake_services.h"

namespace lk {
namespace {

TEST(DataFiles, TheDataFolderCopyFirstThenTheProgramFolders) {
  struct Case {
    const char* name;
    bool inData, inProgram;
    const char* expected;  // folder below the root
  } cases[] = {
      {"both", true, true, "data"},
      {"data only", true, false, "data"},
      {"program only: a read-only program folder's own file", false, true, "program"},
      {"neither: the load fails where the save will go", false, false, "data"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::FakeProgramFolder folder;
    std::filesystem::create_directories(folder.root / "data");
    std::filesystem::create_directories(folder.root / "program");
    if (c.inData) folder.write("data/set.dat", "x");
    if (c.inProgram) folder.write("program/set.dat", "x");
    EXPECT_EQ(fileToLoad(folder.root / "data", folder.root / "program", "set.dat"),
              folder.root / c.expected / "set.dat");
  }
  // The same folder (a writable program folder) is simply that folder.
  test::FakeProgramFolder folder;
  EXPECT_EQ(fileToLoad(folder.root, folder.root, "rank.dat"), folder.root / "rank.dat");
}

}  // namespace
}  // namespace lk
