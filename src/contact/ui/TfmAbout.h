#pragma once

#include <QDialog>

class LinkLabel;
class QGroupBox;
class QLabel;
class QPushButton;

// The about box: the program's name, its version and language, its authors and its maker.
class TfmAbout : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 346;
    static constexpr int ClientHeight = 236;

    explicit TfmAbout(QWidget* parent = nullptr);

    QGroupBox* GroupBox1 = nullptr; // " Информация "
    QLabel* Label1 = nullptr; // the program's name
    QLabel* Label2 = nullptr; // the version line
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr; // the authors
    QLabel* Label5 = nullptr; // the maker line, with a gap for Label6
    LinkLabel* Label6 = nullptr; // the maker's name, a link to its web page
    QPushButton* Button1 = nullptr; // "Закрыть"

    // The about box of the program: the main window's, made now if it has none yet.
    static TfmAbout& of(QWidget* mainWindow);

    // The version line for the file at path, written into Label2.
    void setVersionOf(const QString& executablePath);
    // The menu's "Версия": the version line of the running file, then the box modally.
    void showVersionOf(const QString& executablePath);

    static QString makerPageUrl();

public slots:
    void Label6Click();
};
