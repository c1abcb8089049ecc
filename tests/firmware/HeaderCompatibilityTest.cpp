#include <gtest/gtest.h>

#include <string>

#include "firmware/HeaderCompatibility.h"

using namespace orvalis;

namespace {

struct CompatCase {
  const char* name;
  std::uint8_t type;
  std::uint8_t hardware;
  std::uint8_t role;
  RadioId target;
  std::optional<std::uint8_t> reportedCode;
  std::optional<std::uint8_t> reportedBank;
  const char* refusal;  // nullptr = accepted
};

class Compatibility : public ::testing::TestWithParam<CompatCase> {};

TEST_P(Compatibility, AcceptsOrRefuses) {
  const auto& c = GetParam();
  const auto r = CheckHeaderCompatibility({c.type, c.hardware, c.role, c.target, c.reportedCode, c.reportedBank});
  if (!c.refusal) {
    EXPECT_FALSE(r.has_value()) << *r;
  } else {
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(*r, c.refusal);
  }
}

constexpr const char* kHw = "Firmware não é para esta versão de Hardware";
constexpr const char* kMaster = "Este firmware é só para o rádio Mestre";
constexpr const char* kSlave = "Este firmware é só para o rádio Escravo";
constexpr const char* kBank = "Firmware não é para este Banco de Memória";

INSTANTIATE_TEST_SUITE_P(Rule, Compatibility,
                         ::testing::Values(CompatCase{"MasterImageToMaster", 0x0F, 13, 0, 0, 13, 1, nullptr},
                                           CompatCase{"MasterImageToRemote", 0x0F, 13, 0, 5, 13, 1, kMaster},
                                           CompatCase{"RemoteImageToMaster", 0x0F, 13, 1, 0, 13, 1, kSlave},
                                           CompatCase{"RemoteImageToRemote", 0x0F, 13, 1, 5, 13, 1, nullptr},
                                           CompatCase{"RoleFlagAnyNonZero", 0x1F, 21, 0x80, 700, 21, 0, nullptr},
                                           CompatCase{"HardwareDiffers", 0x0F, 13, 1, 5, 14, 1, kHw},
                                           // Hardware is judged first, then the role, then the bank.
                                           CompatCase{"HardwareBeforeRole", 0x0F, 13, 0, 5, 14, 0, kHw},
                                           CompatCase{"RoleBeforeBank", 0x0F, 13, 0, 5, 13, 0, kMaster},
                                           CompatCase{"BankAImageWhileRunningA", 0x0F, 13, 1, 5, 13, 0, kBank},
                                           CompatCase{"BankAImageWhileRunningB", 0x0F, 13, 1, 5, 13, 1, nullptr},
                                           CompatCase{"BankBImageWhileRunningB", 0x1F, 13, 1, 5, 13, 1, kBank},
                                           CompatCase{"BankBImageWhileRunningA", 0x1F, 13, 1, 5, 13, 0, nullptr},
                                           CompatCase{"EitherBankImageOnA", 0x2F, 13, 1, 5, 13, 0, nullptr},
                                           CompatCase{"EitherBankImageOnB", 0x2F, 13, 1, 5, 13, 1, nullptr},
                                           CompatCase{"EitherBankWithoutBank", 0x2F, 13, 1, 5, 13, std::nullopt,
                                                      nullptr},
                                           CompatCase{"NoHardwareReported", 0x2F, 13, 1, 5, std::nullopt, 0, kHw},
                                           CompatCase{"NoBankReported", 0x0F, 13, 1, 5, 13, std::nullopt, kBank}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
