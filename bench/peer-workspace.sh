# Sourced by the peer comparisons: a scratch folder in memory-backed storage where there is
# some, with a gpg home of its own, removed (and its gpg-agent stopped) when the script ends.
#   kiv_peer_workspace NAME   sets $work to a fresh folder named after NAME
kiv_peer_workspace() {
  local base=/dev/shm
  [ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
  work=$(mktemp -d "$base/$1-XXXXXX")
  export GNUPGHOME="$work/gnupg"
  mkdir -m 700 "$GNUPGHOME"
  trap 'gpgconf --kill gpg-agent >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
}
