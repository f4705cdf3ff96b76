#!/usr/bin/env python3
"""Lists the C++ functions of the tree whose bodies run over a number of lines.

A rough reader, not a parser: a body is a "{" that ends a line whose text
looks like a function head (a ")" before it, not a control statement, not a
lambda opened inside an expression), closed by its matching "}". Strings,
characters and comments are blanked before the braces are counted.

    scripts/long-functions.py [--max N] [folders...]   (default: 60, src tests bench)
"""
import argparse
import pathlib
import re
import sys

CONTROL = re.compile(r"^\s*(\}\s*)?(if|for|while|switch|catch|else|do)\b")
HEAD_END = re.compile(r"\)\s*(const|noexcept|override|final|->\s*[\w:<>,\s*&]+|\s)*(:\s*.*)?\{\s*$")


def blank(text):
    """Replaces comments, strings and character literals with spaces."""
    pattern = re.compile(r'//[^\n]*|/\*.*?\*/|R"\((?:.|\n)*?\)"|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'',
                         re.S)
    return pattern.sub(lambda m: re.sub(r"[^\n]", " ", m.group(0)), text)


def functions(path):
    lines = blank(path.read_text(errors="replace")).split("\n")
    depth = 0
    open_at = []  # (depth before the brace, line index, is a function)
    found = []
    for index, line in enumerate(lines):
        for column, char in enumerate(line):
            if char == "{":
                head = line[: column + 1]
                # a head may wrap: join with the line before when this one starts with ")" etc.
                joined = (lines[index - 1] if index else "") + " " + head
                is_function = (HEAD_END.search(head) or HEAD_END.search(joined)) and not CONTROL.search(head) \
                    and "=" not in head.split("(")[0] and "[" not in head and \
                    not any(f[2] for f in open_at)
                open_at.append((depth, index, bool(is_function)))
                depth += 1
            elif char == "}":
                depth -= 1
                if open_at:
                    _, start, is_function = open_at.pop()
                    if is_function:
                        found.append((start + 1, index + 1))
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--max", type=int, default=60)
    parser.add_argument("folders", nargs="*", default=["src", "tests", "bench"])
    arguments = parser.parse_args()
    long_ones = []
    for folder in arguments.folders:
        for path in sorted(pathlib.Path(folder).rglob("*")):
            if path.suffix not in (".cpp", ".h"):
                continue
            for start, end in functions(path):
                length = end - start - 1
                if length > arguments.max:
                    long_ones.append((length, f"{path}:{start}-{end}"))
    for length, place in sorted(long_ones, reverse=True):
        print(f"{length:4d} {place}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
