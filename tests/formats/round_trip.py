#!/usr/bin/env python3
"""Round trip of the export through the parsers real address books use.

Each case of round_trip/ is a book (or several) written by hand with a
purpose, and beside it NAME.json, what an address book should hold of each
contact, worked out by reading the book. The case's books are exported with
`veltrana-convert --export` as vCard 3.0, vCard 4.0, CSV and LDIF; the files
are read back with python3-vobject and Python's csv module, with
Thunderbird's ical.js and papaparse (npm), with Evolution's EContact
(gir1.2-ebookcontacts-1.2) and with python-ldap's LDIF parser, and every
field is compared with the expectation. What a client cannot hold is listed
in CLIENT_LIMITS and asserted as that client's limit.

    round_trip.py CONVERTER CASES_DIR NODE_MODULES [CASE...]

An expectation file holds "purpose", "books" (each "file", relative to the
file, its "category" and the character set the converter should say it
"read_as"), an optional "charset" for --charset, the "warnings" standard
error should mention, and "contacts" in the order the books name them first.
A contact holds "nick" and "fn" and, where not empty: "given", "family", "suffix",
"emails" (its own, in order), "email_names" (address: the real name written
with it), "phones" ([kind, number]: home, work, mobile, workmobile, fax,
workfax, other), "home" and "work" (addresses: street, city, state, zip,
country), "webs" ([home|work|other, url]), "title", "company", "notes",
"list" (every item names a contact), "members" (the contacts it names:
"nick" of its own book, or [book, "nick"]), "all_emails" (every address it
stands for when its lists are written out), "people" (for a list: the
persons it reaches, lists inside it replaced by theirs), "book" (0 first)
and "mutt_alias" (its alias name in the mutt file, when not its nickname).

Exits 77 (skipped) when a parser is not installed.
"""
import csv
import glob
import io
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

try:
    import vobject
    import ldif
    import ldap.dn
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
    "evolution-4.0-semicolon": "Evolution ends a text value at a bare ';' in any version (in "
                               "CATEGORIES a new category begins there): for Evolution use "
                               "vCard 3.0 or LDIF",
    "thunderbird-other-phone": "Thunderbird files a phone by the first type it knows (work, "
                               "home, cell, fax, pager); an 'other' phone (VOICE alone) has none",
    "evolution-four-emails": "Evolution shows four e-mail addresses (email-1 to email-4); the "
                             "rest stay in the card",
    "evolution-one-url": "Evolution shows the first URL as the home page; the rest stay in the "
                         "card",
    "vobject-url-comma": "python-vobject reads a URL as a list of texts and keeps what comes "
                         "before the first comma; a URL is a URI, written as it is",
    "ldif-fields": "Thunderbird's card holds two addresses and one phone of each kind; the rest "
                   "are in the description as 'tag: value' lines",
}

# Faults of the converter found by the round trip and not yet mended: each is
# asserted as it stands, and the round trip fails once it is gone, so that
# its entry goes and the check holds the sound result from then on.
KNOWN_FAULTS = {}
faults_met = set()

POSTAL = ["street", "city", "state", "zip", "country"]
HOME_TAGS = ["address", "city", "state", "zip", "country"]
WORK_TAGS = [t + "2" for t in HOME_TAGS]
PHONE_KINDS = {"home", "work", "mobile", "workmobile", "fax", "workfax", "other"}
WEB_KINDS = {"home", "work", "other"}


class Mismatch(Exception):
    pass


def same(what, got, want):
    if got != want:
        raise Mismatch("%s: got %r, want %r" % (what, got, want))


# ---------------------------------------------------------------- the expectations

