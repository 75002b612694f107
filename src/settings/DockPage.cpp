#include "settings/DockPage.h"

#include "control-center/ControlCenterContext.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "dock/CustomDockController.h"
#include "dock/DockContentStore.h"
#include "dock/DockSettingsStore.h"
#include "dock/RunningAppsStore.h"
#include "kit/FeatureRow.h"
#include "kit/FocusHandOff.h"
#include "kit/GlassCard.h"
#include "kit/KeyActivation.h"
#include "kit/KitControlStyle.h"
#include "kit/KitPaint.h"
#include "kit/MetricPill.h"
#include "kit/PercentText.h"
#include "kit/RebuiltRows.h"
#include "kit/SettingsCard.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelMenuPicker.h"
#include "kit/VantrelPillButtonStyle.h"
#include "kit/VantrelSegmentedControl.h"
#include "kit/VantrelSliderRow.h"
#include "kit/VantrelSwitch.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/FileShelfStore.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QLineEdit>
#include <QPainter>
#include <QSet>
#include <QVBoxLayout>
#include <cmath>
#include <optional>
#include <type_traits>

namespace vantrel {

namespace {

AdaptiveColor fixed(const QColor& color) {
    return {color, color};
}

QString capitalised(const QString& text) {
    return text.isEmpty() ? text : text.left(1).toUpper() + text.mid(1);
}

template <typename E> QStringList capitalisedCases() {
    QStringList names;
    for (E value : allCasesOf<E>()) names << capitalised(rawValue(value));
    return names;
}

template <typename E> QList<E> casesOf() {
    QList<E> cases;
    for (E value : allCasesOf<E>()) cases << value;
    return cases;
}

// A whole number of points, or a dash for a value that has none.
QString pointText(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 9.2e18) return QStringLiteral("\u2014");
    return QStringLiteral("%1 pt").arg(static_cast<long long>(std::trunc(value)));
}

QWidget* vstack(int spacing, QWidget* parent = nullptr) {
    auto* widget = new QWidget(parent);
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return widget;
}

QBoxLayout* boxOf(QWidget* widget) {
    return static_cast<QBoxLayout*>(widget->layout());
}

// A borderless text button in the accent colour.
class PlainAccentStyle final : public VantrelButtonStyle {
public:
    explicit PlainAccentStyle(QColor tint) : tint_(std::move(tint)) {}
    ButtonLook look(double pressed, ColorScheme) const override {
        ButtonLook look;
        look.shape = ContinuousRoundedRectangle{6};
        look.font = VantrelType::font(12.5, QFont::Medium);
        look.horizontalPadding = 4;
        look.verticalPadding = 3;
        look.fillStart = look.fillEnd = Qt::transparent;
        look.foreground = VantrelTheme::withOpacity(tint_, 1 - 0.4 * pressed);
        return look;
    }

private:
    QColor tint_;
};

// A symbol before a line of text, both in one colour.
class SymbolLine final : public QWidget {
public:
    SymbolLine(const QString& symbol, const QString& text, const QFont& font, AdaptiveColor color,
               QWidget* parent = nullptr)
        : QWidget(parent) {
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(6);
        const double size = VantrelType::pixelSize(font);
        glyph_ = new VantrelGlyph(symbol, color.resolve(ColorScheme::dark), size, QFont::Medium, size + 4,
                                  size + 4, this);
        label_ = new VantrelLabel(text, font, color, this);
        label_->setWordWrap(true);
        layout->addWidget(glyph_, 0, Qt::AlignTop);
        layout->addWidget(label_, 1);
        color_ = color;
        setColor(color);
    }
    void set(const QString& symbol, const QString& text, AdaptiveColor color) {
        glyph_->setSystemName(symbol);
        label_->setText(text);
        setColor(color);
    }
    QString text() const { return label_->text(); }
    QString symbol() const { return glyph_->systemName(); }
    VantrelLabel* label() const { return label_; }

protected:
    void changeEvent(QEvent* event) override {
        QWidget::changeEvent(event);
        glyph_->setColor(color_.resolve(this));
    }
    void showEvent(QShowEvent* event) override {
        QWidget::showEvent(event);
        glyph_->setColor(color_.resolve(this));
    }

private:
    void setColor(AdaptiveColor color) {
        color_ = color;
        label_->setColor(color);
        glyph_->setColor(color.resolve(this));
    }
    VantrelGlyph* glyph_;
    VantrelLabel* label_;
    AdaptiveColor color_;
};

// A thin rule between the rows of a list.
class Divider final : public QWidget {
public:
    explicit Divider(QWidget* parent = nullptr) : QWidget(parent) { setFixedHeight(1); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(),
                         VantrelTheme::withOpacity(VantrelTheme::border().resolve(this), 0.22 / 0.115 * 0.5));
    }
};

// A symbol that is a button: the chevrons and the trash of a pinned row.
class GlyphButton final : public QAbstractButton {
public:
    GlyphButton(const QString& symbol, QColor color, const QString& help, QWidget* parent)
        : QAbstractButton(parent), symbol_(symbol), color_(std::move(color)) {
        setFixedSize(24, 24);
        setCursor(Qt::PointingHandCursor);
        KitPaint::watchFocusReason(this);
        KeyActivation::pressOnReturn(this);
        setToolTip(help);
        setAccessibleName(help);
        setAccessibleDescription(help);
    }
    QString symbol() const { return symbol_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor color =
            color_.isValid() ? color_ : VantrelTheme::primary(VantrelTheme::colorScheme(this));
        VantrelGlyph::paint(painter, rect(), symbol_, VantrelTheme::withOpacity(color, isDown() ? 0.5 : 0.85),
                            12, QFont::DemiBold);
        KitPaint::paintFocusRingOf(painter, this, 6);
    }

private:
    QString symbol_;
    QColor color_;
};

// One shortcut of the shelf extensions card: a feature row on a raised, rounded tile.
class ExtensionRow final : public QAbstractButton {
public:
    ExtensionRow(VantrelPreferences& preferences, const QString& symbol, const QString& title,
                 const QString& subtitle, const QColor& accent, QWidget* parent)
        : QAbstractButton(parent) {
        setCursor(Qt::PointingHandCursor);
        KitPaint::watchFocusReason(this);
        KeyActivation::pressOnReturn(this);
        setAccessibleName(title);
        setText(title);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(10, 10, 10, 10);
        arrow_ = new VantrelGlyph(QStringLiteral("arrow.up.right"), VantrelTheme::tertiaryText().dark, 10,
                                  QFont::Normal, 14, 14);
        row_ = new FeatureRow(preferences, symbol, accent, title, subtitle, arrow_, this);
        row_->setAttribute(Qt::WA_TransparentForMouseEvents);
        layout->addWidget(row_);
        // A button is one line high by default; narrower than a wide feature row, the arrow takes
        // a line of its own under the text, and the tile has to grow for it.
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }
    FeatureRow* row() const { return row_; }
    QSize sizeHint() const override { return layout()->sizeHint(); }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return layout()->heightForWidth(width); }

