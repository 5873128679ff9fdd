// The page's code builder. The sitting lives in the module, which describes each item
// as a list of fields in the reading's own words (builderState), takes a value for one
// of them (builderChoose, builderType) and keeps every step for undo and redo; this
// script only draws those fields as plain controls and hands every choice back. A
// classic script, like page.js: the page must work opened from a file.
(function () {
  'use strict';

  const builder = document.getElementById('builder');
  const itemList = document.getElementById('builder-items');
  const page = document.getElementById('builder-page');
  const pageHeading = document.getElementById('builder-page-heading');
  const choices = document.getElementById('builder-choices');
  const codeOut = document.getElementById('builder-code');
  const messages = document.getElementById('builder-messages');
  const readingList = document.getElementById('builder-reading');
  const tagSelect = document.getElementById('builder-tag');
  const up = document.getElementById('builder-up');
  const down = document.getElementById('builder-down');
  const remove = document.getElementById('builder-remove');
  const undoButton = document.getElementById('builder-undo');
  const redoButton = document.getElementById('builder-redo');

  let module = null;
  let codeField = null;  // the page's glue: the field's text, its found code chosen, a splice
  let state = null;
  let selected = 0;
  let drawn = '';  // what the choices on the page were drawn from, values left out
  let fields = [];  // the selected item's
  // What a field refused, by its key, while it is drawn: {typed, why}. The field keeps
  // what was typed and says why beside it until it takes a value again.
  let refused = new Map();
  // While controls are drawn again: Chromium tells a focused control it lost the focus
  // as it is taken out, and what it then holds is the sitting's old value.
  let drawing = false;
  const oneColumn = window.matchMedia('(max-width: 44rem)');  // as builder.css has it

  // Everything about the fields but their values: while it stays the same, a change
  // only sets values, and the control in use keeps its focus and caret.
  function shapeOf(index, list) {
    return index + '\u0002' + list.map((f) => [f.kind, f.key, f.group, f.label, f.values, f.texts].join('\u0001')).join('\u0002');
  }

  // A select's options from its strings of lines; an option of a tree is indented by
  // its depth (no-break spaces, which a select keeps).
  function options(field) {
    const values = field.values.split('\n');
    const texts = field.texts.split('\n');
    const headings = field.headings.split('\n');
    const depths = field.depths.split('\n');
    const tree = (field.hints & 1) !== 0;
    return values.slice(0, -1).map((value, i) => ({
      value, heading: headings[i], text: (tree ? '\u00a0\u00a0'.repeat(Number(depths[i]) || 0) : '') + texts[i],
    }));
  }

  // One reading line; a carriage return in it is a line break.
  function lineElement(text) {
    const li = document.createElement('li');
    const parts = text.split('\r');
    li.append(parts[0]);
    for (let i = 1; i < parts.length; ++i) li.append(document.createElement('br'), parts[i]);
    return li;
  }

  // A redraw replaces controls: the one that had the focus is found again by its key,
  // a text field with its caret where it was.
  function keepFocus(draw) {
    const active = document.activeElement;
    const key = active && builder.contains(active) ? active.dataset.key : undefined;
    const caret = active && active.tagName === 'INPUT' && active.type === 'text'
      ? [active.selectionStart, active.selectionEnd] : null;
    draw();
    if (key === undefined || (document.activeElement && document.activeElement.dataset.key === key)) return;
    const again = builder.querySelector('[data-key="' + key + '"]');
    if (!again) {
      if (key.startsWith('field-')) pageHeading.focus();
      return;
    }
    again.focus();
    if (caret && again.tagName === 'INPUT' && again.type === 'text') again.setSelectionRange(caret[0], caret[1]);
  }

  // `all`: every control shows the sitting's value, the one in use too (after an undo,
  // a redo or an opening, which change what is typed there).
  function show(next, all) {
    state = next;
    selected = Math.max(0, Math.min(selected, state.items.length - 1));
    if (all) refused = new Map();
    drawing = true;
    try {
      keepFocus(() => {
        drawItems();
        drawPage(all);
      });
    } finally {
      drawing = false;
    }
    codeOut.textContent = state.code;
    messages.hidden = state.messages.length === 0;
    messages.replaceChildren(...state.messages.map((text) => {
      const li = document.createElement('li');
      li.textContent = text;
      return li;
    }));
    readingList.replaceChildren(...state.lines.map(lineElement));
    undoButton.disabled = !state.undo;
    redoButton.disabled = !state.redo;
  }

  function drawItems() {
    const list = document.createDocumentFragment();
    state.items.forEach((item, i) => {
      const li = document.createElement('li');
      const b = document.createElement('button');
      b.type = 'button';
      b.dataset.key = 'item-' + i;
      if (i === selected) b.setAttribute('aria-current', 'true');
      const title = document.createElement('span');
      title.className = 'title';
      title.textContent = item.title;
      const code = document.createElement('code');
      code.textContent = item.text;
      b.append(title, code);
      if (item.hint) {
        const hint = document.createElement('span');
        hint.className = 'item-hint';
        hint.textContent = item.hint;
        b.append(hint);
      }
      b.addEventListener('click', () => {
        selected = i;
        show(state);
        // In one column the choices stand below the list: bring them into view, once the
        // frame is laid out anyway (asking now would lay the whole page out at once).
        if (oneColumn.matches) {
          requestAnimationFrame(() => {
            if (page.getBoundingClientRect().top > window.innerHeight * 0.8) page.scrollIntoView({ block: 'start' });
          });
        }
      });
      li.append(b);
      list.append(li);
    });
    itemList.replaceChildren(list);
  }

  function drawPage(all) {
    const item = state.items[selected];
    page.hidden = !item;
    if (!item) {
      drawn = '';
      return;
    }
    pageHeading.textContent = item.title;
    fields = module.builderFields(selected);
    for (const field of fields) if (field.kind === 'select') field.options = options(field);
    up.disabled = !item.up;
    down.disabled = !item.down;
    const shape = shapeOf(selected, fields);
    if (shape === drawn) {
      setValues(fields, all);
      return;
    }
    drawn = shape;
    refused = new Map();
    const whole = document.createDocumentFragment();
    let box = null;
    let group = null;
    fields.forEach((field, i) => {
      if (!box || field.group !== group) {
        group = field.group;
        if (group) {
          box = document.createElement('fieldset');
          const legend = document.createElement('legend');
          legend.textContent = group;
          box.append(legend);
        } else {
          box = document.createElement('div');
          box.className = 'loose';
        }
        whole.append(box);
      }
      box.append(control(field, i));
    });
    choices.replaceChildren(whole);
  }

  // The values of the controls drawn; the one in use keeps what is typed in it unless
  // `all`, and a field that refused what was typed keeps it with its reason.
  function setValues(list, all) {
    list.forEach((field, i) => {
      const c = choices.querySelector('[data-key="field-' + i + '"]');
      if (!c || (!all && c === document.activeElement)) return;
      const no = refused.get(field.key);
      if (no) {
        c.value = no.typed;
        return;
      }
      if (field.kind === 'check') c.checked = field.value === '1';
      else if (field.kind === 'note') c.textContent = field.value;
      else if (field.kind !== 'button') c.value = field.value;
      if (c.zendricNarrow) c.zendricNarrow();
      if (c.tagName === 'INPUT') sayWhy(c, '');
    });
  }

  // The reason a text or number field gives for refusing what was typed, beside it;
  // '' takes it away.
  function sayWhy(c, why) {
    const note = document.getElementById(c.id + '-why');
    if (!note) return;
    note.textContent = why;
    note.hidden = why === '';
    c.closest('.choice').classList.toggle('refused', why !== '');
    roomForWhy(c.closest('fieldset, .loose'));
    if (why === '') {
      c.removeAttribute('aria-invalid');
      c.removeAttribute('aria-describedby');
    } else {
      c.setAttribute('aria-invalid', 'true');
      c.setAttribute('aria-describedby', note.id);
    }
  }

  // A reason stands under its field, out of the row, so that the fields beside it stay
  // level: the rows of its box move apart by its height to make room for it.
  function roomForWhy(box) {
    const high = Math.max(0, ...[...box.querySelectorAll('.refused .why')].map((n) => n.offsetHeight));
    const base = box.tagName === 'FIELDSET' ? '0.5rem' : '0px';
    box.style.rowGap = high ? 'calc(0.4rem + ' + high + 'px)' : '';
    box.style.paddingBottom = high ? 'calc(' + base + ' + ' + high + 'px)' : '';
  }

  // A value chosen (a select, a check, a button): one step.
  function choose(index, value) {
    const next = module.builderChoose(selected, fields[index].key, value);
    if (next.taken) show(next);
  }

  // A value typed: the code follows each key; what the field refuses stays in it, with
  // the reason, and the code keeps the value last taken.
  function type(index, c) {
    const key = fields[index].key;
    const next = module.builderType(selected, key, c.value);
    if (next.taken) {
      refused.delete(key);
      sayWhy(c, '');
      show(next);
    } else {
      refused.set(key, { typed: c.value, why: next.why });
      sayWhy(c, next.why);
      undoButton.disabled = !next.undo;
      redoButton.disabled = !next.redo;
    }
  }

  // Leaving a typed field ends its step: the next key starts another. The persona
  // stays as it is, so nothing is drawn again: a click that took the focus away must
  // land on the control it was aimed at.
  function endTyping() {
    if (!module) return;
    state = module.builderEndTyping();
    undoButton.disabled = !state.undo;
    redoButton.disabled = !state.redo;
  }

  function labelled(id, text) {
    const label = document.createElement('label');
    label.htmlFor = id;
    label.textContent = text;
    return label;
  }

  // A long list (the species) gets a search field that leaves only the options holding
  // what is typed; what was typed stays while the list is redrawn. Enter in it picks
  // the first option left.
  const LongList = 40;
  const searches = new Map();
  function searchFor(select, label, id, pick) {
    const search = document.createElement('input');
    search.type = 'search';
    search.id = id + '-search';
    search.dataset.key = 'search-' + label;
    search.autocomplete = 'off';
    search.spellcheck = false;
    const narrow = () => {
      const words = search.value.trim().toLowerCase();
      searches.set(label, search.value);
      for (const option of select.options)
        option.hidden = words !== '' && !option.text.toLowerCase().includes(words) && !option.selected;
      for (const group of select.querySelectorAll('optgroup'))
        group.hidden = [...group.children].every((option) => option.hidden);
    };
    search.value = searches.get(label) || '';
    search.addEventListener('input', narrow);
    search.addEventListener('keydown', (event) => {
      if (event.key !== 'Enter') return;
      event.preventDefault();
      const words = search.value.trim().toLowerCase();
      const first = [...select.options].find((o) => words !== '' && o.text.toLowerCase().includes(words));
      if (first) pick(first.value);
    });
    select.zendricNarrow = narrow;
    return [labelled(search.id, 'Search: ' + label.toLowerCase()), search];
  }

  // A long list moves with the keys without choosing: the browser's type-ahead fires a
  // change per letter ("Se" passes Elf on the way to "Sea…"), so a change made by keys
  // is chosen only on Enter or when the list loses the focus; one made by the pointer
  // is chosen at once.
  function longSelect(c, index) {
    let keyed = false;
    const pick = () => {
      keyed = false;
      if (!drawing && c.isConnected && c.value !== fields[index].value) choose(index, c.value);
    };
    c.addEventListener('keydown', (event) => {
      if (event.key === 'Enter') {
        event.preventDefault();
        pick();
      } else if (!event.ctrlKey && !event.metaKey && !event.altKey) {
        keyed = true;
      }
    });
    c.addEventListener('pointerdown', () => { keyed = false; });
    c.addEventListener('change', () => { if (!keyed) pick(); });
    c.addEventListener('blur', pick);
    return (value) => {
      c.value = value;
      pick();
    };
  }

  function control(field, i) {
    const id = 'builder-field-' + i;
    const wrap = document.createElement('div');
    wrap.className = 'choice kind-' + field.kind;
    let c;
    if (field.kind === 'select') {
      c = document.createElement('select');
      let heading = null;
      for (const o of field.options) {
        const option = new Option(o.text, o.value);
        if (!o.heading) {
          c.append(option);
          continue;
        }
        if (!heading || heading.label !== o.heading) {
          heading = document.createElement('optgroup');
          heading.label = o.heading;
          c.append(heading);
        }
        heading.append(option);
      }
      if (field.options.length > LongList || (field.hints & 2) !== 0) wrap.append(...searchFor(c, field.label, id, longSelect(c, i)));
      else c.addEventListener('change', () => choose(i, c.value));
      wrap.append(labelled(id, field.label), c);
    } else if (field.kind === 'number' || field.kind === 'text') {
      c = document.createElement('input');
      c.type = 'text';
      c.autocomplete = 'off';
      c.spellcheck = false;
      if (field.kind === 'number') c.inputMode = 'decimal';
      c.addEventListener('input', () => type(i, c));
      c.addEventListener('change', endTyping);
      c.addEventListener('blur', endTyping);
      const why = document.createElement('p');
      why.id = id + '-why';
      why.className = 'why';
      why.hidden = true;
      wrap.append(labelled(id, field.label), c, why);
    } else if (field.kind === 'check') {
      c = document.createElement('input');
      c.type = 'checkbox';
      c.addEventListener('change', () => choose(i, c.checked ? '1' : '0'));
      wrap.append(c, labelled(id, field.label));
    } else if (field.kind === 'button') {
      c = document.createElement('button');
      c.type = 'button';
      c.textContent = field.label;
      c.addEventListener('click', () => choose(i, ''));
      wrap.append(c);
    } else {
      const label = document.createElement('span');
      label.className = 'note-label';
      label.textContent = field.label;
      c = document.createElement('span');
      c.className = 'note';
      wrap.append(label, c);
    }
    c.id = id;
    c.dataset.key = 'field-' + i;
    if (field.kind === 'check') c.checked = field.value === '1';
    else if (field.kind === 'note') c.textContent = field.value;
    else if (field.kind !== 'button') c.value = field.value;
    if (c.zendricNarrow) c.zendricNarrow();
    return wrap;
  }

  // A step that changes the whole persona starts every list whole.
  function fresh(next) {
    searches.clear();
    drawn = '';
    selected = next.at >= 0 ? next.at : 0;
    show(next, true);
  }

  function moveBy(step) {
    const next = module.builderMove(selected, step);
    selected = next.at;
    show(next);
  }

  // Undo and redo select the item the step was about, and every control shows the
  // sitting's value again.
  function undoOrRedo(next) {
    if (next.at < 0) return;
    selected = next.at;
    drawn = '';
    show(next, true);
  }
  const undo = () => undoOrRedo(module.builderUndo());
  const redo = () => undoOrRedo(module.builderRedo());

  // Inside the builder the keys of undo are the sitting's; the code field above keeps
  // the browser's own.
  builder.addEventListener('keydown', (event) => {
    if (!module || !(event.ctrlKey || event.metaKey) || event.altKey) return;
    const key = event.key.toLowerCase();
    if (key === 'z' && !event.shiftKey) undo();
    else if ((key === 'z' && event.shiftKey) || (key === 'y' && !event.shiftKey)) redo();
    else return;
    event.preventDefault();
  });
  undoButton.addEventListener('click', undo);
  redoButton.addEventListener('click', redo);

  document.getElementById('builder-random').addEventListener('click', () => {
    fresh(module.builderRandom(Math.floor(Math.random() * 0xffffffff)));
  });
  const openField = (chosen) => fresh(module.builderOpen(codeField.text(), chosen));
  document.getElementById('builder-open').addEventListener('click', () => openField(codeField.foundChosen()));
  document.addEventListener('zendric-build-found', (event) => {
    if (!module) return;
    openField(event.detail.index);
    builder.scrollIntoView({ block: 'start' });
    pageHeading.focus({ preventScroll: true });
  });
  document.getElementById('builder-add').addEventListener('click', () => {
    const next = module.builderAdd(Number(tagSelect.value), selected);
    selected = next.at;
    show(next);
  });
  up.addEventListener('click', () => moveBy(-1));
  down.addEventListener('click', () => moveBy(1));
  remove.addEventListener('click', () => {
    show(module.builderRemove(selected));
    pageHeading.focus();
  });
  // The code goes back where it was opened from, as one edit of the field; when it is
  // what was opened, the field stays as it is.
  document.getElementById('builder-use').addEventListener('click', () => {
    if (!module) return;
    const splice = module.builderUse(codeField.text());
    if (splice) codeField.splice(splice.start, splice.end, splice.text);
  });

  document.addEventListener('zendric-module', (event) => {
    module = event.detail.module;
    codeField = event.detail.codeField;
    for (const tag of module.builderTags()) tagSelect.append(new Option(tag.title + ' (' + tag.letters + ')', String(tag.index)));
    // A new persona: the species, behind "ZN2.".
    show(module.builderState(), true);
  });
})();
