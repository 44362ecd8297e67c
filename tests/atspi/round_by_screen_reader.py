#!/usr/bin/python3
"""Plays a round of the real rekendo through AT-SPI, as a screen reader would.

Starts its own virtual display, session bus and accessibility bus, then the drill in a
scratch folder, and reads and drives it through the accessibility tree only: every key by
name and role, Tab moving the focus, Let's Charenge!, the problem, keys, 決定, the verdict.

    round_by_screen_reader.py REKENDO_BINARY DATA_FOLDER

Exit 0 when all went as a learner needs, 1 on a failure, 77 when the machine lacks Xvfb,
D-Bus or pyatspi.
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

KEY_NAMES = ["ゼロ", "イチ", "ニ", "サン", "ヨン", "ゴ", "ロク", "ナナ", "ハチ", "キュウ",
             "エックス", "ワイ", "ゼット", "エル", "エム", "エヌ", "エー", "ビー", "シー",
             "プラス", "マイナス", "かっこ閉じる", "かっこ開く", "ルート",
             "分数の線 (スラッシュ)", "小数点", "取消", "決定", "累乗"]
COMMANDS = ["問題選択", "Let's Charenge!", "Next Question", "おわる", "成績", "問題を作る", "設定"]
LABELS = ["問題番号", "問題", "判定", "入力した答え", "得点", "残り秒数"]
TAB_KEYCODE = 23  # X keycode of Tab on Xvfb's default keymap


def skip(why):
    print("SKIP: " + why)
    sys.exit(77)


def outer(binary, data):
    for tool in ("Xvfb", "dbus-run-session"):
        if shutil.which(tool) is None:
            skip(tool + " is not installed")
    if not os.path.exists("/usr/libexec/at-spi-bus-launcher"):
        skip("at-spi2-core is not installed")
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        skip("python3-pyatspi is not installed")
    sys.dont_write_bytecode = True  # nothing written into the source tree
    from virtual_display import DisplayError, VirtualDisplay
    try:
        with VirtualDisplay("1024x768x24") as display:
            env = dict(os.environ, ATSPI_ROUND_INNER="1", DISPLAY=display.name)
            env.pop("XAUTHORITY", None)
            env.pop("WAYLAND_DISPLAY", None)
            command = ["dbus-run-session", "--", sys.executable, os.path.abspath(__file__),
                       binary, data]
            # Its own process group, so that a test that hangs leaves nothing running.
            session = subprocess.Popen(command, env=env, start_new_session=True)
            try:
                status = session.wait(150)
            except subprocess.TimeoutExpired:
                print("FAIL: the whole test took longer than 150 s")
                status = 1
            finally:
                try:
                    os.killpg(session.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                session.wait()
            if status != 0:
                print("Xvfb on %s said:\n%s" % (display.name, display.messages() or "(nothing)"))
            return status
    except DisplayError as error:
        print("FAIL: %s" % error)
        return 1


class Failure(Exception):
    pass


def wait_for(what, probe, seconds=15.0):
    import gi
    gi.require_version("GLib", "2.0")
    from gi.repository import GLib
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while GLib.MainContext.default().iteration(False):
            pass
        value = probe()
        if value:
            return value
        time.sleep(0.05)
    raise Failure("timed out waiting for " + what)


def walk(node, depth=0):
    if node is None or depth > 12:
        return
    yield node
    for i in range(node.childCount):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        yield from walk(child, depth + 1)


def shown_text(node):
    """What a label shows: its description, else its text."""
    if node.description:
        return node.description
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except NotImplementedError:
        return ""


def inner(binary, data):
    import pyatspi
    scratch = tempfile.mkdtemp(prefix="rekendo-atspi-")
    bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    drill = None
    try:
        for name in ("計算力判定文.han", "計算力雑学.zat"):
            shutil.copy(os.path.join(data, name), scratch)
        # No trivia, so that the first question is this one problem.
        open(os.path.join(scratch, "計算力雑学.zat"), "wb").close()
        problems = os.path.join(scratch, "足し算.mon")
        with open(problems, "wb") as out:
            out.write("１＋１＝\r\n２\r\n".encode("cp932"))
        runtime = os.path.join(scratch, "runtime")
        os.mkdir(runtime, 0o700)
        env = dict(os.environ, QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   QT_QPA_PLATFORM="xcb", HOME=scratch,
                   XDG_CONFIG_HOME=os.path.join(scratch, "config"),
                   XDG_DATA_HOME=os.path.join(scratch, "data"), XDG_RUNTIME_DIR=runtime)
        time.sleep(0.5)
        drill = subprocess.Popen([binary, "--problem-file", problems], cwd=scratch, env=env)

        desktop = pyatspi.Registry.getDesktop(0)

        def find_app():
            if drill.poll() is not None:
                raise Failure("the drill ended with status %d before it was on the "
                              "accessibility bus" % drill.returncode)
            for i in range(desktop.childCount):
                app = desktop.getChildAtIndex(i)
                if app is not None and app.name == "rekendo":
                    return app
            return None

        app = wait_for("the drill on the accessibility bus", find_app, 30)

        def nodes_named(names, role):
            found = {}
            for node in walk(app):
                if node.getRole() == role and node.name in names:
                    found[node.name] = node
            return found

        buttons = wait_for("every key and command button",
                           lambda: (lambda f: f if len(f) == len(KEY_NAMES) + len(COMMANDS)
                                    else None)(nodes_named(KEY_NAMES + COMMANDS,
                                                           pyatspi.ROLE_PUSH_BUTTON)))
        labels = wait_for("every label", lambda: (lambda f: f if len(f) == len(LABELS) else None)(
            nodes_named(LABELS, pyatspi.ROLE_LABEL)))
        print("found %d keys and %d command buttons as push buttons, %d labels" %
              (len(KEY_NAMES), len(COMMANDS), len(labels)))

        events = []
        pyatspi.Registry.registerEventListener(
            lambda e: events.append((e.type, e.source.name if e.source else "")),
            "object:state-changed:focused", "object:property-change:accessible-description")

        def focused():
            for node in buttons.values():
                if node.getState().contains(pyatspi.STATE_FOCUSED):
                    return node.name
            return None

        wait_for("the focus on ゼロ", lambda: focused() == "ゼロ")
        order = []
        for _ in range(3):
            before = focused()
            pyatspi.Registry.generateKeyboardEvent(TAB_KEYCODE, None, pyatspi.KEY_PRESSRELEASE)
            order.append(wait_for("the focus to move", lambda: (lambda f: f if f != before
                                                                 else None)(focused())))
        if order != ["イチ", "ニ", "サン"]:
            raise Failure("Tab moved the focus to %r" % order)
        wait_for("the focus moves reported as events",
                 lambda: [n for t, n in events if t.startswith("object:state-changed:focused")
                          and n == "サン"])
        print("Tab moves the focus ゼロ → " + " → ".join(order) + ", reported as events")

        def press(name):
            buttons[name].queryAction().doAction(0)

        press("Let's Charenge!")
        problem = wait_for("the problem", lambda: "１＋１" in shown_text(labels["問題"]) and
                           shown_text(labels["問題"]))
        number = wait_for("the question number", lambda: shown_text(labels["問題番号"]))
        print("%s: %s" % (number, problem))
        bar = wait_for("the countdown as a progress bar",
                       lambda: (lambda f: f.get("経過時間"))(
                           nodes_named(["経過時間"], pyatspi.ROLE_PROGRESS_BAR)))
        used = wait_for("time used on the bar",
                        lambda: (lambda v: v if 0 < v <= 100 else None)(
                            bar.queryValue().currentValue))
        print("経過時間: a progress bar at %d of 100" % used)
        press("サン")
        wait_for("the typed answer", lambda: shown_text(labels["入力した答え"]) == "３")
        press("決定")
        wait_for("the verdict 誤り", lambda: shown_text(labels["判定"]) == "誤り")
        wait_for("the verdict announced", lambda: [n for t, n in events if n == "判定" and
                                                    t.endswith("accessible-description")])
        press("ニ")
        wait_for("the typed answer", lambda: shown_text(labels["入力した答え"]) == "２")
        press("決定")
        wait_for("the verdict 正解", lambda: shown_text(labels["判定"]) == "正解")
        wait_for("the revealed answer", lambda: "答えは" in shown_text(labels["問題"]))
        score = wait_for("the score", lambda: shown_text(labels["得点"]) == "10点" and "10点")
        # What a reader speaks: the news as a notification that shows (Orca says it aloud).
        wait_for("the verdict and the answer as one notification",
                 lambda: [n for n in walk(app) if n.getRole() == pyatspi.ROLE_NOTIFICATION
                          and n.name.startswith("判定、正解。問題、") and "答えは" in n.name
                          and n.getState().contains(pyatspi.STATE_SHOWING)])
        print("判定: 正解, 得点: %s, the answer revealed" % score)
        return 0
    except Failure as failure:
        print("FAIL: %s" % failure)
        return 1
    finally:
        if drill is not None:
            drill.terminate()
            try:
                drill.wait(5)
            except subprocess.TimeoutExpired:
                drill.kill()
        bus.terminate()
        shutil.rmtree(scratch, ignore_errors=True)


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    if os.environ.get("ATSPI_ROUND_INNER") == "1":
        return inner(sys.argv[1], sys.argv[2])
    return outer(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]))


if __name__ == "__main__":
    sys.exit(main())
