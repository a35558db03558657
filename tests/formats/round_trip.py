#!/usr/bin/env python3
"""Round trip of the export through the parsers real address books use.

Generates address books (and reads the sample book with a small reader of
its own), runs `veltrana-convert --export` on each in vCard 3.0, vCard 4.0,
CSV and LDIF, and on several books at once, parses the results with
python3-vobject and Python's csv module, with Thunderbird's ical.js and
papaparse (npm), with Evolution's EContact (gir1.2-ebookcontacts-1.2) and
with python-ldap's LDIF parser, and compares every field with what the book
means. What a client cannot hold is listed in CLIENT_LIMITS and asserted as
that client's limit, not left out.

    round_trip.py CONVERTER SAMPLE_BOOK NODE_MODULES [BOOKS]

Exits 77 (skipped) when a parser is not installed.
"""
import csv
import io
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

import json

try:
    import vobject
    import ldif
    import gi
    gi.require_version("EBookContacts", "1.2")
    from gi.repository import EBookContacts
except (ImportError, ValueError) as missing:
    print("SKIPPED: %s (scripts/install-deps.sh installs python3-vobject, python3-ldap, "
          "python3-gi and gir1.2-ebookcontacts-1.2)" % missing)
    sys.exit(77)

# What a client cannot hold, and how the round trip holds it to that.
CLIENT_LIMITS = {
    "thunderbird-3.0-semicolon": "ical.js keeps the backslash of '\\;' in a vCard 3.0 text "
                                 "value: for Thunderbird use vCard 4.0 or LDIF",
    "evolution-4.0-semicolon": "Evolution ends a text value at a bare ';' in any version: "
                               "for Evolution use vCard 3.0 or LDIF",
    "thunderbird-other-phone": "Thunderbird files a phone by the first type it knows (work, "
                               "home, cell, fax, pager); an 'other' phone (VOICE alone) has none",
    "evolution-four-emails": "Evolution shows four e-mail addresses (email-1 to email-4); the "
                             "rest stay in the card",
    "evolution-one-url": "Evolution shows the first URL as the home page; the rest stay in the card",
    "vobject-url-comma": "python-vobject reads a URL as a list of texts and keeps what comes "
                         "before the first comma; a URL is a URI, written as it is",
    "ldif-fields": "Thunderbird's card holds two addresses and one phone of each kind; the rest "
                   "are in the description as 'tag: value' lines",
}

MARK = "\x03"
CHARSETS = {"windows-1252": "cp1252", "iso-8859-1": "latin-1", "macintosh": "mac_roman",
            "utf-8": "utf-8"}
SINGLE = ["name", "first", "last", "title", "company"]
POSTAL = ["address", "city", "state", "zip", "country"]
POSTAL2 = [p + "2" for p in POSTAL]
PHONES = {"phone": "home", "phone2": "work", "mobile": "mobile", "fax": "fax",
          "mobile2": "workmobile", "fax2": "workfax"}
WEBS = {"web": "home", "web2": "work"}
UNKNOWN = ["birthday", "spouse", "x-colour", "Name"]


def fold(text):
    """Letter case as the program ignores it: ASCII and Latin-1 capitals."""
    return "".join(chr(ord(c) + 32) if "A" <= c <= "Z" or ("\xc0" <= c <= "\xde" and c != "\xd7")
                   else c for c in text)


def clean(value):
    return value.strip(" \t\r\n").replace(MARK, "\n").strip(" \t\r\n")


# ---------------------------------------------------------------- the model
# A book is a list of records: [nickname, [address texts], [note texts]],
# merged by folded nickname. The expectations are computed from it.

ITEM_FORMS = [
    (re.compile(r'^"([^"]*)"\s*<([^<>]*)>$'), lambda m: ([m[2].strip()], m[1])),
    (re.compile(r'^<([^<>]*)>\s*\(([^()]*)\)$'), lambda m: ([m[1].strip()], m[2])),
    (re.compile(r'^<([^<>]*)>$'), lambda m: ([m[1].strip()], "")),
    (re.compile(r'^([^"<>(),]+?)\s*<([^<>]*)>$'), lambda m: ([m[2].strip()], m[1])),
    (re.compile(r'^(\S+@\S+)\s*\(([^()]*)\)$'), lambda m: ([m[1]], m[2])),
    (re.compile(r'^(\S+@\S+)$'), lambda m: ([m[1]], "")),
    (re.compile(r'^\S+@\S+(\s+\S+@\S+)+$'), lambda m: (m[0].split(), "")),
]


def split_items(text):
    """Commas outside quotes, parentheses and angle brackets; the marker."""
    items, current, depth, quoted, angled = [], "", 0, False, False
    for c in text:
        if c == MARK:
            items.append(current)
            current, depth, quoted, angled = "", 0, False, False
            continue
        if quoted:
            quoted = c != '"'
        elif depth:
            depth += {"(": 1, ")": -1}.get(c, 0)
        elif angled:
            angled = c != ">"
        elif c == ",":
            items.append(current)
            current = ""
            continue
        else:
            quoted, depth, angled = c == '"', 1 if c == "(" else 0, c == "<"
        current += c
    items.append(current)
    return [i.strip(" \t") for i in items if i.strip(" \t")]


def parse_item(item):
    for pattern, take in ITEM_FORMS:
        m = pattern.match(item)
        if m:
            addresses, name = take(m)
            return addresses, " ".join(name.split())
    return [], ""


