// orvalis-cli: the tool's core without windows, for scripts, logging and field checks.
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <map>

#include "cli/CliLink.h"
#include "cli/CliOutput.h"
#include "cli/ReplyReport.h"
#include "events/GridTextFile.h"
#include "firmware/FirmwareImage.h"
#include "events/SurGardIntake.h"
#include "link/ControllerLogin.h"
#include "link/HexText.h"
#include "link/RadioFrame.h"
#include "platform/ControllerDiscovery.h"
#include "platform/SerialPorts.h"
#include "platform/Version.h"
#include "radio/Diagnostics.h"
#include "radio/RadioConfigRequests.h"
#include "radio/RouteTables.h"
#include "radio/SignalNoise.h"

using namespace orvalis;
using namespace orvalis::cli;

namespace {

struct Options {
  QString command;
  QStringList args;
  QString port, tcp, format = "csv", broadcast = "255.255.255.255";
  std::optional<RadioId> via;
  int timeoutMs = 3000;
  bool json = false, local = false, ack = false, help = false;
  int count = 0;
  double seconds = 0;
};

struct CommandHelp {
  const char* name;
  const char* usage;
  const char* text;
};
const CommandHelp kCommands[] = {
    {"ports", "ports", "Lista as portas seriais: dispositivo, descrição, fabricante, VID:PID."},
    {"frame", "frame RADIO HEX...", "Mostra o quadro que seria enviado ao RADIO com os dados HEX (código primeiro)."},
    {"decode", "decode HEX...", "Decodifica uma resposta recebida (pelo código) ou uma mensagem Sur-Gard."},
    {"listen", "listen [--ack] [--count N] [--seconds S]",
     "Age como receptora: mostra cada evento; --ack responde 0x06 a cada mensagem terminada em 0x14."},
    {"read", "read RADIO [--local]", "Leitura de parâmetros (0xE2 com --local ou rádio 0, senão 0xD4)."},
    {"signal", "signal RADIO", "Leitura de sinal (0xD7)."},
    {"noise", "noise RADIO", "Leitura de ruído (0xD8)."},
    {"diag", "diag RADIO", "Diagnóstico (0xE7)."},
    {"sync", "sync RADIO", "Análise de sincronismo (0xC3)."},
    {"trace", "trace RADIO", "Traça rota (0xD2)."},
    {"send", "send RADIO HEX...", "Envia dados brutos e mostra cada resposta que chegar dentro do tempo limite."},
    {"discover", "discover [--broadcast ADDR[:PORTA]] [--seconds S]",
     "Procura controladoras Ethernet (sonda \"QM417\" na porta UDP 1202; padrão 255.255.255.255) e lista as "
     "respostas; termina 2 s após a última ou após S segundos."},
    {"export", "export FILE [--format csv|json]",
     "Lê um arquivo de grade (log de eventos, tabela de comunicação, lista de controladoras) e escreve CSV ou JSON."},
    {"fw", "fw analyze FILE [--json]",
     "Análise de um arquivo de firmware .rad: seções, checksum da flash e tamanho, como na aba UPGRADE."},
};

const char* kLinkOptions =
    "Opções de ligação: --port DISPOSITIVO, ou --tcp HOST[:PORTA] (controladora Ethernet, porta 2000 por padrão),\n"
    "--via ID (por um rádio gateway), --timeout MS (padrão 3000), --json (um objeto JSON por linha).\n"
    "Saída: 0 feito; 1 uso; 2 erro de ligação; 3 sem resposta no tempo; 4 entrada inválida.";

void PrintHelp(const QString& command) {
  CliOutput out(false);
  for (const CommandHelp& c : kCommands) {
    if (!command.isEmpty() && command != c.name) continue;
    out.line(QString("orvalis-cli %1").arg(QString::fromUtf8(c.usage)));
    out.line(QString("    %1").arg(QString::fromUtf8(c.text)));
  }
  out.line(QString::fromUtf8(kLinkOptions));
}

bool ParseArgs(const QStringList& argv, Options& o, QString* error) {
  auto value = [&](int& i, const QString& name) -> std::optional<QString> {
    if (i + 1 >= argv.size()) {
      *error = name + " precisa de um valor";
      return std::nullopt;
    }
    return argv[++i];
  };
  for (int i = 1; i < argv.size(); ++i) {
    const QString& a = argv[i];
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.command = "--version";
    } else if (a == "--json") {
      o.json = true;
    } else if (a == "--local") {
      o.local = true;
    } else if (a == "--ack") {
      o.ack = true;
    } else if (a == "--port" || a == "--tcp" || a == "--via" || a == "--timeout" || a == "--count" ||
               a == "--seconds" || a == "--format" || a == "--broadcast") {
      const auto v = value(i, a);
      if (!v) return false;
      bool ok = true;
      if (a == "--port") o.port = *v;
      if (a == "--tcp") o.tcp = *v;
      if (a == "--format") o.format = *v;
      if (a == "--broadcast") o.broadcast = *v;
      if (a == "--via") {
        const uint id = v->toUInt(&ok);
        ok = ok && id <= 1023;
        o.via = static_cast<RadioId>(id);
      }
      if (a == "--timeout") o.timeoutMs = v->toInt(&ok);
      if (a == "--count") o.count = v->toInt(&ok);
      if (a == "--seconds") o.seconds = v->toDouble(&ok);
      if (!ok) {
        *error = QString("valor inválido para %1: %2").arg(a, *v);
        return false;
      }
    } else if (a.startsWith("--")) {
      *error = "opção desconhecida: " + a;
      return false;
    } else if (o.command.isEmpty()) {
      o.command = a;
    } else {
      o.args << a;
    }
  }
  return true;
}

