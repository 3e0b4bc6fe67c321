#!/usr/bin/env bash
# Runs every `build/arvoline-host export` example of the README exactly as
# written, in a folder holding notes.xtp (written by make-access-db) and a
# link `build` to the build tree, and checks that each one wrote its output:
# a non-empty file, a folder of .md files, or standard output for "-".
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
[ "$failed" = 0 ] && echo "${#examples[@]} passed, 0 failed"
exit "$failed"