TAG = re.compile(r"<([A-Za-z0-9_-]+):(?!//)([^>]*)>")


def note_parts(text):
    parts, at = [], 0
    for m in TAG.finditer(text):
        parts.append(("free", text[at:m.start()]))
        parts.append((m[1], m[2]))
        at = m.end()
    parts.append(("free", text[at:]))
    return parts


def read_book(text):
    """A reader of nickname files of its own, for the sample book."""
    records, index = [], {}
    for line in re.split(r"\r\n|\r|\n", text):
        kind = "alias" if line.startswith("alias ") else "note" if line.startswith("note ") else None
        if kind is None:
            continue
        rest = line[len(kind) + 1:]
        if rest.startswith('"'):
            nick, _, rest = rest[1:].partition('"')
        else:
            blank = rest.find(" ", 1)
            nick, rest = (rest, "") if blank < 0 else (rest[:blank], rest[blank + 1:])
        nick = nick.strip(" \t")
        if fold(nick) not in index:
            index[fold(nick)] = len(records)
            records.append([nick, [], []])
        record = records[index[fold(nick)]]
        (record[1] if kind == "alias" else record[2]).append(rest)
    return records


def expect(books):
    """What each contact must hold, from the records of its books: a list of
    (book name, records); a nickname names a contact of its own book first."""
    offsets, indexes, total = [], [], 0
    for _, records in books:
        offsets.append(total)
        indexes.append({fold(r[0]): total + i for i, r in enumerate(records)})
        total += len(records)
    contacts = []
    for book, (book_name, records) in enumerate(books):
        for i, record in enumerate(records):
            contacts.append(expect_contact(record, offsets[book] + i, book, book_name, indexes))
    for c in contacts:
        c["resolved"] = resolve(contacts, contacts.index(c))
    return contacts


def expect_contact(record, self_index, book, book_name, indexes):
    nick, aliases, notes = record
    c = dict(nick=nick, emails=[], email_names=[], members=[], phones=[], home=[], work=[],
             webs=[], title="", company="", notes=[], names={}, real="", category=book_name)
    keys, items, member_items = set(), 0, 0
    lookup = [indexes[book]] + [x for b, x in enumerate(indexes) if b != book]

    def add_email(address, name=""):
        if address.lower() not in keys:
            keys.add(address.lower())
            c["emails"].append(address)
            c["email_names"].append(name)

    def set_once(store, key, keyword, value):
        if not store.get(key):
            store[key] = value
        elif store[key] != value:
            c["notes"].append(keyword + ": " + value)

    for text in aliases:
        for item in split_items(text):
            items += 1
            unquoted = item[1:-1] if re.match(r'^"[^"]*"$', item) else item
            target = next((x[fold(unquoted.strip(" \t"))] for x in lookup
                           if fold(unquoted.strip(" \t")) in x), None)
            if target is not None:
                member_items += 1
                if target != self_index and target not in c["members"]:
                    c["members"].append(target)
                continue
            addresses, name = parse_item(item)
            if not addresses:
                c["notes"].append("email: " + item)
            for a in addresses:
                add_email(a, name)
            if addresses and not c["real"]:
                c["real"] = name
    for text in notes:
        postal = {"home": {}, "work": {}}
        for keyword, raw in note_parts(text):
            if keyword == "free":
                if clean(raw):
                    c["notes"].append(clean(raw))
                continue
            if keyword in ("otheremail", "otherphone", "otherweb"):
                for value in filter(None, (clean(v) for v in raw.split(MARK))):
                    if keyword == "otherphone":
                        c["phones"].append(("other", value))
                    elif keyword == "otherweb":
                        c["webs"].append(("other", value))
                    else:
                        addresses, name = parse_item(value)
                        if not addresses:
                            c["notes"].append(keyword + ": " + value)
                        for a in addresses:
                            add_email(a, name)
                continue
            value = clean(raw)
            if not value:
                continue
            if keyword in SINGLE:
                store, key = (c, keyword) if keyword in ("title", "company") else (c["names"], keyword)
                set_once(store, key, keyword, value)
            elif keyword in PHONES:
                c["phones"].append((PHONES[keyword], value))
            elif keyword in WEBS:
                c["webs"].append((WEBS[keyword], value))
            elif keyword in POSTAL or keyword in POSTAL2:
                side = "work" if keyword in POSTAL2 else "home"
                set_once(postal[side], keyword.rstrip("2"), keyword, value)
            else:
                c["notes"].append(keyword + ": " + value)
        for side in ("home", "work"):
            address = tuple(postal[side].get(k, "") for k in POSTAL)
            if any(address) and address not in c[side]:
                c[side].append(address)
    c["is_list"] = items > 0 and member_items == items
    choose_names(c)
    c["email_notes"] = ["email: %s <%s>" % (n, a) for a, n in zip(c["emails"], c["email_names"])
                        if n and n != c["fn"]]
    return c


def choose_names(c):
    n = c["names"]
    first, last = n.get("first", ""), n.get("last", "")
    c["given"], c["family"] = (first, last) if first or last else ("", "")
    first_last = " ".join(x for x in (first, last) if x)
    for name in (n.get("name", ""), first_last, c["real"]):
        if name:
            c["fn"] = name
            if not (c["given"] or c["family"]) and not c["is_list"]:
                if "," in name:  # "Doe, John"
                    family, _, given = name.partition(",")
                    c["given"], c["family"] = given.strip(" \t\r\n"), family.strip(" \t\r\n")
                else:
                    given, _, family = name.rpartition(" ")
                    c["given"], c["family"] = (given.strip(" \t\r\n"), family) if given else (name, "")
            return
    c["fn"] = c["nick"] or (c["emails"][0] if c["emails"] else "")


