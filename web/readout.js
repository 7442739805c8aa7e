// What the readout under the canvas says, worked out apart from the page so
// that Node can check it on the model's own values: the growth of the
// largest |value| measured over the frames since the fastest mode took over,
// for each scheme, beside what the mode analysis predicts for the run in use;
// the plot's geometry, and the words shown and spoken, in the language of
// the words given (web/words/). The page feeds it the frames the program
// draws (record), with the textbook scheme's largest |value| at the same
// frame while that scheme is shown beside it, and shows the result (show).
import { OWN_RUN, framesToOverflow, isOwnRun, packetLag, predicted } from "./stability.js";

const POINT_COUNT = 201;
// Per frame, (1 + 0.00005 · 3.99976)^(51 / 2): the fastest mode's growth in this program's own run.
export const FASTEST_MODE = 1.005112;
// The pulse's own largest value stays near its starting 2 (below 16 with
// the fast modes on top); from ten times that, the fastest modes are what
// is largest, and their growth is what a fit measures.
const DOMINANT_LARGEST = 20;
// The largest value rises and falls from frame to frame as the fastest
// modes beat with one another, and a page whose samples fall in step with
// that sees a slow swing that a short fit takes for growth: over 500
// frames a fit was 0.0006 off in some samplings. From 1,000 on, every fit
// of the model's frames sampled every 1 to 30 frames, from any frame
// before the fastest modes dominate, lies within 0.0004 of their factor.
const MEASURED_FRAMES = 1000;
// Where the values would overflow before that (c = 0.01 at 51 steps a frame
// overflows by frame 717), 300 frames, each recorded, come within 0.0003 of
// the factor in the models' runs; fewer than that can be far off (after 40
// frames at c = 0.25, 0.5%), and where not even these are left before the
// overflow nothing is measured.
const SHORT_MEASURED_FRAMES = 300;
const MEASURED_SAMPLES = 10;
// The two schemes part when one's largest value is this many times the other's.
const APART = 10;
const TEXTBOOK_COLOUR = "#26a269", PREDICTION_COLOUR = "#e66100", LABEL_COLOUR = "#555";

const fill = (template, values) => template.replace(/\{(\w+)\}/g, (_, key) => values[key]);

// Least-squares fit of ln(largest) against frame from the frame `origin`
// on, kept as running sums of the frames counted from it, so that a long
// run costs nothing more per frame. The largest value is the peak of the
// fastest modes' packet, which grows less than the fastest mode alone by
// what `lag(frame)` gives (stability.js: 0.05% a frame at frame 1,000, 5% at
// frame 10 in this program's scheme), so ln(largest) - lag(frame) is fitted.
// `span` is the frames it needs (null: too few are left before the overflow).
class Fit {
  constructor(origin, span, overflowNear, lag) {
    Object.assign(this, { origin, span, overflowNear, lag, n: 0, x: 0, y: 0, xx: 0, xy: 0, plain: 0, last: origin });
  }
  add(frame, largest) {
    const x = frame - this.origin, plain = Math.log(largest), y = plain - this.lag(frame);
    this.n += 1, this.x += x, this.y += y, this.xx += x * x, this.xy += x * y, this.plain += plain;
    this.last = frame;
  }
  // exp of the slope, with the frames it spans; null while too short to trust.
  measure() {
    if (this.span === null || this.n < MEASURED_SAMPLES || this.last - this.origin < this.span) return null;
    const slope = (this.n * this.xy - this.x * this.y) / (this.n * this.xx - this.x * this.x);
    const meanX = this.x / this.n, meanY = this.plain / this.n;
    return { factor: Math.exp(slope), from: this.origin, to: this.last,
             through: [this.origin + meanX, meanY / Math.LN10] };  // a point of the fitted line, log10
  }
}

// A fit from the frame whose largest value first reached DOMINANT_LARGEST,
// over as many frames as the predicted growth leaves before the largest
// double is passed.
function fitFrom(frame, largest, scheme, run) {
  const { factor, bounded } = predicted(scheme, run);
  const overflowNear = bounded ? Infinity : frame + framesToOverflow(factor, largest);
  const enough = (span) => overflowNear - frame >= 1.1 * span;
  const span = enough(MEASURED_FRAMES) ? MEASURED_FRAMES : enough(SHORT_MEASURED_FRAMES) ? SHORT_MEASURED_FRAMES : null;
  return new Fit(frame, span, Math.floor(overflowNear), bounded ? () => 0 : packetLag(scheme, run));
}

