// What the browser tests share: the site served from 127.0.0.1, a private
// Xvfb for the browsers that need a display for WebGL, and the comparison of
// a picture of the canvas with the model's frames (frame_of_picture, the
// window tests' own comparison).
// Environment: WAVE1D_WEB (the site folder), FRAME_OF_PICTURE (the tool).
import assert from "node:assert/strict";
import { spawn } from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import readline from "node:readline";
import { PNG } from "pngjs";

export const site = path.resolve(process.env.WAVE1D_WEB);
export const singleFile = path.join(site, "wave1d.html");
// Enough for several seconds of animation between two captures on a busy machine.
export const FRAMES_TO_SEARCH = 1000;
export const PATIENCE_MS = 60000;
const TYPES = { ".html": "text/html", ".css": "text/css", ".js": "text/javascript", ".wasm": "application/wasm",
                ".json": "application/json", ".webmanifest": "application/manifest+json", ".png": "image/png",
                ".svg": "image/svg+xml" };

export const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

export async function waitFor(condition, patience = PATIENCE_MS) {
  const deadline = Date.now() + patience;
  for (;;) {
    const result = await condition();
    if (result || Date.now() > deadline) return result;
    await pause(50);
  }
}

// Named for the test command's run, whose leftover check finds by it the
// browsers it started (scripts/lib/leftovers.sh).
export function workFolder() {
  return fs.mkdtempSync(path.join(os.tmpdir(), `wave1d-web-${process.env.WAVE1D_TEST_RUN ?? "alone"}-`));
}

