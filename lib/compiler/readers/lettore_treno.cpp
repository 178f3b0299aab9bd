#include "compiler/model/misure.hpp"
#include "compiler/readers/lettore_treno.hpp"

#include <string>
#include <vector>

#include "compiler/model/codici.hpp"
#include "compiler/model/errori.hpp"
#include "compiler/model/numeri.hpp"
#include "compiler/placement/posa_treno.hpp"
#include "compiler/readers/lettore_campi.hpp"
#include "compiler/readers/parole_chiave.hpp"
#include "compiler/readers/sorveglianza.hpp"
#include "compiler/readers/sviste.hpp"

namespace scenario {

namespace {

// What the main loop does after an entry.
enum class esito { continua, fine_lettura, esci };

constexpr int32_t voce_treno_percorso = voci::percorso;
constexpr int32_t voce_treno = voci::treno;


// The largest speed a cell byte holds, in steps of 5 km/h.
constexpr int32_t velocita_massima = 1275;

int64_t cella_di(int64_t p) { return cella_di(metri(p)).valore(); }

class lettore_treno {
 public:
  lettore_treno(modello& m, sorgenti_descrizione& sorgenti, std::string_view testo)
      : m_(m), sorgenti_(sorgenti), campi_(testo), guarda_(m, campi_, sorgente::treno) {}

  const luogo& luogo_corrente() const { return guarda_.luogo_corrente(); }

  void leggi() {
    // Everything before the start marker is skipped.
    do {
      leggi_parola();
    } while (!campi_.fine() && !contiene_nc(m_.riga, "[generale]"));

    for (;;) {
      if (campi_.fine()) break;
      leggi_parola();
      if (campi_.fine()) break;
      // up to two comment fields in a row; a third one is used as it is
      bool alla_fine = false;
      for (int salti = 0; salti < 2 && contiene(m_.riga, "-"); ++salti) {
        leggi_parola();
        if (campi_.fine()) {
          alla_fine = true;
          break;
        }
      }
      if (alla_fine) break;
      const esito e = m_.verifica ? voce_verificata(m_.riga) : voce(m_.riga);
      if (e == esito::esci) return;
      if (e == esito::fine_lettura) break;
    }
    if (campi_.fine()) guarda_.fine_file();
    fine_file();
  }

  // Checking on, each entry stands alone: a refusal or a run-time failure is
  // reported and the next entry is read.
  esito voce_verificata(const std::string& campo) {
    try {
      if (voce(campo) != esito::continua) {
        m_.codice_errore = 0;
        guasti_in_verifica_ = true;
      }
    } catch (const errore_esecuzione& e) {
      guasti_in_verifica_ = true;
      diagnostico d;
      d.codice = codice::errore_lettura;
      d.dove = e.dove() ? *e.dove() : guarda_.luogo_corrente();
      d.testo = e.what();
      segna_errore(m_, std::move(d));
      m_.codice_errore = 0;
    }
    return esito::continua;
  }

 private:
  void leggi_parola() {
    m_.riga = campi_.leggi_testo();
    guarda_.parola_letta();
  }

  // The entry's keywords, in this order; a field may fire several of them.
  esito voce(const std::string& campo) {
    if (contiene_nc(campo, "massa") && contiene_nc(campo, "frenata")) {
      guarda_.voce("percentuale massa frenata");
      m_.voce(voce_treno_percorso).inizio = guarda_.lungo("the braked-mass percentage");
    }
    if (contiene_nc(campo, "vetture")) {
      guarda_.voce("numero vetture");
      m_.voce(voce_treno_percorso).posizione = guarda_.lungo("the number of cars");
    }
    if (contiene_nc(campo, "velocit")) {
      guarda_.voce("velocita");
      if (const esito e = velocita(); e != esito::continua) return e;
    }
    if (contiene_nc(campo, "aderenza")) {
      guarda_.voce("aderenza");
      if (const esito e = aderenza(); e != esito::continua) return e;
    }
    if (contiene_nc(campo, "orologio")) {
      guarda_.voce("orologio");
      voce_tabella& t = m_.voce(voce_treno);
      t.campo_10 = guarda_.intero("the clock hours");
      t.campo_11 = guarda_.intero("the clock minutes");
      t.campo_12 = guarda_.intero("the clock seconds");
    }
    if (contiene_nc(campo, "sabbia")) {
      guarda_.voce("sabbia");
      m_.voce(voce_treno).campo_7 = guarda_.intero("the sand value");
    }
    if (contiene_nc(campo, "segnale")) {
      guarda_.voce("segnale");
      if (const esito e = segnale(); e != esito::continua) return e;
    }
    if (contiene_nc(campo, "rallentamento")) {
      guarda_.voce("rallentamento");
      if (const esito e = rallentamento(); e != esito::continua) return e;
    }
    if (contiene_nc(campo, "abbattimento")) {
      guarda_.voce("abbattimento");
      if (const esito e = abbattimento(); e != esito::continua) return e;
    }
    if (contiene_nc(campo, "stazione")) {
      guarda_.voce("stazione");
      if (const esito e = stazione(); e != esito::continua) return e;
    }
    guarda_.fine_voce(parole_del_gruppo(gruppo_parole::treno));
    return esito::continua;
  }