export class Readout {
  constructor(run = OWN_RUN) {
    this.run = run;     // the Courant number and steps a frame in use (stability.js)
    this.samples = [];  // [frame, largest |value|] of the frames recorded whole and finite, frames increasing
    this.textbook = []; // [frame, the textbook scheme's largest |value|] where it was given, frames increasing
    this.latest = null; // { frame, largest, nans, textbook } of the frame on the canvas
    this.beside = false;  // whether the textbook scheme's figure and curve are shown
    this.nextSample = 0;  // recordTextbook's place in samples: its frames only increase
    this.apart = null;  // { frame, program, textbook }: the first frame the two were APART times apart
    this.fit = null;    // from the first frame whose largest value reached DOMINANT_LARGEST
    this.growth = null; // the fit's last measurement: { factor, from, to, through }
    this.textbookFit = null, this.textbookGrowth = null;  // the same for the textbook scheme
    this.textbookFrame = -1;  // the last frame it was given at
    this.told = new Set();
  }
  // As new: the wave is back at its start, in the run given (or the same).
  reset(run = this.run) {
    const { beside } = this;
    Object.assign(this, new Readout(run), { beside });
  }
  // A frame the canvas shows: its number, largest |value| that is not NaN,
  // and count of NaNs, and the textbook scheme's largest |value| at that
  // frame (undefined when it is not shown). Resolves to what it changes in
  // the story, once each: "growth" (first measured), "apart" (the schemes
  // APART times apart), "infinite", "nan" (every value).
  record(frame, largest, nans, textbook) {
    if (this.latest && frame <= this.latest.frame) return [];
    this.latest = { frame, largest, nans };
    if (nans === 0 && Number.isFinite(largest) && largest > 0) {
      this.samples.push([frame, largest]);
      if (!this.fit && largest >= DOMINANT_LARGEST) this.fit = fitFrom(frame, largest, "program", this.run);
      this.fit?.add(frame, largest);
      this.growth = this.fit?.measure() ?? this.growth;
    }
    return this.recordTextbook(frame, textbook);
  }
  // The textbook scheme's largest |value| at the latest frame or an earlier
  // one recorded whole, frames increasing: caught up late, it is as if shown
  // from the start. Resolves as record does.
  // Its largest |value| is NaN once every value is, and infinite past the
  // largest double; only finite ones are plotted and fitted.
  recordTextbook(frame, textbook) {
    const latest = frame === this.latest?.frame;
    const fresh = textbook !== undefined && frame > this.textbookFrame;
    while (fresh && this.samples[this.nextSample]?.[0] < frame) ++this.nextSample;
    const sample = this.samples[this.nextSample];
    const largest = fresh && frame < this.latest?.frame && sample?.[0] === frame ? sample[1] : undefined;
    if (fresh && (latest || largest)) {
      this.textbookFrame = frame;
      if (latest) this.latest.textbook = textbook;
      if (Number.isFinite(textbook) && textbook > 0) this.fitTextbook(frame, textbook);
      const [program, nans] = latest ? [this.latest.largest, this.latest.nans] : [largest, 0];
      if (!this.apart && nans < POINT_COUNT && Number.isFinite(textbook) &&
          Math.max(program, textbook) >= APART * Math.min(program, textbook))
        this.apart = { frame, program, textbook };
    }
    const nans = this.latest?.nans;
    const news = { growth: this.growth !== null, apart: this.apart !== null, infinite: !this.finite && nans < POINT_COUNT,
                   nan: nans === POINT_COUNT };
    const told = Object.keys(news).filter((what) => news[what] && !this.told.has(what));
    told.forEach((what) => this.told.add(what));
    return told;
  }
  fitTextbook(frame, largest) {
    this.textbook.push([frame, largest]);
    if (!this.textbookFit && largest >= DOMINANT_LARGEST) this.textbookFit = fitFrom(frame, largest, "textbook", this.run);
    this.textbookFit?.add(frame, largest);
    this.textbookGrowth = this.textbookFit?.measure() ?? this.textbookGrowth;
  }
  get finite() {
    return this.latest !== null && this.latest.nans === 0 && Number.isFinite(this.latest.largest);
  }
  get textbookFinite() {
    return Number.isFinite(this.latest?.textbook);
  }
}

