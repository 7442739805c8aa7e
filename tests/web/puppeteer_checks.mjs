// The checks Chromium and Firefox share, both driven by puppeteer (over the
// DevTools protocol and over WebDriver BiDi). The engine's file supplies
//   open(url, browser?)   resolving to openPage's tab
//   launchWithoutWebGL()  resolving to a browser whose WebGL is turned off
//   origin()              the served site's origin
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { pathToFileURL } from "node:url";
import * as common from "./common.mjs";

// A new tab of `browser` at `url`; what it logs as an error and what it asks
// of any host but 127.0.0.1 goes into `problems`.
export async function openPage(browser, url, { viewport = { width: 1100, height: 700 }, work, problems }) {
  const page = await browser.newPage();
  page.on("console", (message) => message.type() === "error" && problems.push(`console: ${message.text()}`));
  page.on("pageerror", (error) => problems.push(`page: ${error}`));
  page.on("request", (request) =>
    /^(http:\/\/127\.0\.0\.1|file:|data:)/.test(request.url()) || problems.push(`fetched ${request.url()}`));
  await page.setViewport(viewport);
  await page.goto(url);
  await wordsAreIn(page);
  const canvas = await page.$("canvas");
  const box = canvas && (await canvas.boundingBox());
  return {
    page, canvas, centre: box && { x: box.x + box.width / 2, y: box.y + box.height / 2 },
    shown: async () => common.frameOf(await canvas.screenshot(), work),
  };
}

// The page's words arrive a moment after the page.
export function wordsAreIn(page) {
  return page.waitForFunction(() => document.getElementById("how").textContent !== "");
}

// What the page's readout says: the frame on the canvas and its largest |value|.
export function readoutOf(page) {
  return page.evaluate(() => ({ frame: Number(document.getElementById("frame").dataset.value),
                                largest: Number(document.getElementById("largest").dataset.value) }));
}

