#pragma once
// Checking on: after a compile that stopped, the same files are read again on
// a model that reports each refused entry and goes on, so that one run shows
// every problem of the pair. Nothing is written from that reading.
#include <cstddef>
#include <optional>
#include <vector>

#include "compiler/model/modello.hpp"
#include "compiler/readers/sorgenti.hpp"

namespace scenario {

// Every diagnostic of a reading that goes on past each refusal. A file that
// cannot be read ends it quietly: the compile has reported that already.
std::vector<diagnostico> verifica_oltre(const modello& compilato, sorgenti_descrizione& sorgenti,
                                       destinatario_campi* campi = nullptr);

// The diagnostics of the compile and of checking on, in file order (the line
// file, the train file, then those about no line), each once. `principale`
// indexes the compile's own list and is moved with it; when checking on found
// more, a note after it says where the compile stopped.
struct diagnostici_ordinati {
  std::vector<diagnostico> tutti;
  std::optional<std::size_t> principale;
};
diagnostici_ordinati unisci_in_ordine(const std::vector<diagnostico>& compilati, std::optional<std::size_t> principale,
                                      const std::vector<diagnostico>& oltre);

}  // namespace scenario
