#!/usr/bin/python3
"""The web page as an app, served by tools/serve on a free port of 127.0.0.1 from a copy
of the site: its manifest and icons, the service worker, a reload without a network, a
new version of the site, nothing moving while it loads, and axe-core over each state
of the page, the fix menu open among them. Saves screenshots of the page offline and of
the update message beside the site's others.

usage: app_test.py SITE_DIR ZENDRIC_READ SOURCE_DIR AXE_JS
"""
import json
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import urllib.request
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.common.by import By

SITE, READER, SOURCE, AXE = (Path(a) for a in sys.argv[1:5])
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, flush=True)


class Server:
    """tools/serve over a folder, on the port it picked the first time."""

    def __init__(self, folder):
        self.folder, self.port, self.process = folder, 0, None

    def start(self):
        self.process = subprocess.Popen([str(SOURCE / "tools/serve"), str(self.port), "--dir", str(self.folder)],
                                        stdout=subprocess.PIPE, text=True)
        line = self.process.stdout.readline()
        self.port = int(line.rsplit(":", 1)[1].split("/")[0])
        return f"http://127.0.0.1:{self.port}/"

    def stop(self):
        if self.process:
            self.process.terminate()
            self.process.wait(10)
            self.process = None


def wait_for(driver, script, what, seconds=20):
    deadline = time.monotonic() + seconds
    while True:
        value = driver.execute_script(script)
        if value:
            return value
        if time.monotonic() > deadline:
            check(False, f"timed out waiting for {what}")
            return value
        time.sleep(0.05)


def open_page(driver, url):
    driver.get(url)
    wait_for(driver, "return document.body.dataset.ready === '1'", f"the module at {url}")


def png_size(path):
    head = path.read_bytes()[:24]
    return struct.unpack(">II", head[16:24]) if head[:8] == b"\x89PNG\r\n\x1a\n" else None


# {file in the site, Content-Type tools/serve must give}: a .wasm stands in for one.
SERVED_TYPES = [
    ("manifest.webmanifest", "application/manifest+json"),
    ("probe.wasm", "application/wasm"),
    ("sw.js", "text/javascript"),
    ("icon-192.png", "image/png"),
]


def test_serve(url, folder):
    (folder / "probe.wasm").write_bytes(b"\0asm\1\0\0\0")
    for file, expected in SERVED_TYPES:
        with urllib.request.urlopen(url + file) as response:
            check(response.headers.get_content_type() == expected,
                  f"tools/serve gives {file} as {response.headers.get_content_type()}, not {expected}")
    (folder / "probe.wasm").unlink()


# Of a maskable icon, the pixels outside the circle every mask keeps (80 % of the side)
# that are not the corner's colour, and the ones not opaque; of another icon, how many
# corner pixels are opaque.
ICON_PIXELS = """
const done = arguments[arguments.length - 1];
const image = new Image();
image.onload = () => {
  const n = image.naturalWidth, canvas = document.createElement('canvas');
  canvas.width = canvas.height = n;
  const context = canvas.getContext('2d');
  context.drawImage(image, 0, 0);
  const px = context.getImageData(0, 0, n, n).data;
  let outside = 0, seeThrough = 0;
  for (let y = 0; y < n; ++y) for (let x = 0; x < n; ++x) {
    const i = 4 * (y * n + x);
    if (px[i + 3] < 255) ++seeThrough;
    const r = Math.hypot(x + 0.5 - n / 2, y + 0.5 - n / 2);
    if (r > 0.4 * n && [0, 1, 2, 3].some((k) => px[i + k] !== px[k])) ++outside;
  }
  done([n, outside, seeThrough, px[3]]);
};
image.onerror = () => done(null);
image.src = arguments[0];
"""


