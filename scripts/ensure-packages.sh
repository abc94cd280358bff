# Installs the Debian packages the build, the tests and the program need, when any is missing.
# Sourced by test.sh and run.sh; runs apt-get only when something is absent. The fuzz runs
# (fuzz/run.sh, which CI calls) need clang and its libFuzzer as well; the normal build does not.
kiv_packages=(
  g++ cmake ninja-build pkg-config clang-format git
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  # the window's icon is drawn from its SVG picture
  qt6-svg-dev
  qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n
  libcli11-dev
  xvfb xauth socat
  # manual pages (scdoc writes them, man-db checks them)
  scdoc man-db
  # the install check: menu entry, software-centre data, file type
  desktop-file-utils appstream shared-mime-info xdg-utils
  # the Debian package: dpkg-shlibdeps finds its dependencies; gio opens a .vrq file as a
  # file manager does
  dpkg-dev libglib2.0-bin
  # the package's check against Debian's policy; the window's class and icon as X11 shows them
  lintian x11-utils
  # folders that ignore letter case and have no unnamed files, mounted through FUSE for the
  # restore tests: a FAT image (fusefat, made with mkfs.vfat) and a plain folder seen through
  # bindfs
  fusefat dosfstools bindfs
)
kiv_fuzz_packages=(clang libclang-rt-14-dev)

kiv_ensure_packages() {
  kiv_install_missing "${kiv_packages[@]}"
}

kiv_ensure_fuzz_packages() {
  kiv_install_missing "${kiv_packages[@]}" "${kiv_fuzz_packages[@]}"
}

kiv_install_missing() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  if [ "${#missing[@]}" -eq 0 ]; then
    return 0
  fi
  echo "Installing missing packages: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y "${missing[@]}"
}

# Our own builds stop at the first warning (KIV_WERROR; off for everyone else).
kiv_configure_and_build() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIV_WERROR=ON "$@"
  cmake --build build --parallel
}
