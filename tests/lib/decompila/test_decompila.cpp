#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "compiler/memorizza_percorso.hpp"
#include "compiler/model/errori.hpp"
#include "decompila/decompila.hpp"
#include "formato/decodifica.hpp"
#include "formato/file_binari.hpp"
#include "support/supporto.hpp"
#include "utils/comune/scenari.hpp"

namespace scenario {
namespace {

// The three files a pair compiles to; nothing when the compile writes none.
struct compilati {
  std::string linea, scenario, percorso;
  bool con_linea = true;
};

std::optional<compilati> compila(const std::string& linea, const std::string& treno, bool con_linea) {
  prova::sorgenti_memoria s;
  s.linea = linea;
  s.treno = treno;
  modello m;
  m.nome_linea = "L";
  m.numero_treno = "1";
  try {
    if (!memorizza_percorso(m, con_linea ? 1 : 0, s)) return std::nullopt;
  } catch (const errore_fatale&) {
    return std::nullopt;
  }
  return compilati{con_linea ? serializza_linea(m) : std::string(), serializza_scenario(m), serializza_percorso(m),
                   con_linea};
}

enum class esito { identico, rifiutato, sbagliato };

// Decoded, decompiled and compiled again: the same bytes, or a refusal.
esito giro(const compilati& c) {
  file_compilati f{std::nullopt, c.scenario, c.percorso};
  if (c.con_linea) f.linea = c.linea;
  const modello m = decodifica(f);
  descrizioni d;
  try {
    d = decompila(m);
  } catch (const errore_decompila& e) {
    std::cout << "refused: " << e.what() << '\n';
    return esito::rifiutato;
  }
  const std::optional<compilati> di_nuovo = compila(d.linea, d.treno, d.con_tracciato);
  if (!di_nuovo) return esito::sbagliato;
  const bool uguali = di_nuovo->scenario == c.scenario && di_nuovo->percorso == c.percorso && di_nuovo->linea == c.linea;
  return uguali ? esito::identico : esito::sbagliato;
}

esito giro_coppia(const std::string& linea, const std::string& treno, bool con_linea = true) {
  const std::optional<compilati> c = compila(linea, treno, con_linea);
  if (!c) return esito::rifiutato;
  return giro(*c);
}

TEST(Decompila, TheProgramsOwnScenarioComesBackByteForByte) {
  const banco::coppia p = banco::scenario_del_programma();
  EXPECT_EQ(giro_coppia(p.linea, p.treno), esito::identico);
  EXPECT_EQ(giro_coppia(p.linea, p.treno, false), esito::identico);
}

TEST(Decompila, TheExampleComesBackByteForByte) {
  const std::filesystem::path cartella = std::filesystem::path(SCENARIO_SORGENTI) / "examples" / "borgo_lanzi";
  const std::string linea = prova::leggi_file(cartella / "Borgo_Lanzi_linea.txt");
  const std::string treno = prova::leggi_file(cartella / "Borgo_Lanzi_8127-.txt");
  EXPECT_EQ(giro_coppia(linea, treno), esito::identico);
}

TEST(Decompila, GeneratedRoutesComeBackByteForByte) {
  for (const int32_t lunghezza : {20000, 51000, 101000, 250000}) {
    const banco::coppia p = banco::scenario_sintetico(lunghezza);
    EXPECT_EQ(giro_coppia(p.linea, p.treno), esito::identico) << lunghezza;
  }
}

// Every seed that writes files round-trips or is refused; never a wrong pair.
TEST(Decompila, TheFuzzSeedsRoundTripOrAreRefused) {
  const std::filesystem::path cartella = std::filesystem::path(SCENARIO_SORGENTI) / "utils" / "fuzz" / "corpus" / "compila";
  int identici = 0, rifiutati = 0, scritti = 0;
  for (const auto& voce : std::filesystem::directory_iterator(cartella)) {
    const std::string tutto = prova::leggi_file(voce.path());
    const std::size_t taglio = tutto.find('\0');
    if (taglio == std::string::npos) continue;
    const std::optional<compilati> c = compila(tutto.substr(0, taglio), tutto.substr(taglio + 1), true);
    if (!c) continue;
    ++scritti;
    const esito e = giro(*c);
    EXPECT_NE(e, esito::sbagliato) << voce.path();
    identici += e == esito::identico ? 1 : 0;
    rifiutati += e == esito::rifiutato ? 1 : 0;
  }
  std::cout << "fuzz seeds: " << identici << " of " << scritti << " round-trip, " << rifiutati << " refused\n";
  EXPECT_GE(identici, 1);
}

}  // namespace
}  // namespace scenario
