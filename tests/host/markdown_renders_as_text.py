#!/usr/bin/python3
"""Checks a Markdown export against the JSON export of the same database.

Usage: markdown_renders_as_text.py MARKDOWN_FOLDER EXPORT.json

Every .md file is rendered by cmark-gfm (GitHub's tables and strikethrough,
raw HTML and every URL kept, so that nothing the export wrote is hidden) and
read back by html5lib. For each note it checks that
  - the front matter's title and level are the JSON's title and level, and
    its outline position belongs to a document of the export;
  - the visible text (the title heading, "(untitled)" for a blank title, then
    the content) equals the title and the plain text of that document, up
    to the differences listed under "Normalisation" below (blanks, list
    markers, how superscripts are written, pictures shown as images);
  - a parent ends with one link per child, in order, showing the child's
    title and leading to the child's own note;
  - every link and picture has no scheme or one of the allowed schemes, and
    every picture is a file beside the note;
  - the front matter, rendered as text by a renderer that does not know it,
    holds no link and no element of a title's making.
Prints one line per difference, then "N notes checked".
"""
import json
import os
import re
import subprocess
import sys
import unicodedata
import urllib.parse

import html5lib

ALLOWED_SCHEMES = {"http", "https", "mailto", "ftp", "file", "news", "tel"}
BLOCKS = {"p", "h1", "h2", "h3", "h4", "h5", "h6", "li", "tr", "table", "ul", "ol", "blockquote", "pre", "hr", "div"}


# ---- Normalisation: the only differences allowed between the two sides ----

def readable(text):
    """The text an export writes: no control characters but tab and line ends."""
    return "".join(c for c in text
                   if not ((ord(c) < 0x20 and c not in "\t\n\r") or 0x7F <= ord(c) <= 0x9F or c in "\ufffe\uffff"))


def shown_title(title):
    """A title as the notes show it, in their heading and in links to them."""
    return readable(title) if readable(title).strip() else "(untitled)"


def comparable_lines(text):
    """Lines as a reader sees them: blanks collapsed, blank lines gone."""
    lines = (" ".join(line.split()) for line in text.split("\n"))
    return [line for line in lines if line]


def expected_for_rendered(expected, starts_list_item):
    """A list item's marker is drawn by the renderer, not written as text:
    the plain text's first word of that line is not part of the item."""
    if starts_list_item:
        return expected.split(" ", 1)[1] if " " in expected else ""
    return expected


def script_mark(c):
    """"^" for a superscript character (², ⁿ), "_" for a subscript one (₂)."""
    kind = unicodedata.decomposition(c).split(" ")[0]
    return {"<super>": "^", "<sub>": "_"}.get(kind)


def raised(text):
    """Superscript and subscript in one form on both sides: the plain text's
    Unicode characters ("m²"), its readable forms ("10^q", "x_(max)") and the
    page's <sup> and <sub> (read as "^(...)" and "_(...)") all become
    "^(...)" and "_(...)"."""
    out, i = [], 0
    while i < len(text):
        mark = script_mark(text[i])
        if mark:
            j = i
            while j < len(text) and script_mark(text[j]) == mark:
                j += 1
            out.append(mark + "(" + unicodedata.normalize("NFKC", text[i:j]).replace("\u2212", "-") + ")")
            i = j
        elif text[i] in "^_" and i + 1 < len(text) and text[i + 1] != "(" and not text[i + 1].isspace():
            out.append(text[i] + "(" + text[i + 1] + ")")
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def shown_pictures(text, shown):
    """A picture shown as an image is named by its number only (its alt
    text); the plain text's "[picture 1: PNG, 20 × 10 px]" says more."""
    return re.sub(r"\[(picture \d+): [^\]\n]*\]",
                  lambda m: "[" + m.group(1) + "]" if m.group(1) in shown else m.group(0), text)


def collapsible(text):
    """Text as a browser lays it out: line ends and tabs in the page's text
    are blanks; only blocks and <br> start lines."""
    return text.replace("\r", " ").replace("\n", " ").replace("\t", " ")


# ---- Reading the rendered page ----

