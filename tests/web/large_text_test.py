#!/usr/bin/python3
"""Texts the page cannot read, and files' bytes decoded by the module, in headless
Chromium: a code too large to read says so where the reading stood, and nothing of
the reading before it stays; the decoder reads each encoding whole and in pieces.

usage: large_text_test.py SITE_DIR
"""
import sys
import time
from pathlib import Path

from selenium import webdriver

SITE = Path(sys.argv[1])
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, flush=True)


# The field set to a code of `size` characters built in the page, one input event, and
# what the page shows right after.
READ = """
const [start, fill, size] = arguments;
const field = document.getElementById('code');
field.value = start + fill.repeat(Math.max(0, size - start.length));
field.dispatchEvent(new Event('input', {bubbles: true}));
const note = document.getElementById('too-large');
return {
  note: note.hidden ? null : note.textContent,
  lines: document.getElementById('reading').children.length,
  errors: document.getElementById('errors').children.length,
  status: document.getElementById('status').textContent,
};
"""

MB = 1 << 20
LIMIT = "the reader takes up to 4 MB"

# (code start, filler, characters, the note expected or None, reading lines or None
# for any number above zero)
ROWS = [
    ("ZN2.Dw Gm", "", 9, None, 2),
    ("ZN2.Dw", "{", 4 * MB + 1, f"This text is too large to read here (4.0 MB); {LIMIT}", 0),
    ("ZN2.Dw Gm", "", 9, None, 2),
    ("ZN2.Dw", "{", 10 * MB, f"This text is too large to read here (10 MB); {LIMIT}", 0),
    ("ZN2.Dw", "{", 24 * MB, f"This text is too large to read here (24 MB); {LIMIT}", 0),
]


def test_too_large(driver):
    for start, fill, size, note, lines in ROWS:
        what = f"{start!r} + {fill!r} to {size} characters"
        got = driver.execute_script(READ, start, fill, size)
        check(got["note"] == note, f"{what}: the note says {got['note']!r}")
        if note is not None:
            check(got["lines"] == 0 and got["errors"] == 0, f"{what}: the last reading stays: {got}")
            check(got["status"] == note + ".", f"{what}: the status says {got['status']!r}")
        else:
            check(got["lines"] == lines if lines is not None else got["lines"] > 0, f"{what}: {got}")
            check("read" in got["status"], f"{what}: the status says {got['status']!r}")


# Bytes of a file (as numbers) through the module's decodeText, and through its
# TextPieces one byte at a time.
DECODE = """
const [cases, done] = [arguments[0], arguments[arguments.length - 1]];
ZendricReader().then((m) => done(cases.map((bytes) => {
  const whole = m.decodeText(new Uint8Array(bytes));
  const pieces = new m.TextPieces();
  let split = '';
  for (const b of bytes) split += pieces.feed(new Uint8Array([b]));
  split += pieces.finish();
  pieces.delete();
  return [whole, split];
})));
"""

ENCODED = [
    (b"\xff\xfe" + "ZN2.Dw Gm \U0001F409".encode("utf-16-le"), "ZN2.Dw Gm \U0001F409"),
    (b"\xfe\xff" + "ZN2.Dw \u00e9".encode("utf-16-be"), "ZN2.Dw \u00e9"),
    (b"\xef\xbb\xbfZN2.Dw", "ZN2.Dw"),
    (b"ZN2.Dw \xc3(", "ZN2.Dw \ufffd("),
    (b"\xff\xfeZ\x00\x3d\xd8", "Z\ufffd"),
]


def test_decode(driver):
    got = driver.execute_async_script(DECODE, [list(b) for b, _ in ENCODED])
    for (bytes_, text), (whole, split) in zip(ENCODED, got):
        check(whole == text and split == text, f"{bytes_!r}: {whole!r} whole, {split!r} in pieces, not {text!r}")


def main():
    options = webdriver.ChromeOptions()
    for arg in ("--headless=new", "--no-sandbox", "--window-size=1200,860"):
        options.add_argument(arg)
    driver = webdriver.Chrome(options=options)
    driver.set_script_timeout(120)
    try:
        driver.get((SITE / "index.html").resolve().as_uri())
        deadline = time.monotonic() + 20
        while driver.execute_script("return document.body.dataset.ready") != "1":
            if time.monotonic() > deadline:
                sys.exit("FAIL: the page did not load its module: " + str(driver.get_log("browser")))
            time.sleep(0.02)
        test_too_large(driver)
        test_decode(driver)
        severe = [e for e in driver.get_log("browser") if e["level"] == "SEVERE"]
        check(not severe, f"errors in the console: {severe[:3]}")
    finally:
        driver.quit()
    print(f"{len(failures)} failures")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
