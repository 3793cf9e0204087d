/** @file ActionList.cpp
 ** Views of an action kept in step with its state. */
#include "ActionList.h"

QAction* TAppAction::AddView(const QString& caption, QObject* parent, const QIcon& icon) {
  auto* view = new QAction(caption, parent);
  view->setObjectName(Name);
  if (ImageIndex >= 0) view->setIcon(icon);
  if (views_.empty() && !ShortCut.isEmpty()) view->setShortcut(ShortCut);
  view->setEnabled(enabled_);
  view->setCheckable(checkable_);
  view->setChecked(checked_);
  QObject::connect(view, &QAction::triggered, view, [this](bool checked) {
    if (checkable_) SetChecked(checked);
    Execute();
  });
  views_.push_back(view);
  return view;
}

void TAppAction::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  for (QAction* v : views_) v->setEnabled(value);
}

void TAppAction::SetCheckable(bool value) {
  checkable_ = value;
  for (QAction* v : views_) v->setCheckable(value);
}

void TAppAction::SetChecked(bool value) {
  checked_ = value;
  for (QAction* v : views_) v->setChecked(value);
}

void TAppAction::Execute() {
  if (enabled_ && OnExecute) OnExecute();
}
