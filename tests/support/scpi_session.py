#!/usr/bin/env python3
"""The end-to-end tests' SCPI client, through PyVISA's pure-Python backend.

Usage: scpi_session.py PORT SECONDS [exit]. Switches on a square wave, lets it play for
SECONDS, tries an out-of-range frequency, switches the output off and, with "exit", ends the
program. Prints each answer on a line of its own.
"""
import socket
import sys
import time

import pyvisa


def main():
    port, seconds = int(sys.argv[1]), float(sys.argv[2])
    # The server may still be starting (slowly, in a sanitizer build), and PyVISA's socket
    # session reports a refused connection only at the first write: wait until it listens.
    deadline = time.monotonic() + 60
    while True:
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            break
        except OSError:
            if time.monotonic() > deadline:
                raise
            time.sleep(0.1)
    manager = pyvisa.ResourceManager("@py")
    osc = manager.open_resource(f"TCPIP0::127.0.0.1::{port}::SOCKET", read_termination="\n",
                                write_termination="\n", timeout=30000)
    print(osc.query("*IDN?"))
    # A file of two seconds, as the test renders it, loops twice while it plays.
    osc.write("KELV:FIEL WaveBuildLength,1")
    osc.write("FUNC SQU;FREQ 1234.5;VOLT -12;OUTP ON")
    print(osc.query("*OPC?"), flush=True)
    time.sleep(seconds)
    osc.write("FREQ 1e9")
    print(osc.query("SYST:ERR?"))
    osc.write("OUTP OFF")
    print(osc.query("OUTP?;FREQ?"), flush=True)
    time.sleep(1)
    if sys.argv[3:] == ["exit"]:
        osc.write("SYST:EXIT")
    osc.close()


if __name__ == "__main__":
    main()
