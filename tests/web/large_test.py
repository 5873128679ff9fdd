#!/usr/bin/python3
"""Long readings and large texts on the web page, in headless Chromium: only the rows in
view are made and no line is held in JavaScript, yet every line is reached (keys, copy, the error jump); texts over the
field's limit go to the streaming finder, whose codes match zendric-read --find.

usage: large_test.py SITE_DIR ZENDRIC_READ RANDOM_CODES SOURCE_DIR
"""
import json
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.common.by import By

import browser_test
from browser_test import check, cli_readings, page_readings

SITE, READER = Path(sys.argv[1]), Path(sys.argv[2])


def wait_for(driver, script, what, seconds=60):
    deadline = time.monotonic() + seconds
    while not driver.execute_script(script):
        if time.monotonic() > deadline:
            check(False, "timed out: " + what)
            return False
        time.sleep(0.05)
    return True


def settle(driver):
    """Two frames, so that the lists have measured their rows and made the view's."""
    driver.execute_async_script(
        "const done = arguments[0]; requestAnimationFrame(() => requestAnimationFrame(() => setTimeout(done, 0)));")


def test_rows_made(driver):
    """The elements made for a reading do not grow with its length."""
    made = []
    for repeat in (300, 30000):
        page_readings(driver, ["", "ZN2.Dw" + " W+ Xq" * repeat])
        settle(driver)
        made.append(driver.execute_script("""
          const n = ZendricLists.named;
          return [n.reading.made, document.getElementById('reading').children.length,
                  document.getElementById('errors').children.length];"""))
    small, large = made
    check(large[1] <= 2 * max(small[1], 60) and large[2] <= 2 * max(small[2], 60),
          f"rows in the page for 100 times the lines: {small} against {large}")


# The page's JavaScript heap, collected, once the reading of a code of `repeat` items
# has been shown; and the reading's numbers of lines and errors.
HEAP = """
const done = arguments[arguments.length - 1];
const field = document.getElementById('code');
field.value = 'ZN2.Dw' + ' W+ Xq'.repeat(arguments[0]);
field.dispatchEvent(new Event('input', {bubbles: true}));
requestAnimationFrame(() => setTimeout(() => {
  gc();
  done([performance.memory.usedJSHeapSize, ZendricLists.named.reading.count, ZendricLists.named.errors.count]);
}, 0));
"""


def test_held_data(driver):
    """The page holds nothing per line or message of a reading: they stay in the module.
    A megabyte's reading first, so that the module's memory has grown to it already."""
    driver.execute_async_script(HEAP, 170000)
    small = driver.execute_async_script(HEAP, 2000)
    large = driver.execute_async_script(HEAP, 170000)
    code = len("ZN2.Dw" + " W+ Xq" * 170000)
    check(large[1:] == [170001, 340000], f"the reading of {code} characters: {large[1:]} lines and errors")
    check(large[0] - small[0] < code, f"the page's heap grew by {large[0] - small[0]} bytes from {small[1]} to "
          f"{large[1]} lines, for a code of {code} characters")


# The waves' layer after a reading of `repeat` items: its marks, whether its text is the
# field's up to where it stops, and the waves of the whole field, from a module of its own.
LAYER = """
const done = arguments[arguments.length - 1];
const field = document.getElementById('code');
field.value = 'ZN2.Dw' + ' W+ Xq'.repeat(arguments[0]);
field.dispatchEvent(new Event('input', {bubbles: true}));
const layer = document.getElementById('marks');
const text = [...layer.childNodes].filter((n) => n.nodeType === 3 || n.nodeName === 'MARK').map((n) => n.textContent).join('');
const got = [layer.querySelectorAll('mark').length, field.value.startsWith(text.replace(/\u200b$/, ''))];
ZendricReader().then((m) => {
  m.readField(field.value);
  done(got.concat([m.wavesIn(0, field.value.length, -1).length / 2]));
});
"""


def test_wave_layer(driver):
    """A field over 100 000 characters draws its first 2000 waves; a shorter one all."""
    for repeat, drawn in ((3000, None), (20000, 2000)):
        marks, prefix, waves = driver.execute_async_script(LAYER, repeat)
        check(marks == (drawn or waves) and waves > 2000 and prefix,
              f"{repeat} items: {marks} marks of {waves} waves drawn, the layer's text the field's: {prefix}")


