#pragma once

#include <string>
#include <string_view>

namespace tarvelo {

// The emphasis that localizable texts may carry: a span between double
// asterisks is bold ("Choose **Edit Widgets**."). Everything else is text as
// written; an unpaired "**" stays as two asterisks.
namespace MarkdownEmphasis {

// Pango markup of `text`: bold spans in <b>, every other character escaped,
// so that "<", "&" or quotes in a text (or a translation) never act as markup.
std::string pangoMarkup(std::string_view text);

// The text as read aloud: the asterisks of bold spans removed.
std::string plainText(std::string_view text);

} // namespace MarkdownEmphasis

} // namespace tarvelo
