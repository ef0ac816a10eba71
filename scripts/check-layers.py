#!/usr/bin/env python3
"""Keeps the framework's layers: fails when a file includes a header of a layer
above its own, includes a framework header without naming its layer, or when a
layer's library links one above it.

The layers, bottom to top (each library links only the ones below it):
    system < window < controls < composite < frame
Outside cwin/, the console converter and the plug-in's store have no windows:
they may include cwin/system/ only.

Usage: check-layers.py [SOURCE_ROOT]"""
import os
import re
import sys

LAYERS = ["system", "window", "controls", "composite", "frame"]
# Folders outside cwin/ held to a layer: the highest they may include.
HELD = {"converter": "system", "plugin/store": "system"}
SOURCES = (".cpp", ".h", ".rc", ".in")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^">]+)[">]')


def rank(layer):
    return LAYERS.index(layer)


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    cwin = os.path.join(root, "cwin")
    headers = {}
    for layer in LAYERS:
        for name in os.listdir(os.path.join(cwin, layer)):
            if name.endswith(".h"):
                headers[name] = layer
    faults = []
    checked = 0
    for top in ("cwin", "converter", "plugin", "viewer", "tools", "tests"):
        for folder, dirs, files in os.walk(os.path.join(root, top)):
            dirs[:] = [d for d in dirs if d not in ("pinned",)]
            rel_folder = os.path.relpath(folder, root).replace(os.sep, "/")
            own = None
            if rel_folder.startswith("cwin/"):
                own = rel_folder.split("/")[1]
            for prefix, layer in HELD.items():
                if rel_folder == prefix or rel_folder.startswith(prefix + "/"):
                    own = layer
            for name in files:
                if not name.endswith(SOURCES):
                    continue
                path = os.path.join(folder, name)
                rel = os.path.relpath(path, root).replace(os.sep, "/")
                checked += 1
                with open(path, encoding="latin-1") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = m.group(1)
                        parts = target.split("/")
                        if len(parts) == 3 and parts[0] == "cwin":
                            layer = parts[1]
                            if layer not in LAYERS or parts[2] not in headers or headers[parts[2]] != layer:
                                faults.append("%s:%d: no such framework header: %s" % (rel, number, target))
                            elif own is not None and rank(layer) > rank(own):
                                faults.append("%s:%d: %s (layer %s) includes %s of the higher layer %s"
                                              % (rel, number, rel, own, target, layer))
                        elif len(parts) == 1 and parts[0] in headers:
                            faults.append("%s:%d: framework header without its layer: %s (cwin/%s/%s)"
                                          % (rel, number, target, headers[parts[0]], parts[0]))
    # The libraries: cwin_<layer> links only cwin_<lower layer>.
    with open(os.path.join(cwin, "CMakeLists.txt")) as f:
        build = f.read()
    libraries = 0
    for m in re.finditer(r"target_link_libraries\(\s*cwin_(\w+)([^)]*)\)", build):
        layer = m.group(1)
        if layer not in LAYERS:
            faults.append("cwin/CMakeLists.txt: library cwin_%s is no layer" % layer)
            continue
        libraries += 1
        for used in re.findall(r"\bcwin_(\w+)", m.group(2)):
            if used not in LAYERS or rank(used) >= rank(layer):
                faults.append("cwin/CMakeLists.txt: cwin_%s links cwin_%s, not below it" % (layer, used))
    if libraries != len(LAYERS):
        faults.append("cwin/CMakeLists.txt: %d layer libraries with link lines, expected %d" % (libraries, len(LAYERS)))
    for fault in faults:
        print(fault)
    print("layers: %d files checked, %d faults" % (checked, len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
