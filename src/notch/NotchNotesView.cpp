#include "notch/NotchNotesView.h"

#include "core/FileNotices.h"

#include "kit/FocusHalo.h"
#include "kit/KitPaint.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelScrollIndicator.h"
#include "kit/VantrelTextEditor.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/NotesStore.h"
#include "notch/NotchStateView.h"
#include "notch/NotchSurfaceButton.h"
#include "platform/Clock.h"

#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <algorithm>
#include <chrono>

namespace vantrel {

namespace {

constexpr double kSearchHeight = 22;
constexpr double kSearchRadius = 6;
constexpr double kHeaderSpacing = 8;
constexpr double kRowRadius = 10;
constexpr double kRowLineSpacing = 2;
constexpr double kRowGlyphSpacing = 4;
constexpr double kEditorRadius = 14;
constexpr double kGlyphPointSize = 11;
constexpr double kChecklistGlyph = 10;
constexpr double kChecklistGlyphSpacing = 4;

using VantrelTheme::white;

const QColor kRed(255, 59, 48);

QFont textButtonFont() {
    return VantrelType::font(12, QFont::Medium);
}

double lineHeight(const QFont& font) {
    return QFontMetricsF(font).lineSpacing();
}
double advance(const QFont& font, const QString& text) {
    return QFontMetricsF(font).horizontalAdvance(text);
}

const QString kToolsLabel = QStringLiteral("On-device tools");
const QString kCleanUp = QStringLiteral("Clean Up");
const QString kBullets = QStringLiteral("Make Bullets");
const QString kNoMatches = QStringLiteral("No matching notes");

// Rebuilt children may be the ones whose click led here: they go once control returns.
template <typename T> void retire(QList<T*>& widgets) {
    for (T* widget : widgets) {
        widget->hide();
        widget->deleteLater();
    }
    widgets.clear();
}

} // namespace

NotchNotesView::NotchNotesView(NotesStore& store, QColor accent, const Clock& clock, VantrelHaptics* haptics,
                               QWidget* parent)
    : QWidget(parent), store_(store), accent_(accent), clock_(clock), haptics_(haptics),
      workspace_(new QWidget(this)) {
    setAccessibleName(QStringLiteral("Notes"));
    const auto primary = [this] { return VantrelTheme::primary(VantrelTheme::colorScheme(this)); };

    pin_ = makeGlyphButton(
        QStringLiteral("Pin note"),
        [this] {
            const VantrelNote* note = selectedNote();
            return note && note->isPinned ? QStringLiteral("pin.fill") : QStringLiteral("pin");
        },
        primary);
    connect(pin_, &QAbstractButton::clicked, this, [this] { store_.setPinned(); });
    new_ = makeGlyphButton(
        QStringLiteral("New note"), [] { return QStringLiteral("plus"); }, primary);
    connect(new_, &QAbstractButton::clicked, this, [this] { store_.add(); });

    search_ = new QLineEdit(workspace_);
    search_->setPlaceholderText(QStringLiteral("Search notes"));
    search_->setAccessibleName(QStringLiteral("Search notes"));
    search_->setFrame(false);
    search_->setFont(searchFont());
    // Reached with Tab, the field rings its capsule: its caret alone blinks out half the time.
    KitPaint::ringDrawnBy(search_, this);
    connect(search_, &QLineEdit::textEdited, this,
            [this](const QString& text) { store_.setSearchQuery(text); });

    cleanUp_ = makeTextButton(kCleanUp);
    connect(cleanUp_, &QAbstractButton::clicked, this, [this] { store_.cleanUpSelected(); });
    bullets_ = makeTextButton(kBullets);
    connect(bullets_, &QAbstractButton::clicked, this, [this] { store_.makeBulletList(); });
    checklist_ = makeGlyphButton(
        QStringLiteral("Add checklist item"), [] { return QStringLiteral("checklist"); },
        [this] { return accent_; });
    connect(checklist_, &QAbstractButton::clicked, this,
            [this] { store_.addChecklistItem(QStringLiteral("New item")); });
    delete_ = makeGlyphButton(
        QStringLiteral("Delete note"), [] { return QStringLiteral("trash"); }, [] { return kRed; });
    connect(delete_, &QAbstractButton::clicked, this, [this] { store_.deleteSelected(); });

    editor_ = new VantrelTextEditor(workspace_);
    editor_->setFrameShape(QFrame::NoFrame);
    editor_->setFont(editorFont());
    editor_->setAccessibleName(QStringLiteral("Note"));
    editor_->viewport()->setAutoFillBackground(false);
    editor_->document()->setDocumentMargin(0);
    VantrelScrollIndicator::install(editor_);
    connect(editor_, &QPlainTextEdit::textChanged, this, [this] {
        if (syncingEditor_) return;
        editing_ = true;
        store_.updateSelected(editor_->plainText());
        editing_ = false;
    });
    connect(&store_, &NotesStore::noteEdited, this, &NotchNotesView::showEditedNote);

    for (auto signal : {&NotesStore::notesChanged, &NotesStore::selectedIDChanged,
                        &NotesStore::searchQueryChanged, &NotesStore::selectedFolderIDChanged})
        connect(&store_, signal, this, &NotchNotesView::sync);
    applyColors();
    sync();
}

NotchNotesView::~NotchNotesView() = default;

NotchSurfaceButton* NotchNotesView::makeGlyphButton(const QString& help, std::function<QString()> symbol,
                                                    std::function<QColor()> color) {
    auto* button = new NotchSurfaceButton(
        help,
        [symbol, color](QPainter& painter, const QRectF& rect, bool, bool) {
            VantrelGlyph::paint(painter, rect, symbol(), color(), kGlyphPointSize, QFont::DemiBold);
        },
        workspace_);
    button->setToolTip(help);
    return button;
}

NotchSurfaceButton* NotchNotesView::makeTextButton(const QString& title) {
    auto* button = new NotchSurfaceButton(
        title,
        [this, title](QPainter& painter, const QRectF& rect, bool, bool) {
            painter.setFont(textButtonFont());
            painter.setPen(accent_);
            painter.drawText(rect, Qt::AlignCenter, title);
        },
        workspace_);
    // As wide as its text: the ring goes round the outside.
    FocusHalo::install(button);
    return button;
}

QAbstractButton* NotchNotesView::pinButton() const {
    return pin_;
}
QAbstractButton* NotchNotesView::newButton() const {
    return new_;
}
QAbstractButton* NotchNotesView::cleanUpButton() const {
    return cleanUp_;
}
QAbstractButton* NotchNotesView::bulletsButton() const {
    return bullets_;
}
QAbstractButton* NotchNotesView::checklistButton() const {
    return checklist_;
}
QAbstractButton* NotchNotesView::deleteButton() const {
    return delete_;
}

QList<QAbstractButton*> NotchNotesView::rowButtons() const {
    return {rows_.begin(), rows_.end()};
}

QList<QAbstractButton*> NotchNotesView::checklistButtons() const {
    return {checklistItems_.begin(), checklistItems_.end()};
}

// Layout.

QFont NotchNotesView::headerFont() {
    return VantrelType::font(13, QFont::Bold);
}
QFont NotchNotesView::searchFont() {
    return VantrelType::font(10, QFont::Normal);
}
QFont NotchNotesView::rowTitleFont() {
    return VantrelType::font(11.5, QFont::Medium);
}
QFont NotchNotesView::rowDateFont() {
    return VantrelType::font(9.5, QFont::Normal);
}
QFont NotchNotesView::smallFont() {
    return VantrelType::font(10, QFont::Normal);
}
QFont NotchNotesView::toolsFont() {
    return VantrelType::font(10, QFont::DemiBold);
}
QFont NotchNotesView::editorFont() {
    return VantrelType::font(12.5, QFont::Normal);
}

double NotchNotesView::rowHeight(bool compact) {
    const double padding = compact ? 7 : 9;
    double height = lineHeight(rowTitleFont()) + 2 * padding;
    if (!compact) height += kRowLineSpacing + lineHeight(rowDateFont());
    return height;
}

double NotchNotesView::checklistItemWidth(const QString& text) {
    return kChecklistGlyph + kChecklistGlyphSpacing + advance(smallFont(), text);
}

NotchNotesView::Layout NotchNotesView::layout(const QSizeF& size, const Content& content) {
    Layout l;
    l.compact = isCompact(size.height());
    const double spacing = l.compact ? 5 : 7;
    const double listWidth = l.compact ? 145 : 170;
    const double height = size.height();
    l.listColumn = QRectF(0, 0, listWidth, height);
    const double editorLeft = listWidth + kColumnSpacing;
    l.editorColumn = QRectF(editorLeft, 0, std::max(0.0, size.width() - editorLeft), height);

    // The list: header, search, rows, pushed to the top.
    l.newButton = QRectF(listWidth - kControlSide, 0, kControlSide, kControlSide);
    l.pinButton = QRectF(l.newButton.left() - kHeaderSpacing - kControlSide, 0, kControlSide, kControlSide);
    l.notesTitle = QRectF(0, 0, std::max(0.0, l.pinButton.left() - kHeaderSpacing), kControlSide);
    double y = kControlSide + spacing;
    if (!l.compact) {
        l.searchField = QRectF(0, y, listWidth, kSearchHeight);
        y += kSearchHeight + spacing;
    }
    const double rowH = rowHeight(l.compact);
    for (int i = 0; i < std::min(content.rows, maximumRows(l.compact)); ++i) {
        l.rows.emplace_back(0, y, listWidth, rowH);
        y += rowH + spacing;
    }
    if (content.showsNoMatches) {
        const double width = std::min(listWidth, advance(smallFont(), kNoMatches));
        l.noMatches = QRectF((listWidth - width) / 2, y, width, lineHeight(smallFont()));
    }

    // The editor: toolbar, text, checklist.
    const double right = l.editorColumn.right();
    l.deleteButton = QRectF(right - kControlSide, 0, kControlSide, kControlSide);
    l.checklistButton =
        QRectF(l.deleteButton.left() - kHeaderSpacing - kControlSide, 0, kControlSide, kControlSide);
    if (!l.compact) {
        const double bulletsWidth = advance(textButtonFont(), kBullets);
        const double cleanUpWidth = advance(textButtonFont(), kCleanUp);
        l.bulletsButton =
            QRectF(l.checklistButton.left() - kHeaderSpacing - bulletsWidth, 0, bulletsWidth, kControlSide);
        l.cleanUpButton =
            QRectF(l.bulletsButton.left() - kHeaderSpacing - cleanUpWidth, 0, cleanUpWidth, kControlSide);
        l.toolsLabel = QRectF(editorLeft, 0,
                              std::clamp(l.cleanUpButton.left() - kHeaderSpacing - editorLeft, 0.0,
                                         advance(toolsFont(), kToolsLabel)),
                              kControlSide);
    }
    const bool showsChecklist = !l.compact && !content.checklistTexts.isEmpty();
    const double checklistHeight = std::max(14.0, lineHeight(smallFont()));
    const double cardTop = kControlSide + spacing;
    const double cardBottom = showsChecklist ? height - checklistHeight - spacing : height;
    l.editorCard = QRectF(editorLeft, cardTop, l.editorColumn.width(), std::max(0.0, cardBottom - cardTop));
    const double padding = l.compact ? 7 : 10;
    l.editor = l.editorCard.adjusted(padding, padding, -padding, -padding);
    if (l.editor.width() < 0 || l.editor.height() < 0) l.editor = QRectF(l.editorCard.topLeft(), QSizeF());
    if (showsChecklist) {
        l.checklistRow =
            QRectF(editorLeft, height - checklistHeight, l.editorColumn.width(), checklistHeight);
        double x = editorLeft;
        for (const QString& text : content.checklistTexts) {
            // Items that do not fit end the row; the last one that starts in it is cut short.
            const double width = std::min(checklistItemWidth(text), right - x);
            if (width <= kChecklistGlyph) break;
            l.checklistItems.emplace_back(x, l.checklistRow.top(), width, checklistHeight);
            x += width + kChecklistSpacing;
        }
    }
    return l;
}

QString NotchNotesView::relativeText(WallTime then, WallTime now) {
    using namespace std::chrono;
    const auto elapsed = std::max<std::int64_t>(0, duration_cast<seconds>(now - then).count());
    if (elapsed < 60) return QStringLiteral("%1 sec").arg(elapsed);
    if (elapsed < 3600) return QStringLiteral("%1 min").arg(elapsed / 60);
    if (elapsed < 86400) return QStringLiteral("%1 hr").arg(elapsed / 3600);
    const std::int64_t days = elapsed / 86400;
    return days == 1 ? QStringLiteral("1 day") : QStringLiteral("%1 days").arg(days);
}

NotchNotesView::Content NotchNotesView::content() const {
    Content c;
    c.rows = int(listed_.size());
    c.showsNoMatches = listed_.isEmpty();
    if (const VantrelNote* note = selectedNote())
        for (const VantrelChecklistItem& item : note->checklist) c.checklistTexts.append(item.text);
    return c;
}

NotchNotesView::Layout NotchNotesView::currentLayout() const {
    return layout(QSizeF(size()), content());
}

const VantrelNote* NotchNotesView::selectedNote() const {
    const std::optional<qsizetype> index = store_.selectedIndex();
    return index ? &store_.notes()[*index] : nullptr;
}

// Following the store.

void NotchNotesView::sync() {
    if (store_.notes().isEmpty()) {
        workspace_->hide();
        if (!state_) {
            const QPointer<NotesStore> store = &store_;
            state_ = new NotchStateView(
                QStringLiteral("note.text"), QStringLiteral("No notes yet"),
                QStringLiteral("Create a note here; it stays on this Mac."), accent_,
                QStringLiteral("New Note"),
                [store] {
                    if (store) store->add();
                },
                haptics_, this);
            state_->setGeometry(rect());
            state_->show();
        }
        update();
        return;
    }
    if (state_) {
        // Its own button may have brought the first note: it goes once control returns.
        state_->hide();
        state_->deleteLater();
        state_ = nullptr;
    }
    workspace_->show();
    rowsCompact_ = isCompact(height());
    listed_ = store_.visibleNotes().mid(0, maximumRows(rowsCompact_));
    if (search_->text() != store_.searchQuery()) search_->setText(store_.searchQuery());
    rebuildRows();
    rebuildChecklist();
    syncEditor();
    relayout();
    pin_->update();
    update();
}

void NotchNotesView::showEditedNote(const QUuid& id) {
    if (store_.notes().isEmpty()) return;
    const QList<VantrelNote>& notes = store_.notes();
    const auto note = std::ranges::find(notes, id, &VantrelNote::id);
    if (note == notes.end()) return;
    for (qsizetype i = 0; i < listed_.size() && i < rows_.size(); ++i) {
        if (listed_[i].id != id) continue;
        listed_[i] = *note;
        rows_[i]->setAccessibleName(note->title);
        rows_[i]->update();
    }
    // Typed here, the editor holds the text already; typed elsewhere, it takes the change alone.
    if (editing_ || store_.selectedID() != id) return;
    syncingEditor_ = true;
    editor_->showText(note->body);
    syncingEditor_ = false;
}

void NotchNotesView::rebuildRows() {
    retire(rows_);
    const bool compact = rowsCompact_;
    // New rows take their place in the Tab order as they are read: under the search field, before
    // the editor's tools.
    QWidget* before = search_;
    for (const VantrelNote& note : listed_) {
        const QUuid id = note.id;
        auto* row = new NotchSurfaceButton(
            note.title,
            [this, id, compact](QPainter& painter, const QRectF& rect, bool, bool) {
                // The note as last listed: a row follows its note's edits without being made anew.
                const auto listed = std::ranges::find(listed_, id, &VantrelNote::id);
                if (listed == listed_.end()) return;
                const VantrelNote& note = *listed;
                const ColorScheme scheme = VantrelTheme::colorScheme(this);
                const bool selected = store_.selectedID() == note.id;
                QPainterPath backdrop;
                backdrop.addRoundedRect(rect, kRowRadius, kRowRadius);
                painter.fillPath(backdrop, selected ? VantrelTheme::withOpacity(accent_, 0.18) : white(0.04));
                const double padding = compact ? 7 : 9;
                const QRectF inner = rect.adjusted(padding, padding, -padding, -padding);
                const double titleHeight = lineHeight(rowTitleFont());
                double x = inner.left();
                if (note.isPinned) {
                    VantrelGlyph::paint(painter, QRectF(x, inner.top(), 8, titleHeight), u"pin.fill",
                                        VantrelTheme::primary(scheme), 8, QFont::Normal);
                    x += 8 + kRowGlyphSpacing;
                }
                // A note's title is the user's own text: drawn as it is, never as markup.
                const QRectF title(x, inner.top(), std::max(0.0, inner.right() - x), titleHeight);
                painter.setFont(rowTitleFont());
                painter.setPen(VantrelTheme::primary(scheme));
                painter.drawText(
                    title, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    QFontMetricsF(rowTitleFont()).elidedText(note.title, Qt::ElideRight, title.width()));
                if (compact) return;
                const QRectF date(inner.left(), title.bottom() + kRowLineSpacing, inner.width(),
                                  lineHeight(rowDateFont()));
                painter.setFont(rowDateFont());
                painter.setPen(VantrelTheme::secondaryText().resolve(scheme));
                painter.drawText(date, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                                 relativeText(note.modifiedAt, clock_.now()));
            },
            workspace_);
        connect(row, &QAbstractButton::clicked, this, [this, id] { store_.setSelectedID(id); });
        row->show();
        rows_.append(row);
        QWidget::setTabOrder(before, row);
        before = row;
    }
}

void NotchNotesView::rebuildChecklist() {
    retire(checklistItems_);
    const VantrelNote* note = selectedNote();
    if (!note || rowsCompact_) return;
    // The checklist is read after the text above it.
    QWidget* before = editor_;
    for (const VantrelChecklistItem& item : note->checklist) {
        const QUuid id = item.id;
        auto* button = new NotchSurfaceButton(
            item.text,
            [this, item](QPainter& painter, const QRectF& rect, bool, bool) {
                const ColorScheme scheme = VantrelTheme::colorScheme(this);
                const QColor color =
                    item.isComplete ? VantrelTheme::secondaryText().resolve(scheme) : accent_;
                VantrelGlyph::paint(painter, QRectF(rect.left(), rect.top(), kChecklistGlyph, rect.height()),
                                    item.isComplete ? u"checkmark.circle.fill" : u"circle", color,
                                    kChecklistGlyph, QFont::Normal);
                const QRectF text = rect.adjusted(kChecklistGlyph + kChecklistGlyphSpacing, 0, 0, 0);
                painter.setFont(smallFont());
                painter.setPen(color);
                painter.drawText(
                    text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    QFontMetricsF(smallFont()).elidedText(item.text, Qt::ElideRight, text.width()));
            },
            workspace_);
        connect(button, &QAbstractButton::clicked, this, [this, id] { store_.toggleChecklistItem(id); });
        button->show();
        checklistItems_.append(button);
        QWidget::setTabOrder(before, button);
        before = button;
    }
}

void NotchNotesView::syncEditor() {
    const VantrelNote* note = selectedNote();
    const QString body = note ? note->body : QString();
    if (editor_->plainText() != body) {
        syncingEditor_ = true;
        editor_->setPlainText(body);
        syncingEditor_ = false;
    }
    // Without a selected note there is nothing for typing to go into.
    editor_->setReadOnly(!note);
}

void NotchNotesView::relayout() {
    workspace_->setGeometry(rect());
    if (state_) state_->setGeometry(rect());
    layout_ = currentLayout();
    const Layout& l = layout_;
    const auto place = [](QWidget* widget, const QRectF& rect) {
        widget->setVisible(!rect.isEmpty());
        if (!rect.isEmpty()) widget->setGeometry(rect.toAlignedRect());
    };
    place(pin_, l.pinButton);
    place(new_, l.newButton);
    place(search_, l.searchField.adjusted(6, 0, -6, 0));
    place(cleanUp_, l.cleanUpButton);
    place(bullets_, l.bulletsButton);
    place(checklist_, l.checklistButton);
    place(delete_, l.deleteButton);
    place(editor_, l.editor);
    for (qsizetype i = 0; i < rows_.size(); ++i)
        place(rows_[i], i < qsizetype(l.rows.size()) ? l.rows[i] : QRectF());
    for (qsizetype i = 0; i < checklistItems_.size(); ++i)
        place(checklistItems_[i], i < qsizetype(l.checklistItems.size()) ? l.checklistItems[i] : QRectF());
}

void NotchNotesView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Crossing the compact height changes how many rows there are and what they show.
    if (!store_.notes().isEmpty() && isCompact(height()) != rowsCompact_)
        sync();
    else
        relayout();
}

