#!/usr/bin/python3
"""Fixes on the web page in headless Chromium: the page's fixes against zendric-read's,
their field ranges in fields with line breaks and pairs, the explanation on the rows,
the menu through real keys (a row's Fix... button and Ctrl+. in the field), applying as
one edit and Ctrl+Z giving the field back byte for byte, and a screenshot of the open
menu beside the browser test's.

usage: fixes_test.py SITE_DIR ZENDRIC_READ RANDOM_CODES SOURCE_DIR
"""
import json
import subprocess
import sys
import time

from selenium import webdriver
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

import browser_test as bt  # the same arguments; its check, views and failures
from browser_test import READER, SITE, check

ZZ = "ZN2.Dw Gm L12q Cbl|zz B- A(r+v-) Q"

# Faulty fields, one kind of fix or more each; where the field has line breaks, the code
# is the field with them taken out.
FAULTY = [
    ZZ,
    "zn2.dw Gm",                      # letter case of the prefix and the species
    "ZN2Dw Gm",                       # a missing dot
    "ZN2.Dw Gx A(r+v-",               # a code one letter away, a stray letter, a missing )
    "ZN2.Dw Gm Z L12m",               # a stray character
    "ZN2.Dw GM Cgrr",                 # letter case of a tag's code, one letter too many
    "ZN2.Dw \U0001F409\nGx Cbl|zz",   # a pair and a line break before the fixes
    "ZN2.Dw Gm \r\nL12q \nA(r+v-",    # line ends around an insertion at the end
]


def code_of(field):
    return field.replace("\r", "").replace("\n", "")


def cli_errors(code):
    out = subprocess.run([str(READER), "--json", code], capture_output=True, check=False).stdout
    return json.loads(out)["errors"]


def show(driver, text):
    driver.execute_script("""
      const f = document.getElementById('code');
      f.value = arguments[0];
      f.dispatchEvent(new Event('input', {bubbles: true}));""", text)


def wait_for(driver, script, what, seconds=10, *args):
    deadline = time.monotonic() + seconds
    while True:
        got = driver.execute_script(script, *args)
        if got:
            return got
        if time.monotonic() > deadline:
            check(False, f"timed out waiting for {what}")
            return got
        time.sleep(0.02)


# Each fix of each message as the page has it, and the field with it spliced in at its
# field range, line ends taken out.
PAGE_FIXES = """
const field = document.getElementById('code').value;
return [...document.getElementById('errors').children].map((li) => ZendricFixes.fixesOf(li.zendricIndex).map((f) => ({
  fix: {from: f.from, to: f.to, text: f.text, label: f.label},
  code: (field.slice(0, f.fieldFrom) + f.text + field.slice(f.fieldTo)).replace(/[\\r\\n]/g, '')})));
"""


def applied(code, fix):
    return code[:fix["from"] - 1] + fix["text"] + code[max(fix["to"], fix["from"] - 1):]


def test_same_fixes(driver):
    offered = 0
    for field in FAULTY:
        code = code_of(field)
        show(driver, field)
        page = driver.execute_script(PAGE_FIXES)
        cli = cli_errors(code)
        check([[f["fix"] for f in row] for row in page] == [e["fixes"] for e in cli],
              f"{field!r}: the page's fixes {page} are not zendric-read's {cli}")
        for row in page:
            for f in row:
                offered += 1
                check(f["code"] == applied(code, f["fix"]), f"{field!r}: {f['fix']['label']} at its field range gives "
                      f"{f['code']!r}, not {applied(code, f['fix'])!r}")
    check(offered >= 25, f"only {offered} fixes in the table")


def fix_buttons(driver):
    return driver.execute_script(
        "return [...document.querySelectorAll('#errors li')].map((li) => !li.querySelector('.fix-open.none'))")


def menu_state(driver):
    return driver.execute_script("""
      const popup = document.querySelector('.fix-popup');
      const a = document.activeElement;
      return {open: !popup.hidden, labels: [...popup.querySelectorAll('[role=menuitem]')].map((i) => i.textContent),
              focused: a.getAttribute('role') === 'menuitem' ? [...a.parentNode.children].indexOf(a) : -1,
              active: a.id || a.className, explained: document.getElementById('fix-explanation').textContent};""")


