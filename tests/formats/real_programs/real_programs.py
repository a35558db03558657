#!/usr/bin/env python3
"""The exports imported into the real address books and mail clients.

Each case of tests/formats/round_trip (a book or a Eudora folder, with what
an address book should hold of each contact, written by hand beside it),
and two made here by a rule (a book of long notes, and 5,000 contacts with
50 lists), is exported, and every file is given to the programs the
documentation recommends it for:

- Thunderbird (headless, a throwaway profile, driven over its Marionette
  port): its own import module, AddrBookFileImporter, the code behind
  Tools > Import > Address Book, with the LDIF file (its lists) and the
  vCard 4.0 file; the address book is read back card by card.
- Evolution: the importers File > Import calls (the library
  libevolution-addressbook-importers) into the system address book of a
  throwaway HOME on a session bus of its own, read back from
  evolution-data-server: the vCard 3.0 file, and the LDIF file (its lists).
- neomutt and mutt: every alias expanded (-A) and a list sent in batch
  mode through a stand-in sendmail that writes down its recipients.
- abook: the vCard 3.0 file converted into abook's own format.

What each program keeps is compared field by field with the expectations.
What a program cannot hold is in LIMITS and asserted there by name, so
that nothing is lost without the documentation's table saying so. A
program that does not start fails the test.

    real_programs.py CONVERTER CASES_DIR
"""
import email.header
import email.utils
import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
try:
    import round_trip as rt
except SystemExit:
    print("FAILED: round_trip's parsers are missing (scripts/install-deps.sh installs them)")
    sys.exit(1)
import vobject  # noqa: E402  (round_trip has made sure of it)
from round_trip import Mismatch, same  # noqa: E402

# What a program cannot hold, each asserted as such where it is met.
LIMITS = {
    "thunderbird-ldif-category": "Thunderbird's LDIF has no category: the book's name is not kept",
    "thunderbird-suffix": "Thunderbird's card has no name suffix; the display name keeps it",
    "thunderbird-one-card-per-address": "Thunderbird finds a list's member by address: two "
                                        "people with one address are one member, the first",
    "thunderbird-ldif-reimport": "Thunderbird's LDIF import adds every card and list again; "
                                 "its vCard import replaces the card of the same UID",
    "thunderbird-vcard-groups": "Thunderbird's vCard import makes no mailing list: a vCard 4.0 "
                                "group is a card without addresses",
    "thunderbird-org-semicolon": "Thunderbird's vCard import takes a company's escaped ';' "
                                 "for the start of its department",
    "thunderbird-other-phone": "Thunderbird files a phone by the first type it knows (work, "
                               "home, cell, fax, pager); an 'other' phone (VOICE alone) has none",
    "evolution-ldif-fields": "Evolution's LDIF importer maps no home or work street, given "
                             "name, nickname, work web page, suffix or category, and files "
                             "the fax as a business fax: use vCard 3.0, LDIF only for lists",
    "evolution-reimport": "Evolution's vCard import refuses a card whose UID it has, without a "
                          "word: a later export does not update it",
    "evolution-four-emails": "Evolution shows four e-mail addresses (email-1 to email-4); the "
                             "rest stay in the card",
    "evolution-one-url": "Evolution shows the first URL as the home page; the rest stay in the "
                         "card",
    "evolution-csv": "Evolution's Outlook CSV importer maps no 'Country/Region' column and "
                     "drops every double quote of a value",
    "abook-vcard-semicolon": "abook reads a vCard value to its first ';', escaped or not",
    "abook-vcard-backslash": "abook keeps the backslash of an escaped vCard ',' (\\,)",
    "abook-vcard-cuts": "abook reads a folded vCard line to its first fold (a long address is "
                        "cut at 75 octets) and a contact's addresses to about 700 characters",
}
limits_met = set()


def limit(name):
    assert name in LIMITS, name
    limits_met.add(name)


class Failure(Exception):
    pass


# ---------------------------------------------------------------- the cases

