/** @file AboutForm.cpp
 ** The About window's pages, pictures and link. */
#include "AboutForm.h"

#include <QDesktopServices>
#include <QEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>
#include <algorithm>

#include "AppImages.h"

namespace {

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y, const QColor& color, bool bold = false,
                  const char* family = nullptr, int pixelSize = 0) {
  auto* label = new QLabel(text, parent);
  label->move(x, y);
  QFont font = label->font();
  if (family) font.setFamily(QString::fromUtf8(family));
  if (pixelSize > 0) font.setPixelSize(pixelSize);
  font.setBold(bold);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  label->setPalette(palette);
  label->adjustSize();
  return label;
}

// Texts keep their design places where the fonts allow. Where the fonts the system
// resolved are wider or taller, a text moves down below the texts placed before it
// and wraps at the page's right edge; the link leaves a gap after its caption or
// goes below it.
void FlowTexts(QWidget* page, const std::vector<TPlacedText>& texts) {
  constexpr int kMargin = 4, kLineGap = 2, kWordGap = 8;
  int bottom = 0;  // below every text placed so far
  QRect previous;
  for (const TPlacedText& t : texts) {
    QLabel* label = t.label;
    label->setWordWrap(false);
    const QSize hint = label->sizeHint();
    QPoint at(t.at.x(), std::max(t.at.y(), bottom + kLineGap));
    if (t.besidePrevious) {
      at = QPoint(std::max(t.at.x(), previous.right() + 1 + kWordGap), previous.top());
      if (at.x() + hint.width() > page->width() - kMargin) at = QPoint(previous.left(), bottom + kLineGap);
    }
    const int room = page->width() - kMargin - at.x();
    QSize size = hint;
    if (hint.width() > room) {
      label->setWordWrap(true);
      size = QSize(room, label->heightForWidth(room));
    }
    label->setGeometry(QRect(at, size));
    previous = label->geometry();
    bottom = std::max(bottom, previous.bottom() + 1);
  }
}

// A clickable label: the link of the second page.
class TLinkLabel : public QLabel {
 public:
  TLinkLabel(const QString& text, QWidget* parent, std::function<void()> onClick)
      : QLabel(text, parent), onClick_(std::move(onClick)) {}

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    QLabel::mouseReleaseEvent(event);
    onClick_();
  }

 private:
  std::function<void()> onClick_;
};

}  // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
  setObjectName("Form2");
  setWindowTitle("О программе...");
  setFixedSize(415, 297);
  QFont font("MS Sans Serif");
  font.setPixelSize(11);
  setFont(font);
  OpenUrl = [](const QString& url) { return QDesktopServices::openUrl(QUrl(url)); };
  ShowMessage = [this](const QString& text) { QMessageBox::information(this, windowTitle(), text); };

  PageControl1 = new QTabWidget(this);
  PageControl1->setGeometry(0, 0, 415, 257);

  TabSheet1 = new QWidget;
  PageControl1->addTab(TabSheet1, "Редактор QEB");
  Image1 = new QLabel(TabSheet1);
  Image1->setGeometry(8, 8, 100, 100);
  QString error;
  QImage picture = LoadAboutPicture(&error);
  if (picture.isNull()) {
    Image1->setWordWrap(true);
    Image1->setText(error);
  } else {
    Image1->setPixmap(QPixmap::fromImage(picture));
  }
  Label3 = MakeLabel(TabSheet1, "Редактор QEB", 120, 8, QColor(0, 0, 128), true, nullptr, 16);
  Label1 = MakeLabel(TabSheet1, "Редактор языка QEB", 120, 32, Qt::black);
  Label2 = MakeLabel(TabSheet1, "Версия: 0.1.1", 120, 64, QColor(128, 0, 0));
  Label6 = MakeLabel(TabSheet1, "Авторы: команда редактора QEB", 120, 96, QColor(192, 192, 192));

  TabSheet2 = new QWidget;
  PageControl1->addTab(TabSheet2, "ИЛ-платформа QEB");
  Label4 = MakeLabel(TabSheet2, "ИЛ-платформа QEB", 56, 8, QColor(128, 0, 128), true, "Times New Roman", 16);
  Image2 = new QLabel(TabSheet2);
  Image2->setGeometry(8, 48, 150, 150);
  Image2->setPixmap(QPixmap::fromImage(LoadAboutBitmap()));
  Label9 = MakeLabel(TabSheet2, "Парсерная русскоязычная ИЛ-платформа.", 168, 48, Qt::black);
  Label5 = MakeLabel(TabSheet2, "Авторы платформы QEB", 168, 72, QColor(0, 0, 128), true);
  Label7 = MakeLabel(TabSheet2, "Сайт программы:", 168, 96, Qt::black);
  Label8 = new TLinkLabel("https://qeb.example.org/", TabSheet2, [this] { Label8Click(); });
  Label8->move(264, 96);
  QFont linkFont = Label8->font();
  linkFont.setUnderline(true);
  Label8->setFont(linkFont);
  QPalette linkPalette = Label8->palette();
  linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
  Label8->setPalette(linkPalette);
  Label8->setCursor(Qt::PointingHandCursor);
  Label8->adjustSize();

  pages_ = {{TabSheet1,
             {{Label3, {120, 8}}, {Label1, {120, 32}}, {Label2, {120, 64}}, {Label6, {120, 96}}}},
            {TabSheet2,
             {{Label4, {56, 8}}, {Label9, {168, 48}}, {Label5, {168, 72}}, {Label7, {168, 96}},
              {Label8, {264, 96}, true}}}};
  for (const auto& [page, texts] : pages_) {
    page->installEventFilter(this);
    for (const TPlacedText& t : texts) t.label->installEventFilter(this);
  }

  Button1 = new QPushButton("Оке", this);
  Button1->setGeometry(160, 264, 75, 25);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize || event->type() == QEvent::FontChange) {
    for (const auto& [page, texts] : pages_) {
      const bool mine = std::any_of(texts.begin(), texts.end(), [&](const TPlacedText& t) { return watched == t.label; });
      if (watched == page || mine) FlowTexts(page, texts);
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TForm2::Label8Click() {
  if (!OpenUrl(Label8->text())) ShowMessage("Ошибка перехода по ссылке");
}
