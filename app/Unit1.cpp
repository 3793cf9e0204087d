/** @file Unit1.cpp
 ** The main window: layout, actions, menus, the start sequence and the document commands. */
#include "Unit1.h"

#include <QAbstractEventDispatcher>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <exception>
#include <filesystem>

#include "AboutForm.h"
#include "AppImages.h"
#include "SearchBar.h"
#include "control/SyntaxMemo.h"
#include "base/Cp1251.h"
#include "qt/SyntaxMemoWidget.h"

namespace {

const char* const EventSource = "Событие";
const char* const OpenFilter = "Файлы QEB (*.qeb)|*.qeb;*.qbl|Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*";
const char* const SaveFilter = "QEB файлы (*.qeb)|*.qeb|Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*";
const char* const StartFile = "Wanderer_2/WandererII.qeb";
const char* const FallbackStartFile = "Main.qbl";

bool IsExistingFile(const char* name) {
  std::error_code ec;
  return std::filesystem::is_regular_file(name, ec);
}

QString FromCp1251(std::string_view bytes) { return QString::fromStdString(cp1251::ToUtf8(bytes)); }

}  // namespace

std::string ApplySaveFilter(const std::string& name, int filterIndex) {
  const char* ext = filterIndex == 1 ? ".qeb" : filterIndex == 2 ? ".txt" : nullptr;
  if (!ext) return name;
  // '/' separates directories here as '\' does on the platform the rule comes from.
  std::size_t cut = name.find_last_of(".\\:/");
  if (cut != std::string::npos && name[cut] == '.') return name.substr(0, cut) + ext;
  return name + ext;
}

TForm1::TForm1(std::unique_ptr<TAppDialogs> dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(std::move(dialogs)) {
  if (!dialogs_) dialogs_ = std::make_unique<TQtDialogs>(this);
  setObjectName("Form1");
  title_ = QCoreApplication::applicationName();
  if (title_.isEmpty()) title_ = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
  setGeometry(246, 150, 801, 638);
  QFont font("MS Sans Serif");
  font.setPixelSize(11);
  setFont(font);
  Images = LoadImageList();
  ClearRecentFiles(recentFiles_);

  CreateLayout();
  CreateActions();
  CreateMenus();
  SetUpEditor();
  FormCreate();
  Form2 = new TForm2(this);
  if (auto* dispatcher = QAbstractEventDispatcher::instance())
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TForm1::UpdateActions);
}

TForm1::~TForm1() {
  // The editor outlives this body as a child widget: stop it reaching the table freed here.
  Memo().SetOnParseWord(nullptr);
  keywordTable_.reset();
}

TSxSyntaxMemo& TForm1::Memo() { return SxSyntaxMemo1->Memo(); }

TAppAction* TForm1::Action(const QString& name) const {
  auto it = actionByName_.find(name);
  return it == actionByName_.end() ? nullptr : it->second;
}

void TForm1::CreateLayout() {
  auto* central = new QWidget(this);
  auto* box = new QVBoxLayout(central);
  box->setContentsMargins(0, 0, 0, 0);
  box->setSpacing(0);

  Splitter2 = new QSplitter(Qt::Vertical, central);
  Splitter2->setObjectName("Splitter2");
  Splitter2->setHandleWidth(3);
  // The editor area: the tree and the editor side by side, the search bar below them.
  auto* editorArea = new QWidget(Splitter2);
  auto* editorBox = new QVBoxLayout(editorArea);
  editorBox->setContentsMargins(0, 0, 0, 0);
  editorBox->setSpacing(0);
  Splitter1 = new QSplitter(Qt::Horizontal, editorArea);
  Splitter1->setObjectName("Splitter1");
  editorBox->addWidget(Splitter1);

  TreeView1 = new QTreeWidget(Splitter1);
  TreeView1->setObjectName("TreeView1");
  TreeView1->setHeaderHidden(true);
  TreeView1->setIndentation(19);
  TreeView1->setIconSize(QSize(16, 16));
  connect(TreeView1, &QTreeWidget::itemDoubleClicked, this, [this] { RunCommand([this] { TreeView1DblClick(); }); });

  SxSyntaxMemo1 = new TSxSyntaxMemoWidget(Splitter1);
  SxSyntaxMemo1->setObjectName("SxSyntaxMemo1");
  Splitter1->setStretchFactor(0, 0);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setSizes({169, 801 - 169});
  SearchBar1 = new TSearchBar(SxSyntaxMemo1, editorArea);
  editorBox->addWidget(SearchBar1);

  Panel1 = new QWidget(Splitter2);
  Panel1->setObjectName("Panel1");
  auto* panelBox = new QVBoxLayout(Panel1);
  panelBox->setContentsMargins(0, 0, 0, 0);
  Memo1 = new QPlainTextEdit(Panel1);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  panelBox->addWidget(Memo1);
  Splitter2->setStretchFactor(0, 1);
  Splitter2->setStretchFactor(1, 0);
  Splitter2->setSizes({638 - 68, 68});
  box->addWidget(Splitter2);
  setCentralWidget(central);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setFixedHeight(19);
  setStatusBar(StatusBar1);

  // The word-info box floats over the window; it is shown only while the user asks.
  Memo2 = new QPlainTextEdit(this);
  Memo2->setObjectName("Memo2");
  Memo2->setReadOnly(true);
  Memo2->setGeometry(440, 288, 161, 81);
  Memo2->setFrameShape(QFrame::Box);
  Memo2->setLineWidth(1);
  QPalette palette = Memo2->palette();
  palette.setColor(QPalette::Base, QColor(0, 255, 255));
  Memo2->setPalette(palette);
  Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo2->hide();
}

