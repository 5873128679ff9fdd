#!/usr/bin/python3
"""The web page in headless Chromium, opened from file://, in one browser session:
its readings against zendric-read's, the caret and the marks, the About section, the
layouts, and screenshots saved beside the site.

usage: browser_test.py SITE_DIR ZENDRIC_READ RANDOM_CODES SOURCE_DIR
"""
import json
import re
import subprocess
import sys
import time
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

import builder_cases

SITE, READER, RANDOM_CODES, SOURCE = (Path(a) for a in sys.argv[1:5])
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, flush=True)


def cli_readings(codes):
    """zendric-read --json for each code: one per line of its input, behind a first line
    that keeps a byte-order mark of the first code from being skipped; the empty code,
    which would be a blank line, as an argument."""
    data = b"ZN2.\n" + b"".join(c.encode("utf-8") + b"\n" for c in codes if c)
    out = subprocess.run([str(READER), "--json"], input=data, capture_output=True, check=False).stdout
    # By line feeds only: splitlines() would also cut at a U+2028 inside a string.
    readings = [json.loads(line) for line in out.decode("utf-8").split("\n") if line][1:]
    empty = subprocess.run([str(READER), "--json", ""], capture_output=True, check=False).stdout
    readings.reverse()
    readings = [json.loads(empty) if not c else readings.pop() for c in codes]
    assert not any(r is None for r in readings) and len(readings) == len(codes)
    return [{"lines": r["lines"], "errors": [[e["position"], e["message"]] for e in r["errors"]]} for r in readings]


# Sets the field, raises one input event and takes the page's reading back out of the
# DOM right after the handler returned: each line rebuilt from its text and <br>s.
READ_PAGE = """
const field = document.getElementById('code');
return arguments[0].map((text) => {
  field.value = text;
  field.dispatchEvent(new Event('input', {bubbles: true}));
  const lines = [...document.getElementById('reading').children].map((li) =>
      [...li.childNodes].map((n) => n.nodeName === 'BR' ? '\\r' : n.textContent).join(''));
  const errors = [...document.getElementById('errors').children].map((li) =>
      [Number(li.dataset.position), li.querySelector('.msg').textContent]);
  const marks = [...document.querySelectorAll('#marks mark')].map((m) => m.textContent);
  return {lines, errors, marks};
});
"""


def page_readings(driver, texts):
    return driver.execute_script(READ_PAGE, texts)


def test_random_codes(driver):
    raw = subprocess.run([str(RANDOM_CODES), "16", "300"], capture_output=True, check=True).stdout
    # A field holds text, not bytes: ill-formed UTF-8 arrives as U+FFFD, and a carriage
    # return is a line break the field joins away, as the window's field does.
    texts = [line.decode("utf-8", "replace") for line in raw.split(b"\n")[:-1]]
    expected = cli_readings([t.replace("\r", "") for t in texts])
    got = page_readings(driver, texts)
    wrong = [i for i in range(len(texts)) if {"lines": got[i]["lines"], "errors": got[i]["errors"]} != expected[i]]
    for i in wrong[:5]:
        print("code:", repr(texts[i]), "\n page:", got[i], "\n cli: ", expected[i])
    check(not wrong, f"{len(wrong)} of {len(texts)} random codes read differently from zendric-read")
    check(sum(len(e["errors"]) for e in expected) > 100 and sum(len(e["lines"]) for e in expected) > 300,
          "the random codes give too few lines and errors to tell anything")


# Field texts over several lines read as the joined code; HTML stays text; a carriage
# return inside a line comes back as a <br>.
JOINED = [
    ("ZN2.Dw\nGm", "ZN2.DwGm"),
    ("ZN2.Dw \nGm\n\nL12m", "ZN2.Dw GmL12m"),
    ("ZN2.Dw\u2028 Gm\u2029 Xq", "ZN2.Dw\u2028 Gm\u2029 Xq"),  # characters of the code, as zendric-read has them
    ("ZN2.Dw Tc+[<b>&amp;]", "ZN2.Dw Tc+[<b>&amp;]"),
    ('ZN2."<i>\U0001F409</i>"\n X', 'ZN2."<i>\U0001F409</i>" X'),
    ("ZN2.Dw \rGm\r\n L4m", "ZN2.Dw Gm L4m"),
    ("", ""),
]


