#!/usr/bin/env python3
"""The Windows programs under Wine against the Linux build, byte for byte.

usage: confronta_wine.py LINUX_BIN WINDOWS_BIN CORPUS WORK [SCENARI]

genera_scenario.exe runs on Xvfb in an empty folder: exit status and its six
files against the Linux run's, its waiting window, and in an error case (the
notes file is a folder) the message box: title, text, then closed with Return.
compila_scenario.exe runs on every packed pair of CORPUS (line description,
NUL, train description) and every scenario in SCENARI, in one Wine process
start (a cmd script): exit status, every written file, standard error, and the
JSON with the paths normalised.
Exit 77 (skipped) when Wine or the Windows programs are missing, unless
SCENARIO_WINE_OBBLIGATORIO=1, as in CI.
"""
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

SALTA = 77
QUI = Path(__file__).resolve().parent
WINE_ESEGUI = QUI.parent.parent / "cmake" / "wine_esegui.sh"
FILE_GENERA = ["Valdora_Tarvea_5293_scheda_treno.txt", "Valdora_Tarvea_5293_rallentamenti.txt",
               "Valdora_Tarvea_5293_note.txt", "Valdora_Tarvea_linea.dat", "Valdora_Tarvea_5293.sim",
               "Valdora_Tarvea_5293.dat"]

errori = []
conti = {"genera": 0, "compila": 0, "file": 0}


def salta(motivo):
    if os.environ.get("SCENARIO_WINE_OBBLIGATORIO") == "1":
        print("FAILED (required): " + motivo)
        sys.exit(1)
    print("SKIPPED: " + motivo)
    sys.exit(SALTA)


def controlla(cond, testo):
    if not cond:
        errori.append(testo)
        print("DIFFERENT: " + testo)


def esegui_file(comando, cartella, uscita, env, timeout=120):
    """Runs with output to files: Wine's services would hold a pipe open."""
    with open(uscita.with_suffix(".out"), "wb") as o, open(uscita.with_suffix(".err"), "wb") as e:
        return subprocess.Popen(comando, cwd=cartella, stdin=subprocess.DEVNULL, stdout=o, stderr=e, env=env)


def xdotool(env, *argomenti):
    r = subprocess.run(["xdotool", *argomenti], env=env, stdin=subprocess.DEVNULL, capture_output=True, timeout=10)
    return r.returncode, r.stdout.decode(errors="replace")


def finestre(env, nome):
    codice, testo = xdotool(env, "search", "--name", nome)
    return testo.split() if codice == 0 else []


def avvia_xvfb(lavoro):
    lettura, scrittura = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(scrittura), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            pass_fds=[scrittura], stdin=subprocess.DEVNULL,
                            stdout=open(lavoro / "xvfb.log", "wb"), stderr=subprocess.STDOUT)
    os.close(scrittura)
    numero = b""
    while not numero.endswith(b"\n"):
        pezzo = os.read(lettura, 16)
        if not pezzo:
            break
        numero += pezzo
    os.close(lettura)
    return xvfb, ":" + numero.decode().strip()


def schermata(env, file_png):
    with open(file_png, "wb") as f:
        xwd = subprocess.Popen(["xwd", "-root", "-silent"], env=env, stdout=subprocess.PIPE, stdin=subprocess.DEVNULL)
        subprocess.run(["convert", "xwd:-", "png:-"], stdin=xwd.stdout, stdout=f, env=env)
        xwd.wait()


