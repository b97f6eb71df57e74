#!/usr/bin/env bash
# Rebuilds the bundled samples: draws the pages with make_sample_pages
# (libEMF) and seals them with qvotool. Run from anywhere; needs a configured
# build directory (default: build/).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
password="ondix-demo"

cmake --build "$build" --target make_sample_pages qvotool
"$build/samples/make_sample_pages" samples
qvotool="$build/src/cli/qvotool"

"$qvotool" pack samples/sample.emf -o samples/sample.qvo -p "$password" --ext .EMF \
  --param "QVONAME=Výplatní páska 11/2026" \
  --param "QVOFROM=Mzdová účtárna Qelvar" \
  --param "QVOOWNER=Jana Nováková" \
  --param "QVOOPOZN=Důvěrné – jen pro adresáta" \
  --param "QVOOPCNT=1"

"$qvotool" pack samples/report-3pages.set -o samples/report-3pages.qvo -p "$password" --ext .EMF \
  --param "QVONAME=Výplatní pásky 11/2026 – tým Brno" \
  --param "QVOFROM=Mzdová účtárna Qelvar" \
  --param "QVOOWNER=Petr Šimeček" \
  --param "QVOOPOZN=Tři strany, jedna na zaměstnance" \
  --param "QVOOPCNT=3"
rm samples/report-3pages.set
