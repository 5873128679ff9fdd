// The page around the reader module: it hands the field's whole text to readField on
// every input and shows what comes back. Every rule of the reading, of joining the
// field's lines and of mapping positions to the field is in the module.
// A classic script, not a JavaScript module: Chromium loads no module scripts from
// file://, and the page must work opened from a file.
(function () {
  'use strict';

  const field = document.getElementById('code');
  const marks = document.getElementById('marks');
  const itemLayer = document.getElementById('item-layer');
  const readingList = document.getElementById('reading');
  // The reading's lines are shown through slots, sixteen lines to a slot: a line with
  // a slot name no slot has (slot="later") is in the list, text and all, but Chromium
  // neither styles nor lays it out. Sixteen, since Chromium lays out anew every line
  // of a slot whose lines change once it holds more than that.
  const lineSlots = readingList.attachShadow({ mode: 'open' });
  function slotName(index) {
    const n = index >> 4;
    while (lineSlots.childElementCount <= n) {
      const slot = document.createElement('slot');
      slot.name = String(lineSlots.childElementCount);
      lineSlots.append(slot);
    }
    return String(n);
  }
  const errorsPanel = document.getElementById('errors-panel');
  const errorList = document.getElementById('errors');
  const status = document.getElementById('status');
  const readSample = document.getElementById('read-sample');
  const sample = document.getElementById('sample');
  const finder = document.getElementById('finder');
  const finderHeading = document.getElementById('finder-heading');
  const foundList = document.getElementById('found');

  let reader = null;
  let reading = { lines: [], errors: [] };
  // A long reading goes into the page a slice at a time, between events, so that the
  // page answers meanwhile; a new reading stops the slices of the last one.
  const SliceLines = 2000;
  const pending = new Map();

  // A paste of thousands of lines puts them all in the list at once, text and all, but
  // shows only the first ones in the frame after it: the rest come into view a few
  // hundred a frame, since Chromium styles every shown entry, in view or not.
  const ShownAtOnce = 150;
  const ShownPerFrame = 400;
  let veiled = [];
  let unveiling = 0;

  function unveilSome(count) {
    const now = veiled.splice(0, count);
    for (const entry of now) {
      if (entry.slot === 'later') entry.slot = slotName(entry.zendricIndex);
      else entry.hidden = false;
    }
    unveiling = veiled.length > 0 ? requestAnimationFrame(() => unveilSome(ShownPerFrame)) : 0;
  }

  function veil(list, entry) {
    if (list.shadowRoot) entry.slot = 'later';
    else entry.hidden = true;
    veiled.push(entry);
    // Not in this frame: the first frame paints what is in view without them.
    if (!unveiling) unveiling = requestAnimationFrame(() => requestAnimationFrame(() => unveilSome(ShownPerFrame)));
  }

  // Now: the keyboard goes to a line that may still be hidden.
  function unveilAll() {
    cancelAnimationFrame(unveiling);
    unveilSome(veiled.length);
  }

  // The list shows `items`: an entry whose item is the same as before (by `key`) stays,
  // so a change in a long code touches only the entries it changes.
  function fill(list, items, element, key) {
    clearTimeout(pending.get(list));
    if (list.children.length > items.length) {
      const extra = document.createRange();
      extra.setStartBefore(list.children[items.length]);
      extra.setEndAfter(list.lastChild);
      extra.deleteContents();
    }
    let created = 0;
    const slice = (from) => {
      const part = document.createDocumentFragment();
      const to = Math.min(from + SliceLines, items.length);
      // Walked by siblings: looking up children[i] after a change starts from the front.
      let old = list.children[from] || null;
      for (let i = from; i < to; ++i) {
        const next = old && old.nextElementSibling;
        const k = key(items[i]);
        if (old && old.zendricKey === k) {
          old = next;
          continue;
        }
        const fresh = element(items[i], i);
        fresh.zendricKey = k;
        if (++created > ShownAtOnce) veil(list, fresh);
        if (old) old.replaceWith(fresh);
        else part.append(fresh);
        old = next;
      }
      list.append(part);
      if (to < items.length) pending.set(list, setTimeout(slice, 0, to));
    };
    slice(0);
  }

  // One list entry per result line; a carriage return inside a line is a line break.
  // The line's number is a property, not an attribute: a thousand attributes cost a
  // long paste more than its reading.
  const lineProto = document.createElement('div');
  lineProto.setAttribute('role', 'listitem');
  function lineElement(text, index) {
    const item = lineProto.cloneNode(false);
    item.zendricIndex = index;
    item.slot = slotName(index);
    if (!text.includes('\r')) {
      item.textContent = text;
      return item;
    }
    const parts = text.split('\r');
    item.append(parts[0]);
    for (let i = 1; i < parts.length; ++i) item.append(document.createElement('br'), parts[i]);
    return item;
  }

  function errorElement(error, index) {
    const item = document.createElement('li');
    item.dataset.position = String(error.position);
    const button = document.createElement('button');
    button.type = 'button';
    button.dataset.index = String(index);
    const where = document.createElement('span');
    where.className = 'pos';
    where.textContent = 'Position ' + error.position;
    const message = document.createElement('span');
    message.className = 'msg';
    message.textContent = error.message;
    button.append(where, message);
    item.append(button);
    return item;
  }

  // The field's text again, with each marked character inside a <mark>; the layer lies
  // under the field in the same layout, so only the waves show. Marks that touch are
  // one <mark>: a megabyte of stray characters is one wave, not a million elements.
  function showMarks(text, errors) {
    const ranges = errors.filter((e) => e.markTo > e.markFrom)
      .map((e) => [e.markFrom, e.markTo])
      .sort((a, b) => a[0] - b[0]);
    const merged = [];
    for (const [from, to] of ranges) {
      const last = merged[merged.length - 1];
      if (last && from <= last[1]) last[1] = Math.max(last[1], to);
      else merged.push([from, to]);
    }
    const layer = document.createDocumentFragment();
    let at = 0;
    for (const [from, to] of merged) {
      if (from > at) layer.append(text.slice(at, from));
      const mark = document.createElement('mark');
      mark.textContent = text.slice(from, to);
      layer.append(mark);
      at = to;
    }
    // A field that ends in a line break shows one more line: so must the layer.
    layer.append(text.slice(at) + '\u200b');
    marks.replaceChildren(layer);
    requestAnimationFrame(followField);  // not now: reading the field's scroll would lay the page out
  }

  function followField() {
    marks.scrollTop = field.scrollTop;
    itemLayer.scrollTop = field.scrollTop;
  }

  // The map. One way: the lines of the item at the caret are lit, and so is the item in
  // the field; the other: the pointer over a line lights that line's item in the field.
  let litLines = [];
  let caretItem = null;

  function lightItem(from, to) {
    const text = field.value;
    if (to <= from) {
      itemLayer.replaceChildren();
      return;
    }
    const item = document.createElement('span');
    item.className = 'item';
    item.textContent = text.slice(from, to);
    itemLayer.replaceChildren(text.slice(0, from), item, text.slice(to) + '\u200b');
    requestAnimationFrame(followField);
  }

  function showCaretItem() {
    if (!reader) return;
    const at = reader.itemAtCaret(field.selectionStart);
    for (const line of litLines) line.classList.remove('item');
    litLines = [];
    for (let i = at.first; i < at.last && i < readingList.children.length; ++i) {
      readingList.children[i].classList.add('item');
      litLines.push(readingList.children[i]);
    }
    caretItem = at;
    lightItem(at.from, at.to);
  }

  // The other way: the line the pointer moves onto, or the line given the focus, is
  // marked and its item lit in the field, whichever came last. Moves, not mouseover:
  // a line scrolled under a resting pointer must not take the mark from the keyboard.
  let hovered = null;
  let marked = null;
  function markLine(line) {
    if (marked) marked.classList.remove('marked');
    marked = line && line.isConnected ? line : null;
    if (!marked || !reader) {
      lightItem(caretItem ? caretItem.from : 0, caretItem ? caretItem.to : 0);
      return;
    }
    marked.classList.add('marked');
    const item = reader.lineItem(marked.zendricIndex);
    lightItem(item.from, item.to);
  }

  const lineOf = (node) => node.closest('#reading > *');
  const focusedLine = () => (readingList.contains(document.activeElement) ? document.activeElement : null);

  readingList.addEventListener('mousemove', (event) => {
    const line = lineOf(event.target);
    if (!line || line === hovered) return;
    hovered = line;
    markLine(line);
  });
  readingList.addEventListener('mouseleave', () => {
    hovered = null;
    markLine(focusedLine());
  });

  // From the keyboard the reading is one stop of the Tab order, at the line it was left
  // on; the arrows, Home, End and the page keys move the focus along its lines. A
  // line's description names its item, for screen readers.
  const lineItemNote = document.getElementById('line-item');
  let tabLine = null;
  function setTabLine(line) {
    if (line === tabLine) return;
    if (tabLine) {
      tabLine.removeAttribute('tabindex');
      tabLine.removeAttribute('aria-describedby');
    }
    tabLine = line;
    if (line) line.tabIndex = 0;
  }

  // After every change of the reading: a line that is gone hands the stop to the first.
  function keepTabLine() {
    if (!tabLine || tabLine.parentNode !== readingList) {
      tabLine = null;
      setTabLine(readingList.firstElementChild);
    }
  }

  readingList.addEventListener('focusin', (event) => {
    const line = lineOf(event.target);
    if (!line || !reader) return;
    setTabLine(line);
    const item = reader.lineItem(line.zendricIndex);
    lineItemNote.textContent = item.to > item.from ? 'From the item ' + item.text + '.' : 'From no item of the code.';
    line.setAttribute('aria-describedby', 'line-item');
    markLine(line);
  });
  readingList.addEventListener('focusout', (event) => {
    if (!readingList.contains(event.relatedTarget)) markLine(hovered);
  });

  const LineSteps = { ArrowDown: 1, ArrowUp: -1, PageDown: 10, PageUp: -10, Home: -Infinity, End: Infinity };
  readingList.addEventListener('keydown', (event) => {
    const step = LineSteps[event.key];
    const line = lineOf(event.target);
    if (step === undefined || !line || event.altKey || event.ctrlKey || event.metaKey || event.shiftKey) return;
    event.preventDefault();
    const lines = readingList.children;
    unveilAll();
    setTabLine(lines[Math.max(0, Math.min(lines.length - 1, line.zendricIndex + step))]);
    tabLine.focus();  // only the line with the stop takes the focus
  });
  document.addEventListener('selectionchange', () => {
    if (document.activeElement === field) showCaretItem();
  });

  function show(text, next) {
    reading = next;
    fill(readingList, next.lines, lineElement, (line) => line);
    keepTabLine();
    fill(errorList, next.errors, errorElement, (e) => e.position + ' ' + e.caret + ' ' + e.message);
    errorsPanel.hidden = next.errors.length === 0;

    showMarks(text, next.errors);
    const count = (n, one) => n + ' ' + one + (n === 1 ? '' : 's');
    status.textContent = count(next.lines.length, 'item') + ' read, ' + count(next.errors.length, 'error') + '.';
  }

  // The module's answer as lists: {lines: [text], errors: [{message, position, caret,
  // markFrom, markTo}]}.
  function unpack(raw) {
    const lines = raw.lineCount === 0 ? [] : raw.lines.split('\n');
    const messages = raw.numbers.length === 0 ? [] : raw.messages.split('\n');
    const errors = messages.map((message, i) => ({
      message,
      position: raw.numbers[4 * i],
      caret: raw.numbers[4 * i + 1],
      markFrom: raw.numbers[4 * i + 2],
      markTo: raw.numbers[4 * i + 3],
    }));
    return { lines, errors };
  }

  // Codes found in a pasted text that is not a code itself: the offer to read only one.
  function offerFound(found) {
    const count = found.numbers.length / 2;
    finder.hidden = count === 0;
    if (count === 0) {
      foundList.replaceChildren();
      return;
    }
    const codes = found.codes.split('\n');
    const entries = found.entries.split('\n');
    finderHeading.textContent = found.heading;
    const items = document.createDocumentFragment();
    for (let i = 0; i < count; ++i) {
      const [line, column] = found.numbers.slice(2 * i, 2 * i + 2);
      const item = document.createElement('li');
      item.dataset.line = String(line);
      item.dataset.column = String(column);
      const what = document.createElement('span');
      what.className = 'what';
      const code = document.createElement('code');
      code.textContent = codes[i];
      const first = document.createElement('span');
      first.className = 'first';
      first.textContent = entries[i];
      what.append(code, first);
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = count === 1 ? 'Read only the code' : 'Read this code';
      button.setAttribute('aria-label', button.textContent + ' from line ' + line);
      button.addEventListener('click', () => replaceCode(codes[i]));
      item.append(what, button);
      items.append(item);
    }
    foundList.replaceChildren(items);
  }

  // A text the module cannot read says so where its reading would stand, and the
  // last reading goes: it is not this text's.
  const tooLarge = document.getElementById('too-large');
  function readingOf(text) {
    let raw;
    try {
      raw = reader.readField(text);
    } catch (e) {
      let said = 'This text is too large to read here';
      try {
        said = reader.tooLargeToReadMessage(text.length);
      } catch (dead) { /* the module is gone; the plain words stay */ }
      raw = { tooLarge: said };
    }
    tooLarge.hidden = raw.tooLarge === undefined;
    tooLarge.textContent = raw.tooLarge || '';
    return {
      reading: raw.tooLarge === undefined ? unpack(raw) : { lines: [], errors: [] },
      found: raw.found || { numbers: [] },
    };
  }

  function readCode() {
    if (!reader) return;
    const text = field.value;
    const read = readingOf(text);
    show(text, read.reading);
    if (!tooLarge.hidden) status.textContent = tooLarge.textContent + '.';
    offerFound(read.found);
    showCaretItem();
  }

  // A code put in by the page (the sample, a link) replaces the whole field as one edit
  // that undo takes back, and reaches the reading like typing does.
  function replaceCode(code) {
    field.focus();
    field.select();
    if (!document.execCommand('insertText', false, code)) {
      field.value = code;
      field.dispatchEvent(new Event('input', { bubbles: true }));
    }
  }

  field.addEventListener('input', readCode);
  field.addEventListener('scroll', followField);
  new ResizeObserver(followField).observe(field);

  errorList.addEventListener('click', (event) => {
    const button = event.target.closest('button[data-index]');
    if (!button) return;
    const error = reading.errors[Number(button.dataset.index)];
    if (!error) return;
    field.focus();
    field.setSelectionRange(error.caret, error.caret);
  });

  readSample.addEventListener('click', () => replaceCode(sample.textContent));

  // A link may carry a code: index.html#code=ZN2.Dw%20Gm
  function codeFromAddress() {
    const hash = window.location.hash;
    if (!hash.startsWith('#code=')) return null;
    try {
      return decodeURIComponent(hash.slice(6));
    } catch (e) {
      return null;
    }
  }

  ZendricReader().then((module) => {
    reader = module;
    // builder.js makes codes with the same module and puts them in the field as an edit.
    document.dispatchEvent(new CustomEvent('zendric-module', { detail: { module, replaceCode } }));
    const linked = codeFromAddress();
    if (linked !== null) field.value = linked;
    if (field.value !== '') {
      readCode();
      performance.mark('first-reading');  // for tools/web-bench
    }
    document.body.dataset.ready = '1';
  });
})();
