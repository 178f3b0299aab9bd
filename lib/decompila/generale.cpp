#include <algorithm>
#include <array>

#include "compiler/placement/progressive_ordina.hpp"
#include "decompila/decompila.hpp"
#include "decompila/parti.hpp"

namespace scenario::decompila_parti {

void riga(std::string& t, const std::string& s) {
  t += s;
  t += "\r\n";
}

std::string n(int64_t v) { return std::to_string(v); }

std::string voce(const std::string& parola, const std::vector<int64_t>& campi) {
  std::string r = parola;
  for (const int64_t c : campi) r += ", " + n(c);
  return r;
}

namespace {

struct progressiva {
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t posizione = 0;
  bool operator==(const progressiva&) const = default;
};

progressiva letta(const voce_tabella& v) { return {v.inizio, v.fine, v.posizione}; }

// The order the compile sorts the written references into is searched: each
// of the six ways to name the stored ones, through the compile's own sort.
std::array<progressiva, 3> progressive_scritte(const modello& m) {
  std::array<progressiva, 3> salvate;
  for (std::size_t j = 0; j < 3; ++j) {
    salvate[j] = letta(m.voce(voci::progressiva_tre + static_cast<int32_t>(j)));
  }
  std::array<progressiva, 3> grezze = salvate;
  for (progressiva& p : grezze) {
    if (p.posizione == 1) p.fine = static_cast<int32_t>(int64_t{p.fine} - 100);
  }
  // record 83 is "uno": the first stored reference is tried there first
  std::array<std::size_t, 3> prova_ordine{0, 1, 2};
  do {
    const std::array<std::size_t, 3> ordine{2 - prova_ordine[0], 2 - prova_ordine[1], 2 - prova_ordine[2]};
    modello prova;
    for (std::size_t j = 0; j < 3; ++j) {
      voce_tabella& v = prova.voce(voci::progressiva_tre + static_cast<int32_t>(j));
      const progressiva& p = grezze[ordine[j]];
      v.inizio = p.inizio;
      v.fine = p.fine;
      v.posizione = p.posizione;
    }
    progressive_ordina(prova);
    bool uguali = true;
    for (std::size_t j = 0; j < 3; ++j) {
      uguali = uguali && letta(prova.voce(voci::progressiva_tre + static_cast<int32_t>(j))) == salvate[j];
    }
    if (uguali) {
      std::array<progressiva, 3> r;
      for (std::size_t j = 0; j < 3; ++j) r[j] = grezze[ordine[j]];
      return r;  // by record: tre, due, uno
    }
  } while (std::next_permutation(prova_ordine.begin(), prova_ordine.end()));
  throw errore_decompila("the kilometric references: no written order sorts into the stored one");
}

}  // namespace

std::string generale_linea(const modello& m, fine_compilazione f) {
  std::string t;
  riga(t, "[generale]");
  riga(t, voce("lunghezza percorso", {m.voce(voci::percorso).fine}));
  const bool ordinate = f != fine_compilazione::generale_rifiutata;
  std::array<progressiva, 3> p;
  if (ordinate) {
    p = progressive_scritte(m);
  } else {
    for (std::size_t j = 0; j < 3; ++j) p[j] = letta(m.voce(voci::progressiva_tre + static_cast<int32_t>(j)));
  }
  static constexpr std::array<const char*, 3> nomi{"tre", "due", "uno"};
  for (std::size_t j = 3; j-- > 0;) {
    riga(t, voce(std::string("progressiva chilometrica ") + nomi[j], {p[j].inizio, p[j].fine, p[j].posizione}));
  }
  const voce_tabella& l = m.voce(voci::linea);
  riga(t, voce("sfondo uno", {l.inizio}));
  riga(t, voce("sfondo due", {l.posizione}));
  riga(t, voce("sfondo tre", {l.fine}));
  const voce_tabella& r = m.voce(voci::treno);
  // a second number of 0 leaves no codes, whatever the keyword says
  std::string codici = r.posizione == 9 ? "9 " : "4 ";
  // the entry that refused the section comes last: numbers that are multiples
  // of 50 were refused for naming no count of codes
  if (!ordinate && r.inizio % 50 == 0 && r.fine % 50 == 0) codici.clear();
  riga(t, voce("ripetizione segnali " + codici + "codici", {r.inizio, r.fine}));
  return t;
}

std::string generale_treno(const modello& m) {
  std::string t;
  riga(t, "[generale]");
  const voce_tabella& p = m.voce(voci::percorso);
  const voce_tabella& r = m.voce(voci::treno);
  riga(t, voce("numero vetture", {p.posizione}));
  riga(t, voce("percentuale massa frenata", {p.inizio}));
  riga(t, voce("sabbia", {r.campo_7}));
  riga(t, voce("orologio", {r.campo_10, r.campo_11, r.campo_12}));
  return t;
}

// One entry per change; cell P-2 is filled only by an entry of its own, and
// the two last cells by none. Unfilled, an entry writes the cells before it:
// the last one stands just after the last cell that is not 0.
std::string colonna(const modello& m, uint8_t cella::*campo, const char* parola, int64_t scala, int64_t scarto,
                    bool riempita) {
  std::string t;
  const int64_t penultima = int64_t{m.ultima_cella} - 2;
  const auto valore = [&](int64_t c) { return int64_t{m.cel(c).*campo} * scala + scarto; };
  if (!riempita) {
    int64_t l = m.ultima_cella;
    while (l >= 0 && m.cel(l).*campo == 0) --l;
    if (l < 0 || l >= m.ultima_cella) return t;
    riga(t, voce(parola, {0, valore(0)}));
    for (int64_t c = 1; c <= l + 1; ++c) {
      if (m.cel(c).*campo != m.cel(c - 1).*campo || c == l + 1) riga(t, voce(parola, {c * 50, valore(c)}));
    }
    return t;
  }
  if (penultima < 1) return t;
  riga(t, voce(parola, {0, valore(0)}));
  for (int64_t c = 1; c < penultima; ++c) {
    if (m.cel(c).*campo != m.cel(c - 1).*campo) riga(t, voce(parola, {c * 50, valore(c)}));
  }
  if (m.cel(penultima).*campo != 0) riga(t, voce(parola, {penultima * 50, valore(penultima)}));
  return t;
}

std::string pendenze(const modello& m, fine_compilazione f) {
  const bool riempita = f == fine_compilazione::file || f == fine_compilazione::treno_rifiutato;
  return "[pendenze]\r\n" + colonna(m, &cella::pendenza, "pendenza", 1, -100, riempita);
}

}  // namespace scenario::decompila_parti