void NotchNotesView::setFileNotices(const FileNotices* notices) {
    if (notices_) disconnect(notices_, nullptr, this, nullptr);
    notices_ = notices;
    if (notices_) connect(notices_, &FileNotices::changed, this, &NotchNotesView::showSaveState);
    connect(&store_, &NotesStore::saveStateChanged, this, &NotchNotesView::showSaveState,
            Qt::UniqueConnection);
    showSaveState();
}

void NotchNotesView::showSaveState() {
    setAccessibleDescription(showsNotSaved() ? QStringLiteral("Not saved") : QString());
    update();
}

bool NotchNotesView::showsNotSaved() const {
    return store_.saveState().notSaved();
}

// Drawing.

void NotchNotesView::applyColors() {
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    for (QWidget* field : {static_cast<QWidget*>(search_), static_cast<QWidget*>(editor_)}) {
        QPalette palette = field->palette();
        palette.setColor(QPalette::Base, Qt::transparent);
        palette.setColor(QPalette::Text, VantrelTheme::primary(scheme));
        palette.setColor(QPalette::PlaceholderText, VantrelTheme::secondaryText().resolve(scheme));
        field->setPalette(palette);
    }
}

bool NotchNotesView::event(QEvent* event) {
    if (event->type() == VantrelTheme::colorSchemeChangeEvent() || event->type() == QEvent::ParentChange)
        applyColors();
    return QWidget::event(event);
}