# show() and the frame after it for `count` rows of a list of the page's kind, made in a
# fresh element: the median of five, in ms.
SHOW_TIME = """
const done = arguments[arguments.length - 1];
const count = arguments[0];
const host = document.createElement('div');
host.className = 'reading';
document.querySelector('.reading-panel').append(host);
const texts = Array.from({length: count}, (_, i) => 'I am line ' + i + ' of a long reading, with some words');
const list = new ZendricLists.VirtualList(host, {
  make: (i) => { const d = document.createElement('div'); d.textContent = texts[i]; return d; },
  key: (i) => texts[i] });
const times = [];
(function round() {
  list.show(0, []);
  requestAnimationFrame(() => setTimeout(() => {
    const start = performance.now();
    list.show(count, texts);
    requestAnimationFrame(() => setTimeout(() => {
      times.push(performance.now() - start);
      if (times.length < 5) { round(); return; }
      host.remove();
      ZendricLists.all.splice(ZendricLists.all.indexOf(list), 1);
      done(times.sort((a, b) => a - b)[2]);
    }, 0));
  }, 0));
})();
"""


def test_show_scales(driver):
    """100 times the rows costs far less than 100 times the time: a list that laid out
    every row would take about that."""
    small = statistics.median(driver.execute_async_script(SHOW_TIME, 2000) for _ in range(3))
    large = statistics.median(driver.execute_async_script(SHOW_TIME, 200000) for _ in range(3))
    check(large < 15 * max(small, 2), f"200 000 rows took {large:.1f} ms, 2000 rows {small:.1f} ms")


# After each edit of a long code, the rows made where the view was, then at the start,
# the middle and the end: [index, text] each, the text rebuilt from the row's nodes.
ROWS_AT = """
const field = document.getElementById('code');
field.value = arguments[0];
field.dispatchEvent(new Event('input', {bubbles: true}));
const rows = ZendricLists.named.reading;
const seen = [];
for (const at of [-1, 0, rows.count >> 1, rows.count - 1]) {
  if (at < 0) rows.render();  // the view as it stood before the edit
  else rows.reveal(at);
  for (const row of document.getElementById('reading').children)
    seen.push([row.zendricIndex, [...row.childNodes].map((n) => n.nodeName === 'BR' ? '\\r' : n.textContent).join('')]);
}
return [rows.count, seen];
"""


def test_edits_keep_rows(driver):
    """Rows kept from one reading to the next, and those moved after an edit, show the
    lines of the new reading."""
    base = "ZN2.Dw" + " H- Gm Xq" * 1000
    half = len(base) // 2
    edits = [base, base[:half] + " W+" + base[half:], base[:half] + base[half + 9:], base + " W+",
             "ZN2.Hd" + base[6:], base[:30] + base[39:]]
    page_readings(driver, [base])
    settle(driver)
    for code, cli in zip(edits, cli_readings(edits)):
        count, seen = driver.execute_script(ROWS_AT, code)
        wrong = [(i, text) for i, text in seen if text != cli["lines"][i]]
        check(count == len(cli["lines"]) and not wrong,
              f"after an edit: {count} rows for {len(cli['lines'])} lines, wrong rows {wrong[:3]}")
    driver.execute_script("window.scrollTo(0, 0)")
    settle(driver)


KEY_STATE = """
const line = document.activeElement;
return [line.zendricIndex, line.textContent, line.getAttribute('aria-posinset'),
        line.getAttribute('aria-setsize'), line.getAttribute('aria-describedby'), line.getClientRects().length > 0];
"""


def press(driver, key):
    driver.execute_script(
        "document.activeElement.dispatchEvent(new KeyboardEvent('keydown', {key: arguments[0], bubbles: true}))", key)
    return driver.execute_script(KEY_STATE)


