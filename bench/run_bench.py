#!/usr/bin/env python3
"""The benchmarks, each against a baseline measured in the same run:
  parse  read_acf on a 15 MB library list against peer readers of the format
  copy   the installer replacing 2,000 files (200 MB) under Wine against the
         same single shell copy made by a program that does nothing else
  run    a run that finds the game through 50 Steam libraries against a
         Windows program that only shows one message box, under the same Wine
Usage: run_bench.py BENCH_BUILD WINDOWS_BUILD [parse|copy|run ...]"""
import hashlib
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
    mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=2g", "bench-copy", str(folder)],
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


def make_patch(archives, game_before, replacing):
    """2,000 files of 100 kB in 200 folders; with `replacing`, the game holds
    an older version of each."""
    block = os.urandom(100_000)
    for top in range(20):
        for sub in range(10):
            (archives / f"pack{top:02d}" / f"part{sub}").mkdir(parents=True, exist_ok=True)
            (game_before / f"pack{top:02d}" / f"part{sub}").mkdir(parents=True, exist_ok=True)
            for n in range(10):
                relative = Path(f"pack{top:02d}") / f"part{sub}" / f"file{n}.bin"
                (archives / relative).write_bytes(block[n:] + block[:n])
                if replacing:
                    (game_before / relative).write_bytes(block[n + 7:] + block[:n + 7])
    (archives / "config.json").write_text(json.dumps({
        "game_name": "Bench", "process_name": "Bench.exe", "data_directory": "", "registry_key": "Bench copy",
        "steam_id": "1"}))


def tree_of(folder):
    """Each file below `folder` by its place, size and last-write time; the
    folders too: what a removal must give back."""
    return {(str(path.relative_to(folder)), path.is_dir(), 0 if path.is_dir() else path.stat().st_size,
             0 if path.is_dir() else path.stat().st_mtime_ns) for path in folder.rglob("*")}


