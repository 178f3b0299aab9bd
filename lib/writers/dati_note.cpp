#include <iterator>

#include "writers/scrittori.hpp"

namespace scenario {

namespace {

// The scenario notes, in Windows-1252: accented letters are single bytes.
constexpr std::string_view righe_note[] = {
    "                  Treno 5293 sul percorso Valdora - Tarvea",
    "",
    " Note sullo scenario:",
    "",
    " Valgono le stesse note del treno 5297, in pi\xF9 questo scenario presenta diverse situazioni",
    " avverse, ritardo iniziale di 20 minuti, rallentamenti e segnali a via impedita.",
    " Inoltre il treno, per aumentare la difficolt\xE0, \xE8 simulato in rango A con 5 vetture (nella",
    " realt\xE0 sono due ALn668 in rango C).",
    " Fare attenzione alla velocit\xE0 sul ponte sul Lamone (30 km/h per il rango A).",
    "",
    " Come per il 5297, la partenza in realt\xE0 \xE8 da Valdora C. Marte alle 11.50, qu\xEC \xE8 simulato il",
    " ramo da Valdora S.M.N. non ancora aperto.",
    "",
    " Scenario a cura del gruppo scenari della linea Valdora - Tarvea.",
    " Segnalazioni e correzioni: al gruppo scenari, tramite il progetto.",
    fine_tabella,
};
static_assert(std::size(righe_note) == 16);
static_assert(tabella_ben_formata(righe_note));

}  // namespace

void dati_note(sistema_file& fs, const nomi_file& nomi) { scrivi_tabella(fs, nomi.note, righe_note); }

std::span<const std::string_view> tabella_note() { return righe_note; }

}  // namespace scenario
