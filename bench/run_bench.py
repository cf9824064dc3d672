#!/usr/bin/env python3
"""The benchmarks, each against a baseline measured in the same run:
  parse  read_acf on a 15 MB library list against peer readers of the format
  copy   the installer replacing 2,000 files (200 MB) under Wine against the
         same single shell copy made by a program that does nothing else
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


def mount_copy_drive():
    """B:, a RAM disk for the copy benchmark, so that the disk's write-back
    (seconds of noise on a shared machine) does not drown the difference
    measured; as root only. Returns the host folder and B:'s Windows name, or
    C:'s when no RAM disk can be had."""
    folder = BENCH_BUILD / "copy_drive"
    folder.mkdir(parents=True, exist_ok=True)
    subprocess.run(["umount", str(folder)], capture_output=True)
    mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=1g", "bench-copy", str(folder)],
                             capture_output=True).returncode == 0
    link = PREFIX / "dosdevices" / "b:"
    if link.is_symlink():
        link.unlink()
    if not mounted:
        print("copy: no RAM disk (mounting one needs root); measuring on C:, where the disk adds noise")
        return DRIVE_C / "bench" / "copy", "C:\\bench\\copy"
    link.symlink_to(folder)
    return folder, "B:"


def copy_bench():
    """A patch that replaces 2,000 existing files in 200 folders: the
    installer (checks, setting aside, copy, verification, clean-up) against
    the same single shell copy made by a program that does nothing else."""
    base, windows_base = mount_copy_drive()
    try:
        copy_bench_on(base, windows_base)
    finally:
        subprocess.run(["umount", str(BENCH_BUILD / "copy_drive")], capture_output=True)


def copy_bench_on(base, windows_base):
    archives = base / "installer" / "archives"
    template = base / "game_before"
    if not (archives / "config.json").exists() or not template.exists():
        shutil.rmtree(base, ignore_errors=True)
        block = os.urandom(100_000)
        for top in range(20):
            for sub in range(10):
                for folder, shift in ((archives, 0), (template, 7)):
                    (folder / f"pack{top:02d}" / f"part{sub}").mkdir(parents=True, exist_ok=True)
                for n in range(10):
                    relative = Path(f"pack{top:02d}") / f"part{sub}" / f"file{n}.bin"
                    (archives / relative).write_bytes(block[n:] + block[:n])
                    (template / relative).write_bytes(block[n + 7:] + block[:n + 7])
        (archives / "config.json").write_text(json.dumps({
            "game_name": "Bench", "process_name": "Bench.exe", "data_directory": "", "registry_key": "Bench copy",
            "steam_id": "1"}))
    shutil.copy(WIN_BUILD / "patch_installer.exe", base / "installer")
    shutil.copy(WIN_BUILD / "tests" / "shell_copy_alone.exe", base)
    set_user_value("Software\\Wavelorn\\Bench copy", "InstallPath", windows_base + "\\game")
    game = base / "game"
    reader = str(WIN_BUILD / "tests" / "box_reader.exe")

    def reset():
        shutil.rmtree(game, ignore_errors=True)
        shutil.copytree(template, game)

    def installer():
        out = wine(reader, windows_base + "\\installer\\patch_installer.exe")
        assert "exit status: 0" in out.stdout, out.stdout

    def shell_alone():
        out = wine(reader, windows_base + "\\shell_copy_alone.exe", windows_base + "\\installer\\archives",
                   windows_base + "\\game")
        assert "exit status: 0" in out.stdout, out.stdout

    def replaced_files():
        return sum(1 for f in game.rglob("*.bin") if f.read_bytes() == (archives / f.relative_to(game)).read_bytes())

    # Alternate the two, each from the same game folder, so that drift in the
    # machine's speed falls on both alike.
    samples = {"shell copy alone": [], "patch_installer": []}
    for _ in range(5):
        for name, action in (("shell copy alone", shell_alone), ("patch_installer", installer)):
            reset()
            start = time.perf_counter()
            action()
            samples[name].append(time.perf_counter() - start)
    files = replaced_files()
    leftovers = sum(1 for _ in game.rglob("*.before-patch*"))
    shutil.rmtree(game, ignore_errors=True)
    results = {name: statistics.median(values) for name, values in samples.items()}
    print(f"copy: 2,000 files replaced in 200 folders, 200 MB on {windows_base[:2]} (installer replaced {files},"
          f" left {leftovers} set aside); median of 5 runs each, both started through the box reader")
    for name, seconds in results.items():
        print(f"  {name:<22} {seconds:7.2f} s")
    print(f"copy: installer / shell copy alone: {results['patch_installer'] / results['shell copy alone']:.2f}x")


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
    (base / "Library09" / "steamapps" / "common" / "Bench").mkdir(parents=True)
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
