// The radio selector "ID RÁDIO": current radio, "Via ID" routing and the gateway memory.
#pragma once

#include <optional>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>

#include "link/CommandSender.h"
#include "ui/Dialogs.h"

namespace orvalis {

class RadioSelector : public QGroupBox {
  Q_OBJECT
public:
  static constexpr int kLastRadio = 1022;
  static constexpr int kLastGateway = 1023;

  RadioSelector(CommandSender& sender, Dialogs& dialogs, QWidget* parent = nullptr);

  // The list position selected in ID; none when the typed id is outside the list.
  std::optional<RadioId> currentRadio() const;
  // Remote-command guard: none (and the status text set) for radio 0 or no selection.
  std::optional<RadioId> remoteRadio(const std::function<void(const QString&)>& setStatus) const;
  void selectRadio(RadioId id);

  // TL_gateway of the signal page holds the gateway of the last signal reply.
  void setGatewayLabel(QLabel* l) { gatewayLabel_ = l; }
  std::optional<RadioId> gatewayShown() const;

  QComboBox* idBox() const { return id_; }
  QCheckBox* viaBox() const { return via_; }
  QComboBox* viaIdBox() const { return idVia_; }

public slots:
  void IDChange();

signals:
  // The selector was left: signal labels go back to "----".
  void selectionLeft(int radio);

protected:
  bool eventFilter(QObject* o, QEvent* e) override;

private:
  void syncVia();

  CommandSender& sender_;
  Dialogs& dialogs_;
  QComboBox* id_;
  QCheckBox* via_;
  QComboBox* idVia_;
  QPointer<QLabel> gatewayLabel_;
};

}  // namespace orvalis
