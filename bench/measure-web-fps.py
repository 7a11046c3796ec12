#!/usr/bin/env python3
"""The page's frame rate: serves build/web/driver on 127.0.0.1, answers No in headless
Chromium, lets the program run for the given seconds, types a key into the console panel
and prints the report.

Usage: measure-web-fps.py [SECONDS] [windowed|phone] [PAGE_FOLDER]
       (defaults 20, windowed, build/web/driver)

windowed: a 1024 x 768 desktop window, the answer clicked and the key typed as from a
keyboard. phone: Chromium as a phone held upright (390 x 844 CSS pixels, three device
pixels to each, a touch screen), the answer tapped and the letter typed by the on-screen
keyboard into the panel's field.
"""
import os
import sys
import time

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
from e2e import webpage  # noqa: E402 (found through the path above)


def main():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 20
    mode = sys.argv[2] if len(sys.argv) > 2 else "windowed"
    folder = sys.argv[3] if len(sys.argv) > 3 else "build/web/driver"
    if mode not in ("windowed", "phone"):
        sys.exit(__doc__)
    phone = mode == "phone"
    server = webpage.ServeFolder(folder)
    driver = webpage.HeadlessChromium("--window-size=1024,768",
                                      phone=webpage.Phone if phone else None)
    try:
        driver.get("http://127.0.0.1:%d/index.html" % server.server_port)
        while not driver.find_elements(By.CSS_SELECTOR, "#box-buttons button"):
            time.sleep(0.05)
        no = driver.find_elements(By.CSS_SELECTOR, "#box-buttons button")[1]
        if phone:
            webpage.Tap(driver, no)
        else:
            no.click()
        time.sleep(seconds)
        panel = driver.find_element(By.ID, "console")
        if phone:
            webpage.Tap(driver, panel)
            driver.execute_cdp_cmd("Input.insertText", {"text": "x"})
        else:
            driver.execute_script("arguments[0].focus()", panel)
            ActionChains(driver).send_keys("x").perform()
        while driver.execute_script("return document.getElementById('end').hidden"):
            time.sleep(0.05)
        print(panel.text.strip())
    finally:
        driver.quit()
        server.shutdown()


if __name__ == "__main__":
    main()
