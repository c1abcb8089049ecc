// Program entry: the six windows in their order, then the message loop.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>
#include <exception>
#include <memory>

#include "platform/Version.h"
#include "sim/DemoController.h"
#include "sim/Simulator.h"
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
  cli.setApplicationDescription(
      "ORVALIS: configuração, diagnóstico e monitoramento da rede de rádios QM417.\n"
      "Sem opções abre a ferramenta real: escolha a porta serial do rádio mestre e conecte.");
  cli.addHelpOption();
  cli.addVersionOption();
  QCommandLineOption demo("demo", "Rede simulada (sem rádios) numa pseudo-serial já escolhida em CONEXÃO.");
  QCommandLineOption scenario("scenario", "Cenário da rede simulada (JSON) para --demo.", "arquivo");
  QCommandLineOption timeScale("time-scale", "Aceleração do tempo da rede simulada (padrão 60: 1 min em 1 s).",
                               "fator", "60");
  QCommandLineOption quitAfter("quit-after-start", "Fecha logo após mostrar a janela (medição da partida).");
  cli.addOption(demo);
  cli.addOption(scenario);
  cli.addOption(timeScale);
  cli.addOption(quitAfter);
  cli.process(app);

  try {
    std::unique_ptr<sim::Simulator> simulator;
    std::unique_ptr<sim::DemoController> controller;
    QString settingsPath;
    if (cli.isSet(demo)) {
      // The demo never touches the real tool's settings.
      const QString dir = QStandardPaths::writableLocation(QStandardPaths::TempLocation) + "/orvalis-demo";
      QDir().mkpath(dir);
      settingsPath = dir + "/DIRIDIRUZER.ini";
    }
    QtDialogs dialogs;
    AppWindows windows(dialogs, settingsPath);
    TDual& dual = windows.dual();
    dialogs.setParent(&dual);

    if (cli.isSet(demo)) {
      QString error;
      std::optional<sim::Scenario> sc = cli.isSet(scenario) ? sim::Scenario::fromFile(cli.value(scenario), &error)
                                                            : std::optional<sim::Scenario>(sim::Scenario::builtIn());
      if (!sc) {
        QMessageBox::critical(nullptr, kApplicationTitle, "Cenário inválido: " + error);
        return 1;
      }
      simulator = std::make_unique<sim::Simulator>(*sc);
      simulator->setTimeScale(cli.value(timeScale).toDouble() > 0 ? cli.value(timeScale).toDouble() : 60.0);
      const QString path = simulator->openPty(&error);
      if (path.isEmpty()) {
        dual.tx().appendLine("Não foi possível criar a rede simulada: " + error);
      } else {
        dual.connection().selectPort(path);
        dual.tx().appendLine(QStringLiteral("Modo demonstração: rede de rádios SIMULADA em %1. Pressione CONECTAR.").arg(path));
      }
      // The TCP path too: a simulated controller, found by discovery on loopback.
      controller = std::make_unique<sim::DemoController>(*simulator);
      if (controller->start(&error)) {
        dual.setDiscoveryTarget(QHostAddress(QHostAddress::LocalHost), controller->discoveryPort(),
                                QHostAddress(QHostAddress::LocalHost), 0);
        dual.tx().appendLine(QStringLiteral("Controladora ETH simulada em 127.0.0.1:%1 (marque TCP).").arg(controller->port()));
      } else {
        dual.tx().appendLine("Controladora ETH simulada indisponível: " + error);
      }
    } else {
      // A real run looks for controllers on the local network.
      dual.setDiscoveryTarget(QHostAddress(QHostAddress::Broadcast), 1202, QHostAddress(QHostAddress::AnyIPv4), 1202);
    }
    dual.show();
    if (cli.isSet(quitAfter)) QMetaObject::invokeMethod(&app, &QApplication::quit, Qt::QueuedConnection);
    return app.exec();
  } catch (const std::exception&) {
    QMessageBox::critical(nullptr, kApplicationTitle, QStringLiteral("Não foi possível iniciar a serial!"));
    return 1;
  }
}
