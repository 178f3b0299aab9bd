#!/usr/bin/env python3
"""Loads route reports in a real headless browser and checks them.

Each scenario goes the way an author's does: description files, compila_scenario,
then mostra_scenario --html on the compiled files. In the page: the marks in
the DOM after scripts ran equal the decoder's counts (mostra_scenario --json),
the browser logs no script error, a screenshot shows something in every
panel, no text runs off its drawing and the page is no wider than the window.
The 1000 km route's report must stay under 3 MB. Hostile compiled files
(names of 9000 characters, a track plan 1e20 m out or holding a NaN) still give
a page, in bounded time.

Usage: controlla_rapporto.py BIN_FOLDER WORK_FOLDER [EXAMPLES_FOLDER]
(BIN_FOLDER holds rapporto_prova, compila_scenario and mostra_scenario.)
Exit 77 (skipped) when no browser or no ImageMagick is installed, unless
SCENARIO_BROWSER_OBBLIGATORIO=1, as in CI: then a missing tool fails.
"""
import json
import os
import re
import shutil
import struct
import subprocess
import sys

SALTA = 77
BROWSER = ("chromium-headless-shell", "chromium", "chromium-browser")
LARGHEZZA, ALTEZZA = 1200, 4200
LIMITE_BYTE = 3 * 1024 * 1024


def salta(motivo):
    if os.environ.get("SCENARIO_BROWSER_OBBLIGATORIO") == "1":
        print("FAILED (required): " + motivo)
        return 1
    print("SKIPPED: " + motivo)
    return SALTA


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


CLASSI = {"stazione": "stations", "segnale": "signals", "rallentamento": "slowdowns",
          "abbattimento": "speed_reduction_points"}


def controlla(nome, scenario, binari, chrome, cartella, errori, pannelli_attesi, ritocco=None, atteso=None):
    """scenario: (folder of the description files, line, train, extra options).
    ritocco(folder, line) changes the compiled files before they are shown;
    atteso is a text the page must hold."""
    dati, linea, treno, opzioni = scenario
    strumento = lambda s: os.path.join(binari, s)
    base = ["--linea", linea, "--treno", treno, "--dir", dati, *opzioni]
    r = esegui([strumento("compila_scenario"), *base])
    if r.returncode != 0:
        errori.append(f"{nome}: compila_scenario exit {r.returncode}: {r.stderr[-500:]}")
        return
    if ritocco:
        ritocco(dati, linea)
    j = esegui([strumento("mostra_scenario"), *base, "--json"])
    if j.returncode != 0:
        errori.append(f"{nome}: mostra_scenario --json exit {j.returncode}: {j.stderr[-500:]}")
        return
    decodificato = json.loads(j.stdout)
    attesi = {classe: len(decodificato[chiave]) for classe, chiave in CLASSI.items()}
    html = os.path.join(cartella, nome + ".html")
    r = esegui([strumento("mostra_scenario"), *base, "--html", html])
    if r.returncode != 0:
        errori.append(f"{nome}: mostra_scenario --html exit {r.returncode}: {r.stderr[-500:]}")
        return
    dimensione = os.path.getsize(html)
    if atteso and atteso not in open(html, encoding="utf-8").read():
        errori.append(f"{nome}: the page does not say {atteso!r}")
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
    for classe in CLASSI:
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
    fuori = re.search(r'data-fuori="([^"]*)"', dom)
    if fuori and json.loads(fuori.group(1).replace("&quot;", '"').replace("&amp;", "&")):
        errori.append(f"{nome}: texts run off their drawing: {fuori.group(1)[:300]}")
    larghezza = re.search(r'data-larghezza="(\d+)"', dom)
    if not larghezza or int(larghezza.group(1)) > LARGHEZZA:
        errori.append(f"{nome}: the page is wider than the window ({larghezza and larghezza.group(1)} px)")

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