// `work` is a folder for the canvas's pictures.
export function sharedChecks(engine, { open, launchWithoutWebGL, origin, work }) {
  describe("served over http, with a mouse", () => {
    let page, centre, shown;
    before(async () => ({ page, centre, shown } = await open(`${origin()}/index.html`)));
    after(() => page.close());

    test("the first frame is the initial sine, and it waits for a click", async () => {
      assert.equal(await common.firstFrameIsTheSine(shown), null);
    });

    test("only the left button over the canvas starts it, a right press stops it, a right click opens no menu",
         async () => {
      const { x, y } = centre;
      await page.mouse.click(x, y, { button: "middle" });
      assert.ok(await common.staysStill(shown), "a middle click started it");
      const text = await (await page.$("#how")).boundingBox();
      await page.mouse.click(text.x + 10, text.y + text.height / 2);
      assert.ok(await common.staysStill(shown), "a click on the page's text started it");
      await page.evaluate(() => {
        window.menuAllowed = null;
        document.addEventListener("contextmenu", (event) => (window.menuAllowed = !event.defaultPrevented));
      });
      const run = await common.clickAnimatesAndRightPressStops(shown, () => page.mouse.click(x, y),
                                                               () => page.mouse.down({ button: "right" }));
      console.log(`# ${engine}: about ${run.perSecond.toFixed(0)} frames/s (frames ${run.seen})`);
      await page.mouse.up({ button: "right" });
      assert.ok(await common.staysStill(shown), "a right release started it");
      assert.equal(await page.evaluate(() => window.menuAllowed), false, "the menu was allowed or never asked for");
      await common.readoutAgreesWithTheCanvas(shown, () => readoutOf(page));
    });
  });

  // As a person arrives: a fresh page, nothing focused yet.
  test("with the keyboard: Tab reaches the canvas, Enter starts, Escape stops, Space starts", async () => {
    const { page, shown } = await open(`${origin()}/index.html`);
    assert.equal(await common.firstFrameIsTheSine(shown), null);
    await page.keyboard.press("Tab");
    const focused = await page.evaluate(() => {
      const element = document.activeElement;
      return [element.id, element.matches(":focus-visible"), getComputedStyle(element).outlineWidth,
              element.getAttribute("aria-label")];
    });
    assert.deepEqual(focused.slice(0, 3), ["canvas", true, "3px"], "the canvas is not focused, or not visibly");
    assert.match(focused[3], /Enter.*starts.*Escape.*stops/);
    await common.keysStartAndStop(shown, (key) => page.keyboard.press(key), () => page.evaluate(() => window.scrollY));
    await page.close();
  });

  test("opened from disk as the single file, it draws and animates the model's frames", async () => {
    const { page, centre, shown } = await open(pathToFileURL(common.singleFile).href);
    assert.equal(await common.firstFrameIsTheSine(shown), null);
    await common.clickAnimatesAndRightPressStops(shown, () => page.mouse.click(centre.x, centre.y),
                                                 () => page.mouse.down({ button: "right" }));
    await page.close();
  });

  test("without WebGL the page says so and nothing fails", async () => {
    const plain = await launchWithoutWebGL();
    try {
      for (const url of [`${origin()}/index.html`, pathToFileURL(common.singleFile).href]) {
        const { page } = await open(url, plain);
        assert.match(await page.evaluate(() => document.getElementById("no-webgl")?.textContent), /needs WebGL/);
        assert.equal(await page.$("canvas"), null);
        await common.pause(500); // for an error on the next frames, if any
        await page.close();
      }
    } finally {
      await plain.close();
    }
  });

  test("the stability lesson: nu = 1.1 a step a frame in both schemes, predicted and measured; a bad address falls back", async () => {
    const { page } = await open(`${origin()}/index.html#nu=7&steps=1`);
    const text = (id) => page.$eval(`#${id}`, (e) => e.textContent);
    const value = (id) => page.$eval(`#${id}`, (e) => Number(e.dataset.value));
    assert.match(await text("explore-status"), /not one of the choices: this program's own run/);
    assert.equal(await page.evaluate(() => document.documentElement.classList.contains("explored")), false);
    const snap = async (id) => (await page.$(`#${id}`)).screenshot();
    assert.ok(await common.matchesFrame(await snap("canvas"), work, 0), "the fallback is not the program's own frame 0");
    await page.click("#beside-switch");
    await page.select("#courant", "1.1");
    await page.$eval("#steps-per-frame", (input) => (input.value = "1"));
    // Chosen during a jump, the run ends it as Reset does.
    await page.$eval("#frame-wanted", (input) => (input.value = "100000"));
    await page.click("#go");
    assert.ok(await common.waitFor(async () => /^Computing frame/.test(await text("go-to-status"))), "no jump under way");
    await page.click("#explore-form button[type=submit]");
    assert.match(await text("go-to-status"), /^0 to 150,000, past the overflow$/);
    assert.equal(new URL(page.url()).hash, "#nu=1.1&steps=1");
    assert.match(await text("explored-run"), /ν = 1\.1 \(c = ν² = 1\.21\), steps a frame: 1/);
    assert.match(await text("how"), /^A wave on a string of 201 points, advanced 1 time step per frame\./);
    const goTo = async (frame) => {
      await page.$eval("#frame-wanted", (input, typed) => (input.value = typed), String(frame));
      await page.click("#go");
      assert.ok(await common.waitFor(async () => (await value("frame")) === frame &&
                                                (await page.$eval("#textbook-caption", (e) => e.textContent)).endsWith(String(frame))));
      await common.pause(300);
    };
    await common.chooseRun("1.21", 1);
    // A busy machine's browser may show a drawing a moment after the readout has its frame.
    const shows = async (frame, fitted) => common.waitFor(async () =>
      (await common.matchesFrame(await snap("canvas"), work, frame, fitted)) &&
      (await common.textbookMatches(await snap("textbook-canvas"), work, [frame], fitted))[0], 10000);
    await goTo(4);
    assert.deepEqual([await shows(4, false), ...(await common.textbookMatches(await snap("textbook-canvas"), work, [3]))],
                     [true, false]);
    await page.click("#fit-switch");
    await goTo(500);
    assert.ok(await shows(500, true), "the canvases are not both schemes' frame 500, fitted");
    await page.click("#fit-switch");
    // Per frame, sqrt(1 + 1.21 lambda) and the textbook scheme's larger root, lambda = 4 cos^2(pi / 402).
    const [program, textbook] = [await value("growth"), await value("textbook-growth")];
    assert.ok(Math.abs(program / 2.416548 - 1) < 1e-3 && Math.abs(textbook / 2.427811 - 1) < 1e-3, `×${program}, ×${textbook}`);
    assert.deepEqual([await text("predicted"), await text("textbook-predicted")], ["×2.416548", "×2.427811"]);
    // A run typed into the address of the open page is taken; then back to the program's own run:
    // its frame 0, the address without a run.
    await page.evaluate(() => (location.hash = "#nu=0.1&steps=51"));
    assert.ok(await common.waitFor(async () => /ν = 0\.1 /.test(await text("explored-run"))), "the address's run not taken");
    await page.click("#back-to-own-run");
    await common.waitFor(async () => (await value("frame")) === 0);
    await common.chooseRun("0.00005", 51);
    await common.pause(300);
    assert.deepEqual([new URL(page.url()).hash, await common.matchesFrame(await snap("canvas"), work, 0),
                      await text("textbook-predicted")], ["", true, "bounded: no mode grows"]);
    await page.click("#beside-switch");
    await page.close();
  });
}
