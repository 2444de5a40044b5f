#!/usr/bin/env python3
# Runs a program on a terminal of its own (a pseudo-terminal), as a user who
# double-clicked it meets it: reads everything it shows, presses Enter once
# it asks for it ("Enter" or "Eingabetaste" shown), and prints what was
# shown (escape sequences and carriage returns removed), then a line
# "STATUS <exit status> ENTER <True when Enter was pressed>". A program
# still running after 120 s is killed (status None).
# Usage: console_run.py PROGRAM [ARG...]
import os
import pty
import re
import select
import sys
import termios
import time


def shown(raw):
    return re.sub(rb'\x1b\[[0-9;?]*[A-Za-z]', b'', raw).replace(b'\r', b'')


def press_enter(terminal):
    # Enter is a carriage return; the terminal must pass it on as one.
    attributes = termios.tcgetattr(terminal)
    attributes[0] &= ~termios.ICRNL
    termios.tcsetattr(terminal, termios.TCSANOW, attributes)
    os.write(terminal, b'\r')


def main():
    pid, terminal = pty.fork()
    if pid == 0:
        os.execvp(sys.argv[1], sys.argv[1:])
    raw, pressed, status = b'', False, None
    deadline = time.monotonic() + 120
    while time.monotonic() < deadline:
        if select.select([terminal], [], [], 0.2)[0]:
            try:
                data = os.read(terminal, 65536)
            except OSError:  # the program and its helpers closed the terminal
                data = b''
            raw += data
            if not pressed and re.search(rb'Enter|Eingabetaste', shown(raw)):
                press_enter(terminal)
                pressed = True
            if data:
                continue
        if status is not None:
            break
        done, code = os.waitpid(pid, os.WNOHANG)
        if done:
            status = os.waitstatus_to_exitcode(code)
    if status is None:
        os.kill(pid, 9)
    sys.stdout.buffer.write(shown(raw))
    print('\nSTATUS', status, 'ENTER', pressed)


main()