  // Bound test: the entry must leave `margine` metres before the last cell.
  bool oltre(int64_t p, int64_t margine) const {
    return metri(p + margine) > metri_di(indice_cella(m_.ultima_cella));
  }

  esito oltre_percorso(int32_t p) {
    segna_errore(m_, codice::oltre_percorso, p,
                 "position " + std::to_string(p) + " m is beyond the route (last cell " +
                     std::to_string(m_.ultima_cella) + ")");
    return esito::fine_lettura;
  }

  // Refusal that ends the reading at once: the file goes, the fills do not run.
  esito rifiuta(int32_t codice, std::string dettaglio) {
    sorgenti_.elimina_treno();
    segna_errore(m_, codice, std::move(dettaglio));
    return esito::esci;
  }

  esito rifiuta(int32_t codice, int32_t posizione, std::string dettaglio) {
    sorgenti_.elimina_treno();
    segna_errore(m_, codice, posizione, std::move(dettaglio));
    return esito::esci;
  }

  // A speed no cell byte holds fails where it is first used: the message
  // points at the entry that gave it.
  uint8_t passo_velocita() {
    try {
      return arrotonda_a<uint8_t>(static_cast<double>(velocita_prec_) / 5.0, "speed limit / 5");
    } catch (const errore_esecuzione&) {
      throw errore_esecuzione("the speed " + std::to_string(velocita_prec_) +
                                  " km/h does not fit a cell (accepted: 0 to " + std::to_string(velocita_massima) +
                                  " km/h, kept in steps of 5 km/h)",
                              luogo_velocita_);
    }
  }

  esito velocita() {
    const int32_t p = guarda_.lungo("the position (m)");
    const int32_t s = guarda_.lungo("the speed (km/h)");
    const luogo qui = guarda_.luogo_corrente();
    const int32_t colonna_s = campi_.colonna();
    if (oltre(p, 100)) return oltre_percorso(p);
    sviste_.velocita(qui, luogo_in(sorgente::treno, campi_.riga(), colonna_s), p, s);
    const int64_t n = cella_di(p);
    if (n > 0) {
      do {
        if (cursore_velocita_ >= m_.ultima_cella) break;
        m_.cel(cursore_velocita_).vel_limite = passo_velocita();
        ++cursore_velocita_;
      } while (cursore_velocita_ < n);
    }
    velocita_prec_ = s;
    luogo_velocita_ = qui;
    luogo_velocita_.regione.inizio.colonna = colonna_s;
    luogo_velocita_.regione.fine = luogo_velocita_.regione.inizio;
    return esito::continua;
  }

  esito aderenza() {
    const int32_t p = guarda_.lungo("the position (m)");
    const int32_t a = guarda_.lungo("the adhesion value");
    if (oltre(p, 100)) return oltre_percorso(p);
    sviste_.aderenza(guarda_.luogo_corrente(), p);
    const int64_t n = cella_di(p);
    if (n > 0) {
      do {
        // the same stop as the speed cursor: out-of-order entries must not run past the cells
        if (cursore_aderenza_ >= m_.ultima_cella) break;
        m_.cel(cursore_aderenza_).aderenza = basso8(aderenza_prec_);
        ++cursore_aderenza_;
      } while (cursore_aderenza_ < n);
    }
    aderenza_prec_ = a;
    return esito::continua;
  }