def resolve(contacts, root):
    if not contacts[root]["members"]:
        return list(contacts[root]["emails"])
    seen, out = set(), []

    def take(i):
        for a in contacts[i]["emails"]:
            if a.lower() not in seen:
                seen.add(a.lower())
                out.append(a)

    take(root)
    for m in walk(contacts, root, lambda m: True):
        take(m)
    return out


def walk(contacts, root, descend):
    """The contacts a list names, depth first, each once (the root not
    again); `descend` says whether a member's own members follow it."""
    seen, stack = {root}, [[root, 0]]
    while stack:
        top = stack[-1]
        members = contacts[top[0]]["members"]
        if top[1] == len(members):
            stack.pop()
            continue
        m = members[top[1]]
        top[1] += 1
        if m in seen:
            continue
        seen.add(m)
        yield m
        if descend(m):
            stack.append([m, 0])


# ---------------------------------------------------------------- generated books

GIVEN = ["Ann", "Bob", "Jürgen", "Zoë", "François", "Åsa", "Øystein", "Núria", "Ærin", "Ines",
         "Œdipe", "Šárka", "Łukasz", "Дмитрий", "李雷", "Søren", "Mía"]
FAMILY = ["Lee", "Marsh", "Müller", "Ångström", "Ruiz", "Dupré", "Ørsted", "Nuñez", "O'Neil",
          "Ćosić", "Петров", "王", "van Dijk", "Le Blanc"]
WORDS = ["lunch", "call", "Montag", "café", "naïve", "ski", "garden", "über", "señor", "plan",
         "a;b", "x,y", "back\\slash", "colon:", "quote\"d", "Ωmega", "深圳"]


def encodable(text, codec):
    try:
        text.encode(codec)
        return True
    except UnicodeEncodeError:
        return False


class Generator:
    def __init__(self, rng, charset):
        self.rng, self.codec = rng, CHARSETS[charset]
        # Latin-1 letters read the same in every mapping of these code pages.
        eight_bit = charset != "utf-8"
        self.ok = lambda t: encodable(t, self.codec) and (
            not eight_bit or all(ord(ch) < 256 or charset == "windows-1252" for ch in t))

    def pick(self, pool):
        return self.rng.choice([p for p in pool if self.ok(p)])

    def words(self, low, high):
        return " ".join(self.pick(WORDS) for _ in range(self.rng.randint(low, high)))

    def person(self):
        return self.pick(GIVEN) + " " + self.pick(FAMILY)

    def address(self):
        r = self.rng
        return "".join(r.choice("abcdefghijklmnopqrstuvwxyz0123456789.") for _ in range(r.randint(1, 9))) + \
            str(r.randint(0, 999)) + "@" + r.choice(["mail", "post", "example", "x-y"]) + ".example"

    def item(self):
        r, a = self.rng, self.address()
        plain_name = self.person()
        form = r.randrange(6)
        return [a, "<" + a + ">", plain_name + " <" + a + ">",
                '"' + self.person() + ", " + self.pick(WORDS).replace('"', "").replace("\\", "") + '" <' + a + ">",
                a + " (" + plain_name + ")", "<" + a + "> (" + plain_name + ")"][form]

    def value(self):
        return self.words(1, 3).replace("<", "").replace(">", "")

    def note(self):
        r = self.rng
        parts = []
        tags = SINGLE + POSTAL + POSTAL2 + list(PHONES) + list(WEBS) + \
            ["otheremail", "otherphone", "otherweb"] + UNKNOWN
        for _ in range(r.randint(0, 9)):
            if r.random() < 0.25:
                parts.append(self.words(1, 4) + r.choice(["", MARK + self.words(1, 2)]))
            kw = r.choice(tags)
            if kw in ("name",):
                v = self.person()
            elif kw in ("first", "last"):
                v = self.pick(GIVEN if kw == "first" else FAMILY)
            elif kw in PHONES or kw == "otherphone":
                v = MARK.join("+%d %d" % (r.randint(1, 99), r.randint(1000, 99999999))
                              for _ in range(r.randint(1, 3 if kw == "otherphone" else 1)))
            elif kw in WEBS or kw == "otherweb":
                v = MARK.join("https://%s.example/%s%s" % (r.choice(["a", "b-c"]), r.randint(0, 99),
                                                         r.choice(["", "?q=51.5,-0.12;z"]))
                              for _ in range(r.randint(1, 2 if kw == "otherweb" else 1)))
            elif kw == "otheremail":
                v = MARK.join(self.address() for _ in range(r.randint(1, 3)))
            elif kw in ("address", "address2"):
                v = self.value() + MARK + str(r.randint(1, 99)) + " " + self.value() + r.choice(["", MARK])
            else:
                v = self.value()
            parts.append("<%s:%s>" % (kw, v))
        if r.random() < 0.5:
            parts.append(self.words(1, 6))
        return r.choice(["", " "]).join(parts)

    def book(self):
        r = self.rng
        count = r.randint(3, 24)
        nicks, folded = [], set()
        while len(nicks) < count:
            nick = r.choice(["", self.pick(GIVEN)]) + "".join(
                r.choice("abcxyzAB") for _ in range(r.randint(1, 5)))
            if r.random() < 0.15:
                nick = self.person()  # a quoted nickname with a blank
            if nick and fold(nick) not in folded and " " not in nick.strip() or (
                    " " in nick and fold(nick) not in folded):
                folded.add(fold(nick))
                nicks.append(nick)
        kinds = [r.choice(["person"] * 6 + ["list"] * 3 + ["mixed"]) for _ in nicks]
        if r.random() < 0.4 and count >= 2:  # a cycle of two lists
            kinds[0] = kinds[1] = "cycle"
        lines = []
        for i, nick in enumerate(nicks):
            written = nick if r.random() < 0.5 else "".join(
                ch.swapcase() if ch.isascii() else ch for ch in nick)
            quoted = '"' + written + '"' if " " in nick else written

            def ref(j):
                other = "".join(ch.swapcase() if ch.isascii() and r.random() < 0.5 else ch
                                for ch in nicks[j])
                return '"' + other + '"' if " " in other and r.random() < 0.5 else other

            if kinds[i] == "cycle":
                items = [ref(1 - i)] + [ref(r.randrange(count)) for _ in range(r.randint(0, 2))]
            elif kinds[i] == "list":
                items = [ref(r.randrange(count)) for _ in range(r.randint(1, 4))]
            else:
                items = [self.item() for _ in range(r.randint(0 if kinds[i] == "person" else 1, 4))]
                if kinds[i] == "mixed":
                    items.insert(r.randrange(len(items) + 1), ref(r.randrange(count)))
            separators = [", ", ",", MARK, " ,  "]
            text = ""
            for k, item in enumerate(items):
                text += (r.choice(separators) if k else "") + item
            lines.append("alias %s %s" % (quoted, text))
            if r.random() < 0.1 and i + 1 < count:  # the next nickname's note, before its alias
                following = '"' + nicks[i + 1] + '"' if " " in nicks[i + 1] else nicks[i + 1]
                lines.append("note %s %s" % (following, self.note()))
            if r.random() < 0.8:
                lines.append("note %s %s" % (quoted, self.note()))
            if r.random() < 0.1:  # more of the same nickname, further down
                lines.append("# the same nickname again")
                lines.append("note %s %s" % (quoted, self.note()))
        if r.random() < 0.3:
            lines.insert(r.randrange(len(lines) + 1), "alias %s %s" % (
                '"' + nicks[0] + '"' if " " in nicks[0] else nicks[0].upper(), self.item()))
        return "".join(line + "\r\n" for line in lines)


