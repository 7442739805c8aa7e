// The web build in headless Chromium, served from 127.0.0.1: the first frame
// on the canvas is the model's initial sine, a left click animates it, a
// right press stops it, a right click opens no menu, and the page logs no
// error and asks nothing of any other host. The canvas is read back as
// pixels and compared with the model's frames by the window tests' own
// comparison (frame_of_picture).
// Environment: WAVE1D_WEB (the built folder), FRAME_OF_PICTURE (the tool),
// SCREENSHOT (where to write a picture of the page).
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import { PNG } from "pngjs";
import puppeteer from "puppeteer-core";

const folder = path.resolve(process.env.WAVE1D_WEB);
const FRAMES_TO_SEARCH = 200;
const PATIENCE_MS = 60000;
const TYPES = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm" };

const work = fs.mkdtempSync(path.join(os.tmpdir(), "wave1d-web-"));
const problems = []; // console errors, page errors and requests to other hosts
let server, browser, page, canvas, origin;

// Files of the folder only; anything else is a 404.
function serve(request, response) {
  const file = path.join(folder, decodeURIComponent(new URL(request.url, origin).pathname));
  const inside = file.startsWith(folder + path.sep) && fs.existsSync(file) && fs.statSync(file).isFile();
  response.writeHead(inside ? 200 : 404, { "Content-Type": TYPES[path.extname(file)] ?? "application/octet-stream" });
  response.end(inside ? fs.readFileSync(file) : undefined);
}

// What the canvas shows: the closest model frame (-1 for none), whether it
// matches frame 0, and the raw pixels.
async function shown() {
  const png = PNG.sync.read(Buffer.from(await canvas.screenshot()));
  const rgb = Buffer.alloc(png.width * png.height * 3);
  for (let i = 0, j = 0; i < png.data.length; i += 4, j += 3) png.data.copy(rgb, j, i, i + 3);
  const ppm = path.join(work, "canvas.ppm");
  fs.writeFileSync(ppm, Buffer.concat([Buffer.from(`P6\n${png.width} ${png.height}\n255\n`), rgb]));
  const [frame, first] = execFileSync(process.env.FRAME_OF_PICTURE, [ppm, String(FRAMES_TO_SEARCH)])
    .toString()
    .trim()
    .split(" ")
    .map(Number);
  return { frame, first: first === 1, rgb, width: png.width, height: png.height };
}

async function waitFor(condition) {
  const deadline = Date.now() + PATIENCE_MS;
  for (;;) {
    const result = await condition();
    if (result || Date.now() > deadline) return result;
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function staysStill() {
  await pause(300); // a frame requested just before may still be on its way
  const before = await shown();
  await pause(1000);
  return before.rgb.equals((await shown()).rgb);
}

async function centre() {
  const box = await canvas.boundingBox();
  return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
}

before(async () => {
  server = http.createServer(serve);
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  origin = `http://127.0.0.1:${server.address().port}`;
  // As root, without a sandbox; no background traffic to the browser maker's hosts.
  browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    headless: true,
    userDataDir: path.join(work, "profile"),
    args: ["--no-sandbox", "--no-first-run", "--disable-background-networking", "--disable-component-update",
           "--disable-sync", "--disable-quic", "--use-angle=swiftshader", "--enable-unsafe-swiftshader"],
  });
  page = await browser.newPage();
  page.on("console", (message) => message.type() === "error" && problems.push(`console: ${message.text()}`));
  page.on("pageerror", (error) => problems.push(`page: ${error}`));
  page.on("request", (request) => request.url().startsWith(origin) || problems.push(`fetched ${request.url()}`));
  await page.setViewport({ width: 1100, height: 700 });
  await page.goto(`${origin}/index.html`);
  canvas = await page.$("canvas");
});

after(async () => {
  await browser?.close();
  server?.close();
  fs.rmSync(work, { recursive: true, force: true });
});

test("the page is the program's: its title, the canvas at 1000 x 400, how to use it", async () => {
  assert.equal(await page.title(), "wave1d");
  const size = await canvas.evaluate((c) => [c.width, c.height]);
  assert.deepEqual(size, [1000, 400]);
  assert.match(await page.evaluate(() => document.body.innerText), /Left click.*right press/s);
  // Chromium validates WebAssembly SIMD, so the page chose that build.
  assert.match(await page.evaluate(() => document.querySelector("script[src]").src), /\/simd\/wave1d\.js$/);
});

test("the first frame is the initial sine, and it waits for a click", async () => {
  const first = await waitFor(async () => {
    const now = await shown();
    return now.frame >= 0 && now;
  });
  assert.ok(first, "no frame of the model on the canvas");
  assert.ok(first.first, `the canvas does not show the initial sine (closest frame ${first.frame})`);
  assert.ok(first.frame <= 1);
  assert.ok(await staysStill(), "the wave moved before any click");
  if (process.env.SCREENSHOT) await page.screenshot({ path: process.env.SCREENSHOT });
});

test("a left click animates it, a right press stops it", async () => {
  const { x, y } = await centre();
  const started = Date.now();
  await page.mouse.click(x, y, { button: "left" });
  const seen = [];
  await waitFor(async () => {
    const { frame } = await shown();
    if (frame >= 0 && frame !== seen.at(-1)) seen.push(frame);
    return seen.length >= 5;
  });
  assert.ok(seen.length >= 5, `the drawing did not move on: ${seen}`);
  assert.deepEqual(seen, [...seen].sort((a, b) => a - b), "frames out of order");
  const perSecond = (seen.at(-1) - seen[0]) / ((Date.now() - started) / 1000);
  console.log(`# about ${perSecond.toFixed(0)} frames/s in headless Chromium (frames ${seen})`);
  await page.mouse.move(x, y);
  await page.mouse.down({ button: "right" });
  assert.ok(await staysStill(), "still moving after the right press");
  await page.mouse.up({ button: "right" });
  assert.ok(await staysStill(), "a right release started it");
});

test("a right click opens no menu", async () => {
  const { x, y } = await centre();
  await page.evaluate(() => {
    window.menuAllowed = null;
    document.addEventListener("contextmenu", (event) => (window.menuAllowed = !event.defaultPrevented));
  });
  await page.mouse.click(x, y, { button: "right" });
  assert.equal(await waitFor(() => page.evaluate(() => window.menuAllowed !== null)), true, "no contextmenu event");
  assert.equal(await page.evaluate(() => window.menuAllowed), false);
});

test("the page logs no error and asks nothing of another host", () => {
  assert.deepEqual(problems, []);
});
