#!/usr/bin/env python3
"""The install tree and the Debian package of a build: every file in its place, the desktop entry
and the AppStream data valid, the project type known to the desktop, the manual pages complete, one
version everywhere, hardened programs with their debug symbols beside them, lintian without errors."""
import gzip
import html.parser
import os
import re
import shutil
import subprocess
import sys
import tempfile

EXPECTED = [
    "bin/kestrova-sertrix",
    "bin/kestrova-check",
    "share/applications/com.tellvik.KestrovaSertrix.desktop",
    "share/metainfo/com.tellvik.KestrovaSertrix.metainfo.xml",
    "share/mime/packages/kestrova-sertrix.xml",
    "share/icons/hicolor/scalable/apps/kestrova-sertrix.svg",
    "share/icons/hicolor/scalable/mimetypes/application-x-kestrova-project.svg",
    "share/man/man1/kestrova-check.1.gz",
    "share/man/man1/kestrova-sertrix.1.gz",
    "share/doc/kestrova-sertrix/copyright",
    "share/kestrova-sertrix/help/index.html",
    "share/kestrova-sertrix/help/style.css",
] + [f"share/icons/hicolor/{n}x{n}/{kind}.png" for n in (16, 22, 24, 32, 48, 64, 128, 256)
     for kind in ("apps/kestrova-sertrix", "mimetypes/application-x-kestrova-project")]

TOOLS = ["desktop-file-validate", "appstreamcli", "update-mime-database", "xdg-mime", "mimetype", "cpack",
         "lintian", "dpkg-deb", "file", "man", "hardening-check", "readelf"]

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

    desktop = os.path.join(prefix, "share/applications/com.tellvik.KestrovaSertrix.desktop")
    result = run("desktop-file-validate", desktop)
    check(result.returncode == 0 and "error" not in result.stdout, "desktop-file-validate " + result.stdout.strip())
    entry = dict(line.split("=", 1) for line in open(desktop, encoding="utf-8").read().splitlines() if "=" in line)
    for key, value in (("Exec", "kestrova-sertrix %f"), ("TryExec", "kestrova-sertrix"),
                       ("Categories", "Network;Qt;"), ("StartupNotify", "true"),
                       ("StartupWMClass", "Kestrova Sertrix"), ("X-GNOME-SingleWindow", "true")):
        check(entry.get(key) == value, f"desktop entry {key}={value} ({entry.get(key)})")

    metainfo = os.path.join(prefix, "share/metainfo/com.tellvik.KestrovaSertrix.metainfo.xml")
    result = run("appstreamcli", "validate", "--no-net", metainfo)
    check(result.returncode == 0, "appstreamcli validate " + result.stdout.strip())
    text = open(metainfo, encoding="utf-8").read()
    check("<launchable type=\"desktop-id\">com.tellvik.KestrovaSertrix.desktop</launchable>" in text,
          "metainfo launches the desktop entry")
    check('<developer id="com.tellvik">' in text and '<lang percentage="100">ru</lang>' in text,
          "metainfo names the developer with an id and the Russian interface")
    check(re.search(r"<release [^>]*>\s*<description>\s*<p>\S", text) is not None, "metainfo describes the release")

    manual_pages(prefix)
    guide(os.path.join(prefix, "share/kestrova-sertrix/help"))


class GuideLinks(html.parser.HTMLParser):
    """The ids, links and resources of one page of the guide."""

    def __init__(self):
        super().__init__()
        self.ids, self.links, self.resources, self.scripts = set(), [], [], 0

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if "id" in attrs:
            self.ids.add(attrs["id"])
        if tag == "script":
            self.scripts += 1
        if tag == "a" and attrs.get("href"):
            self.links.append(attrs["href"])
        elif tag in ("link", "img") and (attrs.get("href") or attrs.get("src")):
            self.resources.append(attrs.get("href") or attrs.get("src"))


def guide(folder):
    """The user's guide opens without the network: UTF-8 pages, no script, every resource and every
    link within the guide there."""
    pages = {}
    for name in sorted(os.listdir(folder)) if os.path.isdir(folder) else []:
        if name.endswith(".html"):
            with open(os.path.join(folder, name), "rb") as page:
                raw = page.read()
            try:
                text = raw.decode("utf-8")
            except UnicodeDecodeError:
                check(False, f"guide {name} is UTF-8")
                continue
            parser = GuideLinks()
            parser.feed(text)
            pages[name] = parser
            check(re.search(r'<meta charset="utf-8">', text, re.I) is not None, f"guide {name} says it is UTF-8")
    check("index.html" in pages, "the guide has index.html")
    for name, parser in pages.items():
        check(parser.scripts == 0, f"guide {name} has no script")
        remote = [r for r in parser.resources if re.match(r"^([a-z]+:|//)", r, re.I)]
        check(not remote, f"guide {name} loads nothing from outside ({remote})")
        missing = [r for r in parser.resources if r not in remote and not os.path.isfile(os.path.join(folder, r))]
        check(not missing, f"guide {name} has its resources ({missing})")
        broken = []
        for link in parser.links:
            if re.match(r"^[a-z]+:", link, re.I):
                continue
            target, _, anchor = link.partition("#")
            target = target or name
            if target not in pages or (anchor and anchor not in pages[target].ids):
                broken.append(link)
        check(not broken, f"guide {name}: every link within the guide leads somewhere ({broken})")


