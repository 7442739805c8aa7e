"""Writes the page as one self-contained file that works from disk.

Usage: single_file.py PAGE SCRIPT PLAIN_WASM SIMD_WASM GROWTH_SECTION OUTPUT

The page finds the program's script and both builds of the program inside
itself (the script once: both builds share it) and hands the program the
build it chose, so nothing is fetched. The growth page comes along as a
section of the page (growth_page.py writes it), shown when its link is
followed.
"""
import base64
import re
import sys

page_file, script_file, plain_file, simd_file, growth_file, output = sys.argv[1:]
page = open(page_file, encoding="utf-8").read()
script = open(script_file, encoding="utf-8").read()
# Inside a script element the HTML parser stops at "</script" and changes
# state at "<!--": neither may occur in the program's script.
if re.search(r"</script|<!--", script, re.IGNORECASE):
    sys.exit(f"{script_file} holds text that would end its script element early")


def wasm(path):
    return base64.b64encode(open(path, "rb").read()).decode("ascii")


blocks = (f'<script type="text/plain" id="program-script">{script}</script>\n'
          f'<script type="application/octet-stream" id="program-plain">{wasm(plain_file)}</script>\n'
          f'<script type="application/octet-stream" id="program-simd">{wasm(simd_file)}</script>\n')
marker = "<script>\n"
if page.count(marker) != 1:
    sys.exit(f"{page_file} must have exactly one inline script to put the program before")
link = 'href="growth.html"'
if page.count(link) != 1 or page.count("</body>") != 1:
    sys.exit(f"{page_file} must link to growth.html once and have one body")
growth = open(growth_file, encoding="utf-8").read()
page = page.replace(link, 'href="#why"').replace("</body>", growth + "</body>")
open(output, "w", encoding="utf-8").write(page.replace(marker, blocks + marker))