TAppAction* TForm1::Add(const char* name, const char* caption, const QKeySequence& key, int image,
                        std::function<void()> onExecute) {
  auto action = std::make_unique<TAppAction>(QString::fromUtf8(name), QString::fromUtf8(caption), key, image);
  if (onExecute) action->OnExecute = [this, run = std::move(onExecute)] { RunCommand(run); };
  TAppAction* a = action.get();
  actionByName_[a->Name] = a;
  actions_.push_back(std::move(action));
  return a;
}

void TForm1::CreateActions() {
  auto nothing = [] {};
  const QKeySequence none;
  Add("ActFileNew", "New", QKeySequence("Ctrl+N"), 6, [this] { NewFile(); });
  Add("ActFileOpen", "Open..", QKeySequence("Ctrl+L"), 7, [this] { OpenFile(""); });
  Add("ActFileSave", "Save", QKeySequence("Ctrl+S"), 8, [this] { SaveFile(); });
  Add("ActSaveAll", "Save all", QKeySequence("Ctrl+Alt+S"), -1, nothing);
  Add("ActFileSaveAs", "Save as..", QKeySequence("F2"), 9, [this] { SaveFileAs(); });
  Add("ActSyntaxImport", "Import syntax..", none, -1, nullptr);
  Add("ActSyntaxExport", "Export syntax..", none, -1, nullptr);
  Add("ActFileClose", "Close", QKeySequence("Ctrl+O"), -1, nothing);
  Add("ActCloseAll", "Close all", QKeySequence("F4"), -1, nothing);
  // Entry k of the submenu reopens the k-th recent file; the entries are bound to the
  // actions 1, 3, 2, 4, 5 in this order.
  const int entryOfAction[5] = {1, 3, 2, 4, 5};
  for (int n = 1; n <= 5; ++n) {
    int entry = entryOfAction[n - 1];
    std::string name = "ActRecent" + std::to_string(n);
    std::string caption = n == 1 ? "" : name;
    Add(name.c_str(), caption.c_str(), none, -1, [this, entry] {
      if (entry <= recentFiles_.Count) OpenFile(recentFiles_.Files[static_cast<std::size_t>(entry - 1)]);
    });
  }
  Add("ActExportRTF", "Export as RTF..", none, -1, nullptr);
  Add("ActExit", "Exit", QKeySequence("Ctrl+Q"), -1, [this] { close(); });
  Add("ActUndo", "Undo", none, 10, [this] { Memo().Range->Undo(); });
  Add("ActCopy", "Copy", QKeySequence("Ctrl+C"), 3, [this] { Memo().Range->CopyToClipboard(); });
  Add("ActCut", "Cut", QKeySequence("Ctrl+X"), 4, [this] { Memo().Range->CutToClipboard(); });
  Add("ActPaste", "Paste", QKeySequence("Ctrl+V"), 5, [this] { Memo().Range->PasteFromClipboard(); });
  Add("ActSelDelete", "Delete", QKeySequence(Qt::Key_Delete), 11, [this] { Memo().Range->DeleteSelection(); });
  Add("ActSelAll", "Select all", QKeySequence("Ctrl+A"), -1, [this] { Memo().Range->SelectAll(); });
  Add("ActSelStart", "Select from start", QKeySequence("Ctrl+Alt+B"), -1, [this] { Memo().Range->SelectToStart(); });
  Add("ActSelEnd", "Select to end", QKeySequence("Ctrl+Alt+E"), -1, [this] { Memo().Range->SelectToEnd(); });
  Add("ActFont", "Font..", none, -1, [this] { ActFontExecute(); });
  Add("ActDebugWindow", "Debug Window", none, 12, nullptr)->SetCheckable(true);
  Add("ActAbout", "About", none, 13, [this] { Form2->exec(); });
  Add("ActParsing", "Parsing", none, 2, [this] { AnalyzeBraces(); });
  Add("ActClosePage", "Close page", none, -1, nothing);
  Add("ActOpenInvoke", "Open file at cursor", none, -1, nullptr);
  Add("ActBrowse", "Browse word", none, -1, nullptr);
  Add("ActTopic", "Topic search", none, -1, nullptr);
  Add("ActReadOnly", "Read only", none, -1, nullptr)->SetCheckable(true);
  Add("ActSettings", "Settings..", none, 12, nothing);
  CreateSearchActions();
}

