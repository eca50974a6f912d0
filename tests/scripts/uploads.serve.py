"""Loopback peer for uploads.js: records every request byte for byte as
OUT_DIR/upload-<name>.raw (name = the path after the first "/") and answers
by the path's first word:
  ok       200 with the body "收到" in code page 936
  chunked  200 with a chunked body
  fail     500 with an error page
  moved    302 with a Location
"""
import socket
import sys
import threading

out_dir, servers_js = sys.argv[1], sys.argv[2]

REPLIES = {
    "ok": b"HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 4\r\n\r\n" + "收到".encode("gbk"),
    "chunked": b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nde\r\n7\r\nchunked\r\n0\r\n\r\n",
    "fail": b"HTTP/1.1 500 Internal Server Error\r\nContent-Length: 10\r\n\r\nerror page",
    "moved": b"HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1/elsewhere\r\nContent-Length: 0\r\n\r\n",
}


def serve(conn):
    with conn:
        data = b""
        while b"\r\n\r\n" not in data:
            piece = conn.recv(65536)
            if not piece:
                return
            data += piece
        head, _, body = data.partition(b"\r\n\r\n")
        length = 0
        for line in head.split(b"\r\n")[1:]:
            name, _, value = line.partition(b":")
            if name.strip().lower() == b"content-length":
                length = int(value)
        while len(body) < length:
            piece = conn.recv(65536)
            if not piece:
                break
            body += piece
        target = head.split(b" ")[1].decode("latin-1")
        name = target.lstrip("/").split("?")[0]
        with open("%s/upload-%s.raw" % (out_dir, name.replace("/", "-")), "wb") as f:
            f.write(head + b"\r\n\r\n" + body)
        conn.sendall(REPLIES.get(name.split("/")[0], REPLIES["fail"]))


listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(8)
with open(servers_js, "w") as f:
    f.write('var UPLOAD = "http://127.0.0.1:%d/";\n' % listener.getsockname()[1])
while True:
    conn, _ = listener.accept()
    threading.Thread(target=serve, args=(conn,), daemon=True).start()
