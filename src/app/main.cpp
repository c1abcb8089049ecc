// Program entry: the six windows in their order, then the message loop.
#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <cstdio>
#include <exception>

#include "platform/Version.h"
#include "ui/AppWindows.h"
#include "ui/QtDialogs.h"

using namespace orvalis;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(kApplicationTitle);
  QApplication::setApplicationDisplayName(kApplicationTitle);
  QApplication::setApplicationVersion(kProgramVersion);
  QApplication::setQuitOnLastWindowClosed(false);

  QCommandLineParser cli;
  cli.setApplicationDescription("ORVALIS: configuração, diagnóstico e monitoramento da rede de rádios QM417.");
  cli.addHelpOption();
  cli.addVersionOption();
  QCommandLineOption demo("demo", "Abre a rede simulada (sem rádios) numa pseudo-serial já selecionada.");
  QCommandLineOption quitAfter("quit-after-start", "Fecha logo após mostrar a janela (medição de partida).");
  cli.addOption(demo);
  cli.addOption(quitAfter);
  cli.process(app);

  try {
    QtDialogs dialogs;
    AppWindows windows(dialogs);
    TDual& dual = windows.dual();
    dialogs.setParent(&dual);
    dual.show();
    if (cli.isSet(quitAfter)) QMetaObject::invokeMethod(&app, &QApplication::quit, Qt::QueuedConnection);
    return app.exec();
  } catch (const std::exception&) {
    QMessageBox::critical(nullptr, kApplicationTitle, QStringLiteral("Não foi possível iniciar a serial!"));
    return 1;
  }
}
