"""tests/menu_test.py -- the real program's console phase under a pseudo-terminal and an X
server: the banner, the keys the menu ignores, the window each size opens, the terminal mode
around the menu, and what happens without a console or when it ends or is killed.
Usage: menu_test.py PATH-OF-twisty-cube"""
import os, select, signal, subprocess, sys, termios, unittest

import harness

BINARY = sys.argv[1] if len(sys.argv) > 1 else 'build/app/twisty-cube'
ON_TERMINAL = harness.BANNER.replace(b'\n', b'\r\n')  # the terminal's ONLCR adds the CR
IFLAG, OFLAG, CFLAG, LFLAG, CC = 0, 1, 2, 3, 6


class Menu(unittest.TestCase):
    def start(self, **options):
        program = harness.Program(BINARY, **options)
        self.addCleanup(program.__exit__)
        return program

    def assert_window(self, program, title, size):
        wid = program.window()
        self.assertIsNotNone(wid, b'no window opened; stderr: ' + program.stderr())
        self.assertEqual(harness.window_info(wid), (0, 0, 450, 350, title))
        self.assertEqual(program.mode(), program.before, 'terminal mode not restored')
        # The front face, red at the start, shows one red stretch per cubie across a row.
        def red_stretches():
            shot = harness.screenshot(wid)
            red = [r > 150 and g < 100 and b < 100
                   for r, g, b in (harness.pixel(shot, x, 125) for x in range(350))]
            return sum(1 for x in range(1, 350) if red[x] and not red[x - 1])
        self.assertEqual(harness.until(red_stretches), size, 'cube size')

    def test_banner_then_ignored_keys_then_1_opens_the_window(self):
        def unusual(attrs):  # raw mode must set what it needs, whatever was there
            attrs[IFLAG] |= termios.INLCR
            attrs[CC][termios.VMIN], attrs[CC][termios.VTIME] = 0, 3
        p = self.start(tune=unusual)
        self.assertTrue(p.read_until(ON_TERMINAL))
        self.assertEqual(p.out, ON_TERMINAL)
        self.assertTrue(p.wait_reading(), 'not waiting in a read of the terminal')
        raw = p.mode()
        for flag, bits in ((LFLAG, termios.ICANON | termios.ECHO | termios.ISIG | termios.IEXTEN),
                           (IFLAG, termios.IXON | termios.ICRNL | termios.INLCR)):
            self.assertEqual(raw[flag] & bits, 0)
        self.assertEqual(raw[OFLAG], p.before[OFLAG])  # output processing untouched
        self.assertEqual(raw[CFLAG], p.before[CFLAG])
        self.assertEqual((raw[CC][termios.VMIN], raw[CC][termios.VTIME]), (1, 0))
        # Each key is sent once the last is taken: a key that ended the menu would leave
        # the next one unread, and an echo would show up in the output.
        for key in (b'3', b'0', b'q', b' ', b'\r', b'\x1b', b'\x03', b'\x1c', b'!', b'\x1b[A',
                    b'\x1bOB', b'\x1b[15~', b'\xff'):
            p.send(key)
            self.assertTrue(p.wait_reading(), f'menu stopped waiting after {key!r}')
        self.assertEqual(p.read(), ON_TERMINAL, 'output after the banner')
        self.assertEqual(harness.windows_of(p.pid), [])
        p.send(b'1')
        self.assert_window(p, BINARY, 2)
        self.assertEqual(p.read(), ON_TERMINAL, 'the chosen key was echoed')

    def test_2_opens_the_window_titled_as_the_program_was_started(self):
        relative = os.path.relpath(BINARY)
        p = self.start(argv0=relative)
        self.assertTrue(p.read_until(ON_TERMINAL) and p.wait_reading())
        p.send(b'2')
        self.assert_window(p, relative, 3)

    def test_2_typed_ahead_is_taken_from_the_terminal_not_stdin(self):
        for stdin in (open(os.devnull, 'rb'), 'closed'):
            with self.subTest(stdin=stdin):
                self.addCleanup(getattr(stdin, 'close', lambda: None))
                self.assert_window(self.start(typed=b'2', stdin=stdin), BINARY, 3)

    def test_banner_reaches_a_pipe_before_the_menu_waits(self):
        p = self.start(stdout=subprocess.PIPE)
        self.assertTrue(p.wait_reading())
        pipe = p.proc.stdout.fileno()  # written before the read began, or never
        self.assertTrue(select.select([pipe], [], [], 0)[0], 'banner still buffered')
        self.assertEqual(os.read(pipe, 65536), harness.BANNER)

    def test_no_controlling_terminal_exits_at_once(self):
        run = subprocess.run([BINARY], stdin=subprocess.DEVNULL, capture_output=True,
                             start_new_session=True, timeout=1)
        self.assertEqual((run.returncode, run.stdout, run.stderr),
                         (1, harness.BANNER, harness.NO_CONSOLE))

    def test_end_of_input_exits_or_hangs_up(self):
        # A hang-up kills the program as it would any other (the mode is put back first);
        # with SIGHUP ignored (nohup) the read sees end of input and the menu gives up.
        for ignore, status in (((signal.SIGHUP,), 1), ((), -signal.SIGHUP)):
            with self.subTest(ignore=ignore):
                p = self.start(ignore=ignore)
                self.assertTrue(p.wait_reading())
                p.close_terminal()
                self.assertEqual(p.proc.wait(10), status)
                self.assertEqual(p.stderr(), harness.NO_CONSOLE if status == 1 else b'')

    def test_termination_signal_restores_the_terminal(self):
        for sig in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT, signal.SIGQUIT):
            with self.subTest(signal=sig.name):
                p = self.start()
                self.assertTrue(p.wait_reading())
                self.assertNotEqual(p.mode(), p.before)  # raw while it waits
                os.kill(p.pid, sig)
                self.assertEqual(p.proc.wait(10), -sig)
                self.assertEqual(p.mode(), p.before)


if __name__ == '__main__':
    harness.ensure_display()
    unittest.main(argv=sys.argv[:1], verbosity=2)
