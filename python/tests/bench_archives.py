"""Times reading an archive of one-station files three ways: the tool's
`batch --csv`, `vivezeru5.read_many` in one process, and
`vivezeru5.dask.read_archive` on a two-worker LocalCluster (timed after it
has started). Prints Markdown table rows for BENCHMARKS.md.

    VIVEZERU5_LIBRARY=build/default/libvivezeru5.so PYTHONPATH=python \\
      /usr/bin/python3 python/tests/bench_archives.py --tool build/default/tools/vivezeru5 \\
      --files 400 4000 --partitions 25 50 100 200 400

The files are copies of the one-station files of $VIVEZERU5_REAL_DATA
(type5_int/ and rozedu/), made in a temporary directory. Not a test: pytest
does not collect it.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import vivezeru5
import vivezeru5.dask
from conftest import REAL


def archive(folder: Path, count: int):
    sources = sorted((REAL / "type5_int").glob("*.txt")) + sorted((REAL / "rozedu").glob("*.txt"))
    if not sources:
        sys.exit(f"no one-station files under {REAL}")
    paths = []
    for n in range(count):
        path = folder / f"{n:05d}_{sources[n % len(sources)].parent.name}_{sources[n % len(sources)].name}"
        shutil.copyfile(sources[n % len(sources)], path)
        paths.append(str(path))
    return paths


def best(repeat, work):
    times = []
    for _ in range(repeat):
        start = time.perf_counter()
        work()
        times.append(time.perf_counter() - start)
    return min(times)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tool", required=True, help="the vivezeru5 command-line tool")
    parser.add_argument("--files", type=int, nargs="+", default=[400])
    parser.add_argument("--partitions", type=int, nargs="+", default=[vivezeru5.dask.FILES_PER_PARTITION])
    parser.add_argument("--repeat", type=int, default=5)
    options = parser.parse_args()

    from distributed import Client, LocalCluster

    with tempfile.TemporaryDirectory() as temporary, \
            LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
            Client(cluster) as client:
        client.run(lambda: __import__("vivezeru5").read_many)  # each worker imports the package once
        print("| files | reader | seconds | per file (ms) | against the faster read_many |")
        print("| --- | --- | --- | --- | --- |")
        for count in options.files:
            folder = Path(temporary) / str(count)
            folder.mkdir()
            paths = archive(folder, count)
            batch = best(options.repeat, lambda: subprocess.run(
                [options.tool, "batch", "--csv", "-o", os.devnull, str(folder)], check=True, stderr=subprocess.DEVNULL))
            pooled = best(options.repeat, lambda: vivezeru5.read_many(paths).to_dataframe())
            alone = best(options.repeat, lambda: vivezeru5.read_many(paths, threads=1).to_dataframe())
            both = best(options.repeat, lambda: (lambda a: (a.to_dataframe(), a.levels_dataframe()))(
                vivezeru5.read_many(paths)))
            single = min(pooled, alone)

            def row(reader, seconds):
                print(f"| {count} | {reader} | {seconds:.3f} | {seconds / count * 1e3:.3f} | {seconds / single:.2f} |")

            row("`vivezeru5 batch --csv` (2 jobs)", batch)
            row("`read_many(...).to_dataframe()`, 2 threads", pooled)
            row("`read_many(..., threads=1).to_dataframe()`", alone)
            row("`read_many`, 2 threads, station and level frames", both)
            for per_partition in options.partitions:
                cluster_time = best(options.repeat, lambda: vivezeru5.dask.read_archive(
                    paths, files_per_partition=per_partition).compute())
                row(f"`dask.read_archive`, {per_partition} files a partition", cluster_time)
            sys.stdout.flush()


if __name__ == "__main__":
    main()
