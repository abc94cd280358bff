#!/bin/bash
# kiv-cli's help, and the manual page and completions the build wrote from its commands, name the
# same commands, options, exit statuses and password rules; the bash completion offers what each
# place on a command line takes. Arguments: the kiv-cli program, then the build's manual page
# source and its bash, zsh and fish completions.
set -u
cli=$1 page=$2 completion=$3 zsh=$4 fish=$5
failures=0
fail() {
  echo "help_agrees: $*" >&2
  failures=$((failures + 1))
}
for shell in bash zsh fish; do
  file=$completion
  [ "$shell" = zsh ] && file=$zsh
  [ "$shell" = fish ] && file=$fish
  cmp -s "$file" <("$cli" --generate "$shell") || fail "$file is not what --generate $shell writes"
done
sections=$("$cli" --generate man | grep -v '^%%')
grep -qF -- "$(sed -n '/^# OPTIONS/,$p' <<<"$sections")" "$page" ||
  fail "the manual page lacks the options --generate man writes"
grep -q '%%' "$page" && fail "the manual page keeps a line for generated sections"
if command -v zsh >/dev/null; then zsh -n "$zsh" || fail "$zsh does not parse"; fi
if command -v fish >/dev/null; then fish -n "$fish" || fail "$fish does not parse"; fi

# shellcheck source=/dev/null
source "$completion"
offered() {
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _kiv_cli
  printf '%s\n' "${COMPREPLY[@]}"
}
in_page() { grep -qF -- "*$1*" "$page"; }

help=$("$cli" --help)
commands=$(sed -n 's/^  \([a-z][a-z-]*\).*/\1/p' <<<"$help")
[ -n "$commands" ] || fail "no commands in kiv-cli --help"
for option in -h --help --version; do
  grep -qx -- "$option" <(offered kiv-cli -) || fail "completion does not offer $option"
  in_page "$option" || fail "the manual page does not name $option"
done
for command in $commands; do
  grep -qx "$command" <(offered kiv-cli "") || fail "completion does not offer $command"
  grep -qx "$command" <(offered kiv-cli help "") || fail "completion of help lacks $command"
  grep -q "^\*$command\*" "$page" || fail "the manual page has no entry for $command"
  [ "$("$cli" help "$command")" = "$("$cli" "$command" -h)" ] ||
    fail "help $command and $command -h differ"
  declared=$("$cli" help "$command" | grep '^  -' | grep -oE '(^  |, )--?[a-zA-Z0-9-]+' |
    sed 's/^[ ,]*//' | sort -u)
  completed=$(offered kiv-cli "$command" - | sort -u)
  [ "$declared" = "$completed" ] ||
    fail "$command: help declares [$(echo $declared)], completion offers [$(echo $completed)]"
  [ -z "$(offered kiv-cli "$command" -- -)" ] || fail "$command: options offered after --"
  for option in $declared; do
    in_page "$option" || fail "the manual page does not name $command's $option"
    grep -qE -- "\)$option=?\[" "$zsh" || fail "zsh does not offer $option"
    fished="-s ${option#-}"
    [[ $option == --* ]] && fished="-l ${option#--}"
    grep -qE -- "$fished( |$)" "$fish" || fail "fish does not offer $option"
  done
done
# Values: the password file is any file, also after "=", which bash makes a word of its own.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
touch "$work/pw" "$work/a.vrq"
for words in "--password-file $work/p" "--password-file = $work/p" "--password-file=$work/p"; do
  # shellcheck disable=SC2086
  [ "$(offered kiv-cli decrypt-file $words)" = "$work/pw" ] ||
    fail "decrypt-file $words does not offer the password file"
done
[ "$(offered kiv-cli list "$work/")" = "$work/a.vrq" ] || fail "list does not offer only .vrq"
for status in 0 1 2 3 4 5 6; do
  grep -q "^  $status  " <<<"$help" || fail "--help does not explain exit status $status"
  grep -qx "\*$status\*" "$page" || fail "the manual page does not explain exit status $status"
done
for rule in "3 to 23 bytes" "first 17" "2 GiB" "NUL byte" "spaces" "64 MiB"; do
  grep -qF "$rule" <<<"$help" || fail "--help does not state '$rule'"
  tr '\n' ' ' <"$page" | tr -s ' ' | grep -qF "$rule" || fail "the manual page does not state '$rule'"
done
exit $((failures > 0))
