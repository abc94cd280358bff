#!/usr/bin/env bash
# Takes the README's pictures of the window in its three modes under a virtual display.
# Each mode gets a settings store of its own in a temporary folder. Run after a build; this
# developer tool alone needs ImageMagick, so it is not among the packages test.sh installs.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v import >/dev/null || ! command -v xvfb-run >/dev/null; then
  echo "screenshots.sh needs xvfb-run and ImageMagick's import (apt-get install xvfb imagemagick)" >&2
  exit 1
fi
out=docs/screenshots
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

shoot() {  # mode-number file-name
  local xdg="$work/$2"
  mkdir -p "$xdg/Pulm"
  printf '[SOFTWARE]\nPulm\\Kiv\\Left=0\nPulm\\Kiv\\Top=0\nPulm\\Kiv\\hatirla=-1\nPulm\\Kiv\\radyono=%s\nPulm\\Kiv\\sifre=its rain\n' \
    "$1" >"$xdg/Pulm/Kiv.ini"
  cat >"$work/shoot.sh" <<SHOT
#!/usr/bin/env bash
XDG_CONFIG_DIRS="$xdg" build/src/app/kiv &
pid=\$!
sleep 3
import -window root -crop 914x606+0+0 +repage "$out/$2.png"
kill \$pid
SHOT
  chmod +x "$work/shoot.sh"
  xvfb-run -a -s '-screen 0 1280x800x24' "$work/shoot.sh"
}

shoot 3 use-text
shoot 2 use-copy
shoot 1 use-file
