// Structural edits in a small and in a 50 MB document, both opened the way the
// application opens them (keyword classification, brace sections): Enter, Backspace
// joining two lines and pasting a line, each a headless ReplaceSelection with its own
// update; then the memory that 1,000 random edits add beyond the text their undo records hold.
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "BraceAnalysis.h"
#include "KeywordTable.h"
#include "QebGenerator.h"
#include "document/MemoModel.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Doc {
  std::unique_ptr<TSxMemoModel> memo = std::make_unique<TSxMemoModel>();
  std::unique_ptr<TKeywordTable> table;
  TSxMemoryClipboard clip;
  int sections = 0;
};

std::unique_ptr<Doc> Open(const std::string& text) {
  auto d = std::make_unique<Doc>();
  const std::string dir = SX_BENCH_DEMO_DIR;
  d->table = LoadKeywordTable(dir + "/qeb.syn2", nullptr, *d->memo->SyntaxAttributes);
  d->memo->SyntaxAttributes->LoadSyntax(dir + "/qeb.syn");
  TKeywordTable* table = d->table.get();
  d->memo->SyntaxAttributes->OnParseWord = [table](TSxSyntaxParser&, std::string_view w, int, int, TToken& t) {
    ClassifyWord(table, w, t);
  };
  d->memo->SetClipboard(&d->clip);
  d->memo->Lines->LoadFromStream(text);
  d->sections = AddBraceSections(*d->memo->Lines, *d->memo->SectionTree);
  return d;
}

struct Cost {
  double median = 0;
  double mean = 0;
};

template <typename Key>
Cost Measure(int keys, Key&& key) {
  std::vector<double> us;
  us.reserve(static_cast<std::size_t>(keys));
  for (int i = 0; i < keys; ++i) {
    const auto t0 = Clock::now();
    key(i);
    us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
  }
  Cost c;
  for (double v : us) c.mean += v / keys;
  std::nth_element(us.begin(), us.begin() + keys / 2, us.end());
  c.median = us[static_cast<std::size_t>(keys / 2)];
  return c;
}

struct Costs {
  Cost enter, join, paste;
};

// Keys in the middle of the document, in a line inside a brace section where there is one.
Costs Edit(Doc& d) {
  TSxSynMemoRange& r = *d.memo->Range;
  TSxSynMemoStrings& lines = *d.memo->Lines;
  std::int32_t y = lines.Count() / 2;
  while (y + 1 < lines.Count() && d.memo->SectionTree->SectionOf(y)->Level == 0) ++y;
  auto caret = [&](std::int32_t x, std::int32_t line) {
    r.ClearSelection();
    r.SetCaretPos({x, line});
  };
  Costs c;
  caret(static_cast<std::int32_t>(lines.Get(y).size()), y);
  c.enter = Measure(1000, [&](int) { r.ReplaceSelection("\r\n  ", ukTyping); });
  c.join = Measure(1000, [&](int) {
    caret(0, y + 1);
    r.StartPos = {static_cast<std::int32_t>(lines.Get(y).size()), y};
    r.DeleteSelection();
  });
  d.clip.SetText("  " + std::string(lines.Get(y - 1)) + "\r\n");
  c.paste = Measure(1000, [&](int) {
    caret(0, y);
    r.PasteFromClipboard();
  });
  return c;
}

std::size_t TrimmedRss() {
  malloc_trim(0);
  return CurrentRss();
}

// Typing, Enter, Backspace, pasting lines that carry sections and the section commands,
// at random places.
void RandomEdits(Doc& d, int count) {
  TSxSynMemoRange& r = *d.memo->Range;
  TSxSynMemoStrings& lines = *d.memo->Lines;
  std::mt19937 rng(7);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int i = 0; i < count; ++i) {
    const int y = pick(1, lines.Count() - 2);
    r.ClearSelection();
    r.SetCaretPos({pick(0, static_cast<int>(lines.Get(y).size())), y});
    switch (pick(0, 9)) {
      case 0: case 1: case 2: r.ReplaceSelection("x", ukTyping); break;
      case 3: case 4: r.ReplaceSelection("\r\n", ukTyping); break;
      case 5: r.StartPos = {0, y}, r.DeleteSelection(); break;
      case 6:
        d.clip.SetText("a\r\nb\r\nc\r\nd\r\n");
        d.clip.AddSectionsBlock(std::string("{<+}a\r\nb\r\n{<-}c\r\n{>>}d\r\n{>>}e\r\n") + '\0');
        r.SetCaretPos({0, y});
        r.PasteFromClipboard();
        break;
      case 7: r.ExtendSelection(3, true, false), r.CreateSectionFromSelection(); break;
      case 8: r.RemoveCaretSection(false); break;
      default: r.CollapseCaretSection(false); break;
    }
  }
}

}  // namespace

