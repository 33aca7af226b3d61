#pragma once

#include <QList>
#include <QString>

// Decisions of the project workspace, kept apart from the window so that they can be tested alone.
namespace WorkspaceRules {

inline constexpr int MaxProjects = 3;

// "Новый проект" for a project without a file; otherwise the file's name without its folder and
// without its last extension (a.b.zlt gives a.b).
QString tabCaption(const QString& fileName);
QString newProjectCaption();

// The question asked before a modified project is closed.
QString unsavedQuestion(const QString& caption);

// The help file: the executable's path with its extension replaced by ".chm" (appended when the
// executable has none).
QString helpFilePath(const QString& executablePath);

// The folder a file dialog starts in next time, after the user chose fileName.
QString folderOf(const QString& fileName);

// Tab indexes, in tab order, whose projects are asked about at exit.
QList<int> projectsToAskAtExit(const QList<bool>& modified);

// Save steps of a project: what happens when the user saves it.
enum class SaveStep { Nothing, SaveAs, Write };
SaveStep saveStep(bool modified, const QString& fileName);

// Pages of the maker's web site (host or host:port).
QString homePageUrl(const QString& makerSite);
QString onlineSupportUrl(const QString& makerSite);

} // namespace WorkspaceRules
