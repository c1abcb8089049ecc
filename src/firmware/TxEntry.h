// One piece of text for the main log view: a line of its own or text appended to the current line.
#pragma once

#include <string>
#include <vector>

namespace orvalis {

struct TxEntry {
  enum class Kind { Line, Append };
  Kind kind = Kind::Line;
  std::string text;

  static TxEntry line(std::string t) { return {Kind::Line, std::move(t)}; }
  static TxEntry append(std::string t) { return {Kind::Append, std::move(t)}; }
  bool operator==(const TxEntry&) const = default;
};

// The lines a log view shows after the entries, starting from an empty view.
// A "\n" inside a text breaks the line there.
std::vector<std::string> RenderTx(const std::vector<TxEntry>& entries);

}  // namespace orvalis
