"""The page's builder in the browser test's Chromium session: the species search, random
personas; moving items; "Use this code" and its undo; opened codes given back unchanged;
undo and redo through the keys; codes of a post opened and put back; kept items, number
fields and the species list's type-ahead; screenshots of the builder. The script of choices for every kind of item is played by
builder_script_test.py, with helpers from here."""
from selenium.webdriver.common.action_chains import ActionChains
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

    # Use this code puts the code in the field as one edit, which Ctrl+Z takes back; the
    # text it was opened from is gone, so it goes behind the field on a line of its own.
    field = driver.find_element(By.ID, "code")
    driver.execute_script("arguments[0].value = 'ZN2.Dx Gq'; arguments[0].dispatchEvent(new Event('input'))", field)
    code = driver.execute_script(BUILT)[0]
    driver.find_element(By.ID, "builder-use").click()
    check(field.get_attribute("value") == "ZN2.Dx Gq\n" + code, f"Use this code made the field {field.get_attribute('value')!r}")
    field.send_keys(Keys.CONTROL, "z")
    check(field.get_attribute("value") == "ZN2.Dx Gq", f"undo after Use this code gave {field.get_attribute('value')!r}")

    # Any text opens and builds again to the same characters; a kept item shows its message.
    # A post opens the code the found-code bar offers.
    for text, opened in (("ZN2.Dw Gm  Xq {", "ZN2.Dw Gm  Xq {"), ("Hello ZN2.Dw", "ZN2.Dw"),
                         ("ZN2.Dw+Hd^Mfps{Gm} Gm>f/h L3.5m2a2l4w C~ \U0001F409",) * 2):
        open_code(driver, text)
        check(driver.execute_script(BUILT)[0] == opened, f"opening {text!r} gave {driver.execute_script(BUILT)[0]!r}")
    open_code(driver, "ZN2.Dw Wq Gm")
    shown = [li.text for li in driver.find_elements(By.CSS_SELECTOR, "#builder-messages li")]
    read = [f"Position {p}: {m}" for p, m in cli_readings(["ZN2.Dw Wq Gm"])[0]["errors"]]
    check(shown == read and read, f"the built code's messages are shown as {shown}, not {read}")
    driver.find_elements(By.CSS_SELECTOR, "#builder-items button")[1].click()
    notes = [n.text for n in driver.find_elements(By.CSS_SELECTOR, "#builder-choices .note")]
    written = driver.execute_script(FIND, "", "As written").get_attribute("value")
    message = cli_readings(["ZN2. Wq"])[0]["errors"][0][1]
    check([written] + notes == ["Wq", message], f"the kept item shows {written!r}, {notes}, not its message {message!r}")


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


def press(driver, *keys, shift=False):
    """A chord with Ctrl held (and Shift), sent to the element with the focus."""
    chain = ActionChains(driver).key_down(Keys.CONTROL)
    if shift:
        chain = chain.key_down(Keys.SHIFT)
    chain = chain.send_keys(*keys)
    if shift:
        chain = chain.key_up(Keys.SHIFT)
    chain.key_up(Keys.CONTROL).perform()


def item_button(driver, index):
    return driver.find_elements(By.CSS_SELECTOR, "#builder-items button")[index]


def add_tag(driver, title):
    Select(driver.find_element(By.ID, "builder-tag")).select_by_visible_text(title)
    driver.find_element(By.ID, "builder-add").click()


def set_field(driver, text):
    driver.execute_script("const f = document.getElementById('code'); f.value = arguments[0];"
                          "f.dispatchEvent(new Event('input', {bubbles: true}));", text)


