#include "control-center/HomeWorkspace.h"

#include "control-center/HomeActions.h"
#include "core/FileNotices.h"
#include "core/VantrelPreferences.h"
#include "kit/KeyActivation.h"
#include "kit/KitPaint.h"
#include "kit/RebuiltRows.h"
#include "kit/TextAdvance.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelScrollIndicator.h"
#include "kit/VantrelSecondaryButtonStyle.h"
#include "kit/VantrelSegmentedControl.h"
#include "kit/VantrelTextEditor.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/FileShelfStore.h"
#include "modules/NotesStore.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPathStroker>
#include <QPlainTextEdit>
#include <QTextLayout>
#include <QVBoxLayout>
#include <cmath>

namespace vantrel {

namespace {

constexpr double kHeaderSpacing = 14;
constexpr double kRowPadding = 10;
constexpr double kRowSpacing = 3;

QColor accentOf(const HomePageContext& context) {
    return VantrelTheme::accent(context.preferences.accent());
}

// One note of the list: its title, a pin when pinned, and up to two lines of its body, on the
// accent's highlight while it is the note being edited.
class NoteRow final : public QAbstractButton {
public:
    NoteRow(const VantrelNote& note, bool selected, QColor accent, QWidget* parent)
        : QAbstractButton(parent), selected_(selected), accent_(accent) {
        setNote(note, true);
        setProperty("highlighted", selected);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        KitPaint::watchFocusReason(this);
        KeyActivation::pressOnReturn(this);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    const VantrelNote& note() const { return note_; }
    void setNote(const VantrelNote& note, bool first = false) {
        // A key typed past what the preview shows changes nothing the row draws.
        const bool looksTheSame = !first && note.title == note_.title && note.isPinned == note_.isPinned &&
                                  previewsAlike(note.body, note_.body);
        const int height = looksTheSame ? 0 : heightForWidth(width());
        note_ = note;
        setProperty("body", bodyText());
        if (looksTheSame) return;
        setText(note.title);
        setAccessibleName(note.title);
        // The list is laid out again only when the preview gained or lost a line.
        if (heightForWidth(width()) != height) updateGeometry();
        update();
    }
    bool isHighlighted() const { return selected_; }
    // The body line shown: the note's body, or "No additional text" for an empty one.
    QString bodyText() const {
        return note_.body.isEmpty() ? QStringLiteral("No additional text") : note_.body;
    }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        const double inner = std::max(1.0, width - 2 * kRowPadding);
        const double title = QFontMetricsF(VantrelType::label()).height();
        return int(std::ceil(2 * kRowPadding + title + kRowSpacing + bodyHeight(inner)));
    }
    QSize sizeHint() const override { return QSize(int(HomeWorkspace::kNoteListWidth), heightForWidth(166)); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = VantrelTheme::colorScheme(this);
        if (selected_)
            painter.fillPath(ContinuousRoundedRectangle{10}.path(rect()),
                             VantrelTheme::withOpacity(accent_, 0.11));
        const QRectF inner = QRectF(rect()).adjusted(kRowPadding, kRowPadding, -kRowPadding, -kRowPadding);
        const QFontMetricsF titleMetrics(VantrelType::label());
        QRectF titleRect(inner.left(), inner.top(), inner.width(), titleMetrics.height());
        if (note_.isPinned) {
            const QRectF pin(inner.right() - 10, titleRect.top(), 10, titleRect.height());
            VantrelGlyph::paint(painter, pin, u"pin.fill", accent_, 8, QFont::Normal);
            titleRect.setRight(pin.left() - 4);
        }
        painter.setFont(VantrelType::label());
        painter.setPen(VantrelTheme::primary(scheme));
        painter.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         TextAdvance::elidedRight(VantrelType::label(), note_.title, titleRect.width()));
        painter.setFont(VantrelType::caption());
        painter.setPen(VantrelTheme::secondaryText().resolve(scheme));
        const double lineHeight = QFontMetricsF(VantrelType::caption()).lineSpacing();
        double y = titleRect.bottom() + kRowSpacing;
        for (const QString& line :
             HomeWorkspace::previewLines(bodyText(), VantrelType::caption(), inner.width())) {
            painter.drawText(QRectF(inner.left(), y, inner.width(), lineHeight),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, line);
            y += lineHeight;
        }
        KitPaint::paintFocusRingOf(painter, this, 10);
    }

private:
    // Whether two bodies show the same preview: the preview reads no further than its reach.
    bool previewsAlike(const QString& a, const QString& b) const {
        const qsizetype reach = HomeWorkspace::previewReach(std::max(1.0, width() - 2 * kRowPadding));
        if (a.size() <= reach || b.size() <= reach) return a == b;
        return QStringView(a).left(reach) == QStringView(b).left(reach);
    }