def test_joined_lines(driver):
    got = page_readings(driver, [field for field, _ in JOINED])
    expected = cli_readings([code for _, code in JOINED])
    for (field, _), page, cli in zip(JOINED, got, expected):
        check({"lines": page["lines"], "errors": page["errors"]} == cli, f"field {field!r}: {page} != {cli}")
    check(any("\r" in line for line in got[3]["lines"]) and "<b>&amp;" in got[3]["lines"][1],
          "a line with a carriage return and markup is not shown as typed")


# {field, [(position, caret offset after the click)], marked texts}: offsets count
# UTF-16 units of the field, line breaks included; marks that touch are one.
CARETS = [
    ("ZN2.Dw \U0001F409\nGm Xq", [(8, 9), (12, 14), (13, 15)], ["\U0001F409", "Xq"]),
    # a message on a blank puts the caret at the end of the item before it
    ("ZN2.Dw\u2028 Xq\n", [(8, 7), (9, 9), (10, 10)], [" Xq"]),
    ("ZN2.Dw Gm \U0001F409", [(11, 12)], ["\U0001F409"]),
    ("ZN2.Dw X Gm q", [(8, 8), (13, 13)], ["X", "q"]),
]


def test_caret(driver):
    field = driver.find_element(By.ID, "code")
    for text, rows, marked in CARETS:
        reading = page_readings(driver, [text])[0]
        check([e[0] for e in reading["errors"]] == [r[0] for r in rows], f"{text!r}: positions {reading['errors']}")
        check(reading["marks"] == marked, f"{text!r}: marks {reading['marks']}")
        buttons = driver.find_elements(By.CSS_SELECTOR, "#errors button[data-index]")
        for i, (position, caret) in enumerate(rows):
            if i >= len(buttons):
                break
            driver.execute_script("arguments[0].setSelectionRange(0, 0)", field)
            if i % 2:  # by keyboard: Tab-reachable buttons, Enter presses
                driver.execute_script("arguments[0].focus()", buttons[i])
                buttons[i].send_keys(Keys.ENTER)
            else:
                buttons[i].click()
            where = driver.execute_script(
                "const f = arguments[0]; return [f.selectionStart, f.selectionEnd, document.activeElement === f]", field)
            check(where == [caret, caret, True], f"{text!r}: error at {position} put the caret at {where}, not {caret}")


# {field, [(line, column, code)]}: the offer for a text that holds codes elsewhere.
FINDS = [
    ("Thanks!\n\n-- \nZN2.Dw Gm\n", [(4, 1, "ZN2.Dw Gm")]),
    ("> ZN2.Dw Gm\n> L12m\nCheers,\n", [(1, 3, "ZN2.Dw Gm L12m")]),
    ("my codes: ZN2.Dw ZN2.Dx\tGf\n\u00e9\U0001F409 ZN2.Dw", [(1, 11, "ZN2.Dw"), (1, 18, "ZN2.Dx\tGf"), (2, 4, "ZN2.Dw")]),
    ("  ZN2.Dw Gm", [(1, 3, "ZN2.Dw Gm")]),
    ("ZN2.Dw Gm ZN2.Dx", []),
    ("\nZN2.Dw\nGm", []),
    ("ZN2.Dw\nZN2.Hd L4m", [(1, 1, "ZN2.Dw"), (2, 1, "ZN2.Hd L4m")]),  # a file of codes, one a line
    ("aZN2.Dw zn2.Dw ZN2", []),
]

OFFER = """
const field = document.getElementById('code');
field.value = arguments[0];
field.dispatchEvent(new Event('input', {bubbles: true}));
return [document.getElementById('finder').hidden, document.getElementById('finder-heading').textContent,
        [...document.querySelectorAll('#found li')].map((li) =>
          [Number(li.dataset.line), Number(li.dataset.column), li.querySelector('code').textContent,
           li.querySelector('.first').textContent])];
"""


