#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/CommandSender.h"
#include "link/ControllerLogin.h"
#include "link/RadioFrame.h"
#include "support/Hex.h"
#include "support/RecordingTransport.h"

using namespace orvalis;

namespace {
TokenDigest CountingDigest() {
  TokenDigest d{};
  for (std::size_t i = 0; i < d.size(); ++i) d[i] = static_cast<std::uint8_t>(i);
  return d;
}
}  // namespace

TEST(LoginMessage, FrameBytesForFixedDigest) {
  const Bytes data = BuildLoginMessage(CountingDigest());
  EXPECT_EQ(test::ToHex(data), "80 02 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13");
  EXPECT_EQ(test::ToHex(BuildRadioFrame(kControllerId, data)),
            "FA FF 80 02 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 FF FB");
}

TEST(LoginMessage, GoesOutOnTheSocketWithTheGatewayPrefix) {
  test::RecordingTransport tcp;
  CommandSender s;
  s.setTcp(&tcp);
  s.setVia(true, 2);
  s.SendFrame(kControllerId, BuildLoginMessage(CountingDigest()));
  EXPECT_EQ(test::ToHex(tcp.all()),
            "02 00 EF FA FF 80 02 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 FC 3D");
}

struct AnswerCase {
  const char* name;
  std::string burst;
  LoginStatus kind;
  std::vector<std::string> lines;
  bool keepOpen;
  std::string macText;  // "" = no MAC
};

