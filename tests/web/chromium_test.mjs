// The page in headless Chromium (Blink), driven over the DevTools protocol:
// served from 127.0.0.1 with the mouse and the keys, on an emulated phone
// by touch, opened from disk as the single file, and with WebGL turned off
// and taken away. The canvas and the readout are compared with the model's
// frames; the growth page is on the site and in the single file. Environment: see common.mjs;
// SCREENSHOT, where to write a picture of the page.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import { pathToFileURL } from "node:url";
import puppeteer from "puppeteer-core";
import * as common from "./common.mjs";
import { openPage, readoutOf, sharedChecks, wordsAreIn } from "./puppeteer_checks.mjs";

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

sharedChecks("Chromium", { open, launchWithoutWebGL: () => launch("--disable-webgl"), origin: () => server.origin, work });

test("the page is the program's, in its SIMD build here, in English where the browser prefers it", async () => {
  const { page, canvas, shown } = await open(`${server.origin}/index.html`);
  assert.equal(await common.firstFrameIsTheSine(shown), null);
  assert.equal(await page.title(), "wave1d");
  assert.equal(await page.$eval("html", (html) => html.lang), "en");
  assert.deepEqual(await canvas.evaluate((c) => [c.width, c.height]), [1000, 400]);
  assert.match(await page.evaluate(() => document.body.innerText), /Left click.*tap.*long press.*Enter/s);
  assert.equal(await page.evaluate(() => Module.build), "simd");
  if (process.env.SCREENSHOT) await page.screenshot({ path: process.env.SCREENSHOT });
  await page.close();
});

// The figures themselves are checked under Node (readout_test.mjs); here the
// page is fed the model's own values to frame 4,400, as it would sample them.
test("the readout shows the figures, a plot drawn on the lines it gives, and speaks only when the story changes",
     async () => {
  const { page } = await open(`${server.origin}/index.html`);
  await page.evaluate(() => {
    window.liveChanges = [];
    new MutationObserver(() => liveChanges.push(document.getElementById("spoken").textContent))
      .observe(document.querySelector("[aria-live]"), { childList: true, characterData: true, subtree: true });
  });
  for (let frame = 0; frame <= 4400; frame += 11)
    await page.evaluate((f, v) => wave1dPage.showFrame(f, v, 0), frame, await common.modelLargest(frame));
  const growth = await page.evaluate(() => Number(document.getElementById("growth").dataset.value));
  assert.ok(Math.abs(growth - 1.005112) <= 0.0004, `growth x${growth} against x1.005112`);
  assert.deepEqual(await page.$$eval("#largest span", (spans) => spans.map((s) => s.textContent)),
                   ["6.2336 × 10⁶", "6.2336 times 10 to the 6"]);
  const changes = await page.evaluate(() => liveChanges);
  assert.equal(changes.length, 1, `${changes}`);
  assert.match(changes[0], /^From frame 1,859 on the fastest mode dominates/);
  // The canvas has the lines the plot gives, in pixels (where they lie on its
  // scale is checked under Node): every solid pixel in the box is on one of
  // them and each is drawn along its length (its dashes' gaps are narrow);
  // outside the box there are only its grey labels and frame.
  const { strays, drawn } = await page.evaluate(() => {
    const picture = document.getElementById("plot"), { width, height } = picture;
    const { box: [left, top, right, bottom], lines } = wave1dPage.plot();
    const pixels = picture.getContext("2d").getImageData(0, 0, width, height).data;
    const pixel = (x, y) => [...pixels.slice(4 * (y * width + x), 4 * (y * width + x) + 4)];
    const reach = (px, py, points) => Math.min(...points.slice(1).map(([bx, by], i) => {
      const [ax, ay] = points[i], [dx, dy] = [bx - ax, by - ay];
      const t = Math.max(0, Math.min(1, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy || 1)));
      return Math.hypot(px - ax - t * dx, py - ay - t * dy);
    }));
    const strays = [];
    for (let y = 0; y < height; ++y)
      for (let x = 0; x < width; ++x) {
        const [r, g, b, a] = pixel(x, y);
        // (a faint pixel's colour is lost in rounding: only the solid ones tell)
        if (a < 128 || (Math.max(r, g, b) - Math.min(r, g, b) <= 8 && r >= 60)) continue;
        const outside = x < left - 1 || x > right + 1 || y < top - 1 || y > bottom + 1;
        if (outside || !lines.some(({ points, width: wide }) => reach(x + 0.5, y + 0.5, points) <= wide / 2 + 1))
          strays.push([x, y, r, g, b]);
      }
    // Along each line, the share of its length with a pixel of its colour within 1.5 pixels.
    const ofColour = (colour) => {
      const hex = colour.length === 4 ? colour.replace(/\w/g, "$&$&") : colour;  // #rgb as #rrggbb
      const rgb = [1, 3, 5].map((i) => parseInt(hex.substr(i, 2), 16));
      return ([r, g, b, a]) => a >= 64 && [r, g, b].every((c, i) => Math.abs(c - rgb[i]) <= 48);
    };
    const drawn = lines.map(({ name, points, colour }) => {
      let along = 0, shown = 0;
      points.slice(1).forEach(([bx, by], i) => {
        const [ax, ay] = points[i], steps = Math.ceil(Math.hypot(bx - ax, by - ay));
        for (let k = 0; k < steps; ++k) {
          const [px, py] = [ax + ((bx - ax) * k) / steps, ay + ((by - ay) * k) / steps];
          const near = [];
          for (let y = Math.floor(py - 1.5); y <= py + 1.5; ++y)
            for (let x = Math.floor(px - 1.5); x <= px + 1.5; ++x) near.push(pixel(x, y));
          ++along;
          shown += near.some(ofColour(colour));
        }
      });
      return [name, shown / along];
    });
    return { strays, drawn };
  });
  assert.deepEqual(strays.slice(0, 5), []);
  assert.deepEqual(drawn.map(([name]) => name), ["prediction", "data"]);
  for (const [name, share] of drawn) assert.ok(share >= 0.9, `${name} drawn along ${share} of its length`);
  await page.close();
});

