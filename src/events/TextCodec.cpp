#include "events/TextCodec.h"

namespace orvalis {

namespace {

// Code page 1252 characters for 0x80-0x9F; the five unassigned bytes keep
// their C1 control value, as the Windows conversion does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Decodes one UTF-8 sequence at `i`; returns its length, 0 when malformed.
std::size_t DecodeUtf8(std::string_view s, std::size_t i, char32_t& cp) {
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = at(i);
  if (c < 0x80) {
    cp = c;
    return 1;
  }
  std::size_t len;
  char32_t min;
  if ((c & 0xE0) == 0xC0) {
    len = 2, cp = c & 0x1F, min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    len = 3, cp = c & 0x0F, min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    len = 4, cp = c & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (s.size() - i < len) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const unsigned char t = at(i + k);
    if ((t & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (t & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

}  // namespace

void TextCodec::AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string TextCodec::Cp1252ToUtf8(std::span<const std::uint8_t> bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::uint8_t b : bytes) {
    if (b < 0x80) {
      out += static_cast<char>(b);
    } else {
      AppendUtf8(out, b < 0xA0 ? kCp1252High[b - 0x80] : char32_t{b});
    }
  }
  return out;
}

std::string TextCodec::Cp1252ToUtf8(std::string_view bytes) {
  return Cp1252ToUtf8(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

std::optional<std::size_t> TextCodec::FindInvalidUtf8(std::string_view text) {
  char32_t cp;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = DecodeUtf8(text, i, cp);
    if (n == 0) return i;
    i += n;
  }
  return std::nullopt;
}

std::optional<std::u16string> TextCodec::Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  char32_t cp;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += static_cast<char16_t>(c);
      ++i;
      continue;
    }
    const std::size_t n = DecodeUtf8(text, i, cp);
    if (n == 0) return std::nullopt;
    i += n;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

namespace {
// UTF-16 code units, read through `unit`, to UTF-8; none for a lone surrogate.
template <class Unit>
std::optional<std::string> UnitsToUtf8(std::size_t n, Unit unit) {
  std::string out;
  out.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t u = unit(i);
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u >= 0xD800 && u <= 0xDBFF) {
      const char16_t lo = i + 1 < n ? unit(i + 1) : char16_t{0};
      if (lo < 0xDC00 || lo > 0xDFFF) return std::nullopt;
      TextCodec::AppendUtf8(out, 0x10000 + ((char32_t{u} - 0xD800) << 10) + (char32_t{lo} - 0xDC00));
      ++i;
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
      return std::nullopt;
    } else {
      TextCodec::AppendUtf8(out, u);
    }
  }
  return out;
}
}  // namespace

std::optional<std::string> TextCodec::Utf16ToUtf8(std::u16string_view text) {
  return UnitsToUtf8(text.size(), [&](std::size_t i) { return text[i]; });
}

bool TextCodec::AppendUtf16le(std::vector<std::uint8_t>& out, std::string_view text) {
  const auto put = [&](char32_t u) {
    out.push_back(static_cast<std::uint8_t>(u & 0xFF));
    out.push_back(static_cast<std::uint8_t>(u >> 8));
  };
  char32_t cp;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      put(c);
      ++i;
      continue;
    }
    const std::size_t n = DecodeUtf8(text, i, cp);
    if (n == 0) return false;
    i += n;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      put(0xD800 + (cp >> 10));
      put(0xDC00 + (cp & 0x3FF));
    } else {
      put(cp);
    }
  }
  return true;
}

std::optional<std::string> TextCodec::Utf16BytesToUtf8(std::span<const std::uint8_t> bytes, bool littleEndian) {
  return UnitsToUtf8(bytes.size() / 2, [&](std::size_t i) -> char16_t {
    const std::uint8_t a = bytes[2 * i], b = bytes[2 * i + 1];
    return static_cast<char16_t>(littleEndian ? (a | (b << 8)) : ((a << 8) | b));
  });
}

}  // namespace orvalis
