// Fixes on the page: a "Fix…" button on each error row that has fixes, a menu of them,
// Ctrl+. in the code field for the error at the caret, and the explanation of what the
// item expects as the row's tooltip and under the menu. The module finds the fixes and
// checks them; this file only asks, draws and applies. Fixes are asked for when a row
// has been shown with the reading settled, or when a menu opens: never while typing.
(function () {
  'use strict';

  const field = document.getElementById('code');
  const errorList = document.getElementById('errors');
  let reader = null;

  // What the module said about the reading shown, by message index; emptied by every
  // new reading.
  let fixes = new Map();
  let explained = new Map();
  let reading = 0;  // counts the readings; a row's button was asked about in one of them
  const fixesOf = (index) => {
    if (!fixes.has(index)) fixes.set(index, reader.fixesOf(index));
    return fixes.get(index);
  };
  const explanationOf = (index) => {
    if (!explained.has(index)) explained.set(index, reader.explainMessage(index));
    return explained.get(index);
  };

  // The menu: one for the page, opened under the control that asked for it.
  const popup = document.createElement('div');
  popup.className = 'fix-popup';
  popup.hidden = true;
  const menu = document.createElement('ul');
  menu.id = 'fix-menu';
  menu.setAttribute('role', 'menu');
  menu.setAttribute('aria-label', 'Fixes');
  const explanation = document.createElement('p');
  explanation.id = 'fix-explanation';
  explanation.className = 'fix-explanation';
  menu.setAttribute('aria-describedby', explanation.id);
  popup.append(menu, explanation);
  document.querySelector('main').append(popup);  // a landmark holds it

  let opener = null;  // what gets the focus back when the menu closes without a fix
  let openedFor = -1;

  function items() { return [...menu.querySelectorAll('[role="menuitem"]:not([aria-disabled="true"])')]; }

  function open(index, anchor, back) {
    if (!reader) return;
    close(false);
    const offered = fixesOf(index);
    const made = offered.map((fix) => {
      const item = document.createElement('li');
      item.setAttribute('role', 'menuitem');
      item.tabIndex = -1;
      item.textContent = fix.label;
      item.zendricFix = fix;
      return item;
    });
    if (made.length === 0) {
      const none = document.createElement('li');
      none.setAttribute('role', 'menuitem');
      none.setAttribute('aria-disabled', 'true');
      none.tabIndex = -1;
      none.textContent = 'No fix found for this error';
      made.push(none);
    }
    menu.replaceChildren(...made);
    const said = explanationOf(index);
    explanation.textContent = said;
    explanation.hidden = said === '';
    popup.hidden = false;
    openedFor = index;
    opener = back;
    if (back && back.matches('.fix-open')) back.setAttribute('aria-expanded', 'true');
    place(anchor);
    (items()[0] || made[0]).focus();
  }

  // Under the anchor, its left edge on the anchor's or else its right edge, above it
  // where there is no room below.
  function place(anchor) {
    const at = anchor.getBoundingClientRect();
    popup.style.left = '0px';
    popup.style.top = '0px';
    const size = popup.getBoundingClientRect();
    const room = document.documentElement.clientWidth - 4;
    const left = Math.max(4, at.left + size.width <= room ? at.left : Math.min(at.right, room) - size.width);
    const below = at.bottom + size.height <= window.innerHeight || at.top < size.height;
    popup.style.left = left + window.scrollX + 'px';
    popup.style.top = (below ? at.bottom : at.top - size.height) + window.scrollY + 'px';
  }

  function close(refocus) {
    if (popup.hidden) return;
    popup.hidden = true;
    openedFor = -1;
    const back = opener;
    opener = null;
    if (back && back.matches('.fix-open')) back.setAttribute('aria-expanded', 'false');
    if (refocus && back && back.isConnected) back.focus();
  }

  // One edit that Ctrl+Z takes back, as the page's other edits are; the caret behind it.
  function apply(fix) {
    close(false);
    field.focus();
    field.setSelectionRange(fix.fieldFrom, fix.fieldTo);
    const done = fix.text === '' ? document.execCommand('delete') : document.execCommand('insertText', false, fix.text);
    if (!done) {
      field.setRangeText(fix.text, fix.fieldFrom, fix.fieldTo, 'end');
      field.dispatchEvent(new Event('input', { bubbles: true }));
    }
  }

  menu.addEventListener('keydown', (event) => {
    const all = items();
    const at = all.indexOf(document.activeElement);
    const step = { ArrowDown: 1, ArrowUp: -1 }[event.key];
    if (step !== undefined && all.length) {
      all[(at + step + all.length) % all.length].focus();
    } else if (event.key === 'Home' && all.length) {
      all[0].focus();
    } else if (event.key === 'End' && all.length) {
      all[all.length - 1].focus();
    } else if (event.key === 'Enter' || event.key === ' ') {
      if (at >= 0) apply(all[at].zendricFix);
    } else if (event.key === 'Escape' || event.key === 'Tab') {
      close(true);
    } else {
      return;
    }
    event.preventDefault();
    event.stopPropagation();
  });
  menu.addEventListener('click', (event) => {
    const item = event.target.closest('[role="menuitem"]');
    if (item && item.zendricFix) apply(item.zendricFix);
  });
  menu.addEventListener('mousemove', (event) => {
    const item = event.target.closest('[role="menuitem"]:not([aria-disabled="true"])');
    if (item && item !== document.activeElement) item.focus();
  });
  document.addEventListener('pointerdown', (event) => {
    if (!popup.hidden && !popup.contains(event.target)) close(false);
  });
  popup.addEventListener('focusout', (event) => {
    if (!popup.hidden && event.relatedTarget && !popup.contains(event.relatedTarget)) close(false);
  });

  // The rows. Each made row gets its button at once, shown only when the module has
  // said the row's error has fixes: it keeps its place either way, so the row's height
  // does not change when the answer comes.
  const rowIndex = (row) => Number(row.zendricIndex);
  function equip(row) {
    if (row.querySelector('.fix-open')) return;
    const button = document.createElement('button');
    button.type = 'button';
    button.className = 'fix-open none';
    button.tabIndex = -1;
    button.zendricAsked = -1;
    button.textContent = 'Fix\u2026';
    button.setAttribute('aria-haspopup', 'menu');
    button.setAttribute('aria-expanded', 'false');
    button.setAttribute('aria-controls', menu.id);
    const message = row.querySelector('.msg');
    button.setAttribute('aria-label', 'Fix\u2026 ' + (message ? message.textContent : 'this error'));
    button.title = 'Fixes for this error (Ctrl+. in the code)';
    row.classList.add('fixable');
    row.append(button);
  }

  function decorate(row) {
    const index = rowIndex(row);
    if (!(index >= 0)) return;
    const button = row.querySelector('.fix-open');
    const has = fixesOf(index).length > 0;
    button.zendricAsked = reading;
    button.classList.toggle('none', !has);
    button.tabIndex = has ? 0 : -1;
    const said = explanationOf(index);
    const go = row.querySelector('button[data-index]');
    if (said) go.title = said;
    else go.removeAttribute('title');
  }

  // The rows shown, asked about in slices of idle time once the reading has rested.
  let waiting = 0;
  let idle = 0;
  const Rest = 250;  // ms without a new reading
  function later() {
    clearTimeout(waiting);
    if (idle) cancelIdle(idle);
    idle = 0;
    waiting = setTimeout(() => {
      waiting = 0;
      idle = whenIdle(work);
    }, Rest);
  }
  const whenIdle = window.requestIdleCallback ? (f) => requestIdleCallback(f, { timeout: 1000 })
    : (f) => setTimeout(() => f({ timeRemaining: () => 8 }), 0);
  const cancelIdle = window.cancelIdleCallback || clearTimeout;
  function work(deadline) {
    idle = 0;
    if (!reader) return;
    for (const row of errorList.children) {
      const button = row.querySelector('.fix-open');
      if (!button || button.zendricAsked === reading) continue;
      if (deadline.timeRemaining() <= 0) {
        idle = whenIdle(work);
        return;
      }
      decorate(row);
    }
  }

  new MutationObserver((changes) => {
    let added = false;
    for (const change of changes) {
      for (const node of change.addedNodes) {
        if (node.nodeName === 'LI') {
          equip(node);
          added = true;
        }
      }
    }
    if (added && !waiting && !idle) idle = whenIdle(work);
  }).observe(errorList, { childList: true });

  // A new reading: what was said is not this reading's. The buttons keep their state
  // until asked again, and a menu asks anew; nothing in the page changes on a keystroke.
  field.addEventListener('input', () => {
    fixes = new Map();
    explained = new Map();
    ++reading;
    close(false);
    later();
  });

  errorList.addEventListener('click', (event) => {
    const button = event.target.closest('.fix-open');
    if (!button || !reader) return;
    const row = button.closest('li');
    if (openedFor === rowIndex(row) && !popup.hidden) {
      close(true);
      return;
    }
    open(rowIndex(row), button, button);
  });

  // Ctrl+. (Cmd+. too) in the field: the fixes of the error at the caret, under its row.
  field.addEventListener('keydown', (event) => {
    if (event.key !== '.' || !(event.ctrlKey || event.metaKey) || event.altKey || event.shiftKey || !reader) return;
    const index = reader.messageAtCaret(field.selectionStart);
    if (index < 0) return;
    event.preventDefault();
    const rows = window.ZendricLists.named.errors;
    const row = rows ? rows.reveal(index) : null;
    if (row) {
      equip(row);
      decorate(row);
      row.scrollIntoView({ block: 'nearest' });
    }
    const button = row && row.querySelector('.fix-open');
    open(index, (button && !button.classList.contains('none') && button) || row || field, field);
  });

  document.addEventListener('zendric-module', (event) => {
    reader = event.detail.module;
    later();
  });

  window.ZendricFixes = { fixesOf: (index) => (reader ? fixesOf(index) : []) };  // for the tests
})();
