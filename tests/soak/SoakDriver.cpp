// The random user and the bookkeeping that turns its operations into checks: the undo
// records seen so far and the document before each, and the last save point.
#include "SoakDriver.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <algorithm>
#include <fstream>
#include <sstream>

#include "app/FormFixture.h"
#include "SearchBar.h"

namespace {

constexpr std::size_t RecentKept = 40;
// Documents grow by pasting; past this size the driver starts afresh.
constexpr int MaxLines = 1500;

// Keys of the control's key table, and a few it ignores.
constexpr std::uint16_t Keys[] = {VK_BACK,  VK_TAB,   VK_RETURN, VK_PRIOR,  VK_NEXT,    VK_END,   VK_HOME,
                                  VK_LEFT,  VK_UP,    VK_RIGHT,  VK_DOWN,   VK_INSERT,  VK_DELETE, 'A',
                                  'C',      'I',      'U',       'V',       'X',        'Z',       VK_ADD,
                                  VK_SUBTRACT, VK_F5, VK_F6,     VK_OEM_2,  '0',        '5',       '9',
                                  VK_NUMPAD0 + 3, VK_CONTROL, VK_SHIFT, 'Q', 200};

std::string Joined(const TDocumentSnapshot& s) {
  std::string bytes;
  for (const std::string& l : s.Lines) bytes += l + "\r\n";
  return bytes;
}

}  // namespace

std::string CheckControlInvariants(TSxCustomSyntaxMemo& memo) {
  if (std::string e = CheckDocumentInvariants(memo); !e.empty()) return e;
  if (memo.Lines->Count() == 0) return memo.TopLine == 0 ? "" : "top line set in an empty document";
  if (memo.SectionTree->VisibleIndexOf(memo.TopLine) < 0)
    return "top line " + std::to_string(memo.TopLine) + " is not visible";
  return "";
}

TSoakDriver::TSoakDriver(TForm1& form, TScriptedDialogs& dialogs, TSxMemoryClipboard& clipboard,
                         std::filesystem::path dir, std::uint64_t seed)
    : form_(form), dialogs_(dialogs), clipboard_(clipboard), dir_(std::move(dir)), rng_(seed) {
  std::filesystem::create_directories(dir_ / "in");
  std::filesystem::create_directories(dir_ / "out");
  WriteInputs();
}

TSxSyntaxMemo& TSoakDriver::Memo() { return form_.Memo(); }

void TSoakDriver::Note(const std::string& op) {
  recent_.push_back(op);
  if (recent_.size() > RecentKept) recent_.pop_front();
}

std::string TSoakDriver::RecentOperations() const {
  std::string out;
  for (const std::string& op : recent_) out += "  " + op + "\n";
  return out;
}

// Latin, digits, blanks, braces and QEB punctuation, and cp1251 Cyrillic. No '<' or '>':
// typed at a line start they would spell a section marker, which a plain save cannot escape.
std::string TSoakDriver::RandomText(int maxLen) {
  static const std::string plain = "abcxyzQEB019 _.,;:(){}[]\"'=+-*/%!?\t";
  std::string s;
  const int n = Pick(maxLen + 1);
  for (int i = 0; i < n; ++i) {
    const int k = Pick(10);
    if (k < 5) s += plain[static_cast<std::size_t>(Pick(static_cast<int>(plain.size())))];
    else if (k < 9) s += static_cast<char>(0xC0 + Pick(64));
    else s += Chance(50) ? '\xA8' : '\xB8';
  }
  return s;
}

// A source file with braces, markers (some unbalanced) and every kind of line end.
std::string TSoakDriver::RandomDocument() {
  static const char* const breaks[] = {"\r\n", "\n", "\r", "\n\r"};
  static const char* const markers[] = {"{<+}", "{<-}", "{>>}"};
  std::string doc;
  const int lines = Pick(60);
  for (int i = 0; i < lines; ++i) {
    if (Chance(15)) doc += markers[Pick(3)];
    if (Chance(10)) doc += Chance(50) ? "{" : "}";
    doc += RandomText(30);
    doc += breaks[Pick(4)];
  }
  if (Chance(20)) doc += RandomText(10);
  return doc;
}

void TSoakDriver::WriteInputs() {
  for (int i = 0; i < 6; ++i) {
    const auto p = dir_ / "in" / ("doc" + std::to_string(i) + ".qeb");
    std::ofstream(p, std::ios::binary) << RandomDocument();
    inputs_.push_back(p.string());
  }
}

