#include "ui/AppWindows.h"

namespace orvalis {

AppWindows::AppWindows(Dialogs& dialogs, const QString& settingsPath)
    : dual_(std::make_unique<TDual>(dialogs, settingsPath)),
      evento_(std::make_unique<TFORM_EVENTO>(dialogs)),
      per_(std::make_unique<TFORM_PER>(dialogs)),
      fw_(std::make_unique<SecondaryWindow>("FORM_FW", "FIRMWARE REDE MESH")),
      p2p_(std::make_unique<SecondaryWindow>("FORM_P2P",
                                             QStringLiteral("Leitura e cancelamento atualização ponto a ponto"))),
      rssi_(std::make_unique<SecondaryWindow>("FORM_RSSI", "RSSI")) {
  dual_->attachWindows({evento_.get(), per_.get(), fw_.get(), p2p_.get(), rssi_.get()});
}

AppWindows::~AppWindows() = default;

}  // namespace orvalis
