#include "tools/rapporto_html/rapporto.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "tools/rapporto_html/semplifica.hpp"
#include "tools/rapporto_html/testo_html.hpp"

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

// Chainage ticks along the bottom of a profile, with labels in km.
void tacche_progressiva(std::string& o, const asse_progressiva& a, double y_alto, double y_basso) {
  const double passo = passo_tondo(a.fine / 16);
  o += "<g class=\"asse\">";
  for (double p = 0; p <= a.fine + 0.5; p += passo) {
    const double x = a.x(p);
    o += "<line class=\"griglia\" x1=\"" + n1(x) + "\" y1=\"" + n1(y_alto) + "\" x2=\"" + n1(x) + "\" y2=\"" +
         n1(y_basso) + "\"/>";
    o += "<text x=\"" + n1(x) + "\" y=\"" + n1(y_basso + 13) + "\" text-anchor=\"middle\">" +
         numero(p / 1000, passo < 1000 ? 1 : 0) + "</text>";
  }
  o += "<text x=\"" + n1(larghezza - margine_destro) + "\" y=\"" + n1(y_basso + 26) +
       "\" text-anchor=\"end\">km from the route start</text></g>";
}

std::string descrivi_stazione(const stazione& v) {
  std::string t = html(v.nome) + " (record " + numero(int64_t{v.record}) + ")&#10;position " + metri(v.posizione) +
                  ", stretch " + metri(v.inizio) + " to " + metri(v.fine) + "&#10;type " + numero(int64_t{v.tipo});
  if (v.sosta > 0) {
    t += ", stop " + numero(int64_t{v.sosta}) + " s at " + ora(v.orario);
  } else if (v.orario != 0) {
    t += ", time " + ora(v.orario);
  } else {
    t += ", no stop";
  }
  return t;
}

std::string descrivi_segnale(const segnale& e) {
  return "signal at " + metri(e.metri) + ", cell " + numero(int64_t{e.cella}) + "&#10;values " +
         numero(int64_t{e.valori[0]}) + ", " + numero(int64_t{e.valori[1]}) + ", " + numero(int64_t{e.valori[2]}) +
         ", " + numero(int64_t{e.valori[3]}) + ", time " + numero(int64_t{e.tempo});
}

std::string descrivi_rallentamento(const rallentamento& r) {
  std::string t = "slowdown at " + numero(int64_t{r.velocita}) + " km/h&#10;from " + metri(r.inizio);
  t += r.fine ? " to " + metri(*r.fine) : std::string(", no end cell");
  if (r.avviso) t += "&#10;warning point at " + metri(*r.avviso);
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
      o += "<p>No messages.</p>";
    } else {
      o += "<table class=\"messaggi\"><tr><th>file</th><th>line</th><th>message</th></tr>";
      for (const messaggio_rapporto& x : e.messaggi) {
        o += std::string("<tr class=\"messaggio") + (x.principale ? " principale" : "") + (x.avviso ? " di-avviso" : "") +
             "\"><td>" +
             html_testo(x.file) + "</td><td>" + (x.riga > 0 ? numero(int64_t{x.riga}) : std::string()) +
             "</td><td>" + html_testo(x.testo) + "</td></tr>";
      }
      o += "</table>";
    }
    o += "</section>";
  }
}


void intestazione(std::string& o, const contenuto_scenario& s, const origine_rapporto& org) {
  const std::string nome_linea = html(s.linea.nome);
  const std::string numero_treno = html(s.treno.numero);
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
  voce("Cells", numero(int64_t{s.celle}) + " of 50 m");
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
  voce("Features", numero(int64_t{static_cast<int64_t>(s.stazioni.size())}) + " stations, " +
                       numero(int64_t{static_cast<int64_t>(s.segnali.size())}) + " signals, " +
                       numero(int64_t{static_cast<int64_t>(s.rallentamenti.size())}) + " slowdowns, " +
                       numero(int64_t{static_cast<int64_t>(s.abbattimenti.size())}) + " speed-reduction points");
  o += "</table></div>";

  sezione_esito(o, org);
  o += "</header>";
}

