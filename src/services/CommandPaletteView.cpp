#include "services/CommandPaletteView.h"

#include "kit/GlyphCatalogue.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "services/CommandPaletteCommands.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

namespace vantrel {

namespace {

constexpr double kPadding = 5;
constexpr double kHeaderHeight = 62;
constexpr double kHeaderInset = 20;
constexpr double kHeaderSpacing = 12;
constexpr double kFooterHeight = 31;
constexpr double kFooterInset = 18;
constexpr int kRowHeight = 50;

QFont headerFieldFont() {
    return VantrelType::font(17, QFont::DemiBold);
}
QFont badgeFont() {
    return VantrelType::font(9, QFont::Bold);
}
QFont footerFont() {
    return VantrelType::font(9.5, QFont::Medium);
}

QPainterPath roundedPath(const QRectF& rect, double radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

// One command: a button whose look is painted; the title and subtitle are its accessible name.
class CommandRow final : public QAbstractButton {
public:
    CommandRow(const VantrelCommand& command, QWidget* parent) : QAbstractButton(parent) {
        setObjectName(command.id);
        setCommand(command);
        setFixedHeight(kRowHeight);
        setFocusPolicy(Qt::NoFocus);
        setCursor(Qt::PointingHandCursor);
    }

    // The command as the state titles it now; redrawn only when that changed its look.
    void setCommand(const VantrelCommand& command) {
        action_ = command.action;
        if (title_ == command.title && subtitle_ == command.subtitle && symbol_ == command.symbol) return;
        title_ = command.title;
        subtitle_ = command.subtitle;
        symbol_ = command.symbol;
        setText(title_);
        setAccessibleName(title_ + QStringLiteral(", ") + subtitle_);
        update();
    }
    const std::function<void()>& action() const { return action_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = VantrelTheme::colorScheme(this);
        const QRectF bounds = rect();
        if (isDown()) painter.fillPath(roundedPath(bounds, 12), QColor::fromRgbF(1, 1, 1, 0.1f));

        const QFontMetricsF titleMetrics(VantrelType::label());
        const QFontMetricsF subtitleMetrics(VantrelType::caption());
        const CommandPaletteView::RowLayout layout =
            CommandPaletteView::rowLayout(bounds.size(), titleMetrics.height(), subtitleMetrics.height());
        painter.fillPath(roundedPath(layout.tile, 10), QColor::fromRgbF(1, 1, 1, 0.07f));
        const QColor primary = VantrelTheme::primary(scheme);
        GlyphCatalogue::paint(painter, symbol_, layout.glyph, primary, QFont::DemiBold);
        GlyphCatalogue::paint(painter, u"return", layout.returnMark,
                              VantrelTheme::tertiaryText().resolve(scheme));

        painter.setFont(VantrelType::label());
        painter.setPen(primary);
        painter.drawText(layout.title, Qt::AlignLeft | Qt::AlignVCenter,
                         titleMetrics.elidedText(title_, Qt::ElideRight, layout.title.width()));
        painter.setFont(VantrelType::caption());
        painter.setPen(VantrelTheme::secondaryText().resolve(scheme));
        painter.drawText(layout.subtitle, Qt::AlignLeft | Qt::AlignVCenter,
                         subtitleMetrics.elidedText(subtitle_, Qt::ElideRight, layout.subtitle.width()));
    }

private:
    QString title_;
    QString subtitle_;
    QString symbol_;
    std::function<void()> action_;
};

} // namespace

CommandPaletteView::CommandPaletteView(CommandPaletteCommands& commands,
                                       std::function<void(bool afterCommand)> dismiss, QWidget* parent)
    : QWidget(parent), commands_(commands), dismiss_(std::move(dismiss)), search_(new QLineEdit(this)),
      scroll_(new QScrollArea(this)), list_(new QWidget), listLayout_(new QVBoxLayout(list_)) {
    setObjectName(QStringLiteral("vantrel.command-palette.view"));
    setAttribute(Qt::WA_TranslucentBackground);
    resize(kWidth, kHeight);
    // A dark glass card over whatever lies below, as the notch is.
    VantrelTheme::setColorScheme(this, ColorScheme::dark);

    search_->setObjectName(QStringLiteral("search"));
    search_->setFrame(false);
    search_->setFont(headerFieldFont());
    search_->setPlaceholderText(QStringLiteral("Search actions, files, and tools\u2026"));
    search_->setAccessibleName(QStringLiteral("Search actions, files, and tools"));
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    QPalette field = search_->palette();
    field.setColor(QPalette::Base, Qt::transparent);
    field.setColor(QPalette::Text, VantrelTheme::primary(scheme));
    field.setColor(QPalette::PlaceholderText, VantrelTheme::tertiaryText().resolve(scheme));
    search_->setPalette(field);
    search_->installEventFilter(this);
    connect(search_, &QLineEdit::textChanged, this, &CommandPaletteView::refresh);

    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setWidgetResizable(true);
    scroll_->setFocusPolicy(Qt::NoFocus);
    QPalette clear = scroll_->palette();
    clear.setColor(QPalette::Window, Qt::transparent);
    clear.setColor(QPalette::Base, Qt::transparent);
    scroll_->setPalette(clear);
    scroll_->viewport()->setAutoFillBackground(false);
    list_->setAutoFillBackground(false);
    listLayout_->setContentsMargins(10, 10, 10, 10);
    listLayout_->setSpacing(5);
    listLayout_->setAlignment(Qt::AlignTop);
    scroll_->setWidget(list_);
    // A thin light bar that fits the dark card, in place of the style's own.
    scroll_->verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { background: transparent; width: 10px; margin: 6px 3px 6px 0; }"
        "QScrollBar::handle:vertical { background: rgba(255, 255, 255, 56); border-radius: 3px; min-height: "
        "28px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }"));

