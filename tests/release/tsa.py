#!/usr/bin/env python3
"""A time-stamping server for the release test: RFC 3161 over HTTP on 127.0.0.1, each reply made by
`openssl ts -reply` with the throwaway authority's certificate and key named in CONFIG.
Writes the port it listens on to PORT_FILE once it listens, then serves until it is ended.
    tsa.py CONFIG PORT_FILE
"""
import http.server
import os
import subprocess
import sys

config, port_file = sys.argv[1], sys.argv[2]


class TimeStamping(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        reply = subprocess.run(
            ["openssl", "ts", "-reply", "-config", config, "-queryfile", "/dev/stdin", "-out", "/dev/stdout"],
            input=query, capture_output=True)
        if reply.returncode != 0 or not reply.stdout:
            self.send_error(500, reply.stderr.decode(errors="replace")[:200])
            return
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply.stdout)))
        self.end_headers()
        self.wfile.write(reply.stdout)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), TimeStamping)
with open(port_file + ".new", "w") as f:
    f.write(str(server.server_address[1]))
os.replace(port_file + ".new", port_file)  # the port appears whole
server.serve_forever()
