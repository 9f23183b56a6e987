"""A hostile playlist: markup in names and groups shows as text, javascript: and file: entries are
listed as unplayable and launch nothing; a foreign page in the page area gets nothing from the
channel page's bridge."""
import os
import stat
import time
import urllib.parse

import koro_e2e as e2e

TITLE = "Koro网络电视 3.0"


def body(c, desktop, pages, scratch, args):
    with e2e.stream_server(scratch) as (media, streams):
        one = e2e.make_stream(media, "one", seconds=20)
        # Whatever tries to hand an address to the desktop leaves a mark.
        bin_dir = os.path.join(scratch, "bin")
        launched = os.path.join(scratch, "launched.txt")
        for opener in ("xdg-open", "gio", "kde-open", "gnome-open", "x-www-browser"):
            script = e2e.write_text(os.path.join(bin_dir, opener),
                                    f'#!/bin/sh\necho "$0 $*" >> {launched}\n')
            os.chmod(script, stat.S_IRWXU)
        bait = pages.base
        playlist = os.path.join(scratch, "hostile.m3u")
        e2e.write_text(
            playlist,
            "#EXTM3U\n"
            f'#EXTINF:-1 tvg-logo="javascript:fetch(\'{bait}/pwned-logo\')" '
            f'group-title="<b onmouseover=fetch(\'{bait}/pwned-group\')>组</b>",'
            f'<img src="{bait}/pwned-img" onerror="fetch(\'{bait}/pwned-js\')">\n'
            f"{streams.base}/{one}\n"
            f"#EXTINF:-1,<script>fetch('{bait}/pwned-script')</script>\n"
            f"javascript:fetch('{bait}/pwned-url')\n"
            f'#EXTINF:-1 tvg-logo="file:///etc/hostname",本地文件\nfile:///etc/hostname\n'
            f"#EXTINF:-1,外部程序\nmailto:someone@example.com\n")
        secret = f"koro://tv/relay/http/127.0.0.1:{pages.server_address[1]}/secret"
        pages.page("/foreign.html", f"""<html><head><title>foreign</title></head><body>
<img src="{secret}-img"><iframe src="koro://tv/channels.html"></iframe><script>
fetch('{secret}-fetch').then(() => fetch('/report?relay=read')).catch(() => {{}});
""" + """
fetch('/report?qt=' + typeof qt);
if (typeof qt !== 'undefined') {
  const t = qt.webChannelTransport; let id = 0; const pending = {};
  t.onmessage = (m) => { const d = JSON.parse(m.data); if (d.type === 10 && pending[d.id]) pending[d.id](d.data); };
  const send = (msg, cb) => { msg.id = ++id; pending[id] = cb; t.send(JSON.stringify(msg)); };
  send({type: 3}, (data) => {
    const methods = Object.fromEntries(data.koro.methods);
    send({type: 6, object: 'koro', method: methods.playlist, args: []},
         (r) => fetch('/report?playlist=' + encodeURIComponent(JSON.stringify(r))));
    send({type: 6, object: 'koro', method: methods.toggleCompact, args: []},
         () => fetch('/report?compact=asked'));
  });
}
</script></body></html>""")
        env = {"PATH": bin_dir + os.pathsep + os.environ.get("PATH", "")}
        with e2e.program(desktop, args, os.path.join(scratch, "app"), pages.base, env,
                         argv=[playlist]) as koro:
            e2e.wait_for(lambda: e2e.tv_events(koro, "playing"), timeout=60,
                         what="the playable channel playing")
            c.check(e2e.tv_events(koro, "shown")[-1][1] == "4", "every entry is listed")
            window = e2e.main_window(desktop)
            time.sleep(1)
            desktop.screenshot("tv-hostile.png")
            for number in ("2", "3", "4"):
                e2e.key(desktop, number, "Return", window=window)
                time.sleep(1.5)
            desktop.screenshot("tv-hostile-unplayable.png")
            e2e.key(desktop, "Next", "Next", "Next", window=window)
            time.sleep(2)
            pwned = [p for p in pages.requests if "pwned" in p]
            c.check(not pwned, f"no markup or script of the playlist ran: {pwned}")
            c.check(not os.path.exists(launched), "nothing was handed to the desktop")
            c.check(len(e2e.tv_events(koro, "playing")) >= 2 and
                    all(d == "0" for _, d in e2e.tv_events(koro, "playing")),
                    "Page Down skips the unplayable entries")

            # A foreign page shown in the page area asks the bridge.
            x, y = koro.widget_centre("TForm1", "httpaddr")
            desktop.click(window, x, y)
            e2e.key(desktop, "ctrl+a")
            desktop.type(f"{pages.base}/foreign.html")
            e2e.key(desktop, "Return")
            e2e.wait_for(lambda: pages.seen("/report"), timeout=30, what="the foreign page")
            e2e.wait_for(lambda: any("playlist=" in p for p in pages.requests), timeout=15,
                         what="the foreign page's answer")
            answer = [urllib.parse.unquote(p.split("playlist=", 1)[1]) for p in pages.requests
                      if "playlist=" in p][0]
            c.check(answer == "{}", f"the bridge gives a foreign page nothing: {answer}")
            c.check(not pages.seen("/secret-img") and not pages.seen("/secret-fetch")
                    and not any("relay=read" in p for p in pages.requests),
                    "nor can it make the program fetch for it")
            time.sleep(1)
            c.check(desktop.window_title(window) == TITLE, "nor does it switch compact mode")
            c.check(not os.path.exists(launched), "still nothing handed to the desktop")


if __name__ == "__main__":
    e2e.run("tv_hostile", body)
