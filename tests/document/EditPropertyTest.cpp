// Random edits over random documents with nested sections, then undo step by step:
// every undo must bring back the text, the section tree and the caret that stood
// before the operation that made the record, and every step keeps the document's promises.
#include <gtest/gtest.h>

#include <deque>
#include <random>

#include "DocumentInvariants.h"
#include "RangeFixture.h"

namespace {

// The document (trailing blanks removed; folding is view state) and the caret.
using State = std::pair<TDocumentSnapshot, TTextPos>;

// A seed, the document's least number of lines and the number of operations.
struct PropertyRun { unsigned seed; std::size_t lines; int steps; };
void PrintTo(const PropertyRun& r, std::ostream* os) { *os << "seed " << r.seed << ", " << r.lines << " lines"; }

class EditPropertyTest : public RangeFixture, public ::testing::WithParamInterface<PropertyRun> {
 protected:
  int Rand(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
  bool Chance(int percent) { return Rand(1, 100) <= percent; }
  std::string Word() {
    static const char* const words[] = {"if", "x", "foo", "  ", "\xE0\xE1\xE2", "{", "}", "bar baz", "", "q "};
    return words[Rand(0, 9)];
  }

  void EmitBlock(std::vector<std::string>& out, int depth) {
    for (int items = Rand(1, 4); items > 0; --items) {
      const bool nest = depth < 4 && Chance(35);
      out.push_back((nest ? Chance(30) ? "{<-}" : "{<+}" : "") + Word());
      if (nest) EmitBlock(out, depth + 1), out.push_back("{>>}" + Word());
    }
  }

  State Take() const { return {WithoutTrailingBlanks(TakeSnapshot(memo)), memo.Range->CaretPos}; }
  int LineLen(int y) const { return static_cast<int>(memo.Lines->Get(y).size()); }
  TTextPos RandomPos() {
    const int y = Rand(0, memo.Lines->Count() - 1);
    return {Rand(0, LineLen(y) + 3), y};
  }

  // Backspace as the keyboard does it: leading blanks go at once, column 0 joins the
  // previous visible line, a selection the caret has left is deleted as it stands and an
  // empty one collapses onto the caret.
  void Backspace() {
    TSxSynMemoRange& r = range();
    r.CollapseOntoStrayCaret();
    const TTextPos c = r.CaretPos;
    if (c.X > 0) {
      const bool blanks = memo.Lines->Get(c.Y).substr(0, std::size_t(c.X)).find_first_not_of(' ') == std::string::npos;
      r.StartPos.X = blanks ? 0 : c.X - 1;
    } else if (c.Y > 0 && memo.LineAtOffset(c.Y, -1, true) == c.Y - 1) {
      r.StartPos = {LineLen(c.Y - 1), c.Y - 1};
    } else if (r.IsEmpty()) {
      return;
    }
    r.DeleteSelection();
  }

  // Runs one user action and pairs a record it makes with the state before it.
  template <typename Action>
  void Do(Action&& action) {
    const State before = Take();
    const TSxSynMemoUndoItem* last = range().LastUndoItem();
    action();
    const auto& list = range().UndoList;
    std::size_t fresh = 0;
    while (fresh < list.size() && list[list.size() - 1 - fresh].get() != last) ++fresh;
    // One record per action, but a new section's record is followed by the caret move's.
    ASSERT_LE(fresh, 2u);
    if (fresh >= 1) Expect(before);
    if (fresh == 2) {
      ASSERT_EQ(range().LastUndoItem()->Kind, ukCaret);
      State moved = Take();
      moved.second = range().LastUndoItem()->CaretPos;
      Expect(moved);
    }
  }
  void Expect(const State& s) {
    expected.push_back(s);
    if (expected.size() > static_cast<std::size_t>(range().UndoLimit)) expected.pop_front();
  }

  void MoveCaret() { Do([&] { range().ClearSelection(), range().SetCaretPos(RandomPos()); }); }

  void SelectRandom() {
    MoveCaret();
    // Large selections keep the document from growing without bound.
    const int reach = memo.Lines->Count() > 80 ? 30 : 3;
    Do([&] { const int lines = Rand(-reach, reach); range().ExtendSelection(lines, true, Chance(50)); });
    Do([&] { range().ExtendSelection(Rand(-6, 6), false, false); });
  }

  // Random draws happen inside the actions, one per statement, so a seed replays exactly.
  void RandomOperation() {
    TSxSynMemoRange& r = range();
    switch (Rand(0, 19)) {
      case 0: case 1: case 2: Do([&] { r.ReplaceSelection(std::string(1, "ab \xF0z{"[Rand(0, 5)]), ukTyping); }); break;
      case 3: Do([&] { r.ReplaceSelection("\r\n" + std::string(Rand(0, 4), ' '), ukTyping); }); break;
      case 4: case 5: Do([&] { Backspace(); }); break;
      case 6: if (memo.Lines->Count() > 80) SelectRandom(); Do([&] { r.DeleteSelection(); }); break;
      case 7: Do([&] { r.ReplaceSelection(Chance(50) ? "p\r\nq" : "r\r\n\r\ns", ukPaste); }); break;
      case 8: SelectRandom(), r.CopyToClipboard(), MoveCaret(), Do([&] { r.PasteFromClipboard(); }); break;
      case 9: SelectRandom(), Do([&] { r.CutToClipboard(); }); break;
      case 10: if (Chance(50)) SelectRandom(); Do([&] { r.CreateSectionFromSelection(); }); break;
      case 11: Do([&] { r.RemoveCaretSection(Chance(30)); }); break;  // nested, or forward for the jump
      case 12: Do([&] { r.CollapseCaretSection(Chance(30)); }); break;
      case 13: Do([&] { r.ExpandCaretSection(Chance(30)); }); break;
      case 14: Do([&] { r.GotoSection(Chance(30)); }); break;
      case 15: MoveCaret(); break;
      case 16: Do([&] { const int d = Rand(-4, 4), v = Chance(50); r.ExtendSelection(d, v, Chance(50)); }); break;
      case 17: Do([&] { Chance(33) ? r.IndentLines() : Chance(50) ? r.UnindentLines() : r.ToggleLineComment("//"); });
        break;
      default:
        clip.SetText("t");
        clip.AddSectionsBlock(std::string("{<+}u\r\n{<-}v\r\nw\r\n{>>}x\r\n{>>}y") + '\0');
        Do([&] { r.PasteFromClipboard(); });
        break;
    }
  }

  std::mt19937 rng;
  int step = 0;
  std::deque<State> expected;  // one per undo record, oldest first
};

TEST_P(EditPropertyTest, UndoRestoresEveryRecordedState) {
  const PropertyRun run = GetParam();
  rng.seed(run.seed);
  SetOption(smoGroupUndo, run.seed % 2 == 0);
  std::vector<std::string> lines;
  while (lines.size() < run.lines) EmitBlock(lines, 0);
  Load(lines);
  // Thousands of operations with undos among them, then every remaining record undone.
  for (step = 0; step < run.steps || range().CanUndo(); ++step) {
    if (step >= run.steps || (Chance(8) && range().CanUndo())) {
      range().Undo();
      const State now = Take();
      ASSERT_TRUE(now == expected.back()) << "step " << step << ": " << DescribeDifference(expected.back().first, now.first)
                                          << " caret " << ::testing::PrintToString(now.second);
      expected.pop_back();
    } else {
      RandomOperation();
      if (HasFatalFailure()) return;
    }
    ASSERT_EQ(expected.size(), range().UndoList.size()) << "step " << step;
    ASSERT_EQ(CheckDocumentInvariants(memo), "") << "step " << step;
  }
}

// Small documents reach every repair; large ones hold thousands of sections, so line
// shifts and undo meet long runs of siblings and deep boundaries.
INSTANTIATE_TEST_SUITE_P(Seeds, EditPropertyTest, ::testing::Values(PropertyRun{1, 30, 2500}, PropertyRun{2, 30, 2500},
    PropertyRun{3, 30, 2500}, PropertyRun{4, 30, 2500}, PropertyRun{5, 30, 2500}, PropertyRun{6, 30, 2500},
    PropertyRun{7, 14000, 300}, PropertyRun{8, 14000, 300}));

}  // namespace
