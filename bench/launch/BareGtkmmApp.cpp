// The baseline of the launch benchmark: a gtkmm application that starts
// (registers on the session bus, opens the display) and quits as soon as it
// is activated. When run() has returned it writes the moment to the record
// FIFO named by $TARVELO_BENCH_RECORD, as one line "bare <nanoseconds>".
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <gtkmm/application.h>
#include <unistd.h>

int main(int argc, char* argv[]) {
    auto application = Gtk::Application::create("today.tarvelo.BenchBareApplication");
    application->signal_activate().connect([&application] { application->quit(); });
    const int status = application->run(argc, argv);

    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const char* record = std::getenv("TARVELO_BENCH_RECORD");
    const int descriptor = record ? open(record, O_WRONLY | O_CLOEXEC) : -1;
    if (descriptor < 0)
        return 1;
    char line[64];
    const int length = std::snprintf(line, sizeof line, "bare %lld\n",
                                     static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    const bool written = length > 0 && write(descriptor, line, static_cast<std::size_t>(length)) == length;
    close(descriptor);
    return written ? status : 1;
}
