# What the scripts keep between runs and between clones, in the user's cache
# folder: ccache's compiled objects, and the set-ups that are slow to make
# (the arm64 sysroot, freeglut for Windows, a Wine prefix), each made once
# per distinct input and never changed after. Removing the folder
# (scripts/test.sh --clean-caches) removes all of it; nothing there is
# needed, everything is made again.

WAVE1D_CACHE=${XDG_CACHE_HOME:-$HOME/.cache}/wave1d

# The compiler launcher for CMake: every compile through ccache with the
# cache above (scripts/lib/compiler_cache.sh), where ccache is installed;
# empty otherwise, which also takes it out of a build folder that had it.
COMPILER_CACHE=
command -v ccache >/dev/null && COMPILER_CACHE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/compiler_cache.sh
COMPILER_CACHE_SETTINGS=(-DCMAKE_C_COMPILER_LAUNCHER="$COMPILER_CACHE" -DCMAKE_CXX_COMPILER_LAUNCHER="$COMPILER_CACHE")

# Entries not used for this many days are removed when another of their
# kind is made (their input changed: a package's new version, say).
KEPT_DAYS=14

# Sets KEPT to the folder of the kind $1 made from the input $2: any text
# that names everything the folder is made from (versions, the maker's own
# code, ...), so that a different input gets a folder of its own. A folder
# not made yet is made by "$3... FOLDER", which runs where a status is
# tested, so with set -e off: a maker chains its steps with &&. It is made
# under another name and renamed once complete, so a run that was
# interrupted leaves nothing that is used; runs side by side take turns (a
# lock per kind), so a folder is made once and never while another run
# reads it.
kept() {
  local kind=$WAVE1D_CACHE/$1 input=$2 entry work lock status=0
  shift 2
  entry=$kind/$(sha256sum <<<"$input" | cut -c1-32)
  work=$kind/.making-$$
  mkdir -p "$kind"
  exec {lock}>>"$kind/.lock"
  flock "$lock"
  if [ ! -d "$entry" ]; then
    # Under the lock, a half-made folder is one whose run has ended.
    rm -rf "$kind"/.making-*
    mkdir -p "$work/made"
    printf '%s\n' "$input" >"$work/input"
    # The maker's own processes (a lingering server) must not hold the lock.
    "$@" "$work/made" {lock}>&- || status=$?
    if [ $status -eq 0 ]; then
      mv -T "$work" "$entry" || status=$?
      find "$kind" -mindepth 1 -maxdepth 1 -type d ! -name '.*' ! -path "$entry" -mtime +"$KEPT_DAYS" \
        -exec rm -rf {} +
    fi
    rm -rf "$work"
  fi
  [ $status -ne 0 ] || touch "$entry"
  exec {lock}>&-
  KEPT=$entry/made
  return $status
}

# Links $1 (a path in the build folder) to the kept folder $2, for what is
# only read; a folder there from before is replaced.
link_kept() {
  [ "$(readlink "$1" 2>/dev/null)" = "$2" ] && return 0
  rm -rf "$1"
  ln -s "$2" "$1"
}

# Copies the kept folder $2 to $1, for what the build or its tests write to,
# unless $1 is a copy of it already.
copy_kept() {
  [ -d "$1" ] && [ "$(cat "$1.kept-from" 2>/dev/null)" = "$2" ] && return 0
  rm -rf "$1" "$1.kept-from"
  cp -a --reflink=auto "$2" "$1"
  echo "$2" >"$1.kept-from"
}

# Runs "$@" holding the lock $1 (a file), for what runs side by side must
# not do at once (an index update and the reading of it); as with kept,
# with set -e off.
locked() {
  local file=$1 lock status=0
  shift
  mkdir -p "$(dirname "$file")"
  exec {lock}>>"$file"
  flock "$lock"
  "$@" {lock}>&- || status=$?
  exec {lock}>&-
  return $status
}
