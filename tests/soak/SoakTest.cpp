// @file The real main window under random user operations, the document's promises checked after
// each; SOAK_OPS (3000), SOAK_SECONDS and SOAK_SEED choose the run, a failure names seed and operations.
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <optional>
#include <random>

#include "app/FormFixture.h"
#include "SearchBar.h"
#include "document/DocumentInvariants.h"

namespace {

constexpr int MaxLines = 1500;

constexpr std::uint16_t Keys[] = {VK_BACK, VK_TAB, VK_RETURN, VK_PRIOR, VK_NEXT, VK_END, VK_HOME, VK_LEFT, VK_UP,
                                  VK_RIGHT, VK_DOWN, VK_INSERT, VK_DELETE, 'A', 'C', 'I', 'U', 'V', 'X', 'Z',
                                  VK_ADD, VK_SUBTRACT, VK_F5, VK_F6, VK_OEM_2, '0', '5', '9', VK_NUMPAD0 + 3,
                                  VK_CONTROL, VK_SHIFT, 'Q', 200};

std::string FingerprintOf(const TSxSynMemoUndoItem& item) {
  return std::to_string(int(item.Kind)) + ':' + std::to_string(item.StartPos.X) + ',' +
         std::to_string(item.StartPos.Y) + ':' + std::to_string(item.CaretPos.X) + ',' +
         std::to_string(item.CaretPos.Y) + ':' + std::to_string(item.Text.size());
}

std::string CheckControlInvariants(TSxCustomSyntaxMemo& memo) {
  if (std::string e = CheckDocumentInvariants(memo); !e.empty()) return e;
  if (memo.Lines->Count() == 0) return memo.TopLine == 0 ? "" : "top line set in an empty document";
  if (memo.SectionTree->VisibleIndexOf(memo.TopLine) < 0)
    return "top line " + std::to_string(memo.TopLine) + " is not visible";
  return "";
}

class TSoakDriver {
 public:
  std::uint64_t operations = 0, undos = 0, saves = 0;