def field_state(driver):
    return driver.execute_script("const f = document.getElementById('code'); return [f.value, f.selectionStart];")


def press(driver, *keys):
    ActionChains(driver).send_keys(*keys).perform()


def ctrl(driver, key):
    ActionChains(driver).key_down(Keys.CONTROL).send_keys(key).key_up(Keys.CONTROL).perform()


def test_rows(driver):
    show(driver, ZZ)
    wait_for(driver, "return document.querySelectorAll('#errors .fix-open:not(.none)').length === 2", "the Fix buttons")
    titles = driver.execute_script("return [...document.querySelectorAll('#errors button[data-index]')].map((b) => b.title)")
    check(titles[1].startswith("Colour (C): ") and "au (gold)" in titles[1],
          f"the colour error's row explains {titles[1]!r}")
    positions = driver.execute_script("return [...document.querySelectorAll('#errors .pos')].map((p) => p.textContent)")
    check(positions == ["Position 14", "Position 22"], f"the rows show {positions}")
    # An error no edit mends: its row has no Fix button.
    show(driver, "zn2.dw Gm Z")
    wait_for(driver, "return document.querySelector('#errors .fix-open').classList.contains('none')", "the row asked")
    check(fix_buttons(driver) == [False] and cli_errors("zn2.dw Gm Z")[0]["fixes"] == [],
          f"Fix buttons {fix_buttons(driver)} for an error without fixes")


    # A list too long to make whole: rows scrolled into view are asked about too.
    show(driver, "ZN2.Dw" + " Z" * 300)
    wait_for(driver, "return !document.querySelector('#errors li .fix-open.none')", "the Fix buttons of the first rows")
    driver.execute_script("ZendricLists.named.errors.reveal(299).scrollIntoView()")
    wait_for(driver, """const rows = [...document.querySelectorAll('#errors li')];
      return rows.length < 300 && rows.some((li) => li.zendricIndex === 299 && !li.querySelector('.fix-open.none'))""",
             "a Fix button on the last row of 300, scrolled to")


