#!/usr/bin/env python3
"""The built program in a real X server: "Проверить обновления" against the sandbox engines.

usage: update_restart.py PROGRAM SANDBOX KS_SIGN

A copy of the program sits in a temporary folder whose name holds blanks, quotes, "$" and a
backquote. The sandbox serves a newer build (the program with a higher file version in its
version section) signed with a key made for the test. First the served
file is tampered with: the download is refused and nothing is written. Then the signed file: the
program replaces its copy, ends, and the new program starts from the same path. Exit code 77 means
a needed tool is missing (the test is skipped).
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import time

from check_and_save import (Sandbox, Window, fail, find_window, key, program_environment, run_on_display,
                            windows_named, xdotool)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def newer_build(program):
    """The program's bytes with one digit of its file version raised, so nothing else moves."""
    match = re.search(rb"\\FileVersion=([0-9.]+)\n", program)
    if not match:
        fail("the program carries no file version")
    version = bytearray(match.group(1))
    for i in reversed(range(len(version))):
        if version[i] in b"012345678":
            version[i] += 1
            break
    else:
        fail("no digit of the file version can be raised")
    return program[:match.start(1)] + bytes(version) + program[match.end(1):]


def choose_check_for_updates(wid):
    Window(wid).open_about_menu()
    key("Up", "Return")  # its last item, "Проверить обновления"


def start_program(copy, env):
    process = subprocess.Popen([copy], env=env, cwd=os.path.dirname(copy))
    wid = find_window("^Kestrova Sertrix$", 30, process)
    if not wid:
        fail("the main window did not appear")
    time.sleep(0.5)
    return process, wid


def tampered_file_is_refused(copy, sandbox, env):
    original = read(copy)
    sandbox.command("body Update 0\ntampered bytes")
    process, wid = start_program(copy, env)
    try:
        choose_check_for_updates(wid)
        time.sleep(1.0)
        key("Return")  # Yes
        time.sleep(1.5)
        key("Return")  # OK in the error box
        time.sleep(0.5)
        if process.poll() is not None:
            fail("the program ended after a tampered download")
        if os.path.exists(os.path.join(os.path.dirname(copy), "~zltexe.tmp")):
            fail("a tampered download was written")
        if read(copy) != original:
            fail("the program was replaced by a tampered download")
    finally:
        process.kill()
        process.wait()
    sandbox.command("reset")
    print("tampered file: refused, nothing written")


def signed_file_replaces_the_program(copy, update, env):
    process, wid = start_program(copy, env)
    try:
        choose_check_for_updates(wid)
        time.sleep(1.0)
        key("Return")  # Yes
        time.sleep(2.0)
        key("Return")  # OK: the restart
        code = process.wait(timeout=20)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        fail("the program did not end for its restart")
    if code != 0:
        fail("the program ended with code %d for its restart" % code)

    deadline = time.monotonic() + 30
    new_pid = None
    while time.monotonic() < deadline and new_pid is None:
        for wid in windows_named("^Kestrova Sertrix$"):
            pid = int(xdotool("getwindowpid", wid).strip())
            if pid != process.pid:
                new_pid = pid
        time.sleep(0.2)
    if new_pid is None:
        fail("the new program did not start")
    try:
        if os.readlink("/proc/%d/exe" % new_pid) != copy:
            fail("the new program runs from %s" % os.readlink("/proc/%d/exe" % new_pid))
        if read(copy) != read(update):
            fail("the copy was not replaced by the update")
        folder = os.path.dirname(copy)
        for leftover in ("~zltexe.tmp", "~zlttmp.sh"):
            if os.path.exists(os.path.join(folder, leftover)):
                fail("%s was left behind" % leftover)
    finally:
        os.kill(new_pid, signal.SIGKILL)
    print("signed file: the copy was replaced and the new program started")


def update_scenario(files, work):
    program, sandbox_binary, ks_sign = files
    folder = os.path.join(work, "Kestrova 'e2e' \"$HOME\" `id`")
    os.makedirs(folder)
    copy = os.path.join(folder, "kestrova-sertrix")
    shutil.copy2(program, copy)
    update = os.path.join(work, "zlt.upd")
    with open(update, "wb") as f:
        f.write(newer_build(read(program)))
    secret, public = os.path.join(work, "e2e.key"), os.path.join(work, "e2e.pub")
    subprocess.run([ks_sign, "keygen", secret, public], check=True, stdout=subprocess.DEVNULL)
    sandbox = Sandbox(sandbox_binary, work, "--update-file", update, "--update-key", secret)
    try:
        env = program_environment(work, sandbox.endpoints)
        tampered_file_is_refused(copy, sandbox, env)
        signed_file_replaces_the_program(copy, update, env)
    finally:
        sandbox.stop()


if __name__ == "__main__":
    sys.exit(run_on_display(__doc__, 3, update_scenario))