def rule_case(name, people, lists, note_lengths=()):
    """A book and its expectations made by one rule: person k is nickname
    pK, "Given K Family", pK@example.org, a work phone and a work address;
    list j names every person whose number is j modulo `lists`. The note of
    person k is `note_lengths[k]` characters long where given."""
    lines, contacts = [], []
    for k in range(people):
        length = note_lengths[k] if k < len(note_lengths) else 0
        note = ("Note %d " % k).ljust(length, "x") if length else ""
        lines.append("alias p%d Given%d Family%d <p%d@example.org>" % (k, k, k, k))
        lines.append("note p%d <phone2:555 %04d><address2:%d Long Road><city2:Town %d>%s"
                     % (k, k, k, k % 50, note))
        contacts.append({"nick": "p%d" % k, "fn": "Given%d Family%d" % (k, k),
                         "given": "Given%d" % k, "family": "Family%d" % k,
                         "emails": ["p%d@example.org" % k],
                         "email_names": {"p%d@example.org" % k: "Given%d Family%d" % (k, k)},
                         "phones": [["work", "555 %04d" % k]],
                         "work": [{"street": "%d Long Road" % k, "city": "Town %d" % (k % 50)}],
                         "notes": [note] if note else []})
    for j in range(lists):
        members = ["p%d" % k for k in range(people) if k % lists == j]
        lines.append("alias list%d %s" % (j, ", ".join(members)))
        contacts.append({"nick": "list%d" % j, "list": True, "fn": "list%d" % j,
                         "members": members, "people": members,
                         "all_emails": [m + "@example.org" for m in members]})
    return name, "\r\n".join(lines) + "\r\n", {
        "purpose": "made by rule", "books": [{"file": name + ".txt", "category": name,
                                              "read_as": "windows-1252"}],
        "contacts": contacts}


def load_cases(cases_dir, work):
    cases = []
    for path in sorted(os.listdir(cases_dir)):
        if path.endswith(".json"):
            cases.append(rt.load_case(os.path.join(cases_dir, path)))
            cases[-1]["name"] = path[:-5]
    # A note of 1,010 characters makes an LDIF line of 1,023 bytes: Evolution
    # read it as the end of the entry and lost every contact after it.
    made = [rule_case("long_notes", 100, 2, [0] * 10 + [1010, 1023, 2033, 3000, 60, 63, 64]),
            rule_case("five_thousand", 5000, 50)]
    for name, book, expectations in made:
        with open(os.path.join(work, name + ".txt"), "w", encoding="ascii", newline="") as f:
            f.write(book)
        with open(os.path.join(work, name + ".json"), "w", encoding="utf-8") as f:
            json.dump(expectations, f)
        cases.append(rt.load_case(os.path.join(work, name + ".json")))
        cases[-1]["name"] = name
    return cases


def export_all(converter, cases, work):
    """Every case in every format: case["files"][format] is the path."""
    options = {"ldif": ("ldif", ".ldif"), "vcard3": ("vcard", ".vcf"),
               "vcard4": ("vcard4", ".vcf"), "mutt": ("mutt", ".aliases"), "csv": ("csv", ".csv")}
    for case in cases:
        case["files"] = {}
        for fmt, (option, extension) in options.items():
            path = os.path.join(work, "%s.%s%s" % (case["name"], fmt, extension))
            rt.export(converter, case, path, option, told=False)
            case["files"][fmt] = path


# ---------------------------------------------------------------- Thunderbird

THUNDERBIRD_IMPORT = r"""
const [kind, path, bookName, done] = arguments;
const { MailServices } = ChromeUtils.importESModule("resource:///modules/MailServices.sys.mjs");
const { AddrBookFileImporter } = ChromeUtils.importESModule(
  "resource:///modules/AddrBookFileImporter.sys.mjs");
(async () => {
  let dir = MailServices.ab.directories.find(d => d.dirName == bookName);
  if (!dir) {
    dir = MailServices.ab.getDirectoryFromId(
      MailServices.ab.newAddressBook(bookName, "", Ci.nsIAbManager.JS_DIRECTORY_TYPE));
  }
  const file = Cc["@mozilla.org/file/local;1"].createInstance(Ci.nsIFile);
  file.initWithPath(path);
  await new AddrBookFileImporter(kind).startImport(file, dir);
  const cards = dir.childCards.filter(c => !c.isMailList)
    .map(c => ({uid: c.UID, vcard: c.vCardProperties.toVCard()}));
  const lists = dir.childNodes.map(l => ({
    name: l.dirName, nickname: l.listNickName, description: l.description,
    members: l.childCards.map(c => [c.displayName, c.primaryEmail])}));
  return {cards, lists};
})().then(done, e => done({error: String(e) + "\n" + e.stack}));
"""


