// Keeps the site on the device, one release at a time, so that it opens
// offline (installed as an app or not) and so that a page runs wholly on the
// release it was loaded from, however long it stays open.
//
// Every file a page names carries its content's revision in its address
// (readout.js?v=REVISION, written by web/release.py), so an address means one
// content whichever release asks for it. A release is a cache of its own,
// filled when its worker installs, each file checked against its revision and
// fetched past the browser's HTTP cache when the copy there is another; what
// another release's cache holds under one of its addresses is carried over,
// not fetched again, and so is what a release's cache holds when it is
// removed. A page asks for its own release's addresses, so a page of an older
// release keeps getting that release's files after a newer worker has taken
// over; only an address without a revision (the page itself, as people and
// the manifest name it) means the newest release's file. A new worker waits
// until a page's notice asks it to take over, or until no page is open; a
// release's cache is removed once no open page was loaded from it. Any other
// address in the worker's scope (another page's on the same host) goes to the
// network as it is.
"use strict";
// web/release.py writes the release in: its version, its revision, every
// file's revision, what a visit needs, kept when the worker installs, and
// the pages that open from it with what they name, kept once a page asks.
const RELEASE = { version: "", revision: "", files: {}, install: [], after: [] };
const CACHE = `wave1d-release-${RELEASE.revision}`;
const PAGES = "wave1d-pages";  // the document each open page was loaded as
const SCOPE = new URL(self.registration.scope);

// The build this browser runs, as the page chooses it: the SIMD one where a
// SIMD instruction validates (the page falls back to the other build when
// the one it wants is not here).
const SIMD_PROBE = new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2, 1, 0, 10, 10, 1, 8,
                                   0, 65, 0, 253, 15, 253, 98, 11]);
const BUILD = typeof WebAssembly === "object" && WebAssembly.validate(SIMD_PROBE) ? "simd/wave1d.wasm" : "wave1d.wasm";

// A revision as web/release.py writes one (a font's ?v=4.7.0 is none).
const REVISION = /^[0-9a-f]{16}$/;
const keyOf = (path, revision) => new URL(`${path}?v=${revision}`, SCOPE).href;
const OWN = new Set(Object.entries(RELEASE.files).map(([path, revision]) => keyOf(path, revision)));

// The file of the site an address names, with its revision and the key it
// is kept under: one of this release's paths, with a revision (as a page of
// any release names it) or without (this release's). null for anything
// else: another host's, the worker's, or another page's on the same host,
// however it names its versions; an older release's file that this release
// has no path for is only what its cache kept (see the fetch handler).
function fileOf(url) {
  if (url.origin !== SCOPE.origin || !url.pathname.startsWith(SCOPE.pathname)) return null;
  const path = url.pathname.slice(SCOPE.pathname.length) || "index.html";
  const revision = url.searchParams.get("v") ?? RELEASE.files[path];
  return path in RELEASE.files && REVISION.test(revision) ? { path, revision, key: keyOf(path, revision) } : null;
}

const hex = (bytes) => Array.from(new Uint8Array(bytes), (b) => b.toString(16).padStart(2, "0")).join("");

// The file of exactly this revision from the network: as the HTTP cache has
// it (the page as the site's folder, where a first visit found it), else past
// that cache. Anything else (a host's stale copy, a release published
// meanwhile) is refused, never kept or served under this revision.
async function download({ path, revision, key }) {
  for (const [address, cache] of [[path === "index.html" ? SCOPE.href : key, "default"], [key, "reload"]]) {
    const response = await fetch(address, { cache });
    if (!response.ok) continue;
    const body = await response.arrayBuffer();
    if (hex(await crypto.subtle.digest("SHA-256", body)).startsWith(revision))
      return new Response(body, { headers: [["Content-Type", response.headers.get("Content-Type") ?? "text/plain"]] });
  }
  throw new Error(`${path}: the network has no file of revision ${revision}`);
}

// The caches of the other releases.
const otherReleases = async () =>
  (await caches.keys()).filter((name) => name.startsWith("wave1d-release-") && name !== CACHE);

// Copies into `cache` (this release's) what the caches named kept under one
// of this release's addresses: the same content, with no network needed.
async function carry(cache, names) {
  for (const name of names) {
    const other = await caches.open(name);
    for (const request of await other.keys())
      if (OWN.has(request.url) && !(await cache.match(request))) await cache.put(request, await other.match(request));
  }
}

