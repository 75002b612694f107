#include "control-center/OnboardingView.h"

#include "control-center/VantrelMark.h"
#include "core/VantrelPreferences.h"
#include "kit/FocusHandOff.h"
#include "kit/SettingBinding.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelIcon.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelPillButtonStyle.h"
#include "kit/VantrelShadow.h"
#include "kit/VantrelSwitch.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "settings/PlainButtonStyle.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <algorithm>

namespace vantrel {

namespace {

enum class Tone { primary, secondary };

QColor toneColor(const QWidget* widget, Tone tone) {
    const ColorScheme scheme = VantrelTheme::colorScheme(widget);
    return tone == Tone::primary ? VantrelTheme::primary(scheme)
                                 : VantrelTheme::secondaryText().resolve(scheme);
}

constexpr const char* kToneProperty = "vantrelTone";
constexpr const char* kDormantProperty = "vantrelDormant";

void paintInTone(QLabel* label, Tone tone) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, toneColor(label, tone));
    label->setPalette(palette);
}

QLabel* text(QWidget* parent, const QString& value, double size, QFont::Weight weight, Tone tone) {
    auto* label = new QLabel(value, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(VantrelType::font(size, weight));
    label->setProperty(kToneProperty, int(tone));
    paintInTone(label, tone);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// A rounded panel filled with white at a low opacity, the tile of rows, switches and hints.
class Tile : public QWidget {
public:
    Tile(double radius, double opacity, QWidget* parent)
        : QWidget(parent), radius_(radius), opacity_(opacity) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()), radius_, radius_);
        painter.fillPath(shape, VantrelTheme::withOpacity(Qt::white, opacity_));
    }

private:
    double radius_;
    double opacity_;
};

// A button drawn as its text alone, in the given colour, that shows the kit's ring.
VantrelButton* plainButton(const QString& title, const AdaptiveColor& color, QWidget* parent) {
    auto* button = new VantrelButton(title, std::make_shared<PlainButtonStyle>(color), parent);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

// The card's own fill, also laid over a step while its change is drawn.
void fillCard(QPainter& painter, const QPainterPath& shape, ColorScheme scheme) {
    painter.fillPath(shape, VantrelTheme::canvasMiddle().resolve(scheme));
    painter.fillPath(shape, VantrelTheme::withOpacity(VantrelTheme::surface().resolve(scheme), 0.62));
}

// The floating card: the thinnest material over the window's background (so its shadow, stacked
// under it, never shows through) and a fine white outline.
class Card final : public QWidget {
public:
    Card(const OnboardingFlow& flow, const VantrelPreferences& preferences, QWidget* parent)
        : QWidget(parent), flow_(flow), preferences_(preferences) {}

protected:
    void paintEvent(QPaintEvent*) override {
        const ColorScheme scheme = VantrelTheme::colorScheme(this);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath card;
        const QRectF frame = QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4);
        card.addRoundedRect(frame, OnboardingLayout::kCardRadius, OnboardingLayout::kCardRadius);
        fillCard(painter, card, scheme);
        painter.strokePath(card, QPen(VantrelTheme::withOpacity(Qt::white, 0.16), 0.8));
        // The progress dots.
        const OnboardingLayout l = OnboardingLayout::make(QSizeF(rect().size()), flow_.step());
        const QPointF origin = l.card.topLeft();
        for (int i = 0; i < 4; ++i) {
            QPainterPath capsule;
            capsule.addRoundedRect(l.dots[std::size_t(i)].translated(-origin), 3, 3);
            painter.fillPath(capsule, flow_.step() >= i ? VantrelTheme::accent(preferences_.accent())
                                                        : VantrelTheme::withOpacity(Qt::white, 0.1));
        }
    }

private:
    const OnboardingFlow& flow_;
    const VantrelPreferences& preferences_;
};

QWidget* centred(QWidget* widget, QWidget* parent) {
    auto* holder = new QWidget(parent);
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();
    row->addWidget(widget);
    row->addStretch();
    return holder;
}

} // namespace

