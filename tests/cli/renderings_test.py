#!/usr/bin/python3
"""The renderings of zendric-read --format, read back by real parsers.

Usage: renderings_test.py ZENDRIC_READ RANDOM_CODES

For a table of codes with markup characters, display lines, messages and none, and
for random codes: the HTML parsed by html.parser gives back exactly the plain text;
the Markdown, turned into HTML by python3-markdown, gives back the same lines; and no
BBCode tag arises from the code's text.
"""
import html.parser
import re
import subprocess
import sys

import markdown

READ = None  # set by main

CODES = [
    b"ZN2.Dw",
    b"ZN2.Dw Cgr^|bk,bye+ X A(r",
    b"ZN2.D{Dw L4m}",
    b'ZN2.Dw B"<b>[b]*_`&amp;"',
    b'ZN2.D"*bold*_it_`tick`<a>&amp;"',
    b'ZN2.Dw Fr"[url=x]y[/url] ~~s~~ | # > - 1. = [*] \\\\"',
    b"ZN2.Dw C<b>",
    b"<script>alert(1)</script>",
    b"  ZN2.Dw Gm",
    b"",
]


def render(fmt, code):
    done = subprocess.run([READ, "--format", fmt, "--", code], capture_output=True)
    assert done.returncode in (0, 1), (fmt, code, done.stderr)
    return done.stdout.decode()


class Text(html.parser.HTMLParser):
    """The text of <p> and <li> elements, as the plain rendering lays it out."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.depth, self.out = 0, []

    def handle_starttag(self, tag, attrs):
        if tag in ("p", "li"):
            self.depth += 1
        elif tag == "br":
            self.out.append("\n")

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)

    def handle_endtag(self, tag):
        if tag in ("p", "li"):
            self.depth -= 1
            self.out.append("\n\n" if tag == "p" else "\n")

    def handle_data(self, data):
        if self.depth > 0:
            self.out.append(data)


def text_of(page):
    parser = Text()
    parser.feed(page)
    parser.close()
    return "".join(parser.out)


def lines(text):
    """Lines with their trailing blanks and the empty ones dropped: what Markdown keeps."""
    return [line.rstrip() for line in text.split("\n") if line.strip()]


TAG = re.compile(r"\[/?[A-Za-z*]+(=[^\]]*)?\]")


def bbcode_text(bb, code):
    """The BBCode's text once the renderer's own tags are taken out; fails on any other tag."""
    if code:
        assert bb.startswith("[b]"), bb
        close = bb.index("[/b]\n\n")  # the code holds no line break
        bb = bb[3:close] + bb[close + 4:]
    # What stays is text and the empty pairs that keep a '[' from opening a tag.
    for m in TAG.finditer(bb):
        i = m.start()
        assert bb[i:i + 7] == "[b][/b]" or bb[i - 3:i + 4] == "[b][/b]", (m.group(0), bb)
    return bb.replace("[b][/b]", "")


def check(code, failures):
    text = render("text", code)
    page = render("html", code)
    shown = code.decode(errors="replace")
    if text_of(page) != text:
        failures.append(("html", shown, text_of(page), text))
    from_markdown = text_of(markdown.markdown(render("markdown", code)))
    if lines(from_markdown) != lines(text):
        failures.append(("markdown", shown, from_markdown, text))
    try:
        if bbcode_text(render("bbcode", code), bool(code)) != text:
            failures.append(("bbcode", shown, render("bbcode", code), text))
    except AssertionError as e:
        failures.append(("bbcode tag", shown, str(e), text))
    # Nothing of the code's text becomes an element of the page.
    body = page.split("<body>\n", 1)[1]
    tags = re.findall(r"<([a-z]+)", body)
    if not set(tags) <= {"div", "p", "code", "br", "ul", "li"}:
        failures.append(("html tags", shown, tags, ""))


def main():
    global READ
    READ, random_codes_tool = sys.argv[1], sys.argv[2]
    random_codes = subprocess.run([random_codes_tool, "23", "300"], capture_output=True, check=True).stdout
    failures = []
    codes = CODES + [c for c in random_codes.split(b"\n") if c and b"\0" not in c]
    for code in codes:
        check(code, failures)
    for f in failures[:10]:
        print("FAIL %s for %r:\n  got  %r\n  want %r" % f)
    print("%d codes, %d failures" % (len(codes), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
