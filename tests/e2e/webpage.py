"""The web page's local server and the three browser engines that open it (Chromium,
Firefox ESR, WebKitGTK), driven alike, shared by the browser cases (tests/web) and the
page's measurements in bench/.

Chromium and WebKitGTK are driven through Selenium (chromedriver, WebKitWebDriver);
Firefox through WebDriver BiDi by puppeteer-core in a small Node script of ours
(firefox-bridge.js), which this module starts and talks to over a pipe. puppeteer-core
comes from the npm registry at the version package-lock.json pins, installed with
`npm ci` into a folder the caller names (NodeModules).
"""

import fcntl
import functools
import http.server
import inspect
import json
import os
import shutil
import subprocess
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service as ChromeService
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.webkitgtk.service import Service as WebKitService

from . import xscreen

Engines = ("chromium", "firefox", "webkit")
Here = os.path.dirname(os.path.abspath(__file__))
MiniBrowser = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"


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
    # Debian's driver, named: newer Seleniums find none by themselves (so for WebKit).
    return webdriver.Chrome(service=ChromeService("/usr/bin/chromedriver"), options=options)


# Named keys, as the browsers' key events name them; any other key is one character.
# "Shift+Tab" holds Shift across Tab (any key may follow "Shift+").
SeleniumKeys = {"Escape": Keys.ESCAPE, "Enter": Keys.ENTER, "Tab": Keys.TAB,
                "Shift": Keys.SHIFT, "Control": Keys.CONTROL, "ArrowLeft": Keys.ARROW_LEFT,
                "ArrowRight": Keys.ARROW_RIGHT, "ArrowUp": Keys.ARROW_UP,
                "ArrowDown": Keys.ARROW_DOWN, "Backspace": Keys.BACKSPACE}


class SeleniumBrowser:
    """Chromium or WebKitGTK through Selenium; driver is Selenium's, for what only
    Chromium has (its DevTools protocol)."""

    def __init__(self, engine, driver, display=None):
        self.engine, self.driver, self.display = engine, driver, display

    def Get(self, address):
        self.driver.get(address)
        if self.engine == "webkit":
            # WebKitWebDriver keeps no console log: the page's errors from here on are
            # kept in the page.
            self.driver.execute_script(KEEP_ERRORS)

    def Run(self, script, *arguments):
        return self.driver.execute_script(script, *arguments)

    def RunAsync(self, script, *arguments):
        return self.driver.execute_async_script(script, *arguments)

    def Click(self, selector):
        """A mouse click in the middle of the element."""
        self.driver.find_element(By.CSS_SELECTOR, selector).click()

    def Type(self, *keys):
        """The keys pressed and released, one after another, into the focused element."""
        actions = ActionChains(self.driver)
        for key in keys:
            if key.startswith("Shift+"):
                actions.key_down(Keys.SHIFT).send_keys(SeleniumKeys.get(key[6:], key[6:]))
                actions.key_up(Keys.SHIFT)
            else:
                actions.send_keys(SeleniumKeys.get(key, key))
        actions.perform()

    def SetWindowSize(self, width, height):
        self.driver.set_window_size(width, height)

    def Errors(self):
        """The page's errors since the last call."""
        if self.engine == "webkit":
            return self.Run(TAKE_ERRORS) or []
        return [entry["message"] for entry in self.driver.get_log("browser")
                if entry["level"] == "SEVERE"]

    def Quit(self):
        self.driver.quit()
        if self.display:
            xscreen.Stop(self.display)


# The page's uncaught errors and console errors, kept in the page for TAKE_ERRORS.
KEEP_ERRORS = """
window.PageErrors = [];
addEventListener('error', (e) => PageErrors.push(String(e.message)));
addEventListener('unhandledrejection', (e) => PageErrors.push(String(e.reason)));
const error = console.error;
console.error = (...parts) => { PageErrors.push(parts.join(' ')); error(...parts); };
"""
TAKE_ERRORS = "return window.PageErrors ? PageErrors.splice(0) : []"


