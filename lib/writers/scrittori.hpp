#pragma once
// The five scenario text writers and the writing sequence they share.
#include <span>
#include <string>
#include <string_view>

#include "io/nomi_file.hpp"
#include "io/sistema_file.hpp"

namespace scenario {

// Ends every line table; never written.
inline constexpr std::string_view fine_tabella = "riferimento fine del file";
// Every line table has this many slots; the end marker must stand within them.
inline constexpr std::size_t capacita_tabella = 1001;

// A table ends with its one end marker and fits its slots.
constexpr bool tabella_ben_formata(std::span<const std::string_view> tabella) {
  if (tabella.empty() || tabella.size() > capacita_tabella || tabella.back() != fine_tabella) return false;
  for (std::size_t i = 0; i + 1 < tabella.size(); ++i) {
    if (tabella[i] == fine_tabella) return false;
  }
  return true;
}

// The file content of a line table: each entry up to the end marker, then CR LF.
std::string componi_testo(std::span<const std::string_view> tabella);
// The shared writing sequence: the table's text replaces the file. The
// content is flushed; the folder is the caller's to flush (the run flushes it
// once, with the binary files).
void scrivi_tabella(sistema_file& fs, const std::filesystem::path& file, std::span<const std::string_view> tabella,
                    durata d = durata::cartella_dopo);

void dati_linea(sistema_file& fs, const nomi_file& nomi);
void dati_treno(sistema_file& fs, const nomi_file& nomi);
void dati_note(sistema_file& fs, const nomi_file& nomi);
void dati_rallentamenti(sistema_file& fs, const nomi_file& nomi);
void dati_scheda(sistema_file& fs, const nomi_file& nomi);

// The line tables of the three crew documents.
std::span<const std::string_view> tabella_note();
std::span<const std::string_view> tabella_rallentamenti();
std::span<const std::string_view> tabella_scheda();
// dati_note, dati_rallentamenti and dati_scheda as one set: the three flushes
// run together, and a failure before the first rename leaves all three old.
// The folder is the caller's to flush, as for scrivi_tabella.
void dati_documenti(sistema_file& fs, const nomi_file& nomi);

}  // namespace scenario
