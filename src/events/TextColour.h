// Text colour of a grid row, as plain RGB so that the core needs no UI types.
#pragma once

#include <cstdint>

namespace orvalis {

struct TextColour {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const TextColour&, const TextColour&) = default;
};

namespace colour {
inline constexpr TextColour kBlack{0, 0, 0};
inline constexpr TextColour kBlue{0, 0, 255};
inline constexpr TextColour kGreen{0, 128, 0};
inline constexpr TextColour kRed{255, 0, 0};
inline constexpr TextColour kOrange{242, 121, 0};
inline constexpr TextColour kMaroon{128, 0, 0};
}  // namespace colour

}  // namespace orvalis
