#pragma once
// The layout of every binary record, declared once: a table of typed fields
// that drives the size, the little-endian writer, the reader and the text dump.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "compiler/model/modello.hpp"
#include "formato/flusso_le.hpp"
#include "formato/lettore_le.hpp"
#include "io/testo_1252.hpp"

namespace scenario {

// One field: its name and where it lives. The member's type fixes the width:
// uint8_t 1 byte, int16_t 2, int32_t 4, a text its 16-bit length then the bytes.
template <class R>
struct campo_record {
  std::string_view nome;
  std::variant<uint8_t R::*, int16_t R::*, int32_t R::*, std::string R::*> membro;
};

// The 15-byte cell of the route file.
inline constexpr std::array<campo_record<cella>, 11> campi_cella = {{
    {"tipo", &cella::tipo},
    {"valore", &cella::valore},
    {"valore2", &cella::valore2},
    {"valore3", &cella::valore3},
    {"valore4", &cella::valore4},
    {"tempo", &cella::tempo},
    {"avvicinamento", &cella::avvicinamento},
    {"tipo_montagna", &cella::tipo_montagna},
    {"vel_limite", &cella::vel_limite},
    {"pendenza", &cella::pendenza},
    {"aderenza", &cella::aderenza},
}};

// A record of the scenario file: 34 bytes and its name.
inline constexpr std::array<campo_record<voce_tabella>, 16> campi_voce = {{
    {"tipo", &voce_tabella::tipo},
    {"inizio", &voce_tabella::inizio},
    {"fine", &voce_tabella::fine},
    {"posizione", &voce_tabella::posizione},
    {"campo_4", &voce_tabella::campo_4},
    {"nome", &voce_tabella::nome},
    {"campo_7", &voce_tabella::campo_7},
    {"campo_8", &voce_tabella::campo_8},
    {"campo_10", &voce_tabella::campo_10},
    {"campo_11", &voce_tabella::campo_11},
    {"campo_12", &voce_tabella::campo_12},
    {"campo_9", &voce_tabella::campo_9},
    {"sosta", &voce_tabella::sosta},
    {"campo_6", &voce_tabella::campo_6},
    {"campo_5", &voce_tabella::campo_5},
    {"orario", &voce_tabella::orario},
}};

// An element of the line file: a 16-bit tag, then a value whose width the tag gives.
struct forma_elemento {
  tipo_elemento tipo;
  std::string_view nome;
  std::size_t larghezza_valore;
};
inline constexpr std::size_t larghezza_etichetta = 2;
inline constexpr std::array<forma_elemento, 3> forme_elemento = {{
    {tipo_elemento::vuoto, "vuoto", 0},
    {tipo_elemento::intero, "intero", 2},
    {tipo_elemento::doppio, "doppio", 8},
}};

// The width of a field in the file, its text aside.
template <class R>
constexpr std::size_t larghezza_fissa(const campo_record<R>& c) {
  constexpr std::size_t larghezze[] = {1, 2, 4, 2};
  return larghezze[c.membro.index()];
}

// The bytes every record of the table takes, names aside.
template <class R, std::size_t N>
constexpr std::size_t dimensione_fissa(const std::array<campo_record<R>, N>& campi) {
  std::size_t n = 0;
  for (const auto& c : campi) n += larghezza_fissa(c);
  return n;
}

static_assert(dimensione_fissa(campi_cella) == 15, "a cell is 15 bytes");
static_assert(dimensione_fissa(campi_voce) == 34, "a record is 34 bytes and its name");

template <class R, std::size_t N>
std::size_t dimensione_record(const std::array<campo_record<R>, N>& campi, const R& r) {
  std::size_t n = dimensione_fissa(campi);
  for (const auto& c : campi) {
    if (const auto* testo = std::get_if<std::string R::*>(&c.membro)) n += (r.**testo).size();
  }
  return n;
}

template <class R, std::size_t N>
void scrivi_record(flusso_le& f, const std::array<campo_record<R>, N>& campi, const R& r) {
  for (const auto& c : campi) {
    switch (c.membro.index()) {
      case 0: f.byte(r.*std::get<0>(c.membro)); break;
      case 1: f.integer(r.*std::get<1>(c.membro)); break;
      case 2: f.long_(r.*std::get<2>(c.membro)); break;
      default: f.stringa(r.*std::get<3>(c.membro)); break;
    }
  }
}

template <class R, std::size_t N>
void leggi_record(lettore_le& l, const std::array<campo_record<R>, N>& campi, R& r) {
  for (const auto& c : campi) {
    switch (c.membro.index()) {
      case 0: r.*std::get<0>(c.membro) = l.byte(c.nome); break;
      case 1: r.*std::get<1>(c.membro) = l.integer(c.nome); break;
      case 2: r.*std::get<2>(c.membro) = l.long_(c.nome); break;
      default: r.*std::get<3>(c.membro) = l.stringa(c.nome); break;
    }
  }
}

// "name=value" for every field, blank-separated; texts quoted, in their readable form.
template <class R, std::size_t N>
std::string descrivi_record(const std::array<campo_record<R>, N>& campi, const R& r) {
  std::string t;
  for (const auto& c : campi) {
    if (!t.empty()) t += ' ';
    t += c.nome;
    t += '=';
    switch (c.membro.index()) {
      case 0: t += std::to_string(r.*std::get<0>(c.membro)); break;
      case 1: t += std::to_string(r.*std::get<1>(c.membro)); break;
      case 2: t += std::to_string(r.*std::get<2>(c.membro)); break;
      default: t += '"' + utf8_leggibile(r.*std::get<3>(c.membro)) + '"'; break;
    }
  }
  return t;
}

// The shape of an element tagged so; nullptr for a tag no element has.
constexpr const forma_elemento* forma_di(int32_t etichetta) {
  for (const forma_elemento& f : forme_elemento) {
    if (static_cast<int32_t>(f.tipo) == etichetta) return &f;
  }
  return nullptr;
}

constexpr std::size_t dimensione_elemento(tipo_elemento tipo) {
  const forma_elemento* f = forma_di(static_cast<int32_t>(tipo));
  return larghezza_etichetta + (f == nullptr ? 0 : f->larghezza_valore);
}

}  // namespace scenario
