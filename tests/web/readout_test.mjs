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

import * as WaveReadout from "../../web/readout.js";

const require = createRequire(import.meta.url);
const words = require("../../web/words/en.json");

// The figure shown once the fastest mode dominates against its factor: the
// model's own fits over 1,000 frames and more stay within 0.0004 of it.
const GROWTH_TOLERANCE = 0.0004;
const FRAMES_PAST_THE_OVERFLOW = 600;

const work = fs.mkdtempSync(path.join(os.tmpdir(), "wave1d-readout-"));
execFileSync(process.env.GROWTH_DATA, [work]);
const column = (file) => fs.readFileSync(path.join(work, file), "utf8").trim().split("\n")
  .map((line) => Number(line.split(" ")[1]));
const largest = column("largest.dat"), textbook = column("textbook.dat");
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
    // The largest value passes ten times its start near frame 1,860; the fit needs 1,000 frames more.
    assert.ok(firstShown > 2850 && firstShown < 2950, `first shown at frame ${firstShown}`);
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

// Never the pulse blamed: past frame 1,300 the largest value is the fast modes', not the pulse's.
test("before the figure is shown, the growth line says what it waits for", () => {
  const said = {};
  run(1, (readout, frame) => {
    if ([1496, 1800, 2000, 2500, 2800].includes(frame)) said[frame] = WaveReadout.lines(readout, words).growth;
  });
  const waiting = "not measurable yet: it is measured once the largest value reaches 20, ten times the starting amplitude";
  const measuring = "measuring since frame 1,859: shown from frame 2,859";
  assert.deepEqual(said, { 1496: waiting, 1800: waiting, 2000: measuring, 2500: measuring, 2800: measuring });
});

// The plot's scale as its labels give it, in pixels and back: frame 0 and
// the last frame where their labels stand, each labelled power of ten at
// its label's height; each axis's two labels in increasing order.
function labelledScale(labels) {
  const exponent = (text) => Number(text.replace(/./g, (c) => (c === "⁻" ? "-" : "⁰¹²³⁴⁵⁶⁷⁸⁹".indexOf(c))));
  const powers = labels.filter(({ text }) => /^10[⁻⁰¹²³⁴⁵⁶⁷⁸⁹]+$/.test(text))
    .map(({ text, y }) => [exponent(text.slice(2)), y]).sort(([a], [b]) => a - b);
  const frames = labels.filter(({ text }) => /^[\d,]+$/.test(text))
    .map(({ text, x }) => [Number(text.replace(/,/g, "")), x]).sort(([a], [b]) => a - b);
  assert.ok(powers.length === 2 && frames.length === 2, `${labels.map(({ text }) => text)}`);
  const along = ([[a, at], [b, bt]], value) => at + ((value - a) / (b - a)) * (bt - at);
  const back = (pairs) => pairs.map(([value, pixel]) => [pixel, value]);
  return { powers, frames, x: (frame) => along(frames, frame), y: (log) => along(powers, log),
           frame: (x) => along(back(frames), x), log: (y) => along(back(powers), y) };
}

