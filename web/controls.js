// What the buttons under the wave do, apart from the page so that Node can
// check it: Start and Stop as a left click and a right press do; Step draws
// one frame and stops; Reset goes back to frame 0; Go to frame N computes
// frame N from frame 0 at full speed, passing every frame on the way, then
// draws it and stops. The pace chosen under Speed decides which of the
// display's frames the animation draws.

// Frame 140,500 or so is the last with a finite value; a little past it
// every value is NaN and nothing more happens. Frames beyond it take minutes.
export const LAST_FRAME_TO_GO_TO = 150000;
// Frames a second; 0 is every frame the display shows (requestAnimationFrame's pace).
export const SPEEDS = [1, 5, 15, 30, 0];
// A jump says how far it has got once it takes longer than this.
export const PROGRESS_AFTER_MS = 1000;
// Frames are passed for this long between the browser's turns, so that
// the page stays responsive (and can be cancelled) during a long jump.
const SLICE_MS = 25;

// The frame number typed into "Go to frame": digits only (grouped by commas
// as the page writes them, or typed with full-width digits), at most
// LAST_FRAME_TO_GO_TO. Resolves to { frame } or { problem }, the words' key
// of what is wrong.
export function parseFrame(text) {
  const typed = String(text).normalize("NFKC").trim();
  if (typed === "") return { problem: "frameMissing" };
  if (!/^(\d+|\d{1,3}(,\d{3})+)$/.test(typed)) return { problem: "frameNotWhole" };
  const frame = Number(typed.replace(/,/g, ""));
  return frame > LAST_FRAME_TO_GO_TO ? { problem: "frameTooLarge" } : { frame };
}

// Which of the display's frames a pace of `framesPerSecond` draws: each has
// its slot a period after the last, so the pace holds over time whatever the
// display's rate; after a pause, or when the display falls behind by more
// than a period, the next frame is drawn at once and the slots start again
// from it rather than catching up in a burst.
export class Pace {
  static SLACK_MS = 4;  // a display frame this early for its slot is on time
  constructor(framesPerSecond = 0) {
    this.set(framesPerSecond);
  }
  set(framesPerSecond) {
    Object.assign(this, { framesPerSecond, next: -Infinity });
  }
  // Whether a frame at time `now` (ms) is drawn; if so, it takes its slot.
  due(now) {
    if (!this.framesPerSecond) return true;
    const period = 1000 / this.framesPerSecond;
    if (now < this.next - Pace.SLACK_MS) return false;
    this.next = now - this.next > period ? now + period : this.next + period;
    return true;
  }
}

// The buttons' logic over `program`, which does what they ask of the wave:
// start(), stop(), restart() (back before frame 0, nothing drawn),
// passFrame() (the next frame counted as shown, not drawn), draw() (the next
// frame drawn). `clock` gives now() in ms and pause(), which resolves once
// the browser has had its turn. `report({ frame, target })` hears how a jump
// goes, once it has taken PROGRESS_AFTER_MS.
export class Controls {
  constructor(program, clock, report = () => {}) {
    Object.assign(this, { program, clock, report, jump: null });
  }
  get jumping() {
    return this.jump !== null;
  }
  start() {
    if (!this.jumping) this.program.start();
  }
  stop() {
    this.program.stop();
  }
  step() {
    if (this.jumping) return;
    this.program.stop();
    this.program.draw();
  }
  reset() {
    if (this.jump) this.jump.dropped = true;  // ends without drawing its frame
    this.jump = null;
    this.program.stop();
    this.program.restart();
    this.program.draw();
  }
  // Ends a jump where it has got to, that frame drawn; resolves when it has.
  cancel() {
    if (this.jump) this.jump.cancelled = true;
    return this.jump?.done ?? Promise.resolve();
  }
  // To frame `target` (a number parseFrame gave), from the start. Resolves
  // to the frame drawn: `target`, or the frame reached when cancelled; null
  // when Reset ended it.
  goTo(target) {
    if (this.jumping) return this.jump.done;
    const { program, clock } = this;
    program.stop();
    program.restart();
    const jump = (this.jump = { cancelled: false, dropped: false, frame: 0 });
    const started = clock.now();
    jump.done = (async () => {
      for (;;) {
        const slice = clock.now();
        while (jump.frame < target && !jump.cancelled && !jump.dropped && clock.now() - slice < SLICE_MS) {
          program.passFrame();
          ++jump.frame;
        }
        if (jump.frame >= target || jump.cancelled || jump.dropped) break;
        if (clock.now() - started >= PROGRESS_AFTER_MS) this.report({ frame: jump.frame, target });
        await clock.pause();
      }
      if (jump.dropped) return null;
      // A click on the wave meanwhile may have started it: a jump ends stopped.
      program.stop();
      this.jump = null;
      program.draw();
      return jump.frame;
    })();
    return jump.done;
  }
}
