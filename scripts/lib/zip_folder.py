"""Zips a folder so that the same files give the same bytes wherever and
whenever it runs.

Usage: zip_folder.py FOLDER OUTPUT [PREFIX]

Every file under FOLDER, whatever is there, goes in under PREFIX/ (or at the
top), in the byte order of the names, with the time SOURCE_DATE_EPOCH gives
(zip keeps local times in two-second steps from 1980: the time is taken as
UTC and rounded down), owner-less Unix modes (0755 for what may be run, 0644
for the rest) and no extra fields. Folders are not entries of their own.
"""
import os
import sys
import time
import zipfile

folder, output, *prefix = sys.argv[1:]
epoch = os.environ.get("SOURCE_DATE_EPOCH")
if epoch is None or not epoch.isdigit():
    sys.exit("zip_folder.py: SOURCE_DATE_EPOCH must be a time in seconds (git log -1 --format=%ct)")
stamp = time.gmtime(max(int(epoch), 315532800))[:6]  # zip's earliest time is 1980-01-01
names = sorted((os.path.relpath(os.path.join(top, name), folder) for top, _, files in os.walk(folder)
                for name in files), key=os.fsencode)
with zipfile.ZipFile(output, "w") as archive:
    for name in names:
        path = os.path.join(folder, name)
        if os.path.islink(path) or not os.path.isfile(path):
            sys.exit(f"zip_folder.py: {path} is not a plain file")
        entry = zipfile.ZipInfo("/".join([*prefix, *name.split(os.sep)]), stamp)
        entry.create_system = 3  # Unix, so that the mode counts
        entry.external_attr = (0o100755 if os.stat(path).st_mode & 0o111 else 0o100644) << 16
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(path, "rb") as source:
            archive.writestr(entry, source.read(), compresslevel=9)
print(f"{output}: {len(names)} files")
