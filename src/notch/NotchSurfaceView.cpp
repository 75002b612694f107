#include "notch/NotchSurfaceView.h"

#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "kit/FocusHalo.h"
#include "kit/FocusHandOff.h"
#include "kit/GlyphCatalogue.h"
#include "kit/ThemeArtwork.h"
#include "kit/ThemeImageStore.h"
#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelPanel.h"
#include "kit/VantrelShadow.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/CalendarStore.h"
#include "modules/FileShelfStore.h"
#include "modules/MediaController.h"
#include "notch/NotchContentCrossFade.h"
#include "notch/NotchDrop.h"
#include "notch/NotchPanelController.h"
#include "notch/NotchSurfaceButton.h"
#include "notch/NotchTabContent.h"
#include "notch/NotchTabGlyph.h"
#include "platform/SystemAppearance.h"

#include <QApplication>
#include <QCursor>
#include <QDragEnterEvent>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadialGradient>
#include <QTextEdit>
#include <QVariantAnimation>
#include <algorithm>

namespace vantrel {

namespace Look = NotchSurfaceLook;
namespace Layout = NotchSurfaceLayout;

namespace {

using VantrelTheme::black;
using VantrelTheme::white;

void drawElided(QPainter& painter, const QRectF& rect, const QString& text, const QFont& font,
                const QColor& color, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(rect, alignment, QFontMetricsF(font).elidedText(text, Qt::ElideRight, rect.width()));
}

} // namespace

NotchSurfaceView::NotchSurfaceView(NotchPanelController& controller, const NotchSurfaceContext& context,
                                   SystemAppearance* appearance, QWidget* parent)
    : QWidget(parent), controller_(controller), context_(context), preferences_(context.preferences),
      hoverAnimation_(new QVariantAnimation(this)), crossFade_(new NotchContentCrossFade(this)) {
    setAttribute(Qt::WA_Hover);
    setAcceptDrops(true);
    setMouseTracking(true);
    setAccessibleName(QStringLiteral("Vantrel notch"));

    hoverAnimation_->setDuration(int(kHoverSeconds * 1000));
    hoverAnimation_->setEasingCurve(QEasingCurve::OutCubic);
    connect(hoverAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        hoverProgress_ = value.toDouble();
        update();
    });

    collapseButton_ = new NotchSurfaceButton(
        QStringLiteral("Collapse notch"),
        [this](QPainter& painter, const QRectF& rect, bool, bool) {
            const bool midnight = preferences_.notchAppearance() == NotchAppearance::midnight;
            QPainterPath capsule;
            capsule.addRoundedRect(rect, rect.height() / 2, rect.height() / 2);
            painter.fillPath(capsule, midnight ? white(0.07) : black(0.07));
            const QRectF glyph(rect.center().x() - 5, rect.center().y() - 5, 10, 10);
            GlyphCatalogue::paint(painter, u"chevron.up", glyph, VantrelTheme::primary(expandedColorScheme()),
                                  QFont::Bold);
        },
        this);
    collapseButton_->setToolTip(QStringLiteral("Close notch"));
    connect(collapseButton_, &QAbstractButton::clicked, this, [this] { controller_.collapse(); });

    struct Transport {
        const char* label;
        MediaCommand command;
    };
    const Transport transports[] = {{"Previous track", MediaCommand::previousTrack},
                                    {"Play", MediaCommand::playPause},
                                    {"Next track", MediaCommand::nextTrack}};
    for (int i = 0; i < 3; ++i) {
        auto* button = new NotchSurfaceButton(
            QString::fromLatin1(transports[i].label),
            [this, i](QPainter& painter, const QRectF& rect, bool, bool) {
                static const char* const names[] = {"backward.fill", "play.fill", "forward.fill"};
                QString name = QString::fromLatin1(names[i]);
                if (i == 1 && context_.media.isPlaying()) name = QStringLiteral("pause.fill");
                const QRectF glyph(rect.center().x() - 5.5, rect.center().y() - 5.5, 11, 11);
                GlyphCatalogue::paint(painter, name, glyph, VantrelTheme::primary(expandedColorScheme()),
                                      QFont::DemiBold);
            },
            this);
        const MediaCommand command = transports[i].command;
        connect(button, &QAbstractButton::clicked, this,
                [this, command] { context_.media.control(command); });
        mediaButtons_.push_back(button);
    }

