#pragma once

#include <QObject>
#include <QStringList>

namespace vantrel {

// What the user must be told of the stored files: each settings or data file that could not be
// read, or whose changes could not be saved, in words for the window. The composition root fills
// it from the settings store and the data files' loads; the control center shows it.
class FileNotices final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // A notice said already is not said twice.
    void add(const QString& notice);
    const QStringList& notices() const { return notices_; }

Q_SIGNALS:
    void changed();

private:
    QStringList notices_;
};

} // namespace vantrel
