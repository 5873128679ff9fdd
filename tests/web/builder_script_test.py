#!/usr/bin/python3
"""The script of builder choices (tests/builder_script.json), played through the page's
builder in headless Chromium: each case gives the code the window's builder gives for
the same choices, which reads on the page as zendric-read reads it, without a message;
and every text of the script's list opens and builds again to the very same text.

usage: builder_script_test.py SITE_DIR ZENDRIC_READ RANDOM_CODES SOURCE_DIR
"""
import json
import sys
import time
from pathlib import Path

from selenium import webdriver

import browser_test
from browser_test import check, cli_readings
from builder_cases import BUILT, open_code, play

SCRIPT = json.loads((Path(__file__).resolve().parent.parent / "builder_script.json").read_text(encoding="utf-8"))


def test_script(driver):
    for case in SCRIPT["cases"]:
        name = case["tag"] or "Species"
        problems = play(driver, case["tag"], case["steps"])
        check(not problems, f"{name}: {problems}")
        code, lines, _, current = driver.execute_script(BUILT)
        expected = "ZN2." + case["item"] if case["tag"] is None else "ZN2.D " + case["item"]
        cli = cli_readings([code])[0]
        check(code == expected and current == case["item"], f"{name}: built {code!r} ({current!r}), not {expected!r}")
        check(lines == cli["lines"] and cli["errors"] == [], f"{name}: shown {lines}, read {cli}")


def test_unchanged(driver):
    for text in SCRIPT["unchanged"]:
        open_code(driver, text)
        built = driver.execute_script(BUILT)[0]
        check(built == text, f"opening {text!r} gave back {built!r}")


def main():
    options = webdriver.ChromeOptions()
    for arg in ("--headless=new", "--no-sandbox", "--window-size=1200,860"):
        options.add_argument(arg)
    driver = webdriver.Chrome(options=options)
    try:
        driver.get((browser_test.SITE / "index.html").resolve().as_uri())
        deadline = time.monotonic() + 20
        while driver.execute_script("return document.body.dataset.ready") != "1":
            if time.monotonic() > deadline:
                sys.exit("FAIL: the page did not load its module: " + str(driver.get_log("browser")))
            time.sleep(0.02)
        test_script(driver)
        test_unchanged(driver)
        check(not [e for e in driver.get_log("browser") if e["level"] == "SEVERE"], "errors in the console")
    finally:
        driver.quit()
    print(f"{len(browser_test.failures)} failures")
    sys.exit(1 if browser_test.failures else 0)


if __name__ == "__main__":
    main()
