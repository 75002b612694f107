#pragma once

#include <QImage>
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QWidget>
#include <array>

class QAbstractButton;
class QVariantAnimation;

namespace vantrel {

class Clock;
class KeyboardCleaningController;
class KeyboardCleaningInk;
class Scheduler;
class VantrelButton;
class VantrelHaptics;
class VantrelMotion;
class VantrelPreferences;

// The cleaning canvas over the whole control-center window while a session runs: a dimmed
// backdrop and a card drawn like a document window, with a toolbar, a paper sheet that takes one
// mark per blocked press, and a status column with the countdown ring, three status rows, the
// exit chord and "End Now". It only shows the controller's state and offers the two ways to end
// the session. The root view fades it and lets clicks reach it only while a session is active.
class KeyboardCleaningOverlay final : public QWidget {
    Q_OBJECT
public:
    struct Context {
        KeyboardCleaningController& controller;
        VantrelPreferences& preferences;
        VantrelMotion& motion;
        VantrelHaptics& haptics;
        const Clock& clock;
        Scheduler& scheduler;
    };

    struct StatusRow {
        QString symbol;
        QString title;
        QString detail;
        QRectF icon;
        QRectF titleRect;
        QRectF detailRect;
    };

    // Where everything goes in a window of `size`, and what the rows say, from the formulas of
    // the canvas.
    struct Layout {
        QRectF card;
        QRectF toolbar;
        std::array<QRectF, 3> dots;
        QRectF closeButton;
        QRectF titleLine;
        QRectF subtitleLine;
        QRectF document;
        QRectF sheet;
        QRectF sheetContent;
        QRectF untitled;
        QRectF heading;
        QRectF badge;
        QRectF description;
        QRectF ink;
        QRectF footerGlyph;
        QRectF footerText;
        QRectF status;
        QRectF lockTitle;
        QRectF ring;
        std::array<StatusRow, 3> rows;
        QRectF chord;
        QRectF endButton;
        // What the ring's arc covers, 0...1.
        double ringFraction = 1;
        QString remainingText;

        static Layout make(QSizeF size, int remainingSeconds, int sessionDuration, int blockedKeyCount,
                           QSizeF endButtonSize);
    };

    KeyboardCleaningOverlay(const Context& context, QWidget* parent = nullptr);
    ~KeyboardCleaningOverlay() override;

    KeyboardCleaningController& controller() const { return context_.controller; }
    double opacity() const { return opacity_; }
    // 0 hides the canvas from the pointer, from accessibility and from view.
    void setOpacity(double opacity);

    Layout currentLayout() const;
    KeyboardCleaningInk* ink() const { return ink_; }
    QAbstractButton* closeButton() const { return close_; }
    VantrelButton* endButton() const { return end_; }
    // The seconds' change from the number shown before, rolling down; none while at rest.
    QVariantAnimation* numberTransition() const { return numberTransition_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void refresh();
    void updateVisibility();
    void layoutChildren();
    QColor accent() const;

    Context context_;
    double opacity_ = 0;
    KeyboardCleaningInk* ink_ = nullptr;
    QAbstractButton* close_ = nullptr;
    VantrelButton* end_ = nullptr;
    // The control that had the focus when the canvas came, which has it again when it goes.
    QPointer<QWidget> opener_;
    // The seconds roll down as they count: the old number leaves downwards while the new one comes
    // in from above.
    QVariantAnimation* numberTransition_ = nullptr;
    QString shownNumber_;
    QString leavingNumber_;
    // Everything that stays the same while keys are pressed and seconds pass, painted once for
    // each size, accent and pixel ratio: a press repaints only the count, the arc and the seconds.
    void paintStill(QPainter& painter, const Layout& l, const QColor& tint);
    struct StillKey {
        QSize size;
        qreal pixelRatio = 0;
        QRgb tint = 0;
        QRectF chord;
        bool operator==(const StillKey&) const = default;
    };
    QImage still_;
    StillKey stillFor_;
    // The card's and the sheet's shadows, blurred once per size.
    QImage shadow_;
    QSizeF shadowFor_;
    QImage sheetShadow_;
    QSizeF sheetShadowFor_;
};

} // namespace vantrel
