"""Writes the growth pages for the site from their Markdown, one a language.

Usage: growth_page.py WORDS SITE FRAGMENT MARKDOWN...

Each MARKDOWN (docs/growth.md, docs/growth.LANGUAGE.md) becomes the page its
language's words (WORDS/LANGUAGE.json) name, in SITE, beside which the
pictures it names (SVG plots, PNG pictures) are copied; its formulas, TeX
between dollars that a forge shows too, become MathML (tex_math.py). FRAGMENT is the
same texts as sections for the single-file page, each picture inside it
once for every language: a plot as its SVG's text, a PNG packed smaller, a
drawing (a few colours cover nearly all of it) as a PNG of 16 colours, a
picture of a colour field (the space-time picture) as a JPEG. Needs
Debian's python3-markdown and python3-pil.
"""
import base64
import html
import io
import json
import os
import re
import shutil
import sys
import urllib.parse

import markdown
from PIL import Image

from tex_math import hold, put_back

words_folder, site, fragment_file, *sources = sys.argv[1:]

CJK = "\u3000-\u30ff\u4e00-\u9fff\uff00-\uffef"
# The text's own rules, for the pages and (in .growth) for the sections.
RULES = ["img { max-width: 100%; height: auto; }",
         "table { border-collapse: collapse; display: block; overflow-x: auto; }",
         "th, td { border: 1px solid #bbb; padding: 0.2em 0.5em; }",
         "pre { overflow-x: auto; background: #f4f4f4; padding: 0.5em; }"]
PAGE_STYLE = "\n  ".join(["body { font-family: sans-serif; margin: 1em auto; padding: 0 1em; max-width: 50em;"
                           " color: #222; line-height: 1.45; }"] + RULES)
# In the single file a section is shown only when its link is followed.
SECTION_STYLE = "\n  ".join([".growth:not(:target) { display: none; }"] +
                             [".growth " + rule.replace(", ", ", .growth ") for rule in RULES])
# Come from the wave, go back to it as it was (the browser keeps the page it
# left) instead of loading it afresh at the first frame.
BACK = """<script>
  document.getElementById("back").addEventListener("click", (event) => {
    const wave = [new URL("index.html", location.href).href, new URL("./", location.href).href];
    if (history.length > 1 && wave.includes(document.referrer)) {
      event.preventDefault();
      history.back();
    }
  });
</script>"""


def packed(path):
    if path.endswith(".svg"):
        # As text: only what a URL or the element holding it cannot carry is escaped.
        text = open(path, encoding="utf-8").read()
        return "data:image/svg+xml," + urllib.parse.quote(text, safe=" =\"'/:;,.()-_!*[]{}@$^&+?|~")
    image = Image.open(path).convert("RGB")
    counts = sorted(image.getcolors(image.width * image.height), reverse=True)
    data = io.BytesIO()
    if sum(count for count, _ in counts[:16]) >= 0.95 * image.width * image.height:
        image.quantize(16).save(data, "PNG", optimize=True)
        kind = "png"
    else:
        image.save(data, "JPEG", quality=80, optimize=True)
        kind = "jpeg"
    return f"data:image/{kind};base64,{base64.b64encode(data.getvalue()).decode('ascii')}"


sections, pictures = [], {}
for source in sources:
    language = re.fullmatch(r"growth(?:\.(\w+))?\.md", os.path.basename(source)).group(1) or "en"
    words = json.load(open(os.path.join(words_folder, f"{language}.json"), encoding="utf-8"))
    text = open(source, encoding="utf-8").read()
    title = re.match(r"# (.*)", text).group(1)
    held, formulas = hold(text)
    body = markdown.markdown(held, extensions=["tables"], output_format="html")
    # A line break between two Japanese (or Chinese) characters is no space.
    body = re.sub(f"(?<=[{CJK}])\n(?=[{CJK}])", "", body)
    body = put_back(body, formulas)
    named = re.findall(r'<img alt="[^"]*" src="([^"/]+\.(?:png|svg))"', body)
    if not named:
        sys.exit(f"{source} names no pictures")
    for picture in named:
        path = os.path.join(os.path.dirname(source), picture)
        shutil.copy(path, site)
        pictures.setdefault(picture, packed(path))
    back = html.escape(words["backToTheWave"])
    with open(os.path.join(site, words["growthPage"]), "w", encoding="utf-8") as page:
        page.write(f"""<!doctype html>
<html lang="{language}">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{html.escape(title)} - wave1d</title>
<link rel="icon" href="data:,">
<style>
  {PAGE_STYLE}
</style>
</head>
<body>
<p><a href="index.html" id="back">{back}</a></p>
{body}
{BACK}
</body>
</html>
""")
    # Below the page's own title: every heading one level down.
    body = re.sub(r"<(/?)h([1-5])>", lambda m: f"<{m.group(1)}h{int(m.group(2)) + 1}>", body)
    body = re.sub(r'src="([^"/]+\.(?:png|svg))"', r'data-picture="\1"', body)
    sections.append(f'<section class="growth" id="{words["growthPage"]}" lang="{language}">\n'
                    f'<p><a href="#">{back}</a></p>\n{body}\n</section>\n')

holders = "".join(f'<script type="text/plain" id="picture-{name}">{data}</script>\n' for name, data in pictures.items())
with open(fragment_file, "w", encoding="utf-8") as fragment:
    fragment.write(f'<style>\n  {SECTION_STYLE}\n</style>\n' + "".join(sections) + holders +
                   '<script>\n  // Each picture is carried once, for the text in every language.\n'
                   '  for (const img of document.querySelectorAll("img[data-picture]"))\n'
                   '    img.src = document.getElementById(`picture-${img.dataset.picture}`).textContent;\n'
                   '</script>\n')
