# Debian's 64-bit Wine as the Windows build runs it, and the prefix it is
# run in, made once and kept by what it is made from (scripts/lib/caches.sh).

WINE64=/usr/lib/wine/wine64
WINESERVER64=/usr/lib/wine/wineserver64
# Its DLLs, programs and Unix libraries, and the data a new prefix is made from.
WINE_LIBRARIES=/usr/lib/x86_64-linux-gnu/wine
WINE_DATA=/usr/share/wine
wine_settings=(WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=")

# Its server lingers a few seconds after the making and then ends; a test
# that reached it meanwhile lost its connection ("recvmsg: Connection reset
# by peer", seen once on a fresh prefix), so the making waits for the end.
make_wine_prefix() {
  env WINEPREFIX="$1" "${wine_settings[@]}" "$WINE64" wineboot --init && WINEPREFIX=$1 "$WINESERVER64" -w
}

# What the prefix is made from: Wine's version, the packages whose files
# make it (the loader and server, every file in Wine's library folders but
# the import libraries, wine.inf and the code pages) with their versions,
# and the making itself. Other packages named wine (its wrapper scripts,
# its development files, fonts) leave it as it is.
wine_prefix_input() {
  local owners
  "$WINE64" --version
  mapfile -t owners < <(dpkg-query -S "$WINE64" "$WINESERVER64" "$WINE_LIBRARIES/*/*.*" "$WINE_DATA/wine.inf" \
    "$WINE_DATA/nls/*" 2>/dev/null | grep -v '\.a$' | sed 's/: \/.*//; s/, /\n/g' | sort -u)
  [ ${#owners[@]} -eq 0 ] || dpkg-query -W -f '${binary:Package} ${Version}\n' "${owners[@]}"
  declare -f make_wine_prefix
  echo "${wine_settings[*]}"
}
