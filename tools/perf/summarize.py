#!/usr/bin/env python3
"""Prints the figures of scripts/perf.sh: each measure beside its floor, as medians with their
spread (the middle half of the samples, 25th to 75th percentile) and the ratio of the medians.

Inputs (files written by scripts/perf.sh):
  --bench FILE    Google Benchmark JSON with repetitions (CPU time per iteration is used)
  --samples FILE  lines "sample MEASURE SUBJECT VALUE" (and "failed ...") from perf_driver
  --values FILE   lines "NAME VALUE" (queue_memory's output, exe sizes)
"""
import argparse
import collections
import json
import statistics
import sys


def quartiles(values):
    values = sorted(values)
    if len(values) < 2:
        return values[0], values[0], values[0]
    q = statistics.quantiles(values, n=4, method="inclusive")
    return q[0], statistics.median(values), q[2]


def read_bench(paths):
    samples = collections.defaultdict(list)
    for path in paths:
        with open(path) as f:
            data = json.load(f)
        for b in data["benchmarks"]:
            if b.get("run_type") == "iteration":
                scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b.get("time_unit", "ns")]
                samples[b["run_name"]].append(b["cpu_time"] * scale)
    return samples


def read_samples(paths):
    samples = collections.defaultdict(list)
    failures = []
    for path in paths:
        with open(path) as f:
            for line in f:
                parts = line.split()
                if len(parts) == 4 and parts[0] == "sample":
                    samples[f"{parts[1]}/{parts[2]}"].append(float(parts[3]))
                elif parts and parts[0] == "failed":
                    failures.append(line.strip())
    return samples, failures


def read_values(paths):
    values = {}
    for path in paths:
        with open(path) as f:
            for line in f:
                parts = line.split()
                if len(parts) == 2:
                    try:
                        values[parts[0]] = float(parts[1])
                    except ValueError:
                        pass
    return values


def figure(values, unit):
    lo, mid, hi = quartiles(values)
    if unit == "ns" and mid >= 1000:
        return f"{mid / 1000:9.2f} us [{lo / 1000:.2f}-{hi / 1000:.2f}]"
    if unit == "B":
        return f"{mid / 1e6:9.2f} MB [{lo / 1e6:.2f}-{hi / 1e6:.2f}]"
    return f"{mid:9.2f} {unit} [{lo:.2f}-{hi:.2f}]"


def compare(title, subject, floor, unit):
    if not subject or not floor:
        print(f"  {title:34} (not measured)")
        return
    ratio = statistics.median(subject) / statistics.median(floor)
    print(f"  {title:34} {figure(subject, unit):32} floor {figure(floor, unit):32} "
          f"x{ratio:5.2f}  (n={len(subject)}/{len(floor)})")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bench", action="append", default=[])
    parser.add_argument("--samples", action="append", default=[])
    parser.add_argument("--values", action="append", default=[])
    args = parser.parse_args()
    bench = read_bench(args.bench)
    samples, failures = read_samples(args.samples)
    values = read_values(args.values)

    print("Native (Google Benchmark, CPU time per call, median [25th-75th percentile]):")
    compare("AddSpot, full list", bench["AddSpotFullList"], bench["ListAddFloor"], "ns")
    compare("SplitFields", bench["SplitFields"], bench["FindLoopFloor"], "ns")
    texts = sorted({k.split("/")[1] for k in bench if k.startswith("NumericValue/")}, key=int)
    for t in texts:
        compare(f"NumericValue, text {t}", bench[f"NumericValue/{t}"],
                bench[f"FromCharsFloor/{t}"], "ns")
    compare("DrawCompass (headless raster)", bench["DrawCompassRedraw"], bench["DiscFillFloor"],
            "ns")
    # The intake must cost the same whatever waits: its floor is its own cost at a short backlog.
    compare("intake tick, 1,000,000 lines wait", bench["ProgramBuffer/1000000"],
            bench["ProgramBuffer/10"], "ns")
    compare("  a front-erasing string instead", bench["NaiveBuffer/1000000"],
            bench["NaiveBuffer/10"], "ns")
    compare("whole window tick, 1,000,000 wait", bench["WindowTick/1000000"],
            bench["WindowTick/10"], "ns")
    print("  (the intake's floor is the same tick with 10 lines waiting)")

    print("\nCluster bridge (Google Benchmark, CPU time per call, median [25th-75th percentile]):")
    compare("call look-up, 24 calls", bench["CallLookUp"], bench["CallHashProbeFloor"], "ns")
    compare("  a scan of every prefix instead", bench["CallLinearScan"],
            bench["CallHashProbeFloor"], "ns")
    compare("loading Debian's cty.dat", bench["CountryFileLoad"],
            bench["CountryFileSplitFloor"], "ns")
    compare("classifying 8 cluster lines", bench["ClassifyLine"], bench["MemchrFloor"], "ns")
    compare("24 spots' whole way through the bridge", bench["SpotWholeWay"],
            bench["SpotReadFloor"], "ns")

    print("\nUnder Wine (milliseconds, median [25th-75th percentile]):")
    compare("start-up to window shown", samples["startup/vantro32"], samples["startup/floor"],
            "ms")
    compare("round trip Go -> report drawn", samples["roundtrip/vantro32"],
            samples["roundtrip/floor"], "ms")
    if samples["roundtrip/floor_thread"]:
        compare("  floor with its DDE on a thread", samples["roundtrip/floor_thread"],
                samples["roundtrip/floor"], "ms")
        compare("  against that floor", samples["roundtrip/vantro32"],
                samples["roundtrip/floor_thread"], "ms")
    if samples["roundtrip/floor_dde"]:
        print(f"  {'  floor client, poke to report':34} "
              f"{figure(samples['roundtrip/floor_dde'], 'ms')}")

    print("\nSize and memory:")
    for floor, what in (("size_floor", "vantro32.exe size"),
                        ("size_floor_cxx", "  against a C++ window program")):
        if "size_vantro32" in values and floor in values:
            print(f"  {what:34} {values['size_vantro32'] / 1024:9.1f} KB{'':22} "
                  f"floor {values[floor] / 1024:9.1f} KB{'':22} "
                  f"x{values['size_vantro32'] / values[floor]:5.2f}")
    compare("working set, idle", samples["working_set_idle/vantro32"],
            samples["working_set_idle/floor"], "B")
    loaded, idle = samples["working_set_loaded/vantro32"], samples["working_set_idle/vantro32"]
    text = samples["intake_text_bytes/host"]
    if loaded and idle and text:
        grown = statistics.median(loaded) - statistics.median(idle)
        print(f"  {'working set, lines waiting':34} {figure(loaded, 'B'):32} "
              f"grew {grown / 1e6:.1f} MB for {text[0] / 1e6:.1f} MB of text: "
              f"x{grown / text[0]:.2f} the text")
    if "heap_bytes" in values:
        print(f"  {'SpotQueue, native':34} {values['heap_bytes'] / 1e6:9.2f} MB heap for "
              f"{values['text_bytes'] / 1e6:.2f} MB of text in {values['lines']:.0f} lines: "
              f"x{values['heap_per_text']:.3f} the text")
    if "cluster_heap_end" in values:
        print(f"  {'cluster bridge, an hour at 100/s':34} {values['cluster_heap_10min'] / 1e6:9.2f} MB "
              f"heap at 10 minutes, {values['cluster_heap_max'] / 1e6:.2f} MB at most after, "
              f"{values['cluster_heap_end'] / 1e6:.2f} MB at the end: x"
              f"{values['cluster_heap_max'] / values['cluster_heap_10min']:.3f}")

    for failure in failures:
        print(f"  ! {failure}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
