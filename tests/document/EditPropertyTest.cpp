// Random edits over random documents with nested sections, then undo step by step:
// every edit leaves the text that a plain model of it gives (and the sections, where it
// moves no line), every undo brings back the text, the section tree and the caret that
// stood before the operation that made the record, and every step keeps the promises.

#include <algorithm>
#include <deque>
#include <optional>
#include <random>

#include "DocumentInvariants.h"
#include "RangeFixture.h"

namespace {

// Pieces between "\r\n"s, the last one even when empty.
Lines Split(const std::string& text) {
  Lines out;
  for (std::size_t from = 0, at;; from = at + 2) {
    at = text.find("\r\n", from);
    out.push_back(text.substr(from, at - from));
    if (at == std::string::npos) return out;
  }
}

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

  // The model of an edit: [s, e) in either order replaced, the start line padded with
  // blanks up to its column.
  Lines Replaced(TTextPos s, TTextPos e, const std::string& with) const {
    Lines t = Text();
    if (e < s) std::swap(s, e);
    std::string joined = t[std::size_t(s.Y)];
    joined.resize(std::size_t(s.X), ' ');
    joined += with + t[std::size_t(e.Y)].substr(std::min(std::size_t(e.X), t[std::size_t(e.Y)].size()));
    const Lines pieces = Split(joined);
    t.erase(t.begin() + s.Y, t.begin() + e.Y + 1);
    t.insert(t.begin() + s.Y, pieces.begin(), pieces.end());
    return t;
  }
  Lines Replaced(const std::string& with) const { return Replaced(memo.Range->StartPos, memo.Range->EndPos, with); }
  // Delete: the selection, else the character at the caret, else the line break after it.
  Lines Deleted() const {
    const TTextPos c = memo.Range->CaretPos;
    if (!memo.Range->IsEmpty()) return Replaced("");
    if (c.X < LineLen(c.Y)) return Replaced(c, {c.X + 1, c.Y}, "");
    return c.Y + 1 < memo.Lines->Count() ? Replaced(c, {0, c.Y + 1}, "") : Text();
  }
  // A paste gives the sections block's lines without their markers, each line ended.
  Lines Pasted() const {
    if (!clip.HasSections()) return Replaced(clip.GetText());
    std::string block = clip.GetSectionsBlock(), text;
    Lines lines = Split(block.substr(0, block.find('\0')));
    if (lines.back().empty()) lines.pop_back();
    for (const std::string& l : lines)
      text += l.substr(l.starts_with("{<+}") || l.starts_with("{<-}") || l.starts_with("{>>}") ? 4 : 0) + "\r\n";
    return Replaced(text);
  }
  // Indent (0), unindent (1) and the "//" comment (2) of the selected lines; the first
  // line decides whether comments come or go.
  Lines Prefixed(int command) const {
    Lines t = Text();
    const auto [s, e] = std::minmax(memo.Range->StartPos, memo.Range->EndPos);
    const bool uncomment = t[std::size_t(s.Y)].starts_with("//");
    for (int y = s.Y; y <= e.Y; ++y) {
      std::string& l = t[std::size_t(y)];
      if (command == 0) l.insert(0, "    ");
      if (command == 1 && l.starts_with("    ")) l.erase(0, 4);
      if (command == 2 && l.starts_with("//") == uncomment) uncomment ? l.erase(0, 2) : l.insert(0, "//");
    }
    return t;
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
    want = Deleted();
    r.DeleteSelection();
  }

