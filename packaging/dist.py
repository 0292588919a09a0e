#!/usr/bin/env python3
"""make dist: the three release packages in dist/.

    KV720-<version>-windows.zip   KV720.exe, kv720-cli.exe, Lang\\, User guide.txt, LICENSE.txt
    KV720-<version>-setup.exe     the same, as a per-user NSIS installer (packaging/windows)
    kv720_<version>_amd64.deb     KV720.exe and Lang under /usr/lib/kv720, the native kv720-cli,
                                  the kv720 launcher (packaging/linux), desktop entry and icon

The version is the one the builds embedded (<build>/version.txt); in the .deb's version a "-"
becomes "." (Debian reserves "-" for its own revision).
"""

import argparse
import glob
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

DEB_DEPENDS = "wine64 (>= 6.0) | winehq-stable | winehq-devel | winehq-staging, fonts-liberation"

DESKTOP_ENTRY = """[Desktop Entry]
Type=Application
Name=KV720 service tool
GenericName=LPG controller service tool
Comment=Read, set up and diagnose the KV720 LPG controller
Exec=kv720
Icon=kv720
Terminal=false
Categories=Utility;
Keywords=LPG;autogas;controller;serial;
StartupWMClass=kv720.exe
"""

COPYRIGHT = """Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: kv720

Files: *
Copyright: the KV720 service tool developers
License: MIT
"""


# Sets the latency timer of ftdi_sio adapters to 1 ms when they are plugged in.
UDEV_RULE = "60-kv720-latency.rules"


def read_version(build):
    with open(os.path.join(build, "version.txt")) as f:
        return f.read().strip()


def deb_version(version):
    return version.replace("-", ".")


def four_numbers(version):
    """"1.2.3+..." -> "1.2.3.0" for the Windows version fields."""
    numbers = version.split("+", 1)[0].split(".")
    return ".".join((numbers + ["0"] * 4)[:4])


def crlf(path):
    with open(path, "rb") as f:
        return f.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def run(*args, **kwargs):
    subprocess.run(list(args), check=True, **kwargs)


def language_files():
    return sorted(glob.glob(os.path.join(SOURCE, "Lang", "KV720_lang.*")))


def stage_windows(win, folder):
    """The Windows program folder as shipped: stripped exes, Lang, guide and licence (CRLF)."""
    os.makedirs(os.path.join(folder, "Lang"))
    for exe in ("KV720.exe", "kv720-cli.exe"):
        run("x86_64-w64-mingw32-strip", "-o", os.path.join(folder, exe), os.path.join(win, exe))
    for path in language_files():
        shutil.copy2(path, os.path.join(folder, "Lang"))
    with open(os.path.join(folder, "User guide.txt"), "wb") as f:
        f.write(crlf(os.path.join(SOURCE, "docs", "user-guide.txt")))
    with open(os.path.join(folder, "LICENSE.txt"), "wb") as f:
        f.write(crlf(os.path.join(SOURCE, "LICENSE")))


def make_zip(folder, path):
    stamp = time.localtime()[:6]
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for root, dirs, files in os.walk(folder):
            dirs.sort()
            for name in sorted(files):
                full = os.path.join(root, name)
                info = zipfile.ZipInfo(os.path.relpath(full, folder).replace(os.sep, "/"), stamp)
                info.compress_type = zipfile.ZIP_DEFLATED
                info.external_attr = 0o644 << 16
                with open(full, "rb") as f:
                    z.writestr(info, f.read())


def make_installer(folder, version, path):
    run("makensis", "-V2", "-NOCD",
        "-DVERSION=" + version, "-DVERSION_NUMBERS=" + four_numbers(version),
        "-DSOURCE=" + folder, "-DICON=" + os.path.join(SOURCE, "resources", "kv720.ico"),
        "-DOUTFILE=" + path, os.path.join(SOURCE, "packaging", "windows", "kv720.nsi"))


def install(src, dst, mode=0o644, data=None):
    os.makedirs(os.path.dirname(dst), exist_ok=True)
    if data is not None:
        with open(dst, "wb") as f:
            f.write(data)
    else:
        shutil.copyfile(src, dst)
    os.chmod(dst, mode)


def library_depends(cli, work):
    """What the native kv720-cli needs of the system libraries, as dpkg-shlibdeps says it."""
    os.makedirs(os.path.join(work, "debian"), exist_ok=True)
    with open(os.path.join(work, "debian", "control"), "w") as f:
        f.write("Source: kv720\n\nPackage: kv720\nArchitecture: amd64\n")
    out = subprocess.run(["dpkg-shlibdeps", "-O", os.path.abspath(cli)], cwd=work, check=True,
                         capture_output=True, text=True).stdout
    for line in out.splitlines():
        if line.startswith("shlibs:Depends="):
            return line.split("=", 1)[1].strip()
    return ""