class Page:
    """The visible lines of a rendered note, its links, and the trailing list
    of links to its children. Links to the note's own picture files (which
    exist beside it) are no text of the note."""

    def __init__(self, html, directory):
        self.directory = directory
        self.lines = [["", False]]  # [text, starts a list item]
        self.links = []             # every href and src
        self.pictures = []          # src of every image
        self.shown = set()          # alt text of every image ("picture 1")
        self.children = []          # (text, href) of the trailing list of child links
        blocks = list(html5lib.parse(html, namespaceHTMLElements=False).find("body"))
        if len(blocks) >= 2 and blocks[-2].tag == "hr" and blocks[-1].tag == "ul":
            for li in blocks[-1]:
                a = li.find("a")
                href = a.get("href") if a is not None else None
                self.children.append(("".join(a.itertext()) if a is not None else "", href))
                self.links.append(href)
            blocks = blocks[:-2]
        for element in blocks:
            self.walk(element)

    def is_own_file(self, href):
        return (href is not None and "://" not in href and not href.endswith(".md") and
                os.path.isfile(os.path.join(self.directory, urllib.parse.unquote(href))))

    def open_line(self, starts_item):
        if self.lines[-1][0]:
            self.lines.append(["", starts_item])
        else:
            self.lines[-1][1] = self.lines[-1][1] or starts_item

    def walk(self, element):
        tag = element.tag
        if tag in BLOCKS:
            self.open_line(tag == "li")
        if tag == "br":
            self.lines.append(["", False])
        elif tag in ("td", "th") and self.lines[-1][0]:
            self.lines[-1][0] += "\t"
        elif tag == "img":
            self.pictures.append(element.get("src"))
            self.links.append(element.get("src"))
            self.shown.add(element.get("alt"))
            self.lines[-1][0] += "[" + element.get("alt", "") + "]"
        elif tag == "a":
            self.links.append(element.get("href"))
            if self.is_own_file(element.get("href")):  # a picture no page shows: its placeholder
                self.lines[-1][0] += "[" + collapsible("".join(element.itertext())) + "]"
                self.lines[-1][0] += collapsible(element.tail or "")
                return
        script = {"sup": "^", "sub": "_"}.get(tag)
        self.lines[-1][0] += (script + "(" if script else "") + collapsible(element.text or "")
        for child in element:
            self.walk(child)
        if script:
            self.lines[-1][0] += ")"
        if tag in BLOCKS:
            self.open_line(False)
        self.lines[-1][0] += collapsible(element.tail or "")

    def visible(self):
        """Visible lines; an empty list item is a line too (its marker shows)."""
        out = []
        for text, starts_item in self.lines:
            lines = comparable_lines(text)
            if starts_item and not lines:
                lines = [""]
            for i, line in enumerate(lines):
                out.append((line, starts_item and i == 0))
        return out


def scheme_of(url):
    """The scheme a browser would follow, or None for a relative URL."""
    url = url.strip("".join(chr(c) for c in range(0x21)))
    url = url.replace("\t", "").replace("\n", "").replace("\r", "")
    match = re.match(r"([A-Za-z][A-Za-z0-9+.-]*):", url)
    return match.group(1).lower() if match else None


# ---- The export ----

def positions(documents):
    """'1.2.3' for each document; a document's parent is the nearest one
    before it at a lower level."""
    result, path = [], []  # path: [level, position, children so far] from the top
    top_count = 0
    for d in documents:
        while path and path[-1][0] >= d["level"]:
            path.pop()
        if path:
            path[-1][2] += 1
            position = f"{path[-1][1]}.{path[-1][2]}"
        else:
            top_count += 1
            position = str(top_count)
        result.append(position)
        path.append([d["level"], position, 0])
    return result


def front_matter(text):
    if not text.startswith("---\n"):
        return {}, text
    end = text.index("\n---\n", 3)
    fields = {}
    for line in text[4:end].split("\n"):
        key, value = line.split(": ", 1)
        fields[key] = json.loads(value)
    return fields, text[end + 5:]


