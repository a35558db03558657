#!/usr/bin/env python3
"""Writes a varied set of Eudora nickname files and folders for comparing builds.

Usage:
  bench/generate_varied_books.py OUT_DIR [--count N] [--folders F] [--large L]
                                 [--seed S] [--fuzz-corpus DIR | --no-fuzz-corpus]

OUT_DIR (created; it must not exist or be empty) receives:
  - N books (default 1,000) as files at its top level: empty ones, many small
    ones (1 to 200 entries), L large ones (5,000 to 20,000 entries, default 8);
  - F Eudora folders (default 60) as folders at its top level, each with a
    main book (nndbase.txt, NNDBASE.TXT, nndbase.nnt or "Eudora Nicknames"),
    a Nickname/ or "Nicknames Folder" of further books, an eudora.ini naming
    extra folders, hidden files and files that are no books;
  - the stored fuzzer inputs of tests/fuzz/corpus/contacts as books (without
    the first byte, which chose the fuzzer's character set);
  - _extra/: folders that eudora.ini files name by absolute path, and
    _manifest.txt: one line per book or folder saying what it holds.
Entries whose name begins with "_" are no cases of their own.

Everything follows from the seed: the same seed gives the same bytes (the
absolute paths written into eudora.ini files are OUT_DIR's own).
Python 3 standard library only.
"""

import argparse
import os
import random
import sys

# ---------------------------------------------------------------------------
# Text pools. Each is a list of Python strings; a book's encoder keeps only
# those its character set can write (or writes them wrongly on purpose).

ASCII_FIRST = ["Ann", "Bob", "Carla", "Dave", "Eve", "Frank", "Gina", "Hal", "Ivy", "Jon",
               "Kim", "Lou", "Mia", "Ned", "Olga", "Pat", "Quinn", "Rosa", "Sam", "Tess",
               "Uma", "Vic", "Walt", "Xena", "Yuri", "Zack", "Mary-Jane", "O'Neil", "J."]
ASCII_LAST = ["Lee", "Marsh", "Ruiz", "Stone", "Berg", "Quinn", "Smith", "Doe", "Ivanova",
              "Martin", "Nakamura", "Okafor", "Price", "van der Berg", "de la Cruz", "Smith-Jones",
              "McDonald", "O'Hara"]
LATIN_FIRST = ["Zoë", "François", "José", "Ångström", "Ærø", "Ñúñez", "Þór", "Øyvind", "Ärger",
               "ärger", "ÄRGER", "Müller", "Straße", "Çelik", "Élodie", "Ïda", "Ÿves", "Œuvre",
               "Šimon", "Žana", "ÿvonne"]
LATIN_LAST = ["Müller", "Søren", "Größe", "García", "Éclair", "Häkkinen", "Ñandú", "Ørsted",
              "Lefèvre", "Brontë", "Çakır"]
WIDE_NAMES = ["山田 太郎", "さくら", "東京 花子", "Σωκράτης", "σοφία", "ΣΟΦΊΑ", "Иван Петров",
              "иван", "ИВАН", "Ольга", "😀 Smiley", "🎉 Party", "Ünïcödé 🚀", "שלום",
              "e\u0301clair", "zero\u200bwidth", "mid\ufeffbom", "line\u2028sep", "rep\ufffdlaced",
              "non\uffffchar", "priv\ue000ate", "마이클", "Đặng Văn"]
SYMBOLS = ["€", "—", "‘quoted’", "“double”", "…", "™", "•", "©", "°", "±", "¿", "¡", "§", "¶",
           "µ", "½", "×", "÷", "ƒ", "‰", "†", "‡"]
WORDS = ["Met at the spring fair", "Likes jazz", "Invoices by fax", "Old college friend",
         "Lawyer; office hours 9-5", "Call after 6", "Do not call, write", "see also: bob",
         "Back\\slash note", "semi;colon, comma", "a > b and c < d", "price: 10$", "50% off",
         "#hashtag", "`backtick`", "tab\there", "x=y+z", "http://example.org/page?a=1&b=2"]
DOMAINS = ["example.com", "example.org", "harbourview.example", "marsh-family.example",
           "ruiz-design.example", "polar.example", "sub.mail.example.net", "EXAMPLE.COM",
           "xn--mller-kva.example", "müller.example", "例え.jp", "localhost"]
STREETS = ["12 Elm Street", "Riverside Cottage", "Mill Lane", "40 Harbour Road",
           "Polar Research Station", "12 rue des Arts", "Apt. 5, 3rd floor", "PO Box 77",
           "Hauptstraße 1", "Calle Mayor, 3"]
CITIES = ["Springfield", "Portland", "Tromsø", "Paris", "München", "São Paulo", "Zürich",
          "Kraków", "東京", "Москва", "Αθήνα"]
