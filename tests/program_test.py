"""tests/program_test.py PROGRAM [OTHER] -- the real program: the banner, ignored keys (no echo),
the window a key opens, the banner's flush, the end without a console; a scramble and its inverse
give back the solved picture; resizing keeps the cube drawn, centred and the same size; keys typed
during a turn end where the same keys typed one at a time do; OTHER (a Linux build, when PROGRAM is
the Windows one or the page) draws the same. PROGRAM is an executable, a Windows .exe (run under
Wine) or the site's index.html (opened in a browser), where a turn shows part-way and nothing is
drawn while the page waits. PLAY_TEST_SHOTS=DIR keeps shots."""
import os, random, select, subprocess, sys, unittest
from contextlib import closing
from PIL import ImageChops

from harness import BANNER, NO_CONSOLE, Program, screen, until

BINARY, OTHER, SHOTS = (sys.argv + [None])[1:3] + [os.environ.get('PLAY_TEST_SHOTS')]
WINE, PAGE = BINARY.endswith('.exe'), BINARY.endswith('.html')
ON_TERMINAL = BANNER.replace(b'\n', b'\r\n')  # the terminal adds CR
PIPED, NO_CONSOLE = (ON_TERMINAL, NO_CONSOLE.replace(b'\n', b'\r\n')) if WINE else (
    BANNER, NO_CONSOLE)  # Windows' C library writes CR LF to a pipe too
if PAGE:
    from page import Page

# Keys the menu ignores: on a terminal as the bytes it sends, on the page by name. Among them
# characters outside ASCII; on the page two whose low bytes are 1 and 2 (U+0131, U+0132).
IGNORED = [b'3', b'0', b'q', b' ', b'\r', b'\x1b', b'\x03', b'\x1c', b'!', b'\x1b[A', b'\x1bOB',
           b'\x1b[15~', 'é'.encode(), b'\xff']
if PAGE:
    IGNORED = ['3', '0', 'q', ' ', 'Return', 'Escape', '!', 'Up', 'F5', 'Shift_L', 'é', 'ı', 'Ĳ']

# The other build's pictures at each stop: the first frame, a turn on a column and one on a
# row, nine tilts to a re-orientation, and a run of keys after it.
STOPS = [[], ['Right', 'w'], ['Up', '1'], ['z'] * 9,
         ['Right', 'w', 'Up', 'Up', '1', 'a', 'a', 's', 'd', 'Left', 'w']]


def hue(rgb):  # the colour whatever the light on it: (1, .5, 0) for orange
    return tuple(round(2 * c / max(rgb)) / 2 for c in rgb) if max(rgb) > 40 else (0, 0, 0)


def differing(a, b):  # the share of pixels that differ by more than a little
    return sum(max(p) > 24 for p in ImageChops.difference(a, b).getdata()) / a.width / a.height


def red(shot, y):  # which pixels of row y show red
    return [hue(shot.getpixel((x, y))) == (1, 0, 0) for x in range(shot.width)]


def unlike(a, b):
    """Why a picture from another rasteriser is not the same picture, or ''. It may differ on
    edges: at most 1 % of pixels by more than 8/255, and only in thin lines (no 4 x 4 block,
    which a sticker or a solved-face square of the wrong colour would leave)."""
    mask = ImageChops.difference(a, b).convert('L').point(lambda v: 255 if v > 8 else 0)
    share = sum(v > 0 for v in mask.getdata()) / a.width / a.height
    if share > 0.01:
        return f'{share:.2%} of pixels differ'
    block = mask
    for dx, dy in (1, 0), (2, 0), (0, 1), (0, 2):  # runs of 2, then 4, across, then down
        block = ImageChops.darker(block, ImageChops.offset(block, dx, dy))
    return f'a 4 x 4 block differs at {block.getbbox()}' if block.getbbox() else ''


