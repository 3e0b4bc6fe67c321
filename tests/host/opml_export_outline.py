"""Parses an OPML export as XML and prints its outline, one element a line:
two spaces per nesting level, the text attribute, and the note."""
import sys
import xml.etree.ElementTree as ElementTree

root = ElementTree.parse(sys.argv[1]).getroot()
print(root.tag, root.get("version"), root.find("head/title").text)


def show(element, depth):
    for outline in element.findall("outline"):
        note = outline.get("_note")
        print("  " * depth + outline.get("text") + ("" if note is None else " | " + note.replace("\n", "\\n")))
        show(outline, depth + 1)


show(root.find("body"), 0)