TAGS = ["name", "first", "last", "title", "company", "phone", "phone2", "mobile", "mobile2",
        "fax", "fax2", "otherphone", "web", "web2", "otherweb", "otheremail", "address", "city",
        "state", "zip", "country", "address2", "city2", "state2", "zip2", "country2"]
UNKNOWN_TAGS = ["birthday", "Name", "NAME", "phone3", "x-custom", "x_y", "email", "nick",
                "notes", "9to5", "a"]
MARK = "\x03"  # the line-break marker

CODECS = {"windows-1252": "cp1252", "iso-8859-1": "latin-1", "macintosh": "mac_roman",
          "utf-8": "utf-8"}


def encodable(text, codec):
    try:
        text.encode(codec)
        return True
    except UnicodeEncodeError:
        return False


class Encoder:
    """Turns the book's texts into bytes of its character set."""

    def __init__(self, rng, charset):
        self.rng = rng
        self.charset = charset
        self.codec = CODECS[charset]
        self.pools = {}

    def pool(self, name, items):
        if name not in self.pools:
            kept = [t for t in items if encodable(t, self.codec)]
            # Wide text the set cannot write gives way to the Latin names.
            self.pools[name] = kept or [t for t in LATIN_FIRST if encodable(t, self.codec)]
        return self.pools[name]

    def pick(self, name, items):
        return self.rng.choice(self.pool(name, items))

    def encode(self, text):
        return text.encode(self.codec, errors="replace")


# ---------------------------------------------------------------------------
# The pieces of a book.

