#!/usr/bin/env bash
# Runs one fuzz target for a number of seconds: run.sh BUILD/<name>_fuzz SECONDS [libFuzzer
# options]. The corpus grows in BUILD/corpus/<name> (kept between runs); fuzz/seeds/<name> and
# fuzz/<name>.dict are used when they exist. A crash leaves its input as BUILD/crash-* and the
# run fails.
set -euo pipefail
binary=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$(dirname "$binary")" && pwd)
name=$(basename "$binary")
name=${name%_fuzz}
if [ ! -x "$binary" ]; then
  echo "fuzz: no $binary (make fuzz-build builds the targets)" >&2
  exit 1
fi
corpus="$build/corpus/$name"
mkdir -p "$corpus"
dirs=("$corpus")
[ -d "$here/seeds/$name" ] && dirs+=("$here/seeds/$name")
options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
         -artifact_prefix="$build/")
[ -f "$here/$name.dict" ] && options+=(-dict="$here/$name.dict")
echo "fuzz: $name for ${seconds} s"
exec "$binary" "${options[@]}" "$@" "${dirs[@]}"