def test_keys_copy_and_jump(driver):
    code = "ZN2.Dw" + " H- Gm Xq" * 3000 + " W+"
    cli = cli_readings([code])[0]
    lines, errors = cli["lines"], cli["errors"]
    page_readings(driver, [code])
    settle(driver)
    driver.execute_script("document.getElementById('reading').firstElementChild.focus()")
    n = str(len(lines))
    for key, index in (("End", len(lines) - 1), ("Home", 0), ("PageDown", 10), ("ArrowDown", 11),
                       ("End", len(lines) - 1), ("PageUp", len(lines) - 11)):
        got = press(driver, key)
        check(got == [index, lines[index].replace("\r", ""), str(index + 1), n, "line-item", True],
              f"after {key} in {n} lines: {got}, not line {index} {lines[index]!r}")
    # The stop stays with the line when it is scrolled away and no longer made.
    driver.execute_script("document.getElementById('code').focus(); window.scrollTo(0, 0)")
    settle(driver)
    driver.execute_script("document.getElementById('reading').focus()")
    check(driver.execute_script(KEY_STATE)[0] == len(lines) - 11, "coming back to the reading lost its line")

    # A copy of the whole reading is whole.
    copied = driver.execute_script("""
      const lines = document.getElementById('reading');
      lines.firstElementChild.focus();
      document.activeElement.dispatchEvent(new KeyboardEvent('keydown', {key: 'a', ctrlKey: true, bubbles: true}));
      const data = new DataTransfer();
      document.activeElement.dispatchEvent(new ClipboardEvent('copy', {clipboardData: data, bubbles: true, cancelable: true}));
      return data.getData('text/plain');""")
    check(copied == "\n".join(lines).replace("\r", "\n"),
          f"copy of {n} lines gave {len(copied.splitlines())} lines")

    # The last error, scrolled to and pressed, puts the caret where the window would.
    got = driver.execute_script("""
      const rows = ZendricLists.named.errors;
      const row = rows.reveal(rows.count - 1);
      row.querySelector('button').click();
      return [rows.count, Number(row.dataset.position), row.querySelector('.msg').textContent,
              document.activeElement.id, document.activeElement.selectionEnd];""")
    last = errors[-1]
    check(got[:4] == [len(errors), last[0], last[1], "code"], f"the last error's row: {got[:4]}, not {last}")
    check(got[4] == last[0], f"the last error put the caret at {got[4]}, not {last[0]}")

    # The map: the caret in the last item lights its line, which End then shows.
    lit = driver.execute_script("""
      const field = document.getElementById('code');
      field.focus();
      field.setSelectionRange(field.value.length, field.value.length);
      document.dispatchEvent(new Event('selectionchange'));
      const line = ZendricLists.named.reading.reveal(ZendricLists.named.reading.count - 1);
      return line.classList.contains('item');""")
    check(lit, "the caret in the last item does not light the last line")


def find_cli(text):
    out = subprocess.run([str(READER), "--find", "--json"], input=text.encode("utf-8"), capture_output=True,
                         check=False).stdout.decode("utf-8")
    return [json.loads(line) for line in out.splitlines()]


PASTE = """
const field = document.getElementById('code');
const data = new DataTransfer();
data.setData('text/plain', arguments[0]);
const paste = new ClipboardEvent('paste', {clipboardData: data, bubbles: true, cancelable: true});
field.dispatchEvent(paste);
return [paste.defaultPrevented, field.value.length];
"""

LARGE_STATE = """
const rows = ZendricLists.named.large;
const first = rows.reveal(0);
const last = rows.reveal(rows.count - 1);
const row = (r) => r && [Number(r.dataset.line), Number(r.dataset.column), r.querySelector('code').textContent];
return [document.getElementById('large').dataset.state, rows.count, row(first), row(last),
        document.getElementById('large-found').children.length, document.getElementById('large-heading').textContent];
"""