  esito segnale() {
    using campo = int32_t valori_segnale::*;
    static constexpr std::pair<campo, const char*> campi[10] = {
        {&valori_segnale::sx, "sx"},     {&valori_segnale::s1, "s1"}, {&valori_segnale::s2, "s2"},
        {&valori_segnale::s3, "s3"},     {&valori_segnale::rapp, "rapp"}, {&valori_segnale::dx, "dx"},
        {&valori_segnale::d1, "d1"},     {&valori_segnale::d2, "d2"}, {&valori_segnale::d3, "d3"},
        {&valori_segnale::tempo, "tempo"}};
    const int32_t posizione = guarda_.lungo("the position (m)");
    valori_segnale s;
    for (const auto& [membro, nome] : campi) s.*membro = guarda_.lungo(nome);
    if (oltre(posizione, 100)) return oltre_percorso(posizione);
    annota_cella(posizione);
    guarda_.posizione_voce(posizione);
    if (memo_segnale(m_, posizione, s)) {
      sorgenti_.elimina_treno();
      segna_posizione(m_, posizione);
      return esito::esci;
    }
    return esito::continua;
  }

  esito rallentamento() {
    static constexpr const char* nomi[6] = {"the start (m)", "the speed (km/h)", "the length (m)",
                                            "f_tt", "f_ta", "d_v"};
    int32_t v[6];
    for (std::size_t i = 0; i < 6; ++i) v[i] = guarda_.lungo(nomi[i]);
    if (oltre(v[0], 100)) return oltre_percorso(v[0]);
    sviste_.rallentamento(guarda_.luogo_corrente(), v[0], v[1], v[2]);
    annota_cella(int64_t{v[0]} - 1200);  // the warning point lies 1200 m before the start
    annota_cella(v[0]);
    guarda_.posizione_voce(v[0]);
    if (memo_rallentamento(m_, v[0], v[1], v[2], v[3], v[4], v[5])) {
      sorgenti_.elimina_treno();
      segna_posizione(m_, v[0]);
      return esito::esci;
    }
    return esito::continua;
  }

  esito abbattimento() {
    const int32_t p = guarda_.lungo("the position (m)");
    const int32_t w = guarda_.lungo("the value");
    if (oltre(p, 100)) return oltre_percorso(p);
    const int64_t c = cella_di(p);
    if (c < 0 || c > m_.ultima_cella) {
      return rifiuta(codice::abbattimento_fuori, p,
                     "cell " + std::to_string(c) + " outside 0.." + std::to_string(m_.ultima_cella));
    }
    cella& cel = m_.cel(c);
    if (!libera(cel)) {
      sorgenti_.elimina_treno();
      segna_occupata(m_, codice::abbattimento_occupato, p, "", c);
      return esito::esci;
    }
    if (w > 0) {
      cel.tipo = tipo_cella::abbattimento;
      cel.valore = basso16(w);
    } else {
      cel.tipo = tipo_cella::abbattimento_nullo;
    }
    return esito::continua;
  }

  esito stazione() {
    const int32_t t_cartelli = m_.posa.indice_cartelli;
    // Records above T hold sign texts: a station must not write over them.
    if (k_ > t_cartelli) {
      return rifiuta(codice::troppe_stazioni, "record " + std::to_string(k_) + " holds a sign text");
    }
    voce_tabella& r = m_.voce(k_);

    r.posizione = guarda_.lungo("the position (m)");
    const int32_t pos = r.posizione;
    if (oltre(pos, 800)) return oltre_percorso(pos);
    if (!multiplo_di_cella(metri(pos))) {
      return rifiuta(codice::stazione_posizione, pos, "station position " + std::to_string(pos) + " m is not a multiple of 50");
    }
    r.tipo = guarda_.byte("the type");
    const int32_t lunghezza = guarda_.lungo("the length (m)");
    if (lunghezza % 100 != 0) {
      return rifiuta(codice::stazione_lunghezza, pos,
                     "station length " + std::to_string(lunghezza) + " m is not a multiple of 100");
    }
    leggi_resto_stazione(r);
    sviste_.stazione(guarda_.luogo_corrente(), pos, r.orario, r.nome);
    estendi_stazione(r, lunghezza);
    if (const esito e = segna_stazione(r, pos); e != esito::continua) return e;

    if (k_ > 1 && int64_t{r.inizio} - 350 < m_.voce(k_ - 1).fine) {
      return rifiuta(codice::stazioni_vicine, pos,
                     "starts at " + std::to_string(r.inizio) + " m, less than 350 m after the previous end at " +
                         std::to_string(m_.voce(k_ - 1).fine) + " m");
    }
    ++k_;
    if (k_ >= t_cartelli) {
      return rifiuta(codice::troppe_stazioni,
                     "station record " + std::to_string(k_) + " would reach the sign texts at " +
                         std::to_string(t_cartelli));
    }
    return esito::continua;
  }

