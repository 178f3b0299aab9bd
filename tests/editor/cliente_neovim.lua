-- compila_scenario --lsp driven by a real editor: Neovim, headless, no user
-- configuration. Copies the example pair with two faults planted, opens both
-- files, checks the diagnostics, mends one fault in the buffer (unsaved),
-- asks the requests of the table below, stops the server. Every check is one
-- JSON line in the results file; controlla_neovim.py judges them.
-- Environment: SCENARIO_COMPILA (the program), SCENARIO_ESEMPIO (folder of
-- the example pair), SCENARIO_LAVORO (an empty folder), SCENARIO_RISULTATI.

-- The faults planted: {file, 0-based line, the line's text (Windows-1252), then where the
-- diagnostic must start as the server sends it (0-based line, UTF-16 column) and as Neovim shows
-- it (byte column of its UTF-8 buffer, when not the same), and its severity (1 error, 2 warning)}.
local GUASTI = {
  {nome = 'parola_sbagliata', file = 'linea', riga = 21, testo = 'pendenxa,  2000,   8',
   atteso = {riga = 21, colonna = 0, gravita = 2}},
  {nome = 'valore_fuori_campo', file = 'treno', riga = 10, testo = 'velocita,   600,    8000',
   atteso = {riga = 10, colonna = 20, gravita = 1}},
  -- past a letter of two UTF-8 bytes and one UTF-16 unit (the file opens as latin1)
  {nome = 'dopo_una_lettera_accentata', file = 'treno', riga = 15,
   testo = 'stazione,    4800, 12,  300,  1, 0, 0,  4,1,1,  2,1,1,   60,  9, 36, 0, VALL\200 ORSA, 99',
   atteso = {riga = 15, colonna = 84, byte = 85, gravita = 2}},
}
-- What mends the misspelt keyword, typed into the buffer and never saved.
local RIMEDIO = {file = 'linea', riga = 21, testo = 'pendenza,  2000,   8'}
-- An empty line put into the line file before the requests (0-based: it becomes this line).
local RIGA_VUOTA = 22

-- The requests: where each is asked (after the empty line went in), what the answer must hold,
-- the capability the server must announce for an editor to ask at all. in_attesa: the server
-- does not answer this method yet; "method not found" is then recorded as pending, not failed.
local RICHIESTE = {
  {nome = 'hover_parola_chiave', metodo = 'textDocument/hover', capacita = 'hoverProvider',
   file = 'linea', riga = 21, colonna = 3, controllo = 'testo', atteso = 'gradient', in_attesa = true},
  {nome = 'completamento_riga_vuota', metodo = 'textDocument/completion', capacita = 'completionProvider',
   file = 'linea', riga = RIGA_VUOTA, colonna = 0, controllo = 'etichette', atteso = {'pendenza', '[curve]'},
   in_attesa = true},
  {nome = 'firma_secondo_numero', metodo = 'textDocument/signatureHelp', capacita = 'signatureHelpProvider',
   file = 'linea', riga = 21, colonna = 18, controllo = 'parametro_attivo', atteso = 1, in_attesa = true},
  {nome = 'simboli_del_treno', metodo = 'textDocument/documentSymbol', capacita = 'documentSymbolProvider',
   file = 'treno', controllo = 'nome_simbolo', atteso = 'BORGO LANZI', in_attesa = true},
}

local PROGRAMMA = os.getenv('SCENARIO_COMPILA')
local ESEMPIO = os.getenv('SCENARIO_ESEMPIO')
local LAVORO = os.getenv('SCENARIO_LAVORO')
local uscita_risultati = assert(io.open(os.getenv('SCENARIO_RISULTATI'), 'w'))
local NOMI = {linea = 'Borgo_Lanzi_linea.txt', treno = 'Borgo_Lanzi_8127-.txt'}

local function registra(voce)
  uscita_risultati:write(vim.json.encode(voce), '\n')
  uscita_risultati:flush()
end

local function controlla(nome, ok, dettaglio)
  registra({controllo = nome, stato = ok and 'ok' or 'fallito', dettaglio = dettaglio})
end

