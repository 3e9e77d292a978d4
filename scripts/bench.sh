#!/usr/bin/env bash
# Measures the program on long lists under Wine, against the floor of its
# work and against Wine's own lists of installed programs (its uninstaller
# and Add/Remove Programs), counts the start-up's registry calls, prints the
# tables and writes docs/performance.md with a chart.
#
# For each size it seeds a fresh prefix under build/bench/ and, in one Wine
# session, measures every contender several times, interleaved, so that all
# ratios come from the same conditions.
# Usage: scripts/bench.sh [--sizes "1000 10000 40000 100000"] [--runs N]
#        scripts/bench.sh --long-command   (only the long commands' table)
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
  local program floor bare startup peer_out
  program=$(winpath "$bin/UninstallListCleaner.exe")
  floor=$(winpath "$bin/bench_floor.exe")
  bare=$(winpath "$bin/bench_bare.exe")
  startup=$(winpath "$bin/bench_startup.exe")
  peer_out=build/bench/peer-$n.txt

  # key=value lines to "n run contender key value" lines.
  # Windows programs end their lines with CR LF.
  emit() { tr -d '\r' | sed -n "s/^\([a-z_0-9]*\)=\(.*\)$/$n $1 $2 \1 \2/p"; }

  local seeded listed stale
  seeded=$(wine "$seed" seed "$n" | tr -d '\r')
  listed=$(sed -n 's/^listed=//p' <<<"$seeded")
  stale=$(sed -n 's/^stale=//p' <<<"$seeded")
  emit 0 seed <<<"$seeded"
  echo "$n 0 seed runs $runs"

  local run
  for run in $(seq "$runs"); do
    wine "$driver" run "$bare" | emit "$run" bare
    # Wine's uninstaller and control panel live in the prefix; the driver
    # starts them by name.
    wine "$driver" run --out "$(winpath "$PWD/$peer_out")" uninstaller --list | emit "$run" peer
    echo "$n $run peer rows $(wc -l <"$peer_out")"
    # The control panel's list grows about as the square of its rows: from
    # 40,000 entries on it is measured once, and not at all past 40,000.
    if [ "$n" -le 10000 ] || { [ "$n" -le 40000 ] && [ "$run" = 1 ]; }; then
      # A list that settles on another count is recorded (rows_seen) and
      # reported among the checks.
      wine "$driver" window "$listed" control appwiz.cpl | emit "$run" appwiz || true
    fi
    wine "$driver" run "$floor" load | emit "$run" floor
    wine "$driver" run "$startup" | emit "$run" startup
    wine "$driver" program "$program" "$listed" "$stale" | emit "$run" program
    # The deletion must have removed exactly the stale entries' keys.
    wine "$seed" count | emit "$run" after_program
    wine "$seed" restore "$n" >/dev/null
    wine "$driver" run "$floor" actions | emit "$run" floor_actions
    wine "$seed" restore "$n" >/dev/null
  done
  wine "$driver" run "$floor" idle | emit 0 idle
}

# The analysis of one command of 128 KB and of 1 MB, in each costly shape,
# under Wine: its table on stdout. A user's process can write such a command
# into its own entry, and the program reads it at every start.
long_command() {
  local build=$1 prefix=$PWD/build/bench/prefix-long out=build/bench/long-command.txt
  scripts/wine-session.sh "$prefix" wine "$PWD/$build/bin/bench_long_command.exe" | tr -d '\r' >"$out"
  echo "| command shape | 128 KB | 1 MB | files named at 1 MB |"
  echo "|---|---:|---:|---:|"
  local shape
  for shape in extension plain folders quoted rundll32; do
    awk -F= -v s="$shape" '
      $1 == s "_131072_seconds" { small = $2 } $1 == s "_1048576_seconds" { big = $2 } $1 == s "_1048576_files" { files = $2 }
      END { printf "| %s | %.3f s | %.3f s | %s |\n", s, small, big, files }' "$out"
  done
}

