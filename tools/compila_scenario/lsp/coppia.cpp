#include "tools/compila_scenario/lsp/coppia.hpp"

#include <exception>
#include <new>

#include "compiler/memorizza_percorso.hpp"
#include "compiler/model/errori.hpp"
#include "diagnostica/messaggi.hpp"
#include "tools/compila_scenario/verifica.hpp"

namespace scenario::lsp {

namespace {

// The compile's diagnostic behind its status, as the compile tool finds it.
std::optional<std::size_t> principale_di(const modello& m, const std::vector<diagnostico>& trovati) {
  if (m.codice_errore == 0) return std::nullopt;
  std::optional<std::size_t> p;
  for (std::size_t i = 0; i < trovati.size(); ++i) {
    if (trovati[i].tipo == gravita::errore && trovati[i].codice == m.codice_errore) p = i;
  }
  return p;
}

class raccolta_campi final : public destinatario_campi {
 public:
  void ricevi(const campo_letto& c) override { tutti.push_back(c); }
  std::vector<campo_letto> tutti;
};

}  // namespace

std::vector<diagnostico> diagnostici_coppia(const std::string& nome_linea, const std::string& numero_treno,
                                            std::optional<std::string> testo_linea, std::string testo_treno) {
  return esamina_coppia(nome_linea, numero_treno, std::move(testo_linea), std::move(testo_treno)).diagnostici;
}

esame_coppia esamina_coppia(const std::string& nome_linea, const std::string& numero_treno,
                            std::optional<std::string> testo_linea, std::string testo_treno) {
  modello m;
  raccolta_campi campi;
  m.campi_letti = &campi;
  m.nome_linea = nome_linea;
  m.numero_treno = numero_treno;
  raccolta_diagnostici trovati;
  m.diagnostici = &trovati;
  sorgenti_in_memoria sorgenti(testo_linea, testo_treno, nome_linea, numero_treno);
  std::optional<diagnostico> finale;
  bool interrotta = false;
  try {
    (void)memorizza_percorso(m, 1, sorgenti);
  } catch (const errore_fatale& x) {
    finale = diagnostico_di("fatal: the format or code slot is in use");
    finale->codice = x.codice();
  } catch (const errore_esecuzione& x) {
    interrotta = true;
    finale = diagnostico_di(std::string("run-time failure: ") + x.what());
    if (x.dove()) finale->dove = *x.dove();
  } catch (const std::bad_alloc&) {
    finale = diagnostico_di("out of memory");
  } catch (const std::exception& x) {
    finale = diagnostico_di(std::string("failure: ") + x.what());
  }
  m.diagnostici = nullptr;
  m.campi_letti = nullptr;
  std::vector<diagnostico> oltre;
  if (m.codice_errore != 0 || interrotta) {
    sorgenti_in_memoria di_nuovo(std::move(testo_linea), std::move(testo_treno), nome_linea, numero_treno);
    campi.tutti.clear();
    oltre = verifica_oltre(m, di_nuovo, &campi);
  }
  esame_coppia r;
  r.diagnostici = unisci_in_ordine(trovati.tutti, principale_di(m, trovati.tutti), oltre).tutti;
  if (finale) r.diagnostici.push_back(std::move(*finale));
  r.campi = std::move(campi.tutti);
  return r;
}

}  // namespace scenario::lsp