class Thunderbird:
    """Thunderbird, headless in a throwaway profile, over Marionette: a
    length-prefixed JSON message each way."""

    def __init__(self, work):
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            port = probe.getsockname()[1]
        profile = os.path.join(work, "thunderbird-profile")
        os.makedirs(profile)
        with open(os.path.join(profile, "user.js"), "w") as f:
            for pref, value in (("marionette.port", port), ("mail.shell.checkDefaultClient", False),
                                ("mail.provider.suppress_dialog_on_startup", True),
                                ("mailnews.start_page.enabled", False),
                                ("app.update.disabledForTesting", True),
                                ("datareporting.policy.dataSubmissionEnabled", False)):
                f.write("user_pref(%s, %s);\n" % (json.dumps(pref), json.dumps(value)))
        self.log = open(os.path.join(work, "thunderbird.log"), "wb")
        thunderbird = shutil.which("thunderbird")
        if not thunderbird:
            raise Failure("thunderbird is not installed (scripts/install-deps.sh installs it)")
        env = dict(os.environ, HOME=os.path.join(work, "thunderbird-home"), MOZ_HEADLESS="1")
        self.process = subprocess.Popen(
            [thunderbird, "--headless", "--marionette", "--remote-allow-system-access",
             "--no-remote", "-profile", profile], stdout=self.log, stderr=subprocess.STDOUT,
            env=env)
        deadline = time.monotonic() + 300  # a loaded machine starts it slowly
        while True:
            try:
                self.sock = socket.create_connection(("127.0.0.1", port), timeout=600)
                break
            except OSError:
                if self.process.poll() is not None or time.monotonic() > deadline:
                    self.close()
                    raise Failure("Thunderbird did not start: see %s" % self.log.name)
                time.sleep(0.2)
        self.buffer, self.id = b"", 0
        self._read()  # its greeting
        self.version = self.call("WebDriver:NewSession", {"capabilities": {
            "alwaysMatch": {"timeouts": {"script": 600000}}}})["capabilities"]["browserVersion"]
        self.call("Marionette:SetContext", {"value": "chrome"})

    def _read(self):
        while b":" not in self.buffer:
            self._more()
        length, rest = self.buffer.split(b":", 1)
        while len(rest) < int(length):
            self._more()
            length, rest = self.buffer.split(b":", 1)
        self.buffer = rest[int(length):]
        return json.loads(rest[:int(length)])

    def _more(self):
        chunk = self.sock.recv(1 << 20)
        if not chunk:
            raise Failure("Thunderbird closed its Marionette connection")
        self.buffer += chunk

    def call(self, command, parameters):
        self.id += 1
        message = json.dumps([0, self.id, command, parameters]).encode()
        self.sock.sendall(b"%d:%s" % (len(message), message))
        while True:
            reply = self._read()
            if reply[0] == 1 and reply[1] == self.id:
                if reply[2]:
                    raise Failure("Marionette %s: %s" % (command, reply[2]))
                return reply[3]

    def import_file(self, kind, path, book):
        """The address book `book` (made when new) after importing `path`."""
        answer = self.call("WebDriver:ExecuteAsyncScript",
                           {"script": THUNDERBIRD_IMPORT, "args": [kind, path, book]})["value"]
        if "error" in answer:
            raise Failure("Thunderbird's import of %s: %s" % (path, answer["error"]))
        return answer

    def close(self):
        try:
            self.call("Marionette:Quit", {"flags": ["eForceQuit"]})
        except Exception:  # it may be gone already; it is killed below then
            pass
        try:
            self.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.log.close()


def card_props(text):
    """A card Thunderbird keeps (its own vCard 4.0), as LDIF attributes."""
    card = vobject.readOne(text)
    props = {}

    def put(name, value):
        if value:
            props.setdefault(name, []).append(value)

    put("cn", card.fn.value if hasattr(card, "fn") else "")
    n = card.contents.get("n", [None])[0]
    if n is not None:
        put("givenName", n.value.given)
        put("sn", n.value.family)
        props["suffix"] = n.value.suffix
    for v in card.contents.get("nickname", []):
        put("mozillaNickname", v.value)
    emails = card.contents.get("email", [])
    emails.sort(key=lambda v: 0 if "1" in v.params.get("PREF", []) else 1)
    for v, name in zip(emails, ["mail", "mozillaSecondEmail"]):
        put(name, v.value)
    for v in card.contents.get("tel", []):
        kinds = rt.types(v)
        name = ("facsimileTelephoneNumber" if "fax" in kinds else "mobile" if "cell" in kinds
                else "telephoneNumber" if "work" in kinds else "homePhone" if "home" in kinds
                else "otherPhone")
        put(name, v.value)
    for v in card.contents.get("adr", []):
        names = rt.LDIF_WORK if "work" in rt.types(v) else rt.LDIF_HOME
        a = v.value
        for name, part in zip(names, (a.street, a.city, a.region, a.code, a.country)):
            put(name, part)
    # (vobject keeps a URL only to its first comma: the card's own text.)
    unfolded = re.sub(r"\r?\n[ \t]", "", text)
    for line in re.findall(r"^URL[;:].*$", unfolded, re.M | re.I):
        head, value = line.rstrip("\r").split(":", 1)
        put("mozillaWorkUrl" if "type=work" in head.lower() else "mozillaHomeUrl", value)
    put("title", card.title.value if hasattr(card, "title") else "")
    if hasattr(card, "org"):
        put("o", card.org.value[0])
    put("description", card.note.value if hasattr(card, "note") else "")
    props["categories"] = [v.value for v in card.contents.get("categories", [])]
    return props


def first_card_of(contacts, address):
    """The person Thunderbird finds for an address: the first card whose
    first or second address it is, letter case ignored."""
    for i, c in enumerate(contacts):
        if not c["is_list"] and address.lower() in [a.lower() for a in c["resolved"][:2]]:
            return i
    return None


