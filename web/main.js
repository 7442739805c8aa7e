// The page: the C++ program on its canvas, and around it the buttons, the
// readout, the textbook scheme beside it and the words, each from its
// module; here they meet.
import { Controls, LAST_FRAME_TO_GO_TO, Pace, SPEEDS, parseFrame } from "./controls.js";
import { rangeText } from "./fit.js";
import { RIGHT, listenForButtons } from "./gestures.js";
import { keepOffline } from "./offline.js";
import { startProgram, webglAvailable } from "./program.js";
import { Readout, number, plotOn, runText, show, tell } from "./readout.js";
import { COURANT_STOPS, OWN_RUN, framesToOverflow, isOwnRun, parseRun, predicted } from "./stability.js";
import { TextbookView } from "./textbook.js";
import { startWords } from "./words.js";

const element = (id) => document.getElementById(id);
const canvas = element("canvas");
const release = JSON.parse(element("release").textContent);
const addressOf = (file) => release.files?.[file] ?? file;
const remembered = (key) => { try { return localStorage.getItem(key) === "on"; } catch { return false; } };
const store = (key, value) => { try { localStorage.setItem(key, value); } catch {} };
const remember = (key, on) => store(key, on ? "on" : "off");
const BESIDE = "wave1d-beside", FIT = "wave1d-fit", RUN = "wave1d-run";
const CATCH_UP_IN_A_JUMP_MS = 2;

let words = null;  // the words shown; nothing is written before they are in
let Module = null;  // the program, once it runs
let webglLost = false;
let frameAsked = false;  // by a button, while stopped
const buttons = listenForButtons(canvas);
const readout = new Readout();
let lastTold = null;  // what a screen reader was last told, again in a new language

// What the canvas shows goes into the readout and is shown four times a
// second, and at once after a frame drawn while stopped, the captions with
// it, so that one frame number is on the screen at a time. It is written
// again only when it has changed (`stale`). During a jump the canvas keeps
// its frame, and the readout as it was then (`frozen`), in any language.
let stale = true, frozen = null;
function told(news) {
  if (!news.length) return;
  lastTold = news.at(-1);
  if (words) element("spoken").textContent = tell(lastTold, readout, words);
}
function recordShown(frame) {
  told(readout.record(frame, Module._wave1dLargestShown(), Module._wave1dNansShown(),
                      textbook.on && textbook.drawn === frame ? textbook.largest() : undefined));
}
// Every frame drawn goes into the readout (a fit over a few hundred frames
// needs them all), though it is shown only four times a second.
function recordLatest() {
  const frame = Module._wave1dFramesShown() - 1;
  if (frame >= 0 && frame !== readout.latest?.frame) recordShown(frame);
}
// What the page shows now: the readout, and the frame and scale of each canvas.
function shown() {
  const latest = readout.latest && { ...readout.latest };
  return { readout: Object.assign(Object.create(Readout.prototype), readout, { latest }), textbookDrawn: textbook.drawn,
           scale: Module._wave1dScaleShown(), textbookScale: textbook.scale };
}
let presented = null;  // the textbook scheme's frame as last written
function present() {
  if (!controls.jumping) {
    recordLatest();
    if (readout.latest?.frame !== presented?.frame || textbook.drawn !== presented?.textbookDrawn) stale = true;
  }
  showAnimating();
  if (!stale || !words || !readout.latest) return;
  stale = false;
  const { readout: what, textbookDrawn, scale, textbookScale } = controls.jumping ? frozen : shown();
  presented = { frame: what.latest.frame, textbookDrawn };
  show(document, what, words);
  const count = (n) => n.toLocaleString(words.locale), frame = what.latest.frame;
  element("program-caption").textContent = words.programCaption.replace("{frame}", count(frame));
  element("textbook-caption").textContent = textbookDrawn >= frame
    ? words.textbookCaption.replace("{frame}", count(frame))
    : words.textbookCatchingUp.replace("{frame}", count(Math.max(textbookDrawn, 0))).replace("{target}", count(frame));
  const fitted = element("fit-switch").checked;
  element("fit-range").textContent = fitted ? rangeText(scale, words, number) : "";
  element("textbook-range").textContent = fitted && textbookDrawn >= 0 ? rangeText(textbookScale, words, number) : "";
}

