// Helper for the browser test and the benchmark: compiles the program's own
// scenario or a synthetic one of a given length in memory, writes its report
// from the compiled bytes read back, and prints the decoder's mark counts and
// the time the report took (decoding included).
//   rapporto_prova programma|sintetico METRI [--senza-linea] REPORT.html
//   rapporto_prova descrizioni programma|sintetico METRI FOLDER   (the two description files)
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "utils/comune/scenari.hpp"
#include "compiler/memorizza_percorso.hpp"
#include "formato/decodifica.hpp"
#include "formato/file_binari.hpp"
#include "compiler/readers/sorgenti.hpp"
#include "io/nomi_file.hpp"
#include "rapporto/rapporto.hpp"

namespace {

class sorgenti_fisse final : public scenario::sorgenti_descrizione {
 public:
  explicit sorgenti_fisse(scenario::banco::coppia c) : c_(std::move(c)) {}
  std::optional<std::string> leggi_linea() override { return c_.linea; }
  std::string leggi_treno() override { return c_.treno; }
  void elimina_linea() override {}
  void elimina_treno() override {}
  std::string nome_linea() const override { return "linea.txt"; }
  std::string nome_treno() const override { return "treno-.txt"; }

 private:
  scenario::banco::coppia c_;
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> a(argv + 1, argv + argc);
  bool senza_linea = false;
  std::erase_if(a, [&](const std::string& x) { return x == "--senza-linea" && (senza_linea = true); });
  if (a.size() < 2 || (a[0] == "sintetico" && a.size() < 3)) {
    std::cerr << "usage: rapporto_prova programma|sintetico METRI [--senza-linea] REPORT.html\n";
    return 64;
  }
  try {
    if (a[0] == "descrizioni" && a.size() >= 3) {
      const bool sintetico = a[1] == "sintetico";
      const scenario::banco::coppia c = sintetico ? scenario::banco::scenario_sintetico(std::stoi(a[2]))
                                                  : scenario::banco::scenario_del_programma();
      const scenario::nomi_file nomi =
          scenario::costruisci_nomi(a.back(), sintetico ? "Sintetica" : "Valdora_Tarvea", sintetico ? "1" : "5293");
      std::ofstream(nomi.descrizione_linea, std::ios::binary) << c.linea;
      std::ofstream(nomi.descrizione_treno, std::ios::binary) << c.treno;
      return 0;
    }
    const bool sintetico = a[0] == "sintetico";
    const std::string nome_linea = sintetico ? "Sintetica" : "Valdora_Tarvea";
    const std::string treno = sintetico ? "1" : "5293";
    sorgenti_fisse sorgenti(sintetico ? scenario::banco::scenario_sintetico(std::stoi(a[1]))
                                      : scenario::banco::scenario_del_programma());
    scenario::modello m;
    m.nome_linea = nome_linea;
    m.numero_treno = treno;
    if (!scenario::memorizza_percorso(m, senza_linea ? 0 : 1, sorgenti)) {
      std::cerr << "rapporto_prova: no route (status " << m.codice_errore << ")\n";
      return 1;
    }
    // the report is made from the compiled bytes read back, as the simulator sees them
    const std::string linea = senza_linea ? std::string() : scenario::serializza_linea(m);
    const std::string sim = scenario::serializza_scenario(m);
    const std::string dat = scenario::serializza_percorso(m);
    scenario::file_compilati f;
    if (!senza_linea) f.linea = linea;
    f.scenario = sim;
    f.percorso = dat;
    const auto t0 = std::chrono::steady_clock::now();
    const scenario::modello letto = scenario::decodifica(f);
    const scenario::contenuto_scenario s = scenario::estrai_contenuto(letto);
    scenario::rapporto::origine_rapporto o;
    o.programma = "rapporto_prova";
    o.senza_linea = senza_linea;
    const std::string pagina = scenario::rapporto::componi_rapporto(letto, s, o);
    const auto t1 = std::chrono::steady_clock::now();
    std::ofstream(a.back(), std::ios::binary) << pagina;
    std::cout << "stazione " << s.stazioni.size() << "\nsegnale " << s.segnali.size() << "\nrallentamento "
              << s.rallentamenti.size() << "\nabbattimento " << s.abbattimenti.size() << "\nbyte " << pagina.size()
              << "\nms " << std::chrono::duration<double, std::milli>(t1 - t0).count() << "\nstato "
              << m.codice_errore << "\n";
  } catch (const std::exception& x) {
    std::cerr << "rapporto_prova: " << x.what() << "\n";
    return 1;
  }
  return 0;
}