  // Runs one user action and pairs a record it makes with the state before it.
  template <typename Action>
  void Do(Action&& action) {
    const State before = Take();
    const TSxSynMemoUndoItem* last = range().LastUndoItem();
    want.reset();
    keepSections = false;
    action();
    const TDocumentSnapshot now = Take().first;
    const TDocumentSnapshot model = WithoutTrailingBlanks(
        {want.value_or(now.Lines), keepSections ? before.first.Sections : now.Sections});
    ASSERT_TRUE(now == model) << "step " << step << ": " << DescribeDifference(model, now);
    const auto& list = range().UndoList;
    std::size_t fresh = 0;
    while (fresh < list.size() && list[list.size() - 1 - fresh].get() != last) ++fresh;
    // One record per action, but a new section's record is followed by the caret move's.
    ASSERT_LE(fresh, 2u);
    if (fresh >= 1) Expect(before);
    if (fresh == 2) {
      ASSERT_EQ(range().LastUndoItem()->Kind, ukCaret);
      Expect({Take().first, range().LastUndoItem()->CaretPos});
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
    auto replace = [&](const std::string& with, TUndoKind k) {
      keepSections = r.StartPos.Y == r.EndPos.Y && with.find('\n') == std::string::npos;
      want = Replaced(with), r.ReplaceSelection(with, k);
    };
    switch (Rand(0, 19)) {
      case 0: case 1: case 2: Do([&] { replace(std::string(1, "ab \xF0z{"[Rand(0, 5)]), ukTyping); }); break;
      case 3: Do([&] { replace("\r\n" + std::string(Rand(0, 4), ' '), ukTyping); }); break;
      case 4: case 5: Do([&] { Backspace(); }); break;
      case 6: if (memo.Lines->Count() > 80) SelectRandom(); Do([&] { want = Deleted(), r.DeleteSelection(); }); break;
      case 7: Do([&] { replace(Chance(50) ? "p\r\nq" : "r\r\n\r\ns", ukPaste); }); break;
      case 8:
        SelectRandom(), r.CopyToClipboard(), MoveCaret(), Do([&] { want = Pasted(), r.PasteFromClipboard(); });
        break;
      case 9: SelectRandom(), Do([&] { want = Replaced(""), r.CutToClipboard(); }); break;
      case 10: if (Chance(50)) SelectRandom(); Do([&] { r.CreateSectionFromSelection(); }); break;
      case 11: Do([&] { want = Text(), r.RemoveCaretSection(Chance(30)); }); break;  // nested, or forward for the jump
      case 12: Do([&] { want = Text(), keepSections = true, r.CollapseCaretSection(Chance(30)); }); break;
      case 13: Do([&] { want = Text(), keepSections = true, r.ExpandCaretSection(Chance(30)); }); break;
      case 14: Do([&] { want = Text(), keepSections = true, r.GotoSection(Chance(30)); }); break;
      case 15: MoveCaret(); break;
      case 16: Do([&] { const int d = Rand(-4, 4), v = Chance(50); r.ExtendSelection(d, v, Chance(50)); }); break;
      case 17: Do([&] {
        const int command = Chance(33) ? 0 : Chance(50) ? 1 : 2;
        const std::pair selection(r.StartPos, r.EndPos);
        want = Prefixed(command);
        command == 0 ? r.IndentLines() : command == 1 ? r.UnindentLines() : r.ToggleLineComment("//");
        EXPECT_EQ(std::pair(r.StartPos, r.EndPos), selection) << "the selection stays";
      });
        break;
      default:
        clip.SetText("t");
        clip.AddSectionsBlock(std::string("{<+}u\r\n{<-}v\r\nw\r\n{>>}x\r\n{>>}y") + '\0');
        Do([&] { want = Pasted(), r.PasteFromClipboard(); });
        break;
    }
  }

  std::mt19937 rng;
  int step = 0;
  std::deque<State> expected;  // one per undo record, oldest first
  std::optional<Lines> want;    // the text the current action must leave, when modelled
  bool keepSections = false;    // whether it must leave the sections as they were
};

TEST_P(EditPropertyTest, UndoRestoresEveryRecordedState) {
  const PropertyRun run = GetParam();
  rng.seed(run.seed);
  SetOption(smoGroupUndo, run.seed % 2 == 0);
  Lines lines;
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
