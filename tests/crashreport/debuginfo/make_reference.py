#!/usr/bin/python3
"""Writes objdump's view of byte streams for the disassembler tests.

  make_reference.py <output folder> [name=program.exe ...]

sweep.bin: every one- and two-byte opcode (also behind the 66 and 67 prefixes)
with every ModRM byte; every opcode of the 0F, 0F 38 and 0F 3A maps behind
their mandatory prefixes, and of the VEX maps, with a ModRM byte of each reg
field in memory and register form; fixed SIB and filler bytes; one case per
16-byte slot. <name>.bin: the code section of each program given that exists.
For each, a .ref file lists, per instruction that objdump decodes at a place
the test checks, "offset length text", where text is objdump's Intel-syntax
instruction.
"""
import os
import re
import subprocess
import sys

SLOT = 16
FILLER = 0x90  # nop: whatever follows the case decodes one byte at a time
SIBS = [0x24, 0x05, 0x8D, 0x25, 0xE0, 0x45, 0xC4, 0x65]  # chosen by the reg field
# Per reg field: a SIB operand, a disp8 operand and a register operand.
MODRMS = [m for reg in range(8) for m in (reg << 3 | 4, 0x40 | reg << 3 | 5, 0xC0 | reg << 3 | (reg + 1) % 8)]
MANDATORY = [[0x66, 0x0F], [0xF2, 0x0F], [0xF3, 0x0F], [0x0F, 0x38], [0x66, 0x0F, 0x38], [0xF2, 0x0F, 0x38],
             [0xF3, 0x0F, 0x38], [0x0F, 0x3A], [0x66, 0x0F, 0x3A], [0xF2, 0x0F, 0x3A]]


def vex_prefixes():
    # vvvv names register 1 (stored inverted).
    for length in (0, 1):
        for pp in range(4):
            yield [0xC5, 0xF0 | length << 2 | pp]
            for opcode_map in (1, 2, 3):
                for w in (0, 1):
                    yield [0xC4, 0xE0 | opcode_map, w << 7 | 0x70 | length << 2 | pp]


def case(body):
    return bytes(body + [FILLER] * (SLOT - len(body)))


def sweep_cases():
    for prefix in ([], [0x0F], [0x66], [0x67]):
        for opcode in range(256):
            for modrm in range(256):
                yield case(prefix + [opcode, modrm, SIBS[(modrm >> 3) & 7]])
    for prefix in MANDATORY + list(vex_prefixes()):
        for opcode in range(256):
            for modrm in MODRMS:
                yield case(prefix + [opcode, modrm, SIBS[(modrm >> 3) & 7]])


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
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)

    sweep = os.path.join(folder, 'sweep.bin')
    with open(sweep, 'wb') as f:
        for c in sweep_cases():
            f.write(c)
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

    for argument in sys.argv[2:]:
        name, exe = argument.split('=', 1)
        if not os.path.isfile(exe):
            continue
        code = os.path.join(folder, name + '.bin')
        subprocess.run(['objcopy', '-O', 'binary', '--only-section=.text', exe, code], check=True)
        with open(os.path.join(folder, name + '.ref'), 'w') as f:
            for offset, length, text in objdump(code):
                f.write('%d %d %s\n' % (offset, length, text))


if __name__ == '__main__':
    main()
