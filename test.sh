#!/usr/bin/env bash
# Installs what is missing, builds into build/, runs every test through CTest and checks an
# install into a temporary prefix.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh
kiv_ensure_packages
# Formatting is checked first: it is the cheapest failure to mend.
scripts/format.sh --check
scripts/check-layers.sh
kiv_configure_and_build
# Widget tests need no display.
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --parallel "$(nproc)"
# What a distribution or a package would install: menu entry, file type, manual pages, kiv-cli.
scripts/check-install.sh build
