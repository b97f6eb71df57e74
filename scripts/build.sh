#!/usr/bin/env bash
# Installs what the build needs and builds the optimised tree in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
