// The feature tables and what walks them: which records are stations, every
// field copied off the model, a slowdown's end and pre-warning cells.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "contenuto/campi_contenuto.hpp"
#include "contenuto/descrizione.hpp"
#include "contenuto/json.hpp"

namespace scenario {
namespace {

// Sets one field of a record to a value no other field holds: k + 1, or a text.
void imposta(const campo_record<voce_tabella>& c, voce_tabella& v, int32_t k) {
  std::visit(
      [&](auto membro) {
        using T = std::remove_reference_t<decltype(v.*membro)>;
        if constexpr (std::is_same_v<T, std::string>) {
          v.*membro = "X" + std::to_string(k);
        } else {
          v.*membro = static_cast<T>(k + 1);
        }
      },
      c.membro);
}

modello con_celle(int32_t n) {
  modello m;
  m.crea_celle(n);
  return m;
}

TEST(CampiContenuto, OgniCampoDaSoloFaUnaStazione) {
  for (std::size_t k = 0; k < campi_voce.size(); ++k) {
    modello m = con_celle(40);
    imposta(campi_voce[k], m.voce(5), static_cast<int32_t>(k));
    const contenuto_scenario c = estrai_contenuto(m);
    ASSERT_EQ(c.stazioni.size(), 1u) << campi_voce[k].nome;
    EXPECT_EQ(c.stazioni[0].record, 5) << campi_voce[k].nome;
  }
  EXPECT_TRUE(estrai_contenuto(con_celle(40)).stazioni.empty());
}

// A sign text with anything but its text is a station; a bare one is not.
TEST(CampiContenuto, UnTestoConUnAltroCampoEUnaStazione) {
  for (std::size_t k = 0; k < campi_voce.size(); ++k) {
    if (campi_voce[k].nome == "nome") continue;
    modello m = con_celle(40);
    m.voce(voci::primo_cartello).nome = "(PONTE)";
    imposta(campi_voce[k], m.voce(voci::primo_cartello), static_cast<int32_t>(k));
    const contenuto_scenario c = estrai_contenuto(m);
    ASSERT_EQ(c.stazioni.size(), 1u) << campi_voce[k].nome;
    EXPECT_EQ(c.stazioni[0].record, voci::primo_cartello);
  }
  modello m = con_celle(40);
  m.voce(voci::primo_cartello).nome = "(PONTE)";
  EXPECT_TRUE(estrai_contenuto(m).stazioni.empty());
}

// Each record field is read into exactly one station field, with its value.
TEST(CampiContenuto, OgniCampoDelRecordCopiatoUnaVolta) {
  modello m = con_celle(40);
  for (std::size_t k = 0; k < campi_voce.size(); ++k) imposta(campi_voce[k], m.voce(7), static_cast<int32_t>(k));
  const contenuto_scenario c = estrai_contenuto(m);
  ASSERT_EQ(c.stazioni.size(), 1u);
  const stazione& s = c.stazioni[0];
  for (std::size_t k = 0; k < campi_voce.size(); ++k) {
    const auto quanti = std::count_if(campi_stazione.begin(), campi_stazione.end(), [&](const auto& f) {
      return nome_nel_record(f, campi_voce) == campi_voce[k].nome;
    });
    EXPECT_EQ(quanti, 1) << campi_voce[k].nome;
  }
  for (const auto& f : campi_stazione) {
    const std::string_view nome = nome_nel_record(f, campi_voce);
    if (nome.empty()) continue;
    const auto k = std::find_if(campi_voce.begin(), campi_voce.end(), [&](const auto& r) { return r.nome == nome; }) -
                   campi_voce.begin();
    if (f.unita == unita_campo::testo) {
      EXPECT_EQ(s.*std::get<std::string stazione::*>(f.membro), "X" + std::to_string(k));
    } else {
      EXPECT_EQ(numero_di(f.membro, s), k + 1) << nome;
    }
  }
}

TEST(CampiContenuto, OgniCampoDelSegnaleCopiato) {
  modello m = con_celle(40);
  cella& x = m.cel(10);
  x = {tipo_cella::segnale, 21, 41, 10, 18, 135, 0, 0, 0, 0, 0};
  const contenuto_scenario c = estrai_contenuto(m);
  ASSERT_EQ(c.segnali.size(), 1u);
  const segnale& g = c.segnali[0];
  EXPECT_EQ(g.cella, 10);
  EXPECT_EQ(g.metri, 450);
  EXPECT_EQ((std::array<int64_t, 5>{g.valore, g.valore2, g.valore3, g.valore4, g.tempo}),
            (std::array<int64_t, 5>{21, 41, 10, 18, 135}));
}

// The listing and JSON walk the tables in their order, fields of one label joined.
TEST(CampiContenuto, ElencoEJsonDallaTabella) {
  modello m = con_celle(40);
  voce_tabella& v = m.voce(3);
  v = {2, 100, 300, 200, 4, "VALDORA", 7, 8, 10, 11, 12, 9, 30, 6, 5, 3661};
  m.cel(4) = {tipo_cella::stazione, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const contenuto_scenario c = estrai_contenuto(m);
  const std::string e = elenco(c);
  EXPECT_NE(e.find("  station 3 VALDORA: position 200 m, stretch 100-300 m, type 2, time 01:01:01, stop 30 s, "
                   "mark cell 4, fields 4-12 4 5 6 7 8 9 10 11 12\n"),
            std::string::npos)
      << e;
  EXPECT_EQ(in_json(c)["stations"][0].dump(),
            R"({"record":3,"name":"VALDORA","type":2,"position":200,"start":100,"end":300,"time":3661,"stop":30,)"
            R"("mark_cell":4,"fields":[4,5,6,7,8,9,10,11,12]})");
}

// A slowdown's end is the first end cell before another start; its pre-warning cells are both there.
TEST(CampiContenuto, FineEPreavvisoDelRallentamento) {
  struct caso {
    const char* nome;
    bool prima_25, prima_28, altro_inizio;
    bool preavviso;
    bool ha_fine;
  };
  const caso casi[] = {
      {"both pre-warning cells", true, true, false, true, true},
      {"only the nearer", true, false, false, false, true},
      {"only the farther", false, true, false, false, true},
      {"another start before the end", true, true, true, true, false},
  };
  for (const caso& k : casi) {
    modello m = con_celle(80);
    m.cel(40).tipo = tipo_cella::inizio_rallentamento;
    m.cel(16).tipo = tipo_cella::avviso_rallentamento;
    if (k.prima_25) m.cel(15).tipo = tipo_cella::prima_avviso;
    if (k.prima_28) m.cel(12).tipo = tipo_cella::prima_avviso;
    if (k.altro_inizio) m.cel(50).tipo = tipo_cella::inizio_rallentamento;
    m.cel(60).tipo = tipo_cella::fine_rallentamento;
    const contenuto_scenario c = estrai_contenuto(m);
    ASSERT_FALSE(c.rallentamenti.empty()) << k.nome;
    const rallentamento& r = c.rallentamenti[0];
    EXPECT_EQ(r.preavviso, k.preavviso) << k.nome;
    EXPECT_EQ(r.avviso, std::optional<int32_t>(750)) << k.nome;
    EXPECT_EQ(r.fine, k.ha_fine ? std::optional<int32_t>(2950) : std::nullopt) << k.nome;
    EXPECT_EQ(r.cella_fine, k.ha_fine ? std::optional<int32_t>(60) : std::nullopt) << k.nome;
  }
}

// Each point feature, from one cell, in the listing and in JSON: its units, "none" where it has no value.
TEST(CampiContenuto, OgniCaratteristicaDaUnaCella) {
  struct caso {
    int32_t indice;
    cella x;
    const char* chiave;
    const char* riga;
    const char* json;
  };
  const caso casi[] = {
      {40, {tipo_cella::inizio_rallentamento, 50, 3, 4, 0, 0, 0, 0, 0, 0, 0}, "slowdowns",
       "  slowdown at 1950 m: end none, warning none, pre-warning cells no, speed 50 km/h, valore2 3, valore3 4\n",
       R"({"start":1950,"end":null,"warning":null,"pre_warning":false,"speed":50,"valore2":3,"valore3":4})"},
      {1, {tipo_cella::inizio_rallentamento, 610, 77, 4, 0, 0, 0, 0, 0, 0, 0}, "slowdowns",
       "  slowdown at 0 m: end none, warning none, pre-warning cells no, speed 0 km/h, valore2 0, valore3 4\n",
       R"({"start":0,"end":null,"warning":null,"pre_warning":false,"speed":0,"valore2":0,"valore3":4})"},
      {12, {tipo_cella::abbattimento, 180, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "speed_reduction_points",
       "  speed-reduction point at 600 m: cell 12, speed 180 km/h\n", R"({"position":600,"cell":12,"speed":180})"},
      {13, {tipo_cella::abbattimento_nullo, 180, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "speed_reduction_points",
       "  speed-reduction point at 650 m: cell 13, speed none\n", R"({"position":650,"cell":13,"speed":0})"},
      {20, {tipo_cella::indicatori_v_max, 1, 2, 3, 4, 0, 0, 0, 0, 0, 0}, "speed_boards",
       "  speed boards at 950 m: cell 20, valore 1, valore2 2, valore3 3, stripes 4\n",
       R"({"position":950,"cell":20,"values":[1,2,3],"stripes":4})"},
      {30, {tipo_cella::cartello, 80, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "sign_boards",
       "  sign board at 1450 m: cell 30, record 80, text (PONTE)\n",
       R"j({"position":1450,"cell":30,"record":80,"text":"(PONTE)"})j"},
      {5, {tipo_cella::libera, 0, 0, 0, 0, 0, 84, 0, 0, 0, 0}, "approach_marks", "  approach mark in cell 5: value 84\n",
       R"({"cell":5,"value":84})"},
  };
  for (const caso& k : casi) {
    modello m = con_celle(80);
    m.voce(voci::primo_cartello).nome = "(PONTE)";
    m.cel(k.indice) = k.x;
    const contenuto_scenario c = estrai_contenuto(m);
    EXPECT_NE(elenco(c).find(k.riga), std::string::npos) << k.riga << elenco(c);
    EXPECT_EQ(in_json(c)[k.chiave][0].dump(), k.json) << k.chiave;
  }
}

TEST(CampiContenuto, OgniChiaveJsonHaIlSuoPosto) {
  for (const auto& f : campi_stazione) {
    EXPECT_NE(std::find(chiavi_json_stazione.begin(), chiavi_json_stazione.end(), f.json), chiavi_json_stazione.end())
        << f.json;
  }
  for (std::string_view k : chiavi_json_stazione) {
    EXPECT_TRUE(std::any_of(campi_stazione.begin(), campi_stazione.end(), [&](const auto& f) { return f.json == k; }))
        << k;
  }
}

}  // namespace
}  // namespace scenario