def test_finder(driver):
    for text, codes in FINDS:
        hidden, heading, offered = driver.execute_script(OFFER, text)
        check(hidden == (not codes), f"{text!r}: the offer is {'hidden' if hidden else 'shown'}")
        check([o[:3] for o in offered] == [list(c) for c in codes], f"{text!r}: offered {offered}")
        if len(codes) == 1:
            check(heading == f"Found a Zendric 2 code on line {codes[0][0]}", f"{text!r}: heading {heading!r}")
        for (line, column, code), cli, o in zip(codes, cli_readings([c[2] for c in codes]), offered):
            first = cli["lines"][0].split("\r")[0] if cli["lines"] else ""
            n = len(cli["errors"])
            check(o[3] == f"Line {line}, column {column}: {first} ({n} message{'' if n == 1 else 's'})",
                  f"{text!r}: offer line {o[3]!r}")
    # Reading only the code is one edit that undo takes back.
    text, codes = FINDS[0]
    driver.execute_script(OFFER, text)
    driver.find_element(By.CSS_SELECTOR, "#found button").click()
    field = driver.find_element(By.ID, "code")
    state = driver.execute_script("return [arguments[0].value, document.getElementById('finder').hidden]", field)
    check(state == [codes[0][2], True], f"Read only the code left {state}")
    field.send_keys(Keys.CONTROL, "z")
    check(field.get_attribute("value") == text, f"undo gave {field.get_attribute('value')!r}")
    check(not driver.find_element(By.ID, "finder").get_attribute("hidden"), "undo did not bring the offer back")


# {field, [(caret offset, lit line indices, lit item text)], [(hovered line, item text)]}:
# the species item holds the prefix; a caret after a blank belongs to the item after it.
MAP = [
    ("ZN2.Dw Gm\nL12m",
     [(0, [0], "ZN2.Dw"), (4, [0], "ZN2.Dw"), (6, [0], "ZN2.Dw"), (7, [1], "Gm"), (10, [1], "Gm"), (11, [2], "L12m"),
      (14, [2], "L12m")],
     [(0, "ZN2.Dw"), (1, "Gm"), (2, "L12m")]),
    ("ZN2.Dw G\nm \U0001F409 W+", [(9, [1], "G\nm"), (13, [], ""), (15, [2], "W+")], [(1, "G\nm"), (2, "W+")]),
]

MAP_STATE = """
const lines = [...document.getElementById('reading').children];
return [lines.flatMap((li, i) => li.classList.contains('item') ? [i] : []),
        [...document.querySelectorAll('#item-layer .item')].map((s) => s.textContent).join('')];
"""


def test_map(driver):
    field = driver.find_element(By.ID, "code")
    for text, carets, hovers in MAP:
        page_readings(driver, [text])
        driver.execute_script("arguments[0].focus()", field)
        for caret, lines, item in carets:
            driver.execute_script("arguments[0].setSelectionRange(arguments[1], arguments[1])", field, caret)
            time.sleep(0.05)  # selectionchange comes as a task of its own
            got = driver.execute_script(MAP_STATE)
            check(got == [lines, item], f"{text!r}: caret at {caret} lit {got}, not {[lines, item]}")
        rows = driver.find_elements(By.CSS_SELECTOR, "#reading > *")
        for line, item in hovers:
            webdriver.ActionChains(driver).move_to_element(rows[line]).perform()
            got = driver.execute_script(
                "return [[...document.getElementById('reading').children].findIndex((li) =>"
                " li.classList.contains('marked')), arguments[0]]",
                driver.execute_script(MAP_STATE)[1])
            check(got == [line, item], f"{text!r}: pointer over line {line} marked {got}, not {item!r}")
        webdriver.ActionChains(driver).move_to_element(field).perform()


def field_range(text, span):
    """The field range [from, to) in UTF-16 units of code positions span[0]..span[1]
    (from 1, both included): the code is the field without its line breaks."""
    starts, at = [], 0
    for ch in text:
        width = 2 if ord(ch) > 0xFFFF else 1
        if ch not in "\n\r":
            starts.append((at, at + width))
        at += width
    return [0, 0] if span[0] < 1 else [starts[span[0] - 1][0], starts[span[1] - 1][1]]


def utf16_slice(text, field_range):
    return text.encode("utf-16-le")[2 * field_range[0]:2 * field_range[1]].decode("utf-16-le")


