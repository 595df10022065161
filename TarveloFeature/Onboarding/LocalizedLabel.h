#pragma once

#include <gtkmm/label.h>

namespace tarvelo {

// A localizable text of the page: looked up by its English text, with
// "**…**" shown bold, left-aligned and wrapping onto as many lines as it
// needs (it is never cut off).
class LocalizedLabel : public Gtk::Label {
public:
    // `key` is the English text; `styleClasses` are added as they are.
    explicit LocalizedLabel(const char* key, std::initializer_list<const char*> styleClasses = {});
};

} // namespace tarvelo