def check_thunderbird_ldif(answer, contacts):
    # The lists first: a member lost is the worst a card can come to.
    lists = {l["nickname"]: l for l in answer["lists"]}
    for i, c in enumerate(contacts):
        if not c["is_list"]:
            continue
        got = lists.get(c["nick"])
        if got is None:
            raise Mismatch("%s (Thunderbird, LDIF): no mailing list" % rt.who(contacts, i))
        members = set()
        for p in c["people"]:
            if contacts[p]["resolved"]:
                first = first_card_of(contacts, contacts[p]["resolved"][0])
                if first != p:
                    limit("thunderbird-one-card-per-address")
                members.add((contacts[first]["fn"], contacts[first]["resolved"][0].lower()))
        same("%s list members" % c["nick"],
             sorted((n, a.lower()) for n, a in got["members"]), sorted(members))
        same("%s list name" % c["nick"], got["name"], c["fn"])
        same("%s list description" % c["nick"], got["description"],
             rt.ldif_entry(c).get("description", [""])[0])
    people = [c for c in contacts if not c["is_list"]]
    same("cards", len(answer["cards"]), len(people))
    cards = [card_props(card["vcard"]) for card in answer["cards"]]
    # Cards are matched by nickname, name and address, in order among equals.
    for i, c in enumerate(contacts):
        if c["is_list"]:
            continue
        want = rt.ldif_entry(c)
        key = (want.get("mozillaNickname"), want.get("cn"), want.get("mail"))
        found = [k for k, card in enumerate(cards)
                 if (card.get("mozillaNickname"), card.get("cn"), card.get("mail")) == key]
        if not found:
            raise Mismatch("%s (Thunderbird, LDIF): no card %r" % (rt.who(contacts, i), key))
        card = cards.pop(found[0])
        for name in rt.LDIF_ATTRIBUTES:
            same("%s (Thunderbird, LDIF) %s" % (rt.who(contacts, i), name),
                 card.get(name, []), want.get(name, []))
        same("%s (Thunderbird, LDIF) no other phone" % rt.who(contacts, i),
             card.get("otherPhone", []), [])
        if c["category"]:
            same("categories", card["categories"], [])
            limit("thunderbird-ldif-category")
        if c["suffix"]:
            same("suffix", card.get("suffix"), "")
            limit("thunderbird-suffix")


def check_thunderbird_vcard4(answer, contacts, uids):
    """Thunderbird's cards from the vCard 4.0 file: every field as the
    round trip reads the file, but a group holds no members there."""
    same("cards (Thunderbird, vCard 4.0)", len(answer["cards"]), len(contacts))
    same("UIDs in the vCard 4.0 file", len(uids), len(contacts))
    by_uid = {card["uid"]: card["vcard"] for card in answer["cards"]}
    for i, (c, uid) in enumerate(zip(contacts, uids)):
        text = by_uid.get(uid, by_uid.get(uid.replace("urn:uuid:", "")))
        if text is None:
            raise Mismatch("%s (Thunderbird, vCard 4.0): no card of UID %s among %s"
                           % (rt.who(contacts, i), uid, sorted(by_uid)[:3]))
        card = vobject.readOne(text)
        where = "%s (Thunderbird, vCard 4.0)" % rt.who(contacts, i)
        same(where + " FN", card.fn.value, c["fn"])
        n = card.contents.get("n", [])
        if c["given"] or c["family"]:
            same(where + " N", [(v.value.family, v.value.given, v.value.suffix) for v in n],
                 [(c["family"], c["given"], c["suffix"])])
        same(where + " NICKNAME", [v.value for v in card.contents.get("nickname", [])],
             [c["nick"]] if c["nick"] else [])
        emails = [v.value for v in card.contents.get("email", [])]
        if c["is_list"]:
            same(where + " EMAIL of a group", emails, c["emails"])
            limit("thunderbird-vcard-groups")
        else:
            same(where + " EMAIL", emails, c["resolved"])
        tels = [(rt.types(v), v.value) for v in card.contents.get("tel", [])]
        same(where + " TEL", [n for _, n in tels], [n for _, n in c["phones"]])
        if any(k == "other" for k, _ in c["phones"]):
            limit("thunderbird-other-phone")
        adr = [(("work" if "work" in rt.types(v) else "home"),
                (v.value.street, v.value.city, v.value.region, v.value.code, v.value.country))
               for v in card.contents.get("adr", [])]
        same(where + " ADR", adr, [(side, a) for side in ("home", "work") for a in c[side]])
        same(where + " URL", [v.value for v in card.contents.get("url", [])],
             [u for _, u in c["webs"]])
        same(where + " TITLE", [v.value for v in card.contents.get("title", [])],
             [c["title"]] if c["title"] else [])
        company = [c["company"]] if c["company"] else []
        if ";" in c["company"]:
            company = c["company"].split(";", 1)  # the rest as its department
            limit("thunderbird-org-semicolon")
        same(where + " ORG", [v.value for v in card.contents.get("org", [])],
             [company] if company else [])
        same(where + " CATEGORIES", [v.value for v in card.contents.get("categories", [])],
             [[c["category"]]])
        same(where + " NOTE", [v.value for v in card.contents.get("note", [])],
             [rt.note_text(c)] if rt.note_text(c) else [])


