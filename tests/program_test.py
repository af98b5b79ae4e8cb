"""tests/program_test.py PROGRAM [OTHER] -- the real program: the banner, ignored keys (no echo),
the window a key opens, the banner's flush, the end without a console; a scramble typed ahead of
its turns and its inverse give back the solved picture; resizing keeps the cube drawn, centred
and the same size; OTHER (a Linux build, when PROGRAM is the Windows one or the page) draws the
same. PROGRAM is an executable, a Windows .exe (run under Wine) or the site's index.html (opened
in a browser), where a turn shows part-way and nothing is drawn while the page waits.
PLAY_TEST_SHOTS=DIR keeps shots."""
import os, random, select, subprocess, sys, unittest
from contextlib import closing
from PIL import ImageChops, ImageFilter

from harness import BANNER, NO_CONSOLE, Program, screen, until

BINARY, OTHER, SHOTS = (sys.argv + [None])[1:3] + [os.environ.get('PLAY_TEST_SHOTS')]
WINE, PAGE = BINARY.endswith('.exe'), BINARY.endswith('.html')
if PAGE:
    from page import Page

# Keys the menu ignores, on a terminal as the bytes it sends: Ctrl+C and Ctrl+\ among them,
# which a terminal not raw would turn into signals; characters outside ASCII.
IGNORED = [b'3', b'q', b'\r', b'\x1b', b'\x03', b'\x1c', b'!', b'\x1b[A', b'\x1bOB',
           b'\x1b[15~', 'é'.encode(), b'\xff']
OPEN = b'1'
TERMINAL = BANNER.replace(b'\n', b'\r\n')  # the terminal adds CR
SHOWN = screen(TERMINAL) if WINE else TERMINAL
if PAGE:  # by name; the low byte of U+0131 is that of '1'
    IGNORED, OPEN, SHOWN = ['3', 'q', 'Return', 'Escape', 'Up', 'Shift_L', 'é', 'ı'], '1', BANNER.decode()

# The other build's pictures at each stop: the first frame, a turn on a column and one on a
# row, nine tilts to a re-orientation, and a run of keys after it.
STOPS = [[], ['Right', 'w'], ['Up', '1'], ['z'] * 9,
         ['Right', 'w', 'Up', 'Up', '1', 'a', 'a', 's', 'd', 'Left', 'w']]


def differing(a, b, by=24):  # the share of pixels that differ by more than by
    return sum(max(p) > by for p in ImageChops.difference(a, b).getdata()) / a.width / a.height


def red(shot, y):  # which pixels of row y show red, whatever the light on them
    return [r > 40 and g < r / 4 and b < r / 4 for r, g, b in
            (shot.getpixel((x, y)) for x in range(shot.width))]


def unlike(a, b):
    """Why a picture from another rasteriser is not the same picture, or ''. It may differ on
    edges: at most 1 % of pixels by more than 8/255, and only in thin lines (no 5 x 5 block,
    which a sticker or a solved-face square of the wrong colour would leave)."""
    if differing(a, b, 8) > 0.01:
        return f'{differing(a, b, 8):.2%} of pixels differ'
    mask = ImageChops.difference(a, b).convert('L').point(lambda v: 255 if v > 8 else 0)
    block = mask.filter(ImageFilter.MinFilter(5)).getbbox()
    return f'a 5 x 5 block differs at {block}' if block else ''


