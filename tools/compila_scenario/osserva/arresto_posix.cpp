#include "tools/compila_scenario/osserva/arresto.hpp"

#include <csignal>
#include <initializer_list>

namespace scenario::osserva {

namespace {

volatile std::sig_atomic_t chiesto = 0;

extern "C" void al_segnale(int) { chiesto = 1; }

}  // namespace

void installa_arresto() {
  struct sigaction a {};
  a.sa_handler = al_segnale;
  sigemptyset(&a.sa_mask);
  for (int s : {SIGINT, SIGTERM}) sigaction(s, &a, nullptr);
}

bool arresto_chiesto() { return chiesto != 0; }

void arresto_concluso() {}

}  // namespace scenario::osserva
