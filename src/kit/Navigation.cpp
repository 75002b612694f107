#include "kit/Navigation.h"

namespace vantrel {

QString symbol(NotchTab tab) {
    switch (tab) {
    case NotchTab::home:
        return QStringLiteral("sparkles");
    case NotchTab::clipboard:
        return QStringLiteral("doc.on.clipboard");
    case NotchTab::calendar:
        return QStringLiteral("calendar");
    case NotchTab::focus:
        return QStringLiteral("timer");
    case NotchTab::timers:
        return QStringLiteral("stopwatch");
    case NotchTab::system:
        return QStringLiteral("gauge.with.dots.needle.67percent");
    case NotchTab::note:
        return QStringLiteral("note.text");
    case NotchTab::files:
        return QStringLiteral("tray.full");
    case NotchTab::mirror:
        return QStringLiteral("camera");
    case NotchTab::bookmarks:
        return QStringLiteral("bookmark");
    }
    return QString();
}

QString title(VantrelSection section) {
    switch (section) {
    case VantrelSection::home:
        return QStringLiteral("Home");
    case VantrelSection::notch:
        return QStringLiteral("Notch");
    case VantrelSection::menuBar:
        return QStringLiteral("Menu Bar");
    case VantrelSection::dock:
        return QStringLiteral("Dock");
    case VantrelSection::feedback:
        return QStringLiteral("Trackpad");
    case VantrelSection::notifications:
        return QStringLiteral("Notifications");
    case VantrelSection::automations:
        return QStringLiteral("Automations");
    case VantrelSection::appearance:
        return QStringLiteral("Appearance");
    case VantrelSection::permissions:
        return QStringLiteral("Permissions");
    }
    return QString();
}

std::vector<VantrelSection> availableSections() {
    std::vector<VantrelSection> sections;
    for (VantrelSection section : allCasesOf<VantrelSection>())
        if (section != VantrelSection::automations) sections.push_back(section);
    return sections;
}

} // namespace vantrel
