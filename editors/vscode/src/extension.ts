// Starts compila_scenario --lsp for the line and train descriptions, and
// starts it again when the path of the program changes.
import * as vscode from 'vscode';
import { LanguageClient, LanguageClientOptions, ServerOptions } from 'vscode-languageclient/node';

const sezione = 'descrizioniScenario';
const chiave = 'percorsoCompilatore';

let cliente: LanguageClient | undefined;

function percorsoCompilatore(): string {
  const valore = vscode.workspace.getConfiguration(sezione).get<string>(chiave, 'compila_scenario').trim();
  return valore === '' ? 'compila_scenario' : valore;
}

async function avvia(contesto: vscode.ExtensionContext): Promise<void> {
  const comando = percorsoCompilatore();
  const server: ServerOptions = { command: comando, args: ['--lsp'] };
  const opzioni: LanguageClientOptions = {
    documentSelector: [
      { scheme: 'file', language: 'scenario-linea' },
      { scheme: 'file', language: 'scenario-treno' },
      { scheme: 'untitled', language: 'scenario-linea' },
      { scheme: 'untitled', language: 'scenario-treno' },
    ],
  };
  cliente = new LanguageClient('descrizioniScenario', 'Scenario descriptions', server, opzioni);
  try {
    await cliente.start();
  } catch (errore) {
    const motivo = errore instanceof Error ? errore.message : String(errore);
    void vscode.window.showErrorMessage(
      `Scenario descriptions: '${comando} --lsp' could not be started (${motivo}). ` +
        `Set ${sezione}.${chiave} to the path of compila_scenario.`,
    );
  }
  contesto.subscriptions.push({ dispose: () => void cliente?.stop() });
}

async function ferma(): Promise<void> {
  const vecchio = cliente;
  cliente = undefined;
  if (vecchio !== undefined && vecchio.isRunning()) await vecchio.stop();
}

export async function activate(contesto: vscode.ExtensionContext): Promise<void> {
  contesto.subscriptions.push(
    vscode.workspace.onDidChangeConfiguration(async (evento) => {
      if (!evento.affectsConfiguration(`${sezione}.${chiave}`)) return;
      await ferma();
      await avvia(contesto);
    }),
  );
  await avvia(contesto);
}

export function deactivate(): Promise<void> {
  return ferma();
}
