"""The web page's local server and headless Chromium, shared by the browser cases
(tests/web) and the page's measurements in bench/."""

import functools
import http.server
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service as ChromeService


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    """Serves files without a log line per request; wasm and scripts with their types."""
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript"}

    def log_message(self, *args):
        pass


def ServeFolder(folder):
    """A server of the folder on 127.0.0.1 at a free port, in a thread of its own; the
    caller ends it with shutdown()."""
    handler = functools.partial(QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


# A phone held upright: its screen in CSS pixels, three device pixels to each, a touch
# screen (Chromium's mobile emulation).
Phone = {"width": 390, "height": 844, "pixelRatio": 3, "touch": True}


def HeadlessChromium(*arguments, browser_log=False, phone=None):
    """Headless Chromium with the given extra arguments; with browser_log, what the page
    writes to its console can be read through get_log("browser"); with phone (device
    metrics such as Phone), Chromium is that phone."""
    options = webdriver.ChromeOptions()
    for argument in ("--headless=new", "--no-sandbox") + arguments:
        options.add_argument(argument)
    if phone:
        options.add_experimental_option("mobileEmulation", {"deviceMetrics": phone})
    if browser_log:
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    # Debian's driver, named: newer Seleniums find none by themselves.
    return webdriver.Chrome(service=ChromeService("/usr/bin/chromedriver"), options=options)


def Tap(driver, element):
    """A finger's tap in the middle of the element (a touch screen's, as Phone has)."""
    x, y = driver.execute_script(
        "const r = arguments[0].getBoundingClientRect();"
        " return [r.left + r.width / 2, r.top + r.height / 2]", element)
    for kind, points in (("touchStart", [{"x": x, "y": y}]), ("touchEnd", [])):
        driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": points})
