#!/usr/bin/env python3
"""Imports files into Evolution through the importers its File > Import
calls (libevolution-addressbook-importers) and prints what the address
book then holds, as JSON: per request, the vCard of every contact.

Runs inside its own session bus (dbus-run-session) with a throwaway HOME,
where evolution-data-server's services start on demand:

    evolution_import.py REQUESTS.json

REQUESTS.json is a list of {"kind": "ldif"|"vcard"|"csv", "files": [...]}:
the files are imported one after another into the system address book,
which is read and then emptied. Failing to load or run the importer is an
error, never a skip.
"""
import ctypes
import json
import os
import sys
from ctypes import c_char_p, c_int, c_uint32, c_void_p

import gi

gi.require_version("EDataServer", "1.2")
gi.require_version("EBook", "1.2")
gi.require_version("EBookContacts", "1.2")
from gi.repository import EBook, EBookContacts, EDataServer  # noqa: E402

LIBS = "/usr/lib/evolution"
glib = ctypes.CDLL("libglib-2.0.so.0")
gobject = ctypes.CDLL("libgobject-2.0.so.0")
eds = ctypes.CDLL("libedataserver-1.2.so.27")
eutil = ctypes.CDLL(os.path.join(LIBS, "libevolution-util.so.0"), mode=ctypes.RTLD_GLOBAL)
importers = ctypes.CDLL(os.path.join(LIBS, "libevolution-addressbook-importers.so.0"))

eds.e_source_registry_new_sync.restype = c_void_p
eds.e_source_registry_new_sync.argtypes = [c_void_p, c_void_p]
eds.e_source_registry_ref_source.restype = c_void_p
eds.e_source_registry_ref_source.argtypes = [c_void_p, c_char_p]
gobject.g_object_ref.restype = c_void_p
gobject.g_object_ref.argtypes = [c_void_p]
eutil.e_import_new.restype = c_void_p
eutil.e_import_new.argtypes = [c_char_p]
eutil.e_import_target_new_uri.restype = c_void_p
eutil.e_import_target_new_uri.argtypes = [c_void_p, c_char_p, c_char_p]
DONE = ctypes.CFUNCTYPE(None, c_void_p, c_void_p, c_void_p)
STATUS = ctypes.CFUNCTYPE(None, c_void_p, c_char_p, c_int, c_void_p)
eutil.e_import_import.argtypes = [c_void_p, c_void_p, c_void_p, STATUS, DONE, c_void_p]
glib.g_quark_from_string.restype = c_uint32
glib.g_quark_from_string.argtypes = [c_char_p]
glib.g_datalist_id_set_data_full.argtypes = [c_void_p, c_uint32, c_void_p, c_void_p]
glib.g_main_loop_new.restype = c_void_p
glib.g_main_loop_new.argtypes = [c_void_p, c_int]
glib.g_main_loop_run.argtypes = [c_void_p]
glib.g_main_loop_quit.argtypes = [c_void_p]
glib.g_main_loop_unref.argtypes = [c_void_p]

# The importer of each kind, and the key under which it finds the book.
PEEK = {"ldif": ("evolution_ldif_importer_peek", b"ldif-source"),
        "vcard": ("evolution_vcard_importer_peek", b"vcard-source"),
        "csv": ("evolution_csv_outlook_importer_peek", b"csv-source")}
for name, _ in PEEK.values():
    getattr(importers, name).restype = c_void_p


SUPPORTED = ctypes.CFUNCTYPE(c_int, c_void_p, c_void_p, c_void_p)


class Importer(ctypes.Structure):
    """The start of EImportImporter: its type, priority, and the function
    that says whether it takes a target."""
    _fields_ = [("type", c_int), ("pri", c_int), ("supported", SUPPORTED)]


class TargetUri(ctypes.Structure):
    """EImportTargetURI: the EImportTarget (import, type, data), then the
    source and destination."""
    _fields_ = [("import_", c_void_p), ("type", c_uint32), ("data", c_void_p),
                ("uri_src", c_char_p), ("uri_dest", c_char_p)]


def import_file(source, kind, path):
    peek, key = PEEK[kind]
    importer = getattr(importers, peek)()
    ei = eutil.e_import_new(b"veltrana-real-programs")
    target = eutil.e_import_target_new_uri(ei, ("file://" + os.path.abspath(path)).encode(), None)
    data = target + TargetUri.data.offset
    glib.g_datalist_id_set_data_full(data, glib.g_quark_from_string(key),
                                     gobject.g_object_ref(source), None)
    # Asked first, as File > Import asks every importer: the CSV importer
    # learns its delimiter from the file's name there.
    if not Importer.from_address(importer).supported(ei, target, importer):
        raise RuntimeError("Evolution's %s importer does not take %s" % (kind, path))
    loop = glib.g_main_loop_new(None, 0)
    failed = []

    @DONE
    def done(_ei, error, _data):
        failed.append(bool(error))
        glib.g_main_loop_quit(loop)

    @STATUS
    def status(_ei, _what, _percent, _data):
        pass

    eutil.e_import_import(ei, target, importer, status, done, None)
    glib.g_main_loop_run(loop)
    glib.g_main_loop_unref(loop)
    if failed != [False]:
        raise RuntimeError("Evolution's %s importer failed on %s" % (kind, path))


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        requests = json.load(f)
    registry = eds.e_source_registry_new_sync(None, None)
    source = eds.e_source_registry_ref_source(registry, b"system-address-book")
    if not registry or not source:
        raise RuntimeError("evolution-source-registry gave no system address book")
    # The book reports itself connected to a main loop this script does not
    # run while it waits: a second is enough for a local book.
    client = EBook.BookClient.connect_sync(
        EDataServer.SourceRegistry.new_sync(None).ref_source("system-address-book"), 1, None)
    answers = []
    for request in requests:
        for path in request["files"]:
            import_file(source, request["kind"], path)
        _, contacts = client.get_contacts_sync("", None)
        answers.append([c.to_string(EBookContacts.VCardFormat(1)) for c in contacts])
        client.remove_contacts_sync([c.get_property("id") for c in contacts], 0, None)
    json.dump(answers, sys.stdout)


if __name__ == "__main__":
    main()
