// Two releases of the site in headless Chromium, behind a host that lets
// browsers keep scripts, WebAssembly and JSON for a year and revalidates
// HTML: release A, then B with its page, program and words changed, made
// from A as scripts/web.sh makes a release, beside another page's file that
// names its versions its own way. An open page keeps A's files after B's
// worker has taken over; B comes whole through the page's notice, with what
// A's pages had kept of B's files, and opens offline whichever build the
// browser asks for, its growth pages too, opened or not.
// Environment: see common.mjs.
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import path from "node:path";
import puppeteer from "puppeteer-core";
import * as common from "./common.mjs";
import { openPage, readoutOf, wordsAreIn } from "./puppeteer_checks.mjs";

const work = common.workFolder(), problems = [];
const releases = { A: path.join(work, "A"), B: path.join(work, "B") };
let published = releases.A, server, browser;
// At first the host has lost one of the growth pages' pictures.
let missing = (file) => file.endsWith("growth-spacetime.png");

const releaseOf = (folder) =>
  JSON.parse(/id="release">(.*?)<\/script>/s.exec(fs.readFileSync(path.join(folder, "index.html"), "utf8"))[1]);

before(async () => {
  fs.cpSync(common.site, releases.A, { recursive: true });
  fs.cpSync(releases.A, releases.B, { recursive: true });
  const edit = (file, change) => fs.writeFileSync(path.join(releases.B, file),
                                                  change(fs.readFileSync(path.join(releases.B, file), "utf8")));
  edit("index.html", (text) => text.replace("<h1>wave1d</h1>", "<h1>wave1d B</h1>"));
  edit("wave1d.js", (text) => `${text}\nvar programRelease = "B";\n`);
  for (const language of ["en", "ja"]) edit(`words/${language}.json`, (text) => text.replace('"how": "', '"how": "[B] '));
  execFileSync("python3", [new URL("../../web/release.py", import.meta.url).pathname, releases.B,
                           releaseOf(releases.A).version]);
  for (const folder of Object.values(releases)) fs.writeFileSync(path.join(folder, "elsewhere.css"), "p { color: red }");
  const cacheControl = (file) => (file.endsWith(".html") ? "no-cache"
                                  : /\.(js|wasm|json)$/.test(file) ? "public, max-age=31536000" : null);
  server = await common.serveSite({ folder: () => published, missing: (file) => missing(file),
                                    headers: (file) => (cacheControl(file) ? { "Cache-Control": cacheControl(file) } : {}) });
  browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium", headless: true, userDataDir: path.join(work, "profile"),
    args: ["--no-sandbox", "--no-first-run", "--disable-background-networking", "--disable-component-update",
           "--disable-sync", "--use-angle=swiftshader", "--enable-unsafe-swiftshader"],
  });
});

after(async () => {
  await browser?.close();
  server?.close();
  fs.rmSync(work, { recursive: true, force: true });
});

const heading = (page) => page.$eval("h1", (h) => h.textContent);
const how = (page) => page.$eval("#how", (p) => p.textContent);
const noticeShown = (page) => common.waitFor(() => page.$eval("#update", (p) => !p.hidden));
const fetchedIn = (page, ...addresses) =>
  page.evaluate((list) => Promise.all(list.map((a) => fetch(a).then((r) => r.text(), (e) => `${e}`))), addresses);
const follow = (page, link) => Promise.all([page.waitForNavigation(), page.click(link)]);
// The growth page's heading and the picture files it shows.
const growthPage = (page) => page.evaluate(() => [document.querySelector("h1").textContent.trim(),
  ...[...document.images].map((img) => img.complete && img.naturalWidth > 0 && new URL(img.src).pathname.slice(0, 40))]);

async function animates(page) {
  const { x, y, width, height } = await (await page.$("canvas")).boundingBox();
  await page.mouse.click(x + width / 2, y + height / 2);
  return common.waitFor(async () => (await readoutOf(page)).frame > 10);
}