const SUPERSCRIPT = { "-": "⁻", 0: "⁰", 1: "¹", 2: "²", 3: "³", 4: "⁴", 5: "⁵", 6: "⁶", 7: "⁷", 8: "⁸", 9: "⁹" };
const powerOfTen = (exponent) => "10" + [...String(exponent)].map((c) => SUPERSCRIPT[c]).join("");

// A number as it is shown (a power of ten with a raised exponent, beyond
// 10^6 and below 10^-3) and as it is spoken.
export function number(x, words) {
  if (!Number.isFinite(x)) return { shown: words.infinite, spoken: words.infinite };
  if (x !== 0 && (x >= 1e6 || x < 1e-3)) {
    const [mantissa, exponent] = x.toExponential(4).split("e").map(Number);
    const digits = mantissa.toLocaleString(words.locale, { minimumFractionDigits: 4 });
    return { shown: `${digits} × ${powerOfTen(exponent)}`, spoken: fill(words.timesTen, { mantissa: digits, exponent }) };
  }
  const text = x.toLocaleString(words.locale, { maximumSignificantDigits: 6 });
  return { shown: text, spoken: text };
}
const LARGEST_DOUBLE = Number.MAX_VALUE;

// A factor a frame to seven figures: ×1.005112, ×295.8490, ×6.655704 × 10¹⁷.
export function factorText(factor) {
  if (factor < 10) return factor.toFixed(6);
  if (factor < 1e6) return factor.toPrecision(7);
  const [mantissa, exponent] = factor.toExponential(6).split("e");
  return `${mantissa} × ${powerOfTen(Number(exponent))}`;
}

// A scheme's growth line: measured, on its way, or why not, from its fit.
function growthLine(fit, growth, finite, words, count) {
  const measured = growth && { factor: factorText(growth.factor), from: count(growth.from), to: count(growth.to) };
  if (finite && measured) return fill(words.measured, measured);
  if (finite && fit?.span === null) return fill(words.notMeasurable, { overflow: count(fit.overflowNear) });
  if (finite && fit) return fill(words.measuring, { from: count(fit.origin), shownFrom: count(fit.origin + fit.span) });
  if (finite) return fill(words.waiting, { largest: count(DOMINANT_LARGEST) });
  return measured ? fill(words.lastMeasured, measured) : words.neverMeasured;
}

// The run in use, as the readout and the line above the wave write it.
export const runText = (run, words) =>
  fill(words.runInUse, { nu: run.nu, c: run.c, steps: run.steps.toLocaleString(words.locale) });

const predictedText = ({ factor, bounded }, words) => (bounded ? words.bounded : `×${factorText(factor)}`);

// The readout's lines for the frame on the canvas; the largest value as number gives it.
export function lines(readout, words) {
  const { frame, largest, nans, textbook } = readout.latest;
  const count = (n) => n.toLocaleString(words.locale);
  let overflow = null;
  if (nans === POINT_COUNT) overflow = words.overflowNan;
  else if (!readout.finite) overflow = fill(words.overflowInfinite, { double: number(LARGEST_DOUBLE, words).shown });
  const allNan = { shown: words.allNan, spoken: words.allNan };
  const textbookPredicted = predicted("textbook", readout.run);
  // Bounded as predicted, and so far as measured: its values have not left the pulse's.
  const measuredBounded = textbookPredicted.bounded && !readout.textbookFit && readout.textbookFinite;
  const textbookGrowth = !readout.beside || textbook === undefined ? null : measuredBounded ? words.bounded
    : growthLine(readout.textbookFit, readout.textbookGrowth, readout.textbookFinite, words, count);
  return { frame: count(frame), steps: count(frame * readout.run.steps),
           largest: nans === POINT_COUNT ? allNan : number(largest, words),
           textbook: !readout.beside || textbook === undefined ? null : Number.isNaN(textbook) ? allNan : number(textbook, words),
           growth: growthLine(readout.fit, readout.growth, readout.finite, words, count), overflow,
           predicted: predictedText(predicted("program", readout.run), words),
           textbookPredicted: predictedText(textbookPredicted, words), textbookGrowth,
           run: runText(readout.run, words) };
}

