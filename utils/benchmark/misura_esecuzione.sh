#!/usr/bin/env bash
# Times the two programs as whole processes, side by side in one run with
# their durable I/O floors, each as a process too (pavimento_io: exactly the
# run's file operations and flushes on bytes already in memory):
# - genera_scenario, the program's own scenario;
# - compila_scenario on a synthetic 1,000,000 m route, the longest accepted;
# each into an empty folder and replacing the files of a previous run.
# Reports medians of wall time, CPU time and peak memory, and the ratios of the
# medians (program / floor); then the peak-memory check and, unless told not
# to, the compile benchmarks.
# Usage: misura_esecuzione.sh [repetitions] [--senza-banchi]
set -euo pipefail
ripetizioni="${1:-21}"
banchi=1
[ "${2:-}" = "--senza-banchi" ] && banchi=0
source "$(dirname "$0")/banco.sh"
prepara_banco

# The floors' bytes: a run's outputs and its description files, in one folder each.
mkdir "$lavoro/fonte_g" "$lavoro/fonte_c"
ln "$bin/genera_scenario" "$lavoro/fonte_g/"
"$bin/cronometra" "$lavoro/fonte_g" ./genera_scenario >/dev/null
"$bin/rapporto_prova" descrizioni programma "$lavoro/fonte_g"
"$bin/rapporto_prova" descrizioni sintetico 1000000 "$lavoro/fonte_c"
"$bin/compila_scenario" --linea Sintetica --treno 1 --dir "$lavoro/fonte_c" >/dev/null
linea_c=$(stat -c %s "$lavoro/fonte_c/Sintetica_linea.dat")

# One case: the program or its floor, in a folder made empty, then again over its own files.
# Appends "empty" and "replacing" lines to $lavoro/<nome>.
caso() {
  local nome="$1"; shift
  local cartella="$lavoro/c_$nome"
  rm -rf "$cartella"; mkdir "$cartella"
  [ "$nome" = genera ] && ln "$bin/genera_scenario" "$cartella/"
  sync -f "$lavoro"
  echo "$("$bin/cronometra" "$cartella" "$@")" >>"$lavoro/${nome}_vuota"
  echo "$("$bin/cronometra" "$cartella" "$@")" >>"$lavoro/${nome}_sostituisce"
}
programma_g=(./genera_scenario)
pavimento_g=("$bin/pavimento_io" genera "$lavoro/fonte_g" Valdora_Tarvea 5293)
programma_c=("$bin/compila_scenario" --linea Sintetica --treno 1 --dir "$lavoro/fonte_c" --out .)
pavimento_c=("$bin/pavimento_io" compila "$lavoro/fonte_c" Sintetica 1)
for ((i = 0; i < ripetizioni; i++)); do
  # the order alternates, so a drift of the machine weighs on both sides alike
  if ((i % 2 == 0)); then
    caso genera "${programma_g[@]}"; caso pav_genera "${pavimento_g[@]}"
    caso compila "${programma_c[@]}"; caso pav_compila "${pavimento_c[@]}"
  else
    caso pav_genera "${pavimento_g[@]}"; caso genera "${programma_g[@]}"
    caso pav_compila "${pavimento_c[@]}"; caso compila "${programma_c[@]}"
  fi
done

# Column k of a results file, median.
col() { awk -v k="$2" '{print $k}' "$lavoro/$1" | mediana; }
cpu() { awk '{print $2 + $3}' "$lavoro/$1" | mediana; }
echo "$ripetizioni repetitions of each, medians; the 1,000,000 m line file is $linea_c bytes"
printf '%-32s %9s %9s %9s %9s %10s\n' case "wall ms" "floor ms" ratio "CPU ms" "peak MiB"
for programma in genera compila; do
  for modo in vuota sostituisce; do
    p="${programma}_$modo" f="pav_${programma}_$modo"
    awk -v n="$programma, ${modo/vuota/empty folder}" -v t="$(col "$p" 1)" -v f="$(col "$f" 1)" \
        -v u="$(cpu "$p")" -v k="$(col "$p" 4)" -v fk="$(col "$f" 4)" -v l="$linea_c" \
        -v c="$programma" 'BEGIN {
      n = n; sub("sostituisce", "replacing", n)
      printf "%-32s %9.2f %9.2f %9.3f %9.2f %10.1f", n, t/1e6, f/1e6, t/f, u/1e6, k/1024
      if (c == "compila") printf "  (%.2f x the line file; floor %.1f MiB)", k*1024/l, fk/1024
      printf "\n" }'
  done
done
echo "(aims: compila 1.2 or less, genera 1.15 or less; compila peak 1.25 x the line file or less)"

"$bin/memoria_picco"
if ((banchi)); then
  "$bin/bench_compilatore" --benchmark_min_time=0.2
  "$bin/bench_avversari" --benchmark_min_time=0.2
  "$bin/bench_mostra" --benchmark_min_time=0.2
fi
