"""tests/menu_test.py PROGRAM -- the console phase under a pseudo-terminal: the banner, the
ignored keys, the window each size opens, the terminal mode around the menu, and the end
without a console, on a hang-up or a signal. (console_test runs the menu under a job-control
shell, with more signals and a check for raw mode between keys.) A Windows build runs under
Wine, whose console owns the terminal's mode and draws the text with cursor moves; what Wine
cannot show of the console here is skipped."""
import os, select, subprocess, sys, unittest
from signal import SIGHUP, SIGINT, SIGQUIT, SIGTERM
from termios import ECHO, ICANON, ICRNL, IEXTEN, INLCR, ISIG, IXON, VMIN, VTIME

from harness import BANNER, NO_CONSOLE, Program, screen, until

BINARY, ON_TERMINAL = sys.argv[1], BANNER.replace(b'\n', b'\r\n')  # the terminal adds CR
WINE = BINARY.endswith('.exe')
if WINE:  # its C library writes CR LF to a pipe too
    PIPED, NO_CONSOLE = ON_TERMINAL, NO_CONSOLE.replace(b'\n', b'\r\n')
else:
    PIPED = BANNER


class Menu(unittest.TestCase):
    def start(self, **options):
        program = Program(BINARY, **options)
        self.addCleanup(program.close)
        return program

    def assert_window(self, p):  # play_test tells the cube sizes apart
        self.assertTrue(p.window(), 'no window')
        at = p.win.get_geometry()  # on Windows the frame is at (0, 0), the client inside it
        self.assertEqual((at.x < 32, at.y < 32, at.width, at.height), (True, True, 450, 350))
        WINE or self.assertEqual((at.x, at.y, p.mode()), (0, 0, p.before), 'mode not restored')

    def assert_shown(self, p):
        shown = until(lambda: screen(p.read()) == screen(ON_TERMINAL)) if WINE else p.read()
        self.assertEqual(shown, True if WINE else ON_TERMINAL, screen(p.read()))

    def test_raw_mode_ignored_keys_then_1_opens_the_window(self):
        def unusual(mode):  # raw mode must set what it needs, whatever was there
            mode[0] |= INLCR
            mode[6][VMIN], mode[6][VTIME] = 0, 3
            if WINE:  # Wine keeps ISIG: Ctrl+C would be a signal
                mode[3] &= ~ISIG
        p = self.start(tune=unusual)
        self.assertTrue(until(lambda: screen(p.read()) == screen(ON_TERMINAL)) and p.wait_reading())
        self.assert_shown(p)
        iflag, oflag, cflag, lflag, _, _, cc = p.mode()
        WINE or self.assertEqual(
            (iflag & (IXON | ICRNL | INLCR), lflag & (ICANON | ECHO | ISIG | IEXTEN), oflag, cflag,
             cc[VMIN], cc[VTIME]), (0, 0, *p.before[1:3], 1, 0))
        # Each key is sent once the last is taken: a key that ended the menu would leave
        # the next one unread, and an echo would show up in the output.
        for key in (b'3', b'0', b'q', b' ', b'\r', b'\x1b', b'\x03', b'\x1c', b'!', b'\x1b[A',
                    b'\x1bOB', b'\x1b[15~', 'é'.encode(), b'\xff'):
            p.send(key)
            self.assertTrue(p.wait_reading(), f'menu stopped waiting after {key!r}')
        self.assertIsNone(p.window(timeout=0))
        p.send(b'1')
        self.assert_window(p)
        self.assert_shown(p)  # and nothing after it

    @unittest.skipIf(WINE, "Wine's console takes a reply it does not know for typed characters")
    def test_terminal_replies_are_no_keys(self):
        p = self.start()
        self.assertTrue(p.wait_reading())
        for reply in (b'\x1b]11;rgb:1111/2222/1111\x1b\\', b'\x1b]11;rgb:1111/2222/1111\x07',
                      b'\x1bP1$r1;2m\x1b\\', b'\x1b[' + b'1;' * 39 + b'2R'):
            p.send(reply)
            self.assertTrue(p.wait_reading(), reply)
        p.send(b'2')
        self.assert_window(p)  # the 3x3x3 cube: three red stretches across the front face
        red = [r > 150 and max(g, b) < 100 for r, g, b in map(p.settled().getpixel,
                                                              ((x, 125) for x in range(450)))]
        self.assertEqual(sum(red[x] > red[x - 1] for x in range(1, 450)), 3)

    def test_2_typed_ahead_opens_the_window_titled_as_started(self):
        # Taken from the terminal whatever stdin is; the title is argv[0], relative too. (Wine
        # makes a console for a terminal on stdin only; it names the window by a Windows path.)
        for options in [{}] if WINE else [{'argv0': f'{os.path.relpath(BINARY)}-{os.getpid()}',
                                            'stdin': subprocess.DEVNULL}, {'no_stdin': True}]:
            with self.subTest(**options):
                self.assert_window(self.start(typed=b'2', **options))

    def test_banner_reaches_a_pipe_before_the_menu_waits(self):
        p = self.start(stdout=subprocess.PIPE)  # under Wine: no sign of the wait to be had
        self.assertTrue(until(lambda: select.select([p.proc.stdout], [], [], 0)[0]) if WINE else
                        p.wait_reading() and select.select([p.proc.stdout], [], [], 0)[0])
        self.assertEqual(os.read(p.proc.stdout.fileno(), 65536), PIPED)

    def test_no_terminal_hang_up_and_signals(self):
        run = subprocess.run(['wine'] * WINE + [BINARY], stdin=subprocess.DEVNULL,
                             capture_output=True, start_new_session=True, timeout=60)
        self.assertEqual((run.returncode, run.stdout, run.stderr), (1, PIPED, NO_CONSOLE))
        if WINE:  # Wine has no hang-up or signal that reaches a console's control handler
            return
        # A hang-up kills the program as it would any other (the mode is put back first);
        # with SIGHUP ignored (nohup) the read sees end of input and the menu gives up.
        for ignore, end, status in [((SIGHUP,), None, 1), ((), None, -SIGHUP)] + [
                ((), sig, -sig) for sig in (SIGTERM, SIGHUP, SIGINT, SIGQUIT)]:
            with self.subTest(ignore=ignore, end=end):
                p = self.start(ignore=ignore, stderr=subprocess.PIPE)
                self.assertTrue(p.wait_reading())
                self.assertNotEqual(p.mode(), p.before)  # raw while it waits
                p.proc.send_signal(end) if end else p.master.close()
                self.assertEqual(p.proc.wait(60), status)
                self.assertEqual(p.proc.stderr.read(), NO_CONSOLE if status == 1 else b'')
                if end:
                    self.assertEqual(p.mode(), p.before)


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1], verbosity=2)
