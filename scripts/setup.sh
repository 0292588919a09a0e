#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when any is missing;
# with --dist also those make dist needs (the installer compiler, the .deb tools).
# Idempotent and quick when everything is there.
set -euo pipefail

packages=(
  cmake ninja-build g++ make python3 ccache
  googletest libgtest-dev libgmock-dev
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine64 wine xvfb x11-utils imagemagick fonts-liberation
  clang libclang-rt-dev
  python3-cairo fonts-dejavu-core   # resources/schema/make_schema.py, checked by make test
  chromium                          # kv720-cli plot's pages, opened by the browser tests
)
# npm installs the charting library of kv720-cli plot (tools/cli/viewer); any Node.js that
# brings npm will do, Debian's when there is none.
if ! command -v npm >/dev/null 2>&1; then
  packages+=(nodejs npm)
fi
if [ "${1:-}" = "--dist" ]; then
  packages+=(nsis dpkg-dev binutils)   # makensis; dpkg-deb, dpkg-shlibdeps; strip
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  echo "setup: missing packages (${missing[*]}) and neither root nor sudo" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq "${missing[@]}"
