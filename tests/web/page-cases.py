#!/usr/bin/env python3
"""The page in a browser engine (chromium, firefox or webkit): the start-up question, the
canvas's frames against bumpframe's, the console panel, Escape, Cancel and a failure box,
the page's look after a run and the run again, a run with the keyboard alone, served from
a path of its own on 127.0.0.1; then, in Chromium alone (through its DevTools protocol),
what a screen reader is told, the page installed and run again offline, a browser without
WebAssembly SIMD, a phone (taps and an on-screen keyboard, upright and turned) and a
desktop scaled by 1.25, 1.5 and 2.625. Any error in the browser's console fails the run.

Usage: page-cases.py ENGINE PAGE_FOLDER BUMPFRAME [NODE_FOLDER]
       (NODE_FOLDER: where firefox's puppeteer-core is installed)
"""
import base64
import hashlib
import os
import re
import subprocess
import sys
import tempfile
import time

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from e2e import webpage  # noqa: E402 (found through the path above)

WIDTH, HEIGHT = 320, 200
REFERENCE_FRAMES = 400  # frames 1..400: twenty seconds at 20 frames a second
REPORT = re.compile(r"\n\nBENCHMARK: (\d+\.\d\d) FPS\n")
# Both hold false while a page that "Run again" loads has no such element yet.
BOX_SHOWN = "return !!document.getElementById('box')?.open"
ENDED = "return document.getElementById('end')?.hidden === false"

# 320 x 200 blocks of k x k pixels (RGBA bytes, rows of the given length, from the
# given corner) as [k, whether every block is uniform, the blocks' RGB bytes in base64].
READ_BLOCKS = """
function ReadBlocks(rgba, rowLength, left, top, k) {
  const d = new Uint32Array(rgba.buffer);
  let uniform = true, s = '';
  for (let y = 0; y < 200; ++y)
    for (let x = 0; x < 320; ++x) {
      const at = (top + y * k) * rowLength + left + x * k, p = d[at];
      s += String.fromCharCode(p & 255, (p >>> 8) & 255, (p >>> 16) & 255);
      for (let dy = 0; dy < k; ++dy)
        for (let dx = 0; dx < k; ++dx)
          if (d[at + dy * rowLength + dx] !== p) uniform = false;
    }
  return [k, uniform, btoa(s)];
}
"""

# The canvas as 320 x 200 RGB bytes, with the whole factor it is drawn at and whether
# every pixel is a uniform block of that factor (the canvas may have a few pixels more
# than the blocks, for a size the page's layout holds exactly); null while no window
# shows.
READ_CANVAS = READ_BLOCKS + """
const c = document.getElementById('canvas');
if (document.getElementById('window').hidden) return null;
const k = Math.floor(c.width / 320);
if (k < 1 || Math.floor(c.height / 200) !== k) return [c.width / 320, false, ''];
return ReadBlocks(c.getContext('2d').getImageData(0, 0, c.width, c.height).data, c.width, 0, 0, k);
"""

# The same of the screen's device pixels where the canvas shows, from a screenshot (a PNG
# data address): blocks of the canvas's factor where the screen shows each canvas pixel
# on one device pixel.
READ_SCREEN = READ_BLOCKS + """
const [address, done] = arguments;
const c = document.getElementById('canvas'), r = c.getBoundingClientRect();
const image = new Image();
image.onload = () => {
  const screen = new OffscreenCanvas(image.width, image.height).getContext('2d');
  screen.drawImage(image, 0, 0);
  done(ReadBlocks(screen.getImageData(0, 0, image.width, image.height).data, image.width,
                  Math.round(r.left * devicePixelRatio), Math.round(r.top * devicePixelRatio),
                  Math.floor(c.width / 320)));
};
image.src = address;
"""


def ReferenceFrames(bumpframe):
    """Frame time by the SHA-256 of its RGB bytes, for the first frames of a run (the
    light's path repeats, so a picture gives its last time), and the SHA-256 by time."""
    frames, digests = {}, {}
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "frame.ppm")
        for time_ in range(1, REFERENCE_FRAMES + 1):
            subprocess.run([bumpframe, str(time_), path], check=True)
            with open(path, "rb") as file:
                data = file.read()
            pixels = data[len(data) - WIDTH * HEIGHT * 3:]
            digests[time_] = hashlib.sha256(pixels).hexdigest()
            frames[digests[time_]] = time_
    return frames, digests