// The site's files only (a folder's index.html for the folder, as static
// servers do); anything else is a 404. Resolves to the origin. `folder()`
// names the folder served at each request (the site unless told),
// `headers(file)` what more to send with a file, and `missing(file)` which
// files to answer with a 404 all the same.
export async function serveSite({ folder = () => site, headers = () => ({}), missing = () => false } = {}) {
  const server = http.createServer((request, response) => {
    const root = folder();
    const file = path.join(root, decodeURIComponent(new URL(request.url, "http://x").pathname).replace(/\/$/, "/index.html"));
    const inside = file.startsWith(root + path.sep) && fs.existsSync(file) && fs.statSync(file).isFile() && !missing(file);
    response.writeHead(inside ? 200 : 404, { "Content-Type": TYPES[path.extname(file)] ?? "application/octet-stream",
                                             ...(inside ? headers(file) : {}) });
    response.end(inside ? fs.readFileSync(file) : undefined);
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  // Closed, it takes no more requests, not even on connections kept open.
  return { origin: `http://127.0.0.1:${server.address().port}`,
           close: () => server.close() && server.closeAllConnections() };
}

// Xvfb on a display number of its own choosing; resolves to { display, stop }.
export async function startXvfb() {
  const server = spawn("Xvfb", ["-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                       { stdio: ["ignore", "ignore", "ignore", "pipe"] });
  let number = "";
  await new Promise((resolve, reject) => {
    server.on("error", reject);
    server.stdio[3].on("data", (chunk) => {
      number += chunk;
      if (number.includes("\n")) resolve();
    });
    setTimeout(() => reject(new Error("Xvfb did not report a display number")), PATIENCE_MS).unref();
  });
  return { display: `:${number.trim()}`, stop: () => server.kill("SIGKILL") };
}

// The comparison tool, started once and asked one line at a time.
let tool, answers, pictures = 0;
function ask(line) {
  if (!tool) {
    tool = spawn(process.env.FRAME_OF_PICTURE, [], { stdio: ["pipe", "pipe", "inherit"] });
    answers = readline.createInterface({ input: tool.stdout })[Symbol.asyncIterator]();
  }
  tool.stdin.write(`${line}\n`);
  return answers.next().then(({ value, done }) => {
    if (done) throw new Error("frame_of_picture ended");
    return value;
  });
}

// The frames asked of hereafter are both schemes' with c = `c` (a decimal)
// and `steps` steps a frame, as the page's stability lesson runs them.
export async function chooseRun(c, steps) {
  await ask(`run ${c} ${steps}`);
}

// The largest |value| that the model's frame `frame` draws.
export async function modelLargest(frame) {
  return Number(await ask(`largest ${frame}`));
}

// Ends the comparison tool (at the end of a test file: it keeps Node alive).
export function stopComparing() {
  tool?.stdin.end();
}

// The textbook scheme's largest |value| at its frame `frame`.
export async function textbookLargest(frame) {
  return Number(await ask(`textbook-largest ${frame}`));
}

// For each of `frames`, whether a PNG of the textbook scheme's canvas matches
// that frame of the scheme (drawn `fitted` to the canvas or not).
export async function textbookMatches(pngBytes, work, frames, fitted = false) {
  const { ppm } = writePicture(pngBytes, work);
  const answers = [];
  for (const frame of frames) answers.push((await ask(`textbook${fitted ? "-fitted" : ""} ${frame} ${ppm}`)).trim() === "1");
  fs.rmSync(ppm);
  return answers;
}

// A PNG (of which `crop` takes a part, in its pixels) as a binary PPM in `work`.
function writePicture(pngBytes, work, crop) {
  const png = PNG.sync.read(Buffer.from(pngBytes));
  const { x = 0, y = 0, width = png.width, height = png.height } = crop ?? {};
  const rgb = Buffer.alloc(width * height * 3);
  for (let row = 0; row < height; ++row)
    for (let col = 0; col < width; ++col) {
      const from = ((y + row) * png.width + x + col) * 4, to = (row * width + col) * 3;
      png.data.copy(rgb, to, from, from + 3);
    }
  const ppm = path.join(work, `canvas-${pictures++}.ppm`);
  fs.writeFileSync(ppm, Buffer.concat([Buffer.from(`P6\n${width} ${height}\n255\n`), rgb]));
  return { ppm, rgb, width, height };
}

// Whether a PNG of the canvas is the model's frame `frame`, drawn in the
// program's own view or `fitted` to the canvas as the page draws it on request.
export async function matchesFrame(pngBytes, work, frame, fitted = false) {
  const { ppm } = writePicture(pngBytes, work);
  const answer = (await ask(`${fitted ? "fitted" : "frame"} ${frame} ${ppm}`)).trim() === "1";
  fs.rmSync(ppm);
  return answer;
}

// Which model frame a PNG of the canvas shows: the closest frame (-1 for
// none), whether it matches frame 0, and the pixels for comparing pictures.
// `crop` takes the canvas out of a larger picture, in the PNG's pixels.
export async function frameOf(pngBytes, work, crop) {
  const { ppm, rgb, width, height } = writePicture(pngBytes, work, crop);
  const [frame, first] = (await ask(`${ppm} ${FRAMES_TO_SEARCH}`)).trim().split(" ").map(Number);
  fs.rmSync(ppm);
  return { frame, first: first === 1, rgb, width, height };
}

// The checks every engine passes, given how to read the canvas (`shown`,
// resolving to frameOf's result) and how to press and release a button
// over it (`button(number, down)`; 0 left, 1 middle, 2 right).
export async function staysStill(shown) {
  await pause(300); // a frame requested just before may still be on its way
  const before = await shown();
  await pause(1000);
  return before.rgb.equals((await shown()).rgb);
}

export async function firstFrameIsTheSine(shown) {
  const first = await waitFor(async () => {
    const now = await shown();
    return now.frame >= 0 && now;
  });
  if (!first) return "no frame of the model on the canvas";
  if (!first.first || first.frame > 1) return `the canvas does not show the initial sine (closest frame ${first.frame})`;
  if (!(await staysStill(shown))) return "the wave moved before any click";
  return null;
}

// A left click (`leftClick()`) animates it with the model's frames, and a
// right press (`rightPress()`) stops it; resolves to the frames seen and the rate.
export async function clickAnimatesAndRightPressStops(shown, leftClick, rightPress) {
  const run = await animatesWithTheModelsFrames(shown, leftClick);
  assert.equal(run.problem, undefined, run.problem);
  await rightPress();
  assert.ok(await staysStill(shown), "still moving after the right press");
  return run;
}

// With the canvas focused: Enter starts it, Escape stops it, Space starts
// it, and no key scrolls the page. `press(key)` takes "Enter", "Escape", " ".
export async function keysStartAndStop(shown, press, scrollY) {
  await press("Enter");
  assert.ok(!(await staysStill(shown)), "Enter did not start it");
  await press("Escape");
  assert.ok(await staysStill(shown), "Escape did not stop it");
  await press(" ");
  assert.ok(!(await staysStill(shown)), "Space did not start it");
  await press("Escape");
  assert.equal(await scrollY(), 0, "a key scrolled the page");
}

// Stopped, the readout names the frame the canvas shows (within the frame
// or two by which the picture tells early frames apart) and its largest
// |value| to the last digit. `readout()` resolves to { frame, largest } as
// the page's readout gives them.
export async function readoutAgreesWithTheCanvas(shown, readout) {
  await pause(600); // the readout is updated four times a second
  const [{ frame }, said] = await Promise.all([shown(), readout()]);
  assert.ok(frame >= 0 && Math.abs(said.frame - frame) <= 2, `readout frame ${said.frame}, canvas frame ${frame}`);
  assert.equal(said.largest, await modelLargest(said.frame), `largest |value| at frame ${said.frame}`);
}

// Frames in the model's order after `start()`; resolves to the frames seen
// and the rate, or a reason.
export async function animatesWithTheModelsFrames(shown, start) {
  const started = Date.now();
  await start();
  const seen = [];
  await waitFor(async () => {
    const { frame } = await shown();
    if (frame >= 0 && frame !== seen.at(-1)) seen.push(frame);
    return seen.length >= 5;
  });
  if (seen.length < 5) return { problem: `the drawing did not move on: ${seen}` };
  if (seen.some((frame, i) => i > 0 && frame < seen[i - 1])) return { problem: `frames out of order: ${seen}` };
  return { seen, perSecond: (seen.at(-1) - seen[0]) / ((Date.now() - started) / 1000) };
}
