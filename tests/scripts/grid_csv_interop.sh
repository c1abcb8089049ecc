#!/usr/bin/env bash
# Grid text files against Python's csv module: a file the tool writes is read
# cell for cell by csv.reader (UTF-16), and UTF-16 files csv.writer writes
# (little-endian with BOM, and big-endian with BOM) are read back by the tool.
set -euo pipefail
BUILD=$1
BIN="$BUILD/tests/test_events"
if ! command -v python3 >/dev/null 2>&1; then
  echo "python3 not found: interoperability not checked"
  exit 0
fi
[ -x "$BIN" ] || { echo "missing $BIN (build test_events first)"; exit 1; }
DIR=$(mktemp -d)
trap 'rm -rf "$DIR"' EXIT

step() {
  ORVALIS_INTEROP_DIR="$DIR" ORVALIS_INTEROP_STEP="$1" "$BIN" --gtest_filter=GridCsvInterop.StepFromScript
  [ -f "$DIR/done-$1" ] || { echo "step $1 did not run"; exit 1; }
}

step write
python3 - "$DIR" <<'PY'
import csv, os, sys
d = sys.argv[1]
raw = open(os.path.join(d, "tool.txt"), "rb").read()
assert raw[:2] == b"\xff\xfe", "no UTF-16LE byte-order mark"
assert raw.endswith("\r\n".encode("utf-16-le")), "rows must end with CR LF"
with open(os.path.join(d, "tool.txt"), encoding="utf-16", newline="") as f:
    got = list(csv.reader(f))
exp = [r.split("\x1f") for r in open(os.path.join(d, "tool_expected.txt"), encoding="utf-8").read().split("\x1e")]
if got != exp:
    sys.exit("csv.reader read %r\nexpected %r" % (got, exp))

rows = [
    ["Olá, mundo", 'diz "oi"', "", "True"],
    ["ação", "º", "é", "False", "€"],
    ["😀", 'a,b,"c"', " ", "x"],
]
with open(os.path.join(d, "python.txt"), "w", encoding="utf-16", newline="") as f:
    csv.writer(f, lineterminator="\r\n").writerows(rows)
with open(os.path.join(d, "python_be.txt"), "wb") as f:
    f.write(b"\xfe\xff")
    text = open(os.path.join(d, "python.txt"), encoding="utf-16", newline="").read()
    f.write(text.encode("utf-16-be"))
with open(os.path.join(d, "python_expected.txt"), "w", encoding="utf-8", newline="") as f:
    f.write("\x1e".join("\x1f".join(r) for r in rows))
print("csv.reader read %d rows written by the tool" % len(got))
PY
step read
echo "grid text files interoperate with Python csv"
