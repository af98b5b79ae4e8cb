"""scripts/picture.py -- plays a few moves on the real program and saves what its window
shows: docs/screenshot.png for the README and packaging/twisty-cube.png, the icon.
Run through scripts/picture, which builds the program and gives it an X server."""
import os, sys
from contextlib import closing

from PIL import Image

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
sys.path.insert(0, os.path.join(root, 'tests'))
import harness

MOVES = ['Up', 'w', 'Right', '1', 'Up', 'Up', 'w', 'Left', 'w', 'Down', '1',
         's', 's', 's', 's', 'a', 'a', 'a', 'a']
ICON, CROP = 128, 192  # icon side, and the square around the cube it is scaled from


def main(binary):
    with closing(harness.Program(binary, argv0='twisty-cube')) as p:
        p.wait_reading()
        p.send(b'2')
        p.window()
        for key in MOVES:  # a frame for each: a view spin key spins once a frame
            p.settled()
            p.press(key)
        shot = p.settled()
    shot.save(os.path.join(root, 'docs', 'screenshot.png'))
    left, top = (shot.width - CROP) // 2, (shot.height - CROP) // 2
    icon = shot.crop((left, top, left + CROP, top + CROP)).resize((ICON, ICON), Image.BOX)
    icon.save(os.path.join(root, 'packaging', 'twisty-cube.png'))


if __name__ == '__main__':
    main(sys.argv[1])
