// The firmware group of the UPGRADE tab: file analysis, the upload driven through the dispatcher, pause,
// continue, cancel, timeouts, and one upload at a time.
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <numeric>

#include "firmware/FirmwareImage.h"
#include "firmware/RadImageMaker.h"
#include "firmware/UploadPeer.h"
#include "support/UiFixture.h"
#include "ui/UpdateRfPage.h"

using namespace orvalis;
using test::Hex;
using test::ToHex;

namespace {

std::vector<std::uint8_t> Payload() {
  std::vector<std::uint8_t> b(200);
  std::iota(b.begin(), b.end(), 0x31);
  return b;
}

// Header 0x0F for hardware 13 and remote radios, the version tag 9.4, records of 80, 80 and 48 bytes.
std::string ImageText() {
  RadImageOptions o;
  o.tag = FirmwareVersionTag{9, 4};
  return MakeRadImage(Payload(), o);
}

std::vector<std::uint8_t> ImageData() {
  auto d = VersionTagBytes({9, 4});
  const auto p = Payload();
  d.insert(d.end(), p.begin(), p.end());
  return d;
}

struct FirmwarePage : test::UiFixture {
  UpdateRfPage* page = nullptr;
  QString imagePath;
  std::string imageText = ImageText();
  test::UploadPeer peer{test::PeerConfig{}};

  void SetUp() override {
    UiFixture::SetUp();
    dual().setTabShown("UPDATE_RF", true);
    page = qobject_cast<UpdateRfPage*>(dual().page("UPDATE_RF"));
    ASSERT_NE(page, nullptr);
    imagePath = dir.filePath("V9R4.rad");
    writeFile(imagePath, imageText);
  }
  static void writeFile(const QString& path, const std::string& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.data(), static_cast<qint64>(text.size()));
  }
  QPushButton* button(const char* name) { return find<QPushButton>(name); }
  void open(const QString& path) {
    dialogs.fileAnswers = {path};
    button("OpenFile")->click();
  }
  void select(int id) {
    find<QComboBox>("ID")->setEditText(QString::number(id));
    dual().selector().IDChange();
  }
  // Opens the image, selects radio 5 and starts: the version read is on the line.
  void start(bool viaRf = true) {
    open(imagePath);
    select(5);
    find<QCheckBox>("UPD_RF")->setChecked(viaRf);
    serial.clear();
    button("programa")->click();
  }
  // The last frame written, as destination and data (no gateway prefix in these tests).
  UploadFrame last() const {
    const auto& w = serial.writes.back();
    return {static_cast<RadioId>(w[0] | (w[1] << 8)), Bytes(w.begin() + 2, w.end() - 2)};
  }
  // The peer answers the frame on the line; silence, or an answer that does not end the wait, runs Timer_ACK.
  void step() {
    const std::size_t before = serial.writes.size();
    if (const auto reply = peer.answer(last())) feed(*reply);
    if (page->upload().running() && serial.writes.size() == before) page->Timer_ACKTimer();
  }
  void runToEnd() {
    for (int guard = 0; guard < 2000 && page->upload().running(); ++guard) step();
  }
  // Answers until `writes` write packets have been accepted; the next one is then waiting.
  void runUntilWritesAnswered(int writes) {
    for (int guard = 0; guard < 2000 && page->upload().running() && peer.writesSeen < writes; ++guard) step();
  }
  QString tx() { return dual().tx().text(); }
  QStringList txLines() { return tx().split('\n'); }
  int count(const QString& line) { return static_cast<int>(txLines().count(line)); }
  std::vector<std::uint8_t> flash() const {
    std::vector<std::uint8_t> out;
    for (const auto& [a, b] : peer.flash) out.push_back(b);
    return out;
  }
  // Byte offset in the file of the n-th record (0 = header).
  std::size_t recordOffset(int n) const {
    std::size_t at = 0;
    for (int i = 0; i <= n; ++i) at = imageText.find(':', i == 0 ? 0 : at + 1);
    return at;
  }
  void expectIdleControls() {
    EXPECT_FALSE(button("pause")->isEnabled());
    EXPECT_FALSE(button("cancel")->isEnabled());
    EXPECT_TRUE(button("OpenFile")->isEnabled());
    EXPECT_TRUE(button("programa")->isEnabled());
    EXPECT_EQ(button("pause")->text(), "PA&USA");
    EXPECT_FALSE(dual().state().uploadActive);
    EXPECT_EQ(dual().state().meshFwState, 0);
    EXPECT_FALSE(page->timerAck().isActive());
  }
};

