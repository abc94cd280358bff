#!/bin/sh
# Usage: catalogues_complete.sh LUPDATE SOURCE_ROOT
# Brings a copy of each catalogue in src/app/translations up to date with the sources, as the
# update_translations target does, and fails when any text is untranslated or left over.
lupdate=$1
root=$2
d=$(mktemp -d) || exit 1
trap 'rm -rf "$d"' EXIT
status=0
for ts in "$root"/src/app/translations/*.ts; do
    copy="$d/$(basename "$ts")"
    cp "$ts" "$copy" || exit 1
    # English, the source language, translates only its plural forms.
    only=
    case "$ts" in *_en.ts) only=-pluralonly ;; esac
    "$lupdate" -silent $only -no-obsolete -locations none "$root/src/messages" "$root/src/app" \
        "$root/src/runtime" "$root/src/cipher" "$root/src/filecrypt" -ts "$copy" || exit 1
    if grep -n -E 'type="(unfinished|vanished|obsolete)"' "$copy" >&2; then
        echo "$ts: the entries above need a translation or are no longer used" >&2
        status=1
    fi
done
exit $status
