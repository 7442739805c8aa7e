# Debian packages: what each part of the work needs, and installing what is
# missing. Nothing here adds an architecture to the machine or names a
# package of another architecture: another processor's libraries are
# unpacked into a sysroot in the build folder (scripts/lib/sysroot.sh).

# Root runs apt-get itself; anyone else through sudo, with the locale and
# debconf's front end asked for (sudo would otherwise drop them, and debconf
# would ask its questions after all).
apt_get() {
  if [ "$(id -u)" -eq 0 ]; then apt-get "$@"; else
    sudo env LC_ALL="${LC_ALL:-}" ${DEBIAN_FRONTEND:+DEBIAN_FRONTEND="$DEBIAN_FRONTEND"} apt-get "$@"
  fi
}

# How long the set-up waits for another program (another apt, dpkg, an
# automatic update) to let go of the package system.
LOCK_WAIT=${WAVE1D_LOCK_WAIT:-120}

# The package indexes that failed, one "URI suite index (why)" a line, from
# apt-get update's output on standard input: each "Err:" line and the reason
# under it (the last one given, of the compressions tried). The W: and E:
# lines at its end can hide the reason ("does not have a Release file" when
# a proxy or a mirror named by its address cannot be connected to), or leave
# out a source altogether, and apt ends with success even when no source
# could be read.
failed_sources() {
  awk 'failed != "" { why[failed] = /^ / ? substr($0, match($0, /[^ ]/)) : ""; failed = "" }
    /^Err:[0-9]+ / { failed = substr($0, index($0, " ") + 1); why[failed] = "" }
    END { for (index_ in why) print index_ (why[index_] == "" ? "" : " (" why[index_] ")") }' |
    sed 's/ *\[IP: [^]]*\]//' | sort -u
}

# Each failed source's place (a host, or a folder) and what went wrong in a
# few words, one a line, from failed_sources' lines on standard input.
source_troubles() {
  sed -E -e 's#^[a-z0-9+]+://([^/ ]+)[^(]* \((.*)\)$#\1: \2#' -e 's#^([a-z]+:/[^ ]*) [^(]* \((.*)\)$#\1: \2#' \
    -e 's#: .*(Temporary failure resolving|Could not resolve).*#: DNS failure, the name could not be looked up#' \
    -e 's#: .*Connection refused.*#: connection refused#' -e 's#: .*[Tt]imed out.*#: time-out#' \
    -e 's#: .*(Network is unreachable|No route to host).*#: network unreachable#' \
    -e 's#: (Connection failed|Unable to connect).*#: the connection failed#' | sort -u
}

