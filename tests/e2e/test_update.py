"""The update check at start-up, with the real WinINet download against a server of the test's
own on 127.0.0.1: what goes over the wire, the question a newer version raises, and servers
that misbehave in every way a start-up must survive."""

from __future__ import annotations

import re
import threading
import time
from dataclasses import dataclass
from pathlib import Path

import harness
from harness import StepFailed
from update_server import Behaviour, Connection, UpdateServer, gbk

UPDATE_PATH = "/soft/mirvo/mirvo.txt"
USER_AGENT = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"
QUESTION = "\r\n\r\n是否更新？"
BOX_TITLE = "检测到新版本："
NEWER_FILE = "晨枫定时器v1.3 发布了！\r\n1. 修正了定时关机的若干问题\r\n2. 新增注销功能"

# What the program may take, measured from the moment its request reaches the server.
QUICK = 5.0            # an answer that is there at once
WAIT_LIMIT = 5.0       # the program's time-out for a server that sends nothing
READING_BUDGET = 10.0  # the program stops reading a body this long after it began
BODY_CAP = 1024 * 1024  # ... or once it holds this many bytes
SLACK = 3.0


def home_page_address() -> str:
    return "http://" + harness.configured_home_host()


def peak_memory_kib(unix_pid: int) -> int:
    """The largest resident size the process has had (Wine runs the program in the process
    it was launched as)."""
    status = Path(f"/proc/{unix_pid}/status").read_text()
    return int(re.search(r"^VmHWM:\s+(\d+) kB", status, re.MULTILINE).group(1))


# --- behaviours ----------------------------------------------------------------------------


def answer(status: int, body: bytes, headers: list[str] | None = None,
           length: int | None = None) -> Behaviour:
    """A complete answer; Content-Length states `length` (len(body) unless given, no header
    when -1), and the connection ends after the body."""
    reasons = {200: "OK", 302: "Found", 404: "Not Found"}

    def behave(connection: Connection, _path: str) -> None:
        stated = len(body) if length is None else length
        lines = list(headers or []) + ([] if stated < 0 else [f"Content-Length: {stated}"])
        if connection.head(f"{status} {reasons[status]}", lines):
            connection.send(body)
    return behave


def more_than_stated(body: bytes, stated: int) -> Behaviour:
    """Content-Length says `stated`; the rest of the body follows a moment later."""
    def behave(connection: Connection, _path: str) -> None:
        if connection.head("200 OK", [f"Content-Length: {stated}"]) and \
                connection.send(body[:stated]):
            time.sleep(0.3)
            connection.send(body[stated:])
    return behave


def reset_mid_body(connection: Connection, _path: str) -> None:
    connection.head("200 OK", ["Content-Length: 4096"])
    connection.send(gbk("更新说明：服务器正在维护，") * 20)
    time.sleep(0.2)
    connection.reset()


def stall_after_headers(connection: Connection, _path: str) -> None:
    connection.head("200 OK", ["Content-Length: 100"])
    connection.wait_until_closed()


def drip(prefix: bytes) -> Behaviour:
    """The prefix, then one byte every 50 ms for as long as the program reads."""
    def behave(connection: Connection, _path: str) -> None:
        if connection.head("200 OK", []) and connection.send(prefix):
            while not connection.stopping.is_set() and connection.send(b"."):
                time.sleep(0.05)
    return behave


def long_body(total: int, beyond_cap: bytes) -> Behaviour:
    """A body of `total` bytes, sent as fast as the program takes it: filler up to the
    program's 1 MiB cap, then `beyond_cap`, then filler again."""
    block = b"x" * 65536

    def behave(connection: Connection, _path: str) -> None:
        if not connection.head("200 OK", [f"Content-Length: {total}"]):
            return
        left = total - BODY_CAP - len(beyond_cap)
        if not (connection.send(b"x" * BODY_CAP) and connection.send(beyond_cap)):
            return
        while left > 0 and connection.send(block[:left]):
            left -= len(block)
    return behave


def chunked(pieces: list[bytes]) -> Behaviour:
    def behave(connection: Connection, _path: str) -> None:
        if not connection.send(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n"
                               b"Connection: close\r\n\r\n"):
            return
        for piece in pieces:
            connection.send(b"%x\r\n%s\r\n" % (len(piece), piece))
        connection.send(b"0\r\n\r\n")
    return behave


def redirect_to(target: str, body: bytes) -> Behaviour:
    moved = answer(302, gbk("已移动"), headers=[f"Location: {target}"])
    found = answer(200, body)

    def behave(connection: Connection, path: str) -> None:
        (found if path == target else moved)(connection, path)
    return behave


# --- the tests -----------------------------------------------------------------------------