def test_steps(driver, check):
    """Every kind of step, taken back one by one with Ctrl+Z to where the sequence
    started and done again with Ctrl+Shift+Z and Ctrl+Y, the code checked at each."""
    code = lambda: driver.execute_script(BUILT)[0]
    codes = [code()]
    set_field(driver, "ZN2.Dw Gm L12m")
    steps = [
        ("opening", lambda: driver.find_element(By.ID, "builder-open").click()),
        ("choice", lambda: (item_button(driver, 1).click(), check(choose(driver, "", "I'm", "a female") is None, "no I'm"))),
        ("typing", lambda: (item_button(driver, 2).click(),
                            driver.execute_script(FIND, "", "Number").send_keys(Keys.END, Keys.BACKSPACE, "30"),
                            driver.find_element(By.ID, "builder-page-heading").click())),
        ("Add", lambda: add_tag(driver, "Width (W)")),
        ("Move", lambda: driver.find_element(By.ID, "builder-up").click()),
        ("Remove", lambda: (item_button(driver, 1).click(), driver.find_element(By.ID, "builder-remove").click())),
        ("Random", lambda: driver.find_element(By.ID, "builder-random").click()),
    ]
    for name, step in steps:
        step()
        codes.append(code())
        check(codes[-1] != codes[-2], f"the step {name} left the code {codes[-1]!r}")
    check(codes[1:4] == ["ZN2.Dw Gm L12m", "ZN2.Dw Gf L12m", "ZN2.Dw Gf L130m"], f"the steps gave {codes}")
    for at in range(len(steps) - 1, -1, -1):
        press(driver, "z")
        check(code() == codes[at], f"Ctrl+Z back to step {at} gave {code()!r}, not {codes[at]!r}")
        if at == 2:
            current = driver.execute_script(BUILT)[3]
            check(current == "L12m", f"undoing the typing selects {current!r}, not the length")
    for at in range(1, len(steps) + 1):
        if at % 2:
            press(driver, "z", shift=True)
        else:
            press(driver, "y")
        check(code() == codes[at], f"redo to step {at} gave {code()!r}, not {codes[at]!r}")
    check(driver.find_element(By.ID, "builder-redo").get_attribute("disabled") is not None, "Redo stays enabled at the end")


# A post with two codes, as a textarea holds it (line feeds only).
POST = "Hi all,\n\nMine: ZN2.Dw Gm L12m   \nand my mate's one:\nZN2.Dr Gf\n W+\n\nBye!\n"
# {the code found, the characters of the post it stands in, the code with a width added
# behind its last item}.
POST_CODES = [("ZN2.Dw Gm L12m", "ZN2.Dw Gm L12m", "ZN2.Dw Gm L12m W+++!"),
              ("ZN2.Dr Gf W+", "ZN2.Dr Gf\n W+", "ZN2.Dr Gf W+ W+++!")]


def test_post(driver, check, out):
    """Each code of a post opened from the found list, used unchanged and changed: the
    rest of the post stays byte for byte, and Ctrl+Z in the field brings the post back."""
    field = driver.find_element(By.ID, "code")
    set_field(driver, POST)
    value = lambda: field.get_attribute("value")
    for i, (found, written, changed) in enumerate(POST_CODES):
        driver.find_elements(By.CSS_SELECTOR, "#found button.build")[i].click()
        built = driver.execute_script(BUILT)[0]
        check(built == found, f"opening code {i} of the post gave {built!r}")
        if i == 1:  # the post, its found codes and the builder in one picture
            driver.set_window_size(1200, 1900)
            driver.execute_script("window.scrollTo(0, 0)")
            driver.save_screenshot(str(out / "web-builder-post.png"))
            driver.set_window_size(1200, 860)
        driver.find_element(By.ID, "builder-use").click()
        check(value() == POST, f"using code {i} unchanged made the field {value()!r}")
        item_button(driver, len(driver.execute_script(BUILT)[2]) - 1).click()
        add_tag(driver, "Width (W)")
        driver.find_element(By.ID, "builder-use").click()
        expected = POST.replace(written, changed)
        check(value() == expected, f"using code {i} changed made the field {value()!r}, not {expected!r}")
        field.send_keys(Keys.CONTROL, "z")
        check(value() == POST, f"Ctrl+Z after using code {i} left {value()!r}")
        # The code chosen in the list stays the one "Open the code above" opens.
        driver.find_element(By.ID, "builder-open").click()
        check(driver.execute_script(BUILT)[0] == found, f"Open the code above after code {i}: {driver.execute_script(BUILT)[0]!r}")


