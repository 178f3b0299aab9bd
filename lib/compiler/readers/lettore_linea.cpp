#include "compiler/model/misure.hpp"
#include "compiler/readers/lettore_linea.hpp"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "compiler/model/codici.hpp"
#include "compiler/model/errori.hpp"
#include "compiler/model/numeri.hpp"
#include "compiler/placement/posa_linea.hpp"
#include "compiler/placement/progressive_ordina.hpp"
#include "compiler/readers/lettore_campi.hpp"
#include "compiler/readers/parole_chiave.hpp"
#include "compiler/readers/sorveglianza.hpp"
#include "compiler/readers/sviste.hpp"

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
      : m_(m), sorgenti_(sorgenti), campi_(testo), guarda_(m, campi_, sorgente::linea) {}

  bool esegui();
  const luogo& generale() const { return generale_; }
  const luogo& luogo_corrente() const { return guarda_.luogo_corrente(); }
  bool generale_letta() const { return generale_letta_; }

 private:
  void leggi_parola();
  bool passo(int limite_commenti, bool fine_dopo_commento);
  bool sezione_generale();
  bool voce_generale();
  esito voce_caratteristica();
  bool annota_guasto(const errore_esecuzione& e);
  bool lunghezza_percorso();
  void progressive(const std::string& parola);
  void sfondi(const std::string& parola);
  bool ripetizione_segnali(const std::string& parola);
  esito caratteristiche();
  bool oltre_percorso(int32_t p);
  bool rifiuta(int32_t codice, std::string dettaglio);
  esito chiudi_rifiutata();
  esito chiudi_se_rifiutata(int32_t posizione);
  esito pendenza();
  esito curva(const std::string& parola);
  esito montagna();
  esito indicatori_v_max();
  esito cartello();

  void crea_celle(int32_t ultima);

  modello& m_;
  sorgenti_descrizione& sorgenti_;
  lettore_campi campi_;
  sorveglianza guarda_;
  bool celle_create_ = false;
  luogo generale_;  // the [generale] marker, for a route without its length
  bool generale_letta_ = false;
  std::optional<int32_t> ultima_pendenza_;  // the furthest gradient entry so far, for the order check
  luogo dove_pendenza_;
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
  guarda_.parola_letta();
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
  generale_ = guarda_.luogo_corrente();

  while (passo(commenti_generale, false)) {
    if (!voce_generale()) return false;
    guarda_.fine_voce(parole_del_gruppo(gruppo_parole::generale_linea));
    if (chiude_generale(m_.riga)) break;
  }

  generale_letta_ = true;
  // checking on without cells: the compile has said why, nothing after can be checked
  if (m_.verifica && !m_.ha_celle()) return false;
  progressive_ordina(m_);
  avvia_posa(m_);

  while (passo(commenti_caratteristiche, true)) {
    const esito e = voce_caratteristica();
    if (e == esito::interrompi) return false;
    if (e == esito::oltre_percorso) break;
    guarda_.fine_voce(parole_del_gruppo(gruppo_parole::caratteristiche_linea));
  }
  if (campi_.fine()) guarda_.fine_file();

  sorgenti_.elimina_linea();
  completa_pendenze(m_);
  if (m_.scrivi_linea) completa_geometria(m_);
  return true;
}

// Checking on, each entry stands alone: a refusal or a run-time failure is
// reported and the next entry is read. Without cells nothing after can be checked.
bool lettura_linea::voce_generale() {
  if (!m_.verifica) return sezione_generale();
  try {
    if (!sezione_generale()) m_.codice_errore = 0;
  } catch (const errore_esecuzione& e) {
    annota_guasto(e);  // the general entries need no cells
  }
  return true;
}

esito lettura_linea::voce_caratteristica() {
  if (!m_.verifica) return caratteristiche();
  try {
    if (caratteristiche() != esito::prosegui) m_.codice_errore = 0;
  } catch (const errore_esecuzione& e) {
    if (!annota_guasto(e)) return esito::interrompi;
  }
  return esito::prosegui;
}

bool lettura_linea::annota_guasto(const errore_esecuzione& e) {
  diagnostico d;
  d.codice = codice::errore_lettura;
  d.dove = e.dove() ? *e.dove() : guarda_.luogo_corrente();
  d.testo = e.what();
  segna_errore(m_, std::move(d));
  m_.codice_errore = 0;
  return m_.ha_celle();
}

bool lettura_linea::sezione_generale() {
  const std::string parola = m_.riga;
  if (contiene_nc(parola, "percorso") && contiene_nc(parola, "lunghezza") && !lunghezza_percorso()) return false;
  progressive(parola);
  sfondi(parola);
  if (contiene(parola, "segnali") && contiene(parola, "ripetizione")) return ripetizione_segnali(parola);
  return true;
}

