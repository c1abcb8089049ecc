// The six windows of the program, created in their fixed order.
#pragma once

#include <memory>

#include "ui/Diva2406.h"
#include "ui/Form_eventos.h"
#include "ui/Form_periodico.h"
#include "ui/SecondaryWindow.h"

namespace orvalis {

class AppWindows {
public:
  explicit AppWindows(Dialogs& dialogs, const QString& settingsPath = QString());
  ~AppWindows();

  TDual& dual() { return *dual_; }
  TFORM_EVENTO& evento() { return *evento_; }
  TFORM_PER& per() { return *per_; }
  SecondaryWindow& fw() { return *fw_; }
  SecondaryWindow& p2p() { return *p2p_; }
  SecondaryWindow& rssi() { return *rssi_; }

private:
  std::unique_ptr<TDual> dual_;
  std::unique_ptr<TFORM_EVENTO> evento_;
  std::unique_ptr<TFORM_PER> per_;
  std::unique_ptr<SecondaryWindow> fw_, p2p_, rssi_;
};

}  // namespace orvalis
