// The page in Firefox ESR (Gecko), driven over WebDriver BiDi, in a private
// Xvfb: headless Firefox has no WebGL, and on Xvfb's software OpenGL it is
// allowed only when forced. Served from 127.0.0.1 with the mouse and the
// keys, opened from disk as the single file, and with WebGL turned off. The
// canvas is compared with the model's frames. Environment: see common.mjs.
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import puppeteer from "puppeteer-core";
import * as common from "./common.mjs";
import { openPage, sharedChecks } from "./puppeteer_checks.mjs";

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

function open(url, into = browser) {
  return openPage(into, url, { work, problems });
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
  common.stopComparing();
  fs.rmSync(work, { recursive: true, force: true });
});

sharedChecks("Firefox", {
  open, launchWithoutWebGL: () => launch({ "webgl.disabled": true }), origin: () => server.origin, work });

test("no page logged an error or asked anything of another host", () => {
  assert.deepEqual(problems, []);
});
