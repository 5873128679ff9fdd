#!/usr/bin/python3
"""Keeping and sharing on the web page, in headless Chromium: the address after typing,
About, a reload, Back and malformed addresses; the field kept across a reload; Copy
link; the downloads and copies in each format against zendric-read --format; and the
printed page (Page.printToPDF) read back with pdftotext.

usage: share_test.py SITE_DIR ZENDRIC_READ
"""
import base64
import re
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path
from urllib.parse import quote

from selenium import webdriver
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "cli"))
from renderings_test import text_of  # noqa: E402  (html.parser, as the renderings test reads HTML)

SITE, READER = (Path(a) for a in sys.argv[1:3])
PAGE = (SITE / "index.html").resolve().as_uri()
failures = []

# Markup characters in the code and a quoted name, display lines, two messages.
MARKUP_CODE = 'ZN2.Dw B"<b>[b]*_`&amp;" Cgr^|bk,bye+ X A(r'


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, flush=True)


def wait_for(driver, script, want, seconds=5):
    deadline = time.monotonic() + seconds
    got = driver.execute_script(script)
    while got != want and time.monotonic() < deadline:
        time.sleep(0.05)
        got = driver.execute_script(script)
    return got


def load(driver, address):
    """A fresh load of the page at `address`, the module ready."""
    driver.get("about:blank")
    driver.get(address)
    wait_for(driver, "return document.body.dataset.ready || ''", "1", 20)


def field(driver):
    return driver.execute_script("return document.getElementById('code').value")


def message(driver):
    return driver.execute_script(
        "const m = document.getElementById('address-message'); return m.hidden ? '' : m.textContent")


def cli(fmt, code):
    return subprocess.run([str(READER), "--format", fmt, "--", code], capture_output=True).stdout.decode()


def test_address(driver):
    load(driver, PAGE + "#code=ZN2.Dw%20Gm")
    check(field(driver) == "ZN2.Dw Gm", "a linked code is not in the field: " + field(driver))
    entries = driver.execute_script("return history.length")
    box = driver.find_element(By.ID, "code")
    box.send_keys(Keys.END, " Gf")
    hash_ = wait_for(driver, "return location.hash", "#code=ZN2.Dw%20Gm%20Gf")
    check(hash_ == "#code=ZN2.Dw%20Gm%20Gf", "the address does not follow the typing: " + hash_)
    check(driver.execute_script("return history.length") == entries, "typing made history entries")

    driver.find_element(By.CSS_SELECTOR, ".about-link").click()
    time.sleep(0.2)
    check(driver.execute_script("return location.hash") == "#code=ZN2.Dw%20Gm%20Gf",
          "About took the code out of the address")
    check(driver.execute_script("return document.activeElement.id") == "about", "About is not shown")

    driver.refresh()
    wait_for(driver, "return document.body.dataset.ready || ''", "1", 20)
    check(field(driver) == "ZN2.Dw Gm Gf", "a reload lost the code: " + field(driver))

    # The field kept from the last visit, and a code in the address over it.
    load(driver, PAGE)
    check(field(driver) == "ZN2.Dw Gm Gf", "the field is not kept across a reload: " + field(driver))
    load(driver, PAGE + "#code=ZN2.Dw%20Gn&x=1")
    check(field(driver) == "ZN2.Dw Gn", "the address does not win, or '&x=1' went in: " + field(driver))
    check(message(driver) == "", "a message for a good address")

    # Another address (typed, or reached by Back) is read; malformed ones are told.
    driver.execute_script("location.hash = '#code=ZN2.Dw%20Gp'")
    check(wait_for(driver, "return document.getElementById('code').value", "ZN2.Dw Gp") == "ZN2.Dw Gp",
          "a changed address is not read")
    driver.back()
    check(wait_for(driver, "return document.getElementById('code').value", "ZN2.Dw Gn") == "ZN2.Dw Gn",
          "Back does not read the address: " + field(driver))
    for bad in ("#code=ZN2.Dw%ZZ", "#code=ZN2.Dw%20Gm%"):
        driver.execute_script("location.hash = arguments[0]", bad)
        time.sleep(0.2)
        check("no readable code" in message(driver), bad + ": no message above the field")
        check(field(driver) == "ZN2.Dw Gn", bad + ": the field changed to " + field(driver))
        load(driver, PAGE + bad)
        check("no readable code" in message(driver), bad + " on loading: no message")
        check(field(driver) != "", bad + " on loading: the kept field is gone")
    shown = driver.find_element(By.ID, "address-message").location["y"]
    check(shown < driver.find_element(By.ID, "code").location["y"], "the message is not above the field")


