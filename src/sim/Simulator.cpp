#include "sim/Simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QHostAddress>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace orvalis::sim {

namespace {
constexpr int kTickMs = 20;
constexpr int kQuietMs = 5;  // end of a frame from the tool
constexpr int kPaceMs = 2;
constexpr double kBytesPerMs = 0.96;  // 9600 bit/s, 10 bits a character
constexpr int kHangupCheckMs = 50;
constexpr qsizetype kMaxPending = 64 * 1024;

QString Hex(const QByteArray& b) {
  return QString::fromLatin1(b.toHex(' ').toUpper());
}
QByteArray ToQt(const Bytes& b) {
  return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
}
}  // namespace

Simulator::Simulator(const Scenario& scenario, QObject* parent) : QObject(parent), mesh_(scenario, 0) {
  clock_.start();
  for (QTimer* t : {&tickTimer_, &rxTimer_, &paceTimer_, &hangupTimer_}) t->setTimerType(Qt::PreciseTimer);
  tickTimer_.setInterval(kTickMs);
  connect(&tickTimer_, &QTimer::timeout, this, &Simulator::tick);
  tickTimer_.start();
  rxTimer_.setSingleShot(true);
  connect(&rxTimer_, &QTimer::timeout, this, &Simulator::pollSplitters);
  paceTimer_.setInterval(kPaceMs);
  connect(&paceTimer_, &QTimer::timeout, this, &Simulator::flushLines);
  hangupTimer_.setInterval(kHangupCheckMs);
  connect(&hangupTimer_, &QTimer::timeout, this, &Simulator::checkPtyHangup);
}

Simulator::~Simulator() {
  delete ptyNotifier_;  // before its descriptor goes
  if (masterFd_ >= 0) ::close(masterFd_);
}

void Simulator::setSplitReplies(int pieces, int gapMs) {
  splitPieces_ = pieces < 2 ? 0 : pieces;
  splitGapMs_ = std::max(0, gapMs);
}

void Simulator::setSilentRadio(RadioId id, bool silent) {
  mesh_.setSilent(id, silent, now());
}

// ---------------------------------------------------------------- pseudo-terminal

QString Simulator::openPty(QString* error) {
  auto fail = [&](const char* what) {
    if (error) *error = QString("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
    if (masterFd_ >= 0) ::close(masterFd_);
    masterFd_ = -1;
    return QString();
  };
  if (masterFd_ >= 0) return ptyPath_;
  masterFd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (masterFd_ < 0) return fail("posix_openpt");
  if (::grantpt(masterFd_) != 0 || ::unlockpt(masterFd_) != 0) return fail("grantpt/unlockpt");
  const char* name = ::ptsname(masterFd_);
  if (!name) return fail("ptsname");
  QString path = QString::fromLocal8Bit(name);
  // Raw mode is kept by the pair while the master side stays open; without it
  // the line discipline would echo and translate the binary frames.
  const int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (slave < 0) return fail("open slave");
  termios t{};
  if (::tcgetattr(slave, &t) == 0) {
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, B9600);
    ::cfsetospeed(&t, B9600);
    ::tcsetattr(slave, TCSANOW, &t);
  }
  ::tcflush(slave, TCIOFLUSH);
  ::close(slave);
  ptyPath_ = path;
  lines_[kPtyLine] = Line{};
  ptyNotifier_ = new QSocketNotifier(masterFd_, QSocketNotifier::Read, this);
  connect(ptyNotifier_, &QSocketNotifier::activated, this, &Simulator::onPtyReadable);
  // Nobody has the device open yet: reading would only report a hang-up.
  ptyNotifier_->setEnabled(false);
  hangupTimer_.start();
  emit logLine(QString("pseudo-terminal %1").arg(path));
  return path;
}

bool Simulator::ptyConnected() const {
  if (masterFd_ < 0) return false;
  pollfd p{masterFd_, POLLIN, 0};
  if (::poll(&p, 1, 0) < 0) return false;
  return (p.revents & POLLHUP) == 0;
}

void Simulator::checkPtyHangup() {
  if (!ptyNotifier_) return;
  const bool open = ptyConnected();
  if (open && !ptyNotifier_->isEnabled()) {
    ptyNotifier_->setEnabled(true);
    emit logLine("the tool opened the pseudo-terminal");
  } else if (!open && ptyNotifier_->isEnabled()) {
    ptyNotifier_->setEnabled(false);
    lines_[kPtyLine].pending.clear();
    emit logLine("the tool closed the pseudo-terminal");
  }
}

