#!/usr/bin/env python3
"""quorrel.exe lsp under Wine, as an editor on Windows runs it: a session on its
standard input over a small skin, with the drive letter's colon escaped in the
URIs as editors write it. Standard output must hold framed messages and
nothing else, byte for byte (a stream in text mode would turn "\\n" into
"\\r\\n" and break every Content-Length), and the answers must point into the
skin's files.

  lsp_session.py ROOT PROGRAM"""
import json
import os
import subprocess
import sys
import tempfile

root, program = sys.argv[1], sys.argv[2]
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def framed(body):
    data = json.dumps(body).encode("utf-8")
    return b"Content-Length: %d\r\n\r\n" % len(data) + data


def messages(output):
    """The messages of standard output; fails on any byte outside one."""
    found, at = [], 0
    while at < len(output):
        end = output.find(b"\r\n\r\n", at)
        header = output[at:end].decode("ascii", "replace") if end >= 0 else ""
        if end < 0 or not header.startswith("Content-Length: "):
            failures.append(f"not a message at byte {at}: {output[at:at + 80]!r}")
            break
        length = int(header.split(":")[1])
        found.append(json.loads(output[end + 4:end + 4 + length]))
        at = end + 4 + length
    return found


with tempfile.TemporaryDirectory(prefix="quorrel-lsp-") as skin:
    window = os.path.join(skin, "720p")
    os.makedirs(window)
    with open(os.path.join(window, "includes.xml"), "w", newline="\n") as f:
        f.write('<includes>\n  <include name="Frame">\n    <definition/>\n  </include>\n</includes>\n')
    home_text = "<window>\n  <controls>\n    <include>Frame</include>\n  </controls>\n</window>\n"
    with open(os.path.join(window, "Home.xml"), "w", newline="\n") as f:
        f.write(home_text)
    # Wine's drive Z: is the Linux root.
    home = "file:///z%3A" + os.path.join(window, "Home.xml")
    session = b"".join([
        framed({"jsonrpc": "2.0", "id": 1, "method": "initialize",
                "params": {"rootUri": "file:///z%3A" + skin, "capabilities": {}}}),
        framed({"jsonrpc": "2.0", "method": "initialized", "params": {}}),
        framed({"jsonrpc": "2.0", "method": "textDocument/didOpen",
                "params": {"textDocument": {"uri": home, "languageId": "xml", "version": 1, "text": home_text}}}),
        framed({"jsonrpc": "2.0", "id": 2, "method": "textDocument/definition",
                "params": {"textDocument": {"uri": home}, "position": {"line": 2, "character": 15}}}),
        framed({"jsonrpc": "2.0", "id": 3, "method": "shutdown"}),
        framed({"jsonrpc": "2.0", "method": "exit"}),
    ])
    run = subprocess.run(["bash", os.path.join(root, "scripts", "wine-run"), program, "lsp"],
                         input=session, capture_output=True, timeout=300)
    check(run.returncode == 0, f"exit status {run.returncode}: {run.stderr.decode(errors='replace')[-1000:]}")
    answers = {m.get("id"): m for m in messages(run.stdout) if "id" in m}
    check(answers.get(1, {}).get("result", {}).get("serverInfo", {}).get("name") == "quorrel",
          f"initialize: {answers.get(1)}")
    definition = answers.get(2, {}).get("result")
    expected = {"start": {"line": 1, "character": 17}, "end": {"line": 1, "character": 22}}
    check(isinstance(definition, list) and len(definition) == 1
          and definition[0]["uri"].lower() == ("file:///z:" + os.path.join(window, "includes.xml")).lower()
          and definition[0]["range"] == expected, f"definition: {definition}")
    check(3 in answers and answers[3].get("result", 0) is None, f"shutdown: {answers.get(3)}")

for failure in failures:
    print("FAIL:", failure)
print("language server session as expected" if not failures else f"{len(failures)} failures")
sys.exit(1 if failures else 0)
