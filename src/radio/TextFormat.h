// printf-style formatting into std::string for the fixed log texts of the radio replies.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

namespace orvalis {

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
inline std::string
Printf(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(out.data(), out.size(), fmt, args);
    out.resize(static_cast<std::size_t>(n));
  }
  va_end(args);
  return out;
}

// Joins pieces by appending; "literal" + std::string chains trip a false
// -Wrestrict in optimised GCC 12 builds.
inline std::string Concat(std::initializer_list<std::string_view> parts) {
  std::size_t n = 0;
  for (auto p : parts) n += p.size();
  std::string out;
  out.reserve(n);
  for (auto p : parts) out.append(p);
  return out;
}

}  // namespace orvalis