    setFocusProxy(search_);
    refresh();
    layoutChildren();
    commands_.observeState(this, [this] { followState(); });
}

std::vector<VantrelCommand> CommandPaletteView::commands(CommandPaletteCommands& c) {
    CommandPaletteCommands* target = &c;
    const auto notch = [target](NotchTab tab) { return [target, tab] { target->openNotchTab(tab); }; };
    return {
        {QStringLiteral("open"), QStringLiteral("Open Vantrel"), QStringLiteral("Show the control center"),
         QStringLiteral("sparkles"), QStringLiteral("home settings"),
         [target] { target->openSection(VantrelSection::home); }},
        {QStringLiteral("clipboard"), QStringLiteral("Clipboard history"),
         QStringLiteral("Search recent copies"), QStringLiteral("doc.on.clipboard"),
         QStringLiteral("copy paste history"), notch(NotchTab::clipboard)},
        {QStringLiteral("timer"),
         c.isFocusRunning() ? QStringLiteral("Pause timer") : QStringLiteral("Start timer"),
         c.focusTimeText(), QStringLiteral("timer"), QStringLiteral("countdown alarm"),
         [target] { target->toggleFocus(); }},
        {QStringLiteral("files"), QStringLiteral("Open file shelf"),
         QStringLiteral("Retrieve temporary files"), QStringLiteral("tray.full"),
         QStringLiteral("drop airdrop storage"), notch(NotchTab::files)},
        {QStringLiteral("note"), QStringLiteral("Write a quick note"), QStringLiteral("Capture a thought"),
         QStringLiteral("note.text"), QStringLiteral("notes text"), notch(NotchTab::note)},
        {QStringLiteral("calendar"), QStringLiteral("Today\u2019s schedule"),
         QStringLiteral("See upcoming events"), QStringLiteral("calendar"), QStringLiteral("events meetings"),
         notch(NotchTab::calendar)},
        {QStringLiteral("mirror"), QStringLiteral("Open camera mirror"), QStringLiteral("Check your framing"),
         QStringLiteral("camera"), QStringLiteral("webcam video"), notch(NotchTab::mirror)},
        {QStringLiteral("bookmarks"), QStringLiteral("Open bookmarks"),
         QStringLiteral("Launch saved websites and applications"), QStringLiteral("bookmark"),
         QStringLiteral("sites links apps favorites"), notch(NotchTab::bookmarks)},
        {QStringLiteral("airdrop"), QStringLiteral("AirDrop shelf files"),
         QStringLiteral("Share everything waiting in the file shelf"), QStringLiteral("airplayaudio"),
         QStringLiteral("files share send"), [target] { target->shareFileShelf(); }},
        {QStringLiteral("dock"),
         c.isCustomDockEnabled() ? QStringLiteral("Restore macOS Dock")
                                 : QStringLiteral("Replace macOS Dock"),
         QStringLiteral("Toggle the Vantrel replacement Dock"), QStringLiteral("dock.rectangle"),
         QStringLiteral("apps launcher"), [target] { target->toggleCustomDock(); }},
        {QStringLiteral("feedback"),
         c.isFeedbackEnabled() ? QStringLiteral("Disable scroll haptics")
                               : QStringLiteral("Enable scroll haptics"),
         QStringLiteral("Haptic-only trackpad detents"), QStringLiteral("hand.draw"),
         QStringLiteral("tick trackpad haptic feel"), [target] { target->toggleFeedback(); }},
        {QStringLiteral("refresh-menu"), QStringLiteral("Search menu-bar items"),
         QStringLiteral("Refresh the accessible item index"), QStringLiteral("menubar.rectangle"),
         QStringLiteral("hide hidden status"), [target] { target->refreshMenuBarItems(); }},
    };
}

