"""Parses an HTML export with html5lib (strict: any parse error fails) and
prints what the tests compare, one item a line: the table of contents from
the page's outline lists, then the documents' sections with their depth,
links, pictures, formatting, headings in the content, list items and
cells. html5lib parses without scripting, so it reads the documents inside <noscript> as elements, as a
browser without scripts shows them."""
import json
import sys

import html5lib

tree = html5lib.HTMLParser(strict=True, namespaceHTMLElements=False).parse(open(sys.argv[1], "rb"))
parents = {child: parent for parent in tree.iter() for child in parent}


def depth(element, tag):
    n, e = 0, parents.get(element)
    while e is not None:
        n += e.tag == tag
        e = parents.get(e)
    return n


def text(element):
    return "".join(element.itertext()).strip()


for outline in tree.iter("script"):
    if outline.get("class") == "outline":
        for level, position, title in json.loads(outline.text):
            print("toc", level + 1, "#d" + position, title)

for e in tree.iter():
    if e.tag == "section":
        print("section", e.get("data-depth"), e.get("id"), text(e[0]))
    elif not depth(e, "section"):
        continue
    elif e.tag == "a":
        print("link", e.get("href", "-")[:40], text(e))
    elif e.tag == "img":
        print("img", e.get("src")[:40], e.get("alt"), e.get("width"), e.get("height"))
    elif e.tag in ("strong", "em", "u", "s", "td", "script", "sup", "sub") or (
            e.tag in ("h3", "h4", "h5", "h6") and parents[e].tag != "section"):
        print(e.tag, text(e))
    elif e.tag == "li":
        print("li", parents[e].tag, depth(e, "li"), (e.text or "").strip())