def stand_in_clipboard(driver):
    driver.execute_script("""
        window.__copied = null;
        Object.defineProperty(navigator, 'clipboard', {configurable: true,
          value: {writeText: (t) => { window.__copied = t; return Promise.resolve(); }}});
""")


def test_copy_link(driver):
    load(driver, PAGE + "#code=" + quote(MARKUP_CODE))
    stand_in_clipboard(driver)
    driver.find_element(By.ID, "copy-link").click()
    link = wait_for(driver, "return window.__copied", PAGE + "#code=" + quote(MARKUP_CODE, safe="~()*!.'"))
    check(link is not None and link.split("#")[0] == PAGE, "Copy link copied " + repr(link))
    # The copied link opens the same code.
    load(driver, link or PAGE)
    check(field(driver) == MARKUP_CODE, "the copied link opens another code: " + field(driver))


def test_downloads(driver):
    downloads = Path(tempfile.mkdtemp(prefix="zendric-downloads-"))
    driver.execute_cdp_cmd("Page.setDownloadBehavior", {"behavior": "allow", "downloadPath": str(downloads)})
    load(driver, PAGE + "#code=" + quote(MARKUP_CODE))
    stand_in_clipboard(driver)
    for key in ("text", "markdown", "bbcode", "html"):
        driver.execute_script("const s = document.getElementById('share-format'); s.value = arguments[0];"
                              "s.dispatchEvent(new Event('change'));", key)
        name = downloads / ("reading." + {"text": "txt", "markdown": "md"}.get(key, key))
        driver.find_element(By.ID, "share-download").click()
        deadline = time.monotonic() + 10
        while not name.exists() and time.monotonic() < deadline:
            time.sleep(0.05)
        time.sleep(0.1)
        downloaded = name.read_text(encoding="utf-8") if name.exists() else "(no file)"
        check(downloaded == cli(key, MARKUP_CODE), key + ": the download differs from zendric-read --format")
        driver.execute_script("window.__copied = null")
        driver.find_element(By.ID, "share-copy").click()
        copied = driver.execute_script("return window.__copied")
        want = cli(key, MARKUP_CODE)
        if key == "html":  # the copy is the fragment, for pasting into a page
            want = want.split("<body>\n", 1)[1].rsplit("</body>", 1)[0]
            check(text_of(downloaded) == cli("text", MARKUP_CODE), "the downloaded HTML's text differs")
        check(copied == want, key + ": the copy differs: " + repr(copied)[:200])
    shutil.rmtree(downloads)


def test_print(driver, out):
    load(driver, PAGE + "#code=" + quote(MARKUP_CODE))
    time.sleep(0.5)
    pdf = base64.b64decode(driver.execute_cdp_cmd("Page.printToPDF", {"printBackground": False})["data"])
    path = out / "page-print.pdf"
    path.write_bytes(pdf)
    text = " ".join(subprocess.run(["pdftotext", str(path), "-"], capture_output=True).stdout.decode().split())
    for part in (MARKUP_CODE, "I breathe <b>[b]*_`&amp;", "My belly is light yellow",
                 "Error: Invalid code at position 39 (X)", "position 44: Error: Missing ) in age tag"):
        check(part in text, "the printed page lacks " + part)
    for part in ("Make your own code", "Copy link", "About", "Random", "Download"):
        check(part not in text, "the printed page holds " + part)
    pages = subprocess.run(["pdfinfo", str(path)], capture_output=True).stdout.decode()
    check(re.search(r"^Pages:\s+1$", pages, re.M) is not None, "the printed page is not one page")
    subprocess.run(["pdftoppm", "-png", "-r", "60", "-singlefile", str(path), str(out / "page-print")], check=False)


def main():
    out = SITE.parent / "screenshots"
    out.mkdir(exist_ok=True)
    options = webdriver.ChromeOptions()
    for arg in ("--headless=new", "--no-sandbox", "--window-size=1200,860"):
        options.add_argument(arg)
    driver = webdriver.Chrome(options=options)
    try:
        test_address(driver)
        test_copy_link(driver)
        test_downloads(driver)
        test_print(driver, out)
        severe = [e["message"] for e in driver.get_log("browser") if e["level"] == "SEVERE"]
        check(not severe, "errors in the console: " + repr(severe)[:600])
    finally:
        driver.quit()
    print(f"{len(failures)} failures; the printed page in {out}")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
