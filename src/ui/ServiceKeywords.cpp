#include "ui/ServiceKeywords.h"

#include <QAbstractItemView>
#include <initializer_list>

#include "ui/Diva2406.h"
#include "ui/Form_periodico.h"

namespace orvalis {

namespace {
struct KeywordAction {
  KeywordEffect effect;
  bool show;
  std::initializer_list<const char*> controls;
};

// Controls a keyword shows or hides; controls of pages not built are skipped.
const KeywordAction kActions[] = {
    {KeywordEffect::RouteToolsOn, true, {"BDefRota", "BConsRota"}},
    {KeywordEffect::EchoOn, true, {"Button_ECO"}},
    {KeywordEffect::EchoOff, false, {"Button_ECO"}},
    {KeywordEffect::RadioSpeedOn, true, {"Des_SS", "Des_SS2", "Liga_SS", "Label53", "Velocidade", "asdada", "SerialBaud"}},
    {KeywordEffect::RadioSpeedOff, false, {"Des_SS", "Des_SS2", "Liga_SS", "Label53", "Velocidade", "asdada", "SerialBaud"}},
    {KeywordEffect::ChannelChangeOn, true, {"MudaCanalRemoto"}},
    {KeywordEffect::ChannelChangeOff, false, {"MudaCanalRemoto"}},
    {KeywordEffect::EventAckOn, true, {"RetornaAck"}},
    {KeywordEffect::EventAckOff, false, {"RetornaAck"}},
    {KeywordEffect::RouteTableResetOn, true, {"BZeraTabelaRota"}},
    {KeywordEffect::RouteTableResetOff, false, {"BZeraTabelaRota"}},
    {KeywordEffect::RadioResetOn, true, {"BResetRadio"}},
    {KeywordEffect::RadioResetOff, false, {"BResetRadio"}},
    {KeywordEffect::RouteDeleteOn, true, {"BApagaRota"}},
    {KeywordEffect::RouteDeleteOff, false, {"BApagaRota"}},
    {KeywordEffect::E881On, true, {"BGera881"}},
    {KeywordEffect::E881Off, false, {"BGera881"}},
    {KeywordEffect::PointToPointOn, true, {"MP2P"}},
    {KeywordEffect::PointToPointOff, false, {"MP2P"}},
    {KeywordEffect::EngineeringOn, true, {"E886", "TE01rep", "DesLN"}},
    {KeywordEffect::GatewayOn, true, {"VIA", "IDVIA"}},
    {KeywordEffect::GatewayOff, false, {"VIA", "IDVIA"}},
    {KeywordEffect::RfPasswordTimeOff, false, {"LB_SenhaRemota", "NxCB_hora", "NxCB_Minuto", "NxBT_SenhaRF"}},
};
}  // namespace

void ApplyServiceKeyword(KeywordEffect effect, TDual& dual) {
  for (const KeywordAction& a : kActions) {
    if (a.effect != effect) continue;
    for (const char* name : a.controls)
      if (auto* w = dual.findChild<QWidget*>(name)) w->setVisible(a.show);
  }
  switch (effect) {
    case KeywordEffect::RouteToolsOn:
      if (auto* t = dual.findChild<QAbstractItemView*>("Trace"))
        t->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
      dual.sur().clear();
      break;
    case KeywordEffect::EngineeringOn:
      dual.setTabShown("Engenharia", true);
      if (auto* b = dual.findChild<QWidget*>("BConfig")) b->setFixedWidth(300);
      if (auto* per = dual.communicationTable()) per->setActionMenuShown(true);
      break;
    case KeywordEffect::EngineeringOff:
      dual.setTabShown("Engenharia", false);
      dual.sur().clear();
      break;
    default:
      break;
  }
}

}  // namespace orvalis
