#pragma once
// compila_scenario --osserva in the test's own process: the example pair in a
// fresh folder, the live loop in a thread, a client following /eventi.
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <future>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

#include "io/sistema_file.hpp"
#include "support/supporto.hpp"
#include "tools/compila_scenario/osserva/osserva.hpp"

namespace scenario::prova {

inline const std::filesystem::path esempio = std::filesystem::path(SCENARIO_SORGENTI) / "examples" / "borgo_lanzi";
inline constexpr const char* linea_esempio = "Borgo_Lanzi_linea.txt";
inline constexpr const char* treno_esempio = "Borgo_Lanzi_8127-.txt";

// A limit on every wait for the server, far above what it takes.
inline constexpr std::chrono::seconds attesa_massima{30};

class sessione_osserva {
 public:
  sessione_osserva() {
    for (const char* f : {linea_esempio, treno_esempio}) {
      std::filesystem::copy_file(esempio / f, cartella_.percorso() / f);
    }
    opzioni_.linea = "Borgo_Lanzi";
    opzioni_.treno = "8127";
    opzioni_.cartella = cartella_.percorso().string();
    opzioni_.osserva = true;
    std::future<int> porta = pronta_.get_future();
    filo_ = std::thread([this] { esegui(); });
    if (porta.wait_for(attesa_massima) == std::future_status::ready) porta_ = porta.get();
  }
  ~sessione_osserva() { ferma(); }
  sessione_osserva(const sessione_osserva&) = delete;
  sessione_osserva& operator=(const sessione_osserva&) = delete;

  // Ends the loop; what it printed is readable after this.
  int ferma() {
    fermare_ = true;
    if (filo_.joinable()) filo_.join();
    return stato_;
  }
  int porta() const { return porta_; }
  std::filesystem::path file(const char* nome) const { return cartella_.percorso() / nome; }
  const std::filesystem::path& cartella() const { return cartella_.percorso(); }
  std::string uscita() const { return out_.str(); }
  std::string errori() const { return err_.str(); }

 private:
  void esegui() {
    osserva::ganci_osserva g;
    g.da_fermare = [this] { return fermare_.load(); };
    g.pronto = [this](int p) {
      pronta_.set_value(p);
      data_ = true;
    };
    stato_ = osserva::esegui_osserva(opzioni_, fs_, out_, err_, g);
    if (!data_) pronta_.set_value(0);
  }

  cartella_temporanea cartella_;
  opzioni_compila opzioni_;
  sistema_file_disco fs_;
  std::ostringstream out_;
  std::ostringstream err_;
  std::promise<int> pronta_;
  bool data_ = false;
  std::atomic<bool> fermare_{false};
  int stato_ = -1;
  int porta_ = 0;
  std::thread filo_;
};

// Follows /eventi in a thread of its own and keeps what came.
class ascolto_eventi {
 public:
  explicit ascolto_eventi(int porta) : cliente_("127.0.0.1", porta) {
    cliente_.set_read_timeout(60, 0);
    filo_ = std::thread([this] {
      cliente_.Get("/eventi", [this](const char* d, std::size_t n) {
        {
          const std::lock_guard<std::mutex> l(m_);
          testo_.append(d, n);
        }
        cv_.notify_all();
        return !basta_.load();
      });
    });
  }
  ~ascolto_eventi() {
    basta_ = true;
    cliente_.stop();
    filo_.join();
  }
  ascolto_eventi(const ascolto_eventi&) = delete;
  ascolto_eventi& operator=(const ascolto_eventi&) = delete;

  // True once the stream announced `versione`, waiting at most attesa_massima.
  bool attendi(uint64_t versione) {
    const std::string cercato = "data: " + std::to_string(versione) + "\n";
    std::unique_lock<std::mutex> l(m_);
    return cv_.wait_for(l, attesa_massima, [&] { return testo_.find(cercato) != std::string::npos; });
  }
  std::string testo() {
    const std::lock_guard<std::mutex> l(m_);
    return testo_;
  }

 private:
  httplib::Client cliente_;
  std::mutex m_;
  std::condition_variable cv_;
  std::string testo_;
  std::atomic<bool> basta_{false};
  std::thread filo_;
};

}  // namespace scenario::prova