std::optional<RadioId> ParseRadio(const QString& text) {
  bool ok = false;
  const uint v = text.toUInt(&ok);
  if (!ok || v > 0xFFFF) return std::nullopt;
  return static_cast<RadioId>(v);
}

std::optional<Bytes> ParseHexArgs(const QStringList& args) {
  std::string err;
  auto b = ParseHex(args.join(' ').toStdString(), &err);
  if (!b) CliOutput::error("hexadecimal inválido: " + QString::fromStdString(err));
  return b;
}

QString Now() { return QDateTime::currentDateTime().toString(Qt::ISODate); }
std::string TimeText() { return QTime::currentTime().toString("HH:mm:ss").toStdString(); }

Arrival ArrivalNow() {
  Arrival a;
  a.when = std::chrono::system_clock::now();
  a.dateTimeText = QDateTime::currentDateTime().toString("dd/MM/yyyy hh:mm:ss").toStdString();
  a.timeText = TimeText();
  return a;
}

// Prints intake results; returns how many events (not link tests) were shown.
int PrintIntake(const std::vector<IntakeResult>& results, const CliOutput& out, CommandSender* ackVia, long* acks) {
  int shown = 0;
  for (const IntakeResult& r : results) {
    if (r.sendAck && ackVia && ackVia->writeAck() && acks) ++*acks;
    if (r.kind == IntakeResult::Kind::LinkTest) {
      if (out.json())
        out.object(LinkTestJson(QString::fromStdString(r.messageText), Now()));
      else
        out.line(Now() + "  teste de link  " + QString::fromStdString(r.messageText));
    } else if (r.kind == IntakeResult::Kind::Event && r.event) {
      ++shown;
      if (out.json())
        out.object(EventJson(*r.event, Now()));
      else
        out.line(EventLine(*r.event, Now()));
      if (r.event->malformedNotice) CliOutput::error(QString::fromStdString(*r.event->malformedNotice));
    }
  }
  return shown;
}

int OpenLink(CliLink& link, const Options& o, std::function<void()> ready);

// Waits for the reply a handler recognises, printing it; exit 3 on timeout.
class Exchange : public DispatchTarget {
public:
  using Want = std::function<bool(const Reply&)>;
  Exchange(CliLink& link, const Options& o, Want want) : link_(link), o_(o), want_(std::move(want)) {
    link_.targets().add(this);
  }
  ~Exchange() override { link_.targets().remove(this); }

  int run(RadioId radio, const Bytes& data) {
    link_.setRadio(radio);
    if (const int rc = OpenLink(link_, o_, [this, radio, data] {
          link_.setAwaitingReply(true);
          QTimer::singleShot(o_.timeoutMs, qApp, [this] {
            if (!done_) {
              CliOutput::error(QString("sem resposta do rádio em %1 ms").arg(o_.timeoutMs));
              QCoreApplication::exit(kNoReply);
            }
          });
          link_.sender().SendFrame(radio, data);
        }))
      return rc;
    return QCoreApplication::exec();
  }

