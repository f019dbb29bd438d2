"""End-to-end harness: the program under Wine on a display of its own, driven from outside.

A Session owns everything it starts: an Xvfb display, a persistent wineserver for the
project's prefix, the driver (tests/e2e/driver, a Win32 console program that reads and steers
windows) and the programs the tests launch. close() ends each of them by its own process id
(the wineserver through `wineserver -k`), also when a test failed.

Test files subclass WineTestCase, which shares one Session per class, ends each test's
programs after it, and saves a screenshot of the display when a test fails.

Paths come from the environment CTest sets (see tests/e2e/CMakeLists.txt); tools/env.sh gives
the Wine settings, so they are written down in one place only.
"""

from __future__ import annotations

import contextlib
import ctypes
import datetime as dt
import fcntl
import functools
import json
import os
import queue
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest
from pathlib import Path
from typing import Any, Callable

REPO = Path(os.environ.get("CFT_REPO") or Path(__file__).resolve().parents[2])
BUILD = REPO / "build" / "win32"

TITLE = "晨枫定时器 v1.2"
WINDOW_CLASS = "ChenfengTimerWindow"

# Control ids as GetDlgCtrlID reports them.
BANNER, CLOCK_LINE, HOME_LINK, CANCEL_BUTTON, TIMER = 0x37, 0x38, 0x39, 0x3A, 0x3B
FOOTER, ACTION_COMBO, STATUS_LINE, START_BUTTON = 0x3C, 0x3D, 0x3E, 0x3F
MINUTES_EDIT, HOURS_EDIT, MINUTES_LABEL, HOURS_LABEL = 0x40, 0x41, 0x42, 0x43

# Message box buttons.
IDOK, IDCANCEL, IDYES, IDNO = 1, 2, 6, 7

# How long a launched program may take to show its window, and a driver command to answer.
START_TIMEOUT = 15.0
DRIVER_TIMEOUT = 10.0

PR_SET_PDEATHSIG = 1  # <linux/prctl.h>


class StepFailed(AssertionError):
    """A step of a test could not be carried out; the message says which and why."""


def log(message: str) -> None:
    print(f"[e2e {time.strftime('%H:%M:%S')}] {message}", file=sys.stderr, flush=True)


def path_from_env(name: str, default: Path) -> Path:
    value = os.environ.get(name)
    return Path(value) if value else default


def test_build_program() -> Path:
    return path_from_env("CFT_TEST_EXE", BUILD / "tests" / "seams" / "ChenfengTimerTest.exe")


def configured_home_host() -> str:
    """The home page's host as the build under test was configured: its generated header says."""
    header = test_build_program().parents[2] / "generated" / "product_constants.h"
    found = re.search(r'#define CFT_HOME_HOST "([^"]*)"', header.read_text(encoding="utf-8"))
    if not found:
        raise StepFailed(f"no CFT_HOME_HOST in {header}")
    return found.group(1)


def shipped_program() -> Path:
    return path_from_env("CFT_SHIPPED_EXE", BUILD / "app" / "ChenfengTimer.exe")


def driver_exe() -> Path:
    return path_from_env("CFT_DRIVER_EXE", BUILD / "tests" / "e2e" / "cft_e2e_driver.exe")


def clock_probe_exe() -> Path:
    return path_from_env("CFT_CLOCK_PROBE_EXE", BUILD / "tests" / "e2e" / "cft_clock_probe.exe")


def screenshot_dir() -> Path:
    return path_from_env("CFT_SCREENSHOT_DIR", BUILD / "screenshots")