def load_case(path):
    """The case of an expectation file, each contact with every field (the
    empty ones too) and its members as indexes into the contacts."""
    with open(path, encoding="utf-8") as f:
        case = json.load(f)
    here = os.path.dirname(path)
    books = case["books"]
    case["paths"] = [os.path.normpath(os.path.join(here, b["file"])) for b in books]
    case.setdefault("warnings", [])
    contacts = case["contacts"]
    index = {}
    for i, c in enumerate(contacts):
        c.setdefault("book", 0)
        key = (c["book"], c["nick"])
        if key in index:
            raise ValueError("%s: %r twice" % (path, key))
        index[key] = i

    def ref(c, r):
        key = (r[0], r[1]) if isinstance(r, list) else (c["book"], r)
        if key not in index:
            raise ValueError("%s: %s names %r, which is no contact" % (path, c["nick"], r))
        return index[key]

    for c in contacts:
        unknown = set(c) - {"nick", "fn", "given", "family", "suffix", "emails", "email_names", "phones",
                            "home", "work", "webs", "title", "company", "notes", "list",
                            "members", "all_emails", "people", "book", "mutt_alias"}
        if unknown:
            raise ValueError("%s: %s has unknown fields %s" % (path, c["nick"], sorted(unknown)))
        for field in ("given", "family", "suffix", "title", "company"):
            c.setdefault(field, "")
        for field in ("emails", "phones", "home", "work", "webs", "notes", "members"):
            c.setdefault(field, [])
        names = c.get("email_names", {})
        if set(names) - set(c["emails"]):
            raise ValueError("%s: %s names addresses it does not have" % (path, c["nick"]))
        c["email_names"] = [names.get(a, "") for a in c["emails"]]
        c["is_list"] = c.pop("list", False)
        c.setdefault("mutt_alias", c["nick"])
        if c["members"] and "all_emails" not in c or c["is_list"] and "people" not in c:
            raise ValueError("%s: %s names contacts: give all_emails (and people for a list)"
                             % (path, c["nick"]))
        c["resolved"] = c.pop("all_emails", c["emails"])
        c["members"] = [ref(c, r) for r in c["members"]]
        c["people"] = [ref(c, r) for r in c.get("people", [])]
        if any(k not in PHONE_KINDS for k, _ in c["phones"]) or \
                any(k not in WEB_KINDS for k, _ in c["webs"]):
            raise ValueError("%s: %s has a phone or web page of no known kind" % (path, c["nick"]))
        c["phones"] = [tuple(p) for p in c["phones"]]
        c["webs"] = [tuple(w) for w in c["webs"]]
        for side in ("home", "work"):
            if any(set(a) - set(POSTAL) for a in c[side]):
                raise ValueError("%s: %s has an address part of no known name" % (path, c["nick"]))
            c[side] = [tuple(a.get(p, "") for p in POSTAL) for a in c[side]]
        c["category"] = books[c["book"]]["category"]
        # vCard and LDIF have no place for the real name written with an
        # address: a note line, unless it is the display name.
        c["email_notes"] = ["email: %s <%s>" % (n, a) for a, n in zip(c["emails"], c["email_names"])
                            if n and n != c["fn"]]
    for c in contacts:
        # The people a contact that names others reaches (as "people" says
        # of a list): the lists it names replaced by theirs, each person once.
        reached, seen = [], set()

        def walk(i, open_lists):
            for m in contacts[i]["members"]:
                if contacts[m]["is_list"]:
                    if m not in open_lists:
                        walk(m, open_lists | {m})
                elif m not in seen:
                    seen.add(m)
                    reached.append(m)
        walk(contacts.index(c), {contacts.index(c)})
        if c["is_list"] and c["people"] != reached:
            raise ValueError("%s: %s reaches %r, not the people given" % (path, c["nick"], reached))
        c["reached"] = reached
    return case


def who(contacts, i):
    c = contacts[i]
    return c["nick"] if c["book"] == 0 else "%s (book %d)" % (c["nick"], c["book"])


# ---------------------------------------------------------------- vCard

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


def check_vcard_lines(raw):
    """CR LF line ends, lines folded at 75 octets, and never inside a
    character: each physical line is UTF-8 by itself."""
    same("the file ends with CR LF", raw.endswith(b"\r\n"), True)
    for physical in raw.split(b"\r\n")[:-1]:
        if len(physical) > 75 or b"\n" in physical or b"\r" in physical:
            raise Mismatch("line too long or a bare line end: %r" % physical)
        try:
            physical.decode("utf-8")
        except UnicodeDecodeError:
            raise Mismatch("a line folded inside a character: %r" % physical)


def check_cards(raw, contacts, version):
    check_vcard_lines(raw)
    cards = list(vobject.readComponents(raw.decode("utf-8")))
    same("cards", len(cards), len(contacts))
    uids = [values(card, "uid")[0].value for card in cards]
    same("distinct UIDs", len(set(uids)), len(uids))
    by_uid = {u: i for i, u in enumerate(uids)}
    for i, (card, c) in enumerate(zip(cards, contacts)):
        try:
            check_card(card, c, version, by_uid)
        except Mismatch as error:
            raise Mismatch("%s (vCard %s): %s" % (who(contacts, i), version, error))
    return uids