def stage_deb(win, native, root, version, work):
    lib = os.path.join(root, "usr", "lib", "kv720")
    os.makedirs(lib)
    run("x86_64-w64-mingw32-strip", "-o", os.path.join(lib, "KV720.exe"), os.path.join(win, "KV720.exe"))
    os.chmod(os.path.join(lib, "KV720.exe"), 0o644)
    for path in language_files():
        install(path, os.path.join(lib, "Lang", os.path.basename(path)))
    bin_dir = os.path.join(root, "usr", "bin")
    os.makedirs(bin_dir)
    run("strip", "-o", os.path.join(bin_dir, "kv720-cli"), os.path.join(native, "kv720-cli"))
    os.chmod(os.path.join(bin_dir, "kv720-cli"), 0o755)
    install(os.path.join(SOURCE, "packaging", "linux", "kv720"), os.path.join(bin_dir, "kv720"), 0o755)
    install(os.path.join(SOURCE, "packaging", "linux", UDEV_RULE),
            os.path.join(root, "usr", "lib", "udev", "rules.d", UDEV_RULE))
    share = os.path.join(root, "usr", "share")
    install(None, os.path.join(share, "applications", "kv720.desktop"), data=DESKTOP_ENTRY.encode())
    for size in (16, 32, 48):
        icon = os.path.join(share, "icons", "hicolor", "%dx%d" % (size, size), "apps", "kv720.png")
        os.makedirs(os.path.dirname(icon))
        # The icon file holds 16, 32 and 48 pixel pictures; each size gets its own.
        run("convert", "%s[%d]" % (os.path.join(SOURCE, "resources", "kv720.ico"),
                                   {16: 0, 32: 1, 48: 2}[size]), "PNG32:" + icon)
        os.chmod(icon, 0o644)
    doc = os.path.join(share, "doc", "kv720")
    with open(os.path.join(SOURCE, "LICENSE"), "rb") as f:
        licence = f.read().decode()
    install(None, os.path.join(doc, "copyright"),
            data=(COPYRIGHT + "".join(" " + (l if l.strip() else ".") + "\n"
                                      for l in licence.splitlines())).encode())
    install(os.path.join(SOURCE, "docs", "user-guide.txt"), os.path.join(doc, "user-guide.txt"))
    write_control(root, version, library_depends(os.path.join(bin_dir, "kv720-cli"), work))


def write_control(root, version, libraries):
    size = 0
    sums = []
    for folder, _, files in sorted(os.walk(root)):
        for name in sorted(files):
            full = os.path.join(folder, name)
            size += os.path.getsize(full)
            with open(full, "rb") as f:
                sums.append("%s  %s\n" % (hashlib.md5(f.read()).hexdigest(),
                                          os.path.relpath(full, root)))
    depends = ", ".join(d for d in (libraries, DEB_DEPENDS) if d)
    control = """Package: kv720
Version: %s
Architecture: amd64
Maintainer: The KV720 service tool developers <kv720@invalid>
Installed-Size: %d
Depends: %s
Suggests: libnotify-bin
Section: electronics
Priority: optional
Description: service tool for the KV720 LPG (autogas) controller
 Reads and sets up the KV720 LPG engine controller over its serial diagnostic
 line: live readings, configuration, options, oscilloscope, service record,
 factory reset, settings files and the wiring diagram. The Windows program
 runs under Wine through the kv720 launcher, which maps COM1..COM4 to this
 machine's serial ports; kv720-cli does the same from a terminal, natively.
""" % (deb_version(version), (size + 1023) // 1024, depends)
    install(None, os.path.join(root, "DEBIAN", "control"), data=control.encode())
    install(None, os.path.join(root, "DEBIAN", "md5sums"), data="".join(sums).encode())


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--win", required=True, help="the Windows build folder")
    parser.add_argument("--native", required=True, help="the native release build folder")
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    version = read_version(args.win)
    if read_version(args.native) != version:
        sys.exit("dist: the builds differ in version (%s, %s): build both again"
                 % (version, read_version(args.native)))
    os.makedirs(args.out, exist_ok=True)
    for old in glob.glob(os.path.join(args.out, "KV720-*")) + glob.glob(os.path.join(args.out, "kv720_*.deb")):
        os.remove(old)
    names = {"zip": "KV720-%s-windows.zip" % version, "setup": "KV720-%s-setup.exe" % version,
             "deb": "kv720_%s_amd64.deb" % deb_version(version)}
    paths = {k: os.path.join(os.path.abspath(args.out), v) for k, v in names.items()}
    with tempfile.TemporaryDirectory(prefix="kv720-dist-") as work:
        folder = os.path.join(work, "windows")
        stage_windows(args.win, folder)
        make_zip(folder, paths["zip"])
        make_installer(folder, version, paths["setup"])
        root = os.path.join(work, "deb")
        stage_deb(args.win, args.native, root, version, work)
        run("dpkg-deb", "--root-owner-group", "-Zxz", "--build", root, paths["deb"],
            stdout=subprocess.DEVNULL)
    for path in paths.values():
        print("dist: %s (%d kB)" % (os.path.relpath(path), os.path.getsize(path) // 1024))


if __name__ == "__main__":
    main()