# ---------------------------------------------------------------- Evolution

def run_evolution(requests, work):
    home = os.path.join(work, "evolution-home")
    os.makedirs(home)
    path = os.path.join(work, "evolution-requests.json")
    with open(path, "w") as f:
        json.dump(requests, f)
    env = dict(os.environ, HOME=home, XDG_DATA_HOME=os.path.join(home, "data"),
               XDG_CONFIG_HOME=os.path.join(home, "config"),
               XDG_CACHE_HOME=os.path.join(home, "cache"), GSETTINGS_BACKEND="memory")
    env.pop("DBUS_SESSION_BUS_ADDRESS", None)
    if not shutil.which("dbus-run-session"):
        raise Failure("dbus-run-session is not installed (scripts/install-deps.sh installs dbus)")
    done = subprocess.run(["dbus-run-session", "--", "/usr/bin/python3",
                           os.path.join(HERE, "evolution_import.py"), path],
                          capture_output=True, env=env, timeout=1200)
    if done.returncode != 0:
        raise Failure("Evolution's import failed (%d): %s" % (
            done.returncode, done.stderr.decode(errors="replace")[-3000:]))
    return json.loads(done.stdout)


def file_uids(path):
    with open(path, encoding="utf-8", newline="") as f:
        return re.findall(r"^UID:(.*)\r$", f.read(), re.M)


def check_evolution_vcard3(cards, contacts, uids):
    """Evolution's contacts from the vCard 3.0 file, in the file's order
    (by UID), every field as round_trip reads a card with EContact."""
    same("contacts (Evolution, vCard 3.0)", len(cards), len(contacts))
    same("UIDs in the vCard 3.0 file", len(uids), len(contacts))
    by_uid = {}
    for text in cards:
        by_uid[re.search(r"\nUID:(.*)\r\n", text).group(1)] = text
    ordered = []
    for i, uid in enumerate(uids):
        if uid not in by_uid:
            raise Mismatch("%s (Evolution, vCard 3.0): no contact of UID %s"
                           % (rt.who(contacts, i), uid))
        ordered.append(by_uid[uid])
    rt.check_evolution("".join(t + "\r\n" for t in ordered).encode(), contacts, "3.0")
    if any(len(c["resolved"]) > 4 for c in contacts):
        limit("evolution-four-emails")
    if any(len(c["webs"]) > 1 for c in contacts):
        limit("evolution-one-url")


def member_text(header):
    """'Name <address>' of an address as a mail header holds it."""
    text = "".join(
        part if isinstance(part, str) else
        part.decode(charset or "raw-unicode-escape")  # (how decode_header keeps plain text)
        for part, charset in email.header.decode_header(header))
    name, address = email.utils.parseaddr(text)
    return "%s <%s>" % (name, address)


def check_evolution_ldif(cards, contacts):
    """Evolution's contacts from the LDIF file: all of them (a long line
    once ended the import), with what its LDIF importer maps; its lists
    with their members."""
    from gi.repository import EBookContacts
    same("contacts (Evolution, LDIF)", len(cards), len(contacts))
    got = [EBookContacts.Contact.new_from_vcard(text) for text in cards]
    for i, c in enumerate(contacts):
        want = rt.ldif_entry(c)
        where = "%s (Evolution, LDIF)" % rt.who(contacts, i)
        matches = [k for k, e in enumerate(got)
                   if (e.get_property("full-name") or "") == c["fn"] and
                   bool(e.get_property("list")) == c["is_list"] and
                   (e.get_property("note") or "") == want.get("description", [""])[0]]
        if not matches:
            raise Mismatch("%s: no contact named %r with its notes" % (where, c["fn"]))
        e = got.pop(matches[0])
        emails = [a.get_values()[0] for a in EBookContacts.VCard.get_attributes(e)
                  if a.get_name() == "EMAIL"]
        if c["is_list"]:
            members = ["%s <%s>" % (contacts[p]["fn"], contacts[p]["resolved"][0])
                       for p in c["people"] if contacts[p]["resolved"]]
            # Evolution keeps a member as a header's address: the name
            # RFC 2047-encoded or quoted where it must be.
            same(where + " members", sorted(member_text(m) for m in emails), sorted(members))
            continue
        same(where + " email", emails, want.get("mail", []) + want.get("mozillaSecondEmail", []))
        # Without an "sn" Evolution makes the name's parts from the full
        # name, as it does for a name typed in.
        if want.get("sn"):
            same(where + " family name", (e.get_property("name").family or "")
                 if e.get_property("name") else "", c["family"])
        for field, attribute in (("business-phone", "telephoneNumber"), ("home-phone", "homePhone"),
                                 ("mobile-phone", "mobile"),
                                 ("business-fax", "facsimileTelephoneNumber"),
                                 ("title", "title"), ("org", "o"),
                                 ("homepage-url", "mozillaHomeUrl")):
            same(where + " " + field, e.get_property(field) or "", want.get(attribute, [""])[0])
        for field, names in (("address-home", rt.LDIF_HOME), ("address-work", rt.LDIF_WORK)):
            a = e.get_property(field)
            parts = (a.locality, a.region, a.code, a.country) if a else ("",) * 4
            same(where + " " + field, tuple(p or "" for p in parts),
                 tuple(want.get(n, [""])[0] for n in names[1:]))
        if (want.get("mozillaHomeStreet") or want.get("street") or want.get("givenName") or
                want.get("mozillaNickname") or want.get("mozillaWorkUrl") or c["suffix"]):
            limit("evolution-ldif-fields")


