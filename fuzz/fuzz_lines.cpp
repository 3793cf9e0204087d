// Fuzzes the line splitting of loaded files: the splitter agrees with a plain reading
// of the line-end rule, a loaded document saves as its lines joined by CR LF, and a
// document saved with its section markers loads back to the same lines, sections and
// bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "document/MemoModel.h"
#include "syntax/TextLines.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// The rule read literally: text ends at NUL; each line ends at CR, LF or CR LF; no empty
// line after a final break.
std::vector<std::string> ReferenceLines(std::string_view text) {
  std::vector<std::string> lines;
  text = text.substr(0, text.find('\0'));
  std::string cur;
  bool open = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(cur);
      cur.clear();
      open = false;
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      cur.push_back(c);
      open = true;
    }
  }
  if (open) lines.push_back(cur);
  return lines;
}

std::vector<std::string> LinesOf(const TSxSynMemoStrings& lines) {
  std::vector<std::string> out;
  for (int i = 0; i < lines.Count(); ++i) out.emplace_back(lines.Get(i));
  return out;
}

// Sections as (first, last, level, collapsed) in pre-order.
void Shape(const TSxSynMemoSection& s, std::vector<std::int64_t>& out) {
  for (const auto& c : s.Children) {
    out.insert(out.end(), {c->FirstLine(), c->LastLine(), c->Level, c->Collapsed ? 1 : 0});
    Shape(*c, out);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  Check(SplitTextLines(bytes) == ReferenceLines(bytes));

  // Without marker writing a save is exactly the lines, each followed by CR LF.
  TSxMemoModel plain;
  plain.Lines->LoadFromStream(bytes);
  std::string expected;
  for (const std::string& l : LinesOf(*plain.Lines)) expected += l + "\r\n";
  std::string saved;
  plain.Lines->SaveToStream(saved);
  Check(saved == expected);
  Check(!plain.Lines->Modified());

  // With marker writing, saving and loading again reproduces lines, sections and bytes.
  TSxMemoModel first;
  first.SetOptions(first.Options() + TSxSynMemoOptions{smoWriteMarkersOnSave});
  first.Lines->LoadFromStream(bytes);
  std::string once;
  first.Lines->SaveToStream(once);
  TSxMemoModel second;
  second.SetOptions(second.Options() + TSxSynMemoOptions{smoWriteMarkersOnSave});
  second.Lines->LoadFromStream(once);
  Check(LinesOf(*second.Lines) == LinesOf(*first.Lines));
  std::vector<std::int64_t> a, b;
  Shape(*first.SectionTree->Root(), a);
  Shape(*second.SectionTree->Root(), b);
  Check(a == b);
  std::string twice;
  second.Lines->SaveToStream(twice);
  Check(twice == once);
  return 0;
}
