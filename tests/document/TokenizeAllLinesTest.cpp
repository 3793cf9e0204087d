// Tokenizing every line of a long document on two threads: the tokens of every line are
// those one thread makes, whatever comments cross from the earlier lines into the later
// ones, and a word handler is called off this thread only when it says it may be.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <stdexcept>
#include <thread>

#include "../TestText.h"
#include "document/MemoModel.h"

namespace {

// Lines of words, numbers, strings and every kind of comment, opened on one line and closed
// lines later, with long lines among them, so that the state reaching a line is often not
// the state a line after a closed comment starts in.
std::string LongDocument(int lines) {
  std::mt19937 rng(11);
  const char* pieces[] = {"xa", "b", "12", "'s t'", "{", "}", "(*", "*)", "{$", "x.y", "//", "#", " ", ";"};
  Lines out;
  for (int i = 0; i < lines; ++i) {
    std::string s;
    for (int k = static_cast<int>(rng() % 9); k > 0; --k) (s += pieces[rng() % std::size(pieces)]) += ' ';
    if (rng() % 5000 == 0) s += WordLine(9000 + rng() % 3000);
    out.push_back(s);
  }
  // A comment open across a long stretch, wherever the document is divided.
  for (int at : {lines / 3, lines / 2 - 7, lines * 2 / 3}) out[static_cast<std::size_t>(at)] += " (* open";
  return Joined(out);
}

struct Counting {
  std::thread::id mainThread = std::this_thread::get_id();
  std::atomic<int> offThread{0};
  std::atomic<int> offers{0};
  // Words starting with x become keywords; "boom" fails.
  TUserTokenEvent Handler() {
    return [this](TSxSyntaxParser&, std::string_view word, int, int, TToken& token) {
      ++offers;
      if (std::this_thread::get_id() != mainThread) ++offThread;
      if (word == "boom") throw std::runtime_error("boom");
      if (word.front() == 'x') token = 200;
    };
  }
};

void ExpectSameTokens(const TSxMemoModel& one, const TSxMemoModel& two) {
  ASSERT_EQ(one.Lines->Count(), two.Lines->Count());
  for (int i = 0; i < one.Lines->Count(); ++i) {
    ASSERT_EQ(one.Lines->Get(i), two.Lines->Get(i)) << "line " << i;
    ASSERT_EQ(one.Lines->TokenList(i).Tokens(), two.Lines->TokenList(i).Tokens()) << "line " << i;
    ASSERT_EQ(one.Lines->CheckpointCount(i), two.Lines->CheckpointCount(i)) << "line " << i;
  }
}

TEST(TokenizeAllLinesTest, EveryLineGetsTheTokensOneThreadMakes) {
  const std::string text = LongDocument(150000);
  Counting oneCalls, twoCalls;
  TSxMemoModel one, two;
  one.SyntaxAttributes->OnParseWord = oneCalls.Handler();
  two.SyntaxAttributes->OnParseWord = twoCalls.Handler();
  two.SyntaxAttributes->ParseWordOnAnyThread = true;
  one.Lines->LoadFromStream(text);
  two.Lines->LoadFromStream(text);
  EXPECT_EQ(oneCalls.offThread, 0);
  if (std::thread::hardware_concurrency() > 1) {
    EXPECT_GT(twoCalls.offThread, 0);
  }
  ExpectSameTokens(one, two);

  // Again over lines that already hold tokens, with the first comment closed at once.
  for (TSxMemoModel* m : {&one, &two}) {
    m->Lines->BeginUpdate();
    m->Lines->Put(50000, "*) }");
    m->Lines->RequestRetokenizeAll();
    m->Lines->EndUpdate();
  }
  ExpectSameTokens(one, two);
}

// The failure reaches the caller as with one thread, and every line keeps its text.
TEST(TokenizeAllLinesTest, AHandlerThatFailsStopsTheLoadAndLosesNoText) {
  std::string text = LongDocument(120000);
  // Whatever is open before it, its closer comes first.
  text.insert(text.size() - 1000, "\r\n*) } boom\r\n");
  Counting oneCalls, twoCalls;
  TSxMemoModel one, two;
  one.SyntaxAttributes->OnParseWord = oneCalls.Handler();
  two.SyntaxAttributes->OnParseWord = twoCalls.Handler();
  two.SyntaxAttributes->ParseWordOnAnyThread = true;
  EXPECT_THROW(one.Lines->LoadFromStream(text), std::runtime_error);
  EXPECT_THROW(two.Lines->LoadFromStream(text), std::runtime_error);
  EXPECT_EQ(one.Lines->Text(), two.Lines->Text());
  for (TSxMemoModel* m : {&one, &two}) {
    m->SyntaxAttributes->OnParseWord = nullptr;
    m->Lines->BeginUpdate();
    m->Lines->RequestRetokenizeAll();
    m->Lines->EndUpdate();
  }
  ExpectSameTokens(one, two);
}

}  // namespace
