"""Writes the growth page for the site from docs/growth.md, its one source.

Usage: growth_page.py MARKDOWN PAGE FRAGMENT

PAGE is the site's page, growth.html, beside which the pictures it names are
copied. FRAGMENT is the same text as a section for the single-file page,
its pictures inside it, packed smaller: a drawing (a few colours cover
nearly all of it, as the growth curve's) as a PNG of 16 colours, a picture
of a colour field (the space-time picture) as a JPEG. Needs Debian's
python3-markdown and python3-pil.
"""
import base64
import html
import io
import os
import re
import shutil
import sys

import markdown
from PIL import Image

source, page_file, fragment_file = sys.argv[1:]
text = open(source, encoding="utf-8").read()
title = re.match(r"# (.*)", text).group(1)
body = markdown.markdown(text, extensions=["tables"], output_format="html")
pictures = re.findall(r'<img alt="[^"]*" src="([^"/]+\.png)"', body)
if not pictures:
    sys.exit(f"{source} names no pictures")
folder = os.path.dirname(source)

# The text's own rules, for the page and (under #why) for the section.
RULES = ["img { max-width: 100%; height: auto; }",
         "table { border-collapse: collapse; display: block; overflow-x: auto; }",
         "th, td { border: 1px solid #bbb; padding: 0.2em 0.5em; }",
         "pre { overflow-x: auto; background: #f4f4f4; padding: 0.5em; }"]
PAGE_STYLE = "\n  ".join(["body { font-family: sans-serif; margin: 1em auto; padding: 0 1em; max-width: 50em;"
                           " color: #222; line-height: 1.45; }"] + RULES)
# In the single file the section is shown only when its link is followed.
SECTION_STYLE = "\n  ".join(["#why:not(:target) { display: none; }"] +
                             ["#why " + rule.replace(", ", ", #why ") for rule in RULES])

with open(page_file, "w", encoding="utf-8") as page:
    page.write(f"""<!doctype html>
<html lang="en">
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
<p><a href="index.html" id="back">Back to the wave</a></p>
{body}
<script>
  // Come from the wave, go back to it as it was (the browser keeps the page
  // it left) instead of loading it afresh at the first frame.
  document.getElementById("back").addEventListener("click", (event) => {{
    const wave = [new URL("index.html", location.href).href, new URL("./", location.href).href];
    if (history.length > 1 && wave.includes(document.referrer)) {{
      event.preventDefault();
      history.back();
    }}
  }});
</script>
</body>
</html>
""")
for picture in pictures:
    shutil.copy(os.path.join(folder, picture), os.path.dirname(page_file) or ".")


def inlined(picture):
    image = Image.open(os.path.join(folder, picture)).convert("RGB")
    counts = sorted(image.getcolors(image.width * image.height), reverse=True)
    packed = io.BytesIO()
    if sum(count for count, _ in counts[:16]) >= 0.95 * image.width * image.height:
        image.quantize(16).save(packed, "PNG", optimize=True)
        kind = "png"
    else:
        image.save(packed, "JPEG", quality=80, optimize=True)
        kind = "jpeg"
    return f"data:image/{kind};base64,{base64.b64encode(packed.getvalue()).decode('ascii')}"


for picture in pictures:
    body = body.replace(f'src="{picture}"', f'src="{inlined(picture)}"')
# Below the page's own title: every heading one level down.
body = re.sub(r"<(/?)h([1-5])>", lambda m: f"<{m.group(1)}h{int(m.group(2)) + 1}>", body)
with open(fragment_file, "w", encoding="utf-8") as fragment:
    fragment.write(f'<style>\n  {SECTION_STYLE}\n</style>\n'
                   f'<section id="why">\n<p><a href="#">Back to the wave</a></p>\n{body}\n</section>\n')
