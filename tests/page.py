"""tests/page.py -- the program on its page: the site served on 127.0.0.1 from a thread of the
test, opened in Debian's headless Chromium through chromedriver, keys as real key events through
the DevTools protocol, pictures of the canvas as the screen shows it. A watcher ends the browser
with the test, however the test ends. The same calls as harness.Program."""
import functools, http.server, io, os, subprocess, sys, threading
from PIL import Image
from selenium import webdriver
from selenium.webdriver.chrome.service import Service

sys.path.append(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'scripts'))
from waits import steady, until  # as the harness waits, without an X display

# Software WebGL that draws the same on every run; no network of its own.
CHROMIUM = ['--headless=new', '--no-sandbox', '--use-angle=swiftshader',
            '--enable-unsafe-swiftshader', '--disable-background-networking',
            '--disable-component-update', '--disable-sync', '--no-first-run',
            '--window-size=600,900']

# True once the program waits for a key with every key pressed taken: the page's queue is
# empty and the program sleeps in page_wait_key, after its last frame was shown.
WAITING = 'return Module.pageWake !== null && Module.pageKeys.length === 0'

# Counts the frames the page draws over the browser's next 30 animation frames.
FRAMES_IN_30 = '''const done = arguments[arguments.length - 1];
let drawn = 0, left = 30;
const draw = WebGLRenderingContext.prototype.drawArrays;
WebGLRenderingContext.prototype.drawArrays = function(...args) {
  drawn += 1;
  return draw.apply(this, args);
};
const next = () => (--left > 0 ? requestAnimationFrame(next) : done(drawn));
requestAnimationFrame(next);'''

# The canvas's size as drawn and as laid out, the page's title, and whether keys reach it.
CANVAS = '''const c = document.getElementById('window'), r = c.getBoundingClientRect();
return [c.width, c.height, r.width, r.height, document.title, document.activeElement === c];'''


class Page:
    def __init__(self, index, typed=b''):
        folder = os.path.dirname(os.path.abspath(index))
        handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=folder)
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
        self.press(*typed.decode())  # before the program reads

    def close(self):
        self.driver.quit()
        self.server.shutdown()
        self.server.server_close()
        self.watcher.kill()
        self.watcher.wait()

    def printed(self):  # the console's text on the page
        return self.driver.execute_script("return document.getElementById('console').textContent")

    def press(self, *keys):
        """Each key down and up: an arrow by its X name (Up...), any other by its key value."""
        for name in keys:
            key = f'Arrow{name}' if name in ('Up', 'Down', 'Left', 'Right') else name
            for kind in 'keyDown', 'keyUp':
                self.driver.execute_cdp_cmd('Input.dispatchKeyEvent', {'type': kind, 'key': key})

    send = press

    def waiting(self):
        return self.driver.execute_script(WAITING)

    def wait_reading(self):
        return until(self.waiting)

    def window(self, timeout=60.0):  # the canvas, or None
        found = until(lambda: self.driver.find_elements('id', 'window'), timeout)
        self.win = found[0] if found else None
        return self.win

    def canvas(self):
        return self.driver.execute_script(CANVAS)

    def picture(self):
        return Image.open(io.BytesIO(self.win.screenshot_as_png)).convert('RGB')

    def settled(self):  # the picture once the program waits with every key handled
        return steady(lambda: self.waiting() and self.picture())

    def frames_drawn_in_30(self):  # the frames the page draws in the next 30 the browser shows
        return self.driver.execute_async_script(FRAMES_IN_30)
