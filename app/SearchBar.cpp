/** @file SearchBar.cpp
 ** The search bar's widgets and commands over the editor's document. */
#include "SearchBar.h"

#include <QAbstractEventDispatcher>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "Dialogs.h"
#include "base/Cp1251.h"
#include "control/SyntaxMemo.h"
#include "qt/SyntaxMemoWidget.h"

namespace {

std::string ToCp1251(const QString& s) { return cp1251::FromUtf8(s.toStdString()); }
QString FromCp1251(std::string_view bytes) { return QString::fromStdString(cp1251::ToUtf8(bytes)); }

const QString NotFound = QStringLiteral("Не найдено");

// The counting slice: long enough to count quickly, short enough that typing never waits.
constexpr qint64 SliceMilliseconds = 8;

}  // namespace

TSearchBar::TSearchBar(TSxSyntaxMemoWidget* editor, QWidget* parent)
    : QWidget(parent), editor_(editor), countTimer_(new QTimer(this)) {
  setObjectName("SearchBar1");
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(4, 2, 4, 2);
  grid->setVerticalSpacing(2);
  auto* findLabel = new QLabel(QStringLiteral("Найти"), this);
  auto* replaceLabel = new QLabel(QStringLiteral("Заменить на"), this);
  FindEdit = new QLineEdit(this);
  FindEdit->setObjectName("FindEdit");
  ReplaceEdit = new QLineEdit(this);
  ReplaceEdit->setObjectName("ReplaceEdit");
  findLabel->setBuddy(FindEdit);
  replaceLabel->setBuddy(ReplaceEdit);
  MatchCaseBox = new QCheckBox(QStringLiteral("С учетом регистра"), this);
  WholeWordBox = new QCheckBox(QStringLiteral("Слово целиком"), this);
  NextButton = new QPushButton(QStringLiteral("Далее"), this);
  PrevButton = new QPushButton(QStringLiteral("Назад"), this);
  ReplaceButton = new QPushButton(QStringLiteral("Заменить"), this);
  ReplaceAllButton = new QPushButton(QStringLiteral("Заменить все"), this);
  for (QPushButton* b : {NextButton, PrevButton, ReplaceButton, ReplaceAllButton}) b->setAutoDefault(false);
  CloseButton = new QToolButton(this);
  CloseButton->setText(QStringLiteral("×"));
  CloseButton->setToolTip(QStringLiteral("Закрыть"));
  CloseButton->setAutoRaise(true);
  Status = new QLabel(this);
  Status->setObjectName("SearchStatus");

  grid->addWidget(findLabel, 0, 0);
  grid->addWidget(FindEdit, 0, 1);
  grid->addWidget(NextButton, 0, 2);
  grid->addWidget(PrevButton, 0, 3);
  grid->addWidget(MatchCaseBox, 0, 4);
  grid->addWidget(WholeWordBox, 0, 5);
  grid->addWidget(CloseButton, 0, 6);
  grid->addWidget(replaceLabel, 1, 0);
  grid->addWidget(ReplaceEdit, 1, 1);
  grid->addWidget(ReplaceButton, 1, 2);
  grid->addWidget(ReplaceAllButton, 1, 3);
  grid->addWidget(Status, 1, 4, 1, 3);
  grid->setColumnStretch(1, 1);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

  FindEdit->installEventFilter(this);
  ReplaceEdit->installEventFilter(this);
  connect(FindEdit, &QLineEdit::textEdited, this, [this] {
    PatternChanged();
    SearchAsTyped();
  });
  for (QCheckBox* box : {MatchCaseBox, WholeWordBox}) connect(box, &QCheckBox::toggled, this, [this] { PatternChanged(); });
  connect(NextButton, &QPushButton::clicked, this, [this] { FindNext(true); });
  connect(PrevButton, &QPushButton::clicked, this, [this] { FindNext(false); });
  connect(ReplaceButton, &QPushButton::clicked, this, [this] { ReplaceOne(); });
  connect(ReplaceAllButton, &QPushButton::clicked, this, [this] { ReplaceAll(); });
  connect(CloseButton, &QToolButton::clicked, this, [this] { Close(); });
  countTimer_->setInterval(0);
  connect(countTimer_, &QTimer::timeout, this, [this] { CountSlice(); });
  if (auto* dispatcher = QAbstractEventDispatcher::instance())
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TSearchBar::UpdateState);
  hide();
}

