// Firefox ESR driven through WebDriver BiDi (puppeteer-core) for the Python harness
// (webpage.py): one JSON command a line on standard input, one JSON answer a line on
// standard output ({"value": ...} or {"error": "..."}), in order.
//
// Usage: node firefox-bridge.js NODE_MODULES WIDTH HEIGHT
"use strict";

const path = require("path");
const readline = require("readline");

const [nodeModules, width, height] = process.argv.slice(2);
const puppeteer = require(path.join(path.resolve(nodeModules), "puppeteer-core"));

let browser = null, page = null;
const errors = [];

// A script as WebDriver runs one: a function body that reads its arguments; an
// asynchronous one ends by calling its last argument.
function Run(script, args) {
  return page.evaluate((body, values) => Function(body).apply(null, values), script, args);
}
function RunAsync(script, args) {
  return page.evaluate((body, values) => new Promise((done) =>
    Function(body).apply(null, [...values, done])), script, args);
}

// Keys typed into the focused element: "Shift+Tab" holds Shift across Tab.
async function Type(keys) {
  for (const key of keys) {
    const [modifier, pressed] = key.length > 1 && key.includes("+") ? key.split("+") : [null, key];
    if (modifier) await page.keyboard.down(modifier);
    await page.keyboard.press(pressed);
    if (modifier) await page.keyboard.up(modifier);
  }
}

const Commands = {
  get: (address) => page.goto(address).then(() => null),
  run: Run,
  runAsync: RunAsync,
  click: (selector) => page.click(selector).then(() => null),
  type: Type,
  windowSize: (across, down) => page.setViewport({ width: across, height: down }).then(() => null),
  errors: () => errors.splice(0),
};

async function Start() {
  browser = await puppeteer.launch({
    browser: "firefox", protocol: "webDriverBiDi", executablePath: "/usr/bin/firefox-esr",
    headless: true, defaultViewport: { width: Number(width), height: Number(height) },
  });
  // A page of its own, brought to the front: its window has the focus, as a person's
  // browser has (:focus applies); the first tab's never gets it.
  page = await browser.newPage();
  await page.bringToFront();
  page.on("console", (message) => {
    if (message.type() === "error") errors.push(message.text());
  });
  page.on("pageerror", (error) => errors.push(String(error)));
}

function Answer(answer) {
  process.stdout.write(JSON.stringify(answer) + "\n");
}

Start().then(() => {
  Answer({ value: "ready" });
  const lines = readline.createInterface({ input: process.stdin });
  let queue = Promise.resolve();
  lines.on("line", (line) => {
    const { command, args } = JSON.parse(line);
    queue = queue.then(() => Commands[command](...args))
      .then((value) => Answer({ value: value === undefined ? null : value }),
            (error) => Answer({ error: String(error && error.message || error) }));
  });
  // The harness closes standard input when it is done: the browser goes with it.
  lines.on("close", () => queue.then(() => browser.close()).then(() => process.exit(0)));
}, (error) => {
  Answer({ error: "Firefox did not start: " + error.message });
  process.exit(1);
});
