#pragma once

#include "Platform/URL/URL.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// What an open panel lets the user pick. Applications are desktop entries
// here (see docs/workspace.md).
enum class ContentType { application };

// The response of a panel that was confirmed; anything else means cancelled.
inline constexpr long modalResponseOK = 1;

// A modal panel in which the user picks one file. Configure it, then run it:
// the panel blocks the window it belongs to until it closes, and reports the
// response once, on the main context. A panel destroyed while it runs
// closes without reporting; the completion itself may destroy the panel.
class OpenPanel {
public:
    using Completion = std::function<void(long response)>;

    virtual ~OpenPanel() = default;

    virtual void setAllowedContentTypes(const std::vector<ContentType>& types) = 0;
    virtual void setAllowsMultipleSelection(bool allows) = 0;
    virtual void setCanChooseDirectories(bool can) = 0;
    // The folder the panel starts in.
    virtual void setDirectoryURL(const URL& folder) = 0;
    // The confirm button's title.
    virtual void setPrompt(const std::string& prompt) = 0;
    // What the panel asks the user.
    virtual void setMessage(const std::string& message) = 0;

    // Shows the panel; `completion` gets modalResponseOK when the user
    // confirmed a choice.
    virtual void runModal(Completion completion) = 0;
    // The chosen file; absent before a confirmed choice.
    virtual std::optional<URL> url() const = 0;
};

} // namespace platform
