#include "notch/NotchClipboardView.h"

#include "core/FileNotices.h"

#include "kit/FocusHandOff.h"
#include "kit/KitPaint.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelScrollIndicator.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/ClipboardStore.h"
#include "notch/NotchStateView.h"
#include "notch/NotchSurfaceButton.h"
#include "platform/MenuPresenter.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextLayout>
#include <algorithm>
#include <array>
#include <cmath>

namespace vantrel {

namespace {

constexpr double kGlyphPointSize = 11;
constexpr double kMenuGlyphPointSize = 12;
// No glyph of the row's font is narrower than this, so two lines never hold more characters
// than two widths divided by it.
constexpr double kNarrowestAdvance = 2;

using VantrelTheme::white;

QColor secondary(ColorScheme scheme) {
    return VantrelTheme::secondaryText().resolve(scheme);
}

} // namespace

// One listed entry: its backdrop, kind glyph and text are painted; the pin and copy buttons and
// the menu are child buttons.
class NotchClipboardView::Row final : public QWidget {
public:
    Row(NotchClipboardView& view, const ClipboardEntry& entry, QStringList lines, QWidget* parent)
        : QWidget(parent), entry_(entry), lines_(std::move(lines)), accent_(view.accent_) {
        setAccessibleName(lines_.join(QLatin1Char(' ')));
        const QPointer<ClipboardStore> store = &view.store_;
        pin_ =
            makeButton(entry.isPinned ? QStringLiteral("Unpin") : QStringLiteral("Pin"),
                       entry.isPinned ? QStringLiteral("pin.slash") : QStringLiteral("pin"), kGlyphPointSize);
        connect(pin_, &QAbstractButton::clicked, this, [store, entry] {
            if (store) store->togglePin(entry);
        });
        copy_ = makeButton(QStringLiteral("Copy"), QStringLiteral("doc.on.doc"), kGlyphPointSize);
        connect(copy_, &QAbstractButton::clicked, this, [store, entry] {
            if (store) store->copy(entry);
        });
        menu_ = makeButton(QStringLiteral("More"), QStringLiteral("ellipsis.circle"), kMenuGlyphPointSize);
        connect(menu_, &QAbstractButton::clicked, this, [this, &view] { view.presentMenu(menu_, entry_); });
    }

    const ClipboardEntry& entry() const { return entry_; }
    // The row's controls in their order: pin, copy, menu.
    QWidget* control(int index) const {
        const std::array<QWidget*, 3> controls{pin_, copy_, menu_};
        return controls[std::size_t(std::clamp(index, 0, 2))];
    }
    // Which of them `widget` is; 0 when none.
    int controlIndex(const QWidget* widget) const { return widget == copy_ ? 1 : widget == menu_ ? 2 : 0; }

protected:
    void resizeEvent(QResizeEvent*) override {
        const RowLayout l = rowLayout(QRectF(rect()));
        pin_->setGeometry(l.pinButton.toAlignedRect());
        copy_->setGeometry(l.copyButton.toAlignedRect());
        menu_->setGeometry(l.menuButton.toAlignedRect());
    }

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = VantrelTheme::colorScheme(this);
        const QRectF area(rect());
        QPainterPath backdrop;
        backdrop.addRoundedRect(area, kRowRadius, kRowRadius);
        painter.fillPath(backdrop, white(0.055));

        const RowLayout l = rowLayout(area);
        VantrelGlyph::paint(painter, l.kindGlyph, entry_.isPinned ? u"pin.fill" : u"doc.text",
                            entry_.isPinned ? accent_ : secondary(scheme), kGlyphPointSize, QFont::DemiBold);

        // Plain text, drawn as it is: markup in a copied text is never interpreted.
        const QFont font = textFont();
        const double lineHeight = QFontMetricsF(font).lineSpacing();
        painter.setFont(font);
        painter.setPen(VantrelTheme::primary(scheme));
        double y = l.text.center().y() - lines_.size() * lineHeight / 2;
        for (const QString& line : lines_) {
            painter.drawText(QRectF(l.text.left(), y, l.text.width(), lineHeight),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, line);
            y += lineHeight;
        }
    }

private:
    NotchSurfaceButton* makeButton(const QString& name, const QString& symbol, double pointSize) {
        return new NotchSurfaceButton(
            name,
            [this, symbol, pointSize](QPainter& painter, const QRectF& rect, bool, bool) {
                VantrelGlyph::paint(painter, rect, symbol,
                                    VantrelTheme::primary(VantrelTheme::colorScheme(this)), pointSize,
                                    QFont::DemiBold);
            },
            this);
    }

