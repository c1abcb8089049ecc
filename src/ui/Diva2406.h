// TDual: the main window — selector, connection panel, window toggles, pages, panes.
#pragma once

#include <QCheckBox>
#include <QMainWindow>
#include <QPointer>
#include <QTabWidget>
#include <QTimer>
#include <memory>
#include <vector>

#include "link/CommandSender.h"
#include "link/DispatchContext.h"
#include "link/DispatchFanout.h"
#include "link/ResponseDispatcher.h"
#include "events/KeywordToggles.h"
#include "platform/ControllerDiscovery.h"
#include "platform/SerialLink.h"
#include "platform/TcpControllerLink.h"
#include "ui/ConnectionPanel.h"
#include "ui/Dialogs.h"
#include "ui/LogPane.h"
#include "ui/MainState.h"
#include "ui/PageContext.h"
#include "ui/RadioSelector.h"
#include "ui/TabPage.h"

namespace orvalis {

class SecondaryWindow;
class TFORM_EVENTO;
class TFORM_PER;
class EventReceiver;
class AlertPopup;

class TDual : public QMainWindow, public DispatchContext {
  Q_OBJECT
public:
  struct Windows {
    TFORM_EVENTO* evento = nullptr;
    TFORM_PER* per = nullptr;
    SecondaryWindow* fw = nullptr;      // TFORM_FW
    SecondaryWindow* p2p = nullptr;     // TFORM_P2P
    SecondaryWindow* rssi = nullptr;    // TFORM_RSSI
  };

  // settingsPath empty: the usual place of "DIRIDIRUZER.ini".
  explicit TDual(Dialogs& dialogs, const QString& settingsPath = QString(), QWidget* parent = nullptr);
  ~TDual() override;

  // Links the window toggles to the five windows created after this one.
  void attachWindows(const Windows& w);

  // The received bytes of either transport enter here.
  void ResponseDispatcherCall(const QByteArray& bytes);

  CommandSender& sender() { return sender_; }
  ResponseDispatcher& dispatcher() { return dispatcher_; }
  MainState& state() { return state_; }
  PageContext& pageContext() { return *ctx_; }
  LogPane& tx() { return *tx_; }
  LogPane& sur() { return *sur_; }
  QTabWidget& pages() { return *pg_; }
  RadioSelector& selector() { return *selector_; }
  ConnectionPanel& connection() { return *connection_; }
  SerialLink& serialLink() { return serial_; }
  TcpControllerLink& tcpLink() { return tcp_; }
  ControllerDiscovery& discovery() { return discovery_; }
  // Where the discovery probe goes: the broadcast address in a real run,
  // loopback (the default) in the demo and in tests.
  void setDiscoveryTarget(const QHostAddress& target, quint16 port, const QHostAddress& bindAddress,
                          quint16 bindPort);
  DispatchFanout& fanout() { return fanout_; }
  EventReceiver* events() const { return events_; }
  TFORM_PER* communicationTable() const { return windows_.per; }
  TFORM_EVENTO* eventsWindow() const { return windows_.evento; }
  AlertPopup& popup() { return *popup_; }
  // TimerTLI: once a second the communication table is refreshed.
  void TimerTLITimer();
  // A character typed into the event pane (service keywords).
  void SURKeyPress(QChar c);
  // Shows or hides a tab by its object name.
  void setTabShown(const QString& name, bool shown);
  bool tabShown(const QString& name) const;
  TabPage* page(const QString& name) const;
  void setStatusText(const QString& text);
  QString statusText() const;

  // DispatchContext
  bool awaitingReply() const override { return state_.awaitingReply; }
  void setAwaitingReply(bool on) override { state_.awaitingReply = on; }
  bool uploadActive() const override { return state_.uploadActive; }
  int ackState() const override { return state_.ackState; }
  RadioId targetRadio() const override { return state_.targetRadio; }
  RadioId currentRadio() const override { return selector_->currentRadio().value_or(0xFFFF); }
  std::optional<RadioId> gatewayShown() const override { return selector_->gatewayShown(); }
  bool echoButtonVisible() const override;
  bool decimalTicked() const override;
  PanelTab activeTab() const override;
  bool rssiReadFlag() const override { return state_.rssiReadFlag; }
  void appendTx(std::string_view text) override;
  void setStatus(std::string_view text) override;
  void clearUserText() override;

protected:
  void closeEvent(QCloseEvent* e) override;

private:
  void buildPages();
  void FormCreate();
  QCheckBox* toggle(const QString& name, const QString& caption);

  Dialogs& dialogs_;
  QString settingsPath_;
  MainState state_;
  CommandSender sender_;
  SerialLink serial_;
  TcpControllerLink tcp_;
  ControllerDiscovery discovery_{QHostAddress(QHostAddress::LocalHost)};
  DispatchFanout fanout_;
  ResponseDispatcher dispatcher_{*this, fanout_, sender_};
  LogPane* tx_ = nullptr;
  LogPane* sur_ = nullptr;
  RadioSelector* selector_ = nullptr;
  ConnectionPanel* connection_ = nullptr;
  QTabWidget* pg_ = nullptr;
  QCheckBox* mRadios_ = nullptr;
  QCheckBox* mEventos_ = nullptr;
  QCheckBox* mFw_ = nullptr;
  QCheckBox* mP2p_ = nullptr;
  QCheckBox* cbRssi_ = nullptr;
  std::unique_ptr<PageContext> ctx_;
  std::vector<TabPage*> pageList_;
  Windows windows_;
  EventReceiver* events_ = nullptr;
  AlertPopup* popup_ = nullptr;
  QTimer* timerTli_ = nullptr;
  KeywordToggles keywords_;
};

}  // namespace orvalis
