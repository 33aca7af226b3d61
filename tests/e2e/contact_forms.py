#!/usr/bin/env python3
"""The built program in a real X server: the promotion request and the about box.

usage: contact_forms.py PROGRAM SANDBOX

Types a site and a keyword into the project, clicks "Заказать продвижение сайта по этим словам",
types a name into the form that opens and sends it: the sandbox must receive one HTTP/1.0 POST to
the feedback script carrying the name, the site and the keyword, and the success box must follow
and close the form. Then "Версия" opens the about box, and its button closes it. Exit code 77
means a needed tool is missing (the test is skipped).
"""

import base64
import subprocess
import sys
import time
import urllib.parse

from check_and_save import (KEYWORD, KEYWORD1_EDIT, SITE, SITE_EDIT, Sandbox, Window, fail, find_window, key,
                            pointer_click, program_environment, run_on_display, wait_for, window_geometry,
                            windows_named, xdotool)

NAME = "Ivan Petrov"
# Frame coordinates: the order link in the legend group; form coordinates: the name field and "Отправить".
ORDER_LINK = (534 + 14 + 20, 367 + 208 + 6)
NAME_EDIT = (8 + 12 + 40, 8 + 36 + 10)
SEND_BUTTON = ((690 - 136) // 2 + 60, 354 + 13)
FORM_TITLE = "^Заказать продвижение сайта по ROZ$"


def promotion_request(window, sandbox):
    window.click(SITE_EDIT)
    key("End")
    xdotool("type", "--delay", "20", SITE)
    window.click(KEYWORD1_EDIT)
    xdotool("type", "--delay", "20", KEYWORD)
    window.click(ORDER_LINK)
    form = find_window(FORM_TITLE, 15)
    if not form:
        fail("the order link opened no form")
    time.sleep(0.5)
    x, y, _, _ = window_geometry(form)
    pointer_click(x + NAME_EDIT[0], y + NAME_EDIT[1])
    xdotool("type", "--delay", "20", NAME)
    pointer_click(x + SEND_BUTTON[0], y + SEND_BUTTON[1])

    wait_for(lambda: len(windows_named("^Kestrova Sertrix$")) == 2, 20, "the success box")
    posts = [entry for entry in sandbox.log() if entry["service"] == "Feedback"]
    if len(posts) != 1:
        fail("the sandbox received %d promotion requests" % len(posts))
    head = base64_field(posts[0], "head")
    body = base64_field(posts[0], "body")
    if not head.startswith(b"POST /promoscript/feedback_new.php HTTP/1.0\r\n"):
        fail("the request line is %r" % head.split(b"\r\n")[0])
    fields = dict(pair.split(b"=", 1) for pair in body.split(b"&") if b"=" in pair)
    expected = {b"usr_name": NAME, b"usr_site": "http://" + SITE, b"usr_key1": KEYWORD}
    for field, value in expected.items():
        if urllib.parse.unquote_plus(fields.get(field, b"").decode("ascii")) != value:
            fail("%s is %r in the body %r" % (field.decode(), fields.get(field), body))
    time.sleep(0.5)
    key("Return")  # OK in the success box
    wait_for(lambda: not windows_named(FORM_TITLE), 10, "the form to close")
    print("promotion request: one HTTP/1.0 POST with the typed fields, the success box, the form closed")


def base64_field(entry, name):
    return base64.b64decode(entry[name])


def about_box(window):
    window.open_about_menu(settle=0.6)
    key("Up", "Up", "Return")  # "Версия", above "Проверить обновления"
    if not find_window("^О программе$", 15):
        fail("Версия opened no about box")
    time.sleep(0.5)
    key("Return")  # "Закрыть"
    wait_for(lambda: not windows_named("^О программе$"), 10, "the about box to close")
    print("about box: opened from Версия and closed by its button")


def contact_scenario(files, folder):
    program, sandbox_binary = files
    sandbox = Sandbox(sandbox_binary, folder)
    process = subprocess.Popen([program], env=program_environment(folder, sandbox.endpoints), cwd=folder)
    try:
        wid = find_window("^Kestrova Sertrix$", 30, process)
        if not wid:
            fail("the main window did not appear")
        time.sleep(0.5)
        window = Window(wid)
        promotion_request(window, sandbox)
        about_box(window)
    finally:
        process.kill()
        process.wait()
        sandbox.stop()


if __name__ == "__main__":
    sys.exit(run_on_display(__doc__, 2, contact_scenario))