TEST_F(FirmwarePage, InitialControlsAndTimeoutChoice) {
  EXPECT_FALSE(button("programa")->isEnabled());
  EXPECT_FALSE(button("pause")->isEnabled());
  EXPECT_FALSE(button("cancel")->isEnabled());
  EXPECT_TRUE(button("OpenFile")->isEnabled());
  EXPECT_TRUE(find("CRC")->isHidden());
  EXPECT_TRUE(find("PosFW")->isHidden());
  EXPECT_TRUE(find("ContEndereco")->isHidden());
  EXPECT_EQ(find<QLineEdit>("CRC")->text(), "0x0000");
  // The choice shown is the 5 s in force.
  EXPECT_EQ(page->replyTimeoutMs(), 5000);
  for (const char* name : {"b1s", "b15s", "b2s", "b3s", "b5s", "b7s"})
    EXPECT_EQ(find<QRadioButton>(name)->isChecked(), QString(name) == "b5s") << name;
  find<QRadioButton>("b15s")->click();
  EXPECT_EQ(page->replyTimeoutMs(), 1500);
  EXPECT_FALSE(find<QRadioButton>("b5s")->isChecked());
  start();
  EXPECT_EQ(page->timerAck().interval(), 1500);
  EXPECT_EQ(page->timerAck().timerType(), Qt::PreciseTimer);
  EXPECT_TRUE(page->timerAck().isSingleShot());
}

TEST_F(FirmwarePage, OpenFileAnalysesAndSetsTheCaption) {
  open(imagePath);
  EXPECT_EQ(dialogs.shown.last(), "open: Abre arquivo RAD");
  EXPECT_EQ(dual().windowTitle(), "Configurador KALDORINE - [V9R4.rad]");
  EXPECT_TRUE(button("programa")->isEnabled());
  EXPECT_FALSE(find("andamento")->isHidden());
  EXPECT_EQ(find<QProgressBar>("andamento")->value(), 0);
  const QStringList lines = txLines();
  // Tx was cleared: the analysis starts on the first line.
  ASSERT_GE(lines.size(), 5);
  EXPECT_EQ(lines[0], "Section 0 :  [0000]-[0001]");
  EXPECT_EQ(lines[1], "Section 1 :  [0000]-[0001]");
  EXPECT_EQ(lines[2], "Section 2 :  [0000]-[00CF]");
  EXPECT_TRUE(lines[3].startsWith("Checksum Flash: ")) << lines[3].toStdString();
  EXPECT_EQ(lines.last(), "Arquivo Pronto para ser enviado");
  EXPECT_EQ(page->image().totalSize(), 1u + 2 + 2 + 208 + 2);

  // A file that went away: the send button goes off again.
  const QString gone = dir.filePath("gone.rad");
  open(gone);
  EXPECT_FALSE(button("programa")->isEnabled());
  EXPECT_EQ(tx(), "[" + gone + "] file not found");

  // The dialog cancelled: nothing changes.
  dialogs.fileAnswers.clear();
  button("OpenFile")->click();
  EXPECT_EQ(dual().windowTitle(), "Configurador KALDORINE - [gone.rad]");
}

TEST_F(FirmwarePage, CrcBoxIsRewrittenOnExit) {
  struct Case {
    const char* typed;
    const char* shown;
  } const cases[] = {{"255", "0x00FF"}, {"0x1a2b", "0x1A2B"}, {"0", "0x0000"}, {"abc", "abc"}};
  auto* crc = find<QLineEdit>("CRC");
  for (const Case& c : cases) {
    crc->setText(c.typed);
    page->CRCExit();
    EXPECT_EQ(crc->text(), c.shown) << c.typed;
  }
}

TEST_F(FirmwarePage, StartSendsTheVersionReadAndHoldsTheControls) {
  struct Case {
    int radio;
    bool viaRf;
    const char* data;
  } const cases[] = {{5, true, "D4 00 00 00"}, {5, false, "E2 00 00 00"}, {0, false, "E2 00 00 00"}};
  for (const Case& c : cases) {
    open(imagePath);
    select(c.radio);
    find<QCheckBox>("UPD_RF")->setChecked(c.viaRf);
    dual().dispatcher().armReRead(0xCC);
    dual().state().awaitingReply = false;
    serial.clear();
    button("programa")->click();
    ASSERT_EQ(serial.writes.size(), 1u);
    EXPECT_EQ(ToHex(serial.writes[0]), ToHex(BuildRadioFrame(static_cast<RadioId>(c.radio), Hex(c.data))));
    EXPECT_TRUE(dual().state().uploadActive);
    EXPECT_EQ(dual().state().ackState, 0);
    EXPECT_EQ(dual().state().targetRadio, c.radio);
    EXPECT_TRUE(dual().state().awaitingReply);
    EXPECT_EQ(dual().state().meshFwState, 3);
    EXPECT_EQ(dual().dispatcher().reReadTrigger(), 0);
    EXPECT_TRUE(page->timerAck().isActive());
    EXPECT_EQ(page->timerAck().interval(), 5000);
    EXPECT_FALSE(button("OpenFile")->isEnabled());
    EXPECT_FALSE(button("programa")->isEnabled());
    EXPECT_TRUE(button("pause")->isEnabled());
    EXPECT_TRUE(button("cancel")->isEnabled());
    // Close it for the next case.
    button("cancel")->click();
    page->Timer_ACKTimer();
    EXPECT_FALSE(dual().state().uploadActive);
  }
}