// What a screen reader is told of each change in the story.
export function tell(what, readout, words) {
  if (what === "growth") {
    const factor = readout.growth.factor, shown = (x) => (x < 10 ? x.toFixed(4) : number(x, words).spoken);
    return fill(words.toldGrowth, { from: readout.growth.from.toLocaleString(words.locale), factor: shown(factor),
                                    predicted: shown(predicted("program", readout.run).factor) });
  }
  if (what === "apart") {
    const { frame, program, textbook } = readout.apart;
    return fill(words.toldApart, { frame: frame.toLocaleString(words.locale), program: number(program, words).spoken,
                                   textbook: number(textbook, words).spoken });
  }
  if (what === "nan") return words.overflowNan;
  return fill(words.overflowInfinite, { double: number(LARGEST_DOUBLE, words).spoken });
}

// Of a polyline's points, in order, at most the first, the lowest, the
// highest and the last in each column of pixels: the line through them
// covers the pixels the line through all of them would, and drawing it costs
// no more after a jump through a hundred thousand frames than at the start.
function thinned(points) {
  const kept = [];
  for (let start = 0; start < points.length;) {
    const column = Math.floor(points[start][0]);
    let end = start, low = start, high = start;
    for (; end < points.length && Math.floor(points[end][0]) === column; ++end) {
      if (points[end][1] < points[low][1]) low = end;
      if (points[end][1] > points[high][1]) high = end;
    }
    for (const i of new Set([start, Math.min(low, high), Math.max(low, high), end - 1])) kept.push(points[i]);
    start = end;
  }
  return kept;
}

// The plot of the largest value against frame on a log scale, in canvas
// pixels for text of `font` pixels: the box, its labels (the axes' ends and
// titles) and the lines drawn in it, in order, each a polyline (the page's
// legend, beside the plot, shows each line's colour and style): once measured, the fastest mode's
// growth through the fitted data over the frames fitted, wide, dashed and
// orange under the data so that it shows where the two agree; the data; and
// the textbook scheme's while it is shown. The frame axis runs from 0 to the
// frame shown, the value axis over whole powers of ten around the data; the
// prediction is cut where it leaves the box.
export function plot(readout, width, height, scale, words, font = 12 * scale) {
  const line = 1.3 * font;
  const [left, top, right, bottom] = [line + 3.2 * font, font / 2, width - font / 2, height - 2 * line];
  // The program's own run is first seen over 2,000 frames; a run chosen to
  // blow up within a few frames is seen over those.
  const lastFrame = Math.max(isOwnRun(readout.run) ? 2000 : 10, readout.latest?.frame ?? 0);
  const logs = readout.samples.map(([, v]) => Math.log10(v));
  const textbook = readout.beside ? readout.textbook : [];
  const textbookLogs = textbook.map(([, v]) => Math.log10(v));
  const low = Math.floor([...logs, ...textbookLogs].reduce((a, b) => Math.min(a, b), 0));
  const high = Math.max(low + 1, Math.ceil([...logs, ...textbookLogs].reduce((a, b) => Math.max(a, b), -Infinity)));
  const x = (frame) => left + (frame / lastFrame) * (right - left);
  const y = (log) => bottom - ((log - low) / (high - low)) * (bottom - top);
  const labels = [{ text: powerOfTen(high), x: left - font / 3, y: top, align: "right", baseline: "top" },
                  { text: powerOfTen(low), x: left - font / 3, y: bottom, align: "right", baseline: "bottom" },
                  { text: words.valueAxis, x: 0, y: (top + bottom) / 2, align: "center", baseline: "top", turned: true },
                  { text: "0", x: left, y: bottom + font / 3, align: "left", baseline: "top" },
                  { text: lastFrame.toLocaleString(words.locale), x: right, y: bottom + font / 3, align: "right",
                    baseline: "top" },
                  { text: words.frameAxis, x: (left + right) / 2, y: height, align: "center", baseline: "bottom" }];
  const styles = { prediction: { colour: PREDICTION_COLOUR, width: 3 * scale, dash: [8 * scale, 4 * scale] },
                   data: { colour: "#000", width: scale, dash: [] },
                   textbook: { colour: TEXTBOOK_COLOUR, width: scale, dash: [] } };
  const lines = [];
  if (readout.growth) {
    const { from, to, through: [midFrame, midLog] } = readout.growth;
    const slope = Math.log10(predicted("program", readout.run).factor);
    const frameAt = (log) => midFrame + (log - midLog) / slope;
    const start = Math.max(from, frameAt(low)), end = Math.min(to, frameAt(high));
    const at = (frame) => [x(frame), y(midLog + slope * (frame - midFrame))];
    if (start < end) lines.push({ name: "prediction", points: [at(start), at(end)], ...styles.prediction });
  }
  lines.push({ name: "data", points: thinned(readout.samples.map(([frame], i) => [x(frame), y(logs[i])])),
               ...styles.data });
  if (textbook.length)
    lines.push({ name: "textbook", points: thinned(textbook.map(([frame], i) => [x(frame), y(textbookLogs[i])])),
                 ...styles.textbook });
  return { box: [left, top, right, bottom], labels, lines };
}

