#!/usr/bin/env python3
"""An RFC 3161 time-stamp server on the loopback address, for the signing test: every POSTed
query is answered by `openssl ts -reply` with the given time-stamping certificate and key.

  timestamp_server.py CONFIG PORT_FILE

CONFIG is an openssl configuration whose [tsa] section names the signer, its key and the
policy. The server picks a free port, writes it to PORT_FILE, and serves until it is killed.
"""
import http.server
import os
import subprocess
import sys
import tempfile

config, port_file = sys.argv[1], sys.argv[2]


class Responder(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        with tempfile.TemporaryDirectory() as folder:
            query_path = os.path.join(folder, "query.tsq")
            reply_path = os.path.join(folder, "reply.tsr")
            with open(query_path, "wb") as out:
                out.write(query)
            done = subprocess.run(["openssl", "ts", "-reply", "-config", config, "-queryfile",
                                   query_path, "-out", reply_path], capture_output=True)
            if done.returncode != 0:
                sys.stderr.write(done.stderr.decode(errors="replace"))
                self.send_error(500, "openssl ts -reply failed")
                return
            reply = open(reply_path, "rb").read()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

    def log_message(self, *_):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Responder)
with open(port_file + ".part", "w") as out:
    out.write(str(server.server_address[1]))
os.replace(port_file + ".part", port_file)
server.serve_forever()
