// The "Log" menu of a grid window: open, save, stop keeping the file, write on close.
#pragma once

#include <QMenu>
#include <QObject>
#include <QWidget>
#include <functional>

#include "events/GridTextFile.h"
#include "ui/Dialogs.h"

namespace orvalis {

class GridLogMenu : public QObject {
  Q_OBJECT
public:
  using Loader = std::function<void(const GridRows&)>;
  using Saver = std::function<GridRows()>;

  GridLogMenu(QWidget& window, Dialogs& dialogs, Loader load, Saver save);

  QMenu* menu() const { return menu_; }
  bool logOpen() const { return logOpen_; }
  const QString& fileName() const { return fileName_; }

  void Salvar1Click();  // "Abrir"
  void Salvar2Click();  // "Salvar"
  void Fechar1Click();  // "Fechar"
  // Window closing: the grid goes back to the open log file.
  void writeBackIfOpen();

  static constexpr const char* kTitle = "Arquivo de Log de Eventos";
  static constexpr const char* kFilter = ".txt|*.txt|Log Eventos|*.log|*.*|*.*";

private:
  bool save(const QString& file);

  QWidget& window_;
  Dialogs& dialogs_;
  Loader load_;
  Saver save_;
  QMenu* menu_;
  bool logOpen_ = false;
  QString fileName_;
};

}  // namespace orvalis