# ---------------------------------------------------------------- the checks

class Mismatch(Exception):
    pass


def same(what, got, want):
    if got != want:
        raise Mismatch("%s: got %r, want %r" % (what, got, want))


# The TYPE list of each kind of phone: the kind of line before the place.
TEL_TYPES = {"home": ["home", "voice"], "work": ["work", "voice"], "mobile": ["cell", "voice"],
             "fax": ["fax", "home"], "other": ["voice"], "workfax": ["fax", "work"],
             "workmobile": ["cell", "work"]}
# Thunderbird files a number under the first type of the list it knows.
THUNDERBIRD_TEL = {"work": "work", "home": "home", "cell": "cell", "fax": "fax", "pager": "pager"}
# Evolution's field for the first number of each kind.
EVOLUTION_TEL = {"home": "home-phone", "work": "business-phone", "mobile": "mobile-phone",
                 "fax": "home-fax", "workfax": "business-fax", "other": "other-phone",
                 "workmobile": "mobile-phone"}


def types(line):
    return {t.lower() for value in line.params.get("TYPE", []) for t in value.split(",")}


def values(card, name):
    return card.contents.get(name, [])


def note_text(c):
    return "\n".join(c["notes"] + c["email_notes"])


def check_cards(raw, contacts, version):
    text = raw.decode("utf-8")
    for physical in text.split("\r\n")[:-1]:
        if len(physical.encode("utf-8")) > 75 or "\n" in physical or "\r" in physical:
            raise Mismatch("line too long or a bare line end: %r" % physical)
    same("the file ends with CR LF", text.endswith("\r\n"), True)
    cards = list(vobject.readComponents(text))
    same("cards", len(cards), len(contacts))
    uids = [values(card, "uid")[0].value for card in cards]
    same("distinct UIDs", len(set(uids)), len(uids))
    by_uid = {u: c["nick"] for u, c in zip(uids, contacts)}
    for card, c in zip(cards, contacts):
        who = "%s (vCard %s)" % (c["nick"], version)
        try:
            check_card(card, c, version, by_uid)
        except Mismatch as error:
            raise Mismatch("%s: %s" % (who, error))
    return uids