TEST_F(FirmwarePage, FullUploadThroughTheDispatcher) {
  QSignalSpy percent(page, &UpdateRfPage::meshPercentChanged);
  start();
  runToEnd();
  EXPECT_EQ(flash(), ImageData());
  EXPECT_EQ(peer.config().bank, 0);  // the peer switched to bank A
  EXPECT_EQ(peer.badCheckBytes, 0);
  EXPECT_EQ(find<QProgressBar>("andamento")->value(), 100);
  EXPECT_EQ(find<QLineEdit>("CRC")->text().toStdString(), CrcBoxText(RadImageCheckValue(ImageData())));
  const QStringList lines = txLines();
  for (const char* want : {"Gravação ok", "Fim da Gravação", "Firmware carregado com sucesso"})
    EXPECT_EQ(count(QString::fromUtf8(want)), 1) << want;
  // " OK " of the version read, then the erase's " \n Memória Apagada OK " appended to the same line.
  EXPECT_TRUE(lines.contains(" OK  ")) << tx().toStdString();
  EXPECT_TRUE(lines.contains(QStringLiteral(" Memória Apagada OK ")));
  EXPECT_TRUE(lines.contains("Section 2 : [0050] words from [0000] OK "));
  EXPECT_TRUE(lines.contains("Section 4 : [0030] words from [00A0] OK  OK "));  // the end command's answer too
  EXPECT_EQ(lines.last(), "Firmware carregado com sucesso");
  // 5 write packets of 2+2+80+80+48 data bytes; each frame 8 + count + 4 bytes.
  const QString file = lines[lines.size() - 3];
  const QString rf = lines[lines.size() - 2];
  EXPECT_TRUE(file.startsWith("FILE: 212 bytes sent in ")) << file.toStdString();
  EXPECT_TRUE(rf.startsWith("RF:   272 bytes sent in ")) << rf.toStdString();
  expectIdleControls();
  ASSERT_FALSE(percent.isEmpty());
  EXPECT_EQ(percent.last()[0].value<RadioId>(), 5);
  EXPECT_EQ(percent.last()[1].toInt(), 100);
  // Every request went to radio 5 and nothing followed the end command.
  EXPECT_EQ(last().data[0], 0xEA);
}

TEST_F(FirmwarePage, PauseWaitsForTheAnswerThenContinueResendsTheSameRecord) {
  start();
  runUntilWritesAnswered(3);  // header, 0x04 record, first data record accepted; the second is waiting
  ASSERT_EQ(last().data[0], 0xEB);
  const Bytes waiting = last().data;
  button("pause")->click();
  EXPECT_EQ(button("pause")->text(), "CONTIN&UA");
  EXPECT_EQ(txLines().last(), "Carga Firmware pausada");
  // The request on the line still has its wait: continuing is not offered yet.
  EXPECT_FALSE(button("pause")->isEnabled());
  const std::size_t written = serial.writes.size();
  page->pauseClick();
  EXPECT_EQ(serial.writes.size(), written);
  // The packet goes unanswered: the pause takes effect when its wait ends, and nothing more goes out.
  page->Timer_ACKTimer();
  EXPECT_EQ(serial.writes.size(), written);
  EXPECT_EQ(txLines().last(), "Aguardando reinicio");
  EXPECT_TRUE(button("pause")->isEnabled());
  EXPECT_TRUE(dual().state().uploadActive);
  EXPECT_FALSE(button("programa")->isEnabled());
  // PosFW: where the search for the record's ':' starts, just after the record before it.
  EXPECT_EQ(find<QLineEdit>("PosFW")->text(), QString::number(recordOffset(3) - 2));
  // No new upload while this one is paused.
  page->programaClick();
  EXPECT_EQ(serial.writes.size(), written);

  button("pause")->click();
  EXPECT_EQ(button("pause")->text(), "PA&USA");
  EXPECT_TRUE(txLines().contains("Ccontinuando Carga Firmware"));
  ASSERT_EQ(serial.writes.size(), written + 1);
  EXPECT_EQ(ToHex(last().data), ToHex(waiting));
  // The same section number as before the pause.
  const QString section = "Section 3 : [0050] words from [0050]";
  EXPECT_EQ(count(section), 2);
  EXPECT_EQ(txLines().last(), section);
}