def controlla_problemi(binari, chrome, cartella, errori, trovato):
    """A pair with problems planted: compila_scenario --html marks each message that
    names a position in the plan and both profiles, and the page runs without error."""
    if not trovato:
        return
    sorgente, linea, treno, _ = trovato
    dati = os.path.join(cartella, "problemi")
    os.makedirs(dati, exist_ok=True)
    for f in (linea + "_linea.txt", linea + "_" + treno + "-.txt"):
        shutil.copyfile(os.path.join(sorgente, f), os.path.join(dati, f))
    file_treno = os.path.join(dati, linea + "_" + treno + "-.txt")
    righe = open(file_treno, "rb").read().split(b"\r\n")
    # a speed off the steps of 5 and a slowdown faster than the line, after the first of each entry
    velocita = next(i for i, r in enumerate(righe) if r.startswith(b"velocita") and not r.split(b",")[1].strip() == b"0")
    righe[velocita] = righe[velocita].rsplit(b",", 1)[0] + b", 72"
    rall = next(i for i, r in enumerate(righe) if r.startswith(b"rallentamento"))
    righe.insert(rall, b"rallentamento,    3000,    300,  400, 0,  0,  0")
    open(file_treno, "wb").write(b"\r\n".join(righe))
    html = os.path.join(cartella, "problemi.html")
    r = esegui([os.path.join(binari, "compila_scenario"), "--linea", linea, "--treno", treno, "--dir", dati,
                "--json", "--html", html])
    messaggi = json.loads(r.stdout)["messages"] if r.stdout.strip() else []
    situati = [m for m in messaggi if m.get("position") is not None and m["severity"] != "note"]
    if len(situati) < 2:
        errori.append(f"problemi: {len(situati)} messages with a position, 2 planted: {r.stdout[-500:]}")
    d = esegui([chrome, "--no-sandbox", "--disable-gpu", "--enable-logging=stderr", "--v=0", "--dump-dom",
                "file://" + os.path.abspath(html)])
    segni = len(re.findall(r'<a class="problema (?:errore|avviso)"', d.stdout))
    print(f"problemi: {len(situati)} messages with a position, {segni} marks")
    if segni != 3 * len(situati):
        errori.append(f"problemi: {segni} marks for {len(situati)} messages with a position (3 each expected)")
    for riga in d.stderr.splitlines():
        if "CONSOLE" in riga and ("Uncaught" in riga or "Error" in riga):
            errori.append(f"problemi: script error: {riga}")


def sposta_tracciato(dati, linea, cambia):
    """Rewrites every element of the line file as a double: cambia(index, value)."""
    file = os.path.join(dati, linea + "_linea.dat")
    d = open(file, "rb").read()
    i, n, nuovo = 0, 0, bytearray()
    while i < len(d):
        etichetta = struct.unpack_from("<h", d, i)[0]
        i += 2
        if etichetta in (2, 5):
            valore = struct.unpack_from("<d" if etichetta == 5 else "<h", d, i)[0]
            i += 8 if etichetta == 5 else 2
            nuovo += struct.pack("<hd", 5, cambia(n, float(valore)))
        else:
            nuovo += struct.pack("<h", etichetta)
        n += 1
    open(file, "wb").write(nuovo)


def nomi_lunghi(binari, cartella):
    """The program's descriptions with a first and a last station named by 9000 characters."""
    dati = descrizioni(binari, cartella, "nomi_lunghi", "programma")
    treno = os.path.join(dati, "Valdora_Tarvea_5293-.txt")
    testo = open(treno, "rb").read()
    testo = testo.replace(b"VALDORA S.M.N.", b"VALDORA" + b"W" * 9000 + b"<&\x81")
    testo = testo.replace(b"TARVEA\r", b"TARVEA" + b"X" * 9000 + b"\r")
    open(treno, "wb").write(testo)
    return dati