// ---------------------------------------------------------------- plan view

struct riga_pianta {
  int64_t metro;
  punto_piano p;
};

void pianta(std::string& o, const modello& m, const contenuto_scenario& s, const origine_rapporto& org) {
  o += "<section class=\"pannello\" id=\"pianta\"><h2>Plan view</h2>";
  std::vector<riga_pianta> righe;
  if (m.tracciato.esiste() && !org.senza_linea) {
    const int64_t ultima = m.tracciato.ultima_riga();
    righe.reserve(static_cast<std::size_t>(ultima + 1));
    for (int64_t r = 0; r <= ultima; ++r) {
      if (m.tracciato.tipo(r) != tipo_elemento::vuoto) righe.push_back({r, {m.tracciato.x(r), m.tracciato.y(r)}});
    }
  }
  if (righe.size() < 2) {
    o += "<p class=\"assente\">No plan view: ";
    o += org.senza_linea ? "no line file read (--senza-linea), so there is no track plan."
                         : "the compiled files hold no track plan.";
    o += "</p></section>";
    return;
  }
  // The line proper and, beyond its end, the run-out the route carries:
  // simplified apart so the line's last metre stays a kept point.
  const int64_t lunghezza = s.lunghezza;
  std::vector<punto_piano> punti;
  punti.reserve(righe.size());
  for (const riga_pianta& r : righe) punti.push_back(r.p);
  std::size_t fine_linea = 0;
  while (fine_linea + 1 < righe.size() && righe[fine_linea + 1].metro <= lunghezza) ++fine_linea;
  std::vector<std::size_t> tenuti = semplifica({punti.begin(), punti.begin() + static_cast<std::ptrdiff_t>(fine_linea) + 1},
                                               tolleranza_pianta);
  std::vector<std::size_t> tenuti_oltre;
  if (fine_linea + 1 < righe.size()) {
    for (const std::size_t i :
         semplifica({punti.begin() + static_cast<std::ptrdiff_t>(fine_linea), punti.end()}, tolleranza_pianta)) {
      tenuti_oltre.push_back(i + fine_linea);
    }
  }

  double x_min = punti[0].x, x_max = x_min, y_min = punti[0].y, y_max = y_min;
  for (const punto_piano& p : punti) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
    x_min = std::min(x_min, p.x);
    x_max = std::max(x_max, p.x);
    y_min = std::min(y_min, p.y);
    y_max = std::max(y_max, p.y);
  }
  const double ampiezza = std::max({x_max - x_min, y_max - y_min, 100.0});
  // at least the square around the track, so a straight line still shows to scale
  const double cx = (x_min + x_max) / 2, cy = (y_min + y_max) / 2;
  const double w_mondo = std::max(x_max - x_min, ampiezza * 0.2) * 1.08;
  const double h_mondo = std::max(y_max - y_min, ampiezza * 0.2) * 1.08;
  const double area_w = larghezza - 2 * margine_sinistro, area_h = 680;
  const double scala = std::min(area_w / w_mondo, area_h / h_mondo);  // drawing units per metre
  const double altezza = h_mondo * scala + 92;  // room below for the axis and the scale bar
  const double ox = larghezza / 2, oy = 20 + h_mondo * scala / 2;
  const auto X = [&](double x) { return ox + (x - cx) * scala; };
  const auto Y = [&](double y) { return oy - (y - cy) * scala; };

  o += "<svg class=\"pianta\" viewBox=\"0 0 " + n1(larghezza) + " " + n1(altezza) +
       "\" role=\"img\" aria-label=\"plan view of the track\">";
  // north-up axes: a frame with east and north coordinates in km
  const double fx0 = X(cx - w_mondo / 2), fx1 = X(cx + w_mondo / 2), fy0 = Y(cy + h_mondo / 2),
               fy1 = Y(cy - h_mondo / 2);
  o += "<g class=\"asse\"><rect class=\"cornice\" x=\"" + n1(fx0) + "\" y=\"" + n1(fy0) + "\" width=\"" +
       n1(fx1 - fx0) + "\" height=\"" + n1(fy1 - fy0) + "\"/>";
  const double passo = passo_tondo(std::max(w_mondo, h_mondo) / 8);
  const int decimali = passo < 1000 ? (passo < 100 ? 2 : 1) : 0;
  for (double e = std::ceil((cx - w_mondo / 2) / passo) * passo; e <= cx + w_mondo / 2; e += passo) {
    o += "<line class=\"griglia\" x1=\"" + n1(X(e)) + "\" y1=\"" + n1(fy0) + "\" x2=\"" + n1(X(e)) + "\" y2=\"" +
         n1(fy1) + "\"/><text x=\"" + n1(X(e)) + "\" y=\"" + n1(fy1 + 13) + "\" text-anchor=\"middle\">" +
         numero(e / 1000, decimali) + "</text>";
  }
  for (double nn = std::ceil((cy - h_mondo / 2) / passo) * passo; nn <= cy + h_mondo / 2; nn += passo) {
    o += "<line class=\"griglia\" x1=\"" + n1(fx0) + "\" y1=\"" + n1(Y(nn)) + "\" x2=\"" + n1(fx1) + "\" y2=\"" +
         n1(Y(nn)) + "\"/><text x=\"" + n1(fx0 - 4) + "\" y=\"" + n1(Y(nn) + 4) + "\" text-anchor=\"end\">" +
         numero(nn / 1000, decimali) + "</text>";
  }
  o += "<text x=\"" + n1(fx1) + "\" y=\"" + n1(fy1 + 26) + "\" text-anchor=\"end\">east, km</text>";
  o += "<text x=\"" + n1(fx0 - 4) + "\" y=\"" + n1(fy0 - 6) + "\" text-anchor=\"end\">north, km</text>";
  // north arrow
  const double nx = fx1 + 24, ny = fy0 + 2;  // outside the frame, clear of the track
  o += "<g class=\"nord\"><title>north is up</title><path d=\"M" + n1(nx) + " " + n1(ny) + " l-7 22 l7 -6 l7 6 z\"/>"
       "<text x=\"" + n1(nx) + "\" y=\"" + n1(ny + 36) + "\" text-anchor=\"middle\">N</text></g></g>";

  // the track, simplified within the stated bound
  const auto tracciato_svg = [&](const std::vector<std::size_t>& indici) {
    std::string d;
    for (const std::size_t i : indici) d += (d.empty() ? "M" : " L") + n1(X(righe[i].p.x)) + " " + n1(Y(righe[i].p.y));
    return d;
  };
  const std::string linea = tracciato_svg(tenuti), corsa = tracciato_svg(tenuti_oltre);
  o += "<path class=\"binario\" d=\"" + linea + "\">" +
       titolo("track, " + numero(int64_t{static_cast<int64_t>(tenuti.size())}) + " of " +
              numero(int64_t{static_cast<int64_t>(righe.size())}) + " points drawn, within " +
              numero(tolleranza_pianta, 1) + " m of the track plan") +
       "</path>";
  if (!corsa.empty()) o += "<path class=\"oltre\" d=\"" + corsa + "\">" + titolo("beyond the end of the line") + "</path>";

  // point on the track at a chainage, and the unit normal there
  const auto punto_a = [&](int64_t metro, punto_piano& p, punto_piano& nrm) {
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
  };

  // kilometre ticks along the track, about 30 at most
  const double passo_km = std::max(1000.0, passo_tondo(static_cast<double>(lunghezza) / 30));
  o += "<g class=\"km\">";
  for (double k = 0; k <= static_cast<double>(lunghezza); k += passo_km) {
    punto_piano p, nrm;
    if (!punto_a(static_cast<int64_t>(k), p, nrm)) break;
    const double x = X(p.x), y = Y(p.y), ux = nrm.x, uy = -nrm.y;
    // the start needs no figure: the first station stands there
    o += "<g><title>km " + numero(k / 1000, 0) + " of the route</title><line x1=\"" + n1(x - ux * 5) + "\" y1=\"" +
         n1(y - uy * 5) + "\" x2=\"" + n1(x + ux * 5) + "\" y2=\"" + n1(y + uy * 5) + "\"/>" +
         (k > 0 ? "<text x=\"" + n1(x - ux * 14) + "\" y=\"" + n1(y - uy * 14 + 3) + "\" text-anchor=\"middle\">" +
                      numero(k / 1000, 0) + "</text>"
                : std::string()) +
         "</g>";
  }
  o += "</g>";

  for (const segnale& e : s.segnali) {
    punto_piano p, nrm;
    if (!punto_a(e.metri, p, nrm)) continue;
    o += "<rect class=\"pianta-segnale\" x=\"" + n1(X(p.x) - 2) + "\" y=\"" + n1(Y(p.y) - 2) +
         "\" width=\"4\" height=\"4\">" + titolo(descrivi_segnale(e)) + "</rect>";
  }
  for (std::size_t i = 0; i < s.stazioni.size(); ++i) {
    const stazione& v = s.stazioni[i];
    punto_piano p, nrm;
    if (!punto_a(v.posizione, p, nrm)) continue;
    const double x = X(p.x), y = Y(p.y);
    const double lato = (i % 2 == 0) ? 1 : -1;  // labels alternate sides of the track
    o += "<g class=\"pianta-stazione\">" + titolo(descrivi_stazione(v)) + "<circle cx=\"" + n1(x) +
         "\" cy=\"" + n1(y) + "\" r=\"4.5\"/><text x=\"" + n1(x + nrm.x * 12 * lato) + "\" y=\"" +
         n1(y - nrm.y * 12 * lato + 4) + "\" text-anchor=\"" + (nrm.x * lato >= 0 ? "start" : "end") + "\">" +
         html(v.nome) + "</text></g>";
  }

  // scale bar
  const double barra = passo_tondo(w_mondo / 10);
  const double bx = fx0, by = fy1 + 46;  // under the frame
  o += "<g class=\"scala\"><title>scale: the bar is " + metri(static_cast<int64_t>(barra)) +
       "</title><rect x=\"" + n1(bx) + "\" y=\"" + n1(by - 4) + "\" width=\"" + n1(barra * scala / 2) +
       "\" height=\"4\"/><rect class=\"vuoto\" x=\"" + n1(bx + barra * scala / 2) + "\" y=\"" + n1(by - 4) +
       "\" width=\"" + n1(barra * scala / 2) + "\" height=\"4\"/><text x=\"" + n1(bx) + "\" y=\"" + n1(by - 8) +
       "\">0</text><text x=\"" + n1(bx + barra * scala) + "\" y=\"" + n1(by - 8) + "\" text-anchor=\"middle\">" +
       (barra >= 1000 ? chilometri(barra, barra >= 10000 ? 0 : 1) : metri(static_cast<int64_t>(barra))) +
       "</text></g>";
  o += "</svg><p class=\"nota\">Drawn to scale, north up; the line is simplified so that it never strays more than " +
       numero(tolleranza_pianta, 0) + " m from the track plan (" +
       numero(int64_t{static_cast<int64_t>(tenuti.size())}) + " of " +
       numero(int64_t{static_cast<int64_t>(righe.size())}) +
       " points). Grey: the run-out beyond the end of the line.</p></section>";
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
  double fine = std::max(50.0, static_cast<double>(s.lunghezza));
  for (const stazione& v : s.stazioni) fine = std::max(fine, static_cast<double>(std::max(v.fine, v.posizione)));
  for (const segnale& e : s.segnali) fine = std::max(fine, static_cast<double>(e.metri));
  for (const rallentamento& r : s.rallentamenti) {
    fine = std::max(fine, static_cast<double>(r.fine.value_or(r.inizio)));
  }
  return fine;
}

