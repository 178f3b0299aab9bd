#include <gtest/gtest.h>

#include "compiler/output/decodifica.hpp"
#include "compiler/output/file_binari.hpp"
#include "driver/form_load.hpp"
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

}  // namespace
}  // namespace scenario
