#!/usr/bin/python3
"""By hand, not in the suite: Orca beside the drill while a round is played by keyboard alone.

    dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" \
        /usr/bin/python3 tests/atspi/orca_by_keyboard.py data "$PWD/build/release/app/rekendo"
    grep "SPEECH OUTPUT" /tmp/orca-by-keyboard.out

Needs Debian orca and python3-pyatspi. What Orca would have said is in its debug log.
"""
import os, shutil, subprocess, sys, tempfile, time
import pyatspi
data, binary = sys.argv[1], sys.argv[2]
scratch = tempfile.mkdtemp(prefix="orca-check-")
bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
for name in ("計算力判定文.han", "計算力雑学.zat"):
    shutil.copy(os.path.join(data, name), scratch)
open(os.path.join(scratch, "計算力雑学.zat"), "wb").close()
problems = os.path.join(scratch, "足し算.mon")
open(problems, "wb").write("１＋１＝\r\n２\r\n".encode("cp932"))
runtime = os.path.join(scratch, "runtime"); os.mkdir(runtime, 0o700)
env = dict(os.environ, QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
           QT_QPA_PLATFORM="xcb", HOME=scratch, XDG_CONFIG_HOME=os.path.join(scratch, "config"),
           XDG_DATA_HOME=os.path.join(scratch, "data"), XDG_RUNTIME_DIR=runtime, LANG="C.UTF-8")
time.sleep(0.5)
orca = subprocess.Popen(["orca", "--replace", "-u", os.path.join(scratch, "orca-prefs"),
                         "--debug-file", "/tmp/orca-by-keyboard.out"], env=env,
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
time.sleep(4)
drill = subprocess.Popen([binary, "--problem-file", problems], cwd=scratch, env=env)
time.sleep(4)
TAB, RET, SPACE = 23, 36, 65
def key(code, n=1):
    for _ in range(n):
        pyatspi.Registry.generateKeyboardEvent(code, None, pyatspi.KEY_PRESSRELEASE)
        time.sleep(0.6)
# Focus starts on ゼロ: Shift+Tab backwards is not needed; walk forward to Let's Charenge!
desktop = pyatspi.Registry.getDesktop(0)
app = [desktop.getChildAtIndex(i) for i in range(desktop.childCount) if desktop.getChildAtIndex(i) and desktop.getChildAtIndex(i).name == "rekendo"][0]
def focused():
    stack = [app]
    while stack:
        n = stack.pop()
        try:
            if n.getState().contains(pyatspi.STATE_FOCUSED) and n.getRole() == pyatspi.ROLE_PUSH_BUTTON:
                return n.name
            stack.extend(n.getChildAtIndex(i) for i in range(n.childCount))
        except Exception:
            pass
for _ in range(40):
    if focused() == "Let's Charenge!": break
    key(TAB)
print("focus:", focused()); key(SPACE); time.sleep(1.5)
for _ in range(40):
    if focused() == "ニ": break
    key(TAB)
print("focus:", focused()); key(SPACE)
for _ in range(40):
    if focused() == "決定": break
    key(TAB)
print("focus:", focused()); key(SPACE); time.sleep(8)
drill.terminate(); time.sleep(2); orca.send_signal(2); time.sleep(2); bus.terminate()
time.sleep(1)
