#include "firmware/UploadStatistics.h"

#include <cstdio>

namespace orvalis {

namespace {
std::string Line(const char* label, std::uint64_t bytes, double seconds) {
  const double rate = seconds > 0 ? static_cast<double>(bytes) * 10.0 / seconds : 0.0;
  char buf[160];
  std::snprintf(buf, sizeof buf, "%s%llu bytes sent in %f seconds [%f bits/sec] ", label,
                static_cast<unsigned long long>(bytes), seconds, rate);
  return buf;
}
}  // namespace

std::vector<std::string> FormatUploadStatistics(const UploadStatistics& s, std::uint64_t elapsedMs) {
  const double seconds = static_cast<double>(elapsedMs) / 1000.0;
  return {Line("FILE: ", s.fileBytes, seconds), Line("RF:   ", s.rfBytes, seconds)};
}

}  // namespace orvalis