  TSoakDriver(TForm1& form, TScriptedDialogs& dialogs, TSxMemoryClipboard& clipboard, std::filesystem::path dir,
              std::uint64_t seed)
      : form_(form), dialogs_(dialogs), clipboard_(clipboard), dir_(std::move(dir)), rng_(seed) {
    for (const char* d : {"in", "out"}) std::filesystem::create_directories(dir_ / d);
    for (int i = 0; i < 6; ++i) {
      std::string doc;
      for (int n = Pick(60); n > 0; --n) {
        if (Chance(15)) doc += OneOf<const char*>({"{<+}", "{<-}", "{>>}"});
        if (Chance(10)) doc += Chance(50) ? "{" : "}";
        doc += RandomText(30) + OneOf<const char*>({"\r\n", "\n", "\r", "\n\r"});
      }
      if (Chance(20)) doc += RandomText(10);
      inputs_.push_back((dir_ / "in" / ("doc" + std::to_string(i) + ".qeb")).string());
      std::ofstream(inputs_.back(), std::ios::binary) << doc;
    }

    auto x = [this] { return Pick(std::max(form_.SxSyntaxMemo1->width(), 1) + 40) - 20; };
    auto y = [this] { return Pick(std::max(form_.SxSyntaxMemo1->height(), 1) + 40) - 20; };
    auto line = [this] { return Pick(std::max(Memo().Lines->Count(), 1)); };
    auto shift = [this] {
      return Chance(20) ? TShiftState{ssShift} : Chance(10) ? TShiftState{ssCtrl} : TShiftState{};
    };
    auto drag = [=, this](TMouseButton b, TShiftState held, int moves, bool twice = false) {
      int x0 = x(), y0 = y();
      Memo().MouseDown(b, held, x0, y0);
      if (twice) Memo().MouseUp(b, {}, x0, y0), Memo().DblClick(held + TShiftState{ssDouble}, x0, y0);
      for (int i = moves; i > 0; --i) Memo().MouseMove(held, x0 = x(), y0 = y());
      Memo().MouseUp(b, held - TShiftState{ssLeft, ssMiddle, ssRight}, x0, y0);
    };
    auto key = [this](std::uint16_t k, TShiftState s) { Memo().KeyDown(k, s); };
    ops_ = {
        {31, "key", [=, this] {
           static const TShiftState shifts[] = {{}, {ssShift}, {ssCtrl}, {ssCtrl, ssShift}, {ssAlt}, {ssCtrl}, {}};
           const std::uint16_t k = Keys[Pick(std::size(Keys))];
           const TShiftState s = shifts[Pick(std::size(shifts))];
           if (key(k, s); Chance(90)) Memo().KeyUp(k, s);
         }},
        {20, "type", [this] { for (char c : RandomText(12)) Memo().KeyPress(c); }},
        {6, "click or drag",
         [=, this] { drag(TMouseButton::mbLeft, shift() + TShiftState{ssLeft}, Pick(2) * Pick(7)); }},
        {2, "double click", [=] { drag(TMouseButton::mbLeft, {ssLeft}, 0, true); }},
        {3, "wheel", [=, this] { Memo().MouseWheel((Pick(7) - 3) * 120, shift()); }},
        {2, "pan", [=, this] { drag(TMouseButton::mbMiddle, {ssMiddle}, 1 + Pick(4)); }},
        {2, "right click", [=] { drag(TMouseButton::mbRight, {ssRight}, 0); }},
        {4, "copy, cut or paste", [this] { Act(OneOf<const char*>({"ActCopy", "ActCut", "ActPaste"})); }},
        {2, "paste plain text", [=, this] {
           clipboard_.SetText(RandomText(20) + (Chance(50) ? "\r\n" + RandomText(20) : ""));
           key('V', {ssCtrl});
         }},
        {1, "paste with sections", [this] {
           Memo().Range->PasteWithSections("{<+}" + RandomText(8) + "\r\n" + RandomText(8) + "\r\n{>>}" +
                                           RandomText(8) + "\r\n");
         }},
        {1, "section options", [this] {
           TSxSynMemoOptions o = Memo().Options() - TSxSynMemoOptions{smoSkipSectionsOnCopy, smoSkipSectionsOnPaste};
           for (TSxSynMemoOption x : {smoSkipSectionsOnCopy, smoSkipSectionsOnPaste}) if (Chance(50)) o += x;
           Memo().SetOptions(o);
         }},
        {1, "select all, to the start or to the end",
         [this] { Act(OneOf<const char*>({"ActSelAll", "ActSelStart", "ActSelEnd"})); }},
        {2, "create a section", [=, this] {
           const int a = line(), b = line();
           Memo().Range->SetCaretPos({0, std::min(a, b)});
           Memo().Range->ExtendSelection(std::abs(a - b), true, false);
           key(VK_F5, {});
         }},
        {3, "remove, fold or unfold the caret's section", [=, this] {
           const std::uint16_t k = OneOf<std::uint16_t>({VK_F6, VK_SUBTRACT, VK_ADD});
           key(k, Chance(50) ? TShiftState{ssCtrl} : k == VK_F6 ? TShiftState{} : TShiftState{ssCtrl, ssShift});
         }},
        {1, "fold or unfold a line", [=, this] {
           if (Chance(50)) Memo().SectionTree->CollapseSection(line(), Chance(50), Chance(30));
           else Memo().SectionTree->ExpandSection(line(), Chance(50), Chance(50));
         }},
        {1, "brace analysis", [this] { Act("ActParsing"); }},
        {1, "replace all", [this] {
           TSearchBar& bar = *form_.SearchBar1;
           bar.FindEdit->setText(QString::fromStdString(cp1251::ToUtf8(RandomText(2))));
           bar.ReplaceEdit->setText(QString::fromStdString(cp1251::ToUtf8(RandomText(3))));
           bar.MatchCaseBox->setChecked(Chance(50));
           bar.WholeWordBox->setChecked(Chance(30));
           bar.ReplaceAll();
         }},
        {2, "font", [this] {
           dialogs_.FontOk = true;
           dialogs_.FontName = OneOf<const char*>({"Courier New", "Monospace", "DejaVu Sans", "Arial"});
           dialogs_.FontHeight = -(6 + Pick(20));
           Act("ActFont");
         }},
        {3, "resize the window or the editor", [this] {
           if (Chance(33)) form_.resize(200 + Pick(900), 150 + Pick(700));
           else form_.SxSyntaxMemo1->resize(Pick(500), Pick(400));
           QCoreApplication::processEvents();
         }},
        {1, "new", [this] {
           if (Memo().Lines->Modified()) {
             const int a = Pick(10);
             dialogs_.Questions.push_back(a < 6 ? TQueryAnswer::No : a < 9 ? TQueryAnswer::Yes : TQueryAnswer::Cancel);
             if (a >= 6 && a < 9 && Memo().Lines->IsNew()) ScriptSaveAs();
           }
           Act("ActFileNew");
           saveTop_.reset();
         }},
        {2, "open (1 in 10 cancelled, 1 in 10 missing)", [this] {
           const int a = Pick(10);
           const std::string name = a == 1 ? (dir_ / "in" / "missing.qeb").string() : inputs_[Pick(inputs_.size())];
           dialogs_.OpenAnswers.push_back({a != 0, name, 3});
           errorsExpected_ += a == 1;
           if (a > 1) saveTop_.reset();
           Act("ActFileOpen");
         }},
        {1, "save as", [this] { saveDue_ = ScriptSaveAs(), Act("ActFileSaveAs"); }},
        {1, "save", [this] { saveDue_ = Memo().Lines->IsNew() ? ScriptSaveAs() : true, Act("ActFileSave"); }},
        {6, "undo", [=, this] {
           wasUndo_ = !Memo().Range->UndoList.empty();
           Chance(50) ? key('Z', {ssCtrl}) : Act("ActUndo");
         }},
        {2, "rewind", [=, this] {
           wasUndo_ = true;
           for (int guard = 0; Memo().Range->CanUndo() && guard < 200 && stepError_.empty(); ++guard) {
             const TDocumentSnapshot before = WithoutTrailingBlanks(TakeSnapshot(Memo()));
             key('Z', {ssCtrl});
             stepError_ = AfterOperation(before, true);
           }
         }},
    };
  }

