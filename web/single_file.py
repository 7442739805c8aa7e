"""Writes the page as one self-contained file that works from disk.

Usage: single_file.py PAGE STYLE SCRIPT WORDS PROGRAM PLAIN_WASM SIMD_WASM GROWTH_SECTIONS OUTPUT

The page's style (STYLE, as the site has it), its script (SCRIPT, its
modules bundled into one) and its words in every language (WORDS/*.json) are
put inside it. The page finds the program's script (PROGRAM) and both builds
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

page_file, style_file, page_script, words_folder, script_file, plain_file, simd_file, growth_file, output = sys.argv[1:]
page = open(page_file, encoding="utf-8").read()
# From disk there is no site to install: no manifest, no icons beside it.
page, served_links = re.subn(r'<link rel="(icon|apple-touch-icon|manifest)"[^>]*>\n', "", page)
if served_links != 3:
    sys.exit(f"{page_file} must link its icon, its home-screen icon and its manifest")
page = page.replace("</title>\n", '</title>\n<link rel="icon" href="data:,">\n', 1)


def replace_once(text, old, new, what):
    if text.count(old) != 1:
        sys.exit(f"{page_file} must have {what} once")
    return text.replace(old, new)


def inlined(path):
    text = open(path, encoding="utf-8").read()
    # Inside a script or style element the HTML parser stops at "</script"
    # or "</style" and changes state at "<!--": none may occur in it.
    if re.search(r"</script|</style|<!--", text, re.IGNORECASE):
        sys.exit(f"{path} holds text that would end its element early")
    return text


def wasm(path):
    return base64.b64encode(open(path, "rb").read()).decode("ascii")


page = replace_once(page, '<link rel="stylesheet" href="page.css">', f"<style>{inlined(style_file)}</style>",
                    "its style sheet")
words = "".join(f'<script type="application/json" id="words-{os.path.basename(path)[:-5]}">{inlined(path)}</script>\n'
                for path in sorted(glob.glob(os.path.join(words_folder, "*.json"))))
blocks = (words + f'<script type="text/plain" id="program-script">{inlined(script_file)}</script>\n'
          f'<script type="application/octet-stream" id="program-plain">{wasm(plain_file)}</script>\n'
          f'<script type="application/octet-stream" id="program-simd">{wasm(simd_file)}</script>\n')
page = replace_once(page, '<script type="module" src="main.js"></script>',
                    blocks + f'<script type="module">{inlined(page_script)}</script>', "its script")
page = replace_once(page, "</body>", open(growth_file, encoding="utf-8").read() + "</body>", "a body")
open(output, "w", encoding="utf-8").write(page)
