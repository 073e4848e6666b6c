// The audio path after setupProcessing, entered as a host enters it: through
// process on the adaptor object. It allocates nothing, locks nothing but the
// plug's own mutex, and makes no system call.
//
// Preset selection through the host's preset parameter is left out: it
// restores a preset's state, which may allocate.
#include "AllocationCounter.h"
#include "FixedParameterChanges.h"
#include "HostBlock.h"
#include "LockCounter.h"
#include "PlugHarness.h"
#include "TestDeadline.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>

#if defined(__linux__) && defined(__x86_64__)
#include "posix/ChildProcess.h"

#include <csignal>
#include <cstddef>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#define AUDIO_PATH_SECCOMP 1
#endif

namespace {

using namespace Steinberg::Vst;

constexpr ParamID kHostBypass = 0x62706173;
constexpr int32_t kMaxBlock = 256;
constexpr int32_t kSessionBlocks = 60;

PlugPtr ProcessingPlug(int32_t sampleSize)
{
    PlugPtr plug(new Tidepull());
    plug->initialize(nullptr);
    ProcessSetup setup{kRealtime, sampleSize, kMaxBlock, 48000.0};
    plug->setupProcessing(setup);
    plug->setActive(true);
    return plug;
}

// A host session: blocks of every kind a host sends, with the plug-in's own
// editor attached (the meter is pushed from the audio thread). `around` wraps
// each process call; everything else a host does between blocks (bus
// activation) happens outside it.
void HostSession(Tidepull& plug, bool is64, const std::function<void(const std::function<void()>&)>& around)
{
    const Signal sig = Program(kMaxBlock * 80, 48000.0, 99);
    HostBlock block(kMaxBlock * 3);
    FixedParameterChanges changes;
    size_t pos = 0;
    for (int32_t b = 0; b < kSessionBlocks; ++b) {
        changes.Clear();
        // Every plug parameter in turn, some blocks several at once.
        for (int32_t k = 0; k <= b % 3; ++k) {
            const int32_t idx = (b + 4 * k) % Tidepull::kNumParams;
            changes.Add(static_cast<ParamID>(idx), static_cast<double>((b * 7 + k) % 11) / 10.0);
        }
        if (b == 20)
            changes.Add(kHostBypass, 1.0);
        if (b == 24)
            changes.Add(kHostBypass, 0.0);
        if (b == 30) {
            plug.activateBus(kAudio, kInput, 1, true);
            changes.Add(Tidepull::kExternalSidechain, 1.0);
        }
        if (b == 40)
            plug.activateBus(kAudio, kInput, 1, false);   // the next block clears the scratch buffers
        // Mostly full blocks; an empty one, an odd one, and one longer than
        // the maximum, which process runs in pieces.
        const int32_t frames = b == 10 ? 0 : (b == 11 ? 77 : (b == 12 ? kMaxBlock * 2 + 5 : kMaxBlock));
        block.Load(sig, pos, frames);
        ProcessData& data = block.Data(is64, frames, b >= 30 && b < 50, &changes);
        around([&] { plug.process(data); });
        pos += static_cast<size_t>(frames);
    }
}

}   // namespace

