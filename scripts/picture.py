"""scripts/picture.py -- plays a few moves on the real program and saves what its window
shows: docs/screenshot.png for the README and packaging/twisty-cube.png, the icon.
Run through scripts/picture, which builds the program and gives it an X server."""
import os, sys, time

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
sys.path.insert(0, os.path.join(root, 'tests'))
import harness

MOVES = ['Up', 'w', 'Right', '1', 'Up', 'Up', 'w', 'Left', 'w', 'Down', '1',
         's', 's', 's', 's', 'a', 'a', 'a', 'a']
ICON, CROP = 128, 192  # icon side, and the square around the cube it is scaled from


def icon(shot):
    """The square around the cube's centre, scaled down by averaging."""
    width, height, rgb = shot
    left, top = (width - CROP) // 2, (height - CROP) // 2
    out = bytearray()
    for y in range(ICON):
        for x in range(ICON):
            box = [(left + (x * CROP + i) // ICON, top + (y * CROP + j) // ICON)
                   for i in range(2) for j in range(2)]
            for c in range(3):
                out.append(sum(rgb[3 * (py * width + px) + c] for px, py in box) // len(box))
    return ICON, ICON, bytes(out)


def main(binary):
    with harness.Program(binary, argv0='twisty-cube') as p:
        p.wait_reading()
        p.send(b'2')
        wid = p.window()
        time.sleep(1)
        harness.press(wid, *MOVES, delay=60)
        time.sleep(2)
        shot = harness.screenshot(wid)
    harness.save_png(shot, os.path.join(root, 'docs', 'screenshot.png'))
    harness.save_png(icon(shot), os.path.join(root, 'packaging', 'twisty-cube.png'))


if __name__ == '__main__':
    main(sys.argv[1])
