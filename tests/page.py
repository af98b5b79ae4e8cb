"""tests/page.py -- the program on its page: the site served on 127.0.0.1 from a thread of the
test, opened in Debian's headless Chromium through chromedriver, keys as real key events through
the DevTools protocol, pictures of the canvas as the screen shows it. A watcher ends the browser
with the test, however the test ends. The same calls as harness.Program."""
import functools, http.server, io, os, subprocess, threading
from PIL import Image
from selenium import webdriver
from selenium.webdriver.chrome.service import Service

from harness import until

# Software WebGL that draws the same on every run; no network of its own.
CHROMIUM = ['--headless=new', '--no-sandbox', '--use-angle=swiftshader',
            '--enable-unsafe-swiftshader', '--disable-background-networking',
            '--disable-component-update', '--disable-sync', '--no-first-run',
            '--window-size=600,900']

# Keys by the names Program.press takes (X keysyms): browser key value, code, key code.
NAMED = {
    'Up': ('ArrowUp', 'ArrowUp', 38),
    'Down': ('ArrowDown', 'ArrowDown', 40),
    'Left': ('ArrowLeft', 'ArrowLeft', 37),
    'Right': ('ArrowRight', 'ArrowRight', 39),
    'Return': ('Enter', 'Enter', 13),
    'Escape': ('Escape', 'Escape', 27),
    'F5': ('F5', 'F5', 116),
    'Shift_L': ('Shift', 'ShiftLeft', 16),
}

# True once the program waits for a key with every key pressed taken: the page's queue is
# empty and the program sleeps in page_wait_key, after its last frame was shown.
WAITING = 'return Module.pageWake !== null && Module.pageKeys.length === 0'

# Counts the frames the page draws from now on, in window.drawn.
COUNT_FRAMES = '''window.drawn = 0;
const draw = WebGLRenderingContext.prototype.drawArrays;
WebGLRenderingContext.prototype.drawArrays = function(...args) {
  window.drawn += 1;
  return draw.apply(this, args);
};'''

# Calls back once the browser has shown 30 more animation frames.
AFTER_30_FRAMES = '''const done = arguments[arguments.length - 1];
let left = 30;
const next = () => (--left > 0 ? requestAnimationFrame(next) : done(window.drawn));
requestAnimationFrame(next);'''


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class Page:
    def __init__(self, index):
        handler = functools.partial(Quiet, directory=os.path.dirname(os.path.abspath(index)))
        self.server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        options = webdriver.ChromeOptions()
        options.binary_location = '/usr/bin/chromium'
        for argument in CHROMIUM:
            options.add_argument(argument)
        # chromedriver and the browser it starts in a process group of their own, which the
        # watcher kills once this process has ended.
        service = Service('/usr/bin/chromedriver', popen_kw={'start_new_session': True})
        self.driver = webdriver.Chrome(service=service, options=options)
        group = service.process.pid
        self.watcher = subprocess.Popen(
            ['sh', '-c', f'tail --pid={os.getpid()} -f /dev/null; kill -KILL -{group}'],
            start_new_session=True, stdin=subprocess.DEVNULL)
        self.driver.get(f'http://127.0.0.1:{self.server.server_port}/{os.path.basename(index)}')
        self.win = None

    def close(self):  # once; again does nothing
        if self.watcher.returncode is not None:
            return
        self.driver.quit()
        self.server.shutdown()
        self.server.server_close()
        self.watcher.kill()
        self.watcher.wait()

    def read(self):  # the console's text on the page
        return self.driver.execute_script("return document.getElementById('console').textContent")

    def key(self, name):
        """One key down and up, by the names press takes, or any one character."""
        if name in NAMED:
            key, code, number = NAMED[name]
            down = {'type': 'rawKeyDown', 'key': key, 'code': code, 'windowsVirtualKeyCode': number}
        else:
            down = {'type': 'keyDown', 'key': name, 'text': name}
            if name.isascii() and name.isalnum():
                down['code'] = ('Digit' if name.isdigit() else 'Key') + name.upper()
                down['windowsVirtualKeyCode'] = ord(name.upper())
        self.driver.execute_cdp_cmd('Input.dispatchKeyEvent', down)
        up = {k: v for k, v in down.items() if k != 'text'}
        up['type'] = 'keyUp'
        self.driver.execute_cdp_cmd('Input.dispatchKeyEvent', up)

    def press(self, *keys):
        for name in keys:
            self.key(name)

    def wait_reading(self):
        return until(lambda: self.driver.execute_script(WAITING))

    def window(self, timeout=60.0):
        def shown():
            found = self.driver.find_elements('id', 'window')
            return found[0] if found else None
        self.win = until(shown, timeout)
        return self.win

    def picture(self):
        shot = Image.open(io.BytesIO(self.win.screenshot_as_png)).convert('RGB')
        return shot

    def settled(self):
        """The picture once the program waits with every key handled, twice the same."""
        last = [None]

        def same():
            shot = self.picture() if self.driver.execute_script(WAITING) else None
            before = last[0]
            last[0] = shot
            return shot is not None and shot == before and shot
        return until(same)

    def count_frames(self):
        self.driver.execute_script(COUNT_FRAMES)

    def frames_over_30_more(self):  # the frames drawn since count_frames, 30 frames later
        return self.driver.execute_async_script(AFTER_30_FRAMES)
