#!/usr/bin/env python3
# Start-up time of varnokc to its shown window, offscreen: median of 10 runs.
# The editor opens its message socket right after showing the window.
# Usage: python3 scripts/measure_startup.py [build/bin]
import os, subprocess, time, glob, statistics, signal, sys
import shutil, tempfile
bin_dir = sys.argv[1] if len(sys.argv) > 1 else "build/bin"
base = tempfile.mkdtemp(prefix="varnokc-startup-")
os.makedirs(base + "/bin"); os.makedirs(base + "/cfg"); os.makedirs(base + "/rt", mode=0o700)
for f in ("varnokc", "corvmain", "varnok", "corvane.ini"): shutil.copy2(os.path.join(bin_dir, f), base + "/bin")
env = dict(os.environ, XDG_CONFIG_HOME=base+"/cfg", XDG_RUNTIME_DIR=base+"/rt", QT_QPA_PLATFORM="offscreen",
           VARNOKC_PROMPT_LOG=base+"/p.log", VARNOK_RECORD=base+"/v.log")
# companion running beforehand so that every run does the same work
comp = subprocess.Popen([base+"/bin/varnok"], env=env)
time.sleep(0.3)
times = []
for i in range(10):
    t0 = time.perf_counter()
    p = subprocess.Popen([base+"/bin/varnokc"], env=env)
    # the editor opens its message socket right after the window is shown
    while not glob.glob(f"{base}/rt/varnok/bus-{p.pid}-*.sock"):
        time.sleep(0.002)
    times.append((time.perf_counter()-t0)*1000)
    subprocess.run([base+"/bin/varnok", "--stop-editor"], env=env)
    p.wait()
comp.send_signal(signal.SIGTERM); comp.wait()
print("runs (ms):", " ".join(f"{t:.0f}" for t in times))
print(f"median {statistics.median(times):.0f} ms")
shutil.rmtree(base)