// Search, replace and go-to-line come after every other action, in their own menu group.
void TForm1::CreateSearchActions() {
  Add("ActFind", "&Найти...", QKeySequence("Ctrl+F"), -1, [this] { SearchBar1->Open(false); });
  Add("ActFindNext", "Найти &далее", QKeySequence("F3"), -1, [this] { SearchBar1->FindNext(true); });
  Add("ActFindPrev", "Найти &назад", QKeySequence("Shift+F3"), -1, [this] { SearchBar1->FindNext(false); });
  Add("ActReplace", "&Заменить...", QKeySequence("Ctrl+H"), -1, [this] { SearchBar1->Open(true); });
  Add("ActGotoLine", "Перейти к &строке...", QKeySequence("Ctrl+G"), -1, [this] {
    GoToLineCommand(Memo(), *dialogs_);
    SxSyntaxMemo1->setFocus();
  });
}

QAction* TForm1::MenuItem(QMenu* menu, const char* name, const char* caption, bool visible) {
  TAppAction* a = Action(QString::fromUtf8(name));
  QAction* view = a->AddView(QString::fromUtf8(caption), menu,
                             a->ImageIndex >= 0 ? Images[static_cast<std::size_t>(a->ImageIndex)] : QIcon());
  view->setVisible(visible);
  menu->addAction(view);
  return view;
}

// The window has no menu of its own for its bars: no toolkit menu that hides them.
QMenu* TForm1::createPopupMenu() { return nullptr; }

