// compila_scenario --osserva: which requests are served, the watcher's
// settling, the served page, and the live loop end to end over HTTP.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tools/aiuto_osserva.hpp"
#include "tools/compila_scenario/osserva/pagina_viva.hpp"
#include "tools/compila_scenario/osserva/server_pagina.hpp"
#include "tools/compila_scenario/osserva/sorvegliante.hpp"

namespace scenario::prova {
namespace {

namespace fsys = std::filesystem;
using namespace osserva;

TEST(osserva_richieste, solo_questo_host_solo_get_solo_le_pagine) {
  struct caso {
    const char* metodo;
    const char* percorso;
    std::optional<std::string> host;
    int atteso;
  };
  const std::vector<caso> casi{
      {"GET", "/", "127.0.0.1:8080", 0},
      {"GET", "/eventi", "localhost:8080", 0},
      {"GET", "/", "LocalHost:8080", 0},
      {"GET", "/", "evil.com", 403},
      {"GET", "/", "evil.com:8080", 403},
      {"GET", "/", "127.0.0.1:8081", 403},
      {"GET", "/", "127.0.0.1:80800", 403},
      {"GET", "/", "127.0.0.1", 403},
      {"GET", "/", ":8080", 403},
      {"GET", "/", "localhost.evil.com:8080", 403},
      {"GET", "/", "x127.0.0.1:8080", 403},
      {"GET", "/", "", 403},
      {"GET", "/", std::nullopt, 403},
      {"POST", "/", "evil.com", 403},
      {"POST", "/", "127.0.0.1:8080", 405},
      {"HEAD", "/", "127.0.0.1:8080", 405},
      {"get", "/", "127.0.0.1:8080", 405},
      {"GET", "/../x", "127.0.0.1:8080", 404},
      {"GET", "/etc/passwd", "127.0.0.1:8080", 404},
      {"GET", "/eventi/", "127.0.0.1:8080", 404},
      {"GET", "", "127.0.0.1:8080", 404},
      {"GET", "//", "127.0.0.1:8080", 404},
  };
  for (const caso& c : casi) {
    const auto host = c.host ? std::optional<std::string_view>(*c.host) : std::nullopt;
    EXPECT_EQ(rifiuto_richiesta(c.metodo, c.percorso, host, 8080), c.atteso)
        << c.metodo << " " << c.percorso << " Host " << c.host.value_or("(none)");
  }
}

TEST(osserva_argomenti, con_chi_va_e_con_chi_no) {
  struct caso {
    std::vector<std::string> argomenti;
    std::string errore;
    int porta;
  };
  const std::vector<std::string> base{"--linea", "A", "--treno", "1"};
  const auto con = [&base](std::vector<std::string> altri) {
    std::vector<std::string> r = base;
    r.insert(r.end(), altri.begin(), altri.end());
    return r;
  };
  const std::vector<caso> casi{
      {con({"--osserva"}), "", 0},
      {con({"--osserva", "--porta", "8123"}), "", 8123},
      {con({"--porta=0", "--osserva"}), "", 0},
      {con({"--osserva", "--porta", "65535"}), "", 65535},
      {con({"--osserva", "--porta", "65536"}), "--porta needs a port number from 0 to 65535", 0},
      {con({"--osserva", "--porta", "-1"}), "--porta needs a port number from 0 to 65535", 0},
      {con({"--osserva", "--porta", "80a"}), "--porta needs a port number from 0 to 65535", 0},
      {con({"--osserva", "--porta", ""}), "--porta needs a port number from 0 to 65535", 0},
      {con({"--porta", "8123"}), "--porta goes only with --osserva", 0},
      {con({"--osserva", "--json"}), "--json does not go with --osserva", 0},
      {con({"--osserva", "--osserva"}), "--osserva given twice", 0},
      {con({"--osserva=1"}), "--osserva takes no value", 0},
      {{"--nuovo", "A", "1", "--osserva"}, "--osserva does not go with --nuovo", 0},
      {{"--lsp", "--osserva"}, "--lsp takes no other option", 0},
  };
  for (const caso& c : casi) {
    const argomenti_letti a = leggi_argomenti(c.argomenti);
    std::string riga;
    for (const std::string& x : c.argomenti) riga += x + " ";
    EXPECT_EQ(a.errore, c.errore) << riga;
    if (c.errore.empty()) {
      EXPECT_TRUE(a.opzioni.osserva) << riga;
      EXPECT_EQ(a.opzioni.porta, c.porta) << riga;
    }
  }
}

TEST(osserva_sorvegliante, un_cambio_conta_quando_i_file_stanno_fermi) {
  using ms = std::chrono::milliseconds;
  struct passo {
    int tempo_ms;
    uint64_t dimensione;  // of the train file; 0: absent
    bool atteso;
  };
  struct caso {
    const char* nome;
    std::vector<passo> passi;
  };
  const std::vector<caso> casi{
      {"nothing changes", {{50, 10, false}, {100, 10, false}, {500, 10, false}}},
      {"one save", {{50, 11, false}, {100, 11, true}, {150, 11, false}}},
      {"too soon to count", {{50, 11, false}, {80, 11, false}, {100, 11, true}}},
      {"saved in steps", {{50, 0, false}, {100, 5, false}, {150, 11, false}, {200, 11, true}}},
      {"changed and changed back", {{50, 11, false}, {100, 10, false}, {150, 10, false}, {300, 10, false}}},
      {"two saves, two compiles", {{50, 11, false}, {100, 11, true}, {150, 12, false}, {200, 12, true}}},
      {"gone and staying gone", {{50, 0, false}, {100, 0, true}, {150, 0, false}}},
  };
  for (const caso& c : casi) {
    uint64_t dimensione = 10;
    const auto leggi = [&dimensione](const fsys::path& f) {
      impronta_file i;
      i.presente = f != "treno" || dimensione != 0;
      i.dimensione = f == "treno" ? dimensione : 7;
      return i;
    };
    sorvegliante s({"linea", "treno"}, leggi, ms(50));
    const auto zero = sorvegliante::orologio::time_point{};
    for (const passo& p : c.passi) {
      dimensione = p.dimensione;
      EXPECT_EQ(s.guarda(zero + ms(p.tempo_ms)), p.atteso) << c.nome << " at " << p.tempo_ms << " ms";
    }
  }
}

TEST(osserva_sorvegliante, un_file_sostituito_con_uno_uguale_di_misura_conta) {
  cartella_temporanea c;
  const fsys::path f = c.percorso() / "a.txt";
  scrivi_file(f, "uno");
  const impronta_file prima = leggi_impronta(f);
  scrivi_file(c.percorso() / "b.txt", "due");
  fsys::rename(c.percorso() / "b.txt", f);
  const impronta_file dopo = leggi_impronta(f);
  EXPECT_TRUE(prima.presente);
  EXPECT_EQ(prima.dimensione, 3u);
  EXPECT_NE(prima, dopo);
  EXPECT_FALSE(leggi_impronta(c.percorso() / "manca.txt").presente);
}

const std::string pagina_buona =
    "<html><head><title>t</title></head><body data-fine=\"1\">\n<header><h1>Line</h1><p>no messages</p></header>\n"
    "<main><section class=\"pannello\" id=\"pianta\">DRAWING</section></main><script>hover()</script></body></html>";
const std::string pagina_senza =
    "<html><head></head><body>\n<header><h1>Compile report</h1><p>the file is empty</p></header><main><p "
    "class=\"assente\">nothing</p></main></body></html>";

TEST(osserva_pagina, il_copione_va_in_fondo_una_volta_con_la_versione) {
  const std::string p = con_copione(pagina_buona, 7);
  EXPECT_NE(p.find("<script id=\"osserva\" data-versione=\"7\">"), std::string::npos);
  EXPECT_LT(p.find("id=\"osserva\""), p.rfind("</body>"));
  EXPECT_GT(p.find("id=\"osserva\""), p.find("hover()"));
  EXPECT_EQ(p.find("id=\"osserva\""), p.rfind("id=\"osserva\""));
  EXPECT_NE(p.find("<link rel=\"icon\" href=\"data:,\"></head>"), std::string::npos);
}

TEST(osserva_pagina, una_compilazione_senza_disegni_tiene_gli_ultimi_buoni) {
  pagine_vive pagine;
  // nothing good yet: the page as it is
  const std::string prima = pagine.componi({pagina_senza, false}, "10:00:00", 1);
  EXPECT_NE(prima.find("the file is empty"), std::string::npos);
  EXPECT_EQ(prima.find("disegni-vecchi"), std::string::npos);

  pagine.componi({pagina_buona, true}, "10:00:05", 2);
  const std::string vecchia = pagine.componi({pagina_senza, false}, "10:00:09", 3);
  EXPECT_NE(vecchia.find("the file is empty"), std::string::npos);  // the new messages
  EXPECT_EQ(vecchia.find("no messages"), std::string::npos);        // not the old ones
  EXPECT_NE(vecchia.find("DRAWING"), std::string::npos);
  EXPECT_NE(vecchia.find("hover()"), std::string::npos);
  EXPECT_NE(vecchia.find("data-fine=\"1\""), std::string::npos);
  const std::size_t banner = vecchia.find("id=\"disegni-vecchi\"");
  ASSERT_NE(banner, std::string::npos);
  EXPECT_NE(vecchia.find("last good compile, at 10:00:05"), std::string::npos);
  EXPECT_LT(vecchia.find("<main>"), banner);
  EXPECT_LT(banner, vecchia.find("DRAWING"));
  EXPECT_NE(vecchia.find("data-versione=\"3\""), std::string::npos);

  const std::string di_nuovo = pagine.componi({pagina_buona, true}, "10:00:12", 4);
  EXPECT_EQ(di_nuovo.find("disegni-vecchi"), std::string::npos);
}

TEST(osserva_pagina, senza_le_sue_parti_la_pagina_nuova_resta_com_e) {
  EXPECT_FALSE(con_disegni_vecchi(pagina_buona, "<html>no header</html>", "x"));
  EXPECT_FALSE(con_disegni_vecchi("<header></header> no main", pagina_senza, "x"));
  EXPECT_TRUE(con_disegni_vecchi(pagina_buona, pagina_senza, "x"));
}

TEST(osserva_vetrina, chi_aspetta_vede_la_versione_nuova_o_la_chiusura) {
  vetrina v;
  EXPECT_EQ(v.attuale().versione, 0u);
  EXPECT_EQ(v.pubblica("uno"), 1u);
  EXPECT_EQ(v.attendi_dopo(0, std::chrono::milliseconds(0)), 1u);
  // nothing newer: the version seen, once the wait ran out
  EXPECT_EQ(v.attendi_dopo(1, std::chrono::milliseconds(0)), 1u);
  std::thread t([&v] { v.pubblica("due"); });
  EXPECT_EQ(v.attendi_dopo(1, attesa_massima), 2u);
  t.join();
  EXPECT_EQ(*v.attuale().pagina, "due");
  v.chiudi();
  EXPECT_FALSE(v.attendi_dopo(0, attesa_massima));
}

}  // namespace
}  // namespace scenario::prova
