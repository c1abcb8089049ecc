// Byte counts of one upload run and the two statistic lines printed at its end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvalis {

struct UploadStatistics {
  std::uint64_t fileBytes = 0;  // data bytes read from the file and sent
  std::uint64_t rfBytes = 0;    // every write-packet frame transmitted, resends included
  bool operator==(const UploadStatistics&) const = default;
};

// "FILE: ..." and "RF:   ..." lines; 10 bits per byte; a rate of 0 when no time has elapsed.
std::vector<std::string> FormatUploadStatistics(const UploadStatistics& s, std::uint64_t elapsedMs);

}  // namespace orvalis