std::string TSoakDriver::FingerprintOf(const TSxSynMemoUndoItem& item) const {
  std::ostringstream o;
  o << int(item.Kind) << ':' << item.StartPos.X << ',' << item.StartPos.Y << ':' << item.CaretPos.X << ','
    << item.CaretPos.Y << ':' << item.Text.size();
  return o.str();
}

std::string TSoakDriver::Step() {
  ++operations_;
  errorsExpected_ = dialogs_.Errors.size();
  saveDue_ = false;
  stepError_.clear();
  const TDocumentSnapshot before = WithoutTrailingBlanks(TakeSnapshot(Memo()));
  const std::size_t depth = Memo().Range->UndoList.size();
  bool wasUndo = false;
  const int kind = Pick(100);
  if (kind < 6) {
    UndoOp();
    wasUndo = depth > 0;
  } else if (kind < 8) {
    Rewind();
    wasUndo = true;
  } else {
    Apply();
  }
  if (!stepError_.empty()) return stepError_;
  if (dialogs_.Errors.size() != errorsExpected_)
    return "unexpected error box: " + dialogs_.Errors.back();
  if (!dialogs_.OpenAnswers.empty() || !dialogs_.SaveAnswers.empty() || !dialogs_.Questions.empty())
    return "a scripted dialog was not asked";
  if (std::string e = AfterOperation(before, wasUndo); !e.empty()) return e;
  if (saveDue_) {
    if (std::string e = CheckSaved(); !e.empty()) return e;
  }
  if (Memo().Lines->Count() > MaxLines) {
    Memo().Lines->SetModified(false);
    form_.Action("ActFileNew")->Execute();
    Note("New (document too large)");
    records_.clear();
    saveKnown_ = false;
  }
  return "";
}

void TSoakDriver::Apply() {
  const int kind = Pick(100);
  if (kind < 34) PressKey();
  else if (kind < 56) TypeText();
  else if (kind < 72) Mouse();
  else if (kind < 82) ClipboardOp();
  else if (kind < 90) SectionOp();
  else if (kind < 95) ViewOp();
  else FileOp();
}

void TSoakDriver::PressKey() {
  static const TShiftState shifts[] = {{}, {ssShift}, {ssCtrl}, {ssCtrl, ssShift}, {ssAlt}, {ssCtrl}, {}};
  const std::uint16_t key = Keys[Pick(std::size(Keys))];
  const TShiftState shift = shifts[Pick(std::size(shifts))];
  Note("key " + std::to_string(key) + " shift " + std::to_string(shift.ToBits()));
  Memo().KeyDown(key, shift);
  if (Chance(90)) Memo().KeyUp(key, shift);
}

void TSoakDriver::TypeText() {
  const std::string text = RandomText(12);
  Note("type \"" + cp1251::ToUtf8(text) + "\"");
  for (char c : text) Memo().KeyPress(c);
}

void TSoakDriver::Mouse() {
  QWidget& w = *form_.SxSyntaxMemo1;
  const int width = std::max(w.width(), 1), height = std::max(w.height(), 1);
  auto x = [&] { return Pick(width + 40) - 20; };
  auto y = [&] { return Pick(height + 40) - 20; };
  const TShiftState shift = Chance(20) ? TShiftState{ssShift} : Chance(10) ? TShiftState{ssCtrl} : TShiftState{};
  const int kind = Pick(6);
  const int x0 = x(), y0 = y();
  TSxSyntaxMemo& m = Memo();
  if (kind == 0) {
    Note("click " + std::to_string(x0) + "," + std::to_string(y0));
    m.MouseDown(TMouseButton::mbLeft, shift + TShiftState{ssLeft}, x0, y0);
    m.MouseUp(TMouseButton::mbLeft, shift, x0, y0);
  } else if (kind == 1) {
    Note("drag from " + std::to_string(x0) + "," + std::to_string(y0));
    m.MouseDown(TMouseButton::mbLeft, shift + TShiftState{ssLeft}, x0, y0);
    int x1 = x0, y1 = y0;
    for (int i = Pick(6); i >= 0; --i) {
      x1 = x();
      y1 = y();
      m.MouseMove(shift + TShiftState{ssLeft}, x1, y1);
    }
    m.MouseUp(TMouseButton::mbLeft, shift, x1, y1);
  } else if (kind == 2) {
    Note("double click " + std::to_string(x0) + "," + std::to_string(y0));
    m.MouseDown(TMouseButton::mbLeft, TShiftState{ssLeft}, x0, y0);
    m.MouseUp(TMouseButton::mbLeft, {}, x0, y0);
    m.DblClick(TShiftState{ssLeft, ssDouble}, x0, y0);
    m.MouseUp(TMouseButton::mbLeft, {}, x0, y0);
  } else if (kind == 3) {
    const int delta = (Pick(7) - 3) * 120;
    Note("wheel " + std::to_string(delta));
    m.MouseWheel(delta, shift);
  } else if (kind == 4) {
    Note("pan from " + std::to_string(x0) + "," + std::to_string(y0));
    m.MouseDown(TMouseButton::mbMiddle, TShiftState{ssMiddle}, x0, y0);
    for (int i = Pick(4); i >= 0; --i) m.MouseMove(TShiftState{ssMiddle}, x(), y());
    m.MouseUp(TMouseButton::mbMiddle, {}, x0, y0);
  } else {
    Note("right click " + std::to_string(x0) + "," + std::to_string(y0));
    m.MouseDown(TMouseButton::mbRight, TShiftState{ssRight}, x0, y0);
    m.MouseUp(TMouseButton::mbRight, {}, x0, y0);
  }
}

