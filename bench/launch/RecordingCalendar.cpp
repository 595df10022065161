// The "calendar application" of the launch benchmark: the first thing it
// does is write the moment it started (CLOCK_MONOTONIC, shared by every
// process on the machine) to the record FIFO named by
// $TARVELO_BENCH_RECORD, as one line "calendar <nanoseconds> <argument>".
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char* argv[]) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const char* record = std::getenv("TARVELO_BENCH_RECORD");
    if (!record)
        return 1;
    const int descriptor = open(record, O_WRONLY | O_CLOEXEC);
    if (descriptor < 0)
        return 1;
    char line[512];
    const int length = std::snprintf(line, sizeof line, "calendar %lld %s\n",
                                     static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                                     argc > 1 ? argv[1] : "-");
    // One write of less than PIPE_BUF bytes reaches the FIFO whole.
    const bool written = length > 0 && write(descriptor, line, static_cast<std::size_t>(length)) == length;
    close(descriptor);
    return written ? 0 : 1;
}