  // The station's fields after its length, up to its name.
  void leggi_resto_stazione(voce_tabella& r) {
    r.campo_4 = guarda_.byte("field 4");
    r.campo_5 = guarda_.byte("field 5");
    r.campo_6 = guarda_.byte("field 6 (end extension)");
    r.campo_7 = guarda_.intero("field 7");
    r.campo_8 = guarda_.intero("field 8");
    r.campo_9 = guarda_.byte("field 9");
    r.campo_10 = guarda_.intero("field 10");
    r.campo_11 = guarda_.intero("field 11");
    r.campo_12 = guarda_.intero("field 12");
    r.sosta = guarda_.byte("the stop time (s)");
    const int64_t ore = guarda_.lungo("the hours");
    const int64_t minuti = guarda_.lungo("the minutes");
    const int64_t secondi = guarda_.lungo("the seconds");
    r.orario = converti<int32_t>(ore * 3600 + minuti * 60 + secondi, "scheduled time");
    assegna_nome(r, guarda_.testo("the name"));
  }

  // Start and end of the station from its type; some types drop fields 5 and 6.
  void estendi_stazione(voce_tabella& r, int32_t lunghezza) const {
    const int64_t pos = r.posizione;
    const int64_t l = lunghezza;
    int64_t inizio = 0;
    int64_t fine = 0;
    if (r.tipo == 5 || r.tipo == 6) {
      fine = pos + 150;
      inizio = pos - l;
      r.campo_6 = 0;
    } else if (r.tipo == 7 || r.tipo == 8) {
      inizio = pos - l;
      fine = pos + l;
      r.campo_6 = 0;
    } else {
      inizio = pos - l / 2;
      fine = pos + l / 2;
      if (r.campo_6 != 0) fine += 50;
    }
    r.inizio = converti<int32_t>(inizio, "station start");
    r.fine = converti<int32_t>(fine, "station end");
    if (lunghezza < 600) r.campo_5 = 0;
    if (k_ == 1) {
      r.campo_5 = 0;
      r.campo_6 = 0;
    }
  }

  // Cells of the approach marks and of the station mark; all must exist before any is written.
  esito segna_stazione(const voce_tabella& r, int32_t pos) {
    const bool con_avvicinamento = r.tipo < 25 && r.tipo != 5 && r.tipo != 6;
    const bool con_segno = r.tipo < 25;
    const double fine_celle = in_celle(metri(r.fine));
    std::vector<int64_t> da_segnare;
    if (con_avvicinamento) {
      for (int j = 1; j <= 4; ++j) {
        const double x = fine_celle - j - 1;
        if (x > 1) da_segnare.push_back(static_cast<int64_t>(arrotonda(x)));
      }
    }
    if (con_segno && fine_celle - 1 > 1) da_segnare.push_back(static_cast<int64_t>(arrotonda(fine_celle - 1)));
    for (const int64_t c : da_segnare) {
      if (c < 0 || c > m_.ultima_cella) {
        return rifiuta(codice::stazione_fuori, pos,
                       "station mark cell " + std::to_string(c) + " outside 0.." + std::to_string(m_.ultima_cella));
      }
    }

    if (con_avvicinamento) {
      for (int j = 1; j <= 4; ++j) {
        const double x = fine_celle - j - 1;
        if (x > 1) m_.cel(static_cast<int64_t>(arrotonda(x))).avvicinamento = static_cast<uint8_t>(80 + j);
      }
    }
    if (con_segno) {
      const double x = fine_celle - 1;
      if (!(x > 1)) {
        return rifiuta(codice::stazione_inizio_linea,
                       "station mark would fall at cell " + std::to_string(static_cast<int64_t>(arrotonda(x))));
      }
      const auto segno = static_cast<int64_t>(arrotonda(x));
      cella& c = m_.cel(segno);
      m_.origini_treno.push_back(origine{segno, guarda_.luogo_corrente(), 0, 0});
      c.tipo = tipo_cella::stazione;
      c.valore = converti<int16_t>(k_, "station record");
    }
    return esito::continua;
  }

