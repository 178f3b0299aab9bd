// Every problem of a pair in one run, and the slips the reading rules accept
// silently: one table of pairs with what each must say, where.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/memorizza_percorso.hpp"
#include "formato/file_binari.hpp"
#include "io/nomi_file.hpp"
#include "support/supporto.hpp"
#include "tests/tools/aiuto_compila.hpp"

namespace scenario::prova {
namespace {

struct caso_problemi {
  const char* nome;
  righe_file linea;
  righe_file treno;
  // "E L:11:1 103": kind (E error, W warning, N note), file (L line, T train), line:column, status code
  std::vector<std::string> attesi;
};

const std::string segnale_sul_segno = "segnale,    400,   2, 2, 4,  1, 1,    2,  1,1,0, 135";

std::vector<caso_problemi> casi() {
  const righe_file L = linea_base();
  const righe_file T = treno_base();
  return {
      {"quattro_rifiuti_in_due_file", cambia(cambia(L, 11, "curvax,  650,  550"), 14, "pendenza,  550,   600"),
       cambia(cambia(T, 10, "velocita,     700,    abc"), 17, segnale_sul_segno),
       {"E L:11:1 103", "N L:11:1 -", "E L:14:1 204", "E T:10:23 25", "E T:17:1 16"}},
      {"velocita_tra_i_passi_di_5", L, cambia(T, 10, "velocita,     700,    72"), {"W T:10:23 -"}},
      {"pendenze_fuori_ordine", inserisci(L, 15, "pendenza,  300,   2"), T, {"W L:15:1 -"}},
      {"aderenza_non_da_0", L, cambia(T, 7, "aderenza,    600,    80"), {"W T:7:1 -"}},
      {"velocita_fuori_ordine", L, inserisci(T, 11, "velocita,     300,    50"), {"W T:11:1 -"}},
      {"stazione_oltre_la_fine", L,
       cambia(T, 13, "stazione,    10500, 12,  300,  1, 0, 0,  4,1,1,  2,1,1,   60,  12, 4, 0, OLTRE"),
       {"W T:13:1 -"}},
      {"rallentamenti_sovrapposti", L, inserisci(T, 16, "rallentamento,    5700,    50,  500, 0,  0,  0"),
       {"W T:15:1 -"}},
      {"rallentamento_piu_veloce_della_linea", L, cambia(T, 15, "rallentamento,    5500,    300,  500, 0,  0,  0"),
       {"W T:15:1 -"}},
      {"nome_in_utf8", L,
       cambia(T, 13, "stazione,    8550, 12,  300,  1, 0, 0,  4,1,1,  2,1,1,   60,  12, 4, 0, ORS\xC3\x80"),
       {"W T:13:73 -"}},
      {"nome_con_spazio_finale", L,
       cambia(T, 12, "stazione,    0, 8,  500,  1, 0, 0,  4,1,1,  2,1,1,   60,  12, 4, 0, VALDORA "), {"W T:12:69 -"}},
      {"commento_con_cancelletto", L, inserisci(T, 11, "# velocita,     700,    65"), {"W T:11:1 -"}},
      {"parola_che_non_inizia_con_lettera", L,
       inserisci(T, 18, "_segnal,    3150,   2, 2, 4,  1, 1,    2,  1,1,0, 135"), {"W T:18:1 -"}},
      {"separatore_delle_migliaia", L, cambia(T, 10, "velocita,     7,000,    65"), {"W T:10:15 -", "W T:10:25 -"}},
      {"orario_all_indietro", L,
       cambia(T, 13, "stazione,    8550, 12,  300,  1, 0, 0,  4,1,1,  2,1,1,   60,  11, 4, 0, FIESOLE CALDINE"),
       {"W T:13:1 -"}},
      {"corsa_troppo_veloce", L,
       cambia(T, 13, "stazione,    8550, 12,  300,  1, 0, 0,  4,1,1,  2,1,1,   60,  12, 5, 0, FIESOLE CALDINE"),
       {"W T:13:1 -"}},
  };
}

std::string in_breve(const messaggio& m, const cartella_compila& c) {
  const char tipo = m.d->tipo == gravita::errore ? 'E' : m.d->tipo == gravita::avviso ? 'W' : 'N';
  const std::string file = m.file == (c.percorso() / file_linea_prova).string()   ? "L"
                           : m.file == (c.percorso() / file_treno_prova).string() ? "T"
                                                                                   : "?";
  return std::string(1, tipo) + " " + file + ":" + std::to_string(m.riga) + ":" + std::to_string(m.colonna) + " " +
         (m.codice ? std::to_string(*m.codice) : "-");
}

class ogni_problema : public ::testing::TestWithParam<caso_problemi> {};

TEST_P(ogni_problema, in_una_sola_volta_al_suo_posto) {
  const caso_problemi& c = GetParam();
  const cartella_compila cartella(testo_di(c.linea), testo_di(c.treno));
  const esito_compila e = cartella.compila_qui();
  std::vector<std::string> visti;
  for (const messaggio& m : messaggi_di(e)) visti.push_back(in_breve(m, cartella));
  EXPECT_EQ(visti, c.attesi) << tutti(e);
  // a warning alone never fails a compile, except under --rigoroso
  const bool solo_avvisi = std::all_of(visti.begin(), visti.end(), [](const std::string& v) { return v[0] == 'W'; });
  if (solo_avvisi) {
    EXPECT_EQ(e.uscita, uscita_compila::riuscita);
    opzioni_compila o = cartella.opzioni();
    o.rigoroso = true;
    sistema_file_disco fs;
    EXPECT_EQ(compila(o, fs).uscita, uscita_compila::errori_dati);
  }
}

// Checking on and the warnings change nothing: the files and the status are
// those of the plain compile the program runs.
TEST_P(ogni_problema, stessi_byte_e_stato_della_compilazione) {
  const caso_problemi& c = GetParam();
  const cartella_compila cartella(testo_di(c.linea), testo_di(c.treno));
  const esito_compila e = cartella.compila_qui();

  sorgenti_memoria sorgenti;
  sorgenti.linea = testo_di(c.linea);
  sorgenti.treno = testo_di(c.treno);
  sistema_file_memoria fs;
  const nomi_file nomi = costruisci_nomi("f", nome_linea_prova, numero_treno_prova);
  modello m;
  m.nome_linea = nome_linea_prova;
  m.numero_treno = numero_treno_prova;
  if (memorizza_percorso(m, 1, sorgenti)) scrivi_file_binari(m, fs, nomi);
  EXPECT_EQ(e.stato.value_or(0), m.codice_errore);
  const nomi_file scritti = costruisci_nomi(cartella.percorso(), nome_linea_prova, numero_treno_prova);
  for (const auto campo : {&nomi_file::file_linea, &nomi_file::file_scenario, &nomi_file::file_percorso}) {
    ASSERT_EQ(fs.esiste(nomi.*campo), std::filesystem::exists(scritti.*campo)) << (scritti.*campo).string();
    if (fs.esiste(nomi.*campo)) {
      EXPECT_TRUE(fs.leggi(nomi.*campo) == leggi_file(scritti.*campo)) << (scritti.*campo).string();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(tutti, ogni_problema, ::testing::ValuesIn(casi()),
                         [](const ::testing::TestParamInfo<caso_problemi>& i) { return std::string(i.param.nome); });

}  // namespace
}  // namespace scenario::prova
