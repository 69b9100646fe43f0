#!/usr/bin/env python3
"""Captures the bytes of one datagram sent by a command to a loopback port.

    capture_trap.py PORT OUTPUT_FILE -- COMMAND...

Binds 127.0.0.1:PORT, runs COMMAND (which is expected to send one datagram
there, e.g. `snmptrap -v 1 ...`), writes the first datagram to OUTPUT_FILE.
"""
import socket
import subprocess
import sys

def main():
    port, output = int(sys.argv[1]), sys.argv[2]
    command = sys.argv[sys.argv.index("--") + 1:]
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.bind(("127.0.0.1", port))
        s.settimeout(10)
        subprocess.run(command, check=True)
        data, _ = s.recvfrom(65535)
    with open(output, "wb") as f:
        f.write(data)
    print(f"{output}: {len(data)} octets")

if __name__ == "__main__":
    main()
