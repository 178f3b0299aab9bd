#include <iterator>

#include "writers/scrittori.hpp"

namespace scenario {

namespace {

// An empty row of the slowdown table.
constexpr std::string_view riga_vuota = " |   |                            |            |          |         |            |";

// The slowdown order: the three slowdowns of the train description, for the crew.
constexpr std::string_view righe_rallentamenti[] = {
    "",
    "                               Modulo M. 3",
    "                           ORDINE DI RALLENTAMENTO",
    " ________________________________________________________________________________",
    "  Linea  Valdora S.M.N. - Tarvea",
    "",
    "  Si ordina al macchinista del treno 5293 di effettuare i seguenti rallentamenti",
    "  _______________________________________________________________________________",
    " |   |                            |Inizio dopo |          |         |            |",
    " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
    " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
    " |___|____________________________|____________|__________|_________|____________|",
    riga_vuota,
    " | 1 | Salviati - Pian di Mugnone |     5      |    50    |   500   |   ---      |",
    riga_vuota,
    " | 2 | Ronta - Crespino del L.    |     50     |    30    |   100   |   ---      |",
    riga_vuota,
    " | 3 | Brisighella - Tarvea       |     96     |    50    |   300   |   ---      |",
    riga_vuota,
    riga_vuota,
    riga_vuota,
    riga_vuota,
    riga_vuota,
    riga_vuota,
    riga_vuota,
    riga_vuota,
    riga_vuota,
    riga_vuota,
    riga_vuota,
    riga_vuota,
    riga_vuota,
    riga_vuota,
    riga_vuota,
    " |___|____________________________|____________|__________|_________|____________|",
    "",
    "              Prescrizioni specifiche",
    " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
    " B - Interessa anche la stazione di.......",
    " D - Rallentamento N. ... e N. ...  sono contigui",
    " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
    "     i giorni esclusi i seguenti:.........",
    fine_tabella,
};
static_assert(std::size(righe_rallentamenti) == 42);
static_assert(tabella_ben_formata(righe_rallentamenti));

}  // namespace

void dati_rallentamenti(sistema_file& fs, const nomi_file& nomi) {
  scrivi_tabella(fs, nomi.rallentamenti, righe_rallentamenti);
}

std::span<const std::string_view> tabella_rallentamenti() { return righe_rallentamenti; }

}  // namespace scenario
