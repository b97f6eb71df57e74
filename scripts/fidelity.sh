#!/bin/sh
# Renders a corpus folder with the metafile player and scores it against the
# Windows GDI reference renderings (made by ../shared/tools/gdi-reference).
#   scripts/fidelity.sh NAME [REF_DIR] [QVOTOOL]
# NAME is a folder of ../shared/corpus (emf, reports-emf, reports-wmf, wmf).
set -eu
name=$1
here=$(cd "$(dirname "$0")/.." && pwd)
ref=${2:-/tmp/ref/$name}
tool=${3:-$here/build/src/cli/qvotool}
corpus=$here/../shared/corpus/$name
out=/tmp/ours/$name
mkdir -p "$out"
for f in "$corpus"/*.emf "$corpus"/*.wmf; do
    [ -e "$f" ] || continue
    stem=$(basename "${f%.*}")
    "$tool" render "$f" -o "$out/$stem.png" --picture-only --width 800 \
        || echo "render failed: $f" >&2
done
/usr/bin/python3 "$here/../shared/tools/compare.py" "$ref" "$out" --tsv "/tmp/ours/$name.tsv"
