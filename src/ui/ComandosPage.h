// "SINAL" tab (Comandos): noise, signal in both directions and the link rating, in three numbered steps.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "radio/LinkQuality.h"
#include "ui/TabPage.h"

namespace orvalis {

class LevelBarWidget;

class ComandosPage : public TabPage {
  Q_OBJECT
 public:
  explicit ComandosPage(PageContext& ctx, QWidget* parent = nullptr);

  // Replies routed by the dispatcher.
  void onSignalAnySource(const Reply& r) override;
  void onSignal(const Reply& r) override;
  void onNoise(const Reply& r) override;

  const LinkQuality& linkQuality() const { return quality_; }

 public slots:
  void EnviaComandoClick();
  void NXB_ruidoClick();
  void NxB_ruido_GWClick();
  // Leaving the radio selector forgets the measurement and the gateway.
  void resetLabels();

 private:
  QWidget& root() { return *window(); }
  void showSignal(const Reply& r, bool withLog);
  QLabel* valueLabel(const char* name, const QString& text = QString::fromUtf8(LinkQuality::kUnset));

  LinkQuality quality_;
  QLabel* tlGateway_ = nullptr;
  QLineEdit* tTempo_ = nullptr;
};

}  // namespace orvalis
