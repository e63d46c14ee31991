"""A private desktop for one end-to-end test: Xvfb, a D-Bus session bus with its AT-SPI bus,
PulseAudio with a null sink, a speech-dispatcher whose speech is written to a text file, and
the real program, read from outside through AT-SPI and driven by key presses.

Every process started here carries the run's token in its environment and dies with the test
(parent-death signal); tear-down ends them by their process ids, also when a test fails or runs
out of time.
"""

import contextlib
import ctypes
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import uuid
import warnings

SKIP = 77  # CTest's SKIP_RETURN_CODE for a machine without the tools

SCREEN = (1280, 800)
TOOLS = ["Xvfb", "xdotool", "dbus-daemon", "pulseaudio", "pactl", "speech-dispatcher", "lame"]
LAUNCHER = "/usr/libexec/at-spi-bus-launcher"

_libc = ctypes.CDLL(None, use_errno=True)


def _die_with_parent():
    _libc.prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG
    os.setpgrp()


def missing_tools():
    missing = [t for t in TOOLS if shutil.which(t) is None]
    if not os.path.exists(LAUNCHER):
        missing.append("at-spi2-core")
    try:
        import gi  # noqa: F401
        gi.require_version("Atspi", "2.0")
        import pyatspi  # noqa: F401  (importing it does not connect yet)
    except (ImportError, ValueError):
        missing.append("python3-pyatspi")
    return missing


def wait_until(condition, timeout=10.0, step=0.05, what="condition"):
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            raise TimeoutError("timed out waiting for " + what)
        time.sleep(step)


