#!/usr/bin/python3
"""Parses one recorded HTTP request whose body is a multipart form, with
Werkzeug's parsers, and lists its parts in order:

    multipart_parse.py REQUEST_FILE OUT_DIR

prints one line per part, tab-separated:
    field <name> <value as hex>
    file  <name> <filename> <content type> <size> <OUT_DIR/part-N.bin>
and exits non-zero when the request is malformed (missing head, Content-Length
not the body's length, a body either parser rejects).
"""
import io
import os
import sys

from werkzeug.formparser import parse_form_data
from werkzeug.sansio.multipart import Data, Epilogue, Field, File, MultipartDecoder, NeedData


def fail(why):
    print(why, file=sys.stderr)
    sys.exit(1)


def main():
    raw = open(sys.argv[1], "rb").read()
    out_dir = sys.argv[2]
    head, sep, body = raw.partition(b"\r\n\r\n")
    if not sep:
        fail("no end of head")
    headers = {}
    for line in head.split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        headers[name.strip().lower().decode("latin-1")] = value.strip().decode("latin-1")
    length = int(headers.get("content-length", "-1"))
    if length != len(body):
        fail("Content-Length %d but the body has %d bytes" % (length, len(body)))
    content_type = headers.get("content-type", "")
    if not content_type.startswith("multipart/form-data; boundary="):
        fail("content type " + content_type)
    boundary = content_type.split("boundary=", 1)[1].encode("latin-1")

    # The whole-form parser must accept the body too.
    environ = {
        "REQUEST_METHOD": "POST",
        "CONTENT_TYPE": content_type,
        "CONTENT_LENGTH": str(length),
        "wsgi.input": io.BytesIO(body),
    }
    _, form, files = parse_form_data(environ, silent=False)
    parsed_parts = sum(len(v) for v in form.listvalues()) + sum(len(v) for v in files.listvalues())

    decoder = MultipartDecoder(boundary)
    decoder.receive_data(body)
    decoder.receive_data(None)
    parts = []
    current = None
    while True:
        event = decoder.next_event()
        if isinstance(event, NeedData):
            fail("body ends inside the form")
        if isinstance(event, Epilogue):
            break
        if isinstance(event, (Field, File)):
            current = {"event": event, "data": bytearray()}
            parts.append(current)
        elif isinstance(event, Data):
            current["data"] += event.data
    if len(parts) != parsed_parts:
        fail("parsers disagree: %d parts against %d" % (len(parts), parsed_parts))

    for index, part in enumerate(parts):
        event = part["event"]
        if isinstance(event, File):
            path = os.path.join(out_dir, "part-%d.bin" % index)
            with open(path, "wb") as f:
                f.write(part["data"])
            print("\t".join(["file", event.name, event.filename,
                             event.headers.get("Content-Type", ""), str(len(part["data"])), path]))
        else:
            print("\t".join(["field", event.name, bytes(part["data"]).hex()]))


main()