class Page:
    def __init__(self, address, engine, node_folder=None, phone=None):
        self.address = address
        self.browser = webpage.StartBrowser(engine, node_folder=node_folder, phone=phone)
        self.driver = getattr(self.browser, "driver", None)  # Chromium's DevTools protocol
        self.Run = self.browser.Run
        self.errors = []

    def Open(self, query=""):
        self.browser.Get(self.address + query)
        self.WaitFor(BOX_SHOWN + " || document.getElementById('end')?.hidden === false")

    def WaitFor(self, script, timeout=20):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            result = self.Run(script)
            if result:
                return result
            time.sleep(0.05)
        raise AssertionError("timed out waiting for: " + script)

    def Text(self, element_id):
        return self.Run("return document.getElementById(arguments[0]).textContent", element_id)

    def Box(self):
        return (self.Text("box-title"), self.Text("box-text"), self.Run(
            "return [...document.querySelectorAll('#box-buttons button')].map(b => b.textContent)"))

    def Click(self, label, tap=False):
        """Clicks the box's button, or taps it with a finger (Chromium)."""
        if label not in self.Box()[2]:
            raise AssertionError("no button " + label)
        button = "#box-buttons button:nth-child(%d)" % (self.Box()[2].index(label) + 1)
        if tap:
            return webpage.Tap(self.driver, self.driver.find_element(By.CSS_SELECTOR, button))
        self.browser.Click(button)

    def Keys(self, element_id, *keys):
        """Focuses the element (whatever covers it) and types the keys (characters, or
        names such as "Escape", webpage.SeleniumKeys)."""
        self.Run("document.getElementById(arguments[0]).focus()", element_id)
        self.browser.Type(*keys)

    def PressKeys(self, *keys, shift=False):
        """Types the keys into whatever has the focus, with Shift held if asked."""
        self.browser.Type(*[("Shift+" if shift else "") + key for key in keys])

    def Focused(self):
        """What has the focus: its id, or a button's label; and whether the focus shows
        (an outline round it, or round the window for the canvas)."""
        return self.Run(
            "const e = document.activeElement, shown = e.id === 'canvas' ? e.parentElement : e;"
            " return [e.id || e.textContent, getComputedStyle(shown).outlineStyle !== 'none']")

    def Ended(self, timeout=20):
        self.WaitFor(ENDED, timeout)
        match = re.search(r"Exit code (-?\d+)\.", self.Text("end-text"))
        return int(match.group(1))

    def Canvas(self):
        return self.Run(READ_CANVAS)

    def CheckLog(self):
        self.errors += self.browser.Errors()


def SeeTwoFrames(page, references, factor):
    """Reads the canvas until two different frames of the effect were seen; every
    picture read must be one of them, exactly, at the expected whole factor, but for the
    black window before the first frame."""
    seen = set()
    deadline = time.monotonic() + 20
    while len(seen) < 2:
        assert time.monotonic() < deadline, "fewer than two frames seen"
        shown = page.Canvas()
        if shown is None:
            time.sleep(0.05)
            continue
        k, uniform, rgb = shown
        assert k == factor and uniform, f"canvas drawn at factor {k}, uniform {uniform}"
        pixels = base64.b64decode(rgb)
        if not seen and pixels.count(0) == len(pixels):
            continue
        digest = hashlib.sha256(pixels).hexdigest()
        assert digest in references, "the canvas shows a picture that is no frame of the effect"
        seen.add(references[digest])
        time.sleep(0.07)
    return seen


def LastFrameShown(page, digests, factor):
    """After a console key the canvas shows the frame the program presented last."""
    k, uniform, rgb = page.Canvas()
    assert k == factor and uniform, f"canvas drawn at factor {k}, uniform {uniform}"
    last = page.Run("return window.BumpTestLastFrame")
    assert hashlib.sha256(base64.b64decode(rgb)).hexdigest() == digests.get(last), \
        f"the canvas does not show the last frame presented ({last})"


