"""The page's builder in the browser test's Chromium session: the species search, random
personas; moving items; "Use this code" and its undo; opened codes given back unchanged;
screenshots of the builder. The script of choices for every kind of item is played by
builder_script_test.py, with helpers from here."""
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select

BUILT = """
return [document.getElementById('builder-code').textContent,
        [...document.getElementById('builder-reading').children].map((li) =>
          [...li.childNodes].map((n) => n.nodeName === 'BR' ? '\\r' : n.textContent).join('')),
        [...document.querySelectorAll('#builder-items li')].map((li) => li.querySelector('code').textContent),
        document.querySelector('#builder-items [aria-current]')?.querySelector('code').textContent];
"""

# The control labelled `label` inside the group whose legend is `group`.
FIND = """
const [group, label] = arguments;
const boxes = [...document.querySelectorAll('#builder-choices > *')].filter((b) =>
    group ? b.tagName === 'FIELDSET' && b.querySelector('legend').textContent === group : b.tagName !== 'FIELDSET');
for (const box of boxes) {
  for (const b of box.querySelectorAll('button')) if (b.textContent === label) return b;
  for (const l of box.querySelectorAll('label')) if (l.textContent === label) return document.getElementById(l.htmlFor);
}
return null;
"""


def open_code(driver, code):
    driver.execute_script("const f = document.getElementById('code'); f.value = arguments[0];"
                          "f.dispatchEvent(new Event('input', {bubbles: true}));", code)
    driver.find_element(By.ID, "builder-open").click()


def choose(driver, group, label, value):
    control = driver.execute_script(FIND, group, label)
    if control is None:
        return f"no control {label!r} in {group!r}"
    if control.tag_name == "select":
        # Kinds below kinds are indented with no-break spaces.
        values = [o.get_attribute("value") for o in Select(control).options if o.text.replace("\xa0", " ").strip() == value]
        if not values:
            return f"no option {value!r} in {label!r}"
        Select(control).select_by_value(values[0])
    elif control.tag_name == "button":
        control.click()
    elif control.get_attribute("type") == "checkbox":
        if control.is_selected() != (value == "on"):
            control.send_keys(Keys.SPACE)  # by keyboard
    else:
        control.send_keys(Keys.CONTROL, "a")
        control.send_keys(Keys.DELETE, value)
    return None


def play(driver, tag, steps):
    """Opens "ZN2.D", adds the tag (None: none, the species is chosen) and gives each
    step's value to the control of its group and label; the problems met."""
    open_code(driver, "ZN2.D")
    if tag is not None:
        Select(driver.find_element(By.ID, "builder-tag")).select_by_visible_text(
            next(o.text for o in Select(driver.find_element(By.ID, "builder-tag")).options if o.text.startswith(tag + " (")))
        driver.find_element(By.ID, "builder-add").click()
    return [p for p in (choose(driver, group, label, value) for group, label, value in steps) if p is not None]


