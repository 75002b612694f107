#include "kit/ApplicationChooser.h"

#include "kit/GlyphCatalogue.h"
#include "kit/KitPaint.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelPillButtonStyle.h"
#include "kit/VantrelSecondaryButtonStyle.h"
#include "kit/VantrelType.h"

#include <QCollator>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>

namespace vantrel {

namespace {

constexpr int kRowHeight = 44;
constexpr double kIconSize = 29;
constexpr int kPathRole = Qt::UserRole;

bool isEnter(const QKeyEvent& event) {
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

} // namespace

// A row: the icon, the name, and a mark that says whether it is chosen.
class ApplicationChooser::RowDelegate final : public QStyledItemDelegate {
public:
    RowDelegate(QColor accent, const bool& showsCurrent, QObject* parent)
        : QStyledItemDelegate(parent), accent_(std::move(accent)), showsCurrent_(showsCurrent) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const ColorScheme scheme = VantrelTheme::colorScheme(option.widget);
        const bool chosen = option.state & QStyle::State_Selected;
        const bool hovered = option.state & QStyle::State_MouseOver;
        const QRectF row = QRectF(option.rect).adjusted(2, 1, -2, -1);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        if (chosen || hovered)
            painter->fillPath(ContinuousRoundedRectangle{9}.path(row),
                              chosen ? VantrelTheme::withOpacity(accent_, 0.16)
                                     : VantrelTheme::recessed().resolve(scheme));
        const QRectF icon(row.left() + 8, row.center().y() - kIconSize / 2, kIconSize, kIconSize);
        if (const QIcon image = index.data(Qt::DecorationRole).value<QIcon>(); !image.isNull()) {
            image.paint(painter, icon.toAlignedRect());
        } else {
            // An entry whose icon the desktop cannot find still gets a tile of its own.
            painter->fillPath(ContinuousRoundedRectangle{7}.path(icon), scheme == ColorScheme::dark
                                                                            ? VantrelTheme::elevated().dark
                                                                            : VantrelTheme::recessed().light);
            GlyphCatalogue::paint(*painter, u"app.fill", icon.adjusted(7, 7, -7, -7),
                                  VantrelTheme::tertiaryText().resolve(scheme), QFont::Medium);
        }
        // The row the arrow keys move, Space chooses and Return takes: ringed inside the row, so
        // the rows beside it do not cover the ring.
        if (showsCurrent_ && (option.state & QStyle::State_HasFocus)) {
            QColor ground = KitPaint::surfaceBehind(option.widget);
            if (chosen || hovered)
                ground = KitPaint::composite(chosen ? VantrelTheme::withOpacity(accent_, 0.16)
                                                    : VantrelTheme::recessed().resolve(scheme),
                                             ground);
            KitPaint::paintFocusRingInside(*painter, row, 9, KitPaint::ringColor(ground, accent_));
        }
        const QRectF mark(row.right() - 8 - 16, row.center().y() - 8, 16, 16);
        if (chosen) {
            GlyphCatalogue::paint(*painter, u"checkmark.circle.fill", mark, accent_, QFont::DemiBold);
        } else {
            painter->setPen(QPen(VantrelTheme::tertiaryText().resolve(scheme), 1.2));
            painter->setBrush(Qt::NoBrush);
            painter->drawEllipse(mark.adjusted(1.5, 1.5, -1.5, -1.5));
        }
        const QFont font = VantrelType::font(12.5, QFont::Medium);
        const QRectF text(icon.right() + 10, row.top(), mark.left() - 10 - (icon.right() + 10), row.height());
        painter->setFont(font);
        painter->setPen(VantrelTheme::primary(scheme));
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                          QFontMetricsF(font).elidedText(index.data(Qt::DisplayRole).toString(),
                                                         Qt::ElideRight, text.width()));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(option.rect.width(), kRowHeight);
    }

private:
    QColor accent_;
    const bool& showsCurrent_;
};

