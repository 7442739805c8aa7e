#!/usr/bin/env bash
# Builds the .deb from the build tree given and checks what it installs,
# that its architecture is the program's and that its Depends line names the
# libraries the program needs. Further arguments are an emulator to start a
# cross-built program with.
set -euo pipefail
build=$1
shift
emulator=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work" >/dev/null)
deb=$(ls "$work"/*.deb)
contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/wave1d ./usr/share/applications/wave1d.desktop \
            ./usr/share/icons/hicolor/scalable/apps/wave1d.svg ./usr/share/man/man1/wave1d.1; do
  grep -q " $file\$" <<<"$contents" || { echo "missing from the package: $file"; exit 1; }
done
dpkg-deb -x "$deb" "$work/root"
case $(file -b "$work/root/usr/bin/wave1d") in
  *x86-64*) program_architecture=amd64 ;;
  *aarch64*) program_architecture=arm64 ;;
  *) program_architecture=unknown ;;
esac
architecture=$(dpkg-deb -f "$deb" Architecture)
[ "$architecture" = "$program_architecture" ] || {
  echo "Architecture: $architecture for a program built for $program_architecture"
  exit 1
}
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libc6 libstdc++6 libglut3.12 'libopengl0\|libgl1'; do
  grep -q "\b\($library\)\b" <<<"$depends" || { echo "Depends lacks $library"; exit 1; }
done
# Unpacked into a temporary root, the program starts, finds its libraries
# and, with no display to open, ends with the toolkit's message.
status=0
message=$(env -u DISPLAY "${emulator[@]}" "$work/root/usr/bin/wave1d" 2>&1) || status=$?
[ "$status" -eq 1 ] && grep -q "failed to open display" <<<"$message" || {
  echo "the packaged program did not behave: status $status, $message"
  exit 1
}
echo "package ok: $(basename "$deb"), Architecture: $architecture"
