#!/usr/bin/env bash
# The offline demo: starts the search-engine simulator on 127.0.0.1, runs
# kestrova-cli against it with a Chinese keyword, shows the hosts and the
# results file, and stops the simulator.
set -euo pipefail
build_dir=${1:-build}
cli="$build_dir/src/app/cli/kestrova-cli"
work=$(mktemp -d)
simulator_pid=""
cleanup() {
  [ -n "$simulator_pid" ] && kill "$simulator_pid" 2>/dev/null && wait "$simulator_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

python3 tools/search_simulator.py --pages 3 --links-per-page 10 --special --port-file "$work/port" \
  >"$work/simulator.out" 2>&1 &
simulator_pid=$!
for _ in $(seq 1 300); do
  [ -s "$work/port" ] && break
  sleep 0.1
done
port=$(cat "$work/port")
mkdir "$work/results"

echo "== kestrova-cli --host 127.0.0.1:$port --out-dir <tmp> 咖啡豆"
status=0
"$cli" --host "127.0.0.1:$port" --out-dir "$work/results" 咖啡豆 || status=$?
echo "== exit status: $status"
for file in "$work/results"/*.txt; do
  [ -e "$file" ] || continue
  echo "== results file $(basename "$file") (code page 936, shown in UTF-8):"
  iconv -f GBK -t UTF-8 "$file"
  echo
done
