// The stability lesson's choices, its predictions against the mode analysis
// worked out another way, and the readout's figures on both schemes'
// frames, computed here from their recurrences.
import { test } from "node:test";
import assert from "node:assert/strict";
import { createRequire } from "node:module";

import * as WaveReadout from "../../web/readout.js";
import { COURANT_STOPS, OWN_RUN, parseRun, predicted } from "../../web/stability.js";

const require = createRequire(import.meta.url);
const words = require("../../web/words/en.json");

// The largest modulus of the roots of z^2 + b z + q, in complex arithmetic.
function largestRoot(b, q) {
  const d = b * b - 4 * q, root = Math.sqrt(Math.abs(d));
  const [re, im] = d >= 0 ? [[(-b + root) / 2, (-b - root) / 2], [0, 0]] : [[-b / 2, -b / 2], [root / 2, -root / 2]];
  return Math.max(Math.hypot(re[0], im[0]), Math.hypot(re[1], im[1]));
}

test("the predicted factors are the modes' largest roots, bounded for the textbook scheme up to nu = 1", () => {
  const lambdas = Array.from({ length: 201 }, (_, k) => 4 * Math.sin((Math.PI * k) / 402) ** 2);
  for (const stop of COURANT_STOPS)
    for (const steps of [1, 7, 51]) {
      const c = Number(stop.c), run = { ...stop, steps };
      // This program: z^2 - 2z + (1 + c lambda); the textbook scheme: z^2 - (2 - c lambda) z + 1.
      const program = Math.max(...lambdas.map((l) => largestRoot(-2, 1 + c * l))) ** steps;
      const textbook = Math.max(...lambdas.map((l) => largestRoot(-(2 - c * l), 1))) ** steps;
      const near = (a, b) => Math.abs(a / b - 1) < 1e-9;
      assert.ok(near(predicted("program", run).factor, program), `nu ${stop.nu}, ${steps} steps`);
      assert.ok(near(predicted("textbook", run).factor, textbook), `nu ${stop.nu}, ${steps} steps: textbook`);
      assert.equal(predicted("textbook", run).bounded, Number(stop.nu) <= 1, `nu ${stop.nu}`);
    }
  assert.equal(predicted("program", OWN_RUN).factor.toFixed(6), WaveReadout.FASTEST_MODE.toFixed(6));
});

test("a run is a stop and 1 to 51 steps; anything else is the program's own, with what was wrong", () => {
  assert.deepEqual(parseRun("1.01", " 7 "), { run: { nu: "1.01", c: "1.0201", steps: 7 } });
  assert.deepEqual(parseRun("0.1", "５１").run.steps, 51);
  for (const nu of ["2", "-1", "abc", "", null, "1.10"])
    assert.deepEqual(parseRun(nu, "1"), { run: OWN_RUN, problem: "courantUnknown" }, `nu ${nu}`);
  for (const steps of ["0", "52", "-3", "1.5", "x", "", undefined, "1e1"])
    assert.deepEqual(parseRun("1", steps), { run: OWN_RUN, problem: "stepsOutOfRange" }, `steps ${steps}`);
});

// Each scheme's largest |value| a frame, from its recurrence: the program's
// second difference of the older level, the textbook's of the newer.
function largestValues(scheme, c, steps, frames) {
  let older = Array.from({ length: 201 }, (_, i) => (i <= 100 ? 2 * Math.sin((i * 3.1415) / 50) : 0)), newer = older;
  const shifted = (shift, u) => u.map((_, i) => (i === 0 ? (shift - c) * u[0] + c * u[1]
    : i === 200 ? c * u[199] + (shift - c) * u[200] : c * u[i - 1] + (shift - 2 * c) * u[i] + c * u[i + 1]));
  const largest = [];
  for (let frame = 0; frame < frames; ++frame) {
    const finite = newer.filter((x) => !Number.isNaN(x));
    largest.push(finite.length ? Math.max(...finite.map(Math.abs)) : NaN);
    for (let s = 0; s < steps; ++s) {
      const r = scheme === "program" ? shifted(-1, older) : shifted(2, newer);
      [older, newer] = [newer, r.map((x, i) => (scheme === "program" ? 2 * newer[i] + x : x - older[i]))];
    }
  }
  return largest;
}

function readoutOf(run, frames) {
  const readout = new WaveReadout.Readout(run);
  readout.beside = true;
  const program = largestValues("program", Number(run.c), run.steps, frames);
  const textbook = largestValues("textbook", Number(run.c), run.steps, frames);
  const shown = [];
  program.forEach((largest, frame) => {
    readout.record(frame, Number.isNaN(largest) ? 0 : largest, Number.isNaN(largest) ? 201 : 0, textbook[frame]);
    const { growth, textbookGrowth } = WaveReadout.lines(readout, words);
    shown.push({ frame, growth, textbookGrowth, program: readout.growth?.factor, textbook: readout.textbookGrowth?.factor });
  });
  return shown;
}

test("the readout measures a large and a small growth within 0.1% of the prediction, and says when it cannot", () => {
  const within = (shown, scheme, run) => {
    const measured = shown.filter((s) => s[scheme] !== undefined && s.frame === shown.findLast((t) => t[scheme])?.frame);
    const factor = predicted(scheme, run).factor;
    for (const s of shown.filter((t) => t[scheme] !== undefined))
      assert.ok(Math.abs(s[scheme] / factor - 1) < 1e-3, `${run.nu}, ${run.steps}: ${scheme} ×${s[scheme]} at ${s.frame}`);
    return measured.length > 0;
  };
  // Large: nu = 1.1 a step a frame, both schemes growing ×2.4 a frame and overflowing by frame 820.
  const fast = parseRun("1.1", "1").run, quick = readoutOf(fast, 830);
  assert.ok(within(quick, "program", fast) && within(quick, "textbook", fast));
  assert.ok(quick.some(({ growth }) => /^×2\.41\d{4} over frames/.test(growth)));
  assert.match(quick.at(-1).growth, /^×2\.41\d+, last measured/);
  // Just past the textbook scheme's limit, where its next mode soon falls behind and one mode is the peak.
  const edge = parseRun("1.01", "5").run;
  assert.ok(within(readoutOf(edge, 505), "textbook", edge));
  // Small: nu = 0.05, ×1.005 a frame; the textbook scheme is bounded and says so.
  const slow = parseRun("0.05", "1").run, slowly = readoutOf(slow, 3000);
  assert.ok(within(slowly, "program", slow));
  assert.match(slowly.at(-1).growth, /^×1\.0049\d\d over frames 1,8\d\d–2,999$/);
  assert.equal(slowly.at(-1).textbookGrowth, "bounded: no mode grows");
  // Too fast to fit: nu = 1.1 at 51 steps overflows by frame 16; no figure, a word why.
  const blown = readoutOf(parseRun("1.1", "51").run, 20);
  assert.ok(blown.every(({ program, textbook }) => program === undefined && textbook === undefined));
  assert.match(blown[3].growth, /^not measurable: .* overflow near frame 1\d,/);
  assert.equal(blown.at(-1).growth, "none: no finite value is left to measure");
});
