#include "Platform/Sandbox/SystemCallFilter.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define TARVELO_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARVELO_SANITIZED 1
#endif
#endif

namespace platform::SystemCallFilter {

namespace {

#if defined(__x86_64__)
constexpr std::uint32_t nativeArchitecture = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
constexpr std::uint32_t nativeArchitecture = AUDIT_ARCH_AARCH64;
#elif defined(__riscv) && __riscv_xlen == 64
constexpr std::uint32_t nativeArchitecture = AUDIT_ARCH_RISCV64;
#else
#define TARVELO_NO_SYSTEM_CALL_FILTER 1
#endif

#ifndef TARVELO_NO_SYSTEM_CALL_FILTER

constexpr std::uint32_t deny(int error) {
    return SECCOMP_RET_ERRNO | (static_cast<std::uint32_t>(error) & 0xffff);
}

// Calls a renderer of pictures never makes; each fails with EPERM.
const long deniedCalls[] = {
    // Running programs, and reaching into other processes.
    SYS_execve,
    SYS_execveat,
// (Not in sanitizer builds, whose leak checker traces the process's own
// threads at exit.)
#ifndef TARVELO_SANITIZED
    SYS_ptrace,
#endif
    SYS_process_vm_readv,
    SYS_process_vm_writev,
    SYS_kcmp,
    SYS_pidfd_getfd,
    // The system itself: modules, mounts, clocks, rebooting, swap, accounting.
    SYS_init_module,
    SYS_finit_module,
    SYS_delete_module,
    SYS_kexec_load,
    SYS_kexec_file_load,
    SYS_mount,
    SYS_umount2,
    SYS_pivot_root,
    SYS_chroot,
    SYS_swapon,
    SYS_swapoff,
    SYS_reboot,
    SYS_acct,
    SYS_settimeofday,
    SYS_clock_settime,
    SYS_clock_adjtime,
    SYS_adjtimex,
    SYS_quotactl,
    SYS_syslog,
    SYS_sethostname,
    SYS_setdomainname,
    // Namespaces and the newer mount interface.
    SYS_unshare,
    SYS_setns,
    SYS_open_tree,
    SYS_move_mount,
    SYS_fsopen,
    SYS_fsconfig,
    SYS_fsmount,
    SYS_fspick,
    // Large attack surfaces a renderer does not use; io_uring would also
    // bypass this filter for the operations it queues.
    SYS_bpf,
    SYS_perf_event_open,
    SYS_userfaultfd,
    SYS_keyctl,
    SYS_add_key,
    SYS_request_key,
    SYS_io_uring_setup,
    SYS_io_uring_enter,
    SYS_io_uring_register,
    SYS_open_by_handle_at,
    SYS_name_to_handle_at,
    SYS_fanotify_init,
    SYS_mknodat,
#ifdef SYS_mknod
    SYS_mknod,
#endif
#ifdef SYS_iopl
    SYS_iopl,
    SYS_ioperm,
#endif
};

// The namespace flags of clone; a thread or a fork carries none of them.
constexpr std::uint32_t namespaceFlags =
    CLONE_NEWNS | CLONE_NEWUTS | CLONE_NEWIPC | CLONE_NEWUSER | CLONE_NEWPID | CLONE_NEWNET | CLONE_NEWCGROUP;

sock_filter statement(std::uint16_t code, std::uint32_t value) {
    return BPF_STMT(code, value);
}
sock_filter jump(std::uint16_t code, std::uint32_t value, std::uint8_t ifTrue, std::uint8_t ifFalse) {
    return BPF_JUMP(code, value, ifTrue, ifFalse);
}

constexpr std::uint32_t offsetOfArchitecture = offsetof(seccomp_data, arch);
constexpr std::uint32_t offsetOfNumber = offsetof(seccomp_data, nr);
// The low 32 bits of the first argument (little-endian machines).
constexpr std::uint32_t offsetOfFirstArgument = offsetof(seccomp_data, args);

std::vector<sock_filter> program() {
    std::vector<sock_filter> filter;
    // Another architecture's calling convention (32-bit calls on a 64-bit
    // kernel) would number the calls differently: refuse them all.
    filter.push_back(statement(BPF_LD | BPF_W | BPF_ABS, offsetOfArchitecture));
    filter.push_back(jump(BPF_JMP | BPF_JEQ | BPF_K, nativeArchitecture, 1, 0));
    filter.push_back(statement(BPF_RET | BPF_K, deny(ENOSYS)));
    filter.push_back(statement(BPF_LD | BPF_W | BPF_ABS, offsetOfNumber));
#if defined(__x86_64__)
    // x32 calls carry this bit; they are another convention too.
    filter.push_back(jump(BPF_JMP | BPF_JGE | BPF_K, 0x40000000, 0, 1));
    filter.push_back(statement(BPF_RET | BPF_K, deny(ENOSYS)));
#endif
    for (const long call : deniedCalls) {
        filter.push_back(jump(BPF_JMP | BPF_JEQ | BPF_K, static_cast<std::uint32_t>(call), 0, 1));
        filter.push_back(statement(BPF_RET | BPF_K, deny(EPERM)));
    }
    // clone3 passes its flags in memory the filter cannot read; ENOSYS makes
    // the C library use clone instead.
    filter.push_back(jump(BPF_JMP | BPF_JEQ | BPF_K, SYS_clone3, 0, 1));
    filter.push_back(statement(BPF_RET | BPF_K, deny(ENOSYS)));
    // clone: threads and forks yes, new namespaces no.
    filter.push_back(jump(BPF_JMP | BPF_JEQ | BPF_K, SYS_clone, 0, 4));
    filter.push_back(statement(BPF_LD | BPF_W | BPF_ABS, offsetOfFirstArgument));
    filter.push_back(jump(BPF_JMP | BPF_JSET | BPF_K, namespaceFlags, 0, 1));
    filter.push_back(statement(BPF_RET | BPF_K, deny(EPERM)));
    filter.push_back(statement(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    // Sockets: Unix ones only (no network).
    filter.push_back(jump(BPF_JMP | BPF_JEQ | BPF_K, SYS_socket, 1, 0));
    filter.push_back(jump(BPF_JMP | BPF_JEQ | BPF_K, SYS_socketpair, 0, 4));
    filter.push_back(statement(BPF_LD | BPF_W | BPF_ABS, offsetOfFirstArgument));
    filter.push_back(jump(BPF_JMP | BPF_JEQ | BPF_K, AF_UNIX, 1, 0));
    filter.push_back(statement(BPF_RET | BPF_K, deny(EPERM)));
    filter.push_back(statement(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    filter.push_back(statement(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    return filter;
}

#endif

} // namespace

bool install() {
#ifdef TARVELO_NO_SYSTEM_CALL_FILTER
    return false;
#else
    std::vector<sock_filter> filter = program();
    const sock_fprog compiled{static_cast<unsigned short>(filter.size()), filter.data()};
    // All threads at once, so none is left unfiltered.
    return ::syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, SECCOMP_FILTER_FLAG_TSYNC, &compiled) == 0 ||
           ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &compiled) == 0;
#endif
}

} // namespace platform::SystemCallFilter
