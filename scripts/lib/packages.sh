# Debian packages: what each part of the work needs, and installing what is
# missing. Nothing here adds an architecture to the machine or names a
# package of another architecture: another processor's libraries are
# unpacked into a sysroot in the build folder (scripts/lib/sysroot.sh).

# Root runs apt-get itself; anyone else through sudo.
apt_get() {
  if [ "$(id -u)" -eq 0 ]; then apt-get "$@"; else sudo apt-get "$@"; fi
}

# The package indexes each source failed to give, one "URL (why)" a line,
# from apt-get update's output on standard input.
failed_sources() {
  sed -n -e 's/^[WE]: Failed to fetch \([^ ]*\) *\(.*\)$/\1 (\2)/p' \
    -e "s/^[WE]: The repository '\\([^']*\\)' \\(.*\\)\$/\\1 (\\2)/p" | sed 's/ *\[IP: [^]]*\]//' | sort -u
}

# Reads the package indexes with the apt-get command given (the machine's,
# or one with a private configuration). A registry's index can fail for a
# while (a mirror being synced), so a failure is tried again twice; a
# source that still fails is named, and the set-up goes on with the others,
# which apt has read (it keeps the last good index of the failed one, if
# any). What failed is kept in FAILED_SOURCES for a later message.
FAILED_SOURCES=
apt_update() {
  local try said
  for try in 1 2 3; do
    said=$("$@" update 2>&1) && return 0
    [ $try -eq 3 ] || sleep $((5 * try))
  done
  FAILED_SOURCES=$(failed_sources <<<"$said")
  if [ -n "$FAILED_SOURCES" ]; then
    echo "== set-up: these package sources could not be read (tried 3 times); going on with the others:"
    sed 's/^/     /' <<<"$FAILED_SOURCES"
  else
    echo "== set-up: apt-get update failed (tried 3 times); going on with the indexes there are:"
    sed 's/^/     /' <<<"$said"
  fi
}

# Ends the set-up of $1 ("the arm64 sysroot") with the packages $3... named,
# what went wrong ($2) and what to try.
setup_failed() {
  local stage=$1 what=$2
  shift 2
  {
    echo "== set-up FAILED: $stage needs $*, which $what."
    [ -z "$FAILED_SOURCES" ] || { echo "   Package sources that could not be read:"; sed 's/^/     /' <<<"$FAILED_SOURCES"; }
    echo "   Try: 'apt-get update', and check that /etc/apt/sources.list or /etc/apt/sources.list.d/"
    echo "   names Debian 12 (bookworm, bookworm-updates and bookworm-security, component main);"
    echo "   then run this command again. Or install them yourself: apt-get install $*"
  } >&2
  return 1
}

# (The answers are read whole before they are matched: a reader that stops
# at the first match would end the writer with SIGPIPE, which pipefail
# counts as a failure.)
installed() {
  [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null) == *"install ok installed"* ]]
}