def rendered(page):
    env = dict(os.environ, MANPAGER="cat", MANWIDTH="80", LC_ALL="C.UTF-8")
    return run("man", "-l", page, env=env).stdout


def sections(text):
    """The rendered page by section heading: the unindented lines start a section. Only the lines
    at the section's own indent are kept: the usage forms, the item tags and the paragraphs' first
    words, not the continuation and description lines indented further."""
    found, current = {}, None
    for line in text.splitlines():
        if line and not line[0].isspace():
            current = line.strip()
            found[current] = []
        elif current and re.match(r"^ {7}\S", line):
            found[current].append(line.strip())
    return found


def manual_pages(prefix):
    man1 = os.path.join(prefix, "share/man/man1")
    for program in ("kestrova-check", "kestrova-sertrix"):
        parts = sections(rendered(os.path.join(man1, program + ".1.gz")))
        for heading in ("НАЗВАНИЕ", "ОБЗОР", "ОПИСАНИЕ", "ПАРАМЕТРЫ", "КОД ЗАВЕРШЕНИЯ", "ОКРУЖЕНИЕ", "ФАЙЛЫ"):
            check(heading in parts, f"{program}(1) has {heading}")

    parts = sections(rendered(os.path.join(man1, "kestrova-check.1.gz")))
    forms = [line for line in parts.get("ОБЗОР", []) if line.startswith("kestrova-check ")]
    check(len(forms) == 8, f"kestrova-check(1) shows eight usage forms ({forms})")
    synopsis = rendered(os.path.join(man1, "kestrova-check.1.gz")).split("ОБЗОР", 1)[-1].split("ОПИСАНИЕ")[0]
    check("ПРОЕКТ.zlt" in synopsis, "the first form names ПРОЕКТ.zlt")
    check(any(form.startswith("kestrova-check --history-csv ФАЙЛ") for form in forms), "the CSV form")
    check("kestrova-check --version [--engines ФАЙЛ]" in forms, "the version form")
    check("kestrova-check --check-engines ФАЙЛ" in forms, "the definitions check form")
    check("kestrova-check --schedule КОГДА ПРОЕКТ.zlt" in forms, "the schedule form")
    check("kestrova-check --schedules" in forms, "the schedule list form")
    help_text = run(os.path.join(prefix, "bin/kestrova-check"), "--help").stdout
    options = sorted(set(re.findall(r"^  (--[a-z-]+)", help_text, re.M)))
    check(len(options) >= 10, f"kestrova-check --help lists its options ({options})")
    items = parts.get("ПАРАМЕТРЫ", [])
    for option in options:
        # Each option starts an item of its own; its description begins on the same or the next line.
        item = [line for line in items if line == option or line.startswith(option + " ")]
        check(len(item) == 1, f"kestrova-check(1) has the item {option}")
    check("--proxy-pass-file ФАЙЛ" in items, "--proxy-pass-file ФАЙЛ stands apart from its description")
    status = parts.get("КОД ЗАВЕРШЕНИЯ", [])
    check(any(line.startswith("128+N") for line in status), f"exit status 128+N is an item of its own ({status})")
    environment = " ".join(parts.get("ОКРУЖЕНИЕ", []))
    for variable in ("KESTROVA_ENDPOINTS", "KESTROVA_PROXY_PASSWORD", "XDG_CONFIG_HOME", "XDG_DATA_HOME"):
        check(variable in environment, f"kestrova-check(1) ENVIRONMENT names {variable}")
    files = " ".join(parts.get("ФАЙЛЫ", []))
    check("history.sqlite" in files and "Tellvik/Kestrova Sertrix/" in files, "FILES names the settings and the history")


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
    check("Package: kestrova-sertrix\n" in fields, "package name")
    program_version = run(os.path.join(build, "kestrova-check"), "--version").stdout
    version = re.search(r"Version: (\S+)", fields).group(1)
    check(version in program_version, f"package version {version} is the program's version ({program_version.strip()})")
    check("libqt6widgets6" in fields and "libcurl" in fields, "dependencies found from the libraries")
    check("qt6-translations-l10n" in fields, "Qt's Russian texts are a dependency")
    contents = run("dpkg-deb", "-c", deb).stdout
    check("./usr/bin/kestrova-sertrix" in contents and "./usr/share/applications/com.tellvik.KestrovaSertrix.desktop"
          in contents, "package holds the programs and the menu entry")
    check("./usr/share/kestrova-sertrix/help/index.html" in contents, "package holds the user's guide")

    unpacked = os.path.join(scratch, "unpacked")
    run("dpkg-deb", "-x", deb, unpacked)
    one_version(unpacked, version)
    if hardened_build(build):
        for program in ("kestrova-sertrix", "kestrova-check"):
            hardening(os.path.join(unpacked, "usr/bin", program))
    else:
        print("skip hardening-check: this build is made for the sanitizers, without the hardening flags")
    debug_symbols(out, version)

    lint = run("lintian", "--no-tag-display-limit", deb)
    errors = [line for line in lint.stdout.splitlines() if line.startswith("E:")]
    check(not errors, "lintian reports no error" + ("".join("\n     " + e for e in errors)))
    warnings = [line for line in lint.stdout.splitlines() if line.startswith("W:")]
    print("     lintian warnings: " + (", ".join(warnings) if warnings else "none"))


