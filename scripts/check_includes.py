#!/usr/bin/env python3
"""Checks the layers by the #include lines of src/ and tools/cli/.

link/ is the bottom; the files layer (files/) sits on it, ui/ on both. A panel uses those three,
its own folder and, of the shell, only program.h, poll.h and panels_win32.h. The command line uses
link/ and files/. The shell may include anything. Headers named without a folder (resource ids,
the command line's own headers, generated ones) are always allowed.

Prints one line per broken rule (file, line, include) and exits 1 when there is any.
"""
import pathlib
import re
import sys

PANELS = {"configuration", "information", "options", "oscilloscope", "readings", "reset", "schema"}
PANEL_SHELL_HEADERS = {"shell/program.h", "shell/poll.h", "shell/panels_win32.h"}
# The folders each layer may include from (besides headers named without a folder).
ALLOWED = {
    "link": {"link"},
    "files": {"link", "files"},
    "ui": {"link", "files", "ui"},
    "cli": {"link", "files"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def offence(layer, include):
    """Why `include` may not be included from `layer`, or None when it may."""
    folder = include.split("/")[0] if "/" in include else None
    if folder is None or layer == "shell":
        return None
    if layer in PANELS:
        if folder in {"link", "files", "ui", layer} or include in PANEL_SHELL_HEADERS:
            return None
        if folder == "shell":
            return "a panel includes only program.h, poll.h and panels_win32.h of the shell"
        return "a panel includes no other panel" if folder in PANELS else None
    if folder in ALLOWED.get(layer, {folder}):
        return None
    return f"{layer}/ includes only " + ", ".join(sorted(f"{f}/" for f in ALLOWED[layer]))


def sources(root):
    for path in sorted((root / "src").rglob("*")):
        if path.suffix in {".h", ".cpp"}:
            yield path, path.relative_to(root / "src").parts[0]
    for path in sorted((root / "tools" / "cli").glob("*")):
        if path.suffix in {".h", ".cpp"}:
            yield path, "cli"


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
    broken = 0
    for path, layer in sources(root):
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            reason = match and offence(layer, match.group(1))
            if reason:
                print(f"{path.relative_to(root)}:{number}: #include \"{match.group(1)}\": {reason}")
                broken += 1
    if broken:
        print(f"{broken} include(s) break the layer rule")
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main())
