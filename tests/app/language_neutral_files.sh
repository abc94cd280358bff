#!/bin/sh
# Usage: language_neutral_files.sh KIV KIV_CLI
# Runs the window program and the command-line tool once in English and once in Turkish, each
# with folders of its own, and expects the stored settings, the files written and kiv-cli's
# output to be the same bytes: a language changes only what the window shows. Containers carry
# random filler, so theirs are compared by their listing and the files restored from them.
. "$(dirname "$0")/stop_when_ready.sh"
kiv=$1
cli=$2
d=$(mktemp -d) || exit 1
trap 'rm -rf "$d"' EXIT
printf 'pulm vostra\n' >"$d/password"

run() {
    lang=$1
    home="$d/$2"
    mkdir -p "$home/config" "$home/runtime" "$home/work" || exit 1
    chmod 700 "$home/runtime"
    printf 'first line\nsecond line\n' >"$home/work/notes.txt"
    printf '\001\002\003 binary \377' >"$home/work/data.bin"
    export LANG="$lang" XDG_CONFIG_HOME="$home/config" XDG_CONFIG_DIRS="$home" \
        XDG_RUNTIME_DIR="$home/runtime" HOME="$home" QT_QPA_PLATFORM=offscreen
    unset LANGUAGE LC_ALL LC_MESSAGES
    "$kiv" 2>"$home/kiv.err" &
    stop_when_ready $! "$home/runtime" ||
        { cat "$home/kiv.err" >&2; echo "kiv failed under $lang" >&2; exit 1; }
    (
        cd "$home/work" || exit 1
        "$cli" encrypt-files -o both.vrq --password-file "$d/password" notes.txt data.bin \
            >../encrypt.out 2>&1 &&
            "$cli" list both.vrq >../list.out 2>&1 &&
            "$cli" decrypt-file -C ../restored --password-file "$d/password" both.vrq \
                >../decrypt.out 2>&1
    ) || { cat "$home"/*.out >&2; echo "kiv-cli failed under $lang" >&2; exit 1; }
}

mkdir "$d/en/restored" "$d/tr/restored" -p
run C.UTF-8 en
run tr_TR.UTF-8 tr

[ -n "$(find "$d/en/config" -type f)" ] || { echo "kiv stored no settings" >&2; exit 1; }
[ -s "$d/en/list.out" ] || { echo "kiv-cli list printed nothing" >&2; exit 1; }
diff -r "$d/en/config" "$d/tr/config" || { echo "stored settings differ" >&2; exit 1; }
diff -r "$d/en/restored" "$d/tr/restored" || { echo "restored files differ" >&2; exit 1; }
for out in encrypt.out list.out decrypt.out; do
    cmp "$d/en/$out" "$d/tr/$out" || { echo "kiv-cli output $out differs" >&2; exit 1; }
done
cmp "$d/en/work/notes.txt" "$d/tr/restored/notes.txt" || exit 1
