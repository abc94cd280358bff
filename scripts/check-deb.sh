#!/usr/bin/env bash
# Builds the Debian package from a build folder (default: build/, as test.sh leaves it),
# installs it on this machine with apt-get, uses the installed programs as a user would, and
# removes the package again, checking that nothing it installed is left under /usr.
# It changes the machine it runs on: run it as root where that is fine (CI's throw-away machine).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
id=org.pulmvostra.Kiv

if [ "$(id -u)" -ne 0 ]; then
  echo "check-deb: run as root: this installs and removes the package kiv" >&2
  exit 1
fi
if dpkg-query -W -f='${Status}' kiv 2>/dev/null | grep -q 'install ok installed'; then
  echo "check-deb: kiv is installed already; remove it first (this check would remove it)" >&2
  exit 1
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIV_WERROR=ON \
    -DBUILD_TESTING=OFF -DKIV_BUILD_BENCH=OFF
fi
cmake --build "$build" --parallel
rm -f "$build"/kiv_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(realpath "$build"/kiv_*.deb)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

work=$(mktemp -d)
installed=0
cleanup() {
  if [ "$installed" = 1 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get remove -y --purge kiv >/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
  echo "check-deb: $*" >&2
  failures=$((failures + 1))
}

# Debian's policy as lintian checks it: an error or a warning fails the check.
if ! lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1; then
  cat "$work/lintian" >&2
  fail "lintian found errors or warnings"
fi

dpkg-deb -e "$deb" "$work/control"
for script in preinst postinst prerm postrm; do
  [ ! -e "$work/control/$script" ] || fail "the package has a $script script"
done
echo "check-deb: $(basename "$deb"): $(dpkg-deb -f "$deb" Depends)"
# The window cannot start without a platform plugin, which the libraries do not pull in.
dpkg-deb -f "$deb" Depends | grep -qw qt6-qpa-plugins || fail "Depends lacks qt6-qpa-plugins"

find /usr | sort >"$work/before"
DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb" >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log" >&2; exit 1; }
installed=1
# Its files and links, not the folders it shares with other packages.
dpkg -L kiv | while read -r path; do [ -d "$path" ] && [ ! -L "$path" ] || echo "$path"; done \
  >"$work/files"
grep -v '^/usr/' "$work/files" && fail "the package installs outside /usr"
for file in /usr/bin/kiv /usr/bin/kiv-cli /usr/share/applications/$id.desktop \
    /usr/share/man/man1/kiv.1.gz /usr/share/man/man1/kiv-cli.1.gz \
    /usr/share/bash-completion/completions/kiv-cli /usr/share/zsh/vendor-completions/_kiv-cli \
    /usr/share/fish/vendor_completions.d/kiv-cli.fish \
    /usr/share/doc/kiv/copyright /usr/share/doc/kiv/changelog.gz; do
  grep -qx "$file" "$work/files" || fail "the package lacks $file"
done

# kiv-cli from /usr/bin: its version and a round trip of two files.
answer=$(/usr/bin/kiv-cli --version 2>&1) || true
[ "$answer" = "kiv-cli $version" ] || fail "kiv-cli --version answered '$answer'"
mkdir -p "$work/docs" "$work/restored"
printf 'its rain\n' >"$work/pw"
printf 'Shopping list\r\nmilk\r\n' >"$work/docs/notes.txt"
head -c 100000 /dev/urandom >"$work/docs/photo.jpg"
/usr/bin/kiv-cli encrypt-files --password-file "$work/pw" -o "$work/docs/all.vrq" \
  "$work/docs/notes.txt" "$work/docs/photo.jpg" 2>/dev/null
/usr/bin/kiv-cli decrypt-file --password-file "$work/pw" -C "$work/restored" \
  "$work/docs/all.vrq" 2>/dev/null
for name in notes.txt photo.jpg; do
  cmp -s "$work/docs/$name" "$work/restored/$name" || fail "$name came back different"
done