// Every formula is the browser's own MathML, laid out: a block's fraction drawn taller
// than a line of its text, a square root wider than what it holds.
async function formulasDrawn(page, scope) {
  const drawn = await page.evaluate((s) => {
    const formulas = [...document.querySelectorAll(`${s} math`)];
    const box = (e) => e.getBoundingClientRect();
    const root = document.querySelector(`${s} msqrt`);
    const fraction = document.querySelector(`${s} math[display=block] mfrac`);
    return { count: formulas.length, mathml: formulas.every((m) => m instanceof MathMLElement),
             empty: formulas.filter((m) => box(m).width === 0).length,
             rootWider: box(root).width > box(root.firstElementChild).width,
             fractionTall: box(fraction).height > 1.5 * parseFloat(getComputedStyle(fraction).fontSize) };
  }, scope);
  assert.deepEqual(drawn, { count: drawn.count, mathml: true, empty: 0, rootWider: true, fractionTall: true });
  assert.ok(drawn.count >= 50, `${drawn.count} formulas`);
}

test("the growth page is on the site with its pictures, and in the single file", async () => {
  const picturesShown = (page, scope) => page.evaluate((s) => [...document.querySelectorAll(`${s} img`)].map(
    (img) => img.complete && img.naturalWidth > 0), scope);
  const site = await open(`${server.origin}/index.html`);
  const frame = () => readoutOf(site.page).then((said) => said.frame);
  await site.page.mouse.click(site.centre.x, site.centre.y);
  assert.ok(await common.waitFor(async () => (await frame()) > 10), "the wave did not start");
  const before = await frame();
  await Promise.all([site.page.waitForNavigation(), site.page.click("#growth-link")]);
  assert.equal(await site.page.$eval("h1", (h) => h.textContent), "Why the wave blows up");
  assert.deepEqual(await picturesShown(site.page, "body"), [true, true, true, true]);
  await formulasDrawn(site.page, "body");
  await Promise.all([site.page.waitForNavigation(), site.page.click("a#back")]);
  assert.ok((await frame()) >= before, `back at frame ${await frame()}, left at ${before}`);
  await site.page.close();
  const single = await open(pathToFileURL(common.singleFile).href);
  const section = "section[id='growth.html']";
  assert.equal(await single.page.$eval(section, (s) => getComputedStyle(s).display), "none");
  await single.page.click("#growth-link");
  assert.notEqual(await single.page.$eval(section, (s) => getComputedStyle(s).display), "none");
  assert.match(await single.page.$eval(section, (s) => s.textContent), /When the numbers give out/);
  assert.match(await single.page.$eval(section, (s) => s.textContent), /Choosing the Courant number/);
  assert.deepEqual(await picturesShown(single.page, section), [true, true, true, true]);
  await formulasDrawn(single.page, section);
  await single.page.close();
});

