# A sysroot: Debian's packages of another architecture unpacked into a
# folder, for a cross compiler to build against (--sysroot) and qemu to run
# against (-L). apt fetches them, with all they depend on, through a
# configuration of its own from this machine's package sources, so the
# machine's package system is left as it is: no foreign architecture,
# nothing installed. A sysroot is only read: it is kept in the cache folder
# (scripts/lib/caches.sh), made once per distinct input, and linked into the
# build folder.

# Links $1 to the sysroot for the architecture $2 made from the packages
# named after it: one per architecture, package list and set of files apt
# would fetch for them (each file's name, size and hash, so a new version of
# any makes a new sysroot), and per version of the code that makes it. apt's
# indexes for it are kept too, and read again at every run.
make_sysroot() {
  local root=$1 architecture=$2 lists
  shift 2
  lists=$WAVE1D_CACHE/apt/$architecture-lists
  mkdir -p "$lists/partial"
  private_apt "$root.apt" deb -o "APT::Architecture=$architecture" -o "APT::Architectures=$architecture" \
    -o "Dir::State::Lists=$lists"
  locked "$lists.lock" kept_sysroot "$architecture" "$@" || return
  rm -rf "$root.apt"
  link_kept "$root" "$KEPT"
}

# Under the lock of the indexes, so that the sysroot is made from the
# versions its input names: reads the indexes, works out what apt would
# fetch, and finds or makes the sysroot for that.
kept_sysroot() {
  local architecture=$1 fetched
  shift
  apt_update apt-get "${PRIVATE_APT[@]}"
  fetched=$(apt-get "${PRIVATE_APT[@]}" -q install --print-uris -y --no-install-recommends "$@" | grep "^'") ||
    setup_failed "the $architecture sysroot" "apt-get could not resolve (its message is above)" "$@" || return
  kept "$architecture-sysroot" "$(printf '%s\n' "$architecture: $*" "$(declare -f fill_sysroot)" \
    "$(cut -d' ' -f2- <<<"$fetched" | LC_ALL=C sort)")" fill_sysroot "$architecture" "$@"
}

# Fetches the packages $2... of the architecture $1 and unpacks them into
# the folder named last.
fill_sysroot() {
  local architecture=$1 root=${!#} deb link
  set -- "${@:2:$#-2}"
  echo "Making the $architecture sysroot: $*"
  apt-get "${PRIVATE_APT[@]}" -qq install --download-only -y --no-install-recommends "$@" >/dev/null ||
    setup_failed "the $architecture sysroot" "apt-get could not fetch (its message is above)" "$@" || return
  # dpkg-shlibdeps, which works out the Depends of a package, takes the
  # symbols and shlibs files of a folder's DEBIAN/ for the libraries in it.
  mkdir -p "$root/DEBIAN" || return
  for deb in "$(apt-config "${PRIVATE_APT[@]}" shell dir Dir::Cache::archives/d | cut -d\' -f2)"*.deb; do
    dpkg-deb -x "$deb" "$root" || return
    dpkg-deb -I "$deb" symbols >>"$root/DEBIAN/symbols" 2>/dev/null || true
    dpkg-deb -I "$deb" shlibs >>"$root/DEBIAN/shlibs" 2>/dev/null || true
  done
  # Links from /usr to /lib are absolute (libm.so to /lib/…/libm.so.6): made
  # relative, they point into the sysroot instead of this machine's root.
  find "$root" -lname '/*' -print0 | while IFS= read -r -d '' link; do
    ln -sfr "$root$(readlink "$link")" "$link" || exit
  done
}
