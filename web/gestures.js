// The program hears mouse buttons only: any left event starts the
// animation, a right press stops it. Touch and keys reach it as those.
export const LEFT = 0, RIGHT = 2;
export const LONG_PRESS_MS = 500, TWO_FINGER_TAP_MS = 500, STILL_PX = 10;

// Touch, the way touch screens give the buttons: a tap is a left click; a
// press held still for LONG_PRESS_MS, or a tap of two fingers, is a right
// click. Nothing is sent until the gesture is known, so a long press never
// starts the animation first. A finger that moves is a swipe, which the
// browser scrolls with, and no button. `send(button, type)` gets
// "mousedown" and "mouseup"; `clock` gives now() and the timer.
export class TouchGesture {
  constructor(send, clock = { now: () => Date.now(), setTimeout: (run, ms) => setTimeout(run, ms),
                              clearTimeout: (id) => clearTimeout(id) }) {
    Object.assign(this, { send, clock, gesture: null });
  }
  // Fingers `touches` ([{ id, x, y }]) came down on the canvas, `down` in all
  // of those on it.
  start(touches, down) {
    const { clock } = this;
    this.gesture ??= { started: clock.now(), origins: new Map(), fingers: 0, held: false, abandoned: false,
                       timer: clock.setTimeout(() => this.hold(), LONG_PRESS_MS) };
    const gesture = this.gesture;
    for (const { id, x, y } of touches) gesture.origins.set(id, [x, y]);
    gesture.fingers = Math.max(gesture.fingers, down);
    if (gesture.fingers > 1) clock.clearTimeout(gesture.timer);
  }
  hold() {
    this.gesture.held = true;
    this.send(RIGHT, "mousedown");
  }
  // Fingers of the gesture moved to `touches`.
  move(touches) {
    const gesture = this.gesture;
    if (!gesture) return;
    for (const { id, x, y } of touches) {
      const [x0, y0] = gesture.origins.get(id) ?? [x, y];
      if (Math.hypot(x - x0, y - y0) > STILL_PX) gesture.abandoned = true;
    }
    if (gesture.abandoned) this.clock.clearTimeout(gesture.timer);
  }
  // Fingers `touches` lifted (or were taken over by the browser: `cancelled`),
  // `left` still down on the canvas.
  end(touches, left, cancelled = false) {
    this.move(touches);
    const gesture = this.gesture;
    if (!gesture) return;
    if (cancelled) {
      gesture.abandoned = true;
      this.clock.clearTimeout(gesture.timer);
    }
    if (left > 0) return;
    this.clock.clearTimeout(gesture.timer);
    if (gesture.held) {
      this.send(RIGHT, "mouseup");
    } else if (!gesture.abandoned) {
      if (gesture.fingers === 1) click(this.send, LEFT);
      else if (gesture.fingers === 2 && this.clock.now() - gesture.started <= TWO_FINGER_TAP_MS) click(this.send, RIGHT);
    }
    this.gesture = null;
  }
}

function click(send, button) {
  send(button, "mousedown");
  send(button, "mouseup");
}

// Mouse, keys and touch over `canvas`, as the toolkit should hear them.
// These listeners must come before the toolkit's own.
export function listenForButtons(canvas) {
  function send(button, type) {
    const box = canvas.getBoundingClientRect();
    canvas.dispatchEvent(new MouseEvent(type, { button, bubbles: true, cancelable: true,
      clientX: box.left + box.width / 2, clientY: box.top + box.height / 2 }));
  }

  // The toolkit hears button releases anywhere on the page, and the program
  // starts on a left one: a click on the text or a link, or a tap beside the
  // canvas (which the browser also sends as mouse events), would start it.
  // So a release reaches the toolkit only when its press began over the
  // canvas, wherever the pointer is by then, as a desktop window's would.
  const pressedOnCanvas = new Set();
  window.addEventListener("mousedown", (event) => event.target === canvas && pressedOnCanvas.add(event.button), true);
  window.addEventListener("mouseup", (event) => pressedOnCanvas.delete(event.button) || event.stopImmediatePropagation(),
                          true);

  // The right button stops the animation: the browser's menu must not open over it.
  canvas.addEventListener("contextmenu", (event) => event.preventDefault());

  canvas.addEventListener("keydown", (event) => {
    const button = { "Enter": LEFT, " ": LEFT, "Escape": RIGHT }[event.key];
    if (button === undefined) return;
    event.preventDefault();  // Space would scroll the page
    if (!event.repeat) click(send, button);
  });

  // Only fingers that came down on the canvas count (a thumb resting beside
  // it does not), and the gesture ends when they have lifted, wherever. The
  // toolkit would make every touch a left button: touches on the canvas are
  // kept from it. A lifted finger's touch is cancelled, so that the browser
  // sends no mouse events of its own for it; a moving one is left to the
  // browser, which scrolls the page with it (the canvas allows vertical panning).
  const gesture = new TouchGesture(send);
  const points = (list) => Array.from(list, (t) => ({ id: t.identifier, x: t.clientX, y: t.clientY }));
  function onTouch(event) {
    if (event.target !== canvas) return;
    event.stopImmediatePropagation();
    if (event.type === "touchstart") return gesture.start(points(event.changedTouches), event.targetTouches.length);
    if (event.type === "touchmove") return gesture.move(points(event.changedTouches));
    if (event.cancelable) event.preventDefault();
    gesture.end(points(event.changedTouches), event.targetTouches.length, event.type === "touchcancel");
  }
  for (const type of ["touchstart", "touchmove", "touchend", "touchcancel"])
    window.addEventListener(type, onTouch, { capture: true, passive: false });

  return { click: (button) => click(send, button) };
}
