// The matching engine: case folding, whole words, wrap-around and matches bounded by a
// selection (replacing them and its undo are the soak's).
#include "document/Search.h"

#include "RangeFixture.h"

namespace {

class SearchTest : public RangeFixture {
 protected:
  std::vector<TTextPos> Matches(const TSxSearchPattern& p, TTextPos from = {0, 0}, TTextPos to = {MaxInt, MaxInt}) {
    std::vector<TTextPos> out;
    for (const TSxLineSpan& s : CollectMatches(*memo.Lines, p, from, to)) out.push_back({s.Column, s.Line});
    return out;
  }
};

TEST(SearchPattern, CaseFoldingCoversCyrillicLettersAndYo) {
  struct Case { const char* text; const char* pattern; bool matchCase; int column; };
  for (const Case& c : {Case{"Привет МИР", "мир", false, 7}, Case{"Привет МИР", "мир", true, -1},
                        Case{"ЁЛКА и ёлка", "Ёлка", false, 0}, Case{"ЁЛКА и ёлка", "ёлка", true, 7},
                        Case{"елка", "ёлка", false, -1}, Case{"Щит ЪЭЮЯ", "ъэюя", false, 4},
                        Case{"Ўў Її Єє", "ЇЇ", false, 3}, Case{"QeB qeb", "qeb", true, 4},
                        Case{"QeB qeb", "QEB", false, 0}, Case{"кот", "", false, -1}})
    EXPECT_EQ(TSxSearchPattern(W(c.pattern), {c.matchCase, false}).FindIn(W(c.text), 0), c.column)
        << c.text << " / " << c.pattern << (c.matchCase ? " exact" : " folded");
}

// Letters, digits and "_" are word characters; Cyrillic letters are one byte each.
TEST_F(SearchTest, WholeWordEdgesFollowTheTokenizersWordCharacters) {
  Load({W("кот кот1 _кот кот_ 2кот (КОТ). котик кот")});
  EXPECT_EQ(Matches(TSxSearchPattern(W("кот"), {false, true})), (std::vector<TTextPos>{{0, 0}, {25, 0}, {37, 0}}));
  EXPECT_EQ(Matches(TSxSearchPattern(W("кот"), {false, false})).size(), 8u);
}

TEST_F(SearchTest, SearchWrapsAroundInBothDirections) {
  Load({"x1", "--", "x2 x3"});
  struct Case { TTextPos from; bool forward; TTextPos found; bool wrapped; };
  const TSxSearchPattern x("x", {});
  for (const Case& c : {Case{{0, 0}, true, {0, 0}, false}, Case{{1, 0}, true, {0, 2}, false},
                        Case{{4, 2}, true, {0, 0}, true}, Case{{0, 0}, false, {3, 2}, true},
                        Case{{3, 2}, false, {0, 2}, false}, Case{{0, 2}, false, {0, 0}, false}}) {
    const TSxSearchHit hit = FindMatch(*memo.Lines, x, c.from, c.forward);
    EXPECT_TRUE(hit.Found && hit.Start == c.found && hit.Wrapped == c.wrapped)
        << "from " << c.from.X << "," << c.from.Y << (c.forward ? " forward" : " backward");
  }
  Load({"ab x cd"});  // the only match lies behind the start: found once the search wraps
  EXPECT_TRUE(FindMatch(*memo.Lines, x, {5, 0}, true).Wrapped);
  EXPECT_TRUE(FindMatch(*memo.Lines, x, {2, 0}, false).Wrapped);
  EXPECT_FALSE(FindMatch(*memo.Lines, TSxSearchPattern("y", {}), {0, 0}, true).Found);
}

TEST_F(SearchTest, MatchesAreCollectedWithinTheSelectionOnly) {
  Load({"ab ab", "ab", "ab ab"});
  EXPECT_EQ(Matches(TSxSearchPattern("ab", {}), {2, 0}, {3, 2}), (std::vector<TTextPos>{{3, 0}, {0, 1}, {0, 2}}));
}

// Any slice size gives the count of the whole text; a change of the text restarts it.
TEST_F(SearchTest, CountingInSlicesCoversLongLinesAndRestartsOnChange) {
  std::string longLine;
  for (int i = 0; i < 300; ++i) longLine += i % 7 ? "ab " : "aab ";
  Load({longLine, "", "ab", longLine});
  const TSxSearchPattern ab("ab", {});
  const std::size_t whole = Matches(ab).size();
  for (std::int64_t slice : {1, 5, 64, 1 << 20}) {
    TSxMatchCounter counter;
    counter.Restart(ab);
    while (!counter.Step(*memo.Lines, slice)) {}
    EXPECT_TRUE(counter.Current(*memo.Lines));
    EXPECT_EQ(counter.Count(), static_cast<std::int64_t>(whole)) << "slices of " << slice;
    if (slice == 64) {
      memo.Lines->Put(2, "ab ab");
      EXPECT_FALSE(counter.Current(*memo.Lines));
      while (!counter.Step(*memo.Lines, slice)) {}
      EXPECT_EQ(counter.Count(), static_cast<std::int64_t>(whole) + 1);
      memo.Lines->Put(2, "ab");
    }
  }
}

}  // namespace
