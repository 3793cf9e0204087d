// Fuzzes the keyword table reader: any file contents give a sorted table in which
// every word is found again, and classifying a word never fails; reading always sets
// the in-line directive literal.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "KeywordTable.h"
#include "base/Cp1251.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

const std::string& ScratchFile() {
  static const std::string name = "/tmp/fuzz_keywords_" + std::to_string(::getpid()) + ".syn2";
  return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(ScratchFile().c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  TSxSyntaxAttributes attrs;
  int logged = 0;
  std::unique_ptr<TKeywordTable> table =
      LoadKeywordTable(ScratchFile(), [&](const std::string&, const std::string&) { ++logged; }, attrs);
  Check(table != nullptr);
  Check(attrs.LitILCompDir == "%");

  const auto& entries = table->Entries();
  for (std::size_t i = 0; i + 1 < entries.size(); ++i)
    Check(cp1251::CompareText(entries[i].Word, entries[i + 1].Word) <= 0);
  for (const TKeywordEntry& e : entries) {
    Check(!e.Word.empty() && e.Kind >= tokEnd && e.Kind <= tokKeyWord);
    const TKeywordEntry* found = table->Find(e.Word);
    Check(found && cp1251::CompareText(found->Word, e.Word) == 0);
    TToken t = 0;
    ClassifyWord(table.get(), e.Word, t);
    Check(t == tokErroneous || (t >= tokEnd && t <= tokKeyWord));
  }
  // A word made of the whole input is classified or left alone, never anything else.
  TToken t = 7;
  ClassifyWord(table.get(), std::string_view(reinterpret_cast<const char*>(data), size), t);
  Check(t == 7 || t == tokErroneous || (t >= tokEnd && t <= tokKeyWord));
  ClassifyFirstWord(table.get(), std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
