"""The test build's clock, read through a probe linked with the same clock code.

A test sets the clock by writing a file; these tests pin down what the program then reads, so
that the countdown tests can trust set_clock().
"""

import datetime as dt
import math
import time

import harness

SHOWN = dt.datetime(2024, 2, 28, 23, 59, 58)


class ClockSeamTest(harness.WineTestCase):
    def setUp(self):
        super().setUp()
        self.probe = harness.LineProcess(
            "clock probe", ["wine", str(harness.clock_probe_exe())],
            self.session.program_environment(), self.session.temp / "clock-probe.log")
        self.addCleanup(self.probe.close)

    def read_clock(self) -> tuple[float, dt.datetime, float]:
        """What the clock reads, with the real time just before and just after the reading."""
        before = time.time()
        line = self.probe.ask_line("read")
        after = time.time()
        try:
            return before, dt.datetime.strptime(line, "%Y-%m-%d %H:%M:%S"), after
        except ValueError:
            self.fail(f"the clock probe answered {line!r}, not a date and time")

    def assert_runs_from(self, shown: dt.datetime, epoch: float, reading) -> None:
        before, got, after = reading
        # Whole seconds since the setting, counted down to the second, at some moment of the
        # reading.
        candidates = {shown + dt.timedelta(seconds=math.floor(t - epoch)) for t in (before, after)}
        self.assertIn(got, candidates, f"set {shown} at real time {epoch:.3f}")

    def assert_real_clock(self, reading) -> None:
        before, got, after = reading
        earliest = dt.datetime.fromtimestamp(before).replace(microsecond=0)
        latest = dt.datetime.fromtimestamp(after)
        self.assertTrue(earliest <= got <= latest,
                        f"read {got}, but the real local time was {earliest}..{latest}")

    def test_a_setting_runs_on_in_whole_seconds_from_its_real_time(self):
        # (shown, seconds between the setting's real time and now, digits of its fraction)
        cases = [
            (SHOWN, 0.25, 6),                            # same second
            (SHOWN, 1.5, 6),                             # one whole second later
            (SHOWN, -0.4, 6),                            # set for a moment ahead: a second before
            (SHOWN, 2.0, 0),                             # no fraction written
            (SHOWN, 3600.7, 1),                          # an hour on
            (SHOWN, 1.3, 9),                             # more digits than the clock resolves
            (dt.datetime(2024, 2, 28, 23, 59, 59), 1.2, 3),   # into a leap day
            (dt.datetime(2023, 12, 31, 23, 59, 59), 1.2, 3),  # into a new year
        ]
        for shown, ago, digits in cases:
            with self.case(shown=shown, ago=ago, digits=digits):
                epoch_text = f"{time.time() - ago:.{digits}f}"
                self.session.write_clock_line(f"{shown:%Y-%m-%d %H:%M:%S} {epoch_text}\n")
                self.assert_runs_from(shown, float(epoch_text), self.read_clock())

    def test_the_file_is_read_again_at_every_reading(self):
        self.session.set_clock(SHOWN)
        self.assertEqual(self.read_clock()[1], SHOWN)

        later = dt.datetime(2025, 7, 1, 8, 30, 0)
        self.session.set_clock(later)
        self.assertEqual(self.read_clock()[1], later)

        self.session.reset_clock()
        self.assert_real_clock(self.read_clock())

        self.session.set_clock(SHOWN)
        self.assertEqual(self.read_clock()[1], SHOWN)

    def test_without_a_valid_setting_the_real_clock_is_read(self):
        epoch = f"{time.time():.3f}"
        lines = [
            None,  # no file
            "",
            "garbage\n",
            "2024-02-28 23:59:58\n",                 # no real time
            f"2024-02-28 23:59:58 x{epoch}\n",       # real time not a number
            f"2024-02-28 23:59:58 {epoch} extra\n",  # something after it
            f"2024-2-28 23:59:58 {epoch}\n",         # a field too short
            f"2024/02/28 23:59:58 {epoch}\n",        # wrong separators
            f"2024-13-28 23:59:58 {epoch}\n",        # no such month
            f"2024-02-28 24:00:00 {epoch}\n",        # no such hour
            f"2024-02-28 23:60:00 {epoch}\n",        # no such minute
        ]
        for line in lines:
            with self.case(line=line):
                if line is None:
                    self.session.reset_clock()
                else:
                    self.session.write_clock_line(line)
                self.assert_real_clock(self.read_clock())


if __name__ == "__main__":
    harness.main()
