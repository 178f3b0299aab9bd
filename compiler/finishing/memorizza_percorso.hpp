#pragma once
#include <cstdint>
#include <string>

#include "compiler/model/modello.hpp"
#include "compiler/readers/sorgenti.hpp"
#include "io/nomi_file.hpp"
#include "io/sistema_file.hpp"

namespace scenario {

// The compiler entry: reads both description files, runs the finishing pass,
// stamps the format numbers and scenario codes, writes the binary files.
// flag nonzero: build the track plan and write the line file too.
// A used format or code slot ends the run through errore (errore_fatale).
void memorizza_percorso(modello& m, int32_t flag, sorgenti_descrizione& sorgenti, sistema_file& fs,
                        const nomi_file& nomi);

// The part after the readers: finishing pass, format numbers and codes, binary files.
void completa_percorso(modello& m, sistema_file& fs, const nomi_file& nomi);

// The error report: never returns; the driver shows " Errore n. " + codice and ends the run.
[[noreturn]] void errore(const std::string& codice);

}  // namespace scenario
