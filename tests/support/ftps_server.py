#!/usr/bin/python3
"""An FTP server with explicit TLS (AUTH TLS) for the tests: pyftpdlib with
pyOpenSSL, one user, one folder, on 127.0.0.1. TLS is required before the
login and for every transfer. The name of every command it receives goes
to the log, one a line (names only: a password never reaches the log);
the passwords it was sent go to LOG.passwords, one a line, so that a test
can tell which server a password reached.

Usage: ftps_server.py PORT FOLDER USER PASSWORD CERTFILE KEYFILE LOG [QUIRK]
With QUIRK "no-mlsd" the server answers MLSD and MLST as not understood, as
older servers do; with "loses-last-byte" every file it receives is one byte
short, yet confirmed, as on a server whose disk or line failed it.
SIGHUP reads the certificate files again, for the connections that follow,
and then creates LOG.reloaded.
"""
import logging
import signal
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import TLS_DTPHandler, TLS_FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    port, folder, user, password, certfile, keyfile, log = sys.argv[1:8]
    quirk = sys.argv[8] if len(sys.argv) > 8 else ""
    logging.basicConfig(level=logging.WARNING)

    class DataHandler(TLS_DTPHandler):
        # pyftpdlib 1.5.7 drops a data connection whose client starts the
        # TLS handshake before the transfer command, as libcurl does; its
        # later versions read during the handshake, as here.
        def readable(self):
            return self._ssl_accepting or super().readable()

    class Handler(TLS_FTPHandler):
        dtp_handler = DataHandler
        tls_control_required = True
        tls_data_required = True

        def pre_process_command(self, line, cmd, arg):
            with open(log, "a", encoding="ascii") as out:
                out.write(cmd + "\n")
            if cmd == "PASS":
                with open(log + ".passwords", "a", encoding="utf-8") as out:
                    out.write(arg + "\n")
            super().pre_process_command(line, cmd, arg)

        # Called before the next command is read: SIZE sees the short file.
        def on_file_received(self, file):
            if quirk == "loses-last-byte":
                with open(file, "r+b") as received:
                    received.seek(0, 2)
                    received.truncate(max(received.tell() - 1, 0))

    Handler.certfile = certfile
    Handler.keyfile = keyfile
    if quirk == "no-mlsd":
        Handler.proto_cmds = {name: value for name, value in TLS_FTPHandler.proto_cmds.items()
                              if name not in ("MLSD", "MLST")}
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, folder, perm="elradfmwMT")
    Handler.authorizer = authorizer

    def reload(signum, frame):
        Handler.ssl_context = None
        with open(log + ".reloaded", "w", encoding="ascii"):
            pass

    signal.signal(signal.SIGHUP, reload)
    server = FTPServer(("127.0.0.1", int(port)), Handler)
    server.serve_forever()


if __name__ == "__main__":
    main()