def copy_bench_on(base, windows_base):
    """The installer replacing 2,000 files, and adding 2,000 new ones, each
    against the same single shell copy made by a program that does nothing
    else; and the remover taking the replacing patch out again, against that
    shell copy of the same files. Started through bench/time_runs inside Wine,
    with a window kept open so that Wine's desktop is not started anew each
    time; alternated, each from the same game folder, so that drift in the
    machine's speed falls on all alike."""
    for kind in ("replacing", "new"):
        if not (base / kind / "installer" / "archives" / "config.json").exists():
            shutil.rmtree(base / kind, ignore_errors=True)
            make_patch(base / kind / "installer" / "archives", base / kind / "game_before", kind == "replacing")
        for program in ("patch_installer.exe", "patch_remove.exe"):
            shutil.copy(WIN_BUILD / program, base / kind / "installer")
    # The replacing patch once more, expecting every original it replaces.
    expecting = base / "expecting"
    if not (expecting / "installer" / "archives" / "config.json").exists():
        shutil.rmtree(expecting, ignore_errors=True)
        # The same patch files, linked rather than copied: the RAM disk holds no third copy. It runs
        # over the replacing patch's game.
        shutil.copytree(base / "replacing" / "installer", expecting / "installer", copy_function=os.link)
        (expecting / "installer" / "archives" / "config.json").unlink()
        config = json.loads((base / "replacing" / "installer" / "archives" / "config.json").read_text())
        config["expects"] = {str(f.relative_to(base / "replacing" / "game_before")).replace("/", "\\"):
                             hashlib.sha256(f.read_bytes()).hexdigest()
                             for f in sorted((base / "replacing" / "game_before").rglob("*.bin"))}
        (expecting / "installer" / "archives" / "config.json").write_text(json.dumps(config))
    (expecting / "installer" / "patch_installer.exe").unlink(missing_ok=True)
    shutil.copy(WIN_BUILD / "patch_installer.exe", expecting / "installer")
    shutil.copy(WIN_BUILD / "tests" / "shell_copy_alone.exe", base)
    set_user_value("Software\\Wavelorn\\Bench copy", "InstallPath", windows_base + "\\game")
    game = base / "game"

    def reset(kind):
        shutil.rmtree(game, ignore_errors=True)
        shutil.copytree(base / kind / "game_before", game)

    def timed_run(command):
        out = wine(str(WIN_BUILD / "tests" / "time_runs.exe"), "1", windows_base, command)
        return float(out.stdout.split()[-1]) / 1000

    def shell_alone(kind):
        return timed_run(f'"{windows_base}\\shell_copy_alone.exe" "{windows_base}\\{kind}\\installer\\archives" '
                         f'"{windows_base}\\game"')

    def program(kind, name):
        return timed_run(f"{windows_base}\\{kind}\\installer\\{name}")

    keeper = subprocess.Popen([str(ROOT / "tools" / "wine-run"), str(WIN_BUILD / "tests" / "one_plain_box.exe")],
                              env=ENV, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    restored = []
    samples = {name: [] for name in ("shell copy alone", "patch_installer", "patch_installer (with expects)",
                                     "shell copy alone (new files)", "patch_installer (new files)", "patch_remove")}
    try:
        time.sleep(2)
        for _ in range(5):
            reset("replacing")
            samples["shell copy alone"].append(shell_alone("replacing"))
            reset("replacing")
            samples["patch_installer"].append(program("replacing", "patch_installer.exe"))
            samples["patch_remove"].append(program("replacing", "patch_remove.exe"))
            restored.append(tree_of(game) == tree_of(base / "replacing" / "game_before"))
            reset("replacing")
            samples["patch_installer (with expects)"].append(program("expecting", "patch_installer.exe"))
            reset("new")
            samples["shell copy alone (new files)"].append(shell_alone("new"))
            reset("new")
            samples["patch_installer (new files)"].append(program("new", "patch_installer.exe"))
    finally:
        keeper.kill()
    shutil.rmtree(game, ignore_errors=True)
    results = {name: statistics.median(values) for name, values in samples.items()}
    print(f"copy: 2,000 files of 100 kB in 200 folders on {windows_base[:2]}; median of 5 runs each, alternated,"
          f" timed inside Wine (each removal left the game as it was: {all(restored)})")
    for name, seconds in results.items():
        print(f"  {name:<30} {seconds:7.2f} s")
    print(f"copy: installer / shell copy alone: {results['patch_installer'] / results['shell copy alone']:.2f}x")
    print("copy (new files): installer / shell copy alone: "
          f"{results['patch_installer (new files)'] / results['shell copy alone (new files)']:.2f}x")
    print(f"remove: remover / shell copy alone: {results['patch_remove'] / results['shell copy alone']:.2f}x")
    print("copy (with expects): installer / shell copy alone: "
          f"{results['patch_installer (with expects)'] / results['shell copy alone']:.2f}x")


def run_bench():
    """A run that finds the game in the last of 50 Steam libraries and copies
    nothing, against a program that only shows the installer's one box (the
    same manifest, so the same themed box), and a plain one. Timed from
    inside Wine by bench/time_runs, which starts each program itself and
    presses OK, so that Wine's launcher adds no noise; a window is kept open
    meanwhile, so that Wine's desktop is not started anew for every run."""
    base = DRIVE_C / "bench" / "run"
    shutil.rmtree(base, ignore_errors=True)
    (base / "installer" / "archives").mkdir(parents=True)
    for program in ["patch_installer.exe"]:
        shutil.copy(WIN_BUILD / program, base / "installer")
    for program in ["one_box.exe", "one_plain_box.exe", "run_split.exe"]:
        shutil.copy(WIN_BUILD / "tests" / program, base / "installer")
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
    keeper = subprocess.Popen([str(ROOT / "tools" / "wine-run"), str(WIN_BUILD / "tests" / "one_plain_box.exe")],
                              env=ENV, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(2)  # the desktop is up
        programs = {"one box alone": "one_box.exe", "one plain box": "one_plain_box.exe",
                    "patch_installer": "patch_installer.exe"}
        out = wine(str(WIN_BUILD / "tests" / "time_runs.exe"), "25", "C:\\bench\\run",
                   *("C:\\bench\\run\\installer\\" + program for program in programs.values()))
        medians = {}
        for line, name in zip(out.stdout.splitlines(), programs):
            _, median, least = line.rsplit(" ", 2)
            medians[name] = float(median)
            print_line = f"  {name:<22} {float(median):7.1f} ms median, {float(least):7.1f} ms least"
            medians.setdefault("lines", []).append(print_line)
        split = wine("C:\\bench\\run\\installer\\run_split.exe", cwd=base).stdout
    finally:
        keeper.kill()
        wine("reg", "delete", "HKCU\\Software\\Valve\\Steam", "/f", check=False)
    log = (base / "install_log.log").read_text(encoding="latin-1").splitlines()
    print(f"run: game found in the last of 50 Steam libraries ({len(log)} log lines), nothing to copy; 25 runs each,"
          " alternated, timed inside Wine")
    print("\n".join(medians.pop("lines")))
    print(f"run: installer / one box alone: {medians['patch_installer'] / medians['one box alone']:.2f}x")
    print(f"run: installer / one plain box (without the installer's manifest): "
          f"{medians['patch_installer'] / medians['one plain box']:.2f}x")
    print("run: where a run's own work goes (bench/run_split, in the run's own process):")
    print(split.rstrip())


subprocess.run([str(ROOT / "tools" / "wine-prefix"), "start"], env=ENV, check=True)
try:
    for name in WHICH:
        {"parse": parse_bench, "copy": copy_bench, "run": run_bench}[name]()
finally:
    subprocess.run([str(ROOT / "tools" / "wine-prefix"), "stop"], env=ENV, check=False)
