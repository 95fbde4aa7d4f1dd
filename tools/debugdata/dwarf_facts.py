#!/usr/bin/env python3
"""Prints the debug facts of one of our Windows programs: its units (runs of
code from one source file), their lines and where routines start, read from
the program's own DWARF information through binutils (objdump's decoded line
table for the code ranges, addr2line for the function, file and line of each
range's first address). kyn_debugdata turns the facts into the crash-report
library's data and the external debug files.

usage: dwarf_facts.py PROGRAM OBJDUMP ADDR2LINE SOURCE_ROOT FACTS

Output lines (offsets are code offsets: address - image base - 0x1000):
  unit OFFSET SIZE FILE
  line OFFSET LINE [ROUTINE]     ROUTINE when a routine starts there
"""
import os
import re
import subprocess
import sys

ROW = re.compile(r'^(\S+)\s+(\d+|-)\s+0x([0-9a-fA-F]+)')


def routine_name(function):
    """Function name as the library keeps it: no parameter list, no clone
    suffix, "Class.Routine" split at the last top-level "::", no blanks."""
    name = re.sub(r'( \[clone [^\]]*\])+$', '', function.strip())
    name = re.sub(r'(\s+(const|volatile|&&|&|noexcept))+$', '', name)
    if name.endswith(')'):
        depth = 0
        for i in range(len(name) - 1, -1, -1):
            if name[i] == ')':
                depth += 1
            elif name[i] == '(':
                depth -= 1
                if depth == 0:
                    name = name[:i]
                    break
    depth = 0
    split = -1
    i = 0
    while i < len(name):
        c = name[i]
        if c in '<({[':
            depth += 1
        elif c in '>)}]':
            depth -= 1
        elif depth == 0 and name.startswith('::', i):
            split = i
            i += 1
        i += 1
    cls, routine = (name[:split], name[split + 2:]) if split >= 0 else ('', name)
    clean = lambda s: s.replace(', ', ',').replace(' ', '_').replace('.', '_')
    cls, routine = clean(cls), clean(routine)
    return f'{cls}.{routine}' if cls else routine


def locate(addr2line, exe, addresses):
    """addr2line's (function, "file:line") for each address, the function
    demangled. addr2line -C cannot be used: for i686 it strips the symbol
    underscore that the DWARF names lack, and leaves them mangled. The
    toolchain's c++filt is told not to strip it."""
    answers = subprocess.run([addr2line, '-f', '-e', exe], input=''.join(f'{a:x}\n' for a in addresses),
                             capture_output=True, text=True, check=True).stdout.splitlines()
    functions = answers[0::2]
    cxxfilt = re.sub(r'addr2line$', 'c++filt', addr2line)
    demangled = subprocess.run([cxxfilt, '--no-strip-underscore'], input=''.join(f + '\n' for f in functions),
                               capture_output=True, text=True, check=True).stdout.splitlines()
    return list(zip(demangled, answers[1::2]))


def main():
    exe, objdump, addr2line, root, facts_file = sys.argv[1:6]
    root = os.path.realpath(root)
    headers = subprocess.run([objdump, '-p', exe], capture_output=True, text=True, check=True).stdout
    base = int(re.search(r'ImageBase\s+([0-9a-fA-F]+)', headers).group(1), 16)
    table = subprocess.run([objdump, '--dwarf=decodedline', exe], capture_output=True, text=True,
                           check=True).stdout
    ranges = []
    seq = []
    for text in table.splitlines():
        m = ROW.match(text)
        if not m:
            continue
        address = int(m.group(3), 16)
        if m.group(2) == '-':
            starts = sorted(set(seq))
            for i, a in enumerate(starts):
                end = starts[i + 1] if i + 1 < len(starts) else address
                if end > a:
                    ranges.append((a, end))
            seq = []
        else:
            seq.append(address)
    ranges.sort()
    kept = []
    for r in ranges:
        if kept and r[0] < kept[-1][1]:
            continue
        kept.append(r)
    if not kept:
        open(facts_file, 'w').close()
        return
    answers = locate(addr2line, exe, [a for a, _ in kept])
    facts = []
    for (start, end), (function, where) in zip(kept, answers):
        where = re.sub(r' \(discriminator \d+\)$', '', where)
        path, _, line = where.rpartition(':')
        if function == '??' or path in ('??', '') or not line.isdigit() or int(line) == 0:
            continue
        real = os.path.realpath(path)
        if real.startswith(root + os.sep):
            path = os.path.relpath(real, root).replace(os.sep, '/')
        facts.append((start - base - 0x1000, end - base - 0x1000, path, int(line), routine_name(function)))

    out = []
    unit = None
    for start, end, path, line, routine in facts:
        if unit is None or unit['file'] != path or unit['end'] != start:
            unit = {'file': path, 'start': start, 'end': end, 'lines': []}
            out.append(unit)
            last = None
        unit['end'] = end
        starts = routine if routine != last else ''
        last = routine
        unit['lines'].append((start, line, starts))
    lines = []
    for u in out:
        lines.append(f"unit {u['start']:x} {u['end'] - u['start']:x} {u['file']}")
        for start, line, routine in u['lines']:
            lines.append(f'line {start:x} {line} {routine}'.rstrip())
    with open(facts_file, 'w') as f:
        f.write('\n'.join(lines) + '\n')


if __name__ == '__main__':
    main()
