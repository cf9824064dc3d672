#!/usr/bin/env python3
"""The kit make-dist writes: signed with a throwaway certificate and checked
with osslsigncode; the same zip to the byte when made again later; the
password never on a command line."""
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
MAKE_DIST = Path(__file__).resolve().parents[2] / "tools" / "make-dist"
PASSWORD = "a throwaway password"


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
            self.assertEqual(archive.namelist(), ["patch_installer/HOW-TO.txt", "patch_installer/archives/config.json",
                                                  "patch_installer/patch_check.exe",
                                                  "patch_installer/patch_installer.exe",
                                                  "patch_installer/patch_remove.exe"])
            for name in ("patch_installer.exe", "patch_remove.exe", "patch_check.exe"):
                shipped = archive.read("patch_installer/" + name)
                self.assertEqual(shipped, (BUILD / name).read_bytes())
                self.assertIn(f"sha256 {hashlib.sha256(shipped).hexdigest()}  patch_installer/{name}",
                              report.splitlines())
            self.assertEqual({entry.date_time for entry in archive.infolist()}, {(2025, 12, 10, 0, 0, 0)})
        self.assertIn(f"sha256 {hashlib.sha256(first.read_bytes()).hexdigest()}  first.zip", report.splitlines())

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
        self.assertIn("make-dist: the executables are signed", report.splitlines())
        self.assertNotIn(PASSWORD, seen.read_text())
        self.assertEqual(seen.read_text().count("sign -pkcs12"), 3)
        with zipfile.ZipFile(signed) as archive:
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
