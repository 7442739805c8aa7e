# A sysroot: Debian's packages of another architecture unpacked into a
# folder of the build, for a cross compiler to build against (--sysroot)
# and qemu to run against (-L). apt fetches them, with all they depend on,
# through a configuration of its own from this machine's package sources,
# so the machine's package system is left as it is: no foreign
# architecture, nothing installed.

# Makes the sysroot $1 for the architecture $2 from the packages named after
# it, unless it was made from the same list already.
make_sysroot() {
  local root=$1 architecture=$2 deb link
  shift 2
  local made_from="$architecture: $*"
  [ "$(cat "$root/.made-from" 2>/dev/null)" = "$made_from" ] && return 0
  echo "Making the $architecture sysroot in $root: $*"
  rm -rf "$root"
  private_apt "$root.apt" deb -o "APT::Architecture=$architecture" -o "APT::Architectures=$architecture"
  apt_update apt-get "${PRIVATE_APT[@]}"
  apt-get "${PRIVATE_APT[@]}" -qq install --download-only -y --no-install-recommends "$@" >/dev/null ||
    setup_failed "the $architecture sysroot" "apt-get could not fetch (its message is above)" "$@" || return
  # dpkg-shlibdeps, which works out the Depends of a package, takes the
  # symbols and shlibs files of a folder's DEBIAN/ for the libraries in it.
  mkdir -p "$root/DEBIAN"
  for deb in "$root.apt"/cache/archives/*.deb; do
    dpkg-deb -x "$deb" "$root"
    dpkg-deb -I "$deb" symbols >>"$root/DEBIAN/symbols" 2>/dev/null || true
    dpkg-deb -I "$deb" shlibs >>"$root/DEBIAN/shlibs" 2>/dev/null || true
  done
  # Links from /usr to /lib are absolute (libm.so to /lib/…/libm.so.6): made
  # relative, they point into the sysroot instead of this machine's root.
  find "$root/usr" "$root/lib" -lname '/*' -print0 | while IFS= read -r -d '' link; do
    ln -sfr "$root$(readlink "$link")" "$link"
  done
  rm -rf "$root.apt"
  echo "$made_from" >"$root/.made-from"
}
