#!/bin/bash
# Saves the notebook window, with a wheel of four sessions whose hot arc moved after the
# second, as a PNG (default docs/notebook.png). The program reads its own data folder.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ ${1-} != --on-screen ]]; then
  out=${1:-docs/notebook.png}
  program=${BUILD_DIR:-build}/etude-roulette
  mkdir -p "$(dirname "$out")"
  exec xvfb-run -a -s "-screen 0 1600x1400x24" "$0" --on-screen "$program" "$out"
fi

program=$2
out=$3
home=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$home"' EXIT
folder="$home/data/etude-roulette/etude-roulette"
mkdir -p "$folder"
python3 - "$folder/carnet-des-roues.sqlite" <<'PY'
import random, sqlite3, sys
wheel = [0, 32, 15, 19, 4, 21, 2, 25, 17, 34, 6, 27, 13, 36, 11, 30, 8, 23, 10, 5, 24, 16,
         33, 1, 20, 14, 31, 9, 22, 18, 29, 7, 28, 12, 35, 3, 26]
db = sqlite3.connect(sys.argv[1])
db.executescript("""
CREATE TABLE wheels(id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT NOT NULL UNIQUE,
  place TEXT NOT NULL DEFAULT '', notes TEXT NOT NULL DEFAULT '');
CREATE TABLE sessions(id INTEGER PRIMARY KEY AUTOINCREMENT,
  wheel_id INTEGER NOT NULL REFERENCES wheels(id) ON DELETE CASCADE, started_at TEXT NOT NULL,
  origin INTEGER NOT NULL, label TEXT NOT NULL DEFAULT '');
CREATE TABLE chunks(session_id INTEGER NOT NULL REFERENCES sessions(id) ON DELETE CASCADE,
  seq INTEGER NOT NULL, numbers BLOB NOT NULL, PRIMARY KEY(session_id, seq));
PRAGMA user_version = 1;
""")
random.seed(7)
db.execute("INSERT INTO wheels(name, place) VALUES('Table 3', 'Casino de Divonne')")
db.execute("INSERT INTO wheels(name, place) VALUES('Table 5', 'Casino de Divonne')")
evenings = [("2026-02-20T20:10", 0, "vendredi", 2), ("2026-02-27T20:30", 0, "", 2),
            ("2026-03-12T20:15", 0, "après révision", 17), ("2026-03-19T21:00", 3, "", 17)]
for when, origin, label, hot in evenings:
    cur = db.execute("INSERT INTO sessions(wheel_id, started_at, origin, label) VALUES(1,?,?,?)",
                     (when, origin, label))
    spins = []
    for _ in range(2500):
        p = random.randrange(42)
        spins.append(wheel[(hot + p - 37) % 37] if p >= 37 else wheel[p])
    db.execute("INSERT INTO chunks VALUES(?, 0, ?)", (cur.lastrowid, bytes(spins)))
db.commit()
PY

HOME=$home XDG_DATA_HOME=$home/data "$program" &
pid=$!
board=$(timeout 20 xdotool search --sync --onlyvisible --name '^Étude Roulette$' | head -n 1)
xdotool windowfocus --sync "$board" key ctrl+k
book=$(timeout 20 xdotool search --sync --onlyvisible --name '^Carnet des roues$' | head -n 1)
sleep 2
import -window "$book" "$out"
echo "$out"
