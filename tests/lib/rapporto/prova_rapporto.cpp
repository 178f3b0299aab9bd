#include "prova_rapporto.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "compiler/memorizza_percorso.hpp"
#include "support/supporto.hpp"
#include "writers/scrittori.hpp"

namespace scenario::rapporto::aiuti {

modello scenario_del_programma(int32_t flag) {
  scenario::prova::sistema_file_memoria scritti;
  const nomi_file nomi = costruisci_nomi("c", "Valdora_Tarvea", "5293");
  dati_linea(scritti, nomi);
  dati_treno(scritti, nomi);
  scenario::prova::sorgenti_memoria sorgenti;
  sorgenti.linea = scritti.leggi(nomi.descrizione_linea);
  sorgenti.treno = scritti.leggi(nomi.descrizione_treno);
  modello m;
  EXPECT_TRUE(memorizza_percorso(m, flag, sorgenti));
  return m;
}

void sostituisci_pianta(modello& m, const std::vector<punto_piano>& punti) {
  m.tracciato = tracciato_piano{};
  m.tracciato.crea(static_cast<int32_t>(punti.size()) - 1);
  for (std::size_t i = 0; i < punti.size(); ++i) {
    m.tracciato.imposta_doppi(static_cast<int64_t>(i), punti[i].x, punti[i].y);
  }
}

// Metre by metre along x, y a triangle wave of the given tooth and height.
std::vector<punto_piano> zigzag(int metri, double dente, double altezza) {
  std::vector<punto_piano> r;
  for (int i = 0; i <= metri; ++i) {
    const double fase = std::fmod(i, 2 * dente) / dente;
    r.push_back({static_cast<double>(i), altezza * (fase < 1 ? fase : 2 - fase)});
  }
  return r;
}

// Out, back a stretch beside itself, then on: legs `scarto` apart.
std::vector<punto_piano> avanti_indietro(int andata, int ritorno, int ripresa, double scarto) {
  std::vector<punto_piano> r;
  for (int i = 0; i <= andata; ++i) r.push_back({static_cast<double>(i), 0});
  for (int i = 1; i <= ritorno; ++i) r.push_back({static_cast<double>(andata - i), scarto});
  for (int i = 1; i <= ripresa; ++i) r.push_back({static_cast<double>(andata - ritorno + i), 2 * scarto});
  return r;
}

// An Archimedean spiral walked a metre at a time, widening outwards.
std::vector<punto_piano> spirale(int metri) {
  std::vector<punto_piano> r;
  double angolo = 0;
  for (int i = 0; i <= metri; ++i) {
    const double raggio = 40 + 3 * angolo;
    r.push_back({raggio * std::cos(angolo), raggio * std::sin(angolo)});
    angolo += 1 / raggio;
  }
  return r;
}

std::size_t conta(const std::string& testo, const std::string& cosa) {
  std::size_t n = 0;
  for (std::size_t i = testo.find(cosa); i != std::string::npos; i = testo.find(cosa, i + 1)) ++n;
  return n;
}

std::string attributo(const std::string& pagina, const std::string& inizio, const std::string& nome) {
  const std::size_t e = pagina.find(inizio);
  if (e == std::string::npos) return {};
  const std::size_t fine = pagina.find('>', e);
  const std::size_t a = pagina.find(" " + nome + "=\"", e);
  if (a == std::string::npos || a > fine) return {};
  const std::size_t v = a + nome.size() + 3;
  return pagina.substr(v, pagina.find('"', v) - v);
}

std::vector<punto_piano> punti_percorso(const std::string& d) {
  std::vector<punto_piano> r;
  const char* p = d.c_str();
  while (*p != '\0') {
    if (*p == 'M' || *p == 'L' || *p == ' ') {
      ++p;
      continue;
    }
    char* fine = nullptr;
    const double x = std::strtod(p, &fine);
    const double y = std::strtod(fine, &fine);
    if (fine == p) break;
    r.push_back({x, y});
    p = fine;
  }
  return r;
}

std::string testo_visibile(const std::string& pagina) {
  std::string t = pagina;
  for (const auto& [apre, chiude] : {std::pair{"<title>", "</title>"}, {"<style>", "</style>"}, {"<script>", "</script>"}}) {
    for (std::size_t a = t.find(apre); a != std::string::npos; a = t.find(apre, a)) {
      const std::size_t b = t.find(chiude, a);
      t.erase(a, b == std::string::npos ? std::string::npos : b + std::string(chiude).size() - a);
    }
  }
  std::string r;
  bool dentro = false;
  for (const char c : t) {
    if (c == '<') dentro = true;
    if (!dentro) r += c;
    if (c == '>') {
      dentro = false;
      r += ' ';
    }
  }
  return r;
}

std::size_t parola_piu_lunga(const std::string& testo) {
  std::size_t piu_lunga = 0, corrente = 0;
  for (const char c : testo) {
    const auto u = static_cast<unsigned char>(c);
    if (c == ' ' || c == '\n' || c == '\t') {
      corrente = 0;
    } else if ((u & 0xC0) != 0x80) {  // continuation bytes belong to the character before
      piu_lunga = std::max(piu_lunga, ++corrente);
    }
  }
  return piu_lunga;
}

namespace {

double distanza_segmento(const punto_piano& p, const punto_piano& a, const punto_piano& b) {
  const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
  const double t = std::clamp(l2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / l2 : 0.0, 0.0, 1.0);
  return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

// Whether a walk from a to b meets punti[da..a_indice] in order, each within r.
bool in_ordine_entro(const std::vector<punto_piano>& punti, std::size_t da, std::size_t fino, const punto_piano& a,
                     const punto_piano& b, double r) {
  const double dx = b.x - a.x, dy = b.y - a.y, l = std::hypot(dx, dy);
  double fatto = 0;  // metres walked along the segment
  for (std::size_t i = da; i <= fino; ++i) {
    const double px = punti[i].x - a.x, py = punti[i].y - a.y;
    const double lungo = l > 0 ? (px * dx + py * dy) / l : 0.0;
    const double fuori = l > 0 ? std::abs(px * dy - py * dx) / l : std::hypot(px, py);
    if (fuori > r) return false;
    const double mezza = std::sqrt(r * r - fuori * fuori);
    const double primo = std::max(0.0, lungo - mezza), ultimo = std::min(l, lungo + mezza);
    if (primo > ultimo) return false;
    fatto = std::max(fatto, primo);
    if (fatto > ultimo) return false;
  }
  return true;
}

// The least r for which the walk meets the points in order, to a micrometre.
double scostamento_in_ordine(const std::vector<punto_piano>& punti, std::size_t da, std::size_t fino,
                             const punto_piano& a, const punto_piano& b) {
  double basso = 0, alto = 0;
  for (std::size_t i = da; i <= fino; ++i) {
    alto = std::max({alto, std::hypot(punti[i].x - a.x, punti[i].y - a.y), std::hypot(punti[i].x - b.x, punti[i].y - b.y)});
  }
  alto += 1e-6;
  while (alto - basso > 1e-6) {
    const double mezzo = (basso + alto) / 2;
    (in_ordine_entro(punti, da, fino, a, b, mezzo) ? alto : basso) = mezzo;
  }
  return alto;
}

// disegno[k] stands for punti[indici[k]].
scostamento misura_indici(const std::vector<punto_piano>& punti, const std::vector<punto_piano>& disegno,
                          const std::vector<std::size_t>& indici) {
  scostamento s;
  if (indici.empty() || indici.front() != 0 || indici.back() + 1 != punti.size()) s.vertici_dai_punti = false;
  for (const punto_piano& p : punti) {
    double d = INFINITY;
    for (std::size_t k = 0; k + 1 < disegno.size(); ++k) d = std::min(d, distanza_segmento(p, disegno[k], disegno[k + 1]));
    s.distanza = std::max(s.distanza, d);
  }
  for (std::size_t k = 0; k + 1 < indici.size(); ++k) {
    if (indici[k] > indici[k + 1]) {
      s.vertici_dai_punti = false;
      continue;
    }
    s.in_ordine =
        std::max(s.in_ordine, scostamento_in_ordine(punti, indici[k], indici[k + 1], disegno[k], disegno[k + 1]));
  }
  return s;
}

}  // namespace

scostamento misura(const std::vector<punto_piano>& punti, const std::vector<punto_piano>& disegno,
                   double arrotondamento) {
  // which point each drawn vertex is: the next one within the rounding
  std::vector<std::size_t> indici;
  std::size_t j = 0;
  for (const punto_piano& v : disegno) {
    while (j < punti.size() && std::hypot(punti[j].x - v.x, punti[j].y - v.y) > arrotondamento) ++j;
    if (j == punti.size()) {
      scostamento s;
      s.vertici_dai_punti = false;
      return s;
    }
    indici.push_back(j);
  }
  return misura_indici(punti, disegno, indici);
}

scostamento misura_tenuti(const std::vector<punto_piano>& punti, const std::vector<std::size_t>& tenuti) {
  std::vector<punto_piano> disegno;
  for (const std::size_t i : tenuti) disegno.push_back(punti.at(i));
  return misura_indici(punti, disegno, tenuti);
}

}  // namespace scenario::rapporto::aiuti
