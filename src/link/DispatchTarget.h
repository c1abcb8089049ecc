// The handlers the dispatcher routes replies to; pages override their own.
#pragma once

#include "link/Reply.h"

namespace orvalis {

class DispatchTarget {
public:
  virtual ~DispatchTarget() = default;

  // Step 2 and 3: before any address match.
  virtual void onPasswordChangeResult(const Reply&) {}
  virtual void onSignalAnySource(const Reply&) {}
  // Step 4: a firmware upload reply (the burst is finished after it).
  virtual void onUploadReply(const Reply&) {}
  // Step 5: the Ethernet controller's login answer.
  virtual void onControllerLogin(const Reply&) {}
  // Step 6: Sur-Gard event text.
  virtual void onEventText(const Reply&) {}
  // Steps 7 and 8: mesh firmware table and RSSI window.
  virtual void onMeshFwParameters(const Reply&) {}
  virtual void onMeshFwSignal(const Reply&) {}
  virtual void onRssiWindowSignal(const Reply&) {}
  // Step 9: replies from the current radio or its gateway.
  virtual void onRelayEcho(const Reply&) {}
  virtual void onPartitions(const Reply&) {}
  virtual void onPasswordResult(const Reply&) {}
  virtual void onSignal(const Reply&) {}
  virtual void onNoise(const Reply&) {}
  virtual void onDiagnostics(const Reply&) {}
  virtual void onPgmVersion(const Reply&) {}
  virtual void onPgmInputs(const Reply&) {}
  virtual void onPgmOutputs(const Reply&) {}
  virtual void onPgmEventRow(const Reply&) {}        // 0x72, 0x73
  virtual void onPgmEventFourRows(const Reply&) {}   // 0x70, 0x79
  virtual void onPgmRelayThreeRows(const Reply&) {}  // 0x77, 0x78
  virtual void onRouteTrace(const Reply&) {}
  virtual void onTable(const Reply&) {}
  virtual void onSyncAnalysis(const Reply&) {}
  // Step 10: while a read is awaited.
  virtual void onRssiList(const Reply&) {}
  virtual void onParameters(const Reply&) {}
  virtual void onPeriodicMinutes(const Reply&) {}
  // Step 11: pass-through replies by active tab.
  virtual void onPassThroughSeen(const Reply&) {}  // stops the Intelbras resend
  virtual void onCompatec(const Reply&) {}
  virtual void onParadox(const Reply&) {}
  virtual void onJfl(const Reply&) {}
  virtual void onKorb7(const Reply&) {}
  virtual void onIntelbras(const Reply&) {}
  // Step 12: everything reaching it while the VIAWEB tab is active.
  virtual void onViaweb(const Reply&) {}
  // Step 13.
  virtual void onP2pStatus(const Reply&) {}
  // Step 14: the re-read was sent; the parameter display is cleared.
  virtual void onReReadSent() {}
  // Step 15.
  virtual void onRouteQuery(const Reply&) {}
};

}  // namespace orvalis
