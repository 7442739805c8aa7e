# Installs the named Debian packages that are not installed yet, and nothing
# when all are there, so a set-up machine is left as it is.
need_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What the program needs to build and to open its window.
BUILD_PACKAGES=(g++ cmake make freeglut3-dev libgl-dev libgl1-mesa-dri)
