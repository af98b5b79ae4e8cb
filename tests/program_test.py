"""tests/program_test.py PROGRAM [OTHER] -- the real program: the banner, ignored keys (no echo),
the window a key opens, the banner's flush, the end without a console; a scramble and its inverse
give back the solved picture; resizing keeps the cube drawn, centred and the same size; OTHER (a
Linux build, when PROGRAM is the Windows one) draws the same. PLAY_TEST_SHOTS=DIR keeps shots."""
import os, random, select, subprocess, sys, unittest
from contextlib import closing
from PIL import ImageChops

from harness import BANNER, NO_CONSOLE, Program, screen, until

BINARY, OTHER, SHOTS = (sys.argv + [None])[1:3] + [os.environ.get('PLAY_TEST_SHOTS')]
WINE, ON_TERMINAL = BINARY.endswith('.exe'), BANNER.replace(b'\n', b'\r\n')  # the terminal adds CR
PIPED, NO_CONSOLE = (ON_TERMINAL, NO_CONSOLE.replace(b'\n', b'\r\n')) if WINE else (
    BANNER, NO_CONSOLE)  # Windows' C library writes CR LF to a pipe too


def hue(rgb):  # the colour whatever the light on it: (1, .5, 0) for orange
    return tuple(round(2 * c / max(rgb)) / 2 for c in rgb) if max(rgb) > 40 else (0, 0, 0)


def differing(a, b):  # the share of pixels that differ by more than a little
    return sum(max(p) > 24 for p in ImageChops.difference(a, b).getdata()) / a.width / a.height


def red(shot, y):  # which pixels of row y show red
    return [hue(shot.getpixel((x, y))) == (1, 0, 0) for x in range(shot.width)]


class TheProgram(unittest.TestCase):
    def start(self, **options):
        self.p = Program(BINARY, **options)
        self.addCleanup(self.p.close)
        return self.p

    def settled(self, name):
        shot = self.p.settled()
        self.assertTrue(shot, 'the program never slept with a steady picture')
        SHOTS and shot.save(os.path.join(SHOTS, f'{name}.png'))
        return shot

    def test_ignored_keys_then_1_opens_the_window(self):
        p = self.start()
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
        self.assertTrue(p.window(), 'no window')
        at = p.win.get_geometry()  # on Windows the frame is at (0, 0), the client inside it
        self.assertEqual((at.x < 32, at.y < 32, at.width, at.height), (True, True, 450, 350))
        WINE or self.assertEqual((at.x, at.y, p.mode()), (0, 0, p.before), 'mode not restored')
        self.assertTrue(until(shown) if WINE else p.read() == ON_TERMINAL, screen(p.read()))

    def test_banner_reaches_a_pipe_before_the_menu_waits_and_no_console_ends_it(self):
        p = self.start(stdout=subprocess.PIPE)  # under Wine: no sign of the wait to be had
        self.assertTrue(until(lambda: select.select([p.proc.stdout], [], [], 0)[0]) if WINE else
                        p.wait_reading() and select.select([p.proc.stdout], [], [], 0)[0])
        self.assertEqual(os.read(p.proc.stdout.fileno(), 65536), PIPED)
        run = subprocess.run(['wine'] * WINE + [BINARY], stdin=subprocess.DEVNULL,
                             capture_output=True, start_new_session=True, timeout=60)
        self.assertEqual((run.returncode, run.stdout, run.stderr), (1, PIPED, NO_CONSOLE))

    def scramble_and_undo(self, key, n, seed):
        # A key typed ahead is read from the terminal whatever stdin is; the title is argv[0],
        # relative too. (Wine makes a console only for a terminal on stdin.)
        self.assertTrue(self.start(typed=key, **{} if WINE else {
            'argv0': f'{os.path.relpath(BINARY)}-{n}', 'stdin': subprocess.DEVNULL}).window())
        solved = self.settled(f'n{n}-solved')
        row = red(solved, 175)  # n red stickers across the middle
        self.assertEqual(sum(a > b for a, b in zip(row[1:], row)), n)
        # A move: a cursor key and back chooses the axis, steps along it choose the layer,
        # then a turn. Undone: the axis, the opposite turn, the steps back.
        rng = random.Random(seed)
        moves = [(rng.choice([('Right', 'Left'), ('Up', 'Down')]), rng.randrange(n),
                  rng.choice('1w')) for _ in range(12 * n)]
        self.p.press(*(k for (on, back), steps, turn in moves
                       for k in [on, back] + [on] * steps + [turn]))
        self.assertGreater(differing(self.settled(f'n{n}-scrambled'), solved), 0.02)
        self.p.press(*(k for (on, back), steps, turn in moves[::-1]
                       for k in [on, back, {'1': 'w', 'w': '1'}[turn]] + [back] * steps),
                     'Right', 'Left')  # the frame back on the X axis, where it started
        # The same cube, maybe through other angle values: a few edge pixels may differ.
        undone = self.settled(f'n{n}-undone')
        self.assertLess(differing(undone, solved), 0.002)
        return solved

    def test_scramble_then_inverse_restores_the_2_cube(self):
        self.scramble_and_undo(b'1', 2, seed=7)

    def test_scramble_then_inverse_restores_the_3_cube_and_resizing_keeps_it_drawn(self):
        solved = self.scramble_and_undo(b'2', 3, seed=11)
        width = sum(red(solved, 175))
        # X windows cannot be 0 pixels high: 1 is the least a window system gives.
        for w, h in (900, 350), (350, 350), (450, 1), (450, 350):
            self.p.win.configure(width=w, height=h)
            shot = self.settled(f'n3-{w}x{h}')
            self.assertEqual((self.p.proc.poll(), shot.size), (None, (w, h)))
            row = red(shot, h // 2)
            if h > 1:  # the vertical field of view is fixed: the same size, centred
                self.assertTrue(row[w // 2], (w, h))
                self.assertAlmostEqual(sum(row), width, delta=3, msg=(w, h))
        self.assertLess(differing(shot, solved), 0.002)

    @unittest.skipUnless(OTHER, 'no other build to compare with')
    def test_the_other_build_draws_the_same_pictures(self):
        shots = []
        for binary in BINARY, OTHER:
            with closing(Program(binary, typed=b'2')) as self.p:
                self.assertTrue(self.p.window(), binary)
                shots.append(self.settled('first'))
                self.p.press('Right', 'w', 'Up', 'Up', '1', 'a', 'a', 's', 'd', 'Left', 'w')
                shots.append(self.settled('after-keys'))
        self.assertEqual([a == b for a, b in zip(shots[:2], shots[2:])], [True, True])


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1], verbosity=2)
