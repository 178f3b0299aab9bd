#!/usr/bin/env bash
# Decompiling the longest legal route against compiling it, as whole processes
# side by side in one run: a 1000 km pair is compiled, then, alternately, the
# pair is compiled again and the compiled files are decompiled into an empty
# folder. Medians of the wall-clock times and their ratio (aim: at most 5).
# Usage: misura_decompila.sh [repetitions]
set -euo pipefail
ripetizioni="${1:-11}"
source "$(dirname "$0")/banco.sh"
prepara_banco rapporto_prova compila_scenario mostra_scenario

"$bin/rapporto_prova" descrizioni sintetico 1000000 "$lavoro"
argomenti=(--linea Sintetica --treno 1 --dir "$lavoro")
"$bin/compila_scenario" "${argomenti[@]}" >/dev/null

compila=()
decompila=()
for ((i = 0; i < ripetizioni; i++)); do
  t0=$(ora); "$bin/compila_scenario" "${argomenti[@]}" >/dev/null; t1=$(ora)
  compila+=($((t1 - t0)))
  rm -rf "$lavoro/uscita"
  t0=$(ora); "$bin/mostra_scenario" "${argomenti[@]}" --decompila "$lavoro/uscita" >/dev/null; t1=$(ora)
  decompila+=($((t1 - t0)))
done
# the decompiled pair is checked once more from outside: it compiles to the same files
mkdir -p "$lavoro/di_nuovo"
cp "$lavoro/uscita/"*.txt "$lavoro/di_nuovo/"
"$bin/compila_scenario" --linea Sintetica --treno 1 --dir "$lavoro/di_nuovo" >/dev/null
for f in Sintetica_linea.dat Sintetica_1.sim Sintetica_1.dat; do
  cmp -s "$lavoro/$f" "$lavoro/di_nuovo/$f" || { echo "$f differs after the round trip" >&2; exit 1; }
done
mc=$(printf '%s\n' "${compila[@]}" | mediana)
md=$(printf '%s\n' "${decompila[@]}" | mediana)
awk -v c="$mc" -v d="$md" -v n="$ripetizioni" 'BEGIN {
  printf "1000 km route, medians of %d whole-process runs\n", n
  printf "compila_scenario:              %7.1f ms\n", c / 1e6
  printf "mostra_scenario --decompila:   %7.1f ms\n", d / 1e6
  printf "decompile / compile:           %7.2f (aim: at most 5)\n", d / c }'
