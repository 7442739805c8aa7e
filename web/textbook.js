// Beside the wave, on request, the textbook scheme (src/app/web_textbook.cpp):
// each time the program has drawn a frame, it is brought to that frame and
// drawn, so it starts, stops and waits with the program; turned on late, it
// catches up a few milliseconds at a time (more while the program is
// stopped: it has the page to itself then), its largest value going into
// the readout frame by frame as if it had been shown from the start.
const CATCH_UP_MS = 8, CATCH_UP_STOPPED_MS = 25;

// Drawn as the program's is, by WebGL: a black line strip, not smoothed,
// through the values as floats, x from -5 to 5, y from -2 to 2 (or fitted,
// the values scaled in double first, as the program's are). A 2D canvas's
// image, handed over each frame, cost a tenth of the frames.
const SHADERS = ["attribute vec2 p; void main() { gl_Position = vec4(p.x / 5.0, p.y / 2.0, 0.0, 1.0); }",
                 "void main() { gl_FragColor = vec4(0.0, 0.0, 0.0, 1.0); }"];

function startGl(canvas) {
  const gl = canvas.getContext("webgl", { antialias: false, alpha: false, preserveDrawingBuffer: true });
  if (!gl) return null;
  const program = gl.createProgram();
  [gl.VERTEX_SHADER, gl.FRAGMENT_SHADER].forEach((type, i) => {
    const shader = gl.createShader(type);
    gl.shaderSource(shader, SHADERS[i]);
    gl.compileShader(shader);
    gl.attachShader(program, shader);
  });
  gl.bindAttribLocation(program, 0, "p");
  gl.linkProgram(program);
  gl.useProgram(program);
  gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
  gl.enableVertexAttribArray(0);
  gl.vertexAttribPointer(0, 2, gl.FLOAT, false, 0, 0);
  gl.clearColor(1, 1, 1, 1);
  return gl;
}

// `program` is the WebAssembly module's exports (Module), `readout` the
// page's readout, `told(news)` hears what the readout has to tell, and
// `waits()` says when no frame may be drawn.
export class TextbookView {
  constructor(canvas, program, readout, told, waits) {
    Object.assign(this, { canvas, program, readout, told, waits, on: false, fitted: false, drawn: -1, scale: 1,
                          gl: undefined, catchingUp: false });
    // (x, y) pairs; x is the program's, fixed.
    this.vertices = new Float32Array(2 * 201).map((_, j) => (j % 2 ? 0 : (5 * (j / 2)) * 0.01 - 5.0));
  }
  // Back at frame 0 with the program, in its `run` (stability.js): nothing drawn until it draws.
  restart(run) {
    this.program._wave1dTextbookRestart(Number(run.c), run.steps);
    this.drawn = -1;
  }
  // Its largest |value|: NaN once every value is (NaNs are passed over).
  largest() {
    const { program } = this;
    return program._wave1dTextbookNans() === 201 ? NaN : program._wave1dTextbookLargest();
  }
  // Advances it to `target` for at most `budgetMs`, its largest value
  // recorded at every frame on the way; resolves to the readout's news.
  advanceTo(target, budgetMs = Infinity) {
    const { program, readout } = this, started = performance.now(), news = [];
    for (;;) {
      news.push(...readout.recordTextbook(program._wave1dTextbookFrame(), this.largest()));
      if (program._wave1dTextbookFrame() >= target || performance.now() - started >= budgetMs) return news;
      program._wave1dTextbookAdvance();
    }
  }
  // To the frame on the program's canvas and drawn, as far as its time
  // allows; again at the next animation frame (or turn, stopped) until there.
  follow() {
    const { program, readout } = this, target = program._wave1dFramesShown() - 1;
    if (!this.on || this.waits() || target < 0) return;
    const animating = program._wave1dAnimating();
    const given = readout.textbook.length, news = this.advanceTo(target, animating ? CATCH_UP_MS : CATCH_UP_STOPPED_MS);
    const frame = program._wave1dTextbookFrame();
    if (readout.textbook.length !== given && (news.length || frame === target)) this.told(news);
    if (frame !== this.drawn) this.draw();
    if (frame < target && !this.catchingUp) {
      this.catchingUp = true;
      const again = () => {
        this.catchingUp = false;
        this.follow();
      };
      if (animating) requestAnimationFrame(again);
      else setTimeout(again);
    }
  }
  // The frame it is at, in the view asked for.
  draw() {
    this.gl ??= startGl(this.canvas);
    const { gl, vertices, program } = this;
    this.scale = this.fitted ? program._wave1dTextbookFittedScale() : 1;
    for (let i = 0; i < 201; ++i) vertices[2 * i + 1] = program._wave1dTextbookValue(i) * this.scale;
    gl?.bufferData(gl.ARRAY_BUFFER, vertices, gl.DYNAMIC_DRAW);
    gl?.clear(gl.COLOR_BUFFER_BIT);
    gl?.drawArrays(gl.LINE_STRIP, 0, 201);
    this.drawn = program._wave1dTextbookFrame();
  }
  fit(on) {
    this.fitted = on;
    if (this.program && this.drawn >= 0) this.draw();
  }
}
