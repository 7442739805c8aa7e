#!/usr/bin/env bash
# Makes the README's pictures of the page from the site scripts/web.sh wrote
# into public/, in headless Chromium: docs/wave1d-web.png, a 1280 x 720
# screen at frame 2,500 with the textbook scheme beside the wave and both
# fitted to their views, and docs/wave1d-phone.png, a phone's first screen
# (390 x 844 CSS pixels). Japanese needs a font for the language switch.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages "the page's pictures" chromium nodejs fonts-ipafont-gothic
[ -f public/index.html ] || { echo "No site in public/: run scripts/web.sh first." >&2; exit 1; }
(cd tests/web && npm ci --no-audit --no-fund >/dev/null)
node scripts/page_pictures.mjs public docs
ls -l docs/wave1d-web.png docs/wave1d-phone.png
