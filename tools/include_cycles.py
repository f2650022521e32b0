#!/usr/bin/env python3
"""Prints the largest include cycle of each folder given, and fails when one exceeds --max.

A module is a base name: X.h and X.cpp are one node, because a header and its implementation
change together. An edge runs from a module
to every module of the same folder that one of its files includes with "..."-quotes or with a
path from the project root. The largest strongly connected component of that graph is the
largest set of modules that cannot be compiled, read or changed apart from one another.

Usage: tools/include_cycles.py [--max N] [--verbose] FOLDER...
Exit status: 0 when every folder's largest cycle has at most N modules (no limit without --max),
1 otherwise, 2 on a usage error.
"""

import argparse
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', re.MULTILINE)
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc")


def strip_comments(text):
    # A commented-out include is no dependency.
    text = re.sub(r"/\*.*?\*/", "", text, flags=re.DOTALL)
    return re.sub(r"//[^\n]*", "", text)


def modules_of(folder):
    """Maps each module name to the files (names relative to the folder) that make it up."""
    modules = {}
    for name in sorted(os.listdir(folder)):
        if not name.endswith(SOURCE_SUFFIXES) or not os.path.isfile(os.path.join(folder, name)):
            continue
        modules.setdefault(os.path.splitext(name)[0], []).append(name)
    return modules


def include_graph(folder, root):
    modules = modules_of(folder)
    by_file = {f: m for m, files in modules.items() for f in files}
    rel_folder = os.path.relpath(os.path.abspath(folder), root)
    edges = {m: set() for m in modules}
    for module, files in modules.items():
        for name in files:
            with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as f:
                text = strip_comments(f.read())
            for target in INCLUDE.findall(text):
                # "frxClass.h" beside the file, or "report/core/frxClass.h" from the root.
                if os.path.dirname(target) in ("", rel_folder):
                    base = os.path.basename(target)
                    if base in by_file and by_file[base] != module:
                        edges[module].add(by_file[base])
    return edges


def strongly_connected(edges):
    """Tarjan's algorithm, iterative so that a long include chain cannot overflow the stack."""
    index, low, on_stack, stack, result = {}, {}, set(), [], []
    counter = 0
    for start in sorted(edges):
        if start in index:
            continue
        work = [(start, iter(sorted(edges[start])))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, children = work[-1]
            advanced = False
            for child in children:
                if child not in index:
                    index[child] = low[child] = counter
                    counter += 1
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(sorted(edges[child]))))
                    advanced = True
                    break
                if child in on_stack:
                    low[node] = min(low[node], index[child])
            if advanced:
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[node])
            if low[node] == index[node]:
                component = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    component.append(member)
                    if member == node:
                        break
                result.append(sorted(component))
    return result


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folders", nargs="+", metavar="FOLDER")
    parser.add_argument("--max", type=int, default=None, help="largest cycle allowed (modules)")
    parser.add_argument("--root", default=None, help="project root (default: this script's parent)")
    parser.add_argument("--verbose", action="store_true", help="list every cycle, not just the largest")
    args = parser.parse_args()
    root = os.path.abspath(args.root or os.path.join(os.path.dirname(__file__), ".."))

    failed = False
    for folder in args.folders:
        if not os.path.isdir(folder):
            print(f"{folder}: not a folder", file=sys.stderr)
            return 2
        edges = include_graph(folder, root)
        components = sorted(strongly_connected(edges), key=lambda c: (-len(c), c))
        largest = components[0] if components else []
        size = len(largest) if len(largest) > 1 else 0
        verdict = ""
        if args.max is not None and size > args.max:
            failed = True
            verdict = f"  (more than {args.max})"
        print(f"{folder}: {len(edges)} modules, largest include cycle {size}{verdict}")
        shown = [c for c in components if len(c) > 1] if args.verbose else ([largest] if size else [])
        for component in shown:
            print("  " + " ".join(component))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
