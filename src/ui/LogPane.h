// Read-only monospaced text pane (Tx, SUR) that keeps its end in view.
#pragma once

#include <QPlainTextEdit>

namespace orvalis {

class LogPane : public QPlainTextEdit {
  Q_OBJECT
public:
  explicit LogPane(const QString& name, QWidget* parent = nullptr);
  // Appends text as it is ("\n" breaks lines), then scrolls to the end.
  void appendText(const QString& text);
  // Appends a line break and the line.
  void appendLine(const QString& line) { appendText("\n" + line); }
  QString text() const { return toPlainText(); }

signals:
  void keyTyped(QChar c);

protected:
  void keyPressEvent(QKeyEvent* e) override;
};

}  // namespace orvalis