  TSxSyntaxMemo& Memo() { return form_.Memo(); }

  void Act(const char* action) { form_.Action(action)->Execute(); }
  std::string RecentOperations() const {
    std::string out;
    for (const std::string& op : recent_) out += "  " + op + "\n";
    return out;
  }

  // No '<' or '>': at a line start they spell a section marker a plain save cannot escape.
  std::string RandomText(int maxLen) {
    static const std::string plain = "abcxyzQEB019 _.,;:(){}[]\"'=+-*/%!?\t";
    std::string s;
    for (int n = Pick(maxLen + 1); n > 0; --n) {
      const int k = Pick(10);
      s += k < 5 ? plain[Pick(plain.size())] : k < 9 ? char(0xC0 + Pick(64)) : Chance(50) ? '\xA8' : '\xB8';
    }
    return s;
  }

  bool ScriptSaveAs() {
    const bool ok = !Chance(10);
    dialogs_.SaveAnswers.push_back(
        {ok, (dir_ / "out" / ("saved" + std::to_string(Pick(4)) + ".qeb")).string(), 1 + Pick(3)});
    return ok;
  }

  void Operation() {
    int k = 0;
    for (const TOperation& op : ops_) k += op.Weight;
    k = Pick(k);
    for (const TOperation& op : ops_)
      if ((k -= op.Weight) < 0) {
        recent_.push_back(op.Name);
        if (recent_.size() > 40) recent_.pop_front();
        return op.Run();
      }
  }

