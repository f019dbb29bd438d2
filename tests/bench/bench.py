#!/usr/bin/env python3
"""Benchmarks of the timer under Wine on a virtual display, each figure beside the same figure
of a baseline program (tests/bench/baseline.cpp: one plain window) measured in the same run.

Usage: tests/bench/bench.py [--runs N] [--stall-runs N] [--cpu-runs N] [--output FILE]
Normally started by tools/bench.sh, which builds everything first and sets the paths.

What is measured, each figure the median of its runs:
- start-up: from CreateProcess to the first visible top-level window of the process, and to
  its first answer to a sent message (the driver's start_timed command), with the update
  address at a refused port on 127.0.0.1;
- memory, one second after that: peak working set and private bytes from GetProcessMemoryInfo;
- CPU time over the 60 s after arming a countdown of 0 h 30 min, from the Linux process that
  runs the program (Wine 8 answers GetProcessTimes on another process with the caller's own
  times, so the driver cannot ask Windows);
- how long the window takes no messages while the update check talks to a stalled server;
- the stripped size of ChenfengTimer.exe, with tools/exe_size.py's breakdown.

The session runs on a private copy of the project's Wine prefix: the benchmarks take minutes,
and the shared prefix would stall every end-to-end test run meanwhile.
"""

from __future__ import annotations

import argparse
import collections
import contextlib
import datetime as dt
import fcntl
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass, field
from pathlib import Path
from typing import Callable

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import harness  # noqa: E402
from harness import CANCEL_BUTTON, MINUTES_EDIT, START_BUTTON, TITLE, StepFailed  # noqa: E402
from update_server import Connection, UpdateServer  # noqa: E402

START_LIMIT_MS = 30000
SETTLE = 1.0  # seconds between a window's first answer and the memory reading
ARMED_MINUTES = 30
MB = 1024 * 1024

# The update check's limits (update/win32/http_get.cpp, update/reading_budget.h), and what its
# own work around the waits may add: tens of milliseconds (the timer against a refused port),
# so that the target is about the time-outs and not about how busy the machine is.
WAIT_LIMIT = 5.0
READING_BUDGET = 10.0
TRICKLE_INTERVAL = 1.0
CHECK_ALLOWANCE = 0.5


def log(message: str) -> None:
    print(f"[bench {time.strftime('%H:%M:%S')}] {message}", file=sys.stderr, flush=True)


def baseline_program() -> Path:
    return harness.path_from_env(
        "CFT_BASELINE_EXE", harness.BUILD / "tests" / "bench" / "cft_bench_baseline.exe")


def median(values: list[float]) -> float:
    return statistics.median(values) if values else float("nan")


# --- the Linux side of a Wine process ---------------------------------------------------------


def unix_pids_running(exe: Path) -> set[int]:
    """Linux processes whose command line is this Windows program (Wine puts the Windows path
    there)."""
    wanted = harness.windows_path(exe).encode().lower()
    found = set()
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        with contextlib.suppress(OSError):
            command = Path(f"/proc/{entry}/cmdline").read_bytes().split(b"\0")[0].lower()
            if command.strip(b'"') == wanted:
                found.add(int(entry))
    return found


@dataclass
class CpuReading:
    ticks: float  # user + system time of the whole process, ended threads included, in s
    exact: float  # on-CPU time of its live threads, in s
    threads: frozenset[int]