# ---------------------------------------------------------------- mutt

def mutt_expansions(program, aliases_file, names, work):
    """What `program -A` makes of each alias name: the items it stands for,
    an address or another alias's name each."""
    rc = os.path.join(work, "muttrc")
    with open(rc, "w") as f:
        f.write("set charset=utf-8\nsource %s\n" % aliases_file.replace(" ", "\\ "))
    expansions = {}
    env = dict(os.environ, HOME=work, LC_ALL="C.UTF-8")
    for start in range(0, len(names), 500):
        chunk = names[start:start + 500]
        arguments = [program, "-n", "-F", rc]
        for name in chunk:
            arguments += ["-A", name]
        done = subprocess.run(arguments, capture_output=True, env=env, timeout=120)
        if done.returncode != 0 or done.stderr:
            raise Failure("%s -A failed (%d): %s" % (program, done.returncode,
                                                     done.stderr.decode(errors="replace")[-2000:]))
        # A long expansion goes on over lines that open with a tab.
        lines = done.stdout.decode("utf-8").replace("\n\t", " ").splitlines()
        same("%s: one line per alias" % program, len(lines), len(chunk))
        for name, line in zip(chunk, lines):
            expansions[name] = [a or b for a, b in re.findall(
                r"<([^<>]*)>|(?:^|,)\s*([^\s<>,\"]+)(?=\s*(?:,|$))", line)]
    return expansions


def check_mutt(program, case, work):
    """Every alias expands to the addresses its contact stands for, an
    alias inside it expanded as mutt does when it sends."""
    contacts = [c for c in case["contacts"] if c["nick"] and c["resolved"]]
    got = mutt_expansions(program, case["files"]["mutt"], [c["mutt_alias"] for c in contacts],
                          work)

    def expand(name, seen):
        for item in got[name]:
            if "@" in item:
                yield item.lower()
            elif item in got and item not in seen:
                yield from expand(item, seen | {item})
            else:
                raise Mismatch("%s -A %s names %r, which is no alias" % (program, name, item))
    for c in contacts:
        addresses = list(dict.fromkeys(expand(c["mutt_alias"], {c["mutt_alias"]})))
        same("%s (%s -A %s)" % (c["nick"], program, c["mutt_alias"]), addresses,
             list(dict.fromkeys(a.lower() for a in c["resolved"])))


def check_mutt_send(program, case, work):
    """Each list sent in batch mode: the stand-in sendmail is given every
    address the list stands for."""
    sendmail = os.path.join(work, "sendmail")
    with open(sendmail, "w") as f:
        f.write("#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"$0.args\"\ncat >/dev/null\n")
    os.chmod(sendmail, 0o755)
    rc = os.path.join(work, "muttrc-send")
    with open(rc, "w") as f:
        f.write("set charset=utf-8\nset sendmail=\"%s\"\nset use_from=yes\n"
                "set from=test@example.org\nset copy=no\nset record=\"\"\nsource %s\n"
                % (sendmail, case["files"]["mutt"].replace(" ", "\\ ")))
    for c in case["contacts"]:
        if not c["members"] or not c["resolved"]:
            continue
        done = subprocess.run([program, "-n", "-F", rc, "-s", "test", "--", c["mutt_alias"]],
                              input=b"hello\n", capture_output=True, timeout=60,
                              env=dict(os.environ, HOME=work, LC_ALL="C.UTF-8"))
        if done.returncode != 0:
            raise Failure("%s could not send to %s: %s" % (program, c["mutt_alias"],
                                                           done.stderr.decode(errors="replace")))
        with open(sendmail + ".args") as f:
            recipients = [a for a in f.read().split() if "@" in a and a != "test@example.org"]
        same("%s sends to %s" % (program, c["mutt_alias"]), sorted(a.lower() for a in recipients),
             sorted(a.lower() for a in c["resolved"]))


