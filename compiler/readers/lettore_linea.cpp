#include "compiler/readers/lettore_linea.hpp"

#include <optional>
#include <string>
#include <string_view>

#include "compiler/model/codici.hpp"
#include "compiler/model/numeri.hpp"
#include "compiler/placement/posa_linea.hpp"
#include "compiler/placement/progressive_ordina.hpp"
#include "compiler/readers/lettore_campi.hpp"

namespace scenario {

namespace {

inline constexpr int32_t lunghezza_massima = 1'000'000;
inline constexpr int commenti_generale = 10;
inline constexpr int commenti_caratteristiche = 2;

std::string n(int64_t v) { return std::to_string(v); }

// Turn per metre of a curve keyword: the first class digit found, negated
// for a left-hand curve ("s" anywhere in the keyword).
std::optional<double> svolta_curva(std::string_view parola) {
  static constexpr struct {
    std::string_view cifra;
    double k;
  } classi[] = {{"1", 0.0001}, {"2", 0.0002}, {"3", 0.0004}, {"4", 0.001}, {"5", 0.002}, {"6", 0.003}};
  for (const auto& classe : classi) {
    if (contiene(parola, classe.cifra)) return contiene_nc(parola, "s") ? -classe.k : classe.k;
  }
  return std::nullopt;
}

// A field that ends the general section: a bracketed head, not a comment.
bool chiude_generale(std::string_view campo) {
  const auto primo = campo.find_first_not_of(" \t");
  if (primo == std::string_view::npos) return false;
  return campo[primo] != '-' && contiene(campo, "[") && contiene(campo, "]");
}

enum class esito { prosegui, oltre_percorso, interrompi };

class lettura_linea {
 public:
  lettura_linea(modello& m, sorgenti_descrizione& sorgenti, std::string_view testo)
      : m_(m), sorgenti_(sorgenti), campi_(testo) {}

  bool esegui();

 private:
  void leggi_parola();
  bool passo(int limite_commenti, bool fine_dopo_commento);
  bool sezione_generale();
  esito caratteristiche();
  bool oltre_percorso(int32_t p);
  bool rifiuta(int32_t codice, std::string dettaglio);
  esito chiudi_rifiutata();

  void crea_celle(int32_t ultima);

