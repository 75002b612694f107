#pragma once

#include "kit/VantrelPanel.h"
#include "notch/NotchPanelController.h"
#include "support/ModuleStores.h"
#include "support/NotchDependencies.h"
#include "support/RecordingComponents.h"
#include "support/ServiceFakes.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QVariantAnimation>
#include <gtest/gtest.h>

namespace vantrel::test {

// The notch panel controller over the module stores, on fakes; the alert dot's click writes
// "open notifications" into the call log.
struct NotchHarness : ServiceFakes {
    ModuleStores stores{*this};
    RecordingNotchPanelController controller{
        log, notchDependencies(*this, [this] { log.add(QStringLiteral("open notifications")); }),
        stores.notchSurface()};
};

// The notch on a 1512 by 982 display with a 185 by 32 notch (the harness's screen).
class NotchTest : public ::testing::Test {
protected:
    NotchHarness h;
    ModuleStores& stores = h.stores;
    NotchPanelController& notch = h.controller;

    static ScreenInfo builtIn() { return notchedScreen(1, QRect(0, 0, 1512, 982), 185); }

    // The pulses played so far, by pattern name.
    QStringList pulses() const {
        QStringList names;
        for (const auto& pulse : h.hapticPerformer.pulses()) names.append(rawValue(pulse.pattern));
        return names;
    }
    VantrelPanel& panel() const { return *notch.panel(); }
    // The panel as it would appear on screen, on a transparent background.
    QImage render() const {
        QImage image(panel().size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        // With a window mask, rendering places the mask's top left corner at the given offset.
        const QRegion mask = panel().mask();
        panel().render(&image, mask.isEmpty() ? QPoint() : mask.boundingRect().topLeft(), QRegion(),
                       QWidget::DrawChildren);
        return image;
    }
    QStringList records(DiagnosticsCategory category) const {
        const QString prefix = QStringLiteral("[%1] ").arg(rawValue(category));
        QStringList out;
        for (const QString& line : h.systemLog.messages(QStringLiteral("QA")))
            if (line.startsWith(prefix)) out.append(line.mid(prefix.size()));
        return out;
    }
    QString panelNumber() const { return QString::number(static_cast<quint64>(panel().winId())); }
};

} // namespace vantrel::test
