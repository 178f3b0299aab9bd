#pragma once
// The page as served while watching: the compile's report with a small script
// that follows the event stream and swaps the content in place. A compile that
// leaves nothing to draw keeps the last good drawings, marked stale, under its
// own messages.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace scenario::osserva {

struct pagina_compilata {
  std::string html;      // the report exactly as --html writes it
  bool disegni = false;  // a route was compiled and its files written
};

// The report with the live script (carrying `versione`) before </body>.
std::string con_copione(std::string html, uint64_t versione);

// `buona`'s drawings under `nuova`'s header (its messages), a banner naming
// `ora_buona` on top of them; nothing when either page lacks its parts.
std::optional<std::string> con_disegni_vecchi(const std::string& buona, const std::string& nuova,
                                              std::string_view ora_buona);

// Remembers the last page with drawings across compiles.
class pagine_vive {
 public:
  // The page to serve for a compile made at `ora` (HH:MM:SS).
  std::string componi(const pagina_compilata& nuova, std::string_view ora, uint64_t versione);

 private:
  std::optional<std::string> buona_;
  std::string ora_buona_;
};

}  // namespace scenario::osserva