protected:
    void paintEvent(QPaintEvent*) override {
        // The arrow is drawn after the tile: it takes the tertiary colour of the tile's appearance.
        arrow_->setColor(VantrelTheme::tertiaryText().resolve(this));
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(ContinuousRoundedRectangle{14}.path(QRectF(rect())),
                         VantrelTheme::withOpacity(VantrelTheme::elevated().resolve(this), 0.62));
        KitPaint::paintFocusRingOf(painter, this, 14);
    }

private:
    VantrelGlyph* arrow_;
    FeatureRow* row_;
};

// The native section: reads the system Dock afresh each time it comes on screen.
class NativeSection final : public QWidget {
public:
    NativeSection(DockSettingsStore& store, QWidget* parent = nullptr) : QWidget(parent), store_(store) {}

protected:
    void showEvent(QShowEvent* event) override {
        QWidget::showEvent(event);
        // On the next turn: when the switch on this page turned the replacement Dock off, the
        // restore of the system Dock it asked for is queued first, and the reading sees its result.
        QMetaObject::invokeMethod(
            this, [this] { store_.reload(); }, Qt::QueuedConnection);
    }

private:
    DockSettingsStore& store_;
};

// A titled control on one line: the title, then the control taking the rest.
QWidget* labelled(const QString& title, QWidget* control) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    auto* label = new VantrelLabel(title, VantrelType::font(12, QFont::Medium), VantrelLabel::primary(), row);
    layout->addWidget(label);
    layout->addWidget(control, 1);
    row->setObjectName(title);
    return row;
}

