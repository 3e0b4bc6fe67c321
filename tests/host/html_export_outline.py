"""Parses an HTML export with html5lib (strict: any parse error fails) and
prints what the tests compare, one item a line: sections with their nesting,
table-of-contents entries, links, pictures, formatting, headings in the
content, list items, cells."""
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


for e in tree.iter():
    if e.tag == "details":
        print("section", depth(e, "details"), e.get("id"), text(e.find("summary")))
    elif e.tag == "a" and depth(e, "nav"):
        print("toc", depth(e, "ul"), e.get("href"), text(e))
    elif e.tag == "a":
        print("link", e.get("href", "-")[:40], text(e))
    elif e.tag == "img":
        print("img", e.get("src")[:40], e.get("alt"), e.get("width"), e.get("height"))
    elif e.tag in ("strong", "em", "u", "s", "td", "script", "sup", "sub") or (
            e.tag in ("h3", "h4", "h5", "h6") and not depth(e, "summary")):
        print(e.tag, text(e))
    elif e.tag == "li" and not depth(e, "nav"):
        print("li", parents[e].tag, depth(e, "li"), (e.text or "").strip())