    ClipboardEntry entry_;
    QStringList lines_;
    QColor accent_;
    NotchSurfaceButton* pin_;
    NotchSurfaceButton* copy_;
    NotchSurfaceButton* menu_;
};

NotchClipboardView::NotchClipboardView(ClipboardStore& store, QColor accent, MenuPresenter& menus,
                                       QWidget* parent)
    : QWidget(parent), store_(store), accent_(accent), menus_(menus), search_(new QLineEdit(this)),
      scroll_(new QScrollArea(this)), canvas_(new QWidget) {
    setAccessibleName(QStringLiteral("Clipboard"));

    search_->setPlaceholderText(QStringLiteral("Search clipboard…"));
    search_->setFrame(false);
    search_->setFont(VantrelType::font(13, QFont::Normal));
    search_->setAccessibleName(QStringLiteral("Search clipboard…"));
    search_->setAttribute(Qt::WA_MacShowFocusRect, false);
    // Reached with Tab, the field rings its capsule: its caret alone is easily missed.
    KitPaint::watchFocusReason(search_);
    search_->installEventFilter(this);
    // Tab goes to the entries, not to the list that scrolls them.
    scroll_->setFocusPolicy(Qt::ClickFocus);
    connect(search_, &QLineEdit::textEdited, this,
            [this](const QString& text) { store_.setSearchText(text); });

    auto* clear = new NotchSurfaceButton(
        QStringLiteral("Clear"),
        [this](QPainter& painter, const QRectF& rect, bool, bool) {
            painter.setFont(clearFont());
            painter.setPen(secondary(VantrelTheme::colorScheme(this)));
            painter.drawText(rect, Qt::AlignCenter, QStringLiteral("Clear"));
        },
        this);
    connect(clear, &QAbstractButton::clicked, this, [this] { store_.clearUnpinned(); });
    clear_ = clear;

    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll_->setWidgetResizable(false);
    scroll_->setWidget(canvas_);
    scroll_->viewport()->setAutoFillBackground(false);
    canvas_->setAutoFillBackground(false);
    VantrelScrollIndicator::install(scroll_);
    connect(scroll_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { buildVisibleRows(); });
    scroll_->viewport()->installEventFilter(this);

    connect(&store_, &ClipboardStore::entriesChanged, this, &NotchClipboardView::reload);
    connect(&store_, &ClipboardStore::saveStateChanged, this, &NotchClipboardView::showSaveState);
    connect(&store_, &ClipboardStore::searchTextChanged, this, [this] {
        syncSearchField();
        reload();
    });
    applyColors();
    syncSearchField();
    reload();
}

NotchClipboardView::~NotchClipboardView() = default;

// Layout.

NotchClipboardView::Layout NotchClipboardView::layout(const QSizeF& size, double clearWidth,
                                                      double statusWidth) {
    Layout l;
    const double width = size.width();
    const double status = statusWidth > 0 ? statusWidth + kSearchRowSpacing : 0;
    const double fieldWidth = std::max(0.0, width - kSearchRowSpacing - clearWidth - status);
    l.searchField = QRectF(0, 0, fieldWidth, kSearchHeight);
    if (statusWidth > 0) l.status = QRectF(fieldWidth + kSearchRowSpacing, 0, statusWidth, kSearchHeight);
    l.clearButton = QRectF(fieldWidth + status + kSearchRowSpacing, 0, clearWidth, kSearchHeight);
    const double listTop = kSearchHeight + kSpacing;
    l.list = QRectF(0, listTop, width, std::max(0.0, size.height() - listTop));
    return l;
}

