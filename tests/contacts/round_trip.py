#!/usr/bin/env python3
"""Round trip of the export through independent parsers.

Generates address books (and reads the sample book with a small reader of
its own), runs `veltrana-convert --export` on each in vCard 3.0, vCard 4.0
and CSV, parses the results with python3-vobject and Python's csv module,
and compares every field with what the book holds.

    round_trip.py CONVERTER SAMPLE_BOOK [BOOKS]

Exits 77 (skipped) when vobject is not installed.
"""
import csv
import io
import os
import random
import re
import subprocess
import sys
import tempfile

try:
    import vobject
except ImportError:
    print("SKIPPED: python3-vobject is not installed (scripts/install-deps.sh installs it)")
    sys.exit(77)

MARK = "\x03"
CHARSETS = {"windows-1252": "cp1252", "iso-8859-1": "latin-1", "macintosh": "mac_roman",
            "utf-8": "utf-8"}
SINGLE = ["name", "first", "last", "title", "company"]
POSTAL = ["address", "city", "state", "zip", "country"]
POSTAL2 = [p + "2" for p in POSTAL]
PHONES = {"phone": "home", "phone2": "work", "mobile": "mobile", "fax": "fax"}
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
    records, index, after_alias = [], {}, None
    for line in re.split(r"\r\n|\r|\n", text):
        kind = "alias" if line.startswith("alias ") else "note" if line.startswith("note ") else None
        if kind is None:
            after_alias = None
            continue
        rest = line[len(kind) + 1:]
        if rest.startswith('"'):
            nick, _, rest = rest[1:].partition('"')
        else:
            blank = rest.find(" ", 1)
            nick, rest = (rest, "") if blank < 0 else (rest[:blank], rest[blank + 1:])
        nick = nick.strip(" \t")
        if kind == "note" and after_alias is not None:
            record = after_alias
        else:
            if fold(nick) not in index:
                index[fold(nick)] = len(records)
                records.append([nick, [], []])
            record = records[index[fold(nick)]]
        (record[1] if kind == "alias" else record[2]).append(rest)
        after_alias = record if kind == "alias" else None
    return records


def expect(records):
    """What each contact must hold, from the records of a book."""
    index = {fold(r[0]): i for i, r in enumerate(records)}
    contacts = []
    for self_index, (nick, aliases, notes) in enumerate(records):
        c = dict(nick=nick, emails=[], members=[], phones=[], home=[], work=[], webs=[],
                 title="", company="", notes=[], names={}, real="")
        keys, items, member_items = set(), 0, 0

        def add_email(address):
            if address.lower() not in keys:
                keys.add(address.lower())
                c["emails"].append(address)

        def set_once(store, key, keyword, value):
            if not store.get(key):
                store[key] = value
            elif store[key] != value:
                c["notes"].append(keyword + ": " + value)

        for text in aliases:
            for item in split_items(text):
                items += 1
                unquoted = item[1:-1] if re.match(r'^"[^"]*"$', item) else item
                target = index.get(fold(unquoted.strip(" \t")))
                if target is not None:
                    member_items += 1
                    if target != self_index and target not in c["members"]:
                        c["members"].append(target)
                    continue
                addresses, name = parse_item(item)
                if not addresses:
                    c["notes"].append("email: " + item)
                for a in addresses:
                    add_email(a)
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
                            addresses, _ = parse_item(value)
                            if not addresses:
                                c["notes"].append(keyword + ": " + value)
                            for a in addresses:
                                add_email(a)
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
        contacts.append(c)
    for c in contacts:
        c["resolved"] = resolve(contacts, contacts.index(c))
    return contacts


def choose_names(c):
    n = c["names"]
    first, last = n.get("first", ""), n.get("last", "")
    c["given"], c["family"] = (first, last) if first or last else ("", "")
    first_last = " ".join(x for x in (first, last) if x)
    for name in (n.get("name", ""), first_last, c["real"]):
        if name:
            c["fn"] = name
            if not (c["given"] or c["family"]) and not c["is_list"]:
                given, _, family = name.rpartition(" ")
                c["given"], c["family"] = (given.strip(" \t\r\n"), family) if given else (name, "")
            return
    c["fn"] = c["nick"] or (c["emails"][0] if c["emails"] else "")


def resolve(contacts, root):
    if not contacts[root]["members"]:
        return list(contacts[root]["emails"])
    seen, out, visited = set(), [], {root}

    def take(i):
        for a in contacts[i]["emails"]:
            if a.lower() not in seen:
                seen.add(a.lower())
                out.append(a)

    take(root)
    stack = [[root, 0]]
    while stack:
        top = stack[-1]
        members = contacts[top[0]]["members"]
        if top[1] == len(members):
            stack.pop()
            continue
        m = members[top[1]]
        top[1] += 1
        if m in visited:
            continue
        visited.add(m)
        take(m)
        stack.append([m, 0])
    return out


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
                v = MARK.join("https://%s.example/%s" % (r.choice(["a", "b-c"]), r.randint(0, 99))
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


TEL_TYPES = {"home": {"home", "voice"}, "work": {"work", "voice"}, "mobile": {"cell", "voice"},
             "fax": {"home", "fax"}, "other": {"voice"}}


def types(line):
    return {t.lower() for value in line.params.get("TYPE", []) for t in value.split(",")}


def values(card, name):
    return card.contents.get(name, [])


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
         [(TEL_TYPES[k], n) for k, n in c["phones"]])
    want_adr = [(side, a) for side in ("home", "work") for a in c[side]]
    got_adr = [(("work" if "work" in types(v) else "home"),
                (v.value.street, v.value.city, v.value.region, v.value.code, v.value.country))
               for v in values(card, "adr")]
    same("ADR", got_adr, want_adr)
    same("URL", [(min(types(v)) if types(v) else "other", v.value) for v in values(card, "url")],
         c["webs"])
    same("TITLE", [v.value for v in values(card, "title")], [c["title"]] if c["title"] else [])
    same("ORG", [v.value for v in values(card, "org")], [[c["company"]]] if c["company"] else [])
    same("NOTE", [v.value for v in values(card, "note")], ["\n".join(c["notes"])] if c["notes"] else [])
    members = [by_uid.get(v.value) for v in values(card, "member")]
    same("MEMBER", members, [by_uid_nick for by_uid_nick in
                             (contact_nicks[m] for m in c["members"])] if group else [])