class Book:
    """One book's generator: its texts come from `rng` and its features."""

    def __init__(self, rng, charset, features, cross_names):
        self.rng = rng
        self.enc = Encoder(rng, charset)
        self.f = features
        self.cross_names = cross_names
        self.nicknames = []  # those made so far, as written
        self.lines = []      # bytes, without line ends
        self.late = []       # lines that go far from their alias line
        self.serial = 0

    # --- words -----------------------------------------------------------
    def chance(self, p):
        return self.rng.random() < p

    def first(self):
        r = self.rng.random()
        if r < self.f["latin"]:
            return self.enc.pick("lf", LATIN_FIRST)
        if r < self.f["latin"] + self.f["wide"]:
            return self.enc.pick("wide", WIDE_NAMES)
        return self.rng.choice(ASCII_FIRST)

    def last(self):
        if self.chance(self.f["latin"]):
            return self.enc.pick("ll", LATIN_LAST)
        return self.rng.choice(ASCII_LAST)

    def display_name(self):
        r = self.rng.random()
        first, last = self.first(), self.last()
        if r < 0.55:
            return f"{first} {last}"
        if r < 0.65:
            return f"{last}, {first}"
        if r < 0.70:
            return f"{first} {last}, Jr."
        if r < 0.74:
            return first
        if r < 0.78:
            return f"Dr. {first} {self.rng.choice('ABCDE')}. {last}"
        if r < 0.82:  # characters a DN, a vCard or LDIF escape
            return self.rng.choice([f"#{first}", f" {first} {last}", f"{first} {last} ",
                                    f"{first}+{last}", f"{first}={last}", f"{first};{last}",
                                    f"{last}\\{first}", f":{first}", f"<{first}>", f'"{first}"',
                                    f"{first}  {last}", f"{first}\t{last}"])
        if r < 0.86:
            return f"{first} {self.enc.pick('sym', SYMBOLS)} {last}"
        if r < 0.90:  # long, for folded vCard lines (multibyte characters near the fold)
            return " ".join(self.first() for _ in range(self.rng.randint(8, 20)))
        if r < 0.93:
            return self.enc.pick("wide", WIDE_NAMES)
        if r < 0.96 and self.f["dupes"]:
            return self.rng.choice(["John Smith", "Smith, John", "Ann Lee"])
        return f"{first} {last}"

    def local_part(self):
        r = self.rng.random()
        first = self.rng.choice(ASCII_FIRST).lower().replace("'", "").replace(".", "")
        if r < 0.6:
            return first + self.rng.choice(["", ".", "_", "-"]) + \
                self.rng.choice(ASCII_LAST).lower().replace(" ", "").replace("'", "")
        if r < 0.75:
            return first + str(self.rng.randint(1, 999))
        if r < 0.85:
            return f"{first}+{self.rng.choice(['news', 'bench', 'x'])}"
        if r < 0.9:
            return first.upper()
        if r < 0.95 or not self.f["odd"]:
            return self.enc.pick("lf", LATIN_FIRST).lower()
        return self.rng.choice(['"odd local"', "o'brien", "a.b.c", "x#y", "$dollar", "semi;c"])

    def address(self):
        if self.f["dupes"] and self.chance(0.15):
            return self.rng.choice(["john@smith.example", "JOHN@SMITH.EXAMPLE", "ann@lee.example",
                                    "Ann@Lee.Example", "shared@example.com"])
        addr = f"{self.local_part()}@{self.enc.pick('dom', DOMAINS)}"
        if self.chance(0.05):
            addr = addr.upper() if self.chance(0.5) else addr.capitalize()
        return addr

    def value_text(self, kind):
        r = self.rng.random()
        if kind == "phone":
            v = f"{self.rng.randint(200, 999)}-555-{self.rng.randint(0, 9999):04d}"
            if r < 0.1:
                v = f"+49 (0) 89 {self.rng.randint(1000, 9999)}; ext. {self.rng.randint(1, 99)}"
            elif r < 0.15:
                v = v + MARK + v
        elif kind == "web":
            v = self.rng.choice(["http://", "https://", "", "ftp://", " http://"]) + \
                self.enc.pick("dom", DOMAINS) + self.rng.choice(["", "/", "/a;b", "/x,y", "/~me"])
        elif kind == "address":
            parts = [self.enc.pick("st", STREETS) for _ in range(self.rng.randint(1, 3))]
            v = MARK.join(parts)
            if r < 0.1:
                v = MARK + v + MARK
        elif kind == "city":
            v = self.enc.pick("city", CITIES)
        elif kind == "name":
            v = self.display_name()
        else:
            v = self.rng.choice(WORDS)
        if self.chance(0.04):
            v = self.rng.choice([" ", ":", "<", "  ", MARK]) + v
        if self.chance(0.04):
            v = v + self.rng.choice([" ", MARK, "  ", "\\"])
        if self.chance(0.02):
            v = v * self.rng.randint(5, 20)  # long values: folding, base64 lines
        return v

    # --- nicknames -------------------------------------------------------
    def new_nickname(self):
        self.serial += 1
        r = self.rng.random()
        base = self.rng.choice(ASCII_FIRST).lower().replace("'", "").replace(".", "")
        if r < 0.55:
            nick = f"{base}{self.serial}"
        elif r < 0.65:
            nick = f"{self.rng.choice(ASCII_FIRST)} {self.rng.choice(ASCII_LAST)} {self.serial}"
        elif r < 0.72:
            nick = f"{self.enc.pick('lf', LATIN_FIRST)}{self.serial}"
        elif r < 0.76:
            nick = f"{self.enc.pick('wide', WIDE_NAMES)}{self.serial}"
        elif r < 0.80:
            nick = f"{base}@{self.serial}.example"  # a nickname with "@"
        elif r < 0.88:
            nick = base + self.rng.choice(["-", "`", "$", "#", "'", ";", "\\", "!", "_", "."]) + \
                str(self.serial)
        elif r < 0.92:
            nick = f'{base}"q"{self.serial}'  # a quote inside an unquoted nickname
        else:
            nick = f"{base}{self.serial}"
        self.nicknames.append(nick)
        return nick

    def variant(self, nick):
        """The nickname as another line may write it: other letter case."""
        r = self.rng.random()
        if r < 0.3:
            return nick.upper()
        if r < 0.5:
            return nick.swapcase()
        if r < 0.6:
            return nick.capitalize()
        return nick

    def nick_field(self, nick, quoted=None):
        """How a line writes the nickname after its keyword."""
        if quoted is None:
            quoted = " " in nick or self.chance(0.05)
        if quoted:
            if self.f["odd"] and self.chance(0.01):
                return '"' + nick  # unclosed: the rest of the line is the nickname
            return f'"{nick}"'
        return nick

    # --- address texts ---------------------------------------------------
    def item(self):
        a = self.address()
        name = self.display_name()
        forms = [
            lambda: a,
            lambda: f"<{a}>",
            lambda: f"{name} <{a}>",
            lambda: f'"{name}" <{a}>',
            lambda: f"{a} ({name})",
            lambda: f"<{a}> ({name})",
            lambda: f"{a} {self.address()}",
            lambda: f"{a} {self.address()} {name}",
            lambda: f"<{a}> <{self.address()}>",
            lambda: name,  # plain words, no address
            lambda: f"{a} (Dr ({name}) retired)",
            lambda: f'"{name} \\"JD\\" \\\\ x" <{a}>',
            lambda: f"({name} \\) paren) {a}",
            lambda: f'"{name} <{a}>',  # unbalanced quote
            lambda: f"{name} <{a}",  # unclosed bracket
            lambda: f"{a}>",
            lambda: f'"{self.last()}, {self.first()}" <{a}>',
            lambda: f"({self.last()}, {self.first()}) {a}",
            lambda: f"<{a}, {self.address()}>",
            lambda: f"{name} <>",
            lambda: f"{a}\t\t({name})",
            lambda: f"  {a}  ",
            lambda: f"(unclosed {name} {a}",
            lambda: f'"" <{a}>',
            lambda: f"{a} \"{name}\" ({name})",
            lambda: "()",
            lambda: '"quoted, no address"',
        ]
        weights = [30, 10, 12, 12, 6, 4, 3, 2, 2, 3, 2, 1, 1, 1, 1, 1, 3, 1, 1, 1, 1, 1, 1, 1, 1,
                   1, 1]
        if not self.f["odd"]:
            weights = weights[:9] + [0] * (len(forms) - 9)
        return self.rng.choices(forms, weights)[0]()

    def join_items(self, items):
        out = ""
        for i, it in enumerate(items):
            if i:
                out += self.rng.choices([", ", ",", " , ", MARK, "," + MARK, ",,"],
                                        [50, 20, 5, 15 if self.f["marker"] else 0, 5,
                                         3 if self.f["odd"] else 0])[0]
            out += it
        if self.f["marker"] and self.chance(0.05):
            out = MARK + out
        if self.f["marker"] and self.chance(0.05):
            out += MARK
        if self.f["odd"] and self.chance(0.03):
            out += ","
        return out

    def member(self, nick):
        r = self.rng.random()
        if r < 0.6 or (r >= 0.75 and not self.f["odd"]):
            return nick
        if r < 0.75:
            return self.variant(nick)
        if r < 0.9:
            return f'"{nick}"'
        return f"  {nick} "

    # --- note texts ------------------------------------------------------
    def note_text(self, name=None):
        parts = []
        if self.chance(0.15):
            parts.append(self.rng.choice(WORDS))
        if name is not None:
            parts.append(f"<name:{name}>")
        n = self.rng.randint(0, 6)
        for _ in range(n):
            tag = self.rng.choice(TAGS)
            kind = ("phone" if "phone" in tag or "mobile" in tag or "fax" in tag
                    else "web" if "web" in tag
                    else "address" if tag.startswith("address")
                    else "city" if tag.startswith("city") or tag.startswith("country")
                    else "name" if tag in ("name", "first", "last")
                    else "text")
            if tag in ("first", "last"):
                value = self.first() if tag == "first" else self.last()
            elif tag == "otheremail":
                value = MARK.join(self.rng.choice([self.address(), self.item(), "no address"])
                                  for _ in range(self.rng.randint(1, 3)))
            else:
                value = self.value_text(kind)
            parts.append(f"<{tag}:{value}>")
            if self.chance(0.08):  # the same tag again, same or other value
                parts.append(f"<{tag}:{value if self.chance(0.5) else self.value_text(kind)}>")
            if self.chance(0.1):
                parts.append(self.rng.choice(WORDS))
        if self.f["odd"]:
            if self.chance(0.1):
                parts.append(f"<{self.rng.choice(UNKNOWN_TAGS)}:{self.rng.choice(WORDS)}>")
            if self.chance(0.05):
                parts.append("<http://" + self.enc.pick("dom", DOMAINS) + "/>")
            if self.chance(0.05):
                parts.append(self.rng.choice(["<:x>", "<name :x>", "<>", "<<name:a<b>", "< name:y>",
                                              "<name:>", "<phone: >", "<not a tag>"]))
        if self.chance(0.15):
            parts.append(self.rng.choice(WORDS))
        if self.f["odd"] and self.chance(0.05):  # a tag without its ">"
            parts.append(f"<{self.rng.choice(TAGS)}:{self.rng.choice(WORDS)}")
        sep = "" if self.chance(0.7) else self.rng.choice([" ", MARK, "  "])
        return sep.join(parts)

    # --- lines -----------------------------------------------------------
    def emit(self, text, late=False):
        data = self.enc.encode(text)
        if self.f["raw"] and self.chance(0.03):
            data = inject_raw(self.rng, data)
        (self.late if late else self.lines).append(data)

    def alias(self, nick, address_text, quoted=None):
        self.emit(f"alias {self.nick_field(nick, quoted)} {address_text}")

    def note(self, nick, text, late=False):
        self.emit(f"note {self.nick_field(nick)} {text}", late)

    def person(self):
        nick = self.new_nickname()
        items = [self.item() for _ in range(self.rng.choices([1, 2, 3, 5], [75, 15, 7, 3])[0])]
        if self.chance(0.03):  # many addresses: more than the few compared one by one
            items += [self.address() for _ in range(self.rng.randint(16, 40))]
        if self.f["dupes"] and self.chance(0.1):  # the same address in other letter case
            a = self.address()
            items += [a, a.upper()]
        if self.f["lists"] and self.chance(0.05) and len(self.nicknames) > 2:
            # a person naming others beside its own addresses
            items += [self.member(n) for n in self.rng.sample(self.nicknames[:-1], 2)]
        self.alias(nick, self.join_items(items))
        if self.chance(0.08):  # a second alias line, maybe in other letter case
            self.alias(self.variant(nick) if self.chance(0.5) else nick, self.join_items(
                [self.item()]))
        if self.chance(0.7):
            name = self.display_name() if self.chance(0.8) else None
            late = self.f["late_notes"] and self.chance(0.1)
            self.note(nick, self.note_text(name), late)
            if self.chance(0.1):  # several note lines for one nickname
                self.note(self.variant(nick), self.note_text(), self.chance(0.5))
        return nick

    def list_entry(self, members, own=()):
        nick = self.new_nickname()
        self.alias(nick, self.join_items(list(own) + [self.member(m) for m in members]))
        if self.chance(0.3):
            self.note(nick, self.note_text(self.display_name() if self.chance(0.5) else None))
        return nick

    def lists(self):
        """The shapes lists take, a few of them per call."""
        people = self.nicknames or [self.person()]
        shape = self.rng.randint(0, 11)
        pick = lambda k: [self.rng.choice(people) for _ in range(k)]  # noqa: E731
        if shape == 0:  # a list of people
            self.list_entry(pick(self.rng.randint(2, 8)))
        elif shape == 1:  # lists of lists
            a = self.list_entry(pick(3))
            b = self.list_entry(pick(2))
            self.list_entry([a, b] + pick(1))
        elif shape == 2:  # a chain of one-member lists
            length = self.rng.choice([2, 3, 5, 30])
            names = [self.new_nickname() for _ in range(length)]
            target = self.rng.choice(people)
            for i, n in enumerate(names):
                self.alias(n, self.member(names[i + 1] if i + 1 < length else target))
        elif shape == 3:  # a cycle of two
            x, y = self.new_nickname(), self.new_nickname()
            self.alias(x, self.join_items([self.member(y)] + pick(1)))
            self.alias(y, self.member(x))
        elif shape == 4:  # a ring, short or longer than a warning shows
            length = self.rng.choice([3, 4, 13, 15])
            names = [self.new_nickname() for _ in range(length)]
            for i, n in enumerate(names):
                self.alias(n, self.member(names[(i + 1) % length]))
        elif shape == 5:  # a list naming itself
            me = self.new_nickname()
            self.alias(me, self.join_items([self.member(me)] + pick(self.rng.randint(0, 2))))
        elif shape == 6:  # members in other letter case, quoted, twice
            n = self.rng.choice(people)
            self.list_entry([n, self.variant(n), n, f'"{n}"'] + pick(1))
        elif shape == 7:  # members that only another book has
            self.list_entry([self.rng.choice(self.cross_names)
                             for _ in range(self.rng.randint(1, 3))] + pick(1))
        elif shape == 8:  # lists reaching each other in a knot, with people beside
            a, b, c = (self.new_nickname() for _ in range(3))
            self.alias(a, self.join_items([b, c] + pick(1)))
            self.alias(b, self.join_items([c, a]))
            self.alias(c, self.join_items([a] + pick(2) + [self.address()]))
        elif shape == 9:  # a list whose member is a list of one list
            inner = self.list_entry(pick(2))
            middle = self.list_entry([inner])
            self.list_entry([middle])
        elif shape == 10:  # a list of mixed members and plain addresses
            self.list_entry(pick(2), own=[self.item(), self.address()])
        else:  # a person naming itself among its addresses
            me = self.new_nickname()
            self.alias(me, self.join_items([self.address(), self.member(me)]))

    def odd_lines(self):
        """Lines that are no alias or note line, or barely one."""
        choice = self.rng.choice([
            "", "", "# a comment", "Alias upper " + self.address(), " alias indented x@y.example",
            "ALIAS shout a@b.example", "alias", "note", "notes x y", "aliases x y", "alias ",
            "note ", "alias  double-blank " + self.address(), "alias \"\" " + self.address(),
            "note \"\" <name:Nobody>", "alias onlynick", "\t", "   ", "garbage " + MARK + " line",
            "alias " + MARK + " " + self.address(), "note " + self.rng.choice(self.nicknames or ["x"]),
        ])
        self.emit(choice)

    def note_without_alias(self):
        nick = self.new_nickname()
        self.nicknames.pop()  # no alias line names it
        self.note(nick, self.note_text(self.display_name()), self.chance(0.5))

    def build(self, entries):
        while self.serial < entries:
            r = self.rng.random()
            if r < 0.8 or not self.f["lists"]:
                self.person()
            else:
                self.lists()
            if self.f["odd"] and self.chance(0.05):
                self.odd_lines()
            if self.f["late_notes"] and self.chance(0.01):
                self.note_without_alias()
        if self.f["cross"] and self.chance(0.5):  # define some names other books name
            for n in self.rng.sample(self.cross_names, 2):
                self.alias(n, self.join_items([self.item()]))
        lines = self.lines
        for data in self.late:  # notes far from their alias lines
            lines.insert(self.rng.randint(0, len(lines)), data)
        return lines


