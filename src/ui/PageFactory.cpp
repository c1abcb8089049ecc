#include "ui/PageFactory.h"

#include <functional>
#include <utility>

#include "ui/ComandosPage.h"
#include "ui/ComunicacaoPage.h"
#include "ui/DiagnosticoPage.h"
#include "ui/EngenhariaPage.h"
#include "ui/RedePage.h"
#include "ui/RuidoPage.h"
#include "ui/TracaRotaPage.h"
#include "ui/UpdateRfPage.h"

namespace orvalis {

namespace {
template <class P>
TabPage* Make(PageContext& ctx) {
  return new P(ctx);
}

using Maker = TabPage* (*)(PageContext&);
// One line per page class.
const std::pair<const char*, Maker> kMakers[] = {
    {"Comunicacao", &Make<ComunicacaoPage>},
    {"Rede", &Make<RedePage>},
    {"Comandos", &Make<ComandosPage>},
    {"RUIDO", &Make<RuidoPage>},
    {"TabSheet4", &Make<DiagnosticoPage>},
    {"TabSheet5", &Make<TracaRotaPage>},
    {"Engenharia", &Make<EngenhariaPage>},
    {"UPDATE_RF", &Make<UpdateRfPage>},
};
}  // namespace

TabPage* MakePage(const QString& name, PageContext& ctx) {
  for (const auto& [n, make] : kMakers)
    if (make && name == n) return make(ctx);
  return new TabPage(ctx, name);
}

}  // namespace orvalis
