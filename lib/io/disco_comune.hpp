#pragma once
// What the two platforms' disk primitives share.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

namespace scenario {

// Removes the temporaries of our pattern not newer than `limite` from the
// folder: regular files only, never what a link points to, and never one a
// live writer still holds locked (a writer without the folder's lock may be
// writing there). Called with the folder's lock held.
void pulisci_temporanei(const std::filesystem::path& cartella, std::filesystem::file_time_type limite);

// Deletes a temporary whose writer is dead: its lock can be taken and it is
// still a regular file. False, the file left, otherwise.
bool elimina_se_abbandonato(const std::filesystem::path& file);

// Closes the descriptor (a HANDLE on Windows) that holds a new file's lock.
void chiudi_blocco(std::intptr_t blocco);

// The message of a lock not obtained in time.
std::string messaggio_occupata(std::chrono::milliseconds attesa);

}  // namespace scenario
