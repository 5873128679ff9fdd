// Keeping and sharing the reading: the address holds the field's code (a copied link
// shares what is shown), the field is kept across a reload, "Copy link", the reading
// downloaded or copied in the library's four formats, and a printed page of the code,
// the reading and the messages only. Every rendering comes from the module.
// A classic script, as page.js.
(function () {
  'use strict';

  const field = document.getElementById('code');
  const addressMessage = document.getElementById('address-message');
  const shareBar = document.getElementById('share');
  const printCopy = document.getElementById('print-copy');
  const aboutLink = document.querySelector('.about-link');
  const about = document.getElementById('about');

  const KeptKey = 'zendric.field';
  // Longer codes are kept out of the address: browsers cut long addresses.
  const LongestLinked = 8192;
  // The address and the kept field follow the typing a moment later, not per key.
  const FollowAfter = 250;
  const Formats = [
    { key: 'text', label: 'Plain text', extension: 'txt', type: 'text/plain' },
    { key: 'markdown', label: 'Markdown', extension: 'md', type: 'text/markdown' },
    { key: 'bbcode', label: 'BBCode', extension: 'bbcode', type: 'text/plain' },
    { key: 'html', label: 'HTML', extension: 'html', type: 'text/html' },
  ];

  let reader = null;
  let replaceCode = null;
  let following = 0;

  // '#code=...' gives {code}; a malformed one {error}; any other address null. What
  // follows an '&' is another parameter, not part of the code.
  function codeOfAddress(hash) {
    if (!hash.startsWith('#code=')) return null;
    const raw = hash.slice(6).split('&')[0];
    try {
      return { code: decodeURIComponent(raw) };
    } catch (e) {
      return { error: 'The address holds no readable code (' + raw.slice(0, 80) + '): the field is left as it was.' };
    }
  }

  function tellAboutAddress(text) {
    addressMessage.textContent = text || '';
    addressMessage.hidden = !text;
  }

  function linkFor(text) {
    const base = window.location.href.split('#')[0];
    return base + '#code=' + encodeURIComponent(text);
  }

  function keep(text) {
    try {
      window.localStorage.setItem(KeptKey, text);
    } catch (e) {
      // a private window or a full store: the field is only not kept
    }
  }

  function kept() {
    try {
      return window.localStorage.getItem(KeptKey);
    } catch (e) {
      return null;
    }
  }

  function follow() {
    following = 0;
    const text = field.value;
    const hash = text.length <= LongestLinked ? '#code=' + encodeURIComponent(text) : '';
    if (window.location.hash !== hash) {
      history.replaceState(history.state, '', window.location.href.split('#')[0] + hash);
    }
    keep(text);
    if (text.length <= LongestLinked) fillPrintCopy();
  }

  function render(key, page) {
    return reader ? reader.renderField(field.value, key, page) : '';
  }

  function fillPrintCopy() {
    // The library's HTML, escaped there: the code's text never becomes markup.
    printCopy.innerHTML = render('html', false);
  }

  function say(text) {
    const said = shareBar.querySelector('.share-said');
    said.textContent = text;
  }

  function copyText(text) {
    const fallback = () => {
      const scratch = document.createElement('textarea');
      scratch.value = text;
      scratch.setAttribute('readonly', '');
      scratch.className = 'share-scratch';
      document.body.append(scratch);
      scratch.select();
      const done = document.execCommand('copy');
      scratch.remove();
      field.focus({ preventScroll: true });
      return done ? Promise.resolve() : Promise.reject(new Error('copy refused'));
    };
    if (navigator.clipboard && window.isSecureContext) return navigator.clipboard.writeText(text).catch(fallback);
    return fallback();
  }

  function button(text, label, onClick) {
    const b = document.createElement('button');
    b.type = 'button';
    b.textContent = text;
    if (label) b.setAttribute('aria-label', label);
    b.addEventListener('click', onClick);
    return b;
  }

  function buildBar() {
    const chooser = document.createElement('select');
    chooser.id = 'share-format';
    for (const f of Formats) chooser.append(new Option(f.label, f.key));
    const chooserLabel = document.createElement('label');
    chooserLabel.htmlFor = chooser.id;
    chooserLabel.textContent = 'Reading as';
    const chosen = () => Formats.find((f) => f.key === chooser.value);

    const copyLink = button('Copy link', null, () => {
      const link = linkFor(field.value);
      copyText(link).then(() => say('Link copied: ' + link), () => say('Copy this link: ' + link));
    });
    copyLink.id = 'copy-link';
    copyLink.title = 'Copy a link to this page with the code in it';
    const download = button('Download', null, () => {
      const f = chosen();
      const blob = new Blob([render(f.key, true)], { type: f.type + ';charset=utf-8' });
      const a = document.createElement('a');
      a.href = URL.createObjectURL(blob);
      a.download = 'reading.' + f.extension;
      document.body.append(a);
      a.click();
      a.remove();
      setTimeout(() => URL.revokeObjectURL(a.href), 0);
      say('Downloaded the reading as ' + f.label + '.');
    });
    download.id = 'share-download';
    const copyAs = button('Copy', null, () => {
      const f = chosen();
      copyText(render(f.key, false)).then(() => say('Copied the reading as ' + f.label + '.'),
        () => say('The browser did not allow copying.'));
    });
    copyAs.id = 'share-copy';
    const update = () => {
      download.setAttribute('aria-label', 'Download the reading as ' + chosen().label);
      copyAs.setAttribute('aria-label', 'Copy the reading as ' + chosen().label);
    };
    chooser.addEventListener('change', update);
    update();
    const said = document.createElement('span');
    said.className = 'share-said';
    said.setAttribute('role', 'status');
    shareBar.replaceChildren(copyLink, chooserLabel, chooser, download, copyAs, said);
  }

  field.addEventListener('input', () => {
    tellAboutAddress('');
    if (!following) following = setTimeout(follow, FollowAfter);
  });

  // Back, Forward, or an address typed over: the address's code is read; a malformed
  // one leaves the field alone.
  window.addEventListener('hashchange', () => {
    const linked = codeOfAddress(window.location.hash);
    if (linked === null) return;
    if (linked.error) return tellAboutAddress(linked.error);
    tellAboutAddress('');
    if (linked.code !== field.value && replaceCode) replaceCode(linked.code);
  });

  // About is shown where it stands; the address keeps the code.
  aboutLink.addEventListener('click', (event) => {
    event.preventDefault();
    about.scrollIntoView();
    about.focus({ preventScroll: true });
  });

  window.addEventListener('beforeprint', fillPrintCopy);

  // page.js hands over the module before it reads the field: the field gets the
  // address's code, or else the one kept from the last visit.
  document.addEventListener('zendric-module', (event) => {
    reader = event.detail.module;
    replaceCode = event.detail.replaceCode;
    buildBar();
    const linked = codeOfAddress(window.location.hash);
    if (linked && linked.error) tellAboutAddress(linked.error);
    const keptText = kept();
    if (linked && !linked.error) field.value = linked.code;
    else if (keptText !== null && field.value === '') field.value = keptText;
    fillPrintCopy();
  });
})();
