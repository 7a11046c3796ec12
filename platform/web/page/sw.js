// The page's service worker: keeps the page's files for use without a network, in a cache
// of this release (its name made from the files' bytes when the page was built), so that a
// new release's worker fetches every file afresh and drops the older release's cache.
"use strict";

const Files = [@FILES@];
// Copies of the page in other folders of one site keep caches of their own.
const Scope = self.registration.scope;
const CacheName = "bumpdemo @RELEASE@ " + Scope;

self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(CacheName)
    .then((cache) => cache.addAll(Files.map((name) => new Request(name, { cache: "reload" }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  const old = (name) => name.startsWith("bumpdemo ") && name.endsWith(" " + Scope) &&
                        name !== CacheName;
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter(old).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// The page's files from the cache, whatever their query; the folder itself is index.html.
self.addEventListener("fetch", (event) => {
  const address = new URL(event.request.url);
  if (event.request.method !== "GET" || !address.href.startsWith(Scope)) return;
  const name = address.pathname.slice(new URL(Scope).pathname.length) || "index.html";
  if (!Files.includes(name)) return;
  event.respondWith(caches.open(CacheName)
    .then((cache) => cache.match(name))
    .then((kept) => kept || fetch(event.request)));
});
