"""Writes the page as one self-contained file that works from disk.

Usage: single_file.py PAGE READOUT WORDS SCRIPT PLAIN_WASM SIMD_WASM GROWTH_SECTIONS OUTPUT

The page's readout script and its words in every language (WORDS/*.json)
are put inside it. The page finds the program's script and both builds of
the program inside itself (the script once: both builds share it) and hands
the program the build it chose, so nothing is fetched. The growth pages come
along as sections of the page (growth_page.py writes them), shown when
their link is followed.
"""
import base64
import glob
import os
import re
import sys

page_file, readout_file, words_folder, script_file, plain_file, simd_file, growth_file, output = sys.argv[1:]
page = open(page_file, encoding="utf-8").read()
# From disk there is no site to install: no manifest, no icons beside it.
page, served_links = re.subn(r'<link rel="(icon|apple-touch-icon|manifest)"[^>]*>\n', "", page)
if served_links != 3:
    sys.exit(f"{page_file} must link its icon, its home-screen icon and its manifest")
page = page.replace("</title>\n", '</title>\n<link rel="icon" href="data:,">\n', 1)


def script_text(path):
    text = open(path, encoding="utf-8").read()
    # Inside a script element the HTML parser stops at "</script" and changes
    # state at "<!--": neither may occur in an inlined script.
    if re.search(r"</script|<!--", text, re.IGNORECASE):
        sys.exit(f"{path} holds text that would end its script element early")
    return text


script = script_text(script_file)
readout_element = '<script src="readout.js"></script>'
if page.count(readout_element) != 1:
    sys.exit(f"{page_file} must load readout.js once")
page = page.replace(readout_element, f"<script>\n{script_text(readout_file)}</script>")


def wasm(path):
    return base64.b64encode(open(path, "rb").read()).decode("ascii")


words = "".join(f'<script type="application/json" id="words-{os.path.basename(path)[:-5]}">{script_text(path)}</script>\n'
                for path in sorted(glob.glob(os.path.join(words_folder, "*.json"))))
blocks = (words + f'<script type="text/plain" id="program-script">{script}</script>\n'
          f'<script type="application/octet-stream" id="program-plain">{wasm(plain_file)}</script>\n'
          f'<script type="application/octet-stream" id="program-simd">{wasm(simd_file)}</script>\n')
marker = "<script>\n  \"use strict\";\n  const canvas"
if page.count(marker) != 1:
    sys.exit(f"{page_file} must have exactly one page script to put the program before")
if page.count("</body>") != 1:
    sys.exit(f"{page_file} must have one body")
page = page.replace("</body>", open(growth_file, encoding="utf-8").read() + "</body>")
open(output, "w", encoding="utf-8").write(page.replace(marker, blocks + marker))
