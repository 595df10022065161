#pragma once

namespace tarvelo::OnboardingStyle {

// CSS classes of the onboarding page; the mapping of the page's fonts and
// colours to GTK is described in docs/onboarding.md.
inline constexpr const char* appTitle = "tarvelo-app-title";
inline constexpr const char* sectionHeading = "tarvelo-section-heading";
inline constexpr const char* title3 = "tarvelo-title3";
inline constexpr const char* headline = "tarvelo-headline";
inline constexpr const char* callout = "tarvelo-callout";
inline constexpr const char* caption = "tarvelo-caption";
inline constexpr const char* secondary = "dim-label";
inline constexpr const char* warningText = "tarvelo-warning-text";
inline constexpr const char* warningIcon = "tarvelo-warning-icon";
inline constexpr const char* warningBox = "tarvelo-warning-box";
inline constexpr const char* stepBadge = "tarvelo-step-badge";
inline constexpr const char* previewFrame = "tarvelo-preview-frame";
inline constexpr const char* previewBorder = "tarvelo-preview-border";
inline constexpr const char* previewPlaceholder = "tarvelo-preview-placeholder";
inline constexpr const char* pickerFace = "tarvelo-picker-face";
inline constexpr const char* pickerEntry = "tarvelo-picker-entry";

// Adds the page's style sheet to the default display, once per process.
// Does nothing without a display.
void install();

} // namespace tarvelo::OnboardingStyle
