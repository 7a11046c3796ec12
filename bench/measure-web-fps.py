#!/usr/bin/env python3
"""The page's frame rate in each browser engine: serves build/web/driver on 127.0.0.1,
answers No, lets the program run for the given seconds, types a key into the console panel
and prints the report. Beside it: the time of the first frame (the program's timed run
counts it), the rate from the twentieth frame on, the mean time the page took to put a
frame on its canvas, how late the program's timed waits were woken on average, and the
processor time the browser's processes used (all their threads, and those of software
OpenGL).

Usage: measure-web-fps.py [SECONDS] [all|chromium|firefox|webkit|phone] [PAGE_FOLDER]
       (defaults 20, all, build/web/driver)

chromium, firefox, webkit: a 1024 x 768 desktop page in that engine (headless Chromium,
headless Firefox ESR, WebKitGTK's MiniBrowser on an Xvfb screen), the answer clicked and
the key typed as from a keyboard; all: the three, one after another. phone: Chromium as a
phone held upright (390 x 844 CSS pixels, three device pixels to each, a touch screen), the
answer tapped and the letter typed by the on-screen keyboard into the panel's field.
Firefox's puppeteer-core is installed into build/web/node when it is not there yet.
"""
import os
import sys
import time

from selenium.webdriver.common.by import By

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
from e2e import webpage  # noqa: E402 (found through the path above)

# The time of each call of the page's drawing, and how late each timer of 10 ms or more
# (the program's waits) fires, kept in the page.
TIME_DRAWING = """
const draw = BumpPage.draw, setTimer = window.setTimeout;
window.DrawStarts = [];
window.DrawTimes = [];
window.Lateness = [];
BumpPage.draw = (...frame) => {
  const start = performance.now();
  draw(...frame);
  DrawStarts.push(start);
  DrawTimes.push(performance.now() - start);
};
window.setTimeout = (call, milliseconds, ...rest) => {
  const start = performance.now();
  return setTimer(() => {
    if (milliseconds >= 10) Lateness.push(performance.now() - start - milliseconds);
    call();
  }, milliseconds, ...rest);
};
"""
# Means (Firefox's and WebKit's clocks count whole milliseconds to a page), the first
# frame's time (from the black window, the first drawing, to the frame) and the rate from
# the twentieth frame on.
MEANS = """
const mean = (t) => t.reduce((sum, x) => sum + x, 0) / t.length, d = DrawStarts;
return [mean(DrawTimes), mean(Lateness), d[1] - d[0],
        1000 * (d.length - 21) / (d[d.length - 1] - d[20])];
"""


def Descendants(pid):
    """The process and every process it started, at any depth."""
    children = {}
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/stat" % entry) as stat:
                parent = int(stat.read().rsplit(")", 1)[1].split()[1])
        except (OSError, ValueError, IndexError):
            continue
        children.setdefault(parent, []).append(int(entry))
    found, pending = [], [pid]
    while pending:
        found.append(pending.pop())
        pending += children.get(found[-1], [])
    return found


def CpuSeconds(pids):
    """Processor time used so far by the processes' threads: all of it, and that of
    software OpenGL's threads (Mesa's llvmpipe, which composites where there is no GPU)."""
    total = rendering = 0.0
    for pid in pids:
        try:
            threads = os.listdir("/proc/%d/task" % pid)
        except OSError:
            continue
        for thread in threads:
            try:
                with open("/proc/%d/task/%s/stat" % (pid, thread)) as stat:
                    name, fields = stat.read().rsplit(")", 1)
            except OSError:
                continue
            seconds = sum(int(f) for f in fields.split()[11:13]) / os.sysconf("SC_CLK_TCK")
            total += seconds
            rendering += seconds if "llvmpipe" in name else 0
    return total, rendering


BUTTONS_UP = "return document.querySelectorAll('#box-buttons button').length > 0"


def WaitFor(browser, script):
    while not browser.Run(script):
        time.sleep(0.05)


def Measure(engine, seconds, folder, phone):
    """One run in the engine: its report, the mean drawing time and the timer's mean
    lateness, the first frame's time and the rate from the twentieth frame on, and the
    processor time the browser used in each 50 ms (all, and software
    OpenGL's), in ms."""
    server = webpage.ServeFolder(folder)
    browser = webpage.StartBrowser(engine, node_folder="build/web/node",
                                   phone=webpage.Phone if phone else None)
    try:
        browser.Get("http://127.0.0.1:%d/index.html" % server.server_port)
        WaitFor(browser, BUTTONS_UP)
        browser.Run(TIME_DRAWING)
        if phone:
            driver = browser.driver
            webpage.Tap(driver, driver.find_elements(By.CSS_SELECTOR, "#box-buttons button")[1])
        else:
            browser.Click("#box-buttons button:nth-child(2)")
        pids = Descendants(os.getpid())
        used, started = CpuSeconds(pids), time.monotonic()
        time.sleep(seconds)
        used = [(after - before) * 1000 / ((time.monotonic() - started) * 20)
                for after, before in zip(CpuSeconds(pids), used)]
        if phone:
            webpage.Tap(driver, driver.find_element(By.ID, "console"))
            driver.execute_cdp_cmd("Input.insertText", {"text": "x"})
        else:
            browser.Run("document.getElementById('console').focus()")
            browser.Type("x")
        WaitFor(browser, "return !document.getElementById('end').hidden")
        report = browser.Run("return document.getElementById('console').textContent").strip()
        return [report] + browser.Run(MEANS) + used
    finally:
        browser.Quit()
        server.shutdown()


def main():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 20
    mode = sys.argv[2] if len(sys.argv) > 2 else "all"
    folder = sys.argv[3] if len(sys.argv) > 3 else "build/web/driver"
    engines = {"all": webpage.Engines, "phone": ["chromium"]}.get(mode, [mode])
    if not set(engines) <= set(webpage.Engines):
        sys.exit(__doc__)
    for engine in engines:
        report, drawing, late, first, steady, used, rendering = Measure(
            engine, seconds, folder, mode == "phone")
        print("%-8s %s; the first frame %.0f ms, from the twentieth on %.2f FPS; drawing"
              " %.2f ms a frame, the wait's timer %.2f ms late; the browser used %.1f ms of"
              " processor time each 50 ms, %.1f ms of it in software OpenGL"
              % (engine, report, first, steady, drawing, late, used, rendering), flush=True)


if __name__ == "__main__":
    main()
