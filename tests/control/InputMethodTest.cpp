/** @file InputMethodTest.cpp
 ** The editor as an input method client. */
#include <QCoreApplication>
#include <QInputMethodEvent>

#include "ControlFixture.h"

class InputMethodTest : public ControlFixture {};

// A commit is typed once, as one undo step, in cp1251; the candidate window opens at the caret.
TEST_F(InputMethodTest, CommitTypesOnceAsOneUndoStep) {
  Load({"ab"});
  widget->setFocus(), Caret(1, 0);
  EXPECT_TRUE(widget->testAttribute(Qt::WA_InputMethodEnabled));
  QInputMethodEvent commit;
  commit.setCommitString(QString::fromUtf8("\xd0\xb6\xc3\xa9\xe2\x82\xac"));  // ж é €
  QCoreApplication::sendEvent(widget, &commit);
  EXPECT_EQ(Line(0), "a\xe6?\x88" "b");
  const QRect caret = widget->inputMethodQuery(Qt::ImCursorRectangle).toRect();
  EXPECT_EQ(caret, QRect(widget->ClientOrigin() + widget->CaretPosition(), QSize(caret.width(), memo().LineHeight)));
  memo().Range->Undo();
  EXPECT_EQ(Line(0), "ab");
}
