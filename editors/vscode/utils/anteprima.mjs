// Renders the two small complete descriptions of docs/linea.md and
// docs/treno.md with the extension's grammars into one HTML page:
//   node utils/anteprima.mjs [PAGINA]   (default: anteprima.html)
// utils/anteprima.sh turns the page into docs/evidenziazione.png.
import { readFileSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { createHighlighter } from 'shiki';

const estensione = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const docs = path.resolve(estensione, '../../docs');
const pagina = process.argv[2] ?? path.join(estensione, 'anteprima.html');
const tema = 'dark-plus';

const grammatica = (id) => ({
  ...JSON.parse(readFileSync(path.join(estensione, `syntaxes/${id}.tmLanguage.json`), 'utf8')),
  name: id,
});

// The first description block of a page: its small complete example.
function primoBlocco(pagina, lingua) {
  const testo = readFileSync(path.join(docs, pagina), 'utf8');
  const m = testo.match(new RegExp('```' + lingua + '\\n([\\s\\S]*?)```'));
  if (!m) throw new Error(`${pagina}: no ${lingua} block`);
  return m[1].replace(/\n$/, '');
}

const evidenziatore = await createHighlighter({
  themes: [tema],
  langs: [grammatica('scenario-linea'), grammatica('scenario-treno')],
});
const riquadri = [
  ['Borgo_Lanzi_linea.txt', 'scenario-linea', primoBlocco('linea.md', 'linea')],
  ['Borgo_Lanzi_8127-.txt', 'scenario-treno', primoBlocco('treno.md', 'treno')],
].map(([nome, lingua, codice]) => `
  <section>
    <h1>${nome}</h1>
    ${evidenziatore.codeToHtml(codice, { lang: lingua, theme: tema })}
  </section>`);

writeFileSync(pagina, `<!doctype html>
<html><head><meta charset="utf-8"><title>Highlighting of the descriptions</title>
<style>
  body { margin: 0; padding: 14px; background: #181818; display: flex; gap: 14px; align-items: flex-start; }
  section { background: #1e1e1e; border: 1px solid #2b2b2b; }
  h1 { margin: 0; padding: 6px 12px; font: 13px 'DejaVu Sans', 'Liberation Sans', sans-serif; color: #cccccc;
       background: #252526; border-bottom: 1px solid #2b2b2b; }
  pre.shiki { margin: 0; padding: 10px 12px; font: 13px/1.45 'DejaVu Sans Mono', 'Liberation Mono', monospace; }
</style></head>
<body>${riquadri.join('')}
</body></html>
`);
console.log(pagina);
