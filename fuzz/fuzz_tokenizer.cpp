// Fuzzes the tokenizer in both modes: the first bytes choose literals and flags, the
// rest is a document loaded line by line. Checks the token invariants, that tokenizing
// a line in chunks equals tokenizing it whole, and that tokenizing the whole text equals
// tokenizing it again after each line is changed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "document/MemoModel.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

std::string Take(const std::uint8_t*& p, const std::uint8_t* end, std::size_t max) {
  std::string s;
  std::size_t n = p < end ? *p++ % (max + 1) : 0;
  while (n-- > 0 && p < end) s.push_back(static_cast<char>(*p++));
  return s;
}

// Stored tokens are ordered, disjoint, inside the line and free of blanks.
void CheckTokens(const TSxSynMemoStrings& lines) {
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string_view text = lines.Get(i);
    const TSxSyntaxParser list = lines.TokenList(i);
    std::uint64_t end = 0;
    for (const TSxSyntaxToken& t : list.Tokens()) {
      Check(t.Start >= end && std::uint64_t{t.Start} + t.Len <= text.size());
      for (std::uint32_t k = t.Start; k < t.Start + t.Len; ++k) Check(static_cast<unsigned char>(text[k]) > 32);
      end = std::uint64_t{t.Start} + t.Len;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint8_t* p = data;
  const std::uint8_t* end = data + size;
  TSxMemoModel memo;
  TSxSyntaxAttributes& a = *memo.SyntaxAttributes;
  if (p + 2 <= end) {
    a.SyntaxFlags = static_cast<std::uint16_t>((p[0] | (p[1] << 8)) & 0x07FF);
    p += 2;
  }
  a.LitMLCommentB = Take(p, end, 3);
  a.LitMLCommentE = Take(p, end, 3);
  a.LitILComment = Take(p, end, 3);
  a.LitHexPrefix = Take(p, end, 2);
  if (p < end) a.LitString = static_cast<char>(*p++);
  if (p < end) a.LitDecimalPoint = static_cast<char>(*p++);
  a.OnParseWord = [](TSxSyntaxParser&, std::string_view w, int, int, TToken& t) {
    if (!w.empty() && w[0] == 'K') t = 250;
  };
  const std::string text(reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p));
  memo.Lines->LoadFromStream(text);
  CheckTokens(*memo.Lines);
  if (!a.Has(BLSeparated)) {
    for (int i = 0; i < memo.Lines->Count() && i < 8; ++i) {
      const std::string_view line = memo.Lines->Get(i);
      TSxSyntaxParser whole, chunk;
      const TToken state = static_cast<TToken>(i % 2 ? tokMLCommentBeg : tokText);
      const TToken endWhole = whole.Parse(line, i, &a, state);
      std::vector<TSxSyntaxToken> joined;
      TSxResumePoint from{0, state};
      TSxChunkEnd stop;
      do {
        stop = chunk.ParseStandardChunk(line, i, a, from, 1 + static_cast<std::size_t>(i % 3), 0xFFFFFFFFu);
        joined.insert(joined.end(), chunk.Tokens().begin(), chunk.Tokens().end());
        Check(!stop.Paused || stop.At.Column > from.Column);
        from = stop.At;
      } while (stop.Paused);
      Check(joined == whole.Tokens() && stop.At.State == endWhole);
    }
  }

  // Re-tokenizing after edits must agree with a fresh load of the same text.
  for (int i = 0; i < memo.Lines->Count() && i < 8; ++i) memo.Lines->Put(i, std::string(memo.Lines->Get(i)) + " x");
  if (memo.Lines->Count() > 1) memo.Lines->Delete(0);
  TSxMemoModel fresh;
  *fresh.SyntaxAttributes = a;
  fresh.SyntaxAttributes->Owner = fresh.Lines.get();
  // Lines are added one by one: loading the text again would read marker-like line
  // starts as sections and strip them.
  fresh.Lines->BeginUpdate();
  fresh.Lines->Clear();
  for (int i = 0; i < memo.Lines->Count(); ++i) fresh.Lines->Add(memo.Lines->Get(i));
  fresh.Lines->EndUpdate();
  Check(fresh.Lines->Count() == memo.Lines->Count());
  for (int i = 0; i < memo.Lines->Count(); ++i)
    Check(fresh.Lines->TokenList(i).Tokens() == memo.Lines->TokenList(i).Tokens());
  return 0;
}
