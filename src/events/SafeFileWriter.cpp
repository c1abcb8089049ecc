#include "events/SafeFileWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace orvalis {

namespace {

std::string ErrorText(const std::string& what, const std::filesystem::path& p, int err) {
  return what + " \"" + p.string() + "\": " + std::strerror(err);
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes, int& err) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      return false;
    }
    if (n == 0) {
      err = ENOSPC;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::string SafeFileWriter::Write(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  std::error_code ec;
  std::filesystem::path target = path;
  // Replace what a link points at, not the link.
  if (std::filesystem::is_symlink(path, ec)) {
    auto resolved = std::filesystem::canonical(path, ec);
    if (!ec) target = resolved;
  }
  if (std::filesystem::is_directory(target, ec)) return ErrorText("Não foi possível gravar", target, EISDIR);

  static std::atomic<unsigned> counter{0};
  const std::filesystem::path dir = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  std::filesystem::path tmp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    // Hidden, unique and in the same folder, so the rename stays atomic.
    std::string name(1, '.');
    name.append(target.filename().string());
    name.append(1, '.').append(std::to_string(::getpid()));
    name.append(1, '.').append(std::to_string(counter++));
    name.append(".tmp");
    tmp = dir / name;
    fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return ErrorText("Não foi possível criar", tmp, errno);

  int err = 0;
  bool ok = WriteAll(fd, bytes, err);
  if (ok && ::fsync(fd) != 0) ok = false, err = errno;
  if (::close(fd) != 0 && ok) ok = false, err = errno;
  if (ok && std::rename(tmp.c_str(), target.c_str()) != 0) ok = false, err = errno;
  if (!ok) {
    ::unlink(tmp.c_str());
    return ErrorText("Não foi possível gravar", target, err);
  }
  // Make the rename itself durable.
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return {};
}

}  // namespace orvalis