# ---------------------------------------------------------------- abook

def check_abook(case, work):
    out = os.path.join(work, case["name"] + ".abook")
    done = subprocess.run(["abook", "--convert", "--informat", "vcard", "--infile",
                           case["files"]["vcard3"], "--outformat", "abook", "--outfile", out],
                          capture_output=True, env=dict(os.environ, HOME=work), timeout=120)
    if done.returncode != 0:
        raise Failure("abook failed: %s" % done.stderr.decode(errors="replace"))
    entries, entry = [], None
    with open(out, encoding="utf-8", errors="replace") as f:
        for line in f:
            if line.startswith("["):  # "[format]", then "[0]", "[1]" ...
                entry = {} if line[1:-2].isdigit() else None
                if entry is not None:
                    entries.append(entry)
            elif "=" in line and entry is not None:
                key, value = line.rstrip("\n").split("=", 1)
                entries[-1][key] = value
    same("abook entries", len(entries), len(case["contacts"]))
    for i, (entry, c) in enumerate(zip(entries, case["contacts"])):
        if ";" in c["fn"] or ";" in c["nick"] or any(";" in a for a in c["resolved"]):
            limit("abook-vcard-semicolon")
            continue
        where = "%s (abook, vCard 3.0)" % rt.who(case["contacts"], i)
        for field, want in (("name", vcard_escaped(c["fn"].replace("\n", " "))),
                            ("nick", c["nick"]), ("email", ",".join(c["resolved"]))):
            got = entry.get(field, "")
            if got != want and got and want.startswith(got):
                limit("abook-vcard-cuts")
                continue
            if got != c["fn"] and field == "name" and got == want:
                limit("abook-vcard-backslash")
            same(where + " " + field, got, want)


def vcard_escaped(text):
    """A text as vCard 3.0 escapes it, which abook keeps."""
    return text.replace("\\", "\\\\").replace(",", "\\,")


# ---------------------------------------------------------------- the run

