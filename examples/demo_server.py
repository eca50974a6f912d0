"""The demo's web server on loopback: serves a watermark picture and takes
uploads, saving each uploaded file under OUT_DIR/uploads/ as the form named it.

    demo_server.py OUT_DIR SERVER_JS

writes SERVER_JS (a script line naming the server's url) once it listens.
"""
import io
import os
import sys
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

from PIL import Image, ImageDraw
from werkzeug.formparser import parse_form_data

out_dir, server_js = sys.argv[1], sys.argv[2]
uploads = os.path.join(out_dir, "uploads")
os.makedirs(uploads, exist_ok=True)


def watermark_png():
    # A blue seal on white: the control makes the near-white transparent.
    image = Image.new("RGB", (96, 96), (255, 255, 255))
    draw = ImageDraw.Draw(image)
    draw.ellipse((4, 4, 91, 91), outline=(30, 60, 200), width=6)
    draw.rectangle((30, 40, 66, 56), fill=(30, 60, 200))
    data = io.BytesIO()
    image.save(data, "PNG")
    return data.getvalue()


WATERMARK = watermark_png()


class Handler(BaseHTTPRequestHandler):
    def log_message(self, fmt, *args):
        print("demo server:", fmt % args, flush=True)

    def reply(self, status, body, content_type="text/plain"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        if self.path == "/watermark.png":
            self.reply(200, WATERMARK, "image/png")
        else:
            self.reply(404, b"not found", "text/html")

    def do_POST(self):
        environ = {
            "REQUEST_METHOD": "POST",
            "CONTENT_TYPE": self.headers.get("Content-Type", ""),
            "CONTENT_LENGTH": self.headers.get("Content-Length", "0"),
            "wsgi.input": self.rfile,
        }
        _, form, files = parse_form_data(environ)
        saved = []
        for number, upload in enumerate(files.getlist("image")):
            # The form names the client's temporary path; keep only its last part.
            name = "%s-%d-%s" % (self.path.strip("/"), number, upload.filename.replace("\\", "/").rsplit("/", 1)[-1])
            upload.save(os.path.join(uploads, name))
            saved.append(name)
        text = "saved %s for id %s (%s pages)" % (", ".join(saved), form.get("id"), form.get("imageCount"))
        print("demo server:", text, flush=True)
        self.reply(200, text.encode("gbk", "replace"))


server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
with open(server_js, "w") as f:
    f.write('var SERVER = "http://127.0.0.1:%d/";\n' % server.server_address[1])
server.serve_forever()
