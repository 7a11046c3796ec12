#!/usr/bin/env python3
"""The page's frame rate: serves build/web/driver on 127.0.0.1, answers No in headless
Chromium, lets the program run for the given seconds, types a key into the console panel
and prints the report.

Usage: measure-web-fps.py [SECONDS] [PAGE_FOLDER]   (defaults 20, build/web/driver)
"""
import functools
import http.server
import sys
import threading
import time

from selenium import webdriver
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm"}

    def log_message(self, *args):
        pass


def main():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 20
    folder = sys.argv[2] if len(sys.argv) > 2 else "build/web/driver"
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(QuietHandler, directory=folder))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    options = webdriver.ChromeOptions()
    for argument in ("--headless=new", "--no-sandbox", "--window-size=1024,768"):
        options.add_argument(argument)
    driver = webdriver.Chrome(options=options)
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