    double bodyHeight(double width) const {
        return double(HomeWorkspace::previewLines(bodyText(), VantrelType::caption(), width).size()) *
               QFontMetricsF(VantrelType::caption()).lineSpacing();
    }

    VantrelNote note_;
    bool selected_;
    QColor accent_;
};

// One screenshot of the grid: its thumbnail, 116 high, cropped to fill, over its name.
class ShotItem final : public QAbstractButton {
public:
    ShotItem(const QUrl& url, QImage image, QWidget* parent)
        : QAbstractButton(parent), url_(url), image_(std::move(image)) {
        setText(HomeWorkspace::displayName(url));
        setAccessibleName(text());
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        KitPaint::watchFocusReason(this);
        KeyActivation::pressOnReturn(this);
    }
    const QUrl& url() const { return url_; }
    bool hasImage() const { return !image_.isNull(); }
    static double height() {
        return HomeWorkspace::kThumbnailHeight + 7 + QFontMetricsF(VantrelType::caption()).height();
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QAbstractButton::resizeEvent(event);
        scaled_ = QPixmap();
    }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = VantrelTheme::colorScheme(this);
        const QRectF frame(0, 0, width(), HomeWorkspace::kThumbnailHeight);
        const QPainterPath shape = ContinuousRoundedRectangle{10}.path(frame);
        painter.save();
        painter.setClipPath(shape);
        if (image_.isNull()) {
            painter.fillRect(frame, VantrelTheme::recessed().resolve(scheme));
            VantrelGlyph::paint(painter, frame, u"photo", VantrelTheme::tertiaryText().resolve(scheme), 24,
                                QFont::Normal);
        } else {
            const qreal ratio = devicePixelRatioF();
            const QSize pixels = (frame.size() * ratio).toSize();
            // Cropped and scaled once per size; painting only copies it.
            if (scaled_.isNull() || scaled_.size() != pixels) {
                const QRectF source = ThumbnailCache::fillSource(image_.size(), frame.size());
                scaled_ =
                    QPixmap::fromImage(image_.copy(source.toAlignedRect())
                                           .scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
                scaled_.setDevicePixelRatio(ratio);
            }
            painter.drawPixmap(frame.topLeft(), scaled_);
        }
        painter.restore();
        painter.setFont(VantrelType::caption());
        painter.setPen(VantrelTheme::primary(scheme));
        const QRectF name(0, frame.bottom() + 7, width(), QFontMetricsF(VantrelType::caption()).height());
        painter.drawText(name, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         TextAdvance::elidedRight(VantrelType::caption(), text(), name.width()));
        KitPaint::paintFocusRingOf(painter, this, 10);
    }

private:
    QUrl url_;
    QImage image_;
    QPixmap scaled_;
};

// The editor's well: the recessed fill with its border, drawn behind the text.
class EditorWell final : public QWidget {
public:
    using QWidget::QWidget;
    static constexpr int kWellRadius = 12;

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        const ColorScheme scheme = VantrelTheme::colorScheme(this);
        const QColor fill = VantrelTheme::recessed().resolve(scheme);
        // The text is drawn over the well: a key typed repaints a line's strip of it. Away from
        // the corners and the border the shape is all fill; only what the strip reaches of the
        // corners' columns is drawn with the shape.
        const QRect dirty = event->rect();
        const QRect fillOnly = rect().adjusted(2 * kWellRadius, 2, -2 * kWellRadius, -2);
        const QRect middle = rect().adjusted(2, 2 * kWellRadius, -2, -2 * kWellRadius);
        if (middle.contains(dirty)) {
            painter.fillRect(dirty, fill);
            return;
        }
        if (dirty.intersects(fillOnly)) painter.fillRect(dirty & fillOnly, fill);
        QRegion shaped = QRegion(dirty) - QRegion(fillOnly);
        if (shaped.isEmpty()) return;
        painter.setClipRegion(shaped);
        // The shape and its border's outline are made once per size: filled, they are drawn only
        // where the strip reaches.
        if (shapeSize_ != size()) {
            shapeSize_ = size();
            shape_ = ContinuousRoundedRectangle{kWellRadius}.path(
                QRectF(rect()).adjusted(0.35, 0.35, -0.35, -0.35));
            QPainterPathStroker stroker;
            stroker.setWidth(0.7);
            border_ = stroker.createStroke(shape_);
        }
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(shape_, fill);
        painter.fillPath(border_, VantrelTheme::border().resolve(scheme));
    }

private:
    QSize shapeSize_;
    QPainterPath shape_;
    QPainterPath border_;
};