  std::string Step() {
    ++operations;
    errorsExpected_ = dialogs_.Errors.size();
    saveDue_ = wasUndo_ = false;
    stepError_.clear();
    const TDocumentSnapshot before = WithoutTrailingBlanks(TakeSnapshot(Memo()));
    Operation();
    if (!stepError_.empty()) return stepError_;
    if (dialogs_.Errors.size() != errorsExpected_) return "unexpected error box: " + dialogs_.Errors.back();
    if (!dialogs_.OpenAnswers.empty() || !dialogs_.SaveAnswers.empty() || !dialogs_.Questions.empty())
      return "a scripted dialog was not asked";
    if (std::string e = AfterOperation(before, wasUndo_); !e.empty()) return e;
    if (std::string e = saveDue_ ? CheckSaved() : ""; !e.empty()) return e;
    if (Memo().Lines->Count() > MaxLines)
      Memo().Lines->SetModified(false), Act("ActFileNew"), records_.clear(), saveTop_.reset();
    return "";
  }

  std::string AfterOperation(const TDocumentSnapshot& before, bool wasUndo) {
    TSxSyntaxMemo& m = Memo();
    if (std::string e = CheckControlInvariants(m); !e.empty()) return e;
    const TDocumentSnapshot now = WithoutTrailingBlanks(TakeSnapshot(Memo()));
    std::vector<TRecord> next;
    bool added = false;
    // New records come at the end; one matching an old record out of order is new.
    auto searchFrom = records_.begin();
    std::vector<bool> keptOld(records_.size(), false);
    for (const auto& item : m.Range->UndoList) {
      const std::string fp = FingerprintOf(*item);
      auto old = std::find_if(searchFrom, records_.end(),
                              [&](const TRecord& r) { return r.Item == item.get() && r.Fingerprint == fp; });
      if (old != records_.end()) {
        searchFrom = old + 1;
        keptOld[old - records_.begin()] = true;
        next.push_back(*old);
      } else {
        next.push_back({item.get(), fp, added ? std::nullopt : std::optional<TDocumentSnapshot>(before)});
        added = true;
      }
    }
    for (std::size_t i = 0; i < records_.size() && saveTop_; ++i)
      if (!keptOld[i] && (records_[i].Item == saveTop_->Item || (!saveTop_->Item && !wasUndo))) saveTop_.reset();
    if (wasUndo && !records_.empty() && !added && !keptOld.back() && records_.back().Before) {
      ++undos;
      if (now != *records_.back().Before)
        return "undo did not restore the document: " + DescribeDifference(*records_.back().Before, now);
    }
    if (!wasUndo && !added && now.Lines != before.Lines && next.size() == records_.size() &&
        std::equal(next.begin(), next.end(), records_.begin(), [](auto& a, auto& b) { return a.Item == b.Item; }) &&
        m.Lines->FileName() == lastFileName_)
      return "the text changed without an undo record: " + DescribeDifference(before, now);
    records_ = std::move(next);
    lastFileName_ = m.Lines->FileName();
    const TRecord top = records_.empty() ? TRecord{nullptr, "", {}} : records_.back();
    if (saveTop_ && top.Item == saveTop_->Item && top.Fingerprint == saveTop_->Fingerprint &&
        now.Lines != savedLines_)
      return "the document at its save point differs from the saved bytes";
    return "";
  }

  std::string CheckSaved() {
    TSxSynMemoStrings& lines = *Memo().Lines;
    if (lines.Modified()) return "the document is still modified after a save";
    if (ReadFileBytes(lines.FileName()) != ExpectedFileBytes(Memo()))
      return "the saved file differs from the document: " + lines.FileName();
    ++saves;
    saveTop_ = TRecord{records_.empty() ? nullptr : records_.back().Item,
                       records_.empty() ? "" : records_.back().Fingerprint, {}};
    savedLines_ = WithoutTrailingBlanks(TakeSnapshot(Memo())).Lines;
    return "";
  }