void Simulator::onPtyReadable() {
  char buf[1024];
  for (;;) {
    const ssize_t n = ::read(masterFd_, buf, sizeof buf);
    if (n > 0) {
      received(kPtyLine, QByteArray(buf, static_cast<qsizetype>(n)));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) return;
    // EIO: the last user of the device closed it.
    checkPtyHangup();
    return;
  }
}

// ---------------------------------------------------------------- TCP

bool Simulator::listenTcp(quint16 port, QString* error) {
  if (!server_) {
    server_ = new QTcpServer(this);
    connect(server_, &QTcpServer::newConnection, this, &Simulator::onNewConnection);
  }
  if (server_->isListening()) server_->close();
  if (!server_->listen(QHostAddress::LocalHost, port)) {
    if (error) *error = server_->errorString();
    return false;
  }
  emit logLine(QString("listening on 127.0.0.1:%1").arg(server_->serverPort()));
  return true;
}

quint16 Simulator::tcpPort() const {
  return server_ && server_->isListening() ? server_->serverPort() : 0;
}

void Simulator::onNewConnection() {
  while (QTcpSocket* s = server_->nextPendingConnection()) {
    const int id = nextLineId_++;
    Line line;
    line.socket = s;
    lines_[id] = std::move(line);
    emit logLine(QString("TCP client %1 connected").arg(s->peerAddress().toString()));
    connect(s, &QTcpSocket::readyRead, this, [this, id, s] { received(id, s->readAll()); });
    connect(s, &QTcpSocket::disconnected, this, [this, id, s] {
      lines_.erase(id);
      s->deleteLater();
      emit logLine("TCP client disconnected");
    });
  }
}

// ---------------------------------------------------------------- traffic

bool Simulator::lineReady(int lineId) const {
  auto it = lines_.find(lineId);
  if (it == lines_.end()) return false;
  if (it->second.socket) return it->second.socket->state() == QAbstractSocket::ConnectedState;
  return ptyNotifier_ && ptyNotifier_->isEnabled();
}

void Simulator::received(int lineId, const QByteArray& bytes) {
  auto it = lines_.find(lineId);
  if (it == lines_.end()) return;
  const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.constData());
  const qint64 t = now();
  qint64 in = t;
  if (pacing_) {
    Line& line = it->second;
    line.inFreeMs = std::max(line.inFreeMs, static_cast<double>(t)) + static_cast<double>(bytes.size()) / kBytesPerMs;
    in = static_cast<qint64>(std::ceil(line.inFreeMs));
  }
  it->second.splitter.feed(std::span<const std::uint8_t>(p, static_cast<std::size_t>(bytes.size())), in);
  rxTimer_.start(static_cast<int>(std::max<qint64>(kQuietMs, in + kQuietMs - t)));
}

void Simulator::pollSplitters() {
  const qint64 t = now();
  qint64 nextDue = -1;
  std::vector<int> ids;
  for (auto& [id, line] : lines_) ids.push_back(id);
  for (int id : ids) {
    auto it = lines_.find(id);
    if (it == lines_.end()) continue;
    for (IncomingPiece& piece : it->second.splitter.poll(t)) {
      const QByteArray q = ToQt(piece.bytes);
      switch (piece.kind) {
        case IncomingPiece::Kind::Ack:
          emit logLine("<- ACK");
          dispatch(id, mesh_.onAck(t));
          break;
        case IncomingPiece::Kind::Frame:
          emit frameReceived(q);
          emit logLine("<- " + Hex(q));
          dispatch(id, mesh_.onFrame(piece.bytes, t));
          break;
        case IncomingPiece::Kind::Raw:
          emit logLine("<- (no frame) " + Hex(q));
          // The echo test byte comes straight back from the master radio.
          if (q == QByteArray(1, '\xF0')) enqueue(id, q);
          break;
      }
    }
    auto again = lines_.find(id);
    if (again != lines_.end()) {
      const qint64 due = again->second.splitter.dueAt();
      if (due >= 0 && (nextDue < 0 || due < nextDue)) nextDue = due;
    }
  }
  if (nextDue >= 0) rxTimer_.start(static_cast<int>(std::max<qint64>(1, nextDue - t)));
}