// The route length sizes the cells; false: the line is refused.
bool lettura_linea::lunghezza_percorso() {
  guarda_.voce("lunghezza percorso");
  const int32_t lunghezza = guarda_.lungo("the route length (m)");
  m_.voce(voci::percorso).fine = lunghezza;
  if (lunghezza > lunghezza_massima) {
    rifiuta(codice::lunghezza_eccessiva, "route length " + n(lunghezza) + " m is above " + n(lunghezza_massima) + " m");
    // checking on, the entries after it are checked on the longest route
    if (!m_.verifica) return false;
  }
  // the cells reach 7000 m past the end of the line
  m_.estensione = std::min(lunghezza, lunghezza_massima) + 7000;
  m_.ultima_cella = arrotonda_a<int32_t>(in_celle(metri(m_.estensione)), "last cell");
  if (m_.ultima_cella < 0) {
    throw errore_esecuzione("the route length " + n(lunghezza) + " m is negative (accepted: 0 to " +
                            n(lunghezza_massima) + " m)");
  }
  crea_celle(m_.ultima_cella);
  if (m_.scrivi_linea) m_.tracciato.crea(m_.estensione);
  return true;
}

// One keyword may name several references: each is read in turn, the third first.
void lettura_linea::progressive(const std::string& parola) {
  const auto leggi_progressiva = [&](int32_t record) {
    guarda_.voce("progressiva chilometrica");
    voce_tabella& v = m_.voce(record);
    v.inizio = guarda_.lungo("the start (m)");
    v.fine = guarda_.lungo("the offset (m)");
    v.posizione = guarda_.lungo("the direction flag");
    m_.origini_progressive.push_back(origine{record, guarda_.luogo_corrente(), v.inizio, v.fine});
  };
  if (contiene(parola, "tre") && contiene(parola, "progressiva")) leggi_progressiva(voci::progressiva_tre);
  if (contiene(parola, "due") && contiene(parola, "progressiva")) leggi_progressiva(voci::progressiva_due);
  if (contiene(parola, "uno") && contiene(parola, "progressiva")) leggi_progressiva(voci::progressiva_uno);
}

void lettura_linea::sfondi(const std::string& parola) {
  if (contiene(parola, "sfondo") && contiene(parola, "uno")) {
    guarda_.voce("sfondo uno");
    m_.voce(voci::linea).inizio = guarda_.lungo("the background value");
  }
  if (contiene(parola, "sfondo") && contiene(parola, "due")) {
    guarda_.voce("sfondo due");
    m_.voce(voci::linea).posizione = guarda_.lungo("the background value");
  }
  if (contiene(parola, "sfondo") && contiene(parola, "tre")) {
    guarda_.voce("sfondo tre");
    m_.voce(voci::linea).fine = guarda_.lungo("the background value");
  }
}