def inject_raw(rng, data):
    """Bytes that are no text in the book's character set, or barely."""
    raw = rng.choice([b"\x00", b"\x01", b"\x07", b"\x1b", b"\x7f", b"\x81", b"\x8d", b"\x90",
                      b"\x9d", b"\x85", b"\x9f", b"\xc3", b"\xc0\x80", b"\xed\xa0\x80",
                      b"\xf5\x80\x80\x80", b"\xe2\x82", b"\xff\xfe", b"\xef\xbb\xbf", b"\x03",
                      b"\x03\x03", b"\t", b"\x0c", b"\x0b", b"\xf4\x90\x80\x80", b"\xc2\x85"])
    at = rng.randint(0, len(data))
    return data[:at] + raw + data[at:]


# ---------------------------------------------------------------------------
# Whole books.

def random_features(rng):
    return {
        "latin": rng.choice([0.0, 0.1, 0.3, 0.6]),
        "wide": rng.choice([0.0, 0.0, 0.1, 0.3]),
        "dupes": rng.random() < 0.4,
        "lists": rng.random() < 0.6,
        "odd": rng.random() < 0.5,
        "marker": rng.random() < 0.6,
        "raw": rng.random() < 0.2,
        "late_notes": rng.random() < 0.4,
        "cross": rng.random() < 0.5,
    }


