#!/usr/bin/env python3
"""The shading kernels in headless Chromium: builds bench/WebShadeTiming.cpp with the
page's settings (-Oz, the SSE2 kernel for WebAssembly SIMD) into a temporary folder,
serves it on 127.0.0.1 and prints what the page writes to the console.

Usage: bench/measure-web-shading.py   (from the source tree; needs em++ and chromium)
"""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
from e2e import webpage  # noqa: E402 (found through the path above)


SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def main():
    folder = tempfile.mkdtemp(prefix="web-shading-")
    effect = os.path.join(SOURCE, "effect")
    subprocess.run(
        ["em++", "-std=c++17", "-Oz", "-msimd128", "-msse2", "-DSSE2_KERNEL=",
         "-I" + effect, "-I" + os.path.join(SOURCE, "video"),
         "-I" + os.path.join(SOURCE, "runtime"),
         os.path.join(SOURCE, "bench", "WebShadeTiming.cpp"),
         os.path.join(effect, "ShadePixels.cpp"), os.path.join(effect, "ShadePixelsSse2.cpp"),
         "-o", os.path.join(folder, "timing.js")],
        check=True, env={**os.environ, "NODE_PATH": "/usr/share/nodejs"})
    with open(os.path.join(folder, "index.html"), "w") as page:
        page.write('<!doctype html><script src="timing.js"></script>\n')
    server = webpage.ServeFolder(folder)
    driver = webpage.HeadlessChromium(browser_log=True)
    try:
        driver.get("http://127.0.0.1:%d/index.html" % server.server_port)
        lines = []
        deadline = time.time() + 300
        while not any("pixels" in line for line in lines) and time.time() < deadline:
            lines += [entry["message"].split('"')[1] for entry in driver.get_log("browser")
                      if '"' in entry["message"]]
            time.sleep(0.1)
        print("\n".join(lines))
        return 0 if any("pixels identical" in line for line in lines) else 1
    finally:
        driver.quit()
        server.shutdown()


if __name__ == "__main__":
    sys.exit(main())
