// A Dialogs seam for tests: records every box and answers from a script.
#pragma once

#include <QStringList>
#include <deque>

#include "ui/Dialogs.h"

namespace orvalis::test {

class ScriptedDialogs : public Dialogs {
public:
  QStringList shown;              // "error: text", "warning: ...", "confirm: ..."
  std::deque<bool> confirmAnswers;  // empty: OK
  std::deque<QString> fileAnswers;  // empty: cancelled

  void information(const QString& t, const QString& x) override { shown << "information: " + t + ": " + x; }
  void warning(const QString& t, const QString& x) override { shown << "warning: " + t + ": " + x; }
  void error(const QString& t, const QString& x) override { shown << "error: " + t + ": " + x; }
  bool confirm(const QString& t, const QString& x) override {
    shown << "confirm: " + t + ": " + x;
    if (confirmAnswers.empty()) return true;
    const bool a = confirmAnswers.front();
    confirmAnswers.pop_front();
    return a;
  }
  QString openFile(const QString& t, const QString&, int = 0) override { return next("open: " + t); }
  QString saveFile(const QString& t, const QString&, int = 0, const QString& = QString()) override {
    return next("save: " + t);
  }

private:
  QString next(const QString& what) {
    shown << what;
    if (fileAnswers.empty()) return {};
    QString f = fileAnswers.front();
    fileAnswers.pop_front();
    return f;
  }
};

}  // namespace orvalis::test