def test_menu_by_keys(driver):
    field = driver.find_element(By.ID, "code")
    labels = [[f["label"] for f in e["fixes"]] for e in cli_errors(ZZ)]
    show(driver, ZZ)
    wait_for(driver, "return document.querySelectorAll('#errors .fix-open:not(.none)').length === 2", "the Fix buttons")
    # The row's button: Tab from the row's own button, Enter.
    driver.execute_script("document.querySelectorAll('#errors button[data-index]')[1].focus()")
    press(driver, Keys.TAB)
    check(driver.execute_script("return document.activeElement.matches('#errors li:nth-child(2) .fix-open')"),
          "Tab does not go from the row to its Fix button")
    press(driver, Keys.ENTER)
    state = menu_state(driver)
    check(state["open"] and state["labels"] == labels[1] and state["focused"] == 0,
          f"Enter on Fix... shows {state}, not {labels[1]}")
    check(state["explained"].startswith("Colour (C): "), f"the menu explains {state['explained']!r}")
    press(driver, Keys.ARROW_DOWN, Keys.ARROW_DOWN, Keys.ARROW_UP)
    check(menu_state(driver)["focused"] == 1, "the arrows do not move along the menu")
    press(driver, Keys.ARROW_UP, Keys.ARROW_UP)
    check(menu_state(driver)["focused"] == len(labels[1]) - 1, "ArrowUp on the first item does not go to the last")
    press(driver, Keys.ESCAPE)
    state = menu_state(driver)
    check(not state["open"] and "fix-open" in state["active"], f"Escape leaves {state}")
    check(field_state(driver)[0] == ZZ, "Escape changed the field")

    # Enter on the second fix: one edit, the caret behind it, and Ctrl+Z takes it back.
    press(driver, Keys.ENTER, Keys.ARROW_DOWN, Keys.ENTER)
    fixed = applied(ZZ, cli_errors(ZZ)[1]["fixes"][1])
    check(field_state(driver) == [fixed, 21], f"the second fix gives {field_state(driver)}, not {[fixed, 21]}")
    check(driver.execute_script("return document.activeElement.id") == "code", "the field has no focus after a fix")
    check(len(driver.find_elements(By.CSS_SELECTOR, "#errors li")) == 1, "the reading did not follow the fix")
    ctrl(driver, "z")
    check(field_state(driver)[0] == ZZ, f"Ctrl+Z gives {field_state(driver)[0]!r}, not the field before the fix")
    check(len(driver.find_elements(By.CSS_SELECTOR, "#errors li")) == 2, "the reading did not follow the undo")

    # Ctrl+. in the field, the caret just behind the q: that error's fixes; Enter applies
    # the first, Ctrl+Z takes it back.
    for text, caret, message in ((ZZ, 14, 0), (ZZ, 22, 1), ("ZN2.Dw \U0001F409\nGx Cbl|zz", 12, 1),
                                 ("ZN2.Dw Gm Z L12m", 11, 0), ("ZN2.Dw Gm \r\nL12q \nA(r+v-", 24, 1)):
        show(driver, text)
        before = field_state(driver)[0]  # a text area keeps a line feed for a CR LF
        driver.execute_script("arguments[0].focus(); arguments[0].setSelectionRange(arguments[1], arguments[1])",
                              field, caret)
        ctrl(driver, ".")
        errors = cli_errors(code_of(text))
        state = menu_state(driver)
        check(state["open"] and state["labels"] == [f["label"] for f in errors[message]["fixes"]],
              f"{text!r}: Ctrl+. at {caret} shows {state}, not the fixes of {errors[message]['message']}")
        press(driver, Keys.ENTER)
        got = code_of(field_state(driver)[0])
        check(got == applied(code_of(text), errors[message]["fixes"][0]), f"{text!r}: Enter gave {got!r}")
        ctrl(driver, "z")
        check(field_state(driver)[0] == before, f"{text!r}: Ctrl+Z gives {field_state(driver)[0]!r}")
        # Escape gives the focus back to the field, the caret where it was.
        ctrl(driver, ".")
        press(driver, Keys.ESCAPE)
        check(not menu_state(driver)["open"] and driver.execute_script("return document.activeElement.id") == "code",
              f"{text!r}: Escape after Ctrl+. does not return to the field")
    # Ctrl+. where no error is: no menu.
    show(driver, "ZN2.Dw Gm")
    ctrl(driver, ".")
    check(not menu_state(driver)["open"], "Ctrl+. opens a menu in a code without errors")


def test_picture(driver, out):
    for name, width, height, scale, dark in bt.VIEWS[:2] + bt.VIEWS[2:3]:
        bt.set_view(driver, width, height, scale, dark)
        show(driver, ZZ)
        driver.execute_script("window.scrollTo(0, 0)")
        wait_for(driver, "return document.querySelectorAll('#errors .fix-open:not(.none)').length === 2", "the Fix buttons")
        driver.execute_script("document.querySelectorAll('#errors .fix-open')[1].click()")
        overflow = driver.execute_script("""
          const r = document.querySelector('.fix-popup').getBoundingClientRect();
          return Math.max(0, r.right - document.documentElement.clientWidth, -r.left);""")
        check(overflow == 0, f"{name}: the fix menu sticks out of the view by {overflow} px")
        path = out / f"web-fix-menu-{name}.png"
        driver.save_screenshot(str(path))
        check(path.stat().st_size > 10000, f"{name}: screenshot {path} is nearly empty")
        press(driver, Keys.ESCAPE)
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
        wait_for(driver, "return document.body.dataset.ready === '1'", "the module", 20)
        for test in (test_same_fixes, test_rows, test_menu_by_keys):
            test(driver)
        test_picture(driver, out)
        check(not [e for e in driver.get_log("browser") if e["level"] == "SEVERE"], "errors in the console")
    finally:
        driver.quit()
    print(f"{len(bt.failures)} failures; screenshots in {out}")
    sys.exit(1 if bt.failures else 0)


if __name__ == "__main__":
    main()
