#pragma once
// What the two platforms' disk primitives share.
#include <chrono>
#include <filesystem>
#include <string>

namespace scenario {

// Removes the temporaries of our pattern not newer than `limite` from the
// folder: regular files only, never what a link points to. Called with the
// lock held, when no live run has a temporary there.
void pulisci_temporanei(const std::filesystem::path& cartella, std::filesystem::file_time_type limite);

// The message of a lock not obtained in time.
std::string messaggio_occupata(std::chrono::milliseconds attesa);

}  // namespace scenario