  void onParameters(const Reply& r) override { check(r); }
  void onSignal(const Reply& r) override { check(r); }
  void onNoise(const Reply& r) override { check(r); }
  void onDiagnostics(const Reply& r) override { check(r); }
  void onSyncAnalysis(const Reply& r) override { check(r); }
  void onRouteTrace(const Reply& r) override { check(r); }
  void onRouteQuery(const Reply& r) override { check(r); }
  void onTable(const Reply& r) override { check(r); }

private:
  void check(const Reply& r) {
    if (done_ || !want_(r)) return;
    done_ = true;
    ReportReply(r.bytes, r.timeText).print(o_.json);
    QCoreApplication::exit(kOk);
  }
  CliLink& link_;
  const Options& o_;
  Want want_;
  bool done_ = false;
};

// Opens the serial port, or connects and logs in to the controller; `ready`
// runs on the event loop once frames can be sent. Returns an exit code on an
// error found at once.
int OpenLink(CliLink& link, const Options& o, std::function<void()> ready) {
  link.setGateway(o.via);
  if (!o.tcp.isEmpty()) {
    const auto hp = ParseHostPort(o.tcp.toStdString());
    if (!hp) {
      CliOutput::error("--tcp espera HOST:PORTA, não " + o.tcp);
      return kUsage;
    }
    link.openTcp(QString::fromStdString(hp->host), hp->port, std::move(ready), [](const QString& why) {
      CliOutput::error("controladora: " + why);
      QCoreApplication::exit(kLinkError);
    });
    return kOk;
  }
  if (o.port.isEmpty()) {
    CliOutput::error("indique a porta serial com --port DISPOSITIVO (ou --tcp HOST:PORTA)");
    return kUsage;
  }
  QString error;
  if (!link.openSerial(o.port, &error)) {
    CliOutput::error(QString("não foi possível abrir %1: %2").arg(o.port, error));
    return kLinkError;
  }
  QTimer::singleShot(0, qApp, std::move(ready));
  return kOk;
}

int RadioCommand(const Options& o, const std::function<Bytes(RadioId)>& build, CommandCode want) {
  if (o.args.size() != 1) {
    PrintHelp(o.command);
    return kUsage;
  }
  const auto radio = ParseRadio(o.args[0]);
  if (!radio) {
    CliOutput::error("RADIO deve ser um número de 0 a 1023: " + o.args[0]);
    return kBadInput;
  }
  CliLink link;
  Exchange ex(link, o, [want](const Reply& r) {
    if (want == code::kRemoteRead) return r.code() == code::kRemoteRead || r.code() == code::kLocalRead;
    if (want == code::kSignal) return r.code() == code::kSignal || r.code() == code::kSignalAny;
    if (want == code::kRouteTrace) return r.code() == code::kRouteTrace || r.code() == code::kRouteQuery;
    return r.code() == want;
  });
  return ex.run(*radio, build(*radio));
}

int Ports(const Options& o) {
  CliOutput out(o.json);
  for (const SerialPortEntry& p : ListSerialPorts()) {
    if (o.json)
      out.object({{"device", p.device}, {"description", p.description}, {"manufacturer", p.manufacturer},
                  {"vid_pid", p.vidPid}});
    else
      out.line(QString("%1\t%2\t%3\t%4").arg(p.device, p.description, p.manufacturer, p.vidPid));
  }
  return kOk;
}

int Frame(const Options& o) {
  if (o.args.size() < 2) {
    PrintHelp("frame");
    return kUsage;
  }
  const auto radio = ParseRadio(o.args[0]);
  const auto data = ParseHexArgs(o.args.mid(1));
  if (!radio || !data) {
    if (!radio) CliOutput::error("RADIO deve ser um número de 0 a 65535: " + o.args[0]);
    return kBadInput;
  }
  if (data->empty() || data->size() > kMaxFrameData) {
    CliOutput::error(QString("os dados devem ter de 1 a %1 bytes").arg(kMaxFrameData));
    return kBadInput;
  }
  FrameRoute route;
  if (o.via && (*data)[0] != code::kLocalRead) route.gateway = *o.via;
  const QString hex = QString::fromStdString(ToHexText(BuildRadioFrame(*radio, *data, route)));
  CliOutput out(o.json);
  if (o.json)
    out.object({{"frame", hex}});
  else
    out.line(hex);
  return kOk;
}

int Decode(const Options& o) {
  if (o.args.isEmpty()) {
    PrintHelp("decode");
    return kUsage;
  }
  const auto data = ParseHexArgs(o.args);
  if (!data) return kBadInput;
  if (data->size() < 3) {
    CliOutput::error("resposta curta demais para decodificar");
    return kBadInput;
  }
  const CliOutput out(o.json);
  const char c = static_cast<char>((*data)[0]);
  if (c == '1' || c == '5' || c == '6') {
    SurGardIntake intake;
    auto results = intake.feed(*data, ArrivalNow(), false);
    auto rest = intake.flushHeld(ArrivalNow());
    results.insert(results.end(), rest.begin(), rest.end());
    PrintIntake(results, out, nullptr, nullptr);
    return kOk;
  }
  ReportReply(*data, TimeText()).print(o.json);
  return kOk;
}

