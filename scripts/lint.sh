#!/usr/bin/env bash
# Checks every C++ file of the tree against .clang-format (clang-format-14, dry run) and
# runs clang-tidy-14 with .clang-tidy on every source file a build compiles, our headers
# included; lists each finding as file:line: check, and fails on any.
#   bash scripts/lint.sh [build dir]     (default build/; it must have been built, since
#                                         tidy reads its compile_commands.json and the
#                                         sources Qt's moc writes there)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
root=$PWD
failed=0

mapfile -t files < <(find . \( -path './build*' -o -path ./out -o -path ./.git \) -prune -o \
  \( -name '*.cpp' -o -name '*.h' \) -print | sort)
echo "clang-format: ${#files[@]} files"
if ! clang-format-14 --dry-run --Werror "${files[@]}" 2>"$build/format.log"; then
  echo "clang-format: these files need clang-format-14 -i:"
  grep -oE '^[^:]+:[0-9]+' "$build/format.log" | sort -u -t: -k1,1 | sed 's/^/  /'
  failed=1
fi

# One compile command per source file of the tree: the build compiles the core twice (once
# checked) and tidy would otherwise check each such file twice; generated sources are not ours.
db=$(mktemp -d)
trap 'rm -rf "$db"' EXIT
python3 - "$build/compile_commands.json" "$root" "$db/compile_commands.json" <<'EOF'
import json, os, sys
entries, root, out = json.load(open(sys.argv[1])), sys.argv[2] + "/", sys.argv[3]
kept = {}
for e in entries:
    path = os.path.normpath(os.path.join(e["directory"], e["file"]))
    inside = os.path.relpath(path, root)
    if path.startswith(root) and not inside.startswith("build"):
        kept.setdefault(path, e)
json.dump(list(kept.values()), open(out, "w"), indent=1)
print(f"clang-tidy: {len(kept)} files")
EOF
if ! run-clang-tidy-14 -p "$db" -j2 -quiet >"$build/tidy.log" 2>&1; then
  echo "clang-tidy: findings (all of them in $build/tidy.log):"
  sed 's/\x1b\[[0-9;]*m//g' "$build/tidy.log" |
    grep -E '^/[^ ]+:[0-9]+:[0-9]+: (warning|error): ' |
    sed -E "s|^$root/||; s/: (warning|error): (.*) \[([^],]+).*\]$/: \3: \2/" | sort -u | sed 's/^/  /'
  failed=1
fi
exit $failed
