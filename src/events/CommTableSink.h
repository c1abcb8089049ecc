// Event table updates for a communication table alone (no mesh firmware table yet).
#pragma once

#include "events/CommTableModel.h"
#include "events/EventSink.h"

namespace orvalis {

class CommTableSink : public EventSink {
 public:
  explicit CommTableSink(CommTableModel& table) : table_(table) {}

  void commUpdateByRadio(int radioId, const std::string& account, const std::string& timeText, const std::string& event,
                         TimePoint when) override {
    if (const auto r = table_.updateByRadio(radioId, account, timeText, event, when)) changedRow_ = *r;
  }
  std::optional<int> commUpdateByAccount(const std::string& account, const std::string& timeText,
                                         const std::string& event, TimePoint when) override {
    const auto hit = table_.updateByAccount(account, timeText, event, when);
    if (!hit) return std::nullopt;
    changedRow_ = hit->row;
    if (hit->radioId < 0) return std::nullopt;
    return hit->radioId;
  }
  void recordLastEvent(int radioId, TimePoint when) override { table_.recordLastEvent(radioId, when); }

  // No firmware table rows.
  bool fwHasRow(int) const override { return false; }
  void fwUntick881(int) override {}
  void fwSetAccount(int, const std::string&) override {}
  std::string fwSerialNumber(int) const override { return {}; }
  void fwSetSerialNumber(int, const std::string&, bool) override {}
  bool fwInstalled(int) const override { return true; }
  bool fwAutoReadEnabled() const override { return false; }
  void fwQueueRead(int) override {}
  void fwSetInstalled(int) override {}

  // The communication-table row the last event changed (for the view).
  std::optional<int> takeChangedRow() {
    auto r = changedRow_;
    changedRow_.reset();
    return r;
  }

 private:
  CommTableModel& table_;
  std::optional<int> changedRow_;
};

}  // namespace orvalis
