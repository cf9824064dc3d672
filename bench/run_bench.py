#!/usr/bin/env python3
"""The benchmarks, each against a baseline measured in the same run:
  parse  read_acf on a 15 MB library list against peer readers of the format
  copy   the installer copying a 2,000-file, 200 MB patch under Wine against
         Wine's xcopy and a native cp -r
  run    a run that finds the game through 50 Steam libraries against an
         empty Windows program under the same Wine
Usage: run_bench.py BENCH_BUILD WINDOWS_BUILD [parse|copy|run ...]"""
import json
import os
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
BENCH_BUILD = Path(sys.argv[1]).resolve()
WIN_BUILD = Path(sys.argv[2]).resolve()
WHICH = sys.argv[3:] or ["parse", "copy", "run"]
PREFIX = WIN_BUILD / "wineprefix"
ENV = dict(os.environ, WINEPREFIX=str(PREFIX))
DRIVE_C = PREFIX / "drive_c"


def wine(*args, cwd=None, check=True):
    return subprocess.run([str(ROOT / "tools" / "wine-run"), *args], env=ENV, cwd=cwd, check=check,
                          stdin=subprocess.DEVNULL, capture_output=True, text=True)


def timed(action, repeats):
    samples = []
    for _ in range(repeats):
        start = time.perf_counter()
        action()
        samples.append(time.perf_counter() - start)
    return statistics.median(samples)


# glibc hands the heap's free top back to the system, so a reader that frees
# a large tree and builds the next one pays a page fault per 4 KiB again, and
# on a virtual machine these cost more than the parsing. Every reader is
# therefore measured twice: with the default heap, and with the heap kept
# between reads (no trimming, no separate mappings for large blocks).
HEAP_SETTINGS = {
    "default heap": {},
    "heap kept": {"GLIBC_TUNABLES": "glibc.malloc.trim_threshold=4294967295:glibc.malloc.mmap_threshold=4294967295"},
}


def parse_readers(data, extra_env):
    env = dict(os.environ, **extra_env)

    def measure(command, **kwargs):
        return json.loads(subprocess.run(command, check=True, capture_output=True, text=True,
                                         env=dict(env, **kwargs)).stdout)

    ours = measure([str(BENCH_BUILD / "acf_bench"), str(data)])
    peers = {"python3-vdf": measure(["/usr/bin/python3", str(ROOT / "bench" / "peer_python.py"), str(data)])}
    for package in ["vdf", "simple-vdf", "@node-steam/vdf"]:
        peers["npm " + package] = measure(["node", str(ROOT / "bench" / "peers.js"), str(data), package],
                                          NODE_PATH=str(BENCH_BUILD / "node" / "node_modules"))
    return ours, peers


def parse_bench():
    data = BENCH_BUILD / "libraryfolders.vdf"
    if not data.exists():
        subprocess.run([sys.executable, str(ROOT / "bench" / "make_library_list.py"), str(data)], check=True)
    size = data.stat().st_size / 1e6
    results = {setting: parse_readers(data, env) for setting, env in HEAP_SETTINGS.items()}
    libraries = next(iter(results.values()))[0]["libraries"]
    print(f"parse: {size:.1f} MB library list, {libraries} libraries of 20 apps; MB/s, best of several reads")
    print(f"  {'':<22}" + "".join(f"{setting:>16}" for setting in results))
    names = ["read_acf (ours)"] + list(next(iter(results.values()))[1])
    for name in names:
        row = [ours["mb_per_s"] if name == "read_acf (ours)" else peers[name]["mb_per_s"]
               for ours, peers in results.values()]
        print(f"  {name:<22}" + "".join(f"{value:16.1f}" for value in row))
    for setting, (ours, peers) in results.items():
        fastest = max(peers.items(), key=lambda item: item[1]["mb_per_s"])
        print(f"  {setting}: ours / fastest peer ({fastest[0]}): {ours['mb_per_s'] / fastest[1]['mb_per_s']:.1f}x,"
              f" peak RSS of ours {ours['peak_rss_kb'] / 1024:.0f} MiB")


def set_user_value(key, name, value):
    wine("reg", "add", "HKCU\\" + key, "/v", name, "/d", value, "/f")


