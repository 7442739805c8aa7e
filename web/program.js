// The C++ program, built with Emscripten (wave1d.js and its WebAssembly),
// started on the page's canvas: the build with WebAssembly SIMD where the
// browser validates a SIMD instruction (i8x16.popcnt in a one-function
// module), the plain one elsewhere. Both builds share one script. The
// single-file page carries that script and both programs inside it; the
// served page fetches them, and itself, so that it can turn to the other
// build where its choice cannot be had (offline, and never kept here) or
// does not run.
const SIMD_PROBE = new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2, 1, 0, 10, 10, 1, 8,
                                   0, 65, 0, 253, 15, 253, 98, 11]);
const BUILDS = { simd: "simd/wave1d.wasm", plain: "wave1d.wasm" };

export function webglAvailable() {
  const context = document.createElement("canvas").getContext("webgl");
  context?.getExtension("WEBGL_lose_context")?.loseContext();
  return context !== null;
}

// Starts the program with `settings` (Emscripten's Module: the canvas, the
// hooks) as the global Module its script expects; `addressOf` gives a
// file's address in this release. Resolves to Module once it runs.
export function startProgram(settings, addressOf) {
  const build = WebAssembly.validate(SIMD_PROBE) ? "simd" : "plain";
  // The program's name as its argv[0], as a desktop shell would pass it.
  const Module = (window.Module = { thisProgram: "wave1d", build, ...settings });
  async function instantiate(which, imports) {
    const response = await fetch(addressOf(BUILDS[which]));
    if (!response.ok) throw new Error(`${response.url}: ${response.status}`);
    const result = await WebAssembly.instantiate(await response.arrayBuffer(), imports);
    Module.build = which;
    return result;
  }
  const script = document.createElement("script");
  const inlined = document.getElementById("program-script");
  if (inlined) {
    const wasm = atob(document.getElementById(`program-${build}`).textContent.trim());
    Module.wasmBinary = Uint8Array.from(wasm, (c) => c.charCodeAt(0));
    script.textContent = inlined.textContent;
  } else {
    Module.instantiateWasm = (imports, receive) => {
      instantiate(build, imports).catch(() => instantiate(build === "simd" ? "plain" : "simd", imports))
        .then(({ instance, module }) => receive(instance, module));
      return {};
    };
    script.src = addressOf("wave1d.js");
  }
  const running = new Promise((resolve) => (Module.onRuntimeInitialized = () => resolve(Module)));
  document.body.appendChild(script);
  return running;
}
