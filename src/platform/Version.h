// Program name and version shown in captions, the banner and --version.
#pragma once

namespace orvalis {
inline constexpr const char* kProgramName = "ORVALIS";
inline constexpr const char* kProgramVersion = "9.06";
inline constexpr const char* kApplicationTitle = "QM417 Configuration";
}  // namespace orvalis
