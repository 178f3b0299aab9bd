#pragma once
// Status codes of codice_errore: one registry says, for each code, what it
// means and which input it concerns. Messages, status lines and the status
// tables of the documentation all come from it.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace scenario {

// The input a status code is about.
enum class ambito_codice : uint8_t {
  nessuno,      // no error
  linea,        // the line description
  treno,        // the train description
  descrizioni,  // either description, where the entry was read
  finitura,     // the finishing pass and the stamping after it
};

struct voce_codice {
  int32_t codice;
  std::string_view nome;  // the constant's name in scenario::codice
  ambito_codice ambito;
  std::string_view significato;  // one line, as messages show it
  std::string_view nota = {};    // extra words for the documentation tables only
};

namespace codice {
inline constexpr int32_t lunghezza_eccessiva = 1;
inline constexpr int32_t progressive_non_multiple = 2;
inline constexpr int32_t ripetizione_inizio = 3;
inline constexpr int32_t ripetizione_fine = 4;
inline constexpr int32_t ripetizione_codici = 5;
inline constexpr int32_t cartello_occupato = 6;
inline constexpr int32_t abbattimento_occupato = 7;
inline constexpr int32_t stazione_posizione = 8;
inline constexpr int32_t stazione_lunghezza = 9;
inline constexpr int32_t troppe_stazioni = 10;
inline constexpr int32_t finitura_segnale = 11;
inline constexpr int32_t finitura_gruppo = 12;
inline constexpr int32_t finitura_percorso = 13;
inline constexpr int32_t oltre_percorso = 15;
inline constexpr int32_t segnale_occupato = 16;
inline constexpr int32_t avviso_occupato = 17;
inline constexpr int32_t inizio_occupato = 18;
inline constexpr int32_t fine_occupato = 19;
inline constexpr int32_t prima_avviso_occupato = 20;
inline constexpr int32_t indicatori_occupato = 21;
inline constexpr int32_t stazioni_vicine = 22;
inline constexpr int32_t stazione_inizio_linea = 24;
inline constexpr int32_t errore_lettura = 25;
inline constexpr int32_t linea_mancante = 101;
inline constexpr int32_t generale_mancante = 102;
inline constexpr int32_t curva_non_valida = 103;
inline constexpr int32_t slot_formato = 1250;
inline constexpr int32_t slot_codici = 1251;
inline constexpr int32_t troppe_montagne = 201;
inline constexpr int32_t troppi_cartelli = 202;
inline constexpr int32_t curva_oltre_tracciato = 203;
inline constexpr int32_t pendenza_fuori_campo = 204;
inline constexpr int32_t pendenze_oltre_percorso = 205;
inline constexpr int32_t posizione_negativa = 206;
inline constexpr int32_t montagna_oltre_percorso = 207;
inline constexpr int32_t avvicinamento_prima_inizio = 301;
inline constexpr int32_t rallentamento_fuori = 302;
inline constexpr int32_t abbattimento_fuori = 303;
inline constexpr int32_t stazione_fuori = 304;
inline constexpr int32_t finitura_oltre_percorso = 401;
inline constexpr int32_t percorso_senza_cella_1 = 402;
}  // namespace codice

