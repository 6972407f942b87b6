#!/usr/bin/env python3
"""A long import shows its progress only at a terminal, and Ctrl+C in the
middle of it leaves an address file that opens and holds only whole records.
    interrupt_test.py BATCH"""
import os
import pty
import signal
import struct
import subprocess
import sys
import tempfile
import time

batch = sys.argv[1]
MATCH = "Last Name=1,First Name=2,Address 1=3,City=4,State=5,Zip/Postal Code=6"


def write_csv(path, count):
    with open(path, "w", encoding="ascii") as f:
        for i in range(count):
            f.write(f"Last{i:07d},First{i:07d},{i} Main Street,Springfield,IL,{62700 + i % 90:05d}\r\n")


def dbf_records(path):
    """Every record of a DBF as a dict, checking the file is whole."""
    with open(path, "rb") as f:
        data = f.read()
    count, header_len, record_len = struct.unpack("<IHH", data[4:12])
    fields, offset, pos = [], 1, 32
    while data[pos] != 0x0D:
        name = data[pos:pos + 11].split(b"\0")[0].decode()
        length = data[pos + 16]
        fields.append((name, offset, length))
        offset += length
        pos += 32
    assert offset == record_len, (offset, record_len)
    assert len(data) >= header_len + count * record_len, "records cut short"
    records = []
    for r in range(count):
        raw = data[header_len + r * record_len: header_len + (r + 1) * record_len]
        assert raw[0:1] in (b" ", b"*"), f"record {r + 1} has no deletion byte"
        records.append({n: raw[o:o + l].decode("cp1252").rstrip() for n, o, l in fields})
    return records


def run(args, env, **kw):
    return subprocess.run([batch] + args, env=env, capture_output=True, text=True, **kw)


failures = []
with tempfile.TemporaryDirectory() as tmp:
    env = dict(os.environ, QUILLPOST_HOME=os.path.join(tmp, "home"))

    # At a terminal: one line rewritten in place, with count, rate and time left.
    small = os.path.join(tmp, "small.csv")
    write_csv(small, 30000)
    tty_file = os.path.join(tmp, "tty.dbf")
    run(["create", tty_file], env, check=True)
    master, slave = pty.openpty()
    proc = subprocess.Popen([batch, "import-csv", tty_file, small, "--match", MATCH],
                            env=env, stdout=subprocess.PIPE, stderr=slave)
    os.close(slave)
    seen = b""
    while True:
        try:
            chunk = os.read(master, 65536)
        except OSError:
            break
        if not chunk:
            break
        seen += chunk
    proc.wait(timeout=300)
    os.close(master)
    if proc.returncode != 0:
        failures.append(f"import at a terminal ended with {proc.returncode}")
    text = seen.decode("utf-8", "replace")
    if "\r" not in text or " / 30,000 records" not in text:
        failures.append("no progress line at a terminal: " + repr(text[:200]))
    if "\n" in text:
        failures.append("the progress line is not one line: " + repr(text[:200]))

    # Piped, and stopped by Ctrl+C in the middle.
    big = os.path.join(tmp, "big.csv")
    total = 400000
    write_csv(big, total)
    target = os.path.join(tmp, "big.dbf")
    run(["create", target], env, check=True)
    empty_size = os.path.getsize(target)
    proc = subprocess.Popen([batch, "import-csv", target, big, "--match", MATCH], env=env,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    deadline = time.time() + 120
    while proc.poll() is None and time.time() < deadline:
        if os.path.getsize(target) > empty_size + 200000:
            break
        time.sleep(0.01)
    proc.send_signal(signal.SIGINT)
    out, err = proc.communicate(timeout=300)
    if proc.returncode != 130:
        failures.append(f"interrupted import ended with {proc.returncode}: {out} {err}")
    if err:
        failures.append("something on a piped stderr: " + repr(err[:200]))
    if "Import cancelled after importing" not in out:
        failures.append("no cancel message: " + out)
    records = dbf_records(target)
    if not 0 < len(records) < total:
        failures.append(f"{len(records)} records after the interrupt")
    for i, r in enumerate(records):
        want = {"LNAME": f"Last{i:07d}", "FNAME": f"First{i:07d}", "STREET": f"{i} Main Street",
                "CITY": "Springfield", "STATE": "IL", "ZIP": f"{62700 + i % 90:05d}"}
        if any(r[k] != v for k, v in want.items()):
            failures.append(f"record {i + 1} is not whole: {r}")
            break
    check = run(["check", target], env)
    if check.stdout != "valid\n":
        failures.append("indexes after the interrupt: " + check.stdout + check.stderr)
    info = run(["info", target], env)
    if info.returncode != 0 or str(len(records)) not in info.stdout:
        failures.append("info after the interrupt: " + info.stdout + info.stderr)
    print(f"stopped after {len(records)} of {total} records")

if failures:
    print("\n".join(failures))
    sys.exit(1)