# The page's look: whether the body is in its full-screen look, the body's background,
# whether the console's label shows, whether the browser is in full screen, the canvas's
# cursor.
READ_LOOK = """
const body = document.body;
return [body.classList.contains('fullscreen'), getComputedStyle(body).backgroundColor,
        getComputedStyle(document.getElementById('console-label')).display !== 'none',
        !!document.fullscreenElement, document.getElementById('canvas').style.cursor];
"""
OrdinaryLook = [False, "rgb(32, 36, 40)", True, False, ""]


def CheckOrdinaryLook(page, when):
    """The page looks as it does before a run, and keeps that look when the browser's
    window changes size (as it does when the browser leaves full screen)."""
    page.WaitFor("return !document.fullscreenElement")
    look = page.Run(READ_LOOK)
    assert look == OrdinaryLook, f"{when}: the page looks {look}"
    for size in ((1000, 740), (1024, 768)):
        page.browser.SetWindowSize(*size)
        page.WaitFor("return window.innerWidth %s 1010" % ("<" if size[0] == 1000 else ">"))
        look = page.Run(READ_LOOK)
        assert look == OrdinaryLook, f"{when}, at {size}: the page looks {look}"


def CaseWindowed(page, references, digests):
    page.Open()
    assert page.Box() == ("Do you want...", "Fullscreen?", ["Yes", "No", "Cancel"]), page.Box()
    page.Click("No")
    page.WaitFor("return !document.getElementById('window').hidden")
    SeeTwoFrames(page, references, 1)
    # A modifier key alone in the console panel is no key press.
    page.Keys("console", "Shift")
    page.Keys("console", "Control")
    time.sleep(0.5)
    assert not page.Run(ENDED), "a modifier key alone ended the run"
    page.Keys("console", "x")
    assert page.Ended() == 0
    LastFrameShown(page, digests, 1)
    report = REPORT.fullmatch(page.Text("console"))
    assert report, repr(page.Text("console"))
    assert 0 < float(report.group(1)) <= 20, report.group(1)
    # Keys and clicks after the end change nothing.
    page.Keys("console", "y", "Escape")
    page.browser.Click("#canvas")
    assert REPORT.fullmatch(page.Text("console"))


def CaseKeyboardOnly(page, references):
    """The keyboard alone, as in Windows' message box: Tab, Shift+Tab and the arrows move
    round the buttons, Return presses the focused one; Tab leaves the canvas for the
    console panel (and Shift+Tab comes back), a key there ends the run with the report,
    and the focus goes to "Run again". The focus shows all along."""
    page.Open()
    moves = [(("Tab",), False, "No"), (("Tab",), True, "Yes"),
             (("ArrowRight",) * 3, False, "Yes"), (("ArrowLeft",), False, "Cancel"),
             (("ArrowUp", "ArrowDown", "Tab"), False, "Yes"), (("ArrowDown",), False, "No")]
    assert page.Focused() == ["Yes", True], page.Focused()
    for keys, shift, expected in moves:
        page.PressKeys(*keys, shift=shift)
        assert page.Focused() == [expected, True], f"after {keys}: focus on {page.Focused()}"
    page.PressKeys("Enter")
    page.WaitFor("return !document.getElementById('window').hidden")
    assert not page.Run(BOX_SHOWN)
    page.WaitFor("return document.activeElement.id === 'canvas'")
    SeeTwoFrames(page, references, 1)  # No: the window, at its own size
    for shift, expected in ((False, "console"), (True, "canvas"), (False, "console")):
        page.PressKeys("Tab", shift=shift)
        assert page.Focused() == [expected, True], f"Tab: focus on {page.Focused()}"
    page.PressKeys("q")
    assert page.Ended() == 0
    assert REPORT.fullmatch(page.Text("console")), repr(page.Text("console"))
    assert page.Focused() == ["again", True], page.Focused()


def AxNodes(page):
    """Chromium's accessibility tree: the nodes a screen reader is given, each as its role,
    name, description and properties."""
    nodes = page.driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
    return [{"role": n.get("role", {}).get("value"), "name": n.get("name", {}).get("value"),
             "description": n.get("description", {}).get("value"),
             **{p["name"]: p["value"].get("value") for p in n.get("properties", [])}}
            for n in nodes if not n.get("ignored")]


def HasNode(nodes, **wanted):
    return any(all(node.get(key) == value for key, value in wanted.items()) for node in nodes)


