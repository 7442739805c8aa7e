// The page in headless Chromium (Blink), driven over the DevTools protocol:
// served from 127.0.0.1 with the mouse and the keys, on an emulated phone
// by touch, opened from disk as the single file, and with WebGL turned off.
// The canvas is compared with the model's frames. Environment: see common.mjs;
// SCREENSHOT, where to write a picture of the page.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import puppeteer from "puppeteer-core";
import * as common from "./common.mjs";
import { openPage, sharedChecks } from "./puppeteer_checks.mjs";

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

function open(url, into = browser, viewport = undefined) {
  return openPage(into, url, { viewport, work, problems });
}

before(async () => {
  server = await common.serveSite();
  browser = await launch();
});

after(async () => {
  await browser?.close();
  server?.close();
  common.stopComparing();
  fs.rmSync(work, { recursive: true, force: true });
});

sharedChecks("Chromium", { open, launchWithoutWebGL: () => launch("--disable-webgl"), origin: () => server.origin });

test("the page is the program's, in its SIMD build here", async () => {
  const { page, canvas, shown } = await open(`${server.origin}/index.html`);
  assert.equal(await common.firstFrameIsTheSine(shown), null);
  assert.equal(await page.title(), "wave1d");
  assert.deepEqual(await canvas.evaluate((c) => [c.width, c.height]), [1000, 400]);
  assert.match(await page.evaluate(() => document.body.innerText), /Left click.*tap.*long press.*Enter/s);
  assert.equal(await page.evaluate(() => Module.build), "simd");
  if (process.env.SCREENSHOT) await page.screenshot({ path: process.env.SCREENSHOT });
  await page.close();
});

describe("on a phone, by touch", () => {
  const PHONE = { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true };
  let page, canvas, centre, session, shown;
  before(async () => {
    ({ page, canvas, centre, shown } = await open(`${server.origin}/index.html`, browser, PHONE));
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
    const { x, y } = centre;
    assert.ok(await common.waitFor(async () => (await shown()).rgb.includes(0)), "nothing drawn");
    assert.ok(await common.staysStill(shown), "the wave moved before any touch");
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
  });

  // On a screen too short for the page, a swipe scrolls it, except over the
  // canvas, where it is no gesture at all; nothing there selects text or
  // calls up a callout either.
  test("a swipe over the canvas neither starts it nor scrolls the page; one beside it scrolls", async () => {
    await page.setViewport({ ...PHONE, height: 300 });
    const swipe = async (selector) => {
      const box = await page.evaluate((s) => JSON.parse(JSON.stringify(document.querySelector(s).getBoundingClientRect())), selector);
      const x = box.left + box.width / 2, y = Math.min(box.top + box.height / 2, 250);
      await session.send("Input.dispatchTouchEvent", { type: "touchStart", touchPoints: [{ x, y }] });
      for (let step = 1; step <= 10; ++step)
        await session.send("Input.dispatchTouchEvent", { type: "touchMove", touchPoints: [{ x, y: y - 15 * step }] });
      await session.send("Input.dispatchTouchEvent", { type: "touchEnd", touchPoints: [] });
      await common.pause(300);
      return page.evaluate(() => window.scrollY);
    };
    assert.equal(await swipe("canvas"), 0, "a swipe over the canvas scrolled the page");
    assert.ok(!(await moving()), "a swipe over the canvas started it");
    assert.ok((await swipe("h1")) > 0, "a swipe beside the canvas did not scroll: this check cannot tell");
    assert.deepEqual(await canvas.evaluate((c) => [getComputedStyle(c).userSelect, getComputedStyle(c).touchAction]),
                     ["none", "none"]);
  });
});

test("no page logged an error or asked anything of another host", () => {
  assert.deepEqual(problems, []);
});
