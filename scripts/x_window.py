"""scripts/x_window.py -- the real program's window from outside it, on the X server in
$DISPLAY: found by its title, typed to through XTest, its picture read back. Shared by
scripts/picture.py, the tests' harness and the benchmarks."""
import contextlib

from PIL import Image
from Xlib import X, XK, display, error
from Xlib.ext import xtest

# One connection for the whole run: a server resets when its last client leaves, and a program
# that connects during the reset fails.
x = display.Display()


def find(title):
    """The mapped top-level window titled title, or None, also if a window went away while it
    was looked at."""
    with contextlib.suppress(error.XError):
        return next((w for w in x.screen().root.query_tree().children
                     if w.get_wm_name() == title and w.get_attributes().map_state == X.IsViewable),
                    None)


def press(window, *keys):
    """Types keys (X keysym names: a, Up, 1...) to window, which takes the focus first: there is
    no window manager to give it."""
    window.set_input_focus(X.RevertToParent, X.CurrentTime)
    for key in keys:
        code = x.keysym_to_keycode(XK.string_to_keysym(key))
        xtest.fake_input(x, X.KeyPress, code)
        xtest.fake_input(x, X.KeyRelease, code)
    x.sync()


def picture(window):
    """What window shows now."""
    size = window.get_geometry()
    raw = window.get_image(0, 0, size.width, size.height, X.ZPixmap, 0xffffffff).data
    return Image.frombytes('RGB', (size.width, size.height), raw, 'raw', 'BGRX')