def check_card(card, c, version, by_uid):
    same("VERSION", values(card, "version")[0].value, version)
    group = version == "4.0" and c["is_list"]
    same("KIND", [v.value for v in values(card, "kind")], ["group"] if group else [])
    same("FN", values(card, "fn")[0].value, c["fn"])
    names = values(card, "n")
    if version == "3.0" or (not group and (c["given"] or c["family"])):
        same("N", [(v.value.family, v.value.given, v.value.suffix) for v in names],
             [(c["family"], c["given"], c["suffix"])])
    else:
        same("N", names, [])
    same("NICKNAME", [v.value for v in values(card, "nickname")], [c["nick"]] if c["nick"] else [])
    # A 4.0 group names its members instead of holding their addresses.
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
    same("MEMBER", [by_uid.get(v.value) for v in values(card, "member")],
         c["members"] if group else [])


def check_icaljs(cards, contacts, version):
    """Thunderbird's reader: every text as the book means it in 4.0; in 3.0
    with the backslash of '\\;' kept (CLIENT_LIMITS)."""
    same("cards (ical.js)", len(cards), len(contacts))
    shown = (lambda t: t) if version == "4.0" else (lambda t: t.replace(";", "\\;"))
    for i, (card, c) in enumerate(zip(cards, contacts)):
        try:
            props = {}
            for p in card:
                props.setdefault(p["name"], []).append(p)
            text = lambda name: [v for p in props.get(name, []) for v in p["values"]]
            same("FN", text("fn"), [shown(c["fn"])])
            same("NICKNAME", text("nickname"), [shown(c["nick"])] if c["nick"] else [])
            same("TITLE", text("title"), [shown(c["title"])] if c["title"] else [])
            same("NOTE", text("note"), [shown(note_text(c))] if note_text(c) else [])
            same("URL", text("url"), [shown(u) for _, u in c["webs"]])
            same("CATEGORIES", text("categories"), [shown(c["category"])])
            if props.get("n"):
                same("N", text("n")[0][:2], [c["family"], c["given"]])
            group = version == "4.0" and c["is_list"]
            same("EMAIL", text("email"), c["emails"] if group else c["resolved"])
            filed = []
            for p in props.get("tel", []):
                known = [THUNDERBIRD_TEL[t] for t in p["types"] if t in THUNDERBIRD_TEL]
                filed.append((known[0] if known else "none (thunderbird-other-phone)",
                              p["values"][0]))
            filing = {"home": "home", "work": "work", "mobile": "cell", "fax": "fax",
                      "workfax": "fax", "workmobile": "cell"}
            want = [(filing.get(k, "none (thunderbird-other-phone)"), n) for k, n in c["phones"]]
            same("TEL as Thunderbird files it", filed, want)
        except Mismatch as error:
            raise Mismatch("%s (ical.js, vCard %s): %s" % (who(contacts, i), version, error))


def check_evolution(raw, contacts, version):
    """Evolution's EContact, card by card: every field in 3.0; in 4.0 a text
    value ends at its first bare ';' (CLIENT_LIMITS)."""
    texts = raw.decode("utf-8").split("END:VCARD\r\n")[:-1]
    same("cards (Evolution)", len(texts), len(contacts))
    shown = (lambda t: t) if version == "3.0" else (lambda t: t.split(";")[0])
    for i, (text, c) in enumerate(zip(texts, contacts)):
        try:
            contact = EBookContacts.Contact.new_from_vcard(text + "END:VCARD\r\n")
            get = contact.get_property
            attributes = EBookContacts.VCard.get_attributes(contact)
            same("full name", get("full-name") or "", shown(c["fn"]))
            same("note", get("note") or "", shown(note_text(c)))
            same("title", get("title") or "", shown(c["title"]))
            same("org", get("org") or "", c["company"])
            same("categories", get("categories") or "",
                 c["category"] if version == "3.0" else c["category"].replace(";", ","))
            group = version == "4.0" and c["is_list"]
            if (c["given"] or c["family"]) and not group:
                name = get("name")
                if name is None:
                    raise Mismatch("no name in %r" % text)
                same("name", (name.family, name.given, name.suffixes or ""),
                     (c["family"], c["given"], c["suffix"]))
            emails = c["emails"] if group else c["resolved"]
            same("email-1..4 (evolution-four-emails)",
                 [get("email-%d" % n) for n in range(1, 5)], (emails + [None] * 4)[:4])
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
                     c[side][0] if c[side] else None)
        except Mismatch as error:
            raise Mismatch("%s (Evolution, vCard %s): %s" % (who(contacts, i), version, error))


