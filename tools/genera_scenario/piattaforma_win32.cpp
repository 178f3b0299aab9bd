#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <system_error>
#include <vector>

#include "tools/genera_scenario/piattaforma.hpp"

namespace scenario {

namespace {

const wchar_t* const titolo = L"genera_scenario";

// The waiting window, laid out in twips and converted for the screen's DPI.
constexpr int larghezza_twip = 4200;
constexpr int altezza_twip = 2688;
constexpr int etichetta_sinistra = 960;
constexpr int etichetta_alto = 960;
constexpr int etichetta_larghezza = 2652;
constexpr int etichetta_altezza = 792;

const wchar_t* const testo_attesa = L"Attendere";

int pixel(int twip, int dpi) { return MulDiv(twip, dpi, 1440); }

// Width in pixels of `testo` drawn in `carattere` (0 when it cannot be measured).
int larghezza_testo(HWND finestra, HFONT carattere, const wchar_t* testo) {
  HDC dc = GetDC(finestra);
  if (dc == nullptr) return 0;
  HGDIOBJ prima = carattere != nullptr ? SelectObject(dc, carattere) : nullptr;
  SIZE misura{};
  const BOOL riuscita = GetTextExtentPoint32W(dc, testo, static_cast<int>(wcslen(testo)), &misura);
  if (prima != nullptr) SelectObject(dc, prima);
  ReleaseDC(finestra, dc);
  return riuscita ? static_cast<int>(misura.cx) : 0;
}

std::wstring largo(const std::string& testo) {
  if (testo.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, testo.data(), static_cast<int>(testo.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, testo.data(), static_cast<int>(testo.size()), w.data(), n);
  return w;
}

LRESULT CALLBACK procedura(HWND finestra, UINT messaggio, WPARAM w, LPARAM l) {
  return DefWindowProcW(finestra, messaggio, w, l);
}

class piattaforma_win32 final : public piattaforma {
 public:
  ~piattaforma_win32() override {
    if (finestra_ != nullptr) DestroyWindow(finestra_);
    if (carattere_ != nullptr) DeleteObject(carattere_);
  }

  std::filesystem::path cartella_programma() override {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
      const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
      if (n == 0) throw std::system_error(static_cast<int>(GetLastError()), std::system_category());
      if (n < buffer.size()) return std::filesystem::path(std::wstring(buffer.data(), n)).parent_path();
      buffer.resize(buffer.size() * 2);
    }
  }

  void mostra_attesa() override {
    HINSTANCE istanza = GetModuleHandleW(nullptr);
    WNDCLASSW classe{};
    classe.lpfnWndProc = procedura;
    classe.hInstance = istanza;
    classe.hCursor = LoadCursorW(nullptr, IDC_WAIT);
    classe.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    classe.lpszClassName = L"Form1";
    RegisterClassW(&classe);

    HDC schermo = GetDC(nullptr);
    const int dpi_x = GetDeviceCaps(schermo, LOGPIXELSX);
    const int dpi_y = GetDeviceCaps(schermo, LOGPIXELSY);
    ReleaseDC(nullptr, schermo);

    const DWORD stile = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT area{0, 0, pixel(larghezza_twip, dpi_x), pixel(altezza_twip, dpi_y)};
    AdjustWindowRect(&area, stile, FALSE);
    finestra_ = CreateWindowW(L"Form1", titolo, stile, CW_USEDEFAULT, CW_USEDEFAULT, area.right - area.left,
                              area.bottom - area.top, nullptr, nullptr, istanza, nullptr);
    if (finestra_ == nullptr) return;  // no window: the work still runs

    carattere_ = CreateFontW(-MulDiv(24, dpi_y, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                             L"MS Sans Serif");
    // The label takes the width the text needs in the font the system really
    // chose (a substitute may be wider), inside the unchanged client area.
    RECT cliente{};
    GetClientRect(finestra_, &cliente);
    int sinistra = pixel(etichetta_sinistra, dpi_x);
    int larghezza = pixel(etichetta_larghezza, dpi_x);
    const int misurata = larghezza_testo(finestra_, carattere_, testo_attesa);
    if (misurata > larghezza) {
      larghezza = std::min(misurata, static_cast<int>(cliente.right));
      sinistra = std::min(sinistra, static_cast<int>(cliente.right) - larghezza);
    }
    HWND etichetta = CreateWindowW(L"STATIC", testo_attesa, WS_CHILD | WS_VISIBLE | SS_LEFT, sinistra,
                                   pixel(etichetta_alto, dpi_y), larghezza, pixel(etichetta_altezza, dpi_y), finestra_,
                                   nullptr, istanza, nullptr);
    if (etichetta != nullptr && carattere_ != nullptr) {
      SendMessageW(etichetta, WM_SETFONT, reinterpret_cast<WPARAM>(carattere_), TRUE);
    }
    ShowWindow(finestra_, SW_SHOWNORMAL);
    UpdateWindow(finestra_);
    // let the window system deliver the first paint before the long work
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
  }

  void mostra_errore(const std::string& testo) override {
    MessageBoxW(finestra_, largo(testo).c_str(), titolo, MB_OK);
  }

  void segnala_guasto(const std::string& testo) override {
    MessageBoxW(finestra_, largo(testo).c_str(), titolo, MB_OK | MB_ICONERROR);
  }

 private:
  HWND finestra_ = nullptr;
  HFONT carattere_ = nullptr;
};

}  // namespace

std::unique_ptr<piattaforma> crea_piattaforma() { return std::make_unique<piattaforma_win32>(); }

}  // namespace scenario
