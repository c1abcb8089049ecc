// What a received burst says, as the pages show it: rows, log lines and typed fields.
#pragma once

#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <optional>
#include <span>
#include <string_view>

#include "events/ContactIdEvent.h"

namespace orvalis::cli {

struct ReplyReport {
  QString kind;  // parameters, signal, noise, diagnostics, sync, trace, table, unknown
  int source = 0;
  int code = 0;
  QList<QStringList> rows;
  QStringList log;
  QJsonObject extra;  // kind-specific fields

  QJsonObject toJson() const;
  void print(bool json) const;
};

// Decodes one reply frame by its code; `unknown` with the hex for other codes.
ReplyReport ReportReply(std::span<const std::uint8_t> frame, std::string_view time);

// An event or link test as one JSON object / one readable line.
QJsonObject EventJson(const ContactIdEvent& e, const QString& isoTime);
QJsonObject LinkTestJson(const QString& text, const QString& isoTime);
QString EventLine(const ContactIdEvent& e, const QString& isoTime);

}  // namespace orvalis::cli
