#include "writers/scrittori.hpp"

namespace scenario {
// Placeholders until the writers land.
void dati_linea(sistema_file&, const nomi_file&) {}
void dati_treno(sistema_file&, const nomi_file&) {}
void dati_note(sistema_file&, const nomi_file&) {}
void dati_rallentamenti(sistema_file&, const nomi_file&) {}
void dati_scheda(sistema_file&, const nomi_file&) {}
}  // namespace scenario
