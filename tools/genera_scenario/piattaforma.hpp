#pragma once
// What the run needs from the operating system, kept behind one interface.
#include <filesystem>
#include <memory>
#include <string>

namespace scenario {

class piattaforma {
 public:
  virtual ~piattaforma() = default;
  // The folder that holds the executable.
  virtual std::filesystem::path cartella_programma() = 0;
  // Shows "Attendere" and makes sure it is visible before any work starts.
  virtual void mostra_attesa() = 0;
  // The error report: " Errore n. " + code, modal, OK only.
  virtual void mostra_errore(const std::string& testo) = 0;
  // A failure nothing trapped, or a compile that ended with a status code.
  virtual void segnala_guasto(const std::string& testo) = 0;
};

// The implementation for the platform the program is built for.
std::unique_ptr<piattaforma> crea_piattaforma();

}  // namespace scenario
