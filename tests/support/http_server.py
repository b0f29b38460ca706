#!/usr/bin/env python3
"""A plain HTTP server for the tests: serves one folder on 127.0.0.1 at a
free port and prints that port on its first line once it answers.

Usage: http_server.py FOLDER [CHARSET]
"/status/CODE" answers with that HTTP status.
With CHARSET, text is sent with "; charset=CHARSET" in its Content-Type
(for example "text/html; charset=UTF-8"), as many web servers do.
"""
import functools
import http.server
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    charset = None

    def guess_type(self, path):
        kind = super().guess_type(path)
        if self.charset and kind.startswith("text/"):
            return f"{kind}; charset={self.charset}"
        return kind

    def send_head(self):
        # "/status/CODE" answers with that status, for the edges of what the
        # check takes as an error.
        if self.path.startswith("/status/"):
            self.send_error(int(self.path[len("/status/"):]))
            return None
        return super().send_head()

    def log_message(self, format, *args):
        pass


def main():
    folder = sys.argv[1]
    Handler.charset = sys.argv[2] if len(sys.argv) > 2 else None
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(Handler, directory=folder))
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