def hardened_build(build):
    """The package is built with the hardening flags unless the build is one for the sanitizers."""
    with open(os.path.join(build, "CMakeCache.txt"), encoding="utf-8") as cache:
        options = dict(re.findall(r"^(KS_[A-Z_]+):BOOL=(\S+)$", cache.read(), re.M))
    return options.get("KS_HARDENING", "ON") == "ON" and options.get("KS_SANITIZE", "OFF") != "ON" \
        and options.get("KS_FUZZ", "OFF") != "ON"


def hardening(binary):
    """hardening-check passes the program, but for two lines whose "no" says nothing about the build:
    Fortify finds no checked call when every fortifiable call was proven safe while compiling ("only
    unprotected functions found"), and control-flow protection needs the CET property of every
    linked object, which Debian 12's C start files (crt1.o, crti.o) do not carry."""
    name = os.path.basename(binary)
    others = run("hardening-check", "--nofortify", "--nocfprotection", binary)
    check(others.returncode == 0, f"hardening-check {name}" + "".join(
        "\n     " + line for line in others.stdout.splitlines() if ": no" in line))
    verdicts = dict(line.strip().split(": ", 1) for line in run("hardening-check", binary).stdout.splitlines()[1:]
                    if ": " in line)
    fortify = verdicts.get("Fortify Source functions", "")
    check(fortify.startswith("yes") or fortify == "no, only unprotected functions found!",
          f"{name}: Fortify Source functions: {fortify}")
    start_files_have_cet = "IBT, SHSTK" in run("readelf", "-n", "/usr/lib/x86_64-linux-gnu/crt1.o").stdout
    cfi = verdicts.get("Control flow integrity", "")
    check(cfi.startswith("yes") or not start_files_have_cet, f"{name}: Control flow integrity: {cfi}")


def one_version(unpacked, version):
    """The changelog's top entry and the AppStream release carry the package's version and one date."""
    with gzip.open(os.path.join(unpacked, "usr/share/doc/kestrova-sertrix/changelog.gz"), "rt", encoding="utf-8") as f:
        changelog = f.read()
    top = re.match(r"kestrova-sertrix \(([^)]+)\)", changelog)
    check(top is not None and top.group(1) == version, f"changelog's top entry is {version} ({changelog[:40]!r})")
    signed = re.search(r"^ -- .+>  \w{3}, (\d{2}) (\w{3}) (\d{4}) ", changelog, re.M)
    metainfo = open(os.path.join(unpacked, "usr/share/metainfo/com.tellvik.KestrovaSertrix.metainfo.xml"),
                    encoding="utf-8").read()
    release = re.search(r'<release version="([^"]+)" date="(\d{4})-(\d{2})-(\d{2})"', metainfo)
    check(release is not None and release.group(1) == version, f"metainfo release is {version}")
    months = "Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec".split()
    if signed and release:
        same = (signed.group(3), f"{months.index(signed.group(2)) + 1:02d}", signed.group(1)) == release.groups()[1:]
        check(same, "changelog and metainfo carry one release date")
    else:
        check(False, "changelog and metainfo carry a release date")


def debug_symbols(out, version):
    ddebs = [f for f in os.listdir(out) if f.endswith(".ddeb")]
    check(len(ddebs) == 1, f"cpack builds one debug symbol package ({ddebs})")
    if not ddebs:
        return
    ddeb = os.path.join(out, ddebs[0])
    fields = run("dpkg-deb", "-f", ddeb, "Package", "Version").stdout
    check(f"Package: kestrova-sertrix-dbgsym\nVersion: {version}" in fields, "kestrova-sertrix-dbgsym " + fields)
    debug_files = [line for line in run("dpkg-deb", "-c", ddeb).stdout.splitlines() if line.endswith(".debug")]
    check(len(debug_files) >= 2, f"the debug symbols of both programs ({len(debug_files)} files)")


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
