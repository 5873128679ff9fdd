// Texts too large for the code field: a long paste, a dropped or opened file. They are
// never put into the field; the module's finder goes through them a piece at a time,
// between events, and the codes it meets are listed at once. Choosing one puts that
// code alone into the field.
// A classic script (see page.js), after lists.js.
(function () {
  'use strict';

  // The limit past which a text goes to the finder, not the field, is the module's
  // (the window's too). A text of fewer units than a third of it always fits: no unit
  // takes more than three bytes.
  const PieceChars = 256 * 1024;
  const PieceBytes = 1024 * 1024;
  // Work done between two looks at the event loop, and the wait before the progress
  // bar and Cancel show (a quick search never shows them).
  const TaskMs = 30;
  const QuietMs = 500;

  const field = document.getElementById('code');
  const section = document.getElementById('large');
  const heading = document.getElementById('large-heading');
  const note = document.getElementById('large-note');
  const progressRow = document.getElementById('large-progress-row');
  const progress = document.getElementById('large-progress');
  const cancel = document.getElementById('large-cancel');
  const close = document.getElementById('large-close');
  const list = document.getElementById('large-found');
  const openButton = document.getElementById('open-file');
  const fileInput = document.getElementById('file');

  let module = null;
  let replaceCode = null;
  let run = null;
  let runs = 0;

  const rows = new window.ZendricLists.VirtualList(list, {
    make: (i) => {
      const r = run;
      return window.ZendricLists.foundElement(r.finder.row(i), false, () => choose(r, i));
    },
    key: (i) => run.number + ':' + i,
    estimate: 62,
    scroller: document.getElementById('large-scroll'),
  });

  window.ZendricLists.named.large = rows;  // for the tests

  // A task of its own, without the 4 ms that nested timers wait.
  const channel = new MessageChannel();
  const waiting = [];
  channel.port1.onmessage = () => waiting.shift()();
  const nextTask = () => new Promise((resolve) => {
    waiting.push(resolve);
    channel.port2.postMessage(0);
  });

  function textSource(text) {
    let at = 0;
    return {
      size: text.length,
      done: () => at,
      next() {
        if (at >= text.length) return null;
        const piece = text.slice(at, at + PieceChars);
        at += piece.length;
        return piece;
      },
    };
  }

  function fileSource(file) {
    let at = 0;
    return {
      size: file.size,
      done: () => at,
      async next() {
        if (at >= file.size) return null;
        const piece = new Uint8Array(await file.slice(at, at + PieceBytes).arrayBuffer());
        at += piece.length || PieceBytes;
        return piece;
      },
    };
  }

  function stop() {
    if (!run) return;
    run.stopped = true;
    clearTimeout(run.quiet);
    progressRow.hidden = true;
  }

  function start(source, bytes, what) {
    stop();
    if (run) run.finder.delete();
    run = { finder: new module.TextFinder(), source, bytes, what, number: ++runs, stopped: false, done: false };
    const r = run;
    rows.show(0, null);
    section.hidden = false;
    heading.textContent = module.largeLooking(bytes, -1);
    note.textContent = module.largeNote(what);
    progress.value = 0;
    r.quiet = setTimeout(() => { if (!r.stopped && !r.done) progressRow.hidden = false; }, QuietMs);
    section.dataset.state = 'finding';
    pump(r);
  }

  async function pump(r) {
    for (;;) {
      const began = performance.now();
      while (performance.now() - began < TaskMs) {
        let piece = r.source.next();
        if (piece && typeof piece.then === 'function') piece = await piece;
        if (r.stopped) return;
        if (piece === null) {
          r.finder.finish();
          r.done = true;
          finished(r);
          return;
        }
        if (typeof piece === 'string') r.finder.feedText(piece);
        else r.finder.feedBytes(piece);
      }
      shown(r);
      await nextTask();
      if (r.stopped) return;
    }
  }

  function shown(r) {
    const count = r.finder.count();
    if (count !== rows.count) rows.show(count, null);
    progress.value = r.source.size ? r.source.done() / r.source.size : 1;
    heading.textContent = module.largeLooking(r.bytes, count);
  }

  function finished(r) {
    stop();
    const count = r.finder.count();
    rows.show(count, null);
    heading.textContent = module.largeFound(r.bytes, count, count > 0 ? r.finder.row(0).line : 0);
    section.dataset.state = 'done';
    performance.mark('large-done');  // for tools/web-bench
  }

  cancel.addEventListener('click', () => {
    if (!run || run.done) return;
    stop();
    const count = run.finder.count();
    rows.show(count, null);
    heading.textContent = module.largeStopped(run.bytes, run.source.done(), run.source.size, count);
    section.dataset.state = 'stopped';
  });

  close.addEventListener('click', () => {
    stop();
    if (run) run.finder.delete();
    run = null;
    rows.show(0, null);
    section.hidden = true;
    field.focus();
  });

  function choose(r, i) {
    if (r !== run) return;
    const row = r.finder.row(i);
    replaceCode(r.finder.code(i));
    note.textContent = module.largeTaken(r.what, r.bytes, row.line);
  }

  // A text as the person gave it: into the field when it fits, to the finder when not.
  function takeText(text, what) {
    if (text.length <= module.largeTextBytes / 3 || !module.largeTextTooLarge(text)) return false;
    start(textSource(text), new Blob([text]).size, what);
    return true;
  }

  async function openFile(file) {
    if (!module) return;
    if (module.largeFileTooLarge(file.size)) {
      start(fileSource(file), file.size, 'file ' + file.name);
      return;
    }
    const text = await file.text();
    if (!takeText(text, 'file ' + file.name)) replaceCode(text);
  }

  field.addEventListener('paste', (event) => {
    if (!module) return;
    const text = event.clipboardData ? event.clipboardData.getData('text/plain') : '';
    if (takeText(text, 'pasted text')) event.preventDefault();
  });

  // A file dropped anywhere on the page is opened; a text dropped on the field is
  // taken as a paste would be.
  document.addEventListener('dragover', (event) => {
    if (event.dataTransfer && [...event.dataTransfer.types].includes('Files')) event.preventDefault();
  });
  document.addEventListener('drop', (event) => {
    const data = event.dataTransfer;
    if (!data || !module) return;
    if (data.files.length > 0) {
      event.preventDefault();
      openFile(data.files[0]);
    } else if (event.target === field && takeText(data.getData('text/plain'), 'dropped text')) {
      event.preventDefault();
    }
  });

  openButton.addEventListener('click', () => fileInput.click());
  fileInput.addEventListener('change', () => {
    if (fileInput.files.length > 0) openFile(fileInput.files[0]);
    fileInput.value = '';
  });

  document.addEventListener('zendric-module', (event) => {
    module = event.detail.module;
    replaceCode = event.detail.replaceCode;
  });
})();