def windows_path(path: Path) -> str:
    """The path as a Windows program of the prefix names it (drive Z: is the Unix root)."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def wine_environment() -> dict[str, str]:
    """This process's environment after sourcing tools/env.sh: the one place that says how
    Wine runs for this project (prefix, code page 936, debug output)."""
    script = REPO / "tools" / "env.sh"
    if not script.is_file():
        raise StepFailed(f"set-up: {script} is missing")
    result = subprocess.run(
        ["bash", "-c", '. "$1" && env -0', "env.sh", str(script)],
        capture_output=True, timeout=30, check=False)
    if result.returncode != 0:
        error = result.stderr.decode(errors="replace")
        raise StepFailed(f"set-up: sourcing {script} failed: {error}")
    env = {}
    for entry in result.stdout.split(b"\0"):
        name, sep, value = entry.partition(b"=")
        if sep:
            env[name.decode()] = value.decode(errors="surrogateescape")
    return env


def wait_until(description: str, probe: Callable[[], Any], timeout: float,
               interval: float = 0.02) -> Any:
    """Calls probe until it returns something truthy and returns that; fails the step with the
    last value seen when the time runs out."""
    deadline = time.monotonic() + timeout
    last: Any = None
    while True:
        last = probe()
        if last:
            return last
        if time.monotonic() >= deadline:
            raise StepFailed(f"timed out after {timeout:.1f} s waiting for {description}; "
                             f"last seen: {last!r}")
        time.sleep(interval)


def best_effort(description: str, action: Callable[[], Any]) -> None:
    """Runs a clean-up step; a failure is reported but does not stop the other steps."""
    try:
        action()
    except Exception as error:  # noqa: BLE001 - clean-up must go on
        log(f"clean-up step '{description}' failed: {error!r}")


def read_lines(path: Path) -> list[str]:
    try:
        return path.read_text().splitlines()
    except FileNotFoundError:
        return []


def closed_local_port() -> int:
    """A loopback port nobody listens on: connecting to it is refused at once."""
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def die_with_parent() -> None:
    """In a child before exec: the kernel ends it when we die, even by SIGKILL."""
    prctl = ctypes.CDLL(None, use_errno=True).prctl
    prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


def end_process(process: subprocess.Popen, name: str, grace: float = 2.0) -> None:
    """Ends a process we started, by its own id: asked first, then killed."""
    if process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        log(f"{name} (pid {process.pid}) ignored SIGTERM; killing it")
        process.kill()
        process.wait(timeout=5)


class LineProcess:
    """A console program that answers each line on its standard input with one line."""

    def __init__(self, name: str, command: list[str], env: dict[str, str], log_file: Path):
        self.name = name
        self._log = open(log_file, "wb")
        self.process = subprocess.Popen(command, env=env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=self._log)
        self._lines: queue.Queue[bytes] = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self) -> None:
        for line in self.process.stdout:
            self._lines.put(line)
        self._lines.put(b"")  # it has gone

    def ask_line(self, line: str, timeout: float = DRIVER_TIMEOUT) -> str:
        if self.process.poll() is not None:
            raise StepFailed(f"{self.name} '{line}': {self.name} has exited "
                             f"(code {self.process.returncode})")
        try:
            self.process.stdin.write(line.encode() + b"\n")
            self.process.stdin.flush()
            raw = self._lines.get(timeout=timeout)
        except queue.Empty:
            raise StepFailed(f"{self.name} '{line}': no answer within {timeout:.1f} s") from None
        except BrokenPipeError:
            raise StepFailed(f"{self.name} '{line}': {self.name} has gone") from None
        if not raw:
            raise StepFailed(f"{self.name} '{line}': {self.name} ended without answering")
        return raw.decode().rstrip("\r\n")

    def close(self) -> None:
        with contextlib.suppress(OSError):
            self.process.stdin.close()  # the end of input ends it
        try:
            self.process.wait(timeout=3)
        except subprocess.TimeoutExpired:
            end_process(self.process, self.name)
        self._log.close()


class Driver(LineProcess):
    """The driver program: one command line out, one JSON line back."""

    def __init__(self, env: dict[str, str], log_file: Path):
        super().__init__("driver", ["wine", str(driver_exe())], env, log_file)

    def command(self, line: str, timeout: float = DRIVER_TIMEOUT) -> dict:
        """Runs a command; a refusal or error of the driver fails the step."""
        reply = self.ask(line, timeout)
        if not reply.get("ok"):
            raise StepFailed(f"driver command '{line}' failed: {reply.get('error')}")
        return reply

    def ask(self, line: str, timeout: float = DRIVER_TIMEOUT) -> dict:
        """Runs a command and returns the answer as it is, refusals included."""
        return json.loads(self.ask_line(line, timeout))


class Program:
    """A launched program: its Unix process, its Windows process id and its main window."""

    def __init__(self, session: Session, exe: Path, process: subprocess.Popen, pid: int,
                 log_file: Path):
        self.session = session
        self.exe = exe
        self.process = process
        self.pid = pid  # Windows process id
        self.log_file = log_file
        self.window = 0  # the timer window's handle once wait_for_window has found it

    def __repr__(self) -> str:
        return f"<{self.exe.name} unix pid {self.process.pid}, windows pid {self.pid}>"

    def running(self) -> bool:
        return self.process.poll() is None

    def visible_windows(self) -> list[dict]:
        return [w for w in self.session.windows(self.pid) if w["visible"]]

    def wait_for_window(self, title: str = TITLE, timeout: float = START_TIMEOUT) -> int:
        def shown():
            if not self.running():
                raise StepFailed(f"{self!r} ended (code {self.process.returncode}) before "
                                 f"showing '{title}'")
            found = self.session.find_window(title, self.pid)
            return found if found and found["visible"] else None

        self.window = wait_until(f"the window '{title}' of {self!r}", shown, timeout)["hwnd"]
        return self.window

    def wait_responsive(self, timeout: float = START_TIMEOUT) -> None:
        """Until the program's thread takes messages again (start-up work is over)."""
        def answered():
            return self.session.driver.ask(f"sync {self.window}", timeout=5)["ok"]

        wait_until(f"{self!r} to take messages", answered, timeout, interval=0.05)

    def control(self, control_id: int) -> int:
        return self.session.control(self.window, control_id)

    def text_of(self, control_id: int) -> str:
        return self.session.text(self.control(control_id))

    def message_boxes(self) -> list[dict]:
        return self.session.message_boxes(self.pid)

    def wait_for_message_box(self, timeout: float = START_TIMEOUT) -> dict:
        def box():
            if not self.running():
                raise StepFailed(f"{self!r} ended (code {self.process.returncode}) before "
                                 f"showing a message box")
            boxes = self.message_boxes()
            return boxes[0] if boxes else None

        return wait_until(f"a message box of {self!r}", box, timeout)

    def wait_exit(self, timeout: float) -> tuple[int, int]:
        """Waits for the end of the process; returns the exit code Unix saw (Wine hands over
        the low 8 bits) and the one the program passed to Windows."""
        try:
            unix_code = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise StepFailed(f"{self!r} still running {timeout:.1f} s later; visible windows: "
                             f"{self.visible_windows()}") from None
        status = self.session.driver.command(f"exit_code {self.pid}")
        if status["running"]:
            raise StepFailed(f"{self!r}: Unix saw the end but Windows says it still runs")
        return unix_code, status["code"]

    def kill(self) -> None:
        end_process(self.process, repr(self))


