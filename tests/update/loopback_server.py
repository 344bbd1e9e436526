"""HTTP server on 127.0.0.1 for the update tests.

Usage: loopback_server.py ROOT [CERT KEY]. Serves the files under ROOT (over TLS with CERT and
KEY) and a few faulty answers, then prints its port. Paths:
  /stall                 answers nothing for a minute
  /huge                  30 MB, announced by its length
  /huge-unannounced      30 MB without a length
  /nolength/NAME         the file NAME without a length
  /truncated/NAME        the length of NAME, then half of it and a closed connection
  /redirect-http/NAME    a redirect to plain http://127.0.0.1:PORT/NAME
"""
import http.server
import os
import ssl
import sys
import time

ROOT = sys.argv[1]


class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=ROOT, **kwargs)

    def log_message(self, *args):
        pass

    def send_body(self, body, length=None):
        self.send_response(200)
        if length is not None:
            self.send_header("Content-Length", str(length))
        self.end_headers()
        try:
            for start in range(0, len(body), 65536):
                self.wfile.write(body[start:start + 65536])
        except (BrokenPipeError, ConnectionResetError):
            pass

    def file(self, name):
        with open(os.path.join(ROOT, name), "rb") as source:
            return source.read()

    def do_GET(self):
        path = self.path
        if path == "/stall":
            time.sleep(60)
        elif path.startswith("/huge"):
            body = b" " * (30 * 1024 * 1024)
            self.send_body(body, None if path == "/huge-unannounced" else len(body))
        elif path.startswith("/nolength/"):
            self.send_body(self.file(path[len("/nolength/"):]))
        elif path.startswith("/truncated/"):
            body = self.file(path[len("/truncated/"):])
            self.send_body(body[:len(body) // 2], len(body))
        elif path.startswith("/redirect-http/"):
            self.send_response(302)
            self.send_header("Location", "http://127.0.0.1:%d/%s" % (
                self.server.server_address[1], path[len("/redirect-http/"):]))
            self.send_header("Content-Length", "0")
            self.end_headers()
        else:
            super().do_GET()


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
if len(sys.argv) == 4:
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(sys.argv[2], sys.argv[3])
    server.socket = context.wrap_socket(server.socket, server_side=True)
print(server.server_address[1], flush=True)
server.serve_forever()
