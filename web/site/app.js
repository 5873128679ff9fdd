// The page as an app: over HTTP a service worker keeps the site for use without a
// network (sw.js). A new version of the site is fetched in the background; the page in
// use stays as it was loaded and says a reload brings the new one. Opened from a file,
// where browsers allow neither, there is no manifest and no worker.
(function () {
  'use strict';

  // The builder and the About section are laid out once the module is there (app.css):
  // an address that names one of them (index.html#about) is followed then.
  document.addEventListener('zendric-module', () => requestAnimationFrame(() => {
    const named = document.getElementById(window.location.hash.slice(1));
    if (named && window.scrollY === 0 && (named.closest('#builder') || named.closest('#about'))) named.scrollIntoView();
  }));

  if (!/^https?:$/.test(window.location.protocol)) return;
  // From a file the browser would refuse the manifest with an error: it is linked here.
  const manifest = document.createElement('link');
  manifest.rel = 'manifest';
  manifest.href = 'manifest.webmanifest';
  document.head.append(manifest);
  if (!('serviceWorker' in navigator)) return;

  function sayUpdated() {
    if (document.getElementById('updated')) return;
    const bar = document.createElement('div');
    bar.id = 'updated';
    bar.className = 'updated';
    bar.setAttribute('role', 'status');
    const text = document.createElement('span');
    text.textContent = 'Updated: reload to use the new version';
    const reload = document.createElement('button');
    reload.type = 'button';
    reload.textContent = 'Reload';
    reload.addEventListener('click', () => window.location.reload());
    bar.append(text, reload);
    document.body.append(bar);
  }

  // A new version waits until a page of the last one is there to say so; it then takes
  // over, and every page of the last version says a reload brings it. The first worker
  // of all only makes the next visits work offline.
  const served = navigator.serviceWorker.controller !== null;
  navigator.serviceWorker.addEventListener('controllerchange', () => {
    if (served) sayUpdated();
  });
  function activate(worker) {
    if (worker.state === 'installed') worker.postMessage('activate');
    else if (worker.state === 'installing') {
      worker.addEventListener('statechange', () => {
        if (worker.state === 'installed') worker.postMessage('activate');
      });
    }
  }

  window.addEventListener('load', () => {
    navigator.serviceWorker.register('sw.js').then((registration) => {
      if (!registration.active) return;
      const waiting = registration.waiting || registration.installing;
      if (waiting) activate(waiting);
      registration.addEventListener('updatefound', () => activate(registration.installing));
    }).catch(() => {});  // the page works as well without it
  });
})();
