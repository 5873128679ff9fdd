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
  const errorsPanel = document.getElementById('errors-panel');
  const errorList = document.getElementById('errors');
  const status = document.getElementById('status');
  const readSample = document.getElementById('read-sample');
  const sample = document.getElementById('sample');
  const finder = document.getElementById('finder');
  const finderHeading = document.getElementById('finder-heading');
  const foundList = document.getElementById('found');
  const { VirtualList, foundElement } = window.ZendricLists;

  let reader = null;
  // The last reading's numbers of lines and messages. The lines and messages stay in the
  // module, which hands out those the lists show: a megabyte's reading has hundreds of
  // thousands of lines, and the page holds none it does not show.
  let reading = { lines: 0, messages: 0 };
  const lineAt = (i) => reader.lineAt(i);
  const errorAt = (i) => reader.messageAt(i);

  // One list entry per result line; a carriage return inside a line is a line break.
  const lineProto = document.createElement('div');
  lineProto.setAttribute('role', 'listitem');
  function lineElement(index) {
    const text = lineAt(index);
    const item = lineProto.cloneNode(false);
    if (!text.includes('\r')) {
      item.textContent = text;
      return item;
    }
    const parts = text.split('\r');
    item.append(parts[0]);
    for (let i = 1; i < parts.length; ++i) item.append(document.createElement('br'), parts[i]);
    return item;
  }

  function errorElement(index) {
    const error = errorAt(index);
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

  // In a field longer than this, the layers under it hold its text only up to their last
  // wave or lit item, and draw none past it: each copy of the text is laid out whole,
  // as the field's own is, and a megabyte's layout costs more than a frame. Nor more
  // waves than this: each is an element to lay out, and more than the field's first
  // screens hold.
  const LayerChars = 100000;
  const LayerWaves = 2000;
  function cutEnd() {
    const end = document.createElement('span');
    end.className = 'cut-end';
    return end;
  }

  // The field's text again, with each wave's characters inside a <mark>; the layer lies
  // under the field in the same layout, so only the waves show.
  function showMarks(text) {
    const long = text.length > LayerChars;
    const waves = reading.messages === 0 ? [] : long ? reader.wavesIn(0, LayerChars, LayerWaves)
      : reader.wavesIn(0, text.length, -1);
    const layer = document.createDocumentFragment();
    let at = 0;
    for (let i = 0; i < waves.length; i += 2) {
      const from = waves[i], to = waves[i + 1];
      if (from > at) layer.append(text.slice(at, from));
      const mark = document.createElement('mark');
      mark.textContent = text.slice(from, to);
      layer.append(mark);
      at = to;
    }
    // A field that ends in a line break shows one more line: so must the layer.
    if (!long) layer.append(text.slice(at) + '\u200b');
    else layer.append(cutEnd());
    marks.replaceChildren(layer);
    requestAnimationFrame(followField);  // not now: reading the field's scroll would lay the page out
  }

  function followField() {
    marks.scrollTop = field.scrollTop;
    itemLayer.scrollTop = field.scrollTop;
  }

  // The map. One way: the lines of the item at the caret are lit, and so is the item in
  // the field; the other: the pointer over a line lights that line's item in the field.
  let lit = { first: 0, last: 0 };  // the lines of the item at the caret
  let caretItem = null;
  let marked = -1;  // the line marked by the pointer or the focus

  // The map's marks on a line of the reading, whenever it is made or shown again.
  function decorateLine(line, index) {
    line.classList.toggle('item', index >= lit.first && index < lit.last);
    line.classList.toggle('marked', index === marked);
    if (index === tabLine) line.tabIndex = 0;
    else if (line.hasAttribute('tabindex')) {
      line.removeAttribute('tabindex');
      line.removeAttribute('aria-describedby');
    }
  }

  function lightItem(from, to) {
    const text = field.value;
    const long = text.length > LayerChars;
    if (to <= from || (long && to > LayerChars)) {
      itemLayer.replaceChildren();
      return;
    }
    const item = document.createElement('span');
    item.className = 'item';
    item.textContent = text.slice(from, to);
    if (long) itemLayer.replaceChildren(text.slice(0, from), item, cutEnd());
    else itemLayer.replaceChildren(text.slice(0, from), item, text.slice(to) + '\u200b');
    requestAnimationFrame(followField);
  }

  function showCaretItem() {
    if (!reader) return;
    const at = reader.itemAtCaret(field.selectionStart);
    lit = { first: at.first, last: at.last };
    readingRows.redecorate();
    caretItem = at;
    lightItem(at.from, at.to);
  }

  // The other way: the line the pointer moves onto, or the line given the focus, is
  // marked and its item lit in the field, whichever came last. Moves, not mouseover:
  // a line scrolled under a resting pointer must not take the mark from the keyboard.
  let hovered = null;
  function markLine(line) {
    marked = line && line.isConnected ? line.zendricIndex : -1;
    readingRows.redecorate();
    if (marked < 0 || !reader) {
      lightItem(caretItem ? caretItem.from : 0, caretItem ? caretItem.to : 0);
      return;
    }
    const item = reader.lineItem(marked);
    lightItem(item.from, item.to);
  }

  const lineOf = (node) => (node && node.parentNode === readingList ? node : node.closest && node.closest('#reading > *'));
  const focusedLine = () => (readingList.contains(document.activeElement) && document.activeElement !== readingList
    ? document.activeElement : null);

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
  let tabLine = 0;
  // The line with the stop may be out of view and not made: the list itself then takes
  // the stop and hands the focus on to that line.
  function keepTabLine() {
    if (tabLine >= reading.lines) tabLine = 0;
    readingRows.redecorate();
    giveStop();
  }
  function giveStop() {
    const made = readingRows.element(tabLine);
    if (made || reading.lines === 0) readingList.removeAttribute('tabindex');
    else readingList.tabIndex = 0;
  }
  function focusLine(index) {
    tabLine = index;
    const line = readingRows.reveal(index);
    keepTabLine();
    if (line) line.focus();
  }

  readingList.addEventListener('focusin', (event) => {
    if (event.target === readingList) {
      focusLine(tabLine);
      return;
    }
    const line = lineOf(event.target);
    if (!line || !reader) return;
    tabLine = line.zendricIndex;
    keepTabLine();
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
    if (event.key === 'a' && (event.ctrlKey || event.metaKey) && !event.altKey && !event.shiftKey) {
      event.preventDefault();
      window.getSelection().selectAllChildren(readingList);
      return;
    }
    const step = LineSteps[event.key];
    const line = lineOf(event.target);
    if (step === undefined || !line || event.altKey || event.ctrlKey || event.metaKey || event.shiftKey) return;
    event.preventDefault();
    focusLine(Math.max(0, Math.min(reading.lines - 1, line.zendricIndex + step)));
  });

  // A copy of the reading is whole, lines not made included: the lines from the one the
  // selection starts in to the one it ends in, the whole reading when it covers the list.
  let selectedFrom = 0;
  readingList.addEventListener('selectstart', (event) => {
    const line = lineOf(event.target.nodeType === 1 ? event.target : event.target.parentNode);
    selectedFrom = line ? line.zendricIndex : 0;
  });
  document.addEventListener('copy', (event) => {
    const selection = window.getSelection();
    if (!readingRows.virtual || selection.rangeCount === 0) return;
    const range = selection.getRangeAt(0);
    if (!range.intersectsNode(readingList)) return;
    const inside = (node) => readingList.contains(node);
    const lineOfNode = (node, edge) => {
      const line = lineOf(node.nodeType === 1 ? node : node.parentNode);
      if (line && line !== readingList) return line.zendricIndex;
      return edge;
    };
    const wholeList = !inside(range.startContainer) && !inside(range.endContainer);
    const selectedAll = range.startContainer === readingList && range.endContainer === readingList;
    let from = inside(range.startContainer) ? lineOfNode(range.startContainer, selectedFrom) : 0;
    let to = inside(range.endContainer) ? lineOfNode(range.endContainer, reading.lines - 1) : reading.lines - 1;
    if (selectedAll) [from, to] = [0, reading.lines - 1];
    if (!wholeList && !selectedAll && readingRows.element(from) && readingRows.element(to) &&
        inside(range.startContainer) && inside(range.endContainer)) return;  // all of it is made
    const outside = (start) => {
      const part = document.createRange();
      if (start) {
        part.setStart(range.startContainer, range.startOffset);
        part.setEndBefore(readingList);
      } else {
        part.setStartAfter(readingList);
        part.setEnd(range.endContainer, range.endOffset);
      }
      return part.toString();
    };
    const before = inside(range.startContainer) ? '' : outside(true);
    const after = inside(range.endContainer) ? '' : outside(false);
    const lines = reader.linesText(Math.min(from, to), Math.max(from, to) + 1).replace(/\r/g, '\n');
    event.clipboardData.setData('text/plain', before + lines + after);
    event.preventDefault();
  });
  document.addEventListener('selectionchange', () => {
    if (document.activeElement === field) showCaretItem();
  });

  // A row is told apart by what it shows: a line by its text, an error by its position
  // and words (where it takes the caret is asked for when it is pressed).
  const readingRows = new VirtualList(readingList, {
    make: lineElement, key: lineAt, decorate: decorateLine, rendered: () => giveStop(), estimate: 36 });
  const errorRows = new VirtualList(errorList, {
    make: errorElement, key: (i) => { const e = errorAt(i); return e.position + ' ' + e.message; }, estimate: 58 });

  // The module says how many lines and messages at either end stay as they were: the
  // lists keep those rows and their heights.
  function show(text, next) {
    reading = next;
    readingRows.show(next.lines, next.linesAlike);
    keepTabLine();
    errorRows.show(next.messages, next.messagesAlike);
    errorsPanel.hidden = next.messages === 0;

    showMarks(text);
    const count = (n, one) => n + ' ' + one + (n === 1 ? '' : 's');
    status.textContent = count(next.lines, 'item') + ' read, ' + count(next.messages, 'error') + '.';
  }

  const noneAlike = { head: 0, tail: 0 };
  const unpack = (raw) => ({
    lines: raw.lineCount, messages: raw.messageCount, linesAlike: raw.linesAlike, messagesAlike: raw.messagesAlike });

  // Codes found in a pasted text that is not a code itself: the offer to read only one.
  // The codes stay in the module, which hands out those the list shows (foundAt).
  let found = 0;  // the number listed
  const foundAt = (i) => reader.foundAt(i);
  // The code of the list last opened in the builder: the builder's "Open the code
  // above" opens it again while the list holds it (at its place, else anywhere), as
  // it does again after an edit that took it away is undone.
  let chosen = null;
  const foundChosen = () => (chosen ? reader.foundAgain(chosen.code, chosen.line, chosen.column) : -1);
  const buildFound = (i) => {
    const code = foundAt(i);
    chosen = { code: code.code, line: code.line, column: code.column };
    document.dispatchEvent(new CustomEvent('zendric-build-found', { detail: { index: i } }));
  };
  const foundRows = new VirtualList(foundList, {
    // The buttons ask for the row's index when pressed: a row kept may have moved.
    make: (i) => {
      const row = foundElement(foundAt(i), found === 1, () => replaceCode(foundAt(row.zendricIndex).code),
        () => buildFound(row.zendricIndex));
      return row;
    },
    key: (i) => { const code = foundAt(i); return code.line + ':' + code.column + ' ' + code.code; },
    estimate: 62 });
  function offerFound(offer) {
    found = offer.count || 0;
    finder.hidden = found === 0;
    if (found > 0) finderHeading.textContent = offer.heading;
    foundRows.show(found, offer.alike || { head: 0, tail: 0 });
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
      reading: raw.tooLarge === undefined ? unpack(raw)
        : { lines: 0, messages: 0, linesAlike: noneAlike, messagesAlike: noneAlike },
      found: raw.found || { count: 0 },
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

  // What the builder needs of the field: its text exactly as it stands (line feeds,
  // as a textarea's value has them), the code chosen in the found list, and a range of
  // it replaced as one edit that the field's own undo takes back, read as after typing.
  const codeField = {
    text: () => field.value,
    foundChosen,
    splice(start, end, text) {
      field.focus();
      field.setSelectionRange(start, end);
      if (!document.execCommand('insertText', false, text)) {
        field.setRangeText(text, start, end, 'end');
        field.dispatchEvent(new Event('input', { bubbles: true }));
      }
    },
  };

  field.addEventListener('input', readCode);
  field.addEventListener('scroll', followField);
  new ResizeObserver(followField).observe(field);

  errorList.addEventListener('click', (event) => {
    const button = event.target.closest('button[data-index]');
    if (!button) return;
    const index = Number(button.closest('li').zendricIndex);
    if (!(index < reading.messages)) return;
    const caret = reader.messageCaret(index);
    field.focus();
    field.setSelectionRange(caret, caret);
  });

  readSample.addEventListener('click', () => replaceCode(sample.textContent));

  // The module is handed over once every script of the page has run: the scripts after
  // this one listen for it, and the module may be ready before the last of them is
  // loaded (file:// loads each script on its own).
  const scriptsRun = document.readyState === 'loading'
    ? new Promise((resolve) => document.addEventListener('DOMContentLoaded', resolve, { once: true }))
    : Promise.resolve();
  Promise.all([ZendricReader(), scriptsRun]).then(([module]) => {
    reader = module;
    // builder.js makes codes with the same module and puts them in the field as an
    // edit; share.js fills the field from the address or the last visit.
    document.dispatchEvent(new CustomEvent('zendric-module', { detail: { module, replaceCode, codeField } }));
    Object.assign(window.ZendricLists.named, { reading: readingRows, errors: errorRows, found: foundRows });  // for the tests
    if (field.value !== '') {
      readCode();
      performance.mark('first-reading');  // for tools/web-bench
    }
    document.body.dataset.ready = '1';
  });
})();
