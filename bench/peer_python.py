"""python3 peer_python.py FILE: parses FILE with Debian's python3-vdf and
prints the best MB/s of three runs."""
import json
import sys
import time

import vdf

text = open(sys.argv[1], encoding="utf-8").read()
best = float("inf")
libraries = 0
for _ in range(3):
    start = time.perf_counter()
    tree = vdf.loads(text)
    best = min(best, time.perf_counter() - start)
    libraries = len(tree["libraryfolders"])
print(json.dumps({"mb_per_s": len(text.encode()) / 1e6 / best, "libraries": libraries}))