void NotchNotesView::paintEvent(QPaintEvent* event) {
    if (store_.notes().isEmpty()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    const QColor primary = VantrelTheme::primary(scheme);
    const QColor secondary = VantrelTheme::secondaryText().resolve(scheme);
    // As last placed: every change of size or content places the pieces anew before it paints.
    const Layout& l = layout_;
    // The editor is drawn over this view: a key typed there repaints a line's strip of it, and the
    // texts outside that strip are not laid out again for it.
    const auto dirty = [area = event->rect()](const QRectF& rect) {
        return area.intersects(rect.toAlignedRect());
    };

    if (dirty(l.notesTitle)) {
        painter.setFont(headerFont());
        painter.setPen(primary);
        painter.drawText(l.notesTitle, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Notes"));
    }
    if (dirty(QRectF(l.editorColumn.left(), 0, l.editorColumn.width(), kControlSide)) && showsNotSaved()) {
        // In the editor's toolbar, after its label: what is typed there is what is not saved.
        const double left =
            l.toolsLabel.isEmpty() ? l.editorColumn.left() : l.toolsLabel.right() + kHeaderSpacing;
        const double right =
            (l.cleanUpButton.isEmpty() ? l.checklistButton.left() : l.cleanUpButton.left()) - kHeaderSpacing;
        const QRectF tag(left, 0, std::max(0.0, right - left), kControlSide);
        painter.setFont(smallFont());
        painter.setPen(VantrelTheme::caution());
        painter.drawText(
            tag, Qt::AlignLeft | Qt::AlignVCenter,
            QFontMetricsF(smallFont()).elidedText(QStringLiteral("Not saved"), Qt::ElideRight, tag.width()));
    }

    if (!l.searchField.isEmpty() && dirty(l.searchField)) {
        QPainterPath field;
        field.addRoundedRect(l.searchField.adjusted(0.5, 0.5, -0.5, -0.5), kSearchRadius, kSearchRadius);
        painter.fillPath(field, white(0.06));
        painter.setPen(QPen(VantrelTheme::border().resolve(scheme), 1));
        painter.drawPath(field);
        if (KitPaint::showsFocusRing(search_))
            KitPaint::paintFocusRingInside(
                painter, l.searchField, kSearchRadius,
                KitPaint::ringColor(KitPaint::composite(white(0.06), KitPaint::surfaceBehind(this)),
                                    accent_));
    }
    if (!l.noMatches.isEmpty() && dirty(l.noMatches)) {
        painter.setFont(smallFont());
        painter.setPen(secondary);
        painter.drawText(l.noMatches, Qt::AlignCenter, kNoMatches);
    }
    if (!l.toolsLabel.isEmpty() && dirty(l.toolsLabel)) {
        painter.setFont(toolsFont());
        painter.setPen(secondary);
        painter.drawText(
            l.toolsLabel, Qt::AlignLeft | Qt::AlignVCenter,
            QFontMetricsF(toolsFont()).elidedText(kToolsLabel, Qt::ElideRight, l.toolsLabel.width()));
    }
    // Away from its corners the card is all fill, drawn without laying out its shape.
    const QRect cardInside =
        l.editorCard.adjusted(2, kEditorRadius + 2, -2, -kEditorRadius - 2).toAlignedRect();
    if (cardInside.contains(event->rect())) {
        painter.fillRect(event->rect(), white(0.05));
        return;
    }
    QPainterPath card;
    card.addRoundedRect(l.editorCard, kEditorRadius, kEditorRadius);
    painter.fillPath(card, white(0.05));
}

} // namespace vantrel
