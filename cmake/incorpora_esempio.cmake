cmake_minimum_required(VERSION 3.25)
# Writes the example pair into a C++ source as byte arrays, so that
# `compila_scenario --nuovo` carries it and never reads the source tree.
# Run with -DLINEA=<line description> -DTRENO=<train description> -DUSCITA=<source to write>.
function(come_array file nome risultato)
  file(READ ${file} esadecimale HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," byte "${esadecimale}")
  set(${risultato} "const unsigned char ${nome}[] = {${byte}};\n" PARENT_SCOPE)
endfunction()

come_array(${LINEA} dati_linea linea)
come_array(${TRENO} dati_treno treno)
set(testo "// Written by cmake/incorpora_esempio.cmake from the example pair: do not edit.
#include \"tools/compila_scenario/nuovo.hpp\"

namespace scenario {
namespace {
${linea}${treno}}  // namespace

std::string_view esempio_linea() { return {reinterpret_cast<const char*>(dati_linea), sizeof dati_linea}; }
std::string_view esempio_treno() { return {reinterpret_cast<const char*>(dati_treno), sizeof dati_treno}; }

}  // namespace scenario
")
file(WRITE ${USCITA} "${testo}")
