// The page in headless Chromium (Blink), driven over the DevTools protocol:
// served from 127.0.0.1 with the mouse and the keys, on an emulated phone
// by touch, opened from disk as the single file, and with WebGL turned off.
// The canvas is compared with the model's frames. Environment: see common.mjs;
// SCREENSHOT, where to write a picture of the page.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import { pathToFileURL } from "node:url";
import puppeteer from "puppeteer-core";
import * as common from "./common.mjs";

const work = common.workFolder();
const problems = []; // console errors, page errors and requests to other hosts
let server, browser;

// As root, without a sandbox; no background traffic to the browser maker's hosts.
function launch(...extra) {
  return puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    headless: true,
    userDataDir: fs.mkdtempSync(path.join(work, "profile-")),
    args: ["--no-sandbox", "--no-first-run", "--disable-background-networking", "--disable-component-update",
           "--disable-sync", "--disable-quic", "--use-angle=swiftshader", "--enable-unsafe-swiftshader", ...extra],
  });
}

async function open(url, viewport = { width: 1100, height: 700 }, into = browser) {
  const page = await into.newPage();
  page.on("console", (message) => message.type() === "error" && problems.push(`console: ${message.text()}`));
  page.on("pageerror", (error) => problems.push(`page: ${error}`));
  page.on("request", (request) =>
    /^(http:\/\/127\.0\.0\.1|file:|data:)/.test(request.url()) || problems.push(`fetched ${request.url()}`));
  await page.setViewport(viewport);
  await page.goto(url);
  const canvas = await page.$("canvas");
  return { page, canvas, shown: async () => common.frameOf(await canvas.screenshot(), work) };
}

async function centre(canvas) {
  const box = await canvas.boundingBox();
  return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
}

before(async () => {
  server = await common.serveSite();
  browser = await launch();
});

after(async () => {
  await browser?.close();
  server?.close();
  fs.rmSync(work, { recursive: true, force: true });
});

describe("served over http, with a mouse", () => {
  let page, canvas, shown;
  before(async () => ({ page, canvas, shown } = await open(`${server.origin}/index.html`)));
  after(() => page.close());

  test("the page is the program's, in its SIMD build here", async () => {
    assert.equal(await page.title(), "wave1d");
    assert.deepEqual(await canvas.evaluate((c) => [c.width, c.height]), [1000, 400]);
    assert.match(await page.evaluate(() => document.body.innerText), /Left click.*tap.*long press.*Enter/s);
    assert.equal(await page.evaluate(() => Module.build), "simd");
  });

  test("the first frame is the initial sine, and it waits for a click", async () => {
    assert.equal(await common.firstFrameIsTheSine(shown), null);
    if (process.env.SCREENSHOT) await page.screenshot({ path: process.env.SCREENSHOT });
  });

  test("only the left button starts it, a right press stops it, a right click opens no menu", async () => {
    const { x, y } = await centre(canvas);
    await page.mouse.click(x, y, { button: "middle" });
    assert.ok(await common.staysStill(shown), "a middle click started it");
    const run = await common.animatesWithTheModelsFrames(shown, () => page.mouse.click(x, y, { button: "left" }));
    assert.equal(run.problem, undefined, run.problem);
    console.log(`# Chromium: about ${run.perSecond.toFixed(0)} frames/s (frames ${run.seen})`);
    await page.evaluate(() => {
      window.menuAllowed = null;
      document.addEventListener("contextmenu", (event) => (window.menuAllowed = !event.defaultPrevented));
    });
    await page.mouse.down({ button: "right" });
    assert.ok(await common.staysStill(shown), "still moving after the right press");
    await page.mouse.up({ button: "right" });
    assert.ok(await common.staysStill(shown), "a right release started it");
    assert.equal(await page.evaluate(() => window.menuAllowed), false, "the menu was allowed or never asked for");
  });

});

// As a person arrives: a fresh page, nothing focused yet.
test("with the keyboard: Tab reaches the canvas, Enter starts, Escape stops, Space starts", async () => {
  const { page, canvas, shown } = await open(`${server.origin}/index.html`);
  assert.equal(await common.firstFrameIsTheSine(shown), null);
  await page.keyboard.press("Tab");
  assert.equal(await page.evaluate(() => document.activeElement.id), "canvas");
  assert.ok(await canvas.evaluate((c) => c.matches(":focus-visible") && getComputedStyle(c).outlineWidth === "3px"),
            "the focus is not shown");
  assert.match(await canvas.evaluate((c) => c.getAttribute("aria-label")), /Enter.*starts.*Escape.*stops/);
  await page.keyboard.press("Enter");
  assert.ok(!(await common.staysStill(shown)), "Enter did not start it");
  await page.keyboard.press("Escape");
  assert.ok(await common.staysStill(shown), "Escape did not stop it");
  await page.keyboard.press(" ");
  assert.ok(!(await common.staysStill(shown)), "Space did not start it");
  await page.keyboard.press("Escape");
  assert.equal(await page.evaluate(() => window.scrollY), 0, "a key scrolled the page");
  await page.close();
});