// The program's canvas is matched against the model, the textbook scheme's
// against that scheme at the same frame (and not two frames either side).
test("beside the textbook scheme: its wave and largest value at the program's frame, the switch remembered",
     async () => {
  const { page, shown, centre } = await open(`${server.origin}/index.html`);
  const besideShown = () => page.$eval("#textbook", (e) => getComputedStyle(e).display !== "none");
  assert.equal(await besideShown(), false, "shown before it was asked for");
  await page.click("#beside-switch");
  assert.ok(await besideShown());
  await page.mouse.click(centre.x, centre.y);
  assert.ok(await common.waitFor(async () => (await readoutOf(page)).frame > 40), "the wave did not start");
  await page.mouse.click(centre.x, centre.y, { button: "right" });
  assert.ok(await common.staysStill(shown), "still moving after the right press");
  await common.pause(600);  // the readout's next look
  const { frame } = await readoutOf(page), onCanvas = (await shown()).frame;
  assert.ok(Math.abs(onCanvas - frame) <= 1, `the program's canvas shows frame ${onCanvas}, the readout ${frame}`);
  const captions = await page.$$eval(".caption", (ps) => ps.map((p) => p.textContent.match(/[\d,]+$/)?.[0]));
  assert.deepEqual(captions.map((n) => Number(n?.replace(/,/g, ""))), [frame, frame]);
  const picture = await (await page.$("#textbook-canvas")).screenshot();
  assert.deepEqual(await common.textbookMatches(picture, work, [frame - 2, frame, frame + 2]), [false, true, false]);
  const largestShown = () => page.$eval("#textbook-largest", (dd) => Number(dd.dataset.value || NaN));
  assert.equal(await largestShown(), await common.textbookLargest(frame));
  // Turned off, the wave run on and stopped, then turned on: it catches up, its largest value with it.
  await page.click("#beside-switch");
  await page.focus("#canvas");
  await page.keyboard.press("Enter");
  assert.ok(await common.waitFor(async () => (await readoutOf(page)).frame > frame + 40), "the wave did not go on");
  await page.keyboard.press("Escape");
  assert.ok(await common.staysStill(shown), "still moving after Escape");
  await common.pause(600);
  await page.click("#beside-switch");
  const later = await common.textbookLargest((await readoutOf(page)).frame);
  assert.ok(await common.waitFor(async () => (await largestShown()) === later), `${await largestShown()}, not ${later}`);
  await page.reload();
  await wordsAreIn(page);
  assert.ok(await besideShown(), "not remembered");
  // Its WebGL taken away, both waves wait, as for the program's, and start again when it is back.
  await page.waitForFunction(() => /frame 0$/.test(document.getElementById("textbook-caption").textContent));
  await page.evaluate(() => (window.lose = document.getElementById("textbook-canvas").getContext("webgl")
    .getExtension("WEBGL_lose_context")).loseContext());
  assert.ok(await common.waitFor(() => page.$eval("#webgl-lost", (p) => !p.hidden)), "no word of the loss");
  await Promise.all([page.waitForNavigation(), page.evaluate(() => setTimeout(() => window.lose.restoreContext()))]);
  await wordsAreIn(page);
  await page.click("#beside-switch");
  await page.reload();
  await wordsAreIn(page);
  assert.equal(await besideShown(), false, "turned off, not remembered");
  await page.close();
});

