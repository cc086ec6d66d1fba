/* Preloaded into the 32-bit Wine processes that run under qemu-i386 user-mode
 * emulation, never into anything else.
 *
 * qemu delivers fault signals with -1 as the trap number of the signal frame
 * (uc_mcontext.gregs[REG_TRAPNO]). Wine decides what a fault is from that
 * number, so without help every access violation would be reported as an
 * illegal instruction and structured exception handling would go astray.
 * This library wraps sigaction for the fault signals: the handler Wine
 * installs is called through a small trampoline that first writes the trap
 * number the processor would have given, derived from the signal and its
 * si_code.
 *
 * Built freestanding (no C library headers, no multilib needed):
 *   gcc -m32 -O2 -fPIC -ffreestanding -fno-stack-protector -nostdlib -shared
 * The one outside symbol, dlsym, is found in the C library the process has
 * already loaded. */

typedef void (*sig_handler)(int, void *, void *);

/* The C library's struct sigaction on i386: the handler, a 128-byte mask,
 * the flags and the restorer. Only the handler and the flags are touched. */
struct libc_sigaction {
    sig_handler handler;
    unsigned long mask[32];
    int flags;
    void (*restorer)(void);
};

enum {
    kSigIll = 4, kSigTrap = 5, kSigBus = 7, kSigFpe = 8, kSigSegv = 11,
    kSaSigInfo = 4,
    kMaxSignal = 65,
    /* ucontext_t on i386: flags, link, a 12-byte stack_t, then the registers. */
    kGregsOffset = 20,
    kRegTrapNo = 12,
    kSiKernel = 0x80,
};

/* Processor trap numbers, as the kernel would have written them. */
enum {
    kTrapDivide = 0, kTrapDebug = 1, kTrapBreakpoint = 3, kTrapOverflow = 4,
    kTrapInvalidOpcode = 6, kTrapProtection = 13, kTrapPageFault = 14,
    kTrapFpu = 16, kTrapAlignment = 17,
};

#define RTLD_NEXT ((void *)-1l)
extern void *dlsym(void *handle, const char *name);

typedef int (*sigaction_fn)(int, const struct libc_sigaction *, struct libc_sigaction *);

static sigaction_fn real_sigaction;
static volatile sig_handler installed[kMaxSignal];

static int is_fault_signal(int sig) {
    return sig == kSigSegv || sig == kSigBus || sig == kSigIll || sig == kSigFpe ||
           sig == kSigTrap;
}

static int trap_for(int sig, int code) {
    switch (sig) {
    case kSigSegv: return code == kSiKernel ? kTrapProtection : kTrapPageFault;
    case kSigBus: return code == 1 /* BUS_ADRALN */ ? kTrapAlignment : kTrapPageFault;
    case kSigIll: return kTrapInvalidOpcode;
    case kSigFpe:
        if (code == 1 /* FPE_INTDIV */) return kTrapDivide;
        if (code == 2 /* FPE_INTOVF */) return kTrapOverflow;
        return kTrapFpu;
    case kSigTrap: return code == 2 /* TRAP_TRACE */ ? kTrapDebug : kTrapBreakpoint;
    }
    return -1;
}

static void trampoline(int sig, void *info, void *context) {
    int *gregs = (int *)((char *)context + kGregsOffset);
    if (context && gregs[kRegTrapNo] == -1) {
        int code = info ? ((const int *)info)[2] : 0; /* si_signo, si_errno, si_code */
        gregs[kRegTrapNo] = trap_for(sig, code);
    }
    sig_handler handler = installed[sig];
    if (handler) handler(sig, info, context);
}

int sigaction(int sig, const struct libc_sigaction *act, struct libc_sigaction *old) {
    if (!real_sigaction) real_sigaction = (sigaction_fn)dlsym(RTLD_NEXT, "sigaction");
    if (!real_sigaction) return -1;
    if (sig <= 0 || sig >= kMaxSignal || !is_fault_signal(sig))
        return real_sigaction(sig, act, old);

    sig_handler previous = installed[sig];
    int rc;
    /* SIG_DFL and SIG_IGN (0 and 1) are passed through as they are. */
    if (act && (act->flags & kSaSigInfo) && (unsigned long)act->handler > 1) {
        struct libc_sigaction wrapped = *act;
        wrapped.handler = trampoline;
        installed[sig] = act->handler;
        rc = real_sigaction(sig, &wrapped, old);
        if (rc != 0) installed[sig] = previous;
    } else {
        rc = real_sigaction(sig, act, old);
        if (rc == 0 && act) installed[sig] = 0;
    }
    if (rc == 0 && old && old->handler == trampoline) old->handler = previous;
    return rc;
}
