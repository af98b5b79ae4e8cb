"""tests/play_test.py -- the real program played end to end: the menu through a
pseudo-terminal, real key events to its window, screenshots. A scramble followed by its
exact inverse must end in the solved picture; resizing must keep it drawing and alive.
Usage: play_test.py PATH-OF-twisty-cube"""
import math, os, random, sys, time, unittest

import harness

BINARY = sys.argv[1] if len(sys.argv) > 1 else 'build/app/twisty-cube'
SHOTS = os.environ.get('PLAY_TEST_SHOTS')  # a folder to keep the screenshots in, if set
INDICATOR = {'red': (1, 0, 0), 'yellow': (1, 1, 0), 'blue': (0, 0, 1),
             'orange': (1, .5, 0), 'white': (1, 1, 1), 'green': (0, 1, 0)}


def hue(rgb):
    """The colour's shape, independent of how brightly the light falls on it."""
    top = max(rgb)
    return tuple(round(2 * c / top) / 2 for c in rgb) if top > 40 else (0, 0, 0)


def differing(a, b):
    """Share of pixels that differ by more than a little in some channel."""
    _, _, pa = a
    _, _, pb = b
    return sum(abs(x - y) > 24 for x, y in zip(pa, pb)) / len(pa)


class Play(unittest.TestCase):
    def start(self, key):
        program = harness.Program(BINARY)
        self.addCleanup(program.__exit__)
        self.assertTrue(program.wait_reading())
        program.send(key)
        self.wid = program.window()
        self.assertIsNotNone(self.wid, program.stderr())
        self.program = program
        return self.settled()

    def settled(self, timeout=20.0):
        """The window's picture once two screenshots in a row agree: the keys sent so far
        are handled and their frames drawn."""
        last = None
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            time.sleep(0.25)
            shot = harness.screenshot(self.wid)
            if shot == last:
                return shot
            last = shot
        self.fail('the picture never settled')

    def keep(self, shot, name):
        if SHOTS:
            harness.save_png(shot, os.path.join(SHOTS, name + '.png'))

    def indicator_column(self, shot, n):
        """Colours down the solved-face column's centre line, top to bottom, once each. The
        column stands at x = 3N, seen from 4N + 5 away through a 55-degree field of view."""
        width, height, _ = shot
        ndc = 3 * n / (4 * n + 5) / math.tan(math.radians(27.5)) / (width / height)
        seen = []
        for y in range(height):
            h = hue(harness.pixel(shot, round((ndc + 1) * width / 2), y))
            if h != (0, 0, 0) and (not seen or seen[-1] != h):
                seen.append(h)
        return seen

    def scramble_and_undo(self, key, n, turns, seed):
        solved = self.start(key)
        self.keep(solved, f'n{n}-solved')
        self.assertEqual(self.indicator_column(solved, n),
                         [INDICATOR[c] for c in ('green', 'white', 'orange', 'blue', 'yellow',
                                                 'red')])
        rng = random.Random(seed)
        moves = [(rng.randrange(2), rng.randrange(n), rng.choice('w1')) for _ in range(turns)]
        inverse = [(axis, layer, '1' if turn == 'w' else 'w')
                   for axis, layer, turn in reversed(moves)]
        layers = [0, 0]  # the program's layer_x, layer_y, followed here
        for part in (moves, inverse):
            keys = []
            for axis, layer, turn in part:
                forward, back = ('Right', 'Left') if axis == 0 else ('Up', 'Down')
                keys += [forward, back]  # chooses the axis, keeps the layer
                keys += [forward] * ((layer - layers[axis]) % n)
                layers[axis] = layer
                keys.append(turn)
            if part is inverse:  # the frame back on X layer 0, where it started
                keys += ['Right', 'Left'] + ['Left'] * layers[0]
            harness.press(self.wid, *keys, delay=20)
            shot = self.settled()
            if part is moves:
                self.keep(shot, f'n{n}-scrambled')
                self.assertGreater(differing(shot, solved), 0.02, 'the scramble changed nothing')
        self.keep(shot, f'n{n}-undone')
        # The same cube, possibly reached through other angle values: at most a few
        # edge pixels may round differently.
        self.assertLess(differing(shot, solved), 0.002)
        self.assertEqual(self.indicator_column(shot, n), self.indicator_column(solved, n))
        return solved

    def test_scramble_then_inverse_restores_the_2_cube(self):
        self.scramble_and_undo(b'1', 2, 20, seed=7)

    def test_scramble_then_inverse_restores_the_3_cube_and_resizing_keeps_it_drawn(self):
        solved = self.scramble_and_undo(b'2', 3, 24, seed=11)
        centre = harness.pixel(solved, 225, 175)
        self.assertEqual(hue(centre), INDICATOR['red'])
        red_width = sum(hue(harness.pixel(solved, x, 175)) == INDICATOR['red']
                        for x in range(450))
        # X windows cannot be 0 pixels high: 1 is the least a window system gives.
        for width, height in ((900, 350), (350, 350), (450, 1), (450, 350)):
            with self.subTest(size=(width, height)):
                harness.resize(self.wid, width, height)
                shot = self.settled()
                self.keep(shot, f'n3-{width}x{height}')
                self.assertIsNone(self.program.proc.poll(), 'the program died')
                self.assertEqual(shot[:2], (width, height))
                if height < 50:
                    continue
                # The vertical field of view is fixed: the cube keeps its size and stays
                # centred, however wide the window.
                row = [hue(harness.pixel(shot, x, height // 2)) for x in range(width)]
                self.assertEqual(row[width // 2], INDICATOR['red'])
                self.assertAlmostEqual(row.count(INDICATOR['red']), red_width, delta=3)
        self.assertLess(differing(shot, solved), 0.002)


if __name__ == '__main__':
    harness.ensure_display()
    unittest.main(argv=sys.argv[:1], verbosity=2)