void Simulator::tick() {
  // Events wait while nobody listens, as they would in the master radio's buffer.
  bool anyone = false;
  for (const auto& [id, line] : lines_) anyone = anyone || lineReady(id);
  if (!anyone) return;
  dispatch(-1, mesh_.onTick(now()));
}

void Simulator::dispatch(int lineId, std::vector<Output> outputs) {
  for (Output& out : outputs) {
    if (out.kind == Output::Kind::Event) {
      QTimer::singleShot(static_cast<int>(out.delayMs), Qt::PreciseTimer, this, [this, out] {
        emit logLine("-> event " + QString::fromLatin1(ToQt(out.bytes)).chopped(1));
        for (const auto& [id, line] : lines_)
          if (lineReady(id)) enqueue(id, ToQt(out.bytes));
      });
      continue;
    }
    if (dropReplies_ > 0) {
      --dropReplies_;
      emit logLine("reply dropped (fault): " + Hex(ToQt(out.bytes)));
      continue;
    }
    if (flipReplies_ > 0 && !out.bytes.empty()) {
      --flipReplies_;
      out.bytes[out.bytes.size() / 2] ^= 0xFF;
      emit logLine("one byte of the next reply flipped (fault)");
    }
    const int delay = static_cast<int>(out.delayMs) + extraDelayMs_;
    QTimer::singleShot(delay, Qt::PreciseTimer, this, [this, lineId, out] { deliver(lineId, out); });
  }
}

void Simulator::deliver(int lineId, const Output& out) {
  const QByteArray all = ToQt(out.bytes);
  emit logLine("-> " + Hex(all));
  if (splitPieces_ < 2 || all.size() < 2) {
    enqueue(lineId, all);
    return;
  }
  const int pieces = std::min<int>(splitPieces_, static_cast<int>(all.size()));
  const qsizetype size = all.size() / pieces;
  for (int i = 0; i < pieces; ++i) {
    const qsizetype from = i * size;
    const QByteArray part = all.mid(from, i == pieces - 1 ? -1 : size);
    if (i == 0) {
      enqueue(lineId, part);
    } else {
      QTimer::singleShot(i * splitGapMs_, Qt::PreciseTimer, this, [this, lineId, part] { enqueue(lineId, part); });
    }
  }
}

void Simulator::enqueue(int lineId, const QByteArray& bytes) {
  auto it = lines_.find(lineId);
  if (it == lines_.end() || !lineReady(lineId)) return;
  Line& line = it->second;
  if (line.pending.isEmpty()) {
    line.lastPaceMs = now();
    line.credit = std::max(line.credit, 1.0);
  }
  // A reader that never reads must not make the buffer grow without end.
  if (line.pending.size() + bytes.size() > kMaxPending) {
    emit logLine("the tool is not reading: output dropped");
    return;
  }
  line.pending += bytes;
  flushLines();
}

void Simulator::flushLines() {
  bool left = false;
  const qint64 t = now();
  for (auto& [id, line] : lines_) {
    if (line.pending.isEmpty()) continue;
    qsizetype n = line.pending.size();
    if (pacing_) {
      line.credit += static_cast<double>(t - line.lastPaceMs) * kBytesPerMs;
      line.lastPaceMs = t;
      n = std::min<qsizetype>(n, static_cast<qsizetype>(line.credit));
      if (n == 0) {
        left = true;
        continue;
      }
    }
    qint64 written = 0;
    if (line.socket) {
      written = line.socket->write(line.pending.constData(), n);
    } else if (masterFd_ >= 0) {
      written = ::write(masterFd_, line.pending.constData(), static_cast<std::size_t>(n));
      if (written < 0 && (errno == EAGAIN || errno == EINTR)) written = 0;
    }
    if (written < 0) {
      line.pending.clear();
      continue;
    }
    emit bytesWritten(line.pending.left(written));
    line.pending.remove(0, written);
    if (pacing_) line.credit = std::max(0.0, line.credit - static_cast<double>(written));
    if (line.pending.isEmpty()) {
      line.credit = 0;
    } else {
      left = true;
    }
  }
  if (left && !paceTimer_.isActive()) paceTimer_.start();
  if (!left) paceTimer_.stop();
}

}  // namespace orvalis::sim
