// Fuzzes the readers of section markers: loading a text (markers become sections),
// extracting markers from clipboard text, and pasting such text into a small
// sectioned document at a position taken from the input, then undoing the paste.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "document/MemoModel.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// The root spans the text and every child lies strictly inside its parent, ordered.
void CheckTree(const TSxSynMemoSection& s) {
  std::int32_t prev = s.FirstLine();
  for (const auto& c : s.Children) {
    Check(c->Parent == &s && c->Level == s.Level + 1);
    Check(prev < c->FirstLine() && c->FirstLine() < c->LastLine() && c->LastLine() < s.LastLine());
    prev = c->LastLine();
    CheckTree(*c);
  }
}

void CheckDocument(TSxMemoModel& memo) {
  const TSxSynMemoSection* root = memo.SectionTree->Root();
  Check(root->LastLine() == memo.Lines->Count());
  CheckTree(*root);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  TSxMemoModel loaded;
  loaded.Lines->LoadFromStream(bytes);
  CheckDocument(loaded);

  std::string text = bytes;
  TSectionPairs pairs;
  ExtractSectionMarkers(text, pairs);
  Check(pairs.size() % 2 == 0);
  Check(text.empty() || text.size() >= 2);

  TSxMemoModel small;
  small.Lines->LoadFromStream("top\r\n{<+}a\r\nb\r\n{<-}c\r\n{>>}d\r\n{>>}e\r\nend\r\n");
  const int y = size > 0 ? data[0] % 8 : 0;
  const int x = size > 1 ? data[1] % 6 : 0;
  small.Range->SetCaretPos({x, y});
  if (size > 2 && data[2] % 2) small.Range->ExtendSelection(data[2] % 5 - 2, true, false);
  const int before = small.Lines->Count();
  small.Range->PasteWithSections(bytes);
  CheckDocument(small);
  small.Range->Undo();
  CheckDocument(small);
  Check(small.Lines->Count() == before);
  return 0;
}
