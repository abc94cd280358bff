#!/usr/bin/env bash
# Installs a build (default: build/) into a temporary prefix and checks what desktops, software
# centres and man read from it: the menu entry, the metainfo, the .vrq file type and its default
# program, both manual pages, the shell completion, and the installed kiv-cli itself.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
id=org.pulmvostra.Kiv

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
share=$prefix/share
failures=0
fail() {
  echo "check-install: $*" >&2
  failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/kiv bin/kiv-cli \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$id.svg \
    share/icons/hicolor/scalable/mimetypes/application-x-kiv-vrq.svg \
    share/mime/packages/$id.xml share/bash-completion/completions/kiv-cli \
    share/zsh/vendor-completions/_kiv-cli share/fish/vendor_completions.d/kiv-cli.fish \
    share/man/man1/kiv.1.gz share/man/man1/kiv-cli.1.gz \
    share/doc/kiv/copyright share/doc/kiv/changelog.gz; do
  [ -f "$prefix/$file" ] || fail "$file was not installed"
done

# Warnings count as failures too: the validators exit 0 on them. desktop-file-validate's one
# hint (Security could be joined by Settings or System) is left: neither fits the program.
if ! out=$(desktop-file-validate "$share/applications/$id.desktop" 2>&1) ||
   { [ -n "$out" ] && grep -qv ': hint: ' <<<"$out"; }; then
  fail "desktop-file-validate: $out"
fi
if ! out=$(appstreamcli validate --no-net --pedantic "$share/metainfo/$id.metainfo.xml" 2>&1); then
  fail "appstreamcli validate: $out"
fi

# A Turkish desktop lists the program in Turkish, as the window speaks it.
for key in 'Name\[tr\]' 'GenericName\[tr\]' 'Comment\[tr\]'; do
  grep -q "^$key=." "$share/applications/$id.desktop" || fail "the menu entry has no $key"
done
for tag in name summary; do
  grep -q "<$tag xml:lang=\"tr\">" "$share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo has no Turkish $tag"
done

for page in kiv kiv-cli; do
  if ! warnings=$(MANWIDTH=80 man --warnings -l "$share/man/man1/$page.1.gz" 2>&1 >/dev/null) ||
     [ -n "$warnings" ]; then
    fail "man $page: $warnings"
  fi
done

# The installed kiv-cli: its version, and a file there and back.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
if ! answer=$("$prefix/bin/kiv-cli" --version 2>&1) || [ "$answer" != "kiv-cli $version" ]; then
  fail "kiv-cli --version answered '$answer', not 'kiv-cli $version'"
fi
mkdir "$work/files" "$work/restored"
printf 'its rain\n' >"$work/pw"
printf 'first line\r\nsecond line\r\n' >"$work/files/notes.txt"
"$prefix/bin/kiv-cli" encrypt-files --password-file "$work/pw" "$work/files/notes.txt" 2>/dev/null
"$prefix/bin/kiv-cli" decrypt-file --password-file "$work/pw" -C "$work/restored" \
  "$work/files/notes.vrq" 2>/dev/null
cmp -s "$work/files/notes.txt" "$work/restored/notes.txt" || fail "kiv-cli's round trip differs"

# The file type and its program, as a desktop sees them with only this prefix's data: the MIME
# database built from the package XML, the menu entries' cache built from the .desktop file.
# (update-mime-database notes on standard error that the prefix is not searched.)
update-mime-database "$share/mime" 2>/dev/null || fail "update-mime-database failed"
update-desktop-database "$share/applications"
mkdir "$work/home"
desktop_env=(env HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config"
  XDG_DATA_DIRS="$share" XDG_CONFIG_DIRS="$work/home/xdg" XDG_CURRENT_DESKTOP=GNOME)
type=$("${desktop_env[@]}" xdg-mime query filetype "$work/files/notes.vrq" 2>&1) || true
[ "$type" = application/x-kiv-vrq ] || fail "notes.vrq is of type '$type'"
program=$("${desktop_env[@]}" xdg-mime query default application/x-kiv-vrq 2>&1) || true
[ "$program" = "$id.desktop" ] || fail "application/x-kiv-vrq opens with '$program'"

# The completion, sourced on its own into a plain bash.
completion=$(bash -c 'source "$1"; COMP_WORDS=(kiv-cli decr); COMP_CWORD=1; _kiv_cli
  printf "%s " "${COMPREPLY[@]}"; COMP_WORDS=(kiv-cli encrypt-files --pass); COMP_CWORD=2
  _kiv_cli; printf "%s " "${COMPREPLY[@]}"' _ "$share/bash-completion/completions/kiv-cli")
[ "$completion" = "decrypt-text decrypt-file --password-file --password-fd --password-env " ] ||
  fail "kiv-cli's completion offered '$completion'"

if [ "$failures" -ne 0 ]; then
  echo "check-install: $failures problems in the installed files" >&2
  exit 1
fi
echo "check-install: the installed files pass"
