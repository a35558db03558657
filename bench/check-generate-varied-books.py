#!/usr/bin/env python3
"""Checks bench/generate_varied_books.py: the same seed gives the same bytes, and
the default set holds every kind of book and folder it is meant to.

Usage: bench/check-generate-varied-books.py

Exit status 0 when all holds, 1 otherwise (each failure printed). Takes
about half a minute.
"""

import filecmp
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
GENERATOR = os.path.join(HERE, "generate_varied_books.py")
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def generate(out_dir, *options):
    subprocess.run([sys.executable, GENERATOR, out_dir, *options], check=True)


def same_trees(a, b):
    """Whether two folders hold the same names with the same bytes."""
    compared = filecmp.dircmp(a, b)
    if compared.left_only or compared.right_only or compared.funny_files:
        return False
    _, mismatch, errors = filecmp.cmpfiles(a, b, compared.common_files, shallow=False)
    if mismatch or errors:
        return False
    return all(same_trees(os.path.join(a, d), os.path.join(b, d)) for d in compared.common_dirs)


def is_utf8(data):
    try:
        data.decode("utf-8")
        return True
    except UnicodeDecodeError:
        return False


def main():
    work = tempfile.mkdtemp(prefix="check-generate-")
    try:
        books = os.path.join(work, "books")
        generate(books)
        # The same seed, written to the same place again (the eudora.ini
        # files name absolute paths inside it): the same bytes.
        first = os.path.join(work, "first")
        os.rename(books, first)
        generate(books)
        check(same_trees(first, books), "the same seed gives the same books")
        generate(os.path.join(work, "other"), "--seed", "2")
        check(not same_trees(books, os.path.join(work, "other")), "another seed gives other books")
        check(subprocess.run([sys.executable, GENERATOR, books], capture_output=True).returncode
              != 0, "a folder that is not empty is refused")

        entries = [e for e in os.listdir(os.fsencode(books)) if not e.startswith((b"_", b"."))]
        files = [e for e in entries if os.path.isfile(os.path.join(os.fsencode(books), e))]
        folders = [e for e in entries if os.path.isdir(os.path.join(os.fsencode(books), e))]
        fuzz = [e for e in files if e.startswith(b"fuzz-")]
        check(len(files) - len(fuzz) >= 1000, f"at least 1,000 books ({len(files) - len(fuzz)})")
        check(len(folders) >= 50, f"at least 50 Eudora folders ({len(folders)})")
        corpus = os.path.join(HERE, "..", "tests", "fuzz", "corpus", "contacts")
        check(len(fuzz) == len(os.listdir(corpus)), "every stored fuzzer input is a book")

        data = {e: open(os.path.join(os.fsencode(books), e), "rb").read() for e in files}
        aliases = {e: len(re.findall(rb"(?:^|[\r\n])alias ", d)) for e, d in data.items()}
        kinds = {
            "nothing but blanks": lambda d: d.strip(b" \t\r\n") == b"",
            "CR LF line ends": lambda d: b"\r\n" in d,
            "LF line ends alone": lambda d: b"\n" in d and b"\r" not in d,
            "CR line ends alone": lambda d: b"\r" in d and b"\n" not in d and b"alias" in d,
            "a byte-order mark": lambda d: d.startswith(b"\xef\xbb\xbf") and len(d) > 100,
            "NUL bytes": lambda d: b"\x00" in d and b"alias" in d,
            "C1 bytes": lambda d: re.search(rb"[\x80-\x9f]", d) is not None and not is_utf8(d),
            "valid UTF-8 beyond ASCII": lambda d: is_utf8(d) and re.search(rb"[\x80-\xff]", d),
            "Japanese": lambda d: "山田".encode() in d,
            "Greek": lambda d: "Σ".encode() in d,
            "Cyrillic": lambda d: "Иван".encode() in d,
            "emoji": lambda d: "😀".encode() in d,
            "the line-break marker": lambda d: b"\x03" in d,
            "a quoted nickname": lambda d: b'alias "' in d,
            "lines that are no alias line": lambda d: b"Alias " in d or b" alias " in d,
            "a line past 32,767 bytes": lambda d: any(len(x) > 32767 for x in d.splitlines()),
            "unknown tags": lambda d: b"<birthday:" in d or b"<x-custom:" in d,
            "links": lambda d: b"<http://" in d,
        }
        for kind, holds in kinds.items():
            check(sum(1 for d in data.values() if holds(d)) >= 2, f"books with {kind}")
        for tag in ["name", "first", "last", "title", "company", "phone", "phone2", "mobile",
                    "mobile2", "fax", "fax2", "otherphone", "web", "web2", "otherweb",
                    "otheremail", "address", "city", "state", "zip", "country", "address2",
                    "city2", "state2", "zip2", "country2"]:
            check(any(f"<{tag}:".encode() in d for d in data.values()), f"the tag {tag}")
        large = [e for e, n in aliases.items() if n >= 5000]
        small = [e for e, n in aliases.items() if 1 <= n <= 200]
        check(len(large) >= 3, f"large books ({len(large)})")
        check(len(small) >= 800, f"small books ({len(small)})")

        names = []
        for folder in folders:
            for root, dirs, found in os.walk(os.path.join(os.fsencode(books), folder)):
                names += [os.path.relpath(os.path.join(root, n), os.path.join(
                    os.fsencode(books), folder)) for n in found + dirs]
        for name in [b"nndbase.txt", b"NNDBASE.TXT", b"nndbase.nnt", b"Eudora Nicknames",
                     b"Nickname", b"Nicknames Folder", b"eudora.ini"]:
            check(name in names, f"a folder with {name.decode()}")
        check(any(os.path.basename(n).startswith(b".") for n in names), "hidden files")
        check(any(n.endswith(b".doc") for n in names), "files that are no books")
        ini = b"".join(open(os.path.join(os.fsencode(books), f, n), "rb").read()
                       for f in folders for n in os.listdir(os.path.join(os.fsencode(books), f))
                       if n.lower() == b"eudora.ini")
        check(os.fsencode(books) + b"/_extra/" in ini, "an eudora.ini naming an absolute folder")
        check(b"../" in ini, "an eudora.ini naming a relative folder")
    finally:
        shutil.rmtree(work)
    if failures:
        print(f"{len(failures)} checks failed")
        return 1
    print("All checks passed.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