// Every code there is, in the order the documentation lists them.
inline constexpr std::array registro = {
    voce_codice{0, "nessun_errore", ambito_codice::nessuno,
                "no error"},
    voce_codice{codice::lunghezza_eccessiva, "lunghezza_eccessiva", ambito_codice::linea,
                "route length above 1000000 m"},
    voce_codice{codice::progressive_non_multiple, "progressive_non_multiple", ambito_codice::linea,
                "a kilometric reference has a start or offset that is not a multiple of 50"},
    voce_codice{codice::ripetizione_inizio, "ripetizione_inizio", ambito_codice::linea,
                "first signal-repetition number is not a multiple of 50"},
    voce_codice{codice::ripetizione_fine, "ripetizione_fine", ambito_codice::linea,
                "second signal-repetition number is not a multiple of 50"},
    voce_codice{codice::ripetizione_codici, "ripetizione_codici", ambito_codice::linea,
                "signal-repetition keyword holds neither 4 nor 9"},
    voce_codice{codice::cartello_occupato, "cartello_occupato", ambito_codice::linea,
                "sign board on a cell that is already taken"},
    voce_codice{codice::abbattimento_occupato, "abbattimento_occupato", ambito_codice::treno,
                "abbattimento entry on a cell that is already taken"},
    voce_codice{codice::stazione_posizione, "stazione_posizione", ambito_codice::treno,
                "station position is not a multiple of 50"},
    voce_codice{codice::stazione_lunghezza, "stazione_lunghezza", ambito_codice::treno,
                "station length is not a multiple of 100"},
    voce_codice{codice::troppe_stazioni, "troppe_stazioni", ambito_codice::treno,
                "too many stations: they would reach the sign texts"},
    voce_codice{codice::finitura_segnale, "finitura_segnale", ambito_codice::finitura,
                "no free cell for a speed-reduction point before a signal"},
    voce_codice{codice::finitura_gruppo, "finitura_gruppo", ambito_codice::finitura,
                "no free cell for a speed-reduction point before a slowdown"},
    voce_codice{codice::finitura_percorso, "finitura_percorso", ambito_codice::finitura,
                "no free cell for a speed-reduction point inside or after a slowdown"},
    voce_codice{codice::oltre_percorso, "oltre_percorso", ambito_codice::descrizioni,
                "position beyond the end of the route"},
    voce_codice{codice::segnale_occupato, "segnale_occupato", ambito_codice::treno,
                "signal on a cell that is already taken"},
    voce_codice{codice::avviso_occupato, "avviso_occupato", ambito_codice::treno,
                "slowdown warning point on a cell that is already taken"},
    voce_codice{codice::inizio_occupato, "inizio_occupato", ambito_codice::treno,
                "slowdown start on a cell that is already taken"},
    voce_codice{codice::fine_occupato, "fine_occupato", ambito_codice::treno,
                "slowdown end on a cell that is already taken"},
    voce_codice{codice::prima_avviso_occupato, "prima_avviso_occupato", ambito_codice::treno,
                "one of the four cells before a slowdown warning point is already taken"},
    voce_codice{codice::indicatori_occupato, "indicatori_occupato", ambito_codice::linea,
                "speed-indicator boards on a cell that is already taken"},
    voce_codice{codice::stazioni_vicine, "stazioni_vicine", ambito_codice::treno,
                "station closer than 350 m to the previous one, or out of order"},
    voce_codice{codice::stazione_inizio_linea, "stazione_inizio_linea", ambito_codice::treno,
                "station mark would fall at cell 1 or below"},
    voce_codice{codice::errore_lettura, "errore_lettura", ambito_codice::descrizioni,
                "run-time failure while reading the description files",
                "(a field that is not a number, a number too large for its field, a read past the end, a missing train description...)"},
    voce_codice{codice::linea_mancante, "linea_mancante", ambito_codice::linea,
                "line description file missing"},
    voce_codice{codice::generale_mancante, "generale_mancante", ambito_codice::linea,
                "no [generale] section in the line description"},
    voce_codice{codice::curva_non_valida, "curva_non_valida", ambito_codice::linea,
                "curve keyword without a class digit, or the track plan passes 1000000 m"},
    voce_codice{codice::slot_formato, "slot_formato", ambito_codice::finitura,
                "the slot for the format numbers is already in use",
                "(fatal: \" Errore n. 1250\")"},
    voce_codice{codice::slot_codici, "slot_codici", ambito_codice::finitura,
                "the slot for the scenario codes is already in use",
                "(fatal: \" Errore n. 1251\")"},
    voce_codice{codice::troppe_montagne, "troppe_montagne", ambito_codice::linea,
                "more than 80 mountain stretches"},
    voce_codice{codice::troppi_cartelli, "troppi_cartelli", ambito_codice::linea,
                "more than 81 sign boards: no record left for the sign text"},
    voce_codice{codice::curva_oltre_tracciato, "curva_oltre_tracciato", ambito_codice::linea,
                "curve reaching beyond the end of the track plan"},
    voce_codice{codice::pendenza_fuori_campo, "pendenza_fuori_campo", ambito_codice::linea,
                "gradient outside -100 to 155 per mille"},
    voce_codice{codice::pendenze_oltre_percorso, "pendenze_oltre_percorso", ambito_codice::linea,
                "gradient lines out of order push past the last cell"},
    voce_codice{codice::posizione_negativa, "posizione_negativa", ambito_codice::linea,
                "negative position in the line description"},
    voce_codice{codice::montagna_oltre_percorso, "montagna_oltre_percorso", ambito_codice::linea,
                "mountain stretch ending beyond the route"},
    voce_codice{codice::avvicinamento_prima_inizio, "avvicinamento_prima_inizio", ambito_codice::treno,
                "signal too close to the route start: its approach marks would fall before cell 0"},
    voce_codice{codice::rallentamento_fuori, "rallentamento_fuori", ambito_codice::treno,
                "slowdown cells outside the route"},
    voce_codice{codice::abbattimento_fuori, "abbattimento_fuori", ambito_codice::treno,
                "abbattimento cell outside the route"},
    voce_codice{codice::stazione_fuori, "stazione_fuori", ambito_codice::treno,
                "station marks outside the route"},
    voce_codice{codice::finitura_oltre_percorso, "finitura_oltre_percorso", ambito_codice::finitura,
                "finishing pass reached the route's last cell and stopped there"},
    voce_codice{codice::percorso_senza_cella_1, "percorso_senza_cella_1", ambito_codice::finitura,
                "route too short to hold cell 1 (negative route length): no binary file written"},
};

// The whole registry.
std::span<const voce_codice> registro_codici();
// The entry of a code; nullptr for a number that is no status code.
const voce_codice* cerca_codice(int32_t codice);
// One line saying what a status code means; empty for an unknown code.
std::string_view significato_codice(int32_t codice);
// The input, in words: "line description", "train description"...
std::string_view nome_ambito(ambito_codice ambito);
// The documentation's table row: "| code | meaning note |".
std::string riga_tabella_codice(const voce_codice& v);

}  // namespace scenario
