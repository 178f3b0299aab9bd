#pragma once
// The pieces of a decompile: each section of the two descriptions, written
// from the model the compile left.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "compiler/model/modello.hpp"

namespace scenario::decompila_parti {

// One line of a description, CR LF after it.
void riga(std::string& t, const std::string& s);
std::string n(int64_t v);
// Fields joined by ", " after the keyword.
std::string voce(const std::string& parola, const std::vector<int64_t>& campi);

// Line description: general section, curves, gradients, mountain stretches,
// boards and signs.
std::string generale_linea(const modello& m, fine_compilazione f);
std::string curve(const modello& m, fine_compilazione f);
std::string pendenze(const modello& m, fine_compilazione f);
std::string montagne(const modello& m);
std::string cartelli(const modello& m);

// Train description: header, adhesion and speed, then the placed entries
// (stations, slowdowns, signals); the speed-reduction entries of cells `punti`.
std::string generale_treno(const modello& m);
// `riempita`: the reader fills the cells after the last entry itself.
std::string colonna(const modello& m, uint8_t cella::*campo, const char* parola, int64_t scala, int64_t scarto,
                    bool riempita);
// Stations, slowdowns and signals; the station of record `in_fondo` (0: none)
// is left out, to be written last of all by `stazione_in_fondo`.
std::string voci_posate(const modello& m, int32_t in_fondo);
std::string stazione_in_fondo(const modello& m, int32_t k);
// The last station record, 0 when there is none.
int32_t ultima_stazione(const modello& m);
std::string abbattimenti(const modello& m, const std::set<int64_t>& punti);

// Sign texts fill the record table from 80 down to this record (81: none).
// A record holding a name and no number is a sign text, shown or not.
int32_t ultimo_record_cartelli(const modello& m);

// Cells the finishing pass may have placed: speed-reduction points of 180.
bool punto_di_finitura(const cella& c);

}  // namespace scenario::decompila_parti
