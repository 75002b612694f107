#pragma once

#include "kit/VantrelPage.h"
#include "settings/DockBindings.h"
#include "settings/DockPageContext.h"

#include <QPointer>

class QLineEdit;

namespace vantrel {

struct ControlCenterContext;
struct DockShortcut;
class MenuPresenter;
class SettingsCard;
class SystemAppearance;
class VantrelHaptics;
class VantrelPreferences;
class VantrelSwitch;

// The Dock section's page: the "Active Dock" card, then either the editor of the native Dock's
// own settings or the replacement Dock's cards, following `customDockEnabled` live. The page
// keeps nothing but the two text fields of the website row.
class DockPage : public VantrelPage {
    Q_OBJECT
public:
    DockPage(const ControlCenterContext& context, const DockPageContext& dock, QWidget* parent = nullptr);

    const DockBindings& bindings() const { return bindings_; }
    // The section below the "Active Dock" card: "native" or "replacement".
    QWidget* section() const { return section_; }
    SettingsCard* activeDockCard() const { return activeCard_; }
    VantrelSwitch* useVantrelDockSwitch() const;

    // Pins the typed website; both fields are emptied only when it was added.
    void addWebsite();
    QLineEdit* websiteTitleField() const;
    QLineEdit* websiteAddressField() const;

private:
    void rebuildActiveRow();
    void rebuildSection();
    QWidget* makeNativeSection();
    QWidget* makeReplacementSection();
    QWidget* makeVisibilityCard();
    QWidget* makeLayoutAndMotionCards();
    QWidget* makeSurfaceCard();
    QWidget* makeSizeCard();
    QWidget* makePinnedCard();
    // One row of the pinned list: the item's icon, title and kind, and its move and remove buttons.
    QWidget* makePinnedRow(const DockShortcut& item);
    QWidget* makeShelfCard();
    QColor accent() const;

    VantrelPreferences& preferences_;
    VantrelHaptics& haptics_;
    SystemAppearance& appearance_;
    MenuPresenter& menus_;
    std::function<void()> applyPreferences_;
    DockPageContext dock_;
    DockBindings bindings_;
    SettingsCard* activeCard_;
    QWidget* activeRowHolder_;
    QPointer<QWidget> activeRow_;
    QPointer<VantrelSwitch> switch_;
    QWidget* sectionHolder_;
    QPointer<QWidget> section_;
    QPointer<QLineEdit> websiteTitle_;
    QPointer<QLineEdit> websiteAddress_;
    // What the website row holds; page state, so it outlives a swap of the sections.
    QString websiteTitleText_;
    QString websiteAddressText_;
};

} // namespace vantrel
