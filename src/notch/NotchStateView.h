#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>

class QAbstractButton;
class QFont;

namespace vantrel {

class VantrelHaptics;

// The centred message a notch tab shows in place of its content when it is empty, lacks a
// permission or has failed: a symbol, a title, a message of at most two lines and, when both an
// action title and an action are given, a pill button that runs the action.
class NotchStateView final : public QWidget {
    Q_OBJECT
public:
    static constexpr double kPadding = 10;
    static constexpr double kSpacing = 7;
    static constexpr int kMaximumMessageLines = 2;

    NotchStateView(QString symbol, QString title, QString message, QColor accent,
                   std::optional<QString> actionTitle = std::nullopt, std::function<void()> action = {},
                   VantrelHaptics* haptics = nullptr, QWidget* parent = nullptr);

    const QString& symbol() const { return symbol_; }
    const QString& title() const { return title_; }
    const QString& message() const { return message_; }
    // The action's button; null when the view shows none.
    QAbstractButton* actionButton() const { return button_; }

    static QFont titleFont();
    static QFont messageFont();

    // Where the pieces sit in a view of `size`.
    struct Layout {
        QRectF symbol;
        QRectF title;
        QRectF message;
        QRectF button; // empty without a button
    };
    static Layout layout(const QSizeF& size, double titleHeight, double messageHeight,
                         const QSizeF& buttonSize);
    // The message broken into lines of at most `width`; the last allowed line is elided.
    static QStringList messageLines(const QString& message, const QFont& font, double width);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Layout currentLayout() const;

    QString symbol_;
    QString title_;
    QString message_;
    QColor accent_;
    QPointer<QAbstractButton> button_;
};

} // namespace vantrel