def cpu_reading(unix_pid: int) -> CpuReading:
    """The process's CPU time two ways: /proc/PID/stat counts it in 10 ms ticks (what
    GetProcessTimes gives on Windows, and what later Wine versions read from that file);
    schedstat counts each thread's time on a CPU in nanoseconds."""
    fields = Path(f"/proc/{unix_pid}/stat").read_text().rsplit(")", 1)[1].split()
    ticks = (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    exact = 0
    threads = set()
    for thread in os.listdir(f"/proc/{unix_pid}/task"):
        with contextlib.suppress(OSError):
            exact += int(Path(f"/proc/{unix_pid}/task/{thread}/schedstat").read_text().split()[0])
            threads.add(int(thread))
    return CpuReading(ticks, exact / 1e9, frozenset(threads))


def cpu_used_ms(before: CpuReading, after: CpuReading) -> float:
    """To the nanosecond while the same threads ran throughout; in ticks when one came or went
    (an ended thread takes its schedstat with it)."""
    if before.threads == after.threads:
        return (after.exact - before.exact) * 1000
    return (after.ticks - before.ticks) * 1000


def resident_by_mapping(unix_pid: int) -> collections.Counter:
    """Resident kilobytes of each mapped file (by name), and of anonymous memory."""
    sizes: collections.Counter = collections.Counter()
    name = ""
    for line in Path(f"/proc/{unix_pid}/smaps").read_text(errors="replace").splitlines():
        head = line.split(None, 5)
        if len(head) >= 5 and re.fullmatch(r"[0-9a-f]+-[0-9a-f]+", head[0]):
            path = head[5] if len(head) == 6 else ""
            name = Path(path).name if path.startswith("/") else (path or "[anonymous]")
        elif line.startswith("Rss:"):
            sizes[name] += int(line.split()[1])
    return sizes


# --- servers that stall -----------------------------------------------------------------------


def silent(connection: Connection, _path: str) -> None:
    """Takes the request and answers nothing."""
    connection.wait_until_closed()


def headers_then_silence(connection: Connection, _path: str) -> None:
    connection.head("200 OK", ["Content-Length: 4096"])
    connection.wait_until_closed()


def trickle(connection: Connection, _path: str) -> None:
    """Announces a 1 MB body and sends it a byte a second."""
    if connection.head("200 OK", ["Content-Length: 1048576"]):
        while not connection.stopping.wait(TRICKLE_INTERVAL) and connection.send(b"x"):
            pass


# --- the session ------------------------------------------------------------------------------


class PrivatePrefixSession(harness.Session):
    """A harness session on a copy of the project's Wine prefix: the shared prefix is locked
    only while it is copied."""

    def _lock_prefix(self) -> None:
        shared = Path(self.env["WINEPREFIX"]).resolve()
        copy = self.temp / "wineprefix"
        with open(shared.parent / "wineprefix.e2e-lock", "w") as lock:
            log("copying the Wine prefix (waits while a test run holds it)")
            fcntl.flock(lock, fcntl.LOCK_EX)
            subprocess.run(["cp", "-a", str(shared), str(copy)], check=True, timeout=300)
        self.env["WINEPREFIX"] = str(copy)


@dataclass
class Started:
    exe: Path
    pid: int
    hwnd: int
    visible: float  # seconds from CreateProcess
    ready: float
    unix_pid: int


class Bench:
    def __init__(self, session: harness.Session):
        self.session = session
        self.driver = session.driver

    def start(self, exe: Path, update_host: str | None = None) -> Started:
        """Starts the program through the driver with the test build's seams pointed at this
        session (the update address at update_host, else at a refused port)."""
        env = self.session.program_environment()
        if update_host:
            env["CFT_TEST_UPDATE_HOST"] = update_host
        # Without a clock file the test build reads the real clock as the shipped one does.
        env["CFT_TEST_CLOCK_FILE"] = ""
        for name in ("CFT_TEST_UPDATE_HOST", "CFT_TEST_POWER_LOG", "CFT_TEST_CLOCK_FILE"):
            self.driver.command(f"setenv {name} {env[name]}")
        before = unix_pids_running(exe)
        reply = self.driver.command(f"start_timed {START_LIMIT_MS} {harness.windows_path(exe)}",
                                    timeout=START_LIMIT_MS / 1000 + 10)
        fresh = unix_pids_running(exe) - before
        started = Started(exe, reply["pid"], reply["hwnd"], reply["visible_us"] / 1e6,
                          reply["ready_us"] / 1e6, min(fresh) if fresh else 0)
        if len(fresh) != 1:
            self.end(started)
            raise StepFailed(f"{exe.name}: found {len(fresh)} new Linux processes, not one")
        return started

    def end(self, started: Started) -> None:
        """Closes the window as a user would; ends the process if that does not end it."""
        with contextlib.suppress(StepFailed):
            self.driver.command(f"close {started.hwnd} message")
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline:
            if not self.driver.command(f"exit_code {started.pid}")["running"]:
                return
            time.sleep(0.05)
        log(f"{started.exe.name} (pid {started.pid}) did not end on WM_CLOSE; terminating it")
        self.driver.command(f"terminate {started.pid}")

    def memory(self, started: Started) -> dict:
        reply = self.driver.command(f"memory {started.pid}")
        # Wine 8 leaves PrivateUsage at 0; Windows defines PagefileUsage as the same figure.
        reply["private"] = reply["private_usage"] or reply["pagefile_usage"]
        return reply

    def arm(self, started: Started) -> None:
        """Sets 0 h 30 min with the minute spinner and presses 设定, as a user would."""
        edit = self.session.control(started.hwnd, MINUTES_EDIT)
        spinner = self.session.spinner(edit)
        for _ in range(ARMED_MINUTES):
            self.session.spin(spinner, "up")
        harness.wait_until("the minute box to show 30",
                           lambda: self.session.text(edit) == str(ARMED_MINUTES), 10)
        self.session.click(self.session.control(started.hwnd, START_BUTTON))
        cancel = self.session.control(started.hwnd, CANCEL_BUTTON)
        harness.wait_until("the countdown to be armed (取消 enabled)",
                           lambda: self.session.info(cancel)["enabled"], 10)


# --- the figures ------------------------------------------------------------------------------


@dataclass
class Figure:
    name: str
    unit: str
    timer: list[float]
    baseline: list[float]
    target: str
    met: Callable[[float, float], bool] | None  # None: shown for reference only
    ratio: bool = True
    digits: int = 0
    note: str = ""

    def row(self) -> list[str]:
        timer, baseline = median(self.timer), median(self.baseline)
        ratio = f"{timer / baseline:.2f}" if self.ratio and baseline else "–"
        return [self.name, self._value(timer, self.timer), self._value(baseline, self.baseline),
                ratio, self.target, self.verdict(timer, baseline)]

    def verdict(self, timer: float, baseline: float) -> str:
        if self.met is None:
            return ""
        return "met" if self.met(timer, baseline) else "**missed**"

    def _value(self, value: float, samples: list[float]) -> str:
        if len(samples) > 1:
            spread = f" ({min(samples):.{self.digits}f}–{max(samples):.{self.digits}f})"
        else:
            spread = ""
        return f"{value:.{self.digits}f} {self.unit}{spread}"


@dataclass
class Results:
    figures: list[Figure] = field(default_factory=list)
    runs: dict[str, str] = field(default_factory=dict)
    notes: list[str] = field(default_factory=list)
    memory_profile: list[tuple[str, int, int]] = field(default_factory=list)
    size_breakdown: str = ""


def measure_start_up(bench: Bench, runs: int, results: Results) -> tuple[float, float]:
    """Start-up and memory, the timer and the baseline taking turns. Returns how long the
    baseline and the timer take no messages after their window showed (medians, in s): for the
    timer, the cost of its update check against the refused port."""
    timer_exe, baseline_exe = harness.test_build_program(), baseline_program()
    samples: dict[str, dict[str, list[float]]] = {
        name: collections.defaultdict(list) for name in ("timer", "baseline")}
    profiles: dict[str, collections.Counter] = {}
    # The first start of each loads its DLLs from disk; every later one finds them cached.
    for exe in (timer_exe, baseline_exe):
        bench.end(bench.start(exe))
    for run in range(runs):
        order = [("timer", timer_exe), ("baseline", baseline_exe)]
        if run % 2:
            order.reverse()  # neither always starts right after the other one ended
        for name, exe in order:
            started = bench.start(exe)
            try:
                if name == "timer":
                    shown = bench.session.find_window(TITLE, started.pid)
                    if not shown or shown["hwnd"] != started.hwnd:
                        raise StepFailed(f"the timer's first visible window is not '{TITLE}'")
                time.sleep(SETTLE)
                memory = bench.memory(started)
                if run == runs - 1:
                    profiles[name] = resident_by_mapping(started.unix_pid)
            finally:
                bench.end(started)
            values = samples[name]
            values["visible"].append(started.visible * 1000)
            values["ready"].append(started.ready * 1000)
            values["unanswered"].append(started.ready - started.visible)
            values["working_set"].append(memory["peak_working_set"] / MB)
            values["private"].append(memory["private"] / MB)
        log(f"start-up run {run + 1}/{runs}: timer {samples['timer']['visible'][-1]:.0f} ms, "
            f"baseline {samples['baseline']['visible'][-1]:.0f} ms")
    timer, baseline = samples["timer"], samples["baseline"]
    results.figures += [
        Figure("Start-up: process created → window visible", "ms", timer["visible"],
               baseline["visible"], "≤ 1.15 × baseline", lambda t, b: t <= 1.15 * b),
        Figure("Start-up: process created → window takes messages", "ms", timer["ready"],
               baseline["ready"], "–", None,
               note="includes the update check against the refused port"),
        Figure("Peak working set", "MB", timer["working_set"], baseline["working_set"],
               "≤ baseline + 2 MB", lambda t, b: t <= b + 2, digits=1),
        Figure("Private bytes", "MB", timer["private"], baseline["private"],
               "≤ baseline + 2 MB", lambda t, b: t <= b + 2, digits=1),
    ]
    results.runs["start-up and memory"] = f"{runs} runs of each, taking turns, after one warm-up"
    results.notes.append(
        "Start-up: the driver creates the process itself (the timer's test build with its "
        "update address at a refused port on 127.0.0.1) and looks for the process's first "
        "visible top-level window every millisecond.")
    results.notes.append(
        "Memory: GetProcessMemoryInfo from the driver, one second after the window first "
        "answered. Wine 8 leaves PrivateUsage at 0 and reports the private bytes as "
        "PagefileUsage (the same commit charge on Windows; under Wine the resident anonymous "
        "memory). Under Wine the working set also holds the font files FreeType maps into the "
        "process, which Windows keeps outside it.")
    difference = profiles["timer"].copy()
    difference.subtract(profiles["baseline"])
    results.memory_profile = [(name, kb, profiles["timer"][name])
                              for name, kb in difference.most_common(12) if kb > 0]
    return median(samples["baseline"]["unanswered"]), median(samples["timer"]["unanswered"])


def measure_armed_cpu(bench: Bench, runs: int, parallel: int, seconds: float,
                      results: Results) -> None:
    """CPU time over `seconds` after arming, for `parallel` timers and as many idle baselines
    at a time: idle processes hardly touch each other's CPU time, and a minute each one after
    another would take most of the run."""
    timer_samples: list[float] = []
    baseline_samples: list[float] = []
    while len(timer_samples) < runs:
        batch = min(parallel, runs - len(timer_samples))
        watched: list[tuple[Started, float, CpuReading, list[float]]] = []
        running: list[Started] = []
        try:
            for _ in range(batch):
                timer = bench.start(harness.test_build_program())
                running.append(timer)
                bench.arm(timer)
                watched.append((timer, time.monotonic(), cpu_reading(timer.unix_pid),
                                timer_samples))
                baseline = bench.start(baseline_program())
                running.append(baseline)
                watched.append((baseline, time.monotonic(), cpu_reading(baseline.unix_pid),
                                baseline_samples))
            for started, since, before, samples in watched:
                time.sleep(max(0.0, since + seconds - time.monotonic()))
                if not bench.driver.command(f"exit_code {started.pid}")["running"]:
                    raise StepFailed(f"{started.exe.name} ended while it was measured")
                samples.append(cpu_used_ms(before, cpu_reading(started.unix_pid)))
        finally:
            for started in running:
                bench.end(started)
        log(f"armed: {len(timer_samples)}/{runs} timers measured, "
            f"last {timer_samples[-1]:.1f} ms")
    results.figures.append(
        Figure(f"CPU time over {seconds:.0f} s armed (0 h {ARMED_MINUTES} min)", "ms",
               timer_samples, baseline_samples, "≤ 60 ms", lambda t, b: t <= 60, ratio=False,
               digits=1))
    results.runs["armed CPU time"] = (
        f"{runs} timers and {len(baseline_samples)} baselines, {parallel} of each at a time, "
        f"{seconds:.0f} s each")
    results.notes.append(
        "CPU time: from Linux (/proc/PID/task/*/schedstat, to the nanosecond), because Wine 8 "
        "answers GetProcessTimes on another process with the caller's own times. The timers "
        "run the test build without a clock file, which reads the real clock as the shipped "
        "program does; the baselines sit idle meanwhile. The wineserver's share of each tick "
        "is in neither figure.")


def measure_stalled_update(bench: Bench, runs: int, refused: tuple[float, float],
                           results: Results) -> None:
    """How long the window takes no messages after it showed, while the update check waits
    for a server that stalls; the same figure against the refused port is the baseline."""
    baseline_unanswered, timer_refused = refused
    # One wait for the headers or the first byte of the body; for the trickle the reading
    # budget, and the byte in flight when it runs out.
    scenarios = [
        ("silent server (accepts, never answers)", silent, WAIT_LIMIT,
         f"{WAIT_LIMIT:g} s time-out"),
        ("server sends headers, then nothing", headers_then_silence, WAIT_LIMIT,
         f"{WAIT_LIMIT:g} s time-out"),
        ("server sends a byte a second", trickle, READING_BUDGET + TRICKLE_INTERVAL,
         f"{READING_BUDGET:g} s reading budget + {TRICKLE_INTERVAL:g} s"),
    ]
    server = UpdateServer()
    try:
        for name, behaviour, budget, why in scenarios:
            unanswered = []
            for _ in range(runs):
                server.serve(behaviour)
                started = bench.start(harness.test_build_program(), f"127.0.0.1:{server.port}")
                bench.end(started)
                if len(server.requests) != 1:
                    raise StepFailed(f"{name}: the update check did not reach the server")
                unanswered.append(started.ready - started.visible)
            log(f"stalled update check, {name}: median {median(unanswered):.2f} s")
            limit = budget + CHECK_ALLOWANCE
            results.figures.append(Figure(
                f"Window takes no messages: {name}", "s", unanswered, [timer_refused],
                f"≤ {limit:g} s ({why})", lambda t, b, limit=limit: t <= limit, digits=2))
    finally:
        server.close()
    results.runs["stalled update check"] = (
        f"{runs} runs per server. From its window showing to its first answer the timer takes "
        f"{timer_refused * 1000:.0f} ms against the refused port, the baseline program "
        f"{baseline_unanswered * 1000:.0f} ms")
    results.notes.append(
        "Stalled update check: from the window showing to its first answer to a sent message, "
        "against a server of the benchmark's own on 127.0.0.1 (each run checked that the "
        "request reached it). Baseline: the timer against the refused port. The targets allow "
        f"{CHECK_ALLOWANCE:g} s for the check's own work around its waits.")


def stripped_size(exe: Path) -> int:
    strip = shutil.which("i686-w64-mingw32-strip") or "strip"
    with tempfile.TemporaryDirectory() as folder:
        copy = Path(folder) / exe.name
        subprocess.run([strip, "-o", str(copy), str(exe)], check=True)
        return copy.stat().st_size


def measure_size(results: Results) -> None:
    shipped, baseline = harness.shipped_program(), baseline_program()
    kb = [stripped_size(shipped) / 1024]
    results.figures.append(Figure("Stripped size of ChenfengTimer.exe", "KB", kb,
                                  [stripped_size(baseline) / 1024], "≤ 256 KB",
                                  lambda t, b: t <= 256, digits=1))
    breakdown = harness.REPO / "tools" / "exe_size.py"
    if breakdown.is_file():
        answer = subprocess.run([sys.executable, str(breakdown), str(shipped)],
                                capture_output=True, text=True, check=False)
        results.size_breakdown = (answer.stdout + answer.stderr).rstrip()


# --- the report -------------------------------------------------------------------------------


def machine() -> dict[str, str]:
    model = ""
    with contextlib.suppress(OSError):
        found = re.search(r"^model name\s*:\s*(.+)$", Path("/proc/cpuinfo").read_text(),
                          re.MULTILINE)
        model = found.group(1) if found else ""
    wine = subprocess.run(["wine", "--version"], capture_output=True, text=True,
                          check=False).stdout.strip()
    return {"cores": str(os.cpu_count()), "cpu": model, "wine": wine}


def table(figures: list[Figure]) -> list[str]:
    head = ["Figure", "Timer: median (min–max)", "Baseline", "Ratio", "Target", ""]
    rows = [head, ["---"] * len(head)] + [figure.row() for figure in figures]
    return ["| " + " | ".join(row) + " |" for row in rows]


def report(results: Results, started: dt.datetime, load: tuple[str, str]) -> str:
    about = machine()
    lines = [
        "# Benchmarks",
        "",
        "Made by `tools/bench.sh` (tests/bench/bench.py) under Wine on a virtual display. Each "
        "figure is the median of its runs, the smallest and largest in brackets; the baseline "
        "is tests/bench/baseline.cpp, a program that opens one plain window, built with the "
        "same options and measured in the same run.",
        "",
        f"- Date: {started:%Y-%m-%d %H:%M}",
        f"- Machine: {about['cores']} cores ({about['cpu']}); "
        f"load average at the start {load[0]}, at the end {load[1]}",
        f"- Wine: {about['wine']}",
    ]
    lines += [f"- Runs, {what}: {how}" for what, how in results.runs.items()]
    lines += ["", *table(results.figures), ""]
    notes = [f"{figure.name}: {figure.note}" for figure in results.figures if figure.note]
    lines += [f"- {note}" for note in notes + results.notes]
    if results.memory_profile:
        lines += ["", "## Where the timer's resident memory goes beyond the baseline's", "",
                  "From /proc/PID/smaps of the last start-up run of each, one second after "
                  "the window answered.", "",
                  "| Mapping | Timer − baseline | Timer |", "| --- | --- | --- |"]
        lines += [f"| {name} | {kb / 1024:+.2f} MB | {total / 1024:.2f} MB |"
                  for name, kb, total in results.memory_profile]
    if results.size_breakdown:
        lines += ["", "## What each part of ChenfengTimer.exe costs (tools/exe_size.py)", "",
                  "```", results.size_breakdown, "```"]
    return "\n".join(lines) + "\n"


def load_average() -> str:
    return " ".join(Path("/proc/loadavg").read_text().split()[:3])


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=15, help="start-up runs of each program")
    parser.add_argument("--stall-runs", type=int, default=10, help="runs per stalled server")
    parser.add_argument("--cpu-runs", type=int, default=10, help="armed timers measured")
    parser.add_argument("--cpu-parallel", type=int, default=5, help="armed timers at a time")
    parser.add_argument("--cpu-seconds", type=float, default=60.0)
    parser.add_argument("--output", type=Path, default=harness.REPO / "docs" / "benchmarks.md")
    args = parser.parse_args()

    for exe in (harness.test_build_program(), harness.shipped_program(), baseline_program(),
                harness.driver_exe()):
        if not exe.is_file():
            raise SystemExit(f"bench: {exe} is missing (tools/bench.sh builds it)")
    began, load_at_start = dt.datetime.now(), load_average()
    results = Results()
    measure_size(results)
    session = PrivatePrefixSession("bench")
    try:
        session.start()
        bench = Bench(session)
        refused = measure_start_up(bench, args.runs, results)
        measure_armed_cpu(bench, args.cpu_runs, args.cpu_parallel, args.cpu_seconds, results)
        measure_stalled_update(bench, args.stall_runs, refused, results)
    finally:
        session.close()
    # The size is the last row, as the issue lists it.
    results.figures.append(results.figures.pop(0))
    text = report(results, began, (load_at_start, load_average()))
    print(text)
    args.output.parent.mkdir(parents=True, exist_ok=True)
    args.output.write_text(text)
    log(f"written to {args.output} in {(dt.datetime.now() - began).total_seconds() / 60:.1f} min")
    missed = [figure.name for figure in results.figures
              if figure.verdict(median(figure.timer), median(figure.baseline)) == "**missed**"]
    if missed:
        log("targets missed: " + "; ".join(missed))
    return 0


if __name__ == "__main__":
    sys.exit(main())
