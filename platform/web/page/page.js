// The page's side of the stand-in's web edges (platform/web): the canvas that stands for
// the output window or the full-screen display, the console panel, the in-page message
// box and the end of the run. The program calls BumpPage; the person's keys wait in
// queues here until the program takes them.
"use strict";

var BumpPage = (function () {
  const IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7;
  const MB_OK = 0, MB_OKCANCEL = 1, MB_YESNOCANCEL = 3, MB_YESNO = 4;
  const Buttons = {
    [MB_OK]: [["OK", IDOK]],
    [MB_OKCANCEL]: [["OK", IDOK], ["Cancel", IDCANCEL]],
    [MB_YESNOCANCEL]: [["Yes", IDYES], ["No", IDNO], ["Cancel", IDCANCEL]],
    [MB_YESNO]: [["Yes", IDYES], ["No", IDNO]],
  };
  const $ = (id) => document.getElementById(id);
  const canvas = $("canvas"), consolePanel = $("console");
  const consoleRecords = [], canvasKeys = [];
  let boxType = -1, boxAnswer = 0, ended = false;
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

  function queueKey(queue, packed, event) {
    event.preventDefault();
    if (!ended) queue.push(packed);
  }

  consolePanel.addEventListener("keydown", (event) =>
    queueKey(consoleRecords, (1 << 24) | (asciiOf(event) << 16) | virtualKey(event), event));
  consolePanel.addEventListener("keyup", (event) =>
    queueKey(consoleRecords, (asciiOf(event) << 16) | virtualKey(event), event));
  canvas.addEventListener("keydown", (event) =>
    queueKey(canvasKeys, (1 << 16) | virtualKey(event), event));
  canvas.addEventListener("keyup", (event) => queueKey(canvasKeys, virtualKey(event), event));

  // While a box is shown it takes every key: Return is its first button, Escape its
  // Cancel (or a lone OK); nothing reaches the console or the canvas.
  window.addEventListener("keydown", (event) => {
    if (boxType < 0) return;
    event.preventDefault();
    event.stopPropagation();
    const buttons = Buttons[boxType];
    if (event.key === "Enter") answerBox(buttons[0][1]);
    if (event.key === "Escape") {
      const escape = buttons.find(([, id]) => id === IDCANCEL) || (boxType === MB_OK && buttons[0]);
      if (escape) answerBox(escape[1]);
    }
  }, true);
  window.addEventListener("keyup", (event) => {
    if (boxType >= 0) event.stopPropagation();
  }, true);

  function answerBox(answer) {
    // The browser's full screen follows Yes at the start-up question, where it allows it.
    if (boxType === MB_YESNOCANCEL && answer === IDYES && document.fullscreenEnabled)
      document.documentElement.requestFullscreen().catch(() => {});
    boxType = -1;
    boxAnswer = answer;
    $("box-back").hidden = true;
  }

  // The whole factor by which the full-screen display fits the page above the console.
  function fullScreenFactor(width, height) {
    const below = $("console-label").offsetHeight + consolePanel.offsetHeight + 24;
    const factor = Math.min(Math.floor(window.innerWidth / width),
                            Math.floor((window.innerHeight - below) / height));
    return Math.max(1, factor);
  }

  // The canvas sized for a frame: the frame's size, each pixel a factor x factor block.
  function sizeCanvas(width, height, fullScreen) {
    document.body.classList.toggle("fullscreen", fullScreen);
    const factor = fullScreen ? fullScreenFactor(width, height) : 1;
    if (canvas.width !== width * factor || canvas.height !== height * factor) {
      canvas.width = width * factor;
      canvas.height = height * factor;
    }
    return factor;
  }

  // A frame's red, green, blue, opaque bytes on the canvas, each pixel a factor x factor
  // block; at factor 1 the bytes go to the canvas as they are.
  function drawFrame(frame) {
    const { pixels, width, height, fullScreen } = frame;
    const factor = sizeCanvas(width, height, fullScreen);
    const context = canvas.getContext("2d");
    if (factor === 1) {
      const data = new Uint8ClampedArray(pixels.buffer, pixels.byteOffset, width * height * 4);
      context.putImageData(new ImageData(data, width, height), 0, 0);
      return;
    }
    const image = context.createImageData(canvas.width, canvas.height);
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

  // The page's ordinary look, whatever the run's mode was: a full-screen run's last
  // frame at its own size in the window, the cursor back, and nothing enlarged again.
  function showEnd(text) {
    ended = true;
    boxType = -1;
    $("box-back").hidden = true;
    $("end-text").textContent = text;
    $("end").hidden = false;
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

  return {
    nextConsoleRecord: () => (consoleRecords.length ? consoleRecords.shift() : -1),
    consoleRecordCount: () => consoleRecords.length,
    nextCanvasKey: () => (canvasKeys.length ? canvasKeys.shift() : -1),

    showWindow(title) {
      $("title").textContent = title;
      $("window").hidden = false;
      $("closed").hidden = true;
      document.title = title + " - bumpdemo";
      canvas.focus();
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

    showBox(title, text, type) {
      const buttons = Buttons[type];
      if (!buttons) return false;
      boxType = type;
      boxAnswer = 0;
      $("box-title").textContent = title;
      $("box-text").textContent = text;
      const row = $("box-buttons");
      row.textContent = "";
      for (const [label, id] of buttons) {
        const button = document.createElement("button");
        button.textContent = label;
        button.addEventListener("click", () => { if (boxType === type) answerBox(id); });
        row.appendChild(button);
      }
      $("box-back").hidden = false;
      row.firstChild.focus();
      return true;
    },
    boxAnswer: () => boxAnswer,
  };
})();
