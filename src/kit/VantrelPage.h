#pragma once

#include "kit/VantrelPageLayout.h"

#include <QScrollArea>
#include <optional>

class QVBoxLayout;

namespace vantrel {

class SectionTitle;
class VantrelPreferences;

// The scrolling frame of a settings page: the page's heading and its content in one column whose
// paddings follow the page's width, no wider than its maximum and centred in a wide window, over
// a clear background through which the window's backdrop shows. The page tints its controls with
// the accent, and shows its top whenever it comes on screen.
class VantrelPage : public QScrollArea {
    Q_OBJECT
public:
    VantrelPage(VantrelPreferences& preferences, const QString& title, std::optional<QString> subtitle,
                double maxWidth, QWidget* parent = nullptr);

    // Appends `content` under the heading and earlier content, 24 points apart; the page takes
    // ownership.
    void addContent(QWidget* content);

    QString title() const { return title_; }
    double maxWidth() const { return maxWidth_; }
    SectionTitle* heading() const { return heading_; }
    // The zero-height anchor "vantrel-page-top" above the heading.
    QWidget* topAnchor() const { return topAnchor_; }
    // The column holding the heading and the content, inside the paddings.
    QWidget* column() const { return column_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void applyAccent();

    VantrelPreferences& preferences_;
    QString title_;
    double maxWidth_;
    QWidget* column_;
    QVBoxLayout* stack_;
    QWidget* topAnchor_;
    SectionTitle* heading_;
};

} // namespace vantrel
