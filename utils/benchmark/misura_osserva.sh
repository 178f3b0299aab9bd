#!/usr/bin/env bash
# compila_scenario --osserva: save to event and save to new page, Release build.
# Usage: misura_osserva.sh [saves]
set -euo pipefail
radice="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$radice"
cmake --preset bench >/dev/null
cmake --build build-bench --target rapporto_prova compila_scenario >/dev/null
python3 "$radice/utils/benchmark/misura_osserva.py" "$radice/build-bench/bin" "${1:-11}"
