#!/usr/bin/env bash
# Installs what the build needs, builds everything in build/, then opens the
# bundled sample: in the viewer when a display is available, otherwise with
# qvotool on the command line.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default

sample="samples/sample.qvo"
password="ondix-demo"
qvotool="build/src/cli/qvotool"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/src/app/ondix ]; then
  echo "Opening $sample in the viewer; its password is: $password"
  exec build/src/app/ondix "$sample"
fi

echo "No display (or no viewer built): reading $sample with qvotool."
echo
echo "Parameters of $sample:"
"$qvotool" params "$sample"
echo
mkdir -p out
"$qvotool" pages "$sample" -p "$password" -o out/sample-pages
echo "Pages written to $(pwd)/out/sample-pages/:"
ls -l out/sample-pages
usage="$("$qvotool" 2>&1 || true)"
if grep -q "qvotool render" <<<"$usage"; then
  "$qvotool" render "$sample" -p "$password" -o out/sample.pdf
  echo "Rendered to $(pwd)/out/sample.pdf"
fi