    calendarButton_ = new NotchSurfaceButton(
        QStringLiteral("Open Calendar"),
        [this](QPainter& painter, const QRectF& rect, bool, bool) {
            std::vector<QString> titles;
            if (!context_.calendar.events().empty())
                titles.push_back(context_.calendar.events().front().title);
            const Layout::IdentityTexts texts =
                Layout::calendarTexts(QDate::currentDate(), QLocale(), titles);
            const ColorScheme scheme = expandedColorScheme();
            const QFont dateFont = VantrelType::font(11.5, QFont::DemiBold);
            const QFont eventFont = VantrelType::font(10, QFont::Normal);
            const double dateHeight = QFontMetricsF(dateFont).height();
            const double eventHeight = QFontMetricsF(eventFont).height();
            const double top = rect.center().y() - (dateHeight + 2 + eventHeight) / 2;
            drawElided(painter, QRectF(rect.left(), top, rect.width(), dateHeight), texts.title, dateFont,
                       VantrelTheme::primary(scheme));
            drawElided(painter, QRectF(rect.left(), top + dateHeight + 2, rect.width(), eventHeight),
                       texts.subtitle, eventFont, VantrelTheme::secondaryText().resolve(scheme));
        },
        this);
    // Its date and event title fill its width: the ring goes round the outside.
    FocusHalo::install(calendarButton_);
    connect(calendarButton_, &QAbstractButton::clicked, this,
            [this] { controller_.setSelectedTab(NotchTab::calendar); });

    connect(&controller_, &NotchPanelController::isExpandedChanged, this, &NotchSurfaceView::expandedChanged);
    connect(&controller_, &NotchPanelController::selectedTabChanged, this,
            &NotchSurfaceView::selectedTabChanged);
    for (auto signal :
         {&NotchPanelController::hardwareNotchWidthChanged, &NotchPanelController::topBridgeHeightChanged})
        connect(&controller_, signal, this, [this] {
            relayout();
            update();
        });
    connect(&controller_, &NotchPanelController::hasPhysicalNotchChanged, this, [this] {
        relayout();
        update();
    });
    if (appearance) {
        // The desktop's wish for less transparency makes the crystal glass opaque.
        setReduceTransparency(appearance->reduceTransparency());
        connect(appearance, &SystemAppearance::changed, this,
                [this, appearance] { setReduceTransparency(appearance->reduceTransparency()); });
    }
    connect(&preferences_, &VantrelPreferences::changed, this, &NotchSurfaceView::settingChanged);
    MediaController& media = context_.media;
    for (auto signal : {&MediaController::titleChanged, &MediaController::artistChanged,
                        &MediaController::artworkChanged, &MediaController::isPlayingChanged})
        connect(&media, signal, this, [this] {
            update();
            updateButtonStates();
        });
    connect(&context_.calendar, &CalendarStore::eventsChanged, calendarButton_,
            qOverload<>(&QWidget::update));

    shownAppearance_ = preferences_.notchAppearance();
    VantrelTheme::setColorScheme(this, expandedColorScheme());
    refreshArtwork();
    rebuildRails();
    replaceContent();
    relayout();
}

NotchSurfaceView::~NotchSurfaceView() = default;

std::vector<NotchTab> NotchSurfaceView::availableTabs() const {
    return Layout::availableTabs(preferences_);
}

void NotchSurfaceView::setReduceTransparency(bool reduce) {
    if (reduceTransparency_ == reduce) return;
    reduceTransparency_ = reduce;
    syncBlurBehind();
    update();
}

NotchExpandedShape NotchSurfaceView::expandedShape() const {
    return {controller_.hasPhysicalNotch(), controller_.hardwareNotchWidth(), controller_.topBridgeHeight()};
}

QColor NotchSurfaceView::accent() const {
    return VantrelTheme::accent(preferences_.accent());
}

