#pragma once

#include <cerrno>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "WidgetRunner.h"

namespace tarvelo::testsupport {

// Serves `input` to `runner` as one byte stream over a socket pair, written
// from another thread in pieces of the sizes `pieceSize()` picks, and returns
// everything the runner wrote until it closed its side. Empty when the
// sockets cannot be made or written.
template <typename PieceSize>
std::string serveOverSockets(platform::WidgetRunner& runner, std::string_view input, PieceSize pieceSize) {
    int toRunner[2];
    int fromRunner[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, toRunner) != 0)
        return {};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fromRunner) != 0) {
        ::close(toRunner[0]);
        ::close(toRunner[1]);
        return {};
    }
    std::thread writer([&] {
        for (std::string_view rest = input; !rest.empty();) {
            const std::string_view piece = rest.substr(0, pieceSize());
            const ssize_t count = ::write(toRunner[0], piece.data(), piece.size());
            if (count < 0 && errno == EINTR) // libFuzzer's time-out alarm
                continue;
            if (count <= 0)
                break;
            rest.remove_prefix(static_cast<std::size_t>(count));
        }
        ::close(toRunner[0]);
    });
    std::thread server([&] {
        runner.serve(toRunner[1], fromRunner[0]);
        ::close(fromRunner[0]);
    });
    std::string output;
    char buffer[16384];
    for (;;) {
        const ssize_t count = ::read(fromRunner[1], buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        output.append(buffer, static_cast<std::size_t>(count));
    }
    writer.join();
    server.join();
    ::close(toRunner[1]);
    ::close(fromRunner[1]);
    return output;
}

} // namespace tarvelo::testsupport
