#include "firmware/HeaderCompatibility.h"

#include "firmware/RadRecordClass.h"

namespace orvalis {

std::optional<std::string_view> CheckHeaderCompatibility(const HeaderCheck& h) {
  if (!h.reportedHardware || *h.reportedHardware != h.hardwareByte) return header_refusal::kHardware;
  if (h.roleFlag == 0 && h.target > 0) return header_refusal::kMasterOnly;
  if (h.roleFlag != 0 && h.target == 0) return header_refusal::kSlaveOnly;
  // An image is built for the bank the radio is not running from.
  if (h.headerType != rad::kHeaderAnyBank) {
    if (!h.reportedBank) return header_refusal::kBank;
    if ((h.headerType == rad::kHeaderBankB && *h.reportedBank == 1) ||
        (h.headerType == rad::kHeaderBankA && *h.reportedBank == 0))
      return header_refusal::kBank;
  }
  return std::nullopt;
}

}  // namespace orvalis
