#include "pictures/picture_sandbox.h"

#include <fcntl.h>
#include <sched.h>
#include <seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <webp/encode.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <cerrno>
#include <memory>

#include "pictures/jpeg_rebuild.h"
#include "pictures/web_picture.h"

namespace pictures {
namespace {

// Twice what the largest picture within the limits needs.
constexpr rlim_t kMostMemory = 1536ULL << 20;
constexpr rlim_t kMostSeconds = 30;

bool Limit(int resource, rlim_t most) {
    const rlimit limit{most, most};
    return setrlimit(resource, &limit) == 0;
}

bool SetLimits() {
    bool set = Limit(RLIMIT_CORE, 0) && Limit(RLIMIT_FSIZE, 0) && Limit(RLIMIT_MEMLOCK, 0) &&
               Limit(RLIMIT_MSGQUEUE, 0) && Limit(RLIMIT_CPU, kMostSeconds);
#if !defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer reserves terabytes of shadow up front; the sanitizer
    // build goes without this one.
    set = set && Limit(RLIMIT_DATA, kMostMemory);
#endif
    return set;
}

// Qt finds its image handlers, and its threads' pool, on first use: done
// here on pictures of its own, while files may still be opened.
void UseLibrariesOnce() {
    QImage sample(512, 384, QImage::Format_ARGB32);
    sample.fill(Qt::darkCyan);
    if (const std::optional<std::string> jpeg = EncodeJpeg(sample, 82)) RebuildForWeb(*jpeg, 256);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (QImageWriter(&buffer, "png").write(sample)) PreviewForWeb(png.toStdString(), 64);
    // The preview reads what the rebuild wrote with Qt's handlers, GIF's
    // among them.
    static const char kGif[] =
        "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff!\xf9\x04\x01\x00\x00\x00\x00,\x00\x00\x00\x00"
        "\x01\x00\x01\x00\x00\x02\x02D\x01\x00;";
    PreviewForWeb(std::string(kGif, sizeof kGif - 1), 64);
    if (const std::optional<std::string> jpeg = EncodeJpeg(sample, 82)) PreviewForWeb(*jpeg, 64);
    uint8_t* webp = nullptr;
    const QImage rgba = sample.convertToFormat(QImage::Format_RGBA8888);
    if (const std::size_t size = WebPEncodeLosslessRGBA(rgba.constBits(), rgba.width(), rgba.height(),
                                                        static_cast<int>(rgba.bytesPerLine()), &webp)) {
        PreviewForWeb(std::string(reinterpret_cast<const char*>(webp), size), 64);
        WebPFree(webp);
    }
}

struct TFreeFilter {
    void operator()(scmp_filter_ctx filter) const { seccomp_release(filter); }
};

bool Allow(scmp_filter_ctx filter, int call) {
    return seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 0) == 0;
}

bool Filter() {
    // Anything not allowed fails with EPERM, which the libraries take as any
    // failed call: the picture is then not rebuilt.
    const std::unique_ptr<void, TFreeFilter> filter(seccomp_init(SCMP_ACT_ERRNO(EPERM)));
    if (!filter) return false;
    scmp_filter_ctx context = filter.get();
    bool added = true;
    for (const int call : {SCMP_SYS(read),
                           SCMP_SYS(pread64),
                           SCMP_SYS(readv),
                           SCMP_SYS(write),
                           SCMP_SYS(writev),
                           SCMP_SYS(lseek),
                           SCMP_SYS(close),
                           SCMP_SYS(fstat),
                           SCMP_SYS(mmap),
                           SCMP_SYS(munmap),
                           SCMP_SYS(mremap),
                           SCMP_SYS(mprotect),
                           SCMP_SYS(brk),
                           SCMP_SYS(madvise),
                           SCMP_SYS(futex),
                           SCMP_SYS(set_robust_list),
                           SCMP_SYS(rseq),
                           SCMP_SYS(rt_sigprocmask),
                           SCMP_SYS(rt_sigaction),
                           SCMP_SYS(rt_sigreturn),
                           SCMP_SYS(sigaltstack),
                           SCMP_SYS(exit),
                           SCMP_SYS(exit_group),
                           SCMP_SYS(getpid),
                           SCMP_SYS(gettid),
                           SCMP_SYS(clock_gettime),
                           SCMP_SYS(clock_getres),
                           SCMP_SYS(gettimeofday),
                           SCMP_SYS(clock_nanosleep),
                           SCMP_SYS(nanosleep),
                           SCMP_SYS(getrandom),
                           SCMP_SYS(sched_yield),
                           SCMP_SYS(sched_getaffinity),
                           SCMP_SYS(membarrier),
                           SCMP_SYS(restart_syscall)})
        added = added && Allow(context, call);
    // Threads, never processes: a clone must share everything. clone3 hides
    // its flags from the filter; glibc falls back to clone when it is absent.
    added = added &&
            seccomp_rule_add(context, SCMP_ACT_ALLOW, SCMP_SYS(clone), 1,
                             SCMP_A0(SCMP_CMP_MASKED_EQ, CLONE_THREAD, CLONE_THREAD)) == 0 &&
            seccomp_rule_add(context, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3), 0) == 0 &&
            // fstat by descriptor only, which glibc spells as fstatat.
            seccomp_rule_add(context, SCMP_ACT_ALLOW, SCMP_SYS(newfstatat), 1,
                             SCMP_A3(SCMP_CMP_MASKED_EQ, AT_EMPTY_PATH, AT_EMPTY_PATH)) == 0 &&
            // abort() signals its own process only.
            seccomp_rule_add(context, SCMP_ACT_ALLOW, SCMP_SYS(tgkill), 1,
                             SCMP_A0(SCMP_CMP_EQ, static_cast<scmp_datum_t>(getpid()))) == 0 &&
            // Names for threads; limits read, never set.
            seccomp_rule_add(context, SCMP_ACT_ALLOW, SCMP_SYS(prctl), 1, SCMP_A0(SCMP_CMP_EQ, PR_SET_NAME)) == 0 &&
            seccomp_rule_add(context, SCMP_ACT_ALLOW, SCMP_SYS(prlimit64), 1, SCMP_A2(SCMP_CMP_EQ, 0)) == 0;
    return added && seccomp_load(context) == 0;
}

}  // namespace

bool EnterSandbox() {
    if (close_range(3, ~0U, 0) != 0 || !SetLimits()) return false;
    UseLibrariesOnce();
    return Limit(RLIMIT_NOFILE, 3) && Filter();
}

}  // namespace pictures
