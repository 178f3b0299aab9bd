// compila_scenario --osserva over HTTP: the live loop in this process on the
// example pair, asked by httplib's client as a browser would ask it.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/esegui.hpp"
#include "tools/aiuto_osserva.hpp"

namespace scenario::prova {
namespace {

namespace fsys = std::filesystem;

// A request written by hand, for what httplib's client would not send.
int stato_grezzo(int porta, const std::string& richiesta) {
  const auto s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(porta));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string risposta;
  if (::connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0) {
    httplib::detail::send_socket(s, richiesta.data(), richiesta.size(), 0);
    char buffer[512];
    for (;;) {
      const auto n = httplib::detail::read_socket(s, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      risposta.append(buffer, static_cast<std::size_t>(n));
    }
  }
  httplib::detail::close_socket(s);
  std::smatch m;
  if (!std::regex_search(risposta, m, std::regex("^HTTP/1\\.[01] (\\d{3})"))) return -1;
  return std::stoi(m[1]);
}

std::string sostituito(std::string testo, const std::string& da, const std::string& a) {
  const std::size_t i = testo.find(da);
  EXPECT_NE(i, std::string::npos) << da;
  if (i != std::string::npos) testo.replace(i, da.size(), a);
  return testo;
}

TEST(osserva_http, solo_l_host_di_questo_server) {
  sessione_osserva s;
  ASSERT_GT(s.porta(), 0) << s.errori();
  const std::string p = std::to_string(s.porta());
  const std::string altra = std::to_string(s.porta() == 65535 ? 1 : s.porta() + 1);
  const std::vector<std::pair<std::string, int>> casi{
      {"127.0.0.1:" + p, 200}, {"localhost:" + p, 200}, {"evil.com", 403},
      {"evil.com:" + p, 403},  {"127.0.0.1:" + altra, 403}, {"127.0.0.1", 403},
      {"", 403},
  };
  for (const auto& [host, atteso] : casi) {
    httplib::Client c("127.0.0.1", s.porta());
    const auto r = c.Get("/", httplib::Headers{{"Host", host}});
    ASSERT_TRUE(r) << host;
    EXPECT_EQ(r->status, atteso) << "Host: " << host;
    EXPECT_FALSE(r->has_header("Access-Control-Allow-Origin"));
  }
  EXPECT_EQ(stato_grezzo(s.porta(), "GET / HTTP/1.0\r\n\r\n"), 403) << "no Host";
  EXPECT_EQ(stato_grezzo(s.porta(), "GET / HTTP/1.1\r\nHost: 127.0.0.1:" + p + "\r\nConnection: close\r\n\r\n"), 200);
}

TEST(osserva_http, niente_fuori_dalla_pagina_e_solo_get) {
  sessione_osserva s;
  ASSERT_GT(s.porta(), 0) << s.errori();
  httplib::Client c("127.0.0.1", s.porta());
  c.set_url_encode(false);
  for (const char* percorso : {"/../x", "/etc/passwd", "/%2e%2e/", "/%2E%2E/%2e%2e/etc/passwd", "/..%2f..%2fetc",
                               "/Borgo_Lanzi_8127-.txt", "/index.html", "/eventi/..", "//"}) {
    const auto r = c.Get(percorso);
    ASSERT_TRUE(r) << percorso;
    EXPECT_EQ(r->status, 404) << percorso;
    EXPECT_EQ(r->body.find("[generale]"), std::string::npos) << percorso;
  }
  const std::string host = "Host: 127.0.0.1:" + std::to_string(s.porta()) + "\r\nConnection: close\r\n";
  EXPECT_EQ(stato_grezzo(s.porta(), "GET /../Borgo_Lanzi_linea.txt HTTP/1.1\r\n" + host + "\r\n"), 404);
  const auto prima = fsys::directory_iterator(s.cartella());
  const std::size_t file_prima = static_cast<std::size_t>(std::distance(prima, fsys::directory_iterator{}));
  for (const char* metodo : {"POST", "PUT", "DELETE", "OPTIONS", "PATCH", "HEAD"}) {
    httplib::Request q;
    q.method = metodo;
    q.path = "/Borgo_Lanzi_linea.txt";
    q.body = "[generale]";
    q.set_header("Content-Type", "text/plain");
    const auto r = c.send(q);
    ASSERT_TRUE(r) << metodo;
    EXPECT_EQ(r->status, 405) << metodo;
  }
  const auto dopo = fsys::directory_iterator(s.cartella());
  EXPECT_EQ(static_cast<std::size_t>(std::distance(dopo, fsys::directory_iterator{})), file_prima);
  EXPECT_EQ(leggi_file(s.file(linea_esempio)), leggi_file(esempio / linea_esempio));
}

TEST(osserva_http, un_salvataggio_cambia_la_pagina_e_i_file) {
  sessione_osserva s;
  ASSERT_GT(s.porta(), 0) << s.errori();
  ascolto_eventi eventi(s.porta());
  ASSERT_TRUE(eventi.attendi(1)) << eventi.testo();
  httplib::Client c("127.0.0.1", s.porta());
  const auto prima = c.Get("/");
  ASSERT_TRUE(prima);
  EXPECT_NE(prima->body.find("VALLE ORSA"), std::string::npos);
  EXPECT_NE(prima->body.find("data-versione=\"1\""), std::string::npos);
  const std::string sim_prima = leggi_file(s.file("Borgo_Lanzi_8127.sim"));

  // saved in place
  scrivi_file(s.file(treno_esempio), sostituito(leggi_file(s.file(treno_esempio)), "VALLE ORSA", "VALLE NUOVA"));
  ASSERT_TRUE(eventi.attendi(2)) << eventi.testo();
  const auto dopo = c.Get("/");
  ASSERT_TRUE(dopo);
  EXPECT_NE(dopo->body.find("VALLE NUOVA"), std::string::npos);
  EXPECT_EQ(dopo->body.find("VALLE ORSA"), std::string::npos);
  EXPECT_NE(dopo->body.find("data-versione=\"2\""), std::string::npos);
  EXPECT_NE(leggi_file(s.file("Borgo_Lanzi_8127.sim")), sim_prima);

  // replaced by a rename, as many editors save
  scrivi_file(s.cartella() / "salvataggio", sostituito(leggi_file(s.file(treno_esempio)), "VALLE NUOVA", "VALLE TERZA"));
  fsys::rename(s.cartella() / "salvataggio", s.file(treno_esempio));
  ASSERT_TRUE(eventi.attendi(3)) << eventi.testo();
  const auto terza = c.Get("/");
  ASSERT_TRUE(terza);
  EXPECT_NE(terza->body.find("VALLE TERZA"), std::string::npos);

  EXPECT_EQ(s.ferma(), 0);
  EXPECT_EQ(s.uscita().rfind("http://127.0.0.1:" + std::to_string(s.porta()) + "/\n", 0), 0u) << s.uscita();
  EXPECT_NE(s.errori().find("compiled again"), std::string::npos);
}

TEST(osserva_http, una_compilazione_fallita_tiene_i_disegni_vecchi) {
  sessione_osserva s;
  ASSERT_GT(s.porta(), 0) << s.errori();
  ascolto_eventi eventi(s.porta());
  ASSERT_TRUE(eventi.attendi(1));
  httplib::Client c("127.0.0.1", s.porta());
  const std::string linea = leggi_file(s.file(linea_esempio));
  scrivi_file(s.file(linea_esempio), "");
  ASSERT_TRUE(eventi.attendi(2)) << eventi.testo();
  const auto vecchia = c.Get("/");
  ASSERT_TRUE(vecchia);
  EXPECT_NE(vecchia->body.find("the file is empty"), std::string::npos);
  EXPECT_NE(vecchia->body.find("id=\"disegni-vecchi\""), std::string::npos);
  for (const char* disegno : {"id=\"pianta\"", "id=\"altimetria\"", "id=\"velocita\""}) {
    EXPECT_NE(vecchia->body.find(disegno), std::string::npos) << disegno;
  }
  scrivi_file(s.file(linea_esempio), linea);
  ASSERT_TRUE(eventi.attendi(3)) << eventi.testo();
  const auto buona = c.Get("/");
  ASSERT_TRUE(buona);
  EXPECT_EQ(buona->body.find("disegni-vecchi"), std::string::npos);
  EXPECT_EQ(buona->body.find("the file is empty"), std::string::npos);
}

// The program itself, stopped by a signal while it may be compiling.
TEST(osserva_processo, si_ferma_pulito_su_sigterm_e_sigint_solo_posix) {
#ifdef _WIN32
  GTEST_SKIP() << "sends POSIX signals";
#else
  for (const char* segnale : {"TERM", "INT"}) {
    cartella_temporanea c;
    for (const char* f : {linea_esempio, treno_esempio}) fsys::copy_file(esempio / f, c.percorso() / f);
    scrivi_file(c.percorso() / "ferma.sh",
                std::string("\"$1\" --linea Borgo_Lanzi --treno 8127 --osserva >uscita.txt 2>errori.txt &\n"
                            "p=$!\n"
                            "i=0; while [ ! -s uscita.txt ] && [ $i -lt 600 ]; do sleep 0.05; i=$((i+1)); done\n"
                            "head -n 1 uscita.txt\n"
                            "echo '; nota' >> Borgo_Lanzi_8127-.txt; sleep 0.12\n"
                            "kill -") + segnale + " $p\nwait $p\necho \"stato $?\"\n");
    const esito_processo e = esegui("sh ferma.sh " + tra_apici(COMPILA_SCENARIO_EXE), c.percorso());
    EXPECT_TRUE(std::regex_search(e.uscita, std::regex("^http://127\\.0\\.0\\.1:[0-9]+/\n"))) << e.uscita;
    EXPECT_NE(e.uscita.find("stato 0\n"), std::string::npos) << segnale << ": " << e.uscita << e.errori;
    // the compiled files and ours: no temporary file, no lock left behind
    std::set<std::string> trovati;
    for (const auto& f : fsys::directory_iterator(c.percorso())) trovati.insert(f.path().filename().string());
    const std::set<std::string> attesi{linea_esempio,         treno_esempio,          "Borgo_Lanzi_linea.dat",
                                       "Borgo_Lanzi_8127.sim", "Borgo_Lanzi_8127.dat", "ferma.sh",
                                       "uscita.txt",           "errori.txt"};
    EXPECT_EQ(trovati, attesi) << segnale;
  }
#endif
}

}  // namespace
}  // namespace scenario::prova
