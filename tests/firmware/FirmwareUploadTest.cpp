#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "UploadPeer.h"
#include "firmware/FirmwareImage.h"
#include "firmware/FirmwareRequests.h"
#include "firmware/FirmwareUpload.h"
#include "firmware/RadImageMaker.h"
#include "support/Hex.h"

using namespace orvalis;
using test::PeerConfig;
using test::UploadPeer;
using test::UploadRun;

namespace {

// 200 bytes behind an 8-byte version tag: header, 0x04 record, records of 80, 80 and 48 bytes, end record.
std::vector<std::uint8_t> Payload() {
  std::vector<std::uint8_t> b(200);
  std::iota(b.begin(), b.end(), 0x20);
  return b;
}

std::string Image(std::uint8_t role = 1, std::uint8_t headerType = 0x0F) {
  RadImageOptions o;
  o.headerType = headerType;
  o.hardware = 13;
  o.role = role;
  o.tag = FirmwareVersionTag{6, 26};
  return MakeRadImage(Payload(), o);
}

UploadStart Start(const std::string& text, RadioId target, bool viaRf = true) {
  UploadStart s;
  s.target = target;
  s.text = text;
  s.totalSize = FirmwareImage::Analyse(text).totalSize();
  s.replyTimeoutMs = 2000;
  s.viaRf = viaRf;
  return s;
}

// The rendered log holds these lines in this order (others may come between).
::testing::AssertionResult HasInOrder(const std::vector<std::string>& lines, const std::vector<std::string>& want) {
  auto it = lines.begin();
  for (const auto& w : want) {
    it = std::find(it, lines.end(), w);
    if (it == lines.end()) {
      std::string all;
      for (const auto& l : lines) all += "\n  [" + l + "]";
      return ::testing::AssertionFailure() << "missing [" << w << "] in order; log:" << all;
    }
    ++it;
  }
  return ::testing::AssertionSuccess();
}

std::vector<std::uint8_t> ImageData() {
  auto d = VersionTagBytes({6, 26});
  const auto p = Payload();
  d.insert(d.end(), p.begin(), p.end());
  return d;
}

std::vector<std::uint8_t> FlashBytes(const UploadPeer& peer) {
  std::vector<std::uint8_t> out;
  for (const auto& [a, b] : peer.flash) out.push_back(b);
  return out;
}

const std::vector<std::string> kAllGoodLog = {
    " OK  ",
    " Memória Apagada OK ",
    "Section 0 : [0002] words from [0000] OK ",
    "Section 1 : [0002] words from [0000] OK ",
    "Section 2 : [0050] words from [0000] OK ",
    "Section 3 : [0050] words from [0050] OK ",
    "Section 4 : [0030] words from [00A0] OK  OK ",  // the end command's answer joins the last line
    "Gravação ok",
    "Fim da Gravação",
    " ",
};

struct ScriptCase {
  const char* name;
  PeerConfig peer;
  std::string codes;
  UploadOutcome outcome;
  std::vector<std::string> lines;  // in order in the log
  const char* result;
};

PeerConfig Peer(auto edit) {
  PeerConfig c;
  edit(c);
  return c;
}

void PrintTo(const ScriptCase& c, std::ostream* os) {
  *os << c.name;
}

class UploadScript : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(UploadScript, PeerBehaviourToFramesAndResult) {
  const auto& c = GetParam();
  UploadPeer peer(c.peer);
  FirmwareUpload up;
  UploadRun run;
  Drive(up, up.start(Start(Image(), 5)), peer, run);
  EXPECT_EQ(run.codes(), c.codes);
  EXPECT_EQ(run.outcome, c.outcome);
  EXPECT_TRUE(HasInOrder(run.lines(), c.lines));
  EXPECT_EQ(run.resultLines, std::vector<std::string>{c.result});
  EXPECT_FALSE(up.running());
  // A request never goes out without clearing the re-read trigger first.
  EXPECT_EQ(run.clearTriggers, static_cast<int>(run.frames.size()));
  EXPECT_EQ(peer.badCheckBytes, 0);
  if (c.outcome == UploadOutcome::Success) {
    EXPECT_EQ(FlashBytes(peer), ImageData());
    EXPECT_EQ(run.progress.back(), 100);
    EXPECT_EQ(run.meshFwState, (std::vector<int>{3, 0}));
  } else {
    EXPECT_FALSE(up.uploadActive());
    EXPECT_EQ(run.progress.back(), 0);
    EXPECT_EQ(run.meshPercent.back(), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Peers, UploadScript,
    ::testing::Values(
        ScriptCase{
            "AllGood", {}, "D4 E9 EBx5 EA", UploadOutcome::Success, kAllGoodLog, "Firmware carregado com sucesso"},
        ScriptCase{"OneTimeoutThenGood",
                   Peer([](auto& p) { p.dropWrites = {3}; }),
                   "D4 E9 EBx6 EA",
                   UploadOutcome::Success,
                   {"Section 3 : [0050] words from [0050]", "Time Out - Repetindo  OK ",
                    "Section 4 : [0030] words from [00A0] OK  OK ", "Gravação ok"},
                   "Firmware carregado com sucesso"},
        ScriptCase{"WrongAddressAck",
                   Peer([](auto& p) { p.otherAddress = {2}; }),
                   "D4 E9 EBx6 EA",
                   UploadOutcome::Success,
                   {"Section 2 : [0050] words from [0000] Erro: Ack de Outro Endereço Recebido ",
                    "Time Out - Repetindo  OK ", "Section 3 : [0050] words from [0050] OK "},
                   "Firmware carregado com sucesso"},
        ScriptCase{"RefusalCode2",
                   Peer([](auto& p) {
                     p.refuseWith = {{2, 2}};
                   }),
                   "D4 E9 EBx6 EA",
                   UploadOutcome::Success,
                   {"Section 2 : [0050] words from [0000] Erro: Faixa de Endereço FLASH ", "Time Out - Repetindo  OK "},
                   "Firmware carregado com sucesso"},
        ScriptCase{"RefusalCode4",
                   Peer([](auto& p) {
                     p.refuseWith = {{1, 4}};
                   }),
                   "D4 E9 EBx6 EA",
                   UploadOutcome::Success,
                   {"Section 1 : [0002] words from [0000] Erro: Gravação na Flash "},
                   "Firmware carregado com sucesso"},
        ScriptCase{"RefusalCode16",
                   Peer([](auto& p) {
                     p.refuseWith = {{0, 16}};
                   }),
                   "D4 E9 EBx6 EA",
                   UploadOutcome::Success,
                   {"Section 0 : [0002] words from [0000] Erro: Endereço ROM "},
                   "Firmware carregado com sucesso"},
        ScriptCase{"RefusalOtherCode",
                   Peer([](auto& p) {
                     p.refuseWith = {{4, 9}};
                   }),
                   "D4 E9 EBx6 EA",
                   UploadOutcome::Success,
                   {"Section 4 : [0030] words from [00A0] Outro Erro "},
                   "Firmware carregado com sucesso"},
        // Code 254 makes AckState 0 again: the wait runs on until the timer.
        ScriptCase{"RefusalMappingToWaiting",
                   Peer([](auto& p) {
                     p.refuseWith = {{3, 254}};
                   }),
                   "D4 E9 EBx6 EA",
                   UploadOutcome::Success,
                   {"Section 3 : [0050] words from [0050] Outro Erro ", "Time Out - Repetindo  OK "},
                   "Firmware carregado com sucesso"},
        ScriptCase{"SilentRadio",
                   Peer([](auto& p) { p.writesSilent = true; }),
                   "D4 E9 EBx126",
                   UploadOutcome::Failed,
                   {"Section 0 : [0002] words from [0000]", "Time Out - Repetindo ", "Erro de Transmissao - Time Out"},
                   "Erro na carga do firmware"},
        ScriptCase{"AcksTooShort",
                   Peer([](auto& p) { p.shortWriteAcks = true; }),
                   "D4 E9 EBx126",
                   UploadOutcome::Failed,
                   {"Erro de Transmissao - Time Out"},
                   "Erro na carga do firmware"},
        ScriptCase{"NoVersionAnswer",
                   Peer([](auto& p) { p.answerVersion = false; }),
                   "D4x6",
                   UploadOutcome::Failed,
                   {"Sem resposta leitura do Rádio"},
                   "Erro na carga do firmware"},
        ScriptCase{"NoEraseAnswer",
                   Peer([](auto& p) { p.answerErase = false; }),
                   "D4 E9x6",
                   UploadOutcome::Failed,
                   {" OK ", "Sem resposta do Rádio"},
                   "Erro na carga do firmware"},
        ScriptCase{"NoEndAnswer",
                   Peer([](auto& p) { p.answerEnd = false; }),
                   "D4 E9 EBx5 EAx21",
                   UploadOutcome::Failed,
                   {"Section 4 : [0030] words from [00A0] OK ", "Verifique se o Firmware foi ativado"},
                   "Erro na carga do firmware"},
        ScriptCase{"EndResultDiffersFromFlag",
                   Peer([](auto& p) { p.endResult = 1; }),
                   "D4 E9 EBx5 EA",
                   UploadOutcome::Success,
                   {"Gravação com problemas", "Fim da Gravação", " "},
                   "Firmware carregado com sucesso"},
        ScriptCase{"WrongHardware",
                   Peer([](auto& p) { p.hardware = 14; }),
                   "D4",
                   UploadOutcome::Failed,
                   {" OK ", "Firmware não é para esta versão de Hardware"},
                   "Erro na carga do firmware"},
        ScriptCase{"RunningFromTheImagesBank",
                   Peer([](auto& p) { p.bank = 0; }),
                   "D4",
                   UploadOutcome::Failed,
                   {"Firmware não é para este Banco de Memória"},
                   "Erro na carga do firmware"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Upload, AllGoodDetails) {
  UploadPeer peer({});
  FirmwareUpload up;
  UploadRun run;
  const std::string text = Image();
  Drive(up, up.start(Start(text, 5)), peer, run);
  ASSERT_EQ(run.outcome, UploadOutcome::Success);
  EXPECT_EQ(run.lines(), kAllGoodLog);
  EXPECT_EQ(test::ToHex(run.frames[0].data), "D4 00 00 00");
  EXPECT_EQ(test::ToHex(run.frames[1].data), "E9 00 00 00");
  EXPECT_EQ(test::ToHex(run.frames[2].data), "EB 00 0F 02 00 00 0D 01 E1 F4");
  const auto check = RadImageCheckValue(ImageData());
  EXPECT_EQ(run.frames.back().data, BuildEndCommand(0, check));
  EXPECT_EQ(run.crcTexts, std::vector<std::string>{CrcBoxText(check)});
  for (const auto& f : run.frames) EXPECT_EQ(f.dest, 5);
  // Reply timeout for every request but the end command.
  EXPECT_EQ(run.timers, (std::vector<int>{2000, 2000, 2000, 2000, 2000, 2000, 2000, 10000}));
  EXPECT_EQ(run.awaitingSets, 3);
  // Total size 215: progress 3, 5, 85, 165, 213, then 100.
  EXPECT_EQ(run.progress, (std::vector<int>{1, 2, 39, 76, 99, 100}));
  EXPECT_EQ(run.meshPercent, run.progress);
  // File bytes: every record's count; RF bytes: packets of 8 + count plus 4 bytes of frame around them.
  ASSERT_TRUE(run.statistics);
  EXPECT_EQ(run.statistics->fileBytes, 2u + 2 + 80 + 80 + 48);
  EXPECT_EQ(run.statistics->rfBytes, 2u * (8 + 2 + 4) + 2 * (8 + 80 + 4) + (8 + 48 + 4));
  // The radio now runs the new image from bank A.
  EXPECT_EQ(peer.config().bank, 0);
  EXPECT_EQ(peer.config().firmware, 6);
  EXPECT_EQ(peer.config().revision, 26);
  EXPECT_FALSE(up.uploadActive());
  EXPECT_EQ(up.ackState(), ack_state::kAnswered);
}

TEST(Upload, MasterRadioOverSerialUsesLocalRead) {
  PeerConfig pc;
  pc.id = 0;
  UploadPeer peer(pc);
  FirmwareUpload up;
  UploadRun run;
  Drive(up, up.start(Start(Image(0), 0, false)), peer, run);
  EXPECT_EQ(run.codes(), "E2 E9 EBx5 EA");
  EXPECT_EQ(run.outcome, UploadOutcome::Success);
  EXPECT_TRUE(run.meshPercent.empty()) << "radio 0 has no row in the mesh table";
}

TEST(Upload, BankBImageEndsWithFlagOne) {
  PeerConfig pc;
  pc.bank = 0;
  UploadPeer peer(pc);
  FirmwareUpload up;
  UploadRun run;
  Drive(up, up.start(Start(Image(1, 0x1F), 5)), peer, run);
  EXPECT_EQ(run.outcome, UploadOutcome::Success);
  EXPECT_EQ(run.frames.back().data[1], 1);
  EXPECT_TRUE(HasInOrder(run.lines(), {"Gravação ok"}));
  EXPECT_EQ(peer.config().bank, 1);
}

TEST(Upload, StatisticLines) {
  EXPECT_EQ(FormatUploadStatistics({212, 272}, 0),
            (std::vector<std::string>{"FILE: 212 bytes sent in 0.000000 seconds [0.000000 bits/sec] ",
                                      "RF:   272 bytes sent in 0.000000 seconds [0.000000 bits/sec] "}));
  EXPECT_EQ(FormatUploadStatistics({212, 272}, 2000),
            (std::vector<std::string>{"FILE: 212 bytes sent in 2.000000 seconds [1060.000000 bits/sec] ",
                                      "RF:   272 bytes sent in 2.000000 seconds [1360.000000 bits/sec] "}));
}

TEST(Upload, WritePacketAndCheckByte) {
  RadRecord r;
  r.head = {3, 0x1234, 0x00};
  r.data = {1, 2, 3};
  r.checksum = 0xB3;
  // XOR of EB 00 00 03 12 34 01 02 03 B3 is 0x7D; its complement 0x82.
  EXPECT_EQ(test::ToHex(BuildWritePacket(r)), "EB 00 00 03 12 34 01 02 03 B3 82");
  EXPECT_EQ(WriteCheckByte(test::Hex("55")), 0xAB);  // would be 0xAA
  EXPECT_EQ(WriteCheckByte(test::Hex("54")), 0xAB);  // really 0xAB
  EXPECT_EQ(WriteCheckByte(test::Hex("00")), 0xFF);
  // A record whose packet XOR is 0x55 goes out with 0xAB.
  r.checksum = static_cast<std::uint8_t>(0xB3 ^ 0x7D ^ 0x55);
  EXPECT_EQ(BuildWritePacket(r).back(), 0xAB);
}

TEST(Upload, Count18IsLogged) {
  RadImageOptions o;
  o.role = 1;
  o.recordSize = 0x18;
  const std::string text = MakeRadImage(std::vector<std::uint8_t>(0x30, 0x44), o);
  UploadPeer peer({});
  FirmwareUpload up;
  UploadRun run;
  Drive(up, up.start(Start(text, 5)), peer, run);
  EXPECT_EQ(run.outcome, UploadOutcome::Success);
  const auto lines = run.lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "tam 0x18"), 2);
  EXPECT_TRUE(HasInOrder(lines, {"tam 0x18", "Section 2 : [0018] words from [0000] OK ", "tam 0x18",
                                 "Section 3 : [0018] words from [0018] OK  OK "}));
}

struct BadFileCase {
  const char* name;
  std::string tail;  // replaces the end record
  std::string codes;
  const char* message;
};

TEST(Upload, FileContentErrorsStopBeforeTheBadRecord) {
  const std::string good = Image();
  const std::string body = good.substr(0, good.rfind("\r\n:") + 2);  // up to the end record
  const BadFileCase cases[] = {
      {"NotAllowedType", ":020000060000F8\r\n:020000010000FF", "D4 E9 EBx5", fw_text::kOutOfSpec.data()},
      {"CutShortRecord", ":0400000001", "D4 E9 EBx5", fw_text::kOutOfSpec.data()},
      {"EndWithoutCheckValue", ":02000001", "D4 E9 EBx5", fw_text::kOutOfSpec.data()},
      {"NoEndRecord", "", "D4 E9 EBx5", "Não começa com ':'"},
      {"NoEndRecordNoLineEnd", "\x1A", "D4 E9 EBx5", "Não começa com ':'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UploadPeer peer({});
    FirmwareUpload up;
    UploadRun run;
    Drive(up, up.start(Start(body + c.tail, 5)), peer, run);
    EXPECT_EQ(run.codes(), c.codes);
    EXPECT_EQ(run.outcome, UploadOutcome::Failed);
    EXPECT_EQ(run.lines().back(), c.message);
  }
  // Nothing at all is sent for an empty file or a header that is cut short.
  const struct {
    std::string text;
    const char* message;
  } early[] = {{"", "Não começa com ':'"},
               {":0100000F0DE3\r\n", fw_text::kOutOfSpec.data()},
               {":0200000F0D", fw_text::kOutOfSpec.data()},
               {":0200003F0D01C1", fw_text::kOutOfSpec.data()}};
  for (const auto& e : early) {
    FirmwareUpload up;
    const auto a = up.start(Start(e.text, 5));
    EXPECT_TRUE(a.frames.empty()) << e.text;
    EXPECT_EQ(RenderTx(a.log).back(), e.message) << e.text;
    EXPECT_EQ(a.outcome, UploadOutcome::Failed);
    EXPECT_FALSE(up.uploadActive());
  }
}

// Frame indexes of the standard image: 0 D4, 1 E9, 2 header, 3 segment record, 4..6 data, 7 end.
constexpr std::size_t kFirstData = 4;

TEST(Upload, PauseDuringWaitThenContinue) {
  UploadPeer peer({});
  FirmwareUpload up;
  UploadRun run;
  const std::string text = Image();
  Drive(up, up.start(Start(text, 5)), peer, run, [&](std::size_t i) {
    if (i == kFirstData + 1) {
      EXPECT_FALSE(up.pause().refused);
      // Still finishing its wait: a second upload cannot start, not even a continue.
      EXPECT_TRUE(up.start(Start(text, 5)).refused);
      auto cont = Start(text, 5);
      cont.mode = UploadMode::Continue;
      EXPECT_TRUE(up.start(cont).refused);
    }
  });
  EXPECT_EQ(run.outcome, UploadOutcome::Paused);
  EXPECT_EQ(run.codes(), "D4 E9 EBx4");
  EXPECT_EQ(run.resultLines, std::vector<std::string>{"Aguardando reinicio"});
  EXPECT_TRUE(up.paused());
  EXPECT_TRUE(up.uploadActive());
  // PosFW: the line end after the last accepted record, where the first record not yet accepted begins.
  const std::size_t third = text.find(":3000A000");
  ASSERT_NE(third, std::string::npos);
  EXPECT_EQ(up.posFw(), third - 2);
  EXPECT_EQ(run.posFw.back(), third - 2);
  EXPECT_EQ(run.lines().back(), "Section 4 : [0030] words from [00A0]");
  EXPECT_EQ(up.savedSection(), 4);
  EXPECT_TRUE(up.start(Start(text, 5)).refused) << "a new upload needs the paused one cancelled first";

  UploadRun after;
  Drive(up, up.resume(), peer, after);
  EXPECT_EQ(after.outcome, UploadOutcome::Success);
  EXPECT_EQ(after.codes(), "EB EA");
  EXPECT_EQ(after.lines().front(), "Section 4 : [0030] words from [00A0] OK  OK ");
  EXPECT_EQ(after.progress, (std::vector<int>{99, 100}));
  EXPECT_EQ(FlashBytes(peer), ImageData());
  // Statistics start again with the continued run.
  ASSERT_TRUE(after.statistics);
  EXPECT_EQ(after.statistics->fileBytes, 48u);
}

TEST(Upload, PauseDuringFailingWaitResendsSameRecord) {
  PeerConfig pc;
  pc.dropWrites = {3};  // the first data record's first attempt
  UploadPeer peer(pc);
  FirmwareUpload up;
  UploadRun run;
  const std::string text = Image();
  Drive(up, up.start(Start(text, 5)), peer, run, [&](std::size_t i) {
    if (i == kFirstData + 1) up.pause();
  });
  EXPECT_EQ(run.outcome, UploadOutcome::Paused);
  EXPECT_EQ(run.codes(), "D4 E9 EBx4");
  EXPECT_TRUE(HasInOrder(run.lines(), {"Section 3 : [0050] words from [0050]", "Time Out - Repetindo "}));
  const Bytes unanswered = run.frames.back().data;

  // ContEndereco: continue from the offset typed in PosFW with the same target.
  auto cont = Start(text, 5);
  cont.mode = UploadMode::Continue;
  cont.startOffset = up.posFw();
  UploadRun after;
  Drive(up, up.start(cont), peer, after);
  EXPECT_EQ(after.outcome, UploadOutcome::Success);
  EXPECT_EQ(after.frames.front().data, unanswered);
  EXPECT_EQ(after.lines().front(), "Section 3 : [0050] words from [0050] OK ");
  EXPECT_EQ(FlashBytes(peer), ImageData());
}

TEST(Upload, PauseBeforeEraseTouchesNothing) {
  UploadPeer peer({});
  FirmwareUpload up;
  UploadRun run;
  const std::string text = Image();
  Drive(up, up.start(Start(text, 5)), peer, run, [&](std::size_t i) {
    if (i == 0) up.pause();
  });
  EXPECT_EQ(run.codes(), "D4");
  EXPECT_EQ(run.outcome, UploadOutcome::Paused);
  EXPECT_EQ(up.posFw(), 0u);
  EXPECT_FALSE(peer.erased);
  UploadRun after;
  Drive(up, up.resume(), peer, after);
  EXPECT_EQ(after.codes(), "D4 E9 EBx5 EA");
  EXPECT_EQ(after.lines()[2], "Section 0 : [0002] words from [0000] OK ");
}

TEST(Upload, CancelDuringGoodWait) {
  UploadPeer peer({});
  FirmwareUpload up;
  UploadRun run;
  Drive(up, up.start(Start(Image(), 5)), peer, run, [&](std::size_t i) {
    if (i == kFirstData) up.cancel();
  });
  EXPECT_EQ(run.outcome, UploadOutcome::Cancelled);
  EXPECT_EQ(run.codes(), "D4 E9 EBx3");
  EXPECT_EQ(run.resultLines, std::vector<std::string>{"Carga do firmware Cancelada"});
  EXPECT_EQ(run.progress.back(), 0);
  EXPECT_EQ(run.meshPercent.back(), 0);
  EXPECT_FALSE(up.uploadActive());
  EXPECT_FALSE(up.cancelRequested());
  EXPECT_TRUE(up.resume().refused);
}

TEST(Upload, CancelDuringFailingWait) {
  PeerConfig pc;
  pc.writesSilent = true;
  UploadPeer peer(pc);
  FirmwareUpload up;
  UploadRun run;
  Drive(up, up.start(Start(Image(), 5)), peer, run, [&](std::size_t i) {
    if (i == 3) up.cancel();
  });
  EXPECT_EQ(run.codes(), "D4 E9 EBx2");
  EXPECT_EQ(run.outcome, UploadOutcome::Cancelled);
  EXPECT_EQ(run.lines().back(), "Erro de Transmissao - Time Out");
  EXPECT_EQ(run.resultLines, std::vector<std::string>{"Carga do firmware Cancelada"});
}

TEST(Upload, CancelDuringVersionReadDoesNotErase) {
  UploadPeer peer({});
  FirmwareUpload up;
  UploadRun run;
  Drive(up, up.start(Start(Image(), 5)), peer, run, [&](std::size_t i) {
    if (i == 0) up.cancel();
  });
  EXPECT_EQ(run.codes(), "D4");
  EXPECT_EQ(run.outcome, UploadOutcome::Cancelled);
  EXPECT_FALSE(peer.erased);
}

TEST(Upload, CancelWhilePausedClosesAtOnce) {
  UploadPeer peer({});
  FirmwareUpload up;
  UploadRun run;
  const std::string text = Image();
  Drive(up, up.start(Start(text, 5)), peer, run, [&](std::size_t i) {
    if (i == kFirstData) up.pause();
  });
  ASSERT_TRUE(up.paused());
  const auto a = up.cancel();
  EXPECT_EQ(a.outcome, UploadOutcome::Cancelled);
  EXPECT_EQ(a.resultLine, "Carga do firmware Cancelada");
  EXPECT_EQ(a.meshFwState, 0);
  EXPECT_TRUE(a.frames.empty());
  EXPECT_FALSE(up.uploadActive());
  EXPECT_TRUE(up.resume().refused);
  // A new upload may start now.
  UploadRun again;
  Drive(up, up.start(Start(text, 5)), peer, again);
  EXPECT_EQ(again.outcome, UploadOutcome::Success);
}

TEST(Upload, CancelWinsOverPauseInTheSameWait) {
  UploadPeer peer({});
  FirmwareUpload up;
  UploadRun run;
  Drive(up, up.start(Start(Image(), 5)), peer, run, [&](std::size_t i) {
    if (i == kFirstData) {
      up.pause();
      up.cancel();
    }
  });
  EXPECT_EQ(run.outcome, UploadOutcome::Cancelled);
  EXPECT_EQ(run.resultLines, std::vector<std::string>{"Carga do firmware Cancelada"});
  EXPECT_FALSE(up.paused());
}

TEST(Upload, SecondStartRefusedWhileRunning) {
  FirmwareUpload up;
  const std::string text = Image();
  const auto first = up.start(Start(text, 5));
  ASSERT_EQ(first.frames.size(), 1u);
  const auto second = up.start(Start(text, 7));
  EXPECT_TRUE(second.refused);
  EXPECT_TRUE(second.frames.empty());
  EXPECT_FALSE(second.armTimerMs);
  EXPECT_EQ(up.target(), 5);
  EXPECT_TRUE(up.running());
  // Nothing to pause or cancel when idle.
  FirmwareUpload idle;
  EXPECT_TRUE(idle.pause().refused);
  EXPECT_TRUE(idle.cancel().refused);
  EXPECT_TRUE(idle.resume().refused);
}

TEST(Upload, RepliesNotForTheWait) {
  FirmwareUpload up;
  const std::string text = Image();
  up.start(Start(text, 5));
  Bytes reply(33, 0);
  reply[0] = 6;  // another radio
  reply[2] = 0xD4;
  EXPECT_FALSE(up.onReply(reply).taken);
  reply[0] = 5;
  reply[2] = 0xD7;  // not a firmware code
  EXPECT_FALSE(up.onReply(reply).taken);
  reply[2] = 0xD4;
  EXPECT_FALSE(up.onReply(std::span(reply).first(18)).taken) << "no bank byte";
  EXPECT_TRUE(up.running());
  EXPECT_EQ(up.ackState(), 0);

  // An erase reply during the version read ends the wait but is not the answer: the read is sent again.
  const auto a = up.onReply(test::Hex("05 00 E9 00 00 00 00 00"));
  EXPECT_TRUE(a.taken);
  EXPECT_EQ(RenderTx(a.log), (std::vector<std::string>{" ", " Memória Apagada OK "}));
  ASSERT_EQ(a.frames.size(), 1u);
  EXPECT_EQ(a.frames[0].data[0], 0xD4);
  EXPECT_EQ(up.retryBudget(), FirmwareUpload::kVersionRetries - 1);
}

TEST(Upload, LateAckAfterFailureIgnored) {
  PeerConfig pc;
  pc.writesSilent = true;
  UploadPeer peer(pc);
  FirmwareUpload up;
  UploadRun run;
  Drive(up, up.start(Start(Image(), 5)), peer, run);
  ASSERT_EQ(run.outcome, UploadOutcome::Failed);
  EXPECT_FALSE(up.onReply(test::Hex("05 00 EB 00 00 00 00 00 00")).taken);
  EXPECT_TRUE(up.onTimeout().log.empty());
}

TEST(Upload, TimeoutChoiceAppliesToLaterWaits) {
  FirmwareUpload up;
  auto a = up.start(Start(Image(), 5));
  EXPECT_EQ(a.armTimerMs, 2000);
  up.setReplyTimeout(7000);
  a = up.onTimeout();
  EXPECT_TRUE(a.stopTimer);
  EXPECT_EQ(a.armTimerMs, 7000);
}

TEST(Upload, CarriesOnAfterBeingMoved) {
  UploadPeer peer({});
  UploadRun run;
  auto first = std::make_unique<FirmwareUpload>();
  const auto a = first->start(Start(Image(), 5));
  FirmwareUpload moved = std::move(*first);
  first.reset();
  Drive(moved, a, peer, run);
  EXPECT_EQ(run.outcome, UploadOutcome::Success);
  EXPECT_EQ(FlashBytes(peer), ImageData());
}

TEST(Upload, FileThatCannotBeReadFailsAtOnce) {
  FirmwareUpload up;
  UploadStart s;
  s.target = 5;
  s.path = "C:\\FW\\V6AV2R4.rad";
  s.fileReadable = false;
  const auto a = up.start(s);
  EXPECT_TRUE(a.frames.empty());
  EXPECT_EQ(RenderTx(a.log), std::vector<std::string>{"[C:\\FW\\V6AV2R4.rad] file not found"});
  EXPECT_EQ(a.outcome, UploadOutcome::Failed);
  EXPECT_EQ(a.resultLine, "Erro na carga do firmware");
  EXPECT_FALSE(up.uploadActive());
}

TEST(Upload, RestartAfterFailureStartsFromHeader) {
  PeerConfig pc;
  pc.answerEnd = false;
  UploadPeer peer(pc);
  FirmwareUpload up;
  UploadRun run;
  const std::string text = Image();
  Drive(up, up.start(Start(text, 5)), peer, run);
  ASSERT_EQ(run.outcome, UploadOutcome::Failed);
  UploadRun again;
  const auto a = up.start(Start(text, 5));
  EXPECT_EQ(a.posFw, 0u);
  EXPECT_EQ(up.sectionNumber(), 0);
  EXPECT_EQ(up.progressCount(), 1u);
  EXPECT_EQ(a.frames.at(0).data[0], 0xD4);
}

}  // namespace
