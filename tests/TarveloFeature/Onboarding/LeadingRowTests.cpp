// A decoration before a block of wrapping text: where each goes, on the
// real page and in a row of its own.
#include "TarveloFeature/Onboarding/LeadingRow.h"
#include "TarveloFeature/Onboarding/Step.h"
#include "tests/TarveloFeature/Onboarding/OnboardingFixture.h"

#include <gtkmm/label.h>
#include <gtkmm/window.h>

using tarvelo::LeadingRow;
using tarvelo::testsupport::OnboardingFixture;

namespace {

// Where `label` draws its first baseline, in `row`'s coordinates.
double firstBaseline(Gtk::Label& label, Gtk::Widget& row) {
    int x = 0;
    int y = 0;
    label.get_layout_offsets(x, y);
    const double baseline = y + static_cast<double>(label.get_layout()->get_baseline()) / PANGO_SCALE;
    double rowX = 0;
    double rowY = 0;
    label.translate_coordinates(row, x, baseline, rowX, rowY);
    return rowY;
}

Gtk::Allocation allocationIn(Gtk::Widget& widget, Gtk::Widget& row) {
    double x = 0;
    double y = 0;
    widget.translate_coordinates(row, 0, 0, x, y);
    return Gtk::Allocation(static_cast<int>(x), static_cast<int>(y), widget.get_width(), widget.get_height());
}

// A row of its own, 240 wide, in the fixture's window.
class LeadingRowTest : public OnboardingFixture {
protected:
    void showRow(LeadingRow::Alignment alignment, Gtk::TextDirection direction) {
        closeWindow();
        window = Gtk::make_managed<Gtk::Window>();
        // Larger than the text, so that aligning their baselines moves the text down.
        decorationLabel = Gtk::make_managed<Gtk::Label>();
        decorationLabel->set_markup("<span size='xx-large'>7</span>");
        textLabel = Gtk::make_managed<Gtk::Label>(
            "A long instruction that cannot fit on one line of a narrow row, so it wraps onto several lines "
            "below the first one.");
        textLabel->set_wrap(true);
        textLabel->set_xalign(0.0F);
        row = Gtk::make_managed<LeadingRow>(*decorationLabel, *textLabel, 12, alignment);
        row->set_direction(direction);
        row->set_valign(Gtk::Align::START);
        // The window's width is the row's: its natural width would put the
        // whole text on one line.
        window->set_default_size(240, -1);
        window->set_child(*row);
        window->present();
        tarvelo::testsupport::spinUntil([&] { return row->get_width() > 0 && textLabel->get_width() > 0; });
        tarvelo::testsupport::settle();
    }

    Gtk::Label* decorationLabel = nullptr;
    Gtk::Label* textLabel = nullptr;
    LeadingRow* row = nullptr;
};

} // namespace

TEST_F(LeadingRowTest, EachBadgeSitsOnItsStepsFirstBaselineAndTheWarningIconOnItsTextsTop) {
    auto& shown = openWindow();
    const auto found = tarvelo::testsupport::stepsIn(shown.column());
    ASSERT_EQ(found.size(), 4U);
    for (tarvelo::Step* step : found) {
        auto& badge = dynamic_cast<Gtk::Label&>(step->leading());
        auto& text = dynamic_cast<Gtk::Label&>(step->content());
        EXPECT_NEAR(firstBaseline(badge, *step), firstBaseline(text, *step), 1.0) << text.get_text();
        // Nothing sticks out of the row.
        EXPECT_GE(allocationIn(badge, *step).get_y(), 0);
        EXPECT_LE(allocationIn(badge, *step).get_y() + badge.get_height(), step->get_height());
    }
    auto* warning = dynamic_cast<LeadingRow*>(shown.column().get_last_child());
    ASSERT_NE(warning, nullptr);
    EXPECT_EQ(allocationIn(warning->leading(), *warning).get_y(),
              allocationIn(warning->content(), *warning).get_y());
}

// The text wraps in the width left after the decoration, which stands at the
// leading edge: on the right in right-to-left text.
TEST_F(LeadingRowTest, TheTextWrapsInTheWidthLeftAfterTheDecoration) {
    for (const auto direction : {Gtk::TextDirection::LTR, Gtk::TextDirection::RTL}) {
        const bool rightToLeft = direction == Gtk::TextDirection::RTL;
        showRow(rightToLeft ? LeadingRow::Alignment::firstBaseline : LeadingRow::Alignment::top, direction);
        const Gtk::Allocation decoration = allocationIn(*decorationLabel, *row);
        const Gtk::Allocation text = allocationIn(*textLabel, *row);
        EXPECT_EQ(row->get_width(), 240);
        EXPECT_EQ(text.get_width(), 240 - decoration.get_width() - 12);
        EXPECT_EQ(decoration.get_x(), rightToLeft ? 240 - decoration.get_width() : 0);
        EXPECT_EQ(text.get_x(), rightToLeft ? 0 : decoration.get_width() + 12);
        if (rightToLeft) {
            EXPECT_NEAR(firstBaseline(*decorationLabel, *row), firstBaseline(*textLabel, *row), 1.0);
            continue;
        }
        EXPECT_EQ(decoration.get_y(), 0);
        EXPECT_EQ(text.get_y(), 0);
        // As tall as the wrapped text at that width: several lines, all shown.
        int minimum = 0;
        int natural = 0;
        int ignored = 0;
        textLabel->measure(Gtk::Orientation::VERTICAL, text.get_width(), minimum, natural, ignored, ignored);
        EXPECT_GT(natural, 3 * decoration.get_height() / 2);
        EXPECT_EQ(row->get_height(), natural);
        EXPECT_EQ(textLabel->get_height(), natural);
    }
}