ColorScheme NotchSurfaceView::expandedColorScheme() const {
    return preferences_.notchAppearance() == NotchAppearance::midnight ? ColorScheme::dark
                                                                       : ColorScheme::light;
}

// Pointer and drops.

void NotchSurfaceView::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    hoverChanged(true);
}

void NotchSurfaceView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    // A menu opened from the open panel takes the pointer without it leaving: the panel stays open
    // under the menu, and follows the pointer again once the menu has closed.
    if (QWidget* popup = QApplication::activePopupWidget(); popup && opensFromHere(*popup)) {
        if (popup != watchedPopup_) {
            watchedPopup_ = popup;
            popup->installEventFilter(this);
        }
        return;
    }
    // A chooser opened from the panel ("Add App") takes the pointer and the keys while it is up:
    // the panel stays open under it, and after it, when the keys come back to it, until the
    // pointer enters and leaves again. Qt tells of the leave as the chooser shows, before it
    // counts as the modal window.
    const QWidgetList windows = QApplication::topLevelWidgets();
    if (std::any_of(windows.begin(), windows.end(), [this](const QWidget* w) {
            return w->isVisible() && w->isModal() && opensFromHere(*w);
        })) {
        controller_.cancelPendingHoverExpand();
        showHover(false);
        return;
    }
    hoverChanged(false);
}

bool NotchSurfaceView::opensFromHere(const QWidget& popup) const {
    for (const QWidget* widget = popup.parentWidget(); widget; widget = widget->parentWidget())
        if (widget == this) return true;
    return false;
}

bool NotchSurfaceView::isTextInput(const QObject* object) {
    if (qobject_cast<const QLineEdit*>(object)) return true;
    const auto* area = object ? qobject_cast<const QAbstractScrollArea*>(object->parent()) : nullptr;
    return area && area->viewport() == object &&
           (qobject_cast<const QPlainTextEdit*>(area) || qobject_cast<const QTextEdit*>(area));
}

bool NotchSurfaceView::eventFilter(QObject* watched, QEvent* event) {
    // Opened by the pointer, the panel leaves the keyboard where it was; a click into one of the
    // tab's text fields is the moment to take it, or typing there would go elsewhere.
    if (event->type() == QEvent::MouseButtonPress && isTextInput(watched) && controller_.isExpanded())
        controller_.expand(std::nullopt, true);
    if (watched == watchedPopup_ && event->type() == QEvent::Hide) {
        watchedPopup_->removeEventFilter(this);
        watchedPopup_ = nullptr;
        if (!rect().contains(mapFromGlobal(QCursor::pos()))) hoverChanged(false);
    }
    return QWidget::eventFilter(watched, event);
}

void NotchSurfaceView::showHover(bool hovering) {
    if (isPointerInside_ == hovering) return;
    isPointerInside_ = hovering;
    hoverAnimation_->stop();
    hoverAnimation_->setStartValue(hoverProgress_);
    hoverAnimation_->setEndValue(hovering ? 1.0 : 0.0);
    hoverAnimation_->start();
}

void NotchSurfaceView::hoverChanged(bool hovering) {
    showHover(hovering);
    if (hovering) {
        controller_.cancelPendingCollapse();
        if (preferences_.notchAutoExpand()) controller_.scheduleHoverExpand();
        return;
    }
    const bool wasExpanded = controller_.isExpanded();
    controller_.cancelPendingHoverExpand();
    controller_.pointerLeft();
    if (wasExpanded) controller_.scheduleCollapse();
}

void NotchSurfaceView::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    // The whole compact area takes the click, clear parts included.
    if (!controller_.isExpanded() && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        controller_.expand(std::nullopt, true);
}

