#!/usr/bin/env python3
"""The batch's manual page and completion name every command and option its
--help lists.  manual_page_test.py BATCH MANPAGE COMPLETION"""
import re
import subprocess
import sys

batch, manpage, completion = sys.argv[1:4]
help_text = subprocess.run([batch, "--help"], check=True, capture_output=True, text=True).stdout
commands = re.findall(r"^  (\S+) ", help_text, re.M)
options = set(re.findall(r"--[a-z][a-z0-9-]*", help_text))
assert len(commands) > 20, commands

with open(manpage, encoding="utf-8") as f:
    roff = f.read()
text = roff.replace("\\-", "-").replace("\\e", "\\")
with open(completion, encoding="utf-8") as f:
    script = f.read()

failures = []
for name in commands:
    if not re.search(r"^\.B " + re.escape(name) + r"$", text, re.M):
        failures.append("manual page lacks command " + name)
    if not re.search(r"(^|[\s\"])" + re.escape(name) + r"[\s)\"]", script):
        failures.append("completion lacks command " + name)
for option in sorted(options):
    if option not in text:
        failures.append("manual page lacks option " + option)
# Each command's own usage shows in the manual under that command.
for name in commands:
    usage = subprocess.run([batch, name, "--help"], check=True, capture_output=True,
                           text=True).stdout.splitlines()[0]
    synopsis = usage[len("Usage: quillpost-batch " + name):].strip()
    if synopsis and synopsis not in text:
        failures.append("manual page lacks the usage of " + name)
if failures:
    print("\n".join(failures))
    sys.exit(1)
print(f"{len(commands)} commands, {len(options)} options in the manual page")
