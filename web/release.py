"""Makes a site folder one release of the page: every file the page can need
is named by its content's revision, and the offline worker lists them.

Usage: release.py SITE VERSION

A file's revision is the start of its SHA-256. Every address of a file in the
site's pages (src= and href=) and in its manifest ("src") becomes
FILE?v=REVISION, so that an address means one content: no cache, the
browser's or a host's, can hand one release's file to another release's page,
and the worker checks what it fetches against it. The page finds the addresses
it makes as it runs (words, builds, growth pages) in its release block, with
the program's VERSION and the site's revision, which its foot shows; so does
the single file (wave1d.html, which fetches nothing). The worker, SITE/sw.js,
is web/sw.js with the release written in. Run on a changed copy of a released
folder, it makes that copy the next release.
"""
import hashlib
import json
import os
import re
import sys

site, version = sys.argv[1:]
worker = open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "sw.js"), encoding="utf-8").read()
# What a visit needs, kept when the worker installs (with the build the
# browser runs); then, once those are kept, the site's other pages (the
# growth pages, in every language) with every file they name, so that they
# open offline without having been opened. Any other file of the site (the
# other build) is kept once it is fetched.
INSTALL = ["index.html", "wave1d.js", "words/en.json", "words/ja.json", "manifest.webmanifest",
           "icons/wave1d.svg", "icons/wave1d-192.png"]
# The worker itself, and the single file, to download: no release's files.
APART = {"sw.js", "wave1d.html"}
# Addresses relative to the site's top, where every page is.
ADDRESS = re.compile(r'((?:src|href)="|"src": ")([^"?#:]+)(?:\?v=[0-9a-f]+)?"')
BLOCK = re.compile(r'(<script type="application/json" id="release">).*?(</script>)', re.S)


def revision(data):
    return hashlib.sha256(data).hexdigest()[:16]


def with_block(text, release, name):
    text, blocks = BLOCK.subn(lambda m: m[1] + json.dumps(release, ensure_ascii=False) + m[2], text)
    if blocks != 1:
        sys.exit(f"{name} must have one release block")
    return text


files = sorted(os.path.relpath(os.path.join(folder, name), site)
               for folder, _, names in os.walk(site) for name in names)
files = [name for name in files if name not in APART]
if not set(INSTALL) <= set(files):
    sys.exit(f"{site} lacks {sorted(set(INSTALL) - set(files))}")
# Pages and the manifest name other files: they come after those, the page last.
naming = sorted((name for name in files if name.endswith((".html", ".webmanifest"))), key=lambda n: n == "index.html")
revisions = {name: revision(open(os.path.join(site, name), "rb").read()) for name in files if name not in naming}
pages = [name for name in naming if name.endswith(".html") and name != "index.html"]
after = set(pages)
for name in naming:
    text = open(os.path.join(site, name), encoding="utf-8").read()
    if name in pages:
        after.update(m[2] for m in ADDRESS.finditer(text) if m[2] in revisions)
    text = ADDRESS.sub(lambda m: f'{m[1]}{m[2]}?v={revisions[m[2]]}"' if m[2] in revisions else m[0], text)
    if name == "index.html":
        release = {"version": version, "revision": "", "files": {f: f"{f}?v={r}" for f, r in revisions.items()}}
        revisions[name] = revision(with_block(text, release, name).encode())
        # (the worker's own code is part of the release too)
        listed = sorted({**revisions, "sw.js": revision(worker.encode())}.items())
        release["revision"] = revision("".join(f"{f} {r}\n" for f, r in listed).encode())
        text = with_block(text, release, name)
    open(os.path.join(site, name), "w", encoding="utf-8").write(text)
    revisions[name] = revision(text.encode())

single = os.path.join(site, "wave1d.html")
if os.path.exists(single):
    text = open(single, encoding="utf-8").read()
    open(single, "w", encoding="utf-8").write(with_block(text, {k: release[k] for k in ("version", "revision")}, single))
after = sorted(after - set(INSTALL))
worker, lines = re.subn(r"^const RELEASE = .*;$", lambda m: "const RELEASE = " + json.dumps(
    {"version": version, "revision": release["revision"], "files": revisions, "install": INSTALL,
     "after": after}) + ";", worker,
    flags=re.M)
if lines != 1:
    sys.exit("web/sw.js must have one line that sets RELEASE")
open(os.path.join(site, "sw.js"), "w", encoding="utf-8").write(worker)
print(f"release {version}, revision {release['revision']}: {len(revisions)} files, {len(after)} of them kept after a visit's")