// Start and Stop are one button, named for what it does next.
let shownAnimating = null;
function showAnimating() {
  const now = controls.jumping ? "jumping" : Module._wave1dAnimating() ? "running" : "stopped";
  if (now === shownAnimating || !words) return;
  shownAnimating = now;
  const startStop = element("start-stop");
  startStop.textContent = now === "running" ? words.stop : words.start;
  startStop.setAttribute("aria-pressed", String(now === "running"));
  for (const id of ["start-stop", "step"]) element(id).disabled = now === "jumping";
  element("go").textContent = now === "jumping" ? words.cancel : words.go;
}

const textbook = new TextbookView(element("textbook-canvas"), null, readout, told, () => webglLost);
function beside(on) {
  textbook.on = on;
  element("beside-switch").checked = on;
  document.documentElement.classList.toggle("beside", on);
  const plot = element("plot");
  plot.dataset.wordsAriaLabel = on ? "plotLabelBeside" : "plotLabel";
  if (words) plot.setAttribute("aria-label", words[plot.dataset.wordsAriaLabel]);
  readout.beside = on;
  stale = true;
  if (Module) {
    textbook.follow();
    present();
  }
}
element("beside-switch").addEventListener("change", ({ target }) => {
  remember(BESIDE, target.checked);
  beside(target.checked);
});

function fit(on) {
  element("fit-switch").checked = on;
  document.documentElement.classList.toggle("fitted", on);
  textbook.fit(on);
  stale = true;
  if (!Module) return;
  Module._wave1dFitToView(on);
  present();
}
element("fit-switch").addEventListener("change", ({ target }) => {
  remember(FIT, target.checked);
  fit(target.checked);
});

// The buttons. A jump passes frames as if drawn: each goes into the readout
// (and the textbook scheme, when shown, is brought along), so that the
// frame it ends on has its history.
const pace = new Pace();
const controls = new Controls({
  start: () => Module._wave1dStart(),
  stop: () => Module._wave1dStop(),
  restart: () => {
    Module._wave1dRestart(Number(run.c), run.steps);
    textbook.restart(run);
    readout.reset(run);
    stale = true;
    lastTold = null;
    element("spoken").textContent = "";
  },
  passFrame: () => {
    Module._wave1dPassFrame();
    const frame = Module._wave1dFramesShown() - 1;
    // Turned on during the jump, the textbook scheme catches up a little with each frame passed.
    if (textbook.on) told(textbook.advanceTo(frame, CATCH_UP_IN_A_JUMP_MS));
    const textbookLargest = textbook.on && Module._wave1dTextbookFrame() === frame ? textbook.largest() : undefined;
    told(readout.record(frame, Module._wave1dLargestShown(), Module._wave1dNansShown(), textbookLargest));
  },
  draw: () => {
    frameAsked = true;
    Module._wave1dRedisplay();
  },
}, { now: () => performance.now(), pause: () => new Promise((resolve) => setTimeout(resolve)) }, ({ frame, target }) => {
  say("jumping", { frame, target });
});
// The status line under the controls: a message (the words' key, and what
// fills its blanks), or else what Go to frame takes; said again in a new language.
let said = ["goToHint", {}];
function say(key = "goToHint", values = {}) {
  said = [key, values];
  const status = element("go-to-status"), all = { limit: LAST_FRAME_TO_GO_TO, ...values };
  if (!status) return;  // no controls without WebGL
  // The fastest mode, from near 1, takes the largest double within the frames Go to reaches, or not.
  const overflows = framesToOverflow(predicted("program", run).factor) <= LAST_FRAME_TO_GO_TO;
  const shown = key === "goToHint" && !overflows ? "goToHintBefore" : key;
  status.textContent = words[shown].replace(/\{(\w+)\}/g, (_, blank) =>
    typeof all[blank] === "number" ? all[blank].toLocaleString(words.locale) : all[blank]);
  status.classList.toggle("hint", key === "goToHint");
}
const act = (what) => () => {
  if (!Module) return;
  what();
  present();
};
element("start-stop").addEventListener("click", act(() =>
  (Module._wave1dAnimating() ? controls.stop() : controls.start())));
