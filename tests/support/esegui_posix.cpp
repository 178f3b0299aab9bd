#include "support/esegui.hpp"

#include <sys/wait.h>

#include <cstdio>

#include "support/supporto.hpp"

namespace scenario::prova {

std::string tra_apici(const std::string& testo) {
  std::string r = "'";
  for (char c : testo) {
    if (c == '\'') {
      r += "'\\''";
    } else {
      r += c;
    }
  }
  return r + "'";
}

std::string nome_programma(const std::string& nome) { return nome; }

esito_processo esegui(const std::string& comando, const std::filesystem::path& cartella) {
  return esegui_con_ingresso(comando, cartella, "/dev/null");
}

esito_processo esegui_con_ingresso(const std::string& comando, const std::filesystem::path& cartella,
                                   const std::filesystem::path& ingresso) {
  cartella_temporanea appoggio;
  const auto out = appoggio.percorso() / "out";
  const auto err = appoggio.percorso() / "err";
  const std::string riga = "cd " + tra_apici(cartella.string()) + " && " + comando + " >" +
                           tra_apici(out.string()) + " 2>" + tra_apici(err.string()) + " <" +
                           tra_apici(ingresso.string());
  const int stato = std::system(riga.c_str());
  esito_processo e;
  if (stato != -1 && WIFEXITED(stato)) e.stato = WEXITSTATUS(stato);
  e.uscita = leggi_file(out);
  e.errori = leggi_file(err);
  return e;
}

}  // namespace scenario::prova
