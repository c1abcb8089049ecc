// The link measurement of the SINAL page over a real serial line, a scripted mesh on the far side.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include "support/Hex.h"
#include "support/PtyPair.h"
#include "support/ScriptedDialogs.h"
#include "support/WaitFor.h"
#include "ui/AppWindows.h"

using namespace orvalis;
using test::Hex;
using test::ToHex;

namespace {
// The far side: reads one frame, checks it, answers with the reply split in two writes.
struct ScriptedMesh {
  test::PtyPair& pty;
  std::string nextFrame() {
    std::vector<std::uint8_t> in;
    test::WaitFor([&] {
      auto b = pty.readNow();
      in.insert(in.end(), b.begin(), b.end());
      return in.size() >= 8;
    });
    return ToHex(in);
  }
  void answer(const std::string& hex) {
    const auto b = Hex(hex);
    const std::size_t half = b.size() / 2;
    pty.write({b.begin(), b.begin() + static_cast<std::ptrdiff_t>(half)});
    test::WaitFor([] { return false; }, 10);
    pty.write({b.begin() + static_cast<std::ptrdiff_t>(half), b.end()});
  }
};
}  // namespace

TEST(LinkQualityPty, SignalThroughGatewayThenBothNoiseReadingsGiveTheRating) {
  test::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  QTemporaryDir dir;
  test::ScriptedDialogs dialogs;
  AppWindows app(dialogs, dir.filePath("DIRIDIRUZER.ini"));
  TDual& d = app.dual();
  d.connection().selectPort(QString::fromStdString(pty.slavePath()));
  d.connection().connectButton()->click();
  ASSERT_TRUE(d.sender().serialConnected()) << dialogs.shown.join("\n").toStdString();
  ScriptedMesh mesh{pty};
  auto label = [&](const char* n) { return d.findChild<QLabel*>(n)->text(); };
  auto settle = [&](const char* name, const QString& text) {
    return test::WaitFor([&] { return label(name) == text; });
  };

  d.selector().idBox()->setEditText("5");
  d.selector().IDChange();
  d.findChild<QPushButton*>("EnviaComando")->click();
  EXPECT_EQ(mesh.nextFrame(), "05 00 D7 00 00 00 1A 21");
  mesh.answer("05 00 D7 03 00 55 50 00 00 00 00 00 00 01 2C FE 01 AA BB");  // gateway 3
  ASSERT_TRUE(settle("TL_gateway", "3"));

  d.findChild<QPushButton*>("NXB_ruido")->click();
  EXPECT_EQ(mesh.nextFrame().substr(0, 17), "05 00 D8 00 00 00");
  mesh.answer("05 00 D8 70 6E 68 AA BB");  // mean noise 110 at radio 5
  ASSERT_TRUE(settle("TL_ruido_med_qualidade_dest", "110"));

  d.findChild<QPushButton*>("NxB_ruido_GW")->click();
  EXPECT_EQ(mesh.nextFrame().substr(0, 17), "03 00 D8 00 00 00");
  mesh.answer("03 00 D8 70 5F 68 AA BB");  // mean noise 95 at the gateway: 95 - 80 = 15
  ASSERT_TRUE(settle("TL_qual_ida", " Regular "));
  EXPECT_EQ(label("TL_qual_volta"), " Bom ");  // 110 - 85 = 25
  EXPECT_FALSE(d.findChild<QWidget*>("IMG_qualidade_sinal_Azul_cck")->isHidden());
  EXPECT_FALSE(d.findChild<QWidget*>("IMG_qualidade_verde")->isHidden());
  const QString tx = d.tx().toPlainText();
  EXPECT_TRUE(tx.contains("] RSSI RADIO [3]<-[5] - 80 dBm  [5]<-[3] - 85 dBm (-1 Hz)")) << tx.toStdString();
  EXPECT_TRUE(tx.contains("] RUIDO RADIO [5] Min -104 dBm / Med -110 dBm / Max -112 dBm")) << tx.toStdString();
  EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join("\n").toStdString();
  d.connection().connectButton()->click();
}
