// A pseudo-terminal pair for tests: the program opens slavePath(), the test
// reads and writes the master side.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace orvalis::test {

class PtyPair {
public:
  PtyPair() {
    int slave = -1;
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&master_, &slave, name, &raw, nullptr) == 0) {
      path_ = name;
      ::close(slave);  // the program under test opens it by path
      fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
  }
  ~PtyPair() {
    if (master_ >= 0) ::close(master_);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool ok() const { return master_ >= 0; }
  const std::string& slavePath() const { return path_; }
  int master() const { return master_; }

  void write(const std::vector<std::uint8_t>& b) const {
    std::size_t done = 0;
    while (done < b.size()) {
      const ssize_t n = ::write(master_, b.data() + done, b.size() - done);
      if (n > 0) done += static_cast<std::size_t>(n);
    }
  }
  // Reads what is there now (non-blocking).
  std::vector<std::uint8_t> readNow() const {
    std::vector<std::uint8_t> out;
    std::uint8_t buf[512];
    for (;;) {
      const ssize_t n = ::read(master_, buf, sizeof buf);
      if (n <= 0) break;
      out.insert(out.end(), buf, buf + n);
    }
    return out;
  }

private:
  int master_ = -1;
  std::string path_;
};

}  // namespace orvalis::test