std::vector<VantrelCommand> CommandPaletteView::filtered(std::vector<VantrelCommand> commands,
                                                         const QString& query) {
    if (query.isEmpty()) return commands;
    const QString needle = query.toLower();
    std::erase_if(commands, [&needle](const VantrelCommand& command) {
        const QString haystack =
            (command.title + QLatin1Char(' ') + command.subtitle + QLatin1Char(' ') + command.keywords)
                .toLower();
        return !haystack.contains(needle);
    });
    return commands;
}

QString CommandPaletteView::query() const {
    return search_->text();
}

void CommandPaletteView::setQuery(const QString& query) {
    search_->setText(query);
}

void CommandPaletteView::refresh() {
    for (QAbstractButton* row : rows_) delete row;
    rows_.clear();
    for (const VantrelCommand& command : filtered(commands(commands_), search_->text())) {
        auto* row = new CommandRow(command, list_);
        connect(row, &QAbstractButton::clicked, this, [this, row] {
            // The palette always closes after a command, whatever the command did; the command
            // may take the palette with it, so both are taken before it runs.
            const std::function<void()> action = row->action();
            const std::function<void(bool)> dismiss = dismiss_;
            if (action) action();
            if (dismiss) dismiss(true);
        });
        listLayout_->addWidget(row);
        row->show();
        rows_.push_back(row);
    }
    // Placed now, not on a later turn: the list is drawn and hit-tested as soon as it changes.
    list_->resize(scroll_->viewport()->width(),
                  std::max(scroll_->viewport()->height(), listLayout_->sizeHint().height()));
    listLayout_->activate();
    update();
}

void CommandPaletteView::followState() {
    const std::vector<VantrelCommand> shown = filtered(commands(commands_), search_->text());
    const bool sameRows = std::equal(shown.begin(), shown.end(), rows_.begin(), rows_.end(),
                                     [](const VantrelCommand& command, const QAbstractButton* row) {
                                         return command.id == row->objectName();
                                     });
    // A row being pressed stays the same row while the same commands match.
    if (!sameRows) {
        refresh();
        return;
    }
    for (std::size_t i = 0; i < shown.size(); ++i) static_cast<CommandRow*>(rows_[i])->setCommand(shown[i]);
    // The header's glyph takes the accent.
    update();
}

QRectF CommandPaletteView::cardRect() const {
    return QRectF(rect()).adjusted(kPadding, kPadding, -kPadding, -kPadding);
}

QRectF CommandPaletteView::headerRect() const {
    const QRectF card = cardRect();
    return {card.left(), card.top(), card.width(), kHeaderHeight};
}

CommandPaletteView::RowLayout CommandPaletteView::rowLayout(QSizeF size, double titleHeight,
                                                            double subtitleHeight) {
    RowLayout layout;
    layout.tile = QRectF(10, (size.height() - 34) / 2, 34, 34);
    layout.glyph = QRectF(layout.tile.center() - QPointF(8, 8), QSizeF(16, 16));
    layout.returnMark = QRectF(size.width() - 10 - 12, (size.height() - 12) / 2, 12, 12);
    // The title above the subtitle, 2 apart, the pair centred in the row.
    const double textLeft = layout.tile.right() + 12;
    const double textWidth = std::max(0.0, layout.returnMark.left() - 12 - textLeft);
    const double top = (size.height() - (titleHeight + 2 + subtitleHeight)) / 2;
    layout.title = QRectF(textLeft, top, textWidth, titleHeight);
    layout.subtitle = QRectF(textLeft, layout.title.bottom() + 2, textWidth, subtitleHeight);
    return layout;
}