# The focused line's item as a field range, from the item layer's text before it.
KEY_STATE = """
const nodes = [...document.getElementById('item-layer').childNodes];
const at = nodes.findIndex((n) => n.className === 'item');
const from = nodes.slice(0, Math.max(at, 0)).reduce((n, node) => n + node.textContent.length, 0);
const lines = [...document.getElementById('reading').children];
const focused = document.activeElement;
return [lines.indexOf(focused), lines.findIndex((li) => li.classList.contains('marked')),
        at < 0 ? [0, 0] : [from, from + nodes[at].textContent.length],
        lines.filter((li) => li.tabIndex === 0).length,
        document.getElementById(focused.getAttribute('aria-describedby'))?.textContent];
"""

# {field, [(key, line focused after it)]}: Tab comes from the field past the errors.
KEYS = [
    ("ZN2.Dw Gm\nL12m", [(Keys.ARROW_DOWN, 1), (Keys.ARROW_DOWN, 2), (Keys.ARROW_DOWN, 2), (Keys.HOME, 0),
                         (Keys.ARROW_UP, 0), (Keys.END, 2), (Keys.ARROW_UP, 1)]),
    ("ZN2.Dw G\nm \U0001F409 W+", [(Keys.ARROW_DOWN, 1), (Keys.ARROW_DOWN, 2), (Keys.PAGE_UP, 0)]),
    ("ZN2.Dw+Hew Gm/f L12m6t20w W- T2t Cgr^|bk,bye+ Bfl|/sm# A(r++v-) Tc+[<b>]\n V++ Q- Df+ R* Sk?",
     [(Keys.PAGE_DOWN, 10), (Keys.PAGE_DOWN, 13), (Keys.PAGE_UP, 3), (Keys.END, 13), (Keys.ARROW_DOWN, 13)]),
]


def test_map_by_keys(driver):
    field = driver.find_element(By.ID, "code")
    for text, moves in KEYS:
        cli = json.loads(subprocess.run([str(READER), "--json", text.replace("\n", "")], capture_output=True,
                                        check=False).stdout)
        page_readings(driver, ["", text])  # the stop goes back to the first line
        driver.execute_script("arguments[0].focus(); arguments[0].setSelectionRange(0, 0)", field)
        for _ in range(len(cli["errors"]) + 1):
            driver.switch_to.active_element.send_keys(Keys.TAB)
        for key, line in [(None, 0)] + moves:
            if key:
                driver.switch_to.active_element.send_keys(key)
            got = driver.execute_script(KEY_STATE)
            want = field_range(text, cli["spans"][line])
            what = utf16_slice(text, want).replace("\n", "")
            check(got == [line, line, want, 1, f"From the item {what}." if what else "From no item of the code."],
                  f"{text!r}: after {key!r} the focus and mark are {got}, not line {line} and {want}")
        # Leaving gives the mark back to the caret's item; coming back finds the same line.
        driver.switch_to.active_element.send_keys(Keys.TAB)
        species = field_range(text, cli["spans"][0])
        check(driver.execute_script(MAP_STATE) == [[0], utf16_slice(text, species)],
              f"{text!r}: leaving the reading left its mark")
        webdriver.ActionChains(driver).key_down(Keys.SHIFT).send_keys(Keys.TAB).key_up(Keys.SHIFT).perform()
        check(driver.execute_script(KEY_STATE)[0] == moves[-1][1], f"{text!r}: Shift+Tab did not come back")


def about_box_texts():
    """The About box's own texts and links, from its source."""
    source = (SOURCE / "ui/AboutDialogForm.cpp").read_text(encoding="utf-8")
    body = source[source.index("void TAboutDialog::CreateCredits"):source.index("void TAboutDialog::CreateButtons")]
    texts = []
    for literal in re.findall(r'QStringLiteral\(((?:\s*"(?:[^"\\]|\\.)*")+)\s*\)', body):
        text = "".join(re.findall(r'"((?:[^"\\]|\\.)*)"', literal)).replace("\\n", "\n").replace('\\"', '"')
        texts.append(text)
    header = (SOURCE / "ui/AboutDialogForm.h").read_text(encoding="utf-8")
    sample = "".join(re.findall(r'"((?:[^"\\]|\\.)*)"', header[header.index("SampleCode ="):].split(";")[0]))
    return texts, sample


