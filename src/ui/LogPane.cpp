#include "ui/LogPane.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextCursor>

namespace orvalis {

LogPane::LogPane(const QString& name, QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName(name);
  setReadOnly(true);
  // "Terminal" does not exist on Linux; the system's fixed font stands in.
  QFont f("Terminal", 8);
  f.setStyleHint(QFont::TypeWriter);
  if (!QFontInfo(f).fixedPitch()) {
    f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPointSize(9);
  }
  setFont(f);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setMaximumBlockCount(20000);  // keeps a long session from growing without bound
}

void LogPane::appendText(const QString& text) {
  QTextCursor c(document());
  c.movePosition(QTextCursor::End);
  c.insertText(text);
  setTextCursor(c);
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void LogPane::keyPressEvent(QKeyEvent* e) {
  const QString t = e->text();
  if (t.size() == 1 && t[0].isPrint()) emit keyTyped(t[0]);
  QPlainTextEdit::keyPressEvent(e);
}

}  // namespace orvalis