def CaseAccessibility(page):
    """What a screen reader is told: the question a modal dialog named by its caption and
    described by its text, with nothing of the page behind it; the canvas named; the console
    a live log; a failure box an alert dialog."""
    page.Open()
    nodes = AxNodes(page)
    assert HasNode(nodes, role="dialog", name="Do you want...", description="Fullscreen?",
                   modal=True), [n for n in nodes if n["role"] in ("dialog", "alertdialog")]
    assert not HasNode(nodes, role="log"), "the console is reachable behind the question"
    page.Click("No")
    page.WaitFor("return !document.getElementById('window').hidden")
    nodes = AxNodes(page)
    canvas = [n for n in nodes if n["role"] == "image"]
    assert len(canvas) == 1 and canvas[0]["name"], f"the canvas: {canvas}"
    assert HasNode(nodes, role="log", live="polite"), [n for n in nodes if n["role"] == "log"]
    page.Keys("canvas", "Escape")
    page.Ended()

    def AlertThenOk(page):
        assert HasNode(AxNodes(page), role="alertdialog", name="Error",
                       description="CreateClipper FAILED", modal=True), "no alert dialog"
        page.Click("OK")
    CaseFailure(page, AlertThenOk)


def CaseInstalledOffline(page, references):
    """After one visit the page is installable and is kept by its service worker: with the
    network off it loads again and runs exact."""
    page.Open()
    page.WaitFor("return !!navigator.serviceWorker.controller")
    errors = page.driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})
    assert errors["installabilityErrors"] == [], errors
    page.driver.execute_cdp_cmd("Network.enable", {})
    # Nothing from the browser's HTTP cache either: only the worker's.
    page.driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
    try:
        page.driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
            "offline": True, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
        page.Open()
        page.Click("No")
        page.WaitFor("return !document.getElementById('window').hidden")
        SeeTwoFrames(page, references, 1)
        page.Keys("console", "x")
        assert page.Ended() == 0 and REPORT.fullmatch(page.Text("console"))
        assert page.Run("return !navigator.onLine"), "the network was on"
    finally:
        page.driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
            "offline": False, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
        page.driver.execute_cdp_cmd("Network.disable", {})


def CaseWithoutSimd(page):
    """A browser without WebAssembly, or without its SIMD: one plain sentence of what the
    page needs, and the program is not loaded (no abort of it shows)."""
    for missing in ("delete window.WebAssembly", "WebAssembly.validate = () => false"):
        script = page.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                             {"source": missing})
        try:
            page.driver.get(page.address)
            said = page.WaitFor("const u = document.getElementById('unsupported');"
                                " return !u.hidden && document.body.innerText")
            assert re.fullmatch(r"This page needs a browser with WebAssembly SIMD: Chrome 91,"
                                r" Firefox 89, Safari 16.4 or later.", said.strip()), \
                f"{missing}: the page says {said!r}"
            assert not page.Run(
                "return !!document.querySelector('script[src=\"bumpdemo.js\"]')")
        finally:
            page.driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument", script)


def StartFullScreen(page, references):
    """Yes at the question: the frames are shown enlarged by the largest whole factor that
    fits a 1024 x 768 window above the console panel."""
    page.Open()
    page.Click("Yes")
    page.WaitFor("return !document.getElementById('window').hidden")
    k = page.WaitFor("const c = document.getElementById('canvas'); return c.width / 320 > 1"
                     " && c.width / 320")
    SeeTwoFrames(page, references, k)


def CaseFullScreen(page, references, digests):
    StartFullScreen(page, references)
    page.Keys("console", "Enter")
    assert page.Ended() == 0
    # The ordinary look, the last frame at its own size in the window.
    CheckOrdinaryLook(page, "after the run")
    LastFrameShown(page, digests, 1)
    assert REPORT.fullmatch(page.Text("console")), repr(page.Text("console"))
    # Run again: the question, on the ordinary page.
    page.browser.Click("#again")
    page.WaitFor(BOX_SHOWN)
    assert page.Box()[1] == "Fullscreen?"
    CheckOrdinaryLook(page, "at the question of the run again")


def CaseFullScreenEscape(page, references):
    StartFullScreen(page, references)
    page.Keys("canvas", "Escape")
    assert page.Ended() == 0
    CheckOrdinaryLook(page, "after Escape")
    assert page.Run("return document.getElementById('window').hidden")


