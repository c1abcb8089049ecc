#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "events/ContactIdCatalogue.h"

namespace orvalis {
namespace {

bool IsCompatec(std::string_view code) {
  return code >= "701" && code <= "732";
}

std::size_t StoredLengthOf(std::string_view code) {
  if (code == "882") return 32;
  if (code == "885") return 43;
  if (code == "895") return 38;
  if (code == "FFF") return 36;
  return 35;
}

TEST(ContactIdCatalogue, HoldsTheEntriesInOrderWithTheEndEntryLast) {
  const auto entries = ContactIdCatalogue::Entries();
  ASSERT_EQ(entries.size(), ContactIdCatalogue::kEntryCount + 1);
  EXPECT_EQ(entries.front().code, "100");
  EXPECT_EQ(entries.back().code, "FFF");
  std::set<std::string_view> codes;
  for (std::size_t i = 0; i + 1 < entries.size(); ++i) {
    EXPECT_EQ(entries[i].code.size(), 3u);
    EXPECT_TRUE(std::all_of(entries[i].code.begin(), entries[i].code.end(), ::isdigit)) << entries[i].code;
    EXPECT_TRUE(codes.insert(entries[i].code).second) << "duplicate " << entries[i].code;
    if (i > 0) {
      EXPECT_LT(entries[i - 1].code, entries[i].code);
    }
  }
}

// The grid shows the stored form, so its blanks are part of the data.
TEST(ContactIdCatalogue, EveryDescriptionHasItsStoredForm) {
  for (const auto& e : ContactIdCatalogue::Entries()) {
    SCOPED_TRACE(std::string(e.code));
    const std::string& s = e.stored;
    if (IsCompatec(e.code)) {
      EXPECT_NE(s.front(), ' ');
      EXPECT_EQ(s.rfind("COMPATEC: ", 0), 0u);
      if (e.code == "704") {
        EXPECT_EQ(s, "COMPATEC: Pânico Silencioso via controle ");
      } else {
        EXPECT_NE(s.back(), ' ');
      }
      continue;
    }
    EXPECT_EQ(s.front(), ' ');
    EXPECT_NE(s[1], ' ');
    EXPECT_EQ(Utf8Length(s), StoredLengthOf(e.code));
    EXPECT_EQ(std::count(s.begin(), s.end(), '\t'), e.code == "882" ? 1 : 0);
  }
}

TEST(ContactIdCatalogue, StoredFormsOfTheSpecialEntries) {
  EXPECT_EQ(ContactIdCatalogue::Lookup("885"), " Módulo PGM Externo ligado" + std::string(17, ' '));
  EXPECT_EQ(ContactIdCatalogue::Lookup("895"), " Falha/Restauro comunicação Módulo IP ");
  EXPECT_EQ(ContactIdCatalogue::Lookup("306"), " Alteração da Programação do Painel");
  const std::string& a = ContactIdCatalogue::Lookup("882");
  ASSERT_EQ(a.rfind(" Automação desconectada", 0), 0u);
  const std::string blanks = a.substr(std::string(" Automação desconectada").size());
  EXPECT_EQ(Utf8Length(blanks), 9u);
  EXPECT_EQ(std::count(blanks.begin(), blanks.end(), ' '), 8);
  EXPECT_NE(blanks.front(), '\t');  // the tab sits among the spaces
  EXPECT_NE(blanks.back(), '\t');
}

struct LookupCase {
  const char* code;
  const char* trimmed;
};

class CatalogueLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(CatalogueLookup, FindsTheFirstEntryOnThreeCharacters) {
  EXPECT_EQ(ContactIdCatalogue::LookupTrimmed(GetParam().code), GetParam().trimmed);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, CatalogueLookup,
    ::testing::Values(LookupCase{"130", "Alarme de Furto (padrão)"}, LookupCase{"100", "Emergência Médica"},
                      LookupCase{"732", "COMPATEC: Acionamento PGM3 via APP"},
                      LookupCase{"894", "Falha/Restauro comunicação serial"},
                      LookupCase{"1301", "Alarme de Furto (padrão)"},  // only three characters count
                      LookupCase{"999", "Evento Não Cadastrado"}, LookupCase{"13", "Evento Não Cadastrado"},
                      LookupCase{"", "Evento Não Cadastrado"}, LookupCase{"FFF", "Evento Não Cadastrado"},
                      LookupCase{"E13", "Evento Não Cadastrado"}));

TEST(ContactIdCatalogue, UnknownCodeGivesTheEndEntryInStoredForm) {
  EXPECT_EQ(ContactIdCatalogue::Lookup("999"), " Evento Não Cadastrado" + std::string(14, ' '));
  EXPECT_EQ(ContactIdCatalogue::Lookup("882"), ContactIdCatalogue::Entries()[104].stored);
  EXPECT_EQ(ContactIdCatalogue::Entries()[104].code, "882");
}

}  // namespace
}  // namespace orvalis
