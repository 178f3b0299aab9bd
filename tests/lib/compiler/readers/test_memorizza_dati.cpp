// The single failure trap around both readers.
#include <gtest/gtest.h>

#include <new>

#include "compiler/model/codici.hpp"
#include "compiler/readers/memorizza_dati.hpp"
#include "io/errore_io.hpp"
#include "support/supporto.hpp"

namespace scenario {
namespace {

// Descriptions whose train file fails to read, and whose deletions may fail too.
class sorgenti_guaste : public prova::sorgenti_memoria {
 public:
  enum class guasto { memoria, disco };
  guasto lettura = guasto::disco;
  bool eliminazione_guasta = false;

  std::string leggi_treno() override {
    if (lettura == guasto::memoria) throw std::bad_alloc();
    throw errore_io("treno-.txt", "Input/output error");
  }
  void elimina_treno() override {
    if (eliminazione_guasta) throw errore_io("treno-.txt", "Permission denied");
    prova::sorgenti_memoria::elimina_treno();
  }
};

const std::string linea_breve = prova::righe({"[generale]", "lunghezza percorso, 2000", "[curve]", "[fine]"});

TEST(MemorizzaDati, RunningOutOfMemoryIsAReadingFailure) {
  modello m;
  sorgenti_guaste s;
  s.linea = linea_breve;
  s.treno = "[generale]\r\n";
  s.lettura = sorgenti_guaste::guasto::memoria;
  memorizza_dati(m, s);
  EXPECT_EQ(m.codice_errore, codice::errore_lettura);
  EXPECT_TRUE(s.linea_eliminata);
  EXPECT_TRUE(s.treno_eliminato);
}

TEST(MemorizzaDati, ADiskFailureIsReportedEvenWhenTheCleanUpFailsToo) {
  modello m;
  sorgenti_guaste s;
  s.linea = linea_breve;
  s.treno = "[generale]\r\n";
  s.eliminazione_guasta = true;
  try {
    memorizza_dati(m, s);
    FAIL() << "the disk failure was swallowed";
  } catch (const errore_io& e) {
    // the read that failed first, not the deletion after it
    EXPECT_EQ(e.file(), "treno-.txt");
    EXPECT_EQ(e.motivo(), "Input/output error");
  }
  EXPECT_TRUE(s.linea_eliminata);
  EXPECT_NE(m.codice_errore, codice::errore_lettura);
}

}  // namespace
}  // namespace scenario
