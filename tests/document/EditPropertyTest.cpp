// Random edits over random documents with nested sections, then undo step by step:
// every undo must bring back the text, the section tree and the caret that stood
// before the operation that made the record.
#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <sstream>

#include "RangeFixture.h"

namespace {

struct Snapshot {
  std::vector<std::string> lines;  // trailing blanks removed
  std::string tree;                // ranges and levels; folding is view state
  TTextPos caret;
};

bool operator==(const Snapshot& a, const Snapshot& b) {
  return a.lines == b.lines && a.tree == b.tree && a.caret == b.caret;
}

class EditPropertyTest : public RangeFixture, public ::testing::WithParamInterface<unsigned> {
 protected:
  int Rand(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
  bool Chance(int percent) { return Rand(1, 100) <= percent; }

  std::string Word() {
    static const char* const words[] = {"if", "x", "foo", "  ", "\xE0\xE1\xE2", "{", "}", "bar baz", "", "q "};
    return words[Rand(0, 9)];
  }

  void EmitBlock(std::vector<std::string>& out, int depth) {
    const int items = Rand(1, 4);
    for (int i = 0; i < items; ++i) {
      if (depth < 4 && Chance(35)) {
        out.push_back((Chance(30) ? "{<-}" : "{<+}") + Word());
        EmitBlock(out, depth + 1);
        out.push_back("{>>}" + Word());
      } else {
        out.push_back(Word());
      }
    }
  }

  void RandomDocument() {
    std::vector<std::string> lines;
    while (lines.size() < 30) EmitBlock(lines, 0);
    Load(lines);
  }

  Snapshot Take() const {
    Snapshot s;
    for (int i = 0; i < memo.Lines->Count(); ++i) {
      std::string_view t = memo.Lines->Get(i);
      while (!t.empty() && static_cast<unsigned char>(t.back()) <= 32) t.remove_suffix(1);
      s.lines.emplace_back(t);
    }
    s.tree = TreeWithLevels();
    s.caret = memo.Range->CaretPos;
    return s;
  }

  static std::string Describe(const Snapshot& s) {
    std::ostringstream os;
    os << "caret (" << s.caret.X << ", " << s.caret.Y << ") tree " << s.tree << " lines";
    for (const auto& l : s.lines) os << " |" << l;
    return os.str();
  }

  // The tree's invariants: the root spans the text, children lie strictly inside their
  // parent, siblings are ordered and disjoint, levels count the depth.
  void CheckTree(const TSxSynMemoSection& s) {
    std::int32_t prevLast = s.FirstLine;
    for (const auto& c : s.Children) {
      ASSERT_EQ(c->Parent, &s);
      ASSERT_EQ(c->Level, s.Level + 1);
      ASSERT_LT(c->FirstLine, c->LastLine);
      ASSERT_LT(prevLast, c->FirstLine);
      ASSERT_LT(c->LastLine, s.LastLine);
      prevLast = c->LastLine;
      CheckTree(*c);
    }
  }

  int LineLen(int y) const { return static_cast<int>(memo.Lines->Get(y).size()); }
  TTextPos RandomPos() {
    const int y = Rand(0, memo.Lines->Count() - 1);
    return {Rand(0, LineLen(y) + 3), y};
  }

  void Backspace() {
    TSxSynMemoRange& r = range();
    const TTextPos c = r.CaretPos;
    if (c.X == 0) {
      if (c.Y > 0 && memo.LineAtOffset(c.Y, -1, true) == c.Y - 1) {
        r.StartPos = {LineLen(c.Y - 1), c.Y - 1};
        r.DeleteSelection();
      } else if (!r.IsEmpty()) {
        r.DeleteSelection();
      }
      return;
    }
    std::string_view head = memo.Lines->Get(c.Y).substr(0, static_cast<std::size_t>(c.X));
    const bool blanks = head.find_first_not_of(' ') == std::string_view::npos;
    r.StartPos.X = blanks ? 0 : c.X - 1;
    r.DeleteSelection();
  }

  void Enter() {
    int i = range().CaretPos.Y;
    auto trimmed = [&](int y) {
      std::string_view t = memo.Lines->Get(y);
      const auto b = t.find_first_not_of(' ');
      return b == std::string_view::npos ? std::string_view{} : t.substr(b);
    };
    while (i > 0 && trimmed(i).empty()) --i;
    std::string_view s = memo.Lines->Get(i);
    const auto b = s.find_first_not_of(' ');
    std::string indent(b == std::string_view::npos ? std::string_view{} : s.substr(0, b));
    range().ReplaceSelection("\r\n" + indent, ukTyping);
  }

  // Runs one user action and pairs a record it makes with the state before it.
  template <typename Action>
  void Do(Action&& action) {
    const Snapshot before = Take();
    const TSxSynMemoUndoItem* last = range().LastUndoItem();
    const std::size_t count = range().UndoList.size();
    action();
    ASSERT_LE(range().UndoList.size(), count + 1) << "one record per action at most";
    if (range().LastUndoItem() != last) {
      expected.push_back(before);
      if (expected.size() > static_cast<std::size_t>(range().UndoLimit)) expected.pop_front();
    }
  }

  void MoveCaret() {
    Do([&] {
      range().ClearSelection();
      range().SetCaretPos(RandomPos());
    });
  }

  void SelectRandom() {
    MoveCaret();
    // Large selections keep the document from growing without bound.
    const int reach = memo.Lines->Count() > 80 ? 30 : 3;
    const int lines = Rand(-reach, reach);
    const bool visible = Chance(50);
    Do([&] { range().ExtendSelection(lines, true, visible); });
    const int cols = Rand(-6, 6);
    Do([&] { range().ExtendSelection(cols, false, false); });
  }

  void RandomOperation() {
    TSxSynMemoRange& r = range();
    const int choice = Rand(0, 19);
    switch (choice) {
      case 0: case 1: case 2: {
        const char c = "ab \xF0z{"[Rand(0, 5)];
        Do([&] { r.ReplaceSelection(std::string(1, c), ukTyping); });
        break;
      }
      case 3: Do([&] { Enter(); }); break;
      case 4: case 5: Do([&] { Backspace(); }); break;
      case 6:
        if (memo.Lines->Count() > 80) SelectRandom();
        Do([&] { r.DeleteSelection(); });
        break;
      case 7: {
        const char* text = Chance(50) ? "p\r\nq" : "r\r\n\r\ns";
        Do([&] { r.ReplaceSelection(text, ukPaste); });
        break;
      }
      case 8:
        SelectRandom();
        r.CopyToClipboard();
        MoveCaret();
        Do([&] { r.PasteFromClipboard(); });
        break;
      case 9:
        SelectRandom();
        Do([&] { r.CutToClipboard(); });
        break;
      case 10:
        if (Chance(50)) SelectRandom();
        Do([&] { r.CreateSectionFromSelection(); });
        break;
      case 11: case 12: case 13: case 14: {
        const bool flag = Chance(30);  // nested, or forward for the jump
        const int op = choice;
        Do([&] {
          if (op == 11) r.RemoveCaretSection(flag);
          else if (op == 12) r.CollapseCaretSection(flag);
          else if (op == 13) r.ExpandCaretSection(flag);
          else r.GotoSection(flag);
        });
        break;
      }
      case 15: MoveCaret(); break;
      case 16: {
        const int delta = Rand(-4, 4);
        const bool vertical = Chance(50);
        const bool visible = Chance(50);
        Do([&] { r.ExtendSelection(delta, vertical, visible); });
        break;
      }
      case 17: {
        const int which = Rand(0, 2);
        Do([&] {
          if (which == 0) r.IndentLines();
          else if (which == 1) r.UnindentLines();
          else r.ToggleLineComment("//");
        });
        break;
      }
      default:
        clip.SetText("t");
        clip.AddSectionsBlock(std::string("{<+}u\r\n{<-}v\r\nw\r\n{>>}x\r\n{>>}y") + '\0');
        Do([&] { r.PasteFromClipboard(); });
        break;
    }
  }

  void UndoAndCompare() {
    range().Undo();
    const Snapshot want = expected.back();
    expected.pop_back();
    const Snapshot got = Take();
    ASSERT_TRUE(got == want) << "step " << step << "\nwant " << Describe(want) << "\ngot  " << Describe(got);
  }

  std::mt19937 rng;
  int step = 0;
  std::deque<Snapshot> expected;  // one per undo record, oldest first
};

TEST_P(EditPropertyTest, UndoRestoresEveryRecordedState) {
  rng.seed(GetParam());
  SetOption(smoGroupUndo, GetParam() % 2 == 0);
  RandomDocument();
  for (step = 0; step < 2500; ++step) {
    if (Chance(8) && range().CanUndo())
      UndoAndCompare();
    else
      RandomOperation();
    if (HasFatalFailure()) return;
    ASSERT_EQ(expected.size(), range().UndoList.size()) << "step " << step;
    ASSERT_EQ(memo.SectionTree->Root()->LastLine, memo.Lines->Count()) << "step " << step;
    CheckTree(*memo.SectionTree->Root());
    if (HasFatalFailure()) return;
  }
  while (range().CanUndo()) {
    UndoAndCompare();
    if (HasFatalFailure()) return;
    CheckTree(*memo.SectionTree->Root());
    if (HasFatalFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, EditPropertyTest, ::testing::Values(1u, 2u, 3u, 4u, 5u, 6u));

}  // namespace
