#pragma once

#include "Platform/View/View.h"

#include <functional>
#include <optional>
#include <variant>
#include <vector>

namespace platform {

// The description behind a View, one alternative per kind of view. Only
// layout reads these; building goes through View's functions.

struct EmptyNode {};

struct TextNode {
    std::string text;
};

struct SymbolNode {
    std::string systemName;
};

struct ShapeNode {
    ShapeKind kind = ShapeKind::rectangle;
    double cornerRadius = 0.0;
    std::optional<ShapeStyle> fill; // absent: the foreground style
};

struct StackNode {
    Axis axis = Axis::vertical;                      // the main axis
    AxisAlignment alignment = AxisAlignment::center; // on the cross axis
    double spacing = 0.0;
    std::vector<View> children;
};

struct ZStackNode {
    Alignment alignment;
    std::vector<View> children;
};

struct ForEachNode {
    std::vector<ForEachElement> elements;
};

struct GeometryReaderNode {
    std::function<View(Size)> content;
};

struct FrameNode {
    View child;
    std::optional<double> width;
    std::optional<double> height;
    Alignment alignment;
};

struct FlexibleFrameNode {
    View child;
    FlexibleFrame bounds;
};

struct PaddingNode {
    View child;
    EdgeInsets insets;
};

struct FixedSizeNode {
    View child;
    bool horizontal = false;
    bool vertical = false;
};

// A change to the settings inherited by everything inside.
struct EnvironmentChange {
    std::optional<Font> font;
    std::optional<ShapeStyle> foreground;
    std::optional<std::optional<int>> lineLimit;
    std::optional<double> minimumScaleFactor;
    std::optional<bool> allowsTightening;
    std::optional<ButtonStyle> buttonStyle;
};

struct EnvironmentNode {
    View child;
    EnvironmentChange change;
};

struct OpacityNode {
    View child;
    double opacity = 1.0;
};

struct ContentShapeNode {
    View child;
    ShapeKind shape = ShapeKind::rectangle;
};

struct ActionNode {
    View label;
    std::variant<IntentReference, URL> action;
};

struct ContainerBackgroundNode {
    View child;
    ShapeStyle style;
};

// Accessibility settings for the child and everything inside it.
struct AccessibilityNode {
    View child;
    std::optional<std::string> label;
    std::optional<bool> hidden;
};

struct ViewNode {
    std::variant<EmptyNode, TextNode, SymbolNode, ShapeNode, StackNode, ZStackNode, ForEachNode,
                 GeometryReaderNode, FrameNode, FlexibleFrameNode, PaddingNode, FixedSizeNode,
                 EnvironmentNode, OpacityNode, ContentShapeNode, ActionNode, ContainerBackgroundNode,
                 AccessibilityNode>
        content;
};

} // namespace platform