def check_card(card, c, version, by_uid):
    same("VERSION", values(card, "version")[0].value, version)
    group = version == "4.0" and c["is_list"]
    same("KIND", [v.value for v in values(card, "kind")], ["group"] if group else [])
    same("FN", values(card, "fn")[0].value, c["fn"])
    names = values(card, "n")
    if version == "3.0" or (not group and (c["given"] or c["family"])):
        same("N", [(v.value.family, v.value.given) for v in names], [(c["family"], c["given"])])
    else:
        same("N", names, [])
    same("NICKNAME", [v.value for v in values(card, "nickname")], [c["nick"]] if c["nick"] else [])
    same("EMAIL", [v.value for v in values(card, "email")],
         c["emails"] if group else c["resolved"])
    same("TEL", [(types(v), v.value) for v in values(card, "tel")],
         [(set(TEL_TYPES[k]), n) for k, n in c["phones"]])
    want_adr = [(side, a) for side in ("home", "work") for a in c[side]]
    got_adr = [(("work" if "work" in types(v) else "home"),
                (v.value.street, v.value.city, v.value.region, v.value.code, v.value.country))
               for v in values(card, "adr")]
    same("ADR", got_adr, want_adr)
    # vobject takes a URL as a list of texts and keeps the part before the
    # first comma (CLIENT_LIMITS, vobject-url-comma).
    same("URL", [(min(types(v)) if types(v) else "other", v.value) for v in values(card, "url")],
         [(k, u.split(",")[0]) for k, u in c["webs"]])
    same("TITLE", [v.value for v in values(card, "title")], [c["title"]] if c["title"] else [])
    same("ORG", [v.value for v in values(card, "org")], [[c["company"]]] if c["company"] else [])
    same("CATEGORIES", [v.value for v in values(card, "categories")], [[c["category"]]])
    same("NOTE", [v.value for v in values(card, "note")], [note_text(c)] if note_text(c) else [])
    members = [by_uid.get(v.value) for v in values(card, "member")]
    same("MEMBER", members, [contact_nicks[m] for m in c["members"]] if group else [])


contact_nicks = []


def check_icaljs(cards, contacts, version):
    """Thunderbird's reader: every text as the book means it in 4.0; in 3.0
    with the backslash of '\\;' kept (CLIENT_LIMITS)."""
    same("cards (ical.js)", len(cards), len(contacts))
    shown = (lambda t: t) if version == "4.0" else (lambda t: t.replace(";", "\\;"))
    for card, c in zip(cards, contacts):
        who = "%s (ical.js, vCard %s)" % (c["nick"], version)
        try:
            props = {}
            for p in card:
                props.setdefault(p["name"], []).append(p)
            text = lambda name: [v for p in props.get(name, []) for v in p["values"]]
            same("FN", text("fn"), [shown(c["fn"])])
            if c["nick"]:
                same("NICKNAME", text("nickname"), [shown(c["nick"])])
            same("TITLE", text("title"), [shown(c["title"])] if c["title"] else [])
            same("NOTE", text("note"), [shown(note_text(c))] if note_text(c) else [])
            same("URL", text("url"), [shown(u) for _, u in c["webs"]])
            same("CATEGORIES", text("categories"), [c["category"]])
            if props.get("n"):
                same("N", text("n")[0][:2], [c["family"], c["given"]])
            group = version == "4.0" and c["is_list"]
            same("EMAIL", text("email"), c["emails"] if group else c["resolved"])
            filed = []
            for p in props.get("tel", []):
                known = [THUNDERBIRD_TEL[t] for t in p["types"] if t in THUNDERBIRD_TEL]
                filed.append((known[0] if known else "none (thunderbird-other-phone)",
                              p["values"][0]))
            want = [({"home": "home", "work": "work", "mobile": "cell", "fax": "fax",
                      "workfax": "fax", "workmobile": "cell"}.get(k, "none (thunderbird-other-phone)"),
                     n) for k, n in c["phones"]]
            same("TEL as Thunderbird files it", filed, want)
        except Mismatch as error:
            raise Mismatch("%s: %s" % (who, error))


def check_evolution(raw, contacts, version):
    """Evolution's EContact, card by card: every field in 3.0; in 4.0 a text
    value ends at its first bare ';' (CLIENT_LIMITS)."""
    texts = raw.decode("utf-8").split("END:VCARD\r\n")[:-1]
    same("cards (Evolution)", len(texts), len(contacts))
    shown = (lambda t: t) if version == "3.0" else (lambda t: t.split(";")[0])
    for text, c in zip(texts, contacts):
        who = "%s (Evolution, vCard %s)" % (c["nick"], version)
        try:
            contact = EBookContacts.Contact.new_from_vcard(text + "END:VCARD\r\n")
            get = contact.get_property
            attributes = EBookContacts.VCard.get_attributes(contact)
            same("full name", get("full-name") or "", shown(c["fn"]))
            same("note", get("note") or "", shown(note_text(c)))
            same("title", get("title") or "", shown(c["title"]))
            same("org", get("org") or "", c["company"])
            same("categories", get("categories") or "", c["category"])
            group = version == "4.0" and c["is_list"]
            if (c["given"] or c["family"]) and not group:
                name = get("name")
                if name is None:
                    raise Mismatch("no name in %r" % text)
                same("name", (name.family, name.given), (c["family"], c["given"]))
            group = version == "4.0" and c["is_list"]
            emails = c["emails"] if group else c["resolved"]
            same("email-1..4 (evolution-four-emails)",
                 [get("email-%d" % i) for i in range(1, 5)],
                 (emails + [None] * 4)[:4])
            same("EMAIL", [a.get_values()[0] for a in attributes if a.get_name() == "EMAIL"],
                 emails)
            first = {}
            for kind, number in c["phones"]:
                first.setdefault(EVOLUTION_TEL[kind], number)
            for field in sorted(set(EVOLUTION_TEL.values())):
                same(field, get(field), first.get(field))
            same("TEL", [(sorted(t.lower() for t in a.get_param("TYPE")), a.get_values()[0])
                         for a in attributes if a.get_name() == "TEL"],
                 [(sorted(TEL_TYPES[k]), n) for k, n in c["phones"]])
            same("home page (evolution-one-url)", get("homepage-url"),
                 shown(c["webs"][0][1]) if c["webs"] else None)
            for side, field in (("home", "address-home"), ("work", "address-work")):
                a = get(field)
                same(field, (a.street, a.locality, a.region, a.code, a.country) if a else None,
                     tuple(x for x in c[side][0]) if c[side] else None)
        except Mismatch as error:
            raise Mismatch("%s: %s" % (who, error))