void NotchSurfaceView::dragEnterEvent(QDragEnterEvent* event) {
    // Only a drag with a file of this machine is worth opening the notch for.
    if (!NotchDrop::carriesLocalFiles(*event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    setFileDragTargeted(true);
}

void NotchSurfaceView::dragMoveEvent(QDragMoveEvent* event) {
    if (isFileDragTargeted_)
        event->acceptProposedAction();
    else
        event->ignore();
}

void NotchSurfaceView::dragLeaveEvent(QDragLeaveEvent* event) {
    QWidget::dragLeaveEvent(event);
    setFileDragTargeted(false);
}

void NotchSurfaceView::dropEvent(QDropEvent* event) {
    if (acceptDrop(*event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

bool NotchSurfaceView::acceptDrop(const QMimeData& data) {
    const QList<QUrl> files = NotchDrop::localFiles(data);
    if (files.isEmpty()) {
        setFileDragTargeted(false);
        return false;
    }
    context_.fileShelf.add(files);
    controller_.expand(NotchTab::files, false);
    setFileDragTargeted(false);
    return true;
}

void NotchSurfaceView::setFileDragTargeted(bool targeted) {
    if (isFileDragTargeted_ == targeted) return;
    isFileDragTargeted_ = targeted;
    update();
    Q_EMIT fileDragTargetedChanged(targeted);
    if (targeted) controller_.expand(NotchTab::files, false);
}

// Life on screen.

void NotchSurfaceView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    syncBlurBehind();
    syncMediaPolling();
    if (controller_.isExpanded()) lookAppeared();
}

void NotchSurfaceView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    syncMediaPolling();
}

void NotchSurfaceView::expandedChanged() {
    syncBlurBehind();
    syncMediaPolling();
    if (controller_.isExpanded() && isVisible()) lookAppeared();
    relayout();
    update();
}

// The one place the now-playing poll starts and stops: hiding the panel, closing it, sleep and
// an ineligible display all come through here as a hide or a collapse.
void NotchSurfaceView::syncMediaPolling() {
    if (controller_.isExpanded() && isVisible())
        context_.media.start();
    else
        context_.media.stop();
}

void NotchSurfaceView::syncBlurBehind() {
    auto* panel = qobject_cast<VantrelPanel*>(window());
    if (panel != panel_) {
        if (panel_) disconnect(panel_, nullptr, this, nullptr);
        panel_ = panel;
        // The glass is drawn again, translucent or dense, as the blur comes and goes.
        if (panel) connect(panel, &VantrelPanel::blurredBehindChanged, this, qOverload<>(&QWidget::update));
    }
    if (!panel) return;
    // The black cap and the midnight body are opaque, and the glass made opaque for less
    // transparency hides what lies behind by itself: no blur is worth asking for under them.
    panel->setWantsBlurBehind(controller_.isExpanded() &&
                              preferences_.notchAppearance() == NotchAppearance::crystal &&
                              !reduceTransparency_);
}

bool NotchSurfaceView::isBlurredBehind() const {
    return panel_ && panel_->isBlurredBehind();
}

void NotchSurfaceView::lookAppeared() {
    // Each look shows today's first event; it reads the calendar afresh when it comes on screen.
    context_.calendar.refresh();
}

void NotchSurfaceView::refreshArtwork() {
    // Fetched when the settings change, never while painting.
    artwork_.reset();
    ThemeImageStore* store = ThemeImageStore::sharedIfInstalled();
    const NotchLookSettings look = NotchLookSettings::from(preferences_);
    if (!store || Look::notchTheme(look) == ArtTheme::neutral) return;
    const ThemeArtworkRequest request{.theme = Look::notchTheme(look),
                                      .isDark = look.appearance == NotchAppearance::midnight,
                                      .thumbnail = false,
                                      .hueTint = std::nullopt,
                                      .hueAmount = 0};
    artwork_ = request.resolve(*store);
}

void NotchSurfaceView::settingChanged() {
    refreshArtwork();
    syncBlurBehind();
    if (shownAppearance_ != preferences_.notchAppearance()) {
        shownAppearance_ = preferences_.notchAppearance();
        VantrelTheme::setColorScheme(this, expandedColorScheme());
        if (controller_.isExpanded() && isVisible()) lookAppeared();
    }
    if (availableTabs() != railTabs_) rebuildRails();
    relayout();
    update();
}

void NotchSurfaceView::selectedTabChanged() {
    // A tab chosen from a rail (or the glance row's calendar) keeps the focus on that tab's button
    // of the rail now shown, though the rail it was chosen on may go with the glance row.
    std::optional<NotchTab> focusedTab;
    FocusHandOff::Held held;
    for (std::size_t i = 0; i < railTabs_.size(); ++i)
        for (NotchSurfaceButton* button : {headerRail_[i], glanceRail_[i]})
            if (button->hasFocus()) {
                focusedTab = railTabs_[i];
                held = FocusHandOff::take(button);
            }
    if (calendarButton_->hasFocus()) {
        focusedTab = NotchTab::calendar;
        held = FocusHandOff::take(calendarButton_);
    }
    // Parked on the view while the rails change, so that Qt does not hand it along the Tab order.
    if (held.widget) setFocus(Qt::OtherFocusReason);
    replaceContent();
    relayout();
    updateButtonStates();
    update();
    if (!focusedTab) return;
    QWidget* target = collapseButton_;
    for (std::size_t i = 0; i < railTabs_.size(); ++i)
        if (railTabs_[i] == *focusedTab)
            for (NotchSurfaceButton* button : {headerRail_[i], glanceRail_[i]})
                if (FocusHandOff::canTake(button)) target = button;
    FocusHandOff::give(held, target);
}

// Children.

NotchSurfaceButton* NotchSurfaceView::makeRailButton(NotchTab tab, bool inHeader) {
    auto* button = new NotchSurfaceButton(
        Layout::tabTitle(tab),
        [this, tab, inHeader](QPainter& painter, const QRectF& rect, bool, bool) {
            const bool selected = controller_.selectedTab() == tab;
            const QColor accentColor = accent();
            NotchTabGlyph glyph{
                .tab = tab,
                .foreground =
                    selected ? accentColor : VantrelTheme::secondaryText().resolve(expandedColorScheme()),
                .selectionFill = VantrelTheme::withOpacity(accentColor, inHeader ? 0.2 : 0.16),
                .isSelected = selected,
                .buttonSize = rect.width(),
            };
            glyph.paint(painter, rect.topLeft());
        },
        this);
    button->setToolTip(Layout::tabTitle(tab));
    connect(button, &QAbstractButton::clicked, this, [this, tab] { controller_.setSelectedTab(tab); });
    return button;
}

void NotchSurfaceView::rebuildRails() {
    for (NotchSurfaceButton* button : headerRail_) delete button;
    for (NotchSurfaceButton* button : glanceRail_) delete button;
    headerRail_.clear();
    glanceRail_.clear();
    railTabs_ = availableTabs();
    for (NotchTab tab : railTabs_) {
        headerRail_.push_back(makeRailButton(tab, true));
        glanceRail_.push_back(makeRailButton(tab, false));
    }
}

QWidget* NotchSurfaceView::outgoingContentView() const {
    return crossFade_->outgoing();
}

QVariantAnimation* NotchSurfaceView::contentFade() const {
    return crossFade_->animation();
}

void NotchSurfaceView::replaceContent() {
    const NotchTab tab = controller_.selectedTab();
    if (content_ && contentTab_ == tab) return;
    // The tab's view is replaced, not updated: the old one fades out as the new one fades in.
    QWidget* outgoing = content_;
    contentTab_ = tab;
    content_ = NotchTabContent::make(
        tab,
        {context_, accent(), VantrelHaptics::sharedIfInstalled(), [this] { return isFileDragTargeted_; }},
        this);
    // A click into a tab's text field hands the panel the keyboard (see eventFilter).
    if (content_)
        for (QWidget* child : content_->findChildren<QWidget*>())
            if (isTextInput(child)) child->installEventFilter(this);
    crossFade_->start(outgoing, content_);
}

void NotchSurfaceView::updateButtonStates() {
    mediaButtons_[1]->setAccessibleName(context_.media.isPlaying() ? QStringLiteral("Pause")
                                                                   : QStringLiteral("Play"));
    for (NotchSurfaceButton* button : headerRail_) button->update();
    for (NotchSurfaceButton* button : glanceRail_) button->update();
    for (NotchSurfaceButton* button : mediaButtons_) button->update();
}

void NotchSurfaceView::relayout() {
    const bool expanded = controller_.isExpanded();
    const Layout::ContentRows rows =
        Layout::contentRows(QSizeF(size()), controller_.hasPhysicalNotch(), controller_.topBridgeHeight(),
                            controller_.selectedTab());
    const bool glance = expanded && rows.showsGlance;
    const bool header = expanded && !rows.showsGlance;
    const int n = int(railTabs_.size());

    const auto place = [](QWidget* widget, const QRectF& rect, bool visible) {
        widget->setVisible(visible && !rect.isEmpty());
        if (visible) widget->setGeometry(rect.toAlignedRect());
    };

    if (glance) {
        const Layout::Glance g = Layout::glance(rows.glance, n);
        for (int i = 0; i < n; ++i) place(glanceRail_[i], g.railButtons[i], true);
        for (int i = 0; i < 3; ++i) place(mediaButtons_[i], g.mediaButtons[i], true);
        place(calendarButton_, g.calendarButton, g.isWide);
        place(collapseButton_, g.collapseButton, true);
    } else {
        for (NotchSurfaceButton* button : glanceRail_) button->hide();
        for (NotchSurfaceButton* button : mediaButtons_) button->hide();
        calendarButton_->hide();
    }
    if (header) {
        const Layout::Header h = Layout::header(rows.header, n, 0, 0);
        for (int i = 0; i < n; ++i) place(headerRail_[i], h.railButtons[i], true);
        place(collapseButton_, h.collapseButton, true);
    } else {
        for (NotchSurfaceButton* button : headerRail_) button->hide();
    }
    if (!expanded) collapseButton_->hide();
    if (content_) place(content_, rows.content, header);
    // The view fading out shares the content's place while the header shows (over the glance
    // row it stays where it was); a closed surface shows none.
    if (QWidget* outgoing = crossFade_->outgoing()) {
        if (!expanded)
            outgoing->hide();
        else if (header)
            outgoing->setGeometry(rows.content.toAlignedRect());
    }
}

void NotchSurfaceView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}

// Painting.

void NotchSurfaceView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (controller_.isExpanded())
        paintExpanded(painter);
    else
        paintCompact(painter);
}

void NotchSurfaceView::paintCompact(QPainter& painter) {
    // Without a notch the cap is clear, yet the whole area still takes hovers, clicks and drops.
    if (!controller_.hasPhysicalNotch()) return;
    const QRectF area(rect());
    painter.fillPath(
        ContinuousRoundedRectangle{Look::capCornerRadius(controller_.topBridgeHeight()), true}.path(area),
        NotchOLED::black);

    Look::Indicator indicator = Look::indicator(isPointerInside_ || hoverProgress_ > 0, isFileDragTargeted_,
                                                controller_.hardwareNotchWidth(), accent());
    if (!isFileDragTargeted_) {
        // The hover capsule grows and fades with the pointer's 0.14 s transition.
        indicator.size.setWidth(indicator.size.width() * hoverProgress_);
        indicator.color.setAlphaF(float(0.82 * hoverProgress_));
    }
    if (indicator.size.width() <= 0 || indicator.color.alpha() == 0) return;
    const QRectF capsule(area.center().x() - indicator.size.width() / 2,
                         area.bottom() - 1 - indicator.size.height(), indicator.size.width(),
                         indicator.size.height());
    QPainterPath path;
    path.addRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);
    painter.fillPath(path, indicator.color);
}

