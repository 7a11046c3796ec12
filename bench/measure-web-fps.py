#!/usr/bin/env python3
"""The page's frame rate: serves build/web/driver on 127.0.0.1, answers No in headless
Chromium, lets the program run for the given seconds, types a key into the console panel
and prints the report.

Usage: measure-web-fps.py [SECONDS] [PAGE_FOLDER]   (defaults 20, build/web/driver)
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
    folder = sys.argv[2] if len(sys.argv) > 2 else "build/web/driver"
    server = webpage.ServeFolder(folder)
    driver = webpage.HeadlessChromium("--window-size=1024,768")
    try:
        driver.get("http://127.0.0.1:%d/index.html" % server.server_port)
        while not driver.find_elements(By.CSS_SELECTOR, "#box-buttons button"):
            time.sleep(0.05)
        driver.find_elements(By.CSS_SELECTOR, "#box-buttons button")[1].click()  # No
        time.sleep(seconds)
        panel = driver.find_element(By.ID, "console")
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
