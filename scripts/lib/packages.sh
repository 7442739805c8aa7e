# Installs the named Debian packages that are not installed yet, and nothing
# when all are there, so a set-up machine is left as it is.
need_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo= architecture
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}"
  # Another processor's libraries (name:arm64) come from multiarch.
  for architecture in $(printf '%s\n' "${missing[@]}" | sed -n 's/.*:\(.*\)/\1/p' | sort -u); do
    dpkg --print-foreign-architectures | grep -qx "$architecture" || $sudo dpkg --add-architecture "$architecture"
  done
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
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

# What an arm64 build needs: the cross compiler, the arm64 libraries and qemu
# to run the result here.
ARM64_PACKAGES=(g++-aarch64-linux-gnu qemu-user freeglut3-dev:arm64 libgl1-mesa-dri:arm64 libgtest-dev:arm64)
# Likewise a 32-bit x86 build, which runs directly where the kernel runs
# 32-bit programs and under qemu-i386 where it does not.
I686_PACKAGES=(g++-i686-linux-gnu freeglut3-dev:i386 libgtest-dev:i386 qemu-user)
# And a web build, with its growth page made from Markdown and its browser
# tests in three engines (npm comes with nodejs; Firefox and WebKitGTK draw
# WebGL only on a display, Xvfb's).
WEB_PACKAGES=(emscripten nodejs node-acorn python3 python3-markdown python3-pil chromium firefox-esr webkit2gtk-driver
  xvfb)
# And a Windows build, with the tests that run it here under Wine: the cross
# compiler, Wine, GoogleTest's sources and what fetches and unpacks
# freeglut's Debian source package (dpkg-dev) and makes the zip.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine64 libgtest-dev dpkg-dev cmake make unzip xvfb)
