#!/usr/bin/env bash
# Times the whole program run, as a process, against two references, each
# repeated and the medians compared:
# - the I/O floor: pavimento_io doing exactly the run's file operations (lock,
#   eight files through temporaries, two read back and deleted, the same
#   flushing) on bytes already in memory, timed inside the process;
# - copying the run's six output files into an empty folder.
# The floor is also timed without flushing: the difference is what flushing
# costs. Then runs the compile benchmark and the peak-memory check.
# Usage: misura_esecuzione.sh [repetitions]
set -euo pipefail
ripetizioni="${1:-21}"
radice="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$radice"
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
lavoro="$(mktemp -d)"
trap 'rm -rf "$lavoro"' EXIT
cp build-bench/bin/genera_scenario build-bench/bin/pavimento_io "$lavoro/"
ora() { date +%s%N; }
mediana() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
vuota() { rm -rf "$lavoro/$1"; mkdir "$lavoro/$1"; sync -f "$lavoro" 2>/dev/null || true; }

(cd "$lavoro" && ./genera_scenario >/dev/null)  # warm-up, and the files to copy
mkdir "$lavoro/uscite"
(cd "$lavoro" && cp Valdora_Tarvea_5293_* Valdora_Tarvea_linea.dat Valdora_Tarvea_5293.sim Valdora_Tarvea_5293.dat uscite/)

elenco=("$lavoro"/uscite/*)
esecuzioni=() copie=() pavimenti=() senza_flush=()
for ((i = 0; i < ripetizioni; i++)); do
  # all into an empty folder: the run as a user starts it, the copy of what it leaves
  vuota corsa; cp "$lavoro/genera_scenario" "$lavoro/corsa/"
  t0=$(ora); env -C "$lavoro/corsa" ./genera_scenario >/dev/null; t1=$(ora)
  esecuzioni+=($((t1 - t0)))
  vuota copia
  t0=$(ora); env cp "${elenco[@]}" "$lavoro/copia/"; t1=$(ora)
  copie+=($((t1 - t0)))
  vuota pavimento
  pavimenti+=("$(env -C "$lavoro/pavimento" ../pavimento_io "$lavoro/uscite")")
  vuota pavimento
  senza_flush+=("$(env -C "$lavoro/pavimento" ../pavimento_io "$lavoro/uscite" --senza-flush)")
done
me=$(printf '%s\n' "${esecuzioni[@]}" | mediana)
mc=$(printf '%s\n' "${copie[@]}" | mediana)
mp=$(printf '%s\n' "${pavimenti[@]}" | mediana)
ms=$(printf '%s\n' "${senza_flush[@]}" | mediana)
awk -v e="$me" -v c="$mc" -v p="$mp" -v s="$ms" 'BEGIN {
  printf "program run %.2f ms\n", e/1e6
  printf "I/O floor (same file operations and flushing) %.2f ms: run/floor %.2f (target 1.15 or better)\n", p/1e6, e/p
  printf "copy of its six files %.2f ms: run/copy %.2f\n", c/1e6, e/c
  printf "I/O floor without flushing %.2f ms: flushing costs %.2f ms (%.0f%% of the floor)\n", s/1e6, (p-s)/1e6, 100*(p-s)/p
}'

build-bench/bin/memoria_picco
build-bench/bin/bench_compilatore --benchmark_min_time=0.2
build-bench/bin/bench_avversari --benchmark_min_time=0.2
build-bench/bin/bench_mostra --benchmark_min_time=0.2