QRectF CommandPaletteView::footerRect() const {
    const QRectF card = cardRect();
    return {card.left(), card.bottom() - kFooterHeight, card.width(), kFooterHeight};
}

namespace {
QRectF badgeRect(const QRectF& header) {
    const QFontMetricsF metrics(badgeFont());
    const QSizeF size(metrics.horizontalAdvance(QStringLiteral("esc")) + 14, metrics.height() + 8);
    return {header.right() - kHeaderInset - size.width(), header.center().y() - size.height() / 2,
            size.width(), size.height()};
}
QRectF glyphRect(const QRectF& header) {
    return {header.left() + kHeaderInset, header.center().y() - 10, 20, 20};
}
} // namespace

void CommandPaletteView::layoutChildren() {
    const QRectF header = headerRect();
    const QRectF glyph = glyphRect(header);
    const QRectF badge = badgeRect(header);
    const double fieldLeft = glyph.right() + kHeaderSpacing;
    const double fieldHeight = QFontMetricsF(headerFieldFont()).height() + 6;
    search_->setGeometry(QRectF(fieldLeft, header.center().y() - fieldHeight / 2,
                                badge.left() - kHeaderSpacing - fieldLeft, fieldHeight)
                             .toRect());
    const QRectF footer = footerRect();
    const double listTop = header.bottom() + 1;
    scroll_->setGeometry(QRectF(header.left(), listTop, header.width(), footer.top() - listTop).toRect());
}

void CommandPaletteView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChildren();
}

void CommandPaletteView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
    search_->setFocus(Qt::OtherFocusReason);
}

bool CommandPaletteView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == search_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        if (dismiss_) dismiss_(false);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CommandPaletteView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (dismiss_) dismiss_(false);
        return;
    }
    QWidget::keyPressEvent(event);
}

void CommandPaletteView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    const QRectF card = cardRect();
    const QPainterPath shape = roundedPath(card, CommandPaletteView::kCornerRadius);

    // The shadow falls below the card, within the panel's padding.
    for (int step = 1; step <= 4; ++step)
        painter.fillPath(roundedPath(card.translated(0, step).adjusted(-step / 2.0, 0, step / 2.0, 0),
                                     CommandPaletteView::kCornerRadius + step / 2.0),
                         QColor::fromRgbF(0, 0, 0, float(0.34 / 8)));
    // The material under the surface colour.
    painter.fillPath(shape, scheme == ColorScheme::dark ? QColor::fromRgbF(0.16f, 0.16f, 0.18f, 0.86f)
                                                        : QColor::fromRgbF(0.94f, 0.94f, 0.95f, 0.86f));
    painter.fillPath(shape, VantrelTheme::withOpacity(VantrelTheme::surface().resolve(scheme), 0.82));

    painter.save();
    painter.setClipPath(shape);
    const QRectF header = headerRect();
    GlyphCatalogue::paint(painter, u"sparkle.magnifyingglass", glyphRect(header),
                          VantrelTheme::accent(commands_.accent()), QFont::Medium);
    const QRectF badge = badgeRect(header);
    painter.fillPath(roundedPath(badge, 5), QColor::fromRgbF(1, 1, 1, 0.08f));
    painter.setFont(badgeFont());
    painter.setPen(VantrelTheme::secondaryText().resolve(scheme));
    painter.drawText(badge, Qt::AlignCenter, QStringLiteral("esc"));

    painter.fillRect(QRectF(card.left(), header.bottom(), card.width(), 1),
                     VantrelTheme::withOpacity(VantrelTheme::primary(scheme), 0.28 * 0.35));

    const QRectF footer = footerRect();
    painter.fillRect(footer, QColor::fromRgbF(0, 0, 0, 0.08f));
    painter.setFont(footerFont());
    painter.setPen(VantrelTheme::tertiaryText().resolve(scheme));
    const QRectF footerText = footer.adjusted(kFooterInset, 0, -kFooterInset, 0);
    painter.drawText(footerText, Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Control\u2013Space from anywhere"));
    painter.drawText(footerText, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Your settings stay on this Mac"));
    painter.restore();

    QLinearGradient stroke(card.topLeft(), card.bottomRight());
    stroke.setColorAt(0, QColor::fromRgbF(1, 1, 1, 0.22f));
    stroke.setColorAt(1, QColor::fromRgbF(1, 1, 1, 0.055f));
    painter.setPen(QPen(QBrush(stroke), 0.75));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);
}

} // namespace vantrel
