#!/usr/bin/env python3
"""The built program in a real X server: a changed results page is read again after "Проверить обновления".

usage: definitions_update.py PROGRAM SANDBOX

The sandbox's Google.ru pages take a changed markup that the built-in engine definitions do not
read, and the sandbox publishes signed definitions that read it. A first check gives "n/a" with the
reason "unrecognised"; "Проверить обновления" installs the definitions (the program's own update
is declined); the next check, in the same program without a restart, finds the site where the
sandbox placed it. The results are read from the position history the program keeps. Exit code 77
means a needed tool is missing (the test is skipped).
"""

import os
import sqlite3
import subprocess
import sys
import time

from check_and_save import (START_BUTTON, Sandbox, Window, expected_project, fail, find_window, key, program_environment,
                            run_on_display)
from update_restart import choose_check_for_updates

KEYWORD = "elephant"
SITE = "http://www.example.ru"
LAYOUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "sandbox",
                      "google-layout-2.ini")


def google_results(history):
    """The Google.ru results of keyword 1, one (text, reason) a check, oldest first."""
    if not os.path.exists(history):
        return []
    connection = sqlite3.connect("file:%s?mode=ro" % history, uri=True, timeout=10)
    try:
        return connection.execute(
            "SELECT r.result_text, r.reason FROM results r JOIN checks c ON c.id = r.check_id "
            "WHERE r.engine = 'GoogleRu' AND r.keyword = ? ORDER BY c.id", (KEYWORD,)).fetchall()
    except sqlite3.OperationalError:
        return []
    finally:
        connection.close()


def definitions_of_checks(history):
    connection = sqlite3.connect("file:%s?mode=ro" % history, uri=True, timeout=10)
    try:
        return [row[0] for row in connection.execute("SELECT definitions FROM checks ORDER BY id")]
    finally:
        connection.close()


def check_once(window, history, count):
    window.click(START_BUTTON)
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        results = google_results(history)
        if len(results) >= count:
            return results[count - 1]
        time.sleep(0.25)
    fail("check %d was not recorded in the history" % count)


def definitions_scenario(files, folder):
    program, sandbox_binary = files
    sandbox = Sandbox(sandbox_binary, folder, "--definitions", LAYOUT)
    try:
        sandbox.command("googlelayout 2\nplace GoogleRu %s 3" % KEYWORD)
        project = os.path.join(folder, "site.zlt")
        with open(project, "wb") as f:
            f.write(expected_project(SITE, KEYWORD, checked=("GoogleRu",)))  # Google.ru alone
        env = program_environment(folder, sandbox.endpoints)
        data = os.path.join(folder, "data", "Tellvik", "Kestrova Sertrix")
        history = os.path.join(data, "history.sqlite")
        process = subprocess.Popen([program, project], env=env)
        try:
            wid = find_window("^Kestrova Sertrix$", 30, process)
            if not wid:
                fail("the main window did not appear")
            time.sleep(0.5)
            window = Window(wid)

            first = check_once(window, history, 1)
            if first != ("n/a", "unrecognised"):
                fail("the changed layout read by the built-in definitions gave %r" % (first,))
            print("first check: Google.ru n/a, unrecognised")

            time.sleep(1.0)  # the check's end steps
            choose_check_for_updates(wid)
            deadline = time.monotonic() + 20
            while not os.path.exists(os.path.join(data, "engines.ini")) and time.monotonic() < deadline:
                time.sleep(0.2)
            if not os.path.exists(os.path.join(data, "engines.ini")):
                fail("the published definitions were not installed")
            with open(os.path.join(data, "engines.ini"), "rb") as installed, open(LAYOUT, "rb") as published:
                # The published bytes, then their signature on a last line of its own.
                if not installed.read().startswith(published.read() + b"\n; signature: "):
                    fail("the installed definitions differ from the published ones")
            time.sleep(1.5)
            key("Escape")  # the box of the program's own update: not now
            time.sleep(1.0)
            if process.poll() is not None:
                fail("the program ended after the update check")

            second = check_once(window, history, 2)
            if second != ("3", "found"):
                fail("after the update the check gave %r" % (second,))
            print("after \"Проверить обновления\": Google.ru 3, found, without a restart")
            versions = definitions_of_checks(history)
            if versions != ["2026.12.7", "2026.12.7.1"]:
                fail("the history gives the checks' definitions as %r" % versions)
            print("the history names the definitions of each check: %s" % ", ".join(versions))
        finally:
            process.kill()
            process.wait()
    finally:
        sandbox.stop()


if __name__ == "__main__":
    sys.exit(run_on_display(__doc__, 2, definitions_scenario))
