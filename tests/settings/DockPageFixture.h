#pragma once

#include "dock/DockControllerFixture.h"
#include "dock/DockSettingsStore.h"
#include "dock/RunningAppsStore.h"
#include "kit/MetricPill.h"
#include "kit/SettingsCard.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelMenuPicker.h"
#include "kit/VantrelSegmentedControl.h"
#include "kit/VantrelSliderRow.h"
#include "kit/VantrelSwitch.h"
#include "settings/DockPage.h"
#include "support/ControlCenterHarness.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <memory>

namespace vantrel::test {

// The surfaces get styles whose first pulses differ, so the log tells them apart.
inline const QString kControlsHaptic = QStringLiteral("haptic generic");
inline const QString kDockHaptic = QStringLiteral("haptic alignment");

// A Dock page on the control-center harness: the live Dock's controller and pinned items of the
// Dock's own fixture, a native Dock settings store on its own manual queue and recording domain,
// and the live Dock's calls written to the harness's log.
struct DockPageFixture {
    ControlCenterHarness c;
    DockControllerFixture d;
    RecordingDockDefaultsClient nativeDomain;
    ManualWorkQueue nativeQueue;
    RunningAppsStore running{c.h.runningApplications, c.h.alertPresenter};
    std::unique_ptr<DockSettingsStore> native;
    ControlCenterContext context = c.context();
    std::unique_ptr<DockPage> page;

    DockPageFixture() {
        c.h.preferences.setInterfaceHapticStyles(
            StringMap{{QStringLiteral("controls"), QStringLiteral("tick")},
                      {QStringLiteral("dock"), QStringLiteral("feather")}});
        d.make();
        native = std::make_unique<DockSettingsStore>(DockSettingsStore::Dependencies{
            .systemDockQueue = nativeQueue, .ownDefaults = d.defaults.standard(), .makeClient = [this] {
                return std::make_unique<SharedDockClient>(nativeDomain);
            }});
        QObject::connect(native.get(), &DockSettingsStore::changed, native.get(), [this] {
            if (native->isApplying() && !applyLogged_) c.h.log.add(QStringLiteral("nativeDock.apply"));
            applyLogged_ = native->isApplying();
        });
        nativeQueue.drain(); // the store's first reading
        context.dock.emplace(DockPageContext{
            .nativeDock = *native,
            .content = d.content,
            .dockController = *d.controller,
            .runningApps = running,
            .fileShelf = c.stores.fileShelf,
            .applyBehavior = [this] { c.h.log.add(QStringLiteral("applyBehavior")); },
            .reposition = [this] { c.h.log.add(QStringLiteral("reposition")); },
            .showFileShelf = [this] { c.h.log.add(QStringLiteral("showNotch files")); },
        });
    }

    DockPage& make(int width = 1100) {
        page = std::make_unique<DockPage>(context, *context.dock);
        page->resize(width, 900);
        page->show();
        QCoreApplication::sendPostedEvents();
        return *page;
    }
    void settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    template <typename W> W* named(const QString& name) const {
        W* found = nullptr;
        for (W* w : page->section()->findChildren<W*>())
            if (w->objectName() == name || w->accessibleName() == name) found = w;
        return found;
    }
    VantrelSegmentedControl* segmented(const QString& name) const {
        return named<VantrelSegmentedControl>(name);
    }
    QCheckBox* checkbox(const QString& title) const { return named<QCheckBox>(title); }
    VantrelSliderRow* slider(const QString& title) const { return named<VantrelSliderRow>(title); }
    VantrelButton* button(const QString& name) const { return named<VantrelButton>(name); }
    QWidget* row(const QString& title) const { return named<QWidget>(title); }
    // Visible within the section (its cards may be scrolled off screen).
    bool shows(QWidget* w) const { return w && w->isVisibleTo(page->section()); }
    QString labelText(const QString& name) const {
        auto* label = named<VantrelLabel>(name);
        return label ? label->text() : QStringLiteral("<none>");
    }
    QStringList cardTitles() const {
        QStringList titles;
        for (SettingsCard* card : page->section()->findChildren<SettingsCard*>()) titles << card->title();
        return titles;
    }
    QStringList visibleCheckboxes() const {
        QStringList titles;
        for (QCheckBox* box : page->section()->findChildren<QCheckBox*>())
            if (shows(box)) titles << box->text();
        return titles;
    }

private:
    bool applyLogged_ = false;
};

} // namespace vantrel::test
