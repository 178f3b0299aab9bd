#pragma once
// The file layer. Every file operation of the program goes through this
// interface, so tests can inject a failure at any single step.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "io/errore_io.hpp"

namespace scenario {

// A content produced piece by piece, so that it is never whole in memory.
class contenuto_a_pezzi {
 public:
  virtual ~contenuto_a_pezzi() = default;
  // Back to the first byte: a writer that has to start over asks again.
  virtual void ricomincia() = 0;
  // Fills the front of `spazio` with the next bytes and says how many; 0 at the end.
  virtual std::size_t prossimi(std::span<char> spazio) = 0;
};

// Held while a run writes into a folder; released when destroyed.
class blocco_cartella {
 public:
  virtual ~blocco_cartella() = default;
};

// How long a run waits for another run writing into the same folder.
inline constexpr std::chrono::milliseconds attesa_blocco{30000};

class sistema_file {
 public:
  virtual ~sistema_file() = default;
  virtual bool esiste(const std::filesystem::path& file) = 0;
  // Whether anything at all stands at the path (a file, a folder, a device, a
  // path that cannot even be looked at): only "nothing there" is false.
  virtual bool presente(const std::filesystem::path& file) { return esiste(file); }
  // The whole content as bytes; anything but a regular file (a folder, a FIFO,
  // a device) is refused unopened. Throws errore_io.
  virtual std::string leggi(const std::filesystem::path& file) = 0;
  // At most `limite` bytes: a larger file is refused from its size, unread
  // (errore_troppo_grande), and anything but a regular file unopened, as by
  // leggi (a link to nothing too). Nothing only when nothing at all stands at
  // the path. Throws errore_io.
  virtual std::optional<std::string> leggi_entro(const std::filesystem::path& file, std::uintmax_t limite);
  // Creates a file that must not exist yet: a name already taken (by a file, a
  // folder or a link) is never opened, and the answer is false. The content is
  // written whole, flushed to the disk when `durevole`, and the file takes the
  // permission bits of `permessi_di` when that is a regular file. A failure
  // removes the half-written file. Throws errore_io. On the disk the new file
  // stays locked until it is renamed or deleted through the same object: the
  // lock tells another run's cleanup that its writer is alive. The flush may
  // only be started here and waited for by this object's next rename, which
  // then flushes every file still waiting first (a failure there names the
  // file and removes it).
  virtual bool crea_nuovo(const std::filesystem::path& file, std::string_view contenuto,
                          const std::filesystem::path& permessi_di, bool durevole) = 0;
  // As crea_nuovo, the content taken from `pezzi`, from its first byte. By
  // default the pieces are gathered and passed to crea_nuovo, so a wrapper
  // that passes crea_nuovo on stays exact; the disk writes them as they come.
  virtual bool crea_nuovo_a_pezzi(const std::filesystem::path& file, contenuto_a_pezzi& pezzi,
                                  const std::filesystem::path& permessi_di, bool durevole);
  // Renames, replacing an existing target (a link is replaced, never
  // followed). The error names whichever of the two really failed. A lock
  // crea_nuovo took on `da` is released once the rename is done.
  virtual void rinomina(const std::filesystem::path& da, const std::filesystem::path& a, bool durevole) = 0;
  // Deletes an existing file (a link itself, not what it points to), releasing
  // a lock crea_nuovo took on it. Throws errore_io.
  virtual void elimina(const std::filesystem::path& file) = 0;
  // Makes the renames and deletions done in the folder durable. Throws errore_io.
  virtual void sincronizza_cartella(const std::filesystem::path& cartella) = 0;
  // Creates the folder and those above it that are missing; one that is there
  // is left as it is. Throws errore_io. Folders in memory need no creating.
  virtual void crea_cartella(const std::filesystem::path&) {}
  // One writer at a time per folder: waits at most `attesa` for another run,
  // then throws errore_io. Once held, removes the temporaries that killed
  // runs left there, never one whose writer still holds its lock.
  virtual std::unique_ptr<blocco_cartella> blocca(const std::filesystem::path& cartella,
                                                  std::chrono::milliseconds attesa) = 0;
  // A fresh name (no folder) for a temporary file: short, so that any legal
  // final name works, and of one pattern (see e_temporaneo).
  virtual std::string nome_temporaneo();