// As a phone does to a page in the background, or a graphics reset to every page.
test("with WebGL taken away the page says so and the wave waits; when it is back the wave is drawn again",
     async () => {
  const { page, shown, centre } = await open(`${server.origin}/index.html`);
  assert.equal(await common.firstFrameIsTheSine(shown), null);
  const frame = () => readoutOf(page).then((said) => said.frame);
  const scriptSeconds = async (ms) => {
    const before = (await page.metrics()).ScriptDuration;
    await common.pause(ms);
    return (await page.metrics()).ScriptDuration - before;
  };
  await page.mouse.click(centre.x, centre.y);
  assert.ok(await common.waitFor(async () => (await frame()) > 10), "the wave did not start");
  const animating = await scriptSeconds(1000);
  await page.evaluate(() => (window.lose = document.getElementById("canvas").getContext("webgl")
    .getExtension("WEBGL_lose_context")).loseContext());
  assert.ok(await common.waitFor(() => page.$eval("#webgl-lost", (p) => !p.hidden)), "no word of the loss");
  assert.match(await page.$eval("#webgl-lost", (p) => p.textContent), /taken WebGL away/);
  await common.pause(300); // the readout's last look at the frame before
  const lostAt = await frame(), lost = await scriptSeconds(1000);
  assert.equal(await frame(), lostAt, "the wave went on without WebGL");
  assert.ok(lost < animating / 10, `${lost} s of script in a second without WebGL, ${animating} s animating`);
  // Given back, the page starts again: the call returns before the reload.
  await Promise.all([page.waitForNavigation(), page.evaluate(() => setTimeout(() => window.lose.restoreContext()))]);
  await wordsAreIn(page);
  assert.match(await page.$eval("#restarted", (p) => (p.hidden ? "" : p.textContent)), /started again/);
  const canvas = await page.$("canvas");
  assert.equal(await common.firstFrameIsTheSine(async () => common.frameOf(await canvas.screenshot(), work)), null);
  await page.close();
});

test("in Japanese where the browser prefers it, with a switch to English that is remembered", async () => {
  const japanese = await launch("--lang=ja", "--accept-lang=ja,en");
  try {
    const { page } = await open(`${server.origin}/index.html`, japanese);
    const said = () => page.evaluate(() => [document.documentElement.lang, document.getElementById("how").textContent,
                                            document.getElementById("readout").getAttribute("aria-label")]);
    const [lang, how, readoutLabel] = await said();
    assert.deepEqual([lang, readoutLabel], ["ja", "数値で見る波"]);
    assert.match(how, /左クリック.*タップ.*長押し.*Enter/);
    await Promise.all([page.waitForNavigation(), page.click("#growth-link")]);
    assert.deepEqual(await page.evaluate(() => [document.documentElement.lang, document.querySelector("h1").textContent]),
                     ["ja", "波はなぜ発散するのか"]);
    await Promise.all([page.waitForNavigation(), page.click("a#back")]);
    await wordsAreIn(page);
    // What a screen reader was last told is told again in the language switched to.
    await page.evaluate(() => {
      for (let frame = 10; frame <= 1100; frame += 10) wave1dPage.showFrame(frame, 20 * 1.005112 ** frame, 0);
    });
    const spoken = () => page.$eval("#spoken", (p) => p.textContent);
    assert.match(await spoken(), /^フレーム10から/);
    await page.click("button[lang=en]");
    assert.ok(await common.waitFor(async () => /^From frame 10 on the fastest mode dominates/.test(await spoken())),
              `still told: ${await spoken()}`);
    await page.reload();
    await wordsAreIn(page);
    assert.deepEqual((await said()).slice(0, 1), ["en"]);
    assert.match((await said())[1], /^A wave on a string/);
  } finally {
    await japanese.close();
  }
});

