// The recent-files list: order, capacity and exact name comparison.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecentFiles.h"

namespace {

class RecentFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearRecentFiles(r_); }
  void Open(std::initializer_list<const char*> names) {
    for (const char* n : names) AddRecentFile(r_, n);
  }
  std::vector<std::string> Listed() const {
    return std::vector<std::string>(r_.Files.begin(), r_.Files.begin() + r_.Count);
  }
  TRecentFiles r_;
};

TEST_F(RecentFilesTest, ReopeningMovesANameToTheTop) {
  Open({"A", "B", "C", "B"});
  EXPECT_EQ(Listed(), (std::vector<std::string>{"B", "C", "A"}));
  EXPECT_EQ(r_.Files[3], "");
  Open({"A"});
  EXPECT_EQ(Listed(), (std::vector<std::string>{"A", "B", "C"}));
}

TEST_F(RecentFilesTest, SixFilesKeepTheNewestFive) {
  Open({"1", "2", "3", "4", "5", "6"});
  EXPECT_EQ(r_.Count, 5);
  EXPECT_EQ(Listed(), (std::vector<std::string>{"6", "5", "4", "3", "2"}));
  EXPECT_EQ(FindRecentFile(r_, "1"), 0);
  Open({"4"});
  EXPECT_EQ(Listed(), (std::vector<std::string>{"4", "6", "5", "3", "2"}));
  Open({"2"});
  EXPECT_EQ(Listed(), (std::vector<std::string>{"2", "4", "6", "5", "3"}));
}

TEST_F(RecentFilesTest, NamesAreComparedExactly) {
  Open({"main.qbl", "Main.qbl", "./Main.qbl"});
  EXPECT_EQ(r_.Count, 3);
  EXPECT_EQ(FindRecentFile(r_, "Main.qbl"), 2);
  EXPECT_EQ(FindRecentFile(r_, "MAIN.QBL"), 0);
}

TEST_F(RecentFilesTest, ClearEmptiesEveryPositionAndEmptyNamesNeverMatch) {
  Open({"a", "b"});
  EXPECT_EQ(FindRecentFile(r_, ""), 0) << "an unused position is no match";
  ClearRecentFiles(r_);
  EXPECT_EQ(r_.Count, 0);
  for (const std::string& f : r_.Files) EXPECT_EQ(f, "");
  EXPECT_EQ(FindRecentFile(r_, "a"), 0);
}

}  // namespace