class LoginAnswers : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(LoginAnswers, TextsAndLinkState) {
  const auto& c = GetParam();
  const auto a = DecodeLoginAnswer(test::Hex(c.burst));
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(a->kind, c.kind);
  EXPECT_EQ(a->txLines, c.lines);
  EXPECT_EQ(a->keepOpen, c.keepOpen);
  EXPECT_EQ(a->macText.value_or(""), c.macText);
  if (c.keepOpen) {
    EXPECT_FALSE(a->caption.has_value());
    EXPECT_EQ(a->reReadTrigger, 0xED);
    EXPECT_TRUE(a->hideCommandEventGroup);
  } else {
    EXPECT_EQ(a->caption.value_or(""), "CONECTAR");
    EXPECT_EQ(a->reReadTrigger, 0);
    EXPECT_FALSE(a->hideCommandEventGroup);
    EXPECT_FALSE(a->mac.has_value());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, LoginAnswers,
    ::testing::Values(
        AnswerCase{"Accepted",
                   "FA FF 80 02 6F 00 1A 2B C3 D4 E5 12 34",
                   LoginStatus::Accepted,
                   {"Usuário Autenticado / TCP/IP Conectado"},
                   true,
                   "00:1a:2b:c3:d4:e5"},
        // The six MAC bytes are cut short: still logged in, the cell is left alone.
        AnswerCase{"AcceptedShortMac",
                   "FA FF 80 02 6F 00 1A 2B",
                   LoginStatus::Accepted,
                   {"Usuário Autenticado / TCP/IP Conectado"},
                   true,
                   ""},
        AnswerCase{"NotActivated",
                   "FA FF 80 02 62 AA BB",
                   LoginStatus::NotActivated,
                   {"Para acesso a partir deste computador é necessário ativar esta conta na Controladora ETH.",
                    "TCP/IP Desconectado"},
                   false,
                   ""},
        AnswerCase{"Registered",
                   "FA FF 80 02 63 AA BB",
                   LoginStatus::Registered,
                   {"Usuário cadastrado com sucesso, é necessário ativar este usuário na Controladora ETH."},
                   false,
                   ""},
        AnswerCase{"Full",
                   "FA FF 80 02 6E AA BB",
                   LoginStatus::Full,
                   {"Número máximo de usuários(20) cadastrados na Controladora ETH. Remova um usuário para "
                    "cadastrar este computador."},
                   false,
                   ""},
        AnswerCase{"CommError",
                   "FA FF 80 02 65",
                   LoginStatus::CommError,
                   {"Erro de comunicação com a Controladora ETH"},
                   false,
                   ""},
        // An unknown status says nothing but still closes the link, even with MAC-like bytes after it.
        AnswerCase{"UnknownStatus", "FA FF 80 02 4F 00 1A 2B C3 D4 E5", LoginStatus::Unknown, {}, false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoginAnswers, OnlyTheControllerHeaderWithAStatusIsAnAnswer) {
  for (const char* burst : {"FA FF 80 02", "FA FF 80 03 6F", "FB FF 80 02 6F", "FA FF 81 02 6F", "FA", ""}) {
    SCOPED_TRACE(burst);
    EXPECT_FALSE(DecodeLoginAnswer(test::Hex(burst)).has_value());
  }
}

TEST(ControllerTexts, EventLines) {
  EXPECT_EQ(ConnectStartLine(5, 3, 2026, 9, 7, 1),
            "05-03-2026 : 09:07:01: A conexão TCP será encerrada após 10 minutos!");
  EXPECT_EQ(ConnectingLine("127.0.0.1", 2000), "Conectando ao IP 127.0.0.1 PORTA 2000");
}

struct TargetCase {
  const char* ip;
  const char* port;
  int expectPort;      // 0 when refused
  const char* status;  // "" none
  const char* error;   // "" none
};

TEST(ConnectTarget, CellsCheckedBeforeConnecting) {
  const TargetCase cases[] = {
      {"192.168.0.10", "2000", 2000, "", ""},
      {"192.168.0.10", " 2001 ", 2001, "", ""},
      {"localhost", "65535", 65535, "", ""},
      {"", "2000", 0, "Campo IP vazio!!!", ""},
      {"", "abc", 0, "Campo IP vazio!!!", ""},  // the IP is looked at first
      {"10.0.0.1", "0", 0, "Preencha corretamente o campo porta!!!", ""},
      {"10.0.0.1", "-5", 0, "Preencha corretamente o campo porta!!!", ""},
      // Would wrap to another port (65536 -> 0, 67536 -> 2000).
      {"10.0.0.1", "65536", 0, "Preencha corretamente o campo porta!!!", ""},
      {"10.0.0.1", "67536", 0, "Preencha corretamente o campo porta!!!", ""},
      {"10.0.0.1", "99999999999999999999", 0, "Preencha corretamente o campo porta!!!", ""},
      {"10.0.0.1", "20x0", 0, "", "'20x0' não é um número inteiro válido"},
      {"10.0.0.1", "", 0, "", "'' não é um número inteiro válido"},
      {"10.0.0.1", "-", 0, "", "'-' não é um número inteiro válido"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.ip) + " / " + c.port);
    const ConnectTarget t = CheckConnectTarget(c.ip, c.port);
    EXPECT_EQ(t.statusText.value_or(""), c.status);
    EXPECT_EQ(t.errorText.value_or(""), c.error);
    EXPECT_EQ(t.ok(), c.expectPort != 0);
    if (t.ok()) {
      EXPECT_EQ(t.port, c.expectPort);
      EXPECT_EQ(t.host, c.ip);
    }
  }
}

TEST(ConnectTarget, HostAndPortOfTheCommandLine) {
  struct Case {
    const char* text;
    const char* host;  // nullptr: refused
    int port;
  };
  const Case cases[] = {
      {"127.0.0.1:2001", "127.0.0.1", 2001},
      {"127.0.0.1", "127.0.0.1", 2000},
      {"localhost:65535", "localhost", 65535},
      {"[::1]:2002", "::1", 2002},
      {"[::1]", "::1", 2000},
      {"::1", "::1", 2000},
      {"127.0.0.1:0", nullptr, 0},
      {"127.0.0.1:65536", nullptr, 0},
      {"127.0.0.1:", nullptr, 0},
      {"127.0.0.1:x", nullptr, 0},
      {"127.0.0.1: 20", nullptr, 0},
      {":2000", nullptr, 0},
      {"", nullptr, 0},
      {"[::1", nullptr, 0},
      {"[::1]2000", nullptr, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto hp = ParseHostPort(c.text);
    ASSERT_EQ(hp.has_value(), c.host != nullptr);
    if (hp) {
      EXPECT_EQ(hp->host, c.host);
      EXPECT_EQ(hp->port, c.port);
    }
  }
}

struct DiscoveryCase {
  const char* name;
  std::vector<std::uint8_t> datagram;
  bool accepted;
  DiscoveryAnswer answer;
};

TEST(DiscoveryAnswerParse, Forms) {
  const DiscoveryCase cases[] = {
      {"FinalSlash",
       test::Text("/00:1a:2b:3c:4d:5e/192.168.1.50/2000/"),
       true,
       {"00:1a:2b:3c:4d:5e", "192.168.1.50", "2000"}},
      {"NoFinalSlash", test::Text("/AA-BB/10.0.0.7/2001"), true, {"AA-BB", "10.0.0.7", "2001"}},
      {"ExtraFieldsIgnored", test::Text("/m/i/p/extra/more"), true, {"m", "i", "p"}},
      {"MissingFields", test::Text("/onlymac"), true, {"onlymac", "", ""}},
      {"EmptyFields", test::Text("///"), true, {"", "", ""}},
      {"JustSlash", test::Text("/"), true, {"", "", ""}},
      {"HighBytesBecomeUtf8", {'/', 0xC9, '/', 'i', '/', 'p'}, true, {"\xC3\x89", "i", "p"}},
      {"NoLeadingSlash", test::Text("00:1a/192.168.1.50/2000/"), false, {}},
      {"OwnProbe", test::Text("QM417"), false, {}},
      {"Empty", {}, false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto a = ParseDiscoveryAnswer(c.datagram);
    ASSERT_EQ(a.has_value(), c.accepted);
    if (!a) continue;
    EXPECT_EQ(a->mac, c.answer.mac);
    EXPECT_EQ(a->ip, c.answer.ip);
    EXPECT_EQ(a->port, c.answer.port);
  }
}

TEST(DiscoveryAnswerParse, DatagramsOver8192BytesAreIgnored) {
  std::vector<std::uint8_t> d = test::Text("/m/1.2.3.4/2000/");
  d.resize(8192, ' ');
  const auto at = ParseDiscoveryAnswer(d);
  ASSERT_TRUE(at.has_value());
  EXPECT_EQ(at->port, "2000");
  d.push_back(' ');
  EXPECT_FALSE(ParseDiscoveryAnswer(d).has_value());
}

TEST(ControllerListModel, RowsFilledFromCountMinusTwo) {
  ControllerList list;
  ASSERT_EQ(list.rows.size(), 1u);  // the grid's design state
  list.rows[0] = {"old", "1.1.1.1", "1"};
  StartDiscoveryList(list);
  ASSERT_EQ(list.rows, std::vector<ControllerRow>(2));
  for (int i = 0; i < 3; ++i) {
    const std::string n = std::to_string(i);
    EXPECT_EQ(AddDiscoveryAnswer(list, {"mac" + n, "10.0.0." + n, "200" + n}), static_cast<std::size_t>(i));
  }
  const std::vector<ControllerRow> expected{
      {"mac0", "10.0.0.0", "2000"}, {"mac1", "10.0.0.1", "2001"}, {"mac2", "10.0.0.2", "2002"}, {}, {}};
  EXPECT_EQ(list.rows, expected);
}

TEST(ControllerListModel, ShortListIsPaddedBeforeTheAnswer) {
  ControllerList list;
  list.rows.clear();  // a list file with no lines was opened during the discovery
  EXPECT_EQ(AddDiscoveryAnswer(list, {"m", "i", "p"}), 0u);
  EXPECT_EQ(list.rows, (std::vector<ControllerRow>{{"m", "i", "p"}, {}, {}}));
}
