"""tests/program_test.py PROGRAM [OTHER] -- the real program: the banner flushed to its stdout,
a pipe, before the menu waits; ignored keys; the window a key opens; the end without a console.
A scramble and its inverse, typed ahead of their turns, give back the solved picture of the
2-cube the menu opened and of a 3-cube chosen by a key typed ahead; resizing keeps the cube
drawn, centred and the same size; tilts re-orient it. OTHER (a Linux build, when PROGRAM is the
Windows one or the page) draws the 3-cube's pictures the same. PROGRAM is an executable, a
Windows .exe (run under Wine) or the site's index.html (opened in a browser), where a turn shows
part-way and nothing is drawn while the page waits. PLAY_TEST_SHOTS=DIR keeps shots."""
import os, random, subprocess, sys, unittest
from contextlib import closing
from PIL import ImageChops, ImageFilter

from harness import BANNER, Program, until

BINARY = sys.argv[1]
OTHERS = sys.argv[2:]  # a Linux build, or none
SHOTS = os.environ.get('PLAY_TEST_SHOTS')
WINE = BINARY.endswith('.exe')
PAGE = BINARY.endswith('.html')
if PAGE:
    from page import Page

# Keys the menu ignores, on a terminal as the bytes it sends.
IGNORED = [
    b'3',
    b'q',
    b'\r',  # Enter
    b'\x1b',  # Esc alone
    b'\x03',  # Ctrl+C and Ctrl+\, which a terminal not raw would turn into signals
    b'\x1c',
    b'!',
    b'\x1b[A',  # the cursor keys in either mode, and F5
    b'\x1bOB',
    b'\x1b[15~',
    'é'.encode(),  # outside ASCII: two bytes, and a byte that would read as -1, the end
    b'\xff',
]
OPEN = b'1'
PRINTED = BANNER.replace(b'\n', b'\r\n') if WINE else BANNER  # Windows' C library writes CR LF
if PAGE:  # as page.press takes them
    IGNORED = [
        '3',
        'q',
        'Enter',
        'Escape',
        'Up',
        'é',
        'ı',  # the low byte of U+0131 is that of '1'
    ]
    OPEN = '1'
    PRINTED = BANNER.decode()

# The cursor keys on each axis, and the turns, each with its opposite.
AXES = [('Right', 'Left'), ('Up', 'Down')]
TURNS = [('1', 'w'), ('w', '1')]
# The window's sizes in turn (a canvas keeps its own), back to the first; X windows cannot be
# 0 pixels high.
SIZES = [
    (900, 350),
    (350, 350),
    (450, 1),
    (450, 350),
]
# Nine tilts to a re-orientation, then a run of keys: each is handled and drawn before the next
# is sent, since a tilt moves the view by a step each frame drawn.
TILTS = ['z'] * 9 + ['a', 's', 'd', 'Left', 'w']
AT_ONCE = 4 if WINE else 1000  # Wine loses keys from a long run typed at once
# How the other build's pictures may differ: a Windows build's not at all; the page's, drawn by
# another rasteriser, on edges: at most 1 % of pixels by more than 8/255, and only in thin lines
# (no 5 x 5 block, which a sticker or a solved-face square of the wrong colour would leave).
BY = 8 if PAGE else 0
SHARE = 0.01 if PAGE else 0


def differing(a, b, by=24):  # the share of pixels that differ by more than by
    return sum(max(p) > by for p in ImageChops.difference(a, b).getdata()) / a.width / a.height


def red(shot, y):  # which pixels of row y show red, whatever the light on them
    return [r > 40 and g < r / 4 and b < r / 4 for r, g, b in
            (shot.getpixel((x, y)) for x in range(shot.width))]


def block(a, b):  # where a 5 x 5 block differs by more than 8/255, or None
    mask = ImageChops.difference(a, b).convert('L').point(lambda v: 255 if v > 8 else 0)
    return mask.filter(ImageFilter.MinFilter(5)).getbbox()


