// The page's readout on the model's own values, from the first frame to past
// the overflow, sampled as the page samples the canvas (four times a second
// at some 45 frames a second, and at a slow device's 10). The values come
// from tools/growth_data, named by GROWTH_DATA.
import { test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import { createRequire } from "node:module";
import os from "node:os";
import path from "node:path";

const require = createRequire(import.meta.url);
const WaveReadout = require("../../web/readout.js");
const words = require("../../web/words/en.json");

// The figure shown once the fastest mode dominates against its factor: the
// model's own fits over 500 frames and more stay within 0.00035 of it.
const GROWTH_TOLERANCE = 0.0004;
const FRAMES_PAST_THE_OVERFLOW = 600;

const work = fs.mkdtempSync(path.join(os.tmpdir(), "wave1d-readout-"));
execFileSync(process.env.GROWTH_DATA, [work]);
const largest = fs.readFileSync(path.join(work, "largest.dat"), "utf8").trim().split("\n")
  .map((line) => Number(line.split(" ")[1]));
fs.rmSync(work, { recursive: true });
const ALL_NAN_FROM = largest.length; // the first frame drawn with every value NaN

function run(framesPerSample, check) {
  const readout = new WaveReadout.Readout(), told = [];
  for (let frame = 0; frame < ALL_NAN_FROM + FRAMES_PAST_THE_OVERFLOW; frame += framesPerSample) {
    const news = frame < ALL_NAN_FROM ? readout.record(frame, largest[frame], 0) : readout.record(frame, 0, 201);
    told.push(...news.map((what) => [frame, WaveReadout.tell(what, readout, words)]));
    check(readout, frame);
  }
  return { readout, told };
}

for (const framesPerSample of [11, 25]) {
  test(`the growth figure is the fastest mode's from when it dominates, and stays after the overflow (${framesPerSample} frames a sample)`,
       () => {
    let firstShown = null;
    const { readout, told } = run(framesPerSample, (readout, frame) => {
      if (!readout.finite || readout.growth === null) return;
      firstShown ??= frame;
      const { factor } = readout.growth;
      assert.ok(Math.abs(factor - WaveReadout.FASTEST_MODE) <= GROWTH_TOLERANCE, `×${factor} at frame ${frame}`);
    });
    // The largest value passes ten times its start near frame 1,860; the fit needs 500 frames more.
    assert.ok(firstShown > 2300 && firstShown < 2450, `first shown at frame ${firstShown}`);
    const lastFinite = ALL_NAN_FROM - 1 - ((ALL_NAN_FROM - 1) % framesPerSample);
    assert.equal(readout.growth.to, lastFinite);
    const said = WaveReadout.lines(readout, words);
    assert.match(said.growth, new RegExp(`^×${readout.growth.factor.toFixed(6)}, last measured .*–${
      lastFinite.toLocaleString("en")}: no finite value`));
    assert.match(said.overflow, /overflowed to NaN/);
    // Spoken twice in the whole run, once the growth is measured and once every value is NaN.
    assert.deepEqual(told.map(([frame]) => frame), [firstShown, lastFinite + framesPerSample]);
    assert.match(told[0][1], /^From frame 1,[89]\d\d on the fastest mode dominates: .* grows ×1\.00\d\d per frame, near the predicted ×1\.0051/);
    for (const [, spoken] of told) assert.doesNotMatch(spoken, /\^/);
  });
}

test("before the fastest mode dominates the figure says it cannot be measured yet", () => {
  run(1, (readout, frame) => {
    if (frame === 1496 || frame === 1800)
      assert.match(WaveReadout.lines(readout, words).growth, /^not measurable yet: the pulse/);
  });
});

test("every line of the plot stays inside its box, with the frames and powers of ten as its labels", () => {
  const inside = ([x, y], [left, top, right, bottom]) => x >= left && x <= right && y >= top && y <= bottom;
  let predictions = 0;
  run(11, (readout, frame) => {
    if (frame % 1100 !== 0 && frame < ALL_NAN_FROM - 11) return;
    const { box, data, prediction, labels } = WaveReadout.plot(readout, 320, 160, 1, words);
    for (const point of [...data, ...(prediction ?? [])])
      assert.ok(inside(point, box), `frame ${frame}: (${point}) outside the box ${box}`);
    predictions += prediction !== null;
    const texts = labels.map(({ text }) => text);
    assert.ok(texts.includes(Math.max(2000, frame).toLocaleString("en")) && texts.includes("0"), `${texts}`);
    assert.ok(texts.filter((text) => /^10[⁰¹²³⁴⁵⁶⁷⁸⁹⁻]+$/.test(text)).length === 2, `${texts}`);
  });
  assert.ok(predictions > 100, "the fastest mode's line was hardly drawn");
});

test("numbers beyond a million are a power of ten, raised when shown and in words when spoken", () => {
  assert.deepEqual(WaveReadout.number(3.1050e48, words), { shown: "3.1050 × 10⁴⁸", spoken: "3.1050 times 10 to the 48" });
  assert.deepEqual(WaveReadout.number(6.2789e-6, words), { shown: "6.2789 × 10⁻⁶", spoken: "6.2789 times 10 to the -6" });
  assert.deepEqual(WaveReadout.number(961940.7, words), { shown: "961,941", spoken: "961,941" });
});
