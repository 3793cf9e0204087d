// Caret, selection and the editing primitive: the shapes of ReplaceSelection the edit
// property test's model leaves out, caret clamping and trimming, and selections.
#include "RangeFixture.h"

namespace {

class RangeTest : public RangeFixture {
 protected:
  std::pair<TTextPos, TTextPos> Sel() const { return {memo.Range->StartPos, memo.Range->EndPos}; }
};

// The selection (start, end; equal for a bare caret) replaced by `with` gives `result`,
// the caret and the section tree.
struct ReplaceCase { const char* rule; Lines text; TTextPos start, end; std::string with; Lines result; TTextPos caret;
                     const char* tree = ""; };

const ReplaceCase kReplaceCases[] = {
    {"lone CR and LF split the text and NUL ends it", {"ab"}, P(1, 0), P(1, 0), std::string("1\r2\n3\0ignored", 13),
     {"a1", "2", "3b"}, P(1, 2)},
    {"a reversed range is put in order", {"abcdef"}, P(4, 0), P(1, 0), "", {"aef"}, P(1, 0)},
    {"positions past the text are clamped", {"ab", "cd"}, P(1, 0), P(3, 9), "Z", {"aZ"}, P(2, 0)},
    {"whole lines at column 0 go before the caret line and its section", {"{<+}head", "body", "{>>}tail"}, P(0, 0),
     P(0, 0), "n1\r\nn2\r\n", {"n1", "n2", "head", "body", "tail"}, P(0, 2), "[2-4]"},
    {"lines inserted mid-line go after the start line", {"{<+}head", "body", "{>>}tail"}, P(2, 1), P(2, 1),
     "X\r\nY\r\nZ", {"head", "boX", "Y", "Zdy", "tail"}, P(1, 3), "[0-4]"},
    {"regression: a document without lines was written past its end", {}, P(0, 0), P(0, 0), "a\r\nb", {"a", "b"},
     P(1, 1)},
};

TEST_F(RangeTest, EveryShapeOfReplacement) {
  for (const ReplaceCase& c : kReplaceCases) {
    SCOPED_TRACE(c.rule);
    Load(c.text);
    Caret(c.start.X, c.start.Y);
    range().StartPos = c.start;
    range().EndPos = c.end;
    range().ReplaceSelection(c.with, ukPaste);
    EXPECT_EQ(Text(), c.result);
    EXPECT_EQ(range().CaretPos, c.caret);
    EXPECT_TRUE(range().IsEmpty());
    EXPECT_EQ(Tree(), c.tree);
    EXPECT_EQ(memo.SectionTree->Root()->LastLine(), memo.Lines->Count());
  }
}

// Leaving a line trims its trailing blanks without a change or a record; a move below the
// text appends one empty line, only once; OnCaretMove sees the request before clamping.
TEST_F(RangeTest, CaretMovesTrimClampAndAppend) {
  Load({"ab  ", "cd"});
  memo.Lines->SetModified(false);
  Caret(1, 0);
  const auto records = range().UndoList.size();
  std::vector<TTextPos> seen;
  range().OnCaretMove = [&](const TTextPos& p) { seen.push_back(p); };
  Caret(-4, -2);
  Caret(0, 0);
  Caret(1, 1);
  EXPECT_EQ(seen, (std::vector<TTextPos>{P(-4, -2), P(1, 1)})) << "a move to the same place is no move";
  EXPECT_EQ(Text(), (Lines{"ab", "cd"}));
  EXPECT_FALSE(memo.Lines->Modified());
  EXPECT_EQ(range().UndoList.size(), records);
  Caret(3, 5);
  EXPECT_EQ(range().CaretPos, P(3, 2));
  Caret(0, 9);
  EXPECT_EQ(Text(), (Lines{"ab", "cd", ""}));
  EXPECT_EQ(range().CaretPos, P(0, 2));
  EXPECT_EQ(memo.SectionTree->Root()->LastLine(), 3);
}

// Extending past the anchor swaps the ends and a caret move keeps the anchor; steps clamp
// to line and document and skip collapsed sections; a character count ending inside a
// line break stops at the line end.
TEST_F(RangeTest, ExtendingAndCountedSelections) {
  Load({"abcdef", "bbbb", "cccc"});
  Caret(3, 0);
  range().ExtendSelection(2, false, false);
  range().ExtendSelection(-4, false, false);
  EXPECT_EQ(Sel(), std::make_pair(P(1, 0), P(3, 0)));
  EXPECT_EQ(range().CaretPos, P(1, 0));
  Caret(2, 1);
  range().ExtendSelection(1, true, false);
  range().ExtendSelection(-2, true, false);
  range().SetCaretPos({5, 0});
  EXPECT_EQ(Sel(), std::make_pair(P(2, 0), P(2, 1)));
  range().ExtendSelection(50, false, false);
  range().ExtendSelection(9, true, false);
  EXPECT_EQ(range().CaretPos, P(6, 2)) << "to the end of the first line, then to the last line";
  for (auto [count, text] : {std::pair<int, const char*>{2, "cd"}, {5, "cdef"}, {100, "cdef\r\nbbbb\r\ncccc"}}) {
    Caret(2, 0);
    range().SelectChars(count);
    EXPECT_EQ(range().GetSelText(), text) << count;
  }
  range().SelectAll();
  EXPECT_EQ(Sel(), std::make_pair(P(0, 0), P(4, 2)));
  range().SetCaretOffset(10);  // two per line break
  range().SelectToStart();
  EXPECT_EQ(range().GetSelText(), "abcdef\r\nbb");
  Load({"top", "{<-}fold", "hidden", "{>>}end", "below"});
  Caret(0, 0);
  range().ExtendSelection(2, true, true);
  EXPECT_EQ(range().CaretPos.Y, 4);
}

}  // namespace