class TheProgram(unittest.TestCase):
    def start(self, binary=BINARY, typed=b''):
        self.shots = {}
        self.name = os.path.basename(binary)
        kind = Page if binary.endswith('.html') else Program
        self.p = kind(binary, typed)
        return closing(self.p)

    def settled(self, name):
        shot = self.p.settled()
        self.assertTrue(shot, f'the program never slept with a steady picture: {name}')
        self.shots[name] = shot
        if SHOTS:
            shot.save(os.path.join(SHOTS, f'{self.name}-{name}.png'))
        return shot

    def press_all(self, keys, step):  # step keys at once, each step handled before the next
        for at in range(0, len(keys), step):
            self.p.press(*keys[at:at + step])
            self.assertTrue(self.p.settled())

    def scramble_and_undo(self, n):
        """The n-cube's first picture, once it is checked, and its scramble and undo."""
        self.assertTrue(self.p.window())
        solved = self.settled('solved')
        row = red(solved, 175)  # n red stickers across the middle, parted by black edges
        self.assertEqual(sum(a > b for a, b in zip(row[1:], row)), n)
        # A move: a cursor key and back chooses the axis, steps along it choose the layer,
        # then a turn. Undone: the axis, the opposite turn, the steps back; at the end the
        # frame back on the X axis, where it started. The keys go at once (but under Wine),
        # most of them while a turn is still being drawn.
        rng = random.Random(n)
        scramble = []
        undo = ['Right', 'Left']
        for _ in range(12 * n):
            on, back = rng.choice(AXES)
            turn, opposite = rng.choice(TURNS)
            steps = rng.randrange(n)
            scramble += [on, back] + [on] * steps + [turn]
            undo = [on, back, opposite] + [back] * steps + undo
        self.press_all(scramble, AT_ONCE)
        self.assertGreater(differing(self.settled('scrambled'), solved), 0.02)
        self.press_all(undo, AT_ONCE)
        # The same cube, maybe through other angle values: a few edge pixels may differ.
        self.assertLess(differing(self.settled('undone'), solved), 0.002)
        return solved

    def test_the_banner_is_flushed_the_menu_ignores_other_keys_and_1_opens_a_2_cube_a_scramble_and_its_inverse_restore(self):
        with self.start() as p:
            # On a pipe the banner is there while the menu waits only if it was flushed.
            self.assertTrue(until(lambda: p.printed() == PRINTED))
            self.assertTrue(p.wait_reading())
            # Each key is sent once the last is taken: a key that ended the menu would leave
            # the next one unread.
            for key in IGNORED:
                p.send(key)
                self.assertTrue(p.wait_reading(), f'menu stopped waiting after {key!r}')
            self.assertIsNone(p.window(timeout=0))
            p.send(OPEN)
            solved = self.scramble_and_undo(2)
            self.assertEqual(p.printed(), PRINTED)
            if PAGE:
                self.assertEqual(p.canvas(), [450, 350, 450, 350, 'twisty-cube', True])
                # A turn shows part-way, and a waiting page draws nothing.
                p.press('w')
                shots = []
                while not p.waiting() and len(shots) < 50:
                    shots.append(p.picture())
                after = self.settled('after-turn')
                part_way = [s for s in shots
                            if differing(s, solved) > 0.02 and differing(s, after) > 0.02]
                self.assertTrue(part_way, f'none of {len(shots)} pictures shows the turn part-way')
                self.assertEqual(p.frames_drawn_in_30(), 0)
                return
            at = p.win.get_geometry()  # on Windows the frame is at (0, 0), the client inside it
            self.assertLess(max(at.x, at.y), 32 if WINE else 1)

    @unittest.skipIf(PAGE, 'a page has no console to lack')
    def test_no_console_ends_it(self):
        run = subprocess.run(['wine'] * WINE + [BINARY], stdin=subprocess.DEVNULL,
                             capture_output=True, start_new_session=True, timeout=60)
        self.assertEqual((run.returncode, run.stdout), (1, PRINTED))
        self.assertIn(b'no console to read the menu key from', run.stderr)

    def pictures(self, binary):
        """The 3-cube's checked pictures: solved, scrambled, undone, in each size, tilted."""
        with self.start(binary, b'2') as p:  # a key typed ahead waits on the terminal
            width = sum(red(self.scramble_and_undo(3), 175))
            for w, h in [] if PAGE else SIZES:  # the vertical field of view is fixed
                p.win.configure(width=w, height=h)
                shot = self.settled(f'{w}x{h}')
                self.assertEqual(shot.size, (w, h))
                middle = red(shot, h // 2)
                if h > 1:  # the same size, centred
                    self.assertTrue(middle[w // 2])
                    self.assertAlmostEqual(sum(middle), width, delta=3)
            self.press_all(TILTS, 1)
            self.assertGreater(differing(self.settled('tilted'), self.shots['undone']), 0.02)
        return self.shots

    def test_a_3_cube_typed_ahead_restores_after_a_scramble_and_its_inverse_keeps_its_size_and_another_build_draws_it_the_same(self):
        mine = self.pictures(BINARY)
        for binary in OTHERS:
            other = self.pictures(binary)
            for name, shot in mine.items():
                self.assertLessEqual(differing(shot, other[name], BY), SHARE, name)
                self.assertIsNone(block(shot, other[name]), name)


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1], verbosity=2)
