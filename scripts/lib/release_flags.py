"""Refuses a build folder whose program would not be the one every clone
releases: a build type other than Release, or a compile of the program's
sources (src/) with a flag that picks a processor (-march, -mcpu, -mtune,
any -m option but -msimd128: the page loads that build only where the
browser has WebAssembly SIMD; the product's paths are chosen at run time),
changes the arithmetic (-ffast-math, -Ofast) or adds what differs from build
to build (debug information, sanitizers, profiling).

Usage: release_flags.py SOURCE BUILD...
"""
import json
import os
import re
import shlex
import sys

REFUSED = re.compile(r"-march=.*|-mcpu=.*|-mtune=.*|-m(?!simd128$).*|-g.*|-fsanitize.*|-ffast-math|-Ofast|-fprofile.*")
source, *builds = sys.argv[1:]
program_sources = os.path.join(os.path.realpath(source), "src") + os.sep
faults = []
for build in builds:
    cache = open(os.path.join(build, "CMakeCache.txt"), encoding="utf-8").read()
    build_type = re.search(r"^CMAKE_BUILD_TYPE:\w+=(.*)$", cache, re.M)
    if not build_type or build_type[1] != "Release":
        faults.append(f"{build}: the build type is {build_type[1] if build_type else 'unset'}, not Release")
    for compile in json.load(open(os.path.join(build, "compile_commands.json"), encoding="utf-8")):
        if not os.path.realpath(compile["file"]).startswith(program_sources):
            continue
        refused = sorted({flag for flag in shlex.split(compile["command"])[1:] if REFUSED.fullmatch(flag)})
        if refused:
            faults.append(f"{build}: {os.path.relpath(compile['file'], source)} is compiled with {' '.join(refused)}")
if faults:
    sys.exit("Not a release build (make it anew, or remove the folder for the release to make it):\n  "
             + "\n  ".join(sorted(set(faults))))
