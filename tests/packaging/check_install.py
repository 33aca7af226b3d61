#!/usr/bin/env python3
"""The install tree and the Debian package of a build: every file in its place, the desktop entry
and the AppStream data valid, the project type known to the desktop, lintian without errors."""
import os
import shutil
import subprocess
import sys
import tempfile

EXPECTED = [
    "bin/kestrova-sertrix",
    "bin/kestrova-check",
    "share/applications/kestrova-sertrix.desktop",
    "share/metainfo/com.tellvik.KestrovaSertrix.metainfo.xml",
    "share/mime/packages/kestrova-sertrix.xml",
    "share/icons/hicolor/scalable/apps/kestrova-sertrix.svg",
    "share/man/man1/kestrova-check.1.gz",
    "share/man/man1/kestrova-sertrix.1.gz",
    "share/doc/kestrova-sertrix/copyright",
] + [f"share/icons/hicolor/{n}x{n}/apps/kestrova-sertrix.png" for n in (16, 22, 24, 32, 48, 64, 128, 256)]

TOOLS = ["desktop-file-validate", "appstreamcli", "update-mime-database", "xdg-mime", "mimetype", "cpack",
         "lintian", "dpkg-deb", "file"]

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


def run(*args, env=None, cwd=None):
    return subprocess.run(args, capture_output=True, text=True, env=env, cwd=cwd, timeout=600)


def install_tree(build, prefix):
    result = run("cmake", "--install", build, "--prefix", prefix)
    check(result.returncode == 0, "cmake --install " + result.stderr.strip())
    for path in EXPECTED:
        check(os.path.isfile(os.path.join(prefix, path)), "installed " + path)
    for size in (16, 256):
        png = os.path.join(prefix, f"share/icons/hicolor/{size}x{size}/apps/kestrova-sertrix.png")
        kind = run("file", "-b", png).stdout
        check(f"{size} x {size}" in kind, f"icon {size}x{size} is a PNG of that size ({kind.strip()})")

    desktop = os.path.join(prefix, "share/applications/kestrova-sertrix.desktop")
    result = run("desktop-file-validate", desktop)
    check(result.returncode == 0 and "error" not in result.stdout, "desktop-file-validate " + result.stdout.strip())
    text = open(desktop, encoding="utf-8").read()
    check("Exec=kestrova-sertrix %f" in text and "Categories=Network;Utility;" in text, "desktop entry Exec and Categories")

    metainfo = os.path.join(prefix, "share/metainfo/com.tellvik.KestrovaSertrix.metainfo.xml")
    result = run("appstreamcli", "validate", "--no-net", metainfo)
    check(result.returncode == 0, "appstreamcli validate " + result.stdout.strip())

    man = run("man", "-l", os.path.join(prefix, "share/man/man1/kestrova-check.1.gz"), env=dict(os.environ, MANPAGER="cat"))
    check("kestrova-check" in man.stdout and "PROJECT.zlt" in man.stdout, "man page names the program and its usage")


def mime_type(prefix, scratch):
    data = os.path.join(prefix, "share")
    result = run("update-mime-database", os.path.join(data, "mime"))
    check(result.returncode == 0, "update-mime-database")
    project = os.path.join(scratch, "site.zlt")
    with open(project, "wb") as out:
        out.write(b"[edWEB: TcxPropertiesStoreComponent]\r\n=\r\nText=\"http://www.example.ru/\"\r\n")
    env = dict(os.environ, XDG_DATA_HOME=data, XDG_DATA_DIRS=data + ":/usr/share")
    env.pop("XDG_CURRENT_DESKTOP", None)
    found = run("xdg-mime", "query", "filetype", project, env=env).stdout.strip()
    check(found == "application/x-kestrova-project", "xdg-mime query filetype gives " + found)


def package(build, scratch):
    out = os.path.join(scratch, "package")
    result = run("cpack", "-G", "DEB", "-B", out, cwd=build)
    debs = [f for f in os.listdir(out) if f.endswith(".deb")] if os.path.isdir(out) else []
    check(result.returncode == 0 and len(debs) == 1, "cpack builds one package " + result.stderr.strip()[-300:])
    if not debs:
        return
    deb = os.path.join(out, debs[0])
    fields = run("dpkg-deb", "-f", deb, "Package", "Version", "Depends").stdout
    check("Package: kestrova-sertrix" in fields, "package name")
    check("Version: 1.3.2.110" in fields, "package version is the program's version")
    check("libqt6widgets6" in fields and "libcurl" in fields, "dependencies found from the libraries")
    contents = run("dpkg-deb", "-c", deb).stdout
    check("./usr/bin/kestrova-sertrix" in contents and "./usr/share/applications/kestrova-sertrix.desktop" in contents,
          "package holds the programs and the menu entry")
    lint = run("lintian", "--no-tag-display-limit", deb)
    errors = [line for line in lint.stdout.splitlines() if line.startswith("E:")]
    check(not errors, "lintian reports no error" + ("".join("\n     " + e for e in errors)))
    warnings = [line for line in lint.stdout.splitlines() if line.startswith("W:")]
    print("     lintian warnings: " + (", ".join(warnings) if warnings else "none"))


def main():
    build = sys.argv[1]
    missing = [tool for tool in TOOLS if not shutil.which(tool)]
    if missing:
        print("skipped: missing " + ", ".join(missing))
        return 77
    with tempfile.TemporaryDirectory() as scratch:
        prefix = os.path.join(scratch, "prefix")
        install_tree(build, prefix)
        mime_type(prefix, scratch)
        package(build, scratch)
    print(f"{len(failures)} failed" if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
