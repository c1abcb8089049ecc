#include <gtest/gtest.h>

#include <map>

#include "events/EventSink.h"
#include "events/SurGardDecoder.h"
#include "support/Hex.h"

namespace orvalis {
namespace {

// Records the calls in order; the firmware table holds the rows it is given.
class RecordingSink : public EventSink {
 public:
  struct FwRow {
    std::string serial;
    bool installed = false;
  };
  std::map<int, FwRow> fw;
  bool autoRead = false;
  std::optional<int> accountRadio;  // radio of the row that has the account
  std::vector<std::string> calls;

  void commUpdateByRadio(int id, const std::string& account, const std::string& time, const std::string& event,
                         TimePoint) override {
    calls.push_back("comm " + std::to_string(id) + " " + account + " " + time + " " + event);
  }
  std::optional<int> commUpdateByAccount(const std::string& account, const std::string& time, const std::string& event,
                                         TimePoint) override {
    calls.push_back("commAccount " + account + " " + time + " " + event);
    return accountRadio;
  }
  void recordLastEvent(int id, TimePoint) override { calls.push_back("last " + std::to_string(id)); }
  bool fwHasRow(int id) const override { return fw.count(id) > 0; }
  void fwUntick881(int id) override { calls.push_back("untick881 " + std::to_string(id)); }
  void fwSetAccount(int id, const std::string& a) override {
    calls.push_back("fwAccount " + std::to_string(id) + " " + a);
  }
  std::string fwSerialNumber(int id) const override { return fw.at(id).serial; }
  void fwSetSerialNumber(int id, const std::string& s, bool changed) override {
    calls.push_back("serial " + std::to_string(id) + " " + s + (changed ? " red" : ""));
  }
  bool fwInstalled(int id) const override { return fw.at(id).installed; }
  bool fwAutoReadEnabled() const override { return autoRead; }
  void fwQueueRead(int id) override { calls.push_back("queue " + std::to_string(id)); }
  void fwSetInstalled(int id) override { calls.push_back("installed " + std::to_string(id)); }
};

ContactIdEvent Event(const std::string& message) {
  return SurGardDecoder::Decode(test::Text(message), true, Arrival{TimePoint{}, "", "09:15:00"});
}

using Calls = std::vector<std::string>;

TEST(ApplyTableUpdates, ExtendedEventUpdatesBothTablesOfTheRadio) {
  RecordingSink sink;
  sink.fw[15] = {"", false};
  sink.autoRead = true;
  ApplyTableUpdates(Event("6000 184321E88002015 001512345678901204503"), sink);
  EXPECT_EQ(sink.calls, (Calls{"untick881 15", "comm 15 4321 09:15:00 E880", "fwAccount 15 4321",
                               "serial 15 123.456.789.012", "last 15", "queue 15", "installed 15"}));
}

struct SerialCase {
  const char* message;
  const char* cell;
  std::vector<std::string> serialCalls;
};

class ApplySerialNumber : public ::testing::TestWithParam<SerialCase> {};

TEST_P(ApplySerialNumber, WritesNewSerialsAndMarksChangedOnes) {
  RecordingSink sink;
  sink.fw[15] = {GetParam().cell, true};
  ApplyTableUpdates(Event(GetParam().message), sink);
  std::vector<std::string> serial;
  for (const auto& c : sink.calls)
    if (c.rfind("serial", 0) == 0) serial.push_back(c);
  EXPECT_EQ(serial, GetParam().serialCalls);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, ApplySerialNumber,
    ::testing::Values(
        SerialCase{"6000 184321E88002015 001512345678901204503", "", {"serial 15 123.456.789.012"}},
        SerialCase{"6000 184321E88002015 001512345678901204503", "123.456.789.012", {}},
        SerialCase{"6000 184321E88002015 001512345678901204503", "999.456.789.012", {"serial 15 123.456.789.012 red"}},
        // No serial text: zero serial, other codes, standard messages.
        SerialCase{"6000 184321E88002015 001500000000000004503", "111.111.111.111", {}},
        SerialCase{"6000 184321E13002015 001512345678901204503", "111.111.111.111", {}},
        SerialCase{"6000 184321E89400000 001512345678901204503", "111.111.111.111", {}},
        SerialCase{"5000 181234E88001015", "111.111.111.111", {}}));

TEST(ApplyTableUpdates, WithoutAFirmwareRowOnlyTheCommunicationTableChanges) {
  RecordingSink sink;
  ApplyTableUpdates(Event("5000 181234R88101015"), sink);
  EXPECT_EQ(sink.calls, (Calls{"comm 15 1234 09:15:00 R881", "last 15"}));
}

TEST(ApplyTableUpdates, InstalledRadioIsNotQueuedAgain) {
  RecordingSink sink;
  sink.fw[15] = {"", true};
  sink.autoRead = true;
  ApplyTableUpdates(Event("5000 181234E88101015"), sink);
  EXPECT_EQ(sink.calls, (Calls{"untick881 15", "comm 15 1234 09:15:00 E881", "fwAccount 15 1234", "last 15"}));
}

TEST(ApplyTableUpdates, FirstReportWithoutAutomaticReadOnlyMarksInstalled) {
  RecordingSink sink;
  sink.fw[15] = {"", false};
  ApplyTableUpdates(Event("5000 181234E88101015"), sink);
  EXPECT_EQ(sink.calls.back(), "installed 15");
  EXPECT_EQ(std::count(sink.calls.begin(), sink.calls.end(), "queue 15"), 0);
}

TEST(ApplyTableUpdates, NoTableChangesForLargeOrMalformedIds) {
  for (const char* m : {"6000 184321E88202015 102412345678901204503", "6000 184321E88202015 00X112345678901204503",
                        "5000 181234E880011A3"}) {
    RecordingSink sink;
    sink.fw[1024] = {"", false};
    ApplyTableUpdates(Event(m), sink);
    EXPECT_TRUE(sink.calls.empty()) << m;
  }
}

TEST(ApplyTableUpdates, OtherStandardEventsGoByAccount) {
  RecordingSink sink;
  sink.fw[7] = {"", false};
  sink.accountRadio = 7;
  ApplyTableUpdates(Event("5000 181234E13001005"), sink);
  EXPECT_EQ(sink.calls, (Calls{"commAccount 1234 09:15:00 E130", "installed 7"}));

  RecordingSink unknown;
  ApplyTableUpdates(Event("5000 189999E13001005"), unknown);
  EXPECT_EQ(unknown.calls, (Calls{"commAccount 9999 09:15:00 E130"}));
}

}  // namespace
}  // namespace orvalis
