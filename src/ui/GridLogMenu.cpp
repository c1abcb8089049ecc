#include "ui/GridLogMenu.h"

#include <QFileInfo>

namespace orvalis {

GridLogMenu::GridLogMenu(QWidget& window, Dialogs& dialogs, Loader load, Saver save)
    : QObject(&window), window_(window), dialogs_(dialogs), load_(std::move(load)), save_(std::move(save)) {
  menu_ = new QMenu(QStringLiteral("Log"), &window);
  menu_->setObjectName("Log1");
  menu_->addAction(QStringLiteral("Abrir"), this, &GridLogMenu::Salvar1Click)->setObjectName("Salvar1");
  menu_->addAction(QStringLiteral("Salvar"), this, &GridLogMenu::Salvar2Click)->setObjectName("Salvar2");
  menu_->addAction(QStringLiteral("Fechar"), this, &GridLogMenu::Fechar1Click)->setObjectName("Fechar1");
}

void GridLogMenu::Salvar1Click() {
  const QString file = dialogs_.openFile(kTitle, kFilter);
  if (file.isEmpty()) return;
  window_.setWindowTitle("LOG [" + file + "]");
  GridRows rows;
  const std::string err = GridTextFile::Load(QFileInfo(file).filesystemFilePath(), rows);
  load_(rows);  // the grid is replaced, empty after a failed read
  if (!err.empty()) {
    dialogs_.error(QStringLiteral("Erro"), QStringLiteral("Não foi possível ler %1: %2").arg(file, QString::fromStdString(err)));
    return;
  }
  fileName_ = file;
  logOpen_ = true;
}

void GridLogMenu::Salvar2Click() {
  const QString file = dialogs_.saveFile(kTitle, kFilter);
  if (file.isEmpty()) return;
  window_.setWindowTitle("LOG [" + file + "]");
  if (!save(file)) return;
  fileName_ = file;
  logOpen_ = true;
}

void GridLogMenu::Fechar1Click() {
  logOpen_ = false;
  window_.setWindowTitle("LOG");
}

void GridLogMenu::writeBackIfOpen() {
  if (logOpen_ && !fileName_.isEmpty()) save(fileName_);
}

bool GridLogMenu::save(const QString& file) {
  const std::string err = GridTextFile::Save(QFileInfo(file).filesystemFilePath(), save_());
  if (err.empty()) return true;
  dialogs_.error(QStringLiteral("Erro"),
                 QStringLiteral("Não foi possível gravar %1: %2").arg(file, QString::fromStdString(err)));
  return false;
}

}  // namespace orvalis
