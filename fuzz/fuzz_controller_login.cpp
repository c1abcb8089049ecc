// Arbitrary bytes as a login answer, as a discovery datagram and as connect cells.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "link/ControllerLogin.h"

namespace {
bool ValidUtf8(const std::string& s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x2) return false;
    i += n;
  }
  return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);

  if (const auto a = orvalis::DecodeLoginAnswer(bytes)) {
    if (a->keepOpen != (a->status == 'o')) std::abort();
    if (a->macText && (a->macText->size() != 17 || size < 11)) std::abort();
    if (!a->keepOpen && (!a->caption || a->mac)) std::abort();
  }

  orvalis::ControllerList list;
  orvalis::StartDiscoveryList(list);
  if (const auto d = orvalis::ParseDiscoveryAnswer(bytes)) {
    if (size == 0 || size > orvalis::kMaxDiscoveryDatagram || data[0] != '/') std::abort();
    if (!ValidUtf8(d->mac) || !ValidUtf8(d->ip) || !ValidUtf8(d->port)) std::abort();
    if (d->mac.find('/') != std::string::npos || d->ip.find('/') != std::string::npos) std::abort();
    if (orvalis::AddDiscoveryAnswer(list, *d) != 0 || list.rows.size() != 3) std::abort();
  }

  // First byte splits the rest into the IP and port cells.
  if (size > 0) {
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t cut = std::min<std::size_t>(data[0], text.size());
    const auto t = orvalis::CheckConnectTarget(text.substr(0, cut), text.substr(cut));
    if (t.ok() && (t.port == 0 || t.host.empty())) std::abort();
  }
  return 0;
}