class Session:
    """The private desktop. Use as a context manager; `start_program` may run many times."""

    def __init__(self, program, name="e2e", keep=None, connect=True):
        self.connect = connect
        self.program = program
        self.token = uuid.uuid4().hex
        self.dir = tempfile.mkdtemp(prefix="zindara-%s-" % name)
        self.keep = keep
        self.procs = []
        self.closed = False
        self.app_proc = None
        self.env = {}
        self.spoken_file = os.path.join(self.dir, "spoken.txt")

    # ---- set-up -------------------------------------------------------------------------
    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def _spawn(self, argv, env=None, stdout=None, **kw):
        log = open(os.path.join(self.dir, os.path.basename(argv[0]) + ".log"), "ab")
        p = subprocess.Popen(argv, env=env or self.env, stdin=subprocess.DEVNULL,
                             stdout=stdout or log, stderr=log, preexec_fn=_die_with_parent, **kw)
        log.close()
        self.procs.append(p)
        return p

    def _start(self):
        d = self.dir
        for sub in ("home", "config", "runtime", "tmp", "cache", "data"):
            os.makedirs(os.path.join(d, sub), mode=0o700)
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("DBUS_", "AT_SPI", "XDG_", "SPEECHD", "PULSE", "DISPLAY",
                                    "WAYLAND", "QT_", "ZINDARA_"))}
        env.update({
            "HOME": os.path.join(d, "home"),
            "XDG_CONFIG_HOME": os.path.join(d, "config"),
            "XDG_RUNTIME_DIR": os.path.join(d, "runtime"),
            "XDG_CACHE_HOME": os.path.join(d, "cache"),
            "XDG_DATA_HOME": os.path.join(d, "data"),
            "TMPDIR": os.path.join(d, "tmp"),
            "LANG": "C.UTF-8",
            "NO_AT_BRIDGE": "0",
            "GTK_MODULES": "gail:atk-bridge",
            "ZINDARA_E2E_RUN": self.token,
        })
        self.env = env

        # X server; -displayfd picks a free display number.
        r, w = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(w), "-screen", "0", "%dx%dx24" % SCREEN,
                     "-nolisten", "tcp", "-noreset"], pass_fds=(w,))
        os.close(w)
        number = b""
        with os.fdopen(r, "rb") as pipe:
            end = time.monotonic() + 15
            while not number.endswith(b"\n") and time.monotonic() < end:
                chunk = pipe.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip():
            raise RuntimeError("Xvfb did not start")
        env["DISPLAY"] = ":" + number.decode().strip()

        # Session bus, and the accessibility bus launched on it.
        bus = self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                          stdout=subprocess.PIPE)
        env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()
        self._spawn([LAUNCHER, "--launch-immediately"])
        wait_until(lambda: subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
             "org.a11y.Bus.GetAddress"], env=env, capture_output=True).returncode == 0,
            what="the accessibility bus")
        subprocess.run(["dbus-send", "--session", "--dest=org.a11y.Bus", "/org/a11y/bus",
                        "org.freedesktop.DBus.Properties.Set", "string:org.a11y.Status",
                        "string:IsEnabled", "variant:boolean:true"], env=env, capture_output=True)

        # Sound: the program's player needs a device that consumes samples at real speed.
        # Under CTest the build's shared null sink serves; alone, one of our own.
        shared = os.environ.get("ZINDARA_TEST_SERVICES")
        if shared and os.path.exists(os.path.join(shared, "pulse.sock")):
            env["PULSE_SERVER"] = "unix:" + os.path.join(shared, "pulse.sock")
        else:
            self._spawn(["pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n",
                         "--load=module-null-sink sink_name=nullsink norewinds=1",
                         "--load=module-native-protocol-unix"])
        wait_until(lambda: subprocess.run(["pactl", "info"], env=env,
                                          capture_output=True).returncode == 0,
                   what="PulseAudio")

        self._start_speech()

        # pyatspi reads the buses from the environment when it first connects.
        if not self.connect:
            return
        for k in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR"):
            os.environ[k] = env[k]
        os.environ.pop("AT_SPI_BUS_ADDRESS", None)

    def _start_speech(self):
        """A speech-dispatcher whose one output module writes each text it gets as a line.
        The build's shared speech-dispatcher speaks into the null sink; what is said there
        cannot be read back, so the tests that listen have their own."""
        conf = os.path.join(self.dir, "speechd")
        os.makedirs(os.path.join(conf, "modules"))
        os.makedirs(os.path.join(conf, "log"))
        with open(os.path.join(conf, "speechd.conf"), "w") as f:
            f.write('AddModule "capture" "sd_generic" "capture.conf"\n'
                    'DefaultModule capture\nDefaultLanguage "de"\n')
        with open(os.path.join(conf, "modules", "capture.conf"), "w") as f:
            f.write('GenericExecuteSynth "printf \'%%s\\\\n\' \\\'$DATA\\\' >> %s"\n'
                    % self.spoken_file)
            f.write('GenericDefaultCharset "utf-8"\n')
            # One line per message: no splitting at sentence ends.
            f.write('GenericDelimiters "\x01"\nGenericMaxChunkLength 100000\n')
            for lang in ("de", "en"):
                f.write('GenericLanguage "%s" "%s" "utf-8"\n' % (lang, lang))
                f.write('AddVoice "%s" "MALE1" "%s"\n' % (lang, lang))
        sock = os.path.join(self.dir, "speechd.sock")
        self._spawn(["speech-dispatcher", "-s", "-t", "0", "-C", conf, "-S", sock,
                     "-L", os.path.join(conf, "log"), "-P", os.path.join(conf, "pid")])
        self.env["SPEECHD_ADDRESS"] = "unix_socket:" + sock
        wait_until(lambda: os.path.exists(sock), what="speech-dispatcher")

    # ---- the program --------------------------------------------------------------------
    def write_settings(self, font_size=12, font_name="DejaVu Sans", mode=2, folder=None):
        """The program's settings before it starts: font, split mode and the open dialog's
        folder."""
        folder = os.path.join(self.env["XDG_CONFIG_HOME"], "Zindara", "registry", "Software")
        os.makedirs(folder, mode=0o700, exist_ok=True)
        with open(os.path.join(folder, "Zindara.ini"), "w") as f:
            f.write("Daten=%d 5 %s\n" % (mode, folder or self.dir))
            f.write("FontName=%s\n" % font_name)
            f.write("FontSize=dword:%08x\n" % font_size)
            f.write("HintColor=dword:00000001\n")

    def program_env(self):
        env = dict(self.env)
        env.update({"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "QT_ACCESSIBILITY": "1",
                    "QT_QPA_PLATFORM": "xcb"})
        return env

    def start_program(self, *args, program=None):
        assert self.app_proc is None
        self.app_proc = self._spawn([program or self.program] + list(args),
                                    env=self.program_env())
        self.app = wait_until(self._find_app, timeout=20, step=0.1,
                              what="the program on the accessibility bus")
        self.main = wait_until(lambda: self.frame(lambda f: True), timeout=10,
                               what="the main window")
        self.focus_window(self.main)
        return self.app

    def stop_program(self):
        p = self.app_proc
        if p is None:
            return
        self.app_proc = None
        if p.poll() is None:
            p.terminate()
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait(5)

    def _find_app(self):
        import pyatspi
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            try:
                if app is not None and app.get_process_id() == self.app_proc.pid:
                    return app
            except Exception:
                continue
        return None

    # ---- reading the accessibility tree -------------------------------------------------
    def frames(self):
        import pyatspi
        out = []
        for i in range(self.app.childCount):
            c = self.app.getChildAtIndex(i)
            if c is not None and c.getRole() in (pyatspi.ROLE_FRAME, pyatspi.ROLE_DIALOG,
                                                 pyatspi.ROLE_WINDOW, pyatspi.ROLE_ALERT):
                out.append(c)
        return out

    def frame(self, predicate):
        for f in self.frames():
            if predicate(f):
                return f
        return None

    def wait_window(self, title=None, exclude=(), timeout=8):
        def find():
            for f in self.frames():
                if f in exclude:
                    continue
                if title is None or title in (f.name or ""):
                    if showing(f):
                        return f
            return None
        return wait_until(find, timeout=timeout, what="window %r" % title)

    def focused(self):
        """The control with the focus, looked for in the active window first (a window behind
        a dialog keeps its focused state). A list's focused row or cell stands for its list."""
        import pyatspi
        frames = self.frames()
        frames.sort(key=lambda f: not f.getState().contains(pyatspi.STATE_ACTIVE))
        for f in frames:
            for node in walk(f):
                try:
                    if node.getState().contains(pyatspi.STATE_FOCUSED):
                        return _container(node)
                except Exception:
                    continue
        return None

    # ---- input --------------------------------------------------------------------------
    def xdotool(self, *args):
        subprocess.run(["xdotool"] + list(args), env=self.env, check=True, timeout=10,
                       capture_output=True)

    def key(self, *keys, delay=0.15):
        for k in keys:
            self.xdotool("key", "--clearmodifiers", k)
            time.sleep(delay)

    def type_text(self, text):
        self.xdotool("type", "--delay", "20", text)
        time.sleep(0.15)

    def focus_window(self, frame):
        """No window manager runs: give the X input focus to the frame's window, the one of
        our program with its caption."""
        def run(*args):
            return subprocess.run(["xdotool"] + list(args), env=self.env, capture_output=True,
                                  text=True).stdout.strip()
        for wid in run("search", "--all", "--onlyvisible", "--pid", str(self.app_proc.pid),
                       "--name", ".").split():
            if run("getwindowname", wid) == frame.name:
                if run("getwindowfocus") != wid:
                    self.xdotool("windowfocus", "--sync", wid)
                return

    def screenshot(self, path, area=None):
        """The screen, or the area (x, y, w, h) of it, as PNG (ImageMagick's import); None
        when that is not installed."""
        if shutil.which("import") is None:
            return None
        crop = ["-crop", "%dx%d+%d+%d" % (area[2], area[3], area[0], area[1])] if area else []
        subprocess.run(["import", "-window", "root"] + crop + [path], env=self.env,
                       check=True, timeout=30, capture_output=True)
        return path

    # ---- speech -------------------------------------------------------------------------
    def spoken(self):
        try:
            with open(self.spoken_file, encoding="utf-8", errors="replace") as f:
                return [line.rstrip("\n") for line in f]
        except FileNotFoundError:
            return []

    def start_orca(self):
        """The real Orca, with preferences of its own; it speaks through the capturing
        speech-dispatcher and logs each "SPEECH OUTPUT" to its debug file."""
        prefs = os.path.join(self.dir, "orca-prefs")
        os.makedirs(prefs, exist_ok=True)
        self.orca_debug = os.path.join(self.dir, "orca-debug.out")
        orca = self._spawn(["orca", "--replace", "-u", prefs, "--debug-file", self.orca_debug])
        wait_until(lambda: self.spoken(), timeout=30, step=0.2, what="Orca's first words")
        return orca

    def stand_in_orca(self):
        """A process named "orca" (sleep under that name): the program speaks through
        speech-dispatcher while one runs."""
        link = os.path.join(self.dir, "orca")
        if not os.path.exists(link):
            os.symlink(shutil.which("sleep"), link)
        return self._spawn([link, "600"])

    # ---- accessibility events -----------------------------------------------------------
    def a11y_bus(self):
        return subprocess.run(
            ["dbus-send", "--session", "--print-reply=literal", "--dest=org.a11y.Bus",
             "/org/a11y/bus", "org.a11y.Bus.GetAddress"], env=self.env, capture_output=True,
            text=True, check=True, timeout=10).stdout.strip()

    def program_events(self, seconds):
        """The accessibility events the program sends in `seconds`, as read by a monitor on
        the accessibility bus: a list of "Interface.Member:detail" texts."""
        address = self.a11y_bus()
        monitor = subprocess.Popen(
            ["dbus-monitor", "--address", address, "type='signal'"], env=self.env,
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL,
            text=True, preexec_fn=_die_with_parent)
        try:
            time.sleep(seconds)
        finally:
            monitor.terminate()
            out = monitor.communicate(timeout=10)[0]
        lines = out.splitlines()
        events = []
        senders = {}
        for i, line in enumerate(lines):
            found = re.match(r"signal .*sender=(\S+) .*interface=org\.a11y\.atspi\.Event\.(\w+); "
                             r"member=(\w+)", line)
            if not found:
                continue
            sender = found.group(1)
            if sender not in senders:
                senders[sender] = self._pid_of(address, sender)
            if senders[sender] != self.app_proc.pid:
                continue
            detail = re.match(r'\s*string "(.*)"', lines[i + 1]) if i + 1 < len(lines) else None
            events.append("%s.%s:%s" % (found.group(2), found.group(3),
                                        detail.group(1) if detail else ""))
        return events

    def _pid_of(self, address, sender):
        out = subprocess.run(
            ["dbus-send", "--bus=" + address, "--print-reply=literal",
             "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
             "org.freedesktop.DBus.GetConnectionUnixProcessID", "string:" + sender],
            env=self.env, capture_output=True, text=True, timeout=10).stdout.split()
        return int(out[-1]) if out and out[-1].isdigit() else None

    # ---- tear-down ----------------------------------------------------------------------
    def close(self):
        if self.closed:
            return
        self.closed = True
        with contextlib.suppress(Exception):
            self.stop_program()
        for p in reversed(self.procs):
            if p.poll() is None:
                with contextlib.suppress(ProcessLookupError):
                    p.terminate()
        end = time.monotonic() + 3
        for p in reversed(self.procs):
            with contextlib.suppress(subprocess.TimeoutExpired):
                p.wait(max(0.05, end - time.monotonic()))
            if p.poll() is None:
                with contextlib.suppress(ProcessLookupError):
                    p.kill()
                p.wait(5)
            if p.stdout:
                p.stdout.close()
        # Whatever they started in turn (the AT-SPI registry, speech modules) carries the token.
        for pid in self.stragglers():
            with contextlib.suppress(ProcessLookupError):
                os.kill(pid, signal.SIGKILL)
        if self.keep:
            with contextlib.suppress(shutil.Error, OSError):
                shutil.copytree(self.dir, self.keep, dirs_exist_ok=True,
                                ignore=shutil.ignore_patterns("*.sock", "*socket*", "native"))
        shutil.rmtree(self.dir, ignore_errors=True)

    def stragglers(self):
        found = []
        marker = ("ZINDARA_E2E_RUN=" + self.token).encode()
        for entry in os.listdir("/proc"):
            if not entry.isdigit() or int(entry) == os.getpid():
                continue
            try:
                with open("/proc/%s/environ" % entry, "rb") as f:
                    if marker in f.read().split(b"\0"):
                        found.append(int(entry))
            except OSError:
                continue
        return found


