#include "events/ContactIdCatalogue.h"

#include <array>
#include <vector>

namespace orvalis {

namespace {

// How a description is stored: one leading blank and blanks up to `width`
// characters, or (width 0) the text exactly as written here.
struct Row {
  std::string_view code;
  std::string_view text;
  std::size_t width;
  bool tabInBlanks;
};

constexpr std::size_t kPad = 35;

constexpr Row kRows[] = {
    {"100", "Emergência Médica", kPad, false},
    {"101", "Emergência Pessoal", kPad, false},
    {"102", "Emergência - Falha de Transmissão", kPad, false},
    {"110", "Alarme de Incêndio", kPad, false},
    {"111", "Incêndio – Dectetor de Fumaça", kPad, false},
    {"112", "Incêndio – Combustão", kPad, false},
    {"113", "Incêndio – Fluxo de Água", kPad, false},
    {"114", "Incêndio – Sensor de Calor", kPad, false},
    {"115", "Incêndio – Pull Station", kPad, false},
    {"116", "Incêndio – Sensor de duto", kPad, false},
    {"117", "Incêndio – Sensor de chama", kPad, false},
    {"118", "Incêndio – Alarme próximo", kPad, false},
    {"120", "Alarme de Pânico", kPad, false},
    {"121", "Coação", kPad, false},
    {"122", "Emergência Silenciosa", kPad, false},
    {"123", "Emergência com Sirene", kPad, false},
    {"130", "Alarme de Furto (padrão)", kPad, false},
    {"131", "Alarme de Furto – Perímetro", kPad, false},
    {"132", "Alarme de Furto – Interior", kPad, false},
    {"133", "Alarme de Furto – 24 horas", kPad, false},
    {"134", "Alarme de Furto – Entrada/Saída", kPad, false},
    {"135", "Alarme de Furto – Dia/Noite", kPad, false},
    {"136", "Alarme de Furto – Externo", kPad, false},
    {"137", "Alarme de Furto – Tamper", kPad, false},
    {"138", "Alarme de Furto – PróximoCódigo", kPad, false},
    {"140", "Alarme Geral", kPad, false},
    {"141", "Alarme – Laço aberto", kPad, false},
    {"142", "Alarme – Laço circuitado", kPad, false},
    {"143", "Alarme – Falha no Módulo Expansor", kPad, false},
    {"144", "Alarme – Sensor de Tamper", kPad, false},
    {"145", "Alarme – Tamper do Módulo Expansor", kPad, false},
    {"150", "Alarme – 24 horas sem furto", kPad, false},
    {"151", "Alarme – Gás detectado", kPad, false},
    {"152", "Alarme – Refrigeração", kPad, false},
    {"153", "Alarme – Sistema de Aquecimento", kPad, false},
    {"154", "Alarme – Vazamento de Água", kPad, false},
    {"155", "Alarme – foil break", kPad, false},
    {"156", "Alarme – Zona diurna", kPad, false},
    {"157", "Alarme – Nível do Gás baixo", kPad, false},
    {"158", "Alarme – Alta temperatura", kPad, false},
    {"159", "Alarme – Baixa temperatura", kPad, false},
    {"161", "Alarme – Perda de Ar", kPad, false},
    {"200", "Supervisão de Incêndio", kPad, false},
    {"201", "Baixa pressão da Água", kPad, false},
    {"202", "Baixo nível CO2", kPad, false},
    {"203", "Sensor da válvula do Portão", kPad, false},
    {"204", "Supervisão – Nível baixo de água", kPad, false},
    {"205", "Bomba Ativada", kPad, false},
    {"206", "Falha na bomba", kPad, false},
    {"300", "Problema no sistema", kPad, false},
    {"301", "Falha na rede elétrica", kPad, false},
    {"302", "Bateria do sistema Baixa", kPad, false},
    {"305", "Reset sistema", kPad, false},
    {"306", "Alteração da Programação do Painel", kPad, false},
    {"311", "Bateria ausente", kPad, false},
    {"321", "Problema na sirene", kPad, false},
    {"333", "Falha em módulo de expansão", kPad, false},
    {"350", "Falha de comunicação", kPad, false},
    {"351", "Falha de linha telefônica", kPad, false},
    {"354", "Falha ao comunicar Evento", kPad, false},
    {"371", "Loop de proteção aberto", kPad, false},
    {"372", "Loop de proteção em curto-circuito", kPad, false},
    {"383", "Tamper do sensor", kPad, false},
    {"384", "Bateria de RF baixa", kPad, false},
    {"401", "Ativação/Desativação pelo usuário", kPad, false},
    {"402", "Ativação/Desativação de partição", kPad, false},
    {"403", "Ativação automática", kPad, false},
    {"406", "Ativação/desativação cancelada", kPad, false},
    {"407", "Ativação/desativação remota", kPad, false},
    {"408", "Ativação rápida", kPad, false},
    {"409", "Ativação via Entrada Liga/zona", kPad, false},
    {"410", "Download realizado", kPad, false},
    {"413", "Download sem sucesso", kPad, false},
    {"456", "Ativação parcial", kPad, false},
    {"461", "Código de acesso errado", kPad, false},
    {"570", "Bypass de zona", kPad, false},
    {"573", "Bypass por disparo 573", kPad, false},
    {"601", "Teste manual", kPad, false},
    {"602", "Teste periódico da Central", kPad, false},
    {"616", "Requisição de serviço", kPad, false},
    {"621", "Log de eventos resetado", kPad, false},
    {"624", "Log de eventos cheio", kPad, false},
    {"625", "Reset de data e hora", kPad, false},
    {"701", "COMPATEC: Arme/Desarme via APP", 0, false},
    {"702", "COMPATEC: Pânico Silencioso via Teclado", 0, false},
    {"703", "COMPATEC: Pânico Audível via APP", 0, false},
    {"704", "COMPATEC: Pânico Silencioso via controle ", 0, false},
    {"705", "COMPATEC: Pânico Audível via Controle", 0, false},
    {"710", "COMPATEC: Acionamento PGM1 via Controle", 0, false},
    {"711", "COMPATEC: Acionamento PGM2 via Controle", 0, false},
    {"712", "COMPATEC: Acionamento PGM3 via Controle", 0, false},
    {"720", "COMPATEC: Acionamento PGM1 via Teclado", 0, false},
    {"721", "COMPATEC: Acionamento PGM2 via Teclado", 0, false},
    {"722", "COMPATEC: Acionamento PGM3 via Teclado", 0, false},
    {"730", "COMPATEC: Acionamento PGM1 via APP", 0, false},
    {"731", "COMPATEC: Acionamento PGM2 via APP", 0, false},
    {"732", "COMPATEC: Acionamento PGM3 via APP", 0, false},
    {"810", "Tensão de Alimentação Rádio Baixa", kPad, false},
    {"811", "Falha no Rádio Alarme PLL", kPad, false},
    {"812", "Problema Tensão Linha Rádio", kPad, false},
    {"814", "Problema Recepção Eventos Serial", kPad, false},
    {"816", "Rádio Desligado-Alimentação Baixa", kPad, false},
    {"880", "Rádio ligado", kPad, false},
    {"881", "Teste periódico do rádio", kPad, false},
    {"882", "Automação desconectada", 32, true},
    {"883", "Relé de Bypass Ativado/Desativado", kPad, false},
    {"884", "PGM Interna do Rádio Pulsada", kPad, false},
    {"885", "Módulo PGM Externo ligado", 43, false},
    {"886", "Rádio no limiar do alcance", kPad, false},
    {"890", "Falha/Restauro Teste Rede Rádios", kPad, false},
    {"891", "Rádio Cadastrado Controladora ETH", kPad, false},
    {"892", "Buffer Controladora 75% Cheio", kPad, false},
    {"893", "Buffer Controladora 90% Cheio", kPad, false},
    {"894", "Falha/Restauro comunicação serial", kPad, false},
    {"895", "Falha/Restauro comunicação Módulo IP", 38, false},
    {"FFF", "Evento Não Cadastrado", 36, false},
};

static_assert(std::size(kRows) == ContactIdCatalogue::kEntryCount + 1);

std::string StoredForm(const Row& row) {
  if (row.width == 0) return std::string(row.text);
  std::string s = " ";
  s += row.text;
  const std::size_t len = Utf8Length(s);
  std::size_t blanks = row.width > len ? row.width - len : 0;
  if (row.tabInBlanks && blanks > 0) {
    // The tab sits in the middle of the blanks, where an editor once put it.
    const std::size_t before = blanks / 2;
    s.append(before, ' ');
    s += '\t';
    s.append(blanks - before - 1, ' ');
  } else {
    s.append(blanks, ' ');
  }
  return s;
}

const std::vector<ContactIdCatalogue::Entry>& Table() {
  static const std::vector<ContactIdCatalogue::Entry> table = [] {
    std::vector<ContactIdCatalogue::Entry> t;
    t.reserve(std::size(kRows));
    for (const Row& r : kRows) t.push_back({r.code, StoredForm(r)});
    return t;
  }();
  return table;
}

}  // namespace

std::size_t Utf8Length(std::string_view text) {
  std::size_t n = 0;
  for (char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

std::span<const ContactIdCatalogue::Entry> ContactIdCatalogue::Entries() {
  return Table();
}

const std::string& ContactIdCatalogue::Lookup(std::string_view code) {
  const auto& t = Table();
  const std::size_t limit = std::min(t.size(), kScanLimit);
  for (std::size_t i = 0; i < limit; ++i) {
    const auto& e = t[i];
    if (e.code == "FFF") return e.stored;
    if (code.size() >= 3 && code.substr(0, 3) == e.code) return e.stored;
  }
  return t.back().stored;
}

std::string ContactIdCatalogue::Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t b = 0, e = text.size();
  while (b < e && blank(text[b])) ++b;
  while (e > b && blank(text[e - 1])) --e;
  return std::string(text.substr(b, e - b));
}

std::string ContactIdCatalogue::LookupTrimmed(std::string_view code) {
  return Trim(Lookup(code));
}

}  // namespace orvalis