void profilo_altimetrico(std::string& o, const contenuto_scenario& s, const asse_progressiva& a) {
  o += "<section class=\"pannello\" id=\"altimetria\"><h2>Altitude profile</h2>";
  // altitude at each run's start, integrated from the cell gradients (per mille)
  const std::vector<tratto> pendenze = entro(s.pendenze, s.lunghezza > 0 ? std::min(a.fine, static_cast<double>(s.lunghezza)) : a.fine);
  std::vector<double> quota{0.0};
  double q = 0;
  for (const tratto& t : pendenze) {
    q += t.valore * 0.001 * (t.a - t.da);
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
  const double alto = 24, basso = 200, altezza = 236;
  const auto Y = [&](double v) { return basso - (v - q_min) / (q_max - q_min) * (basso - alto); };

  o += "<svg class=\"profilo\" viewBox=\"0 0 " + n1(larghezza) + " " + n1(altezza) + "\" role=\"img\">";
  for (const tratto& t : s.montagne) {
    const double x0 = a.x(static_cast<double>(t.da)), x1 = a.x(static_cast<double>(t.a));
    o += "<rect class=\"montagna\" x=\"" + n1(x0) + "\" y=\"" + n1(alto) + "\" width=\"" + n1(std::max(1.0, x1 - x0)) +
         "\" height=\"" + n1(basso - alto) + "\">" +
         titolo("mountain stretch, type " + numero(int64_t{t.valore}) + "&#10;" + metri(t.da) + " to " + metri(t.a)) +
         "</rect>";
  }
  o += "<g class=\"asse\">";
  for (double v = q_min; v <= q_max + passo_q / 2; v += passo_q) {
    o += "<line class=\"griglia\" x1=\"" + n1(margine_sinistro) + "\" y1=\"" + n1(Y(v)) + "\" x2=\"" +
         n1(larghezza - margine_destro) + "\" y2=\"" + n1(Y(v)) + "\"/><text x=\"" + n1(margine_sinistro - 4) +
         "\" y=\"" + n1(Y(v) + 4) + "\" text-anchor=\"end\">" + numero(v, passo_q < 1 ? 1 : 0) + "</text>";
  }
  o += "<text x=\"" + n1(margine_sinistro - 4) + "\" y=\"14\" text-anchor=\"end\">m</text></g>";
  tacche_progressiva(o, a, alto, basso);
  // the area under the line, then each run as its own segment with its gradient
  std::string area = "M" + n1(a.x(0)) + " " + n1(basso);
  for (std::size_t i = 0; i < pendenze.size(); ++i) {
    const tratto& t = pendenze[i];
    const double m0 = static_cast<double>(t.da);
    const double m1 = std::min(static_cast<double>(t.a), a.fine);
    area += " L" + n1(a.x(m0)) + " " + n1(Y(quota[i])) + " L" + n1(a.x(m1)) + " " + n1(Y(quota[i + 1]));
  }
  area += " L" + n1(a.x(std::min(a.fine, static_cast<double>(s.lunghezza)))) + " " + n1(basso) + " Z";
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
  o += "<line class=\"cursore\" x1=\"-10\" y1=\"" + n1(alto) + "\" x2=\"-10\" y2=\"" + n1(basso) + "\"/></svg>";
  o += "<p class=\"nota\">Altitude relative to the route start, integrated from the cell gradients; gradients in "
       "&#8240; on the segments; mountain stretches shaded.</p></section>";
}

void profilo_velocita(std::string& o, const contenuto_scenario& s, const asse_progressiva& a) {
  o += "<section class=\"pannello\" id=\"velocita\"><h2>Speed profile</h2>";
  double v_max = 40;
  const std::vector<tratto> limiti = entro(s.velocita_limite, a.fine);
  for (const tratto& t : limiti) v_max = std::max(v_max, static_cast<double>(t.valore));
  for (const rallentamento& r : s.rallentamenti) v_max = std::max(v_max, static_cast<double>(r.velocita));
  const double passo_v = v_max > 100 ? 20 : 10;
  v_max = std::ceil(v_max / passo_v) * passo_v;
  const double alto = 172, basso = 352, altezza = 388;
  const auto Y = [&](double v) { return basso - std::clamp(v, 0.0, v_max) / v_max * (basso - alto); };

  o += "<svg class=\"profilo\" viewBox=\"0 0 " + n1(larghezza) + " " + n1(altezza) + "\" role=\"img\">";
  // stations as named bands; upright names pushed apart where stations crowd,
  // each joined to its station by a leader
  constexpr double passo_nomi = 11.5;
  std::vector<double> x_nome(s.stazioni.size());
  for (std::size_t i = 0; i < s.stazioni.size(); ++i) {
    x_nome[i] = a.x(s.stazioni[i].posizione);
    if (i > 0) x_nome[i] = std::max(x_nome[i], x_nome[i - 1] + passo_nomi);
  }
  for (std::size_t i = s.stazioni.size(); i-- > 0;) {
    const double limite = i + 1 < s.stazioni.size() ? x_nome[i + 1] - passo_nomi : larghezza - 8;
    x_nome[i] = std::min(x_nome[i], limite);
  }
  for (std::size_t i = 0; i < s.stazioni.size(); ++i) {
    const stazione& v = s.stazioni[i];
    const double x0 = a.x(v.inizio), x1 = a.x(v.fine), xp = a.x(v.posizione);
    const double y_nome = alto - 22;
    o += "<g class=\"stazione\">" + titolo(descrivi_stazione(v)) + "<rect x=\"" + n1(std::min(x0, x1)) +
         "\" y=\"" + n1(alto) + "\" width=\"" + n1(std::max(2.0, std::abs(x1 - x0))) + "\" height=\"" +
         n1(basso - alto) + "\"/><path d=\"M" + n1(x_nome[i]) + " " + n1(y_nome + 3) + " L" + n1(xp) + " " +
         n1(alto - 4) + " L" + n1(xp) + " " + n1(basso) + "\"/><text transform=\"translate(" +
         n1(x_nome[i] + 3.5) + " " + n1(y_nome) + ") rotate(-90)\">" + html(v.nome) + "</text></g>";
  }
  o += "<g class=\"asse\">";
  for (double v = 0; v <= v_max; v += passo_v) {
    o += "<line class=\"griglia\" x1=\"" + n1(margine_sinistro) + "\" y1=\"" + n1(Y(v)) + "\" x2=\"" +
         n1(larghezza - margine_destro) + "\" y2=\"" + n1(Y(v)) + "\"/><text x=\"" + n1(margine_sinistro - 4) +
         "\" y=\"" + n1(Y(v) + 4) + "\" text-anchor=\"end\">" + numero(v, 0) + "</text>";
  }
  o += "<text x=\"" + n1(margine_sinistro - 4) + "\" y=\"" + n1(alto - 6) + "\" text-anchor=\"end\">km/h</text></g>";
  tacche_progressiva(o, a, alto, basso);
  for (const segnale& e : s.segnali) {
    const double x = a.x(static_cast<double>(e.metri));
    o += "<line class=\"segnale\" x1=\"" + n1(x) + "\" y1=\"" + n1(alto) + "\" x2=\"" + n1(x) + "\" y2=\"" + n1(basso) +
         "\">" + titolo(descrivi_segnale(e)) + "</line>";
  }
  // the line speed limit as steps
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
  for (const rallentamento& r : s.rallentamenti) {
    const double xi = a.x(static_cast<double>(r.inizio));
    const double xf = a.x(static_cast<double>(r.fine.value_or(r.inizio)));
    const double y = Y(r.velocita);
    o += "<g class=\"rallentamento\">" + titolo(descrivi_rallentamento(r)) + "<rect x=\"" + n1(xi) + "\" y=\"" + n1(y) +
         "\" width=\"" + n1(std::max(2.0, xf - xi)) + "\" height=\"" + n1(basso - y) + "\"/>";
    if (r.avviso) {
      const double xa = a.x(static_cast<double>(*r.avviso));
      o += "<path class=\"avviso\" d=\"M" + n1(xa) + " " + n1(alto + 20) + " l-5 -9 h10 z M" + n1(xa) + " " +
           n1(alto + 20) + " L" + n1(xi) + " " + n1(y) + "\"/>";
    }
    o += "<text x=\"" + n1(xi) + "\" y=\"" + n1(y - 4) + "\">" + numero(int64_t{r.velocita}) + "</text></g>";
  }
  for (const indicatori& e : s.indicatori_velocita) {
    const double x = a.x(static_cast<double>(e.metri));
    const auto kmh = [](int16_t v) { return numero(int64_t{v / 20}); };
    o += "<rect class=\"indicatori\" x=\"" + n1(x - 3) + "\" y=\"" + n1(alto + 1) + "\" width=\"6\" height=\"8\">" +
         titolo("speed-indicator boards, cell " + numero(int64_t{e.cella}) + " (" + metri(e.metri) +
                ")&#10;A " + kmh(e.velocita[0]) + ", B " + kmh(e.velocita[1]) + ", C " + kmh(e.velocita[2]) +
                " km/h, stripes " + numero(int64_t{e.strisce})) +
         "</rect>";
  }
  for (const punto_abbattimento& e : s.abbattimenti) {
    const double x = a.x(static_cast<double>(e.metri));
    o += "<path class=\"abbattimento\" d=\"M" + n1(x) + " " + n1(basso - 9) + " l-4 9 h8 z\">" +
         titolo("speed-reduction point, cell " + numero(int64_t{e.cella}) + " (" + metri(e.metri) +
                "), value " + numero(int64_t{e.velocita})) +
         "</path>";
  }
  o += "<line class=\"cursore\" x1=\"-10\" y1=\"" + n1(alto) + "\" x2=\"-10\" y2=\"" + n1(basso) + "\"/></svg>";
  o += "<p class=\"nota\">Blue steps: line speed limit. Red: slowdowns at their speed from start to end, the "
       "triangle near the top is the warning point. Dark lines: signals; green bands: stations; triangles on the "
       "axis: speed-reduction points; small squares at the top: speed-indicator boards.</p></section>";
}

// ---------------------------------------------------------------- tables

void tabelle(std::string& o, const contenuto_scenario& s) {
  o += "<section class=\"pannello\" id=\"orario\"><h2>Timetable</h2><table class=\"dati\"><thead><tr>"
       "<th>#</th><th>station</th><th>position</th><th>stretch</th><th>type</th><th>time</th><th>stop</th>"
       "<th title=\"station fields 4 to 12\">fields 4&ndash;12</th></tr></thead><tbody>";
  for (const stazione& v : s.stazioni) {
    o += "<tr class=\"riga-stazione\"><td>" + numero(int64_t{v.record}) + "</td><td>" + html(v.nome) + "</td><td>" +
         metri(v.posizione) + "</td><td>" + metri(v.inizio) + " &ndash; " + metri(v.fine) + "</td><td>" +
         numero(int64_t{v.tipo}) + "</td><td>" + (v.orario != 0 ? ora(v.orario) : std::string("&ndash;")) +
         "</td><td>" + (v.sosta > 0 ? numero(int64_t{v.sosta}) + " s" : std::string("no stop")) +
         "</td><td class=\"campi\">" + numero(int64_t{v.campo_4}) + " " + numero(int64_t{v.campo_5}) + " " +
         numero(int64_t{v.campo_6}) + " " + numero(int64_t{v.campo_7}) + " " + numero(int64_t{v.campo_8}) + " " +
         numero(int64_t{v.campo_9}) + " " + numero(int64_t{v.campo_10}) + " " + numero(int64_t{v.campo_11}) + " " +
         numero(int64_t{v.campo_12}) + "</td></tr>";
  }
  o += "</tbody></table></section>";

  o += "<div class=\"affiancate\"><section class=\"pannello\" id=\"cartelli\"><h2>Sign boards</h2><table "
       "class=\"dati\"><thead><tr><th>cell</th><th>position</th><th>record</th><th>text</th></tr></thead><tbody>";
  for (const cartello& e : s.cartelli) {
    const bool esiste = e.record > 0 && e.record < voci::progressiva_tre;
    const std::string testo = esiste ? html(e.testo) : std::string("(no such record)");
    o += "<tr class=\"riga-cartello\"><td>" + numero(int64_t{e.cella}) + "</td><td>" + metri(e.metri) +
         "</td><td>" + numero(int64_t{e.record}) + "</td><td class=\"testo\">" + testo + "</td></tr>";
  }
  if (s.cartelli.empty()) o += "<tr><td colspan=\"4\">none</td></tr>";
  o += "</tbody></table></section>";

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
.esito table { font-size: 12px; } tr.principale td { font-weight: bold; } tr.di-avviso td { color: #9a6700; }
.pannello { break-inside: avoid; page-break-inside: avoid; }
.affiancate { display: flex; gap: 24px; } .affiancate > section { flex: 1; }
svg { width: 100%; height: auto; display: block; background: #fff; }
svg text { font-size: 11px; fill: #24292f; }
.asse text { fill: #57606a; } .griglia { stroke: #e1e4e8; stroke-width: 1; } .cornice { fill: none; stroke: #8c959f; }
.binario { fill: none; stroke: #24292f; stroke-width: 2.2; stroke-linejoin: round; }
.oltre { fill: none; stroke: #a0a7ae; stroke-width: 1.5; stroke-dasharray: 4 3; }
.km line { stroke: #24292f; stroke-width: 1.2; } .km text { font-size: 9px; fill: #57606a; }
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
.rallentamento rect { fill: #cf222e; fill-opacity: 0.28; stroke: #cf222e; stroke-width: 1.2; }
.rallentamento text { fill: #a40e26; font-weight: bold; font-size: 10px; }
.avviso { fill: #cf222e; stroke: #cf222e; stroke-width: 0.8; stroke-dasharray: 3 2; }
.abbattimento { fill: #bf8700; } .indicatori { fill: #8250df; }
.cursore { stroke: #fb8500; stroke-width: 1.2; pointer-events: none; }
#lettura { position: fixed; right: 10px; bottom: 10px; background: #fffbe6; border: 1px solid #d4a72c;
  padding: 2px 8px; font-size: 12px; display: none; }
.assente { padding: 24px; background: #f6f8fa; border: 1px dashed #8c959f; text-align: center; }
.evidenziato rect, rect.evidenziato { fill-opacity: 0.5; }
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
      var r = s.getBoundingClientRect();
      var x = (ev.clientX - r.left) / r.width * s.viewBox.baseVal.width;
      if (x < x0 || x > x1) { lettura.style.display = 'none'; sposta(-10); return; }
      sposta(x);
      lettura.textContent = (fine * (x - x0) / (x1 - x0) / 1000).toFixed(3) + ' km';
      lettura.style.display = 'block';
    });
    s.addEventListener('mouseleave', function () { sposta(-10); lettura.style.display = 'none'; });
  });
  // where each panel's drawing (or the panel) lies, for whoever checks the page
  var riquadri = [];
  document.querySelectorAll('.pannello').forEach(function (p) {
    var r = (p.querySelector('svg') || p).getBoundingClientRect();
    riquadri.push([p.id, Math.round(r.left), Math.round(r.top + window.scrollY), Math.round(r.width), Math.round(r.height)]);
  });
  document.body.setAttribute('data-riquadri', JSON.stringify(riquadri));
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
  const std::string nome_linea = html(s.linea.nome);
  const std::string numero_treno = html(s.treno.numero);
  o += "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
       "<title>" + nome_linea + " " + numero_treno + ": route report</title><style>" + std::string(stile) +
       "</style></head>\n<body data-fine=\"" + numero(a.fine, 0) + "\" data-x0=\"" + n1(a.x(0)) + "\" data-x1=\"" +
       n1(a.x(a.fine)) + "\">\n";
  intestazione(o, s, org);
  o += "\n<main>";
  pianta(o, m, s, org);
  o += "\n";
  profilo_altimetrico(o, s, a);
  o += "\n";
  profilo_velocita(o, s, a);
  o += "\n";
  tabelle(o, s);
  o += "</main><div id=\"lettura\"></div>\n<script>" + std::string(copione) + "</script></body></html>\n";
  return o;
}

}  // namespace scenario::rapporto