void TSoakDriver::ClipboardOp() {
  TSxSyntaxMemo& m = Memo();
  switch (Pick(7)) {
    case 0:
      Note("copy");
      form_.Action("ActCopy")->Execute();
      break;
    case 1:
      Note("cut");
      form_.Action("ActCut")->Execute();
      break;
    case 2:
      Note("paste");
      form_.Action("ActPaste")->Execute();
      break;
    case 3: {
      std::string text = RandomText(20) + (Chance(50) ? "\r\n" + RandomText(20) : "");
      Note("plain text on the clipboard, then paste");
      clipboard_.SetText(text);
      m.KeyDown('V', {ssCtrl});
      break;
    }
    case 4: {
      Note("paste with sections");
      std::string text = "{<+}" + RandomText(8) + "\r\n" + RandomText(8) + "\r\n{>>}" + RandomText(8) + "\r\n";
      m.Range->PasteWithSections(text);
      break;
    }
    case 5: {
      const bool skipCopy = Chance(50), skipPaste = Chance(50);
      Note(std::string("sections on copy ") + (skipCopy ? "off" : "on") + ", on paste " + (skipPaste ? "off" : "on"));
      TSxSynMemoOptions o = m.Options();
      o -= TSxSynMemoOptions{smoSkipSectionsOnCopy, smoSkipSectionsOnPaste};
      if (skipCopy) o += smoSkipSectionsOnCopy;
      if (skipPaste) o += smoSkipSectionsOnPaste;
      m.SetOptions(o);
      break;
    }
    default:
      Note("select all");
      form_.Action(Chance(50) ? "ActSelAll" : Chance(50) ? "ActSelStart" : "ActSelEnd")->Execute();
      break;
  }
}

void TSoakDriver::SectionOp() {
  TSxSyntaxMemo& m = Memo();
  const int count = m.Lines->Count();
  switch (Pick(7)) {
    case 0: {
      const int a = Pick(std::max(count, 1)), b = Pick(std::max(count, 1));
      Note("select lines " + std::to_string(std::min(a, b)) + ".." + std::to_string(std::max(a, b)) +
           " and create a section");
      m.Range->SetCaretPos({0, std::min(a, b)});
      m.Range->ExtendSelection(std::abs(a - b), true, false);
      m.KeyDown(VK_F5, {});
      break;
    }
    case 1:
      Note("remove the caret's section");
      m.KeyDown(VK_F6, Chance(50) ? TShiftState{ssCtrl} : TShiftState{});
      break;
    case 2:
      Note("fold at the caret");
      m.KeyDown(VK_SUBTRACT, Chance(50) ? TShiftState{ssCtrl, ssShift} : TShiftState{ssCtrl});
      break;
    case 3:
      Note("unfold at the caret");
      m.KeyDown(VK_ADD, Chance(50) ? TShiftState{ssCtrl, ssShift} : TShiftState{ssCtrl});
      break;
    case 4: {
      const int line = Pick(std::max(count, 1));
      const bool fold = Chance(50);
      Note(std::string(fold ? "fold" : "unfold") + " at line " + std::to_string(line));
      if (fold) m.SectionTree->CollapseSection(line, Chance(50), Chance(30));
      else m.SectionTree->ExpandSection(line, Chance(50), Chance(50));
      break;
    }
    case 5: {
      TSearchBar& bar = *form_.SearchBar1;
      const std::string find = RandomText(2), with = RandomText(3);
      bar.FindEdit->setText(QString::fromStdString(cp1251::ToUtf8(find)));
      bar.ReplaceEdit->setText(QString::fromStdString(cp1251::ToUtf8(with)));
      bar.MatchCaseBox->setChecked(Chance(50));
      bar.WholeWordBox->setChecked(Chance(30));
      Note("replace all '" + find + "' by '" + with + "'");
      bar.ReplaceAll();
      break;
    }
    default:
      Note("brace analysis");
      form_.Action("ActParsing")->Execute();
      break;
  }
}

