#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer + UBSan) and runs
# each for a bounded time on a copy of the saved corpus. A crash, a sanitizer
# report, a timeout or an out-of-memory fails the run; the input is kept in
# build-fuzz/trovati/ to be added to utils/fuzz/crash/.
# Usage: esegui_fuzz.sh [seconds per target]
set -euo pipefail
secondi="${1:-60}"
radice="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$radice"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build-fuzz/trovati

# one target: a fresh copy of its corpus, the run's tail in its log
fuzz_uno() {
  local b="$1" lavoro="build-fuzz/corpus-$1"
  rm -rf "$lavoro"
  mkdir -p "$lavoro"
  cp -r "utils/fuzz/corpus/$b/." "$lavoro/"
  # the language server's messages share no words with the descriptions
  local dizionario=utils/fuzz/dizionario.dict
  [ -f "utils/fuzz/dizionario_$b.dict" ] && dizionario="utils/fuzz/dizionario_$b.dict"
  "build-fuzz/bin/fuzz_$b" "$lavoro" "utils/fuzz/corpus/$b" \
    -dict="$dizionario" -max_total_time="$secondi" -timeout=20 -rss_limit_mb=2048 \
    -max_len=1048576 -artifact_prefix="build-fuzz/trovati/$b-" -print_final_stats=1 >"build-fuzz/fuzz_$b.log" 2>&1
}

# as many targets at once as there are cores; each one still gets its full time
paralleli="$(nproc 2>/dev/null || echo 1)"
declare -A processi
esito=0
for b in linea treno compila decodifica lsp; do
  while (($(jobs -rp | wc -l) >= paralleli)); do wait -n || true; done
  fuzz_uno "$b" &
  processi[$b]=$!
done
for b in linea treno compila decodifica lsp; do
  stato=0
  wait "${processi[$b]}" || stato=$?
  echo "== fuzz_$b for ${secondi}s: exit $stato"
  tail -n 15 "build-fuzz/fuzz_$b.log"
  ((stato == 0)) || esito=1
done
exit "$esito"
