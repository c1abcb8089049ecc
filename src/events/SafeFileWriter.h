// Replaces a file only once its new content is safely on disk.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace orvalis {

class SafeFileWriter {
 public:
  // Writes a temporary file in the same folder, syncs it and renames it over
  // `path`. Returns an empty text on success, else the error; on failure the
  // old file is left as it was.
  static std::string Write(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);
};

}  // namespace orvalis
