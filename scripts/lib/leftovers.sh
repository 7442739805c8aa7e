# Which processes of the test command's are still running at its end.
#
# The command marks its environment with WAVE1D_TEST_RUN (a value of its
# own); everything it starts inherits the mark, also what is reparented or
# starts a session of its own, and nothing else carries it: a user's own
# wave1d or Xvfb in the same login session is not a leftover. Browsers
# rewrite their environment's memory for their process titles, so they are
# known instead by the profile folders the browser tests give them.

LEFTOVER_NAMES='^(Xvfb|wave1d|near_overflow|qemu-aarch64|qemu-x86_64|qemu-i386|WebKitWebDriver|MiniBrowser|WebKitWebProces|wineserver64|.*\.exe)$'

# Prints "PID NAME" for each leftover, one per line.
left_running() {
  local pid name
  while read -r pid name; do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WAVE1D_TEST_RUN=$WAVE1D_TEST_RUN" &&
      echo "$pid $name"
  done < <(ps -eo pid=,comm= | awk -v names="$LEFTOVER_NAMES" '$2 ~ names {print $1, $2}')
  pgrep -a -f -- '/wave1d-web-[^ /]*/profile-' || true
}
