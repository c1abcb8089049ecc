// What each service keyword typed into the event pane shows or hides.
#pragma once

#include "events/KeywordToggles.h"

namespace orvalis {

class TDual;

void ApplyServiceKeyword(KeywordEffect effect, TDual& dual);

}  // namespace orvalis