class TheProgram(unittest.TestCase):
    def start(self, binary=BINARY, **options):
        if binary.endswith('.html'):
            self.p = Page(binary)
            self.p.press(*options.get('typed', b'').decode())  # before the program reads
        else:
            self.p = Program(binary, **options)
        self.addCleanup(self.p.close)
        return self.p

    def settled(self, name):
        shot = self.p.settled()
        self.assertTrue(shot, 'the program never slept with a steady picture')
        SHOTS and shot.save(os.path.join(SHOTS, f'{name}.png'))
        return shot

    def one_at_a_time(self, keys):  # each key handled and drawn before the next is sent
        idle = self.p.settled if isinstance(self.p, Program) else self.p.wait_reading
        for key in keys:
            self.p.press(key)
            self.assertTrue(idle(), f'no rest after {key}')

    def test_ignored_keys_then_1_opens_the_window(self):
        p = self.start()
        if PAGE:
            shown = lambda: p.read() == BANNER.decode()  # noqa: E731
        else:
            shown = lambda: screen(p.read()) == screen(ON_TERMINAL)  # noqa: E731
        self.assertTrue(until(shown) and p.wait_reading())
        # Each key is sent once the last is taken: a key that ended the menu would leave
        # the next one unread, and an echo would show up in the output.
        for key in IGNORED:
            (p.press if PAGE else p.send)(key)
            self.assertTrue(p.wait_reading(), f'menu stopped waiting after {key!r}')
        self.assertIsNone(p.window(timeout=0))
        p.press('1') if PAGE else p.send(b'1')
        self.assertTrue(p.window(), 'no window')
        if PAGE:
            facts = p.driver.execute_script(
                'const c = document.getElementById("window"), r = c.getBoundingClientRect();'
                'return [c.width, c.height, r.width, r.height, document.title,'
                ' document.activeElement === c]')
            self.assertEqual(facts, [450, 350, 450, 350, 'twisty-cube', True])
            self.assertEqual(p.read(), BANNER.decode())
            return
        at = p.win.get_geometry()  # on Windows the frame is at (0, 0), the client inside it
        self.assertEqual((at.x < 32, at.y < 32, at.width, at.height), (True, True, 450, 350))
        WINE or self.assertEqual((at.x, at.y, p.mode()), (0, 0, p.before), 'mode not restored')
        self.assertTrue(until(shown) if WINE else p.read() == ON_TERMINAL, screen(p.read()))

    @unittest.skipIf(PAGE, 'a page has no pipe and no terminal')
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
        self.assertTrue(self.start(typed=key, **{} if WINE or PAGE else {
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
        if PAGE:
            return  # the canvas keeps its size
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

    def test_keys_typed_during_a_turn_end_as_the_same_keys_typed_one_at_a_time(self):
        # Turns and cursor keys only: spin keys queued behind a turn share one frame.
        keys = ['w', 'Right', '1', 'Up', 'Up', 'w', 'Left', '1', 'Down', 'w']
        self.assertTrue(self.start(typed=b'2').window())
        self.settled('queued-before')
        self.p.press(*keys)
        queued = self.settled('queued')
        self.p.close()
        self.assertTrue(self.start(typed=b'2').window())
        self.one_at_a_time(keys)
        self.assertEqual(queued, self.settled('one-at-a-time'))

    @unittest.skipUnless(PAGE, 'frames on a desktop come faster than pictures can be taken')
    def test_a_turn_shows_part_way_and_a_waiting_page_draws_nothing(self):
        p = self.start(typed=b'2')
        self.assertTrue(p.window())
        before = self.settled('before-turn')
        p.press('w')
        shots = []
        while not p.driver.execute_script('return Module.pageWake !== null') and len(shots) < 50:
            shots.append(p.picture())
        after = self.settled('after-turn')
        part_way = [s for s in shots if differing(s, before) > 0.02 and differing(s, after) > 0.02]
        self.assertTrue(part_way, f'none of {len(shots)} pictures shows the turn part-way')
        p.count_frames()
        self.assertEqual(p.frames_over_30_more(), 0)

    @unittest.skipUnless(OTHER, 'no other build to compare with')
    def test_the_other_build_draws_the_same_pictures(self):
        shots = {}
        for binary in BINARY, OTHER:
            with closing(self.start(binary, typed=b'2')):
                self.assertTrue(self.p.window(), binary)
                for number, keys in enumerate(STOPS):
                    self.one_at_a_time(keys)
                    shots.setdefault(number, []).append(self.settled(f'{os.path.basename(binary)}-{number}'))
        for number, (mine, other) in shots.items():
            if PAGE:
                self.assertEqual(unlike(mine, other), '', f'stop {number}: {STOPS[number]}')
            else:
                self.assertEqual(mine, other, f'stop {number}: {STOPS[number]}')


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1], verbosity=2)
