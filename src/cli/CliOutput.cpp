#include "cli/CliOutput.h"

#include <QJsonDocument>

namespace orvalis::cli {

void CliOutput::object(const QJsonObject& o) const {
  const QByteArray b = QJsonDocument(o).toJson(QJsonDocument::Compact);
  std::fwrite(b.constData(), 1, static_cast<std::size_t>(b.size()), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void CliOutput::line(const QString& text) const {
  const QByteArray b = text.toUtf8();
  std::fwrite(b.constData(), 1, static_cast<std::size_t>(b.size()), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void CliOutput::rows(const QList<QStringList>& rows) const {
  qsizetype width = 0;
  for (const auto& r : rows)
    if (!r.isEmpty()) width = std::max(width, r[0].trimmed().size());
  for (const auto& r : rows) {
    if (r.isEmpty()) continue;
    line(r[0].trimmed().leftJustified(width + 2) + QStringList(r.mid(1)).join("  ").trimmed());
  }
}

void CliOutput::error(const QString& text) {
  const QByteArray b = ("orvalis-cli: " + text).toUtf8();
  std::fwrite(b.constData(), 1, static_cast<std::size_t>(b.size()), stderr);
  std::fputc('\n', stderr);
}

}  // namespace orvalis::cli
