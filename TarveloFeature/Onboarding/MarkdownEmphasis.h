#pragma once

#include <string>
#include <string_view>

namespace tarvelo {

// The Markdown that localizable texts may carry: a span between double
// asterisks is bold ("Search for **Tarvelo**."), and "[label](target)" is a
// link whose label may be bold too ("Open [**Edit Widgets**](edit-widgets)").
// Everything else is text as written; an unpaired "**" stays as two
// asterisks, and brackets that do not make a link stay as they are.
namespace MarkdownEmphasis {

// Markup for a GTK label: bold spans in <b>, links in <a href="target">,
// every other character escaped, so that "<", "&" or quotes in a text (or a
// translation) never act as markup.
std::string pangoMarkup(std::string_view text);

// The text as read aloud: the asterisks of bold spans and the brackets and
// targets of links removed.
std::string plainText(std::string_view text);

} // namespace MarkdownEmphasis

} // namespace tarvelo