def CaseEscapeOnCanvas(page, references):
    page.Open()
    page.Keys("console", "a")  # typed before the question is answered
    page.Click("No")
    page.WaitFor("return !document.getElementById('window').hidden")
    SeeTwoFrames(page, references, 1)
    page.Keys("canvas", "Escape")
    assert page.Ended() == 0
    assert "BENCHMARK" not in page.Text("console")
    assert page.Run("return document.getElementById('window').hidden")


def CaseCancel(page, answer):
    page.Open()
    answer(page)
    assert page.Ended() == 0
    assert page.Run("return document.getElementById('window').hidden")
    assert page.Canvas() is None and page.Text("console") == ""
    # Run again: a clean run, with its question.
    page.browser.Click("#again")
    page.WaitFor(BOX_SHOWN)
    assert page.Box()[1] == "Fullscreen?"


def CaseFailure(page, answer):
    """A failure box, answered by ANSWER(page): it ends the run with exit code 1."""
    page.Open("?fail=IDirectDraw4::CreateClipper")
    page.Click("No")
    page.WaitFor(BOX_SHOWN + " && document.getElementById('box-text').textContent"
                 " !== 'Fullscreen?'")
    assert page.Box() == ("Error", "CreateClipper FAILED", ["OK"]), page.Box()
    answer(page)
    assert page.Ended() == 1, "a failure box ends the run with exit code 1"
    assert "BENCHMARK" not in page.Text("console")


# The layout as a phone shows it: the zoom, the page's width, the width it is laid out in
# and the width it scrolls to; the question's buttons' sizes.
READ_LAYOUT = """
return [visualViewport.scale, innerWidth, document.documentElement.clientWidth,
        document.documentElement.scrollWidth,
        [...document.querySelectorAll('#box-buttons button, #again')]
          .filter(b => b.offsetParent).map(b => [b.offsetWidth, b.offsetHeight])];
"""

# The canvas's CSS width and factor, the device pixels per CSS pixel, the viewport, and
# the height the page takes besides the canvas down to the console panel's end.
READ_PLACE = """
const c = document.getElementById('canvas'), r = c.getBoundingClientRect();
const end = document.getElementById('console').getBoundingClientRect().bottom + 8;
return {width: r.width, k: Math.floor(c.width / 320), ratio: devicePixelRatio,
        across: document.documentElement.clientWidth, down: innerHeight,
        besides: end - r.height};
"""


# The whole factor the window's canvas is drawn at.
CANVAS_FACTOR = "Math.floor(document.getElementById('canvas').width / 320)"


def CheckPhoneLayout(page, width, when, buttons_shown=False):
    """The page is laid out at the phone's width, not zoomed out, with no sideways scroll,
    and every button shown is big enough for a finger."""
    scale, inner, across, scroll, buttons = page.Run(READ_LAYOUT)
    assert (scale, inner, across) == (1, width, width), \
        f"{when}: zoom {scale}, laid out {inner} px wide in a {width} px screen"
    assert scroll <= across, f"{when}: the page scrolls sideways ({scroll} px in {across})"
    assert len(buttons) >= buttons_shown and all(w >= 44 and h >= 44 for w, h in buttons), \
        f"{when}: buttons {buttons}"


def CheckOnScreen(page, references, when):
    """The screen shows each frame pixel as an even block of the canvas's whole factor in
    device pixels: one of the effect's frames, exactly. Returns the place (READ_PLACE)."""
    place = page.Run(READ_PLACE)
    shot = page.driver.execute_cdp_cmd("Page.captureScreenshot", {"format": "png"})
    k, uniform, rgb = page.driver.execute_async_script(
        READ_SCREEN, "data:image/png;base64," + shot["data"])
    digest = hashlib.sha256(base64.b64decode(rgb)).hexdigest()
    assert uniform and digest in references, \
        f"{when}: the screen shows no frame in even blocks of {k} device pixels"
    return place


def LargestThatFits(place):
    """Whether the picture at its factor fits the screen with the console panel below it,
    and at the next factor does not."""
    def Fits(factor):
        across, down = factor * WIDTH / place["ratio"], factor * HEIGHT / place["ratio"]
        return across <= place["across"] and place["besides"] + down <= place["down"] + 0.01
    return Fits(place["k"]) and not Fits(place["k"] + 1)


