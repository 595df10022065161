#pragma once

#include "Platform/Widgets/WidgetRunner.h"

#include <cerrno>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace tarvelo::testsupport {

// Serves `input` to `runner` as one byte stream over a socket pair, written
// from another thread in pieces of the sizes `pieceSize()` picks, and returns
// everything the runner wrote until it closed its side. Empty when the
// sockets cannot be made or written.
template <typename PieceSize>
std::string serveOverSockets(platform::WidgetRunner& runner, std::string_view input, PieceSize pieceSize) {
    // One socket pair, both ways: each side shuts down its writing half when done.
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return {};
    std::thread writer([&] {
        for (std::string_view rest = input; !rest.empty();) {
            const std::string_view piece = rest.substr(0, pieceSize());
            const ssize_t count = ::write(ends[0], piece.data(), piece.size());
            if (count < 0 && errno == EINTR) // libFuzzer's time-out alarm
                continue;
            if (count <= 0)
                break;
            rest.remove_prefix(static_cast<std::size_t>(count));
        }
        ::shutdown(ends[0], SHUT_WR);
    });
    std::thread server([&] {
        runner.serve(ends[1], ends[1]);
        ::shutdown(ends[1], SHUT_WR);
    });
    std::string output;
    char buffer[16384];
    for (ssize_t count; (count = ::read(ends[0], buffer, sizeof buffer)) != 0;)
        if (count > 0)
            output.append(buffer, static_cast<std::size_t>(count));
        else if (errno != EINTR)
            break;
    writer.join();
    server.join();
    ::close(ends[0]);
    ::close(ends[1]);
    return output;
}

} // namespace tarvelo::testsupport