void TForm1::CreateMenus() {
  QMenuBar* bar = menuBar();
  QFont menuFont("Tahoma");
  menuFont.setPixelSize(11);
  bar->setFont(menuFont);
  bar->setFixedHeight(24);

  FileMenu = bar->addMenu("&Файл");
  MenuItem(FileMenu, "ActFileNew", "Созд&ать");
  MenuItem(FileMenu, "ActFileOpen", "&Открыть...");
  MenuItem(FileMenu, "ActFileSave", "&Сохранить");
  MenuItem(FileMenu, "ActSaveAll", "Сохранить все", false);
  MenuItem(FileMenu, "ActFileSaveAs", "Сохранить &как...");
  FileMenu->addSeparator();
  MenuItem(FileMenu, "ActSyntaxImport", "&Import syntax..", false);
  MenuItem(FileMenu, "ActSyntaxExport", "Ex&port syntax..", false);
  FileMenu->addSeparator();
  MenuItem(FileMenu, "ActFileClose", "Закрыть", false);
  MenuItem(FileMenu, "ActCloseAll", "C&lose all", false);
  RecentMenu = FileMenu->addMenu("Переоткрыть");
  for (const char* name : {"ActRecent1", "ActRecent3", "ActRecent2", "ActRecent4", "ActRecent5"})
    RecentEntries.push_back(MenuItem(RecentMenu, name, Action(name)->Caption.toUtf8().constData()));
  FileMenu->addSeparator();
  MenuItem(FileMenu, "ActExportRTF", "Экспорт в &RTF...");
  FileMenu->addSeparator();
  MenuItem(FileMenu, "ActExit", "В&ыход");

  QMenu* edit = bar->addMenu("&Правка");
  MenuItem(edit, "ActUndo", "&Отмена");
  edit->addSeparator();
  MenuItem(edit, "ActCopy", "&Копировать");
  MenuItem(edit, "ActCut", "&Вырезать");
  MenuItem(edit, "ActPaste", "Вст&авить");
  MenuItem(edit, "ActSelDelete", "&Удалить");
  edit->addSeparator();
  MenuItem(edit, "ActSelAll", "Выделить в&се");
  MenuItem(edit, "ActSelStart", "Выделить до начала");
  MenuItem(edit, "ActSelEnd", "Выделить до конца");
  edit->addSeparator();
  for (const char* name : {"ActFind", "ActFindNext", "ActFindPrev", "ActReplace", "ActGotoLine"})
    MenuItem(edit, name, Action(name)->Caption.toUtf8().constData());

  QMenu* format = bar->addMenu("Фор&мат");
  MenuItem(format, "ActFont", "&Шрифт...");
  MenuItem(format, "ActDebugWindow", "Окно отладки");

  QMenu* help = bar->addMenu("&Справка");
  MenuItem(help, "ActAbout", "&О программе");

  ActionToolBar1 = addToolBar("ActionToolBar1");
  ActionToolBar1->setObjectName("ActionToolBar1");
  ActionToolBar1->setIconSize(QSize(16, 16));
  ActionToolBar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  ActionToolBar1->setMovable(false);
  ActionToolBar1->setFixedHeight(26);
  auto tool = [this](const char* name, const char* caption) {
    TAppAction* a = Action(QString::fromUtf8(name));
    ActionToolBar1->addAction(a->AddView(QString::fromUtf8(caption), ActionToolBar1,
                                         Images[static_cast<std::size_t>(a->ImageIndex)]));
  };
  tool("ActFileNew", "Создать");
  tool("ActFileOpen", "Открыть");
  tool("ActFileSave", "Сохранить");
  ActionToolBar1->addSeparator();
  tool("ActParsing", "Анализ");

  PopUp = new QMenu(this);
  PopUp->setObjectName("PopUp");
  auto popup = [this](const char* name, bool visible = true) {
    TAppAction* a = Action(QString::fromUtf8(name));
    MenuItem(PopUp, name, a->Caption.toUtf8().constData(), visible);
  };
  popup("ActClosePage", false);
  PopUp->addSeparator()->setVisible(false);
  popup("ActBrowse");
  popup("ActOpenInvoke");
  popup("ActTopic");
  PopUp->addSeparator();
  popup("ActCopy");
  popup("ActCut");
  popup("ActPaste");
  PopUp->addSeparator();
  popup("ActReadOnly");
  popup("ActSettings");
}

void TForm1::SetUpEditor() {
  TSxSyntaxMemo& m = Memo();
  m.SetFont("Lucida Console", -13);
  m.SetDefForeColor(RGBColor(0, 0, 0));
  m.SetColor(RGBColor(255, 255, 255));
  m.SetSelColor(RGBColor(166, 202, 240));
  m.SetSectionIndent(16);
  m.SetOptions({smoShowFileNameInFormCaption, smoAutoGutterWidth, smoShowCursorPos, smoPanning});
  SxSyntaxMemo1->setCursor(Qt::IBeamCursor);
  SxSyntaxMemo1->SetPopupMenu(PopUp);
  m.OnKeyPress = [this](TSxCustomSyntaxMemo&, char& key) { SxSyntaxMemo1KeyPress(key); };
  m.OnWordInfo = [this](TSxCustomSyntaxMemo&, int x, int y, int wordIndex, int row, bool showing) {
    SxSyntaxMemo1WordInfo(x, y, wordIndex, row, showing);
  };
  // The handler only reads the keyword table, which changes only between tokenizings.
  m.SetOnParseWord(
      [this](TSxSyntaxParser&, std::string_view word, int, int, TToken& token) { SxSyntaxMemo1ParseWord(word, token); },
      true);
}

void TForm1::FormCreate() {
  try {
    Log(EventSource, "Загрузка параметров...");
    ClearRecentFiles(recentFiles_);
    UpdateRecentMenu();
    TSxSynMemoStrings& lines = *Memo().Lines;
    lines.NewDocument();
    lines.SetModified(false);
    keywordTable_ = LoadKeywordTable(
        "qeb.syn2", [this](const std::string& source, const std::string& message) { Log(source, message); },
        *Memo().SyntaxAttributes);
    Memo().SyntaxAttributes->LoadSyntax("qeb.syn");
    if (IsExistingFile(StartFile))
      OpenFile(StartFile);
    else if (IsExistingFile(FallbackStartFile))
      OpenFile(FallbackStartFile);
    Log(EventSource, "Запуск прошел успешно!");
  } catch (const std::exception& e) {
    dialogs_->Error(e.what());
  }
  UpdateCaption();
}

