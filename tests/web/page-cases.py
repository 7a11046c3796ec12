#!/usr/bin/env python3
"""The page in headless Chromium: the start-up question, the canvas's frames against
bumpframe's, the console panel, Escape, Cancel and a failure box, the page's look after a
run and the run again, served from a path of its own on 127.0.0.1. Any error in the
browser's console fails the run.

Usage: page-cases.py PAGE_FOLDER BUMPFRAME
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
from selenium.webdriver.common.keys import Keys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from e2e import webpage  # noqa: E402 (found through the path above)

WIDTH, HEIGHT = 320, 200
REFERENCE_FRAMES = 400  # frames 1..400: twenty seconds at 20 frames a second
REPORT = re.compile(r"\n\nBENCHMARK: (\d+\.\d\d) FPS\n")

# The canvas as 320 x 200 RGB bytes (base64), with the whole factor it is drawn at and
# whether every pixel is a uniform block of that factor; null while no window shows.
READ_CANVAS = """
const c = document.getElementById('canvas');
if (document.getElementById('window').hidden) return null;
const k = c.width / 320;
if (!Number.isInteger(k) || c.height !== 200 * k) return [k, false, ''];
const d = new Uint32Array(c.getContext('2d').getImageData(0, 0, c.width, c.height).data.buffer);
let uniform = true, s = '';
for (let y = 0; y < 200; ++y)
  for (let x = 0; x < 320; ++x) {
    const p = d[y * k * c.width + x * k];
    s += String.fromCharCode(p & 255, (p >>> 8) & 255, (p >>> 16) & 255);
    for (let dy = 0; dy < k; ++dy)
      for (let dx = 0; dx < k; ++dx)
        if (d[(y * k + dy) * c.width + x * k + dx] !== p) uniform = false;
  }
return [k, uniform, btoa(s)];
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
    def __init__(self, address):
        self.address = address
        self.driver = webpage.HeadlessChromium("--window-size=1024,768", "--disable-gpu",
                                               "--disable-dev-shm-usage", browser_log=True)
        self.errors = []

    def Open(self, query=""):
        self.driver.get(self.address + query)
        self.WaitFor("return !document.getElementById('box-back').hidden"
                     " || !document.getElementById('end').hidden")

    def WaitFor(self, script, timeout=20):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            result = self.driver.execute_script(script)
            if result:
                return result
            time.sleep(0.05)
        raise AssertionError("timed out waiting for: " + script)

    def Text(self, element_id):
        return self.driver.execute_script(
            "return document.getElementById(arguments[0]).textContent", element_id)

    def Box(self):
        return (self.Text("box-title"), self.Text("box-text"),
                [b.text for b in self.driver.find_elements(By.CSS_SELECTOR, "#box-buttons button")])

    def Click(self, label):
        for button in self.driver.find_elements(By.CSS_SELECTOR, "#box-buttons button"):
            if button.text == label:
                button.click()
                return
        raise AssertionError("no button " + label)

    def Keys(self, element_id, *keys):
        """Focuses the element (whatever covers it) and types the keys."""
        element = self.driver.find_element(By.ID, element_id)
        self.driver.execute_script("arguments[0].focus()", element)
        ActionChains(self.driver).send_keys(*keys).perform()

    def Ended(self, timeout=20):
        self.WaitFor("return !document.getElementById('end').hidden", timeout)
        match = re.search(r"Exit code (-?\d+)\.", self.Text("end-text"))
        return int(match.group(1))

    def Canvas(self):
        return self.driver.execute_script(READ_CANVAS)

    def CheckLog(self):
        for entry in self.driver.get_log("browser"):
            if entry["level"] == "SEVERE":
                self.errors.append(entry["message"])


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
    last = page.driver.execute_script("return window.BumpTestLastFrame")
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
    look = page.driver.execute_script(READ_LOOK)
    assert look == OrdinaryLook, f"{when}: the page looks {look}"
    for size in ((1000, 740), (1024, 768)):
        page.driver.set_window_size(*size)
        page.WaitFor("return window.innerWidth %s 1010" % ("<" if size[0] == 1000 else ">"))
        look = page.driver.execute_script(READ_LOOK)
        assert look == OrdinaryLook, f"{when}, at {size}: the page looks {look}"


