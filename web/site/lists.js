// Lists that make, style and lay out only the rows in and near the view. A row not made
// counts at an estimated height until it has been shown once, so the page's scroll bar
// measures the whole list; Chromium's scroll anchoring keeps the rows in view in place
// when a height above them turns out other than estimated.
// A classic script (see page.js): it defines window.ZendricLists.
(function () {
  'use strict';

  // Prefix sums of the rows' heights: a row's offset and the row at an offset, both in
  // logarithmic time, over hundreds of thousands of rows.
  class Heights {
    constructor(sizes) {
      const n = sizes.length;
      this.sizes = sizes;
      this.tree = new Float64Array(n + 1);
      for (let i = 0; i < n; ++i) {
        this.tree[i + 1] += sizes[i];
        const up = (i + 1) + ((i + 1) & -(i + 1));
        if (up <= n) this.tree[up] += this.tree[i + 1];
      }
      this.top = 1;
      while (this.top * 2 <= n) this.top *= 2;
    }
    get length() { return this.sizes.length; }
    set(i, size) {
      const delta = size - this.sizes[i];
      if (delta === 0) return 0;
      this.sizes[i] = size;
      for (let k = i + 1; k < this.tree.length; k += k & -k) this.tree[k] += delta;
      return delta;
    }
    // The offset of row i: the sum of the rows before it.
    before(i) {
      let sum = 0;
      for (let k = i; k > 0; k -= k & -k) sum += this.tree[k];
      return sum;
    }
    total() { return this.before(this.sizes.length); }
    // The row that holds offset y (the last row for y past the end).
    at(y) {
      let i = 0;
      for (let step = this.top; step > 0; step >>= 1) {
        const next = i + step;
        if (next < this.tree.length && this.tree[next] <= y) {
          i = next;
          y -= this.tree[next];
        }
      }
      return Math.min(i, this.sizes.length - 1);
    }
  }

  // A list of `count` rows, each made by make(index) and told apart by key(index):
  // a row whose key stays the same keeps its element from one change to the next.
  // Up to `whole` rows are all made, as a plain list; past that only the view's. With
  // `scroller` (an element around the list, at its top) the list scrolls in that, not
  // with the page: a scroller's own padding would count in its height.
  class VirtualList {
    constructor(list, { make, key, decorate = () => {}, rendered = () => {}, estimate = 34, whole = 200, margin = 800,
      scroller = false }) {
      this.scroller = scroller;
      if (scroller) {
        let queued = 0;
        scroller.addEventListener('scroll', () => {
          if (!queued) queued = requestAnimationFrame(() => { queued = 0; this.render(); });
        }, { passive: true });
      }
      this.list = list;
      this.make = make;
      this.key = key;
      this.decorate = decorate;
      this.rendered = rendered;
      this.estimate = estimate;
      this.whole = whole;
      this.margin = margin;
      this.count = 0;
      this.keys = [];
      this.heights = new Heights(new Float64Array(0));
      this.rows = new Map();  // index -> element, the rows made now
      this.loose = [];  // rows made before the last change, not known to stay
      this.shown = 0;  // counts the changes: a row whose zendricShown is this is known to stay
      this.first = 0;
      this.last = 0;
      this.queued = 0;
      this.made = 0;  // rows made since the list began, for the tests
      this.resized = new ResizeObserver((entries) => this.measured(entries));
      ZendricLists.all.push(this);
    }

    get virtual() { return this.count > this.whole; }

    // The list now has `count` rows. `alike` tells which rows before and after the part
    // that changed stay as they were, and keep their heights: either an array, one key a
    // row, or {head, tail}, the numbers of such rows at the start and at the end, when
    // whoever holds the rows knows them; without it, the rows before `count` stay (a
    // list that grows at its end).
    show(count, alike) {
      const old = this.keys;
      const keys = Array.isArray(alike) ? alike : null;
      const oldHeights = this.heights;
      const sizes = new Float64Array(count);
      let same = 0;
      let tail = 0;
      if (alike && !keys) {
        same = Math.min(alike.head, oldHeights.length, count);
        tail = Math.min(alike.tail, oldHeights.length - same, count - same);
      } else if (keys) {
        const bound = Math.min(old.length, count);
        while (same < bound && old[same] === keys[same]) ++same;
        while (tail < bound - same && old[old.length - 1 - tail] === keys[count - 1 - tail]) ++tail;
      } else {
        same = Math.min(oldHeights.length, count);
      }
      sizes.set(oldHeights.sizes.subarray(0, same));
      sizes.fill(this.estimate, same, count - tail);
      if (tail > 0) sizes.set(oldHeights.sizes.subarray(oldHeights.length - tail), count - tail);
      // The rows made that stay as they were keep their elements without their keys
      // asked for again, those after the change moved with it; the others are told
      // apart by their keys when the view is made.
      ++this.shown;
      if (alike) {
        const kept = new Map();
        const shift = count - oldHeights.length;
        for (const [i, row] of this.rows) {
          const to = i < same ? i : i >= oldHeights.length - tail ? i + shift : -1;
          if (to < 0) {
            this.loose.push(row);
            continue;
          }
          row.zendricIndex = to;
          row.zendricShown = this.shown;
          kept.set(to, row);
        }
        this.rows = kept;
      }
      this.keys = keys || [];
      this.count = count;
      this.heights = new Heights(sizes);
      this.render(false);
      this.later();
    }

    keyAt(i) { return this.key(i); }

    // The part of the list in the page's view, in the list's own pixels. Measured only
    // when `measure` is set: a new list of rows is made for the view last measured and
    // measured again in the next frame, whose layout is due anyway (a layout forced in
    // an input handler would lay out the field's text twice).
    view(measure = true) {
      if (this.scroller) {
        if (measure || this.seen === undefined) this.seen = [this.scroller.scrollTop, this.scroller.clientHeight];
        return [this.seen[0], this.seen[0] + this.seen[1]];
      }
      if (measure) {
        const box = this.list.getBoundingClientRect();
        this.seen = box.top + this.list.clientTop;
      }
      const top = this.seen === undefined ? 0 : this.seen;
      return [-top, window.innerHeight - top];
    }

    range(measure) {
      if (!this.virtual) return [0, this.count];
      const [top, bottom] = this.view(measure);
      const total = this.heights.total();
      const from = Math.max(0, Math.min(top - this.margin, total - 2 * this.margin));
      const to = Math.min(total, Math.max(bottom + this.margin, 2 * this.margin));
      return [this.heights.at(from), this.heights.at(to) + 1];
    }

    // Makes the rows of the view (all of them for a short list), keeping every element
    // whose row has the same key as before, and moves no element that stays.
    render(measure = true) {
      if (measure) {
        cancelAnimationFrame(this.queued);
        this.queued = 0;
      }
      const [first, last] = this.range(measure);
      const spare = new Map();
      const unused = (row) => {
        const k = row.zendricKey;
        if (!spare.has(k)) spare.set(k, []);
        spare.get(k).push(row);
      };
      for (const [i, row] of this.rows) {
        if (i >= first && i < last && (row.zendricShown === this.shown || row.zendricKey === this.keyAt(i))) {
          row.zendricShown = this.shown;
          continue;
        }
        unused(row);
        this.rows.delete(i);
      }
      this.loose.forEach(unused);
      this.loose = [];
      const wanted = [];
      for (let i = first; i < last; ++i) {
        let row = this.rows.get(i);
        if (!row) {
          const k = this.keyAt(i);
          const kept = spare.get(k);
          row = kept && kept.length ? kept.pop() : null;
          if (!row) {
            row = this.make(i);
            row.zendricKey = k;
            ++this.made;
            this.resized.observe(row);
          }
          row.zendricShown = this.shown;
          this.rows.set(i, row);
        }
        row.zendricIndex = i;
        // A screen reader counts the rows not made too. Set only when they change: each
        // attribute set makes Chromium look at the row's style again.
        const place = this.virtual ? i + 1 + '/' + this.count : '';
        if (row.zendricPlace !== place) {
          row.zendricPlace = place;
          if (this.virtual) {
            row.setAttribute('aria-posinset', String(i + 1));
            row.setAttribute('aria-setsize', String(this.count));
          } else {
            row.removeAttribute('aria-posinset');
            row.removeAttribute('aria-setsize');
          }
        }
        this.decorate(row, i);
        wanted.push(row);
      }
      for (const rows of spare.values()) {
        for (const row of rows) {
          this.resized.unobserve(row);
          row.remove();
        }
      }
      let at = this.list.firstElementChild;
      for (const row of wanted) {
        if (at === row) at = at.nextElementSibling;
        else this.list.insertBefore(row, at);
      }
      this.first = first;
      this.last = last;
      this.pad();
      this.rendered();
    }

    // Room for the rows not made, above and below those that are.
    pad() {
      const above = this.virtual ? this.heights.before(this.first) : 0;
      const below = this.virtual ? this.heights.total() - this.heights.before(this.last) : 0;
      this.list.style.paddingTop = above ? above + 'px' : '';
      this.list.style.paddingBottom = below ? below + 'px' : '';
    }

    measured(entries) {
      let changed = false;
      for (const entry of entries) {
        const row = entry.target;
        if (!row.isConnected || row.parentNode !== this.list) continue;
        const size = entry.borderBoxSize ? entry.borderBoxSize[0].blockSize : row.offsetHeight;
        if (!(size > 0) || row.zendricIndex >= this.count) continue;
        // New rows are first counted at the height of the lowest row seen (past the
        // first, which draws no line above it): most rows are one display line, and
        // then change no height when shown.
        if (row.previousElementSibling && (!this.measuredOne || size < this.estimate)) {
          this.estimate = size;
          this.measuredOne = true;
        }
        if (this.heights.set(row.zendricIndex, size) !== 0) changed = true;
      }
      if (changed && this.virtual) {
        this.pad();
        this.later();
      }
    }

    later() {
      if (!this.queued && this.virtual) this.queued = requestAnimationFrame(() => this.render());
    }

    // The element of row i, made now and scrolled into view.
    reveal(i) {
      if (i < 0 || i >= this.count) return null;
      if (this.virtual) {
        const [top, bottom] = this.view();
        const from = this.heights.before(i);
        const to = from + this.heights.sizes[i];
        const by = from < top ? from - top : to > bottom ? Math.min(from - top, to - bottom) : 0;
        if (by && this.scroller) this.scroller.scrollTop += by;
        else if (by) window.scrollBy(0, by);
        this.render();
      }
      return this.rows.get(i) || null;
    }

    element(i) { return this.rows.get(i) || null; }
    redecorate() { for (const [i, row] of this.rows) this.decorate(row, i); }
  }

  // A row of found codes: the code, where it starts, the first line of its reading and
  // its number of messages, and the button that reads it alone.
  // `build`, when given, opens the code in the builder below.
  function foundElement(found, single, choose, build) {
    const item = document.createElement('li');
    item.dataset.line = String(found.line);
    item.dataset.column = String(found.column);
    const what = document.createElement('span');
    what.className = 'what';
    const code = document.createElement('code');
    code.textContent = found.code;
    const first = document.createElement('span');
    first.className = 'first';
    first.textContent = found.entry;
    what.append(code, first);
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = single ? 'Read only the code' : 'Read this code';
    button.setAttribute('aria-label', button.textContent + ' from line ' + found.line);
    button.addEventListener('click', choose);
    item.append(what, button);
    if (build) {
      const open = document.createElement('button');
      open.type = 'button';
      open.className = 'build';
      open.textContent = 'Open in the builder';
      open.setAttribute('aria-label', open.textContent + ' the code from line ' + found.line);
      open.addEventListener('click', build);
      item.append(open);
    }
    return item;
  }

  window.ZendricLists = { VirtualList, Heights, foundElement, all: [], named: {} };
  let scrolled = 0;
  const follow = () => {
    scrolled = 0;
    for (const list of window.ZendricLists.all) if (list.virtual && !list.scroller) list.render();
  };
  const soon = () => { if (!scrolled) scrolled = requestAnimationFrame(follow); };
  window.addEventListener('scroll', soon, { passive: true });
  window.addEventListener('resize', soon, { passive: true });
})();
