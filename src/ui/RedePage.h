// The CONFIG tab (Rede): parameter reads and the configuration of a radio or the master.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "radio/ParameterView.h"
#include "ui/TabPage.h"

namespace orvalis {

class RedePage : public TabPage {
  Q_OBJECT
public:
  explicit RedePage(PageContext& ctx);

  // Before every read: serial fields to 0, selections cleared, Param and Diag values emptied.
  void ClearParameterFields();

  void BLeLocalClick();
  void BLeRemotaClick();
  void BConfigClick();
  void BPeriodicoClick();
  void CPeriodicoExit();
  void Button11Click();
  void MudaCanalRemotoClick();
  void ComandoEventoClick(std::uint8_t mode);
  void SerialFieldExit(int field);

  void onParameters(const Reply& r) override;
  void onPeriodicMinutes(const Reply& r) override;
  void onReReadSent() override { ClearParameterFields(); }

private:
  QWidget* control(std::string_view name) const;
  void apply(const ParameterView& v);
  void sendService(std::uint8_t subCode);
  std::optional<RadioId> selected();

  QTableWidget* param_;
  QLineEdit* tid_;
  QLineEdit* serial_[4];
  QComboBox* protocolo_;
  QComboBox* tipoAck_;
  QComboBox* velocidade_;
  QComboBox* serialBaud_;
  QComboBox* canal_;
  QLineEdit* periodico_;
  QPushButton* config_;
  QCheckBox *te810_, *te812_, *te01rep_, *e886_, *desLN_, *baixoConsumo_, *repetidor_, *disLN_;
  QCheckBox* retornaAck_;
};

}  // namespace orvalis
