#pragma once

#include "core/LocalPersistence.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "dock/DockContentStore.h"
#include "dock/DockViewContext.h"
#include "dock/FloatingDockView.h"
#include "dock/RunningAppsStore.h"
#include "modules/FileShelfStore.h"
#include "platform/linux/PosixFileManager.h"
#include "support/CallLog.h"
#include "support/FakeFileManager.h"
#include "support/FakeOpenPanel.h"
#include "support/FakeTrash.h"
#include "support/ManualClock.h"
#include "support/ManualScheduler.h"
#include "support/ManualWorkQueue.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingMenuPresenter.h"
#include "support/RecordingRunningApplications.h"
#include "support/RecordingSharingService.h"
#include "support/RecordingSystemLog.h"
#include "support/RecordingUserDefaults.h"
#include "support/RecordingWorkspace.h"
#include "support/ScriptedAlertPresenter.h"
#include "support/TempHome.h"

#include <QJsonDocument>
#include <QPainter>
#include <gtest/gtest.h>
#include <memory>

namespace vantrel::test {

// The Dock's row over recording stores: pinned items are written to the content file before the
// store reads it, running applications are set on the recording desktop, and every haptic, menu
// and Trash request lands on one ordered log.
struct DockViewFixture : ::testing::Test {
    TempHome home;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    CallLog calls;
    RecordingSystemLog log;
    FakeFileManager files;
    LocalPersistence persistence{LocalPersistence::Store{home.paths().dataFolder(), &files}, clock, log,
                                 QStringLiteral("com.vantrel.mac")};
    RecordingWorkspace workspace;
    FakeOpenPanel openPanel;
    RecordingRunningApplications running;
    ScriptedAlertPresenter alerts;
    RecordingMenuPresenter menus{&calls};
    RecordingUserDefaults defaults;
    VantrelPreferences preferences{defaults};
    PosixFileManager posix;
    RecordingSharingService sharing;
    RecordingHapticPerformer performer;
    ManualScheduler hapticScheduler{clock};
    VantrelHaptics haptics{preferences, performer, hapticScheduler};
    FileShelfStore shelf{defaults, posix, clock, scheduler, workspace, sharing, haptics};
    FakeTrash trash;
    // Empties the Trash only when the test drains it.
    ManualWorkQueue trashQueue;
    std::unique_ptr<DockContentStore> content;
    std::unique_ptr<RunningAppsStore> store;
    std::vector<QSizeF> reportedSizes;
    bool editing = false;

    DockViewFixture() {
        running.log = &calls;
        trash.log = &calls;
        alerts.log = &calls;
    }

    static DockShortcut item(const QString& title, DockShortcut::Kind kind, const QString& target = {},
                             std::optional<DockFolderColor> colour = std::nullopt) {
        return {QUuid::createUuid(), title, target, kind, colour};
    }
    // A rounded square of one colour with a white bar, as an application's icon.
    static QIcon colourIcon(const QColor& colour) {
        QPixmap pixmap(128, 128);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawRoundedRect(QRectF(4, 4, 120, 120), 28, 28);
        painter.setBrush(Qt::white);
        painter.drawRoundedRect(QRectF(32, 56, 64, 16), 8, 8);
        painter.end();
        return QIcon(pixmap);
    }
    static RunningApplication app(qint32 pid, const QString& name, const QString& identifier = {},
                                  const QColor& colour = QColor(52, 120, 246)) {
        RunningApplication a;
        a.icon = colourIcon(colour);
        a.processIdentifier = pid;
        a.localizedName = name;
        a.bundleIdentifier = identifier;
        if (!identifier.isEmpty()) a.bundleURL = QStringLiteral("/usr/share/applications/") + identifier;
        a.processVerified = true;
        return a;
    }

    // Builds the stores over `pinned` and the running applications set so far.
    void makeStores(const std::vector<DockShortcut>& pinned) {
        home.writeFile(QStringLiteral("home/.local/share/Vantrel/dock-shortcuts.json"),
                       QJsonDocument(DockShortcut::encodeList(pinned).toArray()).toJson());
        content = std::make_unique<DockContentStore>(persistence, workspace, openPanel, running);
        store = std::make_unique<RunningAppsStore>(running, alerts);
    }

    DockViewContext context() {
        return {
            .store = *store,
            .content = *content,
            .preferences = preferences,
            .shelf = shelf,
            .trash = trash,
            .workspace = workspace,
            .menus = menus,
            .alerts = alerts,
            .scheduler = scheduler,
            .log = log,
            .trashQueue = &trashQueue,
            .controller = nullptr,
            .motion = nullptr,
            .playHaptic =
                [this](HapticSurface surface) { calls.add(QStringLiteral("haptic ") + rawValue(surface)); },
            .openShelf = [this] { calls.add(QStringLiteral("openShelf")); },
            .onContentSizeChange = [this](QSizeF size) { reportedSizes.push_back(size); }};
    }

    std::unique_ptr<FloatingDockView> makeView() {
        auto view = std::make_unique<FloatingDockView>(context());
        view->resize(view->sizeHint());
        view->show();
        return view;
    }

    QImage render(FloatingDockView& view) {
        QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        view.paintDock(painter);
        painter.end();
        return image;
    }
};

} // namespace vantrel::test