class FirefoxBrowser:
    """Firefox ESR through firefox-bridge.js: the same calls as SeleniumBrowser."""

    engine = "firefox"

    def __init__(self, node_modules, width, height):
        self.bridge = subprocess.Popen(
            ["node", os.path.join(Here, "firefox-bridge.js"), node_modules, str(width),
             str(height)], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.Answer()

    def Answer(self):
        line = self.bridge.stdout.readline()
        if not line:
            raise RuntimeError("the Firefox bridge ended")
        answer = json.loads(line)
        if "error" in answer:
            raise RuntimeError("Firefox: " + answer["error"])
        return answer["value"]

    def Call(self, command, *arguments):
        self.bridge.stdin.write(json.dumps({"command": command, "args": arguments}) + "\n")
        self.bridge.stdin.flush()
        return self.Answer()

    def Get(self, address):
        self.Call("get", address)

    def Run(self, script, *arguments):
        return self.Call("run", script, arguments)

    def RunAsync(self, script, *arguments):
        return self.Call("runAsync", script, arguments)

    def Click(self, selector):
        self.Call("click", selector)

    def Type(self, *keys):
        self.Call("type", keys)

    def SetWindowSize(self, width, height):
        self.Call("windowSize", width, height)

    def Errors(self):
        return self.Call("errors")

    def Quit(self):
        self.bridge.stdin.close()
        try:
            self.bridge.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.bridge.kill()
            self.bridge.wait()


def NodeModules(folder):
    """puppeteer-core as package-lock.json pins it, installed by `npm ci` into the folder
    (once for each lock file; later calls find it there); returns its node_modules."""
    os.makedirs(folder, exist_ok=True)
    lock = os.path.join(Here, "package-lock.json")
    installed = os.path.join(folder, "package-lock.json")
    with open(os.path.join(folder, ".lock"), "w") as guard:
        fcntl.flock(guard, fcntl.LOCK_EX)  # one install at a time into the folder
        current = os.path.exists(os.path.join(folder, "node_modules", ".package-lock.json"))
        if not (current and open(installed).read() == open(lock).read()):
            for name in ("package.json", "package-lock.json"):
                shutil.copyfile(os.path.join(Here, name), os.path.join(folder, name))
            subprocess.run(["npm", "ci", "--no-audit", "--no-fund", "--loglevel=error"],
                           cwd=folder, check=True, stdout=subprocess.DEVNULL)
    return os.path.join(folder, "node_modules")


def WebKitDriver(options):
    """Selenium's WebKitGTK driver on Debian's WebKitWebDriver, named: Selenium 4.8 takes
    its path, later ones a Service (and no longer look for the driver by themselves)."""
    driver = "/usr/bin/WebKitWebDriver"
    if "service" in inspect.signature(webdriver.WebKitGTK.__init__).parameters:
        return webdriver.WebKitGTK(service=WebKitService(driver), options=options)
    return webdriver.WebKitGTK(executable_path=driver, options=options)


def StartBrowser(engine, width=1024, height=768, node_folder=None, phone=None):
    """The engine's browser with a page of the given size in CSS pixels: headless
    Chromium (with phone, Chromium is that phone) or Firefox (puppeteer-core from
    NodeModules(node_folder)), WebKitGTK's MiniBrowser on an X screen of its own."""
    if engine == "chromium":
        return SeleniumBrowser(engine, HeadlessChromium(
            "--window-size=%d,%d" % (width, height), "--disable-gpu",
            "--disable-dev-shm-usage", browser_log=True, phone=phone))
    if engine == "firefox":
        return FirefoxBrowser(NodeModules(node_folder), width, height)
    if engine == "webkit":
        # WebKitWebDriver starts MiniBrowser with its own environment: the X screen's.
        display = xscreen.StartDisplay(width + 256, height + 256, 24, log=os.devnull)
        os.environ["DISPLAY"] = xscreen.Environment["DISPLAY"]
        options = webdriver.WebKitGTKOptions()
        options.binary_location = MiniBrowser
        options.add_argument("--automation")
        try:
            browser = SeleniumBrowser(engine, WebKitDriver(options), display)
        except Exception:
            xscreen.Stop(display)
            raise
        browser.SetWindowSize(width, height)
        return browser
    raise ValueError("no browser engine " + engine)


def Tap(driver, element):
    """A finger's tap in the middle of the element (a touch screen's, as Phone has)."""
    x, y = driver.execute_script(
        "const r = arguments[0].getBoundingClientRect();"
        " return [r.left + r.width / 2, r.top + r.height / 2]", element)
    for kind, points in (("touchStart", [{"x": x, "y": y}]), ("touchEnd", [])):
        driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": points})
