"""tests/menu_test.py PROGRAM -- the real program's console phase under a pseudo-terminal: the
banner, ignored keys (no echo), the window each key opens, the banner's flush, the end without
a console. (console_test holds the raw mode, the signals and job control.) A Windows build
runs under Wine, whose console owns the terminal's mode and draws text with cursor moves."""
import os, select, subprocess, sys, unittest
from termios import INLCR, ISIG, VMIN, VTIME

from harness import BANNER, NO_CONSOLE, Program, screen, until

BINARY, ON_TERMINAL = sys.argv[1], BANNER.replace(b'\n', b'\r\n')  # the terminal adds CR
WINE = BINARY.endswith('.exe')
PIPED, NO_CONSOLE = (ON_TERMINAL, NO_CONSOLE.replace(b'\n', b'\r\n')) if WINE else (
    BANNER, NO_CONSOLE)  # Windows' C library writes CR LF to a pipe too


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

    def test_ignored_keys_then_1_opens_the_window(self):
        def unusual(mode):  # raw mode must set what it needs, whatever was there
            mode[0] |= INLCR
            mode[6][VMIN], mode[6][VTIME] = 0, 3
            mode[3] &= ~ISIG if WINE else ~0  # Wine keeps ISIG: Ctrl+C would be a signal
        p = self.start(tune=unusual)
        shown = lambda: screen(p.read()) == screen(ON_TERMINAL)  # noqa: E731
        self.assertTrue(until(shown) and p.wait_reading())
        # Each key is sent once the last is taken: a key that ended the menu would leave
        # the next one unread, and an echo would show up in the output.
        for key in (b'3', b'0', b'q', b' ', b'\r', b'\x1b', b'\x03', b'\x1c', b'!', b'\x1b[A',
                    b'\x1bOB', b'\x1b[15~', 'é'.encode(), b'\xff'):
            p.send(key)
            self.assertTrue(p.wait_reading(), f'menu stopped waiting after {key!r}')
        self.assertIsNone(p.window(timeout=0))
        p.send(b'1')
        self.assert_window(p)
        self.assertTrue(until(shown) if WINE else p.read() == ON_TERMINAL, screen(p.read()))

    def test_2_typed_ahead_opens_the_window_titled_as_started(self):
        # Taken from the terminal whatever stdin is; the title is argv[0], relative too. (Wine
        # makes a console for a terminal on stdin only; it names the window by a Windows path.)
        for options in [{}] if WINE else [{'argv0': f'{os.path.relpath(BINARY)}-{os.getpid()}',
                                            'stdin': subprocess.DEVNULL}, {'no_stdin': True}]:
            with self.subTest(**options):
                self.assert_window(self.start(typed=b'2', **options))

    def test_banner_reaches_a_pipe_before_the_menu_waits_and_no_console_ends_it(self):
        p = self.start(stdout=subprocess.PIPE)  # under Wine: no sign of the wait to be had
        self.assertTrue(until(lambda: select.select([p.proc.stdout], [], [], 0)[0]) if WINE else
                        p.wait_reading() and select.select([p.proc.stdout], [], [], 0)[0])
        self.assertEqual(os.read(p.proc.stdout.fileno(), 65536), PIPED)
        run = subprocess.run(['wine'] * WINE + [BINARY], stdin=subprocess.DEVNULL,
                             capture_output=True, start_new_session=True, timeout=60)
        self.assertEqual((run.returncode, run.stdout, run.stderr), (1, PIPED, NO_CONSOLE))


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1], verbosity=2)
