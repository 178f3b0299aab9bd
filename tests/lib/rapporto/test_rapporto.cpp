#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "compiler/memorizza_percorso.hpp"
#include "support/supporto.hpp"
#include "rapporto/rapporto.hpp"
#include "rapporto/semplifica.hpp"
#include "rapporto/testo_html.hpp"
#include "writers/scrittori.hpp"

namespace scenario::rapporto {
namespace {

struct caso_testo {
  std::string ingresso;
  std::string atteso;
};

TEST(TestoHtml, Windows1252BecomesEscapedUtf8) {
  const caso_testo casi[] = {
      {"S.MARCO <VECCHIO> & \"C\" 'D'", "S.MARCO &lt;VECCHIO&gt; &amp; &quot;C&quot; &#39;D&#39;"},
      {"CITT\xC0", "CITT\xC3\x80"},               // A grave
      {"\x80 \x9F", "\xE2\x82\xAC \xC5\xB8"},     // euro sign, Y diaeresis
      {"a\x81z\x01", "a\\x81z\\x01"},  // unassigned byte, control byte: shown, not replaced
  };
  for (const caso_testo& c : casi) EXPECT_EQ(html(c.ingresso), c.atteso) << c.ingresso;
}

TEST(TestoHtml, NumbersIgnoreTheLocaleAndNeverShowMinusZero) {
  EXPECT_EQ(numero(-0.04, 1), "0.0");
  EXPECT_EQ(numero(2.25, 1), "2.2");  // halves to even
  EXPECT_EQ(ora(12 * 3600 + 4 * 60 + 5), "12:04:05");
}

double distanza_da_spezzata(const punto_piano& p, const std::vector<punto_piano>& v,
                            const std::vector<std::size_t>& tenuti) {
  double migliore = INFINITY;
  for (std::size_t k = 0; k + 1 < tenuti.size(); ++k) {
    const punto_piano& a = v[tenuti[k]];
    const punto_piano& b = v[tenuti[k + 1]];
    const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
    const double t = std::clamp(l2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / l2 : 0.0, 0.0, 1.0);
    migliore = std::min(migliore, std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy));
  }
  return migliore;
}

TEST(Semplifica, KeepsEveryPointWithinTheBoundWithFewPoints) {
  std::vector<punto_piano> arco;  // 2 km of straight, then a 500 m radius arc, metre by metre
  for (int i = 0; i <= 2000; ++i) arco.push_back({0, static_cast<double>(i)});
  for (int i = 1; i <= 1500; ++i) arco.push_back({500 - 500 * std::cos(i / 500.0), 2000 + 500 * std::sin(i / 500.0)});
  const std::vector<std::size_t> tenuti = semplifica(arco, 1.0);
  EXPECT_EQ(tenuti.front(), 0u);
  EXPECT_EQ(tenuti.back(), arco.size() - 1);
  EXPECT_LT(tenuti.size(), 40u);
  double peggiore = 0;
  for (const punto_piano& p : arco) peggiore = std::max(peggiore, distanza_da_spezzata(p, arco, tenuti));
  EXPECT_LE(peggiore, 1.0);
  EXPECT_GT(peggiore, 0.5);  // the bound is used, not wasted
}

std::size_t conta(const std::string& testo, const std::string& cosa) {
  std::size_t n = 0;
  for (std::size_t i = testo.find(cosa); i != std::string::npos; i = testo.find(cosa, i + 1)) ++n;
  return n;
}

modello scenario_del_programma(int32_t flag) {
  prova::sistema_file_memoria scritti;
  const nomi_file nomi = costruisci_nomi("c", "Valdora_Tarvea", "5293");
  dati_linea(scritti, nomi);
  dati_treno(scritti, nomi);
  prova::sorgenti_memoria sorgenti;
  sorgenti.linea = scritti.leggi(nomi.descrizione_linea);
  sorgenti.treno = scritti.leggi(nomi.descrizione_treno);
  modello m;
  EXPECT_TRUE(memorizza_percorso(m, flag, sorgenti));
  return m;
}

TEST(Rapporto, OneMarkPerFeatureAndNothingFromOutside) {
  const modello m = scenario_del_programma(1);
  const contenuto_scenario s = estrai_contenuto(m);
  ASSERT_EQ(s.rallentamenti.size(), 3u);
  const std::string pagina = componi_rapporto(m, s, {"prova", {}, false, {}});
  EXPECT_EQ(conta(pagina, "class=\"stazione\""), s.stazioni.size());
  EXPECT_EQ(conta(pagina, "class=\"segnale\""), s.segnali.size());
  EXPECT_EQ(conta(pagina, "class=\"rallentamento\""), s.rallentamenti.size());
  EXPECT_EQ(conta(pagina, "class=\"abbattimento\""), s.abbattimenti.size());
  EXPECT_EQ(conta(pagina, "class=\"pianta-stazione\""), s.stazioni.size());
  EXPECT_EQ(conta(pagina, "<path class=\"binario\""), 1u);
  for (const char* esterno : {"src=", "href=", "url(", "@import", "http"}) {
    EXPECT_EQ(pagina.find(esterno), std::string::npos) << esterno;
  }
}

TEST(Rapporto, WithoutTheLineFileThePlanViewSaysSoAndTheRestIsDrawn) {
  const modello m = scenario_del_programma(0);
  const contenuto_scenario s = estrai_contenuto(m);
  const std::string pagina = componi_rapporto(m, s, {"prova", {}, true, {}});
  EXPECT_NE(pagina.find("--senza-linea"), std::string::npos);
  EXPECT_EQ(conta(pagina, "class=\"pianta-stazione\""), 0u);
  EXPECT_EQ(conta(pagina, "class=\"stazione\""), s.stazioni.size());
}

TEST(Rapporto, CompileMessagesAreListedWithFileAndLine) {
  const modello m = scenario_del_programma(1);
  origine_rapporto o{"compila_scenario", {}, false, esito_rapporto{1, "errors", 16, {}, 1, {"P_linea.txt", "P_77-.txt"}, {}}};
  diagnostico d;
  d.codice = 16;
  d.posizione = 2150;
  d.dove = luogo_in(sorgente::treno, 84, 3, "segnale");
  d.testo = "<taken>";
  d.correlati.push_back({luogo_in(sorgente::treno, 12, 1, "stazione"), "the entry that put a station mark there"});
  o.esito->messaggi = {diagnostico_di("a warning"), d};
  o.esito->messaggi[0].tipo = gravita::avviso;
  const std::string pagina = componi_rapporto(m, estrai_contenuto(m), o);
  // the place in its own columns, never again in the text; the message behind the status stands out
  EXPECT_NE(pagina.find("<tr id=\"messaggio-1\" class=\"messaggio principale\"><td>P_77-.txt</td><td>84</td><td>segnale at 2150 m: "
                        "&lt;taken&gt; (status 16)</td>"),
            std::string::npos);
  EXPECT_NE(pagina.find("<tr id=\"messaggio-0\" class=\"messaggio di-avviso\"><td></td><td></td><td>warning: a warning</td>"),
            std::string::npos);
  // the place that explains it, right under it
  EXPECT_NE(pagina.find("(status 16)</td></tr><tr class=\"messaggio correlato\"><td>P_77-.txt</td><td>12</td>"
                        "<td>note: the entry that put a station mark there</td></tr>"),
            std::string::npos);
  EXPECT_NE(pagina.find("status code 16"), std::string::npos);
  // the error that names a position is marked in the plan and both profiles, linked to its row; the warning is not
  EXPECT_EQ(conta(pagina, "<a class=\"problema errore\" href=\"#messaggio-1\">"), 3u);
  EXPECT_EQ(conta(pagina, "class=\"problema avviso\""), 0u);
  EXPECT_NE(pagina.find("<title>P_77-.txt:84: error: segnale at 2150 m: &lt;taken&gt; (status 16) (at 2150 m)</title>"),
            std::string::npos);
  EXPECT_EQ(pagina.find("No problems"), std::string::npos);
  // entries the compile never reached are counted as dropped; kinds it read whole are not
  o.esito->voci_scritte = {{"segnale", 1000}, {"stazione", 1}};
  const std::string contata = componi_rapporto(m, estrai_contenuto(m), o);
  const std::size_t segnali = estrai_contenuto(m).segnali.size();
  EXPECT_NE(contata.find(std::to_string(segnali) + " of 1000 signals (" + std::to_string(1000 - segnali) + " dropped)"),
            std::string::npos);
  EXPECT_EQ(contata.find("stations ("), std::string::npos);
  o.esito->messaggi.clear();
  EXPECT_NE(componi_rapporto(m, estrai_contenuto(m), o).find("No problems"), std::string::npos);
}

}  // namespace
}  // namespace scenario::rapporto
