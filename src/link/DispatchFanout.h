// Hands every dispatcher call to each registered target (the pages).
#pragma once

#include <algorithm>
#include <vector>

#include "link/DispatchTarget.h"

namespace orvalis {

class DispatchFanout : public DispatchTarget {
public:
  void add(DispatchTarget* t) { targets_.push_back(t); }
  void remove(DispatchTarget* t) { targets_.erase(std::remove(targets_.begin(), targets_.end(), t), targets_.end()); }

  // By index: a handler may remove a target (itself) while the call runs.
#define ORVALIS_FANOUT(name) \
  void name(const Reply& r) override { \
    for (std::size_t i = 0; i < targets_.size(); ++i) targets_[i]->name(r); \
  }
  ORVALIS_FANOUT(onPasswordChangeResult)
  ORVALIS_FANOUT(onSignalAnySource)
  ORVALIS_FANOUT(onUploadReply)
  ORVALIS_FANOUT(onControllerLogin)
  ORVALIS_FANOUT(onEventText)
  ORVALIS_FANOUT(onMeshFwParameters)
  ORVALIS_FANOUT(onMeshFwSignal)
  ORVALIS_FANOUT(onRssiWindowSignal)
  ORVALIS_FANOUT(onRelayEcho)
  ORVALIS_FANOUT(onPartitions)
  ORVALIS_FANOUT(onPasswordResult)
  ORVALIS_FANOUT(onSignal)
  ORVALIS_FANOUT(onNoise)
  ORVALIS_FANOUT(onDiagnostics)
  ORVALIS_FANOUT(onPgmVersion)
  ORVALIS_FANOUT(onPgmInputs)
  ORVALIS_FANOUT(onPgmOutputs)
  ORVALIS_FANOUT(onPgmEventRow)
  ORVALIS_FANOUT(onPgmEventFourRows)
  ORVALIS_FANOUT(onPgmRelayThreeRows)
  ORVALIS_FANOUT(onRouteTrace)
  ORVALIS_FANOUT(onTable)
  ORVALIS_FANOUT(onSyncAnalysis)
  ORVALIS_FANOUT(onRssiList)
  ORVALIS_FANOUT(onParameters)
  ORVALIS_FANOUT(onPeriodicMinutes)
  ORVALIS_FANOUT(onPassThroughSeen)
  ORVALIS_FANOUT(onCompatec)
  ORVALIS_FANOUT(onParadox)
  ORVALIS_FANOUT(onJfl)
  ORVALIS_FANOUT(onKorb7)
  ORVALIS_FANOUT(onIntelbras)
  ORVALIS_FANOUT(onViaweb)
  ORVALIS_FANOUT(onP2pStatus)
  ORVALIS_FANOUT(onRouteQuery)
#undef ORVALIS_FANOUT
  void onReReadSent() override {
    for (std::size_t i = 0; i < targets_.size(); ++i) targets_[i]->onReReadSent();
  }

private:
  std::vector<DispatchTarget*> targets_;
};

}  // namespace orvalis
