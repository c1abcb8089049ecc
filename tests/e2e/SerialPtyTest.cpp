#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include "support/Hex.h"
#include "support/PtyPair.h"
#include "support/ScriptedDialogs.h"
#include "support/WaitFor.h"
#include "ui/AppWindows.h"

using namespace orvalis;
using test::Hex;
using test::ToHex;

namespace {
class BurstRecorder : public DispatchTarget {
public:
  std::vector<std::vector<std::uint8_t>> bursts;
  void onSignal(const Reply& r) override { bursts.emplace_back(r.bytes.begin(), r.bytes.end()); }
};
}  // namespace

TEST(SerialPty, ConnectSendReceiveOneBurstAndStoreSettings) {
  test::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  QTemporaryDir dir;
  const QString ini = dir.filePath("DIRIDIRUZER.ini");
  test::ScriptedDialogs dialogs;
  AppWindows app(dialogs, ini);
  TDual& d = app.dual();
  BurstRecorder rec;
  d.fanout().add(&rec);

  d.connection().selectPort(QString::fromStdString(pty.slavePath()));
  d.connection().connectButton()->click();
  ASSERT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join("\n").toStdString();
  EXPECT_EQ(d.connection().connectButton()->text(), "&DESCONECTAR");
  EXPECT_TRUE(d.pages().isEnabled());
  EXPECT_FALSE(d.connection().portBox()->isEnabled());

  // What a signal read handler does for radio 5.
  d.selector().selectRadio(5);
  d.state().targetRadio = 5;
  d.sender().SendCommand(5, 0xD7, 0, 0, 0);
  std::vector<std::uint8_t> out;
  ASSERT_TRUE(test::WaitFor([&] {
    auto b = pty.readNow();
    out.insert(out.end(), b.begin(), b.end());
    return out.size() >= 8;
  }));
  EXPECT_EQ(ToHex(out), "05 00 D7 00 00 00 1A 21");

  // The radio answers in two pieces with a short gap: one burst arrives.
  const auto reply = Hex("05 00 D7 01 00 50 55 01 2C FE 01 00 00 AA BB");
  pty.write({reply.begin(), reply.begin() + 6});
  test::WaitFor([] { return false; }, 15);
  pty.write({reply.begin() + 6, reply.end()});
  ASSERT_TRUE(test::WaitFor([&] { return !rec.bursts.empty(); }));
  test::WaitFor([] { return false; }, 100);
  ASSERT_EQ(rec.bursts.size(), 1u);
  EXPECT_EQ(ToHex(rec.bursts[0]), ToHex(reply));

  // Settings written at opening, read back at the next start.
  QSettings s(ini, QSettings::IniFormat);
  EXPECT_EQ(s.value("ComPort1/Port").toString().toStdString(), pty.slavePath());
  EXPECT_EQ(s.value("ComPort1/BaudRate").toString(), "9600");
  EXPECT_EQ(s.value("ComPort1/FlowControl").toString(), "None");
  EXPECT_EQ(s.value("ComPort1/Parity").toString(), "None");
  d.connection().connectButton()->click();
  EXPECT_EQ(d.connection().connectButton()->text(), "&CONECTAR");
  EXPECT_FALSE(d.pages().isEnabled());
  d.fanout().remove(&rec);

  AppWindows again(dialogs, ini);
  EXPECT_EQ(again.dual().connection().portBox()->currentText().toStdString(), pty.slavePath());
}

TEST(SerialPty, PortThatCannotBeOpenedShowsErrorBox) {
  test::ScriptedDialogs dialogs;
  QTemporaryDir dir;
  AppWindows app(dialogs, dir.filePath("DIRIDIRUZER.ini"));
  TDual& d = app.dual();
  d.connection().selectPort("/dev/nonexistent-orvalis");
  d.connection().connectButton()->click();
  ASSERT_EQ(dialogs.shown.size(), 1);
  EXPECT_TRUE(dialogs.shown[0].startsWith("error:"));
  EXPECT_EQ(d.connection().connectButton()->text(), "&CONECTAR");
  EXPECT_FALSE(d.sender().serialConnected());
}

TEST(SerialPty, LostPortClosesTheLinkInsteadOfLeavingItDead) {
  auto pty = std::make_unique<test::PtyPair>();
  ASSERT_TRUE(pty->ok());
  test::ScriptedDialogs dialogs;
  QTemporaryDir dir;
  AppWindows app(dialogs, dir.filePath("DIRIDIRUZER.ini"));
  TDual& d = app.dual();
  d.connection().selectPort(QString::fromStdString(pty->slavePath()));
  d.connection().connectButton()->click();
  ASSERT_TRUE(d.sender().serialConnected());
  pty.reset();  // the other end goes away, as an unplugged adapter does
  ASSERT_TRUE(test::WaitFor([&] { return !d.sender().serialConnected(); }, 3000));
  EXPECT_EQ(d.connection().connectButton()->text(), "&CONECTAR");
  EXPECT_TRUE(d.tx().toPlainText().contains("Porta serial perdida"));
  EXPECT_TRUE(d.connection().portBox()->isEnabled());
}
