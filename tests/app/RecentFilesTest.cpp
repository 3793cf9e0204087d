// The recent-files list: order, capacity and exact name comparison.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "RecentFiles.h"

namespace {

TEST(RecentFilesTest, ReopeningMovesANameToTheTopTheNewestFiveStayAndNamesMatchExactly) {
  TRecentFiles r;
  using Names = std::vector<std::string>;
  const std::pair<Names, Names> steps[] = {
      {{"A", "B", "C", "B"}, {"B", "C", "A", "", ""}},
      {{"A"}, {"A", "B", "C", "", ""}},
      {{"1", "2", "3", "4"}, {"4", "3", "2", "1", "A"}},
      {{"5", "2"}, {"2", "5", "4", "3", "1"}},
  };
  for (const auto& [opened, listed] : steps) {
    for (const std::string& n : opened) AddRecentFile(r, n);
    EXPECT_EQ(Names(r.Files.begin(), r.Files.end()), listed);
    EXPECT_EQ(r.Count, 5 - std::count(listed.begin(), listed.end(), ""));
  }
  EXPECT_EQ(FindRecentFile(r, "A"), 0) << "the oldest fell out";
  EXPECT_EQ(FindRecentFile(r, "3"), 4) << "positions count from one";
  ClearRecentFiles(r);
  EXPECT_TRUE(r.Count == 0 && std::count(r.Files.begin(), r.Files.end(), "") == 5);
  for (const char* n : {"main.qbl", "Main.qbl", "./Main.qbl"}) AddRecentFile(r, n);
  EXPECT_EQ(FindRecentFile(r, "Main.qbl"), 2) << "names are compared exactly";
  EXPECT_EQ(FindRecentFile(r, "MAIN.QBL"), 0);
  EXPECT_EQ(FindRecentFile(r, ""), 0) << "an unused position is no match";
}

}  // namespace