def test_about(driver):
    texts, sample = about_box_texts()
    check(len(texts) == 10, f"found {texts} in the About box, not its ten texts")
    about = driver.find_element(By.ID, "about")
    shown = " ".join(about.text.split())
    hrefs = [a.get_attribute("href") for a in about.find_elements(By.TAG_NAME, "a")]
    for text in texts:
        check(" ".join(text.split()) in shown or text in hrefs, f"About: {text!r} is missing")
    check(driver.find_element(By.ID, "sample").text == sample, "About: the sample is not the About box's")
    driver.execute_script("document.getElementById('code').value = 'ZN2.Xx'")
    driver.find_element(By.ID, "read-sample").click()
    field = driver.find_element(By.ID, "code").get_attribute("value")
    lines = driver.execute_script("return [...document.getElementById('reading').children].length")
    check(field == sample and lines == len(cli_readings([sample])[0]["lines"]), "Read does not read the sample")


def set_view(driver, width, height, scale=1, dark=False):
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": width, "height": height, "deviceScaleFactor": scale, "mobile": False})
    driver.execute_cdp_cmd("Emulation.setEmulatedMedia",
                           {"features": [{"name": "prefers-color-scheme", "value": "dark" if dark else "light"}]})


# {name, CSS width, height, pixel scale, dark}: 640 CSS pixels at scale 2 is a 1280-pixel
# window at 200 % zoom.
VIEWS = [
    ("wide-light", 1200, 860, 1, False),
    ("wide-dark", 1200, 860, 1, True),
    ("phone-light", 375, 812, 2, False),
    ("phone-dark", 375, 812, 2, True),
    ("zoom200-light", 640, 450, 2, False),
]


def test_views(driver, out):
    driver.execute_script("""
      const f = document.getElementById('code');
      f.value = 'ZN2.Dw+Hew Gm/f L12m6t20w W- T2t Cgr^|bk,bye+ Bfl|/sm# A(r++v-) Xq Tc+[alchemy] V++ Q- Df+ R* Sk?';
      f.dispatchEvent(new Event('input', {bubbles: true}));
      f.focus();
      f.setSelectionRange(40, 40);  // in the colour item: the pictures show the map
      window.scrollTo(0, 0);""")
    backgrounds = {}
    for name, width, height, scale, dark in VIEWS:
        set_view(driver, width, height, scale, dark)
        overflow = driver.execute_script(
            "return document.documentElement.scrollWidth - document.documentElement.clientWidth")
        check(overflow <= 0, f"{name}: the page is {overflow} px wider than the view")
        backgrounds[dark] = driver.execute_script("return getComputedStyle(document.body).backgroundColor")
        path = out / f"web-{name}.png"
        driver.save_screenshot(str(path))
        check(path.stat().st_size > 10000, f"{name}: screenshot {path} is nearly empty")
    check(backgrounds[True] != backgrounds[False], "the page ignores prefers-color-scheme")
    driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


def main():
    out = SITE.parent / "screenshots"
    out.mkdir(exist_ok=True)
    options = webdriver.ChromeOptions()
    for arg in ("--headless=new", "--no-sandbox", "--window-size=1200,860"):
        options.add_argument(arg)
    driver = webdriver.Chrome(options=options)
    try:
        driver.get((SITE / "index.html").resolve().as_uri())
        deadline = time.monotonic() + 20
        while driver.execute_script("return document.body.dataset.ready") != "1":
            if time.monotonic() > deadline:
                sys.exit("FAIL: the page did not load its module: " + str(driver.get_log("browser")))
            time.sleep(0.02)
        for test in (test_random_codes, test_joined_lines, test_caret, test_map, test_map_by_keys, test_finder, test_about):
            test(driver)
        builder_cases.test_builder(driver, check, cli_readings)
        builder_cases.test_steps(driver, check)
        builder_cases.test_post(driver, check, out)
        builder_cases.test_fields(driver, check, out)
        test_views(driver, out)
        builder_cases.screenshots(driver, out, VIEWS, set_view, check)
        check(not [e for e in driver.get_log("browser") if e["level"] == "SEVERE"], "errors in the console")
    finally:
        driver.quit()
    print(f"{len(failures)} failures; screenshots in {out}")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