COLUMNS = ["First Name", "Last Name", "Nickname", "E-mail Address", "E-mail Display Name",
           "E-mail 2 Address", "E-mail 2 Display Name", "E-mail 3 Address",
           "E-mail 3 Display Name", "Home Phone", "Home Phone 2", "Business Phone",
           "Business Phone 2", "Mobile Phone", "Home Fax", "Business Fax", "Other Phone",
           "Other Fax", "Assistant's Phone", "Callback", "Car Phone", "Company Main Phone", "ISDN",
           "Pager", "Primary Phone", "Radio Phone", "TTY/TDD Phone", "Telex", "Home Street",
           "Home City", "Home State", "Home Postal Code", "Home Country/Region",
           "Business Street", "Business City", "Business State", "Business Postal Code",
           "Business Country/Region", "Job Title", "Company", "Web Page", "Categories", "Notes"]


def expected_row(c):
    row = {k: "" for k in COLUMNS}
    overflow = []

    def put(columns, tag, value):
        for column in columns:
            if not row[column]:
                row[column] = value
                return
        overflow.append(tag + ": " + value)

    structured = c["given"] or c["family"]
    row["First Name"] = c["given"] if structured else c["fn"]
    row["Last Name"], row["Nickname"] = c["family"], c["nick"]
    names = dict(zip(c["emails"], c["email_names"]))
    for i, a in enumerate(c["resolved"]):
        name = names.get(a, "") if i < len(c["emails"]) else ""
        if i < 3:
            prefix = "E-mail" if i == 0 else "E-mail %d" % (i + 1)
            row[prefix + " Address"], row[prefix + " Display Name"] = a, name
        else:
            overflow.append("email: " + ("%s <%s>" % (name, a) if name else a))
    slots = {"home": (["Home Phone", "Home Phone 2"], "phone"),
             "work": (["Business Phone", "Business Phone 2"], "phone2"),
             "mobile": (["Mobile Phone"], "mobile"), "workmobile": (["Mobile Phone"], "mobile2"),
             "fax": (["Home Fax", "Other Fax"], "fax"),
             "workfax": (["Business Fax", "Other Fax"], "fax2"),
             "other": (["Other Phone"], "otherphone")}
    for kind, number in c["phones"]:
        put(*slots[kind], number)
    for side, prefix, tags in (("home", "Home", POSTAL), ("work", "Business", POSTAL2)):
        names = [prefix + " Street", prefix + " City", prefix + " State", prefix + " Postal Code",
                 prefix + " Country/Region"]
        for n, address in enumerate(c[side]):
            for column, tag, part in zip(names, tags, address):
                if n == 0:
                    row[column] = part
                elif part:
                    overflow.append(tag + ": " + part)
    row["Job Title"], row["Company"] = c["title"], c["company"]
    for kind, url in c["webs"]:
        put(["Web Page"], {"home": "web", "work": "web2"}.get(kind, "otherweb"), url)
    row["Categories"] = c["category"]
    row["Notes"] = "\n".join(c["notes"] + overflow)
    return row


def check_rows(rows, contacts, parser):
    same("header (%s)" % parser, rows[0], COLUMNS)
    same("rows (%s)" % parser, len(rows) - 1, len(contacts))
    for fields, c in zip(rows[1:], contacts):
        got = {k: v.replace("\r\n", "\n") for k, v in zip(COLUMNS, fields)}
        want = expected_row(c)
        for column in COLUMNS:
            same("%s (CSV, %s) %s" % (c["nick"], parser, column), got[column], want[column])


def check_csv(raw, contacts):
    same("byte-order mark", raw[:3], b"\xef\xbb\xbf")
    check_rows(list(csv.reader(io.StringIO(raw.decode("utf-8-sig"), newline=""))), contacts,
               "Python csv")


def flat_members(contacts, root):
    """The people a list reaches, lists inside it replaced by theirs."""
    return [m for m in walk(contacts, root, lambda m: contacts[m]["is_list"])
            if not contacts[m]["is_list"]]