def copy_bench():
    base = DRIVE_C / "bench" / "copy"
    archives = base / "installer" / "archives"
    if not (archives / "config.json").exists():
        shutil.rmtree(base, ignore_errors=True)
        block = os.urandom(100_000)
        for top in range(20):
            for sub in range(10):
                folder = archives / f"pack{top:02d}" / f"part{sub}"
                folder.mkdir(parents=True)
                for n in range(10):
                    (folder / f"file{n}.bin").write_bytes(block[n:] + block[:n])
        shutil.copy(WIN_BUILD / "patch_installer.exe", base / "installer")
        (archives / "config.json").write_text(json.dumps({
            "game_name": "Bench", "process_name": "Bench.exe", "data_directory": "", "registry_key": "Bench copy",
            "steam_id": "1"}))
    set_user_value("Software\\Wavelorn\\Bench copy", "InstallPath", "C:\\bench\\copy\\game")
    targets = [base / "game", base / "xcopy", base / "cp"]

    def clean():
        for target in targets:
            shutil.rmtree(target, ignore_errors=True)

    def installer():
        clean()
        out = wine(str(WIN_BUILD / "tests" / "box_reader.exe"), "C:\\bench\\copy\\installer\\patch_installer.exe")
        assert "exit status: 0" in out.stdout, out.stdout

    def xcopy():
        clean()
        wine("xcopy", "/e", "/i", "/y", "/q", "C:\\bench\\copy\\installer\\archives", "C:\\bench\\copy\\xcopy")

    def cp():
        clean()
        subprocess.run(["cp", "-r", str(archives), str(base / "cp")], check=True)

    cp()  # warm the page cache
    results = {"cp -r (native)": timed(cp, 3), "wine xcopy /e /i /y": timed(xcopy, 3), "patch_installer": timed(installer, 3)}
    files = sum(1 for _ in (base / "game").rglob("*.bin"))
    clean()
    print(f"copy: 2,000 files in 200 folders, 200 MB (installer copied {files} files)")
    for name, seconds in results.items():
        print(f"  {name:<22} {seconds:7.2f} s   {seconds / results['cp -r (native)']:5.1f}x cp   "
              f"{seconds / results['wine xcopy /e /i /y']:5.2f}x xcopy")


def run_bench():
    base = DRIVE_C / "bench" / "run"
    shutil.rmtree(base, ignore_errors=True)
    (base / "installer" / "archives").mkdir(parents=True)
    shutil.copy(WIN_BUILD / "patch_installer.exe", base / "installer")
    shutil.copy(WIN_BUILD / "tests" / "empty_program.exe", base / "installer")
    (base / "installer" / "archives" / "config.json").write_text(json.dumps({
        "game_name": "Bench", "process_name": "Bench.exe", "data_directory": "", "registry_key": "Bench absent",
        "steam_id": "4000"}))
    members = []
    for i in range(50):
        library = base / f"Library{i:02d}"
        (library / "steamapps").mkdir(parents=True)
        members.append(f'\t"{i}"\n\t{{\n\t\t"path"\t\t"C:\\\\bench\\\\run\\\\Library{i:02d}"\n\t}}\n')
    # Keys are tried in byte order: "9" comes last.
    (base / "Library09" / "steamapps" / "appmanifest_4000.acf").write_text(
        '"AppState"\n{\n\t"installdir"\t\t"Bench"\n}\n')
    (base / "Steam" / "steamapps").mkdir(parents=True)
    (base / "Steam" / "steamapps" / "libraryfolders.vdf").write_text('"libraryfolders"\n{\n' + "".join(members) + "}\n")
    set_user_value("Software\\Valve\\Steam", "SteamPath", "C:\\bench\\run\\Steam")
    reader = str(WIN_BUILD / "tests" / "box_reader.exe")

    def installer():
        out = wine(reader, "C:\\bench\\run\\installer\\patch_installer.exe", cwd=base)
        assert "exit status: 0" in out.stdout, out.stdout

    def empty():
        wine(reader, "C:\\bench\\run\\installer\\empty_program.exe", cwd=base)

    installer()
    log = (base / "install_log.log").read_text(encoding="latin-1").splitlines()
    results = {"empty program": timed(empty, 15), "patch_installer": timed(installer, 15)}
    wine("reg", "delete", "HKCU\\Software\\Valve\\Steam", "/f", check=False)
    print(f"run: game found in the last of 50 Steam libraries ({len(log)} log lines), nothing to copy,"
          " both started through the box reader")
    for name, seconds in results.items():
        print(f"  {name:<22} {seconds * 1000:7.0f} ms   {seconds / results['empty program']:5.2f}x empty program")


subprocess.run([str(ROOT / "tools" / "wine-prefix"), "start"], env=ENV, check=True)
try:
    for name in WHICH:
        {"parse": parse_bench, "copy": copy_bench, "run": run_bench}[name]()
finally:
    subprocess.run([str(ROOT / "tools" / "wine-prefix"), "stop"], env=ENV, check=False)
