// Preloaded into 32-bit Wine's processes where they run under qemu-user (the harness sets
// LD_PRELOAD for the emulated processes alone, through qemu's QEMU_SET_ENV): gives a page
// fault's signal frame the trap number a kernel gives it.
//
// qemu-user writes its CPU's pending exception number into the frame's trap number, but it
// has already reset that number to -1 when it builds the frame. Wine tells a page fault
// from other faults by trap number 14 alone; with -1 it reports an illegal instruction, so
// the exception guards in its own DLLs (and SEH handlers in programs) that expect an access
// violation miss it. Every other field of the frame (the error code, the faulting address
// in the signal information) is right.
//
// Built freestanding by the harness with the host compiler (-m32), so no 32-bit C library
// headers are needed: the structures below are the i386 Linux ABI's, and the two functions
// it calls come from the process's own C library.

namespace {

struct SignalInformation {
    int number;
    int error;
    int code;
};

using SignalHandler = void (*)(int, SignalInformation*, void*);

// glibc's struct sigaction on i386.
struct SignalAction {
    SignalHandler handler;
    unsigned long mask[32];
    int flags;
    void (*restorer)();
};
static_assert(sizeof(SignalAction) == 140, "struct sigaction of i386 glibc");

// ucontext_t up to its general registers (mcontext_t's gregs).
struct SignalContext {
    unsigned long flags;
    SignalContext* link;
    void* stack;
    int stackFlags;
    unsigned long stackSize;
    int registers[19];
};
static_assert(__builtin_offsetof(SignalContext, registers) == 20, "ucontext_t of i386");

constexpr int SegmentationFault = 11;                     // SIGSEGV
constexpr int WithInformation = 4;                        // SA_SIGINFO
constexpr int NotMapped = 1;                              // SEGV_MAPERR
constexpr int NotAllowed = 2;                             // SEGV_ACCERR
constexpr int TrapNumberRegister = 12;                    // REG_TRAPNO
constexpr int UnknownTrap = -1;                           // what qemu-user leaves there
constexpr int PageFaultTrap = 14;                         // the processor's page fault
void* const NextDefinition = reinterpret_cast<void*>(-1); // RTLD_NEXT

using SigactionFunction = int (*)(int, const SignalAction*, SignalAction*);

SigactionFunction RealSigaction;
SignalHandler ProgramFaultHandler;

extern "C" void* dlsym(void* library, const char* name);
extern "C" int unsetenv(const char* name);

// Runs in place of the program's SIGSEGV handler: mends the trap number of a page fault,
// then hands the fault on.
void PageFaultHandler(int signal, SignalInformation* information, void* context) {
    int& trap = static_cast<SignalContext*>(context)->registers[TrapNumberRegister];
    if (trap == UnknownTrap && (information->code == NotMapped || information->code == NotAllowed))
        trap = PageFaultTrap;
    ProgramFaultHandler(signal, information, context);
}

// Finds the C library's sigaction, and takes LD_PRELOAD out of the environment so that
// 64-bit programs started from here are not asked to load this 32-bit library; 32-bit
// ones get it again from the emulator.
__attribute__((constructor)) void StartPreload() {
    RealSigaction = reinterpret_cast<SigactionFunction>(dlsym(NextDefinition, "sigaction"));
    unsetenv("LD_PRELOAD");
}

} // namespace

// Installs a SIGSEGV handler that takes signal information through PageFaultHandler;
// everything else goes to the C library unchanged.
extern "C" int sigaction(int signal, const SignalAction* action, SignalAction* previous) {
    if (signal != SegmentationFault || action == nullptr || !(action->flags & WithInformation))
        return RealSigaction(signal, action, previous);
    SignalAction mended = *action;
    ProgramFaultHandler = action->handler;
    mended.handler = PageFaultHandler;
    return RealSigaction(signal, &mended, previous);
}