# Medians, spreads and ratios from the raw lines: the tables on the terminal,
# docs/performance.md and its chart.
report() {
  local raw=$1 elapsed=$2
  local stats=build/bench/stats.txt chart=build/bench/chart.dat doc=docs/performance.md
  # "size contender key median min max runs" for each measured figure.
  awk '
    function median(list,   a, i, j, t) {
      runs = split(list, a, " ")
      for (i = 2; i <= runs; i++)
        for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
      lo = a[1]; hi = a[runs]
      return runs % 2 ? a[(runs + 1) / 2] : (a[runs / 2] + a[runs / 2 + 1]) / 2
    }
    { key = $1 " " $3 " " $4; values[key] = values[key] " " $5 }
    END { for (key in values) { m = median(substr(values[key], 2)); print key, m, lo, hi, runs } }
  ' "$raw" | sort -k1,1n -k2,2 -k3,3 >"$stats"

  # A figure that was not measured prints as "–" and fails no target.
  get() { awk -v n="$1" -v c="$2" -v k="$3" -v f="${4:-4}" '$1 == n && $2 == c && $3 == k { print $f }' "$stats"; }
  secs() { if [ -n "$1" ]; then awk -v v="$1" 'BEGIN { printf "%.3f", v }'; else echo "–"; fi; }
  spread() {
    local median runs
    median=$(get "$1" "$2" "$3" 4); runs=$(get "$1" "$2" "$3" 7)
    if [ -z "$median" ]; then echo "not measured"
    elif [ "$runs" = 1 ]; then echo "$(secs "$median") (one run)"
    else echo "$(secs "$median") ($(secs "$(get "$1" "$2" "$3" 5)")–$(secs "$(get "$1" "$2" "$3" 6)"))"; fi
  }
  ratio() { if [ -n "$1" ] && [ -n "$2" ]; then awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; else echo "–"; fi; }
  mib() { if [ -n "$1" ]; then awk -v v="$1" 'BEGIN { printf "%.1f MiB", v / 1048576 }'; else echo "–"; fi; }
  within() {
    if [ -z "$1" ] || [ "$1" = "–" ]; then echo "not measured"
    elif awk -v v="$1" -v limit="$2" 'BEGIN { exit !(v <= limit) }'; then echo met
    else echo MISSED; fi
  }
  grouped() { echo "$1" | sed ':a;s/\B[0-9]\{3\}\>/,&/;ta'; }
  runs_text() {
    local n text=""
    for n in $sizes; do text+="${text:+, }$(get "$n" seed runs) at $(grouped "$n")"; done
    echo "$text"
  }
  per() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

  local long="not measured"
  [ -f build/bench/long-command.md ] && long=$(cat build/bench/long-command.md)
  local sizes n
  sizes=$(awk '{ print $1 }' "$stats" | sort -n | uniq)

  local load calls steps actions memory checks="" targets=""
  load="| entries | rows | bare Wine process | Wine's \`uninstaller --list\` | Wine's Add/Remove Programs | floor: the registry reads, no window | program: start to window with all rows | program / floor | program / \`uninstaller --list\` | the same, fastest runs | program / Add/Remove Programs | registry calls for one row's subkey |
|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
  calls="| entries | subkeys enumerated | rows | registry calls | per enumerated subkey | per listed row | for one row's subkey, at most | for one unlisted subkey, on average | for the three places together | store calls that closed no key |
|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
  steps="| entries | CreateProcess to wWinMain | bare Wine process, whole | COM | window, controls and columns | the registry reads, sort keys included | of which the sort keys | sorting and adding the rows to the list view | showing and painting | CreateProcess to window shown | program measured from outside |
|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
  actions="| entries | floor: the file tests and ticks | \"Detect Old Entries to Delete\" | program / floor | floor: the deletions and row removals | \"Delete Checked Entries\", a tenth ticked | program / floor | \"Uninstall Selected Entry\" |
|---:|---:|---:|---:|---:|---:|---:|---:|"
  detect="| entries | rows | Windows Installer rows | products its keys register | file probes | per row | exact-name listings | questions to Windows Installer | per Windows Installer row | drive roots asked |
|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
  memory="| entries | text the rows hold | idle process | floor, plain list | floor, hidden list view | program, window with all rows | program, whole run | Wine's Add/Remove Programs | limit: hidden list view + twice the text | |
|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|"
  : >"$chart"
  for n in $sizes; do
    local rows stale subkeys a floor peer appwiz b fb c fc
    rows=$(get "$n" seed listed); stale=$(get "$n" seed stale)
    a=$(get "$n" program load_seconds); floor=$(get "$n" floor seconds)
    peer=$(get "$n" peer seconds); appwiz=$(get "$n" appwiz seconds)
    b=$(get "$n" program detect_seconds); fb=$(get "$n" floor_actions detect_seconds)
    c=$(get "$n" program delete_seconds); fc=$(get "$n" floor_actions delete_seconds)
    load+="
| $(grouped "$n") | $(grouped "$rows") | $(spread "$n" bare seconds) | $(spread "$n" peer seconds) | $(spread "$n" appwiz seconds) | $(spread "$n" floor seconds) | $(spread "$n" program load_seconds) | $(ratio "$a" "$floor") | $(ratio "$a" "$peer") | $(ratio "$(get "$n" program load_seconds 5)" "$(get "$n" peer seconds 5)") | $(ratio "$a" "$appwiz") | $(get "$n" startup row_calls_max) |"

    local total places unlisted
    subkeys=$(get "$n" startup subkeys); total=$(get "$n" startup calls)
    places=$(get "$n" startup calls_of_places); unlisted=$(get "$n" startup unlisted_calls)
    calls+="
| $(grouped "$n") | $(grouped "$subkeys") | $(grouped "$(get "$n" startup rows)") | $(grouped "$total") | $(per "$total" "$subkeys") | $(per "$total" "$rows") | $(get "$n" startup row_calls_max) | $(per "$unlisted" $((subkeys - rows))) | $places | $(grouped "$(get "$n" startup closes_of_no_key)") |"

    steps+="
| $(grouped "$n") | $(secs "$(get "$n" startup process_seconds)") | $(secs "$(get "$n" bare seconds)") | $(secs "$(get "$n" startup com_seconds)") | $(secs "$(get "$n" startup window_seconds)") | $(secs "$(get "$n" startup reads_seconds)") | $(secs "$(get "$n" startup sort_key_seconds)") | $(secs "$(get "$n" startup list_seconds)") | $(secs "$(get "$n" startup show_seconds)") | $(secs "$(get "$n" startup shown_at)") | $(secs "$a") |"

    actions+="
| $(grouped "$n") | $(spread "$n" floor_actions detect_seconds) | $(spread "$n" program detect_seconds) | $(ratio "$b" "$fb") | $(spread "$n" floor_actions delete_seconds) | $(spread "$n" program delete_seconds) | $(ratio "$c" "$fc") | $(spread "$n" program uninstall_seconds) |"

    local probes queries installer
    probes=$(get "$n" startup detect_probes); queries=$(get "$n" startup detect_queries)
    installer=$(get "$n" startup installer_rows)
    detect+="
| $(grouped "$n") | $(grouped "$rows") | $(grouped "$installer") | $(grouped "$(get "$n" startup registered_products)") | $(grouped "$probes") | $(per "$probes" "$rows") | $(grouped "$(get "$n" startup detect_listings)") | $(grouped "$queries") | $(per "$queries" "$installer") | $(get "$n" startup detect_roots) |"

    local text list peak limit
    text=$(get "$n" floor text_bytes); list=$(get "$n" floor_actions list_peak_ws); peak=$(get "$n" program peak_ws)
    limit=$(awk -v l="$list" -v t="$text" 'BEGIN { printf "%.0f", l + 2 * t }')
    memory+="
| $(grouped "$n") | $(mib "$text") | $(mib "$(get "$n" idle peak_ws)") | $(mib "$(get "$n" floor peak_ws)") | $(mib "$list") | $(mib "$(get "$n" program load_peak_ws)") | $(mib "$peak") | $(mib "$(get "$n" appwiz peak_ws)") | $(mib "$limit") | $(within "$peak" "$limit") |"
    echo "$n $(get "$n" bare seconds) $peer $floor $a $fb $b $fc $c ${appwiz:-NaN}" >>"$chart"

    # What every run must have done, whatever its speed: column 5 and 6
    # hold the least and the most any run gave.
    local problems="" place
    same() { [ "$(get "$n" "$1" "$2" 5)" = "$3" ] && [ "$(get "$n" "$1" "$2" 6)" = "$3" ]; }
    same floor rows "$rows" || problems+=" The floor listed other than $rows rows."
    same startup rows "$rows" || problems+=" The counted start-up listed other than $rows rows."
    same program rows_after $((rows - stale)) || problems+=" The program left other than $((rows - stale)) rows."
    for place in 64 32 user; do
      same after_program "subkeys_$place" $(($(get "$n" seed "entries_$place") - $(get "$n" seed "stale_$place"))) ||
        problems+=" The program's deletion left the wrong keys in place $place."
    done
    same floor_actions ticked "$stale" || problems+=" The floor found other than $stale stale entries."
    same peer rows "$rows" || problems+=" \`uninstaller --list\` listed $(get "$n" peer rows 4) rows."
    [ -z "$(get "$n" appwiz rows_seen)" ] || problems+=" Add/Remove Programs showed $(get "$n" appwiz rows_seen) rows."
    checks+="- $(grouped "$n") entries ($(grouped "$(get "$n" seed entries_64)") in the machine's 64-bit view, $(grouped "$(get "$n" seed entries_32)") in its 32-bit view, $(grouped "$(get "$n" seed entries_user)") in the user's key): $(grouped "$rows") rows, $(grouped "$stale") of them stale.${problems:- In every run each contender listed every row; \"Delete Checked Entries\" removed exactly the stale rows and, in each place, their keys.}
"

    local rp rq target
    rp=$(ratio "$a" "$peer")
    rq=$(ratio "$(get "$n" program load_seconds 5)" "$(get "$n" peer seconds 5)")
    target="- $(grouped "$n") entries: a row's subkey took at most $(get "$n" startup row_calls_max) registry calls (≤ 5: $(within "$(get "$n" startup row_calls_max)" 5))"
    case $n in
      1000) target+="; start-up $rp × \`uninstaller --list\` (≤ 1.00: $(within "$rp" 1.00); fastest runs: $rq)" ;;
      10000 | 40000)
        local rf rb rc
        rf=$(ratio "$a" "$floor"); rb=$(ratio "$b" "$fb"); rc=$(ratio "$c" "$fc")
        target+="; start-up $rp × \`uninstaller --list\` (≤ 1.00: $(within "$rp" 1.00); ≤ 0.9: $(within "$rp" 0.9); fastest runs: $rq) and $rf × the floor (≤ 1.1: $(within "$rf" 1.1)); detection $rb × its floor (≤ 1.2: $(within "$rb" 1.2)); deletion $rc × its floor (≤ 1.2: $(within "$rc" 1.2))" ;;
      100000) target+="; peak working set $(mib "$peak") against a limit of $(mib "$limit") ($(within "$peak" "$limit"))" ;;
    esac
    targets+="$target.