 private:
  struct TRecord { const TSxSynMemoUndoItem* Item; std::string Fingerprint; std::optional<TDocumentSnapshot> Before; };
  int Pick(int n) { return static_cast<int>(rng_() % static_cast<std::uint64_t>(n)); }
  bool Chance(int percent) { return Pick(100) < percent; }
  template <class T>
  T OneOf(std::initializer_list<T> l) { return l.begin()[Pick(static_cast<int>(l.size()))]; }

  TForm1& form_;
  TScriptedDialogs& dialogs_;
  TSxMemoryClipboard& clipboard_;
  std::filesystem::path dir_;
  std::mt19937_64 rng_;
  std::deque<std::string> recent_;
  std::vector<TRecord> records_;
  std::vector<std::string> inputs_;
  std::size_t errorsExpected_ = 0;
  bool saveDue_ = false, wasUndo_ = false;
  std::string stepError_, lastFileName_;
  std::optional<TRecord> saveTop_;
  std::vector<std::string> savedLines_;
  struct TOperation { int Weight; const char* Name; std::function<void()> Run; };
  std::vector<TOperation> ops_;
};

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::strtoull(v, nullptr, 10) : fallback;
}
using SoakTest = FormFixture;

TEST_F(SoakTest, RandomUseKeepsEveryPromise) {
  const std::uint64_t seed = EnvNumber("SOAK_SEED", 20240611), maxOps = EnvNumber("SOAK_OPS", 3000),
                      seconds = EnvNumber("SOAK_SECONDS", 0);
  Start();
  form_->resize(900, 600);
  form_->show();
  TSoakDriver driver(*form_, *dialogs_, clipboard_, dir_ / "soak", seed);
  const auto start = std::chrono::steady_clock::now();
  auto elapsed = [&] { return std::chrono::steady_clock::now() - start; };
  while (seconds > 0 ? elapsed() < std::chrono::seconds(seconds) : driver.operations < maxOps) {
    const std::string failure = driver.Step();
    ASSERT_EQ(failure, "") << "seed " << seed << ", operation " << driver.operations << "; latest operations:\n"
                           << driver.RecentOperations();
  }
  EXPECT_GT(driver.undos, 0u);
  EXPECT_GT(driver.saves, 0u);
}

class InvariantCheckTest : public FormFixture {
 protected:
  void SetUp() override { FormFixture::SetUp(), Fresh(); }
  void Fresh() { Start(), Lines().LoadFromStream("a\r\n{<+}b\r\nc\r\n{<-}d\r\ne\r\n{>>}f\r\n{>>}g\r\nh\r\n"); }
  TSxSynMemoSection& Outer() { return *Memo().SectionTree->Root()->Children.at(0); }
};

TEST_F(InvariantCheckTest, EveryBrokenPromiseIsReported) {
  EXPECT_EQ(CheckControlInvariants(Memo()), "");
  const std::pair<const char*, std::function<void()>> breaks[] = {
      {"a child naming another parent", [&] { Outer().Children.at(0)->Parent = Memo().SectionTree->Root(); }},
      {"a wrong level", [&] { Outer().Children.at(0)->Level = 5; }},
      {"a stale visible map", [&] { Outer().Collapsed = true; }},  // folded behind the tree's back
      {"a reversed selection", [&] { Memo().Range->StartPos = {0, 3}, Memo().Range->EndPos = {0, 1}; }},
      {"a hidden top line", [&] { Memo().SectionTree->CollapseSection(1, false, false), Memo().TopLine = 2; }},
  };
  for (const auto& [promise, breakIt] : breaks) {
    Fresh(), breakIt();
    EXPECT_NE(CheckControlInvariants(Memo()), "") << promise;
  }
}

}  // namespace