def test_builder(driver, check, cli_readings):
    # The species list narrows to the kinds holding what is typed in its search field.
    open_code(driver, "ZN2.D")
    driver.execute_script(FIND, "Species", "Search: species").send_keys("leop")
    shown = driver.execute_script("return [...arguments[0].options].filter((o) => !o.hidden).map((o) => o.text.trim())",
                                  driver.execute_script(FIND, "Species", "Species"))
    check(shown == ["Dragon", "Leopard", "Snow Leopard"], f"searching the species for 'leop' leaves {shown}")

    # Random personas read without a message, and the page shows zendric-read's reading.
    for _ in range(5):
        driver.find_element(By.ID, "builder-random").click()
        code, lines, items, _ = driver.execute_script(BUILT)
        cli = cli_readings([code])[0]
        check(cli["errors"] == [] and lines == cli["lines"] and len(items) > 2,
              f"random persona {code!r}: {cli['errors']}, shown {lines}")
    # Moving the second item down swaps it with the third; the species does not move.
    driver.find_elements(By.CSS_SELECTOR, "#builder-items button")[1].click()
    before = driver.execute_script(BUILT)[2]
    driver.find_element(By.ID, "builder-down").click()
    after = driver.execute_script(BUILT)[2]
    check(after == [before[0], before[2], before[1]] + before[3:], f"moving down gave {after} from {before}")
    check(driver.find_element(By.ID, "builder-up").is_enabled(), "the moved item cannot move back up")
    driver.find_elements(By.CSS_SELECTOR, "#builder-items button")[0].click()
    check(not driver.find_element(By.ID, "builder-up").is_enabled() and not driver.find_element(By.ID, "builder-down").is_enabled(),
          "the species can be moved")

    # An item is added behind the one chosen.
    open_code(driver, "ZN2.D Gm L")
    driver.find_elements(By.CSS_SELECTOR, "#builder-items button")[1].click()
    Select(driver.find_element(By.ID, "builder-tag")).select_by_visible_text("Width (W)")
    driver.find_element(By.ID, "builder-add").click()
    code, _, _, current = driver.execute_script(BUILT)
    check(code == "ZN2.D Gm W+++! L" and current == "W+++!", f"Width added behind Gm gave {code!r}, chosen {current!r}")

    # Use this code puts the code in the field as one edit, which Ctrl+Z takes back.
    field = driver.find_element(By.ID, "code")
    driver.execute_script("arguments[0].value = 'ZN2.Dx Gq'; arguments[0].dispatchEvent(new Event('input'))", field)
    code = driver.execute_script(BUILT)[0]
    driver.find_element(By.ID, "builder-use").click()
    check(field.get_attribute("value") == code, "Use this code did not put the code in the field")
    field.send_keys(Keys.CONTROL, "z")
    check(field.get_attribute("value") == "ZN2.Dx Gq", f"undo after Use this code gave {field.get_attribute('value')!r}")

    # Any text opens and builds again to the same characters; a kept item shows its message.
    for text in ("ZN2.Dw Gm  Xq {", "Hello ZN2.Dw", "ZN2.Dw+Hd^Mfps{Gm} Gm>f/h L3.5m2a2l4w C~ \U0001F409"):
        open_code(driver, text)
        check(driver.execute_script(BUILT)[0] == text, f"opening {text!r} did not give it back")
    open_code(driver, "ZN2.Dw Wq Gm")
    shown = [li.text for li in driver.find_elements(By.CSS_SELECTOR, "#builder-messages li")]
    read = [f"Position {p}: {m}" for p, m in cli_readings(["ZN2.Dw Wq Gm"])[0]["errors"]]
    check(shown == read and read, f"the built code's messages are shown as {shown}, not {read}")
    driver.find_elements(By.CSS_SELECTOR, "#builder-items button")[1].click()
    notes = [n.text for n in driver.find_elements(By.CSS_SELECTOR, "#builder-choices .note")]
    message = cli_readings(["ZN2. Wq"])[0]["errors"][0][1]
    check(notes == ["Wq", message], f"the kept item shows {notes}, not its message {message!r}")


def screenshots(driver, out, views, set_view, check):
    """The builder with a colour item chosen, wide and phone, light and dark."""
    open_code(driver, "ZN2.Dw^Mf Gm>f Cgr!-|bk,wre Bic\"hot\"| L12m3t Sks,abl")
    driver.find_elements(By.CSS_SELECTOR, "#builder-items button")[2].click()
    for name, width, height, scale, dark in views:
        set_view(driver, width, height, scale, dark)
        overflow = driver.execute_script(
            "document.getElementById('builder').scrollIntoView(); "
            "return document.documentElement.scrollWidth - document.documentElement.clientWidth")
        check(overflow <= 0, f"builder {name}: the page is {overflow} px wider than the view")
        driver.save_screenshot(str(out / f"web-builder-{name}.png"))
