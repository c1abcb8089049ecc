// The simulated master radio on a pseudo-terminal and/or a loopback TCP port, with fault injection.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <map>
#include <memory>

#include "sim/FrameSplitter.h"
#include "sim/Mesh.h"

class QSocketNotifier;
class QTcpServer;
class QTcpSocket;

namespace orvalis::sim {

// Runs on the caller's event loop (no threads, no nested loops); usable in the
// same process as the tool.
class Simulator : public QObject {
  Q_OBJECT
 public:
  explicit Simulator(const Scenario& scenario, QObject* parent = nullptr);
  ~Simulator() override;

  // Opens a pseudo-terminal pair in raw mode; returns the device path the tool
  // opens (empty with *error set on failure).
  QString openPty(QString* error);
  QString ptyPath() const { return ptyPath_; }
  // Listens on 127.0.0.1 only; port 0 picks a free port (see tcpPort()).
  bool listenTcp(quint16 port, QString* error);
  quint16 tcpPort() const;

  // Writes at the 9600 bit/s of the real serial line instead of all at once, and takes what the tool writes
  // as arriving at that speed too (a frame is complete when its last byte would have come in).
  void setPacing(bool on) { pacing_ = on; }
  void setTimeScale(double scale) { mesh_.setTimeScale(scale); }

  // Faults, applied to replies (not to event messages).
  void dropNextReplies(int n) { dropReplies_ = std::max(0, n); }
  void setSplitReplies(int pieces, int gapMs = 10);  // pieces < 2: off
  void setExtraDelay(int ms) { extraDelayMs_ = std::max(0, ms); }
  void flipNextReplies(int n) { flipReplies_ = std::max(0, n); }
  void setSilentRadio(RadioId id, bool silent = true);

  Mesh& mesh() { return mesh_; }
  const Mesh& mesh() const { return mesh_; }
  // Milliseconds since the simulator was created: the time base of the mesh.
  qint64 now() const { return clock_.elapsed(); }
  bool ptyConnected() const;

 signals:
  void frameReceived(const QByteArray& frame);  // a complete frame from the tool
  void bytesWritten(const QByteArray& bytes);   // one write to the tool
  void logLine(const QString& line);

 private:
  struct Line {
    FrameSplitter splitter;
    QByteArray pending;  // waiting for the paced line
    double credit = 0;   // bytes the paced line may send now
    qint64 lastPaceMs = 0;
    double inFreeMs = 0;  // paced: when the tool's bytes received so far have all come down the line
    QTcpSocket* socket = nullptr;  // null: the pseudo-terminal
  };
  static constexpr int kPtyLine = 0;

  void onPtyReadable();
  void checkPtyHangup();
  void onNewConnection();
  void received(int lineId, const QByteArray& bytes);
  void pollSplitters();
  void dispatch(int lineId, std::vector<Output> outputs);
  void deliver(int lineId, const Output& out);
  void enqueue(int lineId, const QByteArray& bytes);
  void flushLines();
  bool lineReady(int lineId) const;
  void tick();

  Mesh mesh_;
  QElapsedTimer clock_;
  QTimer tickTimer_;
  QTimer rxTimer_;
  QTimer paceTimer_;
  QTimer hangupTimer_;

  int masterFd_ = -1;
  QString ptyPath_;
  QSocketNotifier* ptyNotifier_ = nullptr;
  QTcpServer* server_ = nullptr;
  std::map<int, Line> lines_;
  int nextLineId_ = 1;

  bool pacing_ = false;
  int dropReplies_ = 0;
  int flipReplies_ = 0;
  int splitPieces_ = 0;
  int splitGapMs_ = 10;
  int extraDelayMs_ = 0;
};

}  // namespace orvalis::sim
