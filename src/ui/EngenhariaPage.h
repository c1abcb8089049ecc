// "Engenharia" tab: sync analysis (Eng_SyncBox) and the repeat and gateway tables (Eng_TabRepeticao).
#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>

#include "ui/TabPage.h"

namespace orvalis {

class EngenhariaPage : public TabPage {
  Q_OBJECT
 public:
  explicit EngenhariaPage(PageContext& ctx, QWidget* parent = nullptr);

  void onSyncAnalysis(const Reply& r) override;
  void onTable(const Reply& r) override;

  QTableWidget* table() const { return table_; }

 public slots:
  void Eng_SyncClick();
  void Eng_LeTabRepClick();
  void Eng_LeTabGwClick();
  void Eng_ZeraTabRepClick();

 private:
  void clearTable();
  void beginTableRead(const Bytes& request);

  QPlainTextEdit* syncBox_ = nullptr;
  QLineEdit* startId_ = nullptr;
  QTableWidget* table_ = nullptr;
};

}  // namespace orvalis
