/*
 * LD_PRELOAD library for 32-bit Wine under qemu-i386 user-mode emulation.
 *
 * Wine's i386 fault handlers decide what a SIGSEGV/SIGILL/SIGFPE/SIGTRAP/SIGBUS
 * means from the x86 trap number in the signal context. The emulator builds the
 * signal frame with that field still at -1, so a page fault would reach Windows
 * code as an illegal instruction: no guard pages, no stack growth, no access
 * violations. Every fault handler installed through sigaction() is therefore
 * called through a wrapper that supplies the trap number the processor would
 * have given, deduced from the signal and its si_code.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <signal.h>
#include <stddef.h>
#include <ucontext.h>

typedef void (*info_handler)(int, siginfo_t *, void *);
typedef int (*sigaction_call)(int, const struct sigaction *, struct sigaction *);

enum { MAX_SIGNAL = 65 };
static volatile info_handler installed[MAX_SIGNAL];

static int is_fault_signal(int sig)
{
    switch (sig) {
    case SIGSEGV: case SIGBUS: case SIGILL: case SIGFPE: case SIGTRAP: return 1;
    default: return 0;
    }
}

/* x86 exception vectors: 0 #DE, 1 #DB, 3 #BP, 6 #UD, 12 #SS, 13 #GP, 14 #PF, 16 #MF, 17 #AC */
static int trap_number(int sig, const siginfo_t *info)
{
    int code = info->si_code;
    if (sig == SIGSEGV) {
        if (code == SEGV_MAPERR || code == SEGV_ACCERR) return 14;
        return code == SI_KERNEL ? 13 : -1;
    }
    if (sig == SIGBUS) {
        if (code == BUS_ADRALN) return 17;
        return code == SI_KERNEL ? 12 : -1;
    }
    if (sig == SIGILL) return 6;
    if (sig == SIGFPE) return (code == FPE_INTDIV || code == FPE_INTOVF) ? 0 : 16;
    if (sig == SIGTRAP) return code == SI_KERNEL ? 3 : 1;
    return -1;
}

__attribute__((optimize("no-stack-protector")))
static void with_trap_number(int sig, siginfo_t *info, void *context)
{
    greg_t *regs = ((ucontext_t *)context)->uc_mcontext.gregs;
    if (info && info->si_code > 0 && regs[REG_TRAPNO] == (greg_t)-1) {
        int trap = trap_number(sig, info);
        if (trap >= 0) regs[REG_TRAPNO] = trap;
    }
    info_handler next = installed[sig];
    if (next) next(sig, info, context);
}

int sigaction(int sig, const struct sigaction *act, struct sigaction *old)
{
    static sigaction_call libc_sigaction;
    if (!libc_sigaction) libc_sigaction = (sigaction_call)dlsym(RTLD_NEXT, "sigaction");
    if (sig <= 0 || sig >= MAX_SIGNAL || !is_fault_signal(sig))
        return libc_sigaction(sig, act, old);

    info_handler before = installed[sig];
    struct sigaction wrapped;
    int wrap = act && (act->sa_flags & SA_SIGINFO) && act->sa_sigaction
               && act->sa_handler != SIG_DFL && act->sa_handler != SIG_IGN;
    if (wrap) {
        wrapped = *act;
        wrapped.sa_sigaction = with_trap_number;
        installed[sig] = act->sa_sigaction;
    }
    int result = libc_sigaction(sig, wrap ? &wrapped : act, old);
    if (result != 0)
        installed[sig] = before;
    else if (old && old->sa_sigaction == with_trap_number)
        old->sa_sigaction = before;   /* the caller sees its own handler, not the wrapper */
    return result;
}