def line_ends(rng, lines, style):
    """Joins the lines with the style's line ends."""
    if style == "mixed":
        out = b"".join(line + rng.choice([b"\r\n", b"\n", b"\r"]) for line in lines)
    else:
        end = {"crlf": b"\r\n", "lf": b"\n", "cr": b"\r"}[style]
        out = end.join(lines) + (end if rng.random() < 0.85 else b"")
    return out


def make_book(rng, entries, cross_names, charset=None, features=None):
    charset = charset or rng.choices(list(CODECS), [40, 15, 15, 30])[0]
    features = features or random_features(rng)
    book = Book(rng, charset, features, cross_names)
    lines = book.build(entries)
    if charset != "utf-8" and features["wide"] and rng.random() < 0.3:
        # a line in UTF-8 in a single-byte book
        lines.insert(rng.randint(0, len(lines)),
                     f"alias utf8line{rng.randint(0, 99)} \"Zoë 山田\" <z@example.com>".encode())
    if rng.random() < 0.01 and lines:
        # a line longer than the page's positions reach
        big = ", ".join(book.address() for _ in range(1800))
        lines.insert(rng.randint(0, len(lines)), f"alias huge{rng.randint(0, 99)} {big}".encode())
    if rng.random() < 0.005:
        lines.append(b"alias " + b"n" * 33000 + b" long@nickname.example")
    style = rng.choices(["crlf", "lf", "cr", "mixed"], [50, 25, 13, 12])[0]
    data = line_ends(rng, lines, style)
    if charset == "utf-8" and rng.random() < 0.3:
        data = b"\xef\xbb\xbf" + data
    elif rng.random() < 0.02:
        data = b"\xef\xbb\xbf" + data  # a byte-order mark where it is not UTF-8
    desc = (f"{entries} entries, {charset}, {style} line ends, "
            + ",".join(k for k, v in features.items() if v))
    return data, desc


