#!/bin/bash
# kiv-cli's help, its manual page and its bash completion name the same commands, options, exit
# statuses and password rules. Arguments: the kiv-cli program, the completion, the page's scdoc.
set -u
cli=$1 completion=$2 page=$3
failures=0
fail() {
  echo "help_agrees: $*" >&2
  failures=$((failures + 1))
}
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
  for option in $declared; do
    in_page "$option" || fail "the manual page does not name $command's $option"
  done
done
for status in 0 1 2 3 4 5; do
  grep -q "^  $status  " <<<"$help" || fail "--help does not explain exit status $status"
  grep -qx "\*$status\*" "$page" || fail "the manual page does not explain exit status $status"
done
for rule in "3 to 23 bytes" "first 17" "2 GiB" "NUL byte" "spaces" "64 MiB"; do
  grep -qF "$rule" <<<"$help" || fail "--help does not state '$rule'"
  tr '\n' ' ' <"$page" | tr -s ' ' | grep -qF "$rule" || fail "the manual page does not state '$rule'"
done
exit $((failures > 0))