test("an open page keeps its release; the notice brings the next one whole, which opens offline", async () => {
  const open = (url) => openPage(browser, url, { work, problems }).then(({ page }) => page);
  const first = await open(`${server.origin}/index.html`);
  // A growth page's picture that cannot be had is no reason not to keep the page itself.
  assert.ok(await common.waitFor(() => first.evaluate(() => navigator.serviceWorker.controller !== null)),
            "no worker keeps the site");
  missing = () => false;
  await first.reload();  // now from A's worker
  await wordsAreIn(first);
  // Another page's files on the same host are the network's, whatever their versions.
  assert.deepEqual(await fetchedIn(first, "elsewhere.css?v=2", "elsewhere.css?v=4.7.0"), Array(2).fill("p { color: red }"));
  // What A's page keeps once opened or fetched (the English growth page, an icon) is the same in B.
  await follow(first, "#growth-link");
  await follow(first, "a#back");
  await wordsAreIn(first);
  const icon = releaseOf(releases.A).files["icons/wave1d-512.png"];
  assert.equal(icon, releaseOf(releases.B).files["icons/wave1d-512.png"]);
  await fetchedIn(first, icon);
  // A's worker again under another address (as when moving from an older worker, sw.js?wasm=...) is no news.
  await first.evaluate(() => navigator.serviceWorker.register("sw.js?moved"));
  assert.ok(await common.waitFor(() => first.evaluate(async () => (await navigator.serviceWorker.ready).waiting)));
  await common.pause(500);
  assert.equal(await first.$eval("#update", (p) => p.hidden), true, "a notice of the release the page already has");

  published = releases.B;
  // Another visit finds B, whose worker waits: both pages are A's and say that B is ready.
  const second = await open(`${server.origin}/index.html`);
  assert.equal(await heading(second), "wave1d");
  assert.ok((await noticeShown(second)) && (await noticeShown(first)), "no notice of the new release");
  // A page reloaded meanwhile is still A's, and leaves B's kept files alone.
  await first.reload();
  await wordsAreIn(first);
  assert.equal(await heading(first), "wave1d");
  await Promise.all([second.waitForNavigation(), second.click("#update button")]);
  await wordsAreIn(second);
  assert.deepEqual([await heading(second), (await how(second)).slice(0, 4)], ["wave1d B", "[B] "]);
  assert.ok(await common.waitFor(() => second.evaluate(() => typeof Module.asm === "object")), "B's program did not start");
  assert.equal(await second.evaluate(() => globalThis.programRelease), "B");
  const addresses = new Set(Object.values(releaseOf(releases.B).files).map((file) => `${server.origin}/${file}`));
  const fetched = await second.evaluate(() => performance.getEntriesByType("resource").map(({ name }) => name));
  assert.deepEqual(fetched.filter((url) => url.startsWith(server.origin) && !url.endsWith("/sw.js") && !addresses.has(url)),
                   [], "files not of release B");

  // The first page, served by B's worker now, is still A's to the last word.
  await first.bringToFront();
  await first.click("button[lang=ja]");
  await first.waitForFunction(() => document.documentElement.lang === "ja");
  assert.match(await how(first), /^201個/, "the first page switched to words not of its release");

  // Offline, the page has only what the worker kept, not the browser's HTTP
  // cache: the growth pages too, once the worker has kept them after the visit's files.
  const japanese = `${server.origin}/${releaseOf(releases.B).files["growth.ja.html"]}`;
  assert.ok(await common.waitFor(() => second.evaluate((key) => caches.match(key).then(Boolean), japanese)),
            "B's worker did not keep the Japanese growth page");
  await (await first.createCDPSession()).send("Network.clearBrowserCache");
  server.close();
  await first.reload();
  await wordsAreIn(first);
  assert.deepEqual([await heading(first), (await how(first)).slice(0, 4)], ["wave1d B", "[B] "]);
  assert.ok(await animates(first), "offline, B did not animate");

  // Told that SIMD is not there (or that it is, elsewhere), the page starts on the build it has.
  const flipped = await browser.newPage();
  await flipped.evaluateOnNewDocument(() => {
    const validate = WebAssembly.validate;
    WebAssembly.validate = (bytes) => !validate(bytes);
  });
  await flipped.goto(`${server.origin}/index.html`);
  await wordsAreIn(flipped);
  assert.ok(await animates(flipped), "offline with the SIMD answer turned around, the wave did not start");
  assert.equal(await flipped.evaluate(() => Module.build), "simd", "not the build this browser keeps");
  // No page is A's any more: its cache goes.
  const kept = () => flipped.evaluate(() => caches.keys());
  assert.ok(await common.waitFor(async () => (await kept()).length === 2), `kept: ${await kept()}`);
  // With A's cache gone: the icon and the growth pages of B, the Japanese one never opened, plots as SVG.
  assert.match((await fetchedIn(first, icon))[0], /^.PNG/, "the icon A's page had kept");
  await first.bringToFront();
  await follow(first, "#growth-link");
  const pictures = ["/growth-largest.svg", "/growth-spacetime.png", "/growth-textbook.svg"];
  assert.deepEqual(await growthPage(first), ["波はなぜ発散するのか", ...pictures, "/growth-courant.ja.svg"]);
  await first.goto(`${server.origin}/growth.html`);
  assert.deepEqual(await growthPage(first), ["Why the wave blows up", ...pictures, "/growth-courant.svg"]);
  assert.deepEqual(problems, []);
});
