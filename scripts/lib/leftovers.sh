# Which processes of the test command's are still running at its end.
#
# The command marks its environment with WAVE1D_TEST_RUN (a value of its
# own); everything it starts inherits the mark, also what is reparented or
# starts a session of its own, and nothing else carries it: a user's own
# wave1d or Xvfb in the same login session is not a leftover. Browsers
# rewrite their environment's memory for their process titles, so they are
# known instead by the profile folders the browser tests give them, named
# for the run (tests/web/common.mjs).

LEFTOVER_NAMES='^(Xvfb|wave1d|near_overflow|qemu-aarch64|qemu-x86_64|qemu-i386|WebKitWebDriver|MiniBrowser|WebKitWebProcess|wineserver64|.*\.exe)$'

# Prints "PID NAME" for each leftover, one per line. A program is known by
# the full name it was started as (the kernel's own name for a process is
# cut to 15 characters: linalg_tests.exe would be linalg_tests.ex); for a
# Windows program under Wine that is a Windows path.
left_running() {
  local environ pid name
  for environ in /proc/[0-9]*/environ; do
    grep -qzxF "WAVE1D_TEST_RUN=$WAVE1D_TEST_RUN" "$environ" 2>/dev/null || continue
    pid=${environ#/proc/}
    pid=${pid%/environ}
    name=$(head -zn 1 "/proc/$pid/cmdline" 2>/dev/null | tr -d '\0' | sed 's|.*[/\\]||')
    [[ $name =~ $LEFTOVER_NAMES ]] && echo "$pid $name"
  done | sort -n
  pgrep -a -f -- "/wave1d-web-$WAVE1D_TEST_RUN-[^ /]*/profile" || true
}
