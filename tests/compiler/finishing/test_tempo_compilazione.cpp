// Any input up to 1 MiB compiles in a time proportional to its route: no
// entry may make the readers or the finishing pass work per pair of lines or
// per pair of cells.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>

#include "compiler/finishing/memorizza_percorso.hpp"
#include "support/supporto.hpp"

namespace scenario {
namespace {

constexpr std::size_t un_mib = 1 << 20;
const std::string a_capo = "\r\n";
const std::string lunghezza_massima = "lunghezza percorso,1000000\r\n";

struct coppia {
  std::string linea;
  std::string treno;
};

// prima, riga(0), riga(1)... and dopo: as many lines as leave `altro` bytes of
// 1 MiB for the other file of the pair.
std::string fino_a_un_mib(const std::string& prima, const std::function<std::string(int)>& riga,
                          const std::string& dopo, std::size_t altro) {
  std::string testo = prima;
  for (int k = 0;; ++k) {
    const std::string r = riga(k);
    if (testo.size() + r.size() + dopo.size() + altro > un_mib) break;
    testo += r;
  }
  return testo + dopo;
}

double secondi_compilazione(const coppia& c) {
  modello m;
  m.nome_linea = "L";
  m.numero_treno = "1";
  prova::sorgenti_memoria s;
  s.linea = c.linea;
  s.treno = c.treno;
  prova::sistema_file_memoria fs;
  const auto inizio = std::chrono::steady_clock::now();
  memorizza_percorso(m, 1, s, fs, costruisci_nomi("c", "L", "1"));
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
}

class TempoCompilazione : public ::testing::Test {
 protected:
  // The two costs that may grow: the route (cells and track plan) and the
  // fields of the files. The reference pays each in full once.
  static void SetUpTestSuite() {
    const coppia percorso{"[generale]\r\n" + lunghezza_massima + "[curve]\r\ncurvad1,500000,10\r\n[fine]\r\n",
                          "[generale]\r\nvelocita,0,60\r\naderenza,0,90\r\n[fine]\r\n"};
    const std::string treno = "[generale]\r\n[fine]\r\n";
    const coppia campi{fino_a_un_mib("[generale]\r\nlunghezza percorso,2000\r\n[curve]\r\n",
                                     [](int) { return std::string(","); }, "\r\n[fine]\r\n", treno.size() + 1),
                       treno};
    riferimento = std::min(secondi_compilazione(percorso), secondi_compilazione(percorso)) +
                  std::min(secondi_compilazione(campi), secondi_compilazione(campi));
  }
  // Generous for a loaded machine: the faults this guards against cost from
  // several to thousands of times the reference.
  static void entro_il_limite(const coppia& c) {
    ASSERT_LE(c.linea.size() + 1 + c.treno.size(), un_mib);
    const double t = secondi_compilazione(c);
    EXPECT_LT(t, 3 * riferimento + 0.2) << "reference: " << riferimento << " s";
  }
  static double riferimento;
};

double TempoCompilazione::riferimento = 0;

const std::string linea_massima = "[generale]\r\n" + lunghezza_massima + "[curve]\r\n[fine]\r\n";

TEST_F(TempoCompilazione, RouteLengthLinesOneAfterTheOther) {
  entro_il_limite({fino_a_un_mib(
                       "[generale]\r\n",
                       [](int k) { return k % 2 ? lunghezza_massima : std::string("lunghezza percorso,999950\r\n"); },
                       "[curve]\r\n[fine]\r\n", 16),
                   "[generale]\r\n[fine]\r\n"});
}

TEST_F(TempoCompilazione, SlowdownsWithoutAnEndCell) {
  // every start walks to the route's last cell; warning cells 24 cells back stay free
  const auto rallentamento = [](int velocita) {
    return [velocita](int k) {
      const int cella = 60 + (k / 24) * 48 + k % 24;
      return "rallentamento," + std::to_string((cella - 1) * 50) + "," + std::to_string(velocita) + ",0,0,0,0\r\n";
    };
  };
  for (const int velocita : {50, 150}) {
    entro_il_limite({linea_massima, fino_a_un_mib("[generale]\r\n", rallentamento(velocita), "[fine]\r\n",
                                                   linea_massima.size() + 1)});
  }
}

TEST_F(TempoCompilazione, SlowdownsSharingOneFarEndCell) {
  const auto rallentamento = [](int k) {
    const int cella = 60 + (k / 24) * 48 + k % 24;
    const int x = (cella - 1) * 50;
    return "rallentamento," + std::to_string(x) + ",50," + std::to_string(990000 - x + (k % 24) * 50) + ",0,0,0\r\n";
  };
  entro_il_limite(
      {linea_massima, fino_a_un_mib("[generale]\r\n", rallentamento, "[fine]\r\n", linea_massima.size() + 1)});
}

TEST_F(TempoCompilazione, FieldsOfEveryShape) {
  const std::string generale = "[generale]\r\n" + lunghezza_massima + "[curve]\r\n";
  const std::string treno = "[generale]\r\n[fine]\r\n";
  const std::size_t altro = treno.size() + 1;
  const auto ripeti = [](std::string s) { return [s](int) { return s; }; };
  entro_il_limite({fino_a_un_mib(generale, ripeti(","), "\r\n[fine]\r\n", altro), treno});
  entro_il_limite({fino_a_un_mib(generale, ripeti("\r"), "\n[fine]\r\n", altro), treno});
  entro_il_limite({fino_a_un_mib(generale, ripeti("- montagna pendenza "), "\r\nx,y\r\n", altro), treno});
  entro_il_limite({fino_a_un_mib(generale, ripeti("curvas6,999001,1\r\n"), "[fine]\r\n", altro), treno});
  entro_il_limite({linea_massima, fino_a_un_mib("[generale]\r\n", ripeti("velocita,50,70\r\naderenza,999000,80\r\n"),
                                                "[fine]\r\n", linea_massima.size() + 1)});
  entro_il_limite({fino_a_un_mib("[generale]\r\nlunghezza percorso,", ripeti("0"), "1000000\r\n[curve]\r\n[fine]\r\n",
                                 altro),
                   treno});
}

}  // namespace
}  // namespace scenario
