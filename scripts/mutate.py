#!/usr/bin/env python3
"""Plants one small mistake at a time in the product's sources and runs the
tests that cover each file, to find the mistakes no test notices.

Usage: scripts/mutate.py [--list] [--every N] [FILE ...]
  FILE       product sources (default: every .cpp and .h of catalogue/,
             platform/ and window/)
  --list     print the mistakes without building anything
  --every N  on the Windows side, whose every mistake takes a build and a
             Wine run of half a minute, only every Nth mistake of each file

A mistake is one token changed on one line: a comparison or a logical
operator turned round, a "!" dropped, true for false, a number one off,
continue for break, a character dropped from a short string, or a
statement deleted (numbers up to 32 only: counts, indices and small sizes,
not layout figures, colours or resource ids). catalogue/,
window/Actions.* and window/RowReport.* are built and tested
natively; the rest with the windows preset under Wine. A mistake that does
not build counts apart. Prints each survivor and a count per file; the
files are always restored.
"""
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SWAPS = [(" == ", " != "), (" != ", " == "), (" < ", " <= "), (" <= ", " < "), (" > ", " >= "),
         (" >= ", " > "), (" && ", " || "), (" || ", " && "), (" + ", " - "), (" - ", " + "),
         ("true", "false"), ("false", "true"), ("continue;", "break;"), ("break;", "continue;")]
# What the Windows side's tests build; the benchmark is left alone.
WINDOWS_TARGETS = ["UninstallListCleaner", "catalogue_tests", "actions_tests", "platform_tests", "window_tests",
                   "program_tests", "marker", "planted", "test_products"]
STATEMENT = re.compile(r"^\s*[A-Za-z_][\w:.\->]*(<[^;]*>)?\s*\(.*\);\s*$")
NUMBER = re.compile(r"(?<![\w.])\d+(?![\w.])")
NOT = re.compile(r"!(?=[\w(])")


def spans(line):
    """Where code is on a line (outside literals and comments), and where the
    bodies of its string literals are."""
    code, strings, start, quote, i = [], [], 0, None, 0
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                i += 1
            elif c == quote:
                if quote == '"':
                    strings.append((start, i))
                quote, start = None, i + 1
        elif c in "\"'":
            code.append((start, i))
            quote, start = c, i + 1
        elif line.startswith("//", i):
            break
        i += 1
    if not quote:
        code.append((start, i))
    return code, strings


def mistakes(path):
    lines = open(path, encoding="utf-8").read().split("\n")
    for number, line in enumerate(lines):
        text = line.strip()
        if not text or text.startswith(("//", "#", "*")):
            continue
        code, strings = spans(line)
        in_code = lambda at: any(a <= at < b for a, b in code)
        for old, new in SWAPS:
            for match in re.finditer(re.escape(old) if not old.isalpha() else r"\b%s\b" % old, line):
                if in_code(match.start()):
                    yield number, line[:match.start()] + new + line[match.end():], f"{old.strip()} -> {new.strip()}"
        for match in NOT.finditer(line):
            if in_code(match.start()):
                yield number, line[:match.start()] + line[match.end():], "drop !"
        for match in NUMBER.finditer(line):
            # Counts, indices and small sizes: not layout figures, colours or ids.
            if in_code(match.start()) and int(match.group()) <= 32:
                yield number, line[:match.start()] + str(int(match.group()) + 1) + line[match.end():], \
                    f"{match.group()} -> {int(match.group()) + 1}"
        # Short strings are sets of characters or separators, where one
        # character more or less matters.
        for start, end in strings:
            chars = re.findall(r"\\.|.", line[start:end])
            for drop in range(len(chars)) if 2 <= len(chars) <= 4 else ():
                shorter = "".join(chars[:drop] + chars[drop + 1:])
                yield number, line[:start] + shorter + line[end:], f'"{line[start:end]}" -> "{shorter}"'
        if STATEMENT.match(line) and not text.startswith(("return", "if", "for", "while", "switch", "case")):
            yield number, "", "delete statement"


def run(command):
    return subprocess.run(command, cwd=ROOT, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


def portable(path):
    relative = os.path.relpath(path, ROOT)
    return relative.startswith(("catalogue/", "window/Actions.", "window/RowReport."))


def check(path):
    """Builds and tests for one mistake: 'killed', 'survived' or 'no build'."""
    if portable(path):
        if not run(["cmake", "--build", "--preset", "native", "-j2"]):
            return "no build"
        return "killed" if not run(["ctest", "--preset", "native", "--timeout", "60"]) else "survived"
    if not run(["cmake", "--build", "--preset", "windows", "-j2", "--target"] + WINDOWS_TARGETS):
        return "no build"
    return "killed" if not run(["ctest", "--preset", "windows", "--timeout", "120"]) else "survived"


def main():
    arguments = sys.argv[1:]
    if "-h" in arguments or "--help" in arguments:
        print(__doc__)
        return
    listing = "--list" in arguments
    every = 1
    if "--every" in arguments:
        at = arguments.index("--every")
        every = int(arguments[at + 1])
        del arguments[at:at + 2]
    files = [os.path.abspath(f) for f in arguments if f != "--list"]
    if not files:
        files = sorted(os.path.join(folder, name) for top in ("catalogue", "platform", "window")
                       for folder, _, names in os.walk(os.path.join(ROOT, top)) for name in names
                       if name.endswith((".cpp", ".h")) and not name.endswith("_posix.cpp"))
    # The Windows side's tests run in one Wine session for the whole run.
    if not listing and not all(portable(f) for f in files) and "ULC_MUTATE_SESSION" not in os.environ:
        os.environ["ULC_MUTATE_SESSION"] = "1"
        session = [os.path.join(ROOT, "scripts/wine-session.sh"), os.path.join(ROOT, "build/windows/wineprefix")]
        sys.exit(subprocess.run(session + [sys.executable, os.path.abspath(__file__), "--every", str(every)] + files).returncode)
    if not listing:
        for preset in ("native", "windows"):
            subprocess.run(["cmake", "--preset", preset], cwd=ROOT, stdout=subprocess.DEVNULL, check=True)
    totals = {"killed": 0, "survived": 0, "no build": 0}
    for path in files:
        relative = os.path.relpath(path, ROOT)
        original = open(path, encoding="utf-8").read()
        lines = original.split("\n")
        counts = {"killed": 0, "survived": 0, "no build": 0}
        try:
            for index, (number, changed, what) in enumerate(mistakes(path)):
                if index % (1 if portable(path) else every) != 0:
                    continue
                if listing:
                    print(f"{relative}:{number + 1}: {what}")
                    continue
                open(path, "w", encoding="utf-8").write("\n".join(lines[:number] + [changed] + lines[number + 1:]))
                verdict = check(path)
                counts[verdict] += 1
                if verdict == "survived":
                    print(f"SURVIVED {relative}:{number + 1}: {what}: {lines[number].strip()}", flush=True)
        finally:
            open(path, "w", encoding="utf-8").write(original)
        if not listing:
            print(f"{relative}: {counts['killed']} killed, {counts['survived']} survived, "
                  f"{counts['no build']} did not build", flush=True)
            for key in totals:
                totals[key] += counts[key]
    if not listing:
        print(f"all: {totals['killed']} killed, {totals['survived']} survived, {totals['no build']} did not build")
        # Rebuild from the restored sources.
        run(["cmake", "--build", "--preset", "native", "-j2"])
        run(["cmake", "--build", "--preset", "windows", "-j2"])


if __name__ == "__main__":
    main()
