// The page's controls, its touch gestures and its fitted scale, under Node:
// the logic of each, driven as the page drives it, with a program that
// counts what it is asked and a clock the test moves by hand.
import { test } from "node:test";
import assert from "node:assert/strict";
import { createRequire } from "node:module";
import { Controls, LAST_FRAME_TO_GO_TO, PROGRESS_AFTER_MS, Pace, parseFrame } from "../../web/controls.js";
import { rangeText } from "../../web/fit.js";
import { LEFT, LONG_PRESS_MS, RIGHT, TouchGesture } from "../../web/gestures.js";
import { number } from "../../web/readout.js";

const require = createRequire(import.meta.url);
const words = { en: require("../../web/words/en.json"), ja: require("../../web/words/ja.json") };

// A clock whose time moves only when told; pause() lets `ms` pass (the browser's turn).
function manualClock(msPerPause = 0) {
  const clock = { time: 0, timers: [], now: () => clock.time };
  clock.pause = async () => (clock.time += msPerPause);
  clock.setTimeout = (run, ms) => clock.timers.push({ run, at: clock.time + ms }) - 1;
  clock.clearTimeout = (id) => id !== undefined && (clock.timers[id] = null);
  clock.advance = (ms) => {
    clock.time += ms;
    clock.timers.forEach((timer, id) => timer && timer.at <= clock.time && (clock.timers[id] = null, timer.run()));
  };
  return clock;
}

// The wave as the controls see it: its frame counts as the page's does.
function fakeProgram(clock, msPerFrame = 0) {
  const program = { frame: -1, running: false, calls: [] };  // frame: the frame on the canvas
  program.next = 0;  // what the next frame drawn or passed is
  Object.assign(program, {
    start: () => (program.running = true),
    stop: () => (program.running = false),
    restart: () => (program.next = 0),
    passFrame: () => {
      clock.time += msPerFrame;
      program.next += 1;
    },
    draw: () => {
      program.calls.push(program.running ? "draw while running" : `draw ${program.next}`);
      program.frame = program.next++;
    },
  });
  return program;
}

test("Go to frame takes a whole number from 0 to the stated limit, and nothing else", () => {
  assert.deepEqual(["1300", " 1,300 ", "０", "１３００", String(LAST_FRAME_TO_GO_TO)].map(parseFrame),
                   [{ frame: 1300 }, { frame: 1300 }, { frame: 0 }, { frame: 1300 }, { frame: LAST_FRAME_TO_GO_TO }]);
  for (const typed of ["-3", "1e9", "abc", "12.5", "1,30", "13,00,0", "0x10", "1 300", "+5"])
    assert.deepEqual(parseFrame(typed), { problem: "frameNotWhole" }, typed);
  assert.deepEqual([parseFrame(""), parseFrame("   ")], [{ problem: "frameMissing" }, { problem: "frameMissing" }]);
  assert.deepEqual([parseFrame(String(LAST_FRAME_TO_GO_TO + 1)), parseFrame("99999999999999999999")],
                   [{ problem: "frameTooLarge" }, { problem: "frameTooLarge" }]);
  // Every problem has its words, with the blanks the page fills.
  for (const language of Object.values(words))
    for (const problem of ["frameMissing", "frameNotWhole", "frameTooLarge"]) assert.match(language[problem], /\{limit\}/);
});

test("Step draws one frame and stops; Reset goes back to frame 0 stopped; Start is refused during a jump", async () => {
  const clock = manualClock(), program = fakeProgram(clock, 0.01), controls = new Controls(program, clock);
  program.draw();  // the first frame, as the page shows it on load
  controls.start();
  controls.step();
  controls.step();
  assert.deepEqual([program.running, program.frame, program.calls], [false, 2, ["draw 0", "draw 1", "draw 2"]]);
  controls.start();
  controls.reset();
  assert.deepEqual([program.running, program.frame], [false, 0]);
  clock.pause = async () => (clock.time += 30);
  const jump = controls.goTo(30000);
  await clock.pause();
  controls.start();
  controls.step();
  assert.deepEqual([controls.jumping, program.running], [true, false]);
  assert.equal(await jump, 30000);
  assert.deepEqual([program.running, program.frame, controls.jumping, program.calls.at(-2)], [false, 30000, false, "draw 0"]);
});

test("Go to frame passes every frame from 0, draws the target and stops, and says how it goes after a second", async () => {
  const clock = manualClock(1), program = fakeProgram(clock, 0.5), reports = [];
  const controls = new Controls(program, clock, (progress) => reports.push(progress));
  program.draw();
  controls.step();
  program.start();  // as a click on the wave during the jump would
  const drawn = await controls.goTo(5000);
  assert.deepEqual([drawn, program.frame, program.running, program.calls.at(-1)], [5000, 5000, false, "draw 5000"]);
  // 2,500 ms of work: told from the first slice past a second, in order, never the end itself.
  assert.ok(reports.length > 0 && reports.every(({ target }) => target === 5000), JSON.stringify(reports.slice(0, 3)));
  assert.ok(reports[0].frame >= (PROGRESS_AFTER_MS / 0.5) * 0.9 && reports[0].frame < 5000, `${reports[0].frame}`);
  assert.ok(reports.every(({ frame }, i) => i === 0 || frame > reports[i - 1].frame));
  // A short jump says nothing.
  reports.length = 0;
  await controls.goTo(100);
  assert.deepEqual([reports, program.frame], [[], 100]);
});