# ---------------------------------------------------------------- CSV

COLUMNS = ["First Name", "Last Name", "Suffix", "Nickname", "E-mail Address", "E-mail Display Name",
           "E-mail 2 Address", "E-mail 2 Display Name", "E-mail 3 Address",
           "E-mail 3 Display Name", "Home Phone", "Home Phone 2", "Business Phone",
           "Business Phone 2", "Mobile Phone", "Home Fax", "Business Fax", "Other Phone",
           "Other Fax", "Assistant's Phone", "Callback", "Car Phone", "Company Main Phone", "ISDN",
           "Pager", "Primary Phone", "Radio Phone", "TTY/TDD Phone", "Telex", "Home Street",
           "Home City", "Home State", "Home Postal Code", "Home Country/Region",
           "Business Street", "Business City", "Business State", "Business Postal Code",
           "Business Country/Region", "Job Title", "Company", "Web Page", "Categories", "Notes"]
# Outlook's columns for each kind of phone, and its tag when they are full.
CSV_PHONES = {"home": (["Home Phone", "Home Phone 2"], "phone"),
              "work": (["Business Phone", "Business Phone 2"], "phone2"),
              "mobile": (["Mobile Phone"], "mobile"), "workmobile": (["Mobile Phone"], "mobile2"),
              "fax": (["Home Fax", "Other Fax"], "fax"),
              "workfax": (["Business Fax", "Other Fax"], "fax2"),
              "other": (["Other Phone"], "otherphone")}
WEB_TAGS = {"home": "web", "work": "web2", "other": "otherweb"}


def expected_row(c, contacts):
    """The contact in Outlook's columns; what has no column left is a
    'tag: value' line of the notes."""
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
    row["Last Name"], row["Suffix"], row["Nickname"] = c["family"], c["suffix"], c["nick"]
    columns = []

    def email(address, name):
        if len(columns) == 3:
            return False
        prefix = "E-mail" if not columns else "E-mail %d" % (len(columns) + 1)
        row[prefix + " Address"], row[prefix + " Display Name"] = address, name
        columns.append(address)
        return True

    def email_line(address, name, tag="email"):
        overflow.append(tag + ": " + ("%s <%s>" % (name, address) if name else address))

    if not c["members"]:
        # The contact's own addresses, each with its real name.
        for a, name in zip(c["emails"], c["email_names"]):
            if not email(a, name):
                email_line(a, name)
    else:
        # Its own first; then one column for each person it reaches, every
        # one of them a line of the notes; every other address a line too.
        written = set()
        for a, name in zip(c["emails"], c["email_names"]):
            if email(a, name):
                written.add(a.lower())
        for p in c["reached"]:
            person = contacts[p]
            if not person["resolved"]:
                overflow.append("member: " + person["fn"])
                continue
            first = person["resolved"][0]
            email(first, person["fn"])
            email_line(first, person["fn"], "member")
            written.add(first.lower())
        own = dict(zip(c["emails"], c["email_names"]))
        for a in c["resolved"]:
            if a.lower() not in written:
                email_line(a, own.get(a, ""))
    for kind, number in c["phones"]:
        put(*CSV_PHONES[kind], number)
    for side, prefix, tags in (("home", "Home", HOME_TAGS), ("work", "Business", WORK_TAGS)):
        columns = [prefix + " Street", prefix + " City", prefix + " State",
                   prefix + " Postal Code", prefix + " Country/Region"]
        for n, address in enumerate(c[side]):
            for column, tag, part in zip(columns, tags, address):
                if n == 0:
                    row[column] = part
                elif part:
                    overflow.append(tag + ": " + part)
    row["Job Title"], row["Company"] = c["title"], c["company"]
    for kind, url in c["webs"]:
        put(["Web Page"], WEB_TAGS[kind], url)
    row["Categories"] = c["category"]
    row["Notes"] = "\n".join(c["notes"] + overflow)
    return row