def descrizioni(binari, cartella, nome, *tipo):
    """The description files of the program's own or of a synthetic route, in their own folder."""
    dati = os.path.join(cartella, nome)
    os.makedirs(dati, exist_ok=True)
    r = esegui([os.path.join(binari, "rapporto_prova"), "descrizioni", *tipo, dati])
    if r.returncode != 0:
        raise RuntimeError(r.stderr)
    return dati


def main():
    if len(sys.argv) not in (3, 4):
        print(__doc__)
        return 2
    binari, cartella = sys.argv[1], sys.argv[2]
    esempi = sys.argv[3] if len(sys.argv) == 4 else None
    chrome = browser()
    if not chrome:
        return salta("no headless browser installed (" + ", ".join(BROWSER) + ")")
    if not shutil.which("convert"):
        return salta("ImageMagick's convert is not installed")
    os.makedirs(cartella, exist_ok=True)
    errori = []
    tutti = ("pianta", "altimetria", "velocita", "orario")
    programma = descrizioni(binari, cartella, "programma", "programma")
    scenari = [("programma", (programma, "Valdora_Tarvea", "5293", [])),
               ("senza_linea", (programma, "Valdora_Tarvea", "5293", ["--senza-linea"]))]
    # an author's example scenario where the repository has one, else a short synthetic line
    trovato = esempio(esempi)
    if trovato:
        # compiled in a copy: the source tree is never written
        sorgente, linea, treno, opzioni = trovato
        copia = os.path.join(cartella, "esempio")
        os.makedirs(copia, exist_ok=True)
        for f in (linea + "_linea.txt", linea + "_" + treno + "-.txt"):
            shutil.copyfile(os.path.join(sorgente, f), os.path.join(copia, f))
        scenari.append(("esempio", (copia, linea, treno, opzioni)))
    else:
        scenari.append(("sintetico_30km", (descrizioni(binari, cartella, "s30", "sintetico", "30000"),
                                            "Sintetica", "1", [])))
    scenari.append(("sintetico_1000km", (descrizioni(binari, cartella, "s1000", "sintetico", "1000000"),
                                          "Sintetica", "1", [])))
    for nome, scenario in scenari:
        controlla(nome, scenario, binari, chrome, cartella, errori, tutti)
    controlla_problemi(binari, chrome, cartella, errori, trovato)
    proprio = lambda cartella_dati: (cartella_dati, "Valdora_Tarvea", "5293", [])
    controlla("nomi_lunghi", proprio(nomi_lunghi(binari, cartella)), binari, chrome, cartella, errori, tutti,
              atteso="VALDORAWWW")
    controlla("pianta_lontana", proprio(descrizioni(binari, cartella, "lontana", "programma")), binari, chrome,
              cartella, errori, tutti, lambda d, l: sposta_tracciato(d, l, lambda n, v: v + 1e20),
              "east, km from 1e+20 m")
    controlla("pianta_nan", proprio(descrizioni(binari, cartella, "nan", "programma")), binari, chrome, cartella,
              errori, tutti, lambda d, l: sposta_tracciato(d, l, lambda n, v: float("nan") if n == 777 else v),
              "The track plan cannot be drawn: ")
    senza = os.path.join(cartella, "senza_linea.html")
    if os.path.exists(senza) and "No plan view" not in open(senza, encoding="utf-8").read():
        errori.append("senza_linea: the plan view does not say that there is no track plan")
    for e in errori:
        print("FAILED: " + e)
    return 1 if errori else 0


def esempio(esempi):
    """The first example scenario: a folder holding NOME_linea.txt and NOME_NUMERO-.txt."""
    if not esempi or not os.path.isdir(esempi):
        return None
    for radice, _, file in sorted(os.walk(esempi)):
        for f in sorted(file):
            if f.endswith("_linea.txt"):
                linea = f[: -len("_linea.txt")]
                for g in sorted(file):
                    if g.startswith(linea + "_") and g.endswith("-.txt"):
                        return (radice, linea, g[len(linea) + 1: -len("-.txt")], [])
    return None


if __name__ == "__main__":
    sys.exit(main())