describe("on a phone, by touch", () => {
  const PHONE = { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true };
  let page, canvas, session, shown;
  before(async () => {
    ({ page, canvas, shown } = await open(`${server.origin}/index.html`, PHONE));
    session = await page.createCDPSession();
  });
  after(() => page.close());

  // Touch points in CSS pixels; each finger still for `holdMs`.
  async function touch(points, holdMs) {
    const touchPoints = points.map(([x, y], id) => ({ x, y, id }));
    await session.send("Input.dispatchTouchEvent", { type: "touchStart", touchPoints });
    await common.pause(holdMs);
    await session.send("Input.dispatchTouchEvent", { type: "touchEnd", touchPoints: [] });
  }
  const moving = async () => !(await common.staysStill(shown));

  test("the whole canvas is in view, with no sideways scrolling down to 360 pixels", async () => {
    for (const width of [390, 360]) {
      await page.setViewport({ ...PHONE, width });
      // A page wider than the screen would make a phone zoom out, and the
      // window's own width grow with it: the screen's width is the measure.
      const layout = await page.evaluate(() => {
        const box = document.getElementById("canvas").getBoundingClientRect();
        return { scrollWidth: document.documentElement.scrollWidth, left: box.left, right: box.right };
      });
      assert.ok(layout.scrollWidth <= width, `${width} px: the page is ${layout.scrollWidth} px wide`);
      assert.ok(layout.left >= 0 && layout.right <= width, `${width} px: canvas at ${layout.left}..${layout.right}`);
      assert.deepEqual(await canvas.evaluate((c) => [c.width, c.height]), [1000, 400]);
    }
  });

  test("a tap starts it, a long press stops it, a tap starts it again, a two-finger tap stops it", async () => {
    const { x, y } = await centre(canvas);
    assert.ok(await common.waitFor(async () => (await shown()).rgb.includes(0)), "nothing drawn");
    assert.ok(await common.staysStill(shown), "the wave moved before any touch");
    await page.evaluate(() => {
      window.menus = 0;
      document.addEventListener("contextmenu", (event) => event.defaultPrevented || ++window.menus);
    });
    const scroll = () => page.evaluate(() => [window.scrollX, window.scrollY, visualViewport.scale]);
    const before = await scroll();
    await touch([[x, y]], 50);
    assert.ok(await moving(), "a tap did not start it");
    await touch([[x, y]], 800);
    assert.ok(!(await moving()), "a long press did not stop it");
    await touch([[x, y]], 50);
    assert.ok(await moving(), "a tap after the long press did not start it");
    await touch([[x - 40, y], [x + 40, y]], 80);
    assert.ok(!(await moving()), "a two-finger tap did not stop it");
    await touch([[x, y]], 800);
    assert.ok(!(await moving()), "a long press while stopped started it");
    assert.deepEqual(await scroll(), before, "the page scrolled or zoomed");
    assert.equal(await page.evaluate(() => window.menus), 0, "a menu was allowed");
  });
});

test("opened from disk as the single file, it draws and animates the model's frames", async () => {
  const { page, canvas, shown } = await open(pathToFileURL(common.singleFile).href);
  assert.equal(await common.firstFrameIsTheSine(shown), null);
  const { x, y } = await centre(canvas);
  const run = await common.animatesWithTheModelsFrames(shown, () => page.mouse.click(x, y));
  assert.equal(run.problem, undefined, run.problem);
  await page.mouse.down({ button: "right" });
  assert.ok(await common.staysStill(shown), "still moving after the right press");
  await page.close();
});

test("without WebGL the page says so and nothing fails", async () => {
  const plain = await launch("--disable-webgl");
  try {
    for (const url of [`${server.origin}/index.html`, pathToFileURL(common.singleFile).href]) {
      const { page } = await open(url, undefined, plain);
      assert.match(await page.evaluate(() => document.getElementById("no-webgl")?.textContent), /needs WebGL/);
      assert.equal(await page.$("canvas"), null);
      await common.pause(500);
      await page.close();
    }
  } finally {
    await plain.close();
  }
});

test("no page logged an error or asked anything of another host", () => {
  assert.deepEqual(problems, []);
});
