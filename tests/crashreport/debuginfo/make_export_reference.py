#!/usr/bin/python3
"""Writes objdump's view of DLL export tables for the module-list tests.

  make_export_reference.py <output folder> [exports=library.dll ...] [wine=arch]

exports= names a DLL; wine= (x86_64 or i686) adds the Wine DLLs of that
architecture that a test program loads. For each DLL that exists,
<name>.exports (name in lower case) holds its size ("size <bytes>") and one
line per named export: "<name> rva <hex>" or "<name> forward <target>".
"""
import glob
import os
import re
import subprocess
import sys

WINE_DLLS = ['ntdll.dll', 'kernel32.dll', 'kernelbase.dll', 'msvcrt.dll', 'user32.dll', 'gdi32.dll',
             'advapi32.dll', 'version.dll', 'ucrtbase.dll', 'psapi.dll', 'ws2_32.dll', 'shell32.dll']
WINE_ARCH = {'x86_64': 'x86_64-windows', 'i686': 'i386-windows'}

EAT = re.compile(r'^\s*\[\s*(\d+)\] \+base\[\s*\d+\] ([0-9a-f]+) (Export|Forwarder) RVA(?: -- (\S+))?')
NAME = re.compile(r'^\s*\[\s*(\d+)\] (\S+)$')


def exports(path):
    text = subprocess.run(['objdump', '-p', path], capture_output=True, text=True, check=True).stdout
    table = {}
    names = []
    section = None
    for line in text.splitlines():
        if line.startswith('Export Address Table -- '):
            section = 'eat'
            continue
        if line.startswith('[Ordinal/Name Pointer] Table'):
            section = 'names'
            continue
        if section and not line.strip():
            section = None
            continue
        if section == 'eat':
            m = EAT.match(line)
            if m:
                table[int(m.group(1))] = (m.group(3), int(m.group(2), 16), m.group(4))
        elif section == 'names':
            m = NAME.match(line)
            if m:
                names.append((int(m.group(1)), m.group(2)))
    lines = ['size %d' % os.path.getsize(path)]
    for index, name in names:
        kind, rva, target = table[index]
        lines.append('%s forward %s' % (name, target) if kind == 'Forwarder' else '%s rva %x' % (name, rva))
    return lines


def main():
    out = sys.argv[1]
    paths = []
    for arg in sys.argv[2:]:
        key, _, value = arg.partition('=')
        if key == 'exports':
            paths.append(value)
        elif key == 'wine' and value in WINE_ARCH:
            folders = glob.glob('/usr/lib/*/wine/' + WINE_ARCH[value] + '/kernel32.dll')
            if folders:
                folder = os.path.dirname(sorted(folders)[0])
                paths += [os.path.join(folder, dll) for dll in WINE_DLLS]
    for path in paths:
        if os.path.isfile(path):
            with open(os.path.join(out, os.path.basename(path).lower() + '.exports'), 'w') as f:
                f.write('\n'.join(exports(path)) + '\n')


main()