void NotchSurfaceView::paintExpanded(QPainter& painter) {
    const NotchSurfaceBody::Key key{
        .size = size(),
        .devicePixelRatio = devicePixelRatioF(),
        .look = NotchLookSettings::from(preferences_),
        .shape = expandedShape(),
        .reduceTransparency = reduceTransparency_,
        .blurredBehind = isBlurredBehind(),
        .accent = accent().rgba(),
        .artwork = artwork_,
    };
    // The look's layers change only with the settings and the size, not while the mask animates.
    if (body_.isNull() || !(key == bodyKey_)) {
        body_ = NotchSurfaceBody::render(key);
        bodyKey_ = key;
    }
    painter.drawImage(QPointF(0, 0), body_);

    const ColorScheme scheme = expandedColorScheme();
    const Layout::ContentRows rows =
        Layout::contentRows(QSizeF(size()), controller_.hasPhysicalNotch(), controller_.topBridgeHeight(),
                            controller_.selectedTab());
    const MediaController& media = context_.media;
    const int n = int(railTabs_.size());
    if (rows.showsGlance) {
        const Layout::Glance g = Layout::glance(rows.glance, n);
        paintArtworkTile(painter, g.artworkTile);
        const Layout::IdentityTexts texts = Layout::glanceTexts(media.title(), media.artist());
        paintIdentityTexts(painter, g.textColumn, texts.title, texts.subtitle, 12, 2);
        if (g.isWide)
            painter.fillRect(g.divider, VantrelTheme::withOpacity(VantrelTheme::primary(scheme), 0.18));
        return;
    }
    const Layout::IdentityTexts texts = Layout::headerTexts(media.title(), media.artist());
    const QFont titleFont = VantrelType::font(12.5, QFont::DemiBold);
    const QFont subtitleFont = VantrelType::font(10.5, QFont::Normal);
    const Layout::Header h =
        Layout::header(rows.header, n, QFontMetricsF(titleFont).horizontalAdvance(texts.title),
                       QFontMetricsF(subtitleFont).horizontalAdvance(texts.subtitle));
    paintArtworkTile(painter, h.artworkTile);
    if (h.showsFullIdentity) paintIdentityTexts(painter, h.textColumn, texts.title, texts.subtitle, 12.5, 1);
}

