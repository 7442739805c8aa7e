"""Writes the page as the site serves it: its style and its script inside it.

Usage: inline_page.py PAGE STYLE SCRIPT OUTPUT

PAGE (web/index.html) links its style sheet (page.css) and loads its script
(main.js, the page's modules bundled into one); STYLE and SCRIPT are those as
made small for the site. Inside the page they cost a first visit no request
of their own, and nothing holds up its first paint but the page itself.
"""
import re
import sys


def replace_once(text, old, new, what, name):
    if text.count(old) != 1:
        sys.exit(f"{name} must have {what} once")
    return text.replace(old, new)


def inlined(path):
    text = open(path, encoding="utf-8").read()
    # Inside a script or style element the HTML parser stops at "</script"
    # or "</style" and changes state at "<!--": none may occur in it.
    if re.search(r"</script|</style|<!--", text, re.IGNORECASE):
        sys.exit(f"{path} holds text that would end its element early")
    return text


if __name__ == "__main__":
    page_file, style_file, script_file, output = sys.argv[1:]
    page = open(page_file, encoding="utf-8").read()
    page = replace_once(page, '<link rel="stylesheet" href="page.css">', f"<style>{inlined(style_file)}</style>",
                        "its style sheet", page_file)
    page = replace_once(page, '<script type="module" src="main.js"></script>',
                        f'<script type="module">{inlined(script_file)}</script>', "its script", page_file)
    open(output, "w", encoding="utf-8").write(page)
