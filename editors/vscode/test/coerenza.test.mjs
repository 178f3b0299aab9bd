// The grammars, the snippets and the manifest against the documentation:
// every entry of every description block in docs/ (and of the example
// scenario) must be recognised as the keyword it is, and every snippet must be
// recognised too, with as many fields as the documented entries of its keyword.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, readdirSync, existsSync } from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import vsctm from 'vscode-textmate';
import oniguruma from 'vscode-oniguruma';

const require = createRequire(import.meta.url);
const estensione = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const sorgenti = process.env.SCENARIO_SORGENTI ?? path.resolve(estensione, '../..');
const manifesto = JSON.parse(readFileSync(path.join(estensione, 'package.json'), 'utf8'));

await oniguruma.loadWASM(readFileSync(require.resolve('vscode-oniguruma/release/onig.wasm')).buffer);
const registro = new vsctm.Registry({
  onigLib: Promise.resolve({
    createOnigScanner: (sorgenti) => new oniguruma.OnigScanner(sorgenti),
    createOnigString: (s) => new oniguruma.OnigString(s),
  }),
  loadGrammar: async (scope) => {
    const voce = manifesto.contributes.grammars.find((g) => g.scopeName === scope);
    const file = path.join(estensione, voce.path);
    return vsctm.parseRawGrammar(readFileSync(file, 'utf8'), file);
  },
});
const lingue = {
  linea: { scope: 'source.scenario-linea', id: 'scenario-linea' },
  treno: { scope: 'source.scenario-treno', id: 'scenario-treno' },
};
for (const l of Object.values(lingue)) l.grammatica = await registro.loadGrammar(l.scope);

// Each line as a list of [text, scopes].
function tokenizza(lingua, testo) {
  let stato = vsctm.INITIAL;
  return testo.split(/\r\n|\r|\n/).map((riga) => {
    const r = lingue[lingua].grammatica.tokenizeLine(riga, stato);
    stato = r.ruleStack;
    return { riga, token: r.tokens.map((t) => [riga.slice(t.startIndex, t.endIndex), t.scopes]) };
  });
}

const parolaDi = (token) => {
  const s = token[0]?.[1].find((x) => x.startsWith('keyword.other.') || x.startsWith('invalid.illegal.'));
  return s?.split('.')[2];
};
const haScope = (t, inizio) => t[1].some((x) => x.startsWith(inizio));

// Fields of an entry: numbers, one for a text, one for each field left empty.
function campi(riga, token) {
  const numeri = token.filter((t) => haScope(t, 'constant.numeric.')).length;
  const testo = token.some((t) => haScope(t, 'string.unquoted.')) ? 1 : 0;
  const vuoti = (riga.match(/,[ \t]*(?=,)/g) ?? []).length;
  return numeri + testo + vuoti;
}

// A line that is blank, a section head, or opens with a comment (an entry set aside).
const eIntestazioneOCommento = (token) => {
  const primo = token.find((t) => t[0].trim() !== '');
  return primo === undefined || haScope(primo, 'entity.name.section.') || haScope(primo, 'comment.');
};

// The description blocks of the documentation, each given [generale] when it lacks it.
function blocchiDocumentati() {
  const blocchi = [];
  const cartella = path.join(sorgenti, 'docs');
  for (const nome of readdirSync(cartella).filter((n) => n.endsWith('.md'))) {
    const testo = readFileSync(path.join(cartella, nome), 'utf8');
    for (const m of testo.matchAll(/```(linea|treno)\n([\s\S]*?)```/g)) {
      const corpo = /\[generale\]/i.test(m[2]) ? m[2] : `[generale]\n${m[2]}`;
      blocchi.push({ dove: nome, lingua: m[1], testo: corpo });
    }
  }
  const esempio = path.join(sorgenti, 'examples/borgo_lanzi');
  for (const nome of readdirSync(esempio)) {
    blocchi.push({ dove: nome, lingua: nome.endsWith('_linea.txt') ? 'linea' : 'treno',
                   testo: readFileSync(path.join(esempio, nome), 'latin1') });
  }
  return blocchi;
}

// keyword (as the grammar names it) -> field counts of its documented entries
const documentate = { linea: new Map(), treno: new Map() };
const blocchi = blocchiDocumentati();

test('the documentation and the example hold description blocks of both files', () => {
  assert.ok(blocchi.filter((b) => b.lingua === 'linea').length >= 8);
  assert.ok(blocchi.filter((b) => b.lingua === 'treno').length >= 6);
});

for (const b of blocchi) {
  test(`every entry of a ${b.lingua} block of ${b.dove} is highlighted as its keyword`, () => {
    const righe = tokenizza(b.lingua, b.testo).slice(/\[generale\]/i.test(b.testo.split('\n')[0]) ? 1 : 0);
    for (const { riga, token } of righe) {
      if (eIntestazioneOCommento(token)) continue;
      const parola = parolaDi(token);
      assert.ok(parola, `no keyword in '${riga}'`);
      assert.ok(!haScope(token[0], 'invalid.'), `'${riga}' is marked as refused`);
      const conteggi = documentate[b.lingua].get(parola) ?? new Set();
      conteggi.add(campi(riga, token));
      documentate[b.lingua].set(parola, conteggi);
    }
  });
}

