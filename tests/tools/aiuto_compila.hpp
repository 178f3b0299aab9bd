#pragma once
// Description files for the compila_scenario tests: a small clean line and
// train, edited line by line to plant one fault at a known place.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "io/sistema_file.hpp"
#include "support/supporto.hpp"
#include "tools/compila_scenario/compila.hpp"

namespace scenario::prova {

using righe_file = std::vector<std::string>;

// 10 km of line: one curve, two gradients, a mountain stretch, a speed board
// at 700 m (cell 15) and a sign board at 1500 m (cell 31).
inline righe_file linea_base() {
  return {
      "[generale]",                                              // 1
      "lunghezza percorso,    10000",                            // 2
      "progressiva chilometrica uno,    0,    314050,    1",     // 3
      "progressiva chilometrica due,    2450,    200,    0",     // 4
      "progressiva chilometrica tre,    0,    0,    0",          // 5
      "sfondo uno,    65650",                                    // 6
      "sfondo due,    1",                                        // 7
      "sfondo tre,    41050",                                    // 8
      "ripetizione segnali 4 codici,    0    ,0",                // 9
      "[curve]",                                                 // 10
      "curvad5,  650,  550",                                     // 11
      "[pendenze]",                                              // 12
      "pendenza,  0,   0",                                       // 13
      "pendenza,  550,   6",                                     // 14
      "[montagne]",                                              // 15
      "montagna,   1000,  1300,  12",                            // 16
      "[cartelli]",                                              // 17
      "indicatori_vmax,  700,  65,  70,  75,  0,  ,  ,  ,  0",   // 18
      "cartello_indicatore,  1500,   (SALVIATI)( 366 m. )",      // 19
      "[fine]",                                                  // 20
  };
}

// Two stations (marks at cells 9 and 173), a slowdown from 5500 m (cells 87,
// 111, 121) and a signal at 2150 m (cell 44).
inline righe_file treno_base() {
  return {
      "[generale]",                                                                                  // 1
      "percentuale massa frenata,    120",                                                           // 2
      "numero vetture,    5",                                                                        // 3
      "orologio,    12              8             0 ",                                               // 4
      "sabbia,    300",                                                                              // 5
      "[aderenze]",                                                                                  // 6
      "aderenza,    0,    80",                                                                       // 7
      "[vel_limite]",                                                                                // 8
      "velocita,   0,    30",                                                                        // 9
      "velocita,     700,    65",                                                                    // 10
      "[stazioni]",                                                                                  // 11
      "stazione,    0, 8,  500,  1, 0, 0,  4,1,1,  2,1,1,   60,  12, 4, 0, VALDORA",                  // 12
      "stazione,    8550, 12,  300,  1, 0, 0,  4,1,1,  2,1,1,   60,  12, 4, 0, FIESOLE CALDINE",      // 13
      "[rallentamenti]",                                                                             // 14
      "rallentamento,    5500,    50,  500, 0,  0,  0",                                              // 15
      "[segnali]",                                                                                   // 16
      "segnale,    2150,   2, 2, 4,  1, 1,    2,  1,1,0, 135",                                        // 17
      "[fine]",                                                                                      // 18
  };
}

inline std::string testo_di(const righe_file& r) {
  std::string t;
  for (const std::string& riga : r) t += riga + "\r\n";
  return t;
}

// Line n (1-based) replaced, or a line inserted before line n.
inline righe_file cambia(righe_file r, std::size_t n, std::string riga) {
  r.at(n - 1) = std::move(riga);
  return r;
}
inline righe_file inserisci(righe_file r, std::size_t n, std::string riga) {
  r.insert(r.begin() + static_cast<std::ptrdiff_t>(n - 1), std::move(riga));
  return r;
}

inline constexpr const char* nome_linea_prova = "Prova";
inline constexpr const char* numero_treno_prova = "77";
inline constexpr const char* file_linea_prova = "Prova_linea.txt";
inline constexpr const char* file_treno_prova = "Prova_77-.txt";

// A folder holding the two description files, and the tool run on it in-process.
class cartella_compila {
 public:
  cartella_compila(const std::optional<std::string>& linea, const std::optional<std::string>& treno) {
    if (linea) scrivi_file(percorso() / file_linea_prova, *linea);
    if (treno) scrivi_file(percorso() / file_treno_prova, *treno);
  }
  const std::filesystem::path& percorso() const { return cartella_.percorso(); }

  opzioni_compila opzioni() const {
    opzioni_compila o;
    o.linea = nome_linea_prova;
    o.treno = numero_treno_prova;
    o.cartella = percorso().string();
    return o;
  }
  esito_compila compila_qui() const {
    sistema_file_disco fs;
    return compila(opzioni(), fs);
  }

 private:
  cartella_temporanea cartella_;
};

struct uscita_processo {
  int stato = -1;
  std::string out;
  std::string err;
};

inline uscita_processo lancia(const std::vector<std::string>& argomenti) {
  sistema_file_disco fs;
  std::ostringstream out;
  std::ostringstream err;
  const int stato = esegui_compila(argomenti, fs, out, err);
  return {stato, out.str(), err.str()};
}

// A message as the tool shows it, taken apart.
struct messaggio {
  const diagnostico* d = nullptr;
  std::string stampato;  // the line as printed
  std::string file;
  int32_t riga = 0;
  int32_t colonna = 0;
  std::string parola;
  std::string testo;
  std::optional<int32_t> codice;
  std::optional<int32_t> posizione;
  bool avviso = false;
};

inline std::vector<messaggio> messaggi_di(const esito_compila& e) {
  std::vector<messaggio> r;
  for (const diagnostico& d : e.messaggi) {
    const diagnostico_mostrato x = mostra(d, e.file);
    r.push_back({&d, formatta_messaggio(d, e.file), x.file, x.inizio.riga, x.inizio.colonna, x.parola, x.testo,
                 d.codice, d.posizione, d.tipo == gravita::avviso});
  }
  return r;
}

// The message with this status code; fails the test when there is none.
inline std::optional<messaggio> con_codice(const esito_compila& e, int32_t codice) {
  for (const messaggio& m : messaggi_di(e)) {
    if (m.codice == codice) return m;
  }
  ADD_FAILURE() << "no message with status " << codice;
  return std::nullopt;
}

inline std::string tutti(const esito_compila& e) {
  std::string t;
  for (const messaggio& m : messaggi_di(e)) t += m.stampato + "\n";
  return t;
}

}  // namespace scenario::prova