# Sessions not yet closed, for a run that is stopped halfway.
LIVE_SESSIONS: set[Session] = set()


class Session:
    """One X display, one wineserver, one driver; programs launched on demand."""

    def __init__(self, name: str = "e2e"):
        self.name = re.sub(r"[^\w.-]+", "_", name)
        self._cleanup = contextlib.ExitStack()
        self.display = ""
        self.env: dict[str, str] = {}
        self.driver: Driver | None = None
        self.programs: list[Program] = []
        self.temp = Path()
        self.clock_file = Path()
        self.browser_log = Path()
        self.power_log_file = Path()
        self.closed_port = 0

    # --- start and end -------------------------------------------------------------------

    def start(self) -> Session:
        started = time.monotonic()
        LIVE_SESSIONS.add(self)
        try:
            self.temp = Path(tempfile.mkdtemp(prefix="cft-e2e-"))
            self._cleanup.callback(shutil.rmtree, self.temp, ignore_errors=True)
            self.clock_file = self.temp / "clock.txt"
            self.browser_log = self.temp / "opened-pages.log"
            self.power_log_file = self.temp / "power-calls.log"
            self.closed_port = closed_local_port()
            self.env = wine_environment()
            self._lock_prefix()
            self._start_display()
            self._start_wineserver()
            self.driver = Driver(self.env, self.temp / "driver.log")
            self._cleanup.callback(best_effort, "end the driver", self.driver.close)
            self.driver.command("ping", timeout=30)
        except BaseException:
            self.close()
            raise
        log(f"session ready on display {self.display} in {time.monotonic() - started:.2f} s")
        return self

    def close(self) -> None:
        self.close_programs()
        self._cleanup.close()
        LIVE_SESSIONS.discard(self)

    def close_programs(self) -> None:
        for program in self.programs:
            best_effort(f"end {program!r}", program.kill)
        self.programs.clear()

    def _lock_prefix(self) -> None:
        # CTest's RESOURCE_LOCK orders the tests of one ctest run; this lock also keeps out
        # a second run started by somebody else in the same tree. Released when we exit,
        # however we exit.
        lock_path = Path(self.env["WINEPREFIX"]).parent / "wineprefix.e2e-lock"
        lock = open(lock_path, "w")
        self._cleanup.callback(lock.close)
        # The wait counts against the test's time-out, which then says where it was spent.
        started = time.monotonic()
        told = False
        while True:
            try:
                fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
                break
            except BlockingIOError:
                if not told and time.monotonic() - started > 1:
                    log(f"waiting for {lock_path}: another test run is using the Wine prefix")
                    told = True
                time.sleep(0.2)
        if told:
            log(f"got the Wine prefix after {time.monotonic() - started:.1f} s")

    def _start_display(self) -> None:
        for number in range(90, 200):
            if Path(f"/tmp/.X{number}-lock").exists() or Path(f"/tmp/.X11-unix/X{number}").exists():
                continue
            xvfb = subprocess.Popen(
                ["Xvfb", f":{number}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                preexec_fn=die_with_parent)
            x_socket = Path(f"/tmp/.X11-unix/X{number}")
            deadline = time.monotonic() + 10
            while xvfb.poll() is None and not x_socket.exists() and time.monotonic() < deadline:
                time.sleep(0.02)
            if xvfb.poll() is not None:
                continue  # somebody took the number in between
            if not x_socket.exists():
                end_process(xvfb, "Xvfb")
                raise StepFailed(f"set-up: Xvfb :{number} did not open its socket in 10 s")
            self._cleanup.callback(best_effort, "end Xvfb", lambda: end_process(xvfb, "Xvfb"))
            self.display = f":{number}"
            self.env["DISPLAY"] = self.display
            self.env.pop("WAYLAND_DISPLAY", None)
            return
        raise StepFailed("set-up: found no free X display number in 90..199")

    def _wine_tool(self, *args: str, timeout: float = 30) -> None:
        # No pipes of ours: what Wine starts in the background must not hold them open.
        try:
            subprocess.run(list(args), env=self.env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=timeout, check=True)
        except subprocess.CalledProcessError as error:
            raise StepFailed(f"set-up: {' '.join(args)} exited with {error.returncode}") from None
        except subprocess.TimeoutExpired:
            raise StepFailed(f"set-up: {' '.join(args)} did not finish in {timeout} s") from None

    def _start_wineserver(self) -> None:
        prefix = Path(self.env["WINEPREFIX"])
        if not (prefix / "system.reg").is_file():
            raise StepFailed(f"set-up: no Wine prefix at {prefix}; run tools/setup.sh")
        # A server left by a run that was killed would still serve its dead display.
        with contextlib.suppress(StepFailed):
            self._wine_tool("wineserver", "-k", timeout=10)
        self._wine_tool("wineserver", "-w", timeout=20)
        self._cleanup.callback(best_effort, "end the wineserver", self._end_wineserver)
        # Persistent: every launch then costs tens of milliseconds instead of seconds.
        self._wine_tool("wineserver", "-p")
        self._wine_tool("wine", "cmd", "/c", "exit", timeout=60)

    def _end_wineserver(self) -> None:
        with contextlib.suppress(StepFailed):
            self._wine_tool("wineserver", "-k", timeout=10)
        self._wine_tool("wineserver", "-w", timeout=20)

    # --- programs --------------------------------------------------------------------------

    def program_environment(self, extra_env: dict[str, str] | None = None) -> dict[str, str]:
        """The environment of a launched program: the seams point at this session's files and
        at a closed local port; extra_env adds or overrides (a test serving the update file
        sets CFT_TEST_UPDATE_HOST to its own server)."""
        env = dict(self.env)
        env["CFT_TEST_CLOCK_FILE"] = windows_path(self.clock_file)
        env["CFT_BROWSER_LOG"] = str(self.browser_log)  # read by the Unix stand-in browser
        # Never a real power call, whatever a test does: they are logged instead.
        env["CFT_TEST_POWER_LOG"] = windows_path(self.power_log_file)
        # Refused at once, so start-up never waits for a name lookup or a remote site.
        env["CFT_TEST_UPDATE_HOST"] = f"127.0.0.1:{self.closed_port}"
        env.update(extra_env or {})
        return env

    def launch(self, exe: Path | None = None, extra_env: dict[str, str] | None = None) -> Program:
        """Starts a program and returns once Windows knows its process id."""
        exe = Path(exe or test_build_program())
        if not exe.is_file():
            raise StepFailed(f"launch: {exe} does not exist (built?)")
        before = set(self.process_ids(exe.name))
        log_file = self.temp / f"{exe.stem}-{len(self.programs)}.log"
        with open(log_file, "wb") as output:
            process = subprocess.Popen(["wine", str(exe)], env=self.program_environment(extra_env),
                                       stdin=subprocess.DEVNULL, stdout=output, stderr=output)

        def new_pid():
            if process.poll() is not None:
                raise StepFailed(f"launch: {exe.name} ended with code {process.returncode} "
                                 f"before Windows listed it; output: {log_file.read_text()!r}")
            fresh = set(self.process_ids(exe.name)) - before
            return min(fresh) if fresh else None

        try:
            pid = wait_until(f"Windows to list the process of {exe.name}", new_pid,
                             START_TIMEOUT, interval=0.005)
            self.driver.command(f"watch {pid}")
        except BaseException:
            end_process(process, exe.name)
            raise
        program = Program(self, exe, process, pid, log_file)
        self.programs.append(program)
        return program

    # --- clock and browser seams -----------------------------------------------------------

    def set_clock(self, now: dt.datetime) -> None:
        """From now on the test build's clock shows `now`, and runs on from there."""
        line = f"{now:%Y-%m-%d %H:%M:%S} {time.time():.6f}\n"
        self.write_clock_line(line)

    def write_clock_line(self, line: str) -> None:
        # Replaced in one step, so that the program never reads half a file.
        staging = self.clock_file.with_suffix(".new")
        staging.write_text(line)
        os.replace(staging, self.clock_file)

    def reset_clock(self) -> None:
        """Back to the real local clock."""
        with contextlib.suppress(FileNotFoundError):
            self.clock_file.unlink()

    def opened_pages(self) -> list[str]:
        """Addresses the program opened in the browser, in order."""
        return read_lines(self.browser_log)

    def power_calls(self) -> list[str]:
        """The power calls the test build made, one line each (see tests/seams)."""
        return read_lines(self.power_log_file)

    # --- screenshots -----------------------------------------------------------------------

    def screenshot(self, name: str) -> Path | None:
        """Saves the whole display as build/win32/screenshots/NAME.png."""
        if not self.display:
            return None
        folder = screenshot_dir()
        folder.mkdir(parents=True, exist_ok=True)
        target = folder / (re.sub(r"[^\w.-]+", "_", name) + ".png")
        try:
            subprocess.run(["import", "-window", "root", "-display", self.display, str(target)],
                           stdin=subprocess.DEVNULL, capture_output=True, timeout=20, check=True)
        except (subprocess.SubprocessError, OSError) as error:
            log(f"screenshot {target} failed: {error!r}")
            return None
        return target

    # --- driver commands -------------------------------------------------------------------

    def process_ids(self, exe_name: str) -> list[int]:
        return self.driver.command(f"processes {exe_name}")["pids"]

    def find_window(self, title: str, pid: int = 0) -> dict | None:
        return self.driver.command(f"find_window {pid} {title}")["window"]

    def windows(self, pid: int = 0) -> list[dict]:
        return self.driver.command(f"windows {pid}")["windows"]

    def children(self, hwnd: int) -> list[dict]:
        return self.driver.command(f"children {hwnd}")["children"]

    def control(self, hwnd: int, control_id: int) -> int:
        return self.driver.command(f"control {hwnd} {control_id}")["hwnd"]

    def spinner(self, edit_hwnd: int) -> int:
        return self.driver.command(f"spinner {edit_hwnd}")["hwnd"]

    def text(self, hwnd: int) -> str:
        return self.driver.command(f"text {hwnd}")["text"]

    def info(self, hwnd: int) -> dict:
        """Class, id, enabled, visible, style, exstyle, window_rect (screen), client_rect,
        client_origin (screen), rect_in_parent, pid, parent, owner."""
        return self.driver.command(f"info {hwnd}")

    def focus(self, hwnd: int) -> dict:
        """focus, focus_id, active, capture and foreground window of hwnd's thread."""
        return self.driver.command(f"focus {hwnd}")

    def combo(self, hwnd: int) -> dict:
        """selected index, items, dropped."""
        return self.driver.command(f"combo {hwnd}")

    def message_boxes(self, pid: int) -> list[dict]:
        """Visible boxes: hwnd, title, text, owner, buttons (hwnd, id, text, enabled)."""
        return self.driver.command(f"message_boxes {pid}")["boxes"]

    def click(self, hwnd: int) -> None:
        self.driver.command(f"click {hwnd}")

    def key(self, hwnd: int, key: str, phase: str = "press") -> int:
        """Posts a key to the focused control of hwnd's window (or the window); returns where
        it went."""
        return self.driver.command(f"key {hwnd} {key} {phase}")["target"]

    def type_text(self, hwnd: int, text: str) -> int:
        return self.driver.command(f"type {hwnd} {text}")["target"]

    def input_keys(self, combination: str) -> None:
        """Real key presses (e.g. "alt+f4") into the foreground window."""
        self.driver.command(f"input_keys {combination}")

    def input_click(self, x: int, y: int) -> None:
        """A real left click at screen coordinates."""
        self.driver.command(f"input_click {x} {y}")

    def mouse(self, hwnd: int, phase: str, x: int, y: int) -> None:
        self.driver.command(f"mouse {hwnd} {phase} {x} {y}")

    def spin(self, updown_hwnd: int, direction: str) -> None:
        self.driver.command(f"spin {updown_hwnd} {direction}")

    def select(self, combo_hwnd: int, index: int) -> None:
        self.driver.command(f"select {combo_hwnd} {index}")

    def press(self, box_hwnd: int, button_id: int) -> None:
        self.driver.command(f"press {box_hwnd} {button_id}")

    def close_window(self, hwnd: int, how: str = "syscommand") -> None:
        self.driver.command(f"close {hwnd} {how}")

    def foreground(self, hwnd: int) -> bool:
        return self.driver.command(f"foreground {hwnd}")["foreground"]

    def sync(self, hwnd: int) -> None:
        self.driver.command(f"sync {hwnd}")


class WineTestCase(unittest.TestCase):
    """Shares one Session per test class; ends each test's programs after it and keeps a
    screenshot of a failure."""

    session: Session
    timings: list[tuple[str, float]]

    @classmethod
    def setUpClass(cls) -> None:
        cls.timings = []
        cls.session = Session(cls.__name__)
        cls.addClassCleanup(cls.session.close)
        cls.addClassCleanup(cls._report_timings)
        cls.session.start()

    @classmethod
    def _report_timings(cls) -> None:
        for name, seconds in cls.timings:
            log(f"{seconds:6.2f} s  {name}")

    def setUp(self) -> None:
        started = time.monotonic()
        self.addCleanup(lambda: self.timings.append((self._testMethodName,
                                                     time.monotonic() - started)))
        self.session.reset_clock()
        self.addCleanup(self._end_programs)

    def _end_programs(self) -> None:
        self.session.close_programs()

    @contextlib.contextmanager
    def case(self, **params):
        """A subTest that keeps a screenshot when it fails (its failure is not the test's)."""
        with self.subTest(**params):
            try:
                yield
            except BaseException:
                label = "-".join(f"{k}={v}" for k, v in params.items())
                shot = self.session.screenshot(f"{self.id()}-{label}-failure")
                if shot:
                    log(f"screenshot of the failure: {shot}")
                raise

    def launch(self, exe: Path | None = None, extra_env: dict[str, str] | None = None) -> Program:
        return self.session.launch(exe, extra_env)

    def run(self, result=None):
        # The screenshot must be taken before the clean-ups end the program.
        method = getattr(self, self._testMethodName)

        @functools.wraps(method)
        def guarded():
            try:
                return method()
            except unittest.SkipTest:
                raise
            except BaseException:
                shot = self.session.screenshot(f"{self.id()}-failure")
                if shot:
                    log(f"screenshot of the failure: {shot}")
                raise

        setattr(self, self._testMethodName, guarded)
        return super().run(result)


class Stopped(KeyboardInterrupt):
    """The run must stop at once (its time ran out, or it was told to). A KeyboardInterrupt,
    because that is what unittest lets through instead of recording it and going on."""


def main() -> None:
    def stop(reason: str):
        def handler(*_):
            raise Stopped(reason)
        return handler

    # CTest kills an overrunning test with SIGKILL, which leaves no chance to clean up: stop
    # by ourselves a little earlier (CFT_E2E_DEADLINE seconds, set by tests/e2e/CMakeLists.txt).
    deadline = int(os.environ.get("CFT_E2E_DEADLINE", "0"))
    if deadline > 0:
        signal.signal(signal.SIGALRM, stop(f"the test file overran its {deadline} s"))
        signal.alarm(deadline)
    signal.signal(signal.SIGTERM, stop("SIGTERM"))
    try:
        unittest.main(verbosity=2)
    except KeyboardInterrupt as reason:
        log(f"stopped: {reason}")
        for session in list(LIVE_SESSIONS):
            session.screenshot(f"{session.name}-stopped")
            session.close()
        sys.exit(1)