def confronta_genera(linux_bin, windows_bin, lavoro, env_wine):
    linux = lavoro / "genera_linux"
    win = lavoro / "genera_windows"
    for c in (linux, win):
        c.mkdir()
    shutil.copy2(linux_bin / "genera_scenario", linux)
    shutil.copy2(windows_bin / "genera_scenario.exe", win)
    stato_linux = esegui_file([str(linux / "genera_scenario")], linux, lavoro / "genera_linux_run", None).wait()

    # watch for the waiting window while the program runs
    processo = esegui_file(["wine", str(win / "genera_scenario.exe")], win, lavoro / "genera_windows_run", env_wine)
    vista = False
    while processo.poll() is None:
        vista = vista or bool(finestre(env_wine, "^genera_scenario$"))
    stato_win = processo.wait(timeout=120)
    conti["genera"] += 1
    controlla(stato_win == stato_linux == 0, f"genera_scenario exit status: Windows {stato_win}, Linux {stato_linux}")
    controlla(vista, "genera_scenario: no waiting window seen")
    nomi_linux = sorted(p.name for p in linux.iterdir() if p.name != "genera_scenario")
    nomi_win = sorted(p.name for p in win.iterdir() if p.name != "genera_scenario.exe")
    controlla(nomi_linux == sorted(FILE_GENERA), f"genera_scenario Linux files: {nomi_linux}")
    controlla(nomi_win == nomi_linux, f"genera_scenario files: Windows {nomi_win}, Linux {nomi_linux}")
    for nome in FILE_GENERA:
        conti["file"] += 1
        a, b = linux / nome, win / nome
        controlla(a.exists() and b.exists() and a.read_bytes() == b.read_bytes(), f"genera_scenario: {nome} differs")

    # error case: the notes file is a folder; the report is a message box
    errore = lavoro / "genera_errore"
    errore.mkdir()
    shutil.copy2(windows_bin / "genera_scenario.exe", errore)
    (errore / "Valdora_Tarvea_5293_note.txt").mkdir()
    env_traccia = dict(env_wine, WINEDEBUG="+msgbox")
    processo = esegui_file(["wine", str(errore / "genera_scenario.exe")], errore, lavoro / "genera_errore_run",
                           env_traccia)
    scatola = []
    limite = time.monotonic() + 60
    while processo.poll() is None and time.monotonic() < limite and len(scatola) < 2:
        scatola = finestre(env_wine, "^genera_scenario$")
        time.sleep(0.05)
    time.sleep(0.3)
    schermata(env_wine, lavoro / "messaggio.png")
    controlla(len(scatola) >= 2, f"error case: waiting window and message box expected, found {len(scatola)} windows")
    titoli = {xdotool(env_wine, "getwindowname", w)[1].strip() for w in scatola}
    controlla(titoli == {"genera_scenario"}, f"error case: window titles {titoli}")
    xdotool(env_wine, "key", "Return")
    try:
        stato = processo.wait(timeout=30)
    except subprocess.TimeoutExpired:
        processo.kill()
        stato = None
    conti["genera"] += 1
    controlla(stato == 2, f"error case: exit status {stato}, expected 2")
    # Wine's message box trace gives the text the box shows
    traccia = (lavoro / "genera_errore_run.err").read_bytes().decode("cp1252", errors="replace")
    testi = [r for r in traccia.splitlines() if ":msgbox:" in r]
    controlla(any('"genera_scenario: ' in r and "Valdora_Tarvea_5293_note.txt: " in r for r in testi),
              f"error case: message box text {testi}")
    controlla(any(p.name.endswith(".tmp") for p in errore.iterdir()) is False, "error case: temporary left")


def coppie(corpus, scenari):
    """(name, line description or None, train description or None)"""
    for f in sorted(corpus.iterdir()):
        dati = f.read_bytes()
        taglio = dati.find(b"\0")
        yield f.name[:12], dati if taglio < 0 else dati[:taglio], None if taglio < 0 else dati[taglio + 1:]
    if scenari and scenari.is_dir():
        for linea in sorted(scenari.rglob("*_linea.txt")):
            nome = linea.name[:-len("_linea.txt")]
            for treno in sorted(linea.parent.glob(nome + "_*-.txt")):
                numero = treno.name[len(nome) + 1:-len("-.txt")]
                yield (nome, numero), linea.read_bytes(), treno.read_bytes()


def normalizza(testo):
    """Console text: CR LF to LF; the paths typed as in/ and out/ joined with '/'."""
    testo = testo.replace(b"\r\n", b"\n")
    for cartella in (b"in", b"out"):
        testo = testo.replace(b'"' + cartella + b"\\\\", b'"' + cartella + b"/")
        testo = testo.replace(b"\n" + cartella + b"\\", b"\n" + cartella + b"/")
        if testo.startswith(cartella + b"\\"):
            testo = cartella + b"/" + testo[len(cartella) + 1:]
    return testo