void NotchSurfaceView::paintArtworkTile(QPainter& painter, const QRectF& tile) const {
    const QPainterPath clip = ContinuousRoundedRectangle{9}.path(tile);
    const std::optional<QImage>& artwork = context_.media.artwork();
    if (artwork && !artwork->isNull()) {
        // Scaled to fill once per image and tile size, not on every paint.
        const qint64 key = artwork->cacheKey();
        const QSize pixels = (tile.size() * devicePixelRatioF()).toSize();
        if (artworkKey_ != key || artworkTile_.size() != pixels) {
            artworkTile_ = artwork->scaled(pixels, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
            artworkTile_ = artworkTile_.copy((artworkTile_.width() - pixels.width()) / 2,
                                             (artworkTile_.height() - pixels.height()) / 2, pixels.width(),
                                             pixels.height());
            artworkTile_.setDevicePixelRatio(devicePixelRatioF());
            artworkKey_ = key;
        }
        painter.save();
        painter.setClipPath(clip);
        painter.drawImage(tile.topLeft(), artworkTile_);
        painter.restore();
        return;
    }
    const QColor accentColor = accent();
    painter.fillPath(clip, VantrelTheme::withOpacity(accentColor, 0.13));
    painter.setFont(VantrelType::font(17, QFont::Medium));
    painter.setPen(accentColor);
    painter.drawText(tile, Qt::AlignCenter, QStringLiteral("?"));
}

void NotchSurfaceView::paintIdentityTexts(QPainter& painter, const QRectF& column, const QString& title,
                                          const QString& subtitle, double titleSize, double spacing) const {
    if (column.width() <= 0) return;
    const ColorScheme scheme = expandedColorScheme();
    const QFont titleFont = VantrelType::font(titleSize, QFont::DemiBold);
    const QFont subtitleFont = VantrelType::font(10.5, QFont::Normal);
    const double titleHeight = QFontMetricsF(titleFont).height();
    const double subtitleHeight = QFontMetricsF(subtitleFont).height();
    const double top = column.center().y() - (titleHeight + spacing + subtitleHeight) / 2;
    drawElided(painter, QRectF(column.left(), top, column.width(), titleHeight), title, titleFont,
               VantrelTheme::primary(scheme));
    drawElided(painter, QRectF(column.left(), top + titleHeight + spacing, column.width(), subtitleHeight),
               subtitle, subtitleFont, VantrelTheme::secondaryText().resolve(scheme));
}

} // namespace vantrel