def test_manifest(driver, folder):
    got = driver.execute_cdp_cmd("Page.getAppManifest", {})
    check(got.get("errors") == [], f"manifest errors: {got.get('errors')}")
    manifest = json.loads(got.get("data") or "{}")
    for key, value in (("display", "standalone"), ("start_url", "./"), ("name", "Zendric 2 reader"),
                       ("short_name", "Zendric 2")):
        check(manifest.get(key) == value, f"manifest {key}: {manifest.get(key)!r}")
    check(manifest.get("theme_color") != manifest.get("color_scheme_dark", {}).get("theme_color"),
          "the manifest has no colours of its own for the dark scheme")
    icons = {(i["sizes"], i.get("purpose", "any")): i["src"] for i in manifest.get("icons", [])}
    for sizes, purpose in (("192x192", "any"), ("512x512", "any"), ("512x512", "maskable")):
        src = icons.get((sizes, purpose))
        check(src and png_size(folder / src) == tuple(map(int, sizes.split("x"))),
              f"no {purpose} icon of {sizes} in the site: {icons}")
        pixels = driver.execute_async_script(ICON_PIXELS, src) if src else None
        if pixels and purpose == "maskable":
            check(pixels[1:3] == [0, 0], f"{src}: {pixels[1]} pixels of the drawing outside the safe circle, "
                                         f"{pixels[2]} not opaque")
        elif pixels:
            check(pixels[3] == 0 and pixels[2] > pixels[0] ** 2 // 4, f"{src}: its background is not transparent")
    errors = driver.execute_cdp_cmd("Page.getInstallabilityErrors", {}).get("installabilityErrors")
    check(errors == [], f"not installable: {errors}")


WORKER = """
const done = arguments[arguments.length - 1];
navigator.serviceWorker.ready.then(async (registration) => {
  const worker = registration.active;
  if (worker.state !== 'activated') await new Promise((up) => worker.addEventListener('statechange', up));
  const names = await caches.keys();
  const files = names.length !== 1 ? [] : (await (await caches.open(names[0])).keys())
      .map((request) => new URL(request.url).pathname.slice(1)).sort();
  done([registration.active.state, navigator.serviceWorker.controller !== null, names, files]);
});
"""


def site_files(folder):
    return sorted(str(p.relative_to(folder)) for p in folder.rglob("*") if p.is_file() and p.name != "sw.js")


def test_worker(driver, url, folder):
    state, controlled, names, files = driver.execute_async_script(WORKER)
    check(state == "activated" and not controlled, f"first visit: worker {state}, page controlled: {controlled}")
    check(files == site_files(folder), f"cached {files}, not the site's {site_files(folder)}")
    open_page(driver, url)
    state, controlled, _, _ = driver.execute_async_script(WORKER)
    check(state == "activated" and controlled, f"second visit: worker {state}, page controlled: {controlled}")
    check(not driver.find_elements(By.ID, "updated"), "the first version says it was updated")
    return names


def cli_reading(code):
    out = subprocess.run([str(READER), "--json", code], capture_output=True, check=False).stdout
    return json.loads(out)["lines"]


# Five items in the builder: the mistyped "Xq" is kept together as one.
OFFLINE_CODE = "ZN2.Dw+Hew Gm/f L12m6t20w Cgr^|bk,bye+ Xq"

READ_AND_BUILD = """
const field = document.getElementById('code');
field.value = arguments[0];
field.dispatchEvent(new Event('input', {bubbles: true}));
document.getElementById('builder-open').click();
return [[...document.getElementById('reading').children].map((li) =>
          [...li.childNodes].map((n) => n.nodeName === 'BR' ? '\\r' : n.textContent).join('')),
        document.getElementById('builder-code').textContent,
        document.querySelectorAll('#builder-items li').length];
"""


def test_offline(driver, url, server, out):
    server.stop()
    driver.execute_cdp_cmd("Network.enable", {})
    driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
        "offline": True, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
    try:
        open_page(driver, url + "index.html")
        lines, built, items = driver.execute_script(READ_AND_BUILD, OFFLINE_CODE)
        check(lines == cli_reading(OFFLINE_CODE), f"offline the page reads {lines}")
        check(built == OFFLINE_CODE and items == 5, f"offline the builder opened {built!r} as {items} items")
        driver.execute_script("window.scrollTo(0, 0)")
        path = out / "web-offline.png"
        driver.save_screenshot(str(path))
        check(path.stat().st_size > 10000, f"screenshot {path} is nearly empty")
    finally:
        driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
            "offline": False, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
        server.start()


def test_update(driver, url, folder, old_caches, out):
    # A new build: one file changes, and the worker is written again as the build writes it.
    index = folder / "index.html"
    index.write_text(index.read_text(encoding="utf-8").replace("<title>Zendric 2 reader", "<title>Zendric 2 reader new"),
                     encoding="utf-8")
    subprocess.run(["cmake", f"-DSITE={folder}", f"-DTEMPLATE={SOURCE / 'web/site/sw.js'}",
                    "-P", str(SOURCE / "web/SiteWorker.cmake")], check=True)
    open_page(driver, url)
    check(driver.title == "Zendric 2 reader", f"the new version swapped in under the page: {driver.title!r}")
    said = wait_for(driver, "const bar = document.getElementById('updated'); return bar && bar.textContent",
                    "the update message")
    check(said and said.startswith("Updated: reload to use the new version"), f"the update message is {said!r}")
    violations = axe(driver, {"include": [["#updated"]]}) + axe(driver, {"include": [["#updated"]]}, {"runOnly": ["target-size"]})
    check(violations == [], f"axe, the update message: {violations}")
    driver.save_screenshot(str(out / "web-updated.png"))
    open_page(driver, url)
    _, controlled, names, files = driver.execute_async_script(WORKER)
    check(driver.title == "Zendric 2 reader new", f"a reload after the update shows {driver.title!r}")
    check(controlled and len(names) == 1 and names != old_caches and files == site_files(folder),
          f"after the update the caches are {names} (before: {old_caches})")
    check(not driver.find_elements(By.ID, "updated"), "the new version says it was updated again")


# Layout shifts since the page started loading, the module's arrival among them, with
# the processor four times slower so that the page is painted before the module is ready.
SHIFTS = """
const done = arguments[arguments.length - 1];
new PerformanceObserver((list) => done(list.getEntries().map((e) => [e.value,
    e.sources.map((s) => s.node ? s.node.id || s.node.className : '?')])))
  .observe({type: 'layout-shift', buffered: true});
setTimeout(() => done([]), 300);
"""


def test_no_shift(driver, url):
    # A first visit, as Lighthouse measures it: no field kept from the tests before. The
    # page before keeps its field a moment after the last input, maybe after the clear:
    # its field is emptied first.
    driver.execute_script("const f = document.getElementById('code'); f.value = '';"
                          "f.dispatchEvent(new Event('input', {bubbles: true})); localStorage.clear()")
    driver.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": 4})
    for width, height in ((1200, 860), (412, 823)):
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                               {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": width < 500})
        open_page(driver, url)
        paints = driver.execute_script("return performance.getEntriesByType('paint').length")
        shifts = driver.execute_async_script(SHIFTS)
        check(paints > 0 and shifts == [], f"{width}x{height}: layout shifts while loading: {shifts}")
    driver.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": 1})
    driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


# {state, script that brings the page into it}: each is checked by axe-core in the light
# and the dark scheme. A new part of the page gets a row here.
STATES = [
    ("reader", """
       const f = document.getElementById('code');
       f.value = 'ZN2.Dw+Hew Gm/f L12m6t20w W- Xq T2t Cgr^|bk,bye+ Bfl|/sm# Qq';
       f.dispatchEvent(new Event('input', {bubbles: true}));
       f.focus();
       f.setSelectionRange(30, 30);"""),
    ("finder", """
       const f = document.getElementById('code');
       f.value = 'Thanks!\\n-- \\nZN2.Dw Gm ZN2.Dx Gf\\nZN2.Dq';
       f.dispatchEvent(new Event('input', {bubbles: true}));"""),
    ("builder", """
       const f = document.getElementById('code');
       f.value = 'ZN2.Dw+Hew Gm/f L12m6t20w Cgr^|bk,bye+ Bfl|/sm# A(r++v-) Tc+[alchemy] Sks,wl';
       document.getElementById('builder-open').click();
       document.querySelectorAll('#builder-items button')[3].click();  // the colour: checks, selects"""),
    ("fix menu", """
       const f = document.getElementById('code');
       f.value = 'ZN2.Dw Gm L12q Cbl|zz B- A(r+v-) Q';
       f.dispatchEvent(new Event('input', {bubbles: true}));
       f.focus();
       f.setSelectionRange(21, 21);  // the colour's error: Ctrl+. opens its fixes
       f.dispatchEvent(new KeyboardEvent('keydown', {key: '.', ctrlKey: true, bubbles: true}));
       if (document.querySelector('.fix-popup').hidden) throw new Error('no fix menu');"""),
]

AXE_RUN = """
const done = arguments[arguments.length - 1];
const [context, options] = arguments;
axe.run(context || document, options || {}).then((r) => done(r.violations.map((v) =>
  v.id + ': ' + v.nodes.slice(0, 3).map((n) => n.target.join(' ')).join(', ')))).catch((e) => done(['axe: ' + e]));
"""


# Controls smaller than 24 x 24 px where they are shown (axe lets a small one pass when
# nothing is near it); a link inside a paragraph's text is exempt.
SMALL_TARGETS = """
return [...document.querySelectorAll('a[href], button, select, input, textarea, summary, [tabindex="0"]')]
  .filter((e) => {
    const r = e.getBoundingClientRect();
    return r.width > 0 && r.right > 0 && !(e.matches('a') && e.parentElement.matches('p'))
        && (r.width < 24 || r.height < 24);
  }).map((e) => (e.id || e.className || e.nodeName) + ' ' + Math.round(e.getBoundingClientRect().width)
                + 'x' + Math.round(e.getBoundingClientRect().height));
"""


def axe(driver, context=None, options=None):
    if not driver.execute_script("return typeof axe === 'object'"):
        driver.execute_script(AXE.read_text(encoding="utf-8"))
    return driver.execute_async_script(AXE_RUN, context, options)


def test_axe(driver, url):
    open_page(driver, url)
    for dark in (False, True):
        scheme = "dark" if dark else "light"
        driver.execute_cdp_cmd("Emulation.setEmulatedMedia",
                               {"features": [{"name": "prefers-color-scheme", "value": scheme}]})
        for name, script in STATES:
            driver.execute_script(script)
            violations = axe(driver)
            check(violations == [], f"axe, {name}, {scheme}: {violations}")
            # Beyond the default rules: 24-pixel targets everywhere.
            violations = axe(driver, None, {"runOnly": ["target-size"]}) + driver.execute_script(SMALL_TARGETS)
            check(violations == [], f"targets under 24 px, {name}, {scheme}: {violations}")
        # AAA contrast for the errors' positions, under the pointer too.
        driver.execute_script(STATES[0][1])
        labels = driver.execute_script("return document.querySelectorAll('#errors .pos').length")
        violations = axe(driver, {"include": [["#errors"]]}, {"runOnly": ["color-contrast-enhanced"]})
        check(labels >= 2 and violations == [], f"AAA contrast of the positions, {scheme}: {violations}")
    driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": []})


def test_file(driver, folder):
    driver.get((folder / "index.html").as_uri())
    wait_for(driver, "return document.body.dataset.ready === '1'", "the module from file://")
    lines = driver.execute_script(READ_AND_BUILD, OFFLINE_CODE)[0]
    check(lines == cli_reading(OFFLINE_CODE), f"from file:// the page reads {lines}")
    # The About section comes in with the module: a link to it still gets there.
    driver.get((folder / "index.html").as_uri() + "#about")
    wait_for(driver, "return document.body.dataset.ready === '1'", "the module from file://")
    wait_for(driver, "return document.getElementById('about').getBoundingClientRect().top < innerHeight",
             "the About section in view after index.html#about")


def main():
    if not AXE.is_file():
        sys.exit(f"FAIL: no axe-core at {AXE}: tools/ensure-deps installs it (zendric_ensure_web_deps)")
    out = SITE.parent / "screenshots"
    out.mkdir(exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        folder = Path(tmp) / "site"
        shutil.copytree(SITE, folder)
        server = Server(folder)
        url = server.start()
        options = webdriver.ChromeOptions()
        for arg in ("--headless=new", "--no-sandbox", "--window-size=1200,860", f"--user-data-dir={tmp}/profile"):
            options.add_argument(arg)
        driver = webdriver.Chrome(options=options)
        try:
            test_serve(url, folder)
            open_page(driver, url)
            test_manifest(driver, folder)
            caches = test_worker(driver, url, folder)
            test_offline(driver, url, server, out)
            test_no_shift(driver, url)
            test_axe(driver, url)
            test_update(driver, url, folder, caches, out)
            test_file(driver, folder)
            errors = [e for e in driver.get_log("browser") if e["level"] == "SEVERE"]
            check(not errors, f"errors in the console: {errors}")
        finally:
            driver.quit()
            server.stop()
    print(f"{len(failures)} failures; screenshot in {out}")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
