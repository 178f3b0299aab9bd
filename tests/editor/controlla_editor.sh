#!/usr/bin/env bash
# One check of the editor extension in editors/vscode:
#   controlla_editor.sh ESTENSIONE LAVORO PASSO
# PASSO is build (type check and bundle), grammatiche (the annotated samples),
# coerenza (grammars and snippets against docs/) or pacchetto (the .vsix and
# what it holds). build and pacchetto work on a copy in LAVORO, so the source
# folder gets no out/ and no .vsix. Without the extension's npm packages the
# check is skipped (exit 77), unless SCENARIO_EDITOR_OBBLIGATORIO=1, as in CI.
set -euo pipefail
estensione=$1 lavoro=$2 passo=$3

salta() {
  if [ "${SCENARIO_EDITOR_OBBLIGATORIO:-}" = 1 ]; then
    echo "editor extension: $1 (required: SCENARIO_EDITOR_OBBLIGATORIO=1)" >&2
    exit 1
  fi
  echo "editor extension not checked: $1"
  exit 77
}
command -v npm >/dev/null 2>&1 || salta "npm is not installed"
[ -d "$estensione/node_modules" ] || salta "run 'npm ci' in $estensione first"

# A copy of the extension without its outputs, sharing the installed packages.
copia() {
  rm -rf "$lavoro"
  mkdir -p "$lavoro"
  (cd "$estensione" && tar --exclude=./node_modules --exclude=./out --exclude='*.vsix' -cf - .) | tar -xf - -C "$lavoro"
  ln -s "$estensione/node_modules" "$lavoro/node_modules"
  cd "$lavoro"
  npm run --silent build
  [ -s out/extension.js ] || { echo "npm run build wrote no out/extension.js" >&2; exit 1; }
}

case $passo in
  build)
    copia
    # the bundle needs nothing at run time but the editor's own module
    esterni=$(grep -o 'require("[^"]*")' out/extension.js | sort -u | grep -v -x -E 'require\("(vscode|(node:)?(child_process|crypto|events|fs|net|os|path|stream|url|util|assert|buffer|tty))"\)' || true)
    if [ -n "$esterni" ]; then
      echo "out/extension.js still needs: $esterni" >&2
      exit 1
    fi
    ;;
  grammatiche)
    cd "$estensione"
    npm run --silent test:grammatiche
    ;;
  coerenza)
    cd "$estensione"
    npm run --silent test:coerenza
    ;;
  pacchetto)
    copia
    npm run --silent pacchetto -- --out "$lavoro/descrizioni-scenario.vsix"
    python3 - "$lavoro/descrizioni-scenario.vsix" <<'PY'
import json, sys, zipfile
nomi = set(zipfile.ZipFile(sys.argv[1]).namelist())
manifesto = json.loads(zipfile.ZipFile(sys.argv[1]).read("extension/package.json"))
c = manifesto["contributes"]
attesi = [manifesto["main"]] + [g["path"] for g in c["grammars"]] + [s["path"] for s in c["snippets"]]
attesi += [l["configuration"] for l in c["languages"]]
mancanti = sorted({"extension/" + p.removeprefix("./") for p in attesi} - nomi)
estranei = sorted(n for n in nomi if n.startswith(("extension/node_modules/", "extension/src/", "extension/test/")))
if mancanti or estranei:
    sys.exit(f"the package lacks {mancanti} and holds {estranei[:5]}")
print(f"{sys.argv[1]}: {len(nomi)} files, all the manifest names")
PY
    ;;
  *)
    echo "unknown step $passo" >&2
    exit 64
    ;;
esac