# Reads the package indexes with the apt-get command given (the machine's,
# or one with a private configuration), in English, to read its answer.
# apt itself asks a source that does not answer again (Acquire::Retries);
# the whole update is tried again only when an index came back damaged, as
# it does from a mirror being synced, which a later try can mend. When no
# source could be read the set-up ends here, naming them and apt's error:
# nothing could be installed. A source that fails while others are read is
# named, and the set-up goes on with the others (apt keeps the last good
# index of the failed one, if any). What failed is kept in FAILED_SOURCES
# for a later message.
FAILED_SOURCES=
apt_update() {
  local try said status counts
  for try in 1 2 3; do
    status=0
    said=$(LC_ALL=C "$@" update 2>&1) || status=$?
    if [ $try -eq 3 ] || ! grep -qE 'Hash Sum mismatch|unexpected size|Mirror sync' <<<"$said"; then break; fi
    echo "== set-up: a package index came back damaged (a mirror being updated?); trying again in $((10 * try)) s"
    sleep $((10 * try))
  done
  FAILED_SOURCES=$(failed_sources <<<"$said")
  # Sources by their "URI suite" in apt's progress lines (its indexes' lines
  # give "suite/component"), and how many of them failed.
  counts=$(awk '/^(Hit|Get|Ign|Err):[0-9]+ / { suite = $3; sub(/\/.*/, "", suite); source = $2 " " suite; all[source] = 1 }
    /^Err:/ { bad[source] = 1 } END { n = 0; for (s in all) n++; m = 0; for (s in bad) m++; print n, m }' <<<"$said")
  if [ -n "$FAILED_SOURCES" ] && [ "${counts% *}" -gt 0 ] && [ "${counts% *}" = "${counts#* }" ]; then
    echo "== set-up: no package source could be read:"
    sed 's/^/     /' <<<"$FAILED_SOURCES"
    local troubles advice="Check the package sources in /etc/apt/sources.list and /etc/apt/sources.list.d/"
    troubles=$(source_troubles <<<"$FAILED_SOURCES" | paste -sd ';' | sed 's/;/; /g')
    grep -qE 'DNS|refused|time-out|unreachable|connection failed' <<<"$troubles" && advice="Check the network (and its proxy, if it needs one)"
    {
      echo "== set-up FAILED: no package source could be reached ($troubles)."
      echo "   $advice, then run this command again."
    } >&2
    return 1
  elif [ -n "$FAILED_SOURCES" ]; then
    echo "== set-up: these package sources could not be read; going on with the others:"
    sed 's/^/     /' <<<"$FAILED_SOURCES"
  elif [ $status -ne 0 ]; then
    echo "$said" | tail -n 5 >&2
    echo "== set-up FAILED: apt-get update failed (its message is above)." >&2
    return 1
  fi
}

# Ends the set-up of $1 ("the arm64 sysroot") with the packages $3... named,
# what went wrong ($2) and what to do: the cause first, in two lines.
setup_failed() {
  local stage=$1 what=$2 check="Check"
  shift 2
  [ -z "$FAILED_SOURCES" ] ||
    check="Check the $(wc -l <<<"$FAILED_SOURCES") source(s) named above that could not be read, and"
  {
    echo "== set-up FAILED: $stage needs $*, which $what."
    if [[ $what == *offers* ]]; then
      echo "   $check that /etc/apt/sources.list or sources.list.d/ names Debian 12 (bookworm, main); then run this again."
    else
      echo "   Mend what apt says above and run this again, or install them yourself: apt-get install $*"
    fi
  } >&2
  return 1
}

# The lock files of the package system this apt's configuration uses: dpkg's
# (beside its status file) and apt's (of its indexes and its downloads).
lock_files() {
  local status lists archives
  eval "$(apt-config shell status Dir::State::status/f lists Dir::State::lists/d archives Dir::Cache::archives/d)"
  printf '%s\n' "${status%/*}/lock-frontend" "${status%/*}/lock" "${lists%/}/lock" "${archives%/}/lock"
}

# Who holds the package system, as "process PID (its command)", or fails
# when nobody does. apt and dpkg lock with fcntl, whose locks the kernel
# lists in /proc/locks with the holder's process and the file as its
# device's major and minor numbers in hex and its inode
# ("1: POSIX ADVISORY WRITE 4242 fe:00:1234 0 EOF"): an inode alone may
# be another file system's file. A flock, which apt does not honour, is not
# counted.
lock_holder() {
  local files places pid command
  mapfile -t files < <(lock_files)
  # Each file as /proc/locks names it, by its file system's device and its
  # inode: the device stat gives, and the one its mount gives, which is the
  # file system's own where stat's is not (a btrfs subvolume's files).
  places=$(for file in "${files[@]}"; do
    inode=$(stat -c %i "$file") || continue
    { stat -c '%Hd:%Ld' "$file" && findmnt -n -o MAJ:MIN --target "$file"; } | tr -d ' ' | while IFS=: read -r major minor; do
      printf '%02x:%02x:%s\n' "$major" "$minor" "$inode"
    done
  done 2>/dev/null) || true
  [ -n "$places" ] || return 1
  pid=$(awk -v places="$places" 'BEGIN { n = split(places, list); for (i = 1; i <= n; i++) wanted[list[i]] = 1 }
    ($2 == "POSIX" || $2 == "OFDLCK") && $6 in wanted { print $5; exit }' /proc/locks 2>/dev/null)
  [ -n "$pid" ] || return 1
  command=$(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | cut -c 1-60 | sed 's/ *$//') || true
  echo "process $pid (${command:-not visible here})"
}

# Waits, saying so, while another program holds the package system, up to
# LOCK_WAIT seconds; if it still does, ends the set-up naming it.
wait_for_package_system() {
  local holder waited
  holder=$(lock_holder) || return 0
  echo "== set-up: the package system is in use by $holder; waiting up to $LOCK_WAIT s for it to finish."
  for ((waited = 0; waited < LOCK_WAIT; waited++)); do
    sleep 1
    holder=$(lock_holder) || return 0
  done
  lock_failed "$holder"
}

lock_failed() {
  {
    echo "== set-up FAILED: the package system is still in use by $1 after $LOCK_WAIT s."
    echo "   Let it finish (or end it), then run this command again."
  } >&2
  return 1
}

# (The answers are read whole before they are matched: a reader that stops
# at the first match would end the writer with SIGPIPE, which pipefail
# counts as a failure.)
installed() {
  [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null) == *"install ok installed"* ]]
}

