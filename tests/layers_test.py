#!/usr/bin/env python3
"""Every #include of the product points down the layers core <- platform <- report <- ui <- app,
and no two files of one layer include each other, directly or round about.
Usage: layers_test.py PROJECT_ROOT"""
import pathlib
import re
import sys

LAYERS = ["core", "platform", "report", "ui", "app"]
root = pathlib.Path(sys.argv[1])
include = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
faults = []
graph = {}  # unit (file without its extension or system suffix) -> units it includes
for layer_index, layer in enumerate(LAYERS):
    for path in sorted((root / layer).rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        unit = str(path.relative_to(root).with_suffix(""))
        unit = re.sub(r"_(posix|windows|openssl|cng)$", "", unit)
        for target in include.findall(path.read_text(encoding="utf-8")):
            top = target.split("/")[0]
            if top not in LAYERS:
                faults.append(f"{path.relative_to(root)}: includes {target}, outside the layers")
                continue
            if LAYERS.index(top) > layer_index:
                faults.append(f"{path.relative_to(root)}: includes {target}, a layer above {layer}")
            elif top == layer:
                other = str(pathlib.Path(target).with_suffix(""))
                if other != unit:
                    graph.setdefault(unit, set()).add(other)

def circle_from(start):
    stack, seen = [(start, [start])], set()
    while stack:
        node, trail = stack.pop()
        for nxt in graph.get(node, ()):
            if nxt == start:
                return trail + [start]
            if nxt not in seen:
                seen.add(nxt)
                stack.append((nxt, trail + [nxt]))
    return None

reported = set()
for unit in sorted(graph):
    circle = circle_from(unit)
    if circle and frozenset(circle) not in reported:
        reported.add(frozenset(circle))
        faults.append("circle: " + " -> ".join(circle))

for fault in faults:
    print(fault)
print(f"layers: {len(faults)} faults")
sys.exit(1 if faults else 0)
