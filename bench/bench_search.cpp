/** @file bench_search.cpp
 ** Search in the 50 MB generated document: finding the next match and establishing
 ** that there is none, exact and ignoring case, against a memchr scan of the same bytes;
 ** counting every match; replace-all of 100,000 matches with its memory growth and undo.
 ** Prints its figures. */
#include <chrono>
#include <cstdio>
#include <cstring>
#include <malloc.h>

#include "QebGenerator.h"
#include "base/Cp1251.h"
#include "document/MemoModel.h"
#include "document/Search.h"

namespace {

using Clock = std::chrono::steady_clock;
double Millis(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

// The best of a few runs of f, in milliseconds.
template <class F>
double Best(F&& f, int runs = 5) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = Clock::now();
    f();
    best = std::min(best, Millis(t0, Clock::now()));
  }
  return best;
}

void Find(TSxMemoModel& m, const char* utf8, bool matchCase, const char* what) {
  const TSxSearchPattern p(cp1251::FromUtf8(utf8), {matchCase, false});
  TSxSearchHit hit;
  const double ms = Best([&] { hit = FindMatch(*m.Lines, p, {0, 0}, true); });
  std::printf("%-44s %-16s %-6s %7.1f ms  (%s line %d)\n", what, utf8, matchCase ? "exact" : "folded", ms,
              hit.Found ? "found on" : "none;", hit.Found ? hit.Start.Y : -1);
}

}  // namespace

int main() {
  const std::string text = GenerateQebBytes(50u << 20, 1);
  std::size_t newlines = 0, absentHits = 0;
  const double nl = Best([&] {
    newlines = 0;
    for (const char* p = text.data(), *end = p + text.size();
         (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))); ++p)
      ++newlines;
  });
  const double absent = Best([&] { absentHits += std::memchr(text.data(), 1, text.size()) != nullptr; });
  std::printf("reference: the %zu MB as one block: memchr newline scan %.1f ms (%zu lines), memchr of an absent "
              "byte %.1f ms (%zu hits)\n", text.size() >> 20, nl, newlines, absent, absentHits);

  TSxMemoModel m;
  m.Lines->LoadFromStream(text + cp1251::FromUtf8("ЗаМеТкА в конце\r\n"));
  std::size_t lineHits = 0;
  const double perLine = Best([&] {
    for (int i = 0; i < m.Lines->Count(); ++i) {
      const std::string_view t = m.Lines->Get(i);
      lineHits += std::memchr(t.data(), 1, t.size()) != nullptr;
    }
  });
  std::printf("document: %d lines; memchr of an absent byte line by line %.1f ms (%zu hits)\n", m.Lines->Count(),
              perLine, lineHits);
  Find(m, "сундуков", true, "no match (frequent first byte)");
  Find(m, "сундуков", false, "no match (frequent first byte)");
  Find(m, "QXZ", true, "no match (absent first byte)");
  Find(m, "QXZ", false, "no match (absent first byte)");
  Find(m, "заметка", true, "no match (only a miscased one at the end)");
  Find(m, "заметка", false, "next match, on the last line");
  Find(m, "ЗАМЕТКА в", false, "next match, on the last line");

  for (bool matchCase : {true, false}) {
    TSxMatchCounter counter;
    counter.Restart(TSxSearchPattern(cp1251::FromUtf8("сундук"), {matchCase, false}));
    const double ms = Best([&] {
      counter.Restart(TSxSearchPattern(cp1251::FromUtf8("сундук"), {matchCase, false}));
      while (!counter.Step(*m.Lines, 256 * 1024)) {}
    }, 3);
    std::printf("count every match of сундук (%s): %lld in %.1f ms\n", matchCase ? "exact" : "folded",
                static_cast<long long>(counter.Count()), ms);
  }

  const TSxSearchPattern p(cp1251::FromUtf8("сундук"), {false, true});
  auto t0 = Clock::now();
  std::vector<TSxLineSpan> spans = CollectMatches(*m.Lines, p, {0, 0}, {MaxInt, MaxInt});
  spans.resize(std::min<std::size_t>(spans.size(), 100000));
  const double collect = Millis(t0, Clock::now());
  malloc_trim(0);
  const std::size_t before = CurrentRss();
  t0 = Clock::now();
  m.Range->ReplaceSpans(spans, cp1251::FromUtf8("большой_сундук"));
  const double replace = Millis(t0, Clock::now());
  malloc_trim(0);
  const std::size_t after = CurrentRss();
  const std::size_t replaced = spans.size() * std::strlen("сундук") / 2;  // cp1251 bytes
  std::printf("replace-all of %zu matches: find %.1f ms + replace %.1f ms; memory growth %.2f MB "
              "(replaced text %.2f MB, new text %.2f MB)\n",
              spans.size(), collect, replace, (static_cast<double>(after) - static_cast<double>(before)) / 1e6,
              replaced / 1e6, spans.size() * 14 / 1e6);
  if (const TSxSynMemoUndoItem* r = m.Range->LastUndoItem(); r && r->Spans) {
    const TSxSpanUndo& u = *r->Spans;
    std::printf("undo record: %.2f MB (places %zu x %zu B, old bytes %zu)\n",
                (u.NewSpans.capacity() * sizeof(TSxLineSpan) + u.OldLengths.capacity() * 4 + u.Old.capacity()) / 1e6,
                u.NewSpans.size(), sizeof(TSxLineSpan) + 4, u.Old.size());
  }
  t0 = Clock::now();
  m.Range->Undo();
  std::printf("undo of the replace-all (re-tokenizes the whole text, as every undo does): %.1f ms\n",
              Millis(t0, Clock::now()));
  return 0;
}