void TForm1::RunCommand(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    dialogs_->Error(e.what());
  }
  UpdateCaption();
}

void TForm1::Log(const std::string& source, const std::string& message) {
  QString line = QString::fromStdString("[" + source + "]: " + message);
  line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  Memo1->appendPlainText(line);
}

void TForm1::UpdateCaption() {
  setWindowTitle(title_ + QLatin1Char('-') + QString::fromStdString(Memo().Lines->FileName()));
}

void TForm1::OpenFile(const std::string& fileName) {
  Log(EventSource, "Открытие...");
  std::string name = fileName;
  if (name.empty() && !dialogs_->OpenFileName(OpenFilter, openFilterIndex_, name)) return;
  TSxSynMemoStrings& lines = *Memo().Lines;
  if (name == lines.FileName()) return;
  lines.LoadFromFile(name);
  AnalyzeBraces();
  AddRecentFile(recentFiles_, name);
  UpdateRecentMenu();
  Log(EventSource, "Открыто");
  lines.SetModified(false);
  UpdateCaption();
}

bool TForm1::SaveFile() {
  Log(EventSource, "Сохранение...");
  TSxSynMemoStrings& lines = *Memo().Lines;
  bool written;
  if (lines.IsNew()) {
    written = SaveFileAs();
  } else {
    lines.SaveToFile(lines.FileName());
    written = true;
  }
  if (written) Log(EventSource, "Сохранено в " + lines.FileName());
  UpdateCaption();
  return written;
}

bool TForm1::SaveFileAs() {
  int filterIndex = 1;
  std::string name;
  if (!dialogs_->SaveFileName(SaveFilter, filterIndex, name)) return false;
  Memo().Lines->SaveToFile(ApplySaveFilter(name, filterIndex));
  UpdateCaption();
  return true;
}

bool TForm1::CanCloseFile() {
  if (!Memo().Lines->Modified()) return true;
  switch (dialogs_->AskYesNoCancel("Файл был изменен. Сохранить?")) {
    case TQueryAnswer::Yes:
      return SaveFile();
    case TQueryAnswer::No:
      return true;
    default:
      return false;
  }
}

void TForm1::NewFile() {
  if (!CanCloseFile()) return;
  TSxSynMemoStrings& lines = *Memo().Lines;
  lines.NewDocument();
  Log(EventSource, "Новый создан");
  lines.SetModified(false);
  UpdateCaption();
}

void TForm1::closeEvent(QCloseEvent* event) {
  bool canClose = false;
  RunCommand([&] { canClose = CanCloseFile(); });
  event->setAccepted(canClose);
}

void TForm1::AnalyzeBraces() {
  Log(EventSource, "Парсинг...");
  AddBraceSections(*Memo().Lines, *Memo().SectionTree);
  UpdateSectionsInfo();
  Log(EventSource, "Парсинг ОК");
}

void TForm1::UpdateSectionsInfo() {
  ShowOutline(BuildOutline(*Memo().Lines, *Memo().SectionTree->Root(), keywordTable_.get(), SelectedLine));
}

void TForm1::ShowOutline(const TOutline& outline) {
  struct Builder {
    const std::vector<QIcon>& images;
    QTreeWidgetItem* Make(const TOutlineNode& n) const {
      auto* item = new QTreeWidgetItem(QStringList(FromCp1251(n.Caption)));
      item->setData(0, Qt::UserRole, n.Line);
      if (n.Image >= 0) item->setIcon(0, images[static_cast<std::size_t>(n.Image)]);
      for (const TOutlineNode& c : n.Children) item->addChild(Make(c));
      return item;
    }
    static void Expand(QTreeWidgetItem* item, const TOutlineNode& n) {
      for (int i = 0; i < item->childCount(); ++i) Expand(item->child(i), n.Children[static_cast<std::size_t>(i)]);
      item->setExpanded(n.Expanded);
    }
  };
  TreeView1->setUpdatesEnabled(false);
  TreeView1->clear();
  Builder builder{Images};
  QTreeWidgetItem* top = builder.Make(outline.Top);
  TreeView1->addTopLevelItem(top);
  Builder::Expand(top, outline.Top);
  QTreeWidgetItem* selected = nullptr;
  if (outline.HasSelection) {
    selected = top;
    for (int i : outline.SelectedPath) selected = selected->child(i);
  }
  TreeView1->setUpdatesEnabled(true);
  if (selected) {
    TreeView1->setCurrentItem(selected);
  } else {
    TreeView1->clearSelection();
    TreeView1->setCurrentItem(nullptr);
  }
}

