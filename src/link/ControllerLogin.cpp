#include "link/ControllerLogin.h"

#include <algorithm>
#include <cstdio>

#include "link/ByteReader.h"

namespace orvalis {

const std::array<LoginStatusText, 5> kLoginStatusTexts{{
    {'o', LoginStatus::Accepted, {"Usuário Autenticado / TCP/IP Conectado", ""}},
    {'b',
     LoginStatus::NotActivated,
     {"Para acesso a partir deste computador é necessário ativar esta conta na Controladora ETH.",
      "TCP/IP Desconectado"}},
    {'c',
     LoginStatus::Registered,
     {"Usuário cadastrado com sucesso, é necessário ativar este usuário na Controladora ETH.", ""}},
    {'n',
     LoginStatus::Full,
     {"Número máximo de usuários(20) cadastrados na Controladora ETH. Remova um usuário para cadastrar este "
      "computador.",
      ""}},
    {'e', LoginStatus::CommError, {"Erro de comunicação com a Controladora ETH", ""}},
}};

Bytes BuildLoginMessage(std::span<const std::uint8_t, kTokenDigestSize> digest) {
  Bytes data;
  data.reserve(2 + digest.size());
  data.push_back(code::kLogin);
  data.push_back(kLoginMarker);
  data.insert(data.end(), digest.begin(), digest.end());
  return data;
}

bool IsLoginAnswer(std::span<const std::uint8_t> burst) {
  const ByteReader r(burst);
  return r.u16le(0) == kControllerId && r.u8(2) == code::kLogin && r.u8(3) == kLoginMarker;
}

std::optional<LoginAnswer> DecodeLoginAnswer(std::span<const std::uint8_t> burst) {
  const ByteReader r(burst);
  const auto status = r.u8(4);
  if (!IsLoginAnswer(burst) || !status) return std::nullopt;
  LoginAnswer a;
  a.status = *status;
  const auto row = std::find_if(kLoginStatusTexts.begin(), kLoginStatusTexts.end(),
                                [&](const LoginStatusText& t) { return t.status == *status; });
  if (row != kLoginStatusTexts.end()) {
    a.kind = row->kind;
    for (std::string_view line : row->lines)
      if (!line.empty()) a.txLines.emplace_back(line);
  }
  if (a.kind != LoginStatus::Accepted) {
    a.caption = std::string(kCaptionConnect);
    return a;
  }
  a.keepOpen = true;
  a.reReadTrigger = code::kCommandEventMode;
  a.hideCommandEventGroup = true;
  const auto mac = r.slice(5, 6);
  if (mac.size() == 6) {
    std::array<std::uint8_t, 6> m{};
    std::copy(mac.begin(), mac.end(), m.begin());
    char buf[18];
    std::snprintf(buf, sizeof buf, "%02x:%02x:%02x:%02x:%02x:%02x", m[0], m[1], m[2], m[3], m[4], m[5]);
    a.mac = m;
    a.macText = buf;
  }
  return a;
}

std::string ConnectStartLine(int day, int month, int year, int hour, int minute, int second) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%02d-%02d-%04d : %02d:%02d:%02d: ", day, month, year, hour, minute, second);
  return std::string(buf) + "A conexão TCP será encerrada após 10 minutos!";
}

std::string ConnectingLine(std::string_view host, int port) {
  return "Conectando ao IP " + std::string(host) + " PORTA " + std::to_string(port);
}

namespace {
std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// A decimal integer with an optional sign; absent when the text is not one.
// Magnitudes beyond the port range are clipped, they are refused anyway.
std::optional<long long> ParseInteger(std::string_view s) {
  s = Trim(s);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return std::nullopt;
  long long v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = std::min<long long>(v * 10 + (c - '0'), 1000000);
  }
  return negative ? -v : v;
}

void AppendLatin1AsUtf8(std::string& out, std::span<const std::uint8_t> bytes) {
  for (std::uint8_t b : bytes) {
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
    } else {
      out.push_back(static_cast<char>(0xC0 | (b >> 6)));
      out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
    }
  }
}
}  // namespace

ConnectTarget CheckConnectTarget(std::string_view ipCell, std::string_view portCell) {
  ConnectTarget t;
  if (ipCell.empty()) {
    t.statusText = std::string(kTextEmptyIp);
    return t;
  }
  t.host = std::string(ipCell);
  const auto port = ParseInteger(portCell);
  if (!port) {
    t.errorText = "'" + std::string(portCell) + "' não é um número inteiro válido";
    return t;
  }
  // A port past 65535 would be cut to another port; it is refused like 0.
  if (*port <= 0 || *port > 65535) {
    t.statusText = std::string(kTextBadPort);
    return t;
  }
  t.port = static_cast<std::uint16_t>(*port);
  return t;
}

std::optional<HostPort> ParseHostPort(std::string_view text) {
  HostPort hp;
  std::string_view host = text;
  std::optional<std::string_view> port;
  if (!text.empty() && text.front() == '[') {
    const auto close = text.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    host = text.substr(1, close - 1);
    const auto rest = text.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return std::nullopt;
      port = rest.substr(1);
    }
  } else if (const auto colon = text.rfind(':'); colon != std::string_view::npos) {
    // A bare IPv6 address has several colons and no port.
    if (text.find(':') == colon) {
      host = text.substr(0, colon);
      port = text.substr(colon + 1);
    }
  }
  if (host.empty()) return std::nullopt;
  hp.host = std::string(host);
  if (port) {
    const auto v = ParseInteger(*port);
    if (!v || *v <= 0 || *v > 65535 || Trim(*port).size() != port->size()) return std::nullopt;
    hp.port = static_cast<std::uint16_t>(*v);
  }
  return hp;
}

std::optional<DiscoveryAnswer> ParseDiscoveryAnswer(std::span<const std::uint8_t> datagram) {
  if (datagram.empty() || datagram.size() > kMaxDiscoveryDatagram || datagram[0] != '/') return std::nullopt;
  DiscoveryAnswer a;
  std::string* fields[] = {&a.mac, &a.ip, &a.port};
  auto rest = datagram.subspan(1);
  for (std::string* f : fields) {
    const auto slash = std::find(rest.begin(), rest.end(), std::uint8_t{'/'});
    const auto n = static_cast<std::size_t>(slash - rest.begin());
    AppendLatin1AsUtf8(*f, rest.first(n));
    rest = rest.subspan(std::min(n + 1, rest.size()));
  }
  return a;
}

void StartDiscoveryList(ControllerList& list) {
  list.rows.assign(2, ControllerRow{});
}

std::size_t AddDiscoveryAnswer(ControllerList& list, const DiscoveryAnswer& answer) {
  // A list replaced by hand during a discovery may hold fewer than two rows.
  if (list.rows.size() < 2) list.rows.resize(2);
  const std::size_t row = list.rows.size() - 2;
  list.rows[row] = ControllerRow{answer.mac, answer.ip, answer.port};
  list.rows.emplace_back();
  return row;
}

}  // namespace orvalis
