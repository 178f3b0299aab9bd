#include <gtest/gtest.h>

#include "tests/tools/aiuto_compila.hpp"

namespace scenario::prova {
namespace {

TEST(CompilaHtml, TheReportCarriesTheStatusAndEveryMessageWithFileAndLine) {
  // the signal moved onto the slowdown's start cell: status 16 at line 17
  const cartella_compila c(testo_di(linea_base()),
                           testo_di(cambia(treno_base(), 17, "segnale,    5500,   2, 2, 4,  1, 1,    2,  1,1,0, 135")));
  const std::string pagina = (c.percorso() / "r.html").string();
  const uscita_processo u = lancia({"--linea", "Prova", "--treno", "77", "--dir", c.percorso().string(), "--html", pagina});
  EXPECT_EQ(u.stato, uscita_compila::errori_dati) << u.err;
  const std::string testo = leggi_file(pagina);
  EXPECT_NE(testo.find("exit status 1"), std::string::npos);
  EXPECT_NE(testo.find("status code 16"), std::string::npos);
  EXPECT_NE(testo.find("Prova_77-.txt</td><td>17</td>"), std::string::npos) << u.err;
  EXPECT_NE(testo.find("class=\"stazione\""), std::string::npos);
}

TEST(CompilaHtml, ADescriptionFileIsNeverTakenForTheReport) {
  const cartella_compila c(testo_di(linea_base()), testo_di(treno_base()));
  const std::string descrizione = (c.percorso() / file_treno_prova).string();
  const uscita_processo u =
      lancia({"--linea", "Prova", "--treno", "77", "--dir", c.percorso().string(), "--html", descrizione});
  EXPECT_EQ(u.stato, uscita_compila::guasto_io);
  EXPECT_EQ(leggi_file(descrizione), testo_di(treno_base()));
  EXPECT_NE(u.err.find("no report written"), std::string::npos);
}

TEST(CompilaHtml, WithoutARouteOnlyTheMessagesAreShown) {
  const cartella_compila c(std::nullopt, testo_di(treno_base()));
  const std::string pagina = (c.percorso() / "r.html").string();
  lancia({"--linea", "Prova", "--treno", "77", "--dir", c.percorso().string(), "--html", pagina});
  const std::string testo = leggi_file(pagina);
  EXPECT_NE(testo.find("No route was compiled"), std::string::npos);
  EXPECT_NE(testo.find("Prova_linea.txt"), std::string::npos);
}

}  // namespace
}  // namespace scenario::prova
