#include "kit/VantrelPage.h"

#include "core/VantrelPreferences.h"
#include "kit/SectionTitle.h"
#include "kit/SingleItemLayout.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"

#include <QApplication>
#include <QLayout>
#include <QPointer>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cmath>

namespace vantrel {

namespace {

// Places the one column of a page by VantrelPageLayout: the paddings measured from the page's
// width, the column held to its maximum and centred.
class PageColumnLayout final : public SingleItemLayout {
public:
    PageColumnLayout(QWidget* canvas, double maxWidth) : SingleItemLayout(canvas), maxWidth_(maxWidth) {}

    Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        const QRectF column = VantrelPageLayout::column(width, maxWidth_, 0);
        const int content = item_ ? item_->heightForWidth(int(column.width())) : 0;
        return int(std::ceil(VantrelPageLayout::height(std::max(0, content))));
    }
    QSize sizeHint() const override { return QSize(int(maxWidth_), heightForWidth(int(maxWidth_))); }
    QSize minimumSize() const override { return QSize(0, 0); }
    void setGeometry(const QRect& rect) override {
        QLayout::setGeometry(rect);
        if (!item_) return;
        const QRectF column = VantrelPageLayout::column(rect.width(), maxWidth_, 0);
        const int height = std::max(0, item_->heightForWidth(int(column.width())));
        item_->setGeometry(QRect(rect.left() + int(std::round(column.left())), rect.top() + int(column.top()),
                                 int(std::round(column.width())), height));
    }

private:
    double maxWidth_;
};

} // namespace

VantrelPage::VantrelPage(VantrelPreferences& preferences, const QString& title,
                         std::optional<QString> subtitle, double maxWidth, QWidget* parent)
    : QScrollArea(parent), preferences_(preferences), title_(title), maxWidth_(maxWidth) {
    // Clear all the way through, so the window's backdrop shows.
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    // It scrolls what it shows and shows no focus: a click may give it the keys, Tab passes it by.
    setFocusPolicy(Qt::ClickFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    setFont(VantrelType::body());
    setAccessibleName(title);

    auto* canvas = new QWidget;
    canvas->setAutoFillBackground(false);
    column_ = new QWidget(canvas);
    stack_ = new QVBoxLayout(column_);
    stack_->setContentsMargins(0, 0, 0, 0);
    stack_->setSpacing(int(VantrelPageLayout::kSpacing));
    // The top anchor: no height of its own, but the column's spacing follows it, so the heading
    // sits that far below the top padding.
    topAnchor_ = new QWidget(column_);
    topAnchor_->setObjectName(QStringLiteral("vantrel-page-top"));
    topAnchor_->setFixedHeight(0);
    stack_->addWidget(topAnchor_);
    heading_ = new SectionTitle(preferences, title, std::move(subtitle), column_);
    markAccessibleHeading(heading_, 1);
    stack_->addWidget(heading_);
    auto* layout = new PageColumnLayout(canvas, maxWidth);
    layout->addWidget(column_);
    setWidget(canvas);
    // The scroll area fills the widget it is given; the page stays clear.
    canvas->setAutoFillBackground(false);

    applyAccent();
    preferences_.onChange(VantrelPreferences::Setting::accent, this, [this] { applyAccent(); });
    // The scroll area brings a stop into view only when Tab moves within it: a stop reached from
    // the navigation above (Shift+Tab to the page's last control) or given the focus after an
    // action would stay below the fold. A click is left where it is (the user sees what they
    // clicked), and so is the focus a window gets back on activation (the user may have scrolled
    // away on purpose).
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (!old || !now || !isVisible() || QGuiApplication::mouseButtons() != Qt::NoButton) return;
        if (widget() && widget()->isAncestorOf(now)) ensureWidgetVisible(now);
    });
}

void VantrelPage::addContent(QWidget* content) {
    stack_->addWidget(content);
}

void VantrelPage::applyAccent() {
    // The accent tints every control of the page, as the highlight its children inherit.
    QPalette tinted = palette();
    tinted.setColor(QPalette::Highlight, VantrelTheme::accent(preferences_.accent()));
    setPalette(tinted);
    update();
}

void VantrelPage::showEvent(QShowEvent* event) {
    QScrollArea::showEvent(event);
    // Coming on screen, the page always shows its top anchor, and with it the heading, first.
    verticalScrollBar()->setValue(0);
}

} // namespace vantrel
