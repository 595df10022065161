#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>

namespace platform {

// What another program of ours needs to know about the widget host,
// `tarvelo-widgets`: where its program is, which widget extensions it would
// list in Edit Widgets, and how to open Edit Widgets.
namespace WidgetHostProgram {

// The host's program when it lies beside the running program, as the
// programs lie together when installed and in the build tree.
std::optional<std::filesystem::path> besideThisProgram();

// Whether the host run from `program`, in this environment, would find the
// widget extension `identifier`: the host's own manifest lookup over the
// data folder beside `program` and the XDG data folders.
bool wouldFind(const std::filesystem::path& program, const std::string& identifier);

// Opens Edit Widgets: starts `program --gallery` (a host already running in
// the session opens its gallery, and the new one ends), or without a
// program asks a running host over the session bus. False when neither
// could be tried; whether a gallery appears is the host's business.
bool openGallery(const std::optional<std::filesystem::path>& program);

// What a running host answered when asked to place a widget.
enum class PlaceAnswer {
    noHost, // no host runs in this session (or there is no session bus)
    placed, // the host placed it, or had it placed already, and saved it
    failed, // a host runs but did not take it
};
// Asks the host running in this session to place a widget of `kind` in
// `family` ("small", "medium"), at `at` when given (desktop pixels): the
// host keeps the placement list in memory and writes it, so a list written
// beside it would be lost at its next save. Waits for the host's answer.
PlaceAnswer askRunningHostToPlace(const std::string& kind, const std::string& family,
                                  const std::optional<std::pair<int, int>>& at);

} // namespace WidgetHostProgram

} // namespace platform
