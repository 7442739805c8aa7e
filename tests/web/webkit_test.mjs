// The page in WebKitGTK's MiniBrowser (WebKit), driven over plain W3C
// WebDriver by WebKitWebDriver, in a private Xvfb: served from 127.0.0.1
// with the mouse and the keys, opened from disk as the single file, and with
// WebGL turned off. The canvas is compared with the model's frames.
// Two quirks of the driver shape the checks: its element screenshot mangles
// a WebGL canvas, so the canvas is cut out of the viewport's; and its
// pointerUp always releases button 0 whatever was pressed, so a right or
// middle button's release would reach the page as a left one: the right
// release and the middle button are judged in the other engines only.
// Environment: see common.mjs.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { spawn } from "node:child_process";
import fs from "node:fs";
import net from "node:net";
import { pathToFileURL } from "node:url";
import * as common from "./common.mjs";

const MINIBROWSER = ["/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser",
                     "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.0/MiniBrowser"].find((file) => fs.existsSync(file));
const work = common.workFolder();
let server, xvfb, driver, origin;

async function freePort() {
  const probe = net.createServer().listen(0, "127.0.0.1");
  await new Promise((resolve) => probe.on("listening", resolve));
  const { port } = probe.address();
  probe.close();
  return port;
}

// One W3C WebDriver session: its commands are plain HTTP requests.
class Session {
  static async start(browserArguments) {
    const response = await driverRequest("POST", "/session", { capabilities: { alwaysMatch: {
      "webkitgtk:browserOptions": { binary: MINIBROWSER, args: ["--automation", ...browserArguments] } } } });
    const session = new Session(response.sessionId);
    // Wide enough for the canvas at its own size, 1000 pixels.
    await session.command("POST", "/window/rect", { width: 1200, height: 800 });
    return session;
  }
  constructor(id) { this.id = id; }
  command(method, what, body) { return driverRequest(method, `/session/${this.id}${what}`, body); }
  // Resolves once the page's words, which arrive a moment after it, are in.
  async open(url) {
    await this.command("POST", "/url", { url });
    await common.waitFor(() => this.run(`return document.getElementById("how").textContent !== ""`));
  }
  run(script, ...args) { return this.command("POST", "/execute/sync", { script, args }); }
  end() { return this.command("DELETE", ""); }

  // The canvas cut out of a screenshot of the viewport.
  async shown() {
    const box = await this.run(`const b = document.getElementById("canvas").getBoundingClientRect();
                                return [b.left, b.top, b.width, b.height, devicePixelRatio];`);
    const [left, top, width, height, scale] = box;
    const png = Buffer.from(await this.command("GET", "/screenshot"), "base64");
    return common.frameOf(png, work, { x: Math.round(left * scale), y: Math.round(top * scale),
                                        width: Math.round(width * scale), height: Math.round(height * scale) });
  }

  async pointer(...steps) {
    const [x, y] = await this.run(`const b = document.getElementById("canvas").getBoundingClientRect();
                                   return [Math.round(b.left + b.width / 2), Math.round(b.top + b.height / 2)];`);
    await this.command("POST", "/actions", { actions: [{ type: "pointer", id: "mouse",
      parameters: { pointerType: "mouse" }, actions: [{ type: "pointerMove", x, y, origin: "viewport" }, ...steps] }] });
  }
  keys(...values) {
    const actions = values.flatMap((value) => [{ type: "keyDown", value }, { type: "keyUp", value }]);
    return this.command("POST", "/actions", { actions: [{ type: "key", id: "keyboard", actions }] });
  }
}

async function driverRequest(method, what, body) {
  const response = await fetch(`${origin}${what}`, { method, headers: { "Content-Type": "application/json" },
                                                      body: body && JSON.stringify(body) });
  const { value } = await response.json();
  if (!response.ok) throw new Error(`${method} ${what}: ${value?.error}: ${value?.message}`);
  return value;
}

