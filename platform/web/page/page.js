// The page's side of the stand-in's web edges (platform/web): the canvas that stands for
// the output window or the full-screen display, the console panel, the in-page message
// box and the end of the run. The program calls BumpPage; the person's keys wait in
// queues here until the program takes them.
"use strict";

var BumpPage = (function () {
  const IDYES = 6;
  const MB_YESNOCANCEL = 3;
  const $ = (id) => document.getElementById(id);
  const canvas = $("canvas"), consolePanel = $("console"), consoleKeys = $("console-keys");
  const box = $("box");
  const touchScreen = window.matchMedia("(pointer: coarse)");
  const consoleRecords = [], canvasKeys = [];
  let boxType = -1, boxAnswer = 0, ended = false;
  // What Escape answers in the shown box, as the program gives it (0: nothing).
  let boxEscape = 0;
  let lastFrame = null; // the last pixels drawn, to draw again when the page resizes

  // Windows' virtual-key code of a key event: the browser's keyCode uses the same numbers.
  function virtualKey(event) {
    return event.keyCode & 0xFFFF;
  }

  // The character a key types in the console, as the console reports it (0 for none).
  function asciiOf(event) {
    if (event.key.length === 1) return event.key.charCodeAt(0) & 0xFF;
    const named = { Enter: 13, Escape: 27, Backspace: 8, Tab: 9 };
    return named[event.key] || 0;
  }

  // The Tab key, with or without Shift: WebKitGTK names Shift+Tab "Unidentified", so the
  // key is known by its place on the keyboard too.
  const isTab = (event) => event.key === "Tab" || event.code === "Tab";

  // Tab and Shift+Tab move the focus on through the page, as everywhere (no key trap):
  // they are no key of the program's.
  function queueKey(queue, packed, event) {
    if (ended || isTab(event)) return;
    event.preventDefault();
    queue.push(packed);
  }

  // A key of an on-screen keyboard comes as "Unidentified" (keyCode 229), its character
  // as the field's input.
  function identified(event) {
    return event.key !== "Unidentified" && event.keyCode !== 229 && !event.isComposing;
  }

  // The console panel and the field over it: keys as the console's key records. A key
  // held down in the field types no input then; an input while it is down is that key's.
  let keyHeld = false;
  const consoleArea = $("console-panel");
  consoleArea.addEventListener("keydown", (event) => {
    if (!identified(event)) return;
    keyHeld = true;
    queueKey(consoleRecords, (1 << 24) | (asciiOf(event) << 16) | virtualKey(event), event);
  });
  consoleArea.addEventListener("keyup", (event) => {
    keyHeld = false;
    if (identified(event))
      queueKey(consoleRecords, (asciiOf(event) << 16) | virtualKey(event), event);
  });
  consoleArea.addEventListener("focusout", () => { keyHeld = false; });

  // Windows' virtual-key code of a typed character: letters, digits and space have their
  // own, a line break is Return; other characters have none the console can tell.
  function virtualKeyOf(character) {
    if (/^[a-z0-9 ]$/i.test(character)) return character.toUpperCase().charCodeAt(0);
    return character === "\n" ? 13 : 0;
  }

  // What an on-screen keyboard typed: each character a key pressed and released.
  consoleKeys.addEventListener("input", () => {
    const typed = consoleKeys.value;
    consoleKeys.value = "";
    if (keyHeld || ended || boxType >= 0) return;
    for (const character of typed) {
      const code = character === "\n" ? 13 : character.charCodeAt(0);
      const packed = ((code < 256 ? code : 0) << 16) | virtualKeyOf(character);
      consoleRecords.push((1 << 24) | packed, packed);
    }
  });

  canvas.addEventListener("keydown", (event) =>
    queueKey(canvasKeys, (1 << 16) | virtualKey(event), event));
  canvas.addEventListener("keyup", (event) => queueKey(canvasKeys, virtualKey(event), event));

  // Escape in the browser's full screen leaves it, and the page never sees the key: the
  // person leaving full screen during a full-screen run is Escape on the canvas.
  const VK_ESCAPE = 27;
  document.addEventListener("fullscreenchange", () => {
    if (!document.fullscreenElement && !ended && document.body.classList.contains("fullscreen"))
      canvasKeys.push((1 << 16) | VK_ESCAPE, VK_ESCAPE);
  });

  // While a box is shown it takes every key, as Windows' message box does: Tab, Shift+Tab
  // and the arrows move the focus round its buttons, Return and Space press the focused
  // one, a button's first letter presses it, Escape gives the box's escape answer (none in
  // a Yes/No box); nothing reaches the console or the canvas.
  window.addEventListener("keydown", (event) => {
    if (boxType < 0) return;
    event.preventDefault();
    event.stopPropagation();
    const buttons = [...$("box-buttons").children];
    const focused = Math.max(0, buttons.indexOf(document.activeElement));
    const key = event.key;
    if (isTab(event) || key.startsWith("Arrow")) {
      const back = event.shiftKey && isTab(event) || key === "ArrowLeft" || key === "ArrowUp";
      buttons[(focused + (back ? buttons.length - 1 : 1)) % buttons.length].focus();
    } else if (key === "Enter" || key === " ") {
      buttons[focused].click();
    } else if (key === "Escape") {
      if (boxEscape !== 0) answerBox(boxEscape);
    } else if (key.length === 1 && !event.ctrlKey && !event.altKey && !event.metaKey) {
      const named = buttons.find((b) => b.dataset.key === key.toLowerCase());
      if (named) named.click();
    }
  }, true);
  window.addEventListener("keyup", (event) => {
    if (boxType >= 0) event.stopPropagation();
  }, true);
  // The dialog's own Escape is the key's above; a box closed otherwise is shown again.
  box.addEventListener("cancel", (event) => event.preventDefault());
  box.addEventListener("close", () => { if (boxType >= 0) box.showModal(); });

  function answerBox(answer) {
    // The browser's full screen follows Yes at the start-up question, where it allows it.
    if (boxType === MB_YESNOCANCEL && answer === IDYES && document.fullscreenEnabled)
      document.documentElement.requestFullscreen().catch(() => {});
    boxType = -1;
    boxAnswer = answer;
    box.close();
  }

  // The box as a modal dialog, named by its caption and described by its text, with one
  // button per [label, answer, key] and the focus on the default one. A box that only tells,
  // with a lone button, is an alert.
  function openBox(title, text, buttons, defaultButton) {
    $("box-title").textContent = title;
    $("box-text").textContent = text;
    box.setAttribute("role", buttons.length === 1 ? "alertdialog" : "dialog");
    const row = $("box-buttons");
    row.textContent = "";
    for (const [label, answer, key] of buttons) {
      const button = document.createElement("button");
      button.textContent = label;
      button.value = answer;
      button.dataset.key = key;
      button.addEventListener("click", () => { if (boxType >= 0) answerBox(answer); });
      row.appendChild(button);
    }
    box.showModal();
    row.children[defaultButton].focus();
  }

  // Factors count device pixels per frame pixel: a whole number keeps every pixel an
  // even block on the screen, whatever the browser's scale (devicePixelRatio).
  const deviceRatio = () => window.devicePixelRatio || 1;

  // The largest whole factor at which the frame fits the given CSS pixels (at least 1).
  function fittingFactor(width, height, across, down) {
    const ratio = deviceRatio();
    return Math.max(1, Math.floor(Math.min(across * ratio / width, down * ratio / height)));
  }

  // The full-screen display: as large as fits the page above the console.
  function fullScreenFactor(width, height) {
    const below = $("console-label").offsetHeight + consolePanel.offsetHeight + 24;
    return fittingFactor(width, height, document.documentElement.clientWidth,
                         window.innerHeight - below);
  }

  // The window: on a touch screen as large as fits the screen below its title, elsewhere
  // about its own size in CSS pixels (the nearest whole factor) where that fits.
  function windowFactor(width, height) {
    const frame = 2, above = $("title").offsetHeight + 24;
    const fits = fittingFactor(width, height, document.documentElement.clientWidth - frame,
                               window.innerHeight - above - frame);
    if (touchScreen.matches) return fits;
    return Math.max(1, Math.min(fits, Math.round(deviceRatio())));
  }

  // Layout places and sizes things in 64ths of a CSS pixel; the canvas shows crisp only
  // where its corner and its size are whole device pixels exactly.
  const whole = (value) => Math.abs(value - Math.round(value)) < 1e-6;

  // The fewest CSS pixels that make whole device pixels (1 at a whole ratio, 4 at 1.25,
  // 8 at 2.625).
  function alignmentStep(ratio) {
    for (let step = 1; step <= 64; ++step)
      if (whole(step * ratio)) return step;
    return 1;
  }

  // The fewest device pixels, from the given number on, whose CSS size layout holds
  // exactly (1280 at 3 is 426.67 CSS pixels, 1281 is 427).
  function exactSize(pixels, ratio) {
    for (let size = pixels; size < pixels + 64; ++size)
      if (whole(size * 64 / ratio)) return size;
    return pixels;
  }

  // The window moved by up to half a step, so that the canvas starts on a device pixel:
  // a canvas pixel across two device pixels would be drawn blurred.
  let windowShift = [0, 0];
  function alignCanvas() {
    const step = alignmentStep(deviceRatio());
    const place = canvas.getBoundingClientRect();
    const x = place.left + window.scrollX - windowShift[0];
    const y = place.top + window.scrollY - windowShift[1];
    const shift = [Math.round(x / step) * step - x, Math.round(y / step) * step - y];
    if (shift[0] === windowShift[0] && shift[1] === windowShift[1]) return;
    windowShift = shift;
    $("window").style.left = shift[0] + "px";
    $("window").style.top = shift[1] + "px";
  }

  // The canvas sized for a frame: each pixel a factor x factor block of the canvas, whose
  // own pixels are the screen's device pixels; the few it may have beyond the frame, for
  // an exact size, stay blank.
  let canvasRatio = 0; // the devicePixelRatio the canvas's CSS size is for
  function sizeCanvas(width, height, fullScreen) {
    document.body.classList.toggle("fullscreen", fullScreen);
    const factor = fullScreen ? fullScreenFactor(width, height) : windowFactor(width, height);
    const ratio = deviceRatio();
    const across = exactSize(width * factor, ratio), down = exactSize(height * factor, ratio);
    if (canvas.width !== across || canvas.height !== down || canvasRatio !== ratio) {
      canvas.width = across;
      canvas.height = down;
      canvas.style.width = across / ratio + "px";
      canvas.style.height = down / ratio + "px";
      canvasRatio = ratio;
    }
    alignCanvas();
    return factor;
  }

  const context = canvas.getContext("2d");
  let enlarged = null; // the enlarged picture, kept while the canvas keeps its size

  // A frame's red, green, blue, opaque bytes on the canvas, each pixel a factor x factor
  // block; at factor 1 the bytes go to the canvas as they are.
  function drawFrame(frame) {
    const { pixels, width, height, fullScreen } = frame;
    const factor = sizeCanvas(width, height, fullScreen);
    if (factor === 1) {
      const data = new Uint8ClampedArray(pixels.buffer, pixels.byteOffset, width * height * 4);
      context.putImageData(new ImageData(data, width, height), 0, 0);
      return;
    }
    if (!enlarged || enlarged.width !== canvas.width || enlarged.height !== canvas.height)
      enlarged = context.createImageData(canvas.width, canvas.height);
    const image = enlarged;
    const out = new Uint32Array(image.data.buffer);
    const source = new Uint32Array(pixels.buffer, pixels.byteOffset, width * height);
    const rowLength = canvas.width;
    for (let y = 0; y < height; ++y) {
      const row = y * factor * rowLength;
      for (let x = 0; x < width; ++x) {
        const rgba = source[y * width + x];
        for (let i = 0; i < factor; ++i) out[row + x * factor + i] = rgba;
      }
      for (let i = 1; i < factor; ++i)
        out.copyWithin(row + i * rowLength, row, row + rowLength);
    }
    context.putImageData(image, 0, 0);
  }

  window.addEventListener("resize", () => {
    if (lastFrame && lastFrame.fullScreen) drawFrame(lastFrame);
  });

  function appendConsole(text) {
    consolePanel.textContent += text;
    consolePanel.scrollTop = consolePanel.scrollHeight;
  }

  $("again").addEventListener("click", () => location.reload());

  // What the page needs of the browser, said in words where it is missing: WebAssembly
  // with its SIMD instructions (a function returning i8x16.splat of a constant).
  const SimdModule = new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2,
                                     1, 0, 10, 8, 1, 6, 0, 65, 0, 253, 15, 11]);
  function canRun() {
    try {
      return typeof WebAssembly === "object" && WebAssembly.validate(SimdModule);
    } catch (error) {
      return false;
    }
  }

  // Focuses an element just shown, or just freed by the closing of a modal box. Styles
  // are brought up to date first: WebKit judges whether the element can take the focus by
  // the styles of before, and would leave the focus where it was.
  function focusShown(element) {
    void element.offsetWidth;
    element.focus();
  }

  // The page's ordinary look, whatever the run's mode was: a full-screen run's last
  // frame at its own size in the window, the cursor back, and nothing enlarged again.
  function showEnd(text) {
    ended = true;
    boxType = -1;
    consoleKeys.hidden = true; // the panel's text can be scrolled and selected again
    if (box.open) box.close();
    $("end-text").textContent = text;
    $("end").hidden = false;
    focusShown($("again"));
    if (lastFrame) drawFrame({ ...lastFrame, fullScreen: false });
    lastFrame = null;
    document.body.classList.remove("fullscreen");
    canvas.style.cursor = "";
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
  }

  // The program's own output: standard output and error, a line at a time.
  window.Module = {
    print: (line) => appendConsole(line.replace(/\r/g, "") + "\n"),
    printErr: (line) => appendConsole(line.replace(/\r/g, "") + "\n"),
    onExit: (code) => showEnd("The program has ended. Exit code " + code + "."),
    onAbort: () => showEnd("The program has stopped with an error."),
    // A test build scripts a stand-in failure from the page address before main runs.
    onRuntimeInitialized: () => {
      if (Module._ScriptPageFailure) Module._ScriptPageFailure();
    },
  };

  if (canRun()) {
    const program = document.createElement("script");
    program.src = "bumpdemo.js";
    document.body.appendChild(program);
  } else {
    $("unsupported").textContent = "This page needs a browser with WebAssembly SIMD:" +
      " Chrome 91, Firefox 89, Safari 16.4 or later.";
    $("unsupported").hidden = false;
    $("console-label").hidden = true;
    consoleArea.hidden = true;
  }
  // The worker that keeps the page for offline use, once the page has what it needs first.
  if ("serviceWorker" in navigator)
    window.addEventListener("load",
                            () => navigator.serviceWorker.register("sw.js").catch(() => {}));

  return {
    nextConsoleRecord: () => (consoleRecords.length ? consoleRecords.shift() : -1),
    consoleRecordCount: () => consoleRecords.length,
    nextCanvasKey: () => (canvasKeys.length ? canvasKeys.shift() : -1),

    showWindow(title) {
      $("title").textContent = title;
      $("window").hidden = false;
      $("closed").hidden = true;
      document.title = title + " - bumpdemo";
      focusShown(canvas);
    },
    hideWindow(destroyed) {
      $("window").hidden = true;
      $("closed").hidden = !destroyed;
      document.body.classList.remove("fullscreen");
    },
    showCursor(shown) {
      canvas.style.cursor = shown ? "" : "none";
    },
    draw(pixels, width, height, fullScreen) {
      // Drawn from the program's memory as it is. Only a full-screen frame is kept, for
      // drawing again when the page resizes: a copy, as the program's memory may move
      // when it grows.
      const frame = { pixels, width, height, fullScreen };
      drawFrame(frame);
      lastFrame = fullScreen ? { ...frame, pixels: pixels.slice() } : null;
    },

    showBox(title, text, type, buttons, defaultButton, escapeAnswer) {
      if (buttons.length === 0) return false;
      boxType = type;
      boxEscape = escapeAnswer;
      boxAnswer = 0;
      openBox(title, text, buttons, defaultButton);
      return true;
    },
    boxAnswer: () => boxAnswer,
  };
})();
