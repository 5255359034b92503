#!/bin/sh
# Stands in for the program that opens csv files: records its working folder and its arguments,
# one a line, in "opened.txt" beside itself (written whole, then renamed).
out="$(dirname "$0")/opened"
{ pwd; echo "$#"; for a in "$@"; do echo "$a"; done; } > "$out.tmp"
mv "$out.tmp" "$out.txt"