def test_fields(driver, check, out):
    """A kept item edited in place; a number field refusing what it will not write;
    the species list's type-ahead choosing only when the choice is made."""
    # Number fields: what is refused stays typed, with the reason beside it; the code
    # keeps the last value taken (typed key by key: "1" of "1e3"); the next value taken
    # clears the reason. None: the code does not hold what was typed.
    open_code(driver, "ZN2.Dw L12m")
    item_button(driver, 1).click()
    number = driver.execute_script(FIND, "", "Number")
    for typed, expected, refused in (("1e3", "ZN2.Dw L1m", True), ("30", "ZN2.Dw L30m", False),
                                     ("12345678901234567890", None, True), ("4.5", "ZN2.Dw L4.5m", False)):
        number.send_keys(Keys.CONTROL, "a")
        number.send_keys(typed)
        why = driver.execute_script("const n = document.getElementById(arguments[0].getAttribute('aria-describedby'));"
                                    "return n && !n.hidden ? n.textContent : ''", number)
        built = driver.execute_script(BUILT)[0]
        shown = [built if expected is not None or typed in built else None, number.get_attribute("value"),
                 number.get_attribute("aria-invalid") == "true"]
        check(shown == [expected, typed, refused] and (why != "") == refused, f"typing {typed!r}: {shown}, {why!r}")
        if typed == "1e3":
            driver.save_screenshot(str(out / "web-builder-refused.png"))

    # Type-ahead in the species list: "Sea" moves through the list without choosing;
    # Enter chooses, as one step, what picking it gives.
    open_code(driver, "ZN2.D")
    species = driver.execute_script(FIND, "Species", "Species")
    species.send_keys("Sea")
    check(driver.execute_script(BUILT)[0] == "ZN2.D", f"typing 'Sea' in the species chose {driver.execute_script(BUILT)[0]!r}")
    picked = Select(species).first_selected_option.text.strip()
    check(picked.startswith("Sea"), f"typing 'Sea' moved to {picked!r}")
    species.send_keys(Keys.ENTER)
    by_keys = driver.execute_script(BUILT)[0]
    value = driver.execute_script(FIND, "Species", "Species").get_attribute("value")
    press(driver, "z")
    check(driver.execute_script(BUILT)[0] == "ZN2.D", "Enter in the species list was not one step")
    Select(driver.execute_script(FIND, "Species", "Species")).select_by_value(value)
    check(by_keys != "ZN2.D" and by_keys == driver.execute_script(BUILT)[0], f"Enter chose {by_keys!r}, picking gives "
          f"{driver.execute_script(BUILT)[0]!r}")

    # Enter in the species search picks the first kind left.
    driver.execute_script(FIND, "Species", "Search: species").send_keys("hydra", Keys.ENTER)
    picked = Select(driver.execute_script(FIND, "Species", "Species")).first_selected_option.text.strip()
    check(picked == "Hydra" and driver.execute_script(BUILT)[0] != by_keys, f"Enter in the search for 'hydra' chose {picked!r}")

    # Kept items: the item list and the code follow each key, the caret stays.
    open_code(driver, "ZN2.Dw L12q Gm")
    item_button(driver, 1).click()
    kept = driver.execute_script(FIND, "", "As written")
    check(kept is not None and kept.tag_name == "input", "a kept item has no text field As written")
    if kept is None or kept.tag_name != "input":
        return
    edits = [((Keys.END, Keys.BACKSPACE), "ZN2.Dw L12 Gm", 3), (("m",), "ZN2.Dw L12m Gm", 4)]
    for keys, expected, caret in edits:
        kept.send_keys(*keys)
        built, _, items, _ = driver.execute_script(BUILT)
        focus = driver.execute_script("const a = document.activeElement; return [a.id, a.selectionStart]")
        check(built == expected and items[1] == expected.split(" ")[1], f"editing the kept item gave {built!r}, {items}")
        check(focus == [kept.get_attribute("id"), caret], f"editing the kept item left the focus at {focus}")
    driver.save_screenshot(str(out / "web-builder-kept.png"))
    kept.send_keys(Keys.TAB)
