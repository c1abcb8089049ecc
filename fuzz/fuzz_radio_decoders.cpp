// Every radio reply decoder and formatter on arbitrary bursts: no read outside the burst, no crash.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "radio/Diagnostics.h"
#include "radio/LinkQuality.h"
#include "radio/ParameterView.h"
#include "radio/RadioConfigRequests.h"
#include "radio/RouteTables.h"
#include "radio/TraceGrid.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvalis;
  // Copy so the sanitizer sees the exact extent of the burst.
  const std::vector<std::uint8_t> copy(data, data + size);
  const std::span<const std::uint8_t> burst(copy);

  const ParameterView v = BuildParameterView(burst);
  if (v.panelTypeListRule) {
    std::vector<std::string> list(size % 12, "x");
    ApplyPanelTypeListEdits(list, PanelTypeListEdits(list.size(), *v.panelTypeListRule));
  }
  (void)PeriodicMinutesText(burst);

  LinkQuality q;
  (void)q.onSignal(burst, size % 2 == 0, "00:00:00");
  (void)q.onNoise(burst, static_cast<RadioId>(size), "00:00:00");
  (void)q.gatewayNoise();
  (void)q.rate();

  (void)DecodeDiagnostics(burst, "00:00:00");
  (void)DecodeSyncAnalysis(burst);

  TraceGrid grid;
  if (auto t = RenderTrace(burst, "00:00:00")) grid.append(*t);
  (void)DecodeTable(burst);

  // The typed-text paths: the burst as the text of an edit or a grid cell.
  const std::string text(burst.begin(), burst.end());
  (void)PlanPeriodicTest(std::string_view(text));
  (void)ClampSerialField(static_cast<int>(size % 4), text);
  (void)BuildRepeatTableRequest(std::string_view(text));
  for (std::size_t col = 0; col < text.size() && col < 40; ++col) grid.setRouteCell(col, text.substr(col, 3));
  (void)grid.defineRouteRequest();
  return 0;
}
