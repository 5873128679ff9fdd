// The page's code builder. The persona lives in the module, which describes each item
// as a list of fields in the reading's own words (builderState) and takes a value for
// one of them (builderSet); this script only draws those fields as plain controls and
// hands every choice back. A classic script, like page.js: the page must work opened
// from a file.
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

  let module = null;
  let replaceCode = null;
  let state = null;
  let selected = 0;
  let drawn = '';  // what the choices on the page were drawn from, values left out
  let fields = [];  // the selected item's
  const oneColumn = window.matchMedia('(max-width: 44rem)');  // as builder.css has it

  // Everything about the fields but their values: while it stays the same, a change
  // only sets values, and the control in use keeps its focus and caret.
  function shapeOf(index, list) {
    return index + '\u0002' + list.map((f) => [f.kind, f.group, f.label, f.values, f.texts].join('\u0001')).join('\u0002');
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

  // A redraw replaces controls: the one that had the focus is found again by its key.
  function keepFocus(draw) {
    const active = document.activeElement;
    const key = active && builder.contains(active) ? active.dataset.key : undefined;
    draw();
    if (key === undefined || (document.activeElement && document.activeElement.dataset.key === key)) return;
    const again = builder.querySelector('[data-key="' + key + '"]');
    if (again) again.focus();
    else if (key.startsWith('field-')) pageHeading.focus();
  }

  function show(next) {
    state = next;
    selected = Math.max(0, Math.min(selected, state.items.length - 1));
    keepFocus(() => {
      drawItems();
      drawPage();
    });
    codeOut.textContent = state.code;
    messages.hidden = state.messages.length === 0;
    messages.replaceChildren(...state.messages.map((text) => {
      const li = document.createElement('li');
      li.textContent = text;
      return li;
    }));
    readingList.replaceChildren(...state.lines.map(lineElement));
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

  function drawPage() {
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
      setValues(fields, false);
      return;
    }
    drawn = shape;
    const all = document.createDocumentFragment();
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
        all.append(box);
      }
      box.append(control(field, i));
    });
    choices.replaceChildren(all);
  }

  // The values of the controls drawn; the one in use keeps what is typed in it unless
  // `all`.
  function setValues(list, all) {
    list.forEach((field, i) => {
      const c = choices.querySelector('[data-key="field-' + i + '"]');
      if (!c || (!all && c === document.activeElement)) return;
      if (field.kind === 'check') c.checked = field.value === '1';
      else if (field.kind === 'note') c.textContent = field.value;
      else if (field.kind !== 'button') c.value = field.value;
      if (c.zendricNarrow) c.zendricNarrow();
      if (c.tagName === 'INPUT') c.removeAttribute('aria-invalid');
    });
  }

  function set(index, value, typed) {
    const next = module.builderSet(selected, fields[index].key, value);
    if (typed) typed.setAttribute('aria-invalid', next.taken ? 'false' : 'true');
    if (next.taken) show(next);
  }

  function labelled(id, text) {
    const label = document.createElement('label');
    label.htmlFor = id;
    label.textContent = text;
    return label;
  }

  // A long list (the species) gets a search field that leaves only the options holding
  // what is typed; what was typed stays while the list is redrawn.
  const LongList = 40;
  const searches = new Map();
  function searchFor(select, label, id) {
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
    select.zendricNarrow = narrow;
    return [labelled(search.id, 'Search: ' + label.toLowerCase()), search];
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
      c.addEventListener('change', () => set(i, c.value));
      if (field.options.length > LongList) wrap.append(...searchFor(c, field.label, id));
      wrap.append(labelled(id, field.label), c);
    } else if (field.kind === 'number' || field.kind === 'text') {
      c = document.createElement('input');
      c.type = 'text';
      c.autocomplete = 'off';
      c.spellcheck = false;
      if (field.kind === 'number') c.inputMode = 'decimal';
      c.addEventListener('input', () => set(i, c.value, c));
      // Leaving the field shows what the code holds: a number as last taken, a text
      // without what the code cannot hold.
      c.addEventListener('change', () => setValues(fields, true));
      wrap.append(labelled(id, field.label), c);
    } else if (field.kind === 'check') {
      c = document.createElement('input');
      c.type = 'checkbox';
      c.addEventListener('change', () => set(i, c.checked ? '1' : '0'));
      wrap.append(c, labelled(id, field.label));
    } else if (field.kind === 'button') {
      c = document.createElement('button');
      c.type = 'button';
      c.textContent = field.label;
      c.addEventListener('click', () => set(i, ''));
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

  function moveBy(step) {
    const next = module.builderMove(selected, step);
    selected = next.at;
    show(next);
  }

  // A new persona starts with every list whole.
  document.getElementById('builder-random').addEventListener('click', () => {
    searches.clear();
    drawn = '';
    selected = 0;
    show(module.builderRandom(Math.floor(Math.random() * 0xffffffff)));
  });
  document.getElementById('builder-open').addEventListener('click', () => {
    searches.clear();
    drawn = '';
    selected = 0;
    show(module.builderOpen(document.getElementById('code').value));
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
  document.getElementById('builder-use').addEventListener('click', () => {
    if (state) replaceCode(state.code);
  });

  document.addEventListener('zendric-module', (event) => {
    module = event.detail.module;
    replaceCode = event.detail.replaceCode;
    for (const tag of module.builderTags()) tagSelect.append(new Option(tag.title + ' (' + tag.letters + ')', String(tag.index)));
    // A new persona: the species, behind "ZN2.".
    show(module.builderAdd(-1, 0));
  });
})();
