#!/usr/bin/env python3
"""The kit make-dist writes: signed with a throwaway certificate and checked
with osslsigncode, and saying so and by whom; the same zip to the byte when
made again later; the password never on a command line; sums that match,
Windows line ends, and a sample the checker reads as a patch (under Wine,
in the test prefix, when WINEPREFIX names it)."""
import hashlib
import os
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile
from pathlib import Path

BUILD = Path(sys.argv[1]) if len(sys.argv) > 1 else Path("build/windows")
ROOT = Path(__file__).resolve().parents[2]
MAKE_DIST = ROOT / "tools" / "make-dist"
PASSWORD = "a throwaway password"
TEXT_FILES = ("patch_installer/HOW-TO.txt", "patch_installer/SHA256SUMS.txt", "patch_installer/archives/config.json",
              "patch_installer/archives/data/example-patch-file.txt")
UNSIGNED_LINE = "The executables in this kit are not signed: Windows SmartScreen may warn players before they run them."


def how_to_text(archive):
    """HOW-TO.txt as read, its lines joined again as written before wrapping."""
    return " ".join(line.strip() for line in archive.read("patch_installer/HOW-TO.txt").decode("utf-8").splitlines())


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, check=True, **kwargs)


class dist_kit(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory()
        self.folder = Path(self.scratch.name)
        self.env = dict(os.environ, SOURCE_DATE_EPOCH="1765324800")
        self.env.pop("SIGN_PFX", None)
        self.env.pop("SIGN_TIMESTAMP_URL", None)

    def tearDown(self):
        self.scratch.cleanup()

    def make_dist(self, name, env):
        out = self.folder / name
        result = run([sys.executable, str(MAKE_DIST), str(BUILD), str(out)], env=env)
        return out, result.stdout

    def test_unsigned_kit_is_the_same_to_the_byte_when_made_again(self):
        first, report = self.make_dist("first.zip", self.env)
        self.assertIn("make-dist: the executables are unsigned (make dist SIGN_PFX=certificate.pfx signs them)",
                      report.splitlines())
        time.sleep(2)  # another time of day must change nothing
        second, _ = self.make_dist("second.zip", self.env)
        self.assertEqual(first.read_bytes(), second.read_bytes())
        with zipfile.ZipFile(first) as archive:
            self.assertEqual(archive.namelist(), ["patch_installer/HOW-TO.txt", "patch_installer/SHA256SUMS.txt",
                                                  "patch_installer/archives/config.json",
                                                  "patch_installer/archives/data/example-patch-file.txt",
                                                  "patch_installer/patch_check.exe",
                                                  "patch_installer/patch_installer.exe",
                                                  "patch_installer/patch_remove.exe"])
            for name in ("patch_installer.exe", "patch_remove.exe", "patch_check.exe"):
                shipped = archive.read("patch_installer/" + name)
                self.assertEqual(shipped, (BUILD / name).read_bytes())
                self.assertIn(f"sha256 {hashlib.sha256(shipped).hexdigest()}  patch_installer/{name}",
                              report.splitlines())
            self.assertEqual({entry.date_time for entry in archive.infolist()}, {(2025, 12, 10, 0, 0, 0)})
            self.assertIn(UNSIGNED_LINE, how_to_text(archive))
            self.assertNotIn("@SIGNING@", how_to_text(archive))
            self.assert_sums_match(archive)
            for name in TEXT_FILES:
                with self.subTest(name):
                    text = archive.read(name)
                    self.assertIn(b"\r\n", text)
                    self.assertEqual(text.count(b"\n"), text.count(b"\r\n"), "a line end without its CR")
        self.assertIn(f"sha256 {hashlib.sha256(first.read_bytes()).hexdigest()}  first.zip", report.splitlines())
        self.check_sample_with_the_checker(first)

    def assert_sums_match(self, archive):
        """SHA256SUMS.txt names every other file of the kit, each with its sum."""
        listed = {}
        for line in archive.read("patch_installer/SHA256SUMS.txt").decode("utf-8").splitlines():
            digest, name = line.split("  ", 1)
            listed[name] = digest
        others = [name for name in archive.namelist() if name != "patch_installer/SHA256SUMS.txt"]
        self.assertEqual(sorted(listed), sorted(name.removeprefix("patch_installer/") for name in others))
        for name in others:
            self.assertEqual(listed[name.removeprefix("patch_installer/")], hashlib.sha256(archive.read(name)).hexdigest(),
                             name)

    def check_sample_with_the_checker(self, kit):
        """The author's first check, on the kit as unpacked: the example file is a copy, and the sample ships."""
        if not os.environ.get("WINEPREFIX"):
            print("dist_kit: WINEPREFIX names no test prefix: the kit's sample was not checked under Wine")
            return
        unpacked = self.folder / "unpacked"
        with zipfile.ZipFile(kit) as archive:
            archive.extractall(unpacked)
        checker = unpacked / "patch_installer" / "patch_check.exe"
        result = subprocess.run([str(ROOT / "tools" / "wine-run"), str(checker)], capture_output=True, timeout=120)
        lines = result.stdout.decode("utf-8").splitlines()
        self.assertEqual(result.returncode, 0, result.stdout.decode("utf-8"))
        self.assertIn("copy: data\\example-patch-file.txt", lines)
        self.assertIn("archives\\config.json loads, for \"Your Game\"", lines)
        self.assertEqual(lines[-1], "ready to ship")

    def test_signed_executables_verify_against_the_certificate(self):
        key, cert, pfx = (self.folder / name for name in ("key.pem", "cert.pem", "cert.pfx"))
        run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
             "/CN=Patch installer test signer", "-keyout", str(key), "-out", str(cert)])
        run(["openssl", "pkcs12", "-export", "-inkey", str(key), "-in", str(cert), "-out", str(pfx), "-passout",
             "env:SIGN_PASSWORD"], env=dict(os.environ, SIGN_PASSWORD=PASSWORD))
        # osslsigncode behind a stand-in that notes its command line.
        tools = self.folder / "tools"
        tools.mkdir()
        seen = self.folder / "command_lines"
        stand_in = tools / "osslsigncode"
        real = subprocess.run(["which", "osslsigncode"], capture_output=True, text=True).stdout.strip()
        stand_in.write_text(f'#!/bin/sh\necho "$@" >> "{seen}"\nexec "{real}" "$@"\n')
        stand_in.chmod(0o755)
        env = dict(self.env, SIGN_PFX=str(pfx), SIGN_PASSWORD=PASSWORD, PATH=f"{tools}:{os.environ['PATH']}")

        signed, report = self.make_dist("signed.zip", env)
        self.assertIn('make-dist: the executables are signed by "Patch installer test signer"', report.splitlines())
        self.assertNotIn(PASSWORD, seen.read_text())
        self.assertEqual(seen.read_text().count("sign -pkcs12"), 3)
        with zipfile.ZipFile(signed) as archive:
            self.assertIn('The executables in this kit are signed with Authenticode (SHA-256) by "Patch installer '
                          'test signer": Windows shows players that name as their publisher.', how_to_text(archive))
            self.assertNotIn(UNSIGNED_LINE, how_to_text(archive))
            self.assert_sums_match(archive)
            for name in ("patch_installer.exe", "patch_remove.exe", "patch_check.exe"):
                with self.subTest(name):
                    executable = self.folder / name
                    executable.write_bytes(archive.read("patch_installer/" + name))
                    self.assertNotEqual(executable.read_bytes(), (BUILD / name).read_bytes())
                    verified = subprocess.run(["osslsigncode", "verify", "-CAfile", str(cert), "-in", str(executable)],
                                              capture_output=True, text=True)
                    self.assertEqual(verified.returncode, 0, verified.stdout + verified.stderr)
                    self.assertIn("Signature verification: ok", verified.stdout)

        # A wrong password signs nothing.
        with self.assertRaises(subprocess.CalledProcessError):
            self.make_dist("wrong.zip", dict(env, SIGN_PASSWORD="not the password"))
        self.assertFalse((self.folder / "wrong.zip").exists())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
