#!/usr/bin/env bash
# Times the whole program run, as a process, against copying its six output
# files into an empty folder, both repeated and the medians compared. Also
# runs the compile benchmark and the peak-memory check.
# Usage: misura_esecuzione.sh [repetitions]
set -euo pipefail
ripetizioni="${1:-21}"
radice="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$radice"
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
lavoro="$(mktemp -d)"
trap 'rm -rf "$lavoro"' EXIT
cp build-bench/bin/genera_scenario "$lavoro/"
ora() { date +%s%N; }
mediana() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

(cd "$lavoro" && ./genera_scenario >/dev/null)  # warm-up, and the files to copy
mkdir "$lavoro/uscite"
(cd "$lavoro" && cp Valdora_Tarvea_5293_* Valdora_Tarvea_linea.dat Valdora_Tarvea_5293.sim Valdora_Tarvea_5293.dat uscite/)

elenco=("$lavoro"/uscite/*)
esecuzioni=()
copie=()
for ((i = 0; i < ripetizioni; i++)); do
  # both into an empty folder: the run as a user starts it, the copy of what it leaves
  rm -rf "$lavoro/corsa"; mkdir "$lavoro/corsa"; cp "$lavoro/genera_scenario" "$lavoro/corsa/"
  sync -f "$lavoro" 2>/dev/null || true
  t0=$(ora); env -C "$lavoro/corsa" ./genera_scenario >/dev/null; t1=$(ora)
  esecuzioni+=($((t1 - t0)))
  rm -rf "$lavoro/vuota"; mkdir "$lavoro/vuota"
  sync -f "$lavoro" 2>/dev/null || true
  t0=$(ora); env cp "${elenco[@]}" "$lavoro/vuota/"; t1=$(ora)
  copie+=($((t1 - t0)))
done
me=$(printf '%s\n' "${esecuzioni[@]}" | mediana)
mc=$(printf '%s\n' "${copie[@]}" | mediana)
awk -v e="$me" -v c="$mc" 'BEGIN { printf "program run %.2f ms, copy of its six files %.2f ms: ratio %.2f (target below 1.5)\n", e/1e6, c/1e6, e/c }'

build-bench/bin/memoria_picco
build-bench/bin/bench_compilatore --benchmark_min_time=0.2
build-bench/bin/bench_avversari --benchmark_min_time=0.2