test("the plot's lines land where its labelled scale puts them: the data's every column of pixels, the prediction's slope",
     () => {
  const near = (a, b, what) => Math.abs(a - b) <= 1e-6 * Math.max(1, Math.abs(b)) || assert.fail(`${what()}: ${a}, not ${b}`);
  const fed = [];  // [frame, log10 largest] as recorded
  let predictions = 0;
  run(11, (readout, frame) => {
    if (frame < ALL_NAN_FROM) fed.push([frame, Math.log10(largest[frame])]);
    if (frame % 1100 !== 0 && frame < ALL_NAN_FROM - 11) return;
    const { box: [left, top, right, bottom], labels, lines } = WaveReadout.plot(readout, 320, 160, 1, words);
    const scale = labelledScale(labels);
    // The frames shown across the box, the data's powers of ten up it.
    assert.deepEqual([scale.frames, scale.powers.map(([, y]) => y)],
                     [[[0, left], [Math.max(2000, frame), right]], [bottom, top]]);
    const inside = ([x, y]) => x >= left - 1e-6 && x <= right + 1e-6 && y >= top - 1e-6 && y <= bottom + 1e-6;
    // The data's points are the frames fed, where the scale puts them, in
    // order; of those in a column of pixels, at least its lowest and highest.
    const data = lines.find(({ name }) => name === "data").points;
    const at = fed.map(([f, log]) => [scale.x(f), scale.y(log)]);
    let i = 0;
    for (const point of data) {
      if (!inside(point)) assert.fail(`frame ${frame}: (${point}) outside the box`);
      while (i < at.length && Math.hypot(at[i][0] - point[0], at[i][1] - point[1]) > 1e-6 * Math.max(1, point[0])) ++i;
      if (i === at.length) assert.fail(`frame ${frame}: (${point}) is no frame fed, or out of order`);
    }
    const columns = new Map();
    for (const point of at) columns.set(Math.floor(point[0]), [...(columns.get(Math.floor(point[0])) ?? []), point]);
    for (const [column, points] of columns) {
      const ys = points.map(([, y]) => y), shown = data.filter(([x]) => Math.floor(x) === column).map(([, y]) => y);
      near(Math.min(...shown), Math.min(...ys), () => `frame ${frame}: column ${column}'s highest point`);
      near(Math.max(...shown), Math.max(...ys), () => `frame ${frame}: column ${column}'s lowest point`);
    }
    const prediction = lines.find(({ name }) => name === "prediction");
    assert.equal(prediction === undefined, readout.growth === null, `frame ${frame}`);
    if (!prediction) return;
    ++predictions;
    const [[f0, log0], [f1, log1]] = prediction.points.map(([x, y]) => [scale.frame(x), scale.log(y)]);
    const slope = (log1 - log0) / (f1 - f0);
    near(slope, Math.log10(WaveReadout.FASTEST_MODE), () => `frame ${frame}: the prediction's slope`);
    // through the fitted frames: at their mean frame, their mean value; within them and the box
    const { from, to } = readout.growth, fitted = fed.filter(([f]) => f >= from && f <= to);
    const mean = (i) => fitted.reduce((sum, sample) => sum + sample[i], 0) / fitted.length;
    near(log0 + slope * (mean(0) - f0), mean(1), () => `frame ${frame}: the prediction at the fitted frames' mean`);
    assert.ok(prediction.points.every(inside) && f0 >= from - 1e-6 && f1 <= to + 1e-6,
              `frame ${frame}: ${prediction.points}`);
  });
  assert.ok(predictions > 100, "the fastest mode's line was hardly drawn");
});

// A browser samples the canvas every 1 to 30 frames, from whichever frame
// its first look falls on, and unevenly when it is busy: seeded, so that a
// failure can be run again.
test("however the page samples the frames, the growth figure is shown by frame 3,000 and stays within 0.0004", (t) => {
  let seed = 1;
  const random = () => ((seed = (Math.imul(seed, 48271) >>> 0) % 2147483647) / 2147483647);
  const samplings = [];
  for (let rate = 1; rate <= 30; ++rate) {
    for (let start = 0; start < rate; ++start) samplings.push({ rate, start, gap: () => rate });
    for (let k = 0; k < 8; ++k)
      samplings.push({ rate, start: Math.floor(random() * 1800),
                       gap: () => Math.max(1, rate + Math.round((random() - 0.5) * rate)) });
  }
  let worst = 0, latestFirstShown = 0;
  for (const { rate, start, gap } of samplings) {
    const readout = new WaveReadout.Readout();
    let firstShown = null;
    for (let frame = start; frame < ALL_NAN_FROM; frame += gap()) {
      readout.record(frame, largest[frame], 0);
      if (readout.growth === null) continue;
      firstShown ??= frame;
      const { factor, from, to } = readout.growth, off = Math.abs(factor - WaveReadout.FASTEST_MODE);
      if (off > GROWTH_TOLERANCE) assert.fail(`×${factor} over frames ${from}–${to}, every ${rate} frames from ${start}`);
      worst = Math.max(worst, off);
    }
    assert.ok(firstShown !== null && firstShown <= 3000,
              `every ${rate} frames from ${start}: first shown at ${firstShown}`);
    latestFirstShown = Math.max(latestFirstShown, firstShown);
  }
  t.diagnostic(`${samplings.length} samplings: at most ${worst.toFixed(6)} off, first shown by frame ${latestFirstShown}`);
});