def main():
    converter, cases_dir = sys.argv[1], sys.argv[2]
    failures = []
    started = time.monotonic()
    times, ends = [], [started]

    def phase(name):
        """The seconds since the last phase ended, named."""
        ends.append(time.monotonic())
        times.append("%s %.0f s" % (name, ends[-1] - ends[-2]))
    with tempfile.TemporaryDirectory() as work:
        cases = load_cases(cases_dir, work)
        export_all(converter, cases, work)
        by_name = {case["name"]: case for case in cases}

        def attempt(what, check):
            try:
                check()
            except (Mismatch, Failure) as error:
                failures.append("%s: %s" % (what, error))

        # Re-importing a later export: the sample book, then the same book
        # with one note changed.
        sample = by_name["nndbase"]
        later = os.path.join(work, "later.txt")
        with open(sample["paths"][0], "rb") as f:
            book = f.read()
        with open(later, "wb") as f:
            f.write(book.replace(b"Met at the spring fair.", b"Met again in the autumn."))
        for fmt, option in (("vcard3", "vcard"), ("vcard4", "vcard4"), ("ldif", "ldif")):
            path = os.path.join(work, "later.%s" % fmt)
            rt.export(converter, dict(sample, paths=[later]), path, option, told=False)
            sample["files"]["later-" + fmt] = path

        # The 5,000 contacts go to Thunderbird's LDIF import (its cards and
        # lists) and to neomutt: through every program they would take
        # minutes of a test suite that must stay short.
        small = [case for case in cases if case["name"] != "five_thousand"]
        requests = []
        for case in small:
            requests.append({"kind": "vcard", "files": [case["files"]["vcard3"]]})
            requests.append({"kind": "ldif", "files": [case["files"]["ldif"]]})
        requests.append({"kind": "vcard", "files": [sample["files"]["vcard3"],
                                                    sample["files"]["later-vcard3"]]})
        requests.append({"kind": "csv", "files": [sample["files"]["csv"]]})
        requests.append({"kind": "csv", "files": [by_name["escaping"]["files"]["csv"]]})
        phase("export")
        evolution = None
        try:
            evolution = run_evolution(requests, work)
        except (Failure, subprocess.TimeoutExpired) as error:
            failures.append("Evolution: %s" % error)
        if evolution:
            for n, case in enumerate(small):
                attempt("%s (Evolution, vCard 3.0)" % case["name"], lambda: check_evolution_vcard3(
                    evolution[2 * n], case["contacts"], file_uids(case["files"]["vcard3"])))
                attempt("%s (Evolution, LDIF)" % case["name"],
                        lambda: check_evolution_ldif(evolution[2 * n + 1], case["contacts"]))

            def reimport():
                cards = evolution[-3]
                same("Evolution after a second import", len(cards), len(sample["contacts"]))
                ann = [c for c in cards if "\nNICKNAME:ann\r\n" in c]
                same("Ann's note after the later export", "Met at the spring fair." in ann[0], True)
                limit("evolution-reimport")
            attempt("re-import (Evolution, vCard 3.0)", reimport)

            def csv():
                from gi.repository import EBookContacts
                cards = [EBookContacts.Contact.new_from_vcard(t) for t in evolution[-2]]
                nina = [c for c in cards if c.get_property("nickname") == "nina"]
                same("Evolution reads the Outlook CSV", len(nina), 1)
                work_address = nina[0].get_property("address-work")
                same("Nina's city from the CSV", work_address.locality, "Sheffield")
                same("Nina's Business Country/Region", work_address.country or "", "")
                cards = [EBookContacts.Contact.new_from_vcard(t) for t in evolution[-1]]
                esc = [c for c in cards if c.get_property("nickname") == "esc"]
                same("a company with quotes from the CSV", esc[0].get_property("org"),
                     'Pia & Co; Ltd, Intl')
                limit("evolution-csv")
            attempt("Outlook CSV (Evolution)", csv)

        phase("Evolution")
        thunderbird = None
        try:
            thunderbird = Thunderbird(work)
            for case in cases:
                attempt("%s (Thunderbird, LDIF)" % case["name"], lambda: check_thunderbird_ldif(
                    thunderbird.import_file("ldif", case["files"]["ldif"], "ldif " + case["name"]),
                    case["contacts"]))
                if case not in small:
                    continue
                attempt("%s (Thunderbird, vCard 4.0)" % case["name"],
                        lambda: check_thunderbird_vcard4(
                            thunderbird.import_file("vcard", case["files"]["vcard4"],
                                                    "vcard4 " + case["name"]),
                            case["contacts"], file_uids(case["files"]["vcard4"])))

            def reimport():
                once = thunderbird.import_file("vcard", sample["files"]["vcard4"], "again v4")
                twice = thunderbird.import_file("vcard", sample["files"]["later-vcard4"],
                                                "again v4")
                same("Thunderbird cards after a second vCard import", len(twice["cards"]),
                     len(once["cards"]))
                same("the later note", sum("Met again in the autumn." in c["vcard"]
                                           for c in twice["cards"]), 1)
                once = thunderbird.import_file("ldif", sample["files"]["ldif"], "again ldif")
                twice = thunderbird.import_file("ldif", sample["files"]["later-ldif"],
                                                "again ldif")
                same("Thunderbird cards after a second LDIF import", len(twice["cards"]),
                     2 * len(once["cards"]))
                limit("thunderbird-ldif-reimport")
            attempt("re-import (Thunderbird)", reimport)
        except Failure as error:
            failures.append("Thunderbird: %s" % error)
        finally:
            if thunderbird:
                thunderbird.close()

        phase("Thunderbird")
        for program in ("neomutt", "mutt"):
            if not shutil.which(program):
                failures.append("%s is not installed (scripts/install-deps.sh installs it)"
                                % program)
                continue
            for case in cases if program == "neomutt" else small:
                attempt("%s (%s)" % (case["name"], program), lambda: check_mutt(program, case, work))
            for case in small:
                attempt("%s (%s, batch send)" % (case["name"], program),
                        lambda: check_mutt_send(program, case, work))
        phase("neomutt and mutt")
        for case in small:
            attempt("%s (abook)" % case["name"], lambda: check_abook(case, work))

        phase("abook")
        versions = {"thunderbird": thunderbird.version if thunderbird else "did not start"}
        for program in ("neomutt", "mutt"):
            first = subprocess.run([program, "-v"], capture_output=True).stdout.decode()
            versions[program] = first.splitlines()[0] if first else "?"
        evolution_version = subprocess.run(["dpkg-query", "-W", "-f", "${Version}", "evolution"],
                                           capture_output=True).stdout.decode()
        versions["evolution"] = evolution_version
    for failure in failures:
        print("FAILED %s" % failure)
    unmet = sorted(set(LIMITS) - limits_met)
    if not failures and unmet:
        failures += ["limit %s never met: a case should show it" % name for name in unmet]
        for name in unmet:
            print("FAILED limit %s never met" % name)
    print("%d cases, %d contacts, imported into %s" % (
        len(cases), sum(len(c["contacts"]) for c in cases),
        ", ".join("%s %s" % kv for kv in versions.items())))
    print("Program limits, asserted as such:")
    for name, reason in LIMITS.items():
        print("  %s: %s" % (name, reason))
    print("%.0f s (%s); %d failed" % (time.monotonic() - started, ", ".join(times),
                                      len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