def confronta_compila(linux_bin, windows_bin, corpus, scenari, lavoro, env_wine):
    casi = []
    righe = ["@echo off"]
    exe = "Z:" + str(windows_bin / "compila_scenario.exe").replace("/", "\\")
    for i, (nome, linea, treno) in enumerate(coppie(corpus, scenari)):
        linea_nome, numero = nome if isinstance(nome, tuple) else ("L", "1")
        caso = lavoro / "compila" / f"{i:04d}"
        for lato in ("linux", "windows"):
            (caso / lato / "in").mkdir(parents=True)
            (caso / lato / "out").mkdir()
            (caso / lato / "in" / f"{linea_nome}_linea.txt").write_bytes(linea)
            if treno is not None:
                (caso / lato / "in" / f"{linea_nome}_{numero}-.txt").write_bytes(treno)
        argomenti = ["--linea", linea_nome, "--treno", numero, "--dir", "in", "--out", "out", "--json"]
        casi.append((caso, argomenti))
        dos = "Z:" + str(caso / "windows").replace("/", "\\")
        righe += [f'cd /d "{dos}"', f'"{exe}" {" ".join(argomenti)} >stdout.txt 2>stderr.txt',
                  ">stato.txt echo %ERRORLEVEL%"]
    script = lavoro / "compila.cmd"
    script.write_bytes(("\r\n".join(righe) + "\r\n").encode("cp1252"))

    inizio = time.monotonic()
    for caso, argomenti in casi:
        with open(caso / "linux" / "stdout.txt", "wb") as o, open(caso / "linux" / "stderr.txt", "wb") as e:
            r = subprocess.run([str(linux_bin / "compila_scenario"), *argomenti], cwd=caso / "linux",
                               stdin=subprocess.DEVNULL, stdout=o, stderr=e, timeout=120)
        (caso / "linux" / "stato.txt").write_text(f"{r.returncode}\n")
    medio = time.monotonic()
    esegui_file(["wine", "cmd", "/c", "Z:" + str(script).replace("/", "\\")], lavoro, lavoro / "compila_cmd",
                env_wine).wait(timeout=1200)
    fine = time.monotonic()
    print(f"compila_scenario: {len(casi)} runs, Linux {medio - inizio:.1f} s, Wine {fine - medio:.1f} s")

    for caso, _ in casi:
        conti["compila"] += 1
        l, w = caso / "linux", caso / "windows"
        stato_w = (w / "stato.txt").read_text().strip() if (w / "stato.txt").exists() else "missing"
        controlla(stato_w == (l / "stato.txt").read_text().strip(), f"{caso.name}: exit status")
        for nome in ("stdout.txt", "stderr.txt"):
            a, b = normalizza((l / nome).read_bytes()), normalizza((w / nome).read_bytes()) if (w / nome).exists() else None
            controlla(a == b, f"{caso.name}: {nome}\n  Linux:   {a[:300]!r}\n  Windows: {b[:300] if b else b!r}")
        for cartella in ("in", "out"):
            nomi_l = sorted(p.name for p in (l / cartella).iterdir())
            nomi_w = sorted(p.name for p in (w / cartella).iterdir())
            controlla(nomi_l == nomi_w, f"{caso.name}: files in {cartella}: Linux {nomi_l}, Windows {nomi_w}")
            for nome in set(nomi_l) & set(nomi_w):
                conti["file"] += 1
                controlla((l / cartella / nome).read_bytes() == (w / cartella / nome).read_bytes(),
                          f"{caso.name}: {cartella}/{nome} differs")


def main():
    if len(sys.argv) < 5:
        print(__doc__)
        return 64
    linux_bin, windows_bin, corpus, lavoro = (Path(a).resolve() for a in sys.argv[1:5])
    scenari = Path(sys.argv[5]).resolve() if len(sys.argv) > 5 else None
    for programma in ("wine", "Xvfb", "xdotool", "xwd", "convert"):
        if shutil.which(programma) is None:
            salta(f"{programma} is not installed (apt-get install wine wine64 xvfb xdotool x11-apps imagemagick)")
    if not (windows_bin.parent / "build.ninja").exists() and not (windows_bin / "genera_scenario.exe").exists():
        # the windows preset's build holds the same programs, made with the same toolchain and flags
        gemella = windows_bin.parent.parent / "build-windows" / "bin"
        if (gemella.parent / "build.ninja").exists():
            windows_bin = gemella
    if (windows_bin.parent / "build.ninja").exists():
        # the Windows programs from the same sources as the Linux ones
        subprocess.run(["cmake", "--build", str(windows_bin.parent), "--target", "genera_scenario", "compila_scenario"],
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, check=False)
    for nome in ("genera_scenario.exe", "compila_scenario.exe"):
        if not (windows_bin / nome).exists():
            salta(f"{windows_bin / nome} is missing: build it first with `cmake --workflow --preset mingw`")
    if lavoro.exists():
        shutil.rmtree(lavoro)
    lavoro.mkdir(parents=True)
    prefisso = lavoro.parent / "wineprefix"

    xvfb, schermo = avvia_xvfb(lavoro)
    env_wine = dict(os.environ, DISPLAY=schermo, WINEPREFIX=str(prefisso), WINEDEBUG="-all",
                    WINEDLLOVERRIDES="mscoree,mshtml=", SCENARIO_WINE_DISPLAY="1")
    try:
        inizio = time.monotonic()
        # the prefix (made once) and its server, with the output to files
        esegui_file([str(WINE_ESEGUI), str(prefisso), "cmd", "/c", "exit"], lavoro, lavoro / "prefisso",
                    env_wine).wait(timeout=300)
        pronto = time.monotonic()
        confronta_genera(linux_bin, windows_bin, lavoro, env_wine)
        genera = time.monotonic()
        confronta_compila(linux_bin, windows_bin, corpus, scenari, lavoro, env_wine)
        fine = time.monotonic()
    finally:
        # this prefix's server only, then the display
        subprocess.run(["wineserver", "-k"], env=env_wine, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        xvfb.terminate()
        xvfb.wait()
    print(f"prefix ready in {pronto - inizio:.1f} s; genera_scenario {conti['genera']} runs in "
          f"{genera - pronto:.1f} s; compila_scenario {conti['compila']} runs in {fine - genera:.1f} s; "
          f"{conti['file']} files compared; screenshot of the message box: {lavoro / 'messaggio.png'}")
    if errori:
        print(f"{len(errori)} differences")
        return 1
    print("Windows and Linux builds agree")
    return 0


if __name__ == "__main__":
    sys.exit(main())
