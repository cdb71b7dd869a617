"""Station and level tables (pandas), archives on Dask, and quiet readers in threads."""
import os
import subprocess
import sys
import textwrap

import pytest

import vivezeru5

FLAGGED_COLUMN = "cin_jkg_flag"


def test_station_table_has_one_row_per_station_with_flags(examples):
    pytest.importorskip("pandas")
    frame = vivezeru5.read(examples / "sounding_type5.txt").to_dataframe()
    assert list(frame.columns[:9]) == ["file", "sounding", "format", "time", "station_id", "lon", "lat", "elevation",
                                       "level_count"]
    assert list(frame.columns[9:28]) == list(vivezeru5.DERIVED_NAMES)
    assert list(frame.columns[28:]) == [f"{name}_flag" for name in vivezeru5.DERIVED_NAMES]
    assert frame["station_id"].tolist() == [10001, 10002, 10003]
    assert frame["sounding"].tolist() == [0, 1, 2]
    first = frame.iloc[0]
    assert (first["lon"], first["lat"], first["k_index_c"], first["total_totals_c"]) == (116.3, 39.9, 36, 51)
    assert str(first["time"]) == "2026-12-08 12:00:00+00:00"
    assert frame[FLAGGED_COLUMN].tolist() == [None, "no_lfc", "no_lfc"]  # stations 2 and 3 have no LFC
    # CSV shows the shortest decimals and reads back with the flags
    import io

    import pandas

    text = frame.to_csv(index=False)
    assert ",116.3,39.9,55.0,15," in text
    assert ",0,type5,2026-12-08 12:00:00+00:00,10001," in text
    back = pandas.read_csv(io.StringIO(text))
    assert back[FLAGGED_COLUMN].fillna("").tolist() == ["", "no_lfc", "no_lfc"]


def test_level_table_has_one_row_per_level(examples):
    pytest.importorskip("pandas")
    frame = vivezeru5.read(examples / "sounding_type5.txt").levels_dataframe()
    assert len(frame) == 15 + 7 + 6
    assert list(frame.columns) == ["file", "sounding", "station_id", "level", *vivezeru5.LEVEL_COLUMNS]
    row = frame[(frame["station_id"] == 10002) & (frame["level"] == 4)]
    assert row[list(vivezeru5.LEVEL_COLUMNS)].values.tolist() == [[500, 560, -32, -42, 290, 25]]
    assert row["sounding"].tolist() == [1]


def test_surface_table(examples):
    pytest.importorskip("pandas")
    frame = vivezeru5.read(examples / "surface_type1.txt").to_dataframe()
    assert frame["station_id"].tolist() == [40101, 40102, 40103, 40104]
    assert (frame.loc[1, "value_25"], frame.loc[1, "value_26"]) == (-2.4, -1.3)


THREADS_SCRIPT = textwrap.dedent(
    """
    import sys, threading, time
    import vivezeru5

    path, loud_reads, printed = sys.argv[1], [], threading.Event()

    def reading(progress):
        while not printed.is_set():
            vivezeru5.read_type5(path, progress=progress)
            if progress:
                loud_reads.append(1)

    threads = [threading.Thread(target=reading, args=(progress,)) for progress in (False, False, True)]
    for thread in threads:
        thread.start()
    for n in range(300):
        print(f"main {n}", flush=True)
        time.sleep(0.0002)
    printed.set()
    for thread in threads:
        thread.join()
    print(len(loud_reads), file=sys.stderr)
    """
)


def test_quiet_readers_in_threads_leave_other_output_alone(examples, tmp_path):
    """Two threads read quietly and one with its progress lines while the main
    thread prints (to a pipe): every printed line arrives, and the progress
    lines come only from the loud reads, two lines each."""
    script = tmp_path / "threads.py"
    script.write_text(THREADS_SCRIPT)
    # Unbuffered, the C library writes a progress line and its newline in two
    # writes, between which another thread's line can land.
    environment = {key: value for key, value in os.environ.items() if key != "PYTHONUNBUFFERED"}
    result = subprocess.run([sys.executable, str(script), str(examples / "sounding_type5.txt")],
                            capture_output=True, text=True, timeout=120, env=environment)
    assert result.returncode == 0, result.stderr
    out, loud_reads = result.stdout.splitlines(), int(result.stderr)
    assert [line for line in out if line.startswith("main")] == [f"main {n}" for n in range(300)]
    assert out.count("New Method ... NegEngBLFC end") == out.count("New Method ... EL end") == loud_reads
    assert len(out) == 300 + 2 * loud_reads


C_RUNTIME_SCRIPT = textwrap.dedent(
    """
    import ctypes, sys, threading
    import vivezeru5

    libc = ctypes.CDLL(None)
    libc.puts.argtypes = [ctypes.c_char_p]
    libc.fflush.argtypes = [ctypes.c_void_p]

    def printing():
        for n in range(10000):
            libc.puts(b"other %d" % n)
        libc.fflush(None)

    thread = threading.Thread(target=printing)
    thread.start()
    for n in range(200):
        vivezeru5.read(sys.argv[1 + n % (len(sys.argv) - 1)])
    thread.join()
    """
)


def test_output_of_other_threads_through_the_c_runtime_is_kept(examples, tmp_path):
    """Another thread prints 10,000 lines through the C runtime while the main
    thread reads 200 files: every line arrives, and no progress line."""
    script = tmp_path / "c_runtime.py"
    script.write_text(C_RUNTIME_SCRIPT)
    files = [str(examples / name) for name in ("sounding_type5.txt", "sounding_rozedu.txt")]
    result = subprocess.run([sys.executable, str(script), *files], capture_output=True, text=True, timeout=120)
    assert result.returncode == 0, result.stderr
    assert result.stdout.splitlines() == [f"other {n}" for n in range(10000)]


ARCHIVE_SCRIPT = textwrap.dedent(
    """
    import sys
    import dask
    import pandas
    from distributed import Client, LocalCluster
    import vivezeru5, vivezeru5.dask

    if __name__ == "__main__":
        paths = sys.argv[1:]
        with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster:
            with Client(cluster):
                frame, problems = vivezeru5.dask.read_archive(paths, files_per_partition=2, errors="skip",
                                                              return_problems=True)
                assert frame.npartitions == 3
                got, problems = dask.compute(frame, problems)
        got = got.reset_index(drop=True)
        want = vivezeru5.read_many(paths, errors="skip").to_dataframe()
        pandas.testing.assert_frame_equal(got, want)
        print("rows", len(got), "problems", len(problems.problems), "skipped", [s.file for s in problems.skipped])
    """
)


def test_archive_on_two_worker_processes_matches_single_process(examples, tmp_path):
    pytest.importorskip("distributed")
    pytest.importorskip("dask.dataframe")
    paths = [str(examples / name) for name in ("sounding_type5.txt", "sounding_rozedu.txt", "sounding_type5_decimal.txt",
                                                "surface_type1.txt", "absent.txt")]
    script = tmp_path / "archive.py"
    script.write_text(ARCHIVE_SCRIPT)
    result = subprocess.run([sys.executable, "-W", "ignore", str(script), *paths], capture_output=True, text=True,
                            timeout=300)
    assert result.returncode == 0, result.stderr
    # 3 + 2 + 2 stations, no problem, the surface file and the absent one left
    # out, and no progress line from the workers
    assert result.stdout == f"rows 7 problems 0 skipped {paths[3:]!r}\n"
