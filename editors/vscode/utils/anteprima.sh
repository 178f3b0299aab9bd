#!/usr/bin/env bash
# The picture of the highlighting in the README: renders the examples of docs/
# (utils/anteprima.mjs) and screenshots the page with headless Chromium.
#   utils/anteprima.sh [PNG]   (default: docs/evidenziazione.png of the project)
set -euo pipefail
estensione=$(cd "$(dirname "$0")/.." && pwd)
png=${1:-$estensione/../../docs/evidenziazione.png}
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
node "$estensione/utils/anteprima.mjs" "$lavoro/anteprima.html" >/dev/null
chromium-headless-shell --no-sandbox --disable-gpu --hide-scrollbars --force-device-scale-factor=1 \
  --screenshot="$lavoro/anteprima.png" --window-size=1140,476 "file://$lavoro/anteprima.html" 2>/dev/null
cp "$lavoro/anteprima.png" "$png"
echo "$png"
