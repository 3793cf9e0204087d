// Cost of a keystroke in the middle of a large sectioned document against a small one
// (typing and Enter, each a ReplaceSelection with its own update), and the memory that
// 100 undo records hold over the large document.
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "QebGenerator.h"
#include "document/MemoModel.h"
#include "syntax/TextLines.h"

namespace {

using Clock = std::chrono::steady_clock;

// The generated source with a 40-line section starting every 50 lines.
std::string SectionedSource(std::size_t lines) {
  std::string out;
  std::size_t i = 0;
  ForEachTextLine(GenerateQebLines(lines), [&](std::string_view l) {
    if (i % 50 == 5) out += "{<+}";
    if (i % 50 == 44) out += "{>>}";
    out += l;
    out += "\r\n";
    ++i;
  });
  return out;
}

struct KeyCost {
  double meanUs = 0;
  double maxUs = 0;
};

template <typename Key>
KeyCost Measure(int keys, Key&& key) {
  KeyCost cost;
  double total = 0;
  for (int i = 0; i < keys; ++i) {
    const auto t0 = Clock::now();
    key(i);
    const double us = std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
    total += us;
    cost.maxUs = std::max(cost.maxUs, us);
  }
  cost.meanUs = total / keys;
  return cost;
}

struct Result {
  KeyCost typing;
  KeyCost enter;
};

Result TypeInto(TSxMemoModel& memo) {
  TSxSynMemoRange& range = *memo.Range;
  const int middle = memo.Lines->Count() / 2;
  range.SetCaretPos({0, middle});
  Result r;
  r.typing = Measure(10000, [&](int i) { range.ReplaceSelection(std::string(1, "abcdefgh "[i % 9]), ukTyping); });
  r.enter = Measure(1000, [&](int) { range.ReplaceSelection("\r\n", ukTyping); });
  return r;
}

std::size_t SectionCount(const TSxSynMemoSection& s) {
  std::size_t n = 1;
  for (const auto& c : s.Children) n += SectionCount(*c);
  return n;
}

std::size_t TrimmedRss() {
  malloc_trim(0);
  return CurrentRss();
}

}  // namespace

int main() {
  const std::size_t base = TrimmedRss();
  auto big = std::make_unique<TSxMemoModel>();
  big->Lines->LoadFromStream(SectionedSource(1000000));
  const std::size_t docBytes = TrimmedRss() - base;
  std::printf("1M-line document: %d lines, %zu sections, %.1f MB resident\n", big->Lines->Count(),
              SectionCount(*big->SectionTree->Root()) - 1, docBytes / 1048576.0);

  TSxMemoModel small;
  small.Lines->LoadFromStream(SectionedSource(1000));

  const Result smallCost = TypeInto(small);
  const Result bigCost = TypeInto(*big);
  std::printf("typing  1k lines: %8.2f us/key (max %8.1f)\n", smallCost.typing.meanUs, smallCost.typing.maxUs);
  std::printf("typing  1M lines: %8.2f us/key (max %8.1f)  ratio %.2f (target <= 1.5)\n", bigCost.typing.meanUs,
              bigCost.typing.maxUs, bigCost.typing.meanUs / smallCost.typing.meanUs);
  std::printf("Enter   1k lines: %8.2f us/key (max %8.1f)\n", smallCost.enter.meanUs, smallCost.enter.maxUs);
  std::printf("Enter   1M lines: %8.2f us/key (max %8.1f)  (target <= 1000)\n", bigCost.enter.meanUs,
              bigCost.enter.maxUs);

  std::size_t textBytes = 0;
  for (const auto& item : big->Range->UndoList) textBytes += item->Text.capacity();
  const std::size_t withUndo = TrimmedRss();
  big->Range->ClearUndo();
  const std::size_t withoutUndo = TrimmedRss();
  const std::size_t undoBytes = withUndo > withoutUndo ? withUndo - withoutUndo : 0;
  std::printf("100 undo records: %zu text bytes; %.1f MB resident\n", textBytes, undoBytes / 1048576.0);
  return 0;
}
