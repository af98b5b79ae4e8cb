"""tests/play_test.py -- the real program played end to end: a scramble and its exact inverse
give back the solved picture, and resizing keeps the cube drawn, centred and the same size.
Usage: play_test.py PROGRAM; PLAY_TEST_SHOTS=DIR keeps the pictures there."""
import math, os, random, sys, unittest

from PIL import ImageChops
from harness import Program

BINARY, SHOTS = sys.argv[1], os.environ.get('PLAY_TEST_SHOTS')
RED, YELLOW, BLUE = (1, 0, 0), (1, 1, 0), (0, 0, 1)
ORANGE, WHITE, GREEN = (1, .5, 0), (1, 1, 1), (0, 1, 0)


def hue(rgb):
    """The colour's shape, independent of how brightly the light falls on it."""
    top = max(rgb)
    return tuple(round(2 * c / top) / 2 for c in rgb) if top > 40 else (0, 0, 0)


def differing(a, b):
    """Share of pixels that differ by more than a little in some channel."""
    diff = ImageChops.difference(a, b).getdata()
    return sum(max(p) > 24 for p in diff) / len(diff)


class Play(unittest.TestCase):
    def settled(self, name):
        shot = self.program.settled()
        self.assertTrue(shot, 'the program never became idle with a steady picture')
        if SHOTS:
            shot.save(os.path.join(SHOTS, name + '.png'))
        return shot

    def indicator_column(self, shot, n):
        """Colours down the solved-face column's centre line, top to bottom, once each. The
        column stands at x = 3N, seen from 4N + 5 away through a 55-degree field of view."""
        ndc = 3 * n / (4 * n + 5) / math.tan(math.radians(27.5)) / (shot.width / shot.height)
        seen = []
        for y in range(shot.height):
            h = hue(shot.getpixel((round((ndc + 1) * shot.width / 2), y)))
            if h != (0, 0, 0) and seen[-1:] != [h]:
                seen.append(h)
        return seen

    def scramble_and_undo(self, key, n, turns, seed):
        self.program = Program(BINARY, typed=key)
        self.addCleanup(self.program.__exit__)
        self.assertTrue(self.program.window(), self.program.stderr())
        solved = self.settled(f'n{n}-solved')
        self.assertEqual(self.indicator_column(solved, n),
                         [GREEN, WHITE, ORANGE, BLUE, YELLOW, RED])
        rng = random.Random(seed)
        moves = [(rng.randrange(2), rng.randrange(n), rng.choice('w1')) for _ in range(turns)]
        inverse = [(axis, layer, '1' if turn == 'w' else 'w')
                   for axis, layer, turn in reversed(moves)]
        layers = [0, 0]  # the program's layer_x, layer_y, followed here
        for part, name in ((moves, 'scrambled'), (inverse, 'undone')):
            keys = []
            for axis, layer, turn in part:
                forward, back = ('Right', 'Left') if axis == 0 else ('Up', 'Down')
                keys += [forward, back] + [forward] * ((layer - layers[axis]) % n) + [turn]
                layers[axis] = layer  # forward then back chooses the axis, keeps the layer
            if part is inverse:  # the frame back on X layer 0, where it started
                keys += ['Right', 'Left'] + ['Left'] * layers[0]
            self.program.press(*keys)
            shot = self.settled(f'n{n}-{name}')
            if part is moves:
                self.assertGreater(differing(shot, solved), 0.02, 'the scramble changed nothing')
        # The same cube, possibly reached through other angle values: at most a few
        # edge pixels may round differently.
        self.assertLess(differing(shot, solved), 0.002)
        self.assertEqual(self.indicator_column(shot, n), self.indicator_column(solved, n))
        return solved

    def test_scramble_then_inverse_restores_the_2_cube(self):
        self.scramble_and_undo(b'1', 2, 20, seed=7)

    def test_scramble_then_inverse_restores_the_3_cube_and_resizing_keeps_it_drawn(self):
        solved = self.scramble_and_undo(b'2', 3, 24, seed=11)
        self.assertEqual(hue(solved.getpixel((225, 175))), RED)
        red_width = sum(hue(solved.getpixel((x, 175))) == RED for x in range(450))
        # X windows cannot be 0 pixels high: 1 is the least a window system gives.
        for width, height in ((900, 350), (350, 350), (450, 1), (450, 350)):
            with self.subTest(size=(width, height)):
                self.program.win.configure(width=width, height=height)
                shot = self.settled(f'n3-{width}x{height}')
                self.assertIsNone(self.program.proc.poll(), 'the program died')
                self.assertEqual(shot.size, (width, height))
                if height > 1:  # the vertical field of view is fixed: same size, centred
                    row = [hue(shot.getpixel((x, height // 2))) for x in range(width)]
                    self.assertEqual(row[width // 2], RED)
                    self.assertAlmostEqual(row.count(RED), red_width, delta=3)
        self.assertLess(differing(shot, solved), 0.002)


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1], verbosity=2)