void TSoakDriver::ViewOp() {
  switch (Pick(3)) {
    case 0: {
      static const char* const faces[] = {"Courier New", "Monospace", "DejaVu Sans", "Arial"};
      dialogs_.FontOk = true;
      dialogs_.FontName = faces[Pick(4)];
      dialogs_.FontHeight = -(6 + Pick(20));
      Note("font " + dialogs_.FontName + " " + std::to_string(dialogs_.FontHeight));
      form_.Action("ActFont")->Execute();
      break;
    }
    case 1: {
      const int w = 200 + Pick(900), h = 150 + Pick(700);
      Note("resize window " + std::to_string(w) + "x" + std::to_string(h));
      form_.resize(w, h);
      QCoreApplication::processEvents();
      break;
    }
    default: {
      const int w = Pick(500), h = Pick(400);
      Note("resize editor " + std::to_string(w) + "x" + std::to_string(h));
      form_.SxSyntaxMemo1->resize(w, h);
      QCoreApplication::processEvents();
      break;
    }
  }
}

void TSoakDriver::UndoOp() {
  Note("undo");
  if (Chance(50)) Memo().KeyDown('Z', {ssCtrl});
  else form_.Action("ActUndo")->Execute();
}

// Undoes everything, checking each step and the save point on the way.
void TSoakDriver::Rewind() {
  Note("rewind");
  ++rewindsChecked_;
  int guard = 0;
  while (Memo().Range->CanUndo() && guard++ < 200 && stepError_.empty()) {
    const TDocumentSnapshot before = WithoutTrailingBlanks(TakeSnapshot(Memo()));
    Memo().KeyDown('Z', {ssCtrl});
    stepError_ = AfterOperation(before, true);
  }
}

bool TSoakDriver::SaveAs() {
  const int filter = 1 + Pick(3);
  const std::string name = (dir_ / "out" / ("saved" + std::to_string(Pick(4)) + ".qeb")).string();
  if (Chance(10)) {
    dialogs_.SaveAnswers.push_back({false, "", 1});
    return false;
  }
  dialogs_.SaveAnswers.push_back({true, name, filter});
  return true;
}

void TSoakDriver::FileOp() {
  TSxSynMemoStrings& lines = *Memo().Lines;
  switch (Pick(4)) {
    case 0: {
      Note("new");
      if (lines.Modified()) {
        const int a = Pick(10);
        const TQueryAnswer answer = a < 6 ? TQueryAnswer::No : a < 9 ? TQueryAnswer::Yes : TQueryAnswer::Cancel;
        dialogs_.Questions.push_back(answer);
        if (answer == TQueryAnswer::Yes && lines.IsNew()) SaveAs();
      }
      form_.Action("ActFileNew")->Execute();
      saveKnown_ = false;
      break;
    }
    case 1: {
      const int a = Pick(10);
      if (a == 0) {
        Note("open, cancelled");
        dialogs_.OpenAnswers.push_back({false, "", 1});
      } else if (a == 1) {
        Note("open a missing file");
        dialogs_.OpenAnswers.push_back({true, (dir_ / "in" / "missing.qeb").string(), 1});
        ++errorsExpected_;
      } else {
        const std::string& name = inputs_[static_cast<std::size_t>(Pick(static_cast<int>(inputs_.size())))];
        Note("open " + name);
        dialogs_.OpenAnswers.push_back({true, name, 3});
        saveKnown_ = false;
      }
      form_.Action("ActFileOpen")->Execute();
      break;
    }
    case 2:
      Note("save as");
      saveDue_ = SaveAs();
      form_.Action("ActFileSaveAs")->Execute();
      break;
    default:
      Note("save");
      saveDue_ = lines.IsNew() ? SaveAs() : true;
      form_.Action("ActFileSave")->Execute();
      break;
  }
}

