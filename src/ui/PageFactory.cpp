#include "ui/PageFactory.h"

#include "ui/RedePage.h"
#include "ui/UpdateRfPage.h"

#include <functional>
#include <utility>

namespace orvalis {

namespace {
template <class P>
TabPage* Make(PageContext& ctx) {
  return new P(ctx);
}

using Maker = TabPage* (*)(PageContext&);
// One line per page class.
const std::pair<const char*, Maker> kMakers[] = {
    {"Rede", &Make<RedePage>},
    {"UPDATE_RF", &Make<UpdateRfPage>},
};
}  // namespace

TabPage* MakePage(const QString& name, PageContext& ctx) {
  for (const auto& [n, make] : kMakers)
    if (make && name == n) return make(ctx);
  return new TabPage(ctx, name);
}

}  // namespace orvalis