// A 1-point rule between the list and the editor.
class Separator final : public QWidget {
public:
    explicit Separator(QWidget* parent) : QWidget(parent) { setFixedWidth(1); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), VantrelTheme::border().resolve(this));
    }
};

} // namespace

QString rawValue(HomeWorkspace::Mode mode) {
    return mode == HomeWorkspace::Mode::notes ? QStringLiteral("Notes") : QStringLiteral("Screenshots");
}

HomeWorkspace::HomeWorkspace(const HomePageContext& context, HomeActions& actions, QWidget* parent)
    : QWidget(parent), context_(context), actions_(actions),
      thumbnails_(context.files, 480, context.pictures, [this] { rebuildGrid(); }) {
    setObjectName(QStringLiteral("workspace"));
    header_ = new QWidget(this);
    auto* headerRow = new QHBoxLayout(header_);
    headerRow->setContentsMargins(0, 0, 0, 0);
    modeControl_ = new VantrelSegmentedControl(
        QStringLiteral("Workspace"), {rawValue(Mode::notes), rawValue(Mode::screenshots)}, nullptr, header_);
    modeControl_->setFixedWidth(220);
    modeControl_->setSelectedIndex(0);
    connect(modeControl_, &VantrelSegmentedControl::chosen, this,
            [this](int index) { setMode(index == 1 ? Mode::screenshots : Mode::notes); });
    headerRow->addWidget(modeControl_);
    headerRow->addStretch(1);
    action_ = new VantrelButton(QStringLiteral("New note"), std::make_shared<VantrelSecondaryButtonStyle>(),
                                header_);
    action_->setObjectName(QStringLiteral("workspace.action"));
    action_->setLeadingGlyph(QStringLiteral("square.and.pencil"), 11, 16);
    connect(action_, &QAbstractButton::clicked, this, [this] {
        if (mode_ == Mode::notes)
            actions_.addNote();
        else
            actions_.presentUtility(HomeUtility::files);
    });
    headerRow->addWidget(action_);

    // Notes: the list, a rule and the editor.
    notesPane_ = new QWidget(this);
    auto* notesRow = new QHBoxLayout(notesPane_);
    notesRow->setContentsMargins(0, 0, 0, 0);
    notesRow->setSpacing(0);
    noteList_ = new QWidget(notesPane_);
    noteList_->setFixedWidth(int(kNoteListWidth));
    noteRows_ = new QVBoxLayout(noteList_);
    noteRows_->setContentsMargins(0, 0, 12, 0);
    noteRows_->setSpacing(3);
    noteRows_->addStretch(1);
    notesRow->addWidget(noteList_);
    notesRow->addWidget(new Separator(notesPane_));
    auto* editorColumn = new QVBoxLayout;
    editorColumn->setContentsMargins(14, 0, 0, 0);
    editorColumn->setSpacing(10);
    auto* titleRow = new QHBoxLayout;
    title_ =
        new VantrelLabel(QString(), VantrelType::font(18, QFont::Bold), VantrelLabel::primary(), notesPane_);
    title_->setObjectName(QStringLiteral("workspace.title"));
    title_->setTextFormat(Qt::PlainText);
    title_->setWordWrap(false);
    title_->setElided(true);
    title_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    titleRow->addWidget(title_, 1);
    saveState_ =
        new VantrelLabel(QString(), VantrelType::caption(), VantrelTheme::tertiaryText(), notesPane_);
    saveState_->setObjectName(QStringLiteral("workspace.saveState"));
    titleRow->addWidget(saveState_);
    editorColumn->addLayout(titleRow);
    auto* well = new EditorWell(notesPane_);
    auto* wellLayout = new QVBoxLayout(well);
    wellLayout->setContentsMargins(8, 8, 8, 8);
    editor_ = new VantrelTextEditor(well);
    editor_->setObjectName(QStringLiteral("workspace.editor"));
    editor_->setAccessibleName(QStringLiteral("Note"));
    editor_->setFrameShape(QFrame::NoFrame);
    editor_->setFont(VantrelType::font(13, QFont::Normal));
    editor_->setAutoFillBackground(false);
    editor_->viewport()->setAutoFillBackground(false);
    editor_->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; }"));
    editor_->setMinimumWidth(240);
    // The desktop's bar, white with arrow buttons, would sit on the dark well.
    VantrelScrollIndicator::install(editor_);
    connect(editor_, &QPlainTextEdit::textChanged, this, &HomeWorkspace::editorEdited);
    wellLayout->addWidget(editor_);
    editorColumn->addWidget(well, 1);
    notesRow->addLayout(editorColumn, 1);

    // Screenshots: the grid or its empty state.
    shotsPane_ = new QWidget(this);
    grid_ = new QWidget(shotsPane_);
    emptyShots_ = new QWidget(shotsPane_);
    emptyShots_->setObjectName(QStringLiteral("workspace.empty"));
    auto* empty = new QVBoxLayout(emptyShots_);
    empty->setSpacing(10);
    empty->addStretch(1);
    auto* art = new VantrelGlyph(QStringLiteral("photo.on.rectangle.angled"), accentOf(context_), 28,
                                 QFont::Light, 40, 34, emptyShots_);
    empty->addWidget(art, 0, Qt::AlignHCenter);
    auto* emptyTitle =
        new VantrelLabel(QStringLiteral("No screenshots on the shelf yet"),
                         VantrelType::font(15, QFont::DemiBold), VantrelLabel::primary(), emptyShots_);
    emptyTitle->setAlignment(Qt::AlignCenter);
    empty->addWidget(emptyTitle);
    auto* emptyHint = new VantrelLabel(
        QStringLiteral("Drop a screenshot into the notch File Shelf and it will appear here."),
        VantrelType::caption(), VantrelTheme::secondaryText(), emptyShots_);
    emptyHint->setAlignment(Qt::AlignCenter);
    emptyHint->setWordWrap(true);
    empty->addWidget(emptyHint);
    empty->addStretch(1);
    shotsPane_->hide();

    NotesStore& notes = context_.notes;
    connect(&notes, &NotesStore::notesChanged, this, &HomeWorkspace::refreshNotes);
    connect(&notes, &NotesStore::noteEdited, this, &HomeWorkspace::showEditedNote);
    connect(&notes, &NotesStore::selectedIDChanged, this, &HomeWorkspace::refreshNotes);
    connect(&notes, &NotesStore::selectedFolderIDChanged, this, &HomeWorkspace::refreshNotes);
    connect(&notes, &NotesStore::searchQueryChanged, this, &HomeWorkspace::refreshNotes);
    connect(&notes, &NotesStore::saveStateChanged, this, &HomeWorkspace::showSaveState);
    showSaveState();
    connect(&context_.shelf, &FileShelfStore::itemsChanged, this, &HomeWorkspace::rebuildGrid);
    refreshNotes();
    rebuildGrid();
}

