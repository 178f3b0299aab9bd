#pragma once
// The fields of a feature of a compiled scenario, declared once: a table that
// says how the listing labels each field, how JSON keys it, where the model
// holds it and what unit it is in. The copy off the model, the listing, the
// JSON and the report's tables walk it.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "compiler/model/modello.hpp"
#include "formato/campi_record.hpp"
#include "contenuto/contenuto.hpp"

namespace scenario {

// How a field's value reads. Consecutive fields of one listing label share a
// line: metres as a stretch ("100-200 m"), numbers blank-separated.
enum class unita_campo : uint8_t {
  numero,
  testo,    // Windows-1252 bytes
  metri,
  ora,      // seconds after midnight; 0: none
  secondi,  // a stop; 0: none
  cella,    // a cell, if any
  velocita,           // km/h
  velocita_o_niente,  // km/h; 0: none
  si_no,
};

// Where a feature C holds a field.
template <class C>
using membro_contenuto =
    std::variant<uint8_t C::*, int16_t C::*, int32_t C::*, std::string C::*, std::optional<int32_t> C::*, bool C::*>;

// One field of the feature C, read from the model's record R. The first field
// names the item ("signal at 2150 m").
template <class C, class R>
struct campo_contenuto {
  std::string_view elenco;  // its label in the listing; empty: shown in the item's label only
  std::string_view json;    // its key; consecutive fields of one key make an array; empty: none
  membro_contenuto<C> membro;
  // where the record holds it, of the member's type; monostate: not in the record (a cell index, metres)
  std::variant<std::monostate, uint8_t R::*, int16_t R::*, int32_t R::*, std::string R::*> sorgente;
  unita_campo unita;
};

inline constexpr std::array<campo_contenuto<stazione, voce_tabella>, 18> campi_stazione = {{
    {"", "record", &stazione::record, {}, unita_campo::numero},
    {"name", "name", &stazione::nome, &voce_tabella::nome, unita_campo::testo},
    {"position", "position", &stazione::posizione, &voce_tabella::posizione, unita_campo::metri},
    {"stretch", "start", &stazione::inizio, &voce_tabella::inizio, unita_campo::metri},
    {"stretch", "end", &stazione::fine, &voce_tabella::fine, unita_campo::metri},
    {"type", "type", &stazione::tipo, &voce_tabella::tipo, unita_campo::numero},
    {"time", "time", &stazione::orario, &voce_tabella::orario, unita_campo::ora},
    {"stop", "stop", &stazione::sosta, &voce_tabella::sosta, unita_campo::secondi},
    {"mark", "mark_cell", &stazione::cella_segno, {}, unita_campo::cella},
    {"fields 4-12", "fields", &stazione::campo_4, &voce_tabella::campo_4, unita_campo::numero},
    {"fields 4-12", "fields", &stazione::campo_5, &voce_tabella::campo_5, unita_campo::numero},
    {"fields 4-12", "fields", &stazione::campo_6, &voce_tabella::campo_6, unita_campo::numero},
    {"fields 4-12", "fields", &stazione::campo_7, &voce_tabella::campo_7, unita_campo::numero},
    {"fields 4-12", "fields", &stazione::campo_8, &voce_tabella::campo_8, unita_campo::numero},
    {"fields 4-12", "fields", &stazione::campo_9, &voce_tabella::campo_9, unita_campo::numero},
    {"fields 4-12", "fields", &stazione::campo_10, &voce_tabella::campo_10, unita_campo::numero},
    {"fields 4-12", "fields", &stazione::campo_11, &voce_tabella::campo_11, unita_campo::numero},
    {"fields 4-12", "fields", &stazione::campo_12, &voce_tabella::campo_12, unita_campo::numero},
}};

// JSON has always put the type before the position; the listing after the stretch.
inline constexpr std::array<std::string_view, 10> chiavi_json_stazione = {
    "record", "name", "type", "position", "start", "end", "time", "stop", "mark_cell", "fields"};

inline constexpr std::array<campo_contenuto<segnale, cella>, 7> campi_segnale = {{
    {"", "position", &segnale::metri, {}, unita_campo::metri},
    {"cell", "cell", &segnale::cella, {}, unita_campo::numero},
    {"valore", "values", &segnale::valore, &cella::valore, unita_campo::numero},
    {"valore2", "values", &segnale::valore2, &cella::valore2, unita_campo::numero},
    {"valore3", "values", &segnale::valore3, &cella::valore3, unita_campo::numero},
    {"valore4", "values", &segnale::valore4, &cella::valore4, unita_campo::numero},
    {"tempo", "tempo", &segnale::tempo, &cella::tempo, unita_campo::numero},
}};

// A slowdown's start and end cells tie it to its cells; neither is shown.
inline constexpr std::array<campo_contenuto<rallentamento, cella>, 7> campi_rallentamento = {{
    {"", "start", &rallentamento::inizio, {}, unita_campo::metri},
    {"end", "end", &rallentamento::fine, {}, unita_campo::metri},
    {"warning", "warning", &rallentamento::avviso, {}, unita_campo::metri},
    {"pre-warning cells", "pre_warning", &rallentamento::preavviso, {}, unita_campo::si_no},
    {"speed", "speed", &rallentamento::velocita, &cella::valore, unita_campo::velocita},
    {"valore2", "valore2", &rallentamento::valore2, &cella::valore2, unita_campo::numero},
    {"valore3", "valore3", &rallentamento::valore3, &cella::valore3, unita_campo::numero},
}};

inline constexpr std::array<campo_contenuto<punto_abbattimento, cella>, 3> campi_abbattimento = {{
    {"", "position", &punto_abbattimento::metri, {}, unita_campo::metri},
    {"cell", "cell", &punto_abbattimento::cella, {}, unita_campo::numero},
    {"speed", "speed", &punto_abbattimento::velocita, &cella::valore, unita_campo::velocita_o_niente},
}};

inline constexpr std::array<campo_contenuto<indicatori, cella>, 6> campi_indicatori = {{
    {"", "position", &indicatori::metri, {}, unita_campo::metri},
    {"cell", "cell", &indicatori::cella, {}, unita_campo::numero},
    {"valore", "values", &indicatori::valore, &cella::valore, unita_campo::numero},
    {"valore2", "values", &indicatori::valore2, &cella::valore2, unita_campo::numero},
    {"valore3", "values", &indicatori::valore3, &cella::valore3, unita_campo::numero},
    {"stripes", "stripes", &indicatori::strisce, &cella::valore4, unita_campo::numero},
}};

// The text is the record's that the cell names.
inline constexpr std::array<campo_contenuto<cartello, cella>, 4> campi_cartello = {{
    {"", "position", &cartello::metri, {}, unita_campo::metri},
    {"cell", "cell", &cartello::cella, {}, unita_campo::numero},
    {"record", "record", &cartello::record, &cella::valore, unita_campo::numero},
    {"text", "text", &cartello::testo, {}, unita_campo::testo},
}};

inline constexpr std::array<campo_contenuto<segno_avvicinamento, cella>, 2> campi_avvicinamento = {{
    {"", "cell", &segno_avvicinamento::cella, {}, unita_campo::numero},
    {"value", "value", &segno_avvicinamento::valore, &cella::avvicinamento, unita_campo::numero},
}};

inline constexpr std::array<campo_contenuto<progressiva, voce_tabella>, 4> campi_progressiva = {{
    {"", "record", &progressiva::record, {}, unita_campo::numero},
    {"start", "start", &progressiva::inizio, &voce_tabella::inizio, unita_campo::metri},
    {"offset", "offset", &progressiva::scostamento, &voce_tabella::fine, unita_campo::numero},
    {"direction", "direction", &progressiva::verso, &voce_tabella::posizione, unita_campo::numero},
}};

// A feature as a whole: its table, and how the listing and JSON name its list and one of it.
template <class C, class R, std::size_t N>
struct caratteristica {
  std::string_view sezione;  // the listing's section
  std::string_view json;     // the key of the list
  std::string_view nome;     // one of them, before the value of its first field: "signal at "
  const std::array<campo_contenuto<C, R>, N>& campi;
};

template <class C, class R, std::size_t N>
constexpr caratteristica<C, R, N> caratteristica_di(std::string_view sezione, std::string_view json,
                                                    std::string_view nome,
                                                    const std::array<campo_contenuto<C, R>, N>& campi) {
  return {sezione, json, nome, campi};
}

inline constexpr auto le_stazioni = caratteristica_di("stations", "stations", "station ", campi_stazione);
inline constexpr auto i_segnali = caratteristica_di("signals", "signals", "signal at ", campi_segnale);
inline constexpr auto i_rallentamenti = caratteristica_di("slowdowns", "slowdowns", "slowdown at ", campi_rallentamento);
inline constexpr auto gli_abbattimenti = caratteristica_di("speed-reduction points", "speed_reduction_points",
                                                           "speed-reduction point at ", campi_abbattimento);
inline constexpr auto gli_indicatori =
    caratteristica_di("speed boards", "speed_boards", "speed boards at ", campi_indicatori);
inline constexpr auto i_cartelli = caratteristica_di("sign boards", "sign_boards", "sign board at ", campi_cartello);
inline constexpr auto gli_avvicinamenti =
    caratteristica_di("approach marks", "approach_marks", "approach mark in cell ", campi_avvicinamento);
inline constexpr auto le_progressive =
    caratteristica_di("kilometric references", "kilometric_references", "record ", campi_progressiva);

// A field read from the record is of the member's own type.
template <class C, class R, std::size_t N>
constexpr bool sorgenti_coerenti(const std::array<campo_contenuto<C, R>, N>& campi) {
  for (const auto& c : campi) {
    if (c.sorgente.index() != 0 && c.sorgente.index() != c.membro.index() + 1) return false;
  }
  return true;
}
static_assert(sorgenti_coerenti(campi_stazione));
static_assert(sorgenti_coerenti(campi_segnale));
static_assert(sorgenti_coerenti(campi_rallentamento));
static_assert(sorgenti_coerenti(campi_abbattimento));
static_assert(sorgenti_coerenti(campi_indicatori));
static_assert(sorgenti_coerenti(campi_cartello));
static_assert(sorgenti_coerenti(campi_avvicinamento));
static_assert(sorgenti_coerenti(campi_progressiva));

// Every field the record holds, copied into the feature.
template <class C, class R, std::size_t N>
void copia_campi(const std::array<campo_contenuto<C, R>, N>& campi, const R& r, C& c) {
  for (const auto& f : campi) {
    switch (f.sorgente.index()) {
      case 1: c.*std::get<0>(f.membro) = r.*std::get<1>(f.sorgente); break;
      case 2: c.*std::get<1>(f.membro) = r.*std::get<2>(f.sorgente); break;
      case 3: c.*std::get<2>(f.membro) = r.*std::get<3>(f.sorgente); break;
      case 4: c.*std::get<3>(f.membro) = r.*std::get<4>(f.sorgente); break;
      default: break;  // filled from elsewhere
    }
  }
}

// The name campi_record gives the record field a feature's field is read from; empty if none.
template <class C, class R, std::size_t N>
std::string_view nome_nel_record(const campo_contenuto<C, R>& f, const std::array<campo_record<R>, N>& record) {
  for (const campo_record<R>& r : record) {
    const bool uguale = std::visit(
        [&f](auto membro) {
          using M = decltype(membro);
          const M* s = std::get_if<M>(&f.sorgente);
          return s != nullptr && *s == membro;
        },
        r.membro);
    if (uguale) return r.nome;
  }
  return {};
}

// A field's value as a number (a flag as 0 or 1); texts and absent values have none.
template <class C>
std::optional<int64_t> numero_di(const membro_contenuto<C>& membro, const C& c) {
  switch (membro.index()) {
    case 0: return c.*std::get<0>(membro);
    case 1: return c.*std::get<1>(membro);
    case 2: return c.*std::get<2>(membro);
    case 4: {
      const std::optional<int32_t>& v = c.*std::get<4>(membro);
      return v ? std::optional<int64_t>(*v) : std::nullopt;
    }
    case 5: return c.*std::get<5>(membro) ? 1 : 0;
    default: return std::nullopt;
  }
}

// A record every field of which is zero or empty: no station, no sign text.
template <class R, std::size_t N>
bool record_vuoto(const std::array<campo_record<R>, N>& campi, const R& r) {
  for (const auto& c : campi) {
    const bool zero = std::visit(
        [&r](auto membro) {
          if constexpr (std::is_same_v<decltype(membro), std::string R::*>) {
            return (r.*membro).empty();
          } else {
            return r.*membro == 0;
          }
        },
        c.membro);
    if (!zero) return false;
  }
  return true;
}

}  // namespace scenario
