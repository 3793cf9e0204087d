// Tokenizing every line of a long document on two threads: the tokens of every line are
// those one thread makes, whatever comments cross between the threads' lines and whichever
// thread the machine slows, and a word handler is called off this thread only when it
// says it may be.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
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

// Words starting with x become keywords; "boom" fails. The handler notes whether it ran
// off this thread, and can hold one thread at its first word until the other thread has
// been offered a word of a line in [crossLo, crossHi): the other has then taken lines
// that were not its to take, which is what a thread does when the machine slows the other.
struct Handler {
  std::thread::id mainThread = std::this_thread::get_id();
  std::atomic<int> offThread{0};
  int holdOnMain = -1;  // 1: this thread waits; 0: the other one; -1: neither
  int crossLo = 0, crossHi = 0;
  std::atomic<bool> held{false}, crossed{false};
  bool crossedWhileHeld = false;

  void Hold(int onMain, int lo, int hi) {
    holdOnMain = onMain, crossLo = lo, crossHi = hi;
    held = crossed = crossedWhileHeld = false;
  }
  TUserTokenEvent Event() {
    return [this](TSxSyntaxParser&, std::string_view word, int, int line, TToken& token) {
      const bool onMain = std::this_thread::get_id() == mainThread;
      if (!onMain) ++offThread;
      if (holdOnMain >= 0 && onMain == (holdOnMain == 0) && line >= crossLo && line < crossHi) crossed = true;
      if (holdOnMain >= 0 && onMain == (holdOnMain == 1) && !held.exchange(true)) {
        for (int ms = 0; ms < 10000 && !crossed; ++ms) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        crossedWhileHeld = crossed;
      }
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
  const int count = 150000;
  const std::string text = LongDocument(count);
  Handler oneCalls, twoCalls;
  TSxMemoModel one, two;
  one.SyntaxAttributes->OnParseWord = oneCalls.Event();
  two.SyntaxAttributes->OnParseWord = twoCalls.Event();
  two.SyntaxAttributes->ParseWordOnAnyThread = true;
  one.Lines->LoadFromStream(text);
  // This thread held at its first word: the other makes the later lines, then earlier ones.
  twoCalls.Hold(1, 0, count / 3);
  two.Lines->LoadFromStream(text);
  EXPECT_EQ(oneCalls.offThread, 0);
  ExpectSameTokens(one, two);
  if (std::thread::hardware_concurrency() < 2) return;
  EXPECT_TRUE(twoCalls.crossedWhileHeld);

  // Again over lines that already hold tokens, with the first comment closed at once, and
  // the other thread held: this one makes the last lines ahead while it waits.
  twoCalls.Hold(0, count * 2 / 3, count);
  for (TSxMemoModel* m : {&one, &two}) {
    m->Lines->BeginUpdate();
    m->Lines->Put(50000, "*) }");
    m->Lines->RequestRetokenizeAll();
    m->Lines->EndUpdate();
  }
  ExpectSameTokens(one, two);
  EXPECT_TRUE(twoCalls.crossedWhileHeld);
}

// The failure reaches the caller where one thread meets it, with the lines before it
// tokenized and the rest not, whichever thread met it first, and no line loses its text.
TEST(TokenizeAllLinesTest, AHandlerThatFailsStopsTheLoadWhereOneThreadWould) {
  const int count = 120000;
  std::string text = LongDocument(count);
  // Whatever is open before it, its closer comes first.
  text.insert(text.size() - 1000, "\r\n*) } boom\r\n");
  Handler oneCalls;
  TSxMemoModel one;
  one.SyntaxAttributes->OnParseWord = oneCalls.Event();
  EXPECT_THROW(one.Lines->LoadFromStream(text), std::runtime_error);
  // Then with the other thread held, so that this one meets the failure making lines ahead.
  for (int hold : {-1, 0}) {
    Handler twoCalls;
    TSxMemoModel two;
    two.SyntaxAttributes->OnParseWord = twoCalls.Event();
    two.SyntaxAttributes->ParseWordOnAnyThread = true;
    twoCalls.Hold(hold, count * 2 / 3, count + 10);
    EXPECT_THROW(two.Lines->LoadFromStream(text), std::runtime_error);
    ExpectSameTokens(one, two);
  }
}

}  // namespace
