// veltas-lsp: the language server over standard input and output. Reads
// what arrives, hands complete messages to the server in batches, and
// assembles once the editor has been quiet for the debounce interval.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>

#include "host/files.h"
#include "host/host.h"
#include "lsp/server.h"
#include "lsp/transport.h"

#ifndef VELTAS_VERSION
#error "VELTAS_VERSION must be defined by the build"
#endif

namespace {

constexpr int kDebounceMs = 150;

constexpr std::string_view kHelp =
    "Benutzung: veltas-lsp [--help | --version]\n"
    "Sprachserver (Language Server Protocol 3.17) für Veltas-Quellen: Diagnosen aller\n"
    "Fehler, Hover, Sprung zur Definition, Verweise, Umbenennen, Symbole, Vervollständigung,\n"
    "semantische Markierung und die Codeworte jeder Zeile. Spricht JSON-RPC über die\n"
    "Standardein- und -ausgabe; das Editor-Plugin startet ihn. Schreibt nie eine Datei.\n"
    "\n"
    "Einstellungen (initializationOptions oder workspace/didChangeConfiguration):\n"
    "  includeDirectories  Verzeichnisse wie -I von veltas-cli\n"
    "  maxErrors           höchstens so viele Fehler je Programm (Vorgabe 100, 0: alle)\n";

bool WriteAll(const std::string& bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    ssize_t n = ::write(1, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string_view arg = argc > 1 ? argv[1] : "";
  if (arg == "--help") return std::fwrite(kHelp.data(), 1, kHelp.size(), stdout) == kHelp.size() ? 0 : 2;
  if (arg == "--version") return std::printf("veltas-lsp (Veltas) %s\n", VELTAS_VERSION) > 0 ? 0 : 2;
  if (!arg.empty()) {
    std::fprintf(stderr, "veltas-lsp: unbekanntes Argument \"%s\"\n\"veltas-lsp --help\" zeigt alle Optionen.\n",
                 argv[1]);
    return 2;
  }
  std::signal(SIGPIPE, SIG_IGN);  // a client that is gone is noticed at the write
  bool clientGone = false;
  veltas::lsp::TServer server(
      [&](const std::string& body) {
        if (!clientGone && !WriteAll(veltas::lsp::Frame(body))) clientGone = true;
      },
      veltas::host::FindDevicesDir());
  veltas::lsp::TMessageSplitter splitter;
  char buffer[65536];
  while (!server.Exited && !clientGone) {
    pollfd in{0, POLLIN, 0};
    int ready = ::poll(&in, 1, server.Pending() ? kDebounceMs : -1);
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) {  // quiet for the debounce interval
      server.Flush();
      continue;
    }
    ssize_t n = ::read(0, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the client is gone
    server.HandleBatch(splitter.Feed(std::string_view(buffer, static_cast<std::size_t>(n))));
  }
  return server.Exited ? server.ExitCode : 1;
}
