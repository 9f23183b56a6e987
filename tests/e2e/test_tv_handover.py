"""A second copy started with a playlist hands it to the running copy, which comes forward and
opens it; the second copy ends with 0 and shows nothing. Without a playlist the refusal stays."""
import os
import time

import koro_e2e as e2e


def body(c, desktop, pages, scratch, args):
    with e2e.stream_server(scratch) as (media, streams):
        one = e2e.make_stream(media, "one")
        playlist = os.path.join(scratch, "list.m3u8")
        e2e.write_text(playlist, f"#EXTM3U\n#EXTINF:-1,交来的频道\n{streams.base}/{one}\n")
        folder = os.path.join(scratch, "app")
        with e2e.program(desktop, args, folder, pages.base) as first:
            window = e2e.main_window(desktop, first)
            # The first copy lies hidden in the tray: the handover must bring it back.
            first.send("trigger menuhide")
            e2e.wait_for(lambda: not desktop.windows("Koro网络电视 3.0"), timeout=10,
                         what="the window hidden")
            second = e2e.Koro(desktop, args.harness, folder, base=pages.base,
                              cwd=scratch).start(args=["list.m3u8"])
            c.check(second.wait_exit(30) == 0, "the second copy ends with exit code 0")
            c.check(not desktop.windows("^koro$"), "the second copy showed no refusal")
            e2e.wait_for(lambda: e2e.tv_events(first, "playing"), timeout=60,
                         what="the handed playlist playing")
            c.check(e2e.tv_events(first, "opened")[0][1] == f"1 {playlist}",
                    "the running copy opened the playlist, named relative to the second copy")
            c.wait(lambda: desktop.windows("Koro网络电视 3.0"), "the running copy's window came forward")
            time.sleep(0.5)
            desktop.screenshot("tv-handover.png")

            with e2e.program(desktop, args, folder, pages.base) as third:
                box = e2e.wait_for(lambda: desktop.windows("^koro$"), what="the refusal")[0]
                e2e.key(desktop, "Return", window=box)
                c.check(third.wait_exit(30) == 0, "without a playlist the refusal stays")
            c.check(first.proc.poll() is None and len(e2e.tv_events(first, "opened")) == 1,
                    "the running copy goes on unchanged")


if __name__ == "__main__":
    e2e.run("tv_handover", body)