// Served from a server of its own, which is then shut down.
test("the site is installable, and after one visit it opens offline and animates", async () => {
  const own = await common.serveSite();
  const { page } = await open(`${own.origin}/index.html`);
  const session = await page.createCDPSession();
  assert.deepEqual((await session.send("Page.getInstallabilityErrors")).installabilityErrors, []);
  assert.ok(await common.waitFor(() => page.evaluate(() => navigator.serviceWorker.controller !== null)),
            "no worker keeps the site");
  own.close();
  await page.reload();
  await wordsAreIn(page);
  const frame = () => readoutOf(page).then((said) => said.frame);
  const { x, y, width, height } = await (await page.$("canvas")).boundingBox();
  await page.mouse.click(x + width / 2, y + height / 2);
  assert.ok(await common.waitFor(async () => (await frame()) > 10), "offline, the wave did not start");
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

  // A thumb resting below the canvas, as one holds a phone, is no part of a gesture.
  test("with a thumb resting beside the canvas, a tap starts it and a long press stops it", async () => {
    const { x, y } = centre;
    const box = await canvas.boundingBox();
    const thumb = { x: x, y: box.y + box.height + 40, id: 1 }, finger = { x, y, id: 2 };
    const send = (type, touchPoints) => session.send("Input.dispatchTouchEvent", { type, touchPoints });
    assert.ok(await common.staysStill(shown), "moving before the test");
    // touchStart lists every finger down; touchEnd lists those that lift.
    await send("touchStart", [thumb]);
    await send("touchStart", [thumb, finger]);
    await common.pause(50);
    await send("touchEnd", [finger]);
    assert.ok(await moving(), "a tap beside a resting thumb did not start it");
    await send("touchStart", [thumb, finger]);
    await common.pause(800);
    await send("touchEnd", [finger]);
    assert.ok(!(await moving()), "a long press beside a resting thumb did not stop it");
    await send("touchEnd", [thumb]);
    assert.ok(!(await moving()), "lifting the thumb started it");
  });

  // On a screen too short for the page a vertical swipe scrolls it, over the
  // canvas too, without starting the wave; nothing there selects text or
  // calls up a callout.
  test("a swipe over the canvas scrolls the page and does not start it", async () => {
    await page.setViewport({ ...PHONE, height: 300 });
    const swipe = async (selector) => {
      await page.evaluate(() => window.scrollTo(0, 0));
      const box = await page.evaluate((s) => JSON.parse(JSON.stringify(document.querySelector(s).getBoundingClientRect())), selector);
      const x = box.left + box.width / 2, y = Math.min(box.top + box.height / 2, 250);
      await session.send("Input.dispatchTouchEvent", { type: "touchStart", touchPoints: [{ x, y }] });
      for (let step = 1; step <= 10; ++step)
        await session.send("Input.dispatchTouchEvent", { type: "touchMove", touchPoints: [{ x, y: y - 15 * step }] });
      await session.send("Input.dispatchTouchEvent", { type: "touchEnd", touchPoints: [] });
      await common.pause(300);
      return page.evaluate(() => window.scrollY);
    };
    assert.ok((await swipe("h1")) > 0, "a swipe beside the canvas did not scroll: this check cannot tell");
    assert.ok((await swipe("canvas")) > 0, "a swipe over the canvas did not scroll the page");
    assert.ok(!(await moving()), "a swipe over the canvas started it");
    assert.deepEqual(await canvas.evaluate((c) => [getComputedStyle(c).userSelect, getComputedStyle(c).touchAction]),
                     ["none", "pan-y"]);
  });

  // Sideways, a phone's screen holds the whole wave (or both) and the buttons under it.
  test("held sideways, the whole wave and the controls are on the screen, the buttons big enough for a finger", async () => {
    const inView = async (width, height, ids) => {
      await page.setViewport({ ...PHONE, width, height });
      await page.evaluate(() => document.getElementById("stage").scrollIntoView());
      const boxes = await page.evaluate((list) => list.map((id) =>
        JSON.parse(JSON.stringify(document.getElementById(id).getBoundingClientRect()))), ids);
      boxes.forEach(({ left, right, top, bottom }, i) => assert.ok(left >= 0 && right <= width && top >= -1 && bottom <= height,
        `${width} x ${height}: ${ids[i]} at ${left}..${right} x ${top}..${bottom}`));
      return boxes;
    };
    const controls = ["start-stop", "step", "reset", "speed", "frame-wanted", "go"];
    for (const [width, height] of [[844, 390], [740, 360], [568, 320]]) {
      const boxes = await inView(width, height, ["canvas", ...controls]);
      assert.ok(boxes.slice(1).every((box) => box.height >= 44), `${boxes.map((box) => box.height)}`);
    }
    await page.click("#beside-switch");
    await inView(844, 390, ["canvas", "textbook-canvas", ...controls]);
    await page.click("#beside-switch");
  });
});

