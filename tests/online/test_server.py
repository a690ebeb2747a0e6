#!/usr/bin/python3
"""HTTP and HTTPS test server for the online tests, on 127.0.0.1 only.

Makes a certificate authority and a server certificate for 127.0.0.1 with the
openssl command, serves plain HTTP and HTTPS on free ports, and prints
"READY <http port> <https port> <misnamed https port> <CA file>" once all
listen. The misnamed server's certificate, from the same CA, names another host.

Routes (any method unless noted):
  /hello            200 "hello"
  /status/<code>    answers <code>
  /redirect         302 to /landed
  /landed           200 "landed <method>"
  /echo             200 with the request body; X-Method, X-Length and X-Got-Test
                    (the request's X-Test header) headers
  /Tj/ol_detail     the statistics endpoint: decrypts "data", checks "sign",
                    appends the outcome as one JSON line to reports.jsonl and
                    answers the status in the file stats_status (200 if absent),
                    after the seconds in the file stats_delay (none if absent)
"""
import argparse
import base64
import hashlib
import hmac
import http.server
import json
import os
import ssl
import subprocess
import sys
import threading
import time
import urllib.parse


def run(*args, **kwargs):
    return subprocess.run(list(args), check=True, capture_output=True, **kwargs)


def make_certificates(workdir):
    """A CA, and two server certificates it signs: one for 127.0.0.1 and
    localhost, one for another name only (a peer that is not who it claims)."""
    ca_key = os.path.join(workdir, "ca.key")
    ca_pem = os.path.join(workdir, "ca.pem")
    ec = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]
    run("openssl", "req", "-x509", *ec, "-keyout", ca_key, "-out", ca_pem, "-days", "2",
        "-subj", "/CN=Scribbloom Test CA",
        "-addext", "basicConstraints=critical,CA:TRUE",
        "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    servers = []
    for name, alt_names in (("server", "IP:127.0.0.1,DNS:localhost"), ("other", "DNS:elsewhere.test")):
        key = os.path.join(workdir, name + ".key")
        csr = os.path.join(workdir, name + ".csr")
        pem = os.path.join(workdir, name + ".pem")
        ext = os.path.join(workdir, name + ".ext")
        run("openssl", "req", *ec, "-keyout", key, "-out", csr, "-subj", "/CN=" + alt_names.split(":")[1].split(",")[0])
        with open(ext, "w") as f:
            f.write("subjectAltName=%s\n"
                    "basicConstraints=CA:FALSE\n"
                    "extendedKeyUsage=serverAuth\n" % alt_names)
        run("openssl", "x509", "-req", "-in", csr, "-CA", ca_pem, "-CAkey", ca_key,
            "-CAcreateserial", "-out", pem, "-days", "2", "-extfile", ext)
        servers.append((pem, key))
    return ca_pem, servers


def decrypt_data(data, key, iv):
    """The service's side of the request cipher, through the openssl command."""
    result = subprocess.run(
        ["openssl", "enc", "-d", "-aes-256-cbc", "-a", "-A",
         "-K", key.encode().hex(), "-iv", iv.encode().hex()],
        input=data.encode(), capture_output=True)
    if result.returncode != 0:
        return None
    try:
        return base64.b64decode(result.stdout, validate=True).decode("utf-8")
    except Exception:
        return None


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        pass

    def read_body(self):
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length) if length > 0 else b""

    def answer(self, code, body=b"", headers=()):
        self.send_response(code)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)
        self.close_connection = True

    def handle_any(self):
        body = self.read_body()
        path = urllib.parse.urlsplit(self.path).path
        if path == "/hello":
            self.answer(200, b"hello")
        elif path.startswith("/status/"):
            code = int(path.rsplit("/", 1)[1])
            self.answer(code, b"status %d" % code)
        elif path == "/redirect":
            self.answer(302, b"moved", [("Location", "/landed")])
        elif path == "/landed":
            self.answer(200, b"landed " + self.command.encode())
        elif path == "/echo":
            self.answer(200, body, [("X-Method", self.command), ("X-Length", str(len(body))),
                                    ("X-Got-Test", self.headers.get("X-Test", ""))])
        elif path == "/Tj/ol_detail":
            self.statistics(body)
        else:
            self.answer(404, b"not found")

    def statistics(self, body):
        server = self.server
        form = urllib.parse.parse_qs(body.decode("ascii", "replace"), keep_blank_values=True)
        data = form.get("data", [""])[0]
        sign = form.get("sign", [""])[0]
        digest_key = hashlib.md5(data.encode()).hexdigest().encode()
        expected = base64.b64encode(hmac.new(digest_key, data.encode(), hashlib.sha256).digest()).decode()
        record = {
            "method": self.command,
            "content_type": self.headers.get("Content-Type", ""),
            "body": body.decode("ascii", "replace"),
            "sign_ok": hmac.compare_digest(expected, sign),
            "json": decrypt_data(data, server.data_key, server.data_iv),
        }
        with server.lock:
            with open(os.path.join(server.workdir, "reports.jsonl"), "a") as f:
                f.write(json.dumps(record) + "\n")
        status = 200
        try:
            with open(os.path.join(server.workdir, "stats_status")) as f:
                status = int(f.read().strip())
        except (OSError, ValueError):
            pass
        try:
            with open(os.path.join(server.workdir, "stats_delay")) as f:
                time.sleep(float(f.read().strip()))
        except (OSError, ValueError):
            pass
        try:
            self.answer(status, b'{"code":%d}' % status)
        except OSError:
            pass  # the client gave up waiting

    do_GET = do_POST = do_PUT = do_DELETE = do_HEAD = handle_any


def make_server(args):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.workdir = args.workdir
    server.data_key = args.data_key
    server.data_iv = args.data_iv
    server.lock = threading.Lock()
    return server


def start_servers(workdir, data_key, data_iv):
    """Starts the servers in the background; returns (http port, https port,
    port of the HTTPS server with another name's certificate, CA file)."""
    args = argparse.Namespace(workdir=workdir, data_key=data_key, data_iv=data_iv)
    ca_pem, certificates = make_certificates(workdir)
    plain = make_server(args)
    secure = []
    for pem, key in certificates:
        server = make_server(args)
        server.lock = plain.lock
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(pem, key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
        secure.append(server)
    for server in [plain] + secure:
        threading.Thread(target=server.serve_forever, daemon=True).start()
    return plain.server_address[1], secure[0].server_address[1], secure[1].server_address[1], ca_pem


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--workdir", required=True)
    parser.add_argument("--data-key", required=True)
    parser.add_argument("--data-iv", required=True)
    args = parser.parse_args()
    ports_and_ca = start_servers(args.workdir, args.data_key, args.data_iv)
    print("READY %d %d %d %s" % ports_and_ca, flush=True)
    # Serves until the harness closes our standard input or terminates us.
    sys.stdin.read()


if __name__ == "__main__":
    main()