int main() {
  auto small = Open(GenerateQebLines(1000));
  auto big = Open(GenerateQebLines(1700000));
  std::printf("small: %d lines, %d sections; large: %d lines, %d sections\n", small->memo->Lines->Count(),
              small->sections, big->memo->Lines->Count(), big->sections);
  const Costs s = Edit(*small);
  const Costs b = Edit(*big);
  auto row = [](const char* what, Cost a, Cost z) {
    std::printf("%-10s small %7.1f us (mean %7.1f)   large %7.1f us (mean %7.1f)   ratio %.2f (target <= 1.5, "
                "large <= 100 us)\n",
                what, a.median, a.mean, z.median, z.mean, z.median / a.median);
  };
  row("Enter", s.enter, b.enter);
  row("Backspace", s.join, b.join);
  row("paste", s.paste, b.paste);

  // Memory: a fresh 50 MB document, 1,000 random edits; the records' own text is excluded.
  small.reset();
  big.reset();
  big = Open(GenerateQebBytes(50u << 20));
  big->memo->Range->UndoLimit = 1000;
  const std::size_t before = TrimmedRss();
  RandomEdits(*big, 1000);
  const std::size_t after = TrimmedRss();
  std::size_t text = 0, changes = 0;
  for (const auto& item : big->memo->Range->UndoList) {
    text += item->Text.capacity();
    changes += item->SectionLog.size();
  }
  const double grown = (static_cast<double>(after) - static_cast<double>(before)) / 1048576.0;
  std::printf("1,000 random edits on %d lines: %zu undo records, %zu section changes, %.2f MB of record text; "
              "process grew %.1f MB, %.1f MB beyond the text (target <= 20)\n",
              big->memo->Lines->Count(), big->memo->Range->UndoList.size(), changes, text / 1048576.0, grown,
              grown - text / 1048576.0);
  // Undoing them: each undo tokenizes only the lines its replay changed.
  const Cost undo = Measure(300, [&](int) { big->memo->Range->Undo(); });
  std::printf("undo of a random edit, 50 MB: %.1f us median, %.1f us mean\n", undo.median, undo.mean);

  // Ten cycles of Open, 100 Enters and 100 characters, New: freed memory must be reused.
  big.reset();
  const std::string source = GenerateQebBytes(50u << 20);
  auto doc = Open(source);
  std::size_t firstPeak = 0, last = 0;
  for (int cycle = 0; cycle < 10; ++cycle) {
    if (cycle > 0) {
      doc->memo->Lines->LoadFromStream(source);
      AddBraceSections(*doc->memo->Lines, *doc->memo->SectionTree);
    }
    TSxSynMemoRange& r = *doc->memo->Range;
    r.SetCaretPos({0, doc->memo->Lines->Count() / 2});
    for (int i = 0; i < 100; ++i) r.ReplaceSelection("\r\n", ukTyping);
    for (int i = 0; i < 100; ++i) r.ReplaceSelection("x", ukTyping);
    last = CurrentRss();
    if (cycle == 0) firstPeak = last;
    doc->memo->Lines->NewDocument();
  }
  std::printf("ten cycles of Open 50 MB, 100 Enters, 100 characters, New: first cycle %.1f MB, tenth %.1f MB, "
              "grown %.1f%% (target <= 10%%); after the last New %.1f MB\n",
              firstPeak / 1048576.0, last / 1048576.0, 100.0 * (double(last) / double(firstPeak) - 1),
              TrimmedRss() / 1048576.0);
  return 0;
}