test("numbers beyond a million are a power of ten, raised when shown and in words when spoken", () => {
  assert.deepEqual(WaveReadout.number(3.1050e48, words), { shown: "3.1050 × 10⁴⁸", spoken: "3.1050 times 10 to the 48" });
  assert.deepEqual(WaveReadout.number(6.2789e-6, words), { shown: "6.2789 × 10⁻⁶", spoken: "6.2789 times 10 to the -6" });
  assert.deepEqual(WaveReadout.number(961940.7, words), { shown: "961,941", spoken: "961,941" });
});

// The textbook scheme's largest value, given beside the program's: shown,
// plotted on the same scale, and the frame the two part told once.
test("beside the textbook scheme: its largest value shown and plotted, the parting told once", () => {
  const readout = new WaveReadout.Readout(), told = [];
  readout.beside = true;
  for (let frame = 0; frame < textbook.length; frame += 11)
    told.push(...readout.record(frame, largest[frame], 0, textbook[frame]).map((what) => [frame, what]));
  const apart = told.filter(([, what]) => what === "apart");
  const firstApart = readout.textbook.find(([f, t]) => largest[f] >= 10 * t)[0];
  assert.deepEqual(apart, [[firstApart, "apart"]]);
  assert.match(WaveReadout.tell("apart", readout, words),
               new RegExp(`^From frame ${firstApart.toLocaleString("en")} on this program's largest value is ten times`));
  assert.equal(WaveReadout.lines(readout, words).textbook.shown, WaveReadout.number(textbook[readout.latest.frame], words).shown);
  const { labels, lines } = WaveReadout.plot(readout, 320, 160, 1, words), scale = labelledScale(labels);
  // Each of its points a frame's, in order, and every column of pixels its frames fall in drawn.
  const points = lines.find(({ name }) => name === "textbook").points;
  const at = readout.textbook.map(([f, t]) => [scale.x(f), scale.y(Math.log10(t))]);
  let i = 0;
  for (const point of points) {
    while (i < at.length && Math.hypot(at[i][0] - point[0], at[i][1] - point[1]) > 1e-6) ++i;
    assert.ok(i < at.length, `(${point}) is no frame's, or out of order`);
  }
  assert.deepEqual(new Set(points.map(([x]) => Math.floor(x))), new Set(at.map(([x]) => Math.floor(x))));
  assert.deepEqual(lines.map(({ name }) => name), ["prediction", "data", "textbook"]);
});

// Turned on late, the textbook scheme catches up through the frames recorded
// without it: the parting is told at its own frame, the curve is whole, and a
// stopped wave gets its figure; turned off, its figure and curve go.
test("beside the textbook scheme turned on late: caught up as if shown from the start, and turned off", () => {
  const fromStart = new WaveReadout.Readout(), late = new WaveReadout.Readout(), told = [];
  for (let frame = 0; frame <= 2500; frame += 11) {
    fromStart.record(frame, largest[frame], 0, textbook[frame]);
    late.record(frame, largest[frame], 0);
  }
  late.beside = true;
  for (let frame = 0; frame <= 2500; ++frame) told.push(...late.recordTextbook(frame, textbook[frame]));
  assert.deepEqual(told, ["apart"]);
  assert.deepEqual([late.apart, late.textbook], [fromStart.apart, fromStart.textbook]);
  assert.equal(WaveReadout.lines(late, words).textbook.shown, WaveReadout.number(textbook[2497], words).shown);
  late.beside = false;
  assert.equal(WaveReadout.lines(late, words).textbook, null);
  assert.deepEqual(WaveReadout.plot(late, 320, 160, 1, words).lines.map(({ name }) => name), ["data"]);
});
