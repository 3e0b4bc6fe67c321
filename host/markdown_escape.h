// Text and link destinations written into Markdown so that a CommonMark
// renderer (with GitHub's tables and strikethrough, and the extensions note
// tools add: highlights, math, tags, comments) shows them as they read.
// Every rule is a table in markdown_escape.cc.
#pragma once

#include <string>
#include <string_view>

// Text within a line: ReadableText with every character that has meaning
// there escaped by a backslash, and line ends (which would end the line) as
// blanks. "&copy;" stays six characters, "*x*" stays literal.
std::string EscapeMarkdownText(std::string_view text);

// Escapes what would start a block at the beginning of a line (a list item,
// a setext underline, an ordered item "12." or "3)"): `escaped` is text from
// EscapeMarkdownText that starts a line, after its leading blanks.
std::string EscapeMarkdownLineStart(std::string escaped);

// A link destination in angle brackets for a URL: "<https://x/a b>"; the
// renderer decodes it back to exactly `url`.
std::string MarkdownUrl(std::string_view url);

// A link destination for a relative file path ("Sub/My note.md" as
// "Sub/My%20note.md"): blanks, "%" and parentheses percent-encoded, which
// note tools decode as URLs, the rest as written.
std::string MarkdownFilePath(std::string_view path);