TSxSyntaxMemo& TSearchBar::Memo() { return editor_->Memo(); }

bool TSearchBar::ReadOnly() { return Memo().Options().Contains(smoReadOnly); }

TSxSearchPattern TSearchBar::Pattern() const {
  return TSxSearchPattern(ToCp1251(FindEdit->text()),
                          TSxSearchOptions{MatchCaseBox->isChecked(), WholeWordBox->isChecked()});
}

void TSearchBar::Open(bool withReplace) {
  TSxSynMemoRange& range = *Memo().Range;
  const TSxSynMemoStrings& lines = *Memo().Lines;
  std::string seed;
  if (!range.IsEmpty() && range.StartPos.Y == range.EndPos.Y) {
    seed = range.GetSelText();
  } else if (lines.IsValidLine(range.CaretPos.Y)) {
    const std::string_view text = lines.Get(range.CaretPos.Y);
    auto from = static_cast<std::size_t>(std::min<std::int64_t>(range.CaretPos.X, std::int64_t(text.size())));
    std::size_t to = from;
    while (from > 0 && cp1251::IsWordChar(static_cast<unsigned char>(text[from - 1]))) --from;
    while (to < text.size() && cp1251::IsWordChar(static_cast<unsigned char>(text[to]))) ++to;
    seed = text.substr(from, to - from);
  }
  if (!seed.empty() && FromCp1251(seed) != FindEdit->text()) {
    FindEdit->setText(FromCp1251(seed));
    PatternChanged();
  } else if (isHidden()) {
    PatternChanged();
  }
  show();
  UpdateState();
  QLineEdit* field = withReplace && !FindEdit->text().isEmpty() && !ReadOnly() ? ReplaceEdit : FindEdit;
  field->setFocus();
  field->selectAll();
}

void TSearchBar::Close() {
  countTimer_->stop();
  hide();
  editor_->setFocus();
}

bool TSearchBar::SelectionIsMatch(const TSxSearchPattern& pattern) {
  const TSxSynMemoRange& r = *Memo().Range;
  return r.StartPos.Y == r.EndPos.Y && r.EndPos.X - r.StartPos.X == pattern.Length() &&
         Memo().Lines->IsValidLine(r.StartPos.Y) && pattern.MatchesAt(Memo().Lines->Get(r.StartPos.Y), r.StartPos.X);
}

void TSearchBar::ShowHit(const TSxSearchHit& hit, std::int32_t length) {
  TSxSyntaxMemo& m = Memo();
  TSxSynMemoStrings& lines = *m.Lines;
  lines.BeginUpdate();
  m.Range->ClearSelection();
  // A match already on screen, with a little room around it, keeps the view still;
  // one elsewhere (or hidden in a folded section) goes near the top, sections opened.
  int row = -1;
  const bool inView = m.RowOfLine(hit.Start.Y, row) && row >= std::min(2, m.VisibleIndexOf(hit.Start.Y)) &&
                      row <= m.VisibleRows() - 2;
  if (inView)
    m.Range->SetCaretPos(hit.Start);
  else
    m.GotoLine(hit.Start.X, hit.Start.Y);
  m.Range->ExtendSelection(length, false, false);
  lines.EndUpdate();
}

bool TSearchBar::FindNext(bool forward) {
  const TSxSearchPattern pattern = Pattern();
  if (pattern.Empty()) {
    Open(false);
    return false;
  }
  const TSxSynMemoRange& r = *Memo().Range;
  const TSxSearchHit hit = FindMatch(*Memo().Lines, pattern, forward ? r.EndPos : r.StartPos, forward);
  if (!hit.Found) {
    note_ = NotFound;
  } else {
    note_ = !hit.Wrapped ? QString()
            : forward    ? QStringLiteral("Достигнут конец текста, поиск продолжен с начала")
                         : QStringLiteral("Достигнуто начало текста, поиск продолжен с конца");
    ShowHit(hit, pattern.Length());
  }
  ShowStatus();
  return hit.Found;
}

void TSearchBar::SearchAsTyped() {
  const TSxSearchPattern pattern = Pattern();
  if (pattern.Empty()) return;
  const TSxSearchHit hit = FindMatch(*Memo().Lines, pattern, Memo().Range->StartPos, true);
  note_ = hit.Found ? QString() : NotFound;
  if (hit.Found) ShowHit(hit, pattern.Length());
  ShowStatus();
}