contact_nicks = []

COLUMNS = ["First Name", "Last Name", "Nickname", "E-mail Address", "E-mail 2 Address",
           "E-mail 3 Address", "Home Phone", "Home Phone 2", "Business Phone", "Business Phone 2",
           "Mobile Phone", "Home Fax", "Other Phone", "Home Street", "Home City", "Home State",
           "Home Postal Code", "Home Country/Region", "Business Street", "Business City",
           "Business State", "Business Postal Code", "Business Country/Region", "Job Title",
           "Company", "Web Page", "Notes"]


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
    for a in c["resolved"]:
        put(["E-mail Address", "E-mail 2 Address", "E-mail 3 Address"], "email", a)
    slots = {"home": (["Home Phone", "Home Phone 2"], "phone"),
             "work": (["Business Phone", "Business Phone 2"], "phone2"),
             "mobile": (["Mobile Phone"], "mobile"), "fax": (["Home Fax"], "fax"),
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
        put(["Web Page"] if kind == "home" else [], {"home": "web", "work": "web2"}.get(kind, "otherweb"), url)
    row["Notes"] = "\n".join(c["notes"] + overflow)
    return row


def check_csv(raw, contacts):
    same("byte-order mark", raw[:3], b"\xef\xbb\xbf")
    rows = list(csv.reader(io.StringIO(raw.decode("utf-8-sig"), newline="")))
    same("header", rows[0], COLUMNS)
    same("rows", len(rows) - 1, len(contacts))
    for fields, c in zip(rows[1:], contacts):
        got = {k: v.replace("\r\n", "\n") for k, v in zip(COLUMNS, fields)}
        want = expected_row(c)
        for column in COLUMNS:
            same("%s (CSV) %s" % (c["nick"], column), got[column], want[column])


def export(converter, book_path, charset, *options):
    target = book_path + "." + "-".join(options).replace(".", "")
    done = subprocess.run([converter, "--export", *options, "--charset", charset, "-o", target,
                           book_path], capture_output=True)
    if done.returncode != 0:
        raise Mismatch("export %s failed: %s" % (options, done.stderr.decode(errors="replace")))
    with open(target, "rb") as f:
        return f.read(), done.stderr.decode()


def round_trip(converter, book_path, charset, text):
    global contact_nicks
    contacts = expect(read_book(text))
    contact_nicks = [c["nick"] for c in contacts]
    v3, _ = export(converter, book_path, charset, "vcard")
    uids3 = check_cards(v3, contacts, "3.0")
    v4, _ = export(converter, book_path, charset, "vcard", "--vcard-version", "4.0")
    uids4 = check_cards(v4, contacts, "4.0")
    same("the same UIDs in 3.0 and 4.0", ["urn:uuid:" + u for u in uids3], uids4)
    rows, _ = export(converter, book_path, charset, "csv")
    check_csv(rows, contacts)
    return contacts


def main():
    converter, sample = sys.argv[1], sys.argv[2]
    books = int(sys.argv[3]) if len(sys.argv) > 3 else 200
    rng = random.Random(13)
    failures, stats = 0, dict(contacts=0, lists=0, nested=0, cycles=0)
    with tempfile.TemporaryDirectory() as work:
        with open(sample, "rb") as f:
            sample_text = f.read().decode("cp1252")
        sample_copy = os.path.join(work, "nndbase.txt")
        with open(sample_copy, "wb") as f:
            f.write(sample_text.encode("cp1252"))
        jobs = [("sample", sample_copy, "windows-1252", sample_text)]
        for n in range(books):
            charset = list(CHARSETS)[n % 4]
            text = Generator(rng, charset).book()
            path = os.path.join(work, "book%03d.txt" % n)
            with open(path, "wb") as f:
                f.write(text.encode(CHARSETS[charset]))
            jobs.append(("book %d (%s)" % (n, charset), path, charset, text))
        for name, path, charset, text in jobs:
            try:
                contacts = round_trip(converter, path, charset, text)
            except Mismatch as error:
                failures += 1
                print("FAILED %s: %s" % (name, error))
                continue
            stats["contacts"] += len(contacts)
            stats["lists"] += sum(c["is_list"] for c in contacts)
            stats["nested"] += sum(any(contacts[m]["members"] for m in c["members"]) for c in contacts)
            stats["cycles"] += sum(i in _reach(contacts, i) for i in range(len(contacts)))
    print("%d books (the sample and %d generated), %d contacts, %d lists, %d naming a list, "
          "%d on a cycle; each exported as vCard 3.0, vCard 4.0 and CSV" % (
              len(jobs), books, stats["contacts"], stats["lists"], stats["nested"], stats["cycles"]))
    print("%d passed, %d failed" % (len(jobs) - failures, failures))
    return 1 if failures else 0


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
