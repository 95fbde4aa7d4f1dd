#!/usr/bin/env python3
"""Compares the rows of walk_fixture's own call stack with addr2line: every
row must name the function, file and line that addr2line gives for the same
address, and the chain main -> TOuter::Run (its inlined Twice) ->
Recurse x4 -> WalkHere must be there.

usage: check_walk.py FIXTURE.exe ROWS OBJDUMP ADDR2LINE
"""
import os
import re
import subprocess
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', '..', '..', 'tools', 'debugdata'))
from dwarf_facts import locate, routine_name  # noqa: E402


def main():
    exe, rows_file, objdump, addr2line = sys.argv[1:5]
    headers = subprocess.run([objdump, '-p', exe], capture_output=True, text=True, check=True).stdout
    base = int(re.search(r'ImageBase\s+([0-9a-fA-F]+)', headers).group(1), 16)
    rows = [line.rstrip('\n').split('\t') for line in open(rows_file) if line.strip()]
    answers = locate(addr2line, exe, [base + int(r[0], 16) for r in rows])
    passed = failed = 0
    names = []
    for (rva, unit, cls, routine, line), (function, where) in zip(rows, answers):
        function = routine_name(function)
        where = re.sub(r' \(discriminator \d+\)$', '', where)
        path, _, number = where.rpartition(':')
        got = f'{cls}.{routine}' if cls else routine
        names.append(got)
        if got == function and os.path.basename(unit) == os.path.basename(path) and line == number:
            passed += 1
        else:
            failed += 1
            print(f'row {rva}: {unit}:{line} {got}; addr2line: {path}:{number} {function}')
    # TOuter::Run calls Recurse from the inlined Twice: its row names Twice,
    # as addr2line does (innermost inlined routine).
    expected = ['walkfixture.WalkHere'] + ['walkfixture.Recurse'] * 4 + ['Twice', 'main']
    chain = [n for n in names if n in set(expected)]
    good = chain[:len(expected)] == expected
    if re.search(r'Magic\s+010b', headers):
        # The 32-bit build scans the raw stack: a call also enters the called
        # routine's first line, and a recursion's repeated call site shows
        # once. There the chain is checked routine by routine, and both of
        # Recurse's call sites (the recursion, the call of WalkHere) must show.
        expected = list(dict.fromkeys(expected))
        chain = [n for i, n in enumerate(chain) if i == 0 or n != chain[i - 1]]
        inner = open(os.path.join(os.path.dirname(__file__), 'walk_inner.cpp')).read().splitlines()
        calls = {str(i) for i, text in enumerate(inner, 1) if 'Recurse(depth - 1)' in text or 'WalkHere(depth)' in text}
        sites = {r[4] for r in rows if r[3] == 'Recurse'}
        good = chain[:len(expected)] == expected and len(calls) == 2 and calls <= sites
        if not calls <= sites:
            print('Recurse rows at lines', sorted(sites), 'expected', sorted(calls))
    if not good:
        failed += 1
        print('call chain:', chain)
    else:
        passed += 1
    print(f'{passed} passed, {failed} failed')
    return 1 if failed or not passed else 0


if __name__ == '__main__':
    sys.exit(main())