// A snippet body with its tab stops filled as an author would.
function espandi(corpo) {
  return corpo
    .replace(/\$\{\d+\|([^,|]*)[^}]*\}/g, '$1')
    .replace(/\$\{\d+:([^}]*)\}/g, (_, nome) => (/^(first|second) line$|^NAME$/.test(nome) ? 'TESTO' : '7'))
    .replace(/\$\{\d+\}/g, '')
    .replace(/\$\d+/g, '');
}

for (const lingua of Object.keys(lingue)) {
  const frammenti = JSON.parse(readFileSync(path.join(estensione, `snippets/${lingua}.json`), 'utf8'));
  test(`a ${lingua} snippet for every documented keyword, and none for another`, () => {
    const daFrammenti = new Set(
      Object.values(frammenti).map((f) => parolaDi(tokenizza(lingua, `[generale]\n${espandi(f.body)}`)[1].token)),
    );
    // the general keywords of the line file are highlighted inside [generale] only
    if (lingua === 'linea') {
      for (const f of Object.values(frammenti)) {
        daFrammenti.add(parolaDi(tokenizza(lingua, `[generale]\n[curve]\n${espandi(f.body)}`)[2].token));
      }
      daFrammenti.delete(undefined);
    }
    assert.deepEqual([...daFrammenti].sort(), [...documentate[lingua].keys()].sort());
  });
  for (const [nome, f] of Object.entries(frammenti)) {
    test(`the ${lingua} snippet ${nome} is its keyword with the documented number of fields`, () => {
      const corpo = espandi(f.body);
      assert.ok(corpo.startsWith(f.prefix.split(' ')[0]), `prefix '${f.prefix}' does not start '${corpo}'`);
      const prove = lingua === 'linea' ? [`[generale]\n${corpo}`, `[generale]\n[curve]\n${corpo}`] : [`[generale]\n${corpo}`];
      const riconosciute = prove
        .map((p) => tokenizza(lingua, p).at(-1))
        .filter(({ token }) => parolaDi(token) && !haScope(token[0], 'invalid.'));
      assert.equal(riconosciute.length, 1, `'${corpo}' is not recognised in exactly one section`);
      const { riga, token } = riconosciute[0];
      const attesi = documentate[lingua].get(parolaDi(token));
      assert.ok(attesi?.has(campi(riga, token)), `'${corpo}' has ${campi(riga, token)} fields, documented: ${[...(attesi ?? [])]}`);
    });
  }
}

test('the manifest names files that exist, and the grammars carry the scopes it gives them', () => {
  const c = manifesto.contributes;
  const ids = c.languages.map((l) => l.id).sort();
  assert.deepEqual(ids, ['scenario-linea', 'scenario-treno']);
  for (const l of c.languages) assert.ok(existsSync(path.join(estensione, l.configuration)), l.configuration);
  for (const g of c.grammars) {
    const grammatica = JSON.parse(readFileSync(path.join(estensione, g.path), 'utf8'));
    assert.equal(grammatica.scopeName, g.scopeName);
    assert.equal(lingue[g.language.replace('scenario-', '')].scope, g.scopeName);
  }
  for (const s of c.snippets) assert.ok(existsSync(path.join(estensione, s.path)), s.path);
  for (const id of ids) assert.equal(c.configurationDefaults[`[${id}]`]['files.encoding'], 'windows1252');
  assert.equal(c.configuration.properties['descrizioniScenario.percorsoCompilatore'].default, 'compila_scenario');
  assert.match(manifesto.scripts.build, new RegExp(`--outfile=${manifesto.main.replace(/^\.\//, '')}`));
});

test('the file patterns tell the two descriptions apart as the compiler names them', () => {
  const schemi = Object.fromEntries(manifesto.contributes.languages.map((l) => [l.id, l.filenamePatterns]));
  const corrisponde = (schema, nome) => new RegExp(`^${schema.replace('.', '\\.').replace('*', '.*')}$`).test(nome);
  const casi = [
    ['Borgo_Lanzi_linea.txt', 'scenario-linea'],
    ['Borgo_Lanzi_8127-.txt', 'scenario-treno'],
    ['Valdora_Tarvea_5293-.txt', 'scenario-treno'],
    ['Valdora_Tarvea_5293_note.txt', undefined],
    ['Valdora_Tarvea_5293_scheda_treno.txt', undefined],
    ['linea.txt', undefined],
  ];
  for (const [nome, atteso] of casi) {
    const trovate = Object.entries(schemi).filter(([, s]) => s.some((x) => corrisponde(x, nome))).map(([id]) => id);
    assert.deepEqual(trovate, atteso ? [atteso] : [], nome);
  }
});