offered() {
  [[ $(apt-cache policy "$1" 2>/dev/null) =~ Candidate:\ [^\(] ]]
}

# Installs for $1 (what needs them, for messages) the packages named after
# it that are not installed yet, and nothing when all are there, so a set-up
# machine is left as it is. The indexes are read once per command.
need_packages() {
  local stage=$1 missing=() unavailable=() p
  shift
  for p in "$@"; do installed "$p" || missing+=("$p"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing for $stage: ${missing[*]}"
  if [ -z "${WAVE1D_APT_UPDATED:-}" ]; then
    apt_update apt_get -q
    export WAVE1D_APT_UPDATED=1 FAILED_SOURCES
  fi
  for p in "${missing[@]}"; do
    offered "$p" || unavailable+=("$p")
  done
  [ ${#unavailable[@]} -eq 0 ] || setup_failed "$stage" "no package source here offers" "${unavailable[@]}" || return
  DEBIAN_FRONTEND=noninteractive apt_get install -y -qq --no-install-recommends "${missing[@]}" ||
    setup_failed "$stage" "apt-get could not install (its message is above)" "${missing[@]}"
}

# An apt configuration of its own in the folder $1, reading this machine's
# package sources as entries of type $2 (deb, or deb-src for sources), so
# that fetching through it leaves the machine's apt as it is. Further
# arguments are more options; all of them are left in PRIVATE_APT.
private_apt() {
  local apt=$1 type=$2 list
  shift 2
  rm -rf "$apt"
  mkdir -p "$apt/parts" "$apt/lists/partial" "$apt/cache/archives/partial"
  touch "$apt/sources.list" "$apt/status"
  for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$list" ] && sed -n "s/^deb\\([[:space:]]\\)/$type\\1/p" "$list" >"$apt/parts/$(basename "$list")"
  done
  for list in /etc/apt/sources.list.d/*.sources; do
    [ -f "$list" ] && sed "s/^Types:.*/Types: $type/" "$list" >"$apt/parts/$(basename "$list")"
  done
  PRIVATE_APT=(-q -o "Dir::Etc::sourcelist=$apt/sources.list" -o "Dir::Etc::sourceparts=$apt/parts"
    -o "Dir::State::Lists=$apt/lists" -o "Dir::State::status=$apt/status" -o "Dir::Cache=$apt/cache"
    -o APT::Sandbox::User=root "$@")
}

# Where apt-get is missing: what to install, by package manager.
say_what_to_install() {
  cat >&2 <<'END'
wave1d needs a C++17 compiler, CMake 3.22 or later, make, and the development
files of GLUT (freeglut), OpenGL and X11. Install them with one of:
  Debian, Ubuntu:      sudo apt-get install g++ cmake make freeglut3-dev libgl-dev libx11-dev
  Fedora, RHEL:        sudo dnf install gcc-c++ cmake make freeglut-devel mesa-libGL-devel libX11-devel
  openSUSE:            sudo zypper install gcc-c++ cmake make freeglut-devel Mesa-libGL-devel libX11-devel
  Arch:                sudo pacman -S gcc cmake make freeglut mesa libx11
  Alpine:              sudo apk add g++ cmake make freeglut-dev mesa-dev libx11-dev
END
}

# The tools the build runs; the libraries are CMake's to find.
need_build_tools() {
  local missing=() tool
  command -v c++ >/dev/null || command -v g++ >/dev/null || command -v clang++ >/dev/null || missing+=("a C++ compiler")
  for tool in cmake make; do command -v "$tool" >/dev/null || missing+=("$tool"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Not found: ${missing[*]}." >&2
  say_what_to_install
  exit 1
}

# What the program needs to build and to open its window.
BUILD_PACKAGES=(g++ cmake make freeglut3-dev libgl-dev libx11-dev libgl1-mesa-dri)
# And its unit tests, which build in the same folder.
UNIT_TEST_PACKAGES=(libgtest-dev)

# What an arm64 build needs on this machine: the cross compiler, qemu to run
# the result here, GoogleTest's sources (built with the cross compiler) and
# what makes and checks its package. Its libraries come in a sysroot.
ARM64_PACKAGES=(g++-aarch64-linux-gnu qemu-user googletest dpkg-dev file)
# The arm64 sysroot: what the program links and what its window needs to
# draw under qemu (Mesa's software driver).
ARM64_SYSROOT_PACKAGES=(freeglut3-dev libx11-dev libgl1-mesa-dri)
# Likewise a 32-bit x86 build of the model and its tests, linked statically
# with the cross compiler's own C library and GoogleTest built from its
# sources, so that it needs no i386 package: it runs directly where the
# kernel runs 32-bit programs and under qemu-i386 where it does not.
I686_PACKAGES=(g++-i686-linux-gnu googletest qemu-user)
# And a web build, with its growth page made from Markdown and its browser
# tests in three engines (npm comes with nodejs; Firefox and WebKitGTK draw
# WebGL only on a display, Xvfb's).
WEB_PACKAGES=(emscripten nodejs node-acorn python3 python3-markdown python3-pil chromium firefox-esr webkit2gtk-driver
  xvfb)
# And a Windows build, with the tests that run it here under Wine: the cross
# compiler, Wine, GoogleTest's sources and what fetches and unpacks
# freeglut's Debian source package (dpkg-dev) and makes the zip, checked in
# a desktop's locale (locales).
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine64 libgtest-dev dpkg-dev cmake make unzip xvfb locales)