void HomeWorkspace::setMode(Mode mode) {
    mode_ = mode;
    modeControl_->setSelectedIndex(mode == Mode::notes ? 0 : 1);
    if (mode == Mode::notes) {
        action_->setText(QStringLiteral("New note"));
        action_->setLeadingGlyph(QStringLiteral("square.and.pencil"), 11, 16);
    } else {
        action_->setText(QStringLiteral("Open shelf"));
        action_->setLeadingGlyph(QStringLiteral("tray.full"), 11, 16);
    }
    action_->setAccessibleName(action_->text());
    notesPane_->setVisible(mode == Mode::notes);
    shotsPane_->setVisible(mode == Mode::screenshots);
    if (mode == Mode::screenshots) rebuildGrid();
    updateGeometry();
    resizeEvent(nullptr);
}

QList<QUrl> HomeWorkspace::imageItems(const QList<QUrl>& items) {
    static const QStringList kExtensions{
        QStringLiteral("png"),  QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("heic"),
        QStringLiteral("tiff"), QStringLiteral("gif"), QStringLiteral("webp")};
    QList<QUrl> images;
    for (const QUrl& url : items) {
        const QString name = url.fileName();
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot <= 0) continue; // no extension (a leading dot names a hidden file, not a type)
        if (kExtensions.contains(name.mid(dot + 1).toLower())) images.append(url);
    }
    return images;
}

