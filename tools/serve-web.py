#!/usr/bin/env python3
"""Serves a folder on 127.0.0.1 as a static server should serve the page: .wasm as
application/wasm, a file's .br or .gz copy where there is one and the browser takes it,
and no caching without asking (so that a new build is seen at once).

Usage: serve-web.py FOLDER PORT"""

import functools
import http.server
import io
import os
import sys

Encodings = (("br", ".br"), ("gzip", ".gz"))


class PageHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript",
                      ".webmanifest": "application/manifest+json"}

    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            if not self.path.split("?")[0].endswith("/"):
                return super().send_head()  # the server's redirect to the folder's address
            path = os.path.join(path, "index.html")
        accepted = [part.split(";")[0].strip()
                    for part in self.headers.get("Accept-Encoding", "").split(",")]
        for encoding, suffix in Encodings:
            if encoding in accepted and os.path.isfile(path + suffix):
                with open(path + suffix, "rb") as file:
                    body = file.read()
                self.send_response(200)
                self.send_header("Content-Type", self.guess_type(path))
                self.send_header("Content-Encoding", encoding)
                self.send_header("Content-Length", str(len(body)))
                self.send_header("Vary", "Accept-Encoding")
                self.end_headers()
                return io.BytesIO(body)
        return super().send_head()

    def end_headers(self):
        self.send_header("Cache-Control", "no-cache")
        super().end_headers()


def Main(arguments):
    if len(arguments) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    handler = functools.partial(PageHandler, directory=arguments[0])
    server = http.server.ThreadingHTTPServer(("127.0.0.1", int(arguments[1])), handler)
    server.serve_forever()
    return 0


if __name__ == "__main__":
    sys.exit(Main(sys.argv[1:]))