def check_ldif(raw, contacts):
    """python-ldap's LDIF parser: Thunderbird's attributes; what a card has
    no attribute for in the description (CLIENT_LIMITS, ldif-fields)."""
    parser = ldif.LDIFRecordList(io.BytesIO(raw))
    parser.parse()
    records = parser.all_records
    same("entries (LDIF)", len(records), len(contacts))
    same("distinct DNs", len({dn for dn, _ in records}), len(records))
    nick_of_dn = {dn: c["nick"] for (dn, _), c in zip(records, contacts)}
    for (dn, entry), c in zip(records, contacts):
        who = "%s (LDIF)" % c["nick"]
        try:
            attr = lambda name: [v.decode("utf-8") for v in entry.get(name, [])]
            same("cn", attr("cn"), [c["fn"]] if c["fn"] else [])
            same("mozillaNickname", attr("mozillaNickname"), [c["nick"]] if c["nick"] else [])
            if c["is_list"]:
                same("objectclass", attr("objectclass"), ["top", "groupOfNames"])
                same("member", [nick_of_dn.get(m) for m in attr("member")],
                     [contacts[m]["nick"] for m in flat_members(contacts, contacts.index(c))])
                same("description", attr("description"),
                     ["\n".join(c["notes"])] if c["notes"] else [])
                continue
            same("objectclass", attr("objectclass")[-1], "mozillaAbPersonAlpha")
            same("givenName", attr("givenName"), [c["given"]] if c["given"] else [])
            same("sn", attr("sn"), [c["family"]] if c["family"] else [])
            resolved = c["resolved"]
            same("mail", attr("mail"), resolved[:1])
            same("mozillaSecondEmail", attr("mozillaSecondEmail"), resolved[1:2])
            notes = c["notes"] + ["email: " + a for a in resolved[2:]] + c["email_notes"]
            kinds = [("work", "telephoneNumber", "phone2"), ("home", "homePhone", "phone"),
                     ("fax", "facsimileTelephoneNumber", "fax"),
                     ("workfax", "facsimileTelephoneNumber", "fax2"),
                     ("mobile", "mobile", "mobile"), ("workmobile", "mobile", "mobile2"),
                     ("other", None, "otherphone")]
            phones, taken = {}, set()
            for kind, attribute, tag in kinds:
                for k, number in c["phones"]:
                    if k != kind:
                        continue
                    if attribute and attribute not in taken:
                        taken.add(attribute)
                        phones[attribute] = [number]
                    else:
                        notes.append(tag + ": " + number)
            for attribute in ("telephoneNumber", "homePhone", "facsimileTelephoneNumber", "mobile"):
                same(attribute, attr(attribute), phones.get(attribute, []))
            for side, names, tags in (
                    ("home", ["mozillaHomeStreet", "mozillaHomeLocalityName", "mozillaHomeState",
                              "mozillaHomePostalCode", "mozillaHomeCountryName"], POSTAL),
                    ("work", ["street", "l", "st", "postalCode", "c"], POSTAL2)):
                for n, address in enumerate(c[side]):
                    for name, tag, part in zip(names, tags, address):
                        if n == 0:
                            same(name, attr(name), [part] if part else [])
                        elif part:
                            notes.append(tag + ": " + part)
            same("title", attr("title"), [c["title"]] if c["title"] else [])
            same("o", attr("o"), [c["company"]] if c["company"] else [])
            home = work = None
            for kind, url in c["webs"]:
                if kind == "home" and home is None:
                    home = url
                elif kind != "other" and work is None:
                    work = url
                else:
                    notes.append({"home": "web", "work": "web2"}.get(kind, "otherweb") + ": " + url)
            same("mozillaHomeUrl", attr("mozillaHomeUrl"), [home] if home else [])
            same("mozillaWorkUrl", attr("mozillaWorkUrl"), [work] if work else [])
            same("description", attr("description"), ["\n".join(notes)] if notes else [])
        except Mismatch as error:
            raise Mismatch("%s: %s" % (who, error))


exports = 0


def export(converter, book_paths, charset, *options):
    global exports
    exports += 1
    target = "%s.%d.%s" % (book_paths[0], exports, "-".join(options).replace(".", ""))
    done = subprocess.run([converter, "--export", *options, "--charset", charset, "-o", target,
                           *book_paths], capture_output=True)
    if done.returncode != 0:
        raise Mismatch("export %s failed: %s" % (options, done.stderr.decode(errors="replace")))
    with open(target, "rb") as f:
        return target, f.read()


def round_trip(converter, book_paths, charset, books, npm_files):
    """Exports the books in every format and checks each with the parsers
    that run here; the npm parsers' files are noted in `npm_files` and read
    in one go at the end."""
    global contact_nicks
    contacts = expect(books)
    contact_nicks = [c["nick"] for c in contacts]
    path3, v3 = export(converter, book_paths, charset, "vcard")
    uids3 = check_cards(v3, contacts, "3.0")
    check_evolution(v3, contacts, "3.0")
    path4, v4 = export(converter, book_paths, charset, "vcard", "--vcard-version", "4.0")
    uids4 = check_cards(v4, contacts, "4.0")
    check_evolution(v4, contacts, "4.0")
    same("the same UIDs in 3.0 and 4.0", ["urn:uuid:" + u for u in uids3], uids4)
    path_csv, rows = export(converter, book_paths, charset, "csv")
    check_csv(rows, contacts)
    _, ldif_bytes = export(converter, book_paths, charset, "ldif")
    check_ldif(ldif_bytes, contacts)
    npm_files.append((path3, "vcard", contacts, "3.0"))
    npm_files.append((path4, "vcard", contacts, "4.0"))
    npm_files.append((path_csv, "csv", contacts, None))
    return contacts


