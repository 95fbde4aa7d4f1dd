#!/usr/bin/python3
"""Writes objdump's view of two byte streams for the disassembler tests.

  make_reference.py <fixture.exe> <output folder>

sweep.bin: every one- and two-byte opcode (also behind the 66 and 67 prefixes)
with every ModRM byte and fixed SIB and filler bytes, one case per 16-byte
slot; text.bin: the code section of the fixture executable. For each, a .ref
file lists, per instruction that objdump decodes at a place the test checks,
"offset length text", where text is objdump's Intel-syntax instruction.
"""
import os
import re
import subprocess
import sys

SLOT = 16
FILLER = 0x90  # nop: whatever follows the case decodes one byte at a time
SIBS = [0x24, 0x05, 0x8D, 0x25, 0xE0, 0x45, 0xC4, 0x65]  # chosen by the reg field


def sweep_cases():
    for prefix in ([], [0x0F], [0x66], [0x67]):
        for opcode in range(256):
            for modrm in range(256):
                case = prefix + [opcode, modrm, SIBS[(modrm >> 3) & 7]]
                yield bytes(case + [FILLER] * (SLOT - len(case)))


LINE = re.compile(r'^\s*([0-9a-f]+):\t([0-9a-f ]+?)\s*\t(.*)$')


def objdump(path, start=None, stop=None):
    cmd = ['objdump', '-D', '-b', 'binary', '-m', 'i386', '-M', 'intel', '--insn-width=16', '-z']
    if start is not None:
        cmd += ['--start-address=%d' % start, '--stop-address=%d' % stop]
    out = subprocess.run(cmd + [path], check=True, capture_output=True, text=True).stdout
    for line in out.splitlines():
        m = LINE.match(line)
        if m:
            yield int(m.group(1), 16), len(m.group(2).split()), m.group(3).strip()


def main():
    exe, folder = sys.argv[1], sys.argv[2]
    os.makedirs(folder, exist_ok=True)

    sweep = os.path.join(folder, 'sweep.bin')
    with open(sweep, 'wb') as f:
        for case in sweep_cases():
            f.write(case)
    size = os.path.getsize(sweep)
    found = {}
    for offset, length, text in objdump(sweep):
        if offset % SLOT == 0:
            found[offset] = (length, text)
    # A case whose bytes objdump decoded as the tail of an earlier instruction
    # gets a run of its own.
    for offset in range(0, size, SLOT):
        if offset not in found:
            for o, length, text in objdump(sweep, offset, offset + SLOT):
                if o == offset:
                    found[offset] = (length, text)
                    break
    with open(os.path.join(folder, 'sweep.ref'), 'w') as f:
        for offset in sorted(found):
            f.write('%d %d %s\n' % (offset, found[offset][0], found[offset][1]))

    code = os.path.join(folder, 'text.bin')
    subprocess.run(['objcopy', '-O', 'binary', '--only-section=.text', exe, code], check=True)
    with open(os.path.join(folder, 'text.ref'), 'w') as f:
        for offset, length, text in objdump(code):
            f.write('%d %d %s\n' % (offset, length, text))


if __name__ == '__main__':
    main()
