#include "compiler/readers/parole_chiave.hpp"

#include <algorithm>
#include <array>
#include <vector>

#include "compiler/readers/lettore_campi.hpp"

namespace scenario {

namespace {

using sv = std::string_view;
using g = genere_campo;

constexpr sv s_lunghezza[] = {"lunghezza percorso"};
constexpr campo_parola c_lunghezza[] = {{"length of the line", "m", "0 to 1000000", g::lunghezza}};

constexpr sv s_progressiva[] = {"progressiva chilometrica uno", "progressiva chilometrica due",
                                "progressiva chilometrica tre"};
constexpr campo_parola c_progressiva[] = {{"route position from which the reference applies", "m", "multiple of 50", g::posizione},
                                          {"chainage at that position", "m", "multiple of 50", g::lunghezza},
                                          {"direction: 1 when the chainage falls as the route runs", "", "0 or 1"}};

constexpr sv s_sfondo_uno[] = {"sfondo uno"};
constexpr sv s_sfondo_due[] = {"sfondo due"};
constexpr sv s_sfondo_tre[] = {"sfondo tre"};
constexpr campo_parola c_sfondo[] = {{"scenery value", "", "32-bit"}};

constexpr sv s_ripetizione[] = {"ripetizione segnali 4 codici", "ripetizione segnali 9 codici"};
constexpr campo_parola c_ripetizione[] = {{"first number", "m", "multiple of 50"},
                                          {"second number; 0: no repetition", "m", "multiple of 50"}};

constexpr sv s_pendenza[] = {"pendenza"};
constexpr campo_parola c_pendenza[] = {{"position from which the gradient applies", "m", "inside the route", g::posizione},
                                       {"gradient, positive uphill", "per mille", "-100 to 155"}};

constexpr sv s_curva[] = {"curvad", "curvas"};
constexpr campo_parola c_curva[] = {{"start of the curve", "m", "", g::posizione},
                                    {"length of the curve", "m", "", g::lunghezza}};

constexpr sv s_montagna[] = {"montagna"};
constexpr campo_parola c_montagna[] = {{"start", "m", "", g::posizione},
                                       {"end", "m", "inside the route", g::posizione},
                                       {"stretch type; add 10 for a marker every 200 m", "", ""}};

constexpr sv s_indicatori[] = {"indicatori_vmax"};
constexpr campo_parola c_indicatori[] = {
    {"position", "m", "", g::posizione_dopo},  {"speed, rank A", "km/h", ""},
    {"speed, rank B", "km/h", ""},              {"speed, rank C", "km/h", ""},
    {"stripe count", "", "16-bit"},             {"second speed, rank A (empty: none)", "km/h", "multiple of 5 below 100"},
    {"second speed, rank B (empty: none)", "km/h", "multiple of 5 below 100"},
    {"second speed, rank C (empty: none)", "km/h", "multiple of 5 below 100"},
    {"second stripe count", "", "16-bit"}};

constexpr sv s_cartello[] = {"cartello_indicatore"};
constexpr campo_parola c_cartello[] = {{"position", "m", "", g::posizione_dopo},
                                       {"sign text: each line in parentheses, no commas", "", "", g::testo}};

constexpr sv s_massa[] = {"percentuale massa frenata"};
constexpr campo_parola c_massa[] = {{"braked-mass percentage", "%", "32-bit"}};
constexpr sv s_vetture[] = {"numero vetture"};
constexpr campo_parola c_vetture[] = {{"number of cars", "", "32-bit"}};

constexpr sv s_velocita[] = {"velocita"};
constexpr campo_parola c_velocita[] = {{"position from which the limit applies", "m", "", g::posizione},
                                       {"speed limit", "km/h", "0 to 1275, kept in steps of 5", g::velocita}};

constexpr sv s_aderenza[] = {"aderenza"};
constexpr campo_parola c_aderenza[] = {{"position from which the value applies", "m", "", g::posizione},
                                       {"adhesion value", "", "70 to 100 in practice; low 8 bits kept", g::basso_8}};

constexpr sv s_orologio[] = {"orologio"};
constexpr campo_parola c_orologio[] = {{"hours", "h", "16-bit"}, {"minutes", "min", "16-bit"}, {"seconds", "s", "16-bit"}};

constexpr sv s_sabbia[] = {"sabbia"};
constexpr campo_parola c_sabbia[] = {{"sand", "", "16-bit"}};

constexpr sv s_segnale[] = {"segnale"};
constexpr campo_parola c_segnale[] = {
    {"posizione: the signal's position", "m", "at least 400 m from the start", g::posizione_dopo},
    {"sx: left value", "", ""},
    {"s1: tens of the first value", "", ""},
    {"s2: tens of the second value", "", ""},
    {"s3: tens of the third value", "", ""},
    {"rapp: tens of the fourth value", "", ""},
    {"dx: right value", "", ""},
    {"d1: units of the first value", "", ""},
    {"d2: units of the second value", "", ""},
    {"d3: units of the third value", "", ""},
    {"tempo: a time, kept only when sx is 2", "", "1 to 100 become 101"}};

constexpr sv s_rallentamento[] = {"rallentamento"};
constexpr campo_parola c_rallentamento[] = {{"x: start of the slowdown", "m", "", g::posizione_dopo},
                                            {"v: speed of the slowdown", "km/h", ""},
                                            {"l: length", "m", "", g::lunghezza},
                                            {"f_tt: stored in the start and end cells", "", ""},
                                            {"f_ta: nonzero marks the four cells before the warning point", "", ""},
                                            {"d_v: nonzero is stored in every cell marked", "", ""}};

constexpr sv s_abbattimento[] = {"abbattimento"};
constexpr campo_parola c_abbattimento[] = {{"position", "m", "", g::posizione},
                                           {"value: above 0 a speed-reduction point, else an empty mark", "", ""}};

constexpr sv s_stazione[] = {"stazione"};
constexpr campo_parola c_stazione[] = {
    {"position of the station", "m", "multiple of 50", g::posizione},
    {"station type", "", "byte; 5 to 8 and 25 up change its stretch"},
    {"station length", "m", "multiple of 100", g::lunghezza},
    {"attribute", "", "byte"},
    {"attribute (0 below 600 m and for the first station)", "", "byte"},
    {"end extension: nonzero adds 50 m", "", "byte"},
    {"attribute", "", "16-bit"},
    {"attribute", "", "16-bit"},
    {"attribute", "", "byte"},
    {"attribute", "", "16-bit"},
    {"attribute", "", "16-bit"},
    {"attribute", "", "16-bit"},
    {"stop time (0: the train passes)", "s", "byte"},
    {"scheduled hours", "h", ""},
    {"scheduled minutes", "min", ""},
    {"scheduled seconds", "s", ""},
    {"name, up to the line end (no comma)", "", "", g::testo}};

using gp = gruppo_parole;

// The order within a group is the order of the "did you mean" lists.
constexpr parola_chiave tabella[] = {
    {gp::generale_linea, "lunghezza percorso", s_lunghezza, "route length", c_lunghezza,
     "Creates the route: cells from 0 to round((length + 7000) / 50), 7 km past the line's end. Mandatory, before any "
     "feature."},
    {gp::generale_linea, "progressiva chilometrica", s_progressiva, "kilometre posts", c_progressiva,
     "Up to three chainage references (uno, due, tre); one not needed is written with three zeros. A direction of 1 "
     "adds 100 m to the stored offset."},
    {gp::generale_linea, "sfondo uno", s_sfondo_uno, "scenery", c_sfondo, "Stored for the simulator as written."},
    {gp::generale_linea, "sfondo due", s_sfondo_due, "scenery", c_sfondo, "Stored for the simulator as written."},
    {gp::generale_linea, "sfondo tre", s_sfondo_tre, "scenery", c_sfondo, "Stored for the simulator as written."},
    {gp::generale_linea, "ripetizione segnali", s_ripetizione, "signal repetition in the cab", c_ripetizione,
     "The keyword names 4 or 9 codes; a second number of 0 means no repetition."},
    {gp::caratteristiche_linea, "pendenza", s_pendenza, "gradient", c_pendenza,
     "Applies from its own cell to the cell before the next gradient's; the last runs to the end of the route. Write "
     "them in order of position, the first at 0."},
    {gp::caratteristiche_linea, "curva", s_curva, "curve (track plan only)", c_curva,
     "curvad turns right, curvas left; the class digit sets the radius: 1 about 10000 m, 2 5000 m, 3 2500 m, 4 "
     "1000 m, 5 500 m, 6 333 m. Curves come in order and do not overlap.",
     true},
    {gp::caratteristiche_linea, "montagna", s_montagna, "mountain stretch", c_montagna,
     "Covers cells round(start / 50) to round(end / 50 - 1); a type above 10 puts a marker in every fourth empty cell. "
     "At most 80 stretches."},
    {gp::caratteristiche_linea, "indicatori_vmax", s_indicatori, "speed-indicator boards", c_indicatori,
     "Takes cell round(position / 50 + 1); each speed is stored as speed x 20 + second speed / 5."},
    {gp::caratteristiche_linea, "cartello_indicatore", s_cartello, "location sign board", c_cartello,
     "Takes cell round(position / 50 + 1); its text fills the record table from record 80 downwards."},
    {gp::treno, "percentuale massa frenata", s_massa, "braked mass", c_massa, "Stored for the simulator as written."},
    {gp::treno, "numero vetture", s_vetture, "cars", c_vetture, "Stored for the simulator as written."},
    {gp::treno, "velocita", s_velocita, "speed limit", c_velocita,
     "Applies from its own cell to the cell before the next entry's; start at 0 and keep them in order."},
    {gp::treno, "aderenza", s_aderenza, "adhesion", c_aderenza,
     "Applies from its own cell to the cell before the next entry's; start at 0 and keep them in order."},
    {gp::treno, "orologio", s_orologio, "clock at the start", c_orologio,
     "The three numbers may be separated by blanks alone."},
    {gp::treno, "sabbia", s_sabbia, "sand", c_sabbia, "Stored for the simulator as written."},
    {gp::treno, "segnale", s_segnale, "signal", c_segnale,
     "Takes cell round(position / 50 + 1) and marks the approach bytes 100, 200, 300 and 400 m before it."},
    {gp::treno, "rallentamento", s_rallentamento, "slowdown", c_rallentamento,
     "Marks a warning point 1200 m before its start (when x > 1500), its start at round(x / 50 + 1) and its end at "
     "round((x + l) / 50 + 1)."},
    {gp::treno, "abbattimento", s_abbattimento, "speed-reduction point", c_abbattimento,
     "Takes cell round(position / 50), which must be free."},
    {gp::treno, "stazione", s_stazione, "station", c_stazione,
     "A record of the timetable and a stretch of the route; types below 25 put a station mark in the cell before "
     "the stretch's end. The time is the departure, or the arrival at the last station."},
};

constexpr sv sezioni_linea[] = {"[generale]", "[curve]", "[pendenze]", "[montagne]", "[cartelli]", "[fine]"};
constexpr sv sezioni_treno[] = {"[generale]", "[aderenze]",     "[vel_limite]", "[stazioni]",
                                "[rallentamenti]", "[segnali]", "[fine]"};

std::vector<sv> scritte_del_gruppo(gruppo_parole gr) {
  std::vector<sv> r;
  for (const parola_chiave& p : tabella) {
    if (p.gruppo == gr) r.insert(r.end(), p.scritte.begin(), p.scritte.end());
  }
  return r;
}

}  // namespace

std::span<const parola_chiave> parole_chiave() { return tabella; }

const parola_chiave* parola_di_voce(std::string_view voce) {
  const auto* p = std::find_if(std::begin(tabella), std::end(tabella), [&](const parola_chiave& x) { return x.voce == voce; });
  return p == std::end(tabella) ? nullptr : p;
}

std::span<const std::string_view> parole_del_gruppo(gruppo_parole gr) {
  // built once from the constant table; read-only afterwards
  static const std::array<std::vector<sv>, 3> gruppi = {scritte_del_gruppo(gp::generale_linea),
                                                        scritte_del_gruppo(gp::caratteristiche_linea),
                                                        scritte_del_gruppo(gp::treno)};
  return gruppi.at(static_cast<std::size_t>(gr));
}

sorgente file_del_gruppo(gruppo_parole gr) { return gr == gp::treno ? sorgente::treno : sorgente::linea; }

std::span<const std::string_view> sezioni_di(sorgente file) {
  if (file == sorgente::treno) return sezioni_treno;
  return sezioni_linea;
}

const parola_chiave* parola_scritta(sorgente file, std::string_view campo) {
  const std::string_view nudo = senza_spazi(campo);
  if (nudo.empty()) return nullptr;
  const parola_chiave* migliore = nullptr;
  std::size_t lunghezza = 0;
  for (const parola_chiave& p : tabella) {
    if (file_del_gruppo(p.gruppo) != file) continue;
    // the reader's words are found anywhere in the field; the longest match tells "sfondo due" from "sfondo"
    for (const sv s : p.scritte) {
      const sv radice = p.con_classe ? s.substr(0, s.size() - 1) : s;
      if (contiene_nc(nudo, radice) && radice.size() > lunghezza) {
        migliore = &p;
        lunghezza = radice.size();
      }
    }
  }
  return migliore;
}

}  // namespace scenario
