// The brace analysis alone, over generated text of 50 and 200 MB, already loaded and
// tokenized: its time must grow with the text, not faster.
#include <chrono>
#include <cstdio>

#include "BraceAnalysis.h"
#include "QebGenerator.h"
#include "document/MemoModel.h"

int main() {
  double seconds[2] = {};
  const std::size_t sizes[2] = {50u << 20, 200u << 20};
  for (int k = 0; k < 2; ++k) {
    TSxMemoModel memo;
    memo.Lines->LoadFromStream(GenerateQebBytes(sizes[k]));
    const auto t0 = std::chrono::steady_clock::now();
    const int sections = AddBraceSections(*memo.Lines, *memo.SectionTree);
    seconds[k] = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("brace analysis, %zu MB, %d lines: %.3f s, %d sections\n", sizes[k] >> 20, memo.Lines->Count(),
                seconds[k], sections);
  }
  std::printf("200 MB / 50 MB: %.2f (target <= 4.4)\n", seconds[1] / seconds[0]);
  return 0;
}
