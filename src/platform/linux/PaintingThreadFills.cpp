#include "platform/linux/PaintingThreadFills.h"

#include <QImage>
#include <QLibraryInfo>
#include <QPainter>
#include <QThread>
#include <QThreadPool>
#include <QVersionNumber>
#include <dlfcn.h>

#ifdef VANTREL_ANSWERS_POOL_CONTAINS
// Qt asks the global pool whether it runs the painting thread before splitting a fill into bands
// for it, since splitting work on a pool thread could wait on itself; "yes" makes it do the work
// in place. Every other question, of another pool or about another thread, gets Qt's own answer.
// Defined in the program, this is the definition that the shared QtGui library is bound to.
bool QThreadPool::contains(const QThread* thread) const {
    if (thread == QThread::currentThread() && this == QThreadPool::globalInstance()) return true;
    using Contains = bool (*)(const QThreadPool*, const QThread*);
    static const auto qtContains =
        reinterpret_cast<Contains>(dlsym(RTLD_NEXT, "_ZNK11QThreadPool8containsEPK7QThread"));
    return qtContains && qtContains(this, thread);
}
#endif

namespace vantrel {

bool keepFillsOnThePaintingThread() {
#ifdef VANTREL_ANSWERS_POOL_CONTAINS
    bool inPlace = true;
#else
    bool inPlace = false;
#endif
    if (QLibraryInfo::version() >= QVersionNumber(6, 6)) {
        qputenv("QT_NO_GUI_THREADPOOL", "1");
        // Qt reads the switch once, when it first weighs splitting a fill into bands; one is made
        // here, so that the programs Vantrel starts do not inherit the switch.
        QImage column(1, 256, QImage::Format_ARGB32_Premultiplied);
        column.fill(Qt::transparent);
        QPainter(&column).fillRect(column.rect(), QColor(0, 0, 0, 128));
        qunsetenv("QT_NO_GUI_THREADPOOL");
        inPlace = true;
    }
    return inPlace;
}

} // namespace vantrel
