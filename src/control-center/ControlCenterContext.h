#pragma once

#include "control-center/HomePageContext.h"
#include "settings/DockPageContext.h"

#include <functional>
#include <optional>

namespace vantrel {

class AlarmController;
class AutomationEngine;
class CalendarStore;
class ColorPicker;
class FeedbackEngine;
class FileNotices;
class KeyboardCleaningController;
class MenuBarAppearanceController;
class MenuBarScanner;
class MenuPresenter;
class NotchPanelController;
class NotificationSignalStore;
class PermissionCenter;
class Scheduler;
class SectionNavigation;
class SystemAppearance;
class ThemeImageStore;
class VantrelHaptics;
class VantrelMotion;
class VantrelPreferences;

// What the control-center window and its pages are built from: the settings store, the shared
// kit services the views draw and play with, the stores and services the pages read, and the
// section the window shows. The composition root builds it.
struct ControlCenterContext {
    VantrelPreferences& preferences;
    VantrelMotion& motion;
    VantrelHaptics& haptics;
    SystemAppearance& appearance;
    ThemeImageStore& themeImages;
    Scheduler& scheduler;
    // Which section's page shows.
    SectionNavigation& sections;
    // What the onboarding's privacy step reads and asks for.
    PermissionCenter& permissions;
    CalendarStore& calendar;
    // The cleaning session the window's overlay shows.
    KeyboardCleaningController& keyboardCleaning;
    // Where the pages' pop-up menus and pickers open.
    MenuPresenter& menus;
    // Brings the running components in line with the settings; the onboarding's completion.
    std::function<void()> applyPreferences;
    // What the home page is built from; its command-palette call is also the navigation bar's.
    HomePageContext home;

    // The Dock page: the native Dock's settings, the pinned items, the live Dock and the modules
    // its shortcuts reach. None where the application builds no Dock; the section then shows its
    // placeholder.
    std::optional<DockPageContext> dock = std::nullopt;
    // The appearance and notch pages (AppearancePage, NotchSettingsPage): the colour wells'
    // chooser, the running notch panel (whether its display has a notch), moving it after a size
    // change and opening it on a tab.
    ColorPicker& colorPicker;
    const NotchPanelController& notch;
    std::function<void(bool animated)> repositionNotch;
    std::function<void(NotchTab tab, bool takeFocus)> showNotch;
    // The notifications page: the waiting alerts it shows and clears, and the alarm it previews.
    NotificationSignalStore& alerts;
    AlarmController& alarm;
    // The menu-bar page: the organizer it switches and sets up, and the item index it hands on
    // to the organizer's operations.
    MenuBarAppearanceController& menuBarAppearance;
    MenuBarScanner& menuBarScanner;
    // The trackpad page: the gesture feedback it stops, starts and previews.
    FeedbackEngine& feedback;
    // The automations page (built, though the navigation does not offer its section): the rules,
    // their checks and their actions.
    AutomationEngine& automations;
    // The stored files that could not be read or saved, which the window tells of; none in a
    // window built without them.
    FileNotices* fileNotices = nullptr;
};

} // namespace vantrel