namespace {

// A step as it looks, on a clear ground: the card shows through where the step draws nothing.
QPixmap picture(QWidget* step) {
    const qreal ratio = step->devicePixelRatioF();
    QPixmap pixmap(step->size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    step->render(&pixmap, QPoint(), QRegion(), QWidget::DrawChildren);
    return pixmap;
}

} // namespace

// Drawn over the incoming step while a step change runs: the card's fill, then the pictures of
// the outgoing and the incoming step, each at the frame's opacity and scale about its centre.
// Clicks pass through to the incoming step, which is live underneath.
class StepTransitionLayer final : public QWidget {
public:
    explicit StepTransitionLayer(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

    void start(QPixmap outgoing, QPixmap incoming, const QRect& geometry) {
        outgoing_ = std::move(outgoing);
        incoming_ = std::move(incoming);
        setGeometry(geometry);
        show();
        raise();
    }
    void setFrame(const StepTransitionFrame& frame) {
        frame_ = frame;
        update();
    }
    void end() {
        hide();
        outgoing_ = QPixmap();
        incoming_ = QPixmap();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        // The card's outline runs down both sides of the step and stays uncovered.
        QPainterPath all;
        all.addRect(QRectF(rect()).adjusted(1, 0, -1, 0));
        fillCard(painter, all, VantrelTheme::colorScheme(this));
        draw(painter, outgoing_, frame_.outgoingOpacity, frame_.outgoingScale);
        draw(painter, incoming_, frame_.incomingOpacity, frame_.incomingScale);
    }

private:
    void draw(QPainter& painter, const QPixmap& picture, double opacity, double scale) {
        if (picture.isNull() || opacity <= 0) return;
        const QSizeF size = picture.deviceIndependentSize();
        const QRectF bounds(QPointF(width() / 2.0 - size.width() / 2, height() / 2.0 - size.height() / 2),
                            size);
        painter.setOpacity(opacity);
        painter.drawPixmap(StepTransitionFrame::scaled(bounds, scale), picture, QRectF(picture.rect()));
    }

    QPixmap outgoing_;
    QPixmap incoming_;
    StepTransitionFrame frame_;
};

StepTransitionFrame StepTransitionFrame::at(double value) {
    const double opacity = std::clamp(value, 0.0, 1.0);
    return {
        .outgoingOpacity = 1 - opacity,
        .outgoingScale = 1 - (1 - kScale) * value,
        .incomingOpacity = opacity,
        .incomingScale = kScale + (1 - kScale) * value,
    };
}

QRectF StepTransitionFrame::scaled(const QRectF& bounds, double scale) {
    const QSizeF size = bounds.size() * scale;
    return QRectF(bounds.center() - QPointF(size.width() / 2, size.height() / 2), size);
}

OnboardingLayout OnboardingLayout::make(const QSizeF& window, int step) {
    OnboardingLayout l;
    l.card = QRectF((window.width() - kCardWidth) / 2, (window.height() - kCardHeight) / 2, kCardWidth,
                    kCardHeight);
    const double total = 28 + 3 * 8 + 3 * 6;
    double x = l.card.center().x() - total / 2;
    for (int i = 0; i < 4; ++i) {
        const double width = i == step ? 28 : 8;
        l.dots[std::size_t(i)] = QRectF(x, l.card.top() + 25, width, 6);
        x += width + 6;
    }
    return l;
}

OnboardingView::OnboardingView(const ControlCenterContext& context, QWidget* parent)
    : QWidget(parent), context_(context), flow_(context), card_(new Card(flow_, context.preferences, this)),
      stepAnimation_(new QVariantAnimation(this)), transition_(new StepTransitionLayer(card_)) {
    auto* column = new QVBoxLayout(card_);
    column->setContentsMargins(0, 25 + 6, 0, 0);
    column->setSpacing(0);

    auto* footer = new QHBoxLayout;
    footer->setContentsMargins(38, 0, 38, 30);
    back_ = plainButton(QStringLiteral("Back"), VantrelTheme::secondaryText(), card_);
    continue_ =
        new VantrelButton(QStringLiteral("Continue"),
                          std::make_shared<VantrelPillButtonStyle>(accent(), &context_.haptics), card_);
    continue_->setMotion(&context_.motion);
    footer->addWidget(back_);
    footer->addStretch();
    footer->addWidget(continue_);
    column->addStretch(); // replaced by the step's content
    column->addLayout(footer);
    connect(back_, &QAbstractButton::clicked, &flow_, &OnboardingFlow::back);
    connect(continue_, &QAbstractButton::clicked, &flow_, &OnboardingFlow::advance);

    auto* shadow = new VantrelShadow(card_, [](const QRectF& rect) {
        QPainterPath path;
        path.addRoundedRect(rect, OnboardingLayout::kCardRadius, OnboardingLayout::kCardRadius);
        return path;
    });
    shadow->setLook({QColor::fromRgbF(0, 0, 0, 0.28f), 42, QPointF(0, 22)});

    connect(stepAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        frame_ = StepTransitionFrame::at(value.toDouble());
        transition_->setFrame(frame_);
    });
    connect(stepAnimation_, &QVariantAnimation::finished, this, [this] { endTransition(); });
    connect(&flow_, &OnboardingFlow::stepChanged, this, [this] {
        showStep(true);
        card_->update();
    });
    connect(&flow_, &OnboardingFlow::contentChanged, this, [this] {
        if (flow_.step() == OnboardingFlow::privacy) rebuildPrivacyRows();
    });
    context_.preferences.onChange(VantrelPreferences::Setting::accent, this, [this] {
        continue_->setButtonStyle(std::make_shared<VantrelPillButtonStyle>(accent(), &context_.haptics));
        showStep(false);
        update();
    });
    showStep(false);
}

void OnboardingView::rebuildPrivacyRows() {
    // A row allowed loses its Allow button as the rows are built again: the focus on it goes on to
    // the next row's Allow, or to Continue when no row below is left to allow, rather than nowhere.
    const FocusHandOff::Held held = FocusHandOff::take(content_);
    const QString pressedRow = held.widget ? held.widget->accessibleDescription() : QString();
    // Parked while the rows go, so that Qt does not hand it along the Tab order meanwhile.
    if (held.widget) card_->setFocus(Qt::OtherFocusReason);
    showStep(false);
    if (pressedRow.isEmpty()) return;
    const auto& lines = OnboardingFlow::permissionLines();
    const auto rowIndex = [&](const QString& title) {
        const auto line =
            std::find_if(lines.begin(), lines.end(), [&](const OnboardingFlow::PermissionLine& l) {
                return title == QString::fromUtf8(l.title);
            });
        return std::distance(lines.begin(), line);
    };
    QWidget* target = continue_;
    for (VantrelButton* allow : content_->findChildren<VantrelButton*>())
        if (rowIndex(allow->accessibleDescription()) >= rowIndex(pressedRow)) {
            target = allow;
            break;
        }
    FocusHandOff::give(held, target);
}

QColor OnboardingView::accent() const {
    return VantrelTheme::accent(context_.preferences.accent());
}

void OnboardingView::refreshFooter() {
    back_->setVisible(flow_.showsBack());
    continue_->setText(flow_.continueTitle());
    continue_->updateGeometry();
    // A longer title needs a wider pill at once, not on the next turn.
    card_->layout()->activate();
}

QWidget* OnboardingView::transitionLayer() const {
    return transition_->isVisible() ? transition_ : nullptr;
}

void OnboardingView::endTransition() {
    transition_->end();
    frame_ = StepTransitionFrame::at(1);
}

void OnboardingView::showStep(bool animated) {
    auto* column = static_cast<QVBoxLayout*>(card_->layout());
    // The outgoing step as it looks now, before it goes.
    const QPixmap outgoing = animated && content_ ? picture(content_) : QPixmap();
    QWidget* next = buildStep(flow_.step());
    // The first item is the step's content (a stretch before the first step): it takes all the
    // room the footer leaves.
    delete column->takeAt(0);
    delete content_;
    column->insertWidget(0, next, 1);
    next->show();
    content_ = next;
    refreshFooter();
    stepAnimation_->stop();
    endTransition();
    if (!animated) return;
    // Laid out now, so the picture of the incoming step is the one it settles into.
    column->activate();
    transition_->start(outgoing, picture(content_), content_->geometry());
    frame_ = StepTransitionFrame::at(0);
    transition_->setFrame(frame_);
    OnboardingFlow::stepAnimation(context_.motion.prefersReducedMotion()).run(*stepAnimation_, 0.0, 1.0);
}

QWidget* OnboardingView::buildStep(int step) {
    switch (step) {
    case OnboardingFlow::welcome:
        return welcome();
    case OnboardingFlow::modules:
        return modules();
    case OnboardingFlow::privacy:
        return privacy();
    default:
        return ready();
    }
}

QWidget* OnboardingView::welcome() {
    auto* page = new QWidget(card_);
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(40, 0, 40, 0);
    column->setSpacing(19);
    column->addStretch();
    column->addWidget(centred(new VantrelMark(92, accent(), page), page));
    auto* titles = new QVBoxLayout;
    titles->setSpacing(8);
    titles->addWidget(text(page, QStringLiteral("Meet Vantrel"), 38, QFont::Bold, Tone::primary));
    titles->addWidget(text(page, QStringLiteral("The missing refinement layer for your Mac."), 16,
                           QFont::Medium, Tone::secondary));
    column->addLayout(titles);
    auto* body =
        new VantrelLabel(QStringLiteral("A useful notch, a calmer menu bar, a Dock that fits you, and "
                                        "tactile scrolling—all in one private, native app."),
                         VantrelType::font(12.5, QFont::Normal), VantrelTheme::secondaryText(), page);
    body->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    body->setWordWrap(true);
    body->setLineSpacing(3);
    body->setFixedSize(440, body->heightForWidth(440));
    column->addWidget(centred(body, page));
    auto* badges = new QWidget(page);
    auto* row = new QHBoxLayout(badges);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(9);
    const std::pair<const char*, const char*> items[] = {
        {"Native", "swift"}, {"On-device", "lock.fill"}, {"Modular", "square.grid.2x2"}};
    for (const auto& [title, symbol] : items) {
        const QColor color = toneColor(page, Tone::secondary);
        auto* glyph =
            new VantrelGlyph(QString::fromLatin1(symbol), color, 10.5, QFont::DemiBold, 14, 14, badges);
        glyph->setProperty(kToneProperty, int(Tone::secondary));
        row->addWidget(glyph);
        row->addWidget(text(badges, QString::fromUtf8(title), 10.5, QFont::DemiBold, Tone::secondary));
    }
    column->addWidget(centred(badges, page));
    column->addStretch();
    return page;
}

QWidget* OnboardingView::modules() {
    auto* page = new QWidget(card_);
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(17);
    column->addStretch();
    auto* titles = new QVBoxLayout;
    titles->setSpacing(5);
    titles->addWidget(text(page, QStringLiteral("Make it yours"), 27, QFont::Bold, Tone::primary));
    titles->addWidget(text(page, QStringLiteral("Every module can be changed later."), 11.5, QFont::Normal,
                           Tone::secondary));
    column->addLayout(titles);

    auto* grid = new QWidget(page);
    grid->setFixedWidth(510);
    auto* cells = new QGridLayout(grid);
    cells->setContentsMargins(0, 0, 0, 0);
    cells->setHorizontalSpacing(10);
    cells->setVerticalSpacing(11);
    const auto addSwitch = [&](int column, const QString& title, const QString& symbol,
                               SettingBinding<bool> binding) {
        auto* tile = new Tile(17, 0.055, grid);
        auto* row = new QHBoxLayout(tile);
        row->setContentsMargins(13, 13, 13, 13);
        row->setSpacing(11);
        row->addWidget(new VantrelIcon(context_.preferences, symbol, accent(), 39, tile));
        QLabel* label = text(tile, title, 12, QFont::DemiBold, Tone::primary);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        row->addWidget(label, 1);
        auto* toggle = new VantrelSwitch(&context_.haptics, tile);
        toggle->setAccessibleName(title);
        QPalette palette = toggle->palette();
        palette.setColor(QPalette::Highlight, accent());
        toggle->setPalette(palette);
        toggle->bind(std::move(binding));
        row->addWidget(toggle);
        cells->addWidget(tile, 0, column);
    };
    addSwitch(0, QStringLiteral("Notch Panel"), QStringLiteral("capsule.tophalf.filled"),
              VANTREL_PREFERENCE_BINDING(context_.preferences, notchEnabled, NotchEnabled));
    addSwitch(1, QStringLiteral("Command Palette"), QStringLiteral("sparkle.magnifyingglass"),
              VANTREL_PREFERENCE_BINDING(context_.preferences, commandPaletteEnabled, CommandPaletteEnabled));
    column->addWidget(centred(grid, page));
    column->addStretch();
    return page;
}

QWidget* OnboardingView::privacy() {
    auto* page = new QWidget(card_);
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(18);
    column->addStretch();
    column->addWidget(centred(
        new VantrelIcon(context_.preferences, QStringLiteral("checkmark.shield.fill"), accent(), 65, page),
        page));
    auto* titles = new QVBoxLayout;
    titles->setSpacing(5);
    titles->addWidget(text(page, QStringLiteral("Private by design"), 27, QFont::Bold, Tone::primary));
    titles->addWidget(text(page, QStringLiteral("Permissions unlock features. They are always optional."),
                           11.5, QFont::Normal, Tone::secondary));
    column->addLayout(titles);

    auto* rows = new QWidget(page);
    rows->setFixedWidth(510);
    auto* list = new QVBoxLayout(rows);
    list->setContentsMargins(0, 0, 0, 0);
    list->setSpacing(10);
    for (const OnboardingFlow::PermissionLine& line : OnboardingFlow::permissionLines()) {
        const bool allowed = !flow_.showsAllow(line.permission);
        auto* tile = new Tile(14, 0.045, rows);
        tile->setAccessibleName(QString::fromUtf8(line.title));
        auto* row = new QHBoxLayout(tile);
        row->setContentsMargins(11, 11, 11, 11);
        row->setSpacing(11);
        const QColor statusColor =
            allowed ? accent() : VantrelTheme::dormant().resolve(VantrelTheme::colorScheme(page));
        auto* status = new VantrelGlyph(flow_.statusSymbol(line.permission), statusColor, 18, QFont::Normal,
                                        22, 22, tile);
        status->setProperty(kDormantProperty, !allowed);
        row->addWidget(status);
        auto* texts = new QVBoxLayout;
        texts->setSpacing(1);
        QLabel* title = text(tile, QString::fromUtf8(line.title), 11.5, QFont::DemiBold, Tone::primary);
        QLabel* detail = text(tile, QString::fromUtf8(line.detail), 9.5, QFont::Normal, Tone::secondary);
        title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        detail->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        texts->addWidget(title);
        texts->addWidget(detail);
        row->addLayout(texts);
        row->addStretch();
        if (!allowed) {
            VantrelButton* allow = plainButton(QStringLiteral("Allow"), {accent(), accent()}, tile);
            allow->setAccessibleDescription(QString::fromUtf8(line.title));
            const OnboardingFlow::Permission permission = line.permission;
            connect(allow, &QAbstractButton::clicked, this, [this, permission] { flow_.allow(permission); });
            row->addWidget(allow);
        }
        list->addWidget(tile);
    }
    column->addWidget(centred(rows, page));
    column->addWidget(
        text(page, QStringLiteral("Clipboard history, notes, files, and preferences stay on this Mac."), 10.5,
             QFont::Medium, Tone::secondary));
    column->addStretch();
    return page;
}

QWidget* OnboardingView::ready() {
    auto* page = new QWidget(card_);
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(18);
    column->addStretch();

    class Halo final : public QWidget {
    public:
        Halo(QColor color, QWidget* parent) : QWidget(parent), color_(color) { setFixedSize(130, 130); }

    protected:
        void paintEvent(QPaintEvent*) override {
            QPainter painter(this);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(VantrelTheme::withOpacity(color_, 0.17));
            painter.drawEllipse(QRectF(rect()));
        }

    private:
        QColor color_;
    };
    auto* halo = new Halo(accent(), page);
    auto* mark = new VantrelMark(82, accent(), halo);
    mark->move((130 - mark->width()) / 2, (130 - mark->height()) / 2);
    column->addWidget(centred(halo, page));

    auto* titles = new QVBoxLayout;
    titles->setSpacing(7);
    titles->addWidget(text(page, QStringLiteral("Your Mac, refined."), 31, QFont::Bold, Tone::primary));
    titles->addWidget(text(page, QStringLiteral("Hover the notch or press Control–Space to begin."), 12.5,
                           QFont::Normal, Tone::secondary));
    column->addLayout(titles);

    auto* hints = new QWidget(page);
    auto* row = new QHBoxLayout(hints);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    const std::pair<const char*, const char*> pills[] = {
        {"Hover", "Notch"}, {"⌃ Space", "Commands"}, {"Menu bar", "Settings"}};
    for (const auto& [key, label] : pills) {
        auto* tile = new Tile(15, 0.055, hints);
        tile->setFixedSize(104, 52);
        auto* stack = new QVBoxLayout(tile);
        stack->setContentsMargins(0, 0, 0, 0);
        stack->setSpacing(2);
        stack->addStretch();
        stack->addWidget(text(tile, QString::fromUtf8(key), 12, QFont::Bold, Tone::primary));
        stack->addWidget(text(tile, QString::fromUtf8(label), 9.5, QFont::Normal, Tone::secondary));
        stack->addStretch();
        row->addWidget(tile);
    }
    column->addWidget(centred(hints, page));
    column->addStretch();
    return page;
}

void OnboardingView::refreshColors() {
    for (QLabel* label : findChildren<QLabel*>()) {
        const QVariant tone = label->property(kToneProperty);
        if (tone.isValid()) paintInTone(label, Tone(tone.toInt()));
    }
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    for (VantrelGlyph* glyph : findChildren<VantrelGlyph*>()) {
        if (glyph->property(kToneProperty).isValid()) glyph->setColor(toneColor(this, Tone::secondary));
        if (glyph->property(kDormantProperty).toBool())
            glyph->setColor(VantrelTheme::dormant().resolve(scheme));
    }
    update();
}

void OnboardingView::layoutCard() {
    card_->setGeometry(onboardingLayout().card.toAlignedRect());
}

void OnboardingView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutCard();
}

bool OnboardingView::event(QEvent* event) {
    // Recoloured in place: the scheme's announcement walks the children, which must stay alive.
    if (event->type() == VantrelTheme::colorSchemeChangeEvent()) refreshColors();
    return QWidget::event(event);
}

void OnboardingView::paintEvent(QPaintEvent*) {
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), VantrelTheme::canvasMiddle().resolve(scheme));
    QRadialGradient glow(QPointF(width() / 2.0, 0), 650);
    glow.setColorAt(20.0 / 650, VantrelTheme::withOpacity(accent(), 0.22));
    glow.setColorAt(1, Qt::transparent);
    painter.fillRect(rect(), glow);
}

} // namespace vantrel
