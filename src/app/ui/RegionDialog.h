#pragma once

#include "rank/lookup/SearchRegion.h"

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QLineEdit;

// "Регион проверки": the Yandex region picked from the shipped list or typed as an id, and
// Google's country and language. OK keeps the dialog open with a message for a value that is not
// valid; an empty field leaves that part unset.
class RegionDialog : public QDialog {
    Q_OBJECT
public:
    explicit RegionDialog(const SearchRegion& region, QWidget* parent = nullptr);

    QComboBox* CBYandex = nullptr; // "не задан", then the list of regions
    QLineEdit* EYandex = nullptr; // the id, the one the list picks or any other
    QLineEdit* ECountry = nullptr;
    QLineEdit* ELanguage = nullptr;
    QDialogButtonBox* Buttons = nullptr;

    // The region accepted by OK.
    const SearchRegion& region() const { return m_region; }

public slots:
    void accept() override;

private:
    void regionPicked(int index);
    void idTyped(const QString& text);

    SearchRegion m_region;
};