// false: the line is refused.
bool lettura_linea::ripetizione_segnali(const std::string& parola) {
  guarda_.voce("ripetizione segnali");
  voce_tabella& v = m_.voce(voci::treno);
  v.inizio = guarda_.lungo("the first number");
  v.fine = guarda_.lungo("the second number");
  if (!multiplo_di_cella(metri(v.inizio))) {
    return rifiuta(codice::ripetizione_inizio, "signal repetition start " + n(v.inizio) + " is not a multiple of 50");
  }
  if (!multiplo_di_cella(metri(v.fine))) {
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
  return true;
}

// The bound test: true when the line lies beyond the route.
bool lettura_linea::oltre_percorso(int32_t p) {
  if (metri(int64_t{p} + 100) <= metri_di(indice_cella(m_.ultima_cella))) return false;
  segna_errore(m_, codice::oltre_percorso, p, "position " + n(p) + " m lies beyond the last cell " + n(m_.ultima_cella));
  return true;
}

// A field may name several features: each one found is read, in this order.
esito lettura_linea::caratteristiche() {
  // the sign handler reads its text into riga: the keyword is kept here
  const std::string parola = m_.riga;
  if (contiene_nc(parola, "pendenza")) {
    if (const esito e = pendenza(); e != esito::prosegui) return e;
  }
  if (!m_.scrivi_linea && contiene_nc(parola, "curva")) guarda_.ignora_riga();  // no track plan: not read
  if (m_.scrivi_linea && contiene_nc(parola, "curva")) {
    if (const esito e = curva(parola); e != esito::prosegui) return e;
  }
  if (contiene_nc(parola, "montagna")) {
    if (const esito e = montagna(); e != esito::prosegui) return e;
  }
  if (contiene_nc(parola, "indicatori_v")) {
    if (const esito e = indicatori_v_max(); e != esito::prosegui) return e;
  }
  if (contiene_nc(parola, "indicat") && contiene_nc(parola, "cartello")) return cartello();
  return esito::prosegui;
}

esito lettura_linea::pendenza() {
  guarda_.voce("pendenza");
  const int32_t a = guarda_.lungo("the position (m)");
  const int32_t g = guarda_.lungo("the gradient (per mille)");
  if (oltre_percorso(a)) return esito::oltre_percorso;
  svista_ordine(m_, guarda_.luogo_corrente(), "gradient", a, ultima_pendenza_, dove_pendenza_);
  if (!ultima_pendenza_ || a >= *ultima_pendenza_) {
    ultima_pendenza_ = a;
    dove_pendenza_ = guarda_.luogo_corrente();
  }
  posa_pendenza(m_, a, g);
  if (m_.codice_errore > 0) return chiudi_rifiutata();
  return esito::prosegui;
}

esito lettura_linea::curva(const std::string& parola) {
  guarda_.voce("curva");
  const int32_t s = guarda_.lungo("the start (m)");
  const int32_t lunghezza = guarda_.lungo("the length (m)");
  if (oltre_percorso(s)) return esito::oltre_percorso;
  const std::optional<double> k = svolta_curva(parola);
  if (!k) {
    std::string dettaglio(1, '\'');
    dettaglio += testo_escapato(parola, forma_mostrata::byte, massimo_parola_mostrata);
    dettaglio += "' names no curve class: write curvad (right) or curvas (left) and a class digit 1 to 6, "
                 "as in curvad5";
    rifiuta(codice::curva_non_valida, std::move(dettaglio));
    return esito::interrompi;
  }
  posa_curva(m_, s, lunghezza, *k);
  if (m_.codice_errore > 0) return chiudi_rifiutata();
  return esito::prosegui;
}

esito lettura_linea::montagna() {
  guarda_.voce("montagna");
  int32_t inizio = guarda_.lungo("the start (m)");
  int32_t fine = guarda_.lungo("the end (m)");
  int32_t tipo = guarda_.lungo("the stretch type");
  if (oltre_percorso(inizio)) return esito::oltre_percorso;
  guarda_.posizione_voce(inizio);
  memo_montagna(m_, inizio, fine, tipo);
  return chiudi_se_rifiutata(inizio);
}

esito lettura_linea::indicatori_v_max() {
  guarda_.voce("indicatori_vmax");
  const int32_t posizione = guarda_.lungo("the position (m)");
  int32_t vas = guarda_.lungo("the speed of rank A (km/h)");
  int32_t vbs = guarda_.lungo("the speed of rank B (km/h)");
  int32_t vcs = guarda_.lungo("the speed of rank C (km/h)");
  int32_t strisces = guarda_.lungo("the stripe count");
  // the second set is left empty where a board has none
  int32_t vad = guarda_.lungo("the second speed of rank A", true);
  int32_t vbd = guarda_.lungo("the second speed of rank B", true);
  int32_t vcd = guarda_.lungo("the second speed of rank C", true);
  int32_t strisced = guarda_.lungo("the second stripe count");
  if (oltre_percorso(posizione)) return esito::oltre_percorso;
  guarda_.posizione_voce(posizione);
  memo_indicatori_v_max(m_, posizione, vas, vbs, vcs, strisces, vad, vbd, vcd, strisced);
  return chiudi_se_rifiutata(posizione);
}

esito lettura_linea::cartello() {
  guarda_.voce("cartello_indicatore");
  const int32_t p = guarda_.lungo("the position (m)");
  m_.riga = guarda_.testo("the sign text");
  if (oltre_percorso(p)) return esito::oltre_percorso;
  guarda_.posizione_voce(p);
  posa_cartello(m_, p, m_.riga);
  return chiudi_se_rifiutata(p);
}

// After a placement that may refuse the line: the refusal is placed at the entry.
esito lettura_linea::chiudi_se_rifiutata(int32_t posizione) {
  if (m_.codice_errore <= 0) return esito::prosegui;
  segna_posizione(m_, posizione);
  return chiudi_rifiutata();
}

}  // namespace

bool leggi_descrizione_linea(modello& m, sorgenti_descrizione& sorgenti) {
  assegna_nome(m.voce(voci::linea), m.nome_linea);
  assegna_nome(m.voce(voci::treno), m.numero_treno);
  const std::optional<std::string> testo = sorgenti.leggi_linea();
  if (!testo) {
    diagnostico d;
    d.codice = codice::linea_mancante;
    d.dove.regione.file = sorgente::linea;
    d.testo = sorgenti.nome_linea() + " does not exist";
    segna_errore(m, std::move(d));
    return false;
  }
  lettura_linea lettura(m, sorgenti, *testo);
  try {
    return lettura.esegui();
  } catch (const errore_esecuzione& e) {
    // without its length the route has no cells: say so where the length belongs
    if (!m.ha_celle() && lettura.generale_letta()) {
      throw errore_esecuzione(
          "the general section has no 'lunghezza percorso' entry, so the route has no cells "
          "(expected a line such as 'lunghezza percorso, 10000' before the first feature section)",
          lettura.generale());
    }
    if (e.dove()) throw;
    throw errore_esecuzione(e.what(), lettura.luogo_corrente());
  }
}

}  // namespace scenario
