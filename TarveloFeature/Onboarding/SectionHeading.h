#pragma once

#include <gtkmm/label.h>
#include <string>

namespace tarvelo {

// One heading line of the page, shown exactly as given: no lookup, no
// emphasis ("**" stays "**"). System font, 17 points, semibold.
class SectionHeading : public Gtk::Label {
public:
    explicit SectionHeading(const std::string& text);

    const std::string& text() const { return text_; }

private:
    std::string text_;
};

} // namespace tarvelo
