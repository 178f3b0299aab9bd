#include "rapporto/rapporto.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "compiler/model/misure.hpp"
#include "contenuto/campi_mostrati.hpp"
#include "io/nomi_file.hpp"
#include "rapporto/semplifica.hpp"
#include "rapporto/testo_html.hpp"

namespace scenario::rapporto {

namespace {

// The drawing width of every panel, in SVG units (about CSS pixels on screen).
constexpr double larghezza = 1100;
constexpr double margine_sinistro = 64;
constexpr double margine_destro = 16;

std::string n1(double v) { return numero(v, 1); }


// 1, 2 or 5 times a power of ten, the smallest at least v.
double passo_tondo(double v) {
  if (!(v > 0)) return 1;
  const double p = std::pow(10.0, std::floor(std::log10(v)));
  for (const double k : {1.0, 2.0, 5.0, 10.0}) {
    if (k * p >= v) return k * p;
  }
  return 10 * p;
}

// Chainage to drawing x, shared by both profiles so they line up.
struct asse_progressiva {
  double fine = 1;  // metres
  double x(double metri) const {
    return margine_sinistro + std::clamp(metri / fine, 0.0, 1.0) * (larghezza - margine_sinistro - margine_destro);
  }
};

std::string titolo(std::string_view testo_utf8) { return "<title>" + std::string(testo_utf8) + "</title>"; }

// Names cut short where a line of the page shows them, in characters: the
// whole name stays in the mark's tooltip.
constexpr std::size_t nome_massimo_titolo = 60;
constexpr std::size_t nome_massimo_profilo = 20;
constexpr double spazio_nome_profilo = 140;  // drawing units above the speed profile
constexpr std::size_t nome_massimo_tabella = 40;
constexpr std::size_t testo_massimo_cartello = 60;

// A Windows-1252 name for HTML text, cut short with the whole of it as a tooltip.
std::string nome_con_suggerimento(std::string_view nome_1252, std::size_t limite) {
  if (nome_1252.size() <= limite) return html(nome_1252);
  return "<span title=\"" + html(nome_1252) + "\">" + html_breve(nome_1252, limite) + "</span>";
}

// The end of an SVG text's start tag and the text: a name cut short is also
// fitted into `spazio` units, whatever the width of its letters.
std::string nome_svg(std::string_view nome_1252, std::size_t limite, double spazio) {
  const std::string adatto = nome_1252.size() > limite
                                 ? " textLength=\"" + n1(spazio) + "\" lengthAdjust=\"spacingAndGlyphs\""
                                 : std::string();
  return adatto + ">" + html_breve(nome_1252, limite);
}

// Chainage ticks along the bottom of a profile, with labels in km.
void tacche_progressiva(std::string& o, const asse_progressiva& a, double y_alto, double y_basso) {
  const double passo = passo_tondo(a.fine / 16);
  const double tacche = std::floor((a.fine + 0.5) / passo);  // about 16: passo is a sixteenth at least
  o += "<g class=\"asse\">";
  for (int k = 0; k <= 40 && k <= tacche; ++k) {
    const double p = k * passo;
    const double x = a.x(p);
    o += "<line class=\"griglia\" x1=\"" + n1(x) + "\" y1=\"" + n1(y_alto) + "\" x2=\"" + n1(x) + "\" y2=\"" +
         n1(y_basso) + "\"/>";
    o += "<text x=\"" + n1(x) + "\" y=\"" + n1(y_basso + 13) + "\" text-anchor=\"middle\">" +
         numero(p / 1000, passo < 1000 ? 1 : 0) + "</text>";
  }
  o += "<text x=\"" + n1(larghezza - margine_destro) + "\" y=\"" + n1(y_basso + 26) +
       "\" text-anchor=\"end\">km from the route start</text></g>";
}

// A feature's hover text, walking its table: its label, then a line a field.
template <class C, class R, std::size_t N>
std::string descrivi(const caratteristica<C, R, N>& k, const C& x) {
  const oggetto_mostrato o = oggetto_di(k, x);
  std::string t = html_utf8(o.etichetta);
  for (const auto& [nome, valore] : o.campi) {
    if (nome != "name") t += "&#10;" + html_utf8(nome + " " + valore);
  }
  return t;
}

// ---------------------------------------------------------------- header

// The status and every message of the compile that made the report.
void sezione_esito(std::string& o, const origine_rapporto& org) {
  if (!org.esito) return;
  {
    const esito_rapporto& e = *org.esito;
    o += "<section class=\"esito\"><h2>Compile result</h2><p class=\"" +
         std::string(e.uscita == 0 ? "ok" : "ko") + "\">exit status " + numero(int64_t{e.uscita}) + ": " +
         html_utf8(e.significato_uscita);
    if (e.stato) o += "; status code " + numero(int64_t{*e.stato});
    o += "</p>";
    if (e.messaggi.empty()) {
      o += "<p class=\"nessun-problema\">No problems: the compile found no error and no warning.</p>";
    } else {
      o += "<table class=\"messaggi\"><tr><th>file</th><th>line</th><th>message</th></tr>";
      for (std::size_t i = 0; i < e.messaggi.size(); ++i) {
        const diagnostico& d = e.messaggi[i];
        const diagnostico_mostrato x = mostra(d, e.file);
        o += std::string("<tr id=\"messaggio-") + std::to_string(i) + "\" class=\"messaggio" +
             (e.principale == i ? " principale" : "") + (d.tipo == gravita::avviso ? " di-avviso" : "") + "\"><td>" +
             html_testo(x.file) + "</td><td>" +
             (x.inizio.riga > 0 ? numero(int64_t{x.inizio.riga}) : std::string()) + "</td><td>" +
             html_testo(corpo_messaggio(d, e.file)) + "</td></tr>";
        // the places that explain it, under it
        for (const correlato& c : d.correlati) {
          const diagnostico_mostrato y = mostra(c, e.file);
          o += "<tr class=\"messaggio correlato\"><td>" + html_testo(y.file) + "</td><td>" +
               (y.inizio.riga > 0 ? numero(int64_t{y.inizio.riga}) : std::string()) + "</td><td>note: " +
               html_testo(y.testo) + "</td></tr>";
        }
      }
      o += "</table>";
    }
    o += "</section>";
  }
}


// "3 stations, 1 of 9 signals (8 dropped), ...": what was compiled, against what
// the descriptions hold when the compile stopped before reading it all.
std::string caratteristiche_contate(const contenuto_scenario& s, const origine_rapporto& org) {
  const struct {
    std::size_t compilate;
    const char* voce;
    const char* una;
    const char* molte;
  } righe[] = {{s.stazioni.size(), "stazione", "station", "stations"},
               {s.segnali.size(), "segnale", "signal", "signals"},
               {s.rallentamenti.size(), "rallentamento", "slowdown", "slowdowns"},
               {s.indicatori_velocita.size(), "indicatori_vmax", "speed-indicator board pair", "speed-indicator board pairs"},
               {s.cartelli.size(), "cartello_indicatore", "sign board", "sign boards"},
               {s.abbattimenti.size(), nullptr, "speed-reduction point", "speed-reduction points"}};
  std::string t;
  for (const auto& r : righe) {
    const auto n = static_cast<int64_t>(r.compilate);
    int64_t scritte = n;
    if (org.esito && r.voce) {
      const auto trovata = org.esito->voci_scritte.find(r.voce);
      if (trovata != org.esito->voci_scritte.end()) scritte = std::max<int64_t>(n, trovata->second);
    }
    if (!t.empty()) t += ", ";
    t += scritte > n ? numero(n) + " of " + numero(scritte) + " " + r.molte + " (" + numero(scritte - n) + " dropped)"
                     : numero(n) + " " + (n == 1 ? r.una : r.molte);
  }
  return t;
}

void intestazione(std::string& o, const contenuto_scenario& s, const origine_rapporto& org) {
  const std::string nome_linea = nome_con_suggerimento(s.linea.nome, nome_massimo_titolo);
  const std::string numero_treno = nome_con_suggerimento(s.treno.numero, nome_massimo_titolo);
  o += "<header><h1>Line <span class=\"nome\">" + nome_linea + "</span>, train <span class=\"nome\">" +
       numero_treno + "</span></h1>";
  o += "<p class=\"sotto\">Report of the compiled files";
  for (std::size_t i = 0; i < org.file.size(); ++i) o += (i == 0 ? ": " : ", ") + html_testo(org.file[i]);
  if (org.file.empty() && org.esito) o += " (none written: drawn from the compiled model)";
  o += " &mdash; made by " + html_utf8(org.programma) + "</p>";

  const auto voce = [&o](std::string_view nome, const std::string& valore) {
    o += "<tr><th>" + std::string(nome) + "</th><td>" + valore + "</td></tr>";
  };
  const auto verifica = [](bool ok) {
    return ok ? std::string(" <span class=\"ok\">&#10003; verifies</span>")
              : std::string(" <span class=\"ko\">&#10007; does not verify</span>");
  };
  o += "<div class=\"fatti\"><table class=\"fatti\">";
  voce("Line length", metri(s.lunghezza) + " (" + chilometri(s.lunghezza, 2) + ")");
  voce("Cells", numero(int64_t{s.celle}) + " of " + metri(lunghezza_cella.valore()));
  voce("Cars", numero(int64_t{s.treno.vetture}));
  voce("Braked mass", numero(int64_t{s.treno.massa_frenata}) + " %");
  voce("Sand", numero(int64_t{s.treno.sabbia}));
  voce("Clock", numero(int64_t{s.treno.orologio[0]}) + " " + numero(int64_t{s.treno.orologio[1]}) + " " +
                    numero(int64_t{s.treno.orologio[2]}));
  o += "</table><table class=\"fatti\">";
  voce("Scenery", numero(int64_t{s.linea.sfondi[0]}) + ", " + numero(int64_t{s.linea.sfondi[1]}) + ", " +
                      numero(int64_t{s.linea.sfondi[2]}));
  voce("Signal repetition", numero(int64_t{s.treno.ripetizione_inizio}) + ", " +
                                numero(int64_t{s.treno.ripetizione_fine}) + ", " +
                                numero(int64_t{s.treno.ripetizione_codici}));
  const codici_scenario& k = s.codici;
  voce("Format numbers", "scenario file " + numero(int64_t{k.formato_scenario}) + ", route file " +
                             numero(int64_t{k.formato_percorso}) + verifica(k.formati_giusti));
  voce("Code st", numero(int64_t{k.st}) + verifica(k.st_giusto) +
                      (k.st_giusto ? std::string() : " (expected " + numero(int64_t{k.st_atteso}) + ")"));
  voce("Code og", numero(int64_t{k.og}) + verifica(k.og_giusto) +
                      (k.og_giusto ? std::string() : " (expected " + numero(int64_t{k.og_atteso}) + ")"));
  voce("Features", caratteristiche_contate(s, org));
  o += "</table></div>";

  sezione_esito(o, org);
  o += "</header>";
}

// ---------------------------------------------------------------- problems in the drawings

// Every message that names a route position, with its index in the messages table.
std::vector<std::pair<std::size_t, const diagnostico*>> problemi_situati(const origine_rapporto& org) {
  std::vector<std::pair<std::size_t, const diagnostico*>> r;
  if (!org.esito) return r;
  for (std::size_t i = 0; i < org.esito->messaggi.size(); ++i) {
    const diagnostico& d = org.esito->messaggi[i];
    if (d.posizione && d.tipo != gravita::nota) r.emplace_back(i, &d);
  }
  return r;
}

// A mark at (x, y): a diamond linked to the message's row, the message as its tooltip.
void segno_problema(std::string& o, const origine_rapporto& org, std::size_t i, const diagnostico& d, double x, double y) {
  const diagnostico_mostrato m = mostra(d, org.esito->file);
  std::string dove = m.file;
  if (m.inizio.riga > 0) dove += ":" + std::to_string(m.inizio.riga);
  o += std::string("<a class=\"problema ") + (d.tipo == gravita::errore ? "errore" : "avviso") +
       "\" href=\"#messaggio-" + std::to_string(i) + "\"><path d=\"M" + n1(x) + " " + n1(y - 6) + " l6 6 l-6 6 l-6 -6 z\">" +
       titolo(html_testo(dove) + (d.tipo == gravita::errore ? ": error: " : ": warning: ") +
              html_testo(corpo_messaggio(d, org.esito->file)) + " (at " + metri(*d.posizione) + ")") +
       "</path></a>";
}

// The marks along a profile, at its top.
void problemi_profilo(std::string& o, const origine_rapporto& org, const asse_progressiva& a, double y) {
  o += "<g class=\"problemi\">";
  for (const auto& [i, d] : problemi_situati(org)) segno_problema(o, org, i, *d, a.x(*d->posizione), y);
  o += "</g>";
}

// ---------------------------------------------------------------- plan view

// No plan wider than this is drawn, and beyond it from the origin the grid
// counts from the plan's first row: a thousand times the longest route, so
// every coordinate the page writes stays exact to well under a centimetre.
constexpr double metri_massimi_pianta = 1e9;
// The track is written in metres to the centimetre: the simplification
// leaves that much of the bound to the rounding (half a centimetre a component).
constexpr double arrotondamento_pianta = 0.01;
// Names by a station on the plan, in characters, and the width of one.
constexpr std::size_t nome_massimo_pianta = 24;
constexpr double larghezza_carattere = 7.5;

struct riga_pianta {
  int64_t metro;
  punto_piano p;  // metres from the plan's first row
};

struct pianta_letta {
  std::vector<riga_pianta> righe;
  punto_piano origine;  // the first row as stored
  std::string difetto;  // why the plan cannot be drawn; empty when it can
};

// The line file as the note about it names it.
std::string file_linea(const origine_rapporto& org) {
  for (const std::string& f : org.file) {
    if (f.ends_with(fine_nome_file_linea)) return f;
  }
  return "the line file";
}

// The element of a row's component as the decoder counts them: every east
// component, then every north one.
std::string elemento(const tracciato_piano& t, int64_t riga, bool est) {
  const int64_t n = est ? riga : int64_t{t.ultima_riga()} + 1 + riga;
  return "element " + std::to_string(n) + " (row " + std::to_string(riga) + ", " + (est ? "east" : "north") + ")";
}

// The rows that hold a point, from the first; refused, naming the element,
// when a coordinate is not finite or lies too far to draw to the metre.
pianta_letta leggi_pianta(const tracciato_piano& t, const std::string& file) {
  pianta_letta r;
  const int64_t ultima = t.ultima_riga();
  r.righe.reserve(static_cast<std::size_t>(ultima + 1));
  for (int64_t riga = 0; riga <= ultima; ++riga) {
    if (t.tipo(riga) == tipo_elemento::vuoto) continue;
    const double x = t.x(riga), y = t.y(riga);
    for (const bool est : {true, false}) {
      const double v = est ? x : y;
      if (std::isfinite(v)) continue;
      r.difetto = file + ": " + elemento(t, riga, est) + (std::isnan(v) ? " is not a number" : " is infinite");
      r.righe.clear();
      return r;
    }
    if (r.righe.empty()) r.origine = {x, y};
    const punto_piano p{x - r.origine.x, y - r.origine.y};
    for (const bool est : {true, false}) {
      if (!(std::abs(est ? p.x : p.y) <= metri_massimi_pianta)) {
        r.difetto = file + ": " + elemento(t, riga, est) + " lies more than " +
                    numero(metri_massimi_pianta / 1000, 0) + " km from the first row of the plan";
        r.righe.clear();
        return r;
      }
    }
    r.righe.push_back({riga, p});
  }
  return r;
}

// Metres from the plan's first row to drawing units, north up.
struct geometria_pianta {
  double cx = 0, cy = 0;            // the centre of the frame, metres
  double w_mondo = 1, h_mondo = 1;  // the frame, metres
  double scala = 1;                 // drawing units per metre
  double ox = 0, oy = 0;            // the centre in drawing units
  double X(double x) const { return ox + (x - cx) * scala; }
  double Y(double y) const { return oy - (y - cy) * scala; }
};

geometria_pianta misura_pianta(const std::vector<riga_pianta>& righe) {
  double x_min = righe[0].p.x, x_max = x_min, y_min = righe[0].p.y, y_max = y_min;
  for (const riga_pianta& r : righe) {
    x_min = std::min(x_min, r.p.x);
    x_max = std::max(x_max, r.p.x);
    y_min = std::min(y_min, r.p.y);
    y_max = std::max(y_max, r.p.y);
  }
  geometria_pianta g;
  const double ampiezza = std::max({x_max - x_min, y_max - y_min, 100.0});
  // at least the square around the track, so a straight line still shows to scale
  g.cx = (x_min + x_max) / 2;
  g.cy = (y_min + y_max) / 2;
  g.w_mondo = std::max(x_max - x_min, ampiezza * 0.2) * 1.08;
  g.h_mondo = std::max(y_max - y_min, ampiezza * 0.2) * 1.08;
  g.scala = std::min((larghezza - 2 * margine_sinistro) / g.w_mondo, 680 / g.h_mondo);
  g.ox = larghezza / 2;
  g.oy = 20 + g.h_mondo * g.scala / 2;
  return g;
}

// The grid lines of one axis: multiples of passo from zero (metres from the
// first row), at most a page's worth.
void linee_griglia(std::string& o, const geometria_pianta& g, bool est, double zero, double passo, int decimali) {
  const double centro = est ? g.cx : g.cy, meta = (est ? g.w_mondo : g.h_mondo) / 2;
  const double primo = std::ceil((centro - meta - zero) / passo), ultimo = std::floor((centro + meta - zero) / passo);
  const double fx0 = g.X(g.cx - g.w_mondo / 2), fx1 = g.X(g.cx + g.w_mondo / 2);
  const double fy0 = g.Y(g.cy + g.h_mondo / 2), fy1 = g.Y(g.cy - g.h_mondo / 2);
  constexpr int linee_massime = 40;
  for (int k = 0; k < linee_massime && primo + k <= ultimo; ++k) {
    const double n = (primo + k) * passo, v = zero + n;
    const std::string etichetta = numero(n / 1000, decimali);
    if (est) {
      o += "<line class=\"griglia\" x1=\"" + n1(g.X(v)) + "\" y1=\"" + n1(fy0) + "\" x2=\"" + n1(g.X(v)) +
           "\" y2=\"" + n1(fy1) + "\"/><text x=\"" + n1(g.X(v)) + "\" y=\"" + n1(fy1 + 13) +
           "\" text-anchor=\"middle\">" + etichetta + "</text>";
    } else {
      o += "<line class=\"griglia\" x1=\"" + n1(fx0) + "\" y1=\"" + n1(g.Y(v)) + "\" x2=\"" + n1(fx1) + "\" y2=\"" +
           n1(g.Y(v)) + "\"/><text x=\"" + n1(fx0 - 4) + "\" y=\"" + n1(g.Y(v) + 4) + "\" text-anchor=\"end\">" +
           etichetta + "</text>";
    }
  }
}

// The frame with east and north in km, and the north arrow beside it.
void cornice_pianta(std::string& o, const geometria_pianta& g, const punto_piano& origine) {
  const double fx0 = g.X(g.cx - g.w_mondo / 2), fx1 = g.X(g.cx + g.w_mondo / 2);
  const double fy0 = g.Y(g.cy + g.h_mondo / 2), fy1 = g.Y(g.cy - g.h_mondo / 2);
  o += "<g class=\"asse\"><rect class=\"cornice\" x=\"" + n1(fx0) + "\" y=\"" + n1(fy0) + "\" width=\"" +
       n1(fx1 - fx0) + "\" height=\"" + n1(fy1 - fy0) + "\"/>";
  const double passo = passo_tondo(std::max(g.w_mondo, g.h_mondo) / 8);
  const int decimali = passo < 1000 ? (passo < 100 ? 2 : 1) : 0;
  // far from the origin the labels count from the first row, which the axis names
  const bool assolute = std::abs(origine.x) <= metri_massimi_pianta && std::abs(origine.y) <= metri_massimi_pianta;
  linee_griglia(o, g, true, assolute ? -origine.x : 0, passo, decimali);
  linee_griglia(o, g, false, assolute ? -origine.y : 0, passo, decimali);
  const std::string da_x = assolute ? "" : " from " + numero_esatto(origine.x) + " m";
  const std::string da_y = assolute ? "" : " from " + numero_esatto(origine.y) + " m";
  o += "<text x=\"" + n1(fx1) + "\" y=\"" + n1(fy1 + 26) + "\" text-anchor=\"end\">east, km" + da_x + "</text>";
  o += "<text x=\"" + n1(fx0 - 4) + "\" y=\"" + n1(fy0 - 6) + "\" text-anchor=\"end\">north, km" + da_y + "</text>";
  const double nx = fx1 + 24, ny = fy0 + 2;  // outside the frame, clear of the track
  o += "<g class=\"nord\"><title>north is up</title><path d=\"M" + n1(nx) + " " + n1(ny) + " l-7 22 l7 -6 l7 6 z\"/>"
       "<text x=\"" + n1(nx) + "\" y=\"" + n1(ny + 36) + "\" text-anchor=\"middle\">N</text></g></g>";
}

// A simplified stretch of track: its points in metres from the first row to
// the centimetre, placed on the drawing by the path's own transform.
std::string tracciato_svg(const char* classe, const std::vector<riga_pianta>& righe,
                          const std::vector<std::size_t>& indici, const geometria_pianta& g) {
  std::string d;
  d.reserve(indici.size() * 24);
  for (const std::size_t i : indici) {
    if (i >= righe.size()) continue;
    d += d.empty() ? "M" : " L";
    d += numero(righe[i].p.x, 2);
    d += ' ';
    d += numero(righe[i].p.y, 2);
  }
  const double s = g.scala;
  return std::string("<path class=\"") + classe + "\" transform=\"matrix(" + numero_esatto(s) + " 0 0 " +
         numero_esatto(-s) + " " + numero_esatto(g.X(0)) + " " + numero_esatto(g.Y(0)) + ")\" d=\"" + d + "\">";
}

// A point on the track at a chainage, and the unit normal there.
bool punto_a(const std::vector<riga_pianta>& righe, int64_t metro, punto_piano& p, punto_piano& nrm) {
  const auto it = std::lower_bound(righe.begin(), righe.end(), metro,
                                   [](const riga_pianta& r, int64_t v) { return r.metro < v; });
  if (it == righe.end()) return false;
  const std::size_t i = static_cast<std::size_t>(it - righe.begin());
  p = righe[i].p;
  const punto_piano& a = righe[i > 0 ? i - 1 : i].p;
  const punto_piano& b = righe[i + 1 < righe.size() ? i + 1 : i].p;
  const double dx = b.x - a.x, dy = b.y - a.y, l = std::hypot(dx, dy);
  nrm = l > 0 ? punto_piano{dy / l, -dx / l} : punto_piano{1, 0};
  return true;
}

// A label's box on the drawing, to keep labels apart.
struct riquadro {
  double x0, y0, x1, y1;
  bool tocca(const riquadro& b) const { return x0 < b.x1 && b.x0 < x1 && y0 < b.y1 && b.y0 < y1; }
};

// A stretch of the route over which the chainage runs on from one kilometric reference.
struct tratto_progressiva {
  double da = 0, a = 0;  // route metres
  double km_da = 0;      // chainage at da, metres
  double verso = 1;      // +1 rising, -1 falling
};

// The chainage along the route from the kilometric references in use (route
// metres where there are none). The stored offset of a falling reference holds 100 m more.
std::vector<tratto_progressiva> tratti_progressiva(const contenuto_scenario& s, double fine) {
  std::vector<const progressiva*> usate;
  for (const progressiva& v : s.progressive) {
    if (v.inizio != 0 || v.scostamento != 0 || v.verso != 0) usate.push_back(&v);
  }
  std::sort(usate.begin(), usate.end(), [](auto* x, auto* y) { return x->inizio < y->inizio; });
  std::vector<tratto_progressiva> r;
  if (usate.empty() || usate.front()->inizio > 0) r.push_back({0, usate.empty() ? fine : usate.front()->inizio, 0, 1});
  for (std::size_t i = 0; i < usate.size(); ++i) {
    const progressiva& v = *usate[i];
    const double a = i + 1 < usate.size() ? usate[i + 1]->inizio : fine;
    r.push_back({static_cast<double>(v.inizio), a, static_cast<double>(v.scostamento) - (v.verso != 0 ? 100 : 0),
                 v.verso != 0 ? -1.0 : 1.0});
  }
  return r;
}

// Kilometre ticks along the track at whole chainage steps, about 30 at most.
void chilometri_pianta(std::string& o, const std::vector<riga_pianta>& righe, const geometria_pianta& g,
                       const contenuto_scenario& s, std::vector<riquadro>& presi) {
  const double lunghezza = std::max(0.0, static_cast<double>(s.lunghezza));
  const double passo_km = std::max(1000.0, passo_tondo(lunghezza / 30));
  o += "<g class=\"km\">";
  int disegnate = 0;
  for (const tratto_progressiva& t : tratti_progressiva(s, lunghezza)) {
    const double km_a = t.km_da + t.verso * (std::min(t.a, lunghezza) - t.da);
    const double basso = std::min(t.km_da, km_a), alto = std::max(t.km_da, km_a);
    for (double k = std::ceil(basso / passo_km) * passo_km; k <= alto && disegnate < 64; k += passo_km) {
      const double metro = t.da + (k - t.km_da) * t.verso;
      if (metro >= t.a && t.a < lunghezza) continue;  // the next stretch's own
      punto_piano p, nrm;
      if (metro <= 0 || !punto_a(righe, static_cast<int64_t>(std::llround(metro)), p, nrm)) continue;
      ++disegnate;
      const double x = g.X(p.x), y = g.Y(p.y), ux = nrm.x, uy = -nrm.y;
      const double cifre = 6.0 * static_cast<double>(numero(k / 1000, 0).size());
      presi.push_back({x - ux * 14 - cifre / 2, y - uy * 14 - 6, x - ux * 14 + cifre / 2, y - uy * 14 + 4});
      o += "<g><title>km " + numero(k / 1000, 0) + " of the line: " + metri(static_cast<int64_t>(std::llround(metro))) +
           " from the route start</title><line x1=\"" + n1(x - ux * 5) + "\" y1=\"" + n1(y - uy * 5) + "\" x2=\"" +
           n1(x + ux * 5) + "\" y2=\"" + n1(y + uy * 5) + "\"/><text x=\"" + n1(x - ux * 14) + "\" y=\"" +
           n1(y - uy * 14 + 3) + "\" text-anchor=\"middle\">" + numero(k / 1000, 0) + "</text></g>";
    }
  }
  o += "</g>";
}

// The track from route metre da to a as a drawing path, at most about 200 points.
std::string lungo_binario(const std::vector<riga_pianta>& righe, const geometria_pianta& g, double da, double a) {
  std::string d;
  const double passo = std::max(1.0, (a - da) / 200);
  for (double m = da;; m = std::min(a, m + passo)) {
    punto_piano p, nrm;
    if (!punto_a(righe, static_cast<int64_t>(std::llround(m)), p, nrm)) break;
    d += (d.empty() ? "M" : " L") + n1(g.X(p.x)) + " " + n1(g.Y(p.y));
    if (m >= a) break;
  }
  return d;
}

// What the author laid along the track: mountain stretches and slowdowns as
// bands beside it, boards as small marks, each with its values as a tooltip.
void tratti_pianta(std::string& o, const std::vector<riga_pianta>& righe, const geometria_pianta& g,
                   const contenuto_scenario& s) {
  for (const tratto& t : s.montagne) {
    const std::string d = lungo_binario(righe, g, t.da, t.a);
    if (d.empty()) continue;
    o += "<path class=\"pianta-montagna\" d=\"" + d + "\">" +
         titolo("mountain stretch, type " + numero(int64_t{t.valore}) + "&#10;" + metri(t.da) + " to " + metri(t.a)) +
         "</path>";
  }
  for (const rallentamento& r : s.rallentamenti) {
    const std::string d = lungo_binario(righe, g, r.inizio, r.fine.value_or(r.inizio + lunghezza_cella.valore()));
    if (!d.empty()) o += "<path class=\"pianta-rallentamento\" d=\"" + d + "\">" + titolo(descrivi(i_rallentamenti, r)) + "</path>";
  }
  const auto segno = [&](int32_t metro, const char* classe, const std::string& testo) {
    punto_piano p, nrm;
    if (!punto_a(righe, metro, p, nrm)) return;
    o += std::string("<circle class=\"") + classe + "\" cx=\"" + n1(g.X(p.x)) + "\" cy=\"" + n1(g.Y(p.y)) + "\" r=\"2.5\">" +
         titolo(testo) + "</circle>";
  };
  for (const indicatori& e : s.indicatori_velocita) segno(e.metri, "pianta-indicatori", descrivi(gli_indicatori, e));
  for (const cartello& e : s.cartelli) segno(e.metri, "pianta-cartello", descrivi(i_cartelli, e));
}

// Signals and stations on the track; names cut short and kept on the drawing.
// Where a station's name goes: the first place, further out from the track
// on alternate sides, that no earlier label and no km figure takes.
struct posto_etichetta {
  double tx, ty;
  bool avanti;
};

posto_etichetta posto_nome(double x, double y, const punto_piano& nrm, double lungo, std::size_t i,
                           std::vector<riquadro>& presi) {
  posto_etichetta primo{};
  for (int prova = 0; prova < 8; ++prova) {
    const double lato = ((i + static_cast<std::size_t>(prova)) % 2 == 0) ? 1 : -1;
    const double scarto = 12 + 12 * (prova / 2);
    const double tx = x + nrm.x * scarto * lato, ty = y - nrm.y * scarto * lato + 4;
    // the side the track leaves it, unless the label would run off the drawing there
    bool avanti = nrm.x * lato >= 0;
    if (avanti && tx + lungo > larghezza - 4) avanti = false;
    if (!avanti && tx - lungo < 4) avanti = true;
    const posto_etichetta qui{tx, ty, avanti};
    if (prova == 0) primo = qui;
    const riquadro r{avanti ? tx : tx - lungo, ty - 10, avanti ? tx + lungo : tx, ty + 3};
    if (std::none_of(presi.begin(), presi.end(), [&](const riquadro& b) { return r.tocca(b); })) {
      presi.push_back(r);
      return qui;
    }
  }
  return primo;  // crowded everywhere: the usual place
}

// Signals and stations on the track; names cut short, kept on the drawing and apart.
void segni_pianta(std::string& o, const std::vector<riga_pianta>& righe, const geometria_pianta& g,
                  const contenuto_scenario& s, std::vector<riquadro>& presi) {
  for (const segnale& e : s.segnali) {
    punto_piano p, nrm;
    if (!punto_a(righe, e.metri, p, nrm)) continue;
    o += "<rect class=\"pianta-segnale\" x=\"" + n1(g.X(p.x) - 2) + "\" y=\"" + n1(g.Y(p.y) - 2) +
         "\" width=\"4\" height=\"4\">" + titolo(descrivi(i_segnali, e)) + "</rect>";
  }
  for (std::size_t i = 0; i < s.stazioni.size(); ++i) {
    const stazione& v = s.stazioni[i];
    punto_piano p, nrm;
    if (!punto_a(righe, v.posizione, p, nrm)) continue;
    const double x = g.X(p.x), y = g.Y(p.y);
    const double lungo = larghezza_carattere * static_cast<double>(std::min(v.nome.size(), nome_massimo_pianta));
    const posto_etichetta e = posto_nome(x, y, nrm, lungo, i, presi);
    o += "<g class=\"pianta-stazione\">" + titolo(descrivi(le_stazioni, v)) + "<circle cx=\"" + n1(x) + "\" cy=\"" +
         n1(y) + "\" r=\"4.5\"/><text x=\"" + n1(e.tx) + "\" y=\"" + n1(e.ty) + "\" text-anchor=\"" +
         (e.avanti ? "start" : "end") + "\"" + nome_svg(v.nome, nome_massimo_pianta, lungo) + "</text></g>";
  }
}

// The scale bar under the frame.
void barra_scala(std::string& o, const geometria_pianta& g) {
  const double barra = passo_tondo(g.w_mondo / 10);
  const double bx = g.X(g.cx - g.w_mondo / 2), by = g.Y(g.cy - g.h_mondo / 2) + 46;
  const double mezza = barra * g.scala / 2;
  o += "<g class=\"scala\"><title>scale: the bar is " + metri(static_cast<int64_t>(barra)) + "</title><rect x=\"" +
       n1(bx) + "\" y=\"" + n1(by - 4) + "\" width=\"" + n1(mezza) + "\" height=\"4\"/><rect class=\"vuoto\" x=\"" +
       n1(bx + mezza) + "\" y=\"" + n1(by - 4) + "\" width=\"" + n1(mezza) + "\" height=\"4\"/><text x=\"" + n1(bx) +
       "\" y=\"" + n1(by - 8) + "\">0</text><text x=\"" + n1(bx + barra * g.scala) + "\" y=\"" + n1(by - 8) +
       "\" text-anchor=\"middle\">" +
       (barra >= 1000 ? chilometri(barra, barra >= 10000 ? 0 : 1) : metri(static_cast<int64_t>(barra))) +
       "</text></g>";
}

// The kept points of the line proper and, beyond its end, of the run-out the
// route carries: simplified apart so the line's last metre stays a kept point.
std::pair<std::vector<std::size_t>, std::vector<std::size_t>> semplifica_pianta(const std::vector<riga_pianta>& righe,
                                                                                int64_t lunghezza) {
  std::vector<punto_piano> punti;
  punti.reserve(righe.size());
  for (const riga_pianta& r : righe) punti.push_back(r.p);
  std::size_t fine_linea = 0;
  while (fine_linea + 1 < righe.size() && righe[fine_linea + 1].metro <= lunghezza) ++fine_linea;
  const auto inizio = punti.begin();
  const double limite = tolleranza_pianta - arrotondamento_pianta;
  std::vector<std::size_t> tenuti = semplifica({inizio, inizio + static_cast<std::ptrdiff_t>(fine_linea) + 1}, limite);
  std::vector<std::size_t> oltre;
  if (fine_linea + 1 < righe.size()) {
    for (const std::size_t i : semplifica({inizio + static_cast<std::ptrdiff_t>(fine_linea), punti.end()}, limite)) {
      oltre.push_back(i + fine_linea);
    }
  }
  return {std::move(tenuti), std::move(oltre)};
}

void pianta(std::string& o, const modello& m, const contenuto_scenario& s, const origine_rapporto& org) {
  o += "<section class=\"pannello\" id=\"pianta\"><h2>Plan view</h2>";
  pianta_letta letta;
  if (m.tracciato.esiste() && !org.senza_linea) letta = leggi_pianta(m.tracciato, file_linea(org));
  const std::vector<riga_pianta>& righe = letta.righe;
  if (!letta.difetto.empty()) {
    o += "<p class=\"assente\">The track plan cannot be drawn: " + html_testo(letta.difetto) + ".</p></section>";
    return;
  }
  if (righe.size() < 2) {
    o += "<p class=\"assente\">No plan view: ";
    o += org.senza_linea ? "no line file read (--senza-linea), so there is no track plan."
                         : "the compiled files hold no track plan.";
    o += "</p></section>";
    return;
  }
  const auto [tenuti, oltre] = semplifica_pianta(righe, s.lunghezza);
  const geometria_pianta g = misura_pianta(righe);
  const double altezza = g.h_mondo * g.scala + 92;  // room below for the axis and the scale bar
  o += "<svg class=\"pianta\" viewBox=\"0 0 " + n1(larghezza) + " " + n1(altezza) +
       "\" role=\"img\" aria-label=\"plan view of the track\">";
  cornice_pianta(o, g, letta.origine);
  tratti_pianta(o, righe, g, s);  // under the track
  o += tracciato_svg("binario", righe, tenuti, g) +
       titolo("track, " + numero(int64_t{static_cast<int64_t>(tenuti.size())}) + " of " +
              numero(int64_t{static_cast<int64_t>(righe.size())}) + " points drawn, within " +
              numero(tolleranza_pianta, 1) + " m of the track plan") +
       "</path>";
  if (!oltre.empty()) o += tracciato_svg("oltre", righe, oltre, g) + titolo("beyond the end of the line") + "</path>";
  std::vector<riquadro> presi;  // labels placed so far
  chilometri_pianta(o, righe, g, s, presi);
  segni_pianta(o, righe, g, s, presi);
  o += "<g class=\"problemi\">";
  for (const auto& [i, d] : problemi_situati(org)) {
    punto_piano p, nrm;
    if (punto_a(righe, *d->posizione, p, nrm)) segno_problema(o, org, i, *d, g.X(p.x), g.Y(p.y));
  }
  o += "</g>";
  barra_scala(o, g);
  o += "</svg><p class=\"nota\">Ctrl + wheel zooms the drawings, a drag moves them, a double click shows them "
       "whole. Drawn to scale, north up; the line is simplified so that it never strays more than " +
       numero(tolleranza_pianta, 0) + " m from the track plan (" +
       numero(int64_t{static_cast<int64_t>(tenuti.size())}) + " of " +
       numero(int64_t{static_cast<int64_t>(righe.size())}) +
       " points). Grey: the run-out beyond the end of the line. Beside the track: mountain stretches (tan) and "
       "slowdowns (red); purple dots: speed-indicator boards; open dots: sign boards.</p></section>";
}

// ---------------------------------------------------------------- profiles

// The runs within the first `fine` metres (the route reaches 7 km past the line).
std::vector<tratto> entro(const std::vector<tratto>& tratti, double fine) {
  std::vector<tratto> r;
  for (tratto t : tratti) {
    if (t.da >= fine) break;
    t.a = std::min(t.a, static_cast<int32_t>(fine));
    r.push_back(t);
  }
  return r;
}

double estensione_asse(const contenuto_scenario& s) {
  double fine = std::max(static_cast<double>(lunghezza_cella.valore()), static_cast<double>(s.lunghezza));
  for (const stazione& v : s.stazioni) fine = std::max(fine, static_cast<double>(std::max(v.fine, v.posizione)));
  for (const segnale& e : s.segnali) fine = std::max(fine, static_cast<double>(e.metri));
  for (const rallentamento& r : s.rallentamenti) {
    fine = std::max(fine, static_cast<double>(r.fine.value_or(r.inizio)));
  }
  return fine;
}

// Altitude to drawing y in the altitude profile.
struct asse_quote {
  double q_min = 0, q_max = 1, alto = 24, basso = 200;
  double y(double v) const { return basso - (v - q_min) / (q_max - q_min) * (basso - alto); }
};

// The ground under the line, then each run as its own segment with its gradient.
void pendenze_svg(std::string& o, const std::vector<tratto>& pendenze, const std::vector<double>& quota,
                  const asse_progressiva& a, const asse_quote& aq, double lunghezza) {
  const double basso = aq.basso;
  const auto Y = [&aq](double v) { return aq.y(v); };
  std::string area = "M" + n1(a.x(0)) + " " + n1(basso);
  for (std::size_t i = 0; i < pendenze.size(); ++i) {
    const tratto& t = pendenze[i];
    const double m0 = static_cast<double>(t.da);
    const double m1 = std::min(static_cast<double>(t.a), a.fine);
    area += " L" + n1(a.x(m0)) + " " + n1(Y(quota[i])) + " L" + n1(a.x(m1)) + " " + n1(Y(quota[i + 1]));
  }
  area += " L" + n1(a.x(std::min(a.fine, lunghezza))) + " " + n1(basso) + " Z";
  o += "<path class=\"terreno\" d=\"" + area + "\"/>";
  double ultima_etichetta = -100;
  for (std::size_t i = 0; i < pendenze.size(); ++i) {
    const tratto& t = pendenze[i];
    const double m0 = static_cast<double>(t.da);
    const double m1 = std::min(static_cast<double>(t.a), a.fine);
    const double x0 = a.x(m0), x1 = a.x(m1), y0 = Y(quota[i]), y1 = Y(quota[i + 1]);
    const std::string segno = t.valore > 0 ? "+" : "";
    o += "<g class=\"pendenza\">" +
         titolo("gradient " + segno + numero(int64_t{t.valore}) + " &#8240;&#10;" + metri(static_cast<int64_t>(m0)) +
                " to " + metri(static_cast<int64_t>(m1)) + ", altitude " + numero(quota[i], 1) + " to " +
                numero(quota[i + 1], 1) + " m") +
         "<line x1=\"" + n1(x0) + "\" y1=\"" + n1(y0) + "\" x2=\"" + n1(x1) + "\" y2=\"" + n1(y1) + "\"/>";
    const double xm = (x0 + x1) / 2, ym = std::min(y0, y1) - 5;
    const std::string testo = segno + numero(int64_t{t.valore});
    if (x1 - x0 >= 26 && xm - ultima_etichetta >= 26) {
      ultima_etichetta = xm;
      o += "<text x=\"" + n1(xm) + "\" y=\"" + n1(ym) + "\" text-anchor=\"middle\">" + testo + "</text>";
    } else if (x1 - x0 >= 8 && xm - ultima_etichetta >= 11) {
      // too narrow for the figure across: written upright
      ultima_etichetta = xm;
      o += "<text transform=\"translate(" + n1(xm + 3.5) + " " + n1(ym) + ") rotate(-90)\">" + testo + "</text>";
    }
    o += "</g>";
  }
}

void profilo_altimetrico(std::string& o, const contenuto_scenario& s, const asse_progressiva& a,
                         const origine_rapporto& org) {
  o += "<section class=\"pannello\" id=\"altimetria\"><h2>Altitude profile</h2>";
  // altitude at each run's start, integrated from the cell gradients (per mille)
  const std::vector<tratto> pendenze = entro(s.pendenze, s.lunghezza > 0 ? std::min(a.fine, static_cast<double>(s.lunghezza)) : a.fine);
  std::vector<double> quota{0.0};
  double q = 0;
  for (const tratto& t : pendenze) {
    q += t.valore * 0.001 * (static_cast<double>(t.a) - t.da);
    quota.push_back(q);
  }
  const auto [pmin, pmax] = std::minmax_element(quota.begin(), quota.end());
  double q_min = *pmin, q_max = *pmax;
  if (q_max - q_min < 10) {
    q_min -= 5;
    q_max += 5;
  }
  const double passo_q = passo_tondo((q_max - q_min) / 5);
  q_min = std::floor(q_min / passo_q) * passo_q;
  q_max = std::ceil(q_max / passo_q) * passo_q;
  const asse_quote aq{q_min, q_max, 24, 200};
  const double alto = aq.alto, basso = aq.basso, altezza = 236;
  const auto Y = [&aq](double v) { return aq.y(v); };

  o += "<svg class=\"profilo\" viewBox=\"0 0 " + n1(larghezza) + " " + n1(altezza) + "\" role=\"img\">";
  for (const tratto& t : s.montagne) {
    const double x0 = a.x(static_cast<double>(t.da)), x1 = a.x(static_cast<double>(t.a));
    o += "<rect class=\"montagna\" x=\"" + n1(x0) + "\" y=\"" + n1(alto) + "\" width=\"" + n1(std::max(1.0, x1 - x0)) +
         "\" height=\"" + n1(basso - alto) + "\">" +
         titolo("mountain stretch, type " + numero(int64_t{t.valore}) + "&#10;" + metri(t.da) + " to " + metri(t.a)) +
         "</rect>";
  }
  o += "<g class=\"asse\">";
  const double linee = std::floor((q_max - q_min) / passo_q + 0.5);  // about 5: passo_q is a fifth at least
  for (int k = 0; k <= 20 && k <= linee; ++k) {
    const double v = q_min + k * passo_q;
    o += "<line class=\"griglia\" x1=\"" + n1(margine_sinistro) + "\" y1=\"" + n1(Y(v)) + "\" x2=\"" +
         n1(larghezza - margine_destro) + "\" y2=\"" + n1(Y(v)) + "\"/><text x=\"" + n1(margine_sinistro - 4) +
         "\" y=\"" + n1(Y(v) + 4) + "\" text-anchor=\"end\">" + numero(v, passo_q < 1 ? 1 : 0) + "</text>";
  }
  o += "<text x=\"" + n1(margine_sinistro - 4) + "\" y=\"14\" text-anchor=\"end\">m</text></g>";
  tacche_progressiva(o, a, alto, basso);
  pendenze_svg(o, pendenze, quota, a, aq, static_cast<double>(s.lunghezza));
  problemi_profilo(o, org, a, alto + 8);
  o += "<line class=\"cursore\" x1=\"-10\" y1=\"" + n1(alto) + "\" x2=\"-10\" y2=\"" + n1(basso) + "\"/></svg>";
  o += "<p class=\"nota\">Altitude relative to the route start, integrated from the cell gradients; gradients in "
       "&#8240; on the segments; mountain stretches shaded.</p></section>";
}

// Stations as named bands; upright names pushed apart where stations crowd,
// each joined to its station by a leader.
void stazioni_profilo(std::string& o, const std::vector<stazione>& stazioni, const asse_progressiva& a, double alto,
                      double basso) {
  constexpr double passo_nomi = 11.5;
  std::vector<double> x_nome(stazioni.size());
  for (std::size_t i = 0; i < stazioni.size(); ++i) {
    x_nome[i] = a.x(stazioni[i].posizione);
    if (i > 0) x_nome[i] = std::max(x_nome[i], x_nome[i - 1] + passo_nomi);
  }
  for (std::size_t i = stazioni.size(); i-- > 0;) {
    const double limite = i + 1 < stazioni.size() ? x_nome[i + 1] - passo_nomi : larghezza - 8;
    x_nome[i] = std::min(x_nome[i], limite);
  }
  for (std::size_t i = 0; i < stazioni.size(); ++i) {
    const stazione& v = stazioni[i];
    const double x0 = a.x(v.inizio), x1 = a.x(v.fine), xp = a.x(v.posizione);
    const double y_nome = alto - 22;
    o += "<g class=\"stazione\">" + titolo(descrivi(le_stazioni, v)) + "<rect x=\"" + n1(std::min(x0, x1)) +
         "\" y=\"" + n1(alto) + "\" width=\"" + n1(std::max(2.0, std::abs(x1 - x0))) + "\" height=\"" +
         n1(basso - alto) + "\"/><path d=\"M" + n1(x_nome[i]) + " " + n1(y_nome + 3) + " L" + n1(xp) + " " +
         n1(alto - 4) + " L" + n1(xp) + " " + n1(basso) + "\"/><text transform=\"translate(" +
         n1(x_nome[i] + 3.5) + " " + n1(y_nome) + ") rotate(-90)\"" +
         nome_svg(v.nome, nome_massimo_profilo, spazio_nome_profilo) + "</text></g>";
  }
}

// Speed to drawing y in the speed profile.
struct asse_velocita {
  double v_max = 40, alto = 172, basso = 352;
  double y(double v) const { return basso - std::clamp(v, 0.0, v_max) / v_max * (basso - alto); }
};

// The line's limit at a position, km/h; 0 where none is set.
double limite_a(const std::vector<tratto>& limiti, int32_t metri) {
  for (const tratto& t : limiti) {
    if (metri >= t.da && metri < t.a) return t.valore;
  }
  return 0;
}

// The line speed limit as steps, and the slowdowns.
void limiti_profilo(std::string& o, const std::vector<tratto>& limiti, const std::vector<rallentamento>& rallentamenti,
                    const asse_progressiva& a, const asse_velocita& av) {
  const double alto = av.alto, basso = av.basso;
  const auto Y = [&av](double v) { return av.y(v); };
  std::string d;
  for (const tratto& t : limiti) {
    const double x0 = a.x(static_cast<double>(t.da));
    const double x1 = a.x(std::min(static_cast<double>(t.a), a.fine));
    d += (d.empty() ? "M" : " L") + n1(x0) + " " + n1(Y(t.valore)) + " L" + n1(x1) + " " + n1(Y(t.valore));
  }
  o += "<path class=\"limite\" d=\"" + d + "\"/>";
  for (const tratto& t : limiti) {
    const double x0 = a.x(static_cast<double>(t.da));
    const double x1 = a.x(std::min(static_cast<double>(t.a), a.fine));
    o += "<rect class=\"tratto-limite\" x=\"" + n1(x0) + "\" y=\"" + n1(Y(t.valore) - 4) + "\" width=\"" +
         n1(std::max(1.0, x1 - x0)) + "\" height=\"8\">" +
         titolo("line speed limit " + numero(int64_t{t.valore}) + " km/h&#10;" + metri(t.da) + " to " + metri(t.a)) +
         "</rect>";
  }
  for (const rallentamento& r : rallentamenti) {
    const double xi = a.x(static_cast<double>(r.inizio));
    const double xf = a.x(static_cast<double>(r.fine.value_or(r.inizio)));
    // a dip of the limit line down to the slowdown's speed; one above the limit only marks its stretch
    const double y_limite = Y(limite_a(limiti, r.inizio));
    const double y = std::max(Y(r.velocita), y_limite);
    o += "<g class=\"rallentamento\">" + titolo(descrivi(i_rallentamenti, r)) + "<rect x=\"" + n1(xi) + "\" y=\"" +
         n1(y_limite) + "\" width=\"" + n1(std::max(2.0, xf - xi)) + "\" height=\"" + n1(std::max(2.0, y - y_limite)) +
         "\"/><path class=\"fondo\" d=\"M" + n1(xi) + " " + n1(y_limite) + " V" + n1(y) + " H" + n1(std::max(xi + 2, xf)) +
         " V" + n1(y_limite) + "\"/>";
    if (r.avviso) {
      const double xa = a.x(static_cast<double>(*r.avviso));
      o += "<path class=\"avviso\" d=\"M" + n1(xa) + " " + n1(alto + 20) + " l-5 -9 h10 z M" + n1(xa) + " " +
           n1(alto + 20) + " L" + n1(xi) + " " + n1(y) + "\"/>";
    }
    o += "<text x=\"" + n1(xi) + "\" y=\"" + n1(std::min(y + 12, basso - 2)) + "\">" + numero(int64_t{r.velocita}) +
         "</text></g>";
  }
}

// Speed-indicator boards and speed-reduction points.
void segni_profilo(std::string& o, const contenuto_scenario& s, const asse_progressiva& a, const asse_velocita& av) {
  const double alto = av.alto, basso = av.basso;
  for (const indicatori& e : s.indicatori_velocita) {
    // each value holds a speed * 20 + a second speed / 5: the boards stand at rank A's speed
    const auto velocita = [](int16_t v) {
      const std::string prima = numero(int64_t{v / 20});
      return v % 20 == 0 ? prima : prima + "/" + numero(int64_t{v % 20 * 5});
    };
    const double x = a.x(static_cast<double>(e.metri));
    const double y = av.y(static_cast<double>(e.valore / 20));
    o += "<g class=\"indicatori\"><rect x=\"" + n1(x - 3) + "\" y=\"" + n1(y - 4) + "\" width=\"6\" height=\"8\">" +
         titolo("boards for ranks A, B, C: " + velocita(e.valore) + ", " + velocita(e.valore2) + ", " +
                velocita(e.valore3) + " km/h&#10;" + descrivi(gli_indicatori, e)) +
         "</rect><text x=\"" + n1(x + 4) + "\" y=\"" + n1(std::max(alto + 8, y - 5)) + "\">" + velocita(e.valore) +
         "</text></g>";
  }
  for (const punto_abbattimento& e : s.abbattimenti) {
    const double x = a.x(static_cast<double>(e.metri));
    o += "<path class=\"abbattimento\" d=\"M" + n1(x) + " " + n1(basso - 9) + " l-4 9 h8 z\">" +
         titolo(descrivi(gli_abbattimenti, e)) + "</path>";
  }
}

void profilo_velocita(std::string& o, const contenuto_scenario& s, const asse_progressiva& a, const origine_rapporto& org) {
  o += "<section class=\"pannello\" id=\"velocita\"><h2>Speed profile</h2>";
  double v_max = 40;
  const std::vector<tratto> limiti = entro(s.velocita_limite, a.fine);
  for (const tratto& t : limiti) v_max = std::max(v_max, static_cast<double>(t.valore));
  // a slowdown faster than the line is drawn at the limit: it never stretches the axis
  // tens or twenties for speeds a train runs at; past those about ten lines
  const double passo_v = v_max > 400 ? passo_tondo(v_max / 10) : (v_max > 100 ? 20 : 10);
  v_max = std::ceil(v_max / passo_v) * passo_v;
  const asse_velocita av{v_max, 172, 352};
  const double alto = av.alto, basso = av.basso, altezza = 388;
  const auto Y = [&av](double v) { return av.y(v); };

  o += "<svg class=\"profilo\" viewBox=\"0 0 " + n1(larghezza) + " " + n1(altezza) + "\" role=\"img\">";
  stazioni_profilo(o, s.stazioni, a, alto, basso);
  o += "<g class=\"asse\">";
  for (int k = 0; k <= 40 && k * passo_v <= v_max; ++k) {
    const double v = k * passo_v;
    o += "<line class=\"griglia\" x1=\"" + n1(margine_sinistro) + "\" y1=\"" + n1(Y(v)) + "\" x2=\"" +
         n1(larghezza - margine_destro) + "\" y2=\"" + n1(Y(v)) + "\"/><text x=\"" + n1(margine_sinistro - 4) +
         "\" y=\"" + n1(Y(v) + 4) + "\" text-anchor=\"end\">" + numero(v, 0) + "</text>";
  }
  o += "<text x=\"" + n1(margine_sinistro - 4) + "\" y=\"" + n1(alto - 6) + "\" text-anchor=\"end\">km/h</text></g>";
  tacche_progressiva(o, a, alto, basso);
  for (const segnale& e : s.segnali) {
    const double x = a.x(static_cast<double>(e.metri));
    o += "<line class=\"segnale\" x1=\"" + n1(x) + "\" y1=\"" + n1(alto) + "\" x2=\"" + n1(x) + "\" y2=\"" + n1(basso) +
         "\">" + titolo(descrivi(i_segnali, e)) + "</line>";
  }
  limiti_profilo(o, limiti, s.rallentamenti, a, av);
  segni_profilo(o, s, a, av);
  problemi_profilo(o, org, a, alto + 8);
  o += "<line class=\"cursore\" x1=\"-10\" y1=\"" + n1(alto) + "\" x2=\"-10\" y2=\"" + n1(basso) + "\"/></svg>";
  o += "<p class=\"nota\">Blue steps: line speed limit. Red: slowdowns, dips of the limit down to their speed "
       "from start to end; the triangle near the top is the warning point. Dark lines: signals; green bands: stations; triangles on the "
       "axis: speed-reduction points; purple squares: speed-indicator boards at their rank A speed.</p></section>";
}

// ---------------------------------------------------------------- tables

// Fields i to j (one label of the station table) as one cell of the timetable.
// The time is the departure, except at the last station, where the train arrives.
std::string cella_orario(std::size_t i, std::size_t j, const stazione& v, bool ultima) {
  const campo_contenuto<stazione, voce_tabella>& f = campi_stazione[i];
  if (f.unita == unita_campo::testo) {
    return "<td>" + nome_con_suggerimento(v.*std::get<std::string stazione::*>(f.membro), nome_massimo_tabella) +
           "</td>";
  }
  const int64_t x = numero_di(f.membro, v).value_or(0);
  switch (f.unita) {
    case unita_campo::ora:
      return "<td>" + (x != 0 ? std::string(ultima ? "arrival " : "departure ") + ora(x) : std::string("&ndash;")) + "</td>";
    case unita_campo::secondi: return "<td>" + (x > 0 ? numero(x) + " s" : std::string("no stop")) + "</td>";
    default: break;
  }
  // metres: a stretch, from to; numbers: a blank-separated list
  const bool tratto = f.unita == unita_campo::metri;
  std::string t;
  for (std::size_t k = i; k < j && k < campi_stazione.size(); ++k) {
    if (k > i) t += tratto ? " &ndash; " : " ";
    const int64_t y = numero_di(campi_stazione[k].membro, v).value_or(0);
    t += tratto ? metri(y) : numero(y);
  }
  return (j - i > 1 && !tratto ? "<td class=\"campi\">" : "<td>") + t + "</td>";
}

// A station's row of the timetable, walking the station table; the mark cell the timetable leaves out.
std::string celle_stazione(const stazione& v, bool ultima) {
  std::string o;
  std::size_t i = 0;
  while (i < campi_stazione.size()) {
    std::size_t j = i + 1;
    while (j < campi_stazione.size() && campi_stazione[j].elenco == campi_stazione[i].elenco) ++j;
    if (campi_stazione[i].unita != unita_campo::cella) o += cella_orario(i, j, v, ultima);
    i = j;
  }
  return o;
}

// A cell of a feature's table: fields i to j, one JSON key; texts cut short.
template <class C, class R, std::size_t N>
std::string cella_tabella(const std::array<campo_contenuto<C, R>, N>& campi, std::size_t i, std::size_t j,
                          const C& x) {
  if (const auto* t = std::get_if<std::string C::*>(&campi[i].membro)) {
    const std::string& testo = x.*(*t);
    return "<td class=\"testo\">" + (testo.empty() ? "&ndash;" : nome_con_suggerimento(testo, testo_massimo_cartello)) +
           "</td>";
  }
  return "<td>" + html_utf8(valore_mostrato(campi, i, j, x)) + "</td>";
}

// A feature's table, walking its fields: a column a JSON key.
template <class C, class R, std::size_t N, class V>
void tabella_html(std::string& o, const caratteristica<C, R, N>& k, const V& elenco, std::string_view id,
                  std::string_view titolo) {
  const auto colonne = [&k](auto&& fai) {
    for (std::size_t i = 0; i < N;) {
      std::size_t j = i + 1;
      while (j < N && k.campi[j].json == k.campi[i].json) ++j;
      if (!k.campi[i].json.empty()) fai(i, j);
      i = j;
    }
  };
  o += "<section class=\"pannello\" id=\"" + std::string(id) + "\"><h2>" + std::string(titolo) +
       "</h2><table class=\"dati\"><thead><tr>";
  std::size_t quante = 0;
  colonne([&](std::size_t i, std::size_t) {
    std::string nome(k.campi[i].json);
    std::replace(nome.begin(), nome.end(), '_', ' ');
    o += "<th>" + nome + "</th>";
    ++quante;
  });
  o += "</tr></thead><tbody>";
  for (const C& x : elenco) {
    o += "<tr class=\"riga\">";
    colonne([&](std::size_t i, std::size_t j) { o += cella_tabella(k.campi, i, j, x); });
    o += "</tr>";
  }
  if (elenco.empty()) o += "<tr><td colspan=\"" + numero(static_cast<int64_t>(quante)) + "\">none</td></tr>";
  o += "</tbody></table></section>";
}

void tabelle(std::string& o, const contenuto_scenario& s) {
  o += "<section class=\"pannello\" id=\"orario\"><h2>Timetable</h2><table class=\"dati\"><thead><tr>"
       "<th>#</th><th>station</th><th>position</th><th>stretch</th><th>type</th><th>scheduled</th><th>stop</th>"
       "<th title=\"station fields 4 to 12\">fields 4&ndash;12</th></tr></thead><tbody>";
  for (std::size_t i = 0; i < s.stazioni.size(); ++i) {
    o += "<tr class=\"riga-stazione\">" + celle_stazione(s.stazioni[i], i + 1 == s.stazioni.size()) + "</tr>";
  }
  o += "</tbody></table></section>";

  o += "<div class=\"affiancate\">";
  tabella_html(o, i_cartelli, s.cartelli, "cartelli", "Sign boards");
  o += "<section class=\"pannello\" id=\"progressive\"><h2>Kilometric references</h2><table class=\"dati\"><thead>"
       "<tr><th>record</th><th>from</th><th>chainage offset</th><th>direction</th></tr></thead><tbody>";
  for (const progressiva& v : s.progressive) {
    o += "<tr class=\"riga-progressiva\"><td>" + numero(int64_t{v.record}) + "</td>";
    if (v.inizio == 0 && v.scostamento == 0 && v.verso == 0) {
      o += "<td colspan=\"3\">not used</td></tr>";
      continue;
    }
    o += "<td>" + metri(v.inizio) + "</td><td>" + metri(v.scostamento) + " (km " + numero(v.scostamento / 1000.0, 3) +
         ")</td><td>" + (v.verso != 0 ? "falling" : "rising") + "</td></tr>";
  }
  o += "</tbody></table><h2>Adhesion</h2><table class=\"dati\"><thead><tr><th>from</th><th>to</th><th>value</th>"
       "</tr></thead><tbody>";
  for (const tratto& t : s.aderenze) {
    o += "<tr><td>" + metri(t.da) + "</td><td>" + metri(t.a) + "</td><td>" +
         numero(int64_t{t.valore}) + "</td></tr>";
  }
  o += "</tbody></table></section></div>";
}

constexpr std::string_view stile = R"(
@page { size: A4 landscape; margin: 8mm; }
* { box-sizing: border-box; }
body { font: 13px/1.35 "DejaVu Sans", "Liberation Sans", Arial, sans-serif; color: #1b1f24; background: #fff;
  margin: 0 auto; padding: 12px 18px; max-width: 1160px; }
h1 { font-size: 20px; margin: 0 0 2px; } h2 { font-size: 15px; margin: 10px 0 4px; }
.nome { color: #0b4f8a; } .sotto, .nota { color: #57606a; margin: 2px 0 6px; font-size: 12px; }
.fatti { display: flex; gap: 28px; flex-wrap: wrap; }
table { border-collapse: collapse; } th, td { padding: 2px 8px; text-align: left; vertical-align: top; }
table.fatti th { color: #57606a; font-weight: normal; }
table.dati { font-size: 12px; width: 100%; } table.dati thead th { border-bottom: 1px solid #8c959f; }
table.dati tbody tr:nth-child(even) { background: #f3f5f7; } td.campi { color: #57606a; font-size: 11px; }
td.testo { white-space: pre; font-family: "DejaVu Sans Mono", monospace; }
.ok { color: #1a7f37; } .ko { color: #cf222e; }
.esito table { font-size: 12px; } tr.principale td { font-weight: bold; } tr.di-avviso td { color: #9a6700; } tr.correlato td { color: #57606a; }
.pannello { break-inside: avoid; page-break-inside: avoid; }
.affiancate { display: flex; gap: 24px; } .affiancate > section { flex: 1; }
svg { width: 100%; height: auto; display: block; background: #fff; }
svg text { font-size: 11px; fill: #24292f; }
.asse text { fill: #57606a; } .griglia { stroke: #e1e4e8; stroke-width: 1; } .cornice { fill: none; stroke: #8c959f; }
.binario, .oltre { vector-effect: non-scaling-stroke; }
td, p, h1 { overflow-wrap: anywhere; }
.binario { fill: none; stroke: #24292f; stroke-width: 2.2; stroke-linejoin: round; }
.oltre { fill: none; stroke: #a0a7ae; stroke-width: 1.5; stroke-dasharray: 4 3; }
.km line { stroke: #24292f; stroke-width: 1.2; } .km text { font-size: 9px; fill: #57606a; }
.pianta-montagna { fill: none; stroke: #d4a373; stroke-width: 9; stroke-opacity: 0.55; stroke-linejoin: round; }
.pianta-rallentamento { fill: none; stroke: #cf222e; stroke-width: 6; stroke-opacity: 0.45; stroke-linejoin: round; }
.pianta-indicatori { fill: #8250df; } .pianta-cartello { fill: #fff; stroke: #0b4f8a; stroke-width: 1.2; }
.pianta-segnale { fill: #cf222e; } .pianta-stazione circle { fill: #2da44e; stroke: #fff; stroke-width: 1.5; }
.pianta-stazione text { font-weight: bold; fill: #116329; }
.nord path { fill: #24292f; } .nord text { font-weight: bold; fill: #24292f; }
.scala rect { fill: #24292f; } .scala rect.vuoto { fill: #fff; stroke: #24292f; }
.montagna { fill: #f5e6c8; } .terreno { fill: #e8eef4; }
.pendenza line { stroke: #0b4f8a; stroke-width: 2; } .pendenza text { font-size: 9.5px; fill: #0b4f8a; }
.stazione rect { fill: #2da44e; fill-opacity: 0.16; } .stazione path { fill: none; stroke: #2da44e; stroke-width: 1; stroke-dasharray: 2 2; }
.stazione text { font-size: 10px; font-weight: bold; fill: #116329; }
.segnale { stroke: #57606a; stroke-width: 1; stroke-opacity: 0.55; }
.limite { fill: none; stroke: #0969da; stroke-width: 2; } .tratto-limite { fill: transparent; }
.rallentamento rect { fill: #cf222e; fill-opacity: 0.22; stroke: none; }
.rallentamento .fondo { fill: none; stroke: #cf222e; stroke-width: 2; }
.rallentamento text { fill: #a40e26; font-weight: bold; font-size: 10px; }
.avviso { fill: #cf222e; stroke: #cf222e; stroke-width: 0.8; stroke-dasharray: 3 2; }
.abbattimento { fill: #bf8700; } .indicatori rect { fill: #8250df; } .indicatori text { font-size: 8.5px; fill: #8250df; }
.cursore { stroke: #fb8500; stroke-width: 1.2; pointer-events: none; }
#lettura { position: fixed; right: 10px; bottom: 10px; background: #fffbe6; border: 1px solid #d4a72c;
  padding: 2px 8px; font-size: 12px; display: none; }
.assente { padding: 24px; background: #f6f8fa; border: 1px dashed #8c959f; text-align: center; }
.evidenziato rect, rect.evidenziato { fill-opacity: 0.5; }
.problema path { stroke: #fff; stroke-width: 1.2; } .problema.errore path { fill: #cf222e; }
.problema.avviso path { fill: #d4a72c; } .nessun-problema { color: #1a7f37; }
tr.messaggio:target td { background: #fff8c5; }
@media print { body { padding: 0; max-width: none; } #lettura { display: none !important; } }
)";

// Linked hover: one cursor across both profiles, with the chainage it points at.
// The page reads the same without it.
constexpr std::string_view copione = R"(
(function () {
  var profili = document.querySelectorAll('svg.profilo');
  var lettura = document.getElementById('lettura');
  var fine = Number(document.body.getAttribute('data-fine'));
  var x0 = Number(document.body.getAttribute('data-x0')), x1 = Number(document.body.getAttribute('data-x1'));
  function sposta(x) {
    profili.forEach(function (s) {
      var c = s.querySelector('.cursore');
      if (c) { c.setAttribute('x1', x); c.setAttribute('x2', x); }
    });
  }
  profili.forEach(function (s) {
    s.addEventListener('mousemove', function (ev) {
      var r = s.getBoundingClientRect(), vb = s.viewBox.baseVal;
      var x = vb.x + (ev.clientX - r.left) / r.width * vb.width;
      if (x < x0 || x > x1) { lettura.style.display = 'none'; sposta(-10); return; }
      sposta(x);
      lettura.textContent = (fine * (x - x0) / (x1 - x0) / 1000).toFixed(3) + ' km';
      lettura.style.display = 'block';
    });
    s.addEventListener('mouseleave', function () { sposta(-10); lettura.style.display = 'none'; });
  });
  // zoom (Ctrl + wheel, or a pinch) and pan (drag) of the plan and the profiles;
  // the profiles zoom along the route only; a double click shows the whole again
  document.querySelectorAll('svg.pianta, svg.profilo').forEach(function (s) {
    var vb = s.viewBox.baseVal, base = [vb.x, vb.y, vb.width, vb.height], solo_x = s.classList.contains('profilo');
    function imposta(x, y, w, h) {
      vb.width = w; vb.height = h;
      vb.x = Math.min(Math.max(x, base[0]), base[0] + base[2] - w);
      vb.y = Math.min(Math.max(y, base[1]), base[1] + base[3] - h);
    }
    s.addEventListener('wheel', function (ev) {
      if (!ev.ctrlKey) return;
      ev.preventDefault();
      var r = s.getBoundingClientRect(), fx = (ev.clientX - r.left) / r.width, fy = (ev.clientY - r.top) / r.height;
      var w = Math.min(base[2], Math.max(base[2] / 64, vb.width * (ev.deltaY < 0 ? 0.8 : 1.25)));
      var h = solo_x ? base[3] : w * base[3] / base[2];
      imposta(vb.x + fx * (vb.width - w), solo_x ? base[1] : vb.y + fy * (vb.height - h), w, h);
    }, {passive: false});
    var presa = null;
    s.addEventListener('mousedown', function (ev) { presa = [ev.clientX, ev.clientY, vb.x, vb.y]; });
    window.addEventListener('mouseup', function () { presa = null; });
    s.addEventListener('mousemove', function (ev) {
      if (!presa || ev.buttons !== 1) return;
      var r = s.getBoundingClientRect();
      imposta(presa[2] - (ev.clientX - presa[0]) / r.width * vb.width,
              solo_x ? base[1] : presa[3] - (ev.clientY - presa[1]) / r.height * vb.height, vb.width, vb.height);
    });
    s.addEventListener('dblclick', function () { imposta(base[0], base[1], base[2], base[3]); });
  });
  // where each panel's drawing (or the panel) lies, for whoever checks the page
  var riquadri = [];
  document.querySelectorAll('.pannello').forEach(function (p) {
    var r = (p.querySelector('svg') || p).getBoundingClientRect();
    riquadri.push([p.id, Math.round(r.left), Math.round(r.top + window.scrollY), Math.round(r.width), Math.round(r.height)]);
  });
  document.body.setAttribute('data-riquadri', JSON.stringify(riquadri));
  // texts that run off their drawing, and how wide the page has grown
  var fuori = [];
  document.querySelectorAll('svg').forEach(function (s) {
    var r = s.getBoundingClientRect();
    s.querySelectorAll('text').forEach(function (t) {
      var b = t.getBoundingClientRect();
      if (b.left < r.left - 1 || b.right > r.right + 1 || b.top < r.top - 1 || b.bottom > r.bottom + 1) {
        fuori.push(t.textContent.slice(0, 40));
      }
    });
  });
  document.body.setAttribute('data-fuori', JSON.stringify(fuori));
  document.body.setAttribute('data-larghezza', document.documentElement.scrollWidth);
})();
)";

}  // namespace

std::string componi_rapporto_senza_percorso(const origine_rapporto& org) {
  std::string o = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>compile report</title><style>" +
                  std::string(stile) + "</style></head>\n<body>\n<header><h1>Compile report</h1><p class=\"sotto\">made by " +
                  html_utf8(org.programma) + "</p>";
  sezione_esito(o, org);
  o += "</header><main><p class=\"assente\">No route was compiled, so there is nothing to draw.</p></main></body></html>\n";
  return o;
}

std::string componi_rapporto(const modello& m, const contenuto_scenario& s, const origine_rapporto& org) {
  asse_progressiva a;
  a.fine = estensione_asse(s);
  std::string o;
  o.reserve(1 << 16);
  const std::string nome_linea = html_breve(s.linea.nome, nome_massimo_titolo);
  const std::string numero_treno = html_breve(s.treno.numero, nome_massimo_titolo);
  o += "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
       "<title>" + nome_linea + " " + numero_treno + ": route report</title><style>" + std::string(stile) +
       "</style></head>\n<body data-fine=\"" + numero(a.fine, 0) + "\" data-x0=\"" + n1(a.x(0)) + "\" data-x1=\"" +
       n1(a.x(a.fine)) + "\">\n";
  intestazione(o, s, org);
  o += "\n<main>";
  pianta(o, m, s, org);
  o += "\n";
  profilo_altimetrico(o, s, a, org);
  o += "\n";
  profilo_velocita(o, s, a, org);
  o += "\n";
  tabelle(o, s);
  o += "</main><div id=\"lettura\"></div>\n<script>" + std::string(copione) + "</script></body></html>\n";
  return o;
}

}  // namespace scenario::rapporto