int Send(const Options& o) {
  if (o.args.size() < 2) {
    PrintHelp("send");
    return kUsage;
  }
  const auto radio = ParseRadio(o.args[0]);
  const auto data = ParseHexArgs(o.args.mid(1));
  if (!radio || !data || data->empty()) return kBadInput;
  CliLink link;
  int bursts = 0;
  link.onBurst = [&](const QByteArray& b) {
    ++bursts;
    const std::span<const std::uint8_t> s(reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size()));
    const ReplyReport r = ReportReply(s, TimeText());
    CliOutput out(o.json);
    if (o.json) {
      QJsonObject j = r.toJson();
      j["hex"] = QString::fromStdString(ToHexText(s));
      out.object(j);
    } else {
      out.line(QString::fromStdString(ToHexText(s)));
      r.print(false);
    }
  };
  link.setRadio(*radio);
  if (const int rc = OpenLink(link, o, [&] {
        QTimer::singleShot(o.timeoutMs, qApp, [&] { QCoreApplication::exit(bursts ? kOk : kNoReply); });
        link.sender().SendFrame(*radio, *data);
      }))
    return rc;
  return QCoreApplication::exec();
}

// Receiver: every event printed once; optional ACKs.
class Listener : public DispatchTarget {
public:
  Listener(CliLink& link, const Options& o) : link_(link), o_(o), out_(o.json) { link_.targets().add(this); }
  ~Listener() override { link_.targets().remove(this); }
  void onEventText(const Reply& r) override { show(intake_.feed(r.bytes, ArrivalNow(), o_.ack)); }
  bool continuation(const QByteArray& b) {
    const std::span<const std::uint8_t> s(reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size()));
    if (!intake_.hasHeld()) return false;
    if (intake_.continuesHeld(s)) {
      show(intake_.feed(s, ArrivalNow(), o_.ack));
      return true;
    }
    show(intake_.flushHeld(ArrivalNow()));
    return false;
  }

private:
  void show(const std::vector<IntakeResult>& res) {
    shown_ += PrintIntake(res, out_, &link_.sender(), nullptr);
    if (o_.count > 0 && shown_ >= o_.count) QCoreApplication::exit(kOk);
  }
  CliLink& link_;
  const Options& o_;
  CliOutput out_;
  SurGardIntake intake_;
  int shown_ = 0;
};

int Listen(const Options& o) {
  CliLink link;
  Listener listener(link, o);
  link.setAcceptContinuation([&](const QByteArray& b) { return listener.continuation(b); });
  if (const int rc = OpenLink(link, o, [&] {
        if (o.seconds > 0)
          QTimer::singleShot(static_cast<int>(o.seconds * 1000), qApp, [] { QCoreApplication::exit(kOk); });
      }))
    return rc;
  return QCoreApplication::exec();
}

int Discover(const Options& o) {
  const auto hp = ParseHostPort(o.broadcast.toStdString());
  QHostAddress target;
  if (!hp || !target.setAddress(QString::fromStdString(hp->host))) {
    CliOutput::error("--broadcast espera um endereço IPv4, não " + o.broadcast);
    return kUsage;
  }
  const quint16 port = o.broadcast.contains(':') ? hp->port : kDiscoveryPort;
  ControllerDiscovery discovery(target);
  discovery.setTargetPort(port);
  // Probing this machine needs no well-known local port.
  if (target.isLoopback()) discovery.setLocalEndpoint(QHostAddress(QHostAddress::LocalHost), 0);
  const CliOutput out(o.json);
  QObject::connect(&discovery, &ControllerDiscovery::answerReceived, [&](int, const DiscoveryAnswer& a) {
    if (o.json)
      out.object({{"mac", QString::fromStdString(a.mac)}, {"ip", QString::fromStdString(a.ip)},
                  {"port", QString::fromStdString(a.port)}});
    else
      out.line(QString("%1\t%2\t%3").arg(QString::fromStdString(a.mac), QString::fromStdString(a.ip),
                                        QString::fromStdString(a.port)));
  });
  QObject::connect(&discovery, &ControllerDiscovery::finished, [] { QCoreApplication::exit(kOk); });
  QObject::connect(&discovery, &ControllerDiscovery::error, [](const QString& e) {
    CliOutput::error(e);
    QCoreApplication::exit(kLinkError);
  });
  if (o.seconds > 0) QTimer::singleShot(static_cast<int>(o.seconds * 1000), qApp, [] { QCoreApplication::exit(kOk); });
  if (!discovery.start()) return kLinkError;
  return QCoreApplication::exec();
}