# Counts the key presses the program takes from the console (key-down records).
COUNT_KEY_PRESSES = """
const next = BumpPage.nextConsoleRecord;
window.KeyPressesTaken = 0;
BumpPage.nextConsoleRecord = () => {
  const record = next();
  if (record >= 0 && (record >> 24)) ++window.KeyPressesTaken;
  return record;
};
"""


def EndsWithOneKey(page, type_key, when):
    """One key typed into the console panel ends the run with the report, taken by the
    program as one key press."""
    page.Run(COUNT_KEY_PRESSES)
    type_key()
    assert page.Ended() == 0, when
    assert REPORT.fullmatch(page.Text("console")), f"{when}: {page.Text('console')!r}"
    taken = page.Run("return window.KeyPressesTaken")
    assert taken == 1, f"{when}: one key taken as {taken} key presses"


def TypeOnScreen(page):
    """A tap on the console panel gives the keyboard's focus to a text field (a phone
    opens its on-screen keyboard then), and the keyboard types a letter."""
    webpage.Tap(page.driver, page.driver.find_element(By.ID, "console"))
    editable = page.Run(
        "const e = document.activeElement;"
        " return e.isContentEditable || ['TEXTAREA', 'INPUT'].includes(e.tagName)")
    assert editable, "a tap on the console panel gives no text field the focus"
    page.driver.execute_cdp_cmd("Input.insertText", {"text": "x"})


def Turn(page, upright):
    """The phone held upright or turned on its side."""
    width, height = (webpage.Phone["width"], webpage.Phone["height"])[::1 if upright else -1]
    page.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height, "deviceScaleFactor": webpage.Phone["pixelRatio"],
        "mobile": True, "screenOrientation": {"type": "portraitPrimary", "angle": 0} if upright
        else {"type": "landscapePrimary", "angle": 90}})
    # The screen turned, and the page laid out again for it.
    page.WaitFor("return screen.width === %d && innerHeight !== %d" % (width, width))
    return width


def CasePhoneUpright(page, references):
    page.Open()
    CheckPhoneLayout(page, webpage.Phone["width"], "at the question", True)
    page.Click("No", tap=True)
    page.WaitFor("return !document.getElementById('window').hidden")
    SeeTwoFrames(page, references, page.Run(
        "return " + CANVAS_FACTOR))
    place = CheckOnScreen(page, references, "windowed")
    assert place["width"] >= 0.8 * place["across"], f"the canvas is {place['width']} px wide"
    EndsWithOneKey(page, lambda: TypeOnScreen(page), "an on-screen keyboard's letter")
    CheckPhoneLayout(page, webpage.Phone["width"], "after the run", True)


def CasePhoneTurned(page, references):
    """On its side: the question, then Yes fills the screen; held upright again, the
    picture fits again."""
    try:
        page.Open()
        width = Turn(page, False)
        CheckPhoneLayout(page, width, "on its side, at the question", True)
        page.Click("Yes", tap=True)
        k = page.WaitFor("return document.body.classList.contains('fullscreen')"
                         " && " + CANVAS_FACTOR)
        SeeTwoFrames(page, references, k)
        place = CheckOnScreen(page, references, "full screen, on its side")
        assert LargestThatFits(place), f"on its side: {place}"
        Turn(page, True)
        page.WaitFor("return %s !== %d" % (CANVAS_FACTOR, place["k"]))
        place = CheckOnScreen(page, references, "full screen, upright again")
        assert LargestThatFits(place), f"upright again: {place}"
        EndsWithOneKey(page, lambda: TypeOnScreen(page), "an on-screen keyboard's letter")
    finally:
        Turn(page, True)