EMPTY_BOOKS = [
    (b"", "empty file"),
    (b"\r\n\r\n\r\n", "blank lines (CR LF)"),
    (b"\n", "one blank line"),
    (b"\r", "one CR"),
    (b"\xef\xbb\xbf", "a byte-order mark alone"),
    (b"\xef\xbb\xbf\r\n", "a byte-order mark and a line end"),
    (b"# Eudora nickname file\r\n# nothing else\r\n", "comments only"),
    (b"Alias Bob bob@example.com\r\n alias ann ann@example.com\r\n", "no alias line (case, blank)"),
    (b"alias\r\nnote\r\n", "keywords without blanks"),
    (b"alias \r\nnote \r\n", "keywords and nothing after them"),
    (b"   \t  \r\n\t\r\n", "blanks and tabs"),
    (b"\x00\x00\x00\x00", "NUL bytes"),
    (b"\x03\x03\r\n", "markers only"),
    (b"note lonely <name:Nobody>\r\n", "a note line alone"),
    (b"alias \"", "an opening quote only"),
    (b"alias \"\"", "an empty quoted nickname only"),
]


def write_file(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def book_name(rng, i):
    """Book file names, most plain, some that a command line or a title makes hard."""
    base = f"b{i:04d}"
    r = rng.random()
    if r < 0.75:
        return base + ".txt"
    return rng.choice([
        base + ".TXT", base + ".nnt", base, base + " with blanks.txt", base + "-Zoë.txt",
        os.fsdecode(base.encode() + b"-M\xfcller.txt"), base + "-$`#'.txt", base + "-[x];y.txt",
        base + '-"q".txt', base + "-山田.txt", base + ".txt.txt", base + "-nndbase.txt",
        base + "-ends-with-dot.", base + "-%s%d.txt", base + "-é",
    ])


SPECIAL_NAMES = ["-dash.txt", "abc", "abcd", "nndbase.txt", "Eudora Nicknames", "x.htm.txt"]


def make_folder(rng, out_dir, index, cross_names):
    """An Eudora folder; returns its name and what it holds."""
    name = f"f{index:03d}-eudora"
    root = os.path.join(out_dir, name)
    os.makedirs(root)
    desc = []
    shared = []  # nicknames the main book has, reused by the other books

    def small_book(entries, reuse=True):
        rng2 = random.Random(rng.random())
        data, d = make_book(rng2, entries, cross_names + shared if reuse else cross_names)
        if reuse and shared:  # the same nicknames as the main book, other addresses
            extra = []
            for n in rng.sample(shared, min(3, len(shared))):
                extra.append(f"alias {rng.choice([n, n.upper()])} {n}@other-book.example\r\n")
                if rng.random() < 0.5:
                    extra.append(f"alias team{index} {n}, {rng.choice(shared)}\r\n")
            data += "".join(extra).encode("utf-8")
        return data, d

    main = rng.choices(["nndbase.txt", "NNDBASE.TXT", "nndbase.nnt", "Eudora Nicknames", None,
                        "two"], [35, 10, 10, 20, 10, 15])[0]
    if main:
        entries = rng.randint(0, 150)
        main_rng = random.Random(rng.random())
        data, d = make_book(main_rng, entries, cross_names)
        shared.extend([f"m{index}x{k}" for k in range(4)])
        data += "".join(f"alias {n} {n}@main.example\r\n" for n in shared).encode()
        if main == "two":  # two main books: the first in the order looked for wins
            write_file(os.path.join(root, "nndbase.nnt"), data)
            write_file(os.path.join(root, "Eudora Nicknames"),
                       b"alias loser loser@example.com\r\n")
            desc.append("nndbase.nnt and Eudora Nicknames")
        else:
            write_file(os.path.join(root, main), data)
            desc.append(f"{main} ({d})")

    sub = rng.choices(["Nickname", "nickname", "NICKNAME", None], [50, 10, 5, 35])[0]
    if sub:
        for k in range(rng.randint(1, 4)):
            fname = rng.choice([f"book{k}.txt", f"Book {k}.TXT", f"b{k}-Zoë.txt", f"nndbase.txt"
                                if k == 0 else f"z{k}.txt"])
            data, d = small_book(rng.randint(0, 60))
            write_file(os.path.join(root, sub, fname), data)
        write_file(os.path.join(root, sub, ".hidden.txt"), b"alias hidden hidden@example.com\r\n")
        write_file(os.path.join(root, sub, "notes.doc"), b"alias notabook x@example.com\r\n")
        write_file(os.path.join(root, sub, "toc.txt.bak"), b"alias notabook y@example.com\r\n")
        os.makedirs(os.path.join(root, sub, "folder.txt"))  # a folder, no book
        desc.append(f"{sub}/")

    nf = rng.choices(["Nicknames Folder", "nicknames folder", None], [30, 5, 65])[0]
    if nf:
        for k in range(rng.randint(1, 3)):
            fname = rng.choice([f"any{k}", f"list{k}.nnt", f"more{k}.txt"])
            data, d = small_book(rng.randint(0, 40))
            write_file(os.path.join(root, nf, fname), data)
        write_file(os.path.join(root, nf, ".DS_Store"), b"\x00\x00\x00\x01Bud1")
        desc.append(f"{nf}/")

    if rng.random() < 0.6:
        ini_name = rng.choice(["eudora.ini", "EUDORA.INI", "Eudora.ini"])
        dirs = []
        rel = f"extra{rng.randint(0, 9)}"
        if rng.random() < 0.7:  # a folder inside, named relative
            for k in range(rng.randint(1, 2)):
                data, d = small_book(rng.randint(1, 30))
                write_file(os.path.join(root, rel, f"x{k}.txt"), data)
            write_file(os.path.join(root, rel, "skip.nnt"), b"alias skipped s@example.com\r\n")
            dirs.append(rel)
        if rng.random() < 0.5:  # a folder elsewhere, named by its absolute path
            absdir = os.path.join(os.path.abspath(out_dir), "_extra", f"for-{name}")
            data, d = small_book(rng.randint(1, 30))
            write_file(os.path.join(absdir, "abs.txt"), data)
            dirs.append(absdir)
        if rng.random() < 0.4:  # relative, going up and back
            dirs.append(f"../{name}/{rel}")
        if rng.random() < 0.3:
            dirs.append("missing-folder")
        if rng.random() < 0.2:
            dirs.append("")
        sep = rng.choice([";", " ; ", ";;"])
        body = ["[Settings]", f"ExtraNicknameDirs{rng.choice(['=', ' = '])}{sep.join(dirs)}"]
        if rng.random() < 0.4:  # the key in another section counts for nothing
            body = ["[Personalities]", "ExtraNicknameDirs=Nickname"] + body
        if rng.random() < 0.3:
            body = [rng.choice(["; a comment", "[settings]", "Other=1"])] + body
        ini = rng.choice(["\r\n", "\n"]).join(body) + "\r\n"
        write_file(os.path.join(root, ini_name), ini.encode("utf-8"))
        desc.append(f"{ini_name}: {';'.join(dirs)}")
    write_file(os.path.join(root, ".hidden-nndbase.txt"), b"alias h h@example.com\r\n")
    write_file(os.path.join(root, "readme.md"), b"not a book\n")
    if sub and main and main != "two" and rng.random() < 0.2:  # a link to the main book
        os.symlink(os.path.join("..", main), os.path.join(root, sub, "link.txt"))
        desc.append("a link to the main book")
    return name, "; ".join(desc) or "no book at all"


def default_corpus():
    here = os.path.dirname(os.path.abspath(__file__))
    return os.path.join(here, "..", "tests", "fuzz", "corpus", "contacts")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("out_dir")
    parser.add_argument("--count", type=int, default=1000, help="books (default 1000)")
    parser.add_argument("--folders", type=int, default=60, help="Eudora folders (default 60)")
    parser.add_argument("--large", type=int, default=8,
                        help="of the books, those with 5,000 to 20,000 entries (default 8)")
    parser.add_argument("--seed", default="1", help="the seed (default 1)")
    parser.add_argument("--fuzz-corpus", default=default_corpus(),
                        help="a folder of fuzzer inputs to add as books")
    parser.add_argument("--no-fuzz-corpus", action="store_true")
    args = parser.parse_args()

    out_dir = args.out_dir
    if os.path.exists(out_dir) and os.listdir(out_dir):
        sys.exit(f"{out_dir}: exists and is not empty")
    os.makedirs(out_dir, exist_ok=True)
    rng = random.Random(f"veltrana-books:{args.seed}")
    cross_names = [f"xref{k}" for k in range(8)] + ["Shared Friend", "shared.friend", "ÄRGER",
                                                    "ärger"]
    manifest = []

    large_at = set(rng.sample(range(len(EMPTY_BOOKS), args.count), min(args.large, args.count)))
    names_used = set()
    for i in range(args.count):
        book_rng = random.Random(f"{args.seed}:book:{i}")
        if i < len(EMPTY_BOOKS):
            data, desc = EMPTY_BOOKS[i]
        else:
            if i in large_at:
                entries = book_rng.randint(5000, 20000)
            else:
                entries = int(book_rng.choices([book_rng.randint(1, 10), book_rng.randint(1, 60),
                                                book_rng.randint(1, 200)], [40, 40, 20])[0])
            data, desc = make_book(book_rng, entries, cross_names)
        name = book_name(book_rng, i)
        special = i - len(EMPTY_BOOKS)
        if 0 <= special < len(SPECIAL_NAMES):
            name = SPECIAL_NAMES[special]
        if name in names_used:
            name = f"b{i:04d}.txt"
        names_used.add(name)
        write_file(os.path.join(out_dir, name), data)
        manifest.append(f"{os.fsencode(name)!r}\t{len(data)} bytes\t{desc}")

    for k in range(args.folders):
        folder_rng = random.Random(f"{args.seed}:folder:{k}")
        name, desc = make_folder(folder_rng, out_dir, k, cross_names)
        manifest.append(f"{name}/\t{desc}")

    if not args.no_fuzz_corpus and os.path.isdir(args.fuzz_corpus):
        charsets = ["windows-1252", "iso-8859-1", "macintosh", "utf-8"]
        for entry in sorted(os.listdir(args.fuzz_corpus)):
            with open(os.path.join(args.fuzz_corpus, entry), "rb") as f:
                data = f.read()
            if not data:
                continue
            name = f"fuzz-{entry}.txt"
            write_file(os.path.join(out_dir, name), data[1:])
            manifest.append(f"{name}\t{len(data) - 1} bytes\tthe fuzzer read it as "
                            f"{charsets[data[0] % 4]}")

    with open(os.path.join(out_dir, "_manifest.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(manifest) + "\n")


if __name__ == "__main__":
    main()
