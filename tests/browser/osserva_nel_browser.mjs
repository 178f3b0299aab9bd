// compila_scenario --osserva in headless Chromium: the served page follows a
// save in place (scroll kept, the report's own script run again), a compile
// with nothing to draw keeps the old drawings under a banner, and the page
// logs no script error.
// Usage: node osserva_nel_browser.mjs COMPILA_SCENARIO EXAMPLES_FOLDER WORK_FOLDER
// Exit 77 (skipped) without a browser or without `npm ci` run here, unless
// SCENARIO_BROWSER_OBBLIGATORIO=1, as in CI.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { createInterface } from 'node:readline';

const SALTA = 77;
const BROWSER = '/usr/bin/chromium-headless-shell';
const ATTESA = 30000;

function salta(motivo) {
  if (process.env.SCENARIO_BROWSER_OBBLIGATORIO === '1') {
    console.log('FAILED (required): ' + motivo);
    process.exit(1);
  }
  console.log('SKIPPED: ' + motivo);
  process.exit(SALTA);
}

let puppeteer;
try {
  puppeteer = (await import('puppeteer-core')).default;
} catch {
  salta('puppeteer-core is not installed: run npm ci in tests/browser');
}
if (!fs.existsSync(BROWSER)) salta(BROWSER + ' is missing (Debian package chromium-headless-shell)');

const [compila, esempi, lavoro] = process.argv.slice(2);
fs.rmSync(lavoro, { recursive: true, force: true });
fs.mkdirSync(lavoro, { recursive: true });
for (const f of ['Borgo_Lanzi_linea.txt', 'Borgo_Lanzi_8127-.txt']) {
  fs.copyFileSync(path.join(esempi, 'borgo_lanzi', f), path.join(lavoro, f));
}
const treno = path.join(lavoro, 'Borgo_Lanzi_8127-.txt');
const linea = path.join(lavoro, 'Borgo_Lanzi_linea.txt');

const esiti = [];
function controlla(nome, vero, dettaglio = '') {
  esiti.push(vero);
  console.log((vero ? 'ok   ' : 'FAIL ') + nome + (vero ? '' : ' ' + dettaglio));
}

const proc = spawn(compila, ['--linea', 'Borgo_Lanzi', '--treno', '8127', '--dir', lavoro, '--osserva']);
proc.stderr.resume();
const fine = new Promise((ok) => proc.on('exit', (codice) => ok(codice)));
const indirizzo = await new Promise((ok) => createInterface({ input: proc.stdout }).once('line', ok));
controlla('the address comes first', /^http:\/\/127\.0\.0\.1:\d+\/$/.test(indirizzo), indirizzo);

const browser = await puppeteer.launch({ executablePath: BROWSER, args: ['--no-sandbox'] });
try {
  const pagina = await browser.newPage();
  await pagina.setViewport({ width: 1200, height: 700 });
  const errori = [];
  pagina.on('pageerror', (e) => errori.push(String(e)));
  pagina.on('console', (m) => { if (m.type() === 'error') errori.push(m.text()); });
  await pagina.goto(indirizzo, { waitUntil: 'load' });
  await pagina.waitForFunction(() => document.body.dataset.versioneOsserva === '1', { timeout: ATTESA });
  await pagina.evaluate(() => window.scrollTo(0, 900));
  const scorrimento = await pagina.evaluate(() => window.scrollY);

  fs.writeFileSync(treno, fs.readFileSync(treno, 'latin1').replace('VALLE ORSA', 'VALLE VIVA'), 'latin1');
  await pagina.waitForFunction(() => document.body.innerText.includes('VALLE VIVA'), { timeout: ATTESA });
  const dopo = await pagina.evaluate(() => ({
    y: window.scrollY,
    versione: document.body.dataset.versioneOsserva,
    vecchio: document.body.innerText.includes('VALLE ORSA'),
    riquadri: JSON.parse(document.body.dataset.riquadri || '[]').length,
    copioni: document.querySelectorAll('script#osserva').length,
  }));
  controlla('the save shows without a reload', dopo.versione === '2' && !dopo.vecchio, JSON.stringify(dopo));
  controlla('the scroll position stays', scorrimento > 0 && Math.abs(dopo.y - scorrimento) <= 2,
    scorrimento + ' -> ' + dopo.y);
  controlla("the report's own script ran on the new drawings", dopo.riquadri > 0, JSON.stringify(dopo));
  controlla('one live script', dopo.copioni === 1, JSON.stringify(dopo));

  const testo = fs.readFileSync(linea);
  fs.writeFileSync(linea, '');
  await pagina.waitForSelector('#disegni-vecchi', { timeout: ATTESA });
  const vecchia = await pagina.evaluate(() => ({
    pianta: !!document.getElementById('pianta'),
    messaggio: document.body.innerText.includes('the file is empty'),
  }));
  controlla('a failed compile keeps the old drawings', vecchia.pianta && vecchia.messaggio, JSON.stringify(vecchia));
  fs.writeFileSync(linea, testo);
  await pagina.waitForFunction(() => !document.getElementById('disegni-vecchi'), { timeout: ATTESA });
  controlla('no script error', errori.length === 0, JSON.stringify(errori));
} catch (e) {
  controlla('the page followed the saves', false, String(e));
} finally {
  await browser.close();
}
proc.kill('SIGTERM');
const codice = await fine;
controlla('exit status 0 on SIGTERM', codice === 0, String(codice));
const passati = esiti.filter((x) => x).length;
console.log(`${passati} passed, ${esiti.length - passati} failed`);
process.exit(passati === esiti.length ? 0 : 1);
