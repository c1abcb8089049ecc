#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UploadPeer.h"
#include "firmware/FirmwareImage.h"
#include "firmware/FirmwareUpload.h"
#include "firmware/RadImageMaker.h"
#include "link/BasicDispatchContext.h"
#include "link/CommandSender.h"
#include "link/ResponseDispatcher.h"
#include "support/Hex.h"
#include "support/RecordingTransport.h"

using namespace orvalis;

namespace {

// The main window's side of the hook: shared state read by the dispatcher, the upload behind step 4.
struct Window : BasicDispatchContext, DispatchTarget {
  FirmwareUpload upload;
  int parameterReplies = 0;
  int uploadReplies = 0;
  UploadActions last;

  bool uploadActive() const override { return upload.uploadActive(); }
  int ackState() const override { return upload.ackState(); }
  RadioId targetRadio() const override { return upload.target(); }
  RadioId currentRadio() const override { return upload.target(); }

  void onUploadReply(const Reply& r) override {
    ++uploadReplies;
    last = upload.onReply(r.bytes);
  }
  void onParameters(const Reply&) override { ++parameterReplies; }
};

struct Hook : ::testing::Test {
  Window w;
  test::RecordingTransport serial;
  CommandSender sender;
  ResponseDispatcher dispatcher{w, w, sender};

  void SetUp() override {
    sender.setSerial(&serial);
    sender.setSerialConnected(true);
  }
  // What the window does with the upload's actions.
  void apply(const UploadActions& a) {
    if (a.clearReReadTrigger) dispatcher.clearReRead();
    if (a.setAwaitingReply) w.awaiting = true;
    for (const auto& f : a.frames) sender.SendFrame(f.dest, f.data);
  }
  void feed(const std::string& hex) {
    const auto b = test::Hex(hex);
    dispatcher.dispatch(b, "12:00:00");
    apply(w.last);
    w.last = {};
  }
};

std::string Image() {
  RadImageOptions o;
  o.role = 1;
  return MakeRadImage(std::vector<std::uint8_t>(100, 0x33), o);
}

UploadStart Start(RadioId target) {
  UploadStart s;
  s.target = target;
  s.text = Image();
  s.totalSize = FirmwareImage::Analyse(s.text).totalSize();
  s.viaRf = true;
  return s;
}

const std::string kVersionReply =
    "05 00 D4 00 00 01 02 03 04 0D 00 12 05 00 00 00 06 01 01 00 00 00 00 00 00 00 00 00 00 00 00 AA BB";

TEST_F(Hook, UploadRepliesGoToTheUploadOnly) {
  dispatcher.armReRead(0xCC);
  apply(w.upload.start(Start(5)));
  EXPECT_EQ(dispatcher.reReadTrigger(), 0) << "cleared before the request";
  EXPECT_EQ(test::ToHex(serial.writes.back()).substr(0, 17), "05 00 D4 00 00 00");

  feed("06" + kVersionReply.substr(2));  // the same reply from radio 6
  EXPECT_EQ(w.uploadReplies, 0);
  EXPECT_TRUE(w.upload.running());
  EXPECT_EQ(w.parameterReplies, 1) << "another radio's reply is an ordinary parameter reply";

  w.awaiting = true;
  feed(kVersionReply);
  EXPECT_EQ(w.uploadReplies, 1);
  EXPECT_EQ(w.parameterReplies, 1) << "the dispatcher does nothing further with an upload reply";
  EXPECT_EQ(test::ToHex(serial.writes.back()).substr(0, 17), "05 00 E9 00 00 00");

  feed("05 00 E9 00 00 00 AA BB");
  EXPECT_EQ(w.upload.step(), UploadStep::Write);
  const auto header = serial.writes.back();
  EXPECT_EQ(test::ToHex(header).substr(0, 20), "05 00 EB 00 0F 02 00");
}

TEST_F(Hook, ShortPiecesAreJoinedWhileUploading) {
  apply(w.upload.start(Start(5)));
  feed(kVersionReply);
  feed("05 00 E9 00 00 00 AA BB");
  // The acknowledgement of the header arrives in two bursts: 3 bytes are held and joined with the rest.
  feed("05 00 EB");
  EXPECT_EQ(w.uploadReplies, 2);
  feed("00 00 00 00 AA BB");
  EXPECT_EQ(w.uploadReplies, 3);
  EXPECT_EQ(w.upload.sectionNumber(), 2) << "the header was accepted and the next record is out";
}

TEST_F(Hook, NoHookOnceTheUploadIsOver) {
  apply(w.upload.start(Start(5)));
  for (int i = 0; i < 6; ++i) apply(w.upload.onTimeout());
  ASSERT_FALSE(w.upload.uploadActive());
  w.awaiting = true;
  feed(kVersionReply);
  EXPECT_EQ(w.uploadReplies, 0);
  EXPECT_EQ(w.parameterReplies, 1) << "an ordinary parameter reply again";
}

}  // namespace
