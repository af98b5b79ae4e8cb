"""tests/menu_test.py -- the console phase under a pseudo-terminal: the banner, the keys the
menu ignores, the window each size opens, the terminal mode around the menu, and what
happens without a console or when it hangs up or is killed. Usage: menu_test.py PROGRAM"""
import os, select, signal, subprocess, sys, termios, unittest

from harness import BANNER, NO_CONSOLE, Program, until

BINARY = sys.argv[1]
ON_TERMINAL = BANNER.replace(b'\n', b'\r\n')  # the terminal's ONLCR adds the CR
IFLAG, OFLAG, CFLAG, LFLAG, CC = 0, 1, 2, 3, 6


class Menu(unittest.TestCase):
    def start(self, **options):
        program = Program(BINARY, **options)
        self.addCleanup(program.__exit__)
        return program

    def assert_window(self, p, size):
        win = p.window()
        self.assertIsNotNone(win, b'no window; stderr: ' + p.stderr())
        at = win.get_geometry()
        self.assertEqual((at.x, at.y, at.width, at.height), (0, 0, 450, 350))
        self.assertEqual(p.mode(), p.before, 'terminal mode not restored')
        # The front face, red at the start, shows one red stretch per cubie across a row.
        shot = p.settled()
        red = [r > 150 and g < 100 and b < 100 for r, g, b in map(shot.getpixel, (
            (x, 125) for x in range(350)))]
        self.assertEqual(sum(red[x] and not red[x - 1] for x in range(1, 350)), size)

    def test_banner_then_ignored_keys_then_1_opens_the_window(self):
        def unusual(attrs):  # raw mode must set what it needs, whatever was there
            attrs[IFLAG] |= termios.INLCR
            attrs[CC][termios.VMIN], attrs[CC][termios.VTIME] = 0, 3
        p = self.start(tune=unusual)
        self.assertTrue(until(lambda: ON_TERMINAL in p.read()))
        self.assertEqual(p.out, ON_TERMINAL)
        self.assertTrue(p.wait_reading(), 'not waiting in a read of the terminal')
        raw = p.mode()
        self.assertEqual(raw[LFLAG] & (termios.ICANON | termios.ECHO | termios.ISIG
                                       | termios.IEXTEN), 0)
        self.assertEqual(raw[IFLAG] & (termios.IXON | termios.ICRNL | termios.INLCR), 0)
        self.assertEqual(raw[OFLAG:CFLAG + 1], p.before[OFLAG:CFLAG + 1])  # output untouched
        self.assertEqual((raw[CC][termios.VMIN], raw[CC][termios.VTIME]), (1, 0))
        # Each key is sent once the last is taken: a key that ended the menu would leave
        # the next one unread, and an echo would show up in the output.
        for key in (b'3', b'0', b'q', b' ', b'\r', b'\x1b', b'\x03', b'\x1c', b'!', b'\x1b[A',
                    b'\x1bOB', b'\x1b[15~', b'\xff'):
            p.send(key)
            self.assertTrue(p.wait_reading(), f'menu stopped waiting after {key!r}')
        self.assertIsNone(p.window(timeout=0))
        p.send(b'1')
        self.assert_window(p, 2)
        self.assertEqual(p.read(), ON_TERMINAL, 'output after the banner')

    def test_2_typed_then_or_ahead_opens_the_3_cube(self):
        # The title is argv[0] as given, a relative path too; a key typed ahead is taken
        # from the terminal, whatever stdin is.
        devnull = open(os.devnull, 'rb')
        self.addCleanup(devnull.close)
        for options in ({'argv0': f'{os.path.relpath(BINARY)}-{os.getpid()}'},
                        {'typed': b'2', 'stdin': devnull}, {'typed': b'2', 'stdin': 'closed'}):
            with self.subTest(**options):
                p = self.start(**options)
                if 'typed' not in options:
                    self.assertTrue(p.wait_reading())
                    p.send(b'2')
                self.assert_window(p, 3)

    def test_banner_reaches_a_pipe_before_the_menu_waits(self):
        p = self.start(stdout=subprocess.PIPE)
        self.assertTrue(p.wait_reading())
        pipe = p.proc.stdout.fileno()  # written before the read began, or never
        self.assertTrue(select.select([pipe], [], [], 0)[0], 'banner still buffered')
        self.assertEqual(os.read(pipe, 65536), BANNER)

    def test_no_controlling_terminal_exits_at_once(self):
        run = subprocess.run([BINARY], stdin=subprocess.DEVNULL, capture_output=True,
                             start_new_session=True, timeout=60)
        self.assertEqual((run.returncode, run.stdout, run.stderr), (1, BANNER, NO_CONSOLE))

    def test_hang_up_and_signals_restore_the_terminal(self):
        # A hang-up kills the program as it would any other (the mode is put back first);
        # with SIGHUP ignored (nohup) the read sees end of input and the menu gives up.
        for ignore, end, status in (((signal.SIGHUP,), 'hang_up', 1),
                                    ((), 'hang_up', -signal.SIGHUP),
                                    *(((), sig, -sig) for sig in (signal.SIGTERM, signal.SIGHUP,
                                                                 signal.SIGINT, signal.SIGQUIT))):
            with self.subTest(ignore=ignore, end=end):
                p = self.start(ignore=ignore)
                self.assertTrue(p.wait_reading())
                self.assertNotEqual(p.mode(), p.before)  # raw while it waits
                p.hang_up() if end == 'hang_up' else os.kill(p.pid, end)
                self.assertEqual(p.proc.wait(60), status)
                self.assertEqual(p.stderr(), NO_CONSOLE if status == 1 else b'')
                if end != 'hang_up':
                    self.assertEqual(p.mode(), p.before)


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1], verbosity=2)
