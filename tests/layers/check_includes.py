#!/usr/bin/env python3
"""Fails when a source file reaches across the layers of src/.

src/app is the composition root: nothing else includes from it or the main window's generated
layout. The web-engine backend does not know the features built on it, the TV feature includes no
other feature, and only src/platform
talks to the window system, the sound system and the message bus directly.
"""
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', re.MULTILINE)
SYSTEM_HEADERS = re.compile(r"^(X11/|xcb/|alsa/|dbus/|QtDBus/|QDBus)")


def violations(src: pathlib.Path):
    for path in sorted(src.rglob("*")):
        if path.suffix not in {".h", ".cpp"}:
            continue
        area = path.relative_to(src).parts[0]
        text = path.read_text(encoding="utf-8", errors="replace")
        for header in INCLUDE.findall(text):
            where = f"{path.relative_to(src.parent)}: {header}"
            if area != "app" and (header.startswith("app/") or header == "ui_TForm1.h"):
                yield f"{where} (only src/app may use the composition root)"
            if area == "webengine" and header.startswith(("browse/", "desktop/", "schedule/", "tv/")):
                yield f"{where} (the engine backend knows no feature)"
            if area == "platform" and header.startswith("webengine/"):
                yield f"{where} (the system services know nothing of the page engine)"
            if area == "tv" and header.startswith(("browse/", "desktop/", "schedule/")):
                yield f"{where} (the TV feature gets what it needs of others through hooks)"
            if area != "platform" and SYSTEM_HEADERS.match(header):
                yield f"{where} (system services belong in src/platform)"


def main() -> int:
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src").resolve()
    if not (src / "app").is_dir():
        print(f"not a source tree: {src}", file=sys.stderr)
        return 2
    found = list(violations(src))
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