# Of the packages named, those that no source offers, one a line. Each is
# matched by its exact name in apt-cache's answer: apt-cache takes a name it
# does not know as a pattern (g++ as a regular expression) and answers
# about the packages that match it instead.
not_offered() {
  LC_ALL=C apt-cache policy "$@" 2>/dev/null | awk -v names="$*" '
    /^[^ ]/ { name = substr($0, 1, length($0) - 1) }
    /^  Candidate:/ && $2 != "(none)" { offered[name] = 1 }
    END { n = split(names, list, " "); for (i = 1; i <= n; i++) if (!(list[i] in offered)) print list[i] }'
}

# Installs for $1 (what needs them, for messages) the packages named after
# it that are not installed yet, and nothing when all are there, so a set-up
# machine is left as it is. The indexes are read once per command.
need_packages() {
  local stage=$1 missing=() unavailable=() p holder
  shift
  for p in "$@"; do installed "$p" || missing+=("$p"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing for $stage: ${missing[*]}"
  # Without root nothing can be installed, and waiting will not change that.
  if [ "$(id -u)" -ne 0 ] && ! command -v sudo >/dev/null; then
    echo "== set-up FAILED: installing them needs root, and sudo is not installed: run as root, or install sudo." >&2
    return 1
  fi
  wait_for_package_system || return
  if [ -z "${WAVE1D_APT_UPDATED:-}" ]; then
    apt_update apt_get -q || return
    export WAVE1D_APT_UPDATED=1 FAILED_SOURCES
  fi
  mapfile -t unavailable < <(not_offered "${missing[@]}")
  [ ${#unavailable[@]} -eq 0 ] || setup_failed "$stage" "no reachable package source offers" "${unavailable[@]}" || return
  wait_for_package_system || return
  # apt's own wait covers a program that takes the lock after the check above.
  DEBIAN_FRONTEND=noninteractive apt_get -o DPkg::Lock::Timeout="$LOCK_WAIT" install -y -qq --no-install-recommends \
    "${missing[@]}" && return 0
  if holder=$(lock_holder); then
    lock_failed "$holder"
    return
  fi
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
WEB_PACKAGES=(emscripten nodejs node-acorn esbuild python3 python3-markdown python3-pil chromium firefox-esr
  webkit2gtk-driver xvfb)
# And a Windows build, with the tests that run it here under Wine: the cross
# compiler, Wine, GoogleTest's sources and what fetches and unpacks
# freeglut's Debian source package (dpkg-dev) and makes the zip, checked in
# a desktop's locale (locales).
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine64 libgtest-dev dpkg-dev cmake make unzip xvfb locales)
