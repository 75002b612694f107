#pragma once

#include <QString>
#include <QStringList>

namespace vantrel {

// What the command line asks for, read before anything of the program starts: to run, or to
// print a text and end with a status.
struct CommandLineRequest {
    bool run = true;
    int exitCode = 0;
    // For standard output and standard error.
    QString output;
    QString error;
};

// Reads the arguments after the program's name. "--help" (or "-h") and "--version" print and
// end with 0; an option we do not know, or any other argument, is an error that ends with 2.
// Qt's own options (-platform xcb, -style fusion, ...) are left for Qt.
CommandLineRequest readCommandLine(const QStringList& arguments, const QString& version);

} // namespace vantrel
