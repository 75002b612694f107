#include "platform/linux/SimulatedNotch.h"

#include "platform/SystemLog.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace vantrel {

std::optional<SimulatedNotch> SimulatedNotch::parse(const std::optional<QString>& value, SystemLog& log) {
    const QString text = value.value_or(QString()).trimmed();
    if (text.isEmpty()) return SimulatedNotch{};
    if (text.compare(QStringLiteral("off"), Qt::CaseInsensitive) == 0) return std::nullopt;

    static const QRegularExpression pattern(
        QStringLiteral(R"(^(\d+(?:\.\d+)?)[xX](\d+(?:\.\d+)?)(?:@(\d{1,3}))?$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (match.hasMatch()) {
        SimulatedNotch notch;
        notch.width = match.captured(1).toDouble();
        notch.height = match.captured(2).toDouble();
        if (match.hasCaptured(3)) notch.screenIndex = match.captured(3).toInt();
        if (notch.width > 0 && notch.height > 0 && std::isfinite(notch.width) && std::isfinite(notch.height))
            return notch;
    }
    log.log(LogLevel::error, QString::fromLatin1(kLogSubsystem), QStringLiteral("Screens"),
            QStringLiteral("VANTREL_NOTCH=\"%1\" is not \"off\", \"<width>x<height>\" or "
                           "\"<width>x<height>@<screen index>\"; using a 185x32 notch on the primary screen")
                .arg(text));
    return SimulatedNotch{};
}

void SimulatedNotch::applyTo(ScreenInfo& screen) const {
    const QRectF frame(screen.frame);
    // A housing wider than the screen leaves no band on either side.
    const double side = (frame.width() - width) / 2;
    if (side <= 0) return;
    const double band = std::min(height, frame.height());
    screen.auxiliaryTopLeftArea = QRectF(frame.left(), frame.top(), side, band);
    screen.auxiliaryTopRightArea = QRectF(frame.left() + side + width, frame.top(), side, band);
    screen.topSafeAreaInset = band;
}

} // namespace vantrel
