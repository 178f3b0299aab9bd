// Replays saved inputs through a fuzz target without libFuzzer: each argument
// is a file or a folder of files.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n);

namespace {

int ripeti_file(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
    return 1;
  }
  const std::vector<char> dati((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(dati.data()), dati.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int guasti = 0;
  int provati = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path p(argv[i]);
    if (std::filesystem::is_directory(p)) {
      for (const auto& voce : std::filesystem::recursive_directory_iterator(p)) {
        if (!voce.is_regular_file() || voce.path().filename().string().front() == '.') continue;
        guasti += ripeti_file(voce.path());
        ++provati;
      }
    } else {
      guasti += ripeti_file(p);
      ++provati;
    }
  }
  std::printf("%d inputs replayed\n", provati);
  return guasti == 0 ? 0 : 1;
}
