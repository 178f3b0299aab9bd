#!/usr/bin/env bash
# The route report of a 1000 km line: its size, the time mostra_scenario takes
# to write it (reading and decoding the compiled files included), and the time a
# headless browser takes to load and draw it, against an empty page.
# Usage: misura_rapporto.sh [repetitions]
set -euo pipefail
ripetizioni="${1:-5}"
source "$(dirname "$0")/banco.sh"
prepara_banco rapporto_prova compila_scenario mostra_scenario

"$bin/rapporto_prova" descrizioni sintetico 1000000 "$lavoro"
"$bin/compila_scenario" --linea Sintetica --treno 1 --dir "$lavoro" >/dev/null
argomenti=(--linea Sintetica --treno 1 --dir "$lavoro")

tempi=()
for ((i = 0; i < ripetizioni; i++)); do
  t0=$(ora); "$bin/mostra_scenario" "${argomenti[@]}" --html "$lavoro/rapporto.html" >/dev/null; t1=$(ora)
  tempi+=($((t1 - t0)))
done
mr=$(printf '%s\n' "${tempi[@]}" | mediana)
dimensione=$(stat -c %s "$lavoro/rapporto.html")
interno=$("$bin/rapporto_prova" sintetico 1000000 "$lavoro/prova.html" | awk '$1 == "ms" {print $2}')
awk -v t="$mr" -v d="$dimensione" -v i="$interno" 'BEGIN {
  printf "1000 km report: %d bytes (%.2f MB, limit 3 MB)\n", d, d / 1048576
  printf "mostra_scenario --html, whole process: %.0f ms (median)\n", t / 1e6
  printf "decode + content + page in memory: %.0f ms\n", i }'

browser=""
for b in chromium-headless-shell chromium chromium-browser; do
  if command -v "$b" >/dev/null; then browser="$b"; break; fi
done
if [ -z "$browser" ]; then
  echo "no headless browser installed: render time not measured"
  exit 0
fi
printf '<!DOCTYPE html><html><head><meta charset="utf-8"></head><body>x</body></html>' >"$lavoro/vuota.html"
disegna() {
  "$browser" --no-sandbox --disable-gpu --hide-scrollbars --window-size=1200,4200 \
    --screenshot="$lavoro/shot.png" "file://$1" >/dev/null 2>&1
}
for pagina in vuota rapporto; do
  disegna "$lavoro/$pagina.html"  # warm-up
  tempi=()
  for ((i = 0; i < ripetizioni; i++)); do
    t0=$(ora); disegna "$lavoro/$pagina.html"; t1=$(ora)
    tempi+=($((t1 - t0)))
  done
  eval "m_$pagina=$(printf '%s\n' "${tempi[@]}" | mediana)"
done
awk -v v="$m_vuota" -v r="$m_rapporto" -v b="$browser" 'BEGIN {
  printf "%s, load and screenshot: report %.0f ms, empty page %.0f ms: the report costs %.0f ms\n", b, r / 1e6, v / 1e6, (r - v) / 1e6 }'
