// Keeps the site on the device from the first visit on, so that it opens
// offline, as an installed app or not: the page, its scripts and both
// languages' words when the worker is installed, with the WebAssembly build
// the page chose (named by the page in the worker's address, ?wasm=); the
// growth pages and their pictures once they are opened. Everything is served
// from the cache first. scripts/web.sh writes the site's version into
// VERSION, so that a changed site installs a new worker, whose cache replaces
// the old one.
"use strict";
const VERSION = "@VERSION@";
const CACHE = `wave1d-${VERSION}`;
// With the icons a visit asks for (an installed app keeps its own).
const SHELL = ["./", "index.html", "readout.js", "wave1d.js", "words/en.json", "words/ja.json", "manifest.webmanifest",
               "icons/wave1d.svg", "icons/wave1d-192.png"];

self.addEventListener("install", (event) => {
  const wasm = new URL(location.href).searchParams.get("wasm");
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(wasm ? [...SHELL, wasm] : SHELL))
    .then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name !== CACHE).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener("fetch", (event) => {
  const request = event.request;
  if (request.method !== "GET" || new URL(request.url).origin !== location.origin) return;
  event.respondWith(caches.open(CACHE).then(async (cache) => {
    const kept = await cache.match(request, { ignoreSearch: request.mode === "navigate" });
    if (kept) return kept;
    const response = await fetch(request);
    if (response.ok) cache.put(request, response.clone());
    return response;
  }));
});
