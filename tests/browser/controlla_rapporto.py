#!/usr/bin/env python3
"""Loads route reports in a real headless browser and checks them.

For each report: the marks in the DOM after scripts ran equal the decoder's
counts, the browser logs no script error, and a screenshot shows something in
every panel. The 1000 km route's report must stay under 3 MB.

Usage: controlla_rapporto.py RAPPORTO_PROVA WORK_FOLDER
Exit 77 (skipped) when no browser or no ImageMagick is installed.
"""
import json
import os
import re
import shutil
import subprocess
import sys

SALTA = 77
BROWSER = ("chromium-headless-shell", "chromium", "chromium-browser")
LARGHEZZA, ALTEZZA = 1200, 4200
LIMITE_BYTE = 3 * 1024 * 1024


def browser():
    for nome in BROWSER:
        trovato = shutil.which(nome)
        if trovato:
            return trovato
    return None


def esegui(comando, **kw):
    return subprocess.run(comando, capture_output=True, text=True, timeout=180, **kw)


def conteggi(testo):
    return {k: int(v) for k, v in re.findall(r"^(\w+) (\d+)", testo, re.M)}


def pixel_non_bianchi(png, x, y, w, h):
    """Fraction of the panel's pixels that are not (nearly) white."""
    r = esegui(["convert", png, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-colorspace", "gray",
                "-threshold", "96%", "-format", "%[fx:mean]", "info:"])
    if r.returncode != 0:
        raise RuntimeError(r.stderr)
    return 1.0 - float(r.stdout.strip())


def controlla(nome, argomenti, prova, chrome, cartella, errori, pannelli_attesi):
    html = os.path.join(cartella, nome + ".html")
    r = esegui([prova, *argomenti, html])
    if r.returncode != 0:
        errori.append(f"{nome}: rapporto_prova failed: {r.stderr}")
        return
    attesi = conteggi(r.stdout)
    dimensione = os.path.getsize(html)
    print(f"{nome}: {dimensione} bytes, decoder counts {attesi}")
    if dimensione >= LIMITE_BYTE:
        errori.append(f"{nome}: report of {dimensione} bytes, limit {LIMITE_BYTE}")

    url = "file://" + os.path.abspath(html)
    comune = [chrome, "--no-sandbox", "--disable-gpu", "--hide-scrollbars", "--enable-logging=stderr", "--v=0",
              f"--window-size={LARGHEZZA},{ALTEZZA}"]
    d = esegui([*comune, "--dump-dom", url])
    if d.returncode != 0 or "</html>" not in d.stdout:
        errori.append(f"{nome}: --dump-dom failed ({d.returncode}): {d.stderr[-500:]}")
        return
    dom = d.stdout
    for classe in ("stazione", "segnale", "rallentamento", "abbattimento"):
        trovati = len(re.findall(r'class="' + classe + r'"', dom))
        if trovati != attesi.get(classe):
            errori.append(f"{nome}: {trovati} marks of class {classe}, the decoder counts {attesi.get(classe)}")
    for riga in d.stderr.splitlines():
        if "CONSOLE" in riga and ("Uncaught" in riga or "Error" in riga):
            errori.append(f"{nome}: script error: {riga}")
    m = re.search(r'data-riquadri="([^"]*)"', dom)
    if not m:
        errori.append(f"{nome}: the page script did not run (no panel positions in the DOM)")
        return
    riquadri = json.loads(m.group(1).replace("&quot;", '"'))

    png = os.path.join(cartella, nome + ".png")
    s = esegui([*comune, "--screenshot=" + png, url])
    if s.returncode != 0 or not os.path.exists(png):
        errori.append(f"{nome}: --screenshot failed: {s.stderr[-500:]}")
        return
    visti = set()
    for ident, x, y, w, h in riquadri:
        if y + h > ALTEZZA or w <= 0 or h <= 0:
            continue  # below the screenshot
        visti.add(ident)
        quota = pixel_non_bianchi(png, x, y, w, h)
        print(f"  panel {ident}: {quota:.3f} of its pixels drawn")
        if quota < 0.01:
            errori.append(f"{nome}: panel {ident} looks blank ({quota:.4f} of its pixels drawn)")
    for ident in pannelli_attesi:
        if ident not in visti:
            errori.append(f"{nome}: panel {ident} missing from the screenshot")


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    prova, cartella = sys.argv[1], sys.argv[2]
    chrome = browser()
    if not chrome:
        print("SKIPPED: no headless browser installed (" + ", ".join(BROWSER) + ")")
        return SALTA
    if not shutil.which("convert"):
        print("SKIPPED: ImageMagick's convert is not installed")
        return SALTA
    os.makedirs(cartella, exist_ok=True)
    errori = []
    tutti = ("pianta", "altimetria", "velocita", "orario")
    controlla("programma", ["programma"], prova, chrome, cartella, errori, tutti)
    controlla("senza_linea", ["programma", "--senza-linea"], prova, chrome, cartella, errori, tutti)
    if "senza_linea: panel pianta" not in " ".join(errori) and "No plan view" not in open(
            os.path.join(cartella, "senza_linea.html"), encoding="utf-8").read():
        errori.append("senza_linea: the plan view does not say that there is no track plan")
    controlla("sintetico_30km", ["sintetico", "30000"], prova, chrome, cartella, errori, tutti)
    controlla("sintetico_1000km", ["sintetico", "1000000"], prova, chrome, cartella, errori, tutti)
    for e in errori:
        print("FAILED: " + e)
    return 1 if errori else 0


if __name__ == "__main__":
    sys.exit(main())