NotchClipboardView::RowLayout NotchClipboardView::rowLayout(const QRectF& row) {
    const QRectF inner = row.adjusted(kRowPadding, kRowPadding, -kRowPadding, -kRowPadding);
    const double midY = inner.center().y();
    const auto control = [midY](double x, double width, double height) {
        return QRectF(x, midY - height / 2, width, height);
    };
    RowLayout l;
    l.kindGlyph = control(inner.left(), kKindGlyphWidth, 24);
    l.menuButton = control(inner.right() - kControlSide, kControlSide, kControlSide);
    l.copyButton = control(l.menuButton.left() - kRowItemSpacing - kControlSide, kControlSide, kControlSide);
    l.pinButton = control(l.copyButton.left() - kRowItemSpacing - kControlSide, kControlSide, kControlSide);
    const double textLeft = l.kindGlyph.right() + kRowItemSpacing;
    l.text = QRectF(textLeft, inner.top(), std::max(0.0, l.pinButton.left() - kRowItemSpacing - textLeft),
                    inner.height());
    return l;
}

double NotchClipboardView::rowHeight(int lines, double lineHeight) {
    return std::max(kControlSide, lines * lineHeight) + 2 * kRowPadding;
}

double NotchClipboardView::textWidth(double rowWidth) {
    return std::max(0.0,
                    rowWidth - 2 * kRowPadding - kKindGlyphWidth - 3 * kControlSide - 4 * kRowItemSpacing);
}

QFont NotchClipboardView::textFont() {
    return VantrelType::font(11.5, QFont::Normal);
}

double NotchClipboardView::clearWidth() {
    // The focus ring runs inside the button's edge: the label keeps clear of it on both sides.
    return std::ceil(QFontMetricsF(clearFont()).horizontalAdvance(QStringLiteral("Clear"))) + 2 * kClearInset;
}

QFont NotchClipboardView::clearFont() {
    return VantrelType::font(13, QFont::Normal);
}

