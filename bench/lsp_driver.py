#!/usr/bin/env python3
"""Times veltas-lsp on one program, as an editor would drive it.

    lsp_driver.py SERVER PROGRAM.pic [RUNS]

Starts SERVER, opens PROGRAM.pic (its folder is the workspace) and measures,
RUNS times each (default 50), printing the medians:

  debounce  an edit (didChange) until its publishDiagnostics arrives, minus
            the server's 150 ms debounce interval: assembling and publishing
            after the editor has gone quiet, plus the wake-up after the
            interval;
  forced    an edit followed at once by a hover, until the hover's answer:
            the server assembles, publishes and answers without waiting;
  hover, definition
            requests on the assembled program, each at another name.

Every edit moves a reference to an undefined label to another line, so each
assembly reports one error somewhere else and the diagnostics always change
(the server sends them only when they do).
"""

import json
import os
import queue
import statistics
import subprocess
import sys
import threading
import time

DEBOUNCE = 0.150
ERROR = "        GOTO    FEHLT "  # put in front of a comment line: an undefined label


class Server:
    def __init__(self, command):
        self.proc = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.inbox = queue.Queue()
        self.next_id = 0
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        out = self.proc.stdout
        while True:
            length = None
            while True:
                line = out.readline()
                if not line:
                    self.inbox.put((time.perf_counter(), None))
                    return
                if line in (b"\r\n", b"\n"):
                    break
                name, _, value = line.partition(b":")
                if name.strip().lower() == b"content-length":
                    length = int(value)
            body = out.read(length)
            self.inbox.put((time.perf_counter(), json.loads(body)))

    def send(self, method, params, request=False):
        msg = {"jsonrpc": "2.0", "method": method, "params": params}
        if request:
            self.next_id += 1
            msg["id"] = self.next_id
        body = json.dumps(msg).encode()
        sent = time.perf_counter()  # before the write: the answer may come before it returns
        self.proc.stdin.write(b"Content-Length: %d\r\n\r\n%s" % (len(body), body))
        self.proc.stdin.flush()
        return sent, msg.get("id")

    def cpu(self):
        """The server's CPU time so far (user + system), in seconds."""
        with open("/proc/%d/stat" % self.proc.pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def wait(self, want, timeout=30):
        """The first message for which want(msg) holds, with its arrival time."""
        end = time.perf_counter() + timeout
        while True:
            at, msg = self.inbox.get(timeout=max(0.001, end - time.perf_counter()))
            if msg is None:
                sys.exit("lsp_driver: the server ended")
            if want(msg):
                return at, msg

    def answer(self, rid):
        at, msg = self.wait(lambda m: m.get("id") == rid and "method" not in m)
        if "error" in msg:
            sys.exit("lsp_driver: error answer: %s" % msg["error"])
        return at, msg


def is_diagnostics(uri):
    return lambda m: m.get("method") == "textDocument/publishDiagnostics" and m["params"]["uri"] == uri


def uri_of(path):
    return "file://" + "".join(c if c.isalnum() or c in "/-._~" else "%%%02X" % ord(c) for c in path)


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit("usage: lsp_driver.py SERVER PROGRAM.pic [RUNS]")
    server_path, program = sys.argv[1], os.path.abspath(sys.argv[2])
    runs = int(sys.argv[3]) if len(sys.argv) == 4 else 50
    with open(program, encoding="cp1252", newline="") as f:
        text = f.read()
    lines = text.split("\n")
    uri = uri_of(program)
    doc = {"uri": uri}

    # Places: references to labels (CALL/GOTO) and to constants (EQU
    # expressions), spread over the program; comment lines to edit.
    places = []
    for n, line in enumerate(lines):
        for word in ("CALL    L_", "GOTO    L_", "(K_"):
            col = line.find(word)
            if col >= 0:
                places.append((n, col + word.index("_")))  # inside the name
    places = places[:: max(1, len(places) // runs)][:runs]
    comments = [n for n, line in enumerate(lines) if line.startswith("; padding") or line.startswith(";   col")]
    comments = comments[:: max(1, len(comments) // (2 * runs + 2))]

    s = Server([server_path])
    _, rid = s.send("initialize", {"processId": os.getpid(), "rootUri": uri_of(os.path.dirname(program)),
                                   "capabilities": {}}, request=True)
    s.answer(rid)
    s.send("initialized", {})
    t0, _ = s.send("textDocument/didOpen", {"textDocument": {"uri": uri, "languageId": "veltas", "version": 1,
                                                              "text": text}})
    # A clean program publishes nothing: the first hover says it is assembled.
    _, rid = s.send("textDocument/hover", {"textDocument": doc, "position": {"line": 0, "character": 0}}, True)
    t1, _ = s.answer(rid)
    first = t1 - t0

    version = 1
    current = None  # the line that holds the error now

    def edit():
        """One didChange: takes the error out of its line and puts it on another."""
        nonlocal version, current
        changes = []
        if current is not None:
            changes.append({"range": {"start": {"line": current, "character": 0},
                                      "end": {"line": current, "character": len(ERROR)}}, "text": ""})
        target = comments[version % len(comments)]
        if target == current:
            target = comments[(version + 1) % len(comments)]
        changes.append({"range": {"start": {"line": target, "character": 0}, "end": {"line": target, "character": 0}},
                        "text": ERROR})
        version += 1
        current = target
        return s.send("textDocument/didChange", {"textDocument": {"uri": uri, "version": version},
                                                 "contentChanges": changes})[0]

    debounce, forced = [], []
    for _ in range(runs):
        t0 = edit()
        t1, msg = s.wait(is_diagnostics(uri))
        assert msg["params"]["diagnostics"], "no error reported"
        debounce.append(t1 - t0 - DEBOUNCE)
        time.sleep(0.05)
    cpu0 = s.cpu()
    for i in range(runs):
        t0 = edit()
        _, rid = s.send("textDocument/hover", {"textDocument": doc, "position": {"line": places[i][0],
                                                                                 "character": places[i][1]}}, True)
        t1, _ = s.answer(rid)
        forced.append(t1 - t0)
    forced_cpu = (s.cpu() - cpu0) / runs
    # Back to the clean program, assembled, for the requests.
    s.send("textDocument/didChange", {"textDocument": {"uri": uri, "version": version + 1},
                                      "contentChanges": [{"text": text}]})
    _, rid = s.send("textDocument/hover", {"textDocument": doc, "position": {"line": 0, "character": 0}}, True)
    s.answer(rid)

    timings = {}
    for method in ("textDocument/hover", "textDocument/definition"):
        times, empty = [], 0
        for line, col in places:
            t0, rid = s.send(method, {"textDocument": doc, "position": {"line": line, "character": col}}, True)
            t1, msg = s.answer(rid)
            times.append(t1 - t0)
            empty += not msg["result"]
        if empty:
            sys.exit("lsp_driver: %s found nothing at %d of %d places" % (method, empty, len(places)))
        timings[method] = times

    _, rid = s.send("shutdown", None, True)
    s.answer(rid)
    s.send("exit", None)
    s.proc.wait(timeout=10)

    ms = lambda v: "%.2f ms" % (1000 * statistics.median(v))
    print("veltas-lsp, %s (%d lines without its include file), %d runs each; medians (min .. max)"
          % (os.path.basename(program), len(lines) - 1, runs))
    print("  open until the first answer (assembly included): %.1f ms" % (1000 * first))
    for name, v in (("debounce: didChange -> diagnostics - 150 ms", debounce),
                    ("forced: didChange + hover -> answer", forced),
                    ("hover", timings["textDocument/hover"]),
                    ("definition", timings["textDocument/definition"])):
        print("  %-45s %s  (%.2f .. %.2f)" % (name, ms(v), 1000 * min(v), 1000 * max(v)))
    print("  server CPU time per forced edit + hover (mean): %.2f ms" % (1000 * forced_cpu))


if __name__ == "__main__":
    main()
