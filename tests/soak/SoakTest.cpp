// The soak: the real main window under a long random stream of user operations, the
// document's promises checked after each. SOAK_OPS (default 3000), SOAK_SECONDS (run
// by time instead) and SOAK_SEED choose the run; a failure names the seed and the last
// operations so it can be replayed.
#include <chrono>
#include <cstdlib>
#include <iostream>

#include "SoakDriver.h"
#include "app/FormFixture.h"

namespace {

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::strtoull(v, nullptr, 10) : fallback;
}

class SoakTest : public FormFixture {};

TEST_F(SoakTest, RandomUseKeepsEveryPromise) {
  const std::uint64_t seed = EnvNumber("SOAK_SEED", 20240611);
  const std::uint64_t maxOps = EnvNumber("SOAK_OPS", 3000);
  const std::uint64_t seconds = EnvNumber("SOAK_SECONDS", 0);
  Start();
  form_->resize(900, 600);
  form_->show();
  TSoakDriver driver(*form_, *dialogs_, clipboard_, dir_ / "soak", seed);
  const auto start = std::chrono::steady_clock::now();
  auto elapsed = [&] { return std::chrono::steady_clock::now() - start; };
  while (seconds > 0 ? elapsed() < std::chrono::seconds(seconds) : driver.Operations() < maxOps) {
    const std::string failure = driver.Step();
    ASSERT_EQ(failure, "") << "seed " << seed << ", operation " << driver.Operations() << "; latest operations:\n"
                           << driver.RecentOperations();
  }
  std::cout << "soak: seed " << seed << ", " << driver.Operations() << " operations, " << driver.Undos()
            << " undos checked, " << driver.Saves() << " saves checked, " << driver.Rewinds() << " rewinds\n";
  EXPECT_GT(driver.Undos(), 0u);
  EXPECT_GT(driver.Saves(), 0u);
}

// The checker itself must see broken promises, or a quiet soak proves nothing.
class InvariantCheckTest : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    Start();
    Lines().LoadFromStream("a\r\n{<+}b\r\nc\r\n{<-}d\r\ne\r\n{>>}f\r\n{>>}g\r\nh\r\n");
  }
  TSxSynMemoSection& Outer() { return *Memo().SectionTree->Root()->Children.at(0); }
};

TEST_F(InvariantCheckTest, ASoundDocumentPasses) {
  EXPECT_EQ(CheckControlInvariants(Memo()), "");
}

TEST_F(InvariantCheckTest, ChildNamingAnotherParentIsReported) {
  Outer().Children.at(0)->Parent = Memo().SectionTree->Root();
  EXPECT_NE(CheckDocumentInvariants(Memo()), "");
}

TEST_F(InvariantCheckTest, WrongLevelIsReported) {
  Outer().Children.at(0)->Level = 5;
  EXPECT_NE(CheckDocumentInvariants(Memo()), "");
}

TEST_F(InvariantCheckTest, StaleVisibleMapIsReported) {
  Outer().Collapsed = true;  // folded behind the tree's back: the map still shows the lines
  EXPECT_NE(CheckDocumentInvariants(Memo()), "");
}

TEST_F(InvariantCheckTest, ReversedSelectionIsReported) {
  Memo().Range->StartPos = {0, 3};
  Memo().Range->EndPos = {0, 1};
  EXPECT_NE(CheckDocumentInvariants(Memo()), "");
}

TEST_F(InvariantCheckTest, HiddenTopLineIsReported) {
  Memo().SectionTree->CollapseSection(1, false, false);
  Memo().TopLine = 2;
  EXPECT_NE(CheckControlInvariants(Memo()), "");
}

TEST_F(InvariantCheckTest, SnapshotsDifferInTextOrSectionsButNotInFolding) {
  const TDocumentSnapshot a = TakeSnapshot(Memo());
  Memo().SectionTree->CollapseSection(1, true, false);
  EXPECT_EQ(TakeSnapshot(Memo()), a);
  Memo().SectionTree->RemoveSection(3, false);
  EXPECT_NE(TakeSnapshot(Memo()), a);
  EXPECT_NE(DescribeDifference(a, TakeSnapshot(Memo())), "");
}

}  // namespace
