#!/usr/bin/env bash
# Writes the fuzz targets' seed corpora into fuzz/corpus/ with the system's own writers
# (kiv-fuzz-seeds, built into build/). Seeds come out the same at every run; commit what changes.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target kiv-fuzz-seeds
build/fuzz/kiv-fuzz-seeds fuzz/corpus
du -sh fuzz/corpus
