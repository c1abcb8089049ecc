// The reading profile: what stays hidden or disabled for the whole run.
#pragma once

#include <array>

namespace orvalis::profile {

// Tabs hidden at start and never shown (Comunicacao follows "TCP").
inline constexpr std::array kHiddenTabs{"USUARIO", "UPDATE_RF", "Comunicacao", "RUIDO", "Engenharia"};

// Configuration buttons that stay disabled for the run, whatever the page does.
inline constexpr std::array kDisabledButtons{
    "BConfig",          "NxB_SenhaINT",       "NxB_Intel_Tempos",      "NxB_ByPass",
    "NxB_Intel_som_ativa", "NxB_CFG_Perm",    "JFL_BT_prog_user",      "JFL_BT_apaga_user",
    "NXB_PRDX_CFG_USR", "RB_PRDX_CFG",        "NxB_COMPATEC_CAD_CTL_RMT", "NxB_KORB7_CFG_T1",
    "NxB_KORB7_CFG_P2", "NxB_KORB7_salvar_senha", "NxB_KORB7_CFG_zona", "NxB_KORB7_cadastroZona",
    "NxB_KORB7_descadastrarzona"};

inline constexpr const char* kCaption = "ORVALIS - v9.06 Leitura";
inline constexpr const char* kDesignCaption = "ORVALIS - v9.06_Nov_2020";

}  // namespace orvalis::profile