// Brings the undo bookkeeping up to date and checks undo exactness: an undo returns the
// document to what it was before the undone operation, and a change of the text leaves
// an undo record behind.
std::string TSoakDriver::AfterOperation(const TDocumentSnapshot& before, bool wasUndo) {
  TSxSyntaxMemo& m = Memo();
  if (std::string e = CheckControlInvariants(m); !e.empty()) return e;
  const TDocumentSnapshot now = WithoutTrailingBlanks(TakeSnapshot(m));
  std::vector<TRecord> next;
  bool added = false, firstNew = true;
  // Records keep their order: new ones come at the end, the limit drops the oldest. A
  // record matching an old one out of order is new, made where a dropped one lived.
  auto searchFrom = records_.begin();
  std::vector<bool> keptOld(records_.size(), false);
  for (const auto& item : m.Range->UndoList) {
    const std::string fp = FingerprintOf(*item);
    auto old = std::find_if(searchFrom, records_.end(),
                            [&](const TRecord& r) { return r.Item == item.get() && r.Fingerprint == fp; });
    if (old != records_.end()) {
      searchFrom = old + 1;
      keptOld[static_cast<std::size_t>(old - records_.begin())] = true;
      next.push_back(*old);
    } else {
      next.push_back({item.get(), fp, firstNew ? std::optional<TDocumentSnapshot>(before) : std::nullopt});
      firstNew = false;
      added = true;
    }
  }
  for (std::size_t i = 0; i < records_.size(); ++i) {
    const TRecord& r = records_[i];
    if (keptOld[i]) continue;
    if (saveKnown_ && r.Item == saveTop_) saveKnown_ = false;
    if (saveKnown_ && saveTop_ == nullptr && !wasUndo) saveKnown_ = false;
  }
  if (wasUndo && !records_.empty() && !added) {
    const TRecord& undone = records_.back();
    const bool popped = !keptOld.back();
    if (popped && undone.Before) {
      ++undosChecked_;
      if (!(now == *undone.Before)) return "undo did not restore the document: " + DescribeDifference(*undone.Before, now);
    }
  }
  if (!wasUndo && !added && now.Lines != before.Lines && m.Range->UndoList.size() == records_.size() &&
      std::equal(next.begin(), next.end(), records_.begin(),
                 [](const TRecord& a, const TRecord& b) { return a.Item == b.Item; }) &&
      m.Lines->FileName() == lastFileName_)
    return "the text changed without an undo record (" + std::to_string(m.Range->UndoList.size()) +
           " records, pending " + std::to_string(m.Lines->Pending.ToBits()) + ", options " +
           std::to_string(m.Options().ToBits()) + "): " + DescribeDifference(before, now);
  records_ = std::move(next);
  lastFileName_ = m.Lines->FileName();
  if (saveKnown_) {
    const TSxSynMemoUndoItem* top = records_.empty() ? nullptr : records_.back().Item;
    const std::string fp = records_.empty() ? "" : records_.back().Fingerprint;
    if (top == saveTop_ && fp == saveTopFingerprint_ && Joined(now) != savedBytes_)
      return "the document at its save point differs from the saved bytes";
  }
  return "";
}

// After a save the dialog confirmed: the file holds exactly the document's bytes and the
// document is unmodified. The state becomes the save point.
std::string TSoakDriver::CheckSaved() {
  TSxSynMemoStrings& lines = *Memo().Lines;
  if (lines.Modified()) return "the document is still modified after a save";
  const std::string onDisk = ReadFileBytes(lines.FileName());
  const std::string expected = ExpectedFileBytes(Memo());
  if (onDisk != expected) return "the saved file differs from the document: " + lines.FileName();
  ++savesChecked_;
  saveKnown_ = true;
  saveTop_ = records_.empty() ? nullptr : records_.back().Item;
  saveTopFingerprint_ = records_.empty() ? "" : records_.back().Fingerprint;
  savedBytes_ = Joined(WithoutTrailingBlanks(TakeSnapshot(Memo())));
  return "";
}