test("a jump cancelled draws the frame it reached; one ended by Reset draws nothing more", async () => {
  const clock = manualClock(1), program = fakeProgram(clock, 1);
  const controls = new Controls(program, clock);
  program.draw();
  const cancelled = controls.goTo(10000);
  await clock.pause();
  assert.ok(controls.jumping);
  controls.cancel();
  const reached = await cancelled;
  assert.ok(reached > 0 && reached < 10000, `${reached}`);
  assert.deepEqual([program.frame, program.calls.at(-1)], [reached, `draw ${reached}`]);
  const dropped = controls.goTo(10000);
  await clock.pause();
  controls.reset();
  assert.deepEqual([await dropped, program.frame, program.calls.at(-1), controls.jumping], [null, 0, "draw 0", false]);
});

test("a pace draws the display's frames that keep it, without drift or bursts", () => {
  const drawn = (fps, displayHz, seconds, start = 1000) => {
    const pace = new Pace(fps);
    let count = 0;
    for (let k = 0; k < seconds * displayHz; ++k) {
      const t = start + (k * 1000) / displayHz;
      count += pace.due(t + Math.sin(k) * 0.8);  // the display's frames come a little early or late
    }
    return count;
  };
  // Every frame at the display's pace; the chosen pace on a 60 Hz, 144 Hz or 50 Hz display.
  assert.equal(drawn(0, 60, 10), 600);
  for (const hz of [60, 144, 50]) for (const fps of [1, 5, 15, 30]) assert.ok(Math.abs(drawn(fps, hz, 10) - 10 * fps) <= 1, `${fps} at ${hz} Hz: ${drawn(fps, hz, 10)}`);
  // After a pause (a hidden tab), the next frame comes at once and no burst follows.
  const pace = new Pace(5);
  assert.deepEqual([pace.due(0), pace.due(10), pace.due(200), pace.due(60000), pace.due(60010), pace.due(60200)],
                   [true, false, true, true, false, true]);
});

// A clock and a gesture that sends what it makes of the fingers.
function gestureOn() {
  const clock = manualClock(), sent = [];
  return { clock, sent, gesture: new TouchGesture((button, type) => sent.push(`${button === LEFT ? "left" : button === RIGHT ? "right" : button} ${type}`), clock) };
}

test("touch: a tap is a left click, a long press and a two-finger tap a right click, a swipe nothing", () => {
  const cases = {
    tap: ({ gesture, clock }) => { gesture.start([{ id: 1, x: 0, y: 0 }], 1); clock.advance(80); gesture.end([{ id: 1, x: 3, y: 2 }], 0); },
    longPress: ({ gesture, clock, sent }) => {
      gesture.start([{ id: 1, x: 0, y: 0 }], 1);
      clock.advance(LONG_PRESS_MS);
      sent.push("(held)");
      clock.advance(300);
      gesture.end([{ id: 1, x: 0, y: 0 }], 0);
    },
    twoFingers: ({ gesture, clock }) => {
      gesture.start([{ id: 1, x: 0, y: 0 }], 1);
      gesture.start([{ id: 2, x: 80, y: 0 }], 2);
      clock.advance(100);
      gesture.end([{ id: 1, x: 0, y: 0 }], 1);
      gesture.end([{ id: 2, x: 80, y: 0 }], 0);
    },
    twoFingersHeld: ({ gesture, clock }) => {
      gesture.start([{ id: 1, x: 0, y: 0 }, { id: 2, x: 80, y: 0 }], 2);
      clock.advance(LONG_PRESS_MS + 100);  // two fingers are never a long press, nor a tap once held
      gesture.end([{ id: 1, x: 0, y: 0 }, { id: 2, x: 80, y: 0 }], 0);
    },
    verticalSwipe: ({ gesture, clock }) => {
      gesture.start([{ id: 1, x: 0, y: 200 }], 1);
      for (let y = 190; y >= 50; y -= 10) gesture.move([{ id: 1, x: 0, y }]);
      clock.advance(LONG_PRESS_MS + 100);
      gesture.end([{ id: 1, x: 0, y: 50 }], 0);
    },
    takenByTheBrowser: ({ gesture, clock }) => { gesture.start([{ id: 1, x: 0, y: 0 }], 1); clock.advance(100); gesture.end([{ id: 1, x: 0, y: 0 }], 0, true); },
  };
  const seen = Object.fromEntries(Object.entries(cases).map(([name, play]) => {
    const on = gestureOn();
    play(on);
    return [name, on.sent];
  }));
  assert.deepEqual(seen, {
    tap: ["left mousedown", "left mouseup"],
    longPress: ["right mousedown", "(held)", "right mouseup"],
    twoFingers: ["right mousedown", "right mouseup"],
    twoFingersHeld: [],
    verticalSwipe: [],
    takenByTheBrowser: [],
  });
});

test("the fitted view's range is written as the canvas shows it, in either language", () => {
  // 2 / scale is the half height: a scale of 2 * 0.95 / 1402.64 shows ±1,476.5.
  assert.equal(rangeText((2 * 0.95) / 1402.64, words.en, number), "y from −1,476 to 1,476");
  assert.equal(rangeText(1, words.en, number), "y from −2 to 2");
  assert.equal(rangeText((2 * 0.95) / 1.9684, words.en, number), "y from −2.072 to 2.072");
  assert.equal(rangeText((2 * 0.95) / 6.2336e9, words.ja, number), "y = −6.5617 × 10⁹ から 6.5617 × 10⁹");
});
