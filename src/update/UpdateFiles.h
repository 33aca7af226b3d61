#pragma once

#include <QString>

// The files of a self-replacement, all in the folder of the running executable.
struct UpdateFiles {
    QString ExeFileName; // the running executable
    QString TempExeFileName; // the downloaded new executable, "~zltexe.tmp"
    QString BatchFileName; // the replacing script, "~zlttmp.sh"
    QString SignatureFileName; // the signature of the downloaded file, "~zltexe.sig"
    QString FailureFileName; // left by the script when the copy failed, with the reason: "~zltfail.txt"
    // The executable belongs to the Debian package: the package manager replaces it, never the program.
    bool packaged = false;

    // All names empty when the executable's path is empty (it could not be had).
    static UpdateFiles beside(const QString& executable);

    // Whether the package's file list (dpkg's "<package>.list") names the executable.
    static bool listedIn(const QString& packageList, const QString& executable);
    static const QString kPackageList;

    QString folder() const;
    // Whether a new file can be created in the folder; a system-wide installation cannot be
    // replaced by the program itself.
    bool folderWritable() const;
};
