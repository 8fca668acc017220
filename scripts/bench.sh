#!/usr/bin/env bash
# Speed figures, as ratios (machines here are shared and noisy; absolute
# times mean little):
#  1. the rendering job for the largest file against bare loops of its sines
#     (Google Benchmark, build/native/bench/render_bench);
#  2. the whole `marvolen` process for that file against sox writing the same
#     six seconds (same rate, width, channels, tones and fades); best of 5.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh native >/dev/null

json="$(mktemp)"
work="$(mktemp -d)"
trap 'rm -rf "$json" "$work"' EXIT

build/native/bench/render_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_format=json >"$json" 2>/dev/null

python3 - "$json" "$work" <<'PY'
import json, subprocess, sys, time

report = json.load(open(sys.argv[1]))
median = {b["run_name"]: b["real_time"] for b in report["benchmarks"] if b.get("aggregate_name") == "median"}
job = median["BM_RenderTimeSignal"]
print(f"job / bare loop of the same sines (our sine):     {job / median['BM_BareLoopExactSine']:.2f}")
print(f"job / bare loop of the same sines (library sin):  {job / median['BM_BareLoopLibrarySine']:.2f}")

work = sys.argv[2]
marvolen = ["build/native/cli/marvolen", "-o", f"{work}/m.wav", "--rate", "96000", "--bits", "24", "--stereo"]
def pip(freq):
    return f"|sox -n -r 96000 -b 24 -c 2 -p synth 0.15 sine {freq} fade t 0 0.15 0.05 pad 0 0.85"
sox = ["sox", pip(440), pip(440), pip(440),
       "|sox -n -r 96000 -b 24 -c 2 -p synth 3 sine 880 fade t 0 3 2",
       "-b", "24", f"{work}/s.wav"]

def best(cmd, runs=5):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        times.append(time.perf_counter() - start)
    return min(times)

m, s = best(marvolen), best(sox)
print(f"sox process / marvolen process (96000 Hz, 24-bit, stereo): {s / m:.2f}")
PY