const LEFT_DOWN = { type: "pointerDown", button: 0 }, LEFT_UP = { type: "pointerUp", button: 0 };
const RIGHT_DOWN = { type: "pointerDown", button: 2 };
const KEY = { Tab: "\uE004", Enter: "\uE007", Escape: "\uE00C", " ": " " };

// The page's own log of errors, read at the end: the driver reports no console.
const LOG_ERRORS = `window.pageErrors = [];
  window.addEventListener("error", (event) => window.pageErrors.push(String(event.message)));`;

before(async () => {
  server = await common.serveSite();
  xvfb = await common.startXvfb();
  const port = await freePort();
  origin = `http://127.0.0.1:${port}`;
  driver = spawn("WebKitWebDriver", [`--port=${port}`], { env: { ...process.env, DISPLAY: xvfb.display },
                                                          stdio: "ignore" });
  assert.ok(await common.waitFor(async () => {
    try {
      return (await driverRequest("GET", "/status")).ready;
    } catch {
      return false;
    }
  }), "WebKitWebDriver did not start");
});

after(() => {
  driver?.kill("SIGKILL");
  xvfb?.stop();
  server?.close();
  common.stopComparing();
  fs.rmSync(work, { recursive: true, force: true });
});

describe("served over http, with a mouse and the keys", () => {
  let session;
  const shown = () => session.shown();
  before(async () => {
    session = await Session.start([]);
    await session.open(`${server.origin}/index.html`);
    await session.run(LOG_ERRORS);
  });
  after(() => session?.end());

  test("the first frame is the initial sine, and it waits for a click", async () => {
    assert.equal(await common.firstFrameIsTheSine(shown), null);
  });

  test("a left click animates it with the model's frames, a right press stops it, no menu", async () => {
    await session.run(`window.menuAllowed = null;
      document.addEventListener("contextmenu", (event) => (window.menuAllowed = !event.defaultPrevented));`);
    const run = await common.clickAnimatesAndRightPressStops(shown, () => session.pointer(LEFT_DOWN, LEFT_UP),
                                                             () => session.pointer(RIGHT_DOWN));
    console.log(`# WebKit: about ${run.perSecond.toFixed(0)} frames/s (frames ${run.seen})`);
    assert.equal(await session.run("return window.menuAllowed"), false, "the menu was allowed or never asked for");
    await common.readoutAgreesWithTheCanvas(shown, () => session.run(`const value = (id) =>
      Number(document.getElementById(id).dataset.value); return { frame: value("frame"), largest: value("largest") };`));
  });

  test("with the keyboard: Tab reaches the canvas, Enter starts, Escape stops, Space starts", async () => {
    await session.open(`${server.origin}/index.html`); // as a person arrives: nothing focused yet
    await session.run(LOG_ERRORS);
    assert.equal(await common.firstFrameIsTheSine(shown), null);
    await session.keys(KEY.Tab);
    assert.equal(await session.run("return document.activeElement.id"), "canvas");
    await common.keysStartAndStop(shown, (key) => session.keys(KEY[key]), () => session.run("return window.scrollY"));
    assert.deepEqual(await session.run("return window.pageErrors"), []);
  });
});

test("opened from disk as the single file, it draws and animates the model's frames", async () => {
  const session = await Session.start([]);
  try {
    await session.open(pathToFileURL(common.singleFile).href);
    const shown = () => session.shown();
    assert.equal(await common.firstFrameIsTheSine(shown), null);
    await common.clickAnimatesAndRightPressStops(shown, () => session.pointer(LEFT_DOWN, LEFT_UP),
                                                 () => session.pointer(RIGHT_DOWN));
  } finally {
    await session.end();
  }
});

test("without WebGL the page says so", async () => {
  const session = await Session.start(["--enable-webgl=false"]);
  try {
    for (const url of [`${server.origin}/index.html`, pathToFileURL(common.singleFile).href]) {
      await session.open(url);
      assert.match(await session.run(`return document.getElementById("no-webgl")?.textContent`), /needs WebGL/);
      assert.equal(await session.run(`return document.querySelector("canvas")`), null);
    }
  } finally {
    await session.end();
  }
});