def CaseScaledDesktop(page, references):
    """A desktop browser scaled by the system or zoomed: the window's canvas at a whole
    factor of device pixels at each scale, as the scale changes during the run; a click
    on the console panel and a key end the run, the key taken once."""
    try:
        page.Open()
        page.Click("No")
        page.WaitFor("return !document.getElementById('window').hidden")
        # A desktop keeps the window about its own size: the nearest whole factor.
        for ratio, factor in ((1.25, 1), (1.5, 2), (2.625, 3)):
            page.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": 0, "height": 0, "deviceScaleFactor": ratio, "mobile": False})
            # The next frame sizes the canvas for the scale.
            page.WaitFor("const c = document.getElementById('canvas');"
                         " return devicePixelRatio === %s"
                         " && Math.abs(c.getBoundingClientRect().width * %s - c.width) < 0.1"
                         % (ratio, ratio))
            place = CheckOnScreen(page, references, f"at {ratio} device pixels a CSS pixel")
            assert place["k"] == factor, f"at {ratio}: the window at factor {place['k']}"

        def ClickAndType():
            panel = page.driver.find_element(By.ID, "console")
            ActionChains(page.driver).move_to_element(panel).click().send_keys("x").perform()
        EndsWithOneKey(page, ClickAndType, "a key after a click on the console panel")
    finally:
        page.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


def RunCases(page, cases):
    """Runs the cases on the page; the number that failed."""
    failed = 0
    for name, case in cases:
        try:
            case(page)
            page.CheckLog()
            if page.errors:
                raise AssertionError("browser console errors: %s" % page.errors)
            print("ok   " + name, flush=True)
        except Exception as error:  # one case's failure does not stop the others
            failed += 1
            page.errors = []
            print("FAIL %s: %s" % (name, error), flush=True)
    return failed


def main():
    if len(sys.argv) < 4 or sys.argv[1] not in webpage.Engines:
        sys.exit(__doc__)
    engine, page_folder, bumpframe = sys.argv[1:4]
    node_folder = sys.argv[4] if len(sys.argv) > 4 else None
    references, digests = ReferenceFrames(bumpframe)
    # Served from a folder below the root: the page must not need absolute addresses.
    root = os.path.dirname(os.path.abspath(page_folder))
    server = webpage.ServeFolder(root)
    address = "http://127.0.0.1:%d/%s/index.html" % (server.server_port,
                                                       os.path.basename(page_folder))
    cases = [
        ("No: frames and the report", lambda p: CaseWindowed(p, references, digests)),
        ("Yes: enlarged frames", lambda p: CaseFullScreen(p, references, digests)),
        ("Escape on the canvas", lambda p: CaseEscapeOnCanvas(p, references)),
        ("Yes, then Escape: the ordinary look", lambda p: CaseFullScreenEscape(p, references)),
        ("Cancel", lambda p: CaseCancel(p, lambda q: q.Click("Cancel"))),
        ("Escape at the question",
         lambda p: CaseCancel(p, lambda q: q.PressKeys("Escape"))),
        ("C at the question", lambda p: CaseCancel(p, lambda q: q.PressKeys("c"))),
        ("failure box: OK", lambda p: CaseFailure(p, lambda q: q.Click("OK"))),
        # Escape answers a box whose only button is OK, as on Windows.
        ("failure box: Escape",
         lambda p: CaseFailure(p, lambda q: q.PressKeys("Escape"))),
        ("failure box: Space", lambda p: CaseFailure(p, lambda q: q.PressKeys(" "))),
        ("the keyboard alone", lambda p: CaseKeyboardOnly(p, references)),
    ]
    # Through Chromium's DevTools protocol: its emulation of scales, phones and touch, its
    # accessibility tree, its network switched off, scripts run before the page's own.
    chromium_cases = [
        ("a desktop scaled by 1.25, 1.5 and 2.625", lambda p: CaseScaledDesktop(p, references)),
        ("the accessibility tree", CaseAccessibility),
        ("installable, and offline after one visit",
         lambda p: CaseInstalledOffline(p, references)),
        ("without WebAssembly SIMD: a plain word", CaseWithoutSimd),
    ]
    phone_cases = [
        ("phone, upright: taps, No, frames, the on-screen keyboard",
         lambda p: CasePhoneUpright(p, references)),
        ("phone, on its side: Yes fills the screen, and again upright",
         lambda p: CasePhoneTurned(p, references)),
    ]
    groups = [(None, cases)]
    if engine == "chromium":
        groups = [(None, cases + chromium_cases), (webpage.Phone, phone_cases)]
    failed = 0
    try:
        for phone, group in groups:
            page = Page(address, engine, node_folder, phone)
            try:
                print("in " + page.Run("return navigator.userAgent"), flush=True)
                failed += RunCases(page, group)
            finally:
                page.browser.Quit()
    finally:
        server.shutdown()
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