TEST(AudioPath, ProcessAllocatesNothingAndLocksOnlyThePlugMutex)
{
    for (int32_t sampleSize : {kSample32, kSample64}) {
        SCOPED_TRACE(sampleSize == kSample64 ? "64-bit" : "32-bit");
        PlugPtr plug = ProcessingPlug(sampleSize);
        ASSERT_NE(plug->GetEditor(), nullptr);
        int64_t allocations = 0;
        int64_t foreignLocks = 0;
        int64_t plugLocks = 0;
        int calls = 0;
        HostSession(*plug, sampleSize == kSample64, [&](const std::function<void()>& call) {
            LockCounter::Start(plug->Mutex().native_handle());
            AllocationCounter::Start();
            call();
            allocations += AllocationCounter::Stop();
            foreignLocks += LockCounter::Stop();
            plugLocks += LockCounter::AllowedLocks();
            ++calls;
        });
        EXPECT_EQ(calls, kSessionBlocks);
        EXPECT_EQ(allocations, 0);
        EXPECT_EQ(foreignLocks, 0);
        if (LockCounter::Hooked()) {
            EXPECT_GE(plugLocks, calls);   // the hook does see the plug's own lock
        }
    }

    // The counters see what they should: malloc, operator new, a foreign
    // mutex. Called through volatile pointers, which the compiler cannot
    // elide the way it may drop an unused allocation.
    void* (*volatile mallocFn)(size_t) = std::malloc;
    void* (*volatile newFn)(size_t) = ::operator new;
    AllocationCounter::Start();
    void* a = mallocFn(24);
    void* b = newFn(16);
#if defined(TIDEPULL_SANITIZED)
    EXPECT_GE(AllocationCounter::Stop(), 1);   // malloc is the sanitizer's, not hooked
#else
    EXPECT_EQ(AllocationCounter::Stop(), 2);
#endif
    std::free(a);
    ::operator delete(b);
    if (LockCounter::Hooked()) {
        std::mutex other;
        LockCounter::Start(nullptr);
        other.lock();
        other.unlock();
        EXPECT_EQ(LockCounter::Stop(), 1);
    }
}

#ifdef AUDIO_PATH_SECCOMP

namespace {

// Shared with the parent across fork: the first system call the child was
// stopped at.
volatile long* trappedCall = nullptr;

void OnTrappedCall(int, siginfo_t* info, void*)
{
    *trappedCall = info->si_syscall;
    _exit(3);
}

// From here on every system call but leaving traps into OnTrappedCall.
bool TrapSystemCalls()
{
    struct sigaction sa = {};
    sa.sa_sigaction = OnTrappedCall;
    sa.sa_flags = SA_SIGINFO;
    if (sigaction(SIGSYS, &sa, nullptr) != 0)
        return false;
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_exit_group, 3, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_exit, 2, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_rt_sigreturn, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_TRAP),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program = {static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

}   // namespace

TEST(AudioPath, ProcessMakesNoSystemCall)
{
#if defined(TIDEPULL_SANITIZED)
    GTEST_SKIP() << "the sanitizers' runtime makes system calls of its own";
#endif
    for (int32_t sampleSize : {kSample32, kSample64}) {
        SCOPED_TRACE(sampleSize == kSample64 ? "64-bit" : "32-bit");
        void* shared = mmap(nullptr, sizeof(long), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        ASSERT_NE(shared, MAP_FAILED);
        trappedCall = static_cast<volatile long*>(shared);
        *trappedCall = -1;

        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            PlugPtr plug = ProcessingPlug(sampleSize);
            // A first session outside the trap: lazy symbol binding and first
            // touches of memory are behind us before the second. That one is
            // trapped from its first block to its last, host work between
            // blocks included; the test's own set-up before and clean-up
            // after stay outside.
            HostSession(*plug, sampleSize == kSample64, [](const std::function<void()>& call) { call(); });
            int blocks = 0;
            HostSession(*plug, sampleSize == kSample64, [&blocks](const std::function<void()>& call) {
                if (blocks == 0 && !TrapSystemCalls())
                    _exit(4);
                call();
                if (++blocks == kSessionBlocks)
                    _exit(0);   // exit_group, which the filter lets through
            });
            _exit(5);
        }
        int status = 0;
        const bool ended = ChildProcess::Wait(child, status);
        ASSERT_TRUE(ended) << "the child did not end within " << TestDeadline::LimitText();
        ASSERT_TRUE(WIFEXITED(status)) << "child ended by signal " << WTERMSIG(status);
        if (WEXITSTATUS(status) == 4) {
            munmap(shared, sizeof(long));
            GTEST_SKIP() << "seccomp filters are not available here";
        }
        EXPECT_EQ(WEXITSTATUS(status), 0) << "system call " << *trappedCall << " on the audio path";
        munmap(shared, sizeof(long));
    }
}

#endif
