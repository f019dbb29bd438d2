"""Arming, cancelling and firing the countdown, seen from outside the program.

The test build's clock is set through the clock file and its power calls are written to a log
(CFT_TEST_POWER_LOG) instead of being made. One test only lets the real power call through,
in a copy of the Wine prefix with a wineserver of its own, where Wine's log-off ends nothing but
that copy's processes.
"""

from __future__ import annotations

import datetime as dt
import re
import subprocess
import time
from pathlib import Path

import harness
from harness import (ACTION_COMBO, CANCEL_BUTTON, CLOCK_LINE, HOURS_EDIT, MINUTES_EDIT,
                     START_BUTTON, STATUS_LINE, StepFailed, wait_until)

POWER_OFF, RESTART, SUSPEND, LOG_OFF = 0, 1, 2, 3
INPUTS = (HOURS_EDIT, MINUTES_EDIT, ACTION_COMBO, START_BUTTON)

CLOCK_LINE_FORMAT = re.compile(r"现在时间：(\d+)点(\d+)分(\d+)秒")

# The calls the program makes on the NT family before its request, and the request of each
# item of the action list, forced.
NT_PRIVILEGE = ["GetVersionExA", "AdjustShutdownPrivilege"]
REQUESTS = {
    POWER_OFF: ["GetVersionExA", "ExitWindowsEx 12 0"],
    RESTART: ["ExitWindowsEx 6 0"],
    SUSPEND: ["SetSystemPowerState 1 1"],
    LOG_OFF: ["ExitWindowsEx 4 0"],
}


def clock_line_time(text: str, day: dt.date) -> dt.datetime | None:
    match = CLOCK_LINE_FORMAT.fullmatch(text)
    if not match:
        return None
    hour, minute, second = (int(group) for group in match.groups())
    return dt.datetime.combine(day, dt.time(hour, minute, second))


class CountdownCase(harness.WineTestCase):
    """Launches the test build with a power log of its own, and arms it as a user would."""

    def launch_with_power_log(self, extra_env: dict[str, str] | None = None) -> harness.Program:
        self.power_log = self.session.temp / f"power-{time.monotonic_ns()}.log"
        env = {"CFT_TEST_POWER_LOG": harness.windows_path(self.power_log)}
        env.update(extra_env or {})
        program = self.launch(extra_env=env)
        program.wait_for_window()
        program.wait_responsive()
        return program

    def power_calls(self) -> list[str]:
        try:
            return self.power_log.read_text().splitlines()
        except FileNotFoundError:
            return []

    def power_requests(self) -> list[str]:
        """The calls that would end the session or suspend the computer."""
        return [call for call in self.power_calls()
                if call.startswith(("ExitWindowsEx", "SetSystemPowerState"))]

    def set_box(self, program: harness.Program, box_id: int, value: int) -> None:
        box = program.control(box_id)
        spinner = self.session.spinner(box)
        for _ in range(value):
            self.session.spin(spinner, "up")
        wait_until(f"box {box_id:#x} to show {value}",
                   lambda: self.session.text(box) == str(value), 5)

    def arm(self, program: harness.Program, hours: int, minutes: int, action: int,
            at: dt.datetime) -> None:
        """Sets the delay and the action, then presses 设定 with the clock at `at`."""
        self.set_box(program, HOURS_EDIT, hours)
        self.set_box(program, MINUTES_EDIT, minutes)
        self.session.select(program.control(ACTION_COMBO), action)
        self.session.set_clock(at)
        self.session.click(program.control(START_BUTTON))

    def wait_for_text(self, program: harness.Program, control_id: int, expected: str,
                      timeout: float = 5) -> None:
        wait_until(f"control {control_id:#x} to read {expected!r}",
                   lambda: program.text_of(control_id) == expected, timeout)

    def no_message_box(self, program: harness.Program) -> bool:
        try:
            return not program.message_boxes()
        except StepFailed:
            return False  # a box caught half-way through closing answers nothing

    def enabled(self, program: harness.Program, control_id: int) -> bool:
        return self.session.info(program.control(control_id))["enabled"]

    def assert_locked(self, program: harness.Program) -> None:
        self.assertEqual([self.enabled(program, c) for c in INPUTS], [False] * len(INPUTS))
        self.assertTrue(self.enabled(program, CANCEL_BUTTON))

    def assert_idle(self, program: harness.Program) -> None:
        self.assertEqual([self.enabled(program, c) for c in INPUTS], [True] * len(INPUTS))
        self.assertFalse(self.enabled(program, CANCEL_BUTTON))

    def assert_no_tick_for(self, program: harness.Program, seconds: float) -> None:
        """The clock line keeps its text: the timer has stopped."""
        before = program.text_of(CLOCK_LINE)
        time.sleep(seconds)
        self.assertEqual(program.text_of(CLOCK_LINE), before, "a tick came after the stop")


