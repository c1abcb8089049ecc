// The program's windows with a recording serial transport, for page tests.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "link/RadioFrame.h"
#include "support/Hex.h"
#include "support/RecordingTransport.h"
#include "support/ScriptedDialogs.h"
#include "ui/AppWindows.h"

namespace orvalis::test {

struct UiFixture : ::testing::Test {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  RecordingTransport serial;
  std::unique_ptr<AppWindows> app;

  void SetUp() override {
    app = std::make_unique<AppWindows>(dialogs, dir.filePath("DIRIDIRUZER.ini"));
    dual().sender().setSerial(&serial);
    dual().sender().setSerialConnected(true);
    dual().pages().setEnabled(true);
  }
  TDual& dual() { return app->dual(); }
  template <class W = QWidget>
  W* find(const char* name) {
    W* w = dual().findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void feed(const std::vector<std::uint8_t>& b) {
    dual().ResponseDispatcherCall(QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size())));
  }
  void feedText(const std::string& s) { feed(Text(s)); }
  // A reply frame from `src`: id, code, payload, then a CRC.
  static std::vector<std::uint8_t> ReplyFrom(RadioId src, const std::string& codeAndPayloadHex) {
    std::vector<std::uint8_t> b{static_cast<std::uint8_t>(src & 0xFF), static_cast<std::uint8_t>(src >> 8)};
    const auto rest = Hex(codeAndPayloadHex);
    b.insert(b.end(), rest.begin(), rest.end());
    AppendFrameCrc(b);
    return b;
  }
  std::string written() const { return ToHex(serial.all()); }
};

}  // namespace orvalis::test