def CaseWindowed(page, references, digests):
    page.Open()
    assert page.Box() == ("Do you want...", "Fullscreen?", ["Yes", "No", "Cancel"]), page.Box()
    page.Click("No")
    page.WaitFor("return !document.getElementById('window').hidden")
    SeeTwoFrames(page, references, 1)
    # A modifier key alone in the console panel is no key press.
    page.Keys("console", Keys.SHIFT)
    page.Keys("console", Keys.CONTROL)
    time.sleep(0.5)
    assert page.Text("end") and page.driver.execute_script(
        "return document.getElementById('end').hidden"), "a modifier key alone ended the run"
    page.Keys("console", "x")
    assert page.Ended() == 0
    LastFrameShown(page, digests, 1)
    report = REPORT.fullmatch(page.Text("console"))
    assert report, repr(page.Text("console"))
    assert 0 < float(report.group(1)) <= 20, report.group(1)
    # Keys and clicks after the end change nothing.
    page.Keys("console", "y", Keys.ESCAPE)
    page.driver.find_element(By.ID, "canvas").click()
    assert REPORT.fullmatch(page.Text("console"))


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
    page.Keys("console", Keys.ENTER)
    assert page.Ended() == 0
    # The ordinary look, the last frame at its own size in the window.
    CheckOrdinaryLook(page, "after the run")
    LastFrameShown(page, digests, 1)
    assert REPORT.fullmatch(page.Text("console")), repr(page.Text("console"))
    # Run again: the question, on the ordinary page.
    page.driver.find_element(By.ID, "again").click()
    page.WaitFor("return !document.getElementById('box-back').hidden")
    assert page.Box()[1] == "Fullscreen?"
    CheckOrdinaryLook(page, "at the question of the run again")


def CaseFullScreenEscape(page, references):
    StartFullScreen(page, references)
    page.Keys("canvas", Keys.ESCAPE)
    assert page.Ended() == 0
    CheckOrdinaryLook(page, "after Escape")
    assert page.driver.execute_script("return document.getElementById('window').hidden")


def CaseEscapeOnCanvas(page, references):
    page.Open()
    page.Keys("console", "a")  # typed before the question is answered
    page.Click("No")
    page.WaitFor("return !document.getElementById('window').hidden")
    SeeTwoFrames(page, references, 1)
    page.Keys("canvas", Keys.ESCAPE)
    assert page.Ended() == 0
    assert "BENCHMARK" not in page.Text("console")
    assert page.driver.execute_script("return document.getElementById('window').hidden")


def CaseCancel(page, answer):
    page.Open()
    answer(page)
    assert page.Ended() == 0
    assert page.driver.execute_script("return document.getElementById('window').hidden")
    assert page.Canvas() is None and page.Text("console") == ""
    # Run again: a clean run, with its question.
    page.driver.find_element(By.ID, "again").click()
    page.WaitFor("return !document.getElementById('box-back').hidden")
    assert page.Box()[1] == "Fullscreen?"


def CaseFailure(page, answer):
    """A failure box, answered by ANSWER(page): it ends the run with exit code 1."""
    page.Open("?fail=IDirectDraw4::CreateClipper")
    page.Click("No")
    page.WaitFor("return !document.getElementById('box-back').hidden"
                 " && document.getElementById('box-text').textContent !== 'Fullscreen?'")
    assert page.Box() == ("Error", "CreateClipper FAILED", ["OK"]), page.Box()
    answer(page)
    assert page.Ended() == 1, "a failure box ends the run with exit code 1"
    assert "BENCHMARK" not in page.Text("console")


def main():
    page_folder, bumpframe = sys.argv[1], sys.argv[2]
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
         lambda p: CaseCancel(p, lambda q: q.Keys("box-back", Keys.ESCAPE))),
        ("failure box: OK", lambda p: CaseFailure(p, lambda q: q.Click("OK"))),
        # Escape answers a box whose only button is OK, as on Windows.
        ("failure box: Escape",
         lambda p: CaseFailure(p, lambda q: q.Keys("box-back", Keys.ESCAPE))),
    ]
    failed = 0
    page = Page(address)
    try:
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
    finally:
        page.driver.quit()
        server.shutdown()
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