class CountdownTest(CountdownCase):
    def test_armed_window_names_the_target_and_shows_the_clock_every_second(self):
        program = self.launch_with_power_log()
        armed_at = dt.datetime(2026, 3, 10, 21, 58, 0)
        self.arm(program, 0, 7, POWER_OFF, armed_at)
        clock_set = time.time()

        self.wait_for_text(program, STATUS_LINE, "系统将在22点5分 关机")
        self.assert_locked(program)

        # Every change of the clock line, for a few seconds: each is the set clock as it ran
        # on, give or take the second a tick may lag.
        seen: list[tuple[float, dt.datetime]] = []
        until = time.monotonic() + 3.5
        while time.monotonic() < until:
            shown = clock_line_time(program.text_of(CLOCK_LINE), armed_at.date())
            if shown and (not seen or seen[-1][1] != shown):
                seen.append((time.time(), shown))
            time.sleep(0.05)
        self.assertGreaterEqual(len(seen), 3, f"clock line changes: {seen}")
        for when, shown in seen:
            running = armed_at + dt.timedelta(seconds=int(when - clock_set))
            self.assertLessEqual(abs((shown - running).total_seconds()), 1,
                                 f"shown {shown} while the clock ran at {running}")
        steps = [(b - a).total_seconds() for (_, a), (_, b) in zip(seen, seen[1:])]
        self.assertTrue(all(step in (1, 2) for step in steps), f"steps of the clock: {steps}")
        self.assertEqual(self.power_calls(), [])

    def test_reaching_the_target_makes_one_request_of_the_chosen_action(self):
        for action, name in ((POWER_OFF, "关机"), (RESTART, "重启"), (SUSPEND, "休眠"),
                             (LOG_OFF, "注销")):
            with self.case(action=name):
                program = self.launch_with_power_log()
                self.arm(program, 0, 5, action, dt.datetime(2026, 3, 10, 10, 0, 0))
                status = f"系统将在10点5分 {name}"
                self.wait_for_text(program, STATUS_LINE, status)
                time.sleep(1.5)
                self.assertEqual(self.power_calls(), [], "fired before the target")

                self.session.set_clock(dt.datetime(2026, 3, 10, 10, 4, 59))
                wait_until("the request", self.power_calls, 5)
                time.sleep(2.5)

                self.assertEqual(self.power_calls(), NT_PRIVILEGE + REQUESTS[action])
                self.assertRegex(program.text_of(CLOCK_LINE), r"^现在时间：10点5分[01]秒$")
                self.assertEqual(program.text_of(STATUS_LINE), status)
                self.assert_locked(program)
                self.assert_no_tick_for(program, 1.5)
                program.kill()

    def test_a_refused_request_is_named_in_the_status_line_until_cancel(self):
        program = self.launch_with_power_log({"CFT_TEST_POWER_REFUSE": "1"})
        self.arm(program, 0, 1, POWER_OFF, dt.datetime(2026, 3, 10, 10, 59, 58))
        self.wait_for_text(program, STATUS_LINE, "关机失败", timeout=8)

        self.assertEqual(self.power_calls(), NT_PRIVILEGE + REQUESTS[POWER_OFF])
        self.assert_locked(program)
        self.assert_no_tick_for(program, 1.5)
        self.assertEqual(program.message_boxes(), [])

        self.session.click(program.control(CANCEL_BUTTON))
        self.wait_for_text(program, STATUS_LINE, "已取消")
        self.assert_idle(program)

    def test_cancel_returns_to_the_idle_window(self):
        for fired in (False, True):
            with self.case(fired=fired):
                program = self.launch_with_power_log()
                self.arm(program, 0, 5, RESTART, dt.datetime(2026, 3, 10, 10, 0, 0))
                wait_until("the first tick", lambda: program.text_of(CLOCK_LINE), 5)
                if fired:
                    self.session.set_clock(dt.datetime(2026, 3, 10, 10, 5, 0))
                    wait_until("the request", self.power_calls, 5)

                self.session.click(program.control(CANCEL_BUTTON))
                self.wait_for_text(program, STATUS_LINE, "已取消")

                self.assertEqual(program.text_of(CLOCK_LINE), "")
                self.assert_idle(program)
                self.session.set_clock(dt.datetime(2026, 3, 10, 10, 5, 0))
                self.assert_no_tick_for(program, 2.5)
                self.assertEqual(len(self.power_requests()), 1 if fired else 0)
                program.kill()

    def test_no_delay_shows_the_error_box_and_changes_nothing(self):
        program = self.launch_with_power_log()
        self.session.click(program.control(START_BUTTON))

        box = program.wait_for_message_box()
        self.assertEqual((box["title"], box["text"]), ("错误：", "请设定时间！"))
        self.assertEqual([b["id"] for b in box["buttons"]], [harness.IDOK])
        self.session.press(box["hwnd"], harness.IDOK)
        wait_until("the box to close", lambda: self.no_message_box(program), 5)

        self.assertEqual(program.text_of(STATUS_LINE), "请设定时间")
        self.assert_idle(program)
        self.assert_no_tick_for(program, 2.0)
        self.assertEqual(program.text_of(CLOCK_LINE), "")

    def test_esc_while_armed_ends_the_program_without_a_request(self):
        program = self.launch_with_power_log()
        self.arm(program, 0, 1, POWER_OFF, dt.datetime(2026, 3, 10, 10, 59, 57))
        wait_until("the first tick", lambda: program.text_of(CLOCK_LINE), 5)

        self.session.key(program.window, "esc")

        self.assertEqual(program.wait_exit(timeout=2.0), (0, 0))
        time.sleep(3.5)  # past the target, had the program lived on
        self.assertEqual(self.power_calls(), [])


