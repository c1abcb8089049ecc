#include "events/SurGardDecoder.h"

#include <algorithm>

#include "events/ContactIdCatalogue.h"
#include "events/TextCodec.h"
#include "link/ByteReader.h"

namespace orvalis {

namespace {

bool StartsWith(std::span<const std::uint8_t> b, std::string_view s) {
  return b.size() >= s.size() && std::equal(s.begin(), s.end(), b.begin(),
                                            [](char c, std::uint8_t x) { return static_cast<std::uint8_t>(c) == x; });
}

// A C string field of at most n characters: stops at the end of the message
// or at a NUL, the way the receiver's "%n.ns" formats read its buffer.
std::string Field(const ByteReader& r, std::size_t pos, std::size_t n) {
  auto s = r.slice(pos, n);
  const auto nul = std::find(s.begin(), s.end(), std::uint8_t{0});
  return TextCodec::Cp1252ToUtf8(s.first(static_cast<std::size_t>(nul - s.begin())));
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A radio id field read as an integer: leading blanks, then decimal digits.
std::optional<int> ParseId(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i == text.size()) return std::nullopt;
  int v = 0;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return std::nullopt;
    v = v * 10 + (text[i] - '0');
  }
  return v;
}

}  // namespace

std::size_t SurGardDecoder::HeaderExtra(std::span<const std::uint8_t> message) {
  return StartsWith(message, "5000 18") || StartsWith(message, "6000 18") ? 0 : 2;
}

bool SurGardDecoder::IsRadioCode(const std::string& code) {
  return code.size() == 3 && code[0] == '8' && code[1] == '8' && IsDigit(code[2]);
}

TextColour SurGardDecoder::RowColour(const std::string& qualifier, const std::string& code) {
  if (qualifier == "R") return colour::kBlue;
  if (qualifier != "E") return colour::kBlack;
  if (IsRadioCode(code)) {
    if (code == "881") return colour::kGreen;
    if (code == "882") return colour::kRed;
    return colour::kOrange;
  }
  switch (code.empty() ? '\0' : code[0]) {
    case '1':
      return colour::kRed;
    case '4':
      return colour::kMaroon;
    case '6':
      return colour::kGreen;
    default:
      return colour::kBlack;
  }
}

ContactIdEvent SurGardDecoder::Decode(std::span<const std::uint8_t> message, bool endedWithDc4, const Arrival& at) {
  const ByteReader r(message);
  const std::size_t k = HeaderExtra(message);
  ContactIdEvent e;
  e.arrival = at;
  e.endedWithDc4 = endedWithDc4;
  e.extended = StartsWith(message, "6");
  e.messageText = Field(r, 0, message.size());
  e.account = Field(r, 7 + k, 4);
  e.event = Field(r, 11 + k, 4);
  e.qualifier = Field(r, 11 + k, 1);
  e.code = Field(r, 12 + k, 3);
  e.partition = Field(r, 15 + k, 2);
  e.zone = Field(r, 17 + k, 3);
  // The catalogue compares three characters of the raw field.
  e.description = ContactIdCatalogue::Lookup(e.code);
  const bool radioCode = IsRadioCode(e.code);

  if (e.extended) {
    e.radioId = Field(r, 21 + k, 4);
    for (std::size_t g = 0; g < 4; ++g) e.serialGroups[g] = Field(r, 25 + k + 3 * g, 3);
    e.packetSequence = Field(r, 37 + k, 3);
    e.eventCount = Field(r, 40 + k, 2);
    const auto& s = e.serialGroups;
    if (radioCode) {
      const std::string text = s[0] + "." + s[1] + "." + s[2] + "." + s[3];
      if (text != "000.000.000.000") e.serialNumber = text;
    } else if (e.code == "894") {
      // First two characters of each group, taken from the raw message.
      const auto two = [&](std::size_t g) { return Field(r, 25 + k + 3 * g, 2); };
      e.serialNumber = two(0) + ":" + two(1) + ":" + two(2) + ":" + two(3);
    }
  }

  e.colour = RowColour(e.qualifier, e.code);
  if (e.qualifier == "E" && e.code == "880") {
    e.popup = EventPopup{"KALDORINE: Rádio Ligado", "Rádio ID: " + e.zone + " foi ligado."};
  } else if (e.qualifier == "E" && e.code == "882") {
    e.popup = EventPopup{"KALDORINE: Falha de comunicação!", "Rádio ID " + e.zone + ": Verifique a comunicação!."};
  }

  if (e.extended || radioCode) {
    const std::string& idText = e.extended ? e.radioId : e.zone;
    e.tableUpdate.radioIdText = idText;
    if (const auto id = ParseId(idText)) {
      e.tableUpdate.radioId = *id;
      e.tableUpdate.kind = *id >= 1024 ? TableUpdate::Kind::None : TableUpdate::Kind::ByRadio;
    } else {
      e.tableUpdate.kind = TableUpdate::Kind::Malformed;
      e.malformedNotice = "ID de rádio inválido \"" + idText + "\", tabelas não atualizadas: " + e.messageText;
    }
  } else {
    e.tableUpdate.kind = TableUpdate::Kind::ByAccount;
  }

  e.surLine = at.timeText + " - " + e.messageText + "  CONTA: " + e.account + " EV:" + e.event + " P:" + e.partition +
              " Z:" + e.zone + " ";
  if (e.extended) {
    const auto& s = e.serialGroups;
    e.surLine += "ID:" + e.radioId + " UID:" + s[0] + "." + s[1] + "." + s[2] + "." + s[3] +
                 " SEQP:" + e.packetSequence + " NEV:" + e.eventCount;
  }
  return e;
}

}  // namespace orvalis