def check_with_npm(node_modules, npm_files):
    """ical.js and papaparse read every file in one run of node."""
    script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "parse_with_npm.mjs")
    done = subprocess.run(["node", script] + ["%s:%s" % (kind, path) for path, kind, _, _ in npm_files],
                          capture_output=True, env=dict(os.environ, NODE_PATH=node_modules))
    if done.returncode != 0:
        raise Mismatch("node failed: %s" % done.stderr.decode(errors="replace"))
    parsed = json.loads(done.stdout)
    failures = []
    for path, kind, contacts, version in npm_files:
        global contact_nicks
        contact_nicks = [c["nick"] for c in contacts]
        try:
            if kind == "vcard":
                check_icaljs(parsed[path], contacts, version)
            else:
                same("papaparse errors", parsed[path]["errors"], [])
                check_rows(parsed[path]["rows"], contacts, "papaparse")
        except Mismatch as error:
            failures.append("%s: %s" % (os.path.basename(path), error))
    return failures


def book_title(path):
    name = os.path.basename(path)
    name = name[:-4] if name.lower().endswith(".txt") else name
    return "Eudora Nicknames" if name.lower() == "nndbase" else name


def main():
    converter, sample, node_modules = sys.argv[1], sys.argv[2], sys.argv[3]
    books = int(sys.argv[4]) if len(sys.argv) > 4 else 200
    if not shutil.which("node") or not os.path.isdir(os.path.join(node_modules, "ical.js")) or \
            not os.path.isdir(os.path.join(node_modules, "papaparse")):
        print("SKIPPED: ical.js and papaparse are not in %s (scripts/install-deps.sh installs them)"
              % node_modules)
        return 77
    rng = random.Random(13)
    failures, stats = 0, dict(contacts=0, lists=0, nested=0, cycles=0)
    npm_files = []
    with tempfile.TemporaryDirectory() as work:
        with open(sample, "rb") as f:
            sample_text = f.read().decode("cp1252")
        sample_copy = os.path.join(work, "nndbase.txt")
        with open(sample_copy, "wb") as f:
            f.write(sample_text.encode("cp1252"))
        jobs = [("sample", [sample_copy], "windows-1252", [sample_text])]
        for n in range(books):
            charset = list(CHARSETS)[n % 4]
            text = Generator(rng, charset).book()
            path = os.path.join(work, "book%03d.txt" % n)
            with open(path, "wb") as f:
                f.write(text.encode(CHARSETS[charset]))
            jobs.append(("book %d (%s)" % (n, charset), [path], charset, [text]))
        # Every byte of each single-byte set in a name, read as Python's
        # codecs read it; a control character (C1 included) or an undefined
        # byte is U+FFFD.
        for charset in ("windows-1252", "iso-8859-1", "macintosh"):
            raw = bytes(b for b in range(0x20, 0x100) if b not in b"<>")
            decoded = ""
            for b in raw:
                try:
                    ch = bytes([b]).decode(CHARSETS[charset])
                except UnicodeDecodeError:
                    ch = "\ufffd"
                decoded += "\ufffd" if 0x7F <= ord(ch) <= 0x9F else ch
            path = os.path.join(work, "bytes-%s.txt" % charset)
            with open(path, "wb") as f:
                f.write(b"alias bytes x@y.example\r\nnote bytes <name:" + raw + b">\r\n")
            jobs.append(("every byte (%s)" % charset, [path], charset,
                         ["alias bytes x@y.example\r\nnote bytes <name:" + decoded + ">\r\n"]))
        # Several books at once: lists resolve across them, categories name them.
        cp1252 = [job for job in jobs[1:] if job[2] == "windows-1252"][:20]
        for one, two in zip(cp1252[0::2], cp1252[1::2]):
            jobs.append(("the sample with %s and %s" % (one[0], two[0]),
                         [sample_copy, one[1][0], two[1][0]], "windows-1252",
                         [sample_text, one[3][0], two[3][0]]))
        for name, paths, charset, texts in jobs:
            try:
                # UTF-8 books are left to the automatic choice.
                contacts = round_trip(converter, paths, "auto" if charset == "utf-8" else charset,
                                      [(book_title(p), read_book(t)) for p, t in zip(paths, texts)],
                                      npm_files)
            except Mismatch as error:
                failures += 1
                print("FAILED %s: %s" % (name, error))
                continue
            stats["contacts"] += len(contacts)
            stats["lists"] += sum(c["is_list"] for c in contacts)
            stats["nested"] += sum(any(contacts[m]["members"] for m in c["members"]) for c in contacts)
            stats["cycles"] += sum(i in _reach(contacts, i) for i in range(len(contacts)))
        npm_failures = check_with_npm(node_modules, npm_files)
    for failure in npm_failures:
        print("FAILED %s" % failure)
    print("%d exports (the sample, %d generated books, and several books at once), %d contacts, "
          "%d lists, %d naming a list, %d on a cycle; each as vCard 3.0, vCard 4.0, CSV and LDIF, "
          "read by vobject, csv, EContact, ldif, ical.js and papaparse" % (
              len(jobs), books, stats["contacts"], stats["lists"], stats["nested"], stats["cycles"]))
    print("Client limits, asserted as such:")
    for key, reason in CLIENT_LIMITS.items():
        print("  %s: %s" % (key, reason))
    print("%d failed" % (failures + len(npm_failures)))
    return 1 if failures or npm_failures else 0


def _reach(contacts, root):
    seen, stack = set(), list(contacts[root]["members"])
    while stack:
        m = stack.pop()
        if m not in seen:
            seen.add(m)
            stack.extend(contacts[m]["members"])
    return seen


if __name__ == "__main__":
    sys.exit(main())
