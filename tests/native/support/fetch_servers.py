"""Serves ROOT over https (CERT, KEY: a self-signed pair) and ftp on
127.0.0.1, on free ports, until killed. Prints "https PORT" and
"ftp PORT", then "ready". ftp: anonymous sees ROOT/anon, user "user" with
password "secret" sees ROOT/private. Exits 3 naming a missing module."""
import logging
import os
import ssl
import sys
import threading
from functools import partial
from http.server import SimpleHTTPRequestHandler, ThreadingHTTPServer

try:
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer
except ImportError:
    print("missing pyftpdlib", flush=True)
    sys.exit(3)

root, cert, key = sys.argv[1:4]


class Quiet(SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


https = ThreadingHTTPServer(("127.0.0.1", 0), partial(Quiet, directory=root))
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(cert, key)
https.socket = context.wrap_socket(https.socket, server_side=True)

authorizer = DummyAuthorizer()
authorizer.add_anonymous(os.path.join(root, "anon"))
authorizer.add_user("user", "secret", os.path.join(root, "private"), perm="elr")
FTPHandler.authorizer = authorizer
# A handler of its own keeps pyftpdlib from logging every session to stderr.
logging.getLogger("pyftpdlib").addHandler(logging.NullHandler())
logging.getLogger("pyftpdlib").setLevel(logging.CRITICAL)
ftp = FTPServer(("127.0.0.1", 0), FTPHandler)

threading.Thread(target=https.serve_forever, daemon=True).start()
print(f"https {https.server_address[1]}", flush=True)
print(f"ftp {ftp.address[1]}", flush=True)
print("ready", flush=True)
ftp.serve_forever()
