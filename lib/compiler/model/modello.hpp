#pragma once
// The route model: cells, record table, plan geometry, mountain stretches and
// the status. One value per compile, passed by reference.
#include <array>
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "compiler/model/campi_letti.hpp"
#include "compiler/model/diagnostico.hpp"
#include "io/memoria_azzerata.hpp"

namespace scenario {

struct cella {
  uint8_t tipo = 0;
  int16_t valore = 0;
  int16_t valore2 = 0;
  int16_t valore3 = 0;
  int16_t valore4 = 0;
  uint8_t tempo = 0;
  uint8_t avvicinamento = 0;
  uint8_t tipo_montagna = 0;
  uint8_t vel_limite = 0;
  uint8_t pendenza = 0;
  uint8_t aderenza = 0;
};

// Cell types.
namespace tipo_cella {
inline constexpr uint8_t libera = 0;
inline constexpr uint8_t segnale = 1;
inline constexpr uint8_t fine_rallentamento = 2;
inline constexpr uint8_t inizio_rallentamento = 3;
inline constexpr uint8_t avviso_rallentamento = 4;
inline constexpr uint8_t prima_avviso = 5;
inline constexpr uint8_t indicatori_v_max = 6;
inline constexpr uint8_t stazione = 10;
inline constexpr uint8_t marcatore_montagna = 11;
inline constexpr uint8_t abbattimento = 12;
inline constexpr uint8_t abbattimento_nullo = 13;
inline constexpr uint8_t cartello = 14;
}  // namespace tipo_cella

// Type 11 is a weak mark: point features may take its place.
inline bool libera(const cella& c) {
  return c.tipo == tipo_cella::libera || c.tipo == tipo_cella::marcatore_montagna;
}

struct voce_tabella {
  uint8_t tipo = 0;
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t posizione = 0;
  uint8_t campo_4 = 0;
  std::string nome;  // bytes, Windows-1252
  int16_t campo_7 = 0;
  int16_t campo_8 = 0;
  int16_t campo_10 = 0;
  int16_t campo_11 = 0;
  int16_t campo_12 = 0;
  uint8_t campo_9 = 0;
  uint8_t sosta = 0;
  uint8_t campo_6 = 0;
  uint8_t campo_5 = 0;
  int32_t orario = 0;
};

// The file form keeps a name's length in 16 bits: longer names are refused.
inline constexpr std::size_t lunghezza_massima_nome = 65535;
void assegna_nome(voce_tabella& voce, std::string testo);

// Element kinds of the plan geometry, numbered as the line file tags them.
enum class tipo_elemento : uint8_t { vuoto = 0, intero = 2, doppio = 5 };

// Memory the system hands out zeroed, whose elements a growing vector leaves
// as they are: a table of zeros costs no pass over it and few page faults.
template <class T>
struct allocatore_azzerato {
  using value_type = T;
  allocatore_azzerato() = default;
  template <class U>
  allocatore_azzerato(const allocatore_azzerato<U>&) noexcept {}
  T* allocate(std::size_t n) {
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
    return static_cast<T*>(memoria_azzerata(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) noexcept { libera_memoria(p, n * sizeof(T)); }
  template <class U>
  void construct(U*) noexcept {}
  template <class U, class A, class... Altri>
  void construct(U* p, A&& a, Altri&&... altri) {
    ::new (static_cast<void*>(p)) U(std::forward<A>(a), std::forward<Altri>(altri)...);
  }
  friend bool operator==(const allocatore_azzerato&, const allocatore_azzerato&) { return true; }
};

// Plan geometry, one row per metre: both components of a row are set together.
// Storage is claimed at the first write, so recreating the table (a second
// route-length line) costs nothing until a row is computed.
class tracciato_piano {
 public:
  void crea(int32_t estensione);  // rows 0..estensione, all empty
  bool esiste() const { return esiste_; }
  int32_t ultima_riga() const { return righe_ - 1; }
  tipo_elemento tipo(int64_t riga) const {
    const auto i = indice(riga);
    return tipi_.empty() ? tipo_elemento::vuoto : tipi_[i];
  }
  double x(int64_t riga) const {
    const auto i = indice(riga);
    return punti_.empty() ? 0.0 : punti_[i].x;
  }
  double y(int64_t riga) const {
    const auto i = indice(riga);
    return punti_.empty() ? 0.0 : punti_[i].y;
  }
  void imposta_interi(int64_t riga, int16_t x, int16_t y) { imposta(riga, tipo_elemento::intero, x, y); }
  void imposta_doppi(int64_t riga, double x, double y) { imposta(riga, tipo_elemento::doppio, x, y); }

 private:
  struct punto {
    double x;
    double y;
  };
  std::size_t indice(int64_t riga) const {
    if (!esiste_ || riga < 0 || riga >= righe_) fuori(riga);
    return static_cast<std::size_t>(riga);
  }
  [[noreturn]] void fuori(int64_t riga) const;
  void imposta(int64_t riga, tipo_elemento tipo, double x, double y) {
    const auto i = indice(riga);
    if (tipi_.empty()) occupa();
    tipi_[i] = tipo;
    punti_[i] = punto{x, y};
  }
  void occupa();
  bool esiste_ = false;
  int32_t righe_ = 0;
  // fresh from the allocator only: a zero row is vuoto at 0, 0
  std::vector<tipo_elemento, allocatore_azzerato<tipo_elemento>> tipi_;
  std::vector<punto, allocatore_azzerato<punto>> punti_;
};

// Records of tabella with a fixed role; sign texts take 80 downwards.
namespace voci {
inline constexpr int32_t primo_cartello = 80;   // text of the first sign board
inline constexpr int32_t progressiva_tre = 81;   // kilometric references, as the line names them
inline constexpr int32_t progressiva_due = 82;
inline constexpr int32_t progressiva_uno = 83;
inline constexpr int32_t percorso = 84;          // route length, train start and coaches
inline constexpr int32_t linea = 85;             // line name, backgrounds, format number, st code
inline constexpr int32_t treno = 86;             // train number, signal repetition, train data
}  // namespace voci

// Format numbers every compiled scenario carries.
inline constexpr int16_t formato_scenario = 610;   // record 85, campo_7
inline constexpr int16_t formato_percorso = 5121;  // cell 1, valore

// Placement state of the line features, kept for the whole of memorizza_dati.
struct stato_posa {
  int32_t ultima_pendenza = 0;
  int32_t cursore_pendenza = 0;
  int32_t cursore_geometria = 2;
  int32_t indice_cartelli = voci::primo_cartello;  // T: the record the next sign text goes to
};

// A description entry that placed something the finishing pass or a later
// check may complain about: where it was written.
struct origine {
  int64_t cella = 0;  // the cell it marked
  luogo dove;
  int32_t inizio = 0;  // kilometric references: start and offset as written
  int32_t fine = 0;
};

inline constexpr int32_t numero_voci = 87;
inline constexpr int32_t numero_montagne = 80;

struct modello {
  std::string nome_linea;
  std::string numero_treno;
  bool scrivi_linea = false;  // the track plan is kept and the line file written
  int32_t estensione = 0;
  int32_t ultima_cella = 0;
  int32_t n_montagne = 0;
  std::string riga;
  int32_t codice_errore = 0;
  int32_t posizione_errore = 0;

  std::vector<cella> celle;  // empty until the route length is read
  std::array<voce_tabella, numero_voci> tabella{};
  tracciato_piano tracciato;
  std::array<int32_t, numero_montagne + 1> montagna_inizio{};
  std::array<int32_t, numero_montagne + 1> montagna_fine{};
  stato_posa posa;

  // Where this compile's diagnostics go (none: nowhere); the files never see them.
  destinatario_diagnostici* diagnostici = nullptr;
  // Who is told each field the readers take (none: nobody).
  destinatario_campi* campi_letti = nullptr;
  // Checking on: a refused entry is reported and the reading goes on with the
  // next one, and the train file is read after a refused line. Such a model
  // only finds problems; nothing is written from it.
  bool verifica = false;
  std::vector<origine> origini_treno;        // signals and slowdowns, by their cells
  std::vector<origine> origini_progressive;  // kilometric reference entries as read

  bool ha_celle() const { return !celle.empty(); }
  // Checked access: an index outside the array is a run-time failure.
  cella& cel(int64_t i);
  const cella& cel(int64_t i) const;
  voce_tabella& voce(int64_t i);
  const voce_tabella& voce(int64_t i) const;

  // Creates cells 0..ultima (all zero); a negative ultima is a run-time failure.
  void crea_celle(int64_t ultima);
};

// What a cell type holds, for people ("a station mark").
const char* nome_tipo_cella(uint8_t tipo);
// The refusal of an entry whose cell c is taken, naming the entry that took it
// when it is known; `cosa` names the entry's cell ("signal ").
void segna_occupata(modello& m, int32_t codice, std::optional<int32_t> posizione, const std::string& cosa, int64_t c);

// Sets codice_errore (and posizione_errore when the diagnostic has a position)
// and hands the diagnostic on; the text defaults to the code's meaning.
void segna_errore(modello& m, diagnostico d);
// At the entry being read: the reader's sink stamps where.
void segna_errore(modello& m, int32_t codice, std::string dettaglio = {});
void segna_errore(modello& m, int32_t codice, int32_t posizione, std::string dettaglio = {});
// Sets posizione_errore only.
void segna_posizione(modello& m, int32_t posizione);
// A warning: never a status, never a byte of any file.
void segna_avviso(modello& m, luogo dove, std::string testo, std::vector<correlato> correlati = {},
                  std::optional<int32_t> posizione = std::nullopt);

}  // namespace scenario
