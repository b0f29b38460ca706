#!/usr/bin/python3
"""An SSH server for the tests that asks for the password by keyboard-
interactive prompts, round after round, as many hosts log in: paramiko, on
127.0.0.1, with nothing behind the login (no SFTP).

Usage: prompting_ssh_server.py PORT HOSTKEY ROUNDS LOG
It takes the login after ROUNDS answers, never with ROUNDS 0. Every answer
it is given goes to LOG, one a line.
"""
import socket
import sys

import paramiko


def main():
    port, hostkey, rounds, log = sys.argv[1:5]
    rounds = int(rounds)
    key = paramiko.Ed25519Key(filename=hostkey)

    class Server(paramiko.ServerInterface):
        answered = 0

        def get_allowed_auths(self, username):
            return "keyboard-interactive"

        def check_auth_interactive(self, username, submethods):
            return self.question()

        def check_auth_interactive_response(self, responses):
            with open(log, "a", encoding="utf-8") as out:
                out.writelines(answer + "\n" for answer in responses)
            self.answered += 1
            if rounds and self.answered >= rounds:
                return paramiko.AUTH_SUCCESSFUL
            return self.question()

        @staticmethod
        def question():
            query = paramiko.InteractiveQuery()
            query.add_prompt("Kennwort: ", False)
            return query

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", int(port)))
    listener.listen(8)
    while True:
        connection, _ = listener.accept()
        transport = paramiko.Transport(connection)
        transport.add_server_key(key)
        try:
            transport.start_server(server=Server())
        except paramiko.SSHException:
            transport.close()


if __name__ == "__main__":
    main()
