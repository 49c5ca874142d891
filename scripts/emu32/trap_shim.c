/*
 * Loaded into 32-bit Wine processes that run under qemu-i386 (LD_PRELOAD).
 *
 * QEMU's user-mode emulation hands a signal handler a context whose trap
 * number is -1. Wine decides what a fault was from that number alone, so
 * every access violation turns into an illegal-instruction exception and a
 * guard-page touch kills the process. This library wraps the fault handlers
 * Wine installs and rebuilds the trap number from the signal and its
 * si_code, the way the kernel would have filled it in, before calling them.
 *
 * Freestanding on purpose: the machine has the i386 C library that wine32
 * brings, but no 32-bit development headers. Layouts below are glibc's i386
 * ABI. Built with -fno-stack-protector: the handler wrapper runs before Wine
 * has set up its thread state, and the canary lives in thread storage.
 */

typedef unsigned int size_t;

#define SIGILL 4
#define SIGTRAP 5
#define SIGBUS 7
#define SIGFPE 8
#define SIGSEGV 11
#define SA_SIGINFO 4
#define RTLD_NEXT ((void*)-1l)

#define SI_KERNEL 0x80
#define FPE_INTDIV 1
#define FPE_INTOVF 2
#define BUS_ADRALN 1
#define TRAP_TRACE 2

/* x86 trap numbers, as the kernel stores them in the signal context. */
#define TRAP_DIVIDE 0
#define TRAP_TRACE_STEP 1
#define TRAP_BREAKPOINT 3
#define TRAP_OVERFLOW 4
#define TRAP_INVALID_OPCODE 6
#define TRAP_PROTECTION 13
#define TRAP_PAGE_FAULT 14
#define TRAP_FPU 16
#define TRAP_ALIGNMENT 17

typedef struct {
    int si_signo;
    int si_errno;
    int si_code;
} siginfo_head;

typedef void (*info_handler)(int, siginfo_head*, void*);

struct k_sigaction {
    info_handler handler; /* sa_handler / sa_sigaction */
    unsigned long mask[32]; /* sigset_t: 1024 bits */
    int flags;
    void (*restorer)(void);
};

/* ucontext_t on i386: uc_flags, uc_link, uc_stack (3 words), then the
   general registers, of which REG_TRAPNO is number 12. */
#define UC_GREGS_OFFSET 20
#define REG_TRAPNO 12

extern void* dlsym(void* handle, const char* name);

static info_handler wine_handlers[32];

static int rebuilt_trap(int sig, int code) {
    switch (sig) {
    case SIGSEGV: return code == SI_KERNEL ? TRAP_PROTECTION : TRAP_PAGE_FAULT;
    case SIGILL: return TRAP_INVALID_OPCODE;
    case SIGFPE:
        if (code == FPE_INTDIV) return TRAP_DIVIDE;
        if (code == FPE_INTOVF) return TRAP_OVERFLOW;
        return TRAP_FPU;
    case SIGTRAP: return code == SI_KERNEL ? TRAP_BREAKPOINT : TRAP_TRACE_STEP;
    case SIGBUS: return code == BUS_ADRALN ? TRAP_ALIGNMENT : TRAP_PAGE_FAULT;
    }
    return -1;
}

static void fault_wrapper(int sig, siginfo_head* info, void* context) {
    int* trapno = (int*)((char*)context + UC_GREGS_OFFSET) + REG_TRAPNO;
    /* Only the emulator's "unknown"; a real kernel's number stays. */
    if (*trapno == -1 && info) *trapno = rebuilt_trap(sig, info->si_code);
    wine_handlers[sig](sig, info, context);
}

static int is_fault_signal(int sig) {
    return sig == SIGSEGV || sig == SIGILL || sig == SIGFPE || sig == SIGTRAP || sig == SIGBUS;
}

typedef int (*sigaction_fn)(int, const struct k_sigaction*, struct k_sigaction*);

int sigaction(int sig, const struct k_sigaction* act, struct k_sigaction* old) {
    static sigaction_fn real;
    if (!real) real = (sigaction_fn)dlsym(RTLD_NEXT, "sigaction");
    if (!real) return -1;
    struct k_sigaction wrapped;
    const struct k_sigaction* use = act;
    info_handler previous = is_fault_signal(sig) ? wine_handlers[sig] : 0;
    if (act && is_fault_signal(sig) && (act->flags & SA_SIGINFO) && act->handler &&
        act->handler != fault_wrapper) {
        wrapped = *act;
        wrapped.handler = fault_wrapper;
        wine_handlers[sig] = act->handler;
        use = &wrapped;
    }
    int result = real(sig, use, old);
    /* Whoever asks sees the handler it installed, not the wrapper. */
    if (result == 0 && old && old->handler == fault_wrapper) old->handler = previous;
    return result;
}

/* Native programs this process starts must not inherit the preload: the
   64-bit loader would try to load a 32-bit library. Runs at load time, when
   the environment array is still the one the process started with. */
__attribute__((constructor)) static void drop_preload(int argc, char** argv, char** envp) {
    (void)argc;
    (void)argv;
    static const char key[] = "LD_PRELOAD=";
    char** out = envp;
    for (char** in = envp; in && *in; ++in) {
        size_t i = 0;
        while (key[i] && (*in)[i] == key[i]) ++i;
        if (key[i]) *out++ = *in;
    }
    if (out) *out = 0;
}