def spreadsheet_safe(value):
    """A cell a spreadsheet would take for a formula has a "'" before it;
    a phone number or a number as written (digits, blanks, "+-()./", an
    extension at the end) does not."""
    if not value or value[0] not in "=+-@\t\r":
        return value
    if value[0] in "+-":
        number = re.sub(r"(?i)(x|ext\.?|extension) *[0-9]+$", "", value)
        if re.fullmatch(r"[0-9 +\-()./]*", number) and re.search("[0-9]", number):
            return value
    return "'" + value


def check_rows(rows, contacts, parser):
    same("header (%s)" % parser, rows[0], COLUMNS)
    same("rows (%s)" % parser, len(rows) - 1, len(contacts))
    for i, (fields, c) in enumerate(zip(rows[1:], contacts)):
        got = {k: v.replace("\r\n", "\n") for k, v in zip(COLUMNS, fields)}
        same("%s (CSV, %s) columns" % (who(contacts, i), parser), len(fields), len(COLUMNS))
        want = {k: spreadsheet_safe(v) for k, v in expected_row(c, contacts).items()}
        for column in COLUMNS:
            same("%s (CSV, %s) %s" % (who(contacts, i), parser, column), got[column], want[column])


def check_csv(raw, contacts):
    same("byte-order mark", raw[:3], b"\xef\xbb\xbf")
    check_rows(list(csv.reader(io.StringIO(raw.decode("utf-8-sig"), newline=""))), contacts,
               "Python csv")


# ---------------------------------------------------------------- LDIF

# Thunderbird's attribute for the first phone of each kind, in the order the
# kinds take them (a work fax takes the fax field when there is no other).
LDIF_PHONES = [("work", "telephoneNumber", "phone2"), ("home", "homePhone", "phone"),
               ("fax", "facsimileTelephoneNumber", "fax"),
               ("workfax", "facsimileTelephoneNumber", "fax2"),
               ("mobile", "mobile", "mobile"), ("workmobile", "mobile", "mobile2"),
               ("other", None, "otherphone")]
LDIF_HOME = ["mozillaHomeStreet", "mozillaHomeLocalityName", "mozillaHomeState",
             "mozillaHomePostalCode", "mozillaHomeCountryName"]
LDIF_WORK = ["street", "l", "st", "postalCode", "c"]


def check_dn(dn, c):
    """The DN names the display name as RFC 4514 escapes it (a UID after it
    where two would be the same), then a person's first address as it
    stands: Thunderbird takes what follows "mail=" as the address of a
    list's member."""
    if not c["is_list"] and c["resolved"]:
        suffix = ",mail=" + c["resolved"][0]
        same("DN ends in the plain address", dn.endswith(suffix), True)
        dn = dn[:-len(suffix)]
    try:
        parts = ldap.dn.str2dn(dn)
    except ldap.DECODING_ERROR:
        raise Mismatch("DN %r is no DN" % dn)
    got = [(attribute, value) for rdn in parts for attribute, value, _ in rdn]
    same("DN", [a for a in got if a[0] != "uid"], [("cn", c["fn"].replace("\n", " "))])


def ldif_entry(c):
    """The attributes (each a list of values) of the contact's LDIF entry as
    Thunderbird's card takes them; what a card has no attribute for is in
    the description (CLIENT_LIMITS, ldif-fields). Empty ones are left out."""
    entry = {"cn": [c["fn"]], "mozillaNickname": [c["nick"]]}
    if c["is_list"]:
        # A group has no mail attribute: its own addresses are description
        # lines, as every value without a field.
        notes = c["notes"] + ["email: " + ("%s <%s>" % (n, a) if n else a)
                              for a, n in zip(c["emails"], c["email_names"])]
        entry["description"] = ["\n".join(notes)]
        return {k: v for k, v in entry.items() if v and v[0]}
    entry["givenName"], entry["sn"] = [c["given"]], [c["family"]]
    resolved = c["resolved"]
    entry["mail"], entry["mozillaSecondEmail"] = resolved[:1], resolved[1:2]
    notes = c["notes"] + ["email: " + a for a in resolved[2:]] + c["email_notes"]
    for kind, attribute, tag in LDIF_PHONES:
        for number in [n for k, n in c["phones"] if k == kind]:
            if attribute and attribute not in entry:
                entry[attribute] = [number]
            else:
                notes.append(tag + ": " + number)
    for side, names, tags in (("home", LDIF_HOME, HOME_TAGS), ("work", LDIF_WORK, WORK_TAGS)):
        for n, address in enumerate(c[side]):
            for name, tag, part in zip(names, tags, address):
                if n == 0:
                    entry[name] = [part]
                elif part:
                    notes.append(tag + ": " + part)
    entry["title"], entry["o"] = [c["title"]], [c["company"]]
    for kind, url in c["webs"]:
        if kind == "home" and "mozillaHomeUrl" not in entry:
            entry["mozillaHomeUrl"] = [url]
        elif kind != "other" and "mozillaWorkUrl" not in entry:
            entry["mozillaWorkUrl"] = [url]
        else:
            notes.append(WEB_TAGS[kind] + ": " + url)
    entry["description"] = ["\n".join(notes)]
    return {k: v for k, v in entry.items() if v and v[0]}