element("step").addEventListener("click", act(() => controls.step()));
element("reset").addEventListener("click", act(() => {
  say();
  controls.reset();
}));
element("speed").addEventListener("change", ({ target }) => pace.set(Number(target.value)));
element("go-to").addEventListener("submit", async (event) => {
  event.preventDefault();
  if (!Module) return;
  if (controls.jumping) return controls.cancel();
  const input = element("frame-wanted"), wanted = parseFrame(input.value);
  input.setAttribute("aria-invalid", String("problem" in wanted));
  if (wanted.problem)
    return say(wanted.problem, { text: input.value.trim() });
  say();
  frozen = shown();
  const going = controls.goTo(wanted.frame);
  showAnimating();
  const reached = await going;
  frozen = null;
  if (reached === null) return;  // ended by Reset, which said what there is to say
  say(reached === wanted.frame ? "goToHint" : "jumpCancelled", { frame: reached });
});

// The stability lesson: a Courant number and steps a frame for both
// schemes, from the panel, the address (#nu=1.1&steps=1, for a link to a
// run) or as last chosen; anything else is this program's own run, with a word.
let run = OWN_RUN;
let explored = ["", {}];  // what the panel's status line says: the words' key and its blanks
function sayOfRun(key = "", values = {}) {
  explored = [key, values];
  const status = element("explore-status");
  if (words && status) status.textContent = key ? words[key].replace(/\{(\w+)\}/g, (_, blank) => values[blank]) : "";
}
function showRun() {
  document.documentElement.classList.toggle("explored", !isOwnRun(run));
  if (words) element("how").innerHTML = words.how.replace("{perFrame}", run.steps === 1 ? words.oneStepPerFrame
    : words.stepsPerFrame.replace("{steps}", run.steps.toLocaleString(words.locale)));
  if (!element("courant")) return;  // no panel without WebGL
  element("courant").value = run.nu;
  element("steps-per-frame").value = String(run.steps);
  if (words) element("explored-run").textContent = words.explored.replace("{run}", runText(run, words));
}
function useRun(chosen, { problem = "", applied = false } = {}) {
  run = chosen;
  store(RUN, `nu=${run.nu}&steps=${run.steps}`);
  // The address names the run, unless it names a growth section of the single file.
  if (location.hash === "" || /^#(nu|steps)=/.test(location.hash))
    history.replaceState(null, "", isOwnRun(run) ? location.pathname + location.search : `#nu=${run.nu}&steps=${run.steps}`);
  showRun();
  if (problem && element("explore")) element("explore").open = true;
  sayOfRun(problem || (applied ? "runApplied" : ""), { run: words ? runText(run, words) : "" });
  // As Reset: a jump under way ends, and the line under the controls says what Go to takes in this run.
  if (words) say();
  if (Module) act(() => controls.reset())();
}
function runAsked() {
  const address = new URLSearchParams(location.hash.slice(1));
  if (address.has("nu") || address.has("steps")) return parseRun(address.get("nu"), address.get("steps"));
  let stored = null;
  try { stored = localStorage.getItem(RUN); } catch {}
  const kept = new URLSearchParams(stored ?? "");
  return stored ? parseRun(kept.get("nu"), kept.get("steps")) : { run: OWN_RUN };
}
element("explore-form").addEventListener("submit", (event) => {
  event.preventDefault();
  const input = element("steps-per-frame"), asked = parseRun(element("courant").value, input.value);
  input.setAttribute("aria-invalid", String(Boolean(asked.problem)));
  if (asked.problem) return sayOfRun("stepsTyped", { text: input.value.trim() });
  useRun(asked.run, { applied: true });
});
for (const id of ["own-run", "back-to-own-run"]) element(id).addEventListener("click", () => useRun(OWN_RUN, { applied: true }));
// A run typed into the address of the open page, or followed by a link to it.
window.addEventListener("hashchange", () => {
  if (!/^#(nu|steps)=/.test(location.hash)) return;
  const asked = runAsked();
  if (asked.problem || asked.run.nu !== run.nu || asked.run.steps !== run.steps)
    useRun(asked.run, { problem: asked.problem, applied: !asked.problem });
});
element("courant").replaceChildren(...COURANT_STOPS.map(({ nu }) => new Option(nu, nu)));

// The words, and everything written in them.
startWords(release, addressOf, (chosen) => {
  words = chosen;
  for (const option of element("courant")?.options ?? []) {
    const { nu, c } = COURANT_STOPS.find((stop) => stop.nu === option.value);
    option.textContent = (nu === OWN_RUN.nu ? words.courantOwnOption : words.courantOption)
      .replace("{nu}", nu).replace("{c}", c);
  }
  showRun();
  if (explored[0] === "runApplied") explored[1].run = runText(run, words);
  sayOfRun(...explored);
  for (const option of element("speed")?.options ?? [])
    option.textContent = option.value === "0" ? words.speedDisplay : words.speedFps.replace("{fps}", option.value);
  say(...said);
  shownAnimating = null;
  stale = true;
  if (lastTold) element("spoken").textContent = tell(lastTold, readout, words);
  if (Module) present();
}).finally(() => document.documentElement.classList.remove("wordless"));
element("speed").replaceChildren(...SPEEDS.map((fps) => new Option(String(fps), String(fps), fps === 0, fps === 0)));

// The browser may take WebGL away (a phone does to a page in the
// background, a graphics reset to every page). Meanwhile the wave waits:
// no frame is drawn, so none advances it, and a right press, the
// program's own stop, ends its requests for frames. The toolkit's GL
// emulation cannot rebuild what it had on the card, so when WebGL comes
// back the page starts again, and says so. So too for the textbook scheme's canvas.
// (Where the browser keeps no session storage, it starts again without a word.)
const RESTARTED = "wave1d-webgl-restored";
for (const drawn of [canvas, element("textbook-canvas")]) {
  drawn.addEventListener("webglcontextlost", (event) => {
    event.preventDefault();  // without this the browser never gives it back
    webglLost = true;
    buttons.click(RIGHT);
    element("webgl-lost").hidden = false;
  });
  drawn.addEventListener("webglcontextrestored", () => {
    try { sessionStorage.setItem(RESTARTED, "1"); } catch {}
    location.reload();
  });
}
try {
  element("restarted").hidden = sessionStorage.getItem(RESTARTED) === null;
  sessionStorage.removeItem(RESTARTED);
} catch {}

beside(remembered(BESIDE));
fit(remembered(FIT));
{
  const asked = runAsked();
  run = asked.run;
  useRun(asked.run, { problem: asked.problem });
}
if (!webglAvailable()) {
  // Without WebGL the program cannot draw: say so where the wave would be, and stop.
  element("stage").replaceWith(element("no-webgl"));
  element("no-webgl").hidden = false;
  for (const id of ["readout", "program-caption", "textbook", "switches", "controls", "go-to-status", "explore", "explored"]) element(id).remove();
} else {
  // A frame is drawn only while WebGL is there and no jump is passing
  // frames; animating, when the pace chosen has its turn; stopped, the first
  // and those the buttons ask for, not one the animation asked for before
  // it stopped (false skips one).
  startProgram({
    canvas,
    preMainLoop: () => {
      if (webglLost || controls.jumping) return false;
      if (Module?._wave1dAnimating()) return pace.due(performance.now());
      const asked = frameAsked || !Module?._wave1dFramesShown();
      frameAsked = false;
      return asked;
    },
    postMainLoop: () => {
      if (!Module) return;
      textbook.follow();
      if (!Module._wave1dAnimating()) present();
      else if (!controls.jumping) recordLatest();
    },
  }, addressOf).then((running) => {
    Module = running;
    textbook.program = Module;
    if (!isOwnRun(run)) act(() => controls.reset())();
    Module._wave1dFitToView(element("fit-switch").checked);
    textbook.follow();
    present();
    setInterval(present, 250);
  });
  if (!element("program-script")) keepOffline(release);
}

// For those who look into the page (and its tests): its readout, how to
// show a frame in it, and where its plot draws what.
window.wave1dPage = {
  readout,
  showFrame: (frame, largest, nans, textbookLargest) => {
    told(readout.record(frame, largest, nans, textbookLargest));
    stale = true;
    if (words) show(document, readout, words);
  },
  plot: () => plotOn(element("plot"), readout, words),
};
