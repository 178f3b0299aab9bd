#include "tools/compila_scenario/osserva/arresto.hpp"

#include <windows.h>

#include <atomic>

namespace scenario::osserva {

namespace {

std::atomic<bool> chiesto{false};
HANDLE concluso = nullptr;

// Windows ends the process when this returns from a close, logoff or shutdown:
// it waits (bounded) for the loop to put everything away first.
BOOL WINAPI al_segnale(DWORD tipo) {
  chiesto = true;
  if (tipo == CTRL_CLOSE_EVENT || tipo == CTRL_LOGOFF_EVENT || tipo == CTRL_SHUTDOWN_EVENT) {
    if (concluso != nullptr) WaitForSingleObject(concluso, 4000);
  }
  return TRUE;
}

}  // namespace

void installa_arresto() {
  concluso = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(al_segnale, TRUE);
}

bool arresto_chiesto() { return chiesto; }

void arresto_concluso() {
  if (concluso != nullptr) SetEvent(concluso);
}

}  // namespace scenario::osserva
