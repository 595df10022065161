#include "Platform/WidgetDesktop/WidgetAccessibility.h"

#include "Platform/Painter/ColorPalette.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The invisible child: a widget that draws nothing and asks for no space
// beyond its frame; its role is given when it is made.
struct AccessibleElement {
    GtkWidget parent;
};
struct AccessibleElementClass {
    GtkWidgetClass parent;
};

G_DEFINE_TYPE(AccessibleElement, accessible_element, GTK_TYPE_WIDGET)

void accessible_element_class_init(AccessibleElementClass* elementClass) {
    gtk_widget_class_set_css_name(GTK_WIDGET_CLASS(elementClass), "tarvelo-element");
}

void accessible_element_init(AccessibleElement*) {}

} // namespace

namespace platform {

namespace {

using Role = WidgetAccessibility::Role;

GtkAccessibleRole gtkRole(Role role) {
    switch (role) {
    case Role::button:
        return GTK_ACCESSIBLE_ROLE_BUTTON;
    case Role::link:
        return GTK_ACCESSIBLE_ROLE_LINK;
    case Role::image:
        return GTK_ACCESSIBLE_ROLE_IMG;
    case Role::text:
        break;
    }
    return GTK_ACCESSIBLE_ROLE_LABEL;
}

bool focusable(Role role) {
    return role == Role::button || role == Role::link;
}

Point centre(const Rect& frame) {
    return {frame.midX(), frame.midY()};
}

int pixels(double points) {
    return static_cast<int>(std::lround(points));
}

} // namespace

WidgetAccessibility::WidgetAccessibility() {
    // Clicks go to the picture beneath, which hit-tests them itself.
    set_can_target(false);
}

WidgetAccessibility::~WidgetAccessibility() {
    for (GtkWidget* child : children_)
        gtk_fixed_remove(gobj(), child);
}

std::vector<WidgetAccessibility::Element> WidgetAccessibility::elementsOf(const DisplayList& list,
                                                                          bool rightToLeft) {
    return accessibleElements(list, rightToLeft);
}

void WidgetAccessibility::attach(Gtk::Window& window, Gtk::Widget& canvas) {
    window_ = &window;
    canvas_ = &canvas;
    // The picture itself has nothing to say; its elements say it. The
    // containers between the window and them carry the window's name (GTK
    // would name them after their types).
    gtk_accessible_update_state(GTK_ACCESSIBLE(canvas.gobj()), GTK_ACCESSIBLE_STATE_HIDDEN, TRUE, -1);
    const Glib::ustring name = window.get_title();
    for (Gtk::Widget* between = this; between && between != &window; between = between->get_parent())
        gtk_accessible_update_property(GTK_ACCESSIBLE(between->gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                       name.c_str(), -1);
    auto keys = Gtk::EventControllerKey::create();
    keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    keys->signal_key_pressed().connect(
        [this](guint keyval, guint, Gdk::ModifierType state) { return pressKey(keyval, state); }, false);
    window.add_controller(keys);
    const auto redraw = [this] { canvas_->queue_draw(); };
    window.property_focus_widget().signal_changed().connect(redraw);
    window.property_is_active().signal_changed().connect(redraw);
    window.property_focus_visible().signal_changed().connect(redraw);
}

void WidgetAccessibility::update(const DisplayList& list) {
    auto fresh = elementsOf(list, Gtk::Widget::get_default_direction() == Gtk::TextDirection::RTL);
    const bool sameShape =
        fresh.size() == elements_.size() &&
        std::equal(fresh.begin(), fresh.end(), elements_.begin(),
                   [](const Element& one, const Element& other) { return one.role == other.role; });
    if (!sameShape) {
        const auto wasFocused = focused();
        for (GtkWidget* child : children_)
            gtk_fixed_remove(gobj(), child);
        children_.clear();
        for (const Element& element : fresh) {
            GtkWidget* child = GTK_WIDGET(g_object_new(accessible_element_get_type(), "accessible-role",
                                                       gtkRole(element.role), nullptr));
            gtk_widget_set_focusable(child, focusable(element.role));
            gtk_widget_set_can_target(child, false);
            gtk_fixed_put(gobj(), child, 0, 0);
            children_.push_back(child);
        }
        if (wasFocused && *wasFocused < fresh.size() && focusable(fresh[*wasFocused].role))
            gtk_widget_grab_focus(children_[*wasFocused]);
    }
    // Only what changed is told to GTK: a moved child makes the whole window
    // lay out again, and a step usually moves none (the same grid, new labels).
    for (std::size_t index = 0; index < fresh.size(); ++index) {
        const Element& element = fresh[index];
        const Element* before = sameShape ? &elements_[index] : nullptr;
        GtkWidget* child = children_[index];
        if (!before || before->label != element.label)
            gtk_accessible_update_property(GTK_ACCESSIBLE(child), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                           element.label.c_str(), -1);
        if (before && before->frame == element.frame)
            continue;
        gtk_widget_set_size_request(child, pixels(element.frame.size.width),
                                    pixels(element.frame.size.height));
        gtk_fixed_move(gobj(), child, pixels(element.frame.minX()), pixels(element.frame.minY()));
    }
    elements_ = std::move(fresh);
}

Gtk::Widget* WidgetAccessibility::child(std::size_t index) const {
    return index < children_.size() ? Glib::wrap(children_[index]) : nullptr;
}

std::optional<std::size_t> WidgetAccessibility::focused() const {
    const auto* root = gtk_widget_get_root(const_cast<GtkWidget*>(GTK_WIDGET(gobj())));
    GtkWidget* focus = root ? gtk_root_get_focus(const_cast<GtkRoot*>(root)) : nullptr;
    const auto found = std::find(children_.begin(), children_.end(), focus);
    if (!focus || found == children_.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - children_.begin());
}

void WidgetAccessibility::focusElement(std::size_t index) {
    if (index >= children_.size())
        return;
    gtk_widget_grab_focus(children_[index]);
    if (window_)
        window_->set_focus_visible(true);
    if (canvas_)
        canvas_->queue_draw();
}

std::optional<std::size_t> WidgetAccessibility::neighbour(std::size_t from, guint keyval) const {
    std::vector<std::size_t> order;
    for (std::size_t index = 0; index < elements_.size(); ++index)
        if (focusable(elements_[index].role))
            order.push_back(index);
    if (order.empty())
        return std::nullopt;
    const auto at = std::find(order.begin(), order.end(), from);
    const bool rightToLeft = Gtk::Widget::get_default_direction() == Gtk::TextDirection::RTL;
    bool forward = false;
    switch (keyval) {
    case GDK_KEY_Tab:
    case GDK_KEY_ISO_Left_Tab:
        // Round and round: the widget is the whole window.
        if (at == order.end())
            return keyval == GDK_KEY_Tab ? order.front() : order.back();
        if (keyval == GDK_KEY_Tab)
            return std::next(at) == order.end() ? order.front() : *std::next(at);
        return at == order.begin() ? order.back() : *std::prev(at);
    case GDK_KEY_Right:
    case GDK_KEY_Left:
        forward = (keyval == GDK_KEY_Right) != rightToLeft;
        if (at == order.end())
            return forward ? order.front() : order.back();
        if (forward)
            return std::next(at) == order.end() ? std::nullopt : std::optional(*std::next(at));
        return at == order.begin() ? std::nullopt : std::optional(*std::prev(at));
    case GDK_KEY_Down:
    case GDK_KEY_Up: {
        if (at == order.end())
            return keyval == GDK_KEY_Down ? order.front() : order.back();
        // The nearest button or link in the closest line that has one.
        const Element& here = elements_[from];
        std::optional<std::size_t> best;
        double bestDistance = std::numeric_limits<double>::infinity();
        std::size_t bestLine = 0;
        for (const std::size_t index : order) {
            const Element& other = elements_[index];
            const bool beyond = keyval == GDK_KEY_Down ? other.line > here.line : other.line < here.line;
            if (!beyond)
                continue;
            const bool closerLine =
                !best || (keyval == GDK_KEY_Down ? other.line < bestLine : other.line > bestLine);
            const double distance = std::abs(other.frame.midX() - here.frame.midX());
            if (closerLine || (other.line == bestLine && distance < bestDistance)) {
                best = index;
                bestLine = other.line;
                bestDistance = distance;
            }
        }
        return best;
    }
    default:
        return std::nullopt;
    }
}

bool WidgetAccessibility::pressKey(guint keyval, Gdk::ModifierType state) {
    const auto modifiers = state & (Gdk::ModifierType::CONTROL_MASK | Gdk::ModifierType::ALT_MASK |
                                    Gdk::ModifierType::SUPER_MASK);
    if (modifiers != Gdk::ModifierType(0))
        return false;
    if (keyval == GDK_KEY_Tab && (state & Gdk::ModifierType::SHIFT_MASK) == Gdk::ModifierType::SHIFT_MASK)
        keyval = GDK_KEY_ISO_Left_Tab;
    if (keyval == GDK_KEY_KP_Left || keyval == GDK_KEY_KP_Right || keyval == GDK_KEY_KP_Up ||
        keyval == GDK_KEY_KP_Down)
        keyval = keyval == GDK_KEY_KP_Left    ? GDK_KEY_Left
                 : keyval == GDK_KEY_KP_Right ? GDK_KEY_Right
                 : keyval == GDK_KEY_KP_Up    ? GDK_KEY_Up
                                              : GDK_KEY_Down;
    const auto current = focused();
    switch (keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
    case GDK_KEY_space:
    case GDK_KEY_KP_Space:
        if (!current || !focusable(elements_[*current].role))
            return false;
        activated_.emit(centre(elements_[*current].frame));
        return true;
    default:
        break;
    }
    const bool navigation = keyval == GDK_KEY_Tab || keyval == GDK_KEY_ISO_Left_Tab ||
                            keyval == GDK_KEY_Left || keyval == GDK_KEY_Right || keyval == GDK_KEY_Up ||
                            keyval == GDK_KEY_Down;
    // GTK may put the focus on the first button when the window comes up,
    // without showing it; the first key then shows it where it is.
    if (navigation && current && window_ && !window_->get_focus_visible()) {
        focusElement(*current);
        return true;
    }
    const auto next = navigation ? neighbour(current.value_or(elements_.size()), keyval) : std::nullopt;
    if (next)
        focusElement(*next);
    // At an edge the arrow stays used: focus stays where it is.
    return navigation;
}

void WidgetAccessibility::paintFocusRing(const Cairo::RefPtr<Cairo::Context>& cairo,
                                         Appearance appearance) const {
    const auto current = focused();
    if (!current || !window_ || !window_->get_focus_visible() || !window_->is_active())
        return;
    // A capsule around the element, in the accent colour.
    // Kept close around what is drawn (a step button's click area is far
    // larger than its chevron), yet clear of the today disc (17 points) in
    // a day whose row is no taller than the disc.
    const Rect frame = elements_[*current].frame;
    constexpr double lineWidth = 1.5;
    const double width = std::clamp(frame.size.width, 22.0, 28.0);
    const double height = std::clamp(frame.size.height + 4.0, 21.0, 24.0);
    const double radius = height / 2;
    const double x = frame.midX() - width / 2, y = frame.midY() - height / 2;
    const RGBAColor color = resolvedColor(SemanticColor::accent, appearance);
    cairo->save();
    cairo->begin_new_path();
    cairo->arc(x + width - radius, y + radius, radius, -M_PI / 2, 0);
    cairo->arc(x + width - radius, y + height - radius, radius, 0, M_PI / 2);
    cairo->arc(x + radius, y + height - radius, radius, M_PI / 2, M_PI);
    cairo->arc(x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
    cairo->close_path();
    cairo->set_source_rgba(color.red, color.green, color.blue, color.alpha);
    cairo->set_line_width(lineWidth);
    cairo->stroke();
    cairo->restore();
}

} // namespace platform
