// Steps the read buttons share, and the writing of decoded replies into controls found by objectName.
#pragma once

#include <QString>
#include <QWidget>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "radio/ControlChange.h"
#include "radio/LinkQuality.h"
#include "ui/PageContext.h"

namespace orvalis {

inline QString Qs(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Labels, bars and shown/hidden pictures addressed by objectName anywhere in the main window.
void ApplyLabels(QWidget& root, const std::vector<LabelText>& labels);
void ApplyBars(QWidget& root, const std::vector<LevelBar>& bars);
void ApplyControlChanges(QWidget& root, const std::vector<ControlChange>& changes);

// Each core log line goes to Tx after a line break.
void AppendTxLines(PageContext& ctx, const std::vector<std::string>& lines);

// The selected radio; none (status text set) when the typed id is outside the list.
std::optional<RadioId> SelectedRadio(PageContext& ctx);

// Ticks the hidden log options Decimal and Cabecalho of the main window.
void TickLogOptions(QWidget& root);
// Timer1 is stopped, or started while Repete is ticked.
void RestartRepeatTimer(QWidget& root);
// Read handlers: target radio, log options, "Aguardando Resposta", empty tTEMPO.
void BeginRead(PageContext& ctx, QWidget& root, RadioId radio);
// Keeps the ends of Tx and SUR in view.
void ScrollPanesToEnd(PageContext& ctx);
// Noise buttons of both pages: common preparation, then 0xD8 to the selected radio.
void ReadNoise(PageContext& ctx, QWidget& root);

}  // namespace orvalis
