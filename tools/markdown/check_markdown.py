#!/usr/bin/python3
"""Renders every Markdown file of the project and fails on a broken table.

A table row that a renderer does not take into a table shows as raw "| a | b |"
text, and a row with more or fewer cells than its header silently loses or
gains cells. Both have happened in this project's README; this check renders
each file with a CommonMark renderer with GitHub's tables and reports:

- a line that looks like a table row (it starts with "|") but was rendered as
  ordinary text;
- a table row whose number of cells differs from its header's.

Usage: check_markdown.py ROOT   (checks every tracked-looking .md below ROOT,
skipping build folders, .git and fuzz corpora).
"""

import pathlib
import sys

from markdown_it import MarkdownIt

SKIPPED_FOLDERS = {".git", ".cache", "node_modules"}


def markdown_files(root):
    for path in sorted(root.rglob("*.md")):
        parts = path.relative_to(root).parts
        if any(part in SKIPPED_FOLDERS or part.startswith("build") for part in parts[:-1]):
            continue
        yield path


def cells_of(line):
    """The cells of a table row as GitHub counts them: split at unescaped pipes
    outside code spans, one leading and one trailing pipe dropped."""
    text = line.strip()
    cells, current, in_code, i = [], "", False, 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            current += text[i : i + 2]
            i += 2
            continue
        if c == "`":
            in_code = not in_code
        if c == "|" and not in_code:
            cells.append(current)
            current = ""
        else:
            current += c
        i += 1
    cells.append(current)
    if text.startswith("|"):
        cells = cells[1:]
    if text.endswith("|") and not text.endswith("\\|"):
        cells = cells[:-1]
    return cells


def problems_in(path):
    lines = path.read_text(encoding="utf-8").splitlines()
    tokens = MarkdownIt("commonmark").enable("table").parse("\n".join(lines))
    found = []
    in_table = False
    for token in tokens:
        if token.type == "table_close":
            in_table = False
        if token.type == "table_open" and token.map:
            in_table = True
            first, end = token.map
            header = len(cells_of(lines[first]))
            for number in range(first + 2, end):
                if not lines[number].strip():
                    continue
                count = len(cells_of(lines[number]))
                if count != header:
                    found.append(f"{path}:{number + 1}: table row has {count} cells, its header {header}")
        elif token.type == "inline" and token.map and not in_table:
            first, end = token.map
            for number in range(first, end):
                if lines[number].lstrip().startswith("|"):
                    found.append(f"{path}:{number + 1}: table row outside a table: {lines[number].strip()[:60]}")
    return found


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    problems = []
    checked = 0
    for path in markdown_files(root):
        checked += 1
        problems.extend(problems_in(path))
    for problem in problems:
        print(problem)
    print(f"{checked} Markdown files checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
