"""The fixture's window search while other programs' windows come and go: a window that stays
must be found every time, or checks such as "only one main window" fail at random."""
import subprocess
import threading
import time

import koro_e2e as e2e


def main():
    args = e2e.parse_args()
    c = e2e.Checks("window_search")
    with e2e.session(args) as (desktop, pages, scratch):
        keeper = subprocess.Popen(["xlogo", "-title", "keeper"], env=desktop.env())
        done = threading.Event()
        churned = []

        def churn():
            # Short-lived windows of another program, destroyed while searches walk the tree.
            end = time.monotonic() + 120
            while not done.is_set() and time.monotonic() < end:
                proc = subprocess.Popen(["xlogo", "-title", "passing"], env=desktop.env())
                time.sleep(0.05)
                proc.terminate()
                proc.wait()
                churned.append(proc.pid)

        thread = threading.Thread(target=churn)
        try:
            e2e.wait_for(lambda: desktop.windows("^keeper$"), what="the keeper window")
            thread.start()
            counts = [len(desktop.windows("^keeper$")) for _ in range(150)]
            done.set()
            thread.join()
            c.check(len(churned) > 20, f"other windows came and went during the searches ({len(churned)})")
            c.check(counts.count(1) == len(counts),
                    f"the staying window was found by every search ({counts.count(1)} of {len(counts)})")
        finally:
            done.set()
            if thread.is_alive():
                thread.join()
            keeper.terminate()
            keeper.wait()
    c.finish()


if __name__ == "__main__":
    main()