int Export(const Options& o) {
  if (o.args.size() != 1 || (o.format != "csv" && o.format != "json")) {
    PrintHelp("export");
    return kUsage;
  }
  GridRows rows;
  const std::string err = GridTextFile::Load(QFileInfo(o.args[0]).filesystemFilePath(), rows);
  if (!err.empty()) {
    CliOutput::error(QString("não foi possível ler %1: %2").arg(o.args[0], QString::fromStdString(err)));
    return kBadInput;
  }
  CliOutput out(false);
  if (o.format == "json") {
    QJsonArray all;
    for (const GridRow& r : rows) {
      QJsonArray cells;
      for (const std::string& c : r) cells.append(QString::fromStdString(c));
      all.append(cells);
    }
    CliOutput(true).object({{"rows", all}});
    return kOk;
  }
  for (const GridRow& r : rows) {
    QStringList cells;
    for (const std::string& c : r) {
      QString t = QString::fromStdString(c);
      if (t.contains(',') || t.contains('"') || t.contains('\n') || t.contains('\r'))
        t = '"' + t.replace("\"", "\"\"") + '"';
      cells << t;
    }
    out.line(cells.join(','));
  }
  return kOk;
}

int Firmware(const Options& o) {
  if (o.args.size() != 2 || o.args[0] != "analyze") {
    PrintHelp("fw");
    return kUsage;
  }
  const FirmwareImage img = FirmwareImage::AnalyseFile(QFileInfo(o.args[1]).filesystemFilePath().string());
  if (!img.opened()) {
    CliOutput::error(QString("não foi possível ler %1").arg(o.args[1]));
    return kBadInput;
  }
  CliOutput out(false);
  if (o.json) {
    out.line(QString::fromStdString(img.toJson()));
  } else {
    for (const std::string& l : RenderTx(img.log())) out.line(QString::fromStdString(l));
    out.line(QString("Tamanho total: %1").arg(img.totalSize()));
  }
  // A record cut short or with a bad digit: the tool would refuse to send the file.
  return img.ok() ? kOk : kBadInput;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("orvalis-cli");
  QCoreApplication::setApplicationVersion(kProgramVersion);
  Options o;
  QString error;
  if (!ParseArgs(app.arguments(), o, &error)) {
    CliOutput::error(error);
    return kUsage;
  }
  if (o.command == "--version") {
    CliOutput(false).line(QString("orvalis-cli %1").arg(kProgramVersion));
    return kOk;
  }
  if (o.help || o.command.isEmpty() || o.command == "help") {
    PrintHelp(o.command == "help" && !o.args.isEmpty() ? o.args[0] : (o.help ? o.command : QString()));
    return o.command.isEmpty() && !o.help ? kUsage : kOk;
  }
  const std::map<QString, std::function<int()>> commands{
      {"ports", [&] { return Ports(o); }},
      {"frame", [&] { return Frame(o); }},
      {"decode", [&] { return Decode(o); }},
      {"send", [&] { return Send(o); }},
      {"listen", [&] { return Listen(o); }},
      {"export", [&] { return Export(o); }},
      {"discover", [&] { return Discover(o); }},
      {"fw", [&] { return Firmware(o); }},
      {"read",
       [&] {
         return RadioCommand(o, [&](RadioId r) { return BuildParameterRead(o.local || r == 0, r); },
                             code::kRemoteRead);
       }},
      {"signal", [&] { return RadioCommand(o, [](RadioId) { return BuildSignalRequest(); }, code::kSignal); }},
      {"noise", [&] { return RadioCommand(o, [](RadioId) { return BuildNoiseRequest(); }, code::kNoise); }},
      {"diag", [&] { return RadioCommand(o, [](RadioId) { return BuildDiagnosticsRequest(); }, code::kDiagnostics); }},
      {"sync", [&] { return RadioCommand(o, [](RadioId) { return BuildSyncRequest(); }, code::kSyncAnalysis); }},
      {"trace", [&] { return RadioCommand(o, [](RadioId) { return BuildTraceRequest(); }, code::kRouteTrace); }},
  };
  const auto it = commands.find(o.command);
  if (it == commands.end()) {
    CliOutput::error("comando desconhecido: " + o.command + " (veja orvalis-cli --help)");
    return kUsage;
  }
  return it->second();
}
