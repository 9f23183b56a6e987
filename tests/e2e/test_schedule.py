"""Scheduled viewing from the page's context menu, scheduled shutdown from the options menu
(reaching the test's own power service on a private bus, never a real one) and the settings
dialog, on the real program."""
import datetime
import os
import subprocess
import threading
import time

import koro_e2e as e2e
from koro_e2e import main_window, wait_for

BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>session</type><listen>unix:path={socket}</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>
<allow own="*"/></policy></busconfig>
"""


class PowerService:
    """A private dbus-daemon with the mock logind on it, for a with block; its calls are
    collected."""

    def __init__(self, mock, scratch):
        config = e2e.write_text(os.path.join(scratch, "bus", "bus.conf"),
                                BUS_CONFIG.format(socket=os.path.join(scratch, "bus", "bus")))
        self.daemon = subprocess.Popen(["dbus-daemon", f"--config-file={config}", "--nofork",
                                        "--print-address=1", "--nopidfile"],
                                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.mock = None
        self.calls = []
        try:
            self.address = self.daemon.stdout.readline().strip()
            env = dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=self.address)
            self.mock = subprocess.Popen([mock], env=env, stdout=subprocess.PIPE, text=True)
            threading.Thread(target=self._read, daemon=True).start()
            wait_for(lambda: "ready" in self.calls, timeout=10, what="the mock power service")
        except BaseException:
            self.__exit__()
            raise

    def _read(self):
        for line in self.mock.stdout:
            if line.startswith("login1: "):
                self.calls.append(line[len("login1: "):].rstrip("\n"))

    def __enter__(self):
        return self

    def __exit__(self, *failure):
        for proc in (self.mock, self.daemon):
            if proc:
                e2e.end(proc)


def shown(koro, name, after=0):
    lines = [l for l in koro.output()[after:] if l.startswith(f"e2e: shown {name} ")]
    return lines[-1][len(f"e2e: shown {name} "):] if lines else None


def settle_minute():
    """Waits for a fresh minute when this one is nearly over, so the time typed stays now."""
    if datetime.datetime.now().second > 35:
        time.sleep(61 - datetime.datetime.now().second)


def type_time(desktop, hour, minute):
    """Into the timer dialog, which has the keyboard: both fields, then OK."""
    wid = wait_for(lambda: desktop.windows("^定时$"), timeout=10, what="the timer dialog window")[-1]
    desktop.cmd("xdotool", "windowactivate", "--sync", wid)
    time.sleep(0.3)
    desktop.screenshot("timer_dialog.png")
    keys = ["End", "BackSpace", "BackSpace"] + list(str(hour)) + ["Tab"] + list(str(minute)) + \
        ["Tab", "space"]
    desktop.cmd("xdotool", "key", "--delay", "60", *keys, check=True)
    time.sleep(0.5)
    desktop.screenshot("timer_dialog_after_ok.png")


def body(checks, desktop, pages, scratch, args):
    mock = os.path.join(os.path.dirname(args.harness), "koro_mock_login1")
    folder = os.path.join(scratch, "app")
    home = pages.base + "/tel/v1000"
    pages.page("/tel/v1000", "<html><head><title>体育频道</title></head>"
               "<body style='height:2000px'>channel</body></html>")
    with PowerService(mock, scratch) as power, \
            e2e.program(desktop, args, folder, pages.base,
                        env={"DBUS_SYSTEM_BUS_ADDRESS": power.address}) as koro:
        wid = main_window(desktop, koro)
        # Viewing: the page's own context menu, its last entry.
        settle_minute()
        mark = len(koro.output())
        desktop.click(wid, 300, 300, "3")
        time.sleep(1.0)
        e2e.key(desktop, "Up", "Return")
        dialog = wait_for(lambda: shown(koro, "TSetTimeForm", mark), timeout=10,
                          what="the timer dialog from the page menu")
        checks.check(dialog.endswith("体育频道\t" + home),
                     "the page menu opens the timer dialog with the page's title and address")
        now = datetime.datetime.now()
        mark = len(koro.output())
        type_time(desktop, now.hour, now.minute)
        reminder = wait_for(lambda: shown(koro, "TfrmPS", mark), timeout=15, what="the reminder")
        checks.check(f"提示：体育频道-到了您设定的观看时间<{now.hour}:{now.minute}>，是否观看？" in reminder,
                     "the reminder names the channel and the time")
        x, y, w, h = (int(n) for n in reminder.split()[:4])
        checks.check(x >= 0 and y >= 0 and x + w <= 1680 and y + h <= 1050,
                     "the reminder is wholly on screen")
        time.sleep(0.5)
        desktop.screenshot("reminder.png")
        stored = e2e.read_bytes(os.path.join(folder, "user.ini"))
        checks.check(f"SeeTime={now.hour}:{now.minute}".encode() in stored and
                     "ChannelName=体育频道".encode("gb18030") in stored and
                     f"Channelurl={home}".encode() in stored,
                     "the schedule is stored in user.ini")
        checks.wait(lambda: koro.has_line("e2e: ring TimerSound"), "the alarm rings")
        ring_at = len(koro.output())
        checks.wait(lambda: f"e2e: beforeNavigate2 webbrowser1 {home}" in koro.output()[ring_at:],
                    "the channel opens after the reminder", 15)

        # Settings dialog.
        mark = len(koro.output())
        koro.send("trigger Menu_SoftSet")
        checks.wait(lambda: shown(koro, "TForm_SoftSet", mark), "the settings dialog opens from the options menu")
        time.sleep(0.5)
        desktop.screenshot("settings_dialog.png")

        # Shutdown: the options menu entry, which also closes that settings dialog.
        settle_minute()
        mark = len(koro.output())
        koro.send("trigger MenuPower")
        dialog = wait_for(lambda: shown(koro, "TSetTimeForm", mark), timeout=10,
                          what="the timer dialog in shutdown mode")
        checks.check(" 定时关机设置\t" in dialog, "the power menu opens the shutdown dialog")
        time.sleep(0.5)
        checks.check(not desktop.windows("^软件设置$"), "the settings dialog was closed")
        now = datetime.datetime.now()
        type_time(desktop, now.hour, now.minute)
        # The program's own countdown, in front; nothing goes to the system before it ends.
        countdown = wait_for(lambda: shown(koro, "ShutdownCountdown", mark), timeout=15,
                             what="the countdown window")
        checks.check("30 秒" in countdown, "the countdown starts at 30 seconds")
        desktop.screenshot("shutdown-countdown.png")
        box = wait_for(lambda: desktop.windows("^Koro网络电视$"), what="the countdown on screen")[-1]
        checks.check("_NET_WM_STATE_ABOVE" in desktop.xprop(box, "_NET_WM_STATE"),
                     "the countdown stays in front of everything")
        checks.check(not any(c.startswith("PowerOff") for c in power.calls),
                     f"nothing is asked of the system during the countdown ({power.calls})")
        # Enter is 取消, the safe answer.
        e2e.key(desktop, "Return", window=box)
        wait_for(lambda: not desktop.windows("^Koro网络电视$"), timeout=10, what="cancelled")
        time.sleep(1)
        checks.check(not any(c.startswith("PowerOff") for c in power.calls),
                     "取消 stops the power-off")

        # Armed again, the tray menu offers to cancel it; left alone, it powers off.
        mark = len(koro.output())
        koro.send("trigger MenuPower")
        wait_for(lambda: shown(koro, "TSetTimeForm", mark), timeout=10, what="the dialog again")
        now = datetime.datetime.now()
        type_time(desktop, now.hour, now.minute)
        mark = len(koro.output())
        wait_for(lambda: shown(koro, "ShutdownCountdown", mark), timeout=15,
                 what="the second countdown")
        koro.send("interval TimerCountdown 50")
        checks.wait(lambda: any(c.startswith("PowerOff") for c in power.calls),
                    "the power goes off when the countdown runs out", 15)


if __name__ == "__main__":
    e2e.run("schedule", body)
