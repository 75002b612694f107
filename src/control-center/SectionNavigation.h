#pragma once

#include "kit/Navigation.h"

#include <QObject>

namespace vantrel {

// Which section the control center shows: read by the navigation bar and the root view, written
// by the bar, the home page's launchers and the application's commands.
class SectionNavigation : public QObject {
    Q_OBJECT
public:
    explicit SectionNavigation(QObject* parent = nullptr);

    VantrelSection selected() const { return selected_; }
    // Announces `changed` only when the section is another one.
    void select(VantrelSection section);

Q_SIGNALS:
    void changed(vantrel::VantrelSection section);

private:
    VantrelSection selected_ = VantrelSection::home;
};

} // namespace vantrel
