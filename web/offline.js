// Kept for offline use by a worker (sw.js), a release at a time. A newer
// release's worker waits: the page says so, and its button reloads the page
// into the new release. Once a worker keeps the page's own files, it is
// asked to keep the rest (the growth pages) in the background. (Where the
// browser refuses a worker, as in a private window, the page works as before.)
export function keepOffline(release) {
  const notice = document.getElementById("update");
  navigator.serviceWorker?.ready.then(({ active }) => active?.postMessage("keep the rest"));
  navigator.serviceWorker?.register("sw.js").then((registration) => {
    // Only another release's worker behind the one serving this page is news: the first one simply
    // keeps the site, and this release's under another address (as the former worker's was) brings nothing.
    const offer = () => {
      if (!registration.waiting || !navigator.serviceWorker.controller) return;
      const channel = new MessageChannel();
      channel.port1.onmessage = ({ data }) => data !== release.revision && (notice.hidden = false);
      registration.waiting.postMessage("release", [channel.port2]);
    };
    offer();
    registration.addEventListener("updatefound", () => registration.installing.addEventListener("statechange", offer));
    notice.querySelector("button").addEventListener("click", () => {
      // Once it has taken over (from another page), a reload is all it takes.
      if (!registration.waiting) return location.reload();
      navigator.serviceWorker.addEventListener("controllerchange", () => location.reload());
      registration.waiting.postMessage("take over");
    });
    // A page left open hears of a new release when it is looked at again, and hourly.
    const check = () => document.hidden || registration.update().catch(() => {});
    document.addEventListener("visibilitychange", check);
    setInterval(check, 60 * 60 * 1000);
  }).catch(() => {});
}
