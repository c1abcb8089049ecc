// Every message box, OK/Cancel warning, error box and file dialog goes through here.
#pragma once

#include <QString>

namespace orvalis {

class Dialogs {
public:
  virtual ~Dialogs() = default;
  virtual void information(const QString& title, const QString& text) = 0;
  virtual void warning(const QString& title, const QString& text) = 0;
  virtual void error(const QString& title, const QString& text) = 0;
  // OK/Cancel warning; true for OK.
  virtual bool confirm(const QString& title, const QString& text) = 0;
  // Empty when the user cancelled. `selected` is the filter shown first
  // (0 = the first of the list); `suffix` is added to a name typed without one.
  virtual QString openFile(const QString& title, const QString& filter, int selected = 0) = 0;
  virtual QString saveFile(const QString& title, const QString& filter, int selected = 0,
                           const QString& suffix = QString()) = 0;
};

}  // namespace orvalis