// Each control through the page, the canvas matched against the model at
// the frame the page names (the readout's, which the captions repeat).
test("the controls: bad frames refused, Go to, Step, the fitted view, Reset, Speed", async () => {
  const { page, shown } = await open(`${server.origin}/index.html`);
  assert.equal(await common.firstFrameIsTheSine(shown), null);
  const said = () => page.evaluate(() => ({ frame: Number(document.getElementById("frame").dataset.value),
                                            status: document.getElementById("go-to-status").textContent,
                                            running: document.getElementById("start-stop").getAttribute("aria-pressed") }));
  const settled = async (frame) => {
    assert.ok(await common.waitFor(async () => (await said()).frame === frame && !(await page.$eval("#step", (b) => b.disabled))),
              `the page did not come to frame ${frame}: ${JSON.stringify(await said())}`);
    await common.pause(300);  // the drawing follows the readout within a frame
  };
  const matches = async (frame, fitted = false) =>
    common.matchesFrame(await (await page.$("#canvas")).screenshot(), work, frame, fitted);
  const goTo = async (typed) => {
    await page.$eval("#frame-wanted", (input, text) => (input.value = text), typed);
    await page.click("#go");
  };
  for (const typed of ["-3", "1e9", "abc", "12.5", ""]) {
    await goTo(typed);
    assert.match((await said()).status, typed ? /is not a frame number|beyond the last frame/ : /^Type a frame number/, typed);
  }
  assert.deepEqual([(await said()).frame, await matches(0)], [0, true], "a refused frame changed the wave");
  await goTo("1,300");
  await settled(1300);
  assert.deepEqual([await matches(1300), await matches(1299), (await said()).running], [true, false, "false"]);
  await page.click("#step");
  await settled(1301);
  assert.equal(await matches(1301), true);
  await page.click("#fit-switch");
  assert.deepEqual([await matches(1301, true), await matches(1301)], [true, false], "not fitted to the view");
  assert.match(await page.$eval("#fit-range", (e) => e.textContent), /^y from −2\.\d+ to 2\.\d+$/);
  await page.click("#fit-switch");
  // Reset in the middle of a jump ends it at frame 0, saying nothing of where it got to.
  await goTo("100000");
  assert.ok(await common.waitFor(() => page.$eval("#step", (b) => b.disabled)), "no jump under way");
  await page.click("#reset");
  await settled(0);
  await common.pause(500);
  assert.ok(await matches(0), "Reset did not bring back the first frame");
  assert.match((await said()).status, /^0 to 150,000/, "a word of the jump Reset ended");
  assert.equal(await page.evaluate(() => wave1dPage.readout.samples.length), 1, "the readout kept its history");
  // At 5 frames a second, by the page's own clock over three seconds.
  await page.select("#speed", "5");
  await page.click("#start-stop");
  const rate = async () => page.evaluate(() => [performance.now(), Module._wave1dFramesShown()]);
  await common.pause(500);
  const [t0, f0] = await rate();
  await common.pause(3000);
  const [t1, f1] = await rate();
  await page.click("#start-stop");
  const perSecond = ((f1 - f0) * 1000) / (t1 - t0);
  assert.ok(perSecond > 2.5 && perSecond < 5.5, `${perSecond} frames a second at a pace of 5`);
  const stopped = (await said()).frame;
  await settled(stopped);
  assert.ok(await matches(stopped), `the canvas is not the model's frame ${stopped}`);
  // The fitted view is remembered, from the first frame of the next visit.
  await page.click("#fit-switch");
  await page.reload();
  await wordsAreIn(page);
  await settled(0);
  assert.deepEqual([await page.$eval("#fit-switch", (box) => box.checked), await matches(0, true)], [true, true]);
  await page.click("#fit-switch");
  await page.close();
});

test("no page logged an error or asked anything of another host", () => {
  assert.deepEqual(problems, []);
});