LDIF_ATTRIBUTES = ["cn", "mozillaNickname", "givenName", "sn", "mail", "mozillaSecondEmail",
                   "telephoneNumber", "homePhone", "facsimileTelephoneNumber", "mobile",
                   *LDIF_HOME, *LDIF_WORK, "title", "o", "mozillaHomeUrl", "mozillaWorkUrl",
                   "description"]


def check_ldif(raw, contacts):
    """python-ldap's LDIF parser: Thunderbird's attributes (ldif_entry)."""
    parser = ldif.LDIFRecordList(io.BytesIO(raw))
    parser.parse()
    records = parser.all_records
    same("entries (LDIF)", len(records), len(contacts))
    same("distinct DNs", len({dn for dn, _ in records}), len(records))
    index_of_dn = {dn: i for i, (dn, _) in enumerate(records)}
    for i, ((dn, entry), c) in enumerate(zip(records, contacts)):
        try:
            check_dn(dn, c)
            want = ldif_entry(c)
            for name in LDIF_ATTRIBUTES:
                same(name, [v.decode("utf-8") for v in entry.get(name, [])], want.get(name, []))
            classes = [v.decode() for v in entry["objectclass"]]
            if c["is_list"]:
                same("objectclass", classes, ["top", "groupOfNames"])
                same("member", [index_of_dn.get(m.decode()) for m in entry.get("member", [])],
                     c["people"])
            else:
                same("objectclass", classes[-1], "mozillaAbPersonAlpha")
        except Mismatch as error:
            raise Mismatch("%s (LDIF): %s" % (who(contacts, i), error))


# ---------------------------------------------------------------- the runs

def export(converter, case, target, *options, told=True):
    """One export of the case's books; standard output must name each book
    with its category, character set and counts, standard error every
    warning the case expects (`told`: when the case's books are exported
    whole)."""
    charset = ["--charset", case["charset"]] if "charset" in case else []
    done = subprocess.run([converter, "--export", *options, *charset, "-o", target,
                           *case["paths"]], capture_output=True)
    stdout = done.stdout.decode("utf-8", errors="replace")
    stderr = done.stderr.decode("utf-8", errors="replace")
    if done.returncode != 0:
        raise Mismatch("export %s failed (%d): %s" % (options, done.returncode, stderr))
    for b, (book, path) in enumerate(zip(case["books"], case["paths"]) if told else []):
        lists = sum(c["is_list"] for c in case["contacts"] if c["book"] == b)
        people = sum(not c["is_list"] for c in case["contacts"] if c["book"] == b)
        said = "%s (%s, %s): %d contact%s and %d list%s" % (
            os.path.basename(path), book["category"], book["read_as"],
            people, "" if people == 1 else "s", lists, "" if lists == 1 else "s")
        if said not in stdout:
            raise Mismatch("export %s: %r not in the standard output %r" % (options, said, stdout))
    for warning in case["warnings"] if told else []:
        if warning not in stderr:
            raise Mismatch("export %s: %r not in the standard error %r"
                           % (options, warning, stderr))
    with open(target, "rb") as f:
        return f.read()


