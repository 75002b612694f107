#pragma once

#include "control-center/HomePageContext.h"
#include "control-center/HomeUtility.h"

#include <QList>
#include <QUrl>
#include <QWidget>
#include <map>
#include <optional>

class QAbstractButton;
class QLabel;
class QScrollArea;
class QVariantAnimation;
class QVBoxLayout;

namespace vantrel {

class EscapeKeyMonitor;
class HomeActions;
class VantrelButton;
class VantrelGlyph;
class VantrelMenuPicker;

// The quick-controls panel of the home page: a dark 680 by 530 card with three collapsible
// sections (the timers, the clipboard history, the file shelf), the one the page has open
// expanded. It keeps no selection of its own: a header click only reports its utility, and the
// page answers with setSelected. Every value shown is read from the stores whenever one of them
// changes; Escape, anywhere in the application, closes the panel while it exists. It covers the
// page: Tab and Shift+Tab cycle through its own controls and never reach a widget behind it.
class HomeUtilityPanel final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 680;
    static constexpr int kHeight = 530;
    static constexpr double kCornerRadius = 24;
    // The presets of the countdown's minutes menu.
    static constexpr qint64 kCountdownPresets[] = {1, 3, 5, 10, 25};
    static constexpr int kListLimit = 5;

    HomeUtilityPanel(const HomePageContext& context, HomeActions& actions, HomeUtility selected,
                     QWidget* parent = nullptr);
    ~HomeUtilityPanel() override;

    HomeUtility selected() const { return selected_; }
    // The utility the page has open; its section expands, the others collapse.
    void setSelected(HomeUtility utility);

    // What the panel shows, for tests and the page.
    QAbstractButton* sectionHeader(HomeUtility utility) const { return sections_.at(utility).header; }
    bool isExpanded(HomeUtility utility) const;
    // How much of a section's controls shows: 1 open, 0 closed, between while they cross-fade.
    double controlsOpacity(HomeUtility utility) const;
    QScrollArea* sectionsScroll() const { return scroll_; }
    QVariantAnimation* crossFade() const { return crossFade_; }
    QString headerSymbol() const;
    QAbstractButton* closeButton() const { return close_; }
    EscapeKeyMonitor* escapeMonitor() const { return escape_; }

    // The Countdown row's value: the remaining time without hundredths, else the minutes as "M:00".
    static QString countdownText(double remaining, qint64 minutes);
    // The preset marked in the minutes menu for `minutes`; none for a length it does not offer.
    static int presetIndex(qint64 minutes);
    // An entry's text on one line: every line break becomes a space.
    static QString oneLine(const QString& text);

    // The panel's card: fill, outline and the accent's share of the outline.
    static QPainterPath cardShape(const QRectF& rect);

    // The controls Tab and Shift+Tab cycle through now, in their order: the shown and enabled
    // ones that take focus from the keyboard.
    QList<QWidget*> tabStops() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    struct Section {
        QWidget* card = nullptr;
        QAbstractButton* header = nullptr;
        QWidget* body = nullptr;
    };

    QWidget* buildHeader();
    QWidget* buildSection(HomeUtility utility, QWidget* controls);
    QWidget* buildTimerControls();
    QWidget* buildClipboardControls();
    QWidget* buildFileControls();
    QWidget* emptyState(const QString& message, const QString& symbol);
    void applyCrossFade(double progress);
    void fitSections();
    void refreshTimers();
    void rebuildClipboard();
    void rebuildFiles();
    QColor accent() const;

    HomePageContext context_;
    HomeActions& actions_;
    HomeUtility selected_;
    std::map<HomeUtility, Section> sections_;
    EscapeKeyMonitor* escape_;
    QAbstractButton* close_ = nullptr;
    QWidget* headerIcon_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QVariantAnimation* crossFade_ = nullptr;
    // The section whose controls are fading out, while they do.
    std::optional<HomeUtility> closing_;

    // Timer section.
    QLabel* timerValue_ = nullptr;
    QLabel* stopwatchValue_ = nullptr;
    QLabel* countdownValue_ = nullptr;
    VantrelButton* timerPrimary_ = nullptr;
    VantrelButton* stopwatchPrimary_ = nullptr;
    VantrelButton* countdownPrimary_ = nullptr;
    QAbstractButton* minus_ = nullptr;
    QAbstractButton* plus_ = nullptr;
    QLabel* minutes_ = nullptr;
    VantrelButton* lap_ = nullptr;
    VantrelMenuPicker* minutesMenu_ = nullptr;
    // Clipboard and File Shelf sections: their lists, rebuilt when their store changes.
    QVBoxLayout* clipboardList_ = nullptr;
    QVBoxLayout* fileList_ = nullptr;
};

} // namespace vantrel
