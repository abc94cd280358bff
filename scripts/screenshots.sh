#!/usr/bin/env bash
# Takes the README's pictures of the window under a virtual display: the three modes, then an
# encryption and a restore while they run. Each picture gets a settings store of its own in a
# temporary folder (as the user's own file, with no machine-wide preset). Run after a build; this
# developer tool alone needs ImageMagick and xdotool, so they are not among the packages test.sh
# installs.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v import >/dev/null || ! command -v xvfb-run >/dev/null ||
   ! command -v xdotool >/dev/null; then
  echo "screenshots.sh needs xvfb-run, ImageMagick's import and xdotool" \
       "(apt-get install xvfb imagemagick xdotool)" >&2
  exit 1
fi
out=$PWD/docs/screenshots
mkdir -p "$out"
work=$(mktemp -d)
# The file runs need a few GiB that are only read and written once: memory where there is some.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then files=$(mktemp -d /dev/shm/kiv-shots-XXXXXX); else files=$(mktemp -d); fi
trap 'rm -rf "$work" "$files"' EXIT

settings() {  # mode-number name: a store of its own, window at 0,0, password "its rain"
  local xdg="$work/$2"
  mkdir -p "$xdg/Pulm"
  printf '[SOFTWARE]\nPulm\\Kiv\\Left=0\nPulm\\Kiv\\Top=0\nPulm\\Kiv\\hatirla=-1\nPulm\\Kiv\\radyono=%s\nPulm\\Kiv\\sifre=its rain\n' \
    "$1" >"$xdg/Pulm/Kiv.ini"
  echo "$xdg"
}

in_xvfb() {  # script-body: runs it with kiv's build and the output folder at hand
  printf '#!/usr/bin/env bash\nset -euo pipefail\n%s\n' "$1" >"$work/shoot.sh"
  chmod +x "$work/shoot.sh"
  xvfb-run -a -s '-screen 0 1280x800x24' "$work/shoot.sh"
}

shoot() {  # mode-number file-name [environment]
  in_xvfb "${3:-} XDG_CONFIG_HOME=$(settings "$1" "$2") XDG_CONFIG_DIRS=$work/none build/src/app/kiv &
pid=\$!
sleep 3
import -window root -crop 914x606+0+0 +repage $out/$2.png
kill \$pid"
}

shoot 3 use-text
shoot 2 use-copy
shoot 1 use-file
# The Turkish catalogue, which a Turkish locale loads.
shoot 1 turkish "LANG=tr_TR.UTF-8 LANGUAGE= LC_ALL= LC_MESSAGES="

# Two small files and a large one, so that the report holds finished files while the bars move.
printf 'Shopping list\r\nmilk\r\n' >"$files/notes.txt"
head -c 40000 /dev/urandom >"$files/photo.jpg"
head -c $((1900 << 20)) /dev/zero >"$files/video.bin"

# Encryption: "Encrypt  File data", the three files in the open dialog, the output in the save
# dialog, then the picture while the large file is coded.
in_xvfb "XDG_CONFIG_HOME=$(settings 1 file-run) XDG_CONFIG_DIRS=$work/none build/src/app/kiv &
pid=\$!
sleep 3
xdotool mousemove --window \$(xdotool search --name 'Protect the lives' | head -1) 80 80 click 1
sleep 1.5
xdotool type --delay 20 '$files/'
xdotool key Return
sleep 0.5
xdotool type --delay 20 '\"notes.txt\" \"photo.jpg\" \"video.bin\"'
xdotool key Return
sleep 1.5
xdotool type --delay 20 '$files/all.vrq'
xdotool key Return
sleep 1.5
import -window root -crop 914x606+0+0 +repage $out/file-run.png
while [ ! -e '$files/all.vrq' ]; do sleep 0.5; done
kill \$pid"

# Restore: started with the encrypted file, the password typed into the prompt, then
# "Decrypt  File data" without a dialog.
rm "$files/video.bin"
in_xvfb "XDG_CONFIG_HOME=$(settings 1 file-restore) XDG_CONFIG_DIRS=$work/none build/src/app/kiv '$files/all.vrq' &
pid=\$!
sleep 3
xdotool type --delay 20 'its rain'
xdotool key Return
sleep 1.5
xdotool mousemove --window \$(xdotool search --name 'Protect the lives' | head -1) 344 80 click 1
sleep 3
import -window root -crop 914x606+0+0 +repage $out/file-restore.png
while [ ! -e '$files/video.bin' ]; do sleep 0.5; done
kill \$pid"