class ThrowawayPrefixSession(harness.Session):
    """A session on a copy of the project's Wine prefix, with its own wineserver: what ends
    that prefix's processes ends nothing else."""

    def _start_wineserver(self) -> None:
        shared = Path(self.env["WINEPREFIX"]).resolve()
        copy = self.temp / "wineprefix"
        # The shared prefix is locked by this session (see Session.start), so nobody writes
        # to it while it is copied.
        subprocess.run(["cp", "-a", str(shared), str(copy)], check=True, timeout=120)
        self.env["WINEPREFIX"] = str(copy)
        self.shared_prefix = shared
        super()._start_wineserver()

    def program_environment(self, extra_env: dict[str, str] | None = None) -> dict[str, str]:
        env = super().program_environment(extra_env)
        prefix = Path(env["WINEPREFIX"]).resolve()
        if prefix == self.shared_prefix or self.temp.resolve() not in prefix.parents:
            raise StepFailed(f"refusing real power calls in the prefix {prefix}")
        # The one place where the test build makes its real power calls.
        env.pop("CFT_TEST_POWER_LOG", None)
        return env


class RealPowerPathTest(CountdownCase):
    @classmethod
    def setUpClass(cls) -> None:
        # WineTestCase makes its session from harness.Session: for this class only, that is
        # the throwaway kind, with everything else the base class sets up left as it is.
        shared_kind = harness.Session
        harness.Session = ThrowawayPrefixSession
        try:
            super().setUpClass()
        finally:
            harness.Session = shared_kind

    def test_log_off_at_the_target_ends_the_session(self):
        # No power log: the real calls are made; only the clock is the test's.
        program = self.launch()
        program.wait_for_window()
        program.wait_responsive()
        self.arm(program, 0, 1, LOG_OFF, dt.datetime(2026, 3, 10, 10, 59, 57))
        self.wait_for_text(program, STATUS_LINE, "系统将在11点0分 注销")
        self.assertTrue(program.running())

        try:
            program.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.fail(f"the program still runs after its target; status "
                      f"{program.text_of(STATUS_LINE)!r}, clock {program.text_of(CLOCK_LINE)!r}")
        # The log-off took the whole prefix with it, the driver included: not a crash of ours.
        wait_until("the driver to end with the session",
                   lambda: self.session.driver.process.poll() is not None, 5)


if __name__ == "__main__":
    harness.main()