 private:
  uint64_t stato_nomi_ = 0;
};

// The machine's own files.
class sistema_file_disco : public sistema_file {
 public:
  // Without `sincronizza` nothing is flushed: only to measure what flushing costs.
  explicit sistema_file_disco(bool sincronizza = true) : sincronizza_(sincronizza) {}
  ~sistema_file_disco() override;
  sistema_file_disco(const sistema_file_disco&) = delete;
  sistema_file_disco& operator=(const sistema_file_disco&) = delete;
  bool esiste(const std::filesystem::path& file) override;
  bool presente(const std::filesystem::path& file) override;
  std::string leggi(const std::filesystem::path& file) override;
  std::optional<std::string> leggi_entro(const std::filesystem::path& file, std::uintmax_t limite) override;
  bool crea_nuovo(const std::filesystem::path& file, std::string_view contenuto,
                  const std::filesystem::path& permessi_di, bool durevole) override;
  bool crea_nuovo_a_pezzi(const std::filesystem::path& file, contenuto_a_pezzi& pezzi,
                          const std::filesystem::path& permessi_di, bool durevole) override;
  void rinomina(const std::filesystem::path& da, const std::filesystem::path& a, bool durevole) override;
  void elimina(const std::filesystem::path& file) override;
  void sincronizza_cartella(const std::filesystem::path& cartella) override;
  void crea_cartella(const std::filesystem::path& cartella) override;
  std::unique_ptr<blocco_cartella> blocca(const std::filesystem::path& cartella,
                                          std::chrono::milliseconds attesa) override;

 private:
  // Releases the lock kept on a file this object created; nothing when none.
  void rilascia(const std::filesystem::path& file);
  // crea_nuovo and crea_nuovo_a_pezzi: the content is `intero` when `pezzi` is null.
  bool crea(const std::filesystem::path& file, std::string_view intero, contenuto_a_pezzi* pezzi,
            const std::filesystem::path& permessi_di, bool durevole);
  // Waits for the flush of every new file still waiting for it (POSIX).
  void completa_in_attesa();

  bool sincronizza_;
  // Each file created and not yet renamed or deleted, with the descriptor (a
  // HANDLE on Windows) that holds its lock.
  std::vector<std::pair<std::filesystem::path, std::intptr_t>> bloccati_;
  // New files whose flush was started and not yet waited for, with their descriptor.
  std::vector<std::pair<std::filesystem::path, int>> in_attesa_;
};

// A file larger than its reader's limit, refused before it was read.
class errore_troppo_grande : public errore_io {
 public:
  errore_troppo_grande(std::string file, std::uintmax_t dimensione, std::uintmax_t limite);
  std::uintmax_t dimensione() const { return dimensione_; }  // at least limite + 1
  std::uintmax_t limite() const { return limite_; }

 private:
  std::uintmax_t dimensione_;
  std::uintmax_t limite_;
};

// Whether a file name follows the temporaries' pattern ".scenario-<16 hex>.tmp".
bool e_temporaneo(std::string_view nome);

// How far a replacement is flushed: the content and the folder (durevole);
// the content only, the caller flushing the folder once for several files
// (cartella_dopo); nothing, for files deleted within the run (transitoria).
enum class durata { durevole, cartella_dopo, transitoria };

struct file_nuovo {
  std::filesystem::path destinazione;
  std::string_view contenuto;
  contenuto_a_pezzi* pezzi = nullptr;  // when set, the content instead of `contenuto`
};

// Replaces a set of files without ever mixing old and new: every new content
// goes to a fresh temporary in its target's folder and is flushed; only when
// all are written are they renamed over the targets, back to back, and the
// folder flushed. Every flush is started as its file is written and waited
// for before the first rename. A failure before the first rename leaves every
// target as it was and removes the temporaries; a failure at a later rename
// leaves the targets already renamed new, the others old.
void sostituisci_insieme(sistema_file& fs, std::span<const file_nuovo> insieme, durata d = durata::durevole);

// A set of one.
void sostituisci_file(sistema_file& fs, const std::filesystem::path& destinazione, std::string_view contenuto,
                      durata d = durata::durevole);

// Deletes a file where it exists.
void elimina_se_esiste(sistema_file& fs, const std::filesystem::path& file);

// A path as text, for messages.
std::string testo_percorso(const std::filesystem::path& p);

}  // namespace scenario