def round_trip(converter, case, work, npm_files):
    """Every format of one case with the parsers that run here; the files
    for the npm parsers are noted in `npm_files`, read in one go at the end."""
    contacts = case["contacts"]
    name = case["name"]
    path3, path4 = os.path.join(work, name + ".3.vcf"), os.path.join(work, name + ".4.vcf")
    v3 = export(converter, case, path3, "vcard")
    uids3 = check_cards(v3, contacts, "3.0")
    check_evolution(v3, contacts, "3.0")
    v4 = export(converter, case, path4, "vcard", "--vcard-version", "4.0")
    uids4 = check_cards(v4, contacts, "4.0")
    check_evolution(v4, contacts, "4.0")
    same("the same UIDs in 3.0 and 4.0", ["urn:uuid:" + u for u in uids3], uids4)
    if len(case["paths"]) > 1:
        # The first book's cards keep the UIDs of that book exported alone,
        # so that importing either updates the same cards.
        alone = dict(case, paths=case["paths"][:1])
        raw = export(converter, alone, os.path.join(work, name + ".alone.vcf"), "vcard", told=False)
        first = [u for u, c in zip(uids3, contacts) if c["book"] == 0]
        same("the first book's UIDs as when it is exported alone",
             first, [v.uid.value for v in vobject.readComponents(raw.decode("utf-8"))])
    path_csv = os.path.join(work, name + ".csv")
    check_csv(export(converter, case, path_csv, "csv"), contacts)
    check_ldif(export(converter, case, os.path.join(work, name + ".ldif"), "ldif"), contacts)
    npm_files.append((path3, "vcard", case, "3.0"))
    npm_files.append((path4, "vcard", case, "4.0"))
    npm_files.append((path_csv, "csv", case, None))


def check_with_npm(node_modules, npm_files):
    """ical.js and papaparse read every file in one run of node."""
    script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "parse_with_npm.mjs")
    arguments = ["%s:%s" % (kind, path) for path, kind, _, _ in npm_files]
    done = subprocess.run(["node", script] + arguments,
                          capture_output=True, env=dict(os.environ, NODE_PATH=node_modules))
    if done.returncode != 0:
        return ["node failed: %s" % done.stderr.decode(errors="replace")]
    parsed = json.loads(done.stdout)
    failures = []
    for path, kind, case, version in npm_files:
        try:
            if kind == "vcard":
                check_icaljs(parsed[path], case["contacts"], version)
            else:
                same("papaparse errors", parsed[path]["errors"], [])
                check_rows(parsed[path]["rows"], case["contacts"], "papaparse")
        except Mismatch as error:
            failures.append("%s: %s" % (os.path.basename(path), error))
    return failures


def main():
    converter, cases_dir, node_modules = sys.argv[1], sys.argv[2], sys.argv[3]
    if not shutil.which("node") or not os.path.isdir(os.path.join(node_modules, "ical.js")) or \
            not os.path.isdir(os.path.join(node_modules, "papaparse")):
        print("SKIPPED: ical.js and papaparse are not in %s (scripts/install-deps.sh installs them)"
              % node_modules)
        return 77
    files = sys.argv[4:] or sorted(glob.glob(os.path.join(cases_dir, "*.json")))
    failures, npm_files, contacts = [], [], 0
    with tempfile.TemporaryDirectory() as work:
        for path in files:
            case = load_case(path)
            case["name"] = os.path.splitext(os.path.basename(path))[0]
            try:
                round_trip(converter, case, work, npm_files)
            except Mismatch as error:
                failures.append("%s: %s" % (case["name"], error))
            except Exception as error:  # a parser that cannot read a file at all
                failures.append("%s: %s: %s" % (case["name"], type(error).__name__, error))
            contacts += len(case["contacts"])
        failures += check_with_npm(node_modules, npm_files)
    if not sys.argv[4:] and not failures:
        failures += ["known fault %s no longer met: take it out of KNOWN_FAULTS" % name
                     for name in sorted(set(KNOWN_FAULTS) - faults_met)]
    for failure in failures:
        print("FAILED %s" % failure)
    print("%d cases, %d contacts, each as vCard 3.0, vCard 4.0, CSV and LDIF, read by vobject, "
          "csv, EContact, ldif, ical.js and papaparse" % (len(files), contacts))
    print("Client limits, asserted as such:")
    for key, reason in CLIENT_LIMITS.items():
        print("  %s: %s" % (key, reason))
    print("Known faults of the converter, asserted as they stand:")
    for key, fault in KNOWN_FAULTS.items():
        print("  %s: %s" % (key, fault))
    print("%d failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