"
  done

  local a10 a40
  a10=$(get 10000 program load_seconds); a40=$(get 40000 program load_seconds)
  if [ -n "$a10" ] && [ -n "$a40" ]; then
    targets+="- Growth: start-up on 40,000 entries takes $(ratio "$a40" "$a10") × its time on 10,000 (target ≤ 4.4: $(within "$(ratio "$a40" "$a10")" 4.4)).
"
  fi
  local record=""
  if grep -q "^40000 " "$stats"; then
    record="On 40,000 entries ($(grouped "$(get 40000 seed listed)") rows) the three actions took: \"Detect Old Entries to Delete\" $(secs "$(get 40000 program detect_seconds)") s; \"Delete Checked Entries\" with $(grouped "$(get 40000 seed stale)") rows ticked $(secs "$(get 40000 program delete_seconds)") s; \"Uninstall Selected Entry\" with one selected row whose command names a missing file $(secs "$(get 40000 program uninstall_seconds)") s."
  fi
  local operations="" first
  first=$(echo "$sizes" | head -n 1)
  operations="At $(grouped "$first") entries the load made $(grouped "$(get "$first" startup calls_open_for_enumeration)") openings of a place's Uninstall key, $(grouped "$(get "$first" startup calls_enumerate)") enumeration steps, $(grouped "$(get "$first" startup calls_open)") openings of an entry's key, $(grouped "$(get "$first" startup calls_query)") value reads and $(grouped "$(get "$first" startup calls_close)") closes."

  gnuplot <<PLOT