# ---- helpers on accessible objects ---------------------------------------------------------
def walk(node, depth=0):
    if node is None or depth > 30:
        return
    yield node
    try:
        n = node.childCount
    except Exception:
        return
    for i in range(n):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        yield from walk(child, depth + 1)


ITEM_ROLES = ("table cell", "list item", "tree item", "table row")
CONTAINER_ROLES = ("list", "list box", "table", "tree table", "tree", "tree view")


def _container(node):
    if role_name(node) not in ITEM_ROLES:
        return node
    parent = node.parent
    while parent is not None and role_name(parent) in ITEM_ROLES:
        parent = parent.parent
    return parent if parent is not None and role_name(parent) in CONTAINER_ROLES else node


def showing(node):
    import pyatspi
    try:
        s = node.getState()
        return s.contains(pyatspi.STATE_SHOWING) or s.contains(pyatspi.STATE_VISIBLE)
    except Exception:
        return False


def extents(node):
    import pyatspi
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return (e.x, e.y, e.width, e.height)


def role_name(node):
    try:
        return node.getRoleName()
    except Exception:
        return "?"


def key_binding(node):
    """The shortcut the screen reader announces with a menu item."""
    try:
        action = node.queryAction()
    except NotImplementedError:
        return ""
    for i in range(action.nActions):
        binding = action.getKeyBinding(i)
        if binding:
            return binding
    return ""


def dump(node, depth=0, out=None):
    out = [] if out is None else out
    try:
        out.append("%s%s %r %s" % ("  " * depth, role_name(node), node.name, key_binding(node)))
        for i in range(node.childCount):
            dump(node.getChildAtIndex(i), depth + 1, out)
    except Exception as e:  # a window closing while we read it
        out.append("%s<%s>" % ("  " * depth, e))
    return out


# ---- running one test file ------------------------------------------------------------------
def main(time_limit=270):
    """unittest's main under a time limit; 77 when the machine lacks the tools."""
    missing = missing_tools()
    if missing:
        print("SKIP: missing " + ", ".join(missing))
        sys.exit(SKIP)

    def out_of_time(*_):
        raise TimeoutError("the end-to-end test ran out of time")
    signal.signal(signal.SIGALRM, out_of_time)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))  # so tear-down runs
    signal.alarm(time_limit)
    warnings.simplefilter("ignore", DeprecationWarning)  # pyatspi's own use of old calls
    unittest.main(verbosity=2, warnings="ignore")
