#!/usr/bin/env bash
# make demo (after the Makefile has built both sides): kv720-sim on COM1 with live signals and
# KV720.exe under Wine on it. With a DISPLAY the window opens there and this waits until it is
# closed; without one it runs under Xvfb, visits every panel, size and Russian, and writes PNG
# screenshots to <build>/demo/. Argument: the build folder (default: build/ of the repository).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../build}"
exec python3 "$here/demo.py" "$build"
