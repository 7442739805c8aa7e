// The page's pictures for the README (scripts/page_pictures.sh): SITE served
// from 127.0.0.1, each screen taken once the page has settled.
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import puppeteer from "../tests/web/node_modules/puppeteer-core/lib/esm/puppeteer/puppeteer-core.js";

const [site, out] = process.argv.slice(2).map((folder) => path.resolve(folder));
const TYPES = { ".html": "text/html", ".css": "text/css", ".js": "text/javascript", ".wasm": "application/wasm",
                ".json": "application/json", ".png": "image/png", ".svg": "image/svg+xml" };
const server = http.createServer((request, response) => {
  const file = path.join(site, new URL(request.url, "http://x").pathname.replace(/\/$/, "/index.html"));
  const found = file.startsWith(site + path.sep) && fs.existsSync(file) && fs.statSync(file).isFile();
  response.writeHead(found ? 200 : 404, { "Content-Type": TYPES[path.extname(file)] ?? "application/octet-stream" });
  response.end(found ? fs.readFileSync(file) : undefined);
});
await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
const browser = await puppeteer.launch({
  executablePath: "/usr/bin/chromium", headless: true, userDataDir: fs.mkdtempSync(path.join(os.tmpdir(), "wave1d-pictures-")),
  args: ["--no-sandbox", "--no-first-run", "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--disable-quic", "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--lang=en", "--accept-lang=en"],
});
// Each in a context of its own: nothing remembered from the one before.
async function shoot(viewport, file, prepare) {
  const page = await (await browser.createBrowserContext()).newPage();
  await page.setViewport(viewport);
  await page.goto(`http://127.0.0.1:${server.address().port}/index.html`);
  await page.waitForFunction(() => typeof Module === "object" && Module._wave1dFramesShown?.() > 0);
  await prepare(page);
  await new Promise((resolve) => setTimeout(resolve, 800));  // the readout's next look
  await page.screenshot({ path: path.join(out, file) });
  await page.close();
}
await shoot({ width: 1280, height: 720 }, "wave1d-web.png", async (page) => {
  await page.click("#beside-switch");
  await page.click("#fit-switch");
  await page.$eval("#frame-wanted", (input) => (input.value = "2500"));
  await page.click("#go");
  await page.waitForFunction(() => document.getElementById("frame").dataset.value === "2500" &&
                                   !document.getElementById("step").disabled, { timeout: 120000 });
});
await shoot({ width: 390, height: 844, deviceScaleFactor: 2, isMobile: true, hasTouch: true }, "wave1d-phone.png",
            async () => {});
await browser.close();
server.close();