void TForm1::TreeView1DblClick() {
  QTreeWidgetItem* node = TreeView1->currentItem();
  if (!node || !node->isSelected()) return;
  SelectedLine = node->data(0, Qt::UserRole).toInt();
  Memo().GotoLine(0, SelectedLine);
  SxSyntaxMemo1->setFocus();
}

void TForm1::UpdateRecentMenu() {
  for (QAction* entry : RecentEntries) entry->setVisible(false);
  for (int k = 1; k <= recentFiles_.Count && k <= static_cast<int>(RecentEntries.size()); ++k) {
    QAction* entry = RecentEntries[static_cast<std::size_t>(k - 1)];
    // '&' in a path is shown as itself, not as an accelerator.
    entry->setText(QString::fromStdString(recentFiles_.Files[static_cast<std::size_t>(k - 1)])
                       .replace(QLatin1Char('&'), QStringLiteral("&&")));
    entry->setVisible(true);
  }
}

void TForm1::UpdateActions() {
  static const char* const always[] = {"ActFileNew", "ActFileOpen", "ActFileSave", "ActFileSaveAs",
                                       "ActFileClose", "ActCloseAll", "ActExit", "ActReadOnly",
                                       "ActSelAll", "ActSelStart", "ActSelEnd", "ActAbout",
                                       "ActClosePage", "ActFont", "ActRecent1", "ActRecent2",
                                       "ActRecent3", "ActRecent4", "ActRecent5"};
  static const char* const never[] = {"ActDebugWindow", "ActExportRTF", "ActSyntaxExport", "ActSyntaxImport",
                                      "ActSettings", "ActBrowse", "ActTopic", "ActOpenInvoke"};
  for (const char* name : always) Action(name)->SetEnabled(true);
  for (const char* name : never) Action(name)->SetEnabled(false);
  TSxSyntaxMemo& m = Memo();
  const bool selected = !m.Range->IsEmpty();
  Action("ActSelDelete")->SetEnabled(selected);
  Action("ActCopy")->SetEnabled(selected);
  Action("ActCut")->SetEnabled(selected);
  Action("ActPaste")->SetEnabled(m.Clipboard().HasText());
  Action("ActUndo")->SetEnabled(m.Range->CanUndo());
  Action("ActReplace")->SetEnabled(!m.Options().Contains(smoReadOnly));
}

void TForm1::SxSyntaxMemo1KeyPress(char& key) {
  if (key == '\r') {
    SxSyntaxMemo1->RepaintAll();
  }
}

void TForm1::SxSyntaxMemo1ParseWord(std::string_view word, TToken& token) {
  ClassifyWord(keywordTable_.get(), word, token);
}

void TForm1::SxSyntaxMemo1WordInfo(int x, int y, int wordIndex, int row, bool showing) {
  if (!showing) {
    Memo2->hide();
    return;
  }
  TSxSynMemoStrings& lines = *Memo().Lines;
  if (!lines.IsValidLine(row)) return;
  TSxSyntaxParser tokens = lines.TokenList(row);
  if (wordIndex < 0 || wordIndex >= static_cast<int>(tokens.Tokens().size())) return;
  const TSxSyntaxToken& t = tokens.Tokens()[static_cast<std::size_t>(wordIndex)];
  std::string_view text = lines.Get(row);
  std::size_t start = std::min<std::size_t>(t.Start, text.size());
  Memo2->clear();
  Memo2->appendPlainText(FromCp1251(text.substr(start, t.Len)));
  Memo2->appendPlainText(QStringLiteral("Start at %1").arg(t.Start));
  Memo2->appendPlainText(QStringLiteral("Length is %1").arg(t.Len));
  Memo2->appendPlainText(QStringLiteral("Token is #%1").arg(t.Kind));
  Memo2->show();
  Memo2->move(x, y);
  Memo2->raise();
}

void TForm1::ActFontExecute() {
  std::string name = Memo().FontName();
  int height = Memo().FontHeight();
  if (dialogs_->ChooseFont(name, height)) Memo().SetFont(name, height);
}