void TSearchBar::ReplaceOne() {
  if (ReadOnly()) return;
  const TSxSearchPattern pattern = Pattern();
  if (pattern.Empty()) return;
  if (SelectionIsMatch(pattern)) Memo().Range->ReplaceSelection(ToCp1251(ReplaceEdit->text()), ukPlain);
  FindNext(true);
}

int TSearchBar::ReplaceAll() {
  const TSxSearchPattern pattern = Pattern();
  if (ReadOnly() || pattern.Empty()) return 0;
  TSxSynMemoRange& r = *Memo().Range;
  const bool inSelection = r.StartPos.Y != r.EndPos.Y;
  const TTextPos from = inSelection ? std::min(r.StartPos, r.EndPos) : TTextPos{0, 0};
  const TTextPos to = inSelection ? std::max(r.StartPos, r.EndPos) : TTextPos{MaxInt, MaxInt};
  const std::vector<TSxLineSpan> spans = CollectMatches(*Memo().Lines, pattern, from, to);
  r.ReplaceSpans(spans, ToCp1251(ReplaceEdit->text()));
  note_ = spans.empty() ? NotFound : QStringLiteral("Заменено: %1").arg(spans.size());
  ShowStatus();
  return static_cast<int>(spans.size());
}

void TSearchBar::PatternChanged() {
  counter_.Restart(Pattern());
  note_.clear();
  if (FindEdit->text().isEmpty())
    countTimer_->stop();
  else
    countTimer_->start();
  ShowStatus();
}

void TSearchBar::CountSlice() {
  QElapsedTimer clock;
  clock.start();
  while (!counter_.Step(*Memo().Lines, 256 * 1024))
    if (clock.elapsed() >= SliceMilliseconds) break;
  if (counter_.Current(*Memo().Lines)) countTimer_->stop();
  ShowStatus();
}

void TSearchBar::UpdateState() {
  const bool writable = !ReadOnly();
  ReplaceButton->setEnabled(writable);
  ReplaceAllButton->setEnabled(writable);
  if (isVisible() && !FindEdit->text().isEmpty() && !countTimer_->isActive() && !counter_.Current(*Memo().Lines)) {
    countTimer_->start();
  }
}

void TSearchBar::ShowStatus() {
  QString count;
  if (!FindEdit->text().isEmpty()) {
    if (!counter_.Current(*Memo().Lines))
      count = QStringLiteral("Совпадений: %1…").arg(counter_.Count());
    else
      count = counter_.Count() == 0 ? NotFound : QStringLiteral("Совпадений: %1").arg(counter_.Count());
  }
  QString text = note_;
  if (!count.isEmpty() && count != note_) text += (text.isEmpty() ? QString() : QStringLiteral(" · ")) + count;
  Status->setText(text);
}

bool TSearchBar::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || (watched != FindEdit && watched != ReplaceEdit))
    return QWidget::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() == Qt::Key_Escape) {
    Close();
    return true;
  }
  if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
  if (watched == ReplaceEdit)
    ReplaceOne();
  else
    FindNext(!key->modifiers().testFlag(Qt::ShiftModifier));
  return true;
}

void TSearchBar::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape)
    Close();
  else
    QWidget::keyPressEvent(event);
}

int ParseLineNumber(std::string_view answer, int lineCount) {
  const std::size_t first = answer.find_first_not_of(" \t");
  if (first == std::string_view::npos) return -1;
  answer = answer.substr(first, answer.find_last_not_of(" \t") - first + 1);
  if (answer.size() > 10) return -1;
  std::int64_t n = 0;
  for (char c : answer) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n >= 1 && n <= lineCount ? static_cast<int>(n - 1) : -1;
}

void GoToLineCommand(TSxSyntaxMemo& memo, TAppDialogs& dialogs) {
  const int count = memo.Lines->Count();
  std::string answer;
  if (!dialogs.AskLineNumber(count, answer)) return;
  const int line = ParseLineNumber(answer, count);
  if (line < 0) {
    dialogs.Information("Строки «" + answer + "» нет: введите номер от 1 до " + std::to_string(count) + ".");
    return;
  }
  memo.Range->ClearSelection();
  memo.GotoLine(0, line);
}