TEST_F(FirmwarePage, ContinueAfterPauseCompletesTheImage) {
  start();
  runUntilWritesAnswered(4);
  button("pause")->click();
  step();  // the waiting packet is accepted; then the pause stops the upload
  EXPECT_EQ(txLines().last(), "Aguardando reinicio");
  button("pause")->click();
  runToEnd();
  EXPECT_EQ(flash(), ImageData());
  EXPECT_EQ(txLines().last(), "Firmware carregado com sucesso");
  expectIdleControls();
}

TEST_F(FirmwarePage, CancelDuringAWaitAndWhilePaused) {
  // During a wait: the upload ends when that wait ends.
  start();
  runUntilWritesAnswered(2);
  button("cancel")->click();
  const std::size_t written = serial.writes.size();
  step();
  EXPECT_EQ(serial.writes.size(), written);
  EXPECT_EQ(txLines().last(), "Carga do firmware Cancelada");
  EXPECT_EQ(find<QProgressBar>("andamento")->value(), 0);
  expectIdleControls();

  // While paused: closed at once.
  peer = test::UploadPeer(test::PeerConfig{});
  start();
  runUntilWritesAnswered(2);
  button("pause")->click();
  step();
  ASSERT_EQ(txLines().last(), "Aguardando reinicio");
  const std::size_t before = serial.writes.size();
  button("cancel")->click();
  EXPECT_EQ(serial.writes.size(), before);
  EXPECT_EQ(txLines().last(), "Carga do firmware Cancelada");
  expectIdleControls();
  // A fresh start is possible again and begins with the version read.
  button("programa")->click();
  EXPECT_EQ(last().data[0], 0xD4);
}

TEST_F(FirmwarePage, OneUploadAtATime) {
  start();
  runUntilWritesAnswered(1);
  const std::size_t written = serial.writes.size();
  EXPECT_FALSE(button("programa")->isEnabled());
  EXPECT_FALSE(button("OpenFile")->isEnabled());
  page->programaClick();
  page->ContEnderecoClick();
  page->pauseClick();  // asks for the pause only
  EXPECT_EQ(serial.writes.size(), written);
  page->ContEnderecoClick();
  EXPECT_EQ(serial.writes.size(), written);
}

TEST_F(FirmwarePage, SilentRadioAndRefusals) {
  struct Case {
    const char* name;
    test::PeerConfig peer;
    const char* lastLines[2];
    int frames;  // frames written in all
  };
  test::PeerConfig noVersion;
  noVersion.answerVersion = false;
  test::PeerConfig silentWrites;
  silentWrites.writesSilent = true;
  test::PeerConfig otherHardware;
  otherHardware.hardware = 14;
  const Case cases[] = {
      {"no version reply", noVersion, {"Sem resposta leitura do Rádio", "Erro na carga do firmware"}, 6},
      {"silent writes", silentWrites, {"Erro de Transmissao - Time Out", "Erro na carga do firmware"}, 2 + 126},
      {"other hardware",
       otherHardware,
       {"Firmware não é para esta versão de Hardware", "Erro na carga do firmware"},
       1},
  };
  for (const Case& c : cases) {
    peer = test::UploadPeer(c.peer);
    start();
    runToEnd();
    const QStringList lines = txLines();
    EXPECT_EQ(lines[lines.size() - 2], QString::fromUtf8(c.lastLines[0])) << c.name;
    EXPECT_EQ(lines.last(), QString::fromUtf8(c.lastLines[1])) << c.name;
    EXPECT_EQ(static_cast<int>(serial.writes.size()), c.frames) << c.name;
    expectIdleControls();
  }
}

TEST_F(FirmwarePage, RepliesOutsideTheWaitAreNotTaken) {
  start();
  // Version read answered; the erase is waiting. An erase echo from another radio does not end the wait.
  step();
  ASSERT_EQ(last().data[0], 0xE9);
  const std::size_t written = serial.writes.size();
  feed(ReplyFrom(7, "E9 00 00 00"));
  EXPECT_EQ(serial.writes.size(), written);
  EXPECT_EQ(dual().state().ackState, 0);
  // A timeout then a late answer: the resend is what the answer ends.
  page->Timer_ACKTimer();
  ASSERT_EQ(serial.writes.size(), written + 1);
  EXPECT_EQ(last().data[0], 0xE9);
  feed(ReplyFrom(5, "E9 00 00 00"));
  EXPECT_EQ(last().data[0], 0xEB);
  EXPECT_TRUE(txLines().contains(QStringLiteral(" Memória Apagada OK ")));
}

}  // namespace
