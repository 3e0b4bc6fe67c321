#!/usr/bin/env bash
# Runs every `build/arvoline-host export` example of the README exactly as
# written, in a folder holding notes.xtp (written by make-access-db) and a
# link `build` to the build tree, and checks that each one wrote its output:
# a non-empty file, a folder of .md files, or standard output for "-"; then
# that the Markdown exports the README shows are the ones the host writes.
#
#   readme_examples_test.sh README.md BUILD_DIR
set -euo pipefail
readme=$1
build=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$build" "$work/build"
"$build/make-access-db" outline "$work/notes.xtp" --nodes 30 --depth 3 --content-bytes 300

mapfile -t examples < <(grep -E '^ +build/arvoline-host export ' "$readme")
if [ "${#examples[@]}" -lt 6 ]; then
  echo "FAIL: expected the README's export examples, found ${#examples[@]}" >&2
  exit 1
fi
failed=0
for example in "${examples[@]}"; do
  read -ra words <<< "$example"
  output=""
  for ((i = 0; i + 1 < ${#words[@]}; i++)); do
    if [ "${words[i]}" = "-o" ]; then output=${words[i + 1]}; fi
  done
  if ! (cd "$work" && bash -c "$example" > stdout 2> stderr); then
    echo "FAIL: $example: $(cat "$work/stderr")" >&2
    failed=1
  elif [ "$output" = "-" ] && [ ! -s "$work/stdout" ]; then
    echo "FAIL: $example wrote nothing to standard output" >&2
    failed=1
  elif [ "$output" != "-" ] && [ ! -s "$work/$output" ] && [ -z "$(find "$work/$output" -name '*.md' 2> /dev/null)" ]; then
    echo "FAIL: $example wrote no $output" >&2
    failed=1
  else
    echo "ok: $example"
  fi
done

# The README shows the Markdown exports of its two-document database: the
# folder trees (every name, indented by folder) and the child's note must be
# what the host writes for that database.
cat > "$work/recipes.json" << 'JSON'
[{"key": "R", "title": "Recipes", "content": "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}\\f0 My {\\b favourite} dishes:\\par{\\pntext\\f1\\'b7\\tab}soup\\par{\\pntext\\f1\\'b7\\tab}bread\\par}"},
 {"parent": "R", "key": "B", "title": "Bread", "content": "{\\rtf1 See {\\field{\\*\\fldinst HYPERLINK \"https://example.org/bread\"}{\\fldrslt the original}}.\\par\\trowd\\cellx1000\\cellx2000\\intbl Flour\\cell 500 g\\cell\\row}"}]
JSON
mkdir "$work/recipes"
"$build/make-access-db" outline "$work/recipes/notes.xtp" --from "$work/recipes.json"
(cd "$work/recipes" && "$build/arvoline-host" export notes.xtp --to markdown -o notes/ &&
   "$build/arvoline-host" export notes.xtp --to markdown --layout numbered -o notes-numbered/)
if ! python3 - "$readme" "$work/recipes" << 'PYTHON'; then failed=1; fi
import os, re, sys
readme, folder = open(sys.argv[1], encoding="utf-8").read(), sys.argv[2]
ok = True
def tree(root):
    return sorted(os.path.relpath(os.path.join(d, n), folder) + ("/" if n in ds else "")
                  for d, ds, fs in os.walk(os.path.join(folder, root)) for n in ds + fs)
for block in re.findall(r"```text\n((notes[^/\n]*)/\n.*?)```", readme, re.S):
    shown, path = [], []
    for line in block[0].splitlines()[1:]:
        depth = (len(line) - len(line.lstrip())) // 2
        name = line.strip()
        path = path[:depth - 1] + [name.rstrip("/")]
        shown.append(block[1] + "/" + "/".join(path) + ("/" if name.endswith("/") else ""))
    if sorted(shown) != tree(block[1]):
        print(f"FAIL: the README shows {sorted(shown)}, the export wrote {tree(block[1])}", file=sys.stderr)
        ok = False
note = re.search(r"```markdown\n(.*?)```", readme, re.S).group(1)
written = open(os.path.join(folder, "notes/Recipes/Bread.md"), encoding="utf-8").read()
if note != written:
    print(f"FAIL: the README shows Bread.md as {note!r}, the export wrote {written!r}", file=sys.stderr)
    ok = False
sys.exit(0 if ok else 1)
PYTHON
[ "$failed" = 0 ] && echo "${#examples[@]} passed, 0 failed; the README's Markdown trees and note match the export"
exit "$failed"
