# The program's version, VERSION: CMakeLists.txt's project(), the one place it is written.
VERSION=$(sed -n 's/^project(wave1d VERSION \([0-9.]*\) .*/\1/p' "$(dirname "${BASH_SOURCE[0]}")/../../CMakeLists.txt")
[ -n "$VERSION" ] || { echo "CMakeLists.txt's project() names no version" >&2; exit 1; }