QStringList NotchClipboardView::textLines(const QString& text, const QFont& font, double width) {
    if (width <= 0 || text.isEmpty()) return {};
    // Two lines never show more than this much of the text; the rest need not be laid out.
    const qsizetype reach = qsizetype(std::ceil(kMaximumTextLines * width / kNarrowestAdvance)) + 8;
    const bool cut = text.size() > reach;
    QString shown = cut ? text.left(reach) : text;
    shown.replace(QLatin1Char('\n'), QLatin1Char(' '));

    QStringList lines;
    QTextLayout layout(shown, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    while (lines.size() < kMaximumTextLines) {
        QTextLine line = layout.createLine();
        if (!line.isValid()) break;
        line.setLineWidth(width);
        if (lines.size() == kMaximumTextLines - 1) {
            const QString rest = shown.mid(line.textStart());
            const QFontMetricsF metrics(font);
            const bool more = cut || line.textStart() + line.textLength() < shown.size();
            lines.append(more ? metrics.elidedText(rest + QChar(0x2026), Qt::ElideRight, width) : rest);
            break;
        }
        lines.append(shown.mid(line.textStart(), line.textLength()));
    }
    layout.endLayout();
    // A wrapped line keeps its trailing blank, which only shifts nothing; drop it.
    for (QString& line : lines)
        while (line.endsWith(QLatin1Char(' ')) && line.size() > 1) line.chop(1);
    return lines;
}

std::optional<NotchClipboardView::EmptyState> NotchClipboardView::emptyState(qsizetype filtered,
                                                                             qsizetype total) {
    if (filtered > 0) return std::nullopt;
    if (total > 0)
        return EmptyState{QStringLiteral("magnifyingglass"), QStringLiteral("No matching items"),
                          QStringLiteral("Try a different search.")};
    return EmptyState{QStringLiteral("doc.on.clipboard"), QStringLiteral("Clipboard is empty"),
                      QStringLiteral("Copy something and it will appear here.")};
}

QStringList NotchClipboardView::menuItems() {
    return {QStringLiteral("Copy Summary"), QStringLiteral("Clean Up Formatting"),
            QStringLiteral("Make Concise"), QStringLiteral("Delete")};
}

// Following the store.

void NotchClipboardView::syncSearchField() {
    if (search_->text() != store_.searchText()) search_->setText(store_.searchText());
}

void NotchClipboardView::reload() {
    // A row with the focus is rebuilt with the others: the focus goes back to the same control of
    // the same entry, wherever it now stands, or of the entry that took its place.
    std::optional<FocusedRow> focused;
    for (const auto& [index, row] : rows_)
        if (FocusHandOff::holds(row))
            focused = FocusedRow{row->entry().id, index, row->controlIndex(QApplication::focusWidget()),
                                 FocusHandOff::take(row)};
    // Parked on the view while the rows go, so that Qt does not hand it along the Tab order.
    if (focused) setFocus(Qt::OtherFocusReason);
    entries_ = store_.filteredEntries();
    // Forget the lines of entries that have left the history.
    for (auto it = lineCache_.begin(); it != lineCache_.end();) {
        const bool listed =
            std::ranges::any_of(entries_, [&](const ClipboardEntry& e) { return e.id == it.key(); });
        it = listed ? std::next(it) : lineCache_.erase(it);
    }
    clearRows();
    updateStateView();
    layoutRows();
    if (focused) restoreFocus(*focused);
}

void NotchClipboardView::restoreFocus(const FocusedRow& focused) {
    qsizetype index = -1;
    for (qsizetype i = 0; i < entries_.size(); ++i)
        if (entries_[i].id == focused.id) index = i;
    if (index < 0 && !entries_.isEmpty()) index = std::min(focused.index, entries_.size() - 1);
    auto* row = static_cast<Row*>(this->row(index));
    // With no row left, the focus goes to the control before the list.
    FocusHandOff::give(focused.held, row ? row->control(focused.control) : clear_);
}

void NotchClipboardView::updateStateView() {
    const std::optional<EmptyState> wanted = emptyState(entries_.size(), store_.entries().size());
    if (wanted == shownState_ && (state_ || !wanted)) return;
    shownState_ = wanted;
    delete state_;
    if (!wanted) return;
    state_ = new NotchStateView(wanted->symbol, wanted->title, wanted->message, accent_, std::nullopt, {},
                                nullptr, this);
    state_->setAttribute(Qt::WA_TransparentForMouseEvents);
    state_->show();
    relayout();
}

const QStringList& NotchClipboardView::linesOf(const ClipboardEntry& entry, double width) {
    CachedLines& cached = lineCache_[entry.id];
    if (cached.data != entry.text.constData() || cached.size != entry.text.size() || cached.width != width) {
        cached.data = entry.text.constData();
        cached.size = entry.text.size();
        cached.width = width;
        cached.lines = textLines(entry.text, textFont(), width);
    }
    return cached.lines;
}

// Placing the pieces.

void NotchClipboardView::setFileNotices(const FileNotices* notices) {
    if (notices_) disconnect(notices_, nullptr, this, nullptr);
    notices_ = notices;
    if (notices_) connect(notices_, &FileNotices::changed, this, &NotchClipboardView::showSaveState);
    showSaveState();
}

void NotchClipboardView::showSaveState() {
    setAccessibleDescription(showsNotSaved() ? QStringLiteral("Not saved") : QString());
    relayout();
    update();
}

bool NotchClipboardView::showsNotSaved() const {
    return store_.saveState().notSaved();
}

double NotchClipboardView::statusWidth() const {
    if (!showsNotSaved()) return 0;
    return std::ceil(QFontMetricsF(clearFont()).horizontalAdvance(QStringLiteral("Not saved")));
}

void NotchClipboardView::relayout() {
    const Layout l = layout(QSizeF(size()), clearWidth(), statusWidth());
    search_->setGeometry(l.searchField.adjusted(kSearchPadding, 0, -kSearchPadding, 0).toAlignedRect());
    clear_->setGeometry(l.clearButton.toAlignedRect());
    const QRect list = l.list.toAlignedRect();
    scroll_->setGeometry(list);
    if (state_) {
        state_->setGeometry(list);
        state_->raise();
    }
}

bool NotchClipboardView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == search_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        update(layout(QSizeF(size()), clearWidth(), statusWidth())
                   .searchField.toAlignedRect()
                   .adjusted(-1, -1, 1, 1));
    // The rows follow the viewport: a new width re-wraps their texts, a new height may show more.
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize) {
        if (scroll_->viewport()->width() != laidOutWidth_) {
            clearRows();
            layoutRows();
        } else {
            buildVisibleRows();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void NotchClipboardView::layoutRows() {
    const double width = scroll_->viewport()->width();
    const double lineHeight = QFontMetricsF(textFont()).lineSpacing();
    const double textWidthForRows = textWidth(width);
    rowTops_.clear();
    rowHeights_.clear();
    double y = 0;
    for (const ClipboardEntry& entry : entries_) {
        const double height =
            rowHeight(std::max<int>(1, int(linesOf(entry, textWidthForRows).size())), lineHeight);
        if (!rowTops_.empty()) y += kRowSpacing;
        rowTops_.push_back(y);
        rowHeights_.push_back(height);
        y += height;
    }
    laidOutWidth_ = int(width);
    canvas_->resize(int(width), int(std::ceil(y)));
    buildVisibleRows();
}

void NotchClipboardView::buildVisibleRows() {
    const double top = scroll_->verticalScrollBar()->value();
    const double bottom = top + scroll_->viewport()->height();
    const double width = canvas_->width();
    const double textWidthForRows = textWidth(width);
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        if (rowTops_[i] + rowHeights_[i] < top) continue;
        if (rowTops_[i] > bottom) break;
        if (rows_.contains(i)) continue;
        Row* row = new Row(*this, entries_[i], linesOf(entries_[i], textWidthForRows), canvas_);
        row->setGeometry(QRectF(0, rowTops_[i], width, rowHeights_[i]).toAlignedRect());
        row->show();
        rows_[i] = row;
    }
}

void NotchClipboardView::clearRows() {
    for (auto& [index, row] : rows_) {
        // A row whose own button led here is still on the stack: it goes once control returns.
        row->hide();
        row->deleteLater();
    }
    rows_.clear();
}

QWidget* NotchClipboardView::row(qsizetype index) {
    if (index < 0 || index >= entries_.size()) return nullptr;
    scroll_->ensureVisible(0, int(rowTops_[index] + rowHeights_[index] / 2), 0, int(rowHeights_[index] / 2));
    buildVisibleRows();
    const auto it = rows_.find(index);
    return it == rows_.end() ? nullptr : it->second;
}

void NotchClipboardView::presentMenu(QWidget* anchor, const ClipboardEntry& entry) {
    const QPointer<ClipboardStore> store = &store_;
    menus_.present({anchor, menuItems(), -1, {3}}, [store, entry](int index) {
        if (!store) return;
        switch (index) {
        case 0:
            store->copyTransformed(entry, ClipboardTransform::summary);
            break;
        case 1:
            store->copyTransformed(entry, ClipboardTransform::cleanUp);
            break;
        case 2:
            store->copyTransformed(entry, ClipboardTransform::concise);
            break;
        case 3:
            store->deleteEntry(entry);
            break;
        default:
            break;
        }
    });
}

// Drawing.

void NotchClipboardView::applyColors() {
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    QPalette palette = search_->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, VantrelTheme::primary(scheme));
    palette.setColor(QPalette::PlaceholderText, secondary(scheme));
    search_->setPalette(palette);
}

bool NotchClipboardView::event(QEvent* event) {
    if (event->type() == VantrelTheme::colorSchemeChangeEvent()) applyColors();
    return QWidget::event(event);
}

void NotchClipboardView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ParentChange) applyColors();
}

void NotchClipboardView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}

void NotchClipboardView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Layout l = layout(QSizeF(size()), clearWidth(), statusWidth());
    if (!l.status.isEmpty()) {
        painter.setFont(clearFont());
        painter.setPen(VantrelTheme::caution());
        painter.drawText(l.status, Qt::AlignCenter, QStringLiteral("Not saved"));
    }
    QPainterPath capsule;
    capsule.addRoundedRect(l.searchField, kSearchHeight / 2, kSearchHeight / 2);
    painter.fillPath(capsule, white(0.07));
    if (KitPaint::showsFocusRing(search_))
        KitPaint::paintFocusRingInside(
            painter, l.searchField, kSearchHeight / 2,
            KitPaint::ringColor(KitPaint::composite(white(0.07), KitPaint::surfaceBehind(this)), accent_));
}

} // namespace vantrel
