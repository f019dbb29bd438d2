"""The frame of the program: it comes up as one titled window, and every way out ends it with
the right exit code."""

import time

import harness
from harness import TITLE, WINDOW_CLASS, StepFailed

# Wine hands the low 8 bits of the Windows exit code to Unix: -1 arrives as 255.
UNIX_CODE_OF_MINUS_ONE = 255


class FrameTest(harness.WineTestCase):
    def watch_start_up(self, program, settle: float = 1.5) -> list[dict]:
        """Polls the program's visible top-level windows from its launch until `settle`
        seconds after its window has come up; returns every other window seen visible."""
        strangers = {}
        shown_at = None
        looks_before_shown = 0
        deadline = time.monotonic() + harness.START_TIMEOUT
        while shown_at is None or time.monotonic() < shown_at + settle:
            if not program.running():
                raise StepFailed(f"{program!r} ended during start-up "
                                 f"(code {program.process.returncode})")
            for window in program.visible_windows():
                if window["title"] == TITLE and window["class"] == WINDOW_CLASS:
                    if shown_at is None:
                        shown_at = time.monotonic()
                        program.window = window["hwnd"]
                else:
                    strangers.setdefault(window["hwnd"], window)
            if shown_at is None:
                looks_before_shown += 1
            if shown_at is None and time.monotonic() > deadline:
                raise StepFailed(f"{program!r} showed no window '{TITLE}' within "
                                 f"{harness.START_TIMEOUT} s; other windows: {strangers}")
        if looks_before_shown == 0:
            raise StepFailed("the window was up before the first look: start-up went unseen")
        return list(strangers.values())

    def test_starts_with_one_titled_window_and_a_hidden_start_up_window(self):
        for exe in (harness.test_build_program(), harness.shipped_program()):
            with self.case(exe=exe.name):
                program = self.launch(exe)
                self.assertEqual(self.watch_start_up(program), [],
                                 "no other window of the program may ever be visible")
                ours = [w for w in self.session.windows(program.pid)
                        if w["class"] == WINDOW_CLASS]
                hidden = [w for w in ours if not w["visible"]]
                self.assertEqual(len(ours), 2, f"the program's windows of its class: {ours}")
                self.assertEqual(len(hidden), 1, f"the start-up window must stay hidden: {ours}")
                # Starting asks for no web page and no power action.
                self.assertEqual(self.session.opened_pages(), [])
                self.assertEqual(self.session.power_calls(), [])
                self.session.screenshot(f"{self.id()}-{exe.stem}")
                program.kill()

    def test_every_way_of_closing_the_window_ends_the_program_with_0(self):
        ways = {
            "close box": lambda window: self.session.close_window(window, "syscommand"),
            "WM_CLOSE": lambda window: self.session.close_window(window, "message"),
            "Esc": lambda window: self.session.key(window, "esc"),
            "Alt+F4": self.press_alt_f4,
        }
        for exe in (harness.test_build_program(), harness.shipped_program()):
            for way, close in ways.items():
                if exe == harness.shipped_program() and way not in ("close box", "Alt+F4"):
                    continue  # the same code; the shipped program needs only its own proof
                with self.case(exe=exe.name, way=way):
                    program = self.launch(exe)
                    window = program.wait_for_window()
                    program.wait_responsive()
                    closed_at = time.monotonic()
                    close(window)
                    unix_code, windows_code = program.wait_exit(timeout=1.0)
                    took = time.monotonic() - closed_at
                    self.assertEqual((unix_code, windows_code), (0, 0))
                    self.assertLess(took, 1.0)
                    self.assertEqual(self.session.windows(program.pid), [],
                                     "no window of the program may outlive it")

    def press_alt_f4(self, window: int) -> None:
        if not self.session.foreground(window):
            self.fail("the program's window could not be brought to the foreground")
        self.session.input_keys("alt+f4")

    def test_a_start_up_failure_shows_an_error_box_and_ends_with_minus_1(self):
        program = self.launch(extra_env={"CFT_TEST_FAIL_STARTUP": "1"})
        box = program.wait_for_message_box()
        self.assertEqual(box["title"], "错误：")
        self.assertNotEqual(box["text"].strip(), "", "the error box must say what went wrong")
        self.assertEqual([b["id"] for b in box["buttons"]], [harness.IDOK])
        self.assertEqual(
            [w for w in program.visible_windows() if w["hwnd"] != box["hwnd"]], [],
            "only the error box may be visible")
        self.session.screenshot(f"{self.id()}-box")

        self.session.press(box["hwnd"], harness.IDOK)
        unix_code, windows_code = program.wait_exit(timeout=2.0)
        self.assertEqual(windows_code, -1)
        self.assertEqual(unix_code, UNIX_CODE_OF_MINUS_ONE)


if __name__ == "__main__":
    harness.main()
