#pragma once
// Status codes of codice_errore and what they mean.
#include <cstdint>
#include <string_view>

namespace scenario::codice {

// Codes of the line reader and line feature placement.
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

// Orderly stops of our own, where an entry would reach outside the model.
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

}  // namespace scenario::codice

namespace scenario {
// One line saying what a status code means; empty for an unknown code.
std::string_view significato_codice(int32_t codice);
}  // namespace scenario
