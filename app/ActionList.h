/** @file ActionList.h
 ** An action of the main window: one command with its caption, shortcut, image and
 ** enabled state, shown by several views (menu bar, tool bar, context menu) that
 ** each carry their own caption. */
#pragma once

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QString>
#include <functional>
#include <vector>

class TAppAction {
 public:
  TAppAction(QString name, QString caption, QKeySequence shortCut, int imageIndex)
      : Name(std::move(name)), Caption(std::move(caption)), ShortCut(std::move(shortCut)), ImageIndex(imageIndex) {}
  TAppAction(const TAppAction&) = delete;
  TAppAction& operator=(const TAppAction&) = delete;

  // A new view owned by parent. The shortcut goes to the first view only, so a key
  // runs the command once. icon is shown when the action has an image.
  QAction* AddView(const QString& caption, QObject* parent, const QIcon& icon);
  const std::vector<QAction*>& Views() const { return views_; }

  void SetEnabled(bool value);
  bool Enabled() const { return enabled_; }
  // A check item toggles its mark when chosen, on every view alike.
  void SetCheckable(bool value);
  void SetChecked(bool value);
  bool Checked() const { return checked_; }
  // Runs the handler; an action without one does nothing.
  void Execute();

  const QString Name;
  const QString Caption;
  const QKeySequence ShortCut;
  const int ImageIndex;  // -1 without an image
  std::function<void()> OnExecute;

 private:
  std::vector<QAction*> views_;
  bool enabled_ = true;
  bool checkable_ = false;
  bool checked_ = false;
};