// Keeps each of `paths` (this release's) in `cache`, downloaded unless it
// is there; resolves to each one's outcome.
const keep = (cache, paths) => Promise.allSettled(paths.map(async (path) => {
  const file = fileOf(new URL(path, SCOPE));
  if (!(await cache.match(file.key))) await cache.put(file.key, await download(file));
}));

// What a visit needs: a release that cannot have all of it is not installed.
self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(CACHE).then(async (cache) => {
    await carry(cache, await otherReleases());
    const failed = (await keep(cache, [...RELEASE.install, BUILD])).find(({ status }) => status === "rejected");
    if (failed) throw failed.reason;
  }));
});

// A page asks a waiting worker to take over, or which release it brings (the
// answer on the port it sends); and, once it is up, asks the active worker
// to keep the rest: the pages that open from it (the growth pages and their
// pictures), and anything of the visit's own files a cleared cache lost.
// Each is kept on its own, after the page's own files and without holding up
// the worker: one that cannot be had now is tried again at the next visit.
self.addEventListener("message", (event) => {
  if (event.data === "take over") self.skipWaiting();
  else if (event.data === "keep the rest")
    event.waitUntil(caches.open(CACHE).then((cache) => keep(cache, [...RELEASE.install, BUILD, ...RELEASE.after])));
  else event.ports[0]?.postMessage(RELEASE.revision);
});

self.addEventListener("activate", (event) => event.waitUntil(self.clients.claim().then(() => remember())));

self.addEventListener("fetch", (event) => {
  const url = new URL(event.request.url), file = event.request.method === "GET" ? fileOf(url) : null;
  // (a page of the site that is no release's file, such as the single file, uses none)
  if (event.request.mode === "navigate" && url.href.startsWith(SCOPE.href))
    event.waitUntil(remember(event.resultingClientId, file?.key));
  if (file) event.respondWith(serve(file, event.request));
  // An older release's file under a path this release does not have, if its cache kept it.
  else if (event.request.method === "GET" && REVISION.test(url.searchParams.get("v")) && url.href.startsWith(SCOPE.href))
    event.respondWith(caches.match(url.href).then((kept) => kept ?? fetch(event.request)));
});

async function serve(file, request) {
  const kept = await caches.match(file.key);
  if (kept) return kept;
  try {
    const response = await download(file);
    // This release's files are kept once fetched (the other build); an older one's are not.
    if (RELEASE.files[file.path] === file.revision)
      await caches.open(CACHE).then((cache) => cache.put(file.key, response.clone()));
    return response;
  } catch (error) {
    // A page to open that cannot be had in its revision (this release's copy
    // gone, as a browser may clear caches, and the network moved on) is the
    // network's: a whole page of the newer release. A file for an open page
    // never is: that would mix two releases in one page.
    if (request.mode === "navigate") return fetch(request);
    throw error;
  }
}

// Records which document each open page was loaded as (in a cache, so that
// it outlives this worker) and removes every other release's cache that
// holds no open page's document. While a page of unknown document is open
// (one loaded before a worker kept the site), nothing is removed; nor while a
// newer worker is installing or waiting, whose release no page has loaded yet.
let recording = Promise.resolve();
function remember(client, documentKey) {
  recording = recording.then(async () => {
    const store = await caches.open(PAGES);
    const recorded = (await (await store.match("pages"))?.json()) ?? {};
    if (client) recorded[client] = documentKey ?? "";
    const open = (await self.clients.matchAll({ type: "window", includeUncontrolled: true }))
      .filter(({ url }) => url.startsWith(SCOPE.href)).map(({ id }) => id);
    const pages = Object.fromEntries(Object.entries(recorded).filter(([id]) => id === client || open.includes(id)));
    await store.put("pages", new Response(JSON.stringify(pages)));
    if (open.some((id) => !(id in pages)) || self.registration.installing || self.registration.waiting) return;
    for (const name of await caches.keys()) {
      if (!name.startsWith("wave1d-") || name === CACHE || name === PAGES) continue;
      const cache = await caches.open(name);
      const used = await Promise.all(Object.values(pages).filter(Boolean).map((key) => cache.match(key)));
      if (used.some(Boolean)) continue;
      await carry(await caches.open(CACHE), [name]);
      await caches.delete(name);
    }
  }).catch(() => {});  // a failed tidy-up leaves caches for the next one
  return recording;
}