  modello& m_;
  sorgenti_descrizione& sorgenti_;
  lettore_campi campi_;
  bool celle_create_ = false;
};

// Nothing in the general section writes a cell, so the cells of an earlier
// route-length line are still all zero and only their number changes: a file
// of such lines costs no more than its longest route.
void lettura_linea::crea_celle(int32_t ultima) {
  if (celle_create_ && ultima >= 0) {
    m_.celle.resize(static_cast<std::size_t>(ultima) + 1);
    return;
  }
  m_.crea_celle(ultima);
  celle_create_ = true;
}

void lettura_linea::leggi_parola() {
  m_.riga = campi_.leggi_testo();
  m_.luogo_corrente = luogo{sorgente::linea, campi_.riga(), m_.riga};
}

// The reading step at the top of both loops; false: leave the loop.
bool lettura_linea::passo(int limite_commenti, bool fine_dopo_commento) {
  if (campi_.fine()) return false;
  leggi_parola();
  // the last field of the file is never used
  if (campi_.fine()) return false;
  for (int saltati = 0; contiene(m_.riga, "-") && saltati < limite_commenti; ++saltati) {
    leggi_parola();  // past the end this throws: a run-time failure
    if (fine_dopo_commento && campi_.fine()) return false;
  }
  return true;
}

bool lettura_linea::rifiuta(int32_t codice, std::string dettaglio) {
  sorgenti_.elimina_linea();
  segna_errore(m_, codice, std::move(dettaglio));
  return false;
}

// A placement operation refused the line and has set the status.
esito lettura_linea::chiudi_rifiutata() {
  sorgenti_.elimina_linea();
  return esito::interrompi;
}

bool lettura_linea::esegui() {
  for (;;) {
    leggi_parola();
    if (campi_.fine()) return rifiuta(codice::generale_mancante, "no [generale] before the last field of the file");
    if (contiene_nc(m_.riga, "[generale]")) break;
  }

  while (passo(commenti_generale, false)) {
    if (!sezione_generale()) return false;
    if (chiude_generale(m_.riga)) break;
  }

  progressive_ordina(m_);
  avvia_posa(m_);

  while (passo(commenti_caratteristiche, true)) {
    const esito e = caratteristiche();
    if (e == esito::interrompi) return false;
    if (e == esito::oltre_percorso) break;
  }

  sorgenti_.elimina_linea();
  completa_pendenze(m_);
  if (m_.scrivi_linea != 0) completa_geometria(m_);
  return true;
}

bool lettura_linea::sezione_generale() {
  const std::string parola = m_.riga;

  if (contiene_nc(parola, "percorso") && contiene_nc(parola, "lunghezza")) {
    const int32_t lunghezza = campi_.leggi_long();
    m_.voce(voci::percorso).fine = lunghezza;
    if (lunghezza > lunghezza_massima) {
      return rifiuta(codice::lunghezza_eccessiva,
                     "route length " + n(lunghezza) + " m is above " + n(lunghezza_massima) + " m");
    }
    // the cells reach 7000 m past the end of the line
    m_.estensione = lunghezza + 7000;
    m_.ultima_cella = arrotonda_a<int32_t>(m_.estensione / 50.0, "last cell");
    crea_celle(m_.ultima_cella);
    if (m_.scrivi_linea != 0) m_.tracciato.crea(m_.estensione);
  }

  const auto leggi_progressiva = [&](int32_t record) {
    voce_tabella& v = m_.voce(record);
    v.inizio = campi_.leggi_long();
    v.fine = campi_.leggi_long();
    v.posizione = campi_.leggi_long();
  };
  if (contiene(parola, "tre") && contiene(parola, "progressiva")) leggi_progressiva(voci::progressiva_tre);
  if (contiene(parola, "due") && contiene(parola, "progressiva")) leggi_progressiva(voci::progressiva_due);
  if (contiene(parola, "uno") && contiene(parola, "progressiva")) leggi_progressiva(voci::progressiva_uno);

  if (contiene(parola, "sfondo") && contiene(parola, "uno")) m_.voce(voci::linea).inizio = campi_.leggi_long();
  if (contiene(parola, "sfondo") && contiene(parola, "due")) m_.voce(voci::linea).posizione = campi_.leggi_long();
  if (contiene(parola, "sfondo") && contiene(parola, "tre")) m_.voce(voci::linea).fine = campi_.leggi_long();

  if (contiene(parola, "segnali") && contiene(parola, "ripetizione")) {
    voce_tabella& v = m_.voce(voci::treno);
    v.inizio = campi_.leggi_long();
    v.fine = campi_.leggi_long();
    if (v.inizio % 50 != 0) {
      return rifiuta(codice::ripetizione_inizio, "signal repetition start " + n(v.inizio) + " is not a multiple of 50");
    }
    if (v.fine % 50 != 0) {
      return rifiuta(codice::ripetizione_fine, "signal repetition end " + n(v.fine) + " is not a multiple of 50");
    }
    if (contiene(parola, "4")) {
      v.posizione = 4;
    } else if (contiene(parola, "9")) {
      v.posizione = 9;
    } else {
      return rifiuta(codice::ripetizione_codici, "the signal repetition keyword names neither 4 nor 9 codes");
    }
    if (v.fine == 0) v.posizione = 0;
  }
  return true;
}

// The bound test: true when the line lies beyond the route.
bool lettura_linea::oltre_percorso(int32_t p) {
  if (int64_t{p} + 100 <= int64_t{50} * m_.ultima_cella) return false;
  segna_errore(m_, codice::oltre_percorso, p, "position " + n(p) + " m lies beyond the last cell " + n(m_.ultima_cella));
  return true;
}

esito lettura_linea::caratteristiche() {
  // the sign handler reads its text into riga: the keyword is kept here
  const std::string parola = m_.riga;

  if (contiene_nc(parola, "pendenza")) {
    const int32_t a = campi_.leggi_long();
    const int32_t g = campi_.leggi_long();
    if (oltre_percorso(a)) return esito::oltre_percorso;
    posa_pendenza(m_, a, g);
    if (m_.codice_errore > 0) return chiudi_rifiutata();
  }

  if (m_.scrivi_linea != 0 && contiene_nc(parola, "curva")) {
    const int32_t s = campi_.leggi_long();
    const int32_t lunghezza = campi_.leggi_long();
    if (oltre_percorso(s)) return esito::oltre_percorso;
    const std::optional<double> k = svolta_curva(parola);
    if (!k) {
      rifiuta(codice::curva_non_valida, "the curve keyword has no class digit 1 to 6");
      return esito::interrompi;
    }
    posa_curva(m_, s, lunghezza, *k);
    if (m_.codice_errore > 0) return chiudi_rifiutata();
  }

  if (contiene_nc(parola, "montagna")) {
    int32_t inizio = campi_.leggi_long();
    int32_t fine = campi_.leggi_long();
    int32_t tipo = campi_.leggi_long();
    if (oltre_percorso(inizio)) return esito::oltre_percorso;
    memo_montagna(m_, inizio, fine, tipo);
    if (m_.codice_errore > 0) {
      segna_posizione(m_, inizio);
      return chiudi_rifiutata();
    }
  }

  if (contiene_nc(parola, "indicatori_v")) {
    const int32_t posizione = campi_.leggi_long();
    int32_t vas = campi_.leggi_long();
    int32_t vbs = campi_.leggi_long();
    int32_t vcs = campi_.leggi_long();
    int32_t strisces = campi_.leggi_long();
    int32_t vad = campi_.leggi_long();
    int32_t vbd = campi_.leggi_long();
    int32_t vcd = campi_.leggi_long();
    int32_t strisced = campi_.leggi_long();
    if (oltre_percorso(posizione)) return esito::oltre_percorso;
    memo_indicatori_v_max(m_, posizione, vas, vbs, vcs, strisces, vad, vbd, vcd, strisced);
    if (m_.codice_errore > 0) {
      segna_posizione(m_, posizione);
      return chiudi_rifiutata();
    }
  }

  if (contiene_nc(parola, "indicat") && contiene_nc(parola, "cartello")) {
    const int32_t p = campi_.leggi_long();
    m_.riga = campi_.leggi_testo();
    if (oltre_percorso(p)) return esito::oltre_percorso;
    posa_cartello(m_, p, m_.riga);
    if (m_.codice_errore > 0) {
      segna_posizione(m_, p);
      return chiudi_rifiutata();
    }
  }

  return esito::prosegui;
}

}  // namespace

bool leggi_descrizione_linea(modello& m, sorgenti_descrizione& sorgenti) {
  assegna_nome(m.voce(voci::linea), m.nome_linea);
  assegna_nome(m.voce(voci::treno), m.numero_treno);
  m.luogo_corrente = luogo{sorgente::linea, 0, {}};

  const std::optional<std::string> testo = sorgenti.leggi_linea();
  if (!testo) {
    segna_errore(m, codice::linea_mancante, sorgenti.nome_linea() + " does not exist");
    return false;
  }
  lettura_linea lettura(m, sorgenti, *testo);
  return lettura.esegui();
}

}  // namespace scenario
