#include "radio/IntegerText.h"

#include <limits>

#include "radio/TextFormat.h"

namespace orvalis {

IntegerParse ParseInteger(std::string_view text) {
  IntegerParse r;
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  std::string_view t = text.substr(b, e - b);
  bool negative = false;
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
    negative = t[0] == '-';
    t.remove_prefix(1);
  }
  bool good = !t.empty() && t.size() <= 10;
  std::int64_t v = 0;
  for (char c : t) {
    if (c < '0' || c > '9') {
      good = false;
      break;
    }
    v = v * 10 + (c - '0');
  }
  if (negative) v = -v;
  if (good && v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max()) {
    r.value = v;
  } else {
    r.error = Concat({"'", text, "' não é um valor inteiro válido"});
  }
  return r;
}

std::optional<std::int64_t> IntegerOrNothing(std::string_view text) {
  return ParseInteger(text).value;
}

}  // namespace orvalis
