// Output of the command-line tool: one JSON object per line, or readable text.
#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <cstdio>

namespace orvalis::cli {

enum Exit { kOk = 0, kUsage = 1, kLinkError = 2, kNoReply = 3, kBadInput = 4 };

class CliOutput {
public:
  explicit CliOutput(bool json) : json_(json) {}
  bool json() const { return json_; }
  void object(const QJsonObject& o) const;
  void line(const QString& text) const;
  // Label/value rows aligned in two columns.
  void rows(const QList<QStringList>& rows) const;
  static void error(const QString& text);

private:
  bool json_;
};

}  // namespace orvalis::cli