# What a renderer that does not know front matter makes of it: text, a rule
# and headings, never a link or an element the title wrote.
FRONT_MATTER_TAGS = {"html", "head", "body", "p", "hr", "h1", "h2", "em", "strong", "code", "del"}


def front_matter_as_text(where, front):
    html = subprocess.run(["cmark-gfm", "--unsafe", "-e", "table", "-e", "strikethrough", "-e", "autolink"],
                          input=front, capture_output=True, text=True, check=True).stdout
    tags = {e.tag for e in html5lib.parse(html, namespaceHTMLElements=False).iter()}
    return [f"{where}: front matter shown as text holds <{tag}>" for tag in sorted(tags - FRONT_MATTER_TAGS)]


def check_note(path, where, fields, body, by_position, children_of):
    problems = []
    position = str(fields.get("outline"))
    document = by_position[position]
    if fields.get("title") != readable(document["title"]) or fields.get("level") != document["level"]:
        problems.append(f"{where}: front matter {fields!r} for {document['title']!r} level {document['level']}")
    html = subprocess.run(["cmark-gfm", "--unsafe", "-e", "table", "-e", "strikethrough"],
                          input=body, capture_output=True, text=True, check=True).stdout
    directory = os.path.dirname(path)
    page = Page(html, directory)
    text = shown_pictures(document["text"], page.shown)
    expected = [raised(line) for line in comparable_lines(shown_title(document["title"]) + "\n" + text)]
    rendered = [(raised(line), item) for line, item in page.visible()]
    if len(rendered) != len(expected) or any(
            line != expected_for_rendered(e, item) for (line, item), e in zip(rendered, expected)):
        problems.append(f"{where}: shows {[line for line, _ in rendered]!r}, the text is {expected!r}")
    children = children_of.get(position, [])
    wanted = [" ".join(shown_title(by_position[c]["title"]).split()) for c in children]
    shown = [" ".join(text.split()) for text, _ in page.children]
    if shown != wanted:
        problems.append(f"{where}: links to children {shown!r}, the children are {wanted!r}")
    for (_, href), child in zip(page.children, children):
        target = os.path.join(directory, urllib.parse.unquote(href or ""))
        if not os.path.isfile(target):
            problems.append(f"{where}: child link {href!r} leads nowhere")
            continue
        with open(target, encoding="utf-8") as f:
            if str(front_matter(f.read())[0].get("outline")) != child:
                problems.append(f"{where}: child link {href!r} leads to another note")
    for url in page.links:
        scheme = scheme_of(url or "")
        if scheme is not None and scheme not in ALLOWED_SCHEMES:
            problems.append(f"{where}: link with scheme {scheme!r}: {url!r}")
    for src in page.pictures:
        if not page.is_own_file(src):
            problems.append(f"{where}: picture {src!r} is no file beside the note")
    return problems


def main():
    folder, json_file = sys.argv[1], sys.argv[2]
    with open(json_file, encoding="utf-8") as f:
        documents = json.load(f)
    by_position = dict(zip(positions(documents), documents))
    children_of = {}
    for position in by_position:
        children_of.setdefault(position.rsplit(".", 1)[0] if "." in position else "", []).append(position)

    problems, seen = [], set()
    for directory, _, files in sorted(os.walk(folder)):
        for name in sorted(files):
            if not name.endswith(".md"):
                continue
            path = os.path.join(directory, name)
            where = os.path.relpath(path, folder)
            with open(path, encoding="utf-8") as f:
                whole = f.read()
            fields, body = front_matter(whole)
            problems += front_matter_as_text(where, whole[:len(whole) - len(body)])
            position = str(fields.get("outline"))
            if position not in by_position or position in seen:
                problems.append(f"{where}: outline {position!r} is no document, or another note's")
                continue
            seen.add(position)
            problems += check_note(path, where, fields, body, by_position, children_of)
    for position in by_position:
        if position not in seen:
            problems.append(f"no note for document {position} {by_position[position]['title']!r}")
    for p in problems:
        print(p)
    print(f"{len(seen)} notes checked")


if __name__ == "__main__":
    main()
