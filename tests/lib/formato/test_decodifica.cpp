#include <gtest/gtest.h>

#include <span>

#include "formato/decodifica.hpp"
#include "formato/file_binari.hpp"
#include "formato/flusso_le.hpp"
#include "tools/genera_scenario/form_load.hpp"
#include "support/piattaforma_finta.hpp"
#include "support/supporto.hpp"

namespace scenario {
namespace {

// The program's own three files, made in memory.
struct file_del_programma {
  std::string linea, scenario, percorso;
  file_del_programma() {
    prova::piattaforma_finta p;
    prova::sistema_file_memoria fs;
    EXPECT_EQ(form_load(p, fs), uscita::riuscita);
    linea = fs.file.at("prog/Valdora_Tarvea_linea.dat");
    scenario = fs.file.at("prog/Valdora_Tarvea_5293.sim");
    percorso = fs.file.at("prog/Valdora_Tarvea_5293.dat");
  }
  file_compilati compilati() const { return {linea, scenario, percorso, "L.dat", "S.sim", "P.dat"}; }
};

const file_del_programma& programma() {
  static const file_del_programma f;
  return f;
}

// The compile fuzz target checks the same over its whole corpus.
TEST(Decodifica, ReEncodingTheDecodedModelGivesTheSameBytes) {
  const file_del_programma& f = programma();
  const modello m = decodifica(f.compilati());
  EXPECT_EQ(serializza_linea(m), f.linea);
  EXPECT_EQ(serializza_scenario(m), f.scenario);
  EXPECT_EQ(serializza_percorso(m), f.percorso);
  EXPECT_EQ(m.nome_linea, "Valdora_Tarvea");
  EXPECT_EQ(m.numero_treno, "5293");
  EXPECT_TRUE(verifica(m).tutto_giusto());
}

TEST(Decodifica, AHandEditedCodeOrNameShowsUp) {
  modello m = decodifica(programma().compilati());
  m.cel(1).valore2 = static_cast<int16_t>(m.cel(1).valore2 + 1);
  EXPECT_FALSE(verifica(m).og_giusto());
  EXPECT_TRUE(verifica(m).st_giusto());
  m = decodifica(programma().compilati());
  m.voce(voci::treno).nome = "5294";  // the codes no longer fit the names
  EXPECT_FALSE(verifica(m).og_giusto());
  EXPECT_FALSE(verifica(m).st_giusto());
  m = decodifica(programma().compilati());
  m.voce(voci::linea).campo_7 = 611;
  EXPECT_FALSE(verifica(m).formati_giusti());
}

std::string cambia_byte(std::string s, std::size_t i, int v) {
  s.at(i) = static_cast<char>(v);
  return s;
}

TEST(Decodifica, ABrokenFileIsAClearErrorNamingFileOffsetAndField) {
  const file_del_programma& f = programma();
  const std::size_t celle = f.percorso.size() / 15;
  // the first record's name length sits at byte 14
  const std::string nome_lungo = cambia_byte(cambia_byte(f.scenario, 14, 0xFF), 15, 0xFF);
  struct caso {
    const char* cosa;
    file_compilati file;
    std::string atteso;
  };
  std::vector<std::string> tenuti;  // the cases' bytes outlive the views
  tenuti.reserve(16);
  const auto t = [&](std::string s) -> std::string_view { return tenuti.emplace_back(std::move(s)); };
  const caso casi[] = {
      {"scenario cut short", {f.linea, t(f.scenario.substr(0, f.scenario.size() - 1)), f.percorso, "L.dat", "S.sim", "P.dat"},
       "S.sim: byte " + std::to_string(f.scenario.size() - 4) + ": record 86 orario: needs 4 bytes, only 3 left"},
      {"scenario with a byte more", {f.linea, t(f.scenario + "x"), f.percorso, "L.dat", "S.sim", "P.dat"},
       "S.sim: byte " + std::to_string(f.scenario.size()) + ": end of file: 1 bytes after the last of the 87 records"},
      {"name longer than the file", {f.linea, t(nome_lungo), f.percorso, "L.dat", "S.sim", "P.dat"},
       "S.sim: byte 14: record 0 nome: text of 65535 bytes"},
      {"route cut in a cell", {f.linea, f.scenario, t(f.percorso.substr(0, f.percorso.size() - 8)), "L.dat", "S.sim", "P.dat"},
       "P.dat: byte " + std::to_string(f.percorso.size() - 15 + 7) + ": cell " + std::to_string(celle - 1) +
           " valore4: needs 2 bytes, only 0 left"},
      {"route of one cell", {f.linea, f.scenario, t(f.percorso.substr(0, 15)), "L.dat", "S.sim", "P.dat"},
       "P.dat: byte 15: cell 1: a route holds at least cells 0 and 1"},
      {"route too long", {f.linea, f.scenario, t(std::string(15 * 20142, '\0')), "L.dat", "S.sim", "P.dat"},
       "P.dat: byte 302115: cell 20141: more cells than the longest route holds"},
      {"unknown cell type", {f.linea, f.scenario, t(cambia_byte(f.percorso, 45, 99)), "L.dat", "S.sim", "P.dat"},
       "P.dat: byte 45: cell 3 tipo: no cell has type 99"},
      {"unknown element tag", {t(cambia_byte(f.linea, 0, 7)), f.scenario, f.percorso, "L.dat", "S.sim", "P.dat"},
       "L.dat: byte 0: element 0 tag: no element is tagged 7"},
      {"line cut in a value", {t(f.linea.substr(0, f.linea.size() - 1)), f.scenario, f.percorso, "L.dat", "S.sim", "P.dat"},
       "L.dat: byte " + std::to_string(f.linea.size() - 2) + ": element "},
      {"line missing its last element", {t(f.linea.substr(0, f.linea.size() - 2)), f.scenario, f.percorso, "L.dat", "S.sim", "P.dat"},
       "L.dat: byte " + std::to_string(f.linea.size() - 2) + ": element "},
  };
  for (const caso& c : casi) {
    try {
      (void)decodifica(c.file);
      ADD_FAILURE() << c.cosa << ": no error";
    } catch (const errore_decodifica& e) {
      EXPECT_EQ(std::string(e.what()).substr(0, c.atteso.size()), c.atteso) << c.cosa;
      EXPECT_FALSE(e.campo().empty()) << c.cosa;
    }
  }
}

// The program's files with the route length, the number of cells and the
// track plan rows changed: cells kept or zero cells added, rows kept or empty
// rows added; no rows means an empty line file, nothing no line file at all.
struct insieme_cambiato {
  std::string scenario, percorso;
  std::optional<std::string> linea;
  file_compilati compilati() const {
    file_compilati f{std::nullopt, scenario, percorso, "L.dat", "S.sim", "P.dat"};
    if (linea) f.linea = *linea;
    return f;
  }
};

insieme_cambiato cambia_misure(int32_t lunghezza, std::size_t celle, std::optional<int32_t> righe) {
  const modello d = decodifica(programma().compilati());
  modello m = d;
  m.voce(voci::percorso).fine = lunghezza;
  insieme_cambiato r{serializza_scenario(m), programma().percorso.substr(0, 15 * celle), std::nullopt};
  r.percorso.resize(15 * celle, '\0');
  if (!righe) return r;
  m.tracciato = tracciato_piano{};
  if (*righe > 0) m.tracciato.crea(*righe - 1);
  for (int32_t i = 0; i < *righe && i <= d.tracciato.ultima_riga(); ++i) {
    if (d.tracciato.tipo(i) == tipo_elemento::intero) {
      m.tracciato.imposta_interi(i, static_cast<int16_t>(d.tracciato.x(i)), static_cast<int16_t>(d.tracciato.y(i)));
    } else if (d.tracciato.tipo(i) == tipo_elemento::doppio) {
      m.tracciato.imposta_doppi(i, d.tracciato.x(i), d.tracciato.y(i));
    }
  }
  r.linea = serializza_linea(m);
  return r;
}

// Where element k starts in a line file.
std::size_t inizio_elemento(const std::string& linea, std::size_t k) {
  std::size_t o = 0;
  for (std::size_t i = 0; i < k; ++i) {
    const auto etichetta = static_cast<unsigned char>(linea.at(o));
    o += etichetta == 5 ? 10 : etichetta == 2 ? 4 : 2;
  }
  return o;
}

struct caso_insieme {
  const char* cosa;
  insieme_cambiato file;
  std::string atteso;  // empty: read, and written back unchanged
};

void prova_insiemi(std::span<const caso_insieme> casi) {
  for (const caso_insieme& k : casi) {
    try {
      const modello m = decodifica(k.file.compilati());
      EXPECT_TRUE(k.atteso.empty()) << k.cosa << ": no error";
      EXPECT_EQ(serializza_scenario(m), k.file.scenario) << k.cosa;
      EXPECT_EQ(serializza_percorso(m), k.file.percorso) << k.cosa;
      if (k.file.linea) {
        EXPECT_EQ(serializza_linea(m), *k.file.linea) << k.cosa;
      }
    } catch (const errore_decodifica& e) {
      EXPECT_FALSE(k.atteso.empty()) << k.cosa << ": " << e.what();
      EXPECT_EQ(std::string(e.what()).substr(0, k.atteso.size()), k.atteso) << k.cosa;
    }
  }
}

TEST(Decodifica, FilesThatDoNotFitEachOtherAreRefused) {
  const modello d = decodifica(programma().compilati());
  const int32_t lunghezza = d.voce(voci::percorso).fine;
  const std::size_t c = d.celle.size();
  const int32_t r = d.tracciato.ultima_riga() + 1;
  ASSERT_EQ(r, lunghezza + 7001);
  const std::string l = "the scenario file's route length of " + std::to_string(lunghezza) + " m gives ";
  const std::string celle = l + std::to_string(c) + " cells (" + std::to_string(15 * c) + " bytes); the file holds ";
  const std::string righe = l + std::to_string(r) + " rows, " + std::to_string(2 * r) + " elements; the file ";
  const insieme_cambiato riga_in_piu = cambia_misure(lunghezza, c, r + 1);
  const caso_insieme casi[] = {
      {"route a cell short", cambia_misure(lunghezza, c - 1, r),
       "P.dat: byte " + std::to_string(15 * (c - 1)) + ": cell " + std::to_string(c - 1) + ": " + celle +
           std::to_string(c - 1) + " (" + std::to_string(15 * (c - 1)) + " bytes)"},
      {"route a zero cell longer", cambia_misure(lunghezza, c + 1, r),
       "P.dat: byte " + std::to_string(15 * c) + ": cell " + std::to_string(c) + ": " + celle + std::to_string(c + 1)},
      {"route 1000 zero cells longer", cambia_misure(lunghezza, c + 1000, r),
       "P.dat: byte " + std::to_string(15 * c) + ": cell " + std::to_string(c) + ": " + celle + std::to_string(c + 1000)},
      {"route of two cells", cambia_misure(lunghezza, 2, r), "P.dat: byte 30: cell 2: " + celle + "2 (30 bytes)"},
      {"route a cell short, no line file", cambia_misure(lunghezza, c - 1, std::nullopt),
       "P.dat: byte " + std::to_string(15 * (c - 1)) + ": cell "},
      {"empty line file", cambia_misure(lunghezza, c, 0), "L.dat: byte 0: element 0: " + righe + "is empty"},
      {"line a row short", cambia_misure(lunghezza, c, r - 1),
       "L.dat: byte " + std::to_string(cambia_misure(lunghezza, c, r - 1).linea->size()) + ": element " +
           std::to_string(2 * (r - 1)) + ": " + righe + "holds " + std::to_string(r - 1) + " rows"},
      {"line a row longer", riga_in_piu,
       "L.dat: byte " + std::to_string(inizio_elemento(*riga_in_piu.linea, static_cast<std::size_t>(r))) +
           ": element " + std::to_string(r) + ": " + righe + "holds " + std::to_string(r + 1) + " rows"},
      // a length the compile refuses leaves an earlier length's cells and rows in place
      {"length above the limit", cambia_misure(2'000'000, c, r), ""},
      {"negative length, refused", cambia_misure(-20'000, c, r), ""},
      {"refused length, rows of another earlier length of these cells", cambia_misure(2'000'000, c, r + 20), ""},
      {"refused length, rows no length of these cells gives", cambia_misure(2'000'000, c, r + 60),
       "L.dat: byte " + std::to_string(inizio_elemento(*cambia_misure(2'000'000, c, r + 60).linea,
                                                       static_cast<std::size_t>(r + 25))) +
           ": element " + std::to_string(r + 25) + ": the route file's " + std::to_string(c) +
           " cells (an earlier length's: the scenario file's 2000000 m is one the compile refuses) give " +
           std::to_string(r - 25) + " to " + std::to_string(r + 25) + " rows"},
      {"refused length, empty line file", cambia_misure(2'000'000, c, 0), "L.dat: byte 0: element 0: the route file's"},
      // a negative length the compile takes: two cells, a few metres of plan
      {"length -6974 m", cambia_misure(-6974, 2, 27), ""},
      {"length -6950 m", cambia_misure(-6950, 2, 51), ""},
      {"length -6950 m, a row short", cambia_misure(-6950, 2, 50), "L.dat: byte "},
      {"length -7010 m: one cell, never written", cambia_misure(-7010, 2, 1),
       "P.dat: byte 15: cell 1: the scenario file's route length of -7010 m gives 1 cell (15 bytes)"},
  };
  prova_insiemi(casi);
}

std::string elementi(std::initializer_list<std::pair<int16_t, double>> e) {
  std::size_t n = 0;
  for (const auto& [tag, v] : e) n += tag == 5 ? 10 : tag == 2 ? 4 : 2;
  flusso_le f(n);
  for (const auto& [tag, v] : e) {
    f.integer(tag);
    if (tag == 2) f.integer(static_cast<int16_t>(v));
    if (tag == 5) f.doppio(v);
  }
  return f.prendi();
}

TEST(Decodifica, BothComponentsOfARowAreOfOneKind) {
  struct caso {
    const char* cosa;
    std::string linea;
    std::string atteso;  // empty: read, and written back unchanged
  };
  const caso casi[] = {
      {"integer then double", elementi({{2, 7}, {5, 1.5}}), "L: byte 4: element 1 tag: row 0 has components of two kinds"},
      {"double then integer", elementi({{5, 1.5}, {2, 7}}), "L: byte 10: element 1 tag: row 0 has components of two kinds"},
      {"empty then integer", elementi({{0, 0}, {2, 7}}), "L: byte 2: element 1 tag: row 0 has components of two kinds"},
      {"second row mixed", elementi({{2, 1}, {5, 2}, {2, 3}, {2, 4}}),
       "L: byte 18: element 3 tag: row 1 has components of two kinds"},
      {"two rows of one kind each", elementi({{2, 1}, {5, 2}, {2, 3}, {5, 4}}), ""},
      {"empty rows", elementi({{0, 0}, {0, 0}}), ""},
  };
  for (const caso& k : casi) {
    modello m;
    try {
      decodifica_linea(k.linea, "L", m);
      EXPECT_TRUE(k.atteso.empty()) << k.cosa << ": no error";
      EXPECT_EQ(serializza_linea(m), k.linea) << k.cosa;
    } catch (const errore_decodifica& e) {
      EXPECT_EQ(e.what(), k.atteso) << k.cosa;
    }
  }
}

// The limits are the largest files a legal compile writes: a file of exactly
// that size is still read, one more cell is not.
TEST(Decodifica, SizeLimitsAreTheLargestLegalFiles) {
  EXPECT_EQ(byte_massimi(file_compilato::percorso), 302'115u);
  EXPECT_EQ(byte_massimi(file_compilato::linea), 2u * 1'007'001u * 10u);
  EXPECT_EQ(byte_massimi(file_compilato::scenario), 87u * (34u + 65'535u));
  modello m;
  EXPECT_NO_THROW(decodifica_percorso(std::string(byte_massimi(file_compilato::percorso), '\0'), "P", m));
  EXPECT_THROW(decodifica_percorso(std::string(byte_massimi(file_compilato::percorso) + 15, '\0'), "P", m),
               errore_decodifica);
  for (voce_tabella& v : m.tabella) v.nome.assign(lunghezza_massima_nome, 'x');
  EXPECT_EQ(serializza_scenario(m).size(), byte_massimi(file_compilato::scenario));
  const std::string tutti_doppi = elementi({{5, 0.5}});
  EXPECT_EQ(tutti_doppi.size() * 2 * 1'007'001, byte_massimi(file_compilato::linea));

  const errore_decodifica e = troppo_lungo(file_compilato::percorso, "P.dat", 1u << 30);
  EXPECT_STREQ(e.what(), "P.dat: byte 302115: cell 20141: more cells than the longest route holds "
                         "(the file is 1073741824 bytes; not read)");
  EXPECT_EQ(troppo_lungo(file_compilato::linea, "L.dat", 1u << 30).offset(), byte_massimi(file_compilato::linea));
  EXPECT_EQ(troppo_lungo(file_compilato::scenario, "S.sim", 1u << 30).offset(), byte_massimi(file_compilato::scenario));
}

}  // namespace
}  // namespace scenario
