// Windows: the program is started with CreateProcessW, its standard output and
// error sent to files; console lines end in CR LF there and are read back with LF.
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include "support/esegui.hpp"
#include "support/supporto.hpp"

namespace scenario::prova {

namespace {

std::wstring largo(const std::string& testo) {
  if (testo.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, testo.data(), static_cast<int>(testo.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, testo.data(), static_cast<int>(testo.size()), w.data(), n);
  return w;
}

HANDLE apri(const wchar_t* nome, DWORD accesso, DWORD creazione) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};  // inherited by the child
  return CreateFileW(nome, accesso, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, creazione, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

std::string senza_cr(std::string testo) {
  std::string r;
  for (std::size_t i = 0; i < testo.size(); ++i) {
    if (testo[i] == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n') continue;
    r += testo[i];
  }
  return r;
}

}  // namespace

std::string tra_apici(const std::string& testo) { return "\"" + testo + "\""; }

std::string nome_programma(const std::string& nome) { return nome + ".exe"; }

namespace {

// Standard output and error to files, standard input from `ingresso`.
esito_processo avvia(const std::string& comando, const std::filesystem::path& cartella,
                     const std::filesystem::path& ingresso) {
  cartella_temporanea appoggio;
  const auto out = appoggio.percorso() / "out";
  const auto err = appoggio.percorso() / "err";
  esito_processo e;
  {
    HANDLE h_out = apri(out.c_str(), GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE h_err = apri(err.c_str(), GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE h_in = apri(ingresso.c_str(), GENERIC_READ, OPEN_EXISTING);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = h_in;
    si.hStdOutput = h_out;
    si.hStdError = h_err;
    PROCESS_INFORMATION pi{};
    std::wstring riga = largo(comando);
    if (h_out != INVALID_HANDLE_VALUE && h_err != INVALID_HANDLE_VALUE && h_in != INVALID_HANDLE_VALUE &&
        CreateProcessW(nullptr, riga.data(), nullptr, nullptr, TRUE, 0, nullptr, cartella.c_str(), &si, &pi)) {
      WaitForSingleObject(pi.hProcess, INFINITE);
      DWORD stato = 0;
      if (GetExitCodeProcess(pi.hProcess, &stato)) e.stato = static_cast<int>(stato);
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
    }
    for (HANDLE h : {h_out, h_err, h_in}) {
      if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
  }
  e.uscita = leggi_file(out);
  e.errori = senza_cr(leggi_file(err));
  return e;
}

}  // namespace

esito_processo esegui(const std::string& comando, const std::filesystem::path& cartella) {
  esito_processo e = avvia(comando, cartella, L"NUL");
  e.uscita = senza_cr(std::move(e.uscita));
  return e;
}

esito_processo esegui_con_ingresso(const std::string& comando, const std::filesystem::path& cartella,
                                   const std::filesystem::path& ingresso) {
  return avvia(comando, cartella, ingresso);
}

}  // namespace scenario::prova
