#include "control-center/SectionNavigation.h"

namespace vantrel {

SectionNavigation::SectionNavigation(QObject* parent) : QObject(parent) {}

void SectionNavigation::select(VantrelSection section) {
    if (selected_ == section) return;
    selected_ = section;
    Q_EMIT changed(section);
}

} // namespace vantrel