QString HomeWorkspace::displayName(const QUrl& url) {
    const QString name = url.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

QStringList HomeWorkspace::previewLines(const QString& body, const QFont& font, double width) {
    constexpr int kLines = 2;
    if (width <= 0 || body.isEmpty()) return {};
    const qsizetype reach = previewReach(width);
    QString shown = body.left(reach);
    const bool cut = body.size() > reach;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\n'), QChar::LineSeparator);

    QStringList lines;
    QTextLayout layout(shown, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid() && lines.size() < kLines;
         line = layout.createLine()) {
        line.setLineWidth(width);
        QString text = shown.mid(line.textStart(), line.textLength());
        while (text.endsWith(QChar::LineSeparator)) text.chop(1);
        const bool more = cut || line.textStart() + line.textLength() < shown.size();
        if (lines.size() == kLines - 1 && more) {
            while (text.endsWith(QLatin1Char(' '))) text.chop(1);
            text = QFontMetricsF(font).elidedText(text + QChar(0x2026), Qt::ElideRight, width);
        }
        lines.append(text);
    }
    layout.endLayout();
    return lines;
}

qsizetype HomeWorkspace::previewReach(double width) {
    // Two lines never show more than this much of a body, however long; at two points for the
    // narrowest letter, with room for the breaks.
    return qsizetype(std::ceil(2 * width / 2)) + 16;
}

QString HomeWorkspace::selectedNoteTitle() const {
    const std::optional<qsizetype> index = context_.notes.selectedIndex();
    return index ? context_.notes.notes().at(*index).title : QStringLiteral("Quick note");
}

int HomeWorkspace::gridColumns(double width) {
    return std::max(1, int(std::floor((width + kGridSpacing) / (kGridMinimumColumn + kGridSpacing))));
}

QList<QAbstractButton*> HomeWorkspace::noteRows() const {
    QList<QAbstractButton*> rows;
    for (int i = 0; i < noteRows_->count(); ++i)
        if (auto* row = qobject_cast<QAbstractButton*>(noteRows_->itemAt(i)->widget())) rows.append(row);
    return rows;
}

QList<QAbstractButton*> HomeWorkspace::gridItems() const {
    return gridItems_;
}

void HomeWorkspace::showSaveState() {
    // Never "saved" while the last save failed, nor while the notes go to a recovery file beside a
    // file that could not be read; the window's file notice says why and where.
    const bool unsaved = context_.notes.saveState().notSaved();
    saveState_->setText(unsaved ? QStringLiteral("Not saved") : QStringLiteral("Saved locally"));
}

void HomeWorkspace::refreshNotes() {
    NotesStore& notes = context_.notes;
    const QList<QAbstractButton*> oldRows = noteRows();
    QStringList oldKeys;
    for (QAbstractButton* row : oldRows) oldKeys << static_cast<NoteRow*>(row)->note().id.toString();
    const RebuiltRows kept({oldRows.begin(), oldRows.end()}, oldKeys);
    while (noteRows_->count() > 1) {
        QLayoutItem* item = noteRows_->takeAt(0);
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    const QList<VantrelNote> visible = notes.visibleNotes();
    const QColor accent = accentOf(context_);
    int position = 0;
    QList<QWidget*> rows;
    QStringList keys;
    for (const VantrelNote& note : visible.mid(0, kNoteRows)) {
        auto* row = new NoteRow(note, notes.selectedID() == note.id, accent, noteList_);
        row->setObjectName(QStringLiteral("note.row"));
        const QUuid id = note.id;
        connect(row, &QAbstractButton::clicked, this, [this, id] { actions_.selectNote(id); });
        noteRows_->insertWidget(position++, row);
        rows << row;
        keys << id.toString();
    }
    // With no row left, the focus goes to "New note" above the list.
    kept.finish(noteList_, rows, keys, action_);
    title_->setText(selectedNoteTitle());
    const QString body = actions_.editorText();
    // While the editor hands over an edit, the store is caught half-way (a note just added is
    // still empty); the editor keeps its text and cursor until the edit has landed.
    if (!editing_ && editor_->plainText() != body) {
        showingStore_ = true;
        editor_->setPlainText(body);
        showingStore_ = false;
    }
}

void HomeWorkspace::showEditedNote(const QUuid& id) {
    const QList<VantrelNote>& notes = context_.notes.notes();
    const auto note = std::ranges::find(notes, id, &VantrelNote::id);
    if (note == notes.end()) return;
    for (QAbstractButton* row : noteRows())
        if (static_cast<NoteRow*>(row)->note().id == id) static_cast<NoteRow*>(row)->setNote(*note);
    if (context_.notes.selectedID() != id) return;
    title_->setText(note->title);
    // Typed here, the editor holds the text already; typed in the notch, it takes the change alone.
    if (editing_) return;
    showingStore_ = true;
    editor_->showText(note->body);
    showingStore_ = false;
}

void HomeWorkspace::editorEdited() {
    if (showingStore_) return;
    // Every change goes to the store at once; with no note selected, the actions start one.
    editing_ = true;
    const bool kept = actions_.setEditorText(editor_->plainText());
    editing_ = false;
    // The store refused the text; the editor shows what was kept.
    if (!kept) refreshNotes();
}

void HomeWorkspace::rebuildGrid() {
    QStringList keys;
    for (QAbstractButton* item : gridItems_) keys << static_cast<ShotItem*>(item)->url().toString();
    const RebuiltRows kept({gridItems_.begin(), gridItems_.end()}, keys);
    qDeleteAll(gridItems_);
    gridItems_.clear();
    keys.clear();
    const QList<QUrl> images = imageItems(context_.shelf.items()).mid(0, kGridItems);
    QStringList paths;
    for (const QUrl& url : images) paths.append(url.toLocalFile());
    thumbnails_.retain(paths);
    // The files are read only while the screenshots are on screen.
    if (mode_ == Mode::screenshots) {
        for (const QUrl& url : images) {
            auto* item = new ShotItem(url, thumbnails_.image(url.toLocalFile()), grid_);
            item->setObjectName(QStringLiteral("screenshot"));
            connect(item, &QAbstractButton::clicked, this, [this, url] { actions_.openScreenshot(url); });
            item->show();
            gridItems_.append(item);
            keys << url.toString();
        }
    }
    kept.finish(grid_, {gridItems_.begin(), gridItems_.end()}, keys, action_);
    emptyShots_->setVisible(images.isEmpty());
    grid_->setVisible(!images.isEmpty());
    updateGeometry();
    layoutGrid();
}

void HomeWorkspace::layoutGrid() {
    const double width = shotsPane_->width();
    const int columns = gridColumns(width);
    const double column = (width - kGridSpacing * (columns - 1)) / columns;
    const double itemHeight = ShotItem::height();
    const int rows = (int(gridItems_.size()) + columns - 1) / columns;
    const double gridHeight = rows * itemHeight + std::max(0, rows - 1) * kGridSpacing;
    grid_->setGeometry(0, 0, int(width), int(std::ceil(gridHeight)));
    for (int i = 0; i < gridItems_.size(); ++i) {
        const int r = i / columns;
        const int c = i % columns;
        gridItems_[i]->setGeometry(
            QRectF(c * (column + kGridSpacing), r * (itemHeight + kGridSpacing), column, itemHeight)
                .toRect());
    }
    emptyShots_->setGeometry(shotsPane_->rect());
}

int HomeWorkspace::heightForWidth(int width) const {
    const double header = header_->sizeHint().height();
    double content = kContentHeight;
    if (mode_ == Mode::screenshots && !gridItems_.isEmpty()) {
        const int columns = gridColumns(width);
        const int rows = (int(gridItems_.size()) + columns - 1) / columns;
        content = std::max(content, rows * ShotItem::height() + (rows - 1) * kGridSpacing);
    }
    return int(std::ceil(header + kHeaderSpacing + content));
}

QSize HomeWorkspace::sizeHint() const {
    // The list, the rule and an editor of a useful width.
    const int width = std::max(header_->sizeHint().width(), int(kNoteListWidth) + 1 + 14 + 260);
    return {width, heightForWidth(width)};
}

QSize HomeWorkspace::minimumSizeHint() const {
    return {int(kNoteListWidth) + 1 + 14 + 120, heightForWidth(int(kNoteListWidth) + 135)};
}

bool HomeWorkspace::event(QEvent* event) {
    if (event->type() == QEvent::LayoutRequest) {
        // A piece changed its size: measure again and tell the card.
        updateGeometry();
        resizeEvent(nullptr);
        return true;
    }
    if (event->type() == VantrelTheme::colorSchemeChangeEvent()) applyScheme();
    return QWidget::event(event);
}

void HomeWorkspace::applyScheme() {
    // The editor's text follows the appearance the page is drawn in.
    QPalette palette = editor_->palette();
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    palette.setColor(QPalette::Text, VantrelTheme::primary(scheme));
    palette.setColor(QPalette::PlaceholderText, VantrelTheme::tertiaryText().resolve(scheme));
    editor_->setPalette(palette);
}

void HomeWorkspace::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    applyScheme();
}

void HomeWorkspace::resizeEvent(QResizeEvent* event) {
    if (event) QWidget::resizeEvent(event);
    const int header = header_->sizeHint().height();
    header_->setGeometry(0, 0, width(), header);
    const int top = header + int(kHeaderSpacing);
    const QRect content(0, top, width(), std::max(0, height() - top));
    notesPane_->setGeometry(content);
    shotsPane_->setGeometry(content);
    layoutGrid();
}

} // namespace vantrel
