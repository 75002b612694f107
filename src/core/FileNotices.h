#pragma once

#include <QObject>
#include <QStringList>
#include <vector>

namespace vantrel {

// What the user must be told of the stored files: each settings or data file that could not be
// read, or whose changes could not be saved, in words for the window, one notice per file. A
// notice goes once its file is read or saved again, and while the user has closed it; a failure of
// the same file in other words, or after it was read or saved again, shows it again. The stores and the
// settings fill it (through the composition root); the control center shows it.
class FileNotices final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // What is said of `file` (its path) from now on, in place of what was said of it before.
    // Shown again when the user had closed it, unless the words are the same.
    void set(const QString& file, const QString& notice);
    // `file` was read or saved again: its notice goes. Nothing when none was said.
    void resolve(const QString& file);
    // The user closed the notices: every one shown goes, until its file fails again.
    void dismiss();

    // The notices shown, in the order their files were first named.
    QStringList notices() const;
    // The notice said of `file`, shown or closed; empty when none is.
    QString notice(const QString& file) const;
    // Whether a notice, shown or closed, stands for the data file named `fileName` (in whatever
    // folder): its last save failed, or it could not be read and the saves go beside it.
    bool standsFor(const QString& fileName) const;

Q_SIGNALS:
    void changed();

private:
    struct Entry {
        QString file;
        QString notice;
        bool dismissed = false;
    };
    std::vector<Entry> entries_;
};

// Whether what the session holds of the data file named `fileName` may not be in that file: the
// one question a view asks of a store's save state (false without notices).
bool couldNotSave(const FileNotices* notices, const QString& fileName);

} // namespace vantrel