ApplicationChooser::ApplicationChooser(std::vector<InstalledApplication> applications, const Options& options,
                                       QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this)),
      confirm_(
          new VantrelButton(options.prompt, std::make_shared<VantrelPillButtonStyle>(options.accent), this)),
      cancel_(new VantrelButton(QStringLiteral("Cancel"), std::make_shared<VantrelSecondaryButtonStyle>(),
                                this)) {
    setWindowTitle(options.title);
    setModal(true);
    resize(420, 520);
    VantrelTheme::setColorScheme(this, options.scheme);
    setPalette(VantrelTheme::menuPalette(options.scheme, options.accent));
    setFont(VantrelType::font(12.5, QFont::Normal));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 16);
    layout->setSpacing(12);
    auto* title =
        new VantrelLabel(options.title, VantrelType::font(15, QFont::DemiBold), VantrelLabel::primary());
    title->setHeadingLevel(1);
    layout->addWidget(title);

    // By name as the user reads them, whatever the files are called.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    std::stable_sort(applications.begin(), applications.end(),
                     [&collator](const InstalledApplication& a, const InstalledApplication& b) {
                         return collator.compare(a.name, b.name) < 0;
                     });
    list_->setAccessibleName(QStringLiteral("Applications"));
    list_->setFrameShape(QFrame::NoFrame);
    list_->setAttribute(Qt::WA_TranslucentBackground);
    list_->viewport()->setAutoFillBackground(false);
    list_->setMouseTracking(true);
    list_->setIconSize(QSize(int(kIconSize), int(kIconSize)));
    list_->setUniformItemSizes(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setSelectionMode(options.multiple ? QAbstractItemView::MultiSelection
                                             : QAbstractItemView::SingleSelection);
    list_->setItemDelegate(new RowDelegate(options.accent, showsCurrent_, list_));
    list_->installEventFilter(this);
    list_->viewport()->installEventFilter(this);
    for (const InstalledApplication& application : applications) {
        auto* item = new QListWidgetItem(application.icon, application.name, list_);
        item->setData(kPathRole, application.path);
        item->setToolTip(application.path);
    }
    layout->addWidget(list_, 1);
    if (applications.empty()) {
        auto* none = new VantrelLabel(QStringLiteral("No installed applications were found."),
                                      VantrelType::font(12, QFont::Normal), VantrelTheme::secondaryText());
        none->setAlignment(Qt::AlignCenter);
        layout->addWidget(none);
        list_->hide();
    }

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(9);
    buttons->addStretch(1);
    buttons->addWidget(cancel_);
    buttons->addWidget(confirm_);
    layout->addLayout(buttons);
    confirm_->setEnabled(false);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { confirm_->setEnabled(!list_->selectedItems().isEmpty()); });
    connect(cancel_, &QAbstractButton::clicked, this, &QDialog::reject);
    connect(confirm_, &QAbstractButton::clicked, this, [this] {
        if (!list_->selectedItems().isEmpty()) accept();
    });
    // In the order they stand: the list, then the buttons from left to right.
    setTabOrder(list_, cancel_);
    setTabOrder(cancel_, confirm_);
    // With one to choose, a double click takes it at once.
    if (!options.multiple)
        connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) { accept(); });
    list_->setFocus();
}

void ApplicationChooser::takeIcons(const std::vector<InstalledApplication>& applications) {
    QHash<QString, QIcon> icons;
    for (const InstalledApplication& application : applications)
        icons.insert(application.path, application.icon);
    for (int row = 0; row < list_->count(); ++row) {
        QListWidgetItem* item = list_->item(row);
        // An entry gone meanwhile keeps what it showed; the list itself stays as the user saw it.
        if (const auto found = icons.constFind(item->data(kPathRole).toString()); found != icons.cend())
            item->setIcon(*found);
    }
}

void ApplicationChooser::confirm() {
    if (list_->selectedItems().isEmpty()) {
        // Nothing chosen yet: Return takes the row the keys have moved to, never one the user
        // cannot see is current (after a click that let a row go).
        QListWidgetItem* current = list_->currentItem();
        if (list_->isHidden() || !current || !showsCurrent_) return;
        current->setSelected(true);
    }
    accept();
}

bool ApplicationChooser::eventFilter(QObject* watched, QEvent* event) {
    // The current row is shown while the keys move it, or the list is reached with Tab, and not
    // after a click, whose row shows its choice by its mark; coming back with its window keeps it.
    const bool key = event->type() == QEvent::KeyPress && !isEnter(*static_cast<QKeyEvent*>(event));
    const bool tab = event->type() == QEvent::FocusIn &&
                     (static_cast<QFocusEvent*>(event)->reason() == Qt::TabFocusReason ||
                      static_cast<QFocusEvent*>(event)->reason() == Qt::BacktabFocusReason);
    const bool keyboard = watched == list_ && (key || tab);
    const bool click = watched == list_->viewport() && event->type() == QEvent::MouseButtonPress;
    if ((keyboard && !showsCurrent_) || (click && showsCurrent_)) {
        showsCurrent_ = keyboard;
        list_->viewport()->update();
    }
    return QDialog::eventFilter(watched, event);
}

void ApplicationChooser::keyPressEvent(QKeyEvent* event) {
    if (!isEnter(*event) || (event->modifiers() & ~Qt::KeypadModifier)) return QDialog::keyPressEvent(event);
    // A button with the focus answers Return itself, as buttons on this desktop do; anywhere else
    // Return is the confirm button's.
    if (auto* button = qobject_cast<QAbstractButton*>(focusWidget()); button && button->isEnabled())
        button->click();
    else
        confirm();
}

QStringList ApplicationChooser::chosenPaths() const {
    QStringList paths;
    for (int row = 0; row < list_->count(); ++row)
        if (const QListWidgetItem* item = list_->item(row); item->isSelected())
            paths << item->data(kPathRole).toString();
    return paths;
}

void ApplicationChooser::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), VantrelTheme::surface().resolve(VantrelTheme::colorScheme(this)));
}

} // namespace vantrel
