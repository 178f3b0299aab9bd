#include <gtest/gtest.h>

#include <sstream>

#include "tests/tools/aiuto_compila.hpp"
#include "tools/mostra_scenario/mostra.hpp"

namespace scenario::prova {
namespace {

int mostra_html(const std::filesystem::path& cartella, const std::string& pagina, std::string& err) {
  const std::vector<std::string> argomenti{"--linea", "Prova", "--treno", "77", "--dir", cartella.string(),
                                           "--html", pagina};
  sistema_file_disco fs;
  std::ostringstream out, e;
  const int stato = esegui_mostra(argomenti, fs, out, e);
  err = e.str();
  return stato;
}

TEST(MostraHtml, WritesThePageButNeverOverACompiledFile) {
  const cartella_compila c(testo_di(linea_base()), testo_di(treno_base()));
  ASSERT_EQ(c.compila_qui().uscita, uscita_compila::riuscita);
  std::string err;
  const std::filesystem::path pagina = c.percorso() / "r.html";
  ASSERT_EQ(mostra_html(c.percorso(), pagina.string(), err), uscita_mostra::riuscita) << err;
  const std::string testo = leggi_file(pagina);
  EXPECT_NE(testo.find("FIESOLE CALDINE"), std::string::npos);
  EXPECT_NE(testo.find("<path class=\"binario\""), std::string::npos);

  const std::filesystem::path sim = c.percorso() / "Prova_77.sim";
  const std::string prima = leggi_file(sim);
  EXPECT_EQ(mostra_html(c.percorso(), sim.string(), err), uscita_mostra::file_guasto);
  EXPECT_NE(err.find("no report written"), std::string::npos);
  EXPECT_EQ(leggi_file(sim), prima);
}

}  // namespace
}  // namespace scenario::prova
