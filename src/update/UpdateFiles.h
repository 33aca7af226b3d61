#pragma once

#include <QString>

// The files of a self-replacement, all in the folder of the running executable.
struct UpdateFiles {
    QString ExeFileName; // the running executable
    QString TempExeFileName; // the downloaded new executable, "~zltexe.tmp"
    QString BatchFileName; // the replacing script, "~zlttmp.sh"

    static UpdateFiles beside(const QString& executable);

    QString folder() const;
    // Whether a new file can be created in the folder; a system-wide installation cannot be
    // replaced by the program itself.
    bool folderWritable() const;
};
