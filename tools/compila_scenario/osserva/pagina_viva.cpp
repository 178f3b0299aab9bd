#include "tools/compila_scenario/osserva/pagina_viva.hpp"

namespace scenario::osserva {

namespace {

// Follows /eventi; on a newer version fetches / and puts its body in place of
// this one, keeping the scroll position. The report's own script runs again on
// the new drawings.
constexpr std::string_view copione_vivo = R"(
(function () {
  var io = document.getElementById('osserva');
  var versione = Number(io.getAttribute('data-versione'));
  var caricando = false, ancora = false;
  function segna() { document.body.setAttribute('data-versione-osserva', String(versione)); }
  function rinnova(testo) {
    var doc = new DOMParser().parseFromString(testo, 'text/html');
    var suo = doc.getElementById('osserva');
    if (!suo || Number(suo.getAttribute('data-versione')) <= versione) return;
    versione = Number(suo.getAttribute('data-versione'));
    var x = window.scrollX, y = window.scrollY, corpo = document.body;
    document.title = doc.title;
    Array.from(corpo.attributes).forEach(function (a) { corpo.removeAttribute(a.name); });
    Array.from(doc.body.attributes).forEach(function (a) { corpo.setAttribute(a.name, a.value); });
    Array.from(corpo.childNodes).forEach(function (n) { if (n !== io) corpo.removeChild(n); });
    var copioni = [];
    Array.from(doc.body.childNodes).forEach(function (n) {
      if (n === suo) return;
      var m = document.adoptNode(n);
      corpo.insertBefore(m, io);
      if (m.tagName === 'SCRIPT') copioni.push(m);
    });
    // a script moved from another document does not run: a fresh copy does
    copioni.forEach(function (s) {
      var c = document.createElement('script');
      c.textContent = s.textContent;
      s.replaceWith(c);
    });
    window.scrollTo(x, y);
    segna();
  }
  function carica() {
    if (caricando) { ancora = true; return; }
    caricando = true;
    fetch('/', { cache: 'no-store' }).then(function (r) { return r.text(); }).then(rinnova)
      .catch(function () {}).then(function () {
        caricando = false;
        if (ancora) { ancora = false; carica(); }
      });
  }
  segna();
  var fonte = new EventSource('/eventi');
  fonte.addEventListener('versione', function (e) { if (Number(e.data) > versione) carica(); });
})();
)";

// Where `apre`'s element starts and where its `chiude` ends, in that order.
std::optional<std::pair<std::size_t, std::size_t>> elemento(const std::string& html, std::string_view apre,
                                                            std::string_view chiude) {
  const std::size_t inizio = html.find(apre);
  if (inizio == std::string::npos) return std::nullopt;
  const std::size_t fine = html.find(chiude, inizio);
  if (fine == std::string::npos) return std::nullopt;
  return std::pair{inizio, fine + chiude.size()};
}

}  // namespace

std::string con_copione(std::string html, uint64_t versione) {
  // no request for an icon the server would refuse
  const std::size_t testa = html.find("</head>");
  if (testa != std::string::npos) html.insert(testa, "<link rel=\"icon\" href=\"data:,\">");
  const std::string copione = "<script id=\"osserva\" data-versione=\"" + std::to_string(versione) + "\">" +
                              std::string(copione_vivo) + "</script>";
  const std::size_t corpo = html.rfind("</body>");
  html.insert(corpo == std::string::npos ? html.size() : corpo, copione);
  return html;
}

std::optional<std::string> con_disegni_vecchi(const std::string& buona, const std::string& nuova,
                                              std::string_view ora_buona) {
  const auto testata_nuova = elemento(nuova, "<header", "</header>");
  const auto testata_buona = elemento(buona, "<header", "</header>");
  if (!testata_nuova || !testata_buona) return std::nullopt;
  const std::size_t principale = buona.find("<main>", testata_buona->second);
  if (principale == std::string::npos) return std::nullopt;
  std::string r = buona.substr(0, testata_buona->first);
  r += nuova.substr(testata_nuova->first, testata_nuova->second - testata_nuova->first);
  r += buona.substr(testata_buona->second, principale + 6 - testata_buona->second);
  r += "<p id=\"disegni-vecchi\" style=\"background:#fff8c5;border:1px solid #d4a72c;padding:6px 10px\">"
       "The drawings are from the last good compile, at ";
  r += ora_buona;
  r += ": this one left nothing to draw.</p>";
  r += buona.substr(principale + 6);
  return r;
}

std::string pagine_vive::componi(const pagina_compilata& nuova, std::string_view ora, uint64_t versione) {
  if (nuova.disegni) {
    buona_ = nuova.html;
    ora_buona_ = std::string(ora);
    return con_copione(nuova.html, versione);
  }
  if (buona_) {
    if (auto r = con_disegni_vecchi(*buona_, nuova.html, ora_buona_)) return con_copione(std::move(*r), versione);
  }
  return con_copione(nuova.html, versione);
}

}  // namespace scenario::osserva