def forum(size):
    # A dragon emoji stands across the module's first piece boundary (256 Ki units).
    post = "> On day 3, member7 wrote:\n> Nice one!\nMine, at last:\nZN2.Dw Gm L12m W+\n\n"
    head = "x" * (256 * 1024 - 1 - len("\nMine: ZN2.Dw Gm ")) + "\nMine: ZN2.Dw Gm \U0001F409 W+\n"
    return head + post * ((size - len(head)) // len(post) + 1)


def test_large_paste(driver):
    field = driver.find_element(By.ID, "code")
    page_readings(driver, ["ZN2.Dw Gm"])
    text = forum(5 * 1024 * 1024)
    found = find_cli(text)
    got = driver.execute_script(PASTE, text)
    check(got == [True, 9], f"a paste of {len(text)} characters went into the field: {got}")
    if not wait_for(driver, "return document.getElementById('large').dataset.state === 'done'", "the large paste"):
        return
    state = driver.execute_script(LARGE_STATE)
    want = lambda f: [f["source"]["line"], f["source"]["column"], f["code"]]  # noqa: E731
    check(state[:4] == ["done", len(found), want(found[0]), want(found[-1])],
          f"the page found {state[:4]}, zendric-read {len(found)} codes from {want(found[0])} to {want(found[-1])}")
    check(state[4] < 200, f"{state[4]} rows made for {state[1]} codes")
    check(state[5] == f"Found {len(found):,} Zendric 2 codes in 5.0 MB of text", f"heading {state[5]!r}")
    # Choosing a code puts it alone in the field, as one edit.
    driver.execute_script("ZendricLists.named.large.reveal(0).querySelector('button').click()")
    check(field.get_attribute("value") == found[0]["code"], f"the field holds {field.get_attribute('value')!r}")
    note = driver.find_element(By.ID, "large-note").text
    check(note == "The pasted text was 5.0 MB: only the code from line 2 was taken into the field.", f"note {note!r}")

    # Cancel stops the search where it is.
    post = "> On day 3, member7 wrote:\n> Nice one!\nMine, at last:\nZN2.Dw Gm L12m W+\n\n"
    # A slowed processor keeps the search going until Cancel comes, however fast the machine.
    driver.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": 8})
    driver.execute_script(PASTE.replace("arguments[0]", "arguments[0].repeat(arguments[1])"), post, 600000)
    wait_for(driver, "return !document.getElementById('large-progress-row').hidden", "the progress bar")
    driver.execute_script("document.getElementById('large-cancel').click()")
    driver.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": 1})
    count = driver.execute_script("return ZendricLists.named.large.count")
    time.sleep(0.3)
    state = driver.execute_script(LARGE_STATE)
    check(state[0] == "stopped" and state[1] == count and state[5].startswith("Stopped after "),
          f"after Cancel: {state[0]}, {count} then {state[1]} codes, {state[5]!r}")
    driver.find_element(By.ID, "large-close").click()


def test_files(driver):
    """A large file goes to the finder as bytes; a small one into the field as text."""
    with tempfile.TemporaryDirectory() as folder:
        large = Path(folder) / "thread.txt"
        large.write_text(forum(6 * 1024 * 1024), encoding="utf-8")
        small = Path(folder) / "mine.txt"
        small.write_text("ZN2.Dw Gm \U0001F409\n", encoding="utf-8")
        found = find_cli(large.read_text(encoding="utf-8"))
        chooser = driver.execute_script("const f = document.getElementById('file'); f.hidden = false; return f")
        chooser.send_keys(str(large))
        if wait_for(driver, "return document.getElementById('large').dataset.state === 'done'", "the large file"):
            state = driver.execute_script(LARGE_STATE)
            check(state[1:3] == [len(found), [found[0]["source"]["line"], found[0]["source"]["column"],
                                               found[0]["code"]]], f"the file gave {state[1:3]}")
            check("thread.txt" in driver.find_element(By.ID, "large-note").text, "the note does not name the file")
        driver.find_element(By.ID, "large-close").click()
        chooser.send_keys(str(small))
        wait_for(driver, "return document.getElementById('code').value.startsWith('ZN2.Dw Gm')", "the small file")
        check(driver.find_element(By.ID, "code").get_attribute("value") == "ZN2.Dw Gm \U0001F409\n",
              "the small file is not in the field as written")
        driver.execute_script("document.getElementById('file').hidden = true")


def main():
    options = webdriver.ChromeOptions()
    # The heap measured exactly, after a collection the test asks for.
    for arg in ("--headless=new", "--no-sandbox", "--window-size=1200,860", "--enable-precise-memory-info",
                "--js-flags=--expose-gc"):
        options.add_argument(arg)
    driver = webdriver.Chrome(options=options)
    driver.set_script_timeout(120)
    try:
        driver.get((SITE / "index.html").resolve().as_uri())
        wait_for(driver, "return document.body.dataset.ready === '1'", "the page's module", 20)
        for test in (test_rows_made, test_held_data, test_edits_keep_rows, test_wave_layer, test_show_scales, test_keys_copy_and_jump, test_large_paste, test_files):
            test(driver)
        check(not [e for e in driver.get_log("browser") if e["level"] == "SEVERE"], "errors in the console")
    finally:
        driver.quit()
    print(f"{len(browser_test.failures)} failures")
    sys.exit(1 if browser_test.failures else 0)


if __name__ == "__main__":
    main()
