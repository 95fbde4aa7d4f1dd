// Opcode templates of TDisAsm, in the notation described in DisAsmTables.h.
#include "crashreport/debuginfo/DisAsmTables.h"

namespace drevnik::disasm_tables {

const char* const OneByte[256] = {
    "add     #Eb , #Gb ",  // 00
    "add     #Ev , #Gv ",  // 01
    "add     #Gb , #Eb ",  // 02
    "add     #Gv , #Ev ",  // 03
    "add     al, #Hb ",  // 04
    "add     @eax, #Hv ",  // 05
    "push    es",  // 06
    "pop     es",  // 07
    "or      #Eb , #Gb ",  // 08
    "or      #Ev , #Gv ",  // 09
    "or      #Gb , #Eb ",  // 0A
    "or      #Gv , #Ev ",  // 0B
    "or      al, #Ib ",  // 0C
    "or      @eax, #Iv ",  // 0D
    "push    cs",  // 0E
    "@c2",  // 0F
    "adc     #Eb , #Gb ",  // 10
    "adc     #Ev , #Gv ",  // 11
    "adc     #Gb , #Eb ",  // 12
    "adc     #Gv , #Ev ",  // 13
    "adc     al, #Hb ",  // 14
    "adc     @eax, #Hv ",  // 15
    "push    ss",  // 16
    "pop     ss",  // 17
    "sbb     #Eb , #Gb ",  // 18
    "sbb     #Ev , #Gv ",  // 19
    "sbb     #Gb , #Eb ",  // 1A
    "sbb     #Gv , #Ev ",  // 1B
    "sbb     al, #Hb ",  // 1C
    "sbb     @eax, #Hv ",  // 1D
    "push    ds",  // 1E
    "pop     ds",  // 1F
    "and     #Eb , #Gb ",  // 20
    "and     #Ev , #Gv ",  // 21
    "and     #Gb , #Eb ",  // 22
    "and     #Gv , #Ev ",  // 23
    "and     al, #Ib ",  // 24
    "and     @eax, #Iv ",  // 25
    "@pe",  // 26
    "daa",  // 27
    "sub     #Eb , #Gb ",  // 28
    "sub     #Ev , #Gv ",  // 29
    "sub     #Gb , #Eb ",  // 2A
    "sub     #Gv , #Ev ",  // 2B
    "sub     al, #Hb ",  // 2C
    "sub     @eax, #Hv ",  // 2D
    "@pc",  // 2E
    "das",  // 2F
    "xor     #Eb , #Gb ",  // 30
    "xor     #Ev , #Gv ",  // 31
    "xor     #Gb , #Eb ",  // 32
    "xor     #Gv , #Ev ",  // 33
    "xor     al, #Ib ",  // 34
    "xor     @eax, #Iv ",  // 35
    "@ps",  // 36
    "aaa",  // 37
    "cmp     #Eb , #Gb ",  // 38
    "cmp     #Ev , #Gv ",  // 39
    "cmp     #Gb , #Eb ",  // 3A
    "cmp     #Gv , #Ev ",  // 3B
    "cmp     al, #Hb ",  // 3C
    "cmp     @eax, #Hv ",  // 3D
    "@pd",  // 3E
    "aas",  // 3F
    "inc     @eax",  // 40
    "inc     @ecx",  // 41
    "inc     @edx",  // 42
    "inc     @ebx",  // 43
    "inc     @esp",  // 44
    "inc     @ebp",  // 45
    "inc     @esi",  // 46
    "inc     @edi",  // 47
    "dec     @eax",  // 48
    "dec     @ecx",  // 49
    "dec     @edx",  // 4A
    "dec     @ebx",  // 4B
    "dec     @esp",  // 4C
    "dec     @ebp",  // 4D
    "dec     @esi",  // 4E
    "dec     @edi",  // 4F
    "push    @eax",  // 50
    "push    @ecx",  // 51
    "push    @edx",  // 52
    "push    @ebx",  // 53
    "push    @esp",  // 54
    "push    @ebp",  // 55
    "push    @esi",  // 56
    "push    @edi",  // 57
    "pop     @eax",  // 58
    "pop     @ecx",  // 59
    "pop     @edx",  // 5A
    "pop     @ebx",  // 5B
    "pop     @esp",  // 5C
    "pop     @ebp",  // 5D
    "pop     @esi",  // 5E
    "pop     @edi",  // 5F
    "pusha@o4",  // 60
    "popa@o4",  // 61
    "@k2",  // 62: bound, or EVEX with a register ModRM
    "arpl    #Ew , #Gw ",  // 63
    "@pf",  // 64
    "@pg",  // 65
    "@so",  // 66
    "@sa",  // 67
    "push    #Iv ",  // 68
    "imul    #Gv , #Ev , #Hv ",  // 69
    "push    #Ib ",  // 6A
    "imul    #Gv , #Ev , #Hb ",  // 6B
    "insb",  // 6C
    "ins@o4",  // 6D
    "outsb",  // 6E
    "outs@o4",  // 6F
    "jo      #Jbj",  // 70
    "jno     #Jbj",  // 71
    "jb      #Jbj",  // 72
    "jnb     #Jbj",  // 73
    "jz      #Jbj",  // 74
    "jnz     #Jbj",  // 75
    "jbe     #Jbj",  // 76
    "jnbe    #Jbj",  // 77
    "js      #Jbj",  // 78
    "jns     #Jbj",  // 79
    "jp      #Jbj",  // 7A
    "jnp     #Jbj",  // 7B
    "jl      #Jbj",  // 7C
    "jnl     #Jbj",  // 7D
    "jle     #Jbj",  // 7E
    "jnle    #Jbj",  // 7F
    "@ga#Eb , #Ib ",  // 80
    "@ga#Ev , #Iv ",  // 81
    "@ga#Eb , #Ib ",  // 82
    "@ga#Ev , #Hb ",  // 83
    "test    #Eb , #Gb ",  // 84
    "test    #Ev , #Gv ",  // 85
    "xchg    #Eb , #Gb ",  // 86
    "xchg    #Ev , #Gv ",  // 87
    "mov     #Eb , #Gb ",  // 88
    "mov     #Ev , #Gv ",  // 89
    "mov     #Gb , #Eb ",  // 8A
    "mov     #Gv , #Ev ",  // 8B
    "mov     #Ew , #Sw ",  // 8C
    "lea     #Gv , #M  ",  // 8D
    "mov     #Sw , #Ew ",  // 8E
    "@k8",  // 8F: group k, or XOP
    "nop",  // 90
    "xchg    @eax, @ecx",  // 91
    "xchg    @eax, @edx",  // 92
    "xchg    @eax, @ebx",  // 93
    "xchg    @eax, @esp",  // 94
    "xchg    @eax, @ebp",  // 95
    "xchg    @eax, @esi",  // 96
    "xchg    @eax, @edi",  // 97
    "c@o2@o4@e ",  // 98
    "c@o4@o8",  // 99
    "call    #Ap ",  // 9A
    "wait",  // 9B
    "pushf@o4",  // 9C
    "popf@o4",  // 9D
    "sahf",  // 9E
    "lahf",  // 9F
    "mov     al, #Ob ",  // A0
    "mov     @eax, #Ov ",  // A1
    "mov     #Ob , al",  // A2
    "mov     #Ov , @eax",  // A3
    "movsb",  // A4
    "movs@o4",  // A5
    "cmpsb",  // A6
    "cmps@o4",  // A7
    "test    al, #Ib ",  // A8
    "test    @eax, #Iv ",  // A9
    "stosb",  // AA
    "stos@o4",  // AB
    "lodsb",  // AC
    "lods@o4",  // AD
    "scasb",  // AE
    "scas@o4",  // AF
    "mov     al, #Ib ",  // B0
    "mov     cl, #Ib ",  // B1
    "mov     dl, #Ib ",  // B2
    "mov     bl, #Ib ",  // B3
    "mov     ah, #Ib ",  // B4
    "mov     ch, #Ib ",  // B5
    "mov     dh, #Ib ",  // B6
    "mov     bh, #Ib ",  // B7
    "mov     @eax, #Iv ",  // B8
    "mov     @ecx, #Iv ",  // B9
    "mov     @edx, #Iv ",  // BA
    "mov     @ebx, #Iv ",  // BB
    "mov     @esp, #Iv ",  // BC
    "mov     @ebp, #Iv ",  // BD
    "mov     @esi, #Iv ",  // BE
    "mov     @edi, #Iv ",  // BF
    "@gb#Eb , #Ib ",  // C0
    "@gb#Ev , #Ib ",  // C1
    "ret     #Iw ",  // C2
    "ret",  // C3
    "@k4",  // C4: les, or a three-byte VEX with a register ModRM
    "@k5",  // C5: lds, or a two-byte VEX
    "@gj#Eb , #Ib ",  // C6
    "@gj#Ev , #Iv ",  // C7
    "enter   #Iw , #Ib ",  // C8
    "leave",  // C9
    "retf    #Iw ",  // CA
    "retf",  // CB
    "int     3",  // CC
    "int     #Ib ",  // CD
    "into",  // CE
    "iret@o4",  // CF
    "@gb#Eb , 1",  // D0
    "@gb#Ev , 1",  // D1
    "@gb#Eb , cl",  // D2
    "@gb#Ev , cl",  // D3
    "aam     #Ib ",  // D4
    "aad     #Ib ",  // D5
    "%c ",  // D6
    "xlat",  // D7
    "@ca",  // D8
    "@cb",  // D9
    "@cc",  // DA
    "@cd",  // DB
    "@ce",  // DC
    "@cf",  // DD
    "@cg",  // DE
    "@ch",  // DF
    "loopnz  #Jbj",  // E0
    "loopz   #Jbj",  // E1
    "loop    #Jbj",  // E2
    "jecxz   #Jbj",  // E3
    "in      al, #Ib ",  // E4
    "in      @eax, #Ib ",  // E5
    "out     #Ib , al",  // E6
    "out     #Ib , @eax",  // E7
    "call    #Jvc",  // E8
    "jmp     #Jvj",  // E9
    "jmp     #Ap ",  // EA
    "jmp     #Jbj",  // EB
    "in      al, dx",  // EC
    "in      @eax, dx",  // ED
    "out     dx, al",  // EE
    "out     dx, @eax",  // EF
    "lock    @c1",  // F0
    "int1",  // F1
    "@r2",  // F2
    "@r3",  // F3
    "hlt",  // F4
    "cmc",  // F5
    "@gc#Eb @h1 ",  // F6
    "@gc#Ev @h2 ",  // F7
    "clc",  // F8
    "stc",  // F9
    "cli",  // FA
    "sti",  // FB
    "cld",  // FC
    "std",  // FD
    "@gd#Eb ",  // FE
    "@ge@h4",  // FF
};

const char* const TwoByte[256] = {
    "@gf#Ew ",  // 0F 00
    "@gg",  // 0F 01
    "lar     #Gv , #Ew ",  // 0F 02
    "lsl     #Gv , #Ew ",  // 0F 03
    "%c ",  // 0F 04
    "syscall",  // 0F 05
    "clts",  // 0F 06
    "sysret",  // 0F 07
    "invd",  // 0F 08
    "wbinvd",  // 0F 09
    "%c ",  // 0F 0A
    "ud2",  // 0F 0B
    "%c ",  // 0F 0C
    "prefetch #Mb ",  // 0F 0D
    "femms",  // 0F 0E
    "%c 3dnow  #Pq , #Qq , #Ib ",  // 0F 0F
    "movups  #Vo , #Wo ",  // 0F 10
    "movups  #Wo , #Vo ",  // 0F 11
    "@xa",  // 0F 12
    "movlps  #Mq , #Vo ",  // 0F 13
    "unpcklps #Vo , @v #Wo ",  // 0F 14
    "unpckhps #Vo , @v #Wo ",  // 0F 15
    "@xb",  // 0F 16
    "movhps  #Mq , #Vo ",  // 0F 17
    "@xc",  // 0F 18
    "nop     #Ev ",  // 0F 19
    "nop     #Ev ",  // 0F 1A
    "nop     #Ev ",  // 0F 1B
    "nop     #Ev ",  // 0F 1C
    "nop     #Ev ",  // 0F 1D
    "nop     #Ev ",  // 0F 1E
    "nop     #Ev ",  // 0F 1F
    "mov     #Rd , #Cd ",  // 0F 20
    "mov     #Rd , #Dd ",  // 0F 21
    "mov     #Cd , #Rd ",  // 0F 22
    "mov     #Dd , #Rd ",  // 0F 23
    "mov     #Rd , #Td ",  // 0F 24
    "%c ",  // 0F 25
    "mov     #Td , #Rd ",  // 0F 26
    "%c ",  // 0F 27
    "movaps  #Vo , #Wo ",  // 0F 28
    "movaps  #Wo , #Vo ",  // 0F 29
    "cvtpi2ps #Vo , #Qq ",  // 0F 2A
    "movntps #Mo , #Vo ",  // 0F 2B
    "cvttps2pi #Pq , #Wq ",  // 0F 2C
    "cvtps2pi #Pq , #Wq ",  // 0F 2D
    "ucomiss #Vo , #Wd ",  // 0F 2E
    "comiss  #Vo , #Wd ",  // 0F 2F
    "wrmsr",  // 0F 30
    "rdtsc",  // 0F 31
    "rdmsr",  // 0F 32
    "rdpmc",  // 0F 33
    "sysenter",  // 0F 34
    "sysexit",  // 0F 35
    "%c ",  // 0F 36
    "getsec",  // 0F 37
    "@c8",  // 0F 38
    "%c ",  // 0F 39
    "@c:",  // 0F 3A
    "%c ",  // 0F 3B
    "%c ",  // 0F 3C
    "%c ",  // 0F 3D
    "%c ",  // 0F 3E
    "%c ",  // 0F 3F
    "cmovo   #Gv , #Ev ",  // 0F 40
    "cmovno  #Gv , #Ev ",  // 0F 41
    "cmovb   #Gv , #Ev ",  // 0F 42
    "cmovnb  #Gv , #Ev ",  // 0F 43
    "cmovz   #Gv , #Ev ",  // 0F 44
    "cmovnz  #Gv , #Ev ",  // 0F 45
    "cmovbe  #Gv , #Ev ",  // 0F 46
    "cmovnbe #Gv , #Ev ",  // 0F 47
    "cmovs   #Gv , #Ev ",  // 0F 48
    "cmovns  #Gv , #Ev ",  // 0F 49
    "cmovp   #Gv , #Ev ",  // 0F 4A
    "cmovnp  #Gv , #Ev ",  // 0F 4B
    "cmovl   #Gv , #Ev ",  // 0F 4C
    "cmovnl  #Gv , #Ev ",  // 0F 4D
    "cmovle  #Gv , #Ev ",  // 0F 4E
    "cmovnle #Gv , #Ev ",  // 0F 4F
    "movmskps #Gd , #Uo ",  // 0F 50
    "sqrtps  #Vo , #Wo ",  // 0F 51
    "rsqrtps #Vo , #Wo ",  // 0F 52
    "rcpps   #Vo , #Wo ",  // 0F 53
    "andps   #Vo , @v #Wo ",  // 0F 54
    "andnps  #Vo , @v #Wo ",  // 0F 55
    "orps    #Vo , @v #Wo ",  // 0F 56
    "xorps   #Vo , @v #Wo ",  // 0F 57
    "addps   #Vo , @v #Wo ",  // 0F 58
    "mulps   #Vo , @v #Wo ",  // 0F 59
    "cvtps2pd #Vo , #Wq ",  // 0F 5A
    "cvtdq2ps #Vo , #Wo ",  // 0F 5B
    "subps   #Vo , @v #Wo ",  // 0F 5C
    "minps   #Vo , @v #Wo ",  // 0F 5D
    "divps   #Vo , @v #Wo ",  // 0F 5E
    "maxps   #Vo , @v #Wo ",  // 0F 5F
    "punpcklbw #Pq , #Qq ",  // 0F 60
    "punpcklwd #Pq , #Qq ",  // 0F 61
    "punpckldq #Pq , #Qq ",  // 0F 62
    "packsswb #Pq , #Qq ",  // 0F 63
    "pcmpgtb #Pq , #Qq ",  // 0F 64
    "pcmpgtw #Pq , #Qq ",  // 0F 65
    "pcmpgtd #Pq , #Qq ",  // 0F 66
    "packuswb #Pq , #Qq ",  // 0F 67
    "punpckhbw #Pq , #Qq ",  // 0F 68
    "punpckhwd #Pq , #Qq ",  // 0F 69
    "punpckhdq #Pq , #Qq ",  // 0F 6A
    "packssdw #Pq , #Qq ",  // 0F 6B
    "%c punpcklqdq #Vo , #Wo ",  // 0F 6C
    "%c punpckhqdq #Vo , #Wo ",  // 0F 6D
    "movd    #Pd , #Ed ",  // 0F 6E
    "movq    #Pq , #Qq ",  // 0F 6F
    "pshufw  #Pq , #Qq , #Ib ",  // 0F 70
    "@h3w   #Nq , #Ib ",  // 0F 71
    "@h3d   #Nq , #Ib ",  // 0F 72
    "@h3q   #Nq , #Ib ",  // 0F 73
    "pcmpeqb #Pq , #Qq ",  // 0F 74
    "pcmpeqw #Pq , #Qq ",  // 0F 75
    "pcmpeqd #Pq , #Qq ",  // 0F 76
    "emms",  // 0F 77
    "vmread  #Ed , #Gd ",  // 0F 78
    "vmwrite #Gd , #Ed ",  // 0F 79
    "%c ",  // 0F 7A
    "%c ",  // 0F 7B
    "%c haddpd  #Vo , #Wo ",  // 0F 7C
    "%c hsubpd  #Vo , #Wo ",  // 0F 7D
    "movd    #Ed , #Pd ",  // 0F 7E
    "movq    #Qq , #Pq ",  // 0F 7F
    "jo      #Jvj",  // 0F 80
    "jno     #Jvj",  // 0F 81
    "jb      #Jvj",  // 0F 82
    "jnb     #Jvj",  // 0F 83
    "jz      #Jvj",  // 0F 84
    "jnz     #Jvj",  // 0F 85
    "jbe     #Jvj",  // 0F 86
    "jnbe    #Jvj",  // 0F 87
    "js      #Jvj",  // 0F 88
    "jns     #Jvj",  // 0F 89
    "jp      #Jvj",  // 0F 8A
    "jnp     #Jvj",  // 0F 8B
    "jl      #Jvj",  // 0F 8C
    "jnl     #Jvj",  // 0F 8D
    "jle     #Jvj",  // 0F 8E
    "jnle    #Jvj",  // 0F 8F
    "seto    #Eb ",  // 0F 90
    "setno   #Eb ",  // 0F 91
    "setb    #Eb ",  // 0F 92
    "setnb   #Eb ",  // 0F 93
    "setz    #Eb ",  // 0F 94
    "setnz   #Eb ",  // 0F 95
    "setbe   #Eb ",  // 0F 96
    "setnbe  #Eb ",  // 0F 97
    "sets    #Eb ",  // 0F 98
    "setns   #Eb ",  // 0F 99
    "setp    #Eb ",  // 0F 9A
    "setnp   #Eb ",  // 0F 9B
    "setl    #Eb ",  // 0F 9C
    "setnl   #Eb ",  // 0F 9D
    "setle   #Eb ",  // 0F 9E
    "setnle  #Eb ",  // 0F 9F
    "push    fs",  // 0F A0
    "pop     fs",  // 0F A1
    "cpuid",  // 0F A2
    "bt      #Ev , #Gv ",  // 0F A3
    "shld    #Ev , #Gv , #Ib ",  // 0F A4
    "shld    #Ev , #Gv , cl",  // 0F A5
    "%c #Ib ",  // 0F A6
    "%c #Ib ",  // 0F A7
    "push    gs",  // 0F A8
    "pop     gs",  // 0F A9
    "rsm",  // 0F AA
    "bts     #Ev , #Gv ",  // 0F AB
    "shrd    #Ev , #Gv , #Ib ",  // 0F AC
    "shrd    #Ev , #Gv , cl",  // 0F AD
    "@gl",  // 0F AE
    "imul    #Gv , #Ev ",  // 0F AF
    "cmpxchg #Eb , #Gb ",  // 0F B0
    "cmpxchg #Ev , #Gv ",  // 0F B1
    "lss     #Gv , #Mp ",  // 0F B2
    "btr     #Ev , #Gv ",  // 0F B3
    "lfs     #Gv , #Mp ",  // 0F B4
    "lgs     #Gv , #Mp ",  // 0F B5
    "movzx   #Gv , @m #Eb ",  // 0F B6
    "movzx   #Gv , @m #Ew ",  // 0F B7
    "%c popcnt  #Gv , #Ev ",  // 0F B8
    "ud1     #Gv , #Ev ",  // 0F B9
    "@gh#Ev , #Ib ",  // 0F BA
    "btc     #Ev , #Gv ",  // 0F BB
    "bsf     #Gv , #Ev ",  // 0F BC
    "bsr     #Gv , #Ev ",  // 0F BD
    "movsx   #Gv , @m #Eb ",  // 0F BE
    "movsx   #Gv , @m #Ew ",  // 0F BF
    "xadd    #Eb , #Gb ",  // 0F C0
    "xadd    #Ev , #Gv ",  // 0F C1
    "cmpps   #Vo , @v #Wo , #Ib ",  // 0F C2
    "movnti  #Md , #Gd ",  // 0F C3
    "pinsrw  #Pq , #Ed , #Ib ",  // 0F C4
    "pextrw  #Gd , #Nq , #Ib ",  // 0F C5
    "shufps  #Vo , @v #Wo , #Ib ",  // 0F C6
    "@gi",  // 0F C7
    "bswap   @eax",  // 0F C8
    "bswap   @ecx",  // 0F C9
    "bswap   @edx",  // 0F CA
    "bswap   @ebx",  // 0F CB
    "bswap   @esp",  // 0F CC
    "bswap   @ebp",  // 0F CD
    "bswap   @esi",  // 0F CE
    "bswap   @edi",  // 0F CF
    "%c addsubpd #Vo , #Wo ",  // 0F D0
    "psrlw   #Pq , #Qq ",  // 0F D1
    "psrld   #Pq , #Qq ",  // 0F D2
    "psrlq   #Pq , #Qq ",  // 0F D3
    "paddq   #Pq , #Qq ",  // 0F D4
    "pmullw  #Pq , #Qq ",  // 0F D5
    "%c movq    #Wq , #Vo ",  // 0F D6
    "pmovmskb #Gd , #Nq ",  // 0F D7
    "psubusb #Pq , #Qq ",  // 0F D8
    "psubusw #Pq , #Qq ",  // 0F D9
    "pminub  #Pq , #Qq ",  // 0F DA
    "pand    #Pq , #Qq ",  // 0F DB
    "paddusb #Pq , #Qq ",  // 0F DC
    "paddusw #Pq , #Qq ",  // 0F DD
    "pmaxub  #Pq , #Qq ",  // 0F DE
    "pandn   #Pq , #Qq ",  // 0F DF
    "pavgb   #Pq , #Qq ",  // 0F E0
    "psraw   #Pq , #Qq ",  // 0F E1
    "psrad   #Pq , #Qq ",  // 0F E2
    "pavgw   #Pq , #Qq ",  // 0F E3
    "pmulhuw #Pq , #Qq ",  // 0F E4
    "pmulhw  #Pq , #Qq ",  // 0F E5
    "%c cvttpd2dq #Vo , #Wo ",  // 0F E6
    "movntq  #Mq , #Pq ",  // 0F E7
    "psubsb  #Pq , #Qq ",  // 0F E8
    "psubsw  #Pq , #Qq ",  // 0F E9
    "pminsw  #Pq , #Qq ",  // 0F EA
    "por     #Pq , #Qq ",  // 0F EB
    "paddsb  #Pq , #Qq ",  // 0F EC
    "paddsw  #Pq , #Qq ",  // 0F ED
    "pmaxsw  #Pq , #Qq ",  // 0F EE
    "pxor    #Pq , #Qq ",  // 0F EF
    "%c lddqu   #Vo , #Mo ",  // 0F F0
    "psllw   #Pq , #Qq ",  // 0F F1
    "pslld   #Pq , #Qq ",  // 0F F2
    "psllq   #Pq , #Qq ",  // 0F F3
    "pmuludq #Pq , #Qq ",  // 0F F4
    "pmaddwd #Pq , #Qq ",  // 0F F5
    "psadbw  #Pq , #Qq ",  // 0F F6
    "maskmovq #Pq , #Nq ",  // 0F F7
    "psubb   #Pq , #Qq ",  // 0F F8
    "psubw   #Pq , #Qq ",  // 0F F9
    "psubd   #Pq , #Qq ",  // 0F FA
    "psubq   #Pq , #Qq ",  // 0F FB
    "paddb   #Pq , #Qq ",  // 0F FC
    "paddw   #Pq , #Qq ",  // 0F FD
    "paddd   #Pq , #Qq ",  // 0F FE
    "ud0     #Gv , #Ev ",  // 0F FF
};

const char* const Groups[104] = {
    "add     ",  // group a, reg 0
    "or      ",  // group a, reg 1
    "adc     ",  // group a, reg 2
    "sbb     ",  // group a, reg 3
    "and     ",  // group a, reg 4
    "sub     ",  // group a, reg 5
    "xor     ",  // group a, reg 6
    "cmp     ",  // group a, reg 7
    "rol     ",  // group b, reg 0
    "ror     ",  // group b, reg 1
    "rcl     ",  // group b, reg 2
    "rcr     ",  // group b, reg 3
    "shl     ",  // group b, reg 4
    "shr     ",  // group b, reg 5
    "shl     ",  // group b, reg 6
    "sar     ",  // group b, reg 7
    "test    ",  // group c, reg 0
    "%c       ",  // group c, reg 1
    "not     ",  // group c, reg 2
    "neg     ",  // group c, reg 3
    "mul     ",  // group c, reg 4
    "imul    ",  // group c, reg 5
    "div     ",  // group c, reg 6
    "idiv    ",  // group c, reg 7
    "inc     ",  // group d, reg 0
    "dec     ",  // group d, reg 1
    "%c      ",  // group d, reg 2
    "%c      ",  // group d, reg 3
    "%c      ",  // group d, reg 4
    "%c      ",  // group d, reg 5
    "%c      ",  // group d, reg 6
    "%c      ",  // group d, reg 7
    "inc     ",  // group e, reg 0
    "dec     ",  // group e, reg 1
    "call    ",  // group e, reg 2
    "call    far ",  // group e, reg 3
    "jmp     ",  // group e, reg 4
    "jmp     far ",  // group e, reg 5
    "push    ",  // group e, reg 6
    "%c      ",  // group e, reg 7
    "sldt    ",  // group f, reg 0
    "str     ",  // group f, reg 1
    "lldt    ",  // group f, reg 2
    "ltr     ",  // group f, reg 3
    "verr    ",  // group f, reg 4
    "verw    ",  // group f, reg 5
    "%c      ",  // group f, reg 6
    "%c      ",  // group f, reg 7
    "sgdt    #Ms ",  // group g, reg 0
    "sidt    #Ms ",  // group g, reg 1
    "lgdt    #Ms ",  // group g, reg 2
    "lidt    #Ms ",  // group g, reg 3
    "smsw    #Ew ",  // group g, reg 4
    "%c      #M  ",  // group g, reg 5
    "lmsw    #Ew ",  // group g, reg 6
    "invlpg  #Mb ",  // group g, reg 7
    "%c      ",  // group h, reg 0
    "%c      ",  // group h, reg 1
    "%c      ",  // group h, reg 2
    "%c      ",  // group h, reg 3
    "bt      ",  // group h, reg 4
    "bts     ",  // group h, reg 5
    "btr     ",  // group h, reg 6
    "btc     ",  // group h, reg 7
    "%c      ",  // group i, reg 0
    "cmpxchg8b #Mq ",  // group i, reg 1
    "%c      ",  // group i, reg 2
    "xrstors #M  ",  // group i, reg 3
    "xsavec  #M  ",  // group i, reg 4
    "xsaves  #M  ",  // group i, reg 5
    "@yi",  // group i, reg 6
    "@yj",  // group i, reg 7
    "mov     ",  // group j, reg 0
    "%c      ",  // group j, reg 1
    "%c      ",  // group j, reg 2
    "%c      ",  // group j, reg 3
    "%c      ",  // group j, reg 4
    "%c      ",  // group j, reg 5
    "%c      ",  // group j, reg 6
    "%c      ",  // group j, reg 7
    "pop     #Ev ",  // group k, reg 0
    "%c ",  // group k, reg 1
    "%c ",  // group k, reg 2
    "%c ",  // group k, reg 3
    "%c ",  // group k, reg 4
    "%c ",  // group k, reg 5
    "%c ",  // group k, reg 6
    "%c ",  // group k, reg 7
    "@ya",  // group l, reg 0
    "@yb",  // group l, reg 1
    "@yc",  // group l, reg 2
    "@yd",  // group l, reg 3
    "@ye",  // group l, reg 4
    "@yf",  // group l, reg 5
    "@yg",  // group l, reg 6
    "@yh",  // group l, reg 7
    "%c ",  // group m, reg 0
    "blsr    @vr",  // group m, reg 1
    "blsmsk  @vr",  // group m, reg 2
    "blsi    @vr",  // group m, reg 3
    "%c ",  // group m, reg 4
    "%c ",  // group m, reg 5
    "%c ",  // group m, reg 6
    "%c ",  // group m, reg 7
};

const char* const Tails[40] = {
    ", #Ib ",  // tail 1, reg 0
    ", #Ib ",  // tail 1, reg 1
    "",  // tail 1, reg 2
    "",  // tail 1, reg 3
    "",  // tail 1, reg 4
    "",  // tail 1, reg 5
    "",  // tail 1, reg 6
    "",  // tail 1, reg 7
    ", #Iv ",  // tail 2, reg 0
    ", #Iv ",  // tail 2, reg 1
    "",  // tail 2, reg 2
    "",  // tail 2, reg 3
    "",  // tail 2, reg 4
    "",  // tail 2, reg 5
    "",  // tail 2, reg 6
    "",  // tail 2, reg 7
    "%c  ",  // tail 3, reg 0
    "%c  ",  // tail 3, reg 1
    "psrl",  // tail 3, reg 2
    "%c  ",  // tail 3, reg 3
    "psra",  // tail 3, reg 4
    "%c  ",  // tail 3, reg 5
    "psll",  // tail 3, reg 6
    "%c  ",  // tail 3, reg 7
    "#Ev ",  // tail 4, reg 0
    "#Ev ",  // tail 4, reg 1
    "#Ev ",  // tail 4, reg 2
    "#Mp ",  // tail 4, reg 3
    "#Ev ",  // tail 4, reg 4
    "#Mp ",  // tail 4, reg 5
    "#Ev ",  // tail 4, reg 6
    "",  // tail 4, reg 7
    "%c      ",  // tail 5, reg 0
    "%c      ",  // tail 5, reg 1
    "psrlq   ",  // tail 5, reg 2
    "psrldq  ",  // tail 5, reg 3
    "%c      ",  // tail 5, reg 4
    "%c      ",  // tail 5, reg 5
    "psllq   ",  // tail 5, reg 6
    "pslldq  ",  // tail 5, reg 7
};

// Memory form, register form.
const char* const Splits[3][2] = {
    {"movlps  #Vo , @v #Mq ", "movhlps #Vo , @v #Uo "},  // a: 0F 12
    {"movhps  #Vo , @v #Mq ", "movlhps #Vo , @v #Uo "},  // b: 0F 16
    {"prefetch #Mb ", "nop     #Ev "},  // c: 0F 18
};

// Members of groups that a mandatory prefix changes: per prefix (none, 66,
// F3, F2) the memory form and the register form; a missing one is the
// unprefixed form, and the prefix stays a prefix.
const char* const PrefixedForms[10][4][2] = {
    {{"fxsave  #M  ", "%c "}, {}, {nullptr, "rdfsbase #Ed "}, {}},  // a: 0F AE /0
    {{"fxrstor #M  ", "%c "}, {}, {nullptr, "rdgsbase #Ed "}, {}},  // b: 0F AE /1
    {{"ldmxcsr #Md ", "%c "}, {}, {nullptr, "wrfsbase #Ed "}, {}},  // c: 0F AE /2
    {{"stmxcsr #Md ", "%c "}, {}, {nullptr, "wrgsbase #Ed "}, {}},  // d: 0F AE /3
    {{"xsave   #M  ", "%c "}, {}, {"ptwrite #Ed ", "ptwrite #Ed "}, {}},  // e: 0F AE /4
    {{"xrstor  #M  ", "lfence"}, {}, {nullptr, "incsspd #Ed "}, {}},  // f: 0F AE /5
    {{"xsaveopt #M  ", "mfence"}, {"clwb    #Mb ", "tpause  #Ed "}, {"clrssbsy #Mq ", "umonitor #Ed "},
     {nullptr, "umwait  #Ed "}},  // g: 0F AE /6
    {{"clflush #Mb ", "sfence"}, {"clflushopt #Mb ", nullptr}, {}, {}},  // h: 0F AE /7
    {{"vmptrld #Mq ", "rdrand  #Ev "}, {"vmclear #Mq ", nullptr}, {"vmxon   #Mq ", nullptr}, {}},  // i: 0F C7 /6
    {{"vmptrst #Mq ", "rdseed  #Ev "}, {}, {nullptr, "rdpid   #Ed "}, {}},  // j: 0F C7 /7
};


const char* const SystemRegisterForms[64] = {
    "enclv",  // 0F 01 C0
    "vmcall",  // 0F 01 C1
    "vmlaunch",  // 0F 01 C2
    "vmresume",  // 0F 01 C3
    "vmxoff",  // 0F 01 C4
    "pconfig",  // 0F 01 C5
    "wrmsrns",  // 0F 01 C6
    "%c ",  // 0F 01 C7
    "monitor",  // 0F 01 C8
    "mwait",  // 0F 01 C9
    "clac",  // 0F 01 CA
    "stac",  // 0F 01 CB
    "%c ",  // 0F 01 CC
    "%c ",  // 0F 01 CD
    "%c ",  // 0F 01 CE
    "encls",  // 0F 01 CF
    "xgetbv",  // 0F 01 D0
    "xsetbv",  // 0F 01 D1
    "%c ",  // 0F 01 D2
    "%c ",  // 0F 01 D3
    "vmfunc",  // 0F 01 D4
    "xend",  // 0F 01 D5
    "xtest",  // 0F 01 D6
    "enclu",  // 0F 01 D7
    "vmrun",  // 0F 01 D8
    "vmmcall",  // 0F 01 D9
    "vmload",  // 0F 01 DA
    "vmsave",  // 0F 01 DB
    "stgi",  // 0F 01 DC
    "clgi",  // 0F 01 DD
    "skinit",  // 0F 01 DE
    "invlpga",  // 0F 01 DF
    "smsw    #Ev ",  // 0F 01 E0
    "smsw    #Ev ",  // 0F 01 E1
    "smsw    #Ev ",  // 0F 01 E2
    "smsw    #Ev ",  // 0F 01 E3
    "smsw    #Ev ",  // 0F 01 E4
    "smsw    #Ev ",  // 0F 01 E5
    "smsw    #Ev ",  // 0F 01 E6
    "smsw    #Ev ",  // 0F 01 E7
    "serialize",  // 0F 01 E8
    "%c ",  // 0F 01 E9
    "%c ",  // 0F 01 EA
    "%c ",  // 0F 01 EB
    "%c ",  // 0F 01 EC
    "%c ",  // 0F 01 ED
    "rdpkru",  // 0F 01 EE
    "wrpkru",  // 0F 01 EF
    "lmsw    #Ew ",  // 0F 01 F0
    "lmsw    #Ew ",  // 0F 01 F1
    "lmsw    #Ew ",  // 0F 01 F2
    "lmsw    #Ew ",  // 0F 01 F3
    "lmsw    #Ew ",  // 0F 01 F4
    "lmsw    #Ew ",  // 0F 01 F5
    "lmsw    #Ew ",  // 0F 01 F6
    "lmsw    #Ew ",  // 0F 01 F7
    "swapgs",  // 0F 01 F8
    "rdtscp",  // 0F 01 F9
    "monitorx",  // 0F 01 FA
    "mwaitx",  // 0F 01 FB
    "clzero",  // 0F 01 FC
    "rdpru",  // 0F 01 FD
    "invlpgb",  // 0F 01 FE
    "tlbsync",  // 0F 01 FF
};

// The rows of the 0F map that a mandatory prefix selects, and the 0F 38 and
// 0F 3A maps.
const TMapRow PrefixedRows[] = {
    {1, 0x66, 0x10, "movupd  #Vo , #Wo "},  // 66 0F 10
    {1, 0x66, 0x11, "movupd  #Wo , #Vo "},  // 66 0F 11
    {1, 0x66, 0x12, "movlpd  #Vo , @v #Mq "},  // 66 0F 12
    {1, 0x66, 0x13, "movlpd  #Mq , #Vo "},  // 66 0F 13
    {1, 0x66, 0x14, "unpcklpd #Vo , @v #Wo "},  // 66 0F 14
    {1, 0x66, 0x15, "unpckhpd #Vo , @v #Wo "},  // 66 0F 15
    {1, 0x66, 0x16, "movhpd  #Vo , @v #Mq "},  // 66 0F 16
    {1, 0x66, 0x17, "movhpd  #Mq , #Vo "},  // 66 0F 17
    {1, 0x66, 0x28, "movapd  #Vo , #Wo "},  // 66 0F 28
    {1, 0x66, 0x29, "movapd  #Wo , #Vo "},  // 66 0F 29
    {1, 0x66, 0x2A, "cvtpi2pd #Vo , #Qq "},  // 66 0F 2A
    {1, 0x66, 0x2B, "movntpd #Mo , #Vo "},  // 66 0F 2B
    {1, 0x66, 0x2C, "cvttpd2pi #Pq , #Wo "},  // 66 0F 2C
    {1, 0x66, 0x2D, "cvtpd2pi #Pq , #Wo "},  // 66 0F 2D
    {1, 0x66, 0x2E, "ucomisd #Vo , #Wq "},  // 66 0F 2E
    {1, 0x66, 0x2F, "comisd  #Vo , #Wq "},  // 66 0F 2F
    {1, 0x66, 0x50, "movmskpd #Gd , #Uo "},  // 66 0F 50
    {1, 0x66, 0x51, "sqrtpd  #Vo , #Wo "},  // 66 0F 51
    {1, 0x66, 0x54, "andpd   #Vo , @v #Wo "},  // 66 0F 54
    {1, 0x66, 0x55, "andnpd  #Vo , @v #Wo "},  // 66 0F 55
    {1, 0x66, 0x56, "orpd    #Vo , @v #Wo "},  // 66 0F 56
    {1, 0x66, 0x57, "xorpd   #Vo , @v #Wo "},  // 66 0F 57
    {1, 0x66, 0x58, "addpd   #Vo , @v #Wo "},  // 66 0F 58
    {1, 0x66, 0x59, "mulpd   #Vo , @v #Wo "},  // 66 0F 59
    {1, 0x66, 0x5A, "cvtpd2ps #Vo , #Wo "},  // 66 0F 5A
    {1, 0x66, 0x5B, "cvtps2dq #Vo , #Wo "},  // 66 0F 5B
    {1, 0x66, 0x5C, "subpd   #Vo , @v #Wo "},  // 66 0F 5C
    {1, 0x66, 0x5D, "minpd   #Vo , @v #Wo "},  // 66 0F 5D
    {1, 0x66, 0x5E, "divpd   #Vo , @v #Wo "},  // 66 0F 5E
    {1, 0x66, 0x5F, "maxpd   #Vo , @v #Wo "},  // 66 0F 5F
    {1, 0x66, 0x60, "punpcklbw #Vo , @v #Wo "},  // 66 0F 60
    {1, 0x66, 0x61, "punpcklwd #Vo , @v #Wo "},  // 66 0F 61
    {1, 0x66, 0x62, "punpckldq #Vo , @v #Wo "},  // 66 0F 62
    {1, 0x66, 0x63, "packsswb #Vo , @v #Wo "},  // 66 0F 63
    {1, 0x66, 0x64, "pcmpgtb #Vo , @v #Wo "},  // 66 0F 64
    {1, 0x66, 0x65, "pcmpgtw #Vo , @v #Wo "},  // 66 0F 65
    {1, 0x66, 0x66, "pcmpgtd #Vo , @v #Wo "},  // 66 0F 66
    {1, 0x66, 0x67, "packuswb #Vo , @v #Wo "},  // 66 0F 67
    {1, 0x66, 0x68, "punpckhbw #Vo , @v #Wo "},  // 66 0F 68
    {1, 0x66, 0x69, "punpckhwd #Vo , @v #Wo "},  // 66 0F 69
    {1, 0x66, 0x6A, "punpckhdq #Vo , @v #Wo "},  // 66 0F 6A
    {1, 0x66, 0x6B, "packssdw #Vo , @v #Wo "},  // 66 0F 6B
    {1, 0x66, 0x6C, "punpcklqdq #Vo , @v #Wo "},  // 66 0F 6C
    {1, 0x66, 0x6D, "punpckhqdq #Vo , @v #Wo "},  // 66 0F 6D
    {1, 0x66, 0x6E, "movd    #Vo , #Ed "},  // 66 0F 6E
    {1, 0x66, 0x6F, "movdqa  #Vo , #Wo "},  // 66 0F 6F
    {1, 0x66, 0x70, "pshufd  #Vo , #Wo , #Ib "},  // 66 0F 70
    {1, 0x66, 0x71, "@h3w   @v #Uo , #Ib "},  // 66 0F 71
    {1, 0x66, 0x72, "@h3d   @v #Uo , #Ib "},  // 66 0F 72
    {1, 0x66, 0x73, "@h5@v #Uo , #Ib "},  // 66 0F 73
    {1, 0x66, 0x74, "pcmpeqb #Vo , @v #Wo "},  // 66 0F 74
    {1, 0x66, 0x75, "pcmpeqw #Vo , @v #Wo "},  // 66 0F 75
    {1, 0x66, 0x76, "pcmpeqd #Vo , @v #Wo "},  // 66 0F 76
    {1, 0x66, 0x7C, "haddpd  #Vo , @v #Wo "},  // 66 0F 7C
    {1, 0x66, 0x7D, "hsubpd  #Vo , @v #Wo "},  // 66 0F 7D
    {1, 0x66, 0x7E, "movd    #Ed , #Vo "},  // 66 0F 7E
    {1, 0x66, 0x7F, "movdqa  #Wo , #Vo "},  // 66 0F 7F
    {1, 0x66, 0xC2, "cmppd   #Vo , @v #Wo , #Ib "},  // 66 0F C2
    {1, 0x66, 0xC4, "pinsrw  #Vo , @v #Ed , #Ib "},  // 66 0F C4
    {1, 0x66, 0xC5, "pextrw  #Gd , #Uo , #Ib "},  // 66 0F C5
    {1, 0x66, 0xC6, "shufpd  #Vo , @v #Wo , #Ib "},  // 66 0F C6
    {1, 0x66, 0xD0, "addsubpd #Vo , @v #Wo "},  // 66 0F D0
    {1, 0x66, 0xD1, "psrlw   #Vo , @v #Wo "},  // 66 0F D1
    {1, 0x66, 0xD2, "psrld   #Vo , @v #Wo "},  // 66 0F D2
    {1, 0x66, 0xD3, "psrlq   #Vo , @v #Wo "},  // 66 0F D3
    {1, 0x66, 0xD4, "paddq   #Vo , @v #Wo "},  // 66 0F D4
    {1, 0x66, 0xD5, "pmullw  #Vo , @v #Wo "},  // 66 0F D5
    {1, 0x66, 0xD6, "movq    #Wq , #Vo "},  // 66 0F D6
    {1, 0x66, 0xD7, "pmovmskb #Gd , #Uo "},  // 66 0F D7
    {1, 0x66, 0xD8, "psubusb #Vo , @v #Wo "},  // 66 0F D8
    {1, 0x66, 0xD9, "psubusw #Vo , @v #Wo "},  // 66 0F D9
    {1, 0x66, 0xDA, "pminub  #Vo , @v #Wo "},  // 66 0F DA
    {1, 0x66, 0xDB, "pand    #Vo , @v #Wo "},  // 66 0F DB
    {1, 0x66, 0xDC, "paddusb #Vo , @v #Wo "},  // 66 0F DC
    {1, 0x66, 0xDD, "paddusw #Vo , @v #Wo "},  // 66 0F DD
    {1, 0x66, 0xDE, "pmaxub  #Vo , @v #Wo "},  // 66 0F DE
    {1, 0x66, 0xDF, "pandn   #Vo , @v #Wo "},  // 66 0F DF
    {1, 0x66, 0xE0, "pavgb   #Vo , @v #Wo "},  // 66 0F E0
    {1, 0x66, 0xE1, "psraw   #Vo , @v #Wo "},  // 66 0F E1
    {1, 0x66, 0xE2, "psrad   #Vo , @v #Wo "},  // 66 0F E2
    {1, 0x66, 0xE3, "pavgw   #Vo , @v #Wo "},  // 66 0F E3
    {1, 0x66, 0xE4, "pmulhuw #Vo , @v #Wo "},  // 66 0F E4
    {1, 0x66, 0xE5, "pmulhw  #Vo , @v #Wo "},  // 66 0F E5
    {1, 0x66, 0xE6, "cvttpd2dq #Vo , #Wo "},  // 66 0F E6
    {1, 0x66, 0xE7, "movntdq #Mo , #Vo "},  // 66 0F E7
    {1, 0x66, 0xE8, "psubsb  #Vo , @v #Wo "},  // 66 0F E8
    {1, 0x66, 0xE9, "psubsw  #Vo , @v #Wo "},  // 66 0F E9
    {1, 0x66, 0xEA, "pminsw  #Vo , @v #Wo "},  // 66 0F EA
    {1, 0x66, 0xEB, "por     #Vo , @v #Wo "},  // 66 0F EB
    {1, 0x66, 0xEC, "paddsb  #Vo , @v #Wo "},  // 66 0F EC
    {1, 0x66, 0xED, "paddsw  #Vo , @v #Wo "},  // 66 0F ED
    {1, 0x66, 0xEE, "pmaxsw  #Vo , @v #Wo "},  // 66 0F EE
    {1, 0x66, 0xEF, "pxor    #Vo , @v #Wo "},  // 66 0F EF
    {1, 0x66, 0xF1, "psllw   #Vo , @v #Wo "},  // 66 0F F1
    {1, 0x66, 0xF2, "pslld   #Vo , @v #Wo "},  // 66 0F F2
    {1, 0x66, 0xF3, "psllq   #Vo , @v #Wo "},  // 66 0F F3
    {1, 0x66, 0xF4, "pmuludq #Vo , @v #Wo "},  // 66 0F F4
    {1, 0x66, 0xF5, "pmaddwd #Vo , @v #Wo "},  // 66 0F F5
    {1, 0x66, 0xF6, "psadbw  #Vo , @v #Wo "},  // 66 0F F6
    {1, 0x66, 0xF7, "maskmovdqu #Vo , #Uo "},  // 66 0F F7
    {1, 0x66, 0xF8, "psubb   #Vo , @v #Wo "},  // 66 0F F8
    {1, 0x66, 0xF9, "psubw   #Vo , @v #Wo "},  // 66 0F F9
    {1, 0x66, 0xFA, "psubd   #Vo , @v #Wo "},  // 66 0F FA
    {1, 0x66, 0xFB, "psubq   #Vo , @v #Wo "},  // 66 0F FB
    {1, 0x66, 0xFC, "paddb   #Vo , @v #Wo "},  // 66 0F FC
    {1, 0x66, 0xFD, "paddw   #Vo , @v #Wo "},  // 66 0F FD
    {1, 0x66, 0xFE, "paddd   #Vo , @v #Wo "},  // 66 0F FE
    {1, 0xF2, 0x10, "movsd   #Vo , @vm#Wq "},  // F2 0F 10
    {1, 0xF2, 0x11, "movsd   #Wq , @vm#Vo "},  // F2 0F 11
    {1, 0xF2, 0x12, "movddup #Vo , #Wq "},  // F2 0F 12
    {1, 0xF2, 0x2A, "cvtsi2sd #Vo , @v #Ed "},  // F2 0F 2A
    {1, 0xF2, 0x2C, "cvttsd2si #Gd , #Wq "},  // F2 0F 2C
    {1, 0xF2, 0x2D, "cvtsd2si #Gd , #Wq "},  // F2 0F 2D
    {1, 0xF2, 0x51, "sqrtsd  #Vo , @v #Wq "},  // F2 0F 51
    {1, 0xF2, 0x58, "addsd   #Vo , @v #Wq "},  // F2 0F 58
    {1, 0xF2, 0x59, "mulsd   #Vo , @v #Wq "},  // F2 0F 59
    {1, 0xF2, 0x5A, "cvtsd2ss #Vo , @v #Wq "},  // F2 0F 5A
    {1, 0xF2, 0x5C, "subsd   #Vo , @v #Wq "},  // F2 0F 5C
    {1, 0xF2, 0x5D, "minsd   #Vo , @v #Wq "},  // F2 0F 5D
    {1, 0xF2, 0x5E, "divsd   #Vo , @v #Wq "},  // F2 0F 5E
    {1, 0xF2, 0x5F, "maxsd   #Vo , @v #Wq "},  // F2 0F 5F
    {1, 0xF2, 0x70, "pshuflw #Vo , #Wo , #Ib "},  // F2 0F 70
    {1, 0xF2, 0x7C, "haddps  #Vo , @v #Wo "},  // F2 0F 7C
    {1, 0xF2, 0x7D, "hsubps  #Vo , @v #Wo "},  // F2 0F 7D
    {1, 0xF2, 0xC2, "cmpsd   #Vo , @v #Wq , #Ib "},  // F2 0F C2
    {1, 0xF2, 0xD0, "addsubps #Vo , @v #Wo "},  // F2 0F D0
    {1, 0xF2, 0xD6, "movdq2q #Pq , #Uo "},  // F2 0F D6
    {1, 0xF2, 0xE6, "cvtpd2dq #Vo , #Wo "},  // F2 0F E6
    {1, 0xF2, 0xF0, "lddqu   #Vo , #Mo "},  // F2 0F F0
    {1, 0xF3, 0x10, "movss   #Vo , @vm#Wd "},  // F3 0F 10
    {1, 0xF3, 0x11, "movss   #Wd , @vm#Vo "},  // F3 0F 11
    {1, 0xF3, 0x12, "movsldup #Vo , #Wo "},  // F3 0F 12
    {1, 0xF3, 0x16, "movshdup #Vo , #Wo "},  // F3 0F 16
    {1, 0xF3, 0x2A, "cvtsi2ss #Vo , @v #Ed "},  // F3 0F 2A
    {1, 0xF3, 0x2C, "cvttss2si #Gd , #Wd "},  // F3 0F 2C
    {1, 0xF3, 0x2D, "cvtss2si #Gd , #Wd "},  // F3 0F 2D
    {1, 0xF3, 0x51, "sqrtss  #Vo , @v #Wd "},  // F3 0F 51
    {1, 0xF3, 0x52, "rsqrtss #Vo , @v #Wd "},  // F3 0F 52
    {1, 0xF3, 0x53, "rcpss   #Vo , @v #Wd "},  // F3 0F 53
    {1, 0xF3, 0x58, "addss   #Vo , @v #Wd "},  // F3 0F 58
    {1, 0xF3, 0x59, "mulss   #Vo , @v #Wd "},  // F3 0F 59
    {1, 0xF3, 0x5A, "cvtss2sd #Vo , @v #Wd "},  // F3 0F 5A
    {1, 0xF3, 0x5B, "cvttps2dq #Vo , #Wo "},  // F3 0F 5B
    {1, 0xF3, 0x5C, "subss   #Vo , @v #Wd "},  // F3 0F 5C
    {1, 0xF3, 0x5D, "minss   #Vo , @v #Wd "},  // F3 0F 5D
    {1, 0xF3, 0x5E, "divss   #Vo , @v #Wd "},  // F3 0F 5E
    {1, 0xF3, 0x5F, "maxss   #Vo , @v #Wd "},  // F3 0F 5F
    {1, 0xF3, 0x6F, "movdqu  #Vo , #Wo "},  // F3 0F 6F
    {1, 0xF3, 0x70, "pshufhw #Vo , #Wo , #Ib "},  // F3 0F 70
    {1, 0xF3, 0x7E, "movq    #Vo , #Wq "},  // F3 0F 7E
    {1, 0xF3, 0x7F, "movdqu  #Wo , #Vo "},  // F3 0F 7F
    {1, 0xF3, 0xB8, "popcnt  #Gv , #Ev "},  // F3 0F B8
    {1, 0xF3, 0xBC, "tzcnt   #Gv , #Ev "},  // F3 0F BC
    {1, 0xF3, 0xBD, "lzcnt   #Gv , #Ev "},  // F3 0F BD
    {1, 0xF3, 0xC2, "cmpss   #Vo , @v #Wd , #Ib "},  // F3 0F C2
    {1, 0xF3, 0xD6, "movq2dq #Vo , #Nq "},  // F3 0F D6
    {1, 0xF3, 0xE6, "cvtdq2pd #Vo , #Wq "},  // F3 0F E6
    {2, 0x00, 0x00, "pshufb  #Pq , #Qq "},  // 0F 38 00
    {2, 0x00, 0x01, "phaddw  #Pq , #Qq "},  // 0F 38 01
    {2, 0x00, 0x02, "phaddd  #Pq , #Qq "},  // 0F 38 02
    {2, 0x00, 0x03, "phaddsw #Pq , #Qq "},  // 0F 38 03
    {2, 0x00, 0x04, "pmaddubsw #Pq , #Qq "},  // 0F 38 04
    {2, 0x00, 0x05, "phsubw  #Pq , #Qq "},  // 0F 38 05
    {2, 0x00, 0x06, "phsubd  #Pq , #Qq "},  // 0F 38 06
    {2, 0x00, 0x07, "phsubsw #Pq , #Qq "},  // 0F 38 07
    {2, 0x00, 0x08, "psignb  #Pq , #Qq "},  // 0F 38 08
    {2, 0x00, 0x09, "psignw  #Pq , #Qq "},  // 0F 38 09
    {2, 0x00, 0x0A, "psignd  #Pq , #Qq "},  // 0F 38 0A
    {2, 0x00, 0x0B, "pmulhrsw #Pq , #Qq "},  // 0F 38 0B
    {2, 0x00, 0x1C, "pabsb   #Pq , #Qq "},  // 0F 38 1C
    {2, 0x00, 0x1D, "pabsw   #Pq , #Qq "},  // 0F 38 1D
    {2, 0x00, 0x1E, "pabsd   #Pq , #Qq "},  // 0F 38 1E
    {2, 0x00, 0xC8, "sha1nexte #Vo , #Wo "},  // 0F 38 C8
    {2, 0x00, 0xC9, "sha1msg1 #Vo , #Wo "},  // 0F 38 C9
    {2, 0x00, 0xCA, "sha1msg2 #Vo , #Wo "},  // 0F 38 CA
    {2, 0x00, 0xCB, "sha256rnds2 #Vo , #Wo "},  // 0F 38 CB
    {2, 0x00, 0xCC, "sha256msg1 #Vo , #Wo "},  // 0F 38 CC
    {2, 0x00, 0xCD, "sha256msg2 #Vo , #Wo "},  // 0F 38 CD
    {2, 0x00, 0xF0, "movbe   #Gv , #Mv "},  // 0F 38 F0
    {2, 0x00, 0xF1, "movbe   #Mv , #Gv "},  // 0F 38 F1
    {2, 0x00, 0xF9, "movdiri #Md , #Gd "},  // 0F 38 F9
    {2, 0x66, 0x00, "pshufb  #Vo , @v #Wo "},  // 66 0F 38 00
    {2, 0x66, 0x01, "phaddw  #Vo , @v #Wo "},  // 66 0F 38 01
    {2, 0x66, 0x02, "phaddd  #Vo , @v #Wo "},  // 66 0F 38 02
    {2, 0x66, 0x03, "phaddsw #Vo , @v #Wo "},  // 66 0F 38 03
    {2, 0x66, 0x04, "pmaddubsw #Vo , @v #Wo "},  // 66 0F 38 04
    {2, 0x66, 0x05, "phsubw  #Vo , @v #Wo "},  // 66 0F 38 05
    {2, 0x66, 0x06, "phsubd  #Vo , @v #Wo "},  // 66 0F 38 06
    {2, 0x66, 0x07, "phsubsw #Vo , @v #Wo "},  // 66 0F 38 07
    {2, 0x66, 0x08, "psignb  #Vo , @v #Wo "},  // 66 0F 38 08
    {2, 0x66, 0x09, "psignw  #Vo , @v #Wo "},  // 66 0F 38 09
    {2, 0x66, 0x0A, "psignd  #Vo , @v #Wo "},  // 66 0F 38 0A
    {2, 0x66, 0x0B, "pmulhrsw #Vo , @v #Wo "},  // 66 0F 38 0B
    {2, 0x66, 0x10, "pblendvb #Vo , #Wo "},  // 66 0F 38 10
    {2, 0x66, 0x14, "blendvps #Vo , #Wo "},  // 66 0F 38 14
    {2, 0x66, 0x15, "blendvpd #Vo , #Wo "},  // 66 0F 38 15
    {2, 0x66, 0x17, "ptest   #Vo , #Wo "},  // 66 0F 38 17
    {2, 0x66, 0x1C, "pabsb   #Vo , #Wo "},  // 66 0F 38 1C
    {2, 0x66, 0x1D, "pabsw   #Vo , #Wo "},  // 66 0F 38 1D
    {2, 0x66, 0x1E, "pabsd   #Vo , #Wo "},  // 66 0F 38 1E
    {2, 0x66, 0x20, "pmovsxbw #Vo , #Wq "},  // 66 0F 38 20
    {2, 0x66, 0x21, "pmovsxbd #Vo , #Wd "},  // 66 0F 38 21
    {2, 0x66, 0x22, "pmovsxbq #Vo , #Ww "},  // 66 0F 38 22
    {2, 0x66, 0x23, "pmovsxwd #Vo , #Wq "},  // 66 0F 38 23
    {2, 0x66, 0x24, "pmovsxwq #Vo , #Wd "},  // 66 0F 38 24
    {2, 0x66, 0x25, "pmovsxdq #Vo , #Wq "},  // 66 0F 38 25
    {2, 0x66, 0x28, "pmuldq  #Vo , @v #Wo "},  // 66 0F 38 28
    {2, 0x66, 0x29, "pcmpeqq #Vo , @v #Wo "},  // 66 0F 38 29
    {2, 0x66, 0x2A, "movntdqa #Vo , #Mo "},  // 66 0F 38 2A
    {2, 0x66, 0x2B, "packusdw #Vo , @v #Wo "},  // 66 0F 38 2B
    {2, 0x66, 0x30, "pmovzxbw #Vo , #Wq "},  // 66 0F 38 30
    {2, 0x66, 0x31, "pmovzxbd #Vo , #Wd "},  // 66 0F 38 31
    {2, 0x66, 0x32, "pmovzxbq #Vo , #Ww "},  // 66 0F 38 32
    {2, 0x66, 0x33, "pmovzxwd #Vo , #Wq "},  // 66 0F 38 33
    {2, 0x66, 0x34, "pmovzxwq #Vo , #Wd "},  // 66 0F 38 34
    {2, 0x66, 0x35, "pmovzxdq #Vo , #Wq "},  // 66 0F 38 35
    {2, 0x66, 0x37, "pcmpgtq #Vo , @v #Wo "},  // 66 0F 38 37
    {2, 0x66, 0x38, "pminsb  #Vo , @v #Wo "},  // 66 0F 38 38
    {2, 0x66, 0x39, "pminsd  #Vo , @v #Wo "},  // 66 0F 38 39
    {2, 0x66, 0x3A, "pminuw  #Vo , @v #Wo "},  // 66 0F 38 3A
    {2, 0x66, 0x3B, "pminud  #Vo , @v #Wo "},  // 66 0F 38 3B
    {2, 0x66, 0x3C, "pmaxsb  #Vo , @v #Wo "},  // 66 0F 38 3C
    {2, 0x66, 0x3D, "pmaxsd  #Vo , @v #Wo "},  // 66 0F 38 3D
    {2, 0x66, 0x3E, "pmaxuw  #Vo , @v #Wo "},  // 66 0F 38 3E
    {2, 0x66, 0x3F, "pmaxud  #Vo , @v #Wo "},  // 66 0F 38 3F
    {2, 0x66, 0x40, "pmulld  #Vo , @v #Wo "},  // 66 0F 38 40
    {2, 0x66, 0x41, "phminposuw #Vo , #Wo "},  // 66 0F 38 41
    {2, 0x66, 0x80, "invept  #Gd , #Mo "},  // 66 0F 38 80
    {2, 0x66, 0x81, "invvpid #Gd , #Mo "},  // 66 0F 38 81
    {2, 0x66, 0x82, "invpcid #Gd , #Mo "},  // 66 0F 38 82
    {2, 0x66, 0xCF, "gf2p8mulb #Vo , @v #Wo "},  // 66 0F 38 CF
    {2, 0x66, 0xDB, "aesimc  #Vo , #Wo "},  // 66 0F 38 DB
    {2, 0x66, 0xDC, "aesenc  #Vo , @v #Wo "},  // 66 0F 38 DC
    {2, 0x66, 0xDD, "aesenclast #Vo , @v #Wo "},  // 66 0F 38 DD
    {2, 0x66, 0xDE, "aesdec  #Vo , @v #Wo "},  // 66 0F 38 DE
    {2, 0x66, 0xDF, "aesdeclast #Vo , @v #Wo "},  // 66 0F 38 DF
    {2, 0x66, 0xF6, "adcx    #Gd , #Ed "},  // 66 0F 38 F6
    {2, 0xF2, 0xF0, "crc32   #Gd , #Eb "},  // F2 0F 38 F0
    {2, 0xF2, 0xF1, "crc32   #Gd , #Ev "},  // F2 0F 38 F1
    {2, 0xF3, 0xF6, "adox    #Gd , #Ed "},  // F3 0F 38 F6
    {3, 0x00, 0x0F, "palignr #Pq , #Qq , #Ib "},  // 0F 3A 0F
    {3, 0x00, 0xCC, "sha1rnds4 #Vo , #Wo , #Ib "},  // 0F 3A CC
    {3, 0x66, 0x08, "roundps #Vo , #Wo , #Ib "},  // 66 0F 3A 08
    {3, 0x66, 0x09, "roundpd #Vo , #Wo , #Ib "},  // 66 0F 3A 09
    {3, 0x66, 0x0A, "roundss #Vo , @v #Wd , #Ib "},  // 66 0F 3A 0A
    {3, 0x66, 0x0B, "roundsd #Vo , @v #Wq , #Ib "},  // 66 0F 3A 0B
    {3, 0x66, 0x0C, "blendps #Vo , @v #Wo , #Ib "},  // 66 0F 3A 0C
    {3, 0x66, 0x0D, "blendpd #Vo , @v #Wo , #Ib "},  // 66 0F 3A 0D
    {3, 0x66, 0x0E, "pblendw #Vo , @v #Wo , #Ib "},  // 66 0F 3A 0E
    {3, 0x66, 0x0F, "palignr #Vo , @v #Wo , #Ib "},  // 66 0F 3A 0F
    {3, 0x66, 0x14, "pextrb  #Ed , #Vo , #Ib "},  // 66 0F 3A 14
    {3, 0x66, 0x15, "pextrw  #Ed , #Vo , #Ib "},  // 66 0F 3A 15
    {3, 0x66, 0x16, "pextrd  #Ed , #Vo , #Ib "},  // 66 0F 3A 16
    {3, 0x66, 0x17, "extractps #Ed , #Vo , #Ib "},  // 66 0F 3A 17
    {3, 0x66, 0x20, "pinsrb  #Vo , @v #Ed , #Ib "},  // 66 0F 3A 20
    {3, 0x66, 0x21, "insertps #Vo , @v #Wd , #Ib "},  // 66 0F 3A 21
    {3, 0x66, 0x22, "pinsrd  #Vo , @v #Ed , #Ib "},  // 66 0F 3A 22
    {3, 0x66, 0x40, "dpps    #Vo , @v #Wo , #Ib "},  // 66 0F 3A 40
    {3, 0x66, 0x41, "dppd    #Vo , @v #Wo , #Ib "},  // 66 0F 3A 41
    {3, 0x66, 0x42, "mpsadbw #Vo , @v #Wo , #Ib "},  // 66 0F 3A 42
    {3, 0x66, 0x44, "pclmulqdq #Vo , @v #Wo , #Ib "},  // 66 0F 3A 44
    {3, 0x66, 0x60, "pcmpestrm #Vo , #Wo , #Ib "},  // 66 0F 3A 60
    {3, 0x66, 0x61, "pcmpestri #Vo , #Wo , #Ib "},  // 66 0F 3A 61
    {3, 0x66, 0x62, "pcmpistrm #Vo , #Wo , #Ib "},  // 66 0F 3A 62
    {3, 0x66, 0x63, "pcmpistri #Vo , #Wo , #Ib "},  // 66 0F 3A 63
    {3, 0x66, 0xCE, "gf2p8affineqb #Vo , @v #Wo , #Ib "},  // 66 0F 3A CE
    {3, 0x66, 0xCF, "gf2p8affineinvqb #Vo , @v #Wo , #Ib "},  // 66 0F 3A CF
    {3, 0x66, 0xDF, "aeskeygenassist #Vo , #Wo , #Ib "},  // 66 0F 3A DF
    {1, 0x66, 0x78, "extrq   #Uo , #Ib , #Ib "},  // 66 0F 78
    {1, 0x66, 0x79, "extrq   #Vo , #Uo "},  // 66 0F 79
    {1, 0xF3, 0x09, "wbnoinvd"},  // F3 0F 09
    {1, 0xF3, 0x2B, "movntss #Md , #Vo "},  // F3 0F 2B
    {1, 0xF2, 0x2B, "movntsd #Mq , #Vo "},  // F2 0F 2B
    {1, 0xF2, 0x78, "insertq #Vo , #Uo , #Ib , #Ib "},  // F2 0F 78
    {1, 0xF2, 0x79, "insertq #Vo , #Uo "},  // F2 0F 79
    {2, 0x00, 0xFC, "aadd    #Md , #Gd "},  // 0F 38 FC
    {2, 0x66, 0xF8, "movdir64b #Gd , #M  "},  // 66 0F 38 F8
    {2, 0x66, 0xFC, "aand    #Md , #Gd "},  // 66 0F 38 FC
    {2, 0xF3, 0xF8, "enqcmds #Gd , #M  "},  // F3 0F 38 F8
    {2, 0xF3, 0xFC, "axor    #Md , #Gd "},  // F3 0F 38 FC
    {2, 0xF2, 0xF8, "enqcmd  #Gd , #M  "},  // F2 0F 38 F8
    {2, 0xF2, 0xFC, "aor     #Md , #Gd "},  // F2 0F 38 FC
};
const size_t PrefixedRowsCount = sizeof PrefixedRows / sizeof PrefixedRows[0];

// Rows that exist only in VEX form; the others are the legacy rows above.
const TMapRow VexRows[] = {
    {2, 0x00, 0xF2, "andn    #Gd , @vr#Ed "},  // 0F 38 F2
    {2, 0x00, 0xF3, "@gm#Ed "},  // 0F 38 F3
    {2, 0x00, 0xF5, "bzhi    #Gd , #Ed @ve"},  // 0F 38 F5
    {2, 0x00, 0xF7, "bextr   #Gd , #Ed @ve"},  // 0F 38 F7
    {2, 0x66, 0x0C, "vpermilps #Vo , @v #Wo "},  // 66 0F 38 0C
    {2, 0x66, 0x0D, "vpermilpd #Vo , @v #Wo "},  // 66 0F 38 0D
    {2, 0x66, 0x0E, "vtestps #Vo , #Wo "},  // 66 0F 38 0E
    {2, 0x66, 0x0F, "vtestpd #Vo , #Wo "},  // 66 0F 38 0F
    {2, 0x66, 0x13, "vcvtph2ps #Vo , #Wq "},  // 66 0F 38 13
    {2, 0x66, 0x16, "vpermps #Vo , @v #Wo "},  // 66 0F 38 16
    {2, 0x66, 0x18, "vbroadcastss #Vo , #Wd "},  // 66 0F 38 18
    {2, 0x66, 0x19, "vbroadcastsd #Vo , #Wq "},  // 66 0F 38 19
    {2, 0x66, 0x1A, "vbroadcastf128 #Vo , #Mu "},  // 66 0F 38 1A
    {2, 0x66, 0x2C, "vmaskmovps #Vo , @v #Mo "},  // 66 0F 38 2C
    {2, 0x66, 0x2D, "vmaskmovpd #Vo , @v #Mo "},  // 66 0F 38 2D
    {2, 0x66, 0x2E, "vmaskmovps #Mo , @v #Vo "},  // 66 0F 38 2E
    {2, 0x66, 0x2F, "vmaskmovpd #Mo , @v #Vo "},  // 66 0F 38 2F
    {2, 0x66, 0x36, "vpermd  #Vo , @v #Wo "},  // 66 0F 38 36
    {2, 0x66, 0x45, "vpsrlv@wd #Vo , @v #Wo "},  // 66 0F 38 45
    {2, 0x66, 0x46, "vpsravd #Vo , @v #Wo "},  // 66 0F 38 46
    {2, 0x66, 0x47, "vpsllv@wd #Vo , @v #Wo "},  // 66 0F 38 47
    {2, 0x66, 0x58, "vpbroadcastd #Vo , #Wd "},  // 66 0F 38 58
    {2, 0x66, 0x59, "vpbroadcastq #Vo , #Wq "},  // 66 0F 38 59
    {2, 0x66, 0x5A, "vbroadcasti128 #Vo , #Mu "},  // 66 0F 38 5A
    {2, 0x66, 0x78, "vpbroadcastb #Vo , #Wb "},  // 66 0F 38 78
    {2, 0x66, 0x79, "vpbroadcastw #Vo , #Ww "},  // 66 0F 38 79
    {2, 0x66, 0x8C, "vpmaskmov@wd #Vo , @v #Mo "},  // 66 0F 38 8C
    {2, 0x66, 0x8E, "vpmaskmov@wd #Mo , @v #Vo "},  // 66 0F 38 8E
    {2, 0x66, 0x90, "vpgatherd@wd #Vo , #Mo @vt"},  // 66 0F 38 90
    {2, 0x66, 0x91, "vpgatherq@wd #Vo , #Mo @vt"},  // 66 0F 38 91
    {2, 0x66, 0x92, "vgatherdp@ws #Vo , #Mo @vt"},  // 66 0F 38 92
    {2, 0x66, 0x93, "vgatherqp@ws #Vo , #Mo @vt"},  // 66 0F 38 93
    {2, 0x66, 0x96, "vfmaddsub132p@ws #Vo , @v #Wo "},  // 66 0F 38 96
    {2, 0x66, 0x97, "vfmsubadd132p@ws #Vo , @v #Wo "},  // 66 0F 38 97
    {2, 0x66, 0x98, "vfmadd132p@ws #Vo , @v #Wo "},  // 66 0F 38 98
    {2, 0x66, 0x99, "vfmadd132s@ws #Vo , @v #Wy "},  // 66 0F 38 99
    {2, 0x66, 0x9A, "vfmsub132p@ws #Vo , @v #Wo "},  // 66 0F 38 9A
    {2, 0x66, 0x9B, "vfmsub132s@ws #Vo , @v #Wy "},  // 66 0F 38 9B
    {2, 0x66, 0x9C, "vfnmadd132p@ws #Vo , @v #Wo "},  // 66 0F 38 9C
    {2, 0x66, 0x9D, "vfnmadd132s@ws #Vo , @v #Wy "},  // 66 0F 38 9D
    {2, 0x66, 0x9E, "vfnmsub132p@ws #Vo , @v #Wo "},  // 66 0F 38 9E
    {2, 0x66, 0x9F, "vfnmsub132s@ws #Vo , @v #Wy "},  // 66 0F 38 9F
    {2, 0x66, 0xA6, "vfmaddsub213p@ws #Vo , @v #Wo "},  // 66 0F 38 A6
    {2, 0x66, 0xA7, "vfmsubadd213p@ws #Vo , @v #Wo "},  // 66 0F 38 A7
    {2, 0x66, 0xA8, "vfmadd213p@ws #Vo , @v #Wo "},  // 66 0F 38 A8
    {2, 0x66, 0xA9, "vfmadd213s@ws #Vo , @v #Wy "},  // 66 0F 38 A9
    {2, 0x66, 0xAA, "vfmsub213p@ws #Vo , @v #Wo "},  // 66 0F 38 AA
    {2, 0x66, 0xAB, "vfmsub213s@ws #Vo , @v #Wy "},  // 66 0F 38 AB
    {2, 0x66, 0xAC, "vfnmadd213p@ws #Vo , @v #Wo "},  // 66 0F 38 AC
    {2, 0x66, 0xAD, "vfnmadd213s@ws #Vo , @v #Wy "},  // 66 0F 38 AD
    {2, 0x66, 0xAE, "vfnmsub213p@ws #Vo , @v #Wo "},  // 66 0F 38 AE
    {2, 0x66, 0xAF, "vfnmsub213s@ws #Vo , @v #Wy "},  // 66 0F 38 AF
    {2, 0x66, 0xB6, "vfmaddsub231p@ws #Vo , @v #Wo "},  // 66 0F 38 B6
    {2, 0x66, 0xB7, "vfmsubadd231p@ws #Vo , @v #Wo "},  // 66 0F 38 B7
    {2, 0x66, 0xB8, "vfmadd231p@ws #Vo , @v #Wo "},  // 66 0F 38 B8
    {2, 0x66, 0xB9, "vfmadd231s@ws #Vo , @v #Wy "},  // 66 0F 38 B9
    {2, 0x66, 0xBA, "vfmsub231p@ws #Vo , @v #Wo "},  // 66 0F 38 BA
    {2, 0x66, 0xBB, "vfmsub231s@ws #Vo , @v #Wy "},  // 66 0F 38 BB
    {2, 0x66, 0xBC, "vfnmadd231p@ws #Vo , @v #Wo "},  // 66 0F 38 BC
    {2, 0x66, 0xBD, "vfnmadd231s@ws #Vo , @v #Wy "},  // 66 0F 38 BD
    {2, 0x66, 0xBE, "vfnmsub231p@ws #Vo , @v #Wo "},  // 66 0F 38 BE
    {2, 0x66, 0xBF, "vfnmsub231s@ws #Vo , @v #Wy "},  // 66 0F 38 BF
    {2, 0x66, 0xF7, "shlx    #Gd , #Ed @ve"},  // 66 0F 38 F7
    {2, 0xF2, 0xF5, "pdep    #Gd , @vr#Ed "},  // F2 0F 38 F5
    {2, 0xF2, 0xF6, "mulx    #Gd , @vr#Ed "},  // F2 0F 38 F6
    {2, 0xF2, 0xF7, "shrx    #Gd , #Ed @ve"},  // F2 0F 38 F7
    {2, 0xF3, 0xF5, "pext    #Gd , @vr#Ed "},  // F3 0F 38 F5
    {2, 0xF3, 0xF7, "sarx    #Gd , #Ed @ve"},  // F3 0F 38 F7
    {3, 0x66, 0x00, "vpermq  #Vo , #Wo , #Ib "},  // 66 0F 3A 00
    {3, 0x66, 0x01, "vpermpd #Vo , #Wo , #Ib "},  // 66 0F 3A 01
    {3, 0x66, 0x02, "vpblendd #Vo , @v #Wo , #Ib "},  // 66 0F 3A 02
    {3, 0x66, 0x04, "vpermilps #Vo , #Wo , #Ib "},  // 66 0F 3A 04
    {3, 0x66, 0x05, "vpermilpd #Vo , #Wo , #Ib "},  // 66 0F 3A 05
    {3, 0x66, 0x06, "vperm2f128 #Vo , @v #Wo , #Ib "},  // 66 0F 3A 06
    {3, 0x66, 0x18, "vinsertf128 #Vo , @v #Wu , #Ib "},  // 66 0F 3A 18
    {3, 0x66, 0x19, "vextractf128 #Wu , #Vo , #Ib "},  // 66 0F 3A 19
    {3, 0x66, 0x1D, "vcvtps2ph #Wq , #Vo , #Ib "},  // 66 0F 3A 1D
    {3, 0x66, 0x38, "vinserti128 #Vo , @v #Wu , #Ib "},  // 66 0F 3A 38
    {3, 0x66, 0x39, "vextracti128 #Wu , #Vo , #Ib "},  // 66 0F 3A 39
    {3, 0x66, 0x46, "vperm2i128 #Vo , @v #Wo , #Ib "},  // 66 0F 3A 46
    {3, 0x66, 0x4A, "vblendvps #Vo , @v #Wo , #Ib "},  // 66 0F 3A 4A
    {3, 0x66, 0x4B, "vblendvpd #Vo , @v #Wo , #Ib "},  // 66 0F 3A 4B
    {3, 0x66, 0x4C, "vpblendvb #Vo , @v #Wo , #Ib "},  // 66 0F 3A 4C
    {3, 0xF2, 0xF0, "rorx    #Gd , #Ed , #Ib "},  // F2 0F 3A F0
};
const size_t VexRowsCount = sizeof VexRows / sizeof VexRows[0];

const char* const FloatEscapes[576] = {
    "fadd    #Ed ",  // D8 memory, reg 0
    "fmul    #Ed ",  // D8 memory, reg 1
    "fcom    #Ed ",  // D8 memory, reg 2
    "fcomp   #Ed ",  // D8 memory, reg 3
    "fsub    #Ed ",  // D8 memory, reg 4
    "fsubr   #Ed ",  // D8 memory, reg 5
    "fdiv    #Ed ",  // D8 memory, reg 6
    "fdivr   #Ed ",  // D8 memory, reg 7
    "fadd    st(0)",  // D8 C0
    "fadd    st(1)",  // D8 C1
    "fadd    st(2)",  // D8 C2
    "fadd    st(3)",  // D8 C3
    "fadd    st(4)",  // D8 C4
    "fadd    st(5)",  // D8 C5
    "fadd    st(6)",  // D8 C6
    "fadd    st(7)",  // D8 C7
    "fmul    st(0)",  // D8 C8
    "fmul    st(1)",  // D8 C9
    "fmul    st(2)",  // D8 CA
    "fmul    st(3)",  // D8 CB
    "fmul    st(4)",  // D8 CC
    "fmul    st(5)",  // D8 CD
    "fmul    st(6)",  // D8 CE
    "fmul    st(7)",  // D8 CF
    "fcom    st(0)",  // D8 D0
    "fcom    st(1)",  // D8 D1
    "fcom    st(2)",  // D8 D2
    "fcom    st(3)",  // D8 D3
    "fcom    st(4)",  // D8 D4
    "fcom    st(5)",  // D8 D5
    "fcom    st(6)",  // D8 D6
    "fcom    st(7)",  // D8 D7
    "fcomp   st(0)",  // D8 D8
    "fcomp   st(1)",  // D8 D9
    "fcomp   st(2)",  // D8 DA
    "fcomp   st(3)",  // D8 DB
    "fcomp   st(4)",  // D8 DC
    "fcomp   st(5)",  // D8 DD
    "fcomp   st(6)",  // D8 DE
    "fcomp   st(7)",  // D8 DF
    "fsub    st(0)",  // D8 E0
    "fsub    st(1)",  // D8 E1
    "fsub    st(2)",  // D8 E2
    "fsub    st(3)",  // D8 E3
    "fsub    st(4)",  // D8 E4
    "fsub    st(5)",  // D8 E5
    "fsub    st(6)",  // D8 E6
    "fsub    st(7)",  // D8 E7
    "fsubr   st(0)",  // D8 E8
    "fsubr   st(1)",  // D8 E9
    "fsubr   st(2)",  // D8 EA
    "fsubr   st(3)",  // D8 EB
    "fsubr   st(4)",  // D8 EC
    "fsubr   st(5)",  // D8 ED
    "fsubr   st(6)",  // D8 EE
    "fsubr   st(7)",  // D8 EF
    "fdiv    st(0)",  // D8 F0
    "fdiv    st(1)",  // D8 F1
    "fdiv    st(2)",  // D8 F2
    "fdiv    st(3)",  // D8 F3
    "fdiv    st(4)",  // D8 F4
    "fdiv    st(5)",  // D8 F5
    "fdiv    st(6)",  // D8 F6
    "fdiv    st(7)",  // D8 F7
    "fdivr   st(0)",  // D8 F8
    "fdivr   st(1)",  // D8 F9
    "fdivr   st(2)",  // D8 FA
    "fdivr   st(3)",  // D8 FB
    "fdivr   st(4)",  // D8 FC
    "fdivr   st(5)",  // D8 FD
    "fdivr   st(6)",  // D8 FE
    "fdivr   st(7)",  // D8 FF
    "fld     #Ed ",  // D9 memory, reg 0
    "%c      #Ed ",  // D9 memory, reg 1
    "fst     #Ed ",  // D9 memory, reg 2
    "fstp    #Ed ",  // D9 memory, reg 3
    "fldenv  #M  ",  // D9 memory, reg 4
    "fldcw   #Ew ",  // D9 memory, reg 5
    "fnstenv #M  ",  // D9 memory, reg 6
    "fnstcw  #Ew ",  // D9 memory, reg 7
    "fld     st(0)",  // D9 C0
    "fld     st(1)",  // D9 C1
    "fld     st(2)",  // D9 C2
    "fld     st(3)",  // D9 C3
    "fld     st(4)",  // D9 C4
    "fld     st(5)",  // D9 C5
    "fld     st(6)",  // D9 C6
    "fld     st(7)",  // D9 C7
    "fxch    st(0)",  // D9 C8
    "fxch    st(1)",  // D9 C9
    "fxch    st(2)",  // D9 CA
    "fxch    st(3)",  // D9 CB
    "fxch    st(4)",  // D9 CC
    "fxch    st(5)",  // D9 CD
    "fxch    st(6)",  // D9 CE
    "fxch    st(7)",  // D9 CF
    "fnop",  // D9 D0
    "%c ",  // D9 D1
    "%c ",  // D9 D2
    "%c ",  // D9 D3
    "%c ",  // D9 D4
    "%c ",  // D9 D5
    "%c ",  // D9 D6
    "%c ",  // D9 D7
    "%c ",  // D9 D8
    "%c ",  // D9 D9
    "%c ",  // D9 DA
    "%c ",  // D9 DB
    "%c ",  // D9 DC
    "%c ",  // D9 DD
    "%c ",  // D9 DE
    "%c ",  // D9 DF
    "fchs",  // D9 E0
    "fabs",  // D9 E1
    "%c ",  // D9 E2
    "%c ",  // D9 E3
    "ftst",  // D9 E4
    "fxam",  // D9 E5
    "%c ",  // D9 E6
    "%c ",  // D9 E7
    "fld1",  // D9 E8
    "fldl2t",  // D9 E9
    "fldl2e",  // D9 EA
    "fldpi",  // D9 EB
    "fldlg2",  // D9 EC
    "fldln2",  // D9 ED
    "fldz",  // D9 EE
    "%c ",  // D9 EF
    "f2xm1",  // D9 F0
    "fyl2x",  // D9 F1
    "fptan",  // D9 F2
    "fpatan",  // D9 F3
    "fxtract",  // D9 F4
    "fprem1",  // D9 F5
    "fdecstp",  // D9 F6
    "fincstp",  // D9 F7
    "fprem",  // D9 F8
    "fyl2xp1",  // D9 F9
    "fsqrt",  // D9 FA
    "fsincos",  // D9 FB
    "frndint",  // D9 FC
    "fscale",  // D9 FD
    "fsin",  // D9 FE
    "fcos",  // D9 FF
    "fiadd   #Ed ",  // DA memory, reg 0
    "fimul   #Ed ",  // DA memory, reg 1
    "ficom   #Ed ",  // DA memory, reg 2
    "ficomp  #Ed ",  // DA memory, reg 3
    "fisub   #Ed ",  // DA memory, reg 4
    "fisubr  #Ed ",  // DA memory, reg 5
    "fidiv   #Ed ",  // DA memory, reg 6
    "fidivr  #Ed ",  // DA memory, reg 7
    "fcmovb  st(0), st(0)",  // DA C0
    "fcmovb  st(0), st(1)",  // DA C1
    "fcmovb  st(0), st(2)",  // DA C2
    "fcmovb  st(0), st(3)",  // DA C3
    "fcmovb  st(0), st(4)",  // DA C4
    "fcmovb  st(0), st(5)",  // DA C5
    "fcmovb  st(0), st(6)",  // DA C6
    "fcmovb  st(0), st(7)",  // DA C7
    "fcmove  st(0), st(0)",  // DA C8
    "fcmove  st(0), st(1)",  // DA C9
    "fcmove  st(0), st(2)",  // DA CA
    "fcmove  st(0), st(3)",  // DA CB
    "fcmove  st(0), st(4)",  // DA CC
    "fcmove  st(0), st(5)",  // DA CD
    "fcmove  st(0), st(6)",  // DA CE
    "fcmove  st(0), st(7)",  // DA CF
    "fcmovbe st(0), st(0)",  // DA D0
    "fcmovbe st(0), st(1)",  // DA D1
    "fcmovbe st(0), st(2)",  // DA D2
    "fcmovbe st(0), st(3)",  // DA D3
    "fcmovbe st(0), st(4)",  // DA D4
    "fcmovbe st(0), st(5)",  // DA D5
    "fcmovbe st(0), st(6)",  // DA D6
    "fcmovbe st(0), st(7)",  // DA D7
    "fcmovu  st(0), st(0)",  // DA D8
    "fcmovu  st(0), st(1)",  // DA D9
    "fcmovu  st(0), st(2)",  // DA DA
    "fcmovu  st(0), st(3)",  // DA DB
    "fcmovu  st(0), st(4)",  // DA DC
    "fcmovu  st(0), st(5)",  // DA DD
    "fcmovu  st(0), st(6)",  // DA DE
    "fcmovu  st(0), st(7)",  // DA DF
    "%c ",  // DA E0
    "%c ",  // DA E1
    "%c ",  // DA E2
    "%c ",  // DA E3
    "%c ",  // DA E4
    "%c ",  // DA E5
    "%c ",  // DA E6
    "%c ",  // DA E7
    "%c ",  // DA E8
    "fucompp",  // DA E9
    "%c ",  // DA EA
    "%c ",  // DA EB
    "%c ",  // DA EC
    "%c ",  // DA ED
    "%c ",  // DA EE
    "%c ",  // DA EF
    "%c ",  // DA F0
    "%c ",  // DA F1
    "%c ",  // DA F2
    "%c ",  // DA F3
    "%c ",  // DA F4
    "%c ",  // DA F5
    "%c ",  // DA F6
    "%c ",  // DA F7
    "%c ",  // DA F8
    "%c ",  // DA F9
    "%c ",  // DA FA
    "%c ",  // DA FB
    "%c ",  // DA FC
    "%c ",  // DA FD
    "%c ",  // DA FE
    "%c ",  // DA FF
    "fild    #Ed ",  // DB memory, reg 0
    "fisttp  #Ed ",  // DB memory, reg 1
    "fist    #Ed ",  // DB memory, reg 2
    "fistp   #Ed ",  // DB memory, reg 3
    "%c      #Ed ",  // DB memory, reg 4
    "fld     #Et ",  // DB memory, reg 5
    "%c      #Ed ",  // DB memory, reg 6
    "fstp    #Et ",  // DB memory, reg 7
    "fcmovnb st(0), st(0)",  // DB C0
    "fcmovnb st(0), st(1)",  // DB C1
    "fcmovnb st(0), st(2)",  // DB C2
    "fcmovnb st(0), st(3)",  // DB C3
    "fcmovnb st(0), st(4)",  // DB C4
    "fcmovnb st(0), st(5)",  // DB C5
    "fcmovnb st(0), st(6)",  // DB C6
    "fcmovnb st(0), st(7)",  // DB C7
    "fcmovne st(0), st(0)",  // DB C8
    "fcmovne st(0), st(1)",  // DB C9
    "fcmovne st(0), st(2)",  // DB CA
    "fcmovne st(0), st(3)",  // DB CB
    "fcmovne st(0), st(4)",  // DB CC
    "fcmovne st(0), st(5)",  // DB CD
    "fcmovne st(0), st(6)",  // DB CE
    "fcmovne st(0), st(7)",  // DB CF
    "fcmovnbe st(0), st(0)",  // DB D0
    "fcmovnbe st(0), st(1)",  // DB D1
    "fcmovnbe st(0), st(2)",  // DB D2
    "fcmovnbe st(0), st(3)",  // DB D3
    "fcmovnbe st(0), st(4)",  // DB D4
    "fcmovnbe st(0), st(5)",  // DB D5
    "fcmovnbe st(0), st(6)",  // DB D6
    "fcmovnbe st(0), st(7)",  // DB D7
    "fcmovnu st(0), st(0)",  // DB D8
    "fcmovnu st(0), st(1)",  // DB D9
    "fcmovnu st(0), st(2)",  // DB DA
    "fcmovnu st(0), st(3)",  // DB DB
    "fcmovnu st(0), st(4)",  // DB DC
    "fcmovnu st(0), st(5)",  // DB DD
    "fcmovnu st(0), st(6)",  // DB DE
    "fcmovnu st(0), st(7)",  // DB DF
    "%c ",  // DB E0
    "%c ",  // DB E1
    "fnclex",  // DB E2
    "fninit",  // DB E3
    "%c ",  // DB E4
    "%c ",  // DB E5
    "%c ",  // DB E6
    "%c ",  // DB E7
    "fucomi  st(0), st(0)",  // DB E8
    "fucomi  st(0), st(1)",  // DB E9
    "fucomi  st(0), st(2)",  // DB EA
    "fucomi  st(0), st(3)",  // DB EB
    "fucomi  st(0), st(4)",  // DB EC
    "fucomi  st(0), st(5)",  // DB ED
    "fucomi  st(0), st(6)",  // DB EE
    "fucomi  st(0), st(7)",  // DB EF
    "fcomi   st(0), st(0)",  // DB F0
    "fcomi   st(0), st(1)",  // DB F1
    "fcomi   st(0), st(2)",  // DB F2
    "fcomi   st(0), st(3)",  // DB F3
    "fcomi   st(0), st(4)",  // DB F4
    "fcomi   st(0), st(5)",  // DB F5
    "fcomi   st(0), st(6)",  // DB F6
    "fcomi   st(0), st(7)",  // DB F7
    "%c ",  // DB F8
    "%c ",  // DB F9
    "%c ",  // DB FA
    "%c ",  // DB FB
    "%c ",  // DB FC
    "%c ",  // DB FD
    "%c ",  // DB FE
    "%c ",  // DB FF
    "fadd    #Eq ",  // DC memory, reg 0
    "fmul    #Eq ",  // DC memory, reg 1
    "fcom    #Eq ",  // DC memory, reg 2
    "fcomp   #Eq ",  // DC memory, reg 3
    "fsub    #Eq ",  // DC memory, reg 4
    "fsubr   #Eq ",  // DC memory, reg 5
    "fdiv    #Eq ",  // DC memory, reg 6
    "fdivr   #Eq ",  // DC memory, reg 7
    "fadd    st(0), st(0)",  // DC C0
    "fadd    st(1), st(0)",  // DC C1
    "fadd    st(2), st(0)",  // DC C2
    "fadd    st(3), st(0)",  // DC C3
    "fadd    st(4), st(0)",  // DC C4
    "fadd    st(5), st(0)",  // DC C5
    "fadd    st(6), st(0)",  // DC C6
    "fadd    st(7), st(0)",  // DC C7
    "fmul    st(0), st(0)",  // DC C8
    "fmul    st(1), st(0)",  // DC C9
    "fmul    st(2), st(0)",  // DC CA
    "fmul    st(3), st(0)",  // DC CB
    "fmul    st(4), st(0)",  // DC CC
    "fmul    st(5), st(0)",  // DC CD
    "fmul    st(6), st(0)",  // DC CE
    "fmul    st(7), st(0)",  // DC CF
    "%c ",  // DC D0
    "%c ",  // DC D1
    "%c ",  // DC D2
    "%c ",  // DC D3
    "%c ",  // DC D4
    "%c ",  // DC D5
    "%c ",  // DC D6
    "%c ",  // DC D7
    "%c ",  // DC D8
    "%c ",  // DC D9
    "%c ",  // DC DA
    "%c ",  // DC DB
    "%c ",  // DC DC
    "%c ",  // DC DD
    "%c ",  // DC DE
    "%c ",  // DC DF
    "fsubr   st(0), st(0)",  // DC E0
    "fsubr   st(1), st(0)",  // DC E1
    "fsubr   st(2), st(0)",  // DC E2
    "fsubr   st(3), st(0)",  // DC E3
    "fsubr   st(4), st(0)",  // DC E4
    "fsubr   st(5), st(0)",  // DC E5
    "fsubr   st(6), st(0)",  // DC E6
    "fsubr   st(7), st(0)",  // DC E7
    "fsub    st(0), st(0)",  // DC E8
    "fsub    st(1), st(0)",  // DC E9
    "fsub    st(2), st(0)",  // DC EA
    "fsub    st(3), st(0)",  // DC EB
    "fsub    st(4), st(0)",  // DC EC
    "fsub    st(5), st(0)",  // DC ED
    "fsub    st(6), st(0)",  // DC EE
    "fsub    st(7), st(0)",  // DC EF
    "fdivr   st(0), st(0)",  // DC F0
    "fdivr   st(1), st(0)",  // DC F1
    "fdivr   st(2), st(0)",  // DC F2
    "fdivr   st(3), st(0)",  // DC F3
    "fdivr   st(4), st(0)",  // DC F4
    "fdivr   st(5), st(0)",  // DC F5
    "fdivr   st(6), st(0)",  // DC F6
    "fdivr   st(7), st(0)",  // DC F7
    "fdiv    st(0), st(0)",  // DC F8
    "fdiv    st(1), st(0)",  // DC F9
    "fdiv    st(2), st(0)",  // DC FA
    "fdiv    st(3), st(0)",  // DC FB
    "fdiv    st(4), st(0)",  // DC FC
    "fdiv    st(5), st(0)",  // DC FD
    "fdiv    st(6), st(0)",  // DC FE
    "fdiv    st(7), st(0)",  // DC FF
    "fld     #Eq ",  // DD memory, reg 0
    "fisttp  #Eq ",  // DD memory, reg 1
    "fst     #Eq ",  // DD memory, reg 2
    "fstp    #Eq ",  // DD memory, reg 3
    "frstor  #M  ",  // DD memory, reg 4
    "%c      #Ed ",  // DD memory, reg 5
    "fnsave  #M  ",  // DD memory, reg 6
    "fnstsw  #Ew ",  // DD memory, reg 7
    "ffree   st(0)",  // DD C0
    "ffree   st(1)",  // DD C1
    "ffree   st(2)",  // DD C2
    "ffree   st(3)",  // DD C3
    "ffree   st(4)",  // DD C4
    "ffree   st(5)",  // DD C5
    "ffree   st(6)",  // DD C6
    "ffree   st(7)",  // DD C7
    "%c ",  // DD C8
    "%c ",  // DD C9
    "%c ",  // DD CA
    "%c ",  // DD CB
    "%c ",  // DD CC
    "%c ",  // DD CD
    "%c ",  // DD CE
    "%c ",  // DD CF
    "fst     st(0)",  // DD D0
    "fst     st(1)",  // DD D1
    "fst     st(2)",  // DD D2
    "fst     st(3)",  // DD D3
    "fst     st(4)",  // DD D4
    "fst     st(5)",  // DD D5
    "fst     st(6)",  // DD D6
    "fst     st(7)",  // DD D7
    "fstp    st(0)",  // DD D8
    "fstp    st(1)",  // DD D9
    "fstp    st(2)",  // DD DA
    "fstp    st(3)",  // DD DB
    "fstp    st(4)",  // DD DC
    "fstp    st(5)",  // DD DD
    "fstp    st(6)",  // DD DE
    "fstp    st(7)",  // DD DF
    "fucom   st(0)",  // DD E0
    "fucom   st(1)",  // DD E1
    "fucom   st(2)",  // DD E2
    "fucom   st(3)",  // DD E3
    "fucom   st(4)",  // DD E4
    "fucom   st(5)",  // DD E5
    "fucom   st(6)",  // DD E6
    "fucom   st(7)",  // DD E7
    "fucomp  st(0)",  // DD E8
    "fucomp  st(1)",  // DD E9
    "fucomp  st(2)",  // DD EA
    "fucomp  st(3)",  // DD EB
    "fucomp  st(4)",  // DD EC
    "fucomp  st(5)",  // DD ED
    "fucomp  st(6)",  // DD EE
    "fucomp  st(7)",  // DD EF
    "%c ",  // DD F0
    "%c ",  // DD F1
    "%c ",  // DD F2
    "%c ",  // DD F3
    "%c ",  // DD F4
    "%c ",  // DD F5
    "%c ",  // DD F6
    "%c ",  // DD F7
    "%c ",  // DD F8
    "%c ",  // DD F9
    "%c ",  // DD FA
    "%c ",  // DD FB
    "%c ",  // DD FC
    "%c ",  // DD FD
    "%c ",  // DD FE
    "%c ",  // DD FF
    "fiadd   #Ew ",  // DE memory, reg 0
    "fimul   #Ew ",  // DE memory, reg 1
    "ficom   #Ew ",  // DE memory, reg 2
    "ficomp  #Ew ",  // DE memory, reg 3
    "fisub   #Ew ",  // DE memory, reg 4
    "fisubr  #Ew ",  // DE memory, reg 5
    "fidiv   #Ew ",  // DE memory, reg 6
    "fidivr  #Ew ",  // DE memory, reg 7
    "faddp   st(0), st(0)",  // DE C0
    "faddp   st(1), st(0)",  // DE C1
    "faddp   st(2), st(0)",  // DE C2
    "faddp   st(3), st(0)",  // DE C3
    "faddp   st(4), st(0)",  // DE C4
    "faddp   st(5), st(0)",  // DE C5
    "faddp   st(6), st(0)",  // DE C6
    "faddp   st(7), st(0)",  // DE C7
    "fmulp   st(0), st(0)",  // DE C8
    "fmulp   st(1), st(0)",  // DE C9
    "fmulp   st(2), st(0)",  // DE CA
    "fmulp   st(3), st(0)",  // DE CB
    "fmulp   st(4), st(0)",  // DE CC
    "fmulp   st(5), st(0)",  // DE CD
    "fmulp   st(6), st(0)",  // DE CE
    "fmulp   st(7), st(0)",  // DE CF
    "%c ",  // DE D0
    "%c ",  // DE D1
    "%c ",  // DE D2
    "%c ",  // DE D3
    "%c ",  // DE D4
    "%c ",  // DE D5
    "%c ",  // DE D6
    "%c ",  // DE D7
    "%c ",  // DE D8
    "fcompp",  // DE D9
    "%c ",  // DE DA
    "%c ",  // DE DB
    "%c ",  // DE DC
    "%c ",  // DE DD
    "%c ",  // DE DE
    "%c ",  // DE DF
    "fsubrp  st(0), st(0)",  // DE E0
    "fsubrp  st(1), st(0)",  // DE E1
    "fsubrp  st(2), st(0)",  // DE E2
    "fsubrp  st(3), st(0)",  // DE E3
    "fsubrp  st(4), st(0)",  // DE E4
    "fsubrp  st(5), st(0)",  // DE E5
    "fsubrp  st(6), st(0)",  // DE E6
    "fsubrp  st(7), st(0)",  // DE E7
    "fsubp   st(0), st(0)",  // DE E8
    "fsubp   st(1), st(0)",  // DE E9
    "fsubp   st(2), st(0)",  // DE EA
    "fsubp   st(3), st(0)",  // DE EB
    "fsubp   st(4), st(0)",  // DE EC
    "fsubp   st(5), st(0)",  // DE ED
    "fsubp   st(6), st(0)",  // DE EE
    "fsubp   st(7), st(0)",  // DE EF
    "fdivrp  st(0), st(0)",  // DE F0
    "fdivrp  st(1), st(0)",  // DE F1
    "fdivrp  st(2), st(0)",  // DE F2
    "fdivrp  st(3), st(0)",  // DE F3
    "fdivrp  st(4), st(0)",  // DE F4
    "fdivrp  st(5), st(0)",  // DE F5
    "fdivrp  st(6), st(0)",  // DE F6
    "fdivrp  st(7), st(0)",  // DE F7
    "fdivp   st(0), st(0)",  // DE F8
    "fdivp   st(1), st(0)",  // DE F9
    "fdivp   st(2), st(0)",  // DE FA
    "fdivp   st(3), st(0)",  // DE FB
    "fdivp   st(4), st(0)",  // DE FC
    "fdivp   st(5), st(0)",  // DE FD
    "fdivp   st(6), st(0)",  // DE FE
    "fdivp   st(7), st(0)",  // DE FF
    "fild    #Ew ",  // DF memory, reg 0
    "fisttp  #Ew ",  // DF memory, reg 1
    "fist    #Ew ",  // DF memory, reg 2
    "fistp   #Ew ",  // DF memory, reg 3
    "fbld    #Et ",  // DF memory, reg 4
    "fild    #Eq ",  // DF memory, reg 5
    "fbstp   #Et ",  // DF memory, reg 6
    "fistp   #Eq ",  // DF memory, reg 7
    "ffreep  st(0)",  // DF C0
    "ffreep  st(1)",  // DF C1
    "ffreep  st(2)",  // DF C2
    "ffreep  st(3)",  // DF C3
    "ffreep  st(4)",  // DF C4
    "ffreep  st(5)",  // DF C5
    "ffreep  st(6)",  // DF C6
    "ffreep  st(7)",  // DF C7
    "%c ",  // DF C8
    "%c ",  // DF C9
    "%c ",  // DF CA
    "%c ",  // DF CB
    "%c ",  // DF CC
    "%c ",  // DF CD
    "%c ",  // DF CE
    "%c ",  // DF CF
    "%c ",  // DF D0
    "%c ",  // DF D1
    "%c ",  // DF D2
    "%c ",  // DF D3
    "%c ",  // DF D4
    "%c ",  // DF D5
    "%c ",  // DF D6
    "%c ",  // DF D7
    "%c ",  // DF D8
    "%c ",  // DF D9
    "%c ",  // DF DA
    "%c ",  // DF DB
    "%c ",  // DF DC
    "%c ",  // DF DD
    "%c ",  // DF DE
    "%c ",  // DF DF
    "fnstsw  ax",  // DF E0
    "%c ",  // DF E1
    "%c ",  // DF E2
    "%c ",  // DF E3
    "%c ",  // DF E4
    "%c ",  // DF E5
    "%c ",  // DF E6
    "%c ",  // DF E7
    "fucomip st(0), st(0)",  // DF E8
    "fucomip st(0), st(1)",  // DF E9
    "fucomip st(0), st(2)",  // DF EA
    "fucomip st(0), st(3)",  // DF EB
    "fucomip st(0), st(4)",  // DF EC
    "fucomip st(0), st(5)",  // DF ED
    "fucomip st(0), st(6)",  // DF EE
    "fucomip st(0), st(7)",  // DF EF
    "fcomip  st(0), st(0)",  // DF F0
    "fcomip  st(0), st(1)",  // DF F1
    "fcomip  st(0), st(2)",  // DF F2
    "fcomip  st(0), st(3)",  // DF F3
    "fcomip  st(0), st(4)",  // DF F4
    "fcomip  st(0), st(5)",  // DF F5
    "fcomip  st(0), st(6)",  // DF F6
    "fcomip  st(0), st(7)",  // DF F7
    "%c ",  // DF F8
    "%c ",  // DF F9
    "%c ",  // DF FA
    "%c ",  // DF FB
    "%c ",  // DF FC
    "%c ",  // DF FD
    "%c ",  // DF FE
    "%c ",  // DF FF
};

}  // namespace drevnik::disasm_tables
