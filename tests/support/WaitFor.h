// Runs the event loop until a condition holds or the time runs out (tests only).
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

namespace orvalis::test {

inline bool WaitFor(const std::function<bool()>& cond, int timeoutMs = 3000) {
  QElapsedTimer t;
  t.start();
  while (!cond()) {
    if (t.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
  return true;
}

}  // namespace orvalis::test
