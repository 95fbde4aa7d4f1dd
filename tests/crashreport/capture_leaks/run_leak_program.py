#!/usr/bin/python3
"""Runs one leak program under Wine and checks it against its source.

The CHECK lines must appear in order (each a part of one output line),
no CHECK-NOT text may appear after the last of them, the exit code must be
CHECK-EXIT's, and every "site NAME 0xADDRESS" line the program prints must
map (addr2line) to the source line marked "// SITE: NAME" (a line may carry
several names); every marked name
must be printed. A line "expected: TEXT" that the program prints (for
figures only it knows, such as sizes) must be followed by a line holding TEXT.

usage: run_leak_program.py WINE_RUN ADDR2LINE PROGRAM SOURCE
"""
import os
import re
import subprocess
import sys


def main():
    wine_run, addr2line, program, source = sys.argv[1:5]
    lines = open(source, encoding="utf-8").read().splitlines()
    checks, absent, exit_code, sites = [], [], 0, {}
    for number, line in enumerate(lines, 1):
        for tag, sink in (("// CHECK: ", checks), ("// CHECK-NOT: ", absent)):
            if tag in line:
                sink.append(line.split(tag, 1)[1].rstrip())
        if "// CHECK-EXIT: " in line:
            exit_code = int(line.split("// CHECK-EXIT: ", 1)[1], 0)
        match = re.search(r"// SITE: (.+)$", line)
        if match:
            for name in match.group(1).split():
                sites[name] = number
    try:
        run = subprocess.run([wine_run, program], capture_output=True, text=True, timeout=120,
                             errors="replace")
    except subprocess.TimeoutExpired:
        print("FAIL: the program did not end in time")
        return 1
    output = run.stdout.replace("\r", "").splitlines()
    print("\n".join(output))
    failures = []
    at = 0
    for check in checks:
        while at < len(output) and check not in output[at]:
            at += 1
        if at == len(output):
            failures.append("missing: " + check)
            break
        at += 1
    for text in absent:
        if any(text in line for line in output[at:]):
            failures.append("present after the checks: " + text)
    if run.returncode != exit_code:
        failures.append("exit code %d, expected %d" % (run.returncode, exit_code))
    for index, line in enumerate(output):
        if line.startswith("expected: "):
            text = line[len("expected: "):]
            if not any(text in later for later in output[index + 1:]):
                failures.append("never printed: " + text)
    printed = {}
    for line in output:
        match = re.match(r"site (\S+) (0x[0-9a-f]+)$", line)
        if match:
            printed[match.group(1)] = match.group(2)
    for name, number in sites.items():
        if name not in printed:
            failures.append("no call site printed for " + name)
            continue
        where = subprocess.run([addr2line, "-e", program, printed[name]], capture_output=True,
                               text=True).stdout.strip()
        file_name, _, line_number = where.rpartition(":")
        line_number = line_number.split(" ")[0]
        if os.path.basename(file_name) != os.path.basename(source) or line_number != str(number):
            failures.append("%s: call site at %s, expected line %d" % (name, where, number))
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
