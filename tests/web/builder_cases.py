"""The page's builder in the browser test's Chromium session: every kind of item edited
through the page's own controls gives the code expected, whose reading on the page is
zendric-read's and has no message; random personas; moving items; "Use this code" and
its undo; opened codes given back unchanged; screenshots of the builder."""
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select

# {tag added (None: the species), [(group, label, value)], the item's text}: a select
# takes an option's text, a check "on" or "off", a text field the keys typed, a button
# None. Groups are the legends on the page ("" for fields outside any).
CASES = [
    (None, [("Species", "Species", "Dwarf"), ("", "Add a species to the mix", None),
            ("Species 2", "Species", "Sea Serpent"), ("And", "And", "who looks like:")], "Hd+Dss^D"),
    (None, [("What I am", "What I am", "a shapechanger"), ("Form", "Which one", "a name of my own (Dragon)"),
            ("Form", "My own name", "ember Glow"), ("Form", "who changes shape occasionally", "on")], '~D"emberlow"~'),
    ("Width", [("", "Width", "'I'm a little on the broad side!'")], "W+"),
    ("Fruitiness", [("", "I have joined, left, returned, etc.", "on")], "Fr+++!^"),
    ("Irritability", [("", "But when I do get angry, I hope you like barbeque!", "on")], "I+++!#"),
    ("Technology", [("", "My specialist field (none when empty)", "alc]hemy")], "Tc+++![alchemy]"),
    ("Mating status", [("", "Mating status", "I'm seeing someone."), ("", "How many mates (0: not said)", "3"),
                       ("", "My mate is dead", "on"), ("", "Conspiracy", "I'm a member of the XY conspiracy!")], "M+3_xy"),
    ("Age", [("", "Add an entry for another life", None), ("Entry 2", "Age", "Elder")], "A(r+++!v++)"),
    ("Offspring", [("", "Offspring", "I have … hatchlings that have flown the coop."), ("", "How many hatchlings", "12")], "O-12"),
    ("Gender", [("", "I'm", "a male"), ("", "Add a gender", None), ("Gender 2", "Then", "changing into"),
                ("Gender 2", "I'm", "a female")], "Gm>f"),
    ("Length", [("", "Given as", "a number with a unit"), ("", "Number", "12.5"), ("", "Unit", "feet"),
                ("", "Add a body part", None), ("Body part", "Body part", "a … long tail")], "L12.5f1t"),
    ("Weight", [("", "Weight", "massive - 'The ground shakes when I land!'")], "T+++"),
    ("Colour", [("My colour", "Colour", "green"), ("My colour", "Shade", "dark"), ("My colour", "glittery", "on"),
                ("My colour", "Pattern with the next colour", "… with … stripes"),
                ("My colour, colour 2", "Colour", "black")], "Cgr-!|bk"),
    ("Breath weapon", [("Breath weapon", "I breathe", "ice"), ("Breath weapon", "Shape", "beams of"),
                       ("Breath weapon", "A word in front (none when empty)", "hot")], 'Bic"hot"|'),
    ("Diet", [("What I eat", "I eat meat", "on"), ("What I eat", "I eat any meat", "on")], "Fc~"),
    ("Appendages", [("Appendage", "Appendage", "wings"), ("Appendage", "How many", "a number"),
                    ("Appendage", "Number", "4"), ("Appendage", "webbed", "on")], "Pw4^"),
    ("Skin", [("I have", "scales", "on"), ("I have", "bark", "off"), ("", "Add a body part", None),
              ("My arms have", "leather", "on")], "Sks,abl"),
]

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


def test_builder(driver, check, cli_readings):
    for tag, steps, text in CASES:
        open_code(driver, "ZN2.D")
        if tag is not None:
            Select(driver.find_element(By.ID, "builder-tag")).select_by_visible_text(
                next(o.text for o in Select(driver.find_element(By.ID, "builder-tag")).options if o.text.startswith(tag + " (")))
            driver.find_element(By.ID, "builder-add").click()
        for group, label, value in steps:
            problem = choose(driver, group, label, value)
            check(problem is None, f"{tag or 'Species'}: {problem}")
        code, lines, _, current = driver.execute_script(BUILT)
        expected = "ZN2." + text if tag is None else "ZN2.D " + text
        cli = cli_readings([code])[0]
        check(code == expected and current == text, f"{tag or 'Species'}: built {code!r} ({current!r}), not {expected!r}")
        check(lines == cli["lines"] and cli["errors"] == [], f"{tag or 'Species'}: shown {lines}, read {cli}")

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