// A picker or text field of the platform in the colours of the appearance it is drawn in, as the
// system's own follow the light or dark appearance of their window; `accent` marks the chosen
// item and selected text.
template <typename Control> class SchemeControl final : public Control {
public:
    explicit SchemeControl(QColor accent) : accent_(std::move(accent)) {
        if constexpr (!std::is_base_of_v<QLineEdit, Control>) KitPaint::watchFocusReason(this);
        // Its box, and the check in its pop-up list, outlined so they show on a dark card.
        if constexpr (!std::is_base_of_v<QLineEdit, Control>) this->setStyle(KitControlStyle::shared());
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        const ColorScheme scheme = VantrelTheme::colorScheme(this);
        if (scheme_ != scheme) {
            scheme_ = scheme;
            QPalette colours = VantrelTheme::menuPalette(scheme, accent_);
            colours.setColor(QPalette::PlaceholderText, VantrelTheme::tertiaryText().resolve(scheme));
            if constexpr (std::is_base_of_v<QComboBox, Control>) {
                // The platform's popup list takes a menu's colours, not the picker's: it is given
                // the picker's own after each change of them.
                this->view()->setPalette(colours);
                if (QWidget* popup = this->view()->parentWidget()) popup->setPalette(colours);
            }
            // The control itself is tinted, and ringed, in the accent as it is.
            colours.setColor(QPalette::Highlight, accent_);
            this->setPalette(colours);
        }
        Control::paintEvent(event);
        // The platform's own mark of focus is a faint frame: a picker or box reached with the
        // keyboard shows the kit's ring as well.
        if constexpr (!std::is_base_of_v<QLineEdit, Control>) {
            QPainter painter(this);
            KitPaint::paintFocusRingOf(painter, this, 5);
        }
        if constexpr (std::is_base_of_v<QLineEdit, Control>) {
            // The platform's frame is a shade of the window colour, lost on a dark surface: the
            // field's rounded border is drawn over it in a tone that shows in either appearance.
            QPainter painter(this);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(
                QPen(scheme == ColorScheme::dark ? VantrelTheme::white(0.22) : VantrelTheme::black(0.2), 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(QRectF(this->rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        }
    }

private:
    QColor accent_;
    std::optional<ColorScheme> scheme_;
};

QCheckBox* checkbox(const QString& title, std::function<bool()> get, std::function<void(bool)> set,
                    const std::function<void(QWidget*, std::function<void()>)>& observe,
                    const QColor& accent) {
    auto* box = new SchemeControl<QCheckBox>(accent);
    box->setText(title);
    box->setFont(VantrelType::font(12, QFont::Normal));
    box->setObjectName(title);
    auto sync = [box, get] {
        const QSignalBlocker blocker(box);
        box->setChecked(get());
    };
    sync();
    observe(box, sync);
    QObject::connect(box, &QCheckBox::clicked, box, [set](bool on) { set(on); });
    return box;
}

} // namespace

DockPage::DockPage(const ControlCenterContext& context, const DockPageContext& dock, QWidget* parent)
    : VantrelPage(context.preferences, QStringLiteral("Dock"), std::nullopt, 1040, parent),
      preferences_(context.preferences), haptics_(context.haptics), appearance_(context.appearance),
      menus_(context.menus), applyPreferences_(context.applyPreferences), dock_(dock),
      bindings_(context.preferences, context.haptics, dock.applyBehavior, dock.reposition) {
    activeCard_ = new SettingsCard(
        preferences_, appearance_, QStringLiteral("Active Dock"),
        QStringLiteral("Only one Dock mode is active at a time"),
        QStringLiteral(
            "Switching modes is reversible. Vantrel stores the native Dock settings before showing "
            "Vantrel Dock, then restores them when Vantrel Dock is turned off or the app quits."));
    activeRowHolder_ = vstack(0);
    activeCard_->addContent(activeRowHolder_);
    addContent(activeCard_);
    sectionHolder_ = vstack(0);
    addContent(sectionHolder_);

    rebuildActiveRow();
    rebuildSection();
    preferences_.onChange(VantrelPreferences::Setting::customDockEnabled, this, [this] {
        rebuildActiveRow();
        rebuildSection();
    });
    connect(&dock_.dockController, &CustomDockController::statusMessageChanged, this,
            [this](const QString& message) {
                if (auto* row = qobject_cast<FeatureRow*>(activeRow_.data()))
                    row->subtitleLabel()->setText(message);
            });
    auto tooltip = [this] {
        if (switch_)
            switch_->setToolTip(
                dock_.dockController.isChangingSystemDock()
                    ? QStringLiteral("Finishing the current Dock change; your latest choice is queued.")
                    : QStringLiteral("Switch between the native macOS Dock and Vantrel Dock."));
    };
    connect(&dock_.dockController, &CustomDockController::isChangingSystemDockChanged, this, tooltip);
    tooltip();
}

VantrelSwitch* DockPage::useVantrelDockSwitch() const {
    return switch_;
}
QLineEdit* DockPage::websiteTitleField() const {
    return websiteTitle_;
}
QLineEdit* DockPage::websiteAddressField() const {
    return websiteAddress_;
}

QColor DockPage::accent() const {
    return VantrelTheme::accent(preferences_.accent());
}

void DockPage::rebuildActiveRow() {
    const bool on = preferences_.customDockEnabled();
    if (activeRow_ && switch_ && switch_->property("vantrelDock").toBool() == on) return;
    // The new switch takes the focus from the old one as it came: no ring after a click.
    const QPointer<VantrelSwitch> focused = switch_ && switch_->hasFocus() ? switch_ : nullptr;
    if (activeRow_) {
        // The switch may be the sender of this change: it goes once its click has been handled.
        activeRow_->hide();
        boxOf(activeRowHolder_)->removeWidget(activeRow_);
        activeRow_->deleteLater();
    }
    auto* toggle = new VantrelSwitch(&haptics_);
    toggle->setAccessibleName(QStringLiteral("Use Vantrel Dock"));
    toggle->setProperty("vantrelDock", on);
    VantrelPreferences* store = &preferences_;
    std::function<void()> apply = applyPreferences_;
    SettingBinding<bool> binding =
        VANTREL_PREFERENCE_BINDING(preferences_, customDockEnabled, CustomDockEnabled);
    binding.set = [store, apply](bool value) {
        store->setCustomDockEnabled(value);
        if (apply) apply();
    };
    toggle->bind(binding);
    auto* row =
        new FeatureRow(preferences_, on ? QStringLiteral("dock.rectangle") : QStringLiteral("macbook"),
                       accent(), on ? QStringLiteral("Vantrel Dock") : QStringLiteral("Native macOS Dock"),
                       dock_.dockController.statusMessage(), toggle);
    row->subtitleLabel()->setTextFormat(Qt::PlainText);
    boxOf(activeRowHolder_)->addWidget(row);
    row->show();
    activeRow_ = row;
    switch_ = toggle;
    if (focused) KitPaint::passFocus(focused, toggle);
    toggle->setToolTip(
        dock_.dockController.isChangingSystemDock()
            ? QStringLiteral("Finishing the current Dock change; your latest choice is queued.")
            : QStringLiteral("Switch between the native macOS Dock and Vantrel Dock."));
}

void DockPage::rebuildSection() {
    const QString wanted =
        preferences_.customDockEnabled() ? QStringLiteral("replacement") : QStringLiteral("native");
    if (section_ && section_->objectName() == wanted) return;
    if (section_) {
        section_->hide();
        boxOf(sectionHolder_)->removeWidget(section_);
        section_->deleteLater();
    }
    QWidget* section = preferences_.customDockEnabled() ? makeReplacementSection() : makeNativeSection();
    section->setObjectName(wanted);
    boxOf(sectionHolder_)->addWidget(section);
    section->show();
    section_ = section;
}

// ---- The native macOS Dock ---------------------------------------------------------------------

QWidget* DockPage::makeNativeSection() {
    DockSettingsStore& store = dock_.nativeDock;
    DockSettingsStore* s = &store;
    auto* section = new NativeSection(store);
    auto* stack = new QVBoxLayout(section);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(16);

    auto observe = [s](QWidget* context, std::function<void()> action) {
        QObject::connect(s, &DockSettingsStore::changed, context, std::move(action));
    };
    auto number = [s](double (DockSettingsStore::*get)() const, void (DockSettingsStore::*set)(double)) {
        return SettingBinding<double>{
            .get = [s, get] { return (s->*get)(); },
            .set = [s, set](double value) { (s->*set)(value); },
            .observe =
                [s](const QObject* context, std::function<void()> action) {
                    QObject::connect(s, &DockSettingsStore::changed, context, std::move(action));
                },
        };
    };
    auto slider = [](const QString& title, SettingBinding<double> binding, double low, double high,
                     const QString& suffix) {
        auto* row = new VantrelSliderRow(title, low, high, VantrelSliderRow::oneDecimal(suffix));
        row->setObjectName(title);
        row->bind(std::move(binding));
        return row;
    };
    auto flag = [s, observe, tint = accent()](const QString& title, bool (DockSettingsStore::*get)() const,
                                              void (DockSettingsStore::*set)(bool)) {
        return checkbox(
            title, [s, get] { return (s->*get)(); }, [s, set](bool on) { (s->*set)(on); }, observe, tint);
    };

    // Size & motion
    auto* sizeCard = new SettingsCard(preferences_, appearance_, QStringLiteral("Size & motion"));
    QWidget* sizeContent = vstack(15);
    QBoxLayout* sizes = boxOf(sizeContent);
    sizes->addWidget(slider(QStringLiteral("Icon size"),
                            number(&DockSettingsStore::tileSize, &DockSettingsStore::setTileSize), 24, 92,
                            QStringLiteral("pt")));
    sizes->addWidget(
        slider(QStringLiteral("Magnified size"),
               number(&DockSettingsStore::magnificationSize, &DockSettingsStore::setMagnificationSize), 36,
               128, QStringLiteral("pt")));
    sizes->addWidget(flag(QStringLiteral("Magnification"), &DockSettingsStore::magnification,
                          &DockSettingsStore::setMagnification));
    sizes->addWidget(flag(QStringLiteral("Automatically hide and show"), &DockSettingsStore::autoHide,
                          &DockSettingsStore::setAutoHide));
    QWidget* delay = slider(QStringLiteral("Reveal delay"),
                            number(&DockSettingsStore::autoHideDelay, &DockSettingsStore::setAutoHideDelay),
                            0, 1.2, QStringLiteral("s"));
    sizes->addWidget(delay);
    auto showDelay = [delay, s] { delay->setVisible(s->autoHide()); };
    showDelay();
    observe(delay, showDelay);
    sizeCard->addContent(sizeContent);
    stack->addWidget(sizeCard);

    // Layout, beside the running-apps and hidden-apps choices
    auto* layoutRow = new QWidget;
    auto* layoutBox = new QHBoxLayout(layoutRow);
    layoutBox->setContentsMargins(0, 0, 0, 0);
    layoutBox->setSpacing(15);
    auto* layoutCard = new SettingsCard(preferences_, appearance_, QStringLiteral("Layout"));
    QWidget* layoutContent = vstack(14);
    auto picker = [observe, tint = accent()](const QString& title, QStringList options,
                                             std::function<int()> get, std::function<void(int)> set) {
        auto* combo = new SchemeControl<QComboBox>(tint);
        combo->addItems(options);
        combo->setAccessibleName(title);
        auto sync = [combo, get] {
            const QSignalBlocker blocker(combo);
            combo->setCurrentIndex(get());
        };
        sync();
        observe(combo, sync);
        QObject::connect(combo, &QComboBox::activated, combo, [set](int index) { set(index); });
        return labelled(title, combo);
    };
    boxOf(layoutContent)
        ->addWidget(picker(
            QStringLiteral("Position"), capitalisedCases<DockPosition>(), [s] { return int(s->position()); },
            [s](int index) {
                if (index >= 0 && index < 3) s->setPosition(allCasesOf<DockPosition>()[std::size_t(index)]);
            }));
    boxOf(layoutContent)
        ->addWidget(picker(
            QStringLiteral("Minimize effect"), capitalisedCases<DockMinimizeEffect>(),
            [s] { return int(s->minimizeEffect()); },
            [s](int index) {
                if (index >= 0 && index < 3)
                    s->setMinimizeEffect(allCasesOf<DockMinimizeEffect>()[std::size_t(index)]);
            }));
    boxOf(layoutContent)
        ->addWidget(flag(QStringLiteral("Show recent applications"), &DockSettingsStore::showRecents,
                         &DockSettingsStore::setShowRecents));
    layoutCard->addContent(layoutContent);
    layoutBox->addWidget(layoutCard, 1, Qt::AlignTop);

    QWidget* glassContent = vstack(14);
    boxOf(glassContent)->setContentsMargins(20, 20, 20, 20);
    boxOf(glassContent)
        ->addWidget(flag(QStringLiteral("Show only running apps"), &DockSettingsStore::showOnlyRunning,
                         &DockSettingsStore::setShowOnlyRunning));
    boxOf(glassContent)
        ->addWidget(flag(QStringLiteral("Dim hidden applications"), &DockSettingsStore::translucentHiddenApps,
                         &DockSettingsStore::setTranslucentHiddenApps));
    auto* note = new VantrelLabel(
        QStringLiteral("Changes are applied only when you press Apply. The macOS Dock restarts once."),
        VantrelType::font(9.5, QFont::Normal), VantrelTheme::tertiaryText());
    note->setWordWrap(true);
    boxOf(glassContent)->addWidget(note);
    layoutBox->addWidget(new GlassCard(preferences_, 0, glassContent), 1, Qt::AlignTop);
    stack->addWidget(layoutRow);

    // The action row
    auto* actions = new QWidget;
    auto* actionBox = new QHBoxLayout(actions);
    actionBox->setContentsMargins(0, 0, 0, 0);
    auto* status =
        new VantrelLabel(store.statusMessage(), VantrelType::caption(), VantrelTheme::secondaryText());
    status->setTextFormat(Qt::PlainText);
    status->setObjectName(QStringLiteral("nativeStatus"));
    auto* reload =
        new VantrelButton(QStringLiteral("Reload Current"), std::make_shared<PlainAccentStyle>(accent()));
    reload->setObjectName(QStringLiteral("reload"));
    auto* apply = new VantrelButton(QStringLiteral("Apply to macOS Dock"),
                                    std::make_shared<VantrelPillButtonStyle>(accent(), &haptics_));
    apply->setObjectName(QStringLiteral("apply"));
    actionBox->addWidget(status);
    actionBox->addWidget(reload);
    actionBox->addStretch(1);
    actionBox->addWidget(apply);
    stack->addWidget(actions);

    // A busy button hands its focus to its neighbour on the page and takes it back when done.
    auto syncActions = [this, s, status, reload, apply] {
        status->setText(s->statusMessage());
        reload->setText(s->isLoading() ? QStringLiteral("Loading\u2026") : QStringLiteral("Reload Current"));
        FocusHandOff::setEnabled(reload, !s->isLoading(), this);
        apply->setText(s->isApplying() ? QStringLiteral("Applying\u2026")
                                       : QStringLiteral("Apply to macOS Dock"));
        FocusHandOff::setEnabled(apply, !s->isApplying(), this);
        reload->updateGeometry();
        apply->updateGeometry();
    };
    syncActions();
    observe(actions, syncActions);
    connect(reload, &QAbstractButton::clicked, section, [s] { s->reload(); });
    connect(apply, &QAbstractButton::clicked, section, [this, s] {
        // The system Dock must be back before its settings can change: switching the replacement
        // Dock off queues the restore ahead of the apply.
        if (preferences_.customDockEnabled()) {
            preferences_.setCustomDockEnabled(false);
            if (applyPreferences_) applyPreferences_();
        }
        s->apply();
    });
    return section;
}

// ---- The replacement Dock ----------------------------------------------------------------------

QWidget* DockPage::makeReplacementSection() {
    QWidget* section = vstack(16);
    QBoxLayout* stack = boxOf(section);
    stack->addWidget(makeVisibilityCard());
    stack->addWidget(makeLayoutAndMotionCards());
    stack->addWidget(makeSurfaceCard());
    stack->addWidget(makeSizeCard());
    stack->addWidget(makePinnedCard());
    stack->addWidget(makeShelfCard());
    return section;
}

QWidget* DockPage::makeVisibilityCard() {
    auto* card =
        new SettingsCard(preferences_, appearance_, QStringLiteral("Vantrel Dock visibility"),
                         QStringLiteral("Choose exactly when the floating Dock gets out of your way"));
    QWidget* content = vstack(15);
    QBoxLayout* box = boxOf(content);
    CustomDockController* controller = &dock_.dockController;
    VantrelPreferences* store = &preferences_;

    auto* status =
        new SymbolLine(QString(), QString(), VantrelType::font(10.5, QFont::Medium), fixed(accent()));
    status->setObjectName(QStringLiteral("dockStatus"));
    status->label()->setTextFormat(Qt::PlainText);
    box->addWidget(status);

    auto* mode =
        new VantrelSegmentedControl(QStringLiteral("Visibility"),
                                    {QStringLiteral("Always visible"), QStringLiteral("Always auto-hide"),
                                     QStringLiteral("Hide in full screen")},
                                    nullptr);
    mode->bind(bindings_.dockHideModeBinding(), casesOf<DockHideMode>());
    box->addWidget(labelled(QStringLiteral("Visibility"), mode));

    auto* description = new VantrelLabel(QString(), VantrelType::caption(), VantrelTheme::secondaryText());
    description->setObjectName(QStringLiteral("modeDescription"));
    description->setWordWrap(true);
    box->addWidget(description);

    auto* delays = new QWidget;
    delays->setObjectName(QStringLiteral("delays"));
    auto* delayBox = new QHBoxLayout(delays);
    delayBox->setContentsMargins(0, 0, 0, 0);
    delayBox->setSpacing(14);
    const QStringList speeds{QStringLiteral("Fast"), QStringLiteral("Natural"), QStringLiteral("Relaxed")};
    auto* reveal = new VantrelSegmentedControl(QStringLiteral("Reveal"), speeds, nullptr);
    reveal->bind(bindings_.dockRevealChoice(), QList<int>{0, 1, 2});
    auto* hide = new VantrelSegmentedControl(QStringLiteral("Hide"), speeds, nullptr);
    hide->bind(bindings_.dockHideChoice(), QList<int>{0, 1, 2});
    delayBox->addWidget(labelled(QStringLiteral("Reveal"), reveal));
    delayBox->addWidget(labelled(QStringLiteral("Hide"), hide));
    box->addWidget(delays);

    auto* live = new SymbolLine(QString(), QString(), VantrelType::caption(), VantrelTheme::secondaryText());
    live->setObjectName(QStringLiteral("liveState"));
    box->addWidget(live);

    auto refresh = [this, controller, store, status, description, delays, live] {
        const bool changing = controller->isChangingSystemDock();
        status->set(changing ? QStringLiteral("arrow.triangle.2.circlepath")
                             : QStringLiteral("checkmark.circle.fill"),
                    controller->statusMessage(), fixed(changing ? VantrelTheme::caution() : accent()));
        const DockHideMode hideMode = store->customDockHideMode();
        switch (hideMode) {
        case DockHideMode::never:
            description->setText(QStringLiteral("Vantrel Dock stays on screen at all times"));
            break;
        case DockHideMode::always:
            description->setText(QStringLiteral("Hidden until you move the pointer to the bottom edge"));
            break;
        case DockHideMode::whenFullscreen:
            description->setText(QStringLiteral(
                "Stays visible on the desktop and ordinary windows; hides for full-screen apps"));
            break;
        }
        delays->setVisible(hideMode != DockHideMode::never);
        if (hideMode == DockHideMode::never)
            live->set(QStringLiteral("pin.fill"), QStringLiteral("Vantrel Dock remains visible"),
                      VantrelTheme::secondaryText());
        else
            live->set(QStringLiteral("arrow.up.and.down"),
                      controller->isDockRevealed()
                          ? QStringLiteral("Vantrel Dock is currently revealed")
                          : QStringLiteral("Vantrel Dock is hidden; touch the bottom edge to reveal it"),
                      VantrelTheme::secondaryText());
    };
    refresh();
    preferences_.onChange(VantrelPreferences::Setting::customDockHideMode, content, refresh);
    preferences_.onChange(VantrelPreferences::Setting::accent, content, refresh);
    connect(controller, &CustomDockController::statusMessageChanged, content, refresh);
    connect(controller, &CustomDockController::isChangingSystemDockChanged, content, refresh);
    connect(controller, &CustomDockController::isDockRevealedChanged, content, refresh);
    card->addContent(content);
    return card;
}

QWidget* DockPage::makeLayoutAndMotionCards() {
    auto* row = new QWidget;
    auto* rowBox = new QHBoxLayout(row);
    rowBox->setContentsMargins(0, 0, 0, 0);
    rowBox->setSpacing(15);
    VantrelPreferences* store = &preferences_;
    auto observe = [store](VantrelPreferences::Setting setting) {
        return [store, setting](QWidget* context, std::function<void()> action) {
            store->onChange(setting, context, std::move(action));
        };
    };

    auto* layoutCard = new SettingsCard(preferences_, appearance_, QStringLiteral("Layout"));
    QWidget* layoutContent = vstack(14);
    auto segmented = [](const QString& title, const QStringList& options, auto binding, auto tags) {
        auto* control = new VantrelSegmentedControl(title, options, nullptr);
        control->bind(std::move(binding), tags);
        return labelled(title, control);
    };
    const QList<int> bands{0, 1, 2};
    boxOf(layoutContent)
        ->addWidget(segmented(QStringLiteral("Alignment"), capitalisedCases<DockAlignment>(),
                              bindings_.dockAlignmentBinding(), casesOf<DockAlignment>()));
    boxOf(layoutContent)
        ->addWidget(segmented(QStringLiteral("Spacing"),
                              {QStringLiteral("Tight"), QStringLiteral("Standard"), QStringLiteral("Airy")},
                              bindings_.dockSpacingChoice(), bands));
    boxOf(layoutContent)
        ->addWidget(segmented(QStringLiteral("Shape"),
                              {QStringLiteral("Compact"), QStringLiteral("Rounded"), QStringLiteral("Pill")},
                              bindings_.dockShapeChoice(), bands));
    layoutCard->addContent(layoutContent);
    rowBox->addWidget(layoutCard, 1, Qt::AlignTop);

    auto* motionCard = new SettingsCard(preferences_, appearance_, QStringLiteral("Motion & content"));
    QWidget* motionContent = vstack(14);
    motionContent->setObjectName(QStringLiteral("motionContent"));
    QBoxLayout* motion = boxOf(motionContent);
    auto toggle = [store, observe, tint = accent()](const QString& title, VantrelPreferences::Setting setting,
                                                    bool (VantrelPreferences::*get)() const,
                                                    void (VantrelPreferences::*set)(bool)) {
        // Write only: no haptic and no re-application of the settings.
        return checkbox(
            title, [store, get] { return (store->*get)(); }, [store, set](bool on) { (store->*set)(on); },
            observe(setting), tint);
    };
    using S = VantrelPreferences::Setting;
    using P = VantrelPreferences;
    motion->addWidget(toggle(QStringLiteral("Animate icons under the pointer"), S::customDockMagnification,
                             &P::customDockMagnification, &P::setCustomDockMagnification));
    auto* effect = new VantrelMenuPicker(
        QStringLiteral("Effect"),
        {QStringLiteral("None"), QStringLiteral("Lift"), QStringLiteral("Magnify"), QStringLiteral("Bounce"),
         QStringLiteral("Pulse"), QStringLiteral("Sway"), QStringLiteral("Rise")},
        menus_, nullptr);
    effect->bind(bindings_.dockAnimationBinding(), casesOf<DockIconAnimation>());
    QWidget* effectRow = labelled(QStringLiteral("Effect"), effect);
    auto* effectDescription =
        new VantrelLabel(QString(), VantrelType::font(9.5, QFont::Normal), VantrelTheme::tertiaryText());
    effectDescription->setObjectName(QStringLiteral("effectDescription"));
    QWidget* speedRow = segmented(QStringLiteral("Speed"), capitalisedCases<DockAnimationSpeed>(),
                                  bindings_.dockAnimationSpeedBinding(), casesOf<DockAnimationSpeed>());
    QWidget* sizeRow =
        segmented(QStringLiteral("Size change"),
                  {QStringLiteral("Subtle"), QStringLiteral("Standard"), QStringLiteral("Large")},
                  bindings_.dockMagnificationChoice(), bands);
    for (QWidget* w : {effectRow, static_cast<QWidget*>(effectDescription), speedRow, sizeRow})
        motion->addWidget(w);
    motion->addWidget(toggle(QStringLiteral("Include unpinned running apps"), S::customDockShowRunning,
                             &P::customDockShowRunning, &P::setCustomDockShowRunning));
    motion->addWidget(toggle(QStringLiteral("Show running indicators"), S::customDockShowIndicators,
                             &P::customDockShowIndicators, &P::setCustomDockShowIndicators));
    motion->addWidget(toggle(QStringLiteral("Show Trash"), S::customDockShowTrash, &P::customDockShowTrash,
                             &P::setCustomDockShowTrash));

    auto describe = [store, effectDescription] {
        static const char* const descriptions[] = {
            "No movement",          "Slides up",    "Grows in place",          "Springs up and settles",
            "A single quick swell", "Tilts gently", "Grows and lifts together"};
        effectDescription->setText(QString::fromLatin1(descriptions[int(store->customDockIconAnimation())]));
    };
    auto showGroup = [store, effectRow, effectDescription, speedRow, sizeRow] {
        const bool on = store->customDockMagnification();
        for (QWidget* w : {effectRow, static_cast<QWidget*>(effectDescription), speedRow, sizeRow})
            w->setVisible(on);
    };
    describe();
    showGroup();
    store->onChange(S::customDockIconAnimation, motionContent, describe);
    store->onChange(S::customDockMagnification, motionContent, showGroup);
    motionCard->addContent(motionContent);
    rowBox->addWidget(motionCard, 1, Qt::AlignTop);
    return row;
}

QWidget* DockPage::makeSurfaceCard() {
    auto* card = new SettingsCard(preferences_, appearance_, QStringLiteral("Surface"),
                                  QStringLiteral("How the Dock sits against your wallpaper"));
    QWidget* content = vstack(15);
    VantrelPreferences* store = &preferences_;

    auto* tintRow = new QWidget;
    tintRow->setObjectName(QStringLiteral("Tint"));
    auto* tintBox = new QHBoxLayout(tintRow);
    tintBox->setContentsMargins(0, 0, 0, 0);
    tintBox->setSpacing(12);
    auto* tintTitle = new VantrelLabel(QStringLiteral("Tint"), VantrelType::font(11.5, QFont::DemiBold),
                                       VantrelLabel::primary());
    tintTitle->setFixedWidth(96);
    auto* tint = new VantrelSegmentedControl(QString(), capitalisedCases<DockTint>(), nullptr);
    tint->setObjectName(QStringLiteral("tintPicker"));
    tint->bind(bindings_.dockTintBinding(), casesOf<DockTint>());
    tintBox->addWidget(tintTitle);
    tintBox->addWidget(tint, 1);
    boxOf(content)->addWidget(tintRow);

    SliderRowStyle percentStyle{.titleWidth = 96,
                                .spacing = 12,
                                .valueWidth = 34,
                                .valueAlignment = Qt::AlignHCenter,
                                .titlePixelSize = 11.5,
                                .titleWeight = QFont::DemiBold,
                                .step = 0};
    // The read-out shows the stored value, also one outside the slider's range.
    auto* strength = new VantrelSliderRow(
        QStringLiteral("Tint strength"), 0, 1,
        [store](double) { return percentText(store->customDockTintStrength()); }, percentStyle);
    strength->setObjectName(QStringLiteral("Tint strength"));
    strength->bind(VANTREL_PREFERENCE_BINDING(preferences_, customDockTintStrength, CustomDockTintStrength));
    boxOf(content)->addWidget(strength);

    auto* labels = new VantrelSwitch(&haptics_);
    labels->setAccessibleName(QStringLiteral("Show names on hover"));
    labels->bind(VANTREL_PREFERENCE_BINDING(preferences_, customDockShowLabels, CustomDockShowLabels));
    auto* labelsRow = new QWidget;
    labelsRow->setObjectName(QStringLiteral("Show names on hover"));
    auto* labelsBox = new QHBoxLayout(labelsRow);
    labelsBox->setContentsMargins(0, 0, 0, 0);
    labelsBox->addWidget(new VantrelLabel(QStringLiteral("Show names on hover"),
                                          VantrelType::font(12, QFont::Medium), VantrelLabel::primary()));
    labelsBox->addStretch(1);
    labelsBox->addWidget(labels);
    boxOf(content)->addWidget(labelsRow);
    card->addContent(content);
    return card;
}

QWidget* DockPage::makeSizeCard() {
    auto* card = new SettingsCard(preferences_, appearance_, QStringLiteral("Size & appearance"));
    QWidget* content = vstack(15);
    VantrelPreferences* store = &preferences_;
    SliderRowStyle pointStyle{.titleWidth = 96,
                              .spacing = 12,
                              .valueWidth = 42,
                              .valueAlignment = Qt::AlignRight,
                              .titlePixelSize = 11.5,
                              .titleWeight = QFont::DemiBold,
                              .step = 1};
    auto* iconSize = new VantrelSliderRow(
        QStringLiteral("App icon size"), 26, 80,
        [store](double) { return pointText(store->customDockIconSize()); }, pointStyle);
    iconSize->setObjectName(QStringLiteral("App icon size"));
    iconSize->bind(bindings_.dockIconSizeBinding());
    auto* thickness = new VantrelSliderRow(
        QStringLiteral("Dock thickness"), 5, 28,
        [store](double) { return pointText(store->customDockVerticalPadding()); }, pointStyle);
    thickness->setObjectName(QStringLiteral("Dock thickness"));
    thickness->bind(bindings_.dockThicknessBinding());
    boxOf(content)->addWidget(iconSize);
    boxOf(content)->addWidget(thickness);

    auto* glass = new VantrelSegmentedControl(
        QStringLiteral("Glass strength"),
        {QStringLiteral("Clear"), QStringLiteral("Balanced"), QStringLiteral("Solid")}, nullptr);
    glass->bind(bindings_.dockGlassChoice(), QList<int>{0, 1, 2});
    boxOf(content)->addWidget(labelled(QStringLiteral("Glass strength"), glass));

    boxOf(content)->addWidget(new SymbolLine(
        QStringLiteral("arrow.uturn.backward.circle"),
        QStringLiteral("Disabling or quitting Vantrel restores your exact previous macOS Dock settings."),
        VantrelType::caption(), VantrelTheme::secondaryText()));

    auto* pills = new QWidget;
    auto* pillBox = new QHBoxLayout(pills);
    pillBox->setContentsMargins(0, 0, 0, 0);
    pillBox->setSpacing(10);
    auto* running =
        new MetricPill(QStringLiteral("Running apps"), QString::number(dock_.runningApps.apps().size()),
                       QStringLiteral("square.stack.3d.up"), accent());
    running->setObjectName(QStringLiteral("runningPill"));
    auto* pinned = new MetricPill(QStringLiteral("Pinned"), QString::number(dock_.content.items().size()),
                                  QStringLiteral("pin"), accent());
    pinned->setObjectName(QStringLiteral("pinnedPill"));
    pillBox->addWidget(running);
    pillBox->addWidget(pinned);
    pillBox->addStretch(1);
    boxOf(content)->addWidget(pills);

    // The running count is read whenever the page redraws for one of the things it observes; the
    // running applications themselves are not observed.
    RunningAppsStore* apps = &dock_.runningApps;
    DockContentStore* items = &dock_.content;
    auto recount = [apps, items, running, pinned] {
        running->setValue(QString::number(apps->apps().size()));
        pinned->setValue(QString::number(items->items().size()));
    };
    connect(&preferences_, &VantrelPreferences::changed, pills, recount);
    connect(items, &DockContentStore::itemsChanged, pills, recount);
    connect(items, &DockContentStore::statusMessageChanged, pills, recount);
    connect(&dock_.nativeDock, &DockSettingsStore::changed, pills, recount);
    connect(&dock_.dockController, &CustomDockController::statusMessageChanged, pills, recount);
    connect(&dock_.dockController, &CustomDockController::isChangingSystemDockChanged, pills, recount);
    connect(&dock_.dockController, &CustomDockController::isDockRevealedChanged, pills, recount);
    connect(&dock_.dockController, &CustomDockController::isEditingItemsChanged, pills, recount);
    card->addContent(content);
    return card;
}

QWidget* DockPage::makePinnedCard() {
    auto* card = new SettingsCard(preferences_, appearance_, QStringLiteral("Pinned content"), QString());
    card->setObjectName(QStringLiteral("Pinned content"));
    QWidget* content = vstack(12);
    CustomDockController* controller = &dock_.dockController;
    DockContentStore* items = &dock_.content;

    auto* buttons = new QWidget;
    auto* buttonBox = new QHBoxLayout(buttons);
    buttonBox->setContentsMargins(0, 0, 0, 0);
    buttonBox->setSpacing(9);
    auto* addApps = new VantrelButton(QStringLiteral("Add Apps\u2026"),
                                      std::make_shared<VantrelPillButtonStyle>(accent(), &haptics_));
    auto* addFolder =
        new VantrelButton(QStringLiteral("Add Folder\u2026"), std::make_shared<PlainAccentStyle>(accent()));
    auto* removal =
        new VantrelButton(QStringLiteral("Remove Icons\u2026"), std::make_shared<PlainAccentStyle>(accent()));
    removal->setObjectName(QStringLiteral("removal"));
    buttonBox->addWidget(addApps);
    buttonBox->addWidget(addFolder);
    buttonBox->addWidget(removal);
    buttonBox->addStretch(1);
    // Over the page, in its appearance.
    connect(addApps, &QAbstractButton::clicked, content, [this, items] { items->chooseApplications(this); });
    connect(addFolder, &QAbstractButton::clicked, content, [items] { items->chooseFolder(); });
    connect(removal, &QAbstractButton::clicked, content, [this, controller] {
        controller->setIsEditingItems(!controller->isEditingItems());
        haptics_.play(HapticSurface::dock);
    });
    boxOf(content)->addWidget(buttons);

    auto* website = new QWidget;
    auto* websiteBox = new QHBoxLayout(website);
    websiteBox->setContentsMargins(0, 0, 0, 0);
    websiteBox->setSpacing(8);
    websiteTitle_ = new SchemeControl<QLineEdit>(accent());
    websiteTitle_->setText(websiteTitleText_);
    websiteTitle_->setPlaceholderText(QStringLiteral("Website name"));
    websiteAddress_ = new SchemeControl<QLineEdit>(accent());
    websiteAddress_->setText(websiteAddressText_);
    websiteAddress_->setPlaceholderText(QStringLiteral("https://example.com"));
    auto* addSite =
        new VantrelButton(QStringLiteral("Add Website"), std::make_shared<PlainAccentStyle>(accent()));
    websiteBox->addWidget(websiteTitle_, 1);
    websiteBox->addWidget(websiteAddress_, 1);
    websiteBox->addWidget(addSite);
    connect(websiteTitle_, &QLineEdit::textChanged, this,
            [this](const QString& text) { websiteTitleText_ = text; });
    connect(websiteAddress_, &QLineEdit::textChanged, this,
            [this](const QString& text) { websiteAddressText_ = text; });
    connect(websiteAddress_, &QLineEdit::returnPressed, this, &DockPage::addWebsite);
    connect(addSite, &QAbstractButton::clicked, this, &DockPage::addWebsite);
    boxOf(content)->addWidget(website);

    QWidget* list = vstack(0);
    list->setObjectName(QStringLiteral("pinnedList"));
    boxOf(content)->addWidget(list);

    // The rows and the key of each, the item's identifier, as last built.
    // The rows, the key of each (the item's identifier) and the item each shows, as last built.
    struct Built {
        QList<QWidget*> rows;
        QStringList keys;
        QList<DockShortcut> items;
    };
    auto built = std::make_shared<Built>();
    auto rebuildList = [this, items, list, built, addSite] {
        const RebuiltRows kept(built->rows, built->keys);
        const std::vector<DockShortcut>& all = items->items();
        // A row whose item is as it was stays: a change to one item of hundreds makes one row.
        QHash<QString, QWidget*> reusable;
        for (qsizetype i = 0; i < built->rows.size(); ++i) {
            const auto now = std::ranges::find(all, built->items[i].id, &DockShortcut::id);
            if (now != all.end() && *now == built->items[i]) reusable.insert(built->keys[i], built->rows[i]);
        }
        const qsizetype made = qsizetype(all.size()) - reusable.size();
        const QList<QWidget*> keptRows = reusable.values();
        const QSet<QWidget*> staying(keptRows.begin(), keptRows.end());
        QBoxLayout* rows = boxOf(list);
        // Rows added to a list on screen are shown one by one a turn later, each laying the list
        // out again, and each row hidden on screen is taken off it on its own: while many rows
        // are made anew, the list is hidden, lets its rows go and shows the new ones at once.
        const bool hideList = made > 8;
        if (hideList) list->hide();
        QList<QWidget*> dividers;
        while (QLayoutItem* item = rows->takeAt(0)) {
            QWidget* w = item->widget();
            delete item;
            if (!w) continue;
            if (auto* divider = dynamic_cast<Divider*>(w)) {
                dividers << divider;
            } else if (!staying.contains(w)) {
                w->hide();
                w->deleteLater();
            }
        }
        built->rows.clear();
        built->keys.clear();
        built->items.clear();
        for (const DockShortcut& item : all) {
            const QString key = item.id.toString();
            QWidget* row = reusable.take(key);
            if (!row) row = makePinnedRow(item);
            rows->addWidget(row);
            built->rows << row;
            built->keys << key;
            built->items << item;
            if (item.id == all.back().id) continue;
            rows->addWidget(dividers.isEmpty() ? new Divider : dividers.takeFirst());
        }
        for (QWidget* divider : dividers) {
            divider->hide();
            divider->deleteLater();
        }
        // Accessibility reads a list's rows in the order of its children: a row kept where the
        // items moved takes its new place among them too.
        const QSet<QObject*> isRow(built->rows.begin(), built->rows.end());
        qsizetype next = 0;
        bool inOrder = true;
        for (QObject* child : list->children()) {
            if (next < built->rows.size() && child == built->rows[next])
                ++next;
            else if (isRow.contains(child))
                inOrder = false;
        }
        if (!inOrder)
            for (QWidget* row : built->rows) row->raise();
        list->setVisible(!all.empty());
        // With no row left, the focus goes to "Add Website" above the list.
        kept.finish(list, built->rows, built->keys, addSite);
    };
    rebuildList();
    connect(items, &DockContentStore::itemsChanged, list, rebuildList);

    auto subtitle = [controller, items, card, removal] {
        const bool editing = controller->isEditingItems();
        card->setSubtitle(
            editing ? QStringLiteral("Drag icons in the live Dock, or use the red minus button to remove one")
                    : QStringLiteral("Drag any pinned icon in the live Dock to rearrange it. ") +
                          items->statusMessage());
        if (card->subtitleLabel()) card->subtitleLabel()->setTextFormat(Qt::PlainText);
        removal->setText(editing ? QStringLiteral("Done Removing") : QStringLiteral("Remove Icons\u2026"));
        removal->updateGeometry();
    };
    subtitle();
    connect(controller, &CustomDockController::isEditingItemsChanged, content, subtitle);
    connect(items, &DockContentStore::statusMessageChanged, content, subtitle);
    card->addContent(content);
    return card;
}

void DockPage::addWebsite() {
    // Passed as typed: the store trims the address itself.
    if (!dock_.content.addWebsite(websiteTitleText_, websiteAddressText_)) return;
    if (websiteTitle_) websiteTitle_->clear();
    if (websiteAddress_) websiteAddress_->clear();
    websiteTitleText_.clear();
    websiteAddressText_.clear();
}

QWidget* DockPage::makePinnedRow(const DockShortcut& item) {
    DockContentStore* items = &dock_.content;
    auto* row = new QWidget;
    row->setObjectName(QStringLiteral("pinnedRow"));
    auto* box = new QHBoxLayout(row);
    box->setContentsMargins(0, 8, 0, 8);
    box->setSpacing(10);
    if (const std::optional<QIcon> icon = items->icon(item)) {
        auto* image = new QLabel;
        image->setObjectName(QStringLiteral("fileIcon"));
        image->setFixedSize(29, 29);
        image->setPixmap(icon->pixmap(29, 29));
        box->addWidget(image);
    } else {
        auto* globe = new VantrelGlyph(QStringLiteral("globe"), accent(), 15, QFont::Medium, 29, 29);
        box->addWidget(globe);
    }
    QWidget* texts = vstack(1);
    auto* title =
        new VantrelLabel(item.title, VantrelType::font(11.5, QFont::DemiBold), VantrelLabel::primary());
    title->setTextFormat(Qt::PlainText);
    boxOf(texts)->addWidget(title);
    boxOf(texts)->addWidget(new VantrelLabel(capitalised(rawValue(item.kind)),
                                             VantrelType::font(9.5, QFont::Normal),
                                             VantrelTheme::secondaryText()));
    box->addWidget(texts, 1);
    const DockShortcut copy = item;
    auto* earlier = new GlyphButton(QStringLiteral("chevron.left"), QColor(),
                                    QStringLiteral("Move ") + item.title + QStringLiteral(" earlier"), row);
    auto* later = new GlyphButton(QStringLiteral("chevron.right"), QColor(),
                                  QStringLiteral("Move ") + item.title + QStringLiteral(" later"), row);
    auto* remove =
        new GlyphButton(QStringLiteral("trash"), QColor(255, 59, 48),
                        QStringLiteral("Remove ") + item.title + QStringLiteral(" from Vantrel Dock"), row);
    connect(earlier, &QAbstractButton::clicked, row, [items, copy] { items->move(copy, -1); });
    connect(later, &QAbstractButton::clicked, row, [items, copy] { items->move(copy, 1); });
    // Removing saves the list.
    connect(remove, &QAbstractButton::clicked, row, [items, copy] { items->remove(copy); });
    box->addWidget(earlier);
    box->addWidget(later);
    box->addWidget(remove);
    return row;
}

QWidget* DockPage::makeShelfCard() {
    auto* card = new SettingsCard(preferences_, appearance_, QStringLiteral("Shelf extensions"),
                                  QStringLiteral("Every action is connected to a live module"));
    auto* grid = new QWidget;
    grid->setObjectName(QStringLiteral("extensions"));
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setVerticalSpacing(11);
    layout->setHorizontalSpacing(8);
    DockContentStore* items = &dock_.content;
    RunningAppsStore* apps = &dock_.runningApps;
    FileShelfStore* shelf = &dock_.fileShelf;
    struct Entry {
        const char* symbol;
        const char* title;
        const char* subtitle;
        std::function<void()> action;
    };
    const Entry entries[] = {
        {"tray.full", "Temporary files", "Shared with the notch shelf", dock_.showFileShelf},
        {"folder.fill", "Add a folder", "Pin any Finder location", [items] { items->chooseFolder(); }},
        {"square.stack.3d.up.fill", "Running apps", "Live launch and active states",
         [apps] { apps->refresh(); }},
        // The shelf's list at the moment of the tap; its outcome stays in the shelf's own status.
        {"airplayaudio", "AirDrop shelf", "Share the files currently waiting",
         [shelf] { shelf->airDrop(shelf->items()); }},
    };
    int index = 0;
    for (const Entry& entry : entries) {
        auto* row = new ExtensionRow(preferences_, QString::fromLatin1(entry.symbol),
                                     QString::fromLatin1(entry.title), QString::fromLatin1(entry.subtitle),
                                     accent(), grid);
        connect(row, &QAbstractButton::clicked, grid, [action = entry.action] {
            if (action) action();
        });
        layout->addWidget(row, index / 2, index % 2);
        ++index;
    }
    layout->setColumnMinimumWidth(0, 10);
    layout->setColumnMinimumWidth(1, 10);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    card->addContent(grid);
    return card;
}

} // namespace vantrel
