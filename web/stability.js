// The stability lesson's choices and what the mode-by-mode (von Neumann)
// analysis predicts of them, apart from the page so that Node can check it.
// A run is a Courant number nu = v dt / dx, whose square c is what each step
// adds times the second difference, and the time steps a frame.

// The stops that tell the story: this program's own nu (c = 0.00005), then
// up to the textbook scheme's limit and just past it. c is written as the
// decimal the model is given; the model uses the double nearest it.
export const COURANT_STOPS = [
  { nu: "0.00707", c: "0.00005" }, { nu: "0.05", c: "0.0025" }, { nu: "0.1", c: "0.01" },
  { nu: "0.25", c: "0.0625" }, { nu: "0.5", c: "0.25" }, { nu: "0.9", c: "0.81" }, { nu: "1", c: "1" },
  { nu: "1.01", c: "1.0201" }, { nu: "1.1", c: "1.21" },
];
export const MOST_STEPS_PER_FRAME = 51;
export const OWN_RUN = Object.freeze({ nu: "0.00707", c: "0.00005", steps: MOST_STEPS_PER_FRAME });

export const isOwnRun = (run) => run.nu === OWN_RUN.nu && run.steps === OWN_RUN.steps;

// The run `nu` and `steps` (as typed, stored or in the address) name:
// { run } or, for anything else, { run: OWN_RUN, problem } with the words'
// key of what was wrong. Steps are a whole number from 1 to 51.
export function parseRun(nu, steps) {
  const stop = COURANT_STOPS.find((s) => s.nu === String(nu ?? "").trim());
  if (!stop) return { run: OWN_RUN, problem: "courantUnknown" };
  const typed = String(steps ?? "").normalize("NFKC").trim();
  const count = /^\d{1,2}$/.test(typed) ? Number(typed) : NaN;
  if (!(count >= 1 && count <= MOST_STEPS_PER_FRAME)) return { run: OWN_RUN, problem: "stepsOutOfRange" };
  return { run: { ...stop, steps: count } };
}

// The largest eigenvalue of -L, the second difference with reflecting ends
// on 201 points: lambda_k = 4 sin^2(pi k / 402) at k = 200.
export const LARGEST_EIGENVALUE = 4 * Math.sin((200 * Math.PI) / 402) ** 2;

// Per time step, the modulus of the larger root for the mode of eigenvalue
// `lambda` (the fastest mode's unless given). This program, the second
// difference of the older level: z^2 - 2z + (1 + c lambda) = 0, |z| =
// sqrt(1 + c lambda) for every lambda > 0. The textbook scheme, of the newer
// level: z^2 - (2 - c lambda) z + 1 = 0, |z| = 1 while c lambda <= 4 (nu <= 1
// with every lambda below 4), beyond it the larger real root.
export function growthPerStep(scheme, c, lambda = LARGEST_EIGENVALUE) {
  const x = c * lambda;
  if (scheme === "program") return Math.sqrt(1 + x);
  if (x <= 4) return 1;
  return (x - 2 + Math.sqrt((x - 2) * (x - 2) - 4)) / 2;
}

// How far the largest |value| falls short of the fastest mode alone, as ln,
// `frame` frames into `run`: the modes beside the fastest grow almost as
// fast and are started as strongly, so the peak is a packet of them, which
// narrows as the fastest pulls ahead. They are started by the sine's corner
// at the string's middle point, where every odd mode is zero, so the packet
// is of the even ones: ln of the sum over even k of (|z_k| / |z_200|)^steps.
// Where many grow alike it falls as ln(frame) / 2 (5% a frame at frame 10);
// where the next one falls behind fast (the textbook scheme just past its
// limit) it goes to 0.
// It is asked for every frame a fit takes in: the modes are summed nearest
// the fastest first, and the sum ends with the first that no longer adds to it.
export function packetLag(scheme, run) {
  const c = Number(run.c), fastest = Math.log(growthPerStep(scheme, c));
  const behind = [];
  for (let k = 0; k <= 200; k += 2)
    behind.push(Math.log(growthPerStep(scheme, c, 4 * Math.sin((Math.PI * k) / 402) ** 2)) - fastest);
  behind.sort((a, b) => b - a);
  return (frame) => {
    let sum = 0;
    for (const lag of behind) {
      const term = Math.exp(frame * run.steps * lag);
      if (sum + term === sum) break;
      sum += term;
    }
    return Math.log(sum);
  };
}

// Frames until a value `largest` growing by `factor` a frame passes the largest double.
export const framesToOverflow = (factor, largest = 1) => Math.log(Number.MAX_VALUE / largest) / Math.log(factor);

// { factor, bounded } per frame of `run` for "program" or "textbook".
export function predicted(scheme, run) {
  const perStep = growthPerStep(scheme, Number(run.c));
  return { factor: perStep ** run.steps, bounded: perStep === 1 };
}
