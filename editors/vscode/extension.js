'use strict';
// Starts veltas-lsp for the Veltas sources and hands it the settings, at the
// start and whenever they change.
const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');

let client;

function settings() {
  const config = vscode.workspace.getConfiguration('veltas');
  return {
    includeDirectories: config.get('includeDirectories', []),
    maxErrors: config.get('maxErrors', 100),
  };
}

async function start() {
  const command = vscode.workspace.getConfiguration('veltas').get('server.path') || 'veltas-lsp';
  client = new LanguageClient(
    'veltas',
    'Veltas',
    { command, args: [] },
    {
      documentSelector: [{ scheme: 'file', language: 'veltas' }],
      initializationOptions: settings(),
    },
  );
  try {
    await client.start();
  } catch (error) {
    client = undefined;
    vscode.window.showErrorMessage(
      `Veltas: ${command} lässt sich nicht starten (Einstellung veltas.server.path): ${error.message || error}`,
    );
  }
}

async function stop() {
  const running = client;
  client = undefined;
  if (running) await running.stop();
}

async function activate(context) {
  context.subscriptions.push(
    vscode.workspace.onDidChangeConfiguration(async (event) => {
      // Another program needs a new server; the other settings go to the running one.
      if (event.affectsConfiguration('veltas.server.path')) {
        await stop();
        await start();
      } else if (event.affectsConfiguration('veltas') && client) {
        client.sendNotification('workspace/didChangeConfiguration', { settings: settings() });
      }
    }),
  );
  await start();
}

function deactivate() {
  return stop();
}

module.exports = { activate, deactivate };
