#!/usr/bin/env bash
# Measures the program on long lists under Wine, against the floor of its
# work and against Wine's own list of installed programs, prints the table
# and writes docs/performance.md with a chart.
#
# For each size it seeds a fresh prefix under build/bench/ and, in one Wine
# session, measures every contender several times, interleaved, so that all
# ratios come from the same conditions.
# Usage: scripts/bench.sh [--sizes "1000 10000 40000 100000"] [--runs N]
# ULC_BUILD_DIR names another build folder than the windows preset's.
set -euo pipefail
cd "$(dirname "$0")/.."

# One size, inside the Wine session that the outer run opened for it:
# prints "size run contender key value" lines.
measure() {
  local n=$1 runs=$2 build=$3
  local bin=$PWD/$build/bin
  winpath() { local p=${1//\//\\}; echo "Z:$p"; }
  local driver=$bin/bench_driver.exe seed=$bin/bench_seed.exe
  local program floor bare peer_out
  program=$(winpath "$bin/UninstallListCleaner.exe")
  floor=$(winpath "$bin/bench_floor.exe")
  bare=$(winpath "$bin/bench_bare.exe")
  peer_out=build/bench/peer-$n.txt
  # Wine's uninstaller lives in the prefix; the driver starts it by name.
  peer=uninstaller

  # key=value lines to "n run contender key value" lines.
  # Windows programs end their lines with CR LF.
  emit() { tr -d '\r' | sed -n "s/^\([a-z_]*\)=\(.*\)$/$n $1 $2 \1 \2/p"; }

  local seeded listed stale
  seeded=$(wine "$seed" seed "$n" | tr -d '\r')
  listed=$(sed -n 's/^listed=//p' <<<"$seeded")
  stale=$(sed -n 's/^stale=//p' <<<"$seeded")
  emit 0 seed <<<"$seeded"
  echo "$n 0 seed runs $runs"

  local run
  for run in $(seq "$runs"); do
    wine "$driver" run "$bare" | emit "$run" bare
    wine "$driver" run --out "$(winpath "$PWD/$peer_out")" "$peer" --list | emit "$run" peer
    echo "$n $run peer rows $(wc -l <"$peer_out")"
    wine "$driver" run "$floor" load | emit "$run" floor
    wine "$driver" program "$program" "$listed" "$stale" | emit "$run" program
    # The deletion must have removed exactly the stale entries' keys.
    wine "$seed" count | emit "$run" after_program
    wine "$seed" restore "$n" >/dev/null
    wine "$driver" run "$floor" actions | emit "$run" floor_actions
    wine "$seed" restore "$n" >/dev/null
  done
  wine "$driver" run "$floor" idle | emit 0 idle
}

# Medians, spreads and ratios from the raw lines: the tables on the terminal,
# docs/performance.md and its chart.
report() {
  local raw=$1 elapsed=$2
  local stats=build/bench/stats.txt chart=build/bench/chart.dat doc=docs/performance.md
  # "size contender key median min max" for each measured figure.
  awk '
    function median(list,   n, a, i, j, t) {
      n = split(list, a, " ")
      for (i = 2; i <= n; i++)
        for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
      lo = a[1]; hi = a[n]
      return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    { key = $1 " " $3 " " $4; values[key] = values[key] " " $5 }
    END { for (key in values) { m = median(substr(values[key], 2)); print key, m, lo, hi } }
  ' "$raw" | sort -k1,1n -k2,2 -k3,3 >"$stats"

  get() { awk -v n="$1" -v c="$2" -v k="$3" -v f="${4:-4}" '$1 == n && $2 == c && $3 == k { print $f }' "$stats"; }
  secs() { awk -v v="$1" 'BEGIN { printf "%.3f", v }'; }
  spread() { echo "$(secs "$(get "$1" "$2" "$3" 4)") ($(secs "$(get "$1" "$2" "$3" 5)")–$(secs "$(get "$1" "$2" "$3" 6)"))"; }
  ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
  mib() { awk -v v="$1" 'BEGIN { printf "%.1f", v / 1048576 }'; }
  within() { if awk -v v="$1" -v limit="$2" 'BEGIN { exit !(v <= limit) }'; then echo met; else echo MISSED; fi; }
  grouped() { echo "$1" | sed ':a;s/\B[0-9]\{3\}\>/,&/;ta'; }
  runs_text() {
    local n text=""
    for n in $sizes; do text+="${text:+, }$(get "$n" seed runs) at $(grouped "$n")"; done
    echo "$text"
  }

  local sizes n
  sizes=$(awk '{ print $1 }' "$stats" | sort -n | uniq)

  local load actions memory checks=""
  load="| entries | rows | bare Wine process | Wine's \`uninstaller --list\` | floor: the registry reads, no window | program: start to window with all rows | program / floor | program / peer |
|---:|---:|---:|---:|---:|---:|---:|---:|"
  actions="| entries | floor: the file tests | \"Detect Old Entries to Delete\" | program / floor | floor: the deletions and row removals | \"Delete Checked Entries\", a tenth ticked | program / floor | \"Uninstall Selected Entry\" |
|---:|---:|---:|---:|---:|---:|---:|---:|"
  memory="| entries | text the rows hold | idle process | floor, plain list | floor, hidden list view | program | limit: hidden list view + twice the text | |
|---:|---:|---:|---:|---:|---:|---:|---|"
  : >"$chart"
  for n in $sizes; do
    local rows stale a floor peer b fb c fc
    rows=$(get "$n" seed listed); stale=$(get "$n" seed stale)
    a=$(get "$n" program load_seconds); floor=$(get "$n" floor seconds); peer=$(get "$n" peer seconds)
    b=$(get "$n" program detect_seconds); fb=$(get "$n" floor_actions detect_seconds)
    c=$(get "$n" program delete_seconds); fc=$(get "$n" floor_actions delete_seconds)
    load+="
| $(grouped "$n") | $(grouped "$rows") | $(spread "$n" bare seconds) | $(spread "$n" peer seconds) | $(spread "$n" floor seconds) | $(spread "$n" program load_seconds) | $(ratio "$a" "$floor") | $(ratio "$a" "$peer") |"
    actions+="
| $(grouped "$n") | $(spread "$n" floor_actions detect_seconds) | $(spread "$n" program detect_seconds) | $(ratio "$b" "$fb") | $(spread "$n" floor_actions delete_seconds) | $(spread "$n" program delete_seconds) | $(ratio "$c" "$fc") | $(spread "$n" program uninstall_seconds) |"
    local text idle plain list peak limit
    text=$(get "$n" floor text_bytes); idle=$(get "$n" idle peak_ws); plain=$(get "$n" floor peak_ws)
    list=$(get "$n" floor_actions list_peak_ws); peak=$(get "$n" program peak_ws)
    limit=$(awk -v l="$list" -v t="$text" 'BEGIN { printf "%.0f", l + 2 * t }')
    memory+="
| $(grouped "$n") | $(mib "$text") MiB | $(mib "$idle") MiB | $(mib "$plain") MiB | $(mib "$list") MiB | $(mib "$peak") MiB | $(mib "$limit") MiB | $(within "$peak" "$limit") |"
    echo "$n $(get "$n" bare seconds) $peer $floor $a $fb $b $fc $c" >>"$chart"

    # What every run must have done, whatever its speed.
    local problems=""
    [ "$(get "$n" floor rows 5)" = "$rows" ] && [ "$(get "$n" floor rows 6)" = "$rows" ] ||
      problems+=" The floor listed other than $rows rows."
    [ "$(get "$n" program rows_after 5)" = $((rows - stale)) ] && [ "$(get "$n" program rows_after 6)" = $((rows - stale)) ] ||
      problems+=" The program left other than $((rows - stale)) rows."
    [ "$(get "$n" after_program subkeys 5)" = $((n - stale)) ] && [ "$(get "$n" after_program subkeys 6)" = $((n - stale)) ] ||
      problems+=" The program left other than $((n - stale)) keys."
    [ "$(get "$n" floor_actions ticked 5)" = "$stale" ] && [ "$(get "$n" floor_actions ticked 6)" = "$stale" ] ||
      problems+=" The floor found other than $stale stale entries."
    [ "$(get "$n" peer rows 5)" = "$rows" ] && [ "$(get "$n" peer rows 6)" = "$rows" ] ||
      problems+=" The peer listed $(get "$n" peer rows 4) rows."
    checks+="- $(grouped "$n") entries: $(grouped "$rows") rows, $(grouped "$stale") of them stale.${problems:- In every run each contender listed every row; \"Delete Checked Entries\" removed exactly the stale rows and their keys.}
"
  done

  # The targets, each from figures of this one run.
  local targets="" a10 a40
  for n in 10000 40000; do
    grep -q "^$n " "$stats" || continue
    local a floor peer rp rf rb rc
    a=$(get "$n" program load_seconds); floor=$(get "$n" floor seconds); peer=$(get "$n" peer seconds)
    rp=$(ratio "$a" "$peer"); rf=$(ratio "$a" "$floor")
    rb=$(ratio "$(get "$n" program detect_seconds)" "$(get "$n" floor_actions detect_seconds)")
    rc=$(ratio "$(get "$n" program delete_seconds)" "$(get "$n" floor_actions delete_seconds)")
    targets+="- $(grouped "$n") entries: start-up $rp × the peer (target ≤ 0.9: $(within "$rp" 0.9)) and $rf × the floor (≤ 1.1: $(within "$rf" 1.1)); detection $rb × its floor (≤ 1.2: $(within "$rb" 1.2)); deletion $rc × its floor (≤ 1.2: $(within "$rc" 1.2)).
"
  done
  a10=$(get 10000 program load_seconds); a40=$(get 40000 program load_seconds)
  if [ -n "$a10" ] && [ -n "$a40" ]; then
    targets+="- Growth: start-up on 40,000 entries takes $(ratio "$a40" "$a10") × its time on 10,000 (target ≤ 4.4: $(within "$(ratio "$a40" "$a10")" 4.4)).
"
  fi
  local record=""
  if grep -q "^40000 " "$stats"; then
    record="On 40,000 entries ($(grouped "$(get 40000 seed listed)") rows) the three actions took: \"Detect Old Entries to Delete\" $(secs "$(get 40000 program detect_seconds)") s; \"Delete Checked Entries\" with $(grouped "$(get 40000 seed stale)") rows ticked $(secs "$(get 40000 program delete_seconds)") s; \"Uninstall Selected Entry\" with one selected row whose command names a missing file $(secs "$(get 40000 program uninstall_seconds)") s."
  fi

  gnuplot <<PLOT
set terminal svg size 900,540 dynamic font "sans,13" background "#ffffff"
set output "docs/performance.svg"
set title "Seconds by number of entries, under Wine (medians)"
set logscale xy
set xrange [800:125000]
set xlabel "entries in the Uninstall key"
set ylabel "seconds"
set xtics ("1,000" 1000, "10,000" 10000, "40,000" 40000, "100,000" 100000)
set key top left
set grid
# Filled points: the program; open points: the floor of the same work.
plot "$chart" using 1:3 with linespoints lw 2 pt 5 title "Wine's uninstaller --list", \
     "" using 1:5 with linespoints lw 2 pt 7 title "program: start to window with all rows", \
     "" using 1:4 with linespoints lw 2 pt 6 title "floor: the start-up's registry reads", \
     "" using 1:9 with linespoints lw 2 pt 9 title "program: Delete Checked Entries", \
     "" using 1:8 with linespoints lw 2 pt 8 title "floor: the deletions", \
     "" using 1:7 with linespoints lw 2 pt 11 title "program: Detect Old Entries to Delete", \
     "" using 1:6 with linespoints lw 2 pt 10 title "floor: the file tests", \
     "" using 1:2 with linespoints lw 1 pt 1 title "a bare Wine process"
PLOT

  local cpu memory_total wine_version
  cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
  memory_total=$(free -h | awk '/^Mem:/ { print $2 }')
  wine_version=$(wine --version 2>/dev/null)

  cat >"$doc" <<DOC
# Performance

How long a user waits on a long list of installed programs: the program,
measured from outside under Wine, against the floor of the work it has to do
and against Wine's own \`uninstaller --list\` on the same entries. Written by
\`make bench\` (scripts/bench.sh) on $(date -u +%Y-%m-%d).

![Seconds by number of entries](performance.svg)

## Start-up: from process start to the window on screen with every row

Seconds: the median of the runs ($(runs_text)), the fastest and the slowest
in brackets. Each ratio divides two medians of this same run.

$load

## The actions, over every row

$actions

$record

## Memory

Peak working set: the most memory the process held at any time (median).

$memory

## Targets

$targets
## Checks

$checks
## Machine

- $(nproc) cores: $cpu
- $memory_total of memory
- $wine_version, on Xvfb, with a warm, persistent wineserver
- The whole run took $((elapsed / 60)) minutes.

## Method

- **Entries.** For each size a fresh Wine prefix is seeded by a program of the
  benchmark's own (bench/Seed.cpp) that writes the keys with RegCreateKeyExW
  and RegSetValueExW. The entries take the shapes real systems carry: quoted
  uninstaller paths with arguments, \`MsiExec.exe /X{product code}\` (no file
  to check) and \`MsiExec /X{...}\`, rundll32 setupapi InstallHinfSection
  commands naming an .inf file, \`RunDll32 ...,LaunchSetup "...setup.exe"
  -removeonly\`, \`%ProgramFiles%\` commands stored as REG_EXPAND_SZ, names in
  several scripts; besides DisplayName and UninstallString each has Publisher,
  DisplayVersion and EstimatedSize values. One subkey in ten lacks DisplayName
  or UninstallString and gets no row. A tenth of the rows are stale: their
  uninstaller is gone. The live uninstallers exist as files in drive C, a few
  hundred distinct files that all entries share.
- **Program, start-up.** A driver (bench/Driver.cpp) starts the program with
  CreateProcess and waits until a visible top-level window of class
  \`UninstallListCleaner.Form1\` is there and its list answers
  LVM_GETITEMCOUNT with the number of rows.
- **Program, actions.** The driver sends BM_CLICK to each button; the call
  returns once the program has handled the click, that is, run the action.
  First "Detect Old Entries to Delete", which ticks the stale rows; then
  "Uninstall Selected Entry" with one ticked row selected whose command names
  a missing file, so that the shell fails to start it; then "Delete Checked
  Entries", which deletes the ticked tenth. The driver checks that exactly the
  stale rows are gone and the benchmark that exactly their keys are; the
  deleted entries are written again before the next run.
- **Floor.** A program of the benchmark's own (bench/Floor.cpp) makes the same
  platform calls with no window on screen: \`LoadUninstallEntries\` over the
  same registry store into a plain in-memory list, timed like the others from
  process start to end; and, in a separate run, the same rows in a hidden list
  view, the same existence tests after the same %VAR% expansion over the rows'
  files, then the same SHDeleteKeyW deletions with the same row removals from
  the hidden list view, bottom to top, with its repainting off (these two
  timed inside the floor).
- **Peer.** Wine's \`uninstaller --list\` with its output into a file, timed
  from process start to end.
- **Bare process.** A program that returns at once: what any Wine process
  pays to start and end.
- The same driver starts every process in the same way, inside one Wine
  session per size, and the contenders take turns within each run, so the
  ratios compare figures taken under the same conditions.
DOC

  echo
  echo "$load"
  echo
  echo "$actions"
  echo
  if [ -n "$record" ]; then echo "$record"; echo; fi
  echo "$memory"
  echo
  printf '%s' "$targets"
  printf '%s' "$checks"
  echo "Wrote $doc and docs/performance.svg"
}

if [ "${1:-}" = --measure ]; then
  shift
  measure "$@"
  exit 0
fi
# Writes the report again from the last run's figures: --report [SECONDS].
if [ "${1:-}" = --report ]; then
  report build/bench/raw.txt "${2:-0}"
  exit 0
fi

sizes="1000 10000 40000 100000"
runs=5
# Each run at 100,000 entries takes minutes under Wine: fewer of them keep
# the whole benchmark within about half an hour.
big_runs=3
while [ $# -gt 0 ]; do
  case $1 in
    --sizes) sizes=$2; shift ;;
    --runs) runs=$2; big_runs=$(( $2 < big_runs ? $2 : big_runs )); shift ;;
    *) echo "usage: $0 [--sizes \"N ...\"] [--runs N]" >&2; exit 2 ;;
  esac
  shift
done

scripts/deps.sh gnuplot-nox
build=${ULC_BUILD_DIR:-build/windows}
cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" -j2 --target UninstallListCleaner bench_seed bench_floor bench_driver bench_bare

mkdir -p build/bench
raw=build/bench/raw.txt
: >"$raw"
started=$(date +%s)
for n in $sizes; do
  size_runs=$runs
  [ "$n" -ge 100000 ] && size_runs=$big_runs
  echo "== $n entries, $size_runs runs"
  prefix=$PWD/build/bench/prefix-$n
  rm -rf "$prefix" "$prefix.lock"
  scripts/wine-prefix.sh "$prefix"
  scripts/wine-session.sh "$prefix" "$0" --measure "$n" "$size_runs" "$build" >build/bench/raw-$n.txt
  cat build/bench/raw-$n.txt >>"$raw"
  # A prefix of 100,000 entries takes hundreds of megabytes.
  rm -rf "$prefix" "$prefix.lock"
done
report "$raw" $(( $(date +%s) - started ))
