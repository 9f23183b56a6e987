"""The Debian package: built, unpacked into a scratch root and started from its menu entry by
two normal users, each of whom gets a folder of their own; nothing is written into the program
folder or elsewhere in the users' homes."""
import configparser
import glob
import os
import pwd
import subprocess
import time

import koro_e2e as e2e

# Two accounts every Debian system has (base-passwd); the session bus needs an account entry.
USERS = tuple(pwd.getpwnam(name).pw_uid for name in ("nobody", "games"))


def build_package(build_dir, out_dir):
    subprocess.run(["cpack", "-G", "DEB", "--config", os.path.join(build_dir, "CPackConfig.cmake"),
                    "-B", out_dir], check=True, stdout=subprocess.DEVNULL)
    return glob.glob(os.path.join(out_dir, "koro_*.deb"))[0]


def snapshot(top):
    """Every file below top with its size and modification time."""
    found = {}
    for folder, _, files in os.walk(top):
        for name in files:
            path = os.path.join(folder, name)
            st = os.lstat(path)
            found[os.path.relpath(path, top)] = (st.st_size, st.st_mtime_ns)
    return found


def desktop_entry(root):
    entry = configparser.ConfigParser(interpolation=None)
    entry.optionxform = str
    entry.read(glob.glob(os.path.join(root, "usr/share/applications/*.desktop"))[0], encoding="utf-8")
    return entry["Desktop Entry"]


def start_as(desktop, root, uid, home):
    """The menu entry's command as the user, from the user's home, in a network namespace of
    its own: the production addresses must not leave the machine."""
    runtime = os.path.join(home, ".rt")
    os.makedirs(runtime, mode=0o700)
    for path in (home, runtime):
        os.chown(path, uid, uid)
    command = os.path.join(root, "usr/bin", desktop_entry(root)["Exec"].split()[0])
    env = desktop.env({"HOME": home, "XDG_RUNTIME_DIR": runtime, "USER": str(uid)})
    env.pop("XDG_DATA_HOME", None)
    inner = (f"ip link set lo up && exec setpriv --reuid={uid} --regid={uid} --clear-groups "
             f"dbus-run-session -- {command}")
    return subprocess.Popen(["unshare", "--net", "sh", "-c", inner], cwd=home, env=env,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                            start_new_session=True)


def close_and_agree(desktop, window):
    desktop.close(window)
    question = e2e.wait_for(lambda: desktop.windows("^提示$"), what="the exit question")[0]
    e2e.key(desktop, "Return", window=question)


def main():
    args = e2e.parse_args()
    c = e2e.Checks("package")
    with e2e.session(args) as (desktop, pages, scratch):
        os.chmod(scratch, 0o755)
        deb = build_package(os.path.dirname(args.koro), os.path.join(scratch, "deb"))
        root = os.path.join(scratch, "root")
        subprocess.run(["dpkg", "-x", deb, root], check=True)
        desktop_file = glob.glob(os.path.join(root, "usr/share/applications/*.desktop"))[0]
        metainfo = glob.glob(os.path.join(root, "usr/share/metainfo/*.metainfo.xml"))[0]
        c.check(subprocess.run(["desktop-file-validate", desktop_file]).returncode == 0,
                "desktop-file-validate passes")
        c.check(subprocess.run(["appstreamcli", "validate", "--no-net", metainfo],
                               stdout=subprocess.DEVNULL).returncode == 0, "appstreamcli validate passes")
        entry = desktop_entry(root)
        c.check(entry["Name"] == "Koro网络电视" and "AudioVideo;" in entry["Categories"]
                and "TV;" in entry["Categories"], "the menu entry's name and categories")
        c.check(set(entry["MimeType"].strip(";").split(";")) == {
            "audio/x-mpegurl", "audio/mpegurl", "application/vnd.apple.mpegurl",
            "application/x-mpegurl"} and "%U" in entry["Exec"],
                "the menu entry opens M3U playlists given to it")
        depends = subprocess.run(["dpkg-deb", "-f", deb, "Depends"], capture_output=True,
                                 text=True).stdout
        c.check("libqt6webchannel6" in depends and "zlib1g" in depends,
                f"the package depends on Qt WebChannel and zlib: {depends}")
        c.check("Apache License" in open(os.path.join(root, "usr/share/doc/koro/hls.js-LICENSE"),
                                         encoding="utf-8").read(),
                "the package carries hls.js's licence")
        for icon in ("scalable/apps/koro.svg", "48x48/apps/koro.png", "256x256/apps/koro.png"):
            c.check(os.path.isfile(os.path.join(root, "usr/share/icons/hicolor", icon)), f"icon {icon}")

        program = snapshot(os.path.join(root, "usr"))
        folders = []
        for n, uid in enumerate(USERS):
            home = os.path.join(scratch, f"home{n}")
            os.makedirs(home)
            proc = start_as(desktop, root, uid, home)
            try:
                window = c.wait(lambda: desktop.windows("Koro网络电视 3.0"),
                                f"user {uid}: the caption is Koro网络电视 3.0", 60)[0]
                time.sleep(3)  # the picture only; nothing below depends on it
                desktop.screenshot(f"package-user{n}.png")
                close_and_agree(desktop, window)
                c.check(proc.wait(timeout=30) == 0, f"user {uid}: the program ends with exit code 0")
            finally:
                if proc.poll() is None:
                    os.killpg(proc.pid, 9)
                    proc.wait()
            folder = os.path.join(home, ".local/share/koro")
            folders.append(folder)
            config = os.path.join(folder, "Config.ini")
            c.check(os.path.isfile(config) and os.stat(config).st_uid == uid,
                    f"user {uid}: closing wrote Config.ini into the user's folder")
            c.check(os.path.isfile(os.path.join(folder, "skin/Blue.skn")),
                    f"user {uid}: the sample skins were copied on first start")
            c.check(os.path.isfile(os.path.join(folder, "Language/2052.ini")),
                    f"user {uid}: the language file was written where it is read")
            outside = sorted(p for p in snapshot(home)
                             if not p.startswith(".local/share/koro/") and not p.startswith(".rt/"))
            c.check(not outside, f"user {uid}: nothing written in the home outside its folder {outside[:5]}")
        c.check(snapshot(os.path.join(root, "usr")) == program, "nothing written into the program folder")
        c.check(folders[0] != folders[1], "each user has a settings folder of their own")
    c.finish()


if __name__ == "__main__":
    main()
