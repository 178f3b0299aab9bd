#include "io/sistema_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <optional>
#include <system_error>
#include <vector>

#include "io/disco_comune.hpp"
#include "io/errore_io.hpp"

namespace scenario {

namespace fs = std::filesystem;

std::string testo_percorso(const fs::path& p) {
  const auto u8 = p.u8string();
  return std::string(u8.begin(), u8.end());
}

namespace {

constexpr std::string_view prefisso_temporaneo = ".scenario-";
constexpr std::string_view suffisso_temporaneo = ".tmp";
constexpr std::size_t cifre_temporaneo = 16;
// Only a folder full of planted names exhausts this.
constexpr int tentativi_temporaneo = 100;

std::string motivo_errno(int numero) {
  return std::error_code(numero, std::generic_category()).message();
}

std::FILE* apri_lettura(const fs::path& file) {
#ifdef _WIN32
  return _wfopen(file.c_str(), L"rb");
#else
  return std::fopen(file.c_str(), "rb");
#endif
}

uint64_t mescola(uint64_t x) {
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

// A fresh temporary beside `destinazione`, holding the content.
fs::path crea_temporaneo(sistema_file& fs, const file_nuovo& f, durata d) {
  for (int tentativo = 0; tentativo < tentativi_temporaneo; ++tentativo) {
    fs::path temporaneo = f.destinazione.parent_path() / fs.nome_temporaneo();
    const bool durevole = d != durata::transitoria;
    if (f.pezzi != nullptr ? fs.crea_nuovo_a_pezzi(temporaneo, *f.pezzi, f.destinazione, durevole)
                           : fs.crea_nuovo(temporaneo, f.contenuto, f.destinazione, durevole)) {
      return temporaneo;
    }
  }
  throw errore_io(testo_percorso(f.destinazione), "no free name for a temporary file in its folder");
}

}  // namespace

bool sistema_file::crea_nuovo_a_pezzi(const fs::path& file, contenuto_a_pezzi& pezzi, const fs::path& permessi_di,
                                      bool durevole) {
  std::string contenuto;
  char blocco[1 << 14];
  pezzi.ricomincia();
  for (std::size_t n; (n = pezzi.prossimi(blocco)) != 0;) contenuto.append(blocco, n);
  return crea_nuovo(file, contenuto, permessi_di, durevole);
}

std::string sistema_file::nome_temporaneo() {
  if (stato_nomi_ == 0) {
    // unpredictable names: another user cannot plant a link at the next one
    std::random_device caso;
    stato_nomi_ = (static_cast<uint64_t>(caso()) << 32) ^ caso() ^
                  static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                  reinterpret_cast<std::uintptr_t>(this);
  }
  stato_nomi_ = mescola(stato_nomi_);
  static const char cifre[] = "0123456789abcdef";
  std::string nome(prefisso_temporaneo);
  for (std::size_t i = 0; i < cifre_temporaneo; ++i) nome += cifre[(stato_nomi_ >> (4 * i)) & 0xF];
  nome += suffisso_temporaneo;
  return nome;
}

bool e_temporaneo(std::string_view nome) {
  if (nome.size() != prefisso_temporaneo.size() + cifre_temporaneo + suffisso_temporaneo.size()) return false;
  if (!nome.starts_with(prefisso_temporaneo) || !nome.ends_with(suffisso_temporaneo)) return false;
  const std::string_view cifre = nome.substr(prefisso_temporaneo.size(), cifre_temporaneo);
  return cifre.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

bool sistema_file_disco::esiste(const fs::path& file) {
  std::error_code ec;
  return fs::is_regular_file(file, ec);
}

bool sistema_file_disco::presente(const fs::path& file) {
  std::error_code ec;
  const fs::file_status stato = fs::status(file, ec);
  if (!ec) return fs::exists(stato);
  return ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory;
}

namespace {
// Why a path cannot be read as a file; nothing when it is a regular file. Checked
// before opening: opening a FIFO would wait for a writer, a device may never end.
std::optional<std::string> non_leggibile(const fs::path& file) {
  std::error_code ec;
  const fs::file_status stato = fs::status(file, ec);
  if (ec) return ec.message();
  switch (stato.type()) {
    case fs::file_type::regular: return std::nullopt;
    case fs::file_type::not_found: return motivo_errno(ENOENT);
    case fs::file_type::directory: return "is a folder, not a file";
    case fs::file_type::fifo: return "is a FIFO (named pipe), not a file";
    case fs::file_type::character:
    case fs::file_type::block: return "is a device, not a file";
    case fs::file_type::socket: return "is a socket, not a file";
    default: return "is not a regular file";
  }
}
}  // namespace

std::string sistema_file_disco::leggi(const fs::path& file) {
  if (const auto motivo = non_leggibile(file)) throw errore_io(testo_percorso(file), *motivo);
  errno = 0;
  std::FILE* f = apri_lettura(file);
  if (f == nullptr) throw errore_io(testo_percorso(file), motivo_errno(errno != 0 ? errno : ENOENT));
  std::string contenuto;
  char blocco[1 << 16];
  for (;;) {
    const std::size_t letti = std::fread(blocco, 1, sizeof blocco, f);
    contenuto.append(blocco, letti);
    if (letti < sizeof blocco) break;
  }
  const bool guasto = std::ferror(f) != 0;
  const int numero = errno;
  std::fclose(f);
  if (guasto) throw errore_io(testo_percorso(file), motivo_errno(numero != 0 ? numero : EIO));
  return contenuto;
}

sistema_file_disco::~sistema_file_disco() {
  for (const auto& a : in_attesa_) chiudi_blocco(a.second);
  for (const auto& b : bloccati_) chiudi_blocco(b.second);
}

void sistema_file_disco::rilascia(const fs::path& file) {
  const auto attesa = std::find_if(in_attesa_.begin(), in_attesa_.end(), [&](const auto& a) { return a.first == file; });
  if (attesa != in_attesa_.end()) {
    chiudi_blocco(attesa->second);  // deleted unflushed: nothing left to wait for
    in_attesa_.erase(attesa);
  }
  const auto voce = std::find_if(bloccati_.begin(), bloccati_.end(), [&](const auto& b) { return b.first == file; });
  if (voce == bloccati_.end()) return;
  chiudi_blocco(voce->second);
  bloccati_.erase(voce);
}

void sistema_file_disco::elimina(const fs::path& file) {
  std::error_code ec;
  const bool tolto = fs::remove(file, ec);
  // removed or not, the caller is done with it: a file left behind is the cleanup's
  rilascia(file);
  if (!tolto || ec) throw errore_io(testo_percorso(file), ec ? ec.message() : motivo_errno(ENOENT));
}

void sistema_file_disco::crea_cartella(const fs::path& cartella) {
  std::error_code ec;
  fs::create_directories(cartella, ec);
  if (ec) throw errore_io(testo_percorso(cartella), ec.message());
}

void pulisci_temporanei(const fs::path& cartella, fs::file_time_type limite) {
  std::error_code ec;
  for (fs::directory_iterator it(cartella, ec), fine; !ec && it != fine; it.increment(ec)) {
    if (!e_temporaneo(testo_percorso(it->path().filename()))) continue;
    std::error_code ec_voce;
    if (!fs::is_regular_file(it->symlink_status(ec_voce)) || ec_voce) continue;
    const auto quando = fs::last_write_time(it->path(), ec_voce);
    if (ec_voce || quando > limite) continue;
    elimina_se_abbandonato(it->path());  // a file we cannot remove is left: it harms nothing
  }
}

std::string messaggio_occupata(std::chrono::milliseconds attesa) {
  const auto n = attesa.count();
  return "another run is writing into this folder; gave up after " +
         (n % 1000 == 0 ? std::to_string(n / 1000) + " s" : std::to_string(n) + " ms");
}

void sostituisci_insieme(sistema_file& fs, std::span<const file_nuovo> insieme, durata d) {
  std::vector<fs::path> temporanei;
  temporanei.reserve(insieme.size());
  std::size_t rinominati = 0;
  try {
    for (const file_nuovo& f : insieme) {
      try {
        temporanei.push_back(crea_temporaneo(fs, f, d));
      } catch (const errore_io& e) {
        // the user knows the file, not its temporary
        throw errore_io(testo_percorso(f.destinazione), e.motivo());
      }
    }
    for (; rinominati < insieme.size(); ++rinominati) {
      const fs::path& temporaneo = temporanei[rinominati];
      const fs::path& destinazione = insieme[rinominati].destinazione;
      try {
        fs.rinomina(temporaneo, destinazione, d != durata::transitoria);
      } catch (const errore_io& e) {
        // the first rename also waits for the set's flushes: any temporary may be the one
        const auto suo = std::find_if(temporanei.begin(), temporanei.end(),
                                      [&](const fs::path& t) { return e.file() == testo_percorso(t); });
        if (suo == temporanei.end()) throw;
        const fs::path& di = insieme[static_cast<std::size_t>(suo - temporanei.begin())].destinazione;
        throw errore_io(e.file(), e.motivo() + " (the new " + testo_percorso(di.filename()) + ")");
      }
    }
    if (d == durata::durevole) {
      std::vector<fs::path> cartelle;
      for (const file_nuovo& f : insieme) {
        const fs::path cartella = f.destinazione.parent_path();
        if (std::find(cartelle.begin(), cartelle.end(), cartella) == cartelle.end()) cartelle.push_back(cartella);
      }
      for (const fs::path& c : cartelle) fs.sincronizza_cartella(c.empty() ? fs::path(".") : c);
    }
  } catch (...) {
    // whatever stopped the set, no temporary of ours stays behind
    for (std::size_t i = rinominati; i < temporanei.size(); ++i) {
      try {
        fs.elimina(temporanei[i]);
      } catch (const errore_io&) {
        // the first failure is the one worth reporting
      }
    }
    throw;
  }
}

void sostituisci_file(sistema_file& fs, const fs::path& destinazione, std::string_view contenuto, durata d) {
  const file_nuovo f{destinazione, contenuto};
  sostituisci_insieme(fs, std::span<const file_nuovo>(&f, 1), d);
}

void elimina_se_esiste(sistema_file& fs, const fs::path& file) {
  if (fs.esiste(file)) fs.elimina(file);
}

// Bounded reads: a file is refused from its size before a byte of it is read.

errore_troppo_grande::errore_troppo_grande(std::string file, std::uintmax_t dimensione, std::uintmax_t limite)
    : errore_io(std::move(file), "is " + std::to_string(dimensione) + " bytes, over the limit of " +
                                     std::to_string(limite) + " bytes: not read"),
      dimensione_(dimensione),
      limite_(limite) {}

std::optional<std::string> sistema_file::leggi_entro(const fs::path& file, std::uintmax_t limite) {
  if (!presente(file)) return std::nullopt;
  std::string contenuto = leggi(file);
  if (contenuto.size() > limite) throw errore_troppo_grande(testo_percorso(file), contenuto.size(), limite);
  return contenuto;
}

namespace {

// At most `limite` + 1 bytes: one past the limit tells a file that grew after
// its size was taken.
std::string leggi_al_piu(const fs::path& file, std::uintmax_t limite) {
  errno = 0;
  std::FILE* f = apri_lettura(file);
  if (f == nullptr) throw errore_io(testo_percorso(file), motivo_errno(errno != 0 ? errno : ENOENT));
  const std::uintmax_t fino_a = limite == UINTMAX_MAX ? limite : limite + 1;
  std::string contenuto;
  char blocco[1 << 16];
  while (contenuto.size() < fino_a) {
    const auto voluti = static_cast<std::size_t>(std::min<std::uintmax_t>(sizeof blocco, fino_a - contenuto.size()));
    const std::size_t letti = std::fread(blocco, 1, voluti, f);
    contenuto.append(blocco, letti);
    if (letti < voluti) break;
  }
  const bool guasto = std::ferror(f) != 0;
  const int numero = errno;
  std::fclose(f);
  if (guasto) throw errore_io(testo_percorso(file), motivo_errno(numero != 0 ? numero : EIO));
  return contenuto;
}

}  // namespace

std::optional<std::string> sistema_file_disco::leggi_entro(const fs::path& file, std::uintmax_t limite) {
  std::error_code ec;
  const fs::file_status proprio = fs::symlink_status(file, ec);
  if (proprio.type() == fs::file_type::not_found) return std::nullopt;
  if (fs::is_symlink(proprio) && fs::status(file, ec).type() == fs::file_type::not_found) {
    throw errore_io(testo_percorso(file), "is a link to nothing: what it names does not exist");
  }
  if (const auto motivo = non_leggibile(file)) throw errore_io(testo_percorso(file), *motivo);
  const std::uintmax_t dimensione = fs::file_size(file, ec);
  if (ec) throw errore_io(testo_percorso(file), ec.message());
  if (dimensione > limite) throw errore_troppo_grande(testo_percorso(file), dimensione, limite);
  std::string contenuto = leggi_al_piu(file, limite);
  if (contenuto.size() > limite) {
    const std::uintmax_t ora = fs::file_size(file, ec);
    throw errore_troppo_grande(testo_percorso(file), !ec && ora > limite ? ora : contenuto.size(), limite);
  }
  return contenuto;
}

}  // namespace scenario