  // Reached at the end of the file and after a code 15. The contents are in
  // memory already, so the file goes last: a failed deletion leaves a whole model.
  void fine_file() {
    guarda_.fuori_voce();
    do {
      m_.cel(cursore_velocita_).vel_limite = passo_velocita();
      ++cursore_velocita_;
    } while (cursore_velocita_ < m_.ultima_cella - 2);
    do {
      m_.cel(cursore_aderenza_).aderenza = basso8(aderenza_prec_);
      ++cursore_aderenza_;
    } while (cursore_aderenza_ < m_.ultima_cella - 2);
    // checking on, a refused entry would make the cross checks speak of values it never set
    if (!guasti_in_verifica_) sviste_.fine();

    for (int32_t r = voci::progressiva_tre; r <= voci::progressiva_uno; ++r) {
      const voce_tabella& v = m_.voce(r);
      if (!multiplo_di_cella(metri(v.inizio)) || !multiplo_di_cella(metri(v.fine))) {
        // named by the line that gave it: the records were reordered since
        diagnostico d;
        d.codice = codice::progressive_non_multiple;
        d.dove = luogo_in(sorgente::linea, 0, 0, "progressiva chilometrica");
        int32_t offset = v.fine;
        for (const origine& o : m_.origini_progressive) {
          if (o.inizio == v.inizio && (o.fine == v.fine || int64_t{o.fine} + 100 == v.fine)) {
            d.dove = o.dove;
            offset = o.fine;
            break;
          }
        }
        const bool inizio_storto = !multiplo_di_cella(metri(v.inizio));
        d.testo = std::string(inizio_storto ? "the start " : "the offset ") +
                  std::to_string(inizio_storto ? v.inizio : offset) +
                  " m of this kilometric reference is not a multiple of 50";
        segna_errore(m_, std::move(d));
        break;
      }
    }
    sorgenti_.elimina_treno();
  }

  // Which entry marked a cell, for the finishing pass's messages.
  void annota_cella(int64_t posizione) {
    const int64_t c = cella_di(metri(posizione), 1.0).valore();
    m_.origini_treno.push_back(origine{c, guarda_.luogo_corrente(), 0, 0});
  }

  modello& m_;
  sorgenti_descrizione& sorgenti_;
  lettore_campi campi_;
  sorveglianza guarda_;
  sviste_treno sviste_{m_};
  bool guasti_in_verifica_ = false;
  luogo luogo_velocita_;
  int32_t k_ = 1;
  int64_t cursore_velocita_ = 0;
  int64_t cursore_aderenza_ = 0;
  int32_t velocita_prec_ = 0;  // the values before the first entry
  int32_t aderenza_prec_ = 0;
};

}  // namespace

void leggi_descrizione_treno(modello& m, sorgenti_descrizione& sorgenti) {
  std::string testo;
  try {
    testo = sorgenti.leggi_treno();
  } catch (const errore_esecuzione& e) {
    // a file that is not there is about the file as a whole
    throw errore_esecuzione(e.what(), luogo_in(sorgente::treno, 0, 0));
  }
  lettore_treno lettore(m, sorgenti, testo);
  try {
    lettore.leggi();
  } catch (const errore_esecuzione& e) {
    if (e.dove()) throw;
    throw errore_esecuzione(e.what(), lettore.luogo_corrente());
  }
}

}  // namespace scenario
