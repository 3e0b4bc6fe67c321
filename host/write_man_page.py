#!/usr/bin/env python3
"""Writes the manual page of arvoline-host from the program's own help.

Usage: write_man_page.py HOST_PROGRAM OUT.1   (writes OUT.1 and OUT.1.gz)

Runs `HOST --help`, `HOST --version` and `HOST SUBCOMMAND --help` for every
subcommand the help lists, so the page always describes the program as
built. Each subcommand gets its own section with the examples of the help
that invoke it. help2man would read only the top-level help, not the
subcommands', hence this small converter of the help's fixed layout:
description, "Usage:" line, then sections ("Options:", "Subcommands:",
"Positionals:", "Examples:") of indented entries whose name and text are
separated by two or more spaces.
"""
import gzip
import os
import re
import subprocess
import sys

PROGRAM = "arvoline-host"


def run(host, *args):
    return subprocess.run([host, *args], check=True, capture_output=True, text=True).stdout


class Help:
    """One help text, cut into its parts."""

    def __init__(self, text):
        self.description = []  # paragraphs, each a list of lines
        self.usage = ""
        self.sections = {}  # section name -> list of [name, text] entries
        self.examples = []  # (command, comment)
        self.notes = []  # paragraphs of unindented lines after the sections, each a list of lines
        section = None
        paragraph = []
        note_open = False  # the last line was part of a note
        for line in text.splitlines():
            was_note, note_open = note_open, False
            if line.startswith("Usage: "):
                if paragraph:
                    self.description.append(paragraph)
                paragraph = None
                self.usage = line[len("Usage: "):].strip()
            elif paragraph is not None:
                if line.strip():
                    paragraph.append(line.strip())
                elif paragraph:
                    self.description.append(paragraph)
                    paragraph = []
            elif re.match(r"^\S.*:$", line):
                section = line[:-1]
                self.sections.setdefault(section, [])
            elif not line.strip():
                continue
            elif section == "Examples" and line.startswith("  "):
                parts = re.split(r"\s{2,}", line.strip(), maxsplit=1)
                self.examples.append((parts[0], parts[1] if len(parts) > 1 else ""))
            elif not line.startswith(" "):
                if was_note:
                    self.notes[-1].append(line.strip())
                else:
                    self.notes.append([line.strip()])
                note_open = True
            elif section is not None and re.match(r"^ {2}\S", line):
                name, _, text = line.strip().partition("  ")
                self.sections[section].append([name.strip(), text.strip()])
            elif section is not None and self.sections[section]:
                entries = self.sections[section]
                entries[-1][1] = (entries[-1][1] + " " + line.strip()).strip()


def escape(text):
    """Text as roff reads it literally."""
    text = text.replace("\\", "\\e")
    return "\\&" + text if text[:1] in (".", "'") else text


def literal(text):
    """A command or option name: hyphens are minus signs, typed as such."""
    return escape(text).replace("-", "\\-")


def entries(lines, items, skip_help):
    for name, text in items:
        if skip_help and name.startswith("-h,"):
            continue
        word, _, rest = name.partition(" ")
        lines += [".TP", "\\fB" + literal(word) + "\\fR" + (" \\fI" + escape(rest) + "\\fR" if rest else ""),
                  escape(text)]


def examples_block(lines, examples):
    width = max(len(command) for command, _ in examples) + 2
    lines += [".PP", "Example:" if len(examples) == 1 else "Examples:", ".RS", ".nf"]
    for command, comment in examples:
        lines.append(literal(command.ljust(width) + comment if comment else command))
    lines += [".fi", ".RE"]


def page(host):
    top = Help(run(host, "--help"))
    version = run(host, "--version").strip()
    subcommands = [name for name, _ in top.sections.get("Subcommands", [])]
    helps = {name: Help(run(host, name, "--help")) for name in subcommands}

    examples = []
    for help_text in [top, *helps.values()]:
        examples += [e for e in help_text.examples if e not in examples]

    def invoked(command):
        words = command.split()[1:]
        return next((w for w in words if w in subcommands), None)

    lines = ['.TH "%s" 1 "" "%s" "User Commands"' % (PROGRAM.upper(), escape(version)),
             ".SH NAME", PROGRAM + " \\- " + escape(" ".join(top.description[0]) if top.description else "")]
    lines += [".SH SYNOPSIS", ".nf"]
    for usage in [top.usage] + [helps[name].usage for name in subcommands]:
        lines.append("\\fB" + literal(PROGRAM) + "\\fR" + escape(usage[len(PROGRAM):]))
    lines += [".fi", ".SH DESCRIPTION"]
    for paragraph in top.description[1:]:
        lines += [".PP", escape(" ".join(paragraph))]
    for note in top.notes:
        lines += [".PP", escape(" ".join(note))]
    lines.append(".SH OPTIONS")
    entries(lines, top.sections.get("Options", []), skip_help=False)
    lines.append(".SH COMMANDS")
    for name in subcommands:
        sub = helps[name]
        lines += [".SS " + literal(name), escape(" ".join(" ".join(p) for p in sub.description))]
        entries(lines, sub.sections.get("Positionals", []) + sub.sections.get("Options", []), skip_help=True)
        for note in sub.notes:
            if note not in top.notes:  # a subcommand without a footer of its own shows the program's
                lines += [".PP", escape(" ".join(note))]
        own = [e for e in examples if invoked(e[0]) == name]
        if own:
            examples_block(lines, own)
    general = [e for e in examples if invoked(e[0]) is None]
    if general:
        lines.append(".SH EXAMPLES")
        examples_block(lines, general)
    return "\n".join(lines) + "\n"


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.split("\n\n")[1])
    host, out = sys.argv[1:]
    text = page(host).encode("utf-8")
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    with open(out, "wb") as f:
        f.write(text)
    with open(out + ".gz", "wb") as f:
        f.write(gzip.compress(text, compresslevel=9, mtime=0))


if __name__ == "__main__":
    main()