class TheProgram(unittest.TestCase):
    def start(self, binary=BINARY, typed=b'', **options):
        self.p = Page(binary, typed) if binary.endswith('.html') else Program(binary, typed, **options)
        self.addCleanup(self.p.close)
        return self.p

    def settled(self, name):
        shot = self.p.settled()
        self.assertTrue(shot, 'the program never slept with a steady picture')
        if SHOTS:
            shot.save(os.path.join(SHOTS, f'{name}.png'))
        return shot

    def press_all(self, keys):
        """Under Wine four at a time, each four handled before the next: Wine loses keys
        from a long run typed at once."""
        step = 4 if WINE else len(keys)
        for at in range(0, len(keys), step):
            self.p.press(*keys[at:at + step])
            self.assertTrue(self.p.settled(), f'no rest after {keys[at:at + step]}')

    def test_the_menu_ignores_other_keys_unechoed_and_1_opens_the_window(self):
        p = self.start()
        self.assertTrue(until(lambda: p.shown() == SHOWN) and p.wait_reading())
        # Each key is sent once the last is taken: a key that ended the menu would leave
        # the next one unread, and an echo would show up in the output.
        for key in IGNORED:
            p.send(key)
            self.assertTrue(p.wait_reading(), f'menu stopped waiting after {key!r}')
        self.assertIsNone(p.window(timeout=0))
        p.send(OPEN)
        self.assertTrue(p.window(), 'no window')
        self.assertTrue(until(lambda: p.shown() == SHOWN), p.shown())
        if PAGE:
            self.assertEqual(p.canvas(), [450, 350, 450, 350, 'twisty-cube', True])
            return
        at = p.win.get_geometry()  # on Windows the frame is at (0, 0), the client inside it
        self.assertEqual((at.x < 32, at.y < 32, at.width, at.height), (True, True, 450, 350))
        if not WINE:
            self.assertEqual((at.x, at.y, p.mode()), (0, 0, p.before), 'mode not restored')

    @unittest.skipIf(PAGE, 'a page has no pipe and no terminal')
    def test_banner_reaches_a_pipe_before_the_menu_waits_and_no_console_ends_it(self):
        piped = TERMINAL if WINE else BANNER  # Windows' C library writes CR LF to a pipe too
        p = self.start(stdout=subprocess.PIPE)
        ready = lambda: select.select([p.proc.stdout], [], [], 0)[0]  # noqa: E731
        if WINE:  # under Wine there is no sign of the wait to be had
            self.assertTrue(until(ready))
        else:
            self.assertTrue(p.wait_reading() and ready())
        self.assertEqual(os.read(p.proc.stdout.fileno(), 65536), piped)
        run = subprocess.run(['wine'] * WINE + [BINARY], stdin=subprocess.DEVNULL,
                             capture_output=True, start_new_session=True, timeout=60)
        stderr = run.stderr.replace(b'\r\n', b'\n')
        self.assertEqual((run.returncode, run.stdout, stderr), (1, piped, NO_CONSOLE))

    def scramble_and_undo(self, key, n, seed):
        # A key typed ahead is read from the terminal whatever stdin is; the title is argv[0],
        # relative too. (Wine makes a console only for a terminal on stdin.)
        options = {} if WINE or PAGE else {'argv0': f'{os.path.relpath(BINARY)}-{n}',
                                           'stdin': subprocess.DEVNULL}
        self.assertTrue(self.start(typed=key, **options).window())
        solved = self.settled(f'n{n}-solved')
        row = red(solved, 175)  # n red stickers across the middle
        self.assertEqual(sum(a > b for a, b in zip(row[1:], row)), n)
        # A move: a cursor key and back chooses the axis, steps along it choose the layer,
        # then a turn. Undone: the axis, the opposite turn, the steps back. The keys go at
        # once (but under Wine), most of them while a turn is still being drawn.
        rng = random.Random(seed)
        moves = [(rng.choice([('Right', 'Left'), ('Up', 'Down')]), rng.randrange(n),
                  rng.choice('1w')) for _ in range(12 * n)]
        scramble = []
        for (on, back), steps, turn in moves:
            scramble += [on, back] + [on] * steps + [turn]
        self.press_all(scramble)
        self.assertGreater(differing(self.settled(f'n{n}-scrambled'), solved), 0.02)
        undo = []
        for (on, back), steps, turn in reversed(moves):
            undo += [on, back, {'1': 'w', 'w': '1'}[turn]] + [back] * steps
        self.press_all(undo + ['Right', 'Left'])  # the frame back on the X axis, where it started
        # The same cube, maybe through other angle values: a few edge pixels may differ.
        self.assertLess(differing(self.settled(f'n{n}-undone'), solved), 0.002)
        return solved

    def test_scramble_then_inverse_restores_the_2_cube(self):
        self.scramble_and_undo(b'1', 2, seed=7)

    def test_scramble_then_inverse_restores_the_3_cube_and_resizing_keeps_it_drawn(self):
        solved = self.scramble_and_undo(b'2', 3, seed=11)
        if PAGE:
            return  # the canvas keeps its size
        width = sum(red(solved, 175))
        # X windows cannot be 0 pixels high: 1 is the least a window system gives.
        for w, h in (900, 350), (350, 350), (450, 1), (450, 350):
            self.p.win.configure(width=w, height=h)
            shot = self.settled(f'n3-{w}x{h}')
            self.assertEqual(shot.size, (w, h))
            row = red(shot, h // 2)
            if h > 1:  # the vertical field of view is fixed: the same size, centred
                self.assertTrue(row[w // 2], (w, h))
                self.assertAlmostEqual(sum(row), width, delta=3, msg=(w, h))
        self.assertLess(differing(shot, solved), 0.002)

    @unittest.skipUnless(PAGE, 'frames on a desktop come faster than pictures can be taken')
    def test_a_turn_shows_part_way_and_a_waiting_page_draws_nothing(self):
        self.assertTrue(self.start(typed=b'2').window())
        before = self.settled('before-turn')
        self.p.press('w')
        shots = []
        while not self.p.waiting() and len(shots) < 50:
            shots.append(self.p.picture())
        after = self.settled('after-turn')
        part_way = [s for s in shots if differing(s, before) > 0.02 and differing(s, after) > 0.02]
        self.assertTrue(part_way, f'none of {len(shots)} pictures shows the turn part-way')
        self.assertEqual(self.p.frames_drawn_in_30(), 0)

    @unittest.skipUnless(OTHER, 'no other build to compare with')
    def test_the_other_build_draws_the_same_pictures(self):
        shots = {}
        for binary in BINARY, OTHER:
            with closing(self.start(binary, typed=b'2')):
                self.assertTrue(self.p.window(), binary)
                for number, keys in enumerate(STOPS):
                    for key in keys:  # each key handled and drawn before the next is sent
                        self.p.press(key)
                        self.assertTrue(self.p.settled(), f'no rest after {key}')
                    name = f'{os.path.basename(binary)}-{number}'
                    shots.setdefault(number, []).append(self.settled(name))
        for number, (mine, other) in shots.items():
            if PAGE:
                self.assertEqual(unlike(mine, other), '', f'stop {number}: {STOPS[number]}')
            else:
                self.assertEqual(mine, other, f'stop {number}: {STOPS[number]}')


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1], verbosity=2)
