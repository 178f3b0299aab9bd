#pragma once
// Helpers of the report tests: models built in memory, pieces of a page read
// back, and how far a drawn line strays from the points it stands for.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "compiler/model/modello.hpp"
#include "rapporto/semplifica.hpp"

namespace scenario::rapporto::aiuti {

// The program's own scenario compiled in memory (flag 1: with the track plan).
modello scenario_del_programma(int32_t flag);
// Replaces m's track plan by these points, one row a metre from row 0.
void sostituisci_pianta(modello& m, const std::vector<punto_piano>& punti);

// Tracks that test the simplification, a point a metre: a zigzag along x of
// the given tooth and height; out, back a stretch beside itself and on again,
// legs `scarto` apart; an Archimedean spiral widening outwards.
std::vector<punto_piano> zigzag(int metri, double dente, double altezza);
std::vector<punto_piano> avanti_indietro(int andata, int ritorno, int ripresa, double scarto);
std::vector<punto_piano> spirale(int metri);

std::size_t conta(const std::string& testo, const std::string& cosa);
// The value of attribute `nome` of the first element whose text starts with
// `inizio` (e.g. "<path class=\"binario\""); empty when there is none.
std::string attributo(const std::string& pagina, const std::string& inizio, const std::string& nome);
// The points of an SVG path written as "M x y L x y ...".
std::vector<punto_piano> punti_percorso(const std::string& d);
// The text a reader sees: no tags, no tooltips, no style or script.
std::string testo_visibile(const std::string& pagina);
// The longest run of characters without a space in UTF-8 text.
std::size_t parola_piu_lunga(const std::string& testo);

// How far a drawn line strays from the points it stands for, in metres.
struct scostamento {
  double distanza = 0;  // the largest distance of a point from the drawn line
  double in_ordine = 0;  // the same, walking each drawn segment in the points' order
  bool vertici_dai_punti = true;  // every drawn vertex is one of the points, in order
};
// `disegno` holds points of `punti` (to within `arrotondamento`), in order.
scostamento misura(const std::vector<punto_piano>& punti, const std::vector<punto_piano>& disegno,
                   double arrotondamento);
// The same for kept indices, drawn exactly.
scostamento misura_tenuti(const std::vector<punto_piano>& punti, const std::vector<std::size_t>& tenuti);

}  // namespace scenario::rapporto::aiuti