// The plot as the canvas `picture` shows it: in its device pixels, with its text size.
export function plotOn(picture, readout, words) {
  const scale = window.devicePixelRatio || 1;
  const [width, height] = [picture.clientWidth * scale, picture.clientHeight * scale];
  const font = parseFloat(getComputedStyle(picture).fontSize) * scale;
  return { width, height, font, scale, ...plot(readout, width, height, scale, words, font) };
}

function draw(picture, readout, words) {
  const { width, height, font, scale, box: [left, top, right, bottom], labels, lines } = plotOn(picture, readout, words);
  if (picture.width !== width || picture.height !== height) [picture.width, picture.height] = [width, height];
  // Drawn by the processor, not the graphics card: so small a picture costs
  // it a fraction of a millisecond, where the card's path (software on some
  // machines) took tens of milliseconds a drawing from the wave's frames.
  const context = picture.getContext("2d", { willReadFrequently: true });
  context.clearRect(0, 0, width, height);
  context.font = `${font}px sans-serif`;
  context.fillStyle = LABEL_COLOUR;
  for (const { text, x, y, align, baseline, turned } of labels) {
    Object.assign(context, { textAlign: align, textBaseline: baseline });
    context.save();
    context.translate(x, y);
    if (turned) context.rotate(-Math.PI / 2);
    context.fillText(text, 0, 0);
    context.restore();
  }
  context.strokeStyle = "#bbb";
  context.lineWidth = scale;
  context.strokeRect(left, top, right - left, bottom - top);
  context.save();
  context.beginPath();
  context.rect(left, top, right - left, bottom - top);
  context.clip();  // a line's width, at the box's edge, would reach past it
  // Mitred, the corners of a curve that zigzags from frame to frame each
  // reach far out and cost the browser a hundred times as much to draw.
  context.lineJoin = "round";
  for (const { points, colour, width: lineWidth, dash } of lines) {
    Object.assign(context, { strokeStyle: colour, lineWidth }).setLineDash(dash);
    context.beginPath();
    points.forEach(([x, y], i) => context[i ? "lineTo" : "moveTo"](x, y));
    context.stroke();
  }
  context.restore();
}

// Shows the frame on the canvas in the readout's elements (by id: frame,
// steps, largest, growth, overflow, plot); a number with a raised
// exponent is given to screen readers as spoken words.
export function show(document, readout, words) {
  const text = lines(readout, words);
  const element = (id) => document.getElementById(id);
  element("frame").textContent = text.frame;
  element("frame").dataset.value = readout.latest.frame;
  element("steps").textContent = text.steps;
  const [shown, spoken] = element("largest").children;
  shown.textContent = text.largest.shown;
  spoken.textContent = text.largest.spoken === text.largest.shown ? "" : text.largest.spoken;
  shown.setAttribute("aria-hidden", String(spoken.textContent !== ""));
  element("largest").dataset.value = readout.latest.nans === POINT_COUNT ? NaN : readout.latest.largest;
  element("growth").textContent = text.growth;
  element("growth").dataset.value = readout.growth?.factor ?? "";
  element("predicted").textContent = text.predicted;
  element("predicted").dataset.value = predicted("program", readout.run).factor;
  element("textbook-largest").textContent = text.textbook?.shown ?? "\u2013";
  element("textbook-largest").dataset.value = text.textbook ? readout.latest.textbook : "";
  element("textbook-growth").textContent = text.textbookGrowth ?? "\u2013";
  element("textbook-growth").dataset.value = readout.textbookGrowth?.factor ?? "";
  element("textbook-predicted").textContent = text.textbookPredicted;
  element("textbook-predicted").dataset.value = predicted("textbook", readout.run).factor;
  element("run-shown").textContent = text.run;
  element("overflow").hidden = text.overflow === null;
  element("overflow").textContent = text.overflow ?? "";
  draw(element("plot"), readout, words);
}