# The desktop program, each start in a world of its own (settings, socket, data folder), so
# that nothing of this machine's own is read or written.
world() {  # folder owner: prints the env arguments of a private world
  mkdir -p "$1/config" "$1/xdg" "$1/run"
  chmod 700 "$1/run"
  chown -R "$2" "$1"
  echo "HOME=$1 XDG_CONFIG_HOME=$1/config XDG_CONFIG_DIRS=$1/xdg XDG_RUNTIME_DIR=$1/run"
}
# As root, on a display, for a moment: its window has the class its menu entry names (docks tie
# the two together by it) and the program's icon; it closes on SIGTERM with status 0, and
# although root could write to /usr/bin, its files go to the data folder.
cat >"$work/window.sh" <<'SCRIPT'
#!/usr/bin/env bash
/usr/bin/kiv &
pid=$!
for _ in $(seq 100); do
  window=$(xwininfo -root -tree 2>/dev/null |
    awk '/"Protect the lives of your information"/ { print $1; exit }')
  [ -n "$window" ] && break
  sleep 0.1
done
if [ -n "$window" ]; then
  xprop -id "$window" WM_CLASS >"$1"
  xprop -id "$window" -notype _NET_WM_ICON | head -c 40 >>"$1"
fi
kill -TERM "$pid"
wait "$pid"
SCRIPT
chmod +x "$work/window.sh"
chmod 711 "$work"
status=0
# shellcheck disable=SC2046
env $(world "$work/root" root) xvfb-run -a timeout -s KILL 20 "$work/window.sh" "$work/xprop" ||
  status=$?
[ "$status" -eq 0 ] || fail "kiv as root ended with status $status"
class=$(sed -n 's/^StartupWMClass=//p' /usr/share/applications/$id.desktop)
grep -qF "WM_CLASS(STRING) = \"kiv\", \"$class\"" "$work/xprop" 2>/dev/null ||
  fail "the window's class ($(head -n 1 "$work/xprop" 2>/dev/null)) is not '$class'"
grep -q '^_NET_WM_ICON = .*Icon (16 x 16)' "$work/xprop" 2>/dev/null || fail "the window shows no icon"
[ -d "$work/root/.local/share/Pulm/Pulm Vostra" ] || fail "kiv as root chose no data folder"
[ ! -e /usr/bin/Kiv.txt ] || fail "kiv wrote into /usr/bin"
# As an ordinary user, without a display.
status=0
# shellcheck disable=SC2046
runuser -u nobody -- env $(world "$work/user" nobody) QT_QPA_PLATFORM=offscreen \
  timeout --preserve-status -s TERM 3 /usr/bin/kiv || status=$?
[ "$status" -eq 0 ] || fail "kiv as an ordinary user ended with status $status"
[ -d "$work/user/.local/share/Pulm/Pulm Vostra" ] || fail "kiv as a user chose no data folder"

# A .vrq file opened as a file manager opens it: the package's file type and menu entry
# (refreshed by the MIME and menu triggers) start "kiv FILE", which asks for the password.
cat >"$work/open.sh" <<'SCRIPT'
#!/usr/bin/env bash
gio open "$1"
for _ in $(seq 50); do
  pid=$(pgrep -f -x "kiv $1") && break
  sleep 0.1
done
[ -n "${pid:-}" ] || exit 1
sleep 1
kill -TERM "$pid"
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || exit 0
  sleep 0.1
done
kill -KILL "$pid"
exit 2
SCRIPT
chmod +x "$work/open.sh"
status=0
# shellcheck disable=SC2046
env $(world "$work/opener" root) xvfb-run -a "$work/open.sh" "$work/docs/all.vrq" || status=$?
case $status in
  0) ;;
  1) fail "opening all.vrq did not start 'kiv $work/docs/all.vrq'" ;;
  *) fail "kiv started for all.vrq did not end on SIGTERM" ;;
esac

DEBIAN_FRONTEND=noninteractive apt-get remove -y --purge kiv >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log" >&2; exit 1; }
installed=0
while read -r path; do
  if [ -e "$path" ] || [ -L "$path" ]; then fail "$path is left after removal"; fi
done <"$work/files"
find /usr | sort >"$work/after"
comm -13 "$work/before" "$work/after" >"$work/new"
[ ! -s "$work/new" ] || fail "new under /usr after removal: $(tr '\n' ' ' <"$work/new")"

if [ "$failures" -ne 0 ]; then
  echo "check-deb: $failures problems" >&2
  exit 1
fi
echo "check-deb: $(basename "$deb") installs, works from /usr/bin and removes cleanly"
