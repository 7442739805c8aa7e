"""Writes the page as one self-contained file that works from disk.

Usage: single_file.py PAGE WORDS PROGRAM PLAIN_WASM SIMD_WASM GROWTH_SECTIONS OUTPUT

PAGE is the page as the site serves it, its style and script inside it
(inline_page.py); its words in every language (WORDS/*.json) are put inside
it too. The page finds the program's script (PROGRAM) and both builds
of the program inside itself (the script once: both builds share it) and
hands the program the build it chose, so nothing is fetched. The growth
pages come along as sections of the page (growth_page.py writes them),
shown when their link is followed.
"""
import base64
import glob
import os
import re
import sys

from inline_page import inlined, replace_once

page_file, words_folder, script_file, plain_file, simd_file, growth_file, output = sys.argv[1:]
page = open(page_file, encoding="utf-8").read()
# From disk there is no site to install: no manifest, no icons beside it.
page, served_links = re.subn(r'<link rel="(icon|apple-touch-icon|manifest)"[^>]*>\n', "", page)
if served_links != 3:
    sys.exit(f"{page_file} must link its icon, its home-screen icon and its manifest")
page = page.replace("</title>\n", '</title>\n<link rel="icon" href="data:,">\n', 1)


def wasm(path):
    return base64.b64encode(open(path, "rb").read()).decode("ascii")


words = "".join(f'<script type="application/json" id="words-{os.path.basename(path)[:-5]}">{inlined(path)}</script>\n'
                for path in sorted(glob.glob(os.path.join(words_folder, "*.json"))))
blocks = (words + f'<script type="text/plain" id="program-script">{inlined(script_file)}</script>\n'
          f'<script type="application/octet-stream" id="program-plain">{wasm(plain_file)}</script>\n'
          f'<script type="application/octet-stream" id="program-simd">{wasm(simd_file)}</script>\n')
page = replace_once(page, '<script type="module">', blocks + '<script type="module">', "one script of its own",
                    page_file)
page = replace_once(page, "</body>", open(growth_file, encoding="utf-8").read() + "</body>", "a body", page_file)
open(output, "w", encoding="utf-8").write(page)
