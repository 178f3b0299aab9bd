#include <iterator>

#include "writers/scrittori.hpp"

namespace scenario {

namespace {

// The train card. Lines 7, 28 and 48 end in blanks after the last bar: keep them.
constexpr std::string_view righe_scheda[] = {
    "  ___________________                                               ______________",
    " |                   |                  SCHEDA                     |              |",
    " |   TRENO n. 5293   |                 da: VALDORA S.M.N.          |    V140 A    |",
    " |___________________|                  a: TARVEA                  |     120%     |",
    "                                                                   |______________|",
    "  ___________________                ___________________",
    " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       ",
    " |     REGIONALE     |              |      300T         |",
    " |___________________|              |___________________|",
    "",
    // timetable: speed limit, running speed, km, -, place, times, recovery
    "  _________________________________________________________________________________",
    " | Vel.| Vel.| Progr Km | No  |  Localita' di Servizio     |     Orario      | Rec |",
    " | Lim.|Marc.|          | Rs  |                            |                 |     |",
    " |_____|_____|__________|_____|____________________________|_________________|_____|",
    " |  30 |  30 |  314.050 |     | VALDORA S.M.N.             |           11.48 |     |",
    " |  65 |  60 |  313.400 |     | Deviatoio di uscita        |      11.49+     |     |",
    " |  80 |  75 |  312.800 |     | Chilometro 312+800         |      11.50      |     |",
    " |  65 |  60 |  311.762 |     | Bivio Pellegrino           |      11.52      |     |",
    " |     |     |    3.184 |     | S. MARCO VECCHIO           |      11.52+     |     |",
    " |     |     |    3.608 |     | P.C. Il Cionfo             |      11.53      |     |",
    " |     |     |    4.308 |     | SALVIATI                   |      11.53+     |     |",
    " |  90 |  85 |    5.000 |     | Cippo Chilometro 5         |      11.54+     |     |",
    " |     |     |    6.900 |     | PIAN DI MUGNONE            | 11.56+    11.57 | 0,5 |",
    " |     |  80 |    8.730 |     | FIESOLE - CALDINE          | 12.00     12.04 |     |",
    " |     |     |   11.900 |     | MIMMOLE                    | 12.07+    12.08 | 0,5 |",
    " |     |     |   14.376 |     | MONTORSOLI                 |      12.10      |     |",
    " | 100 |     |   14.550 |     | Deviatoio di uscita        |      12.10+     |     |",
    " |     |     |   15.900 |     | CERCINA                    |      12.11+     |     | ",
    " |     |     |   19.800 |     | FONTEBUONA                 |      12.14+     |     |",
    " |  90 |     |   21.100 |     | Segnale avviso Vaglia      |      12.16      |     |",
    " |     |     |   22.714 |     | VAGLIA                     | 12.18     12.19 |  1  |",
    " | 120 |     |   23.750 |     | Imbocco galleria Pratale   |      12.22      |     |",
    " |     |     |   26.450 |     | CAMPOMIGLIAIO              | 12.23+    12.24 | 1,5 |",
    " |  90 |     |   28.700 |     | Curva al Km. 28+700        |      12.26+     |     |",
    " | 120 |     |   29.853 |     | S. PIERO A SIEVE           | 12.28     12.29 |     |",
    " |  75 |  70 |   34.616 |     | BORGO S. LORENZO           | 12.35     12.41 | 1,5 |",
    " |     |     |   38.098 |     | Staz. dismessa Panicaglia  |      12.44      |     |",
    " |     |     |   43.438 |     | RONTA                      | 12.51     12.52 | 1,5 |",
    " |     |     |   49.767 |     | Staz. dismessa Fornello    |      12.58      |     |",
    " |     |     |   56.362 |     | CRESPINO DEL LAMONE        | 13.04     13.05 |     |",
    " |     |     |   61.500 |     | Staz. dismessa Fantino     |      13.09+     |     |",
    " |     |     |   64.508 |     | BIFORCO                    | 13.12+    13.13 |     |",
    " |  30 |  30 |   65.100 |     | Viadotto F. Lamone         |      13.14+     |     |",
    " |  75 |  70 |   65.250 |     | Termine viadotto           |      13.15      |     |",
    " |  90 |  75 |   66.619 |     | MARRADI - PAL. SUL SENIO   | 13.16     13.20 |     |",
    " |     |  80 |   68.598 |     | POPOLANO                   | 13.23+    13.24 | 0,5 |",
    " |  95 |     |   71.100 |     | Chilometro 71+100          |      13.26      |     |",
    " |     |     |   72.082 |     | S. MARTINO IN GATTARA      | 13.27+    13.28 |     | ",
    " |  90 |     |   74.050 |     | Segnale avviso S. Cassiano |      13.30      |     |",
    " |  95 |     |   75.650 |     | Chilometro 75+650          |      13.31      |     |",
    " |     |     |   75.945 |     | S. CASSIANO                | 13.31+    13.32 |     |",
    " |     |     |   79.084 |     | S. EUFEMIA                 | 13.35+    13.36 |     |",
    " |     |     |   80.647 |     | STRADA CASALE              | 13.38+    13.39 | 0,5 |",
    " |  90 |     |   83.960 |     | FOGNANO                    | 13.42+    13.43 |     |",
    " |     |  85 |   87.935 |     | BRISIGHELLA                | 13.48     13.53 |     |",
    " | 135 | 130 |   89.650 |     | Chilometro 89+650          |      13.54+     |     |",
    " | 105 | 100 |   96.250 |     | Galleria Persolino         |      13.57+     |     |",
    " |  85 |  80 |   99.050 |     | Segnale avviso Tarvea      |      13.59      |     |",
    " |     |     |  100.949 |     | TARVEA                     | 14.02           |     |",
    " |_____|_____|__________|_____|____________________________|_________________|_____|",
    "",
    "",
    "Nota: Nella colonna Orario il simbolo '+' indica 'mezzo minuto'.",
    fine_tabella,
};
static_assert(std::size(righe_scheda) == 64);
static_assert(tabella_ben_formata(righe_scheda));

}  // namespace

void dati_scheda(sistema_file& fs, const nomi_file& nomi) { scrivi_tabella(fs, nomi.scheda_treno, righe_scheda); }

std::span<const std::string_view> tabella_scheda() { return righe_scheda; }

}  // namespace scenario
