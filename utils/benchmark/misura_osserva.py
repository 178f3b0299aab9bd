#!/usr/bin/env python3
"""compila_scenario --osserva: the time from a save to the event on /eventi and
to the new page fetched, for the example pair and the 1,000,000 m synthetic
route; medians of N saves each (default 11). The loop looks at the files every
50 ms and waits for 50 ms of quiet, so about 75 ms of each figure is waiting by
design; the rest is the compile, the writing of the files and the page.

Usage: misura_osserva.py BIN_FOLDER [N]   (BIN_FOLDER holds compila_scenario and rapporto_prova;
utils/benchmark/misura_osserva.sh builds the bench preset and runs this.)
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.request

RADICE = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


def misura(bin_dir, cartella, linea, treno, file_treno, volte):
    proc = subprocess.Popen([os.path.join(bin_dir, "compila_scenario"), "--linea", linea, "--treno", treno,
                             "--dir", cartella, "--osserva"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                            text=True)
    try:
        indirizzo = proc.stdout.readline().strip()
        eventi = urllib.request.urlopen(indirizzo + "eventi", timeout=120)

        def attendi(versione):
            while True:
                riga = eventi.readline().decode()
                if not riga:
                    raise RuntimeError("the event stream ended")
                if riga.strip() == "data: %d" % versione:
                    return

        attendi(1)
        originale = open(file_treno, "rb").read()
        all_evento, alla_pagina = [], []
        for i in range(volte):
            time.sleep(0.2)
            t0 = time.perf_counter()
            with open(file_treno, "wb") as f:
                f.write(originale + (b"; salvataggio %d\r\n" % i if i % 2 else b""))
            attendi(i + 2)
            t1 = time.perf_counter()
            pagina = urllib.request.urlopen(indirizzo, timeout=120).read()
            t2 = time.perf_counter()
            all_evento.append((t1 - t0) * 1000)
            alla_pagina.append((t2 - t0) * 1000)
        return statistics.median(all_evento), statistics.median(alla_pagina), len(pagina)
    finally:
        proc.terminate()
        proc.wait(timeout=30)


def main():
    bin_dir = sys.argv[1]
    volte = int(sys.argv[2]) if len(sys.argv) > 2 else 11
    lavoro = tempfile.mkdtemp()
    try:
        esempio = os.path.join(lavoro, "esempio")
        shutil.copytree(os.path.join(RADICE, "examples", "borgo_lanzi"), esempio)
        sintetico = os.path.join(lavoro, "sintetico")
        os.mkdir(sintetico)
        subprocess.run([os.path.join(bin_dir, "rapporto_prova"), "descrizioni", "sintetico", "1000000", sintetico],
                       check=True, stdout=subprocess.DEVNULL)
        casi = [("example pair (Borgo_Lanzi 8127)", esempio, "Borgo_Lanzi", "8127", "Borgo_Lanzi_8127-.txt"),
                ("synthetic 1,000,000 m route", sintetico, "Sintetica", "1", "Sintetica_1-.txt")]
        for nome, cartella, linea, treno, file_treno in casi:
            evento, pagina, byte = misura(bin_dir, cartella, linea, treno, os.path.join(cartella, file_treno), volte)
            print("%-34s save->event %7.1f ms   save->new page %7.1f ms   (page %d bytes, median of %d)"
                  % (nome, evento, pagina, byte, volte))
    finally:
        shutil.rmtree(lavoro, ignore_errors=True)


if __name__ == "__main__":
    main()
