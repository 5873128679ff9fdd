// The page's service worker: keeps every file of the site in one cache named after the
// site's contents, and answers from it, so the page opens and reads without a network.
// The build writes the version and the file list in (web/SiteWorker.cmake); a new
// build is a new worker, which the browser finds on the next visit.
'use strict';

const VERSION = '@ZENDRIC_SITE_VERSION@';
const FILES = [@ZENDRIC_SITE_FILES@];
const CACHE = 'zendric-site-' + VERSION;

// The whole site or nothing: a half-cached version would fail offline. The fetches
// skip the HTTP cache, which may still hold the last version's files.
self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE)
    .then((cache) => cache.addAll(FILES.map((file) => new Request(file, { cache: 'reload' })))));
});

// A page of the last version asks for the new one once it can say so (app.js).
self.addEventListener('message', (event) => {
  if (event.data === 'activate') self.skipWaiting();
});

// The open page keeps what it loaded; the last versions' files go.
self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys().then((names) => Promise.all(names
    .filter((name) => name.startsWith('zendric-site-') && name !== CACHE)
    .map((name) => caches.delete(name)))));
});

// The cache first: its files are all of one version. A visit to the folder itself
// gets index.html.
self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(caches.open(CACHE).then((cache) => cache.match(request, { ignoreSearch: true })
    .then((found) => found || (request.mode === 'navigate' ? cache.match('index.html') : undefined))
    .then((found) => found || fetch(request))));
});
