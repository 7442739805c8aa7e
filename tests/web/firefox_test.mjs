// The page in Firefox ESR (Gecko), driven over WebDriver BiDi, in a private
// Xvfb: headless Firefox has no WebGL, and on Xvfb's software OpenGL it is
// allowed only when forced. Served from 127.0.0.1 with the mouse and the
// keys, opened from disk as the single file, and with WebGL turned off. The
// canvas is compared with the model's frames. Environment: see common.mjs.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import { pathToFileURL } from "node:url";
import puppeteer from "puppeteer-core";
import * as common from "./common.mjs";

const work = common.workFolder();
const problems = []; // console errors, page errors and requests to other hosts
let server, xvfb, browser;

function launch(prefs) {
  return puppeteer.launch({
    browser: "firefox",
    executablePath: "/usr/bin/firefox-esr",
    headless: false,
    userDataDir: fs.mkdtempSync(path.join(work, "profile-")),
    env: { ...process.env, DISPLAY: xvfb.display },
    // No updates, studies or telemetry: nothing but the page goes out.
    extraPrefsFirefox: { "app.update.enabled": false, "app.normandy.enabled": false,
                         "datareporting.policy.dataSubmissionEnabled": false, "browser.newtabpage.enabled": false,
                         ...prefs },
  });
}

async function open(url, into = browser) {
  const page = await into.newPage();
  page.on("console", (message) => message.type() === "error" && problems.push(`console: ${message.text()}`));
  page.on("pageerror", (error) => problems.push(`page: ${error}`));
  await page.setViewport({ width: 1100, height: 700 });
  await page.goto(url);
  const canvas = await page.$("canvas");
  const box = canvas && (await canvas.boundingBox());
  return {
    page, canvas, centre: box && { x: box.x + box.width / 2, y: box.y + box.height / 2 },
    shown: async () => common.frameOf(await canvas.screenshot(), work),
  };
}

before(async () => {
  server = await common.serveSite();
  xvfb = await common.startXvfb();
  browser = await launch({ "webgl.force-enabled": true });
});

after(async () => {
  await browser?.close();
  xvfb?.stop();
  server?.close();
  fs.rmSync(work, { recursive: true, force: true });
});

describe("served over http, with a mouse", () => {
  let page, centre, shown;
  before(async () => ({ page, centre, shown } = await open(`${server.origin}/index.html`)));
  after(() => page.close());

  test("the first frame is the initial sine, and it waits for a click", async () => {
    assert.equal(await common.firstFrameIsTheSine(shown), null);
  });

  test("only the left button starts it, a right press stops it, a right click opens no menu", async () => {
    const { x, y } = centre;
    await page.mouse.click(x, y, { button: "middle" });
    assert.ok(await common.staysStill(shown), "a middle click started it");
    const run = await common.animatesWithTheModelsFrames(shown, () => page.mouse.click(x, y));
    assert.equal(run.problem, undefined, run.problem);
    console.log(`# Firefox: about ${run.perSecond.toFixed(0)} frames/s (frames ${run.seen})`);
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
  const { page, shown } = await open(`${server.origin}/index.html`);
  assert.equal(await common.firstFrameIsTheSine(shown), null);
  await page.keyboard.press("Tab");
  assert.equal(await page.evaluate(() => document.activeElement.id), "canvas");
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

test("opened from disk as the single file, it draws and animates the model's frames", async () => {
  const { page, centre, shown } = await open(pathToFileURL(common.singleFile).href);
  assert.equal(await common.firstFrameIsTheSine(shown), null);
  const run = await common.animatesWithTheModelsFrames(shown, () => page.mouse.click(centre.x, centre.y));
  assert.equal(run.problem, undefined, run.problem);
  await page.mouse.down({ button: "right" });
  assert.ok(await common.staysStill(shown), "still moving after the right press");
  await page.close();
});

test("without WebGL the page says so and nothing fails", async () => {
  const plain = await launch({ "webgl.disabled": true });
  try {
    for (const url of [`${server.origin}/index.html`, pathToFileURL(common.singleFile).href]) {
      const { page, canvas } = await open(url, plain);
      assert.match(await page.evaluate(() => document.getElementById("no-webgl")?.textContent), /needs WebGL/);
      assert.equal(canvas, null);
      await common.pause(500);
      await page.close();
    }
  } finally {
    await plain.close();
  }
});

test("no page logged an error", () => {
  assert.deepEqual(problems, []);
});
