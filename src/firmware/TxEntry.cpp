#include "firmware/TxEntry.h"

namespace orvalis {

std::vector<std::string> RenderTx(const std::vector<TxEntry>& entries) {
  std::vector<std::string> lines;
  for (const auto& e : entries) {
    if (e.kind == TxEntry::Kind::Line || lines.empty()) lines.emplace_back();
    std::size_t from = 0;
    for (std::size_t nl = e.text.find('\n'); nl != std::string::npos; nl = e.text.find('\n', from)) {
      lines.back() += e.text.substr(from, nl - from);
      lines.emplace_back();
      from = nl + 1;
    }
    lines.back() += e.text.substr(from);
  }
  return lines;
}

}  // namespace orvalis
