#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "compiler/model/codici.hpp"
#include "support/supporto.hpp"

namespace scenario {
namespace {

// The status line shows the meaning beside the code: every code the compiler
// can set needs one of its own.
TEST(SignificatoCodice, EveryStatusCodeHasADistinctMeaning) {
  namespace c = codice;
  const int32_t codici[] = {0,
                            c::lunghezza_eccessiva,
                            c::progressive_non_multiple,
                            c::ripetizione_inizio,
                            c::ripetizione_fine,
                            c::ripetizione_codici,
                            c::cartello_occupato,
                            c::abbattimento_occupato,
                            c::stazione_posizione,
                            c::stazione_lunghezza,
                            c::troppe_stazioni,
                            c::finitura_segnale,
                            c::finitura_gruppo,
                            c::finitura_percorso,
                            c::oltre_percorso,
                            c::segnale_occupato,
                            c::avviso_occupato,
                            c::inizio_occupato,
                            c::fine_occupato,
                            c::prima_avviso_occupato,
                            c::indicatori_occupato,
                            c::stazioni_vicine,
                            c::stazione_inizio_linea,
                            c::errore_lettura,
                            c::linea_mancante,
                            c::generale_mancante,
                            c::curva_non_valida,
                            c::slot_formato,
                            c::slot_codici,
                            c::troppe_montagne,
                            c::troppi_cartelli,
                            c::curva_oltre_tracciato,
                            c::pendenza_fuori_campo,
                            c::pendenze_oltre_percorso,
                            c::posizione_negativa,
                            c::montagna_oltre_percorso,
                            c::avvicinamento_prima_inizio,
                            c::rallentamento_fuori,
                            c::abbattimento_fuori,
                            c::stazione_fuori,
                            c::finitura_oltre_percorso,
                            c::percorso_senza_cella_1};
  std::set<std::string> visti;
  for (const int32_t k : codici) {
    const std::string testo(significato_codice(k));
    EXPECT_FALSE(testo.empty()) << k;
    EXPECT_EQ(testo.find('\n'), std::string::npos) << k;
    EXPECT_TRUE(visti.insert(testo).second) << k << ": " << testo;
  }
}

TEST(SignificatoCodice, UnusedNumbersHaveNone) {
  for (const int32_t k : {-1, 14, 23, 26, 100, 200, 208, 300, 305, 400, 1249, 1252}) {
    EXPECT_TRUE(significato_codice(k).empty()) << k;
  }
}

// The README's status tables are the registry's rows, in its order.
TEST(RegistroCodici, ReadmeTablesMatchTheRegistry) {
  const std::filesystem::path readme = std::filesystem::path(SCENARIO_SORGENTI) / "README.md";
  ASSERT_TRUE(std::filesystem::exists(readme)) << "README.md not found";
  const std::vector<std::string> attese = prova::righe_attese_codici();
  std::ostringstream testo;
  for (const std::string& r : attese) testo << r << '\n';
  EXPECT_EQ(prova::righe_tabella_codici(readme), attese) << "the rows the README should hold:\n" << testo.str();
}

}  // namespace
}  // namespace scenario
