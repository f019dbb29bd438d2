"""A small HTTP server on 127.0.0.1 for the update check's tests and benchmarks: it answers
every request with whatever behaviour the caller set last, and records what arrived."""

from __future__ import annotations

import socket
import struct
import threading
import time
from dataclasses import dataclass
from typing import Callable

from harness import START_TIMEOUT, StepFailed


def gbk(text: str) -> bytes:
    return text.encode("gbk")


class Connection:
    """One accepted connection, as a behaviour sees it."""

    def __init__(self, sock: socket.socket, stopping: threading.Event):
        self.sock = sock
        self.stopping = stopping
        self.sent = 0

    def send(self, data: bytes) -> bool:
        """False once the program has closed its end."""
        try:
            self.sock.sendall(data)
        except OSError:
            return False
        self.sent += len(data)
        return True

    def head(self, status: str, headers: list[str]) -> bool:
        return self.send(gbk(f"HTTP/1.0 {status}\r\n" + "".join(h + "\r\n" for h in headers)
                             + "\r\n"))

    def wait_until_closed(self) -> None:
        """Sends nothing more; returns when the program closes its end (or the test ends)."""
        self.sock.settimeout(0.05)
        while not self.stopping.is_set():
            try:
                if not self.sock.recv(4096):
                    return
            except socket.timeout:
                continue
            except OSError:
                return

    def reset(self) -> None:
        """Closes with a TCP reset instead of an orderly end."""
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.sock.close()


Behaviour = Callable[[Connection, str], None]


@dataclass
class Request:
    head: str       # request line and headers, as received
    path: str
    arrived: float  # time.monotonic()
    ended: float = 0.0  # when the answer ended: sent, or the program hung up
    sent: int = 0       # body and header bytes the program took


def not_found(connection: Connection, _path: str) -> None:
    """What the server answers until it is told otherwise."""
    connection.head("404 Not Found", ["Content-Length: 0"])


class UpdateServer:
    """Answers every request on 127.0.0.1 with the behaviour the test set last."""

    def __init__(self):
        self.listener = socket.create_server(("127.0.0.1", 0))
        self.listener.settimeout(0.05)
        self.port = self.listener.getsockname()[1]
        self.requests: list[Request] = []
        self.behaviour: Behaviour = not_found
        self.stopping = threading.Event()
        self.lock = threading.Lock()
        self.arrival = threading.Condition(self.lock)
        self.threads = [threading.Thread(target=self._accept, daemon=True)]
        self.threads[0].start()

    def serve(self, behaviour: Behaviour) -> None:
        with self.lock:
            self.behaviour = behaviour
            self.requests = []

    def wait_for_request(self, timeout: float = START_TIMEOUT) -> Request:
        with self.arrival:
            if not self.arrival.wait_for(lambda: self.requests, timeout):
                raise StepFailed(f"no request reached the server within {timeout} s")
            return self.requests[0]

    def wait_until_answered(self, timeout: float) -> Request:
        """The first request, once the server is done with it."""
        with self.arrival:
            if not self.arrival.wait_for(lambda: self.requests and self.requests[0].ended,
                                         timeout):
                raise StepFailed(f"the server was still answering after {timeout} s")
            return self.requests[0]

    def close(self) -> None:
        self.stopping.set()
        for thread in self.threads:
            thread.join(timeout=5)
        self.listener.close()

    def _accept(self) -> None:
        while not self.stopping.is_set():
            try:
                sock, _ = self.listener.accept()
            except socket.timeout:
                continue
            thread = threading.Thread(target=self._answer, args=(sock,), daemon=True)
            self.threads.append(thread)
            thread.start()

    def _answer(self, sock: socket.socket) -> None:
        with sock:
            sock.settimeout(5)
            head = b""
            try:
                while b"\r\n\r\n" not in head and len(head) < 65536:
                    data = sock.recv(4096)
                    if not data:
                        return
                    head += data
            except OSError:
                return
            text = head.split(b"\r\n\r\n")[0].decode("latin-1")
            parts = text.split(" ")
            request = Request(text, parts[1] if len(parts) > 1 else "", time.monotonic())
            with self.arrival:
                self.requests.append(request)
                behaviour = self.behaviour
                self.arrival.notify_all()
            connection = Connection(sock, self.stopping)
            try:
                behaviour(connection, request.path)
            finally:
                with self.arrival:
                    request.ended = time.monotonic()
                    request.sent = connection.sent
                    self.arrival.notify_all()