set terminal svg size 900,540 dynamic font "sans,13" background "#ffffff"
set output "docs/performance.svg"
set title "Seconds by number of entries, under Wine (medians)"
set logscale xy
set xrange [800:125000]
set xlabel "entries in the Uninstall keys"
set ylabel "seconds"
set xtics ("1,000" 1000, "10,000" 10000, "40,000" 40000, "100,000" 100000)
set key top left
set grid
# Filled points: the program; open points: the floor of the same work.
plot "$chart" using 1:10 with linespoints lw 2 pt 13 title "Wine's Add/Remove Programs", \\
     "" using 1:3 with linespoints lw 2 pt 5 title "Wine's uninstaller --list", \\
     "" using 1:5 with linespoints lw 2 pt 7 title "program: start to window with all rows", \\
     "" using 1:4 with linespoints lw 2 pt 6 title "floor: the start-up's registry reads", \\
     "" using 1:9 with linespoints lw 2 pt 9 title "program: Delete Checked Entries", \\
     "" using 1:8 with linespoints lw 2 pt 8 title "floor: the deletions", \\
     "" using 1:7 with linespoints lw 2 pt 11 title "program: Detect Old Entries to Delete", \\
     "" using 1:6 with linespoints lw 2 pt 10 title "floor: the file tests", \\
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
and against Wine's own two lists of the same entries, \`uninstaller --list\`
and the Add/Remove Programs window of its control panel. Written by
\`make bench\` (scripts/bench.sh) on $(date -u +%Y-%m-%d).

![Seconds by number of entries](performance.svg)

## Start-up: from process start to the window on screen with every row

Seconds: the median of the runs ($(runs_text)), the fastest and the slowest
in brackets. Each ratio divides two medians of this same run, except the one
of the fastest runs: a process that makes thousands of round trips to the
wineserver now and then takes several times as long while other work
contends for the two cores, and the fastest runs show the two lists with the
least of that. Add/Remove Programs takes about the square of its rows' count
(in a trial 70 s at 20,000 entries, 314 s at 40,000): it is measured in one
run at 40,000 entries and not at 100,000, where one run would take about half
an hour.

$load

## Registry calls

Every call the start-up makes to the registry, counted in the program's own
window and load by a store that passes each call on (bench/CountingRegistry.h).
A subkey's calls run from the enumeration step that names it to the next
step. One subkey in ten gets no row: half of those lack a display name and
cost 4 calls (enumerate, open, one read, close), half lack an uninstall
command and cost 5, the same as a row. The target of at most 5 calls is read
against each listed entry's own subkey; the figures per enumerated subkey and
per listed row divide every call of the load, those of the unlisted subkeys
and of the places included. A value of up to 512 bytes is one read; every
seeded value is shorter. The last column counts the store calls that closed
no key (the key holder closes before it opens): they reach no registry.

$calls

$operations

## Where the start-up goes

The program's own window and load, started by the driver like the program,
with the registry calls noted as they end (bench/Startup.cpp); medians of the
same runs, in seconds. The sort keys are computed again, once for every row,
after the start-up: during the load each is computed as its entry is read.

$steps

## The actions, over every row

$actions

$record

What "Detect Old Entries to Delete" asks the machine, counted over the same
rows by the counted start-up (bench/Startup.cpp). It reads no key through
the registry store: once a pass it reads the environment blocks and the
product codes Windows Installer's Products keys register, asks Windows
Installer only about the product of a row that no key registers, probes
each path once (a live entry's file, or a stale one's file and the folders
above it up to one that is there), and lists the first missing name of a
stale path in its folder once.

$detect

## Memory

Peak working set: the most memory the process held at any time (median).
The limit is read at 100,000 entries. Under Wine the same work peaks at
levels that hold steady within a session (every run of a size in one Wine
session gives the same figure to a megabyte) but move from one session to
the next: at 100,000 entries the floor's hidden list view peaked at 217 MiB
in one full run and 474 MiB in another, the program at 219 MiB and 347 MiB,
and at 40,000 entries the floor peaked above the program in one run and
below it in the other. The limit keeps its definition; a verdict at one size
holds for that session's levels, and a miss at one size alone may come from
how Wine's heap grew rather than from the work.

$memory

## One long command

The analysis of a single uninstall command (bench/LongCommand.cpp), as a
process at the user's level can write one into its own entry: seconds that
AnalyseCommand and DeriveUninstallerPath take together, with a place where
a program may end every few characters: a blank after a name without an
extension or with one, after a folder, inside quotes, and rundll32's
arguments, each a share's path. The time must grow as the length does.

$long

## Targets

$targets
## Checks

$checks
## Machine

- $(nproc) cores: $cpu
- $memory_total of memory
- $wine_version, on Xvfb, with a warm, persistent wineserver, a 64-bit prefix
- Other developers built and tested on the same machine meanwhile: the
  spreads show how much that moved single runs.
- The whole run took $((elapsed / 60)) minutes.

## Method

- **Entries.** For each size a fresh Wine prefix is seeded by a program of the
  benchmark's own (bench/Seed.cpp) that writes the keys with RegCreateKeyExW
  and RegSetValueExW into the three places the program lists: about six
  entries in ten in the machine's 64-bit view, three in its 32-bit view
  (Software\\WOW6432Node) and one in the user's key, each place with every
  shape. Both of Wine's lists read the same three places and skip the same
  subkeys: checked by hand, first with one entry in each place, then on a
  seeded prefix of 1,000 entries, where \`uninstaller --list\` and
  Add/Remove Programs listed the same 900 names, the program's 900 rows.
  The entries take the shapes real systems carry: quoted uninstaller paths
  with arguments, \`MsiExec.exe /X{product code}\` and \`MsiExec
  /I{...}\` whose products are registered in Windows Installer's Products
  key (the stale ones' are not), rundll32 setupapi
  InstallHinfSection commands naming an .inf file, \`RunDll32
  ...,LaunchSetup "...setup.exe" -removeonly\`, Wise \`UNWISE.EXE\` commands
  in short names, \`%ProgramFiles%\` commands stored as REG_EXPAND_SZ, names
  in several scripts; besides DisplayName and UninstallString each has
  Publisher, DisplayVersion and EstimatedSize values. One subkey in ten lacks
  DisplayName or UninstallString and gets no row in any of the three lists. A
  tenth of the rows are stale: their uninstaller is gone from a drive that is
  there, or Windows Installer does not know their product. The live uninstallers exist as files in drive C, a few hundred
  distinct files that all entries share.
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
  stale rows are gone and the benchmark that exactly their keys are, place by
  place; the deleted entries are written again before the next run.
- **Floor.** A program of the benchmark's own (bench/Floor.cpp) makes the same
  platform calls with no window on screen: \`LoadUninstallEntries\` over the
  same registry store into a plain in-memory list, timed like the others from
  process start to end; and, in a separate run, the same rows in a hidden list
  view whose texts its parent hands over from the rows, as the program's
  window does; one question a row, to Windows Installer about a product no
  key registers or to the file system about the file the command names after
  %VAR% expansion (each drive root asked once, a missing name confirmed in its
  folder), with a tick for each stale row; then the same deletions, each key
  read back first and deleted in the entry's own place, with the same row
  removals from the hidden list view, bottom to top, with its repainting off
  (these two timed inside the floor). The floor leaves the removed rows'
  texts in the adapter: dropping them would take one pass over the rows.
- **\`uninstaller --list\`.** Wine's uninstaller with its output into a file,
  timed from process start to end.
- **Add/Remove Programs.** \`control appwiz.cpl\`, timed from process start
  until one of its windows is visible and holds a list view with every row,
  found from outside like the program's; then closed with WM_CLOSE.
- **Bare process.** A program that returns at once: what any Wine process
  pays to start and end.
- **Memory limit.** The floor's hidden list view after the load, plus twice
  the UTF-16 bytes of every text the rows hold: room for the window, its
  painting and the actions over the same rows.
- The same driver starts every process in the same way, inside one Wine
  session per size, and the contenders take turns within each run, so the
  ratios compare figures taken under the same conditions.
DOC

  echo
  echo "$load"
  echo
  echo "$calls"
  echo
  echo "$steps"
  echo
  echo "$actions"
  echo
  echo "$detect"
  echo
  if [ -n "$record" ]; then echo "$record"; echo; fi
  echo "$memory"
  echo
  echo "$long"
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

if [ "${1:-}" = --long-command ]; then
  build=${ULC_BUILD_DIR:-build/windows}
  cmake --preset windows -B "$build" >/dev/null
  cmake --build "$build" -j2 --target bench_long_command
  mkdir -p build/bench
  long_command "$build"
  exit 0
fi

sizes="1000 10000 40000 100000"
runs=5
# Each run at 100,000 entries takes minutes under Wine: fewer of them keep
# the whole benchmark within about half an hour.
big_runs=3
# A run at 1,000 entries takes seconds, and processes that short are the
# most at the mercy of whatever else the machine runs meanwhile: more runs
# keep their medians steady.
small_runs=15
while [ $# -gt 0 ]; do
  case $1 in
    --sizes) sizes=$2; shift ;;
    --runs) runs=$2; small_runs=$2; big_runs=$(( $2 < big_runs ? $2 : big_runs )); shift ;;
    *) echo "usage: $0 [--sizes \"N ...\"] [--runs N]" >&2; exit 2 ;;
  esac
  shift
done

scripts/deps.sh gnuplot-nox
build=${ULC_BUILD_DIR:-build/windows}
cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" -j2 --target UninstallListCleaner bench_seed bench_floor bench_startup bench_driver bench_long_command bench_bare

mkdir -p build/bench
raw=build/bench/raw.txt
: >"$raw"
started=$(date +%s)
for n in $sizes; do
  size_runs=$runs
  [ "$n" -le 1000 ] && size_runs=$small_runs
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
long_command "$build" >build/bench/long-command.md
report "$raw" $(( $(date +%s) - started ))
