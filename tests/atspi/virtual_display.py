"""A virtual X display of the test's own, taken the robust way.

Xvfb chooses a free display itself and, with -displayfd, writes its number to a pipe only
once it accepts connections: no number is guessed from lock files, and nothing connects
before the server is ready. Its messages go to a log the caller prints when a check fails.
A start-up that fails (Xvfb exits, or says nothing within the time) is tried once more.
"""
import os
import select
import subprocess
import tempfile
import time


class DisplayError(Exception):
    pass


class VirtualDisplay:
    def __init__(self, screen="1024x768x24", timeout=20.0):
        self.screen = screen
        self.timeout = timeout
        self.number = None
        self.process = None
        self.logs = []  # every start-up's messages, in order

    @property
    def name(self):
        return ":%d" % self.number

    def __enter__(self):
        for attempt in (1, 2):
            try:
                self._start_once()
                return self
            except DisplayError as error:
                self._stop()
                self.logs.append("(start-up %d failed: %s)\n" % (attempt, error))
        raise DisplayError("Xvfb did not start twice over:\n" + self.messages())

    def __exit__(self, *exc):
        self._stop()
        return False

    def messages(self):
        """What Xvfb said, over every start-up."""
        return "".join(self.logs) + self._read_log()

    def _start_once(self):
        self._log = tempfile.TemporaryFile(mode="w+")
        ready_read, ready_write = os.pipe()
        try:
            # -noreset: the server keeps its state (the accessibility bus's address on the
            # root window among it) when its last client goes.
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(ready_write), "-screen", "0", self.screen,
                 "-nolisten", "tcp", "-noreset"],
                stdin=subprocess.DEVNULL, stdout=self._log, stderr=self._log,
                pass_fds=(ready_write,), start_new_session=True)
        finally:
            os.close(ready_write)
        try:
            self.number = self._read_number(ready_read)
        finally:
            os.close(ready_read)

    def _read_number(self, fd):
        deadline = time.monotonic() + self.timeout
        text = b""
        while not text.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0:
                raise DisplayError("no display number within %.0f s" % self.timeout)
            ready, _, _ = select.select([fd], [], [], left)
            if not ready:
                continue
            chunk = os.read(fd, 64)
            if not chunk:
                raise DisplayError("Xvfb ended (status %s) before it took a display" %
                                   self.process.poll())
            text += chunk
        try:
            return int(text.strip())
        except ValueError:
            raise DisplayError("Xvfb wrote %r for its display" % text)

    def _read_log(self):
        log = getattr(self, "_log", None)
        if log is None or log.closed:
            return ""
        log.flush()
        log.seek(0)
        return log.read()

    def _stop(self):
        if self.process is not None:
            if self.process.poll() is None:
                self.process.terminate()
                try:
                    self.process.wait(5)
                except subprocess.TimeoutExpired:
                    self.process.kill()
                    self.process.wait()
            self.process = None
        log = getattr(self, "_log", None)
        if log is not None and not log.closed:
            self.logs.append(self._read_log())
            log.close()
