"""An X display with monitor power saving (the DPMS extension) for the
end-to-end tests. Xvfb has no DPMS, so this display sits in front of a
Desktop's Xvfb: it passes every request and answer through, and answers the
DPMS requests itself, keeping the standby, suspend and off times and the
on/off switch as an X server does. Programs use it through DISPLAY as any
display, with xset and libXext alike.

Each DPMS request is sent on to Xvfb as a request of the same kind of
answer (GetInputFocus when an answer is due, NoOperation when none is), so
that the sequence numbers of both sides stay in step; the answer is then
rewritten into the DPMS one."""

import os
import socket
import struct
import threading

from e2e_support import free_display

DPMS_NAME = b"DPMS"
DPMS_OPCODE = 254  # a major opcode that none of Xvfb's extensions has
QUERY_EXTENSION = 98
GET_INPUT_FOCUS = struct.pack("<BBH", 43, 0, 1)
NO_OPERATION = struct.pack("<BBH", 127, 0, 1)
REPLY, GENERIC_EVENT = 1, 35
# DPMS minor opcodes.
GET_VERSION, CAPABLE, GET_TIMEOUTS, SET_TIMEOUTS, ENABLE, DISABLE, FORCE_LEVEL, INFO = range(8)


def recv_exact(sock, size):
    data = b""
    while len(data) < size:
        chunk = sock.recv(size - len(data))
        if not chunk:
            return None
        data += chunk
    return data


def pad4(n):
    return (n + 3) & ~3


class DpmsDisplay:
    """Use as a context manager inside a Desktop; .display and .env name it."""

    def __init__(self, desktop):
        self.desktop = desktop
        # An X server starts with DPMS on and every step at its screen-saver time.
        self.standby = self.suspend = self.off = 600
        self.enabled = True
        self.listener = None

    def __enter__(self):
        number = free_display()
        self.display = f":{number}"
        self.path = f"/tmp/.X11-unix/X{number}"
        os.makedirs("/tmp/.X11-unix", exist_ok=True)
        self.listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.listener.bind(self.path)
        self.listener.listen(16)
        self.env = dict(self.desktop.env, DISPLAY=self.display)
        threading.Thread(target=self._accept, daemon=True).start()
        return self

    def __exit__(self, *exc):
        self.listener.close()
        try:
            os.unlink(self.path)
        except FileNotFoundError:
            pass

    def _accept(self):
        while True:
            try:
                client, _ = self.listener.accept()
            except OSError:
                return
            server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            server.connect("/tmp/.X11-unix/X" + self.desktop.display.lstrip(":"))
            rewrites = {}  # sequence number -> what the answer becomes
            for target, args in ((self._requests, (client, server, rewrites)),
                                 (self._answers, (server, client, rewrites))):
                threading.Thread(target=self._guarded, args=(target, args), daemon=True).start()

    @staticmethod
    def _guarded(target, args):
        try:
            target(*args)
        except OSError:
            pass
        finally:
            for sock in args[:2]:
                try:
                    sock.shutdown(socket.SHUT_RDWR)
                except OSError:
                    pass

    def _requests(self, client, server, rewrites):
        setup = recv_exact(client, 12)
        if setup is None or setup[0:1] != b"l":
            raise OSError("only little-endian clients are served")
        name_length, data_length = struct.unpack("<HH", setup[6:10])
        server.sendall(setup + recv_exact(client, pad4(name_length) + pad4(data_length)))
        sequence = 0
        while True:
            head = recv_exact(client, 4)
            if head is None:
                return
            opcode, minor, length = struct.unpack("<BBH", head)
            if length == 0:  # BIG-REQUESTS: the length follows in 32 bits
                extended = recv_exact(client, 4)
                head += extended
                body = recv_exact(client, struct.unpack("<I", extended)[0] * 4 - 8)
            else:
                body = recv_exact(client, length * 4 - 4)
            sequence = (sequence + 1) & 0xFFFF
            if opcode == QUERY_EXTENSION and body[4:4 + struct.unpack("<H", body[:2])[0]] == DPMS_NAME:
                rewrites[sequence] = lambda unit: unit[:8] + bytes([1, DPMS_OPCODE, 0, 0]) + unit[12:]
                server.sendall(head + body)
            elif opcode == DPMS_OPCODE:
                answer = self._dpms(minor, body)
                if answer is None:
                    server.sendall(NO_OPERATION)
                else:
                    rewrites[sequence] = lambda unit, answer=answer: \
                        unit[:1] + bytes(1) + unit[2:8] + answer + bytes(24 - len(answer))
                    server.sendall(GET_INPUT_FOCUS)
            else:
                server.sendall(head + body)

    def _dpms(self, minor, body):
        """The 32-byte answer's part after its first 8 bytes, or None for none."""
        if minor == GET_VERSION:
            return struct.pack("<HH", 1, 1)
        if minor == CAPABLE:
            return bytes([1])
        if minor == GET_TIMEOUTS:
            return struct.pack("<HHH", self.standby, self.suspend, self.off)
        if minor == INFO:
            return struct.pack("<HB", 0, 1 if self.enabled else 0)
        if minor == SET_TIMEOUTS:
            self.standby, self.suspend, self.off = struct.unpack("<HHH", body[:6])
        elif minor == ENABLE:
            self.enabled = True
        elif minor == DISABLE:
            self.enabled = False
        return None  # FORCE_LEVEL and SELECT_INPUT change nothing here

    @staticmethod
    def _answers(server, client, rewrites):
        head = recv_exact(server, 8)
        if head is None:
            return
        client.sendall(head + recv_exact(server, struct.unpack("<H", head[6:8])[0] * 4))
        while True:
            unit = recv_exact(server, 32)
            if unit is None:
                return
            extra = b""
            if unit[0] == REPLY or unit[0] & 0x7F == GENERIC_EVENT:
                extra = recv_exact(server, struct.unpack("<I", unit[4:8])[0] * 4)
            if unit[0] == REPLY:
                rewrite = rewrites.pop(struct.unpack("<H", unit[2:4])[0], None)
                if rewrite:
                    unit = rewrite(unit)
            client.sendall(unit + extra)