-- The example's lines (CR LF kept off), a fault planted, written as Windows-1252 bytes (ASCII here).
local function copia_con_guasti(file)
  local righe = {}
  for riga in io.lines(ESEMPIO .. '/' .. NOMI[file]) do righe[#righe + 1] = (riga:gsub('\r$', '')) end
  for _, g in ipairs(GUASTI) do
    if g.file == file then righe[g.riga + 1] = g.testo end
  end
  local f = assert(io.open(LAVORO .. '/' .. NOMI[file], 'wb'))
  f:write(table.concat(righe, '\r\n'), '\r\n')
  f:close()
end

local pubblicati = {}  -- by URI: the diagnostics last published, as the server sent them

local function diagnostici(buf)
  local r = {}
  for _, d in ipairs(vim.diagnostic.get(buf)) do
    r[#r + 1] = {riga = d.lnum, colonna = d.col, gravita = d.severity, messaggio = d.message}
  end
  return r
end

-- The fault where the server put it and where Neovim shows it.
local function visto_dal_server(buf, a)
  for _, d in ipairs(pubblicati[vim.uri_from_bufnr(buf)] or {}) do
    local inizio = d.range.start
    if inizio.line == a.riga and inizio.character == a.colonna and d.severity == a.gravita then return true end
  end
  return false
end

local function mostrato(buf, a)
  for _, d in ipairs(diagnostici(buf)) do
    if d.riga == a.riga and d.colonna == (a.byte or a.colonna) and d.gravita == a.gravita then return true end
  end
  return false
end

local function trovato(buf, a) return visto_dal_server(buf, a) and mostrato(buf, a) end

-- The diagnostics of both files, each planted fault found where it was put.
local function controlla_guasti(buffer)
  local pronti = vim.wait(10000, function()
    return #vim.diagnostic.get(buffer.linea) > 0 and #vim.diagnostic.get(buffer.treno) > 0
  end, 50)
  controlla('diagnostici_pubblicati', pronti, {linea = diagnostici(buffer.linea), treno = diagnostici(buffer.treno)})
  for _, g in ipairs(GUASTI) do
    local buf = buffer[g.file]
    controlla(g.nome, trovato(buf, g.atteso),
              {atteso = g.atteso, mostrati = diagnostici(buf), inviati = pubblicati[vim.uri_from_bufnr(buf)]})
  end
end

-- The misspelt line mended in the buffer only: its diagnostic goes, the other faults stay.
local function controlla_rimedio(buffer)
  local buf = buffer[RIMEDIO.file]
  vim.api.nvim_buf_set_lines(buf, RIMEDIO.riga, RIMEDIO.riga + 1, false, {RIMEDIO.testo})
  local andato = vim.wait(10000, function()
    return not visto_dal_server(buf, GUASTI[1].atteso) and not mostrato(buf, GUASTI[1].atteso)
  end, 50)
  controlla('rimedio_senza_salvare', andato and vim.bo[buf].modified, {mostrati = diagnostici(buf)})
  controlla('altri_guasti_restano', trovato(buffer.treno, GUASTI[2].atteso) and trovato(buffer.treno, GUASTI[3].atteso),
            {mostrati = diagnostici(buffer.treno)})
end

-- The text of an answer, whatever shape it came in (hover contents, a list of marked strings).
local function testo_di(x)
  if type(x) == 'string' then return x end
  if type(x) ~= 'table' then return '' end
  if x.value then return testo_di(x.value) end
  local parti = {}
  for _, v in ipairs(x) do parti[#parti + 1] = testo_di(v) end
  if x.contents then parti[#parti + 1] = testo_di(x.contents) end
  return table.concat(parti, '\n')
end

local function nomi_simboli(lista, nomi)
  for _, s in ipairs(lista or {}) do
    nomi[#nomi + 1] = s.name
    nomi_simboli(s.children, nomi)
  end
  return nomi
end

-- Whether an answer holds what the row expects; and what was looked at.
local CONTROLLI = {
  testo = function(r, atteso)
    local t = testo_di(r and r.contents)
    return t:find(atteso, 1, true) ~= nil, t
  end,
  etichette = function(r, atteso)
    local voci, etichette = r and (r.items or r) or {}, {}
    for _, v in ipairs(voci) do etichette[v.label] = true end
    for _, e in ipairs(atteso) do
      if not etichette[e] then return false, vim.tbl_keys(etichette) end
    end
    return true, vim.tbl_keys(etichette)
  end,
  parametro_attivo = function(r, atteso)
    if type(r) ~= 'table' then return false, r end
    local firma = (r.signatures or {})[(r.activeSignature or 0) + 1] or {}
    local attivo = firma.activeParameter or r.activeParameter
    return attivo == atteso, attivo
  end,
  nome_simbolo = function(r, atteso)
    local nomi = nomi_simboli(type(r) == 'table' and r or {}, {})
    for _, n in ipairs(nomi) do
      if n:find(atteso, 1, true) then return true, nomi end
    end
    return false, nomi
  end,
}

local METODO_SCONOSCIUTO = -32601

-- One row of RICHIESTE asked straight of the client (a buffer request would not be sent
-- for a capability the server does not announce) and judged.
local function chiedi(cliente, buffer, riga)
  local buf = buffer[riga.file]
  local param = {textDocument = {uri = vim.uri_from_bufnr(buf)}}
  if riga.riga then param.position = {line = riga.riga, character = riga.colonna} end
  local risposta, errore = cliente.request_sync(riga.metodo, param, 5000, buf)
  local voce = {richiesta = riga.nome, metodo = riga.metodo}
  if not risposta then
    voce.stato, voce.dettaglio = 'fallito', 'no answer: ' .. tostring(errore)
  elseif risposta.err then
    local sconosciuto = risposta.err.code == METODO_SCONOSCIUTO
    voce.stato = (riga.in_attesa and sconosciuto) and 'in_attesa' or 'fallito'
    voce.dettaglio = risposta.err
  else
    local ok, visto = CONTROLLI[riga.controllo](risposta.result, riga.atteso)
    local capacita = (cliente.server_capabilities or {})[riga.capacita]
    ok = ok and capacita ~= nil and capacita ~= false
    voce.stato = ok and (riga.in_attesa and 'pronta' or 'ok') or (riga.in_attesa and 'in_attesa' or 'fallito')
    voce.dettaglio = {atteso = riga.atteso, visto = visto, capacita = capacita ~= nil and capacita ~= false}
  end
  registra(voce)
end

local function apri(cliente_id, file)
  vim.cmd('edit ' .. vim.fn.fnameescape(LAVORO .. '/' .. NOMI[file]))
  local buf = vim.api.nvim_get_current_buf()
  vim.lsp.buf_attach_client(buf, cliente_id)
  return buf
end

local function sessione()
  copia_con_guasti('linea')
  copia_con_guasti('treno')
  local uscita = nil
  local id = vim.lsp.start_client({
    cmd = {PROGRAMMA, '--lsp'}, root_dir = LAVORO, name = 'compila_scenario',
    on_exit = function(codice) uscita = codice end,
    handlers = {['textDocument/publishDiagnostics'] = function(errore, risultato, contesto, config)
      pubblicati[risultato.uri] = risultato.diagnostics
      return vim.lsp.handlers['textDocument/publishDiagnostics'](errore, risultato, contesto, config)
    end},
  })
  controlla('avvio', id ~= nil, PROGRAMMA)
  if not id then return end
  local buffer = {linea = apri(id, 'linea'), treno = apri(id, 'treno')}
  controlla_guasti(buffer)
  controlla_rimedio(buffer)
  vim.api.nvim_buf_set_lines(buffer.linea, RIGA_VUOTA, RIGA_VUOTA, false, {''})
  vim.wait(500)  -- the editor holds a change back for 150 ms before sending it
  local cliente = vim.lsp.get_client_by_id(id)
  for _, riga in ipairs(RICHIESTE) do chiedi(cliente, buffer, riga) end
  vim.lsp.stop_client(id)
  vim.wait(10000, function() return uscita ~= nil end, 50)
  controlla('uscita_zero', uscita == 0, {uscita = uscita})
end

local ok, errore = pcall(sessione)
if not ok then controlla('script', false, tostring(errore)) end
registra({fine = true})
uscita_risultati:close()
vim.cmd('qa!')
