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
for b in linea treno compila decodifica lsp; do
  lavoro="build-fuzz/corpus-$b"
  rm -rf "$lavoro"
  mkdir -p "$lavoro"
  cp -r "utils/fuzz/corpus/$b/." "$lavoro/"
  # the language server's messages share no words with the descriptions
  dizionario=utils/fuzz/dizionario.dict
  [ -f "utils/fuzz/dizionario_$b.dict" ] && dizionario="utils/fuzz/dizionario_$b.dict"
  echo "== fuzz_$b for ${secondi}s"
  "build-fuzz/bin/fuzz_$b" "$lavoro" "utils/fuzz/corpus/$b" \
    -dict="$dizionario" -max_total_time="$secondi" -timeout=20 -rss_limit_mb=2048 \
    -max_len=1048576 -artifact_prefix="build-fuzz/trovati/$b-" -print_final_stats=1 2>&1 | tail -n 15
done
