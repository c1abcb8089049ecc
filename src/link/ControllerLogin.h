// Ethernet controller: login message and answers, connect checks, discovery answers and the controller list.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/RadioTypes.h"

namespace orvalis {

inline constexpr std::size_t kTokenDigestSize = 20;
using TokenDigest = std::array<std::uint8_t, kTokenDigestSize>;
inline constexpr std::uint8_t kLoginMarker = 0x02;
inline constexpr std::uint16_t kControllerDefaultPort = 2000;
inline constexpr int kControllerDisconnectMs = 600000;

// Data bytes for SendFrame(kControllerId, ...): 80 02 and the 20-byte digest.
Bytes BuildLoginMessage(std::span<const std::uint8_t, kTokenDigestSize> digest);

// --- login answer: FA FF 80 02 <status> [6-byte MAC for "o"] -------------

enum class LoginStatus { Accepted, NotActivated, Registered, Full, CommError, Unknown };

struct LoginStatusText {
  std::uint8_t status;  // the status byte
  LoginStatus kind;
  std::array<std::string_view, 2> lines;  // lines for Tx; empty views are not shown
};

// One row per status the controller sends; anything else is LoginStatus::Unknown.
extern const std::array<LoginStatusText, 5> kLoginStatusTexts;

struct LoginAnswer {
  std::uint8_t status = 0;
  LoginStatus kind = LoginStatus::Unknown;
  std::vector<std::string> txLines;
  // Only "o" keeps the link; every other status closes it and the button reads "CONECTAR".
  bool keepOpen = false;
  std::optional<std::string> caption;  // new caption of Conecta_TCP, when it changes
  // "o": the controller's MAC, "%02x:..." text for the selected row's "Endereço MAC" cell;
  // absent when the answer ends before its six bytes.
  std::optional<std::array<std::uint8_t, 6>> mac;
  std::optional<std::string> macText;
  CommandCode reReadTrigger = 0;       // "o": 0xED is armed
  bool hideCommandEventGroup = false;  // "o": TComandoEvento is hidden
};

// True when the burst starts FA FF 80 02 (what the dispatcher routes here).
bool IsLoginAnswer(std::span<const std::uint8_t> burst);
// Absent when the burst is not a login answer or ends before its status byte.
std::optional<LoginAnswer> DecodeLoginAnswer(std::span<const std::uint8_t> burst);

// --- texts of the connect, socket and timer events ------------------------

inline constexpr std::string_view kTextEmptyIp = "Campo IP vazio!!!";
inline constexpr std::string_view kTextBadPort = "Preencha corretamente o campo porta!!!";
inline constexpr std::string_view kTextDisconnected = "TCP/IP Desconectado";
inline constexpr std::string_view kTextRefused = "Conexão recusada, verifique endereço e porta.";
inline constexpr std::string_view kTextRefusedTitle = "Erro conexão TCP";
inline constexpr std::string_view kTextTimedOut = " Conexão TCP encerrada por tempo!!! ";
inline constexpr std::string_view kCaptionConnect = "CONECTAR";
inline constexpr std::string_view kCaptionDisconnect = "DESCONECTAR";

// "dd-mm-yyyy : hh:mm:ss: A conexão TCP será encerrada após 10 minutos!"
std::string ConnectStartLine(int day, int month, int year, int hour, int minute, int second);
// "Conectando ao IP <host> PORTA <port>"
std::string ConnectingLine(std::string_view host, int port);

// The selected row's IP and port cells checked before connecting.
struct ConnectTarget {
  std::string host;
  std::uint16_t port = 0;
  std::optional<std::string> statusText;  // "Campo IP vazio!!!" or the bad-port text: nothing else happens
  std::optional<std::string> errorText;   // the port text is no integer: shown in an error box
  bool ok() const { return !statusText && !errorText; }
};
ConnectTarget CheckConnectTarget(std::string_view ipCell, std::string_view portCell);

// "HOST", "HOST:PORT" or "[IPv6]:PORT" (command line); the port defaults to 2000.
// Absent for an empty host or a port outside 1..65535.
struct HostPort {
  std::string host;
  std::uint16_t port = kControllerDefaultPort;
};
std::optional<HostPort> ParseHostPort(std::string_view text);

// --- discovery answers and the controller list ------------------------------

inline constexpr std::size_t kMaxDiscoveryDatagram = 8192;
inline constexpr std::string_view kDiscoveryProbe = "QM417";
inline constexpr std::uint16_t kDiscoveryPort = 1202;
inline constexpr int kDiscoveryQuietMs = 2000;

// "/MAC/IP/port/" (the last "/" optional); texts as UTF-8 (bytes read as Latin-1).
struct DiscoveryAnswer {
  std::string mac;
  std::string ip;
  std::string port;
};
// Absent for an empty datagram, one not starting with "/", or one over 8192 bytes.
std::optional<DiscoveryAnswer> ParseDiscoveryAnswer(std::span<const std::uint8_t> datagram);

// Rows of UdpSearchStringGrid: "Endereço MAC", "Endereço IP", "Porta".
struct ControllerRow {
  std::string mac;
  std::string ip;
  std::string port;
  bool operator==(const ControllerRow&) const = default;
};
struct ControllerList {
  std::vector<ControllerRow> rows = std::vector<ControllerRow>(1);  // the grid starts with one empty row
};
// Start of a discovery: the list is emptied to two empty rows.
void StartDiscoveryList(ControllerList& list);
// Writes the answer into row count - 2 and adds one empty row; returns the row written.
std::size_t AddDiscoveryAnswer(ControllerList& list, const DiscoveryAnswer& answer);

}  // namespace orvalis
