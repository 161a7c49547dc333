#!/usr/bin/env bash
# Every library of the suite may use only those below it: the graph of
# which library links which must have no cycle, and a header can only be
# included where its library is linked. Prints a cycle and fails if there is
# one. Usage: scripts/check-layers.sh [build preset, default release]
set -euo pipefail
cd "$(dirname "$0")/.."
# A path that climbs out of its folder would get round the links.
if git ls-files '*.h' '*.cpp' | xargs grep -n '#include "\.\./'; then
    echo "includes that climb out of their folder (above)" >&2
    exit 1
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cmake --preset "${1:-release}" --graphviz="$out/deps.dot" >/dev/null
python3 - "$out/deps.dot" <<'PY'
import re, sys
text = open(sys.argv[1]).read()
names = dict(re.findall(r'"(node\d+)" \[ label = "([^"]+)", shape = (?:octagon|egg)', text))
edges = {}
for a, b in re.findall(r'"(node\d+)" -> "(node\d+)"', text):
    if a in names and b in names:
        edges.setdefault(names[a], set()).add(names[b])
state = {}
def visit(n, path):
    state[n] = 1
    for m in sorted(edges.get(n, ())):
        if state.get(m) == 1:
            sys.exit("libraries in a cycle: " + " -> ".join(path[path.index(m):] + [n, m]))
        if m not in state:
            visit(m, path + [n])
    state[n] = 2
for n in sorted(names.values()):
    if n not in state:
        visit(n, [])
print(f"layers: {len(names)} targets, {sum(map(len, edges.values()))} links, no cycle")
PY
