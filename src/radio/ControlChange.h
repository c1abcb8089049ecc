// One change a decoded reply asks of a page control, addressed by the control's objectName.
#pragma once

#include <optional>
#include <string_view>

namespace orvalis {

struct ControlChange {
  std::string_view name;
  std::optional<bool> visible;  // absent: leave as it is
  std::optional<bool> checked;
  std::optional<bool> enabled;

  bool operator==(const ControlChange&) const = default;
};

}  // namespace orvalis
