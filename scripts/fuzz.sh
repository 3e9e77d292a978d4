#!/usr/bin/env bash
# Builds the fuzz preset and runs each libFuzzer target for a while, on a
# scratch copy of its seed corpus under build/fuzz/runs, with inputs of up to
# 1 MB. A crash, a leak, a hang, an input that runs for seconds or takes
# hundreds of megabytes, or a broken invariant fails the run and leaves the input under
# build/fuzz/runs/<target>/artifacts.
# Usage: scripts/fuzz.sh [SECONDS] [--save]
#   SECONDS  time per target (default 60)
#   --save   merge what the run found into the kept corpora, tests/fuzz/corpus
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
save=no
for arg in "$@"; do
  case $arg in
    --save) save=yes ;;
    '' | *[!0-9]*) echo "usage: $0 [SECONDS] [--save]" >&2; exit 2 ;;
    *) seconds=$arg ;;
  esac
done

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2

runs=build/fuzz/runs
max_len=1048576
# Each a start, "|", and a step repeated after it.
long_shapes=('C:\|a b ' 'C:\|a.exe ' '"C:\|a.exe ' 'C:\|a b\' 'rundll32 x.dll,Run |\\s\t ' 'MsiExec /X|{ ')
long_count=0
failed=()
for target in command_fuzz; do
  work=$runs/$target
  mkdir -p "$work/corpus"
  rm -rf "$work/artifacts"
  mkdir -p "$work/artifacts"
  # The scratch corpus keeps what earlier runs found; the kept seeds are
  # copied in afresh, so a seed changed in the repository wins.
  cp tests/fuzz/corpus/$target/* "$work/corpus/"
  # Long inputs, which mutation alone would take hours to grow: commands with
  # a place where a program may end every few characters (blanks, program
  # extensions, folders, quotes, rundll32's roots), a quarter of the longest
  # input long, fuzzed on their own for a third of the time. A user's process
  # can write a command that long into its own entry; among the short inputs
  # they would leave little time for those that reach the most code.
  rm -rf "$work/long"
  mkdir -p "$work/long"
  for shape in "${long_shapes[@]}"; do
    text=${shape#*|}
    while [ ${#text} -lt $((max_len / 4)) ]; do text="$text$text"; done
    printf '%s%s' "${shape%%|*}" "${text:0:$((max_len / 4))}" >"$work/long/$((++long_count))"
  done

  echo "== $target: ${seconds}s"
  status=0
  for phase in corpus long; do
    phase_seconds=$((seconds / 3))
    [ "$phase" = corpus ] && phase_seconds=$((seconds - phase_seconds))
    # An input that runs for seconds or takes hundreds of megabytes fails the
    # run: the analysis must grow as the command's length does.
    options=(-max_total_time="$phase_seconds" -max_len=$max_len -timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=64
             -print_final_stats=1 -artifact_prefix="$work/artifacts/")
    [ -f tests/fuzz/$target.dict ] && options+=(-dict=tests/fuzz/$target.dict)
    log=$work/$phase.log
    build/fuzz/fuzzers/$target "${options[@]}" "$work/$phase" >"$log" 2>&1 || status=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    coverage=$(grep -E '^#[0-9]+' "$log" | tail -n 1 | grep -oE 'cov: [0-9]+ ft: [0-9]+' || true)
    if [ "$status" -ne 0 ]; then
      failed+=("$target")
      echo "$target FAILED (exit $status); the end of $log:"
      tail -n 40 "$log"
      echo "inputs kept in $work/artifacts:"
      ls -l "$work/artifacts"
      echo "to run one again: build/fuzz/fuzzers/$target $work/artifacts/<file>"
      break
    fi
    echo "$target, $phase inputs: ${executions:-?} executions, ${coverage:-no coverage line}"
  done

  if [ "$save" = yes ] && [ "$status" -eq 0 ]; then
    # Only inputs that reach code the kept ones miss, so the corpora stay small.
    build/fuzz/fuzzers/$target -merge=1 -use_counters=0 "tests/fuzz/corpus/$target" "$work/corpus" >"$work/merge.log" 2>&1
    echo "$target: corpus now $(ls "tests/fuzz/corpus/$target" | wc -l) files"
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzzing failed: ${failed[*]}" >&2
  exit 1
fi