@dataclass
class HostileCase:
    name: str
    behaviour: Behaviour | None  # None: the port refuses connections
    shows: str | None = None     # the text of the question, when the body warrants one
    shows_prefix: str | None = None  # ... or how it begins, when the end is not fixed
    gives_up_after: tuple[float, float] = (0.0, QUICK)  # seconds after the request


class UpdateCheckTest(harness.WineTestCase):
    @classmethod
    def setUpClass(cls) -> None:
        super().setUpClass()
        cls.server = UpdateServer()
        cls.addClassCleanup(cls.server.close)

    def start(self, port: int | None = None) -> harness.Program:
        return self.launch(extra_env={
            "CFT_TEST_UPDATE_HOST": f"127.0.0.1:{port or self.server.port}"})

    def enabled(self, window: int) -> bool:
        return self.session.info(window)["enabled"]

    def assert_usable_without_question(self, program: harness.Program) -> None:
        program.wait_responsive(timeout=READING_BUDGET + 2 * WAIT_LIMIT)
        # A box up would have disabled the window before it appeared (task-modal).
        self.assertTrue(self.enabled(program.window), "the timer window must take input")
        self.assertEqual(program.message_boxes(), [])
        self.assertEqual(program.text_of(harness.START_BUTTON), "设定")

    def answer_question(self, program: harness.Program, button: int) -> dict:
        """Checks the question box and answers it; returns what the box showed."""
        def question() -> dict | None:
            if not program.running():
                raise StepFailed(f"{program!r} ended before asking")
            # Right after a long download Windows deems the thread hung until it has taken
            # its first message, and the driver's look at the box fails: not yet, then.
            reply = self.session.driver.ask(f"message_boxes {program.pid}")
            return reply["boxes"][0] if reply["ok"] and reply["boxes"] else None

        box = harness.wait_until(f"the question of {program!r}", question,
                                 READING_BUDGET + 2 * WAIT_LIMIT)
        self.assertEqual(box["title"], BOX_TITLE)
        self.assertEqual(sorted(b["id"] for b in box["buttons"]), [harness.IDYES, harness.IDNO])
        self.assertFalse(self.enabled(program.window),
                         "the timer window must not take input while the question is up")
        self.session.press(box["hwnd"], button)

        def closed() -> bool:
            # A box going away under the driver's feet makes it fail: that counts as not yet.
            reply = self.session.driver.ask(f"message_boxes {program.pid}")
            return reply["ok"] and not reply["boxes"]

        harness.wait_until("the question to close", closed, 5)
        program.wait_responsive()
        self.assertTrue(self.enabled(program.window))
        return box

    def test_newer_version_asks_and_yes_opens_the_home_page(self):
        self.server.serve(answer(200, gbk(NEWER_FILE)))
        pages_before = self.session.opened_pages()
        program = self.start()
        program.wait_for_window()

        box = self.answer_question(program, harness.IDYES)

        self.assertEqual(box["text"], NEWER_FILE + QUESTION)
        harness.wait_until("the stand-in browser to record the home page",
                           lambda: self.session.opened_pages() != pages_before, 5)
        opened = self.session.opened_pages()[len(pages_before):]
        # Wine's browser launcher hands on the canonical form, with "/" for the empty path.
        self.assertEqual([page.rstrip("/") for page in opened], [home_page_address()])
        self.assertTrue(program.running())

        # One plain HTTP/1.0 GET of the update file, as a 2000-era browser would send it.
        self.assertEqual(len(self.server.requests), 1)
        lines = self.server.requests[0].head.split("\r\n")
        harness.log(f"the request as the server received it: {lines}")
        headers = {}
        for line in lines[1:]:
            name, _, value = line.partition(":")
            headers.setdefault(name.strip().lower(), []).append(value.strip())
        self.assertEqual(lines[0], f"GET {UPDATE_PATH} HTTP/1.0")
        self.assertEqual(headers.get("user-agent"), [USER_AGENT])
        self.assertTrue(headers.get("accept"), f"no Accept header in {lines}")
        self.assertTrue(all("*/*" in value for value in headers["accept"]), headers["accept"])
        self.assertNotIn("authorization", headers)

    def test_window_is_shown_before_the_check_and_takes_no_input_until_it_is_over(self):
        release = threading.Event()

        def held(connection: Connection, path: str) -> None:
            while not release.wait(0.05):
                if connection.stopping.is_set():
                    return
            answer(200, gbk(NEWER_FILE))(connection, path)

        self.server.serve(held)
        self.addCleanup(release.set)
        program = self.start()
        self.server.wait_for_request()
        # The program's only thread is inside the download now, so what it shows it showed
        # before the check began.
        window = self.session.find_window(harness.TITLE, program.pid)
        self.assertIsNotNone(window, "the timer window must be open when the check starts")
        self.assertTrue(window["visible"])
        program.window = window["hwnd"]
        self.assertFalse(self.session.driver.ask(f"sync {program.window} 1")["ok"],
                         "the window must not react while the check runs")

        release.set()
        pages_before = self.session.opened_pages()
        box = self.answer_question(program, harness.IDNO)
        self.assertEqual(box["text"], NEWER_FILE + QUESTION)
        self.assertEqual(self.session.opened_pages(), pages_before, "No must open nothing")

    def test_misbehaving_servers_leave_the_window_usable(self):
        newer = gbk(NEWER_FILE)
        budget = (READING_BUDGET - 1, READING_BUDGET + WAIT_LIMIT)
        cases = [
            # The page's bytes 10 to 12 read 9.9: only a marker may make a version.
            HostileCase("404 page", answer(404, b"<!-- 404 9.9 --><html><body>Not Found"
                                                b"</body></html>")),
            HostileCase("connection refused", None),
            HostileCase("reset mid-body", reset_mid_body),
            HostileCase("stalled after the headers", stall_after_headers,
                        gives_up_after=(WAIT_LIMIT - 1, WAIT_LIMIT + SLACK)),
            HostileCase("endless drip", drip(gbk("晨枫定时器v1.3 ")),
                        shows_prefix="晨枫定时器v1.3 .", gives_up_after=budget),
            # Past the cap stands a marker with a newer number: it must never be seen. When the
            # program closes the request Wine reads on, without keeping anything, for as long
            # as bytes keep coming, so the server may well get rid of all 50 MB.
            HostileCase("50 MB body", long_body(50 * 1024 * 1024, gbk("晨枫定时器v9.9")),
                        gives_up_after=(0.0, READING_BUDGET + WAIT_LIMIT)),
            HostileCase("no Content-Length", answer(200, newer, length=-1), shows=NEWER_FILE),
            HostileCase("Content-Length too large", answer(200, newer, length=len(newer) + 500),
                        shows=NEWER_FILE),
            HostileCase("Content-Length too small", more_than_stated(newer, len(gbk("晨枫定时器v1.3"))),
                        shows="晨枫定时器v1.3"),
            HostileCase("chunked", chunked([newer[:7], newer[7:20], newer[20:]]),
                        shows=NEWER_FILE),
            HostileCase("redirect on the same server",
                        redirect_to("/soft/mirvo/moved.txt", newer), shows=NEWER_FILE),
            HostileCase("zero byte ends the text",
                        answer(200, newer + b"\0" + gbk("晨枫定时器v9.9") + bytes(range(256))),
                        shows=NEWER_FILE),
            HostileCase("binary bytes", answer(200, bytes(range(255, -1, -1)) * 64)),
        ]
        peaks = {}
        for case in cases:
            with self.case(server=case.name):
                peaks[case.name] = self.check_hostile_server(case)
        harness.log(f"peak resident sizes in KiB: {peaks}")

        # The 50 MB body never lived in the program's memory: it holds at most the cap.
        others = [peak for name, peak in peaks.items() if name != "50 MB body"]
        if "50 MB body" in peaks and others:
            self.assertLess(peaks["50 MB body"], min(others) + 16 * 1024)

    def check_hostile_server(self, case: HostileCase) -> int:
        """Runs the program against the server; returns its peak resident size in KiB."""
        if case.behaviour is None:
            program = self.start(harness.closed_local_port())
            program.wait_for_window()
            self.assert_usable_without_question(program)
            return peak_memory_kib(program.process.pid)

        self.server.serve(case.behaviour)
        program = self.start()
        program.wait_for_window()
        first = self.server.wait_for_request()
        if case.shows is None and case.shows_prefix is None:
            self.assert_usable_without_question(program)
        else:
            text = self.answer_question(program, harness.IDNO)["text"]
            if case.shows is not None:
                self.assertEqual(text, case.shows + QUESTION)
            else:
                self.assertRegex(text, "^" + re.escape(case.shows_prefix) + r"\.*"
                                 + re.escape(QUESTION) + "$")
        usable_after = time.monotonic() - first.arrived
        # The program has hung up by now; when the server saw it let go is what counts.
        answered = self.server.wait_until_answered(timeout=5)
        held = answered.ended - first.arrived
        low, high = case.gives_up_after
        harness.log(f"{case.name}: let go {held:.2f} s and was usable {usable_after:.2f} s "
                    f"after its request")
        self.assertGreaterEqual(held, low)
        self.assertLessEqual(held, high)
        # Seeing that the window answers again takes the driver up to 2 s of its own.
        self.assertLessEqual(usable_after, high + SLACK)
        return peak_memory_kib(program.process.pid)


if __name__ == "__main__":
    harness.main()
